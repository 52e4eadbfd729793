-- The main menu: a panel over the island, which draws the backdrop.
function FillWindow(w)
  gui.Window(w, "main", false)
  gui.Panel(w, 352, 160, 320, 440)

  -- The code formats this text with the player's name.
  gui.Label(w, "lbProfile", 352, 524, 320, 48, gui.font.header, "Hello, %s!", cAlign.Center + cAlign.Middle,
            gui.color.title)

  gui.Button(w, "btStart", 416, 440, 192, 48, "Play")
  gui.Button(w, "btProfile", 416, 376, 192, 48, "Players")
  gui.Button(w, "btOptions", 416, 312, 192, 48, "Options")
  gui.Button(w, "btExit", 416, 200, 192, 48, "Exit")
end
