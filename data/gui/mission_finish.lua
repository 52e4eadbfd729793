-- A level won: the money counted into the island funds, the awards and the
-- medal that flies in.
function FillWindow(w)
  gui.Window(w, "mission_finish", true)
  gui.Panel(w, 232, 104, 560, 560)

  -- The code formats this text with the level's number.
  gui.Label(w, "caption", 232, 600, 560, 44, gui.font.title, "Level %i complete", cAlign.Center + cAlign.Middle,
            gui.color.title)

  gui.Image(w, "imgMedalBack", gui.skin, "medal_holder", 480, 500, 64, 64)
  gui.Control(cImageCtrl, w, "imgMedal", 488, 508, 48, 48)

  for i = 0, 2 do
    local y = 420 - 64 * i
    gui.Control(cImageCtrl, w, "imgAward" .. i, 272, y, 48, 48)
    gui.Label(w, "lbAward" .. i, 336, y, 416, 48, gui.font.text, "")
  end

  gui.Image(w, "imgBank", "icons00", "house", 272, 200, 48, 48)
  gui.Label(w, "lbBank_label", 336, 200, 200, 48, gui.font.text, "Island funds")
  gui.Label(w, "lbBank", 544, 200, 208, 48, gui.font.header, "", cAlign.Right + cAlign.Middle)

  gui.Button(w, "ok", 416, 124, 192, 48, "Continue")
end
