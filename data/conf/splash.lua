-- The splash screen: the engine's card, then the game's title over the
-- island. The splash space is 800 x 600 whatever the window size.
function FillSplash(splash)
  splash:SetBackColor(0.02, 0.05, 0.08)
  splash:AddNode(2.0):AddImage("splash_engine", 250, 150, 300, 300)
  -- The title picture's lower 1024 x 768 fills the screen: its height of
  -- 1024 is drawn 800 high, so the part above the screen is cut off.
  splash:AddNode(3.0):AddImage("splash_title", 0, 0, 800, 800)
end
