-- The level's goals, shown again during a level: one row per task with its
-- picture, text and amount.
function FillWindow(w)
  gui.Window(w, "mission_goal", true)
  gui.Panel(w, 252, 164, 520, 440, "Goals")

  for i = 0, 3 do
    local y = 456 - 64 * i
    gui.Control(cImageCtrl, w, "icon" .. i, 292, y, 48, 48)
    gui.Label(w, "text" .. i, 356, y, 280, 48, gui.font.text, "")
    gui.Label(w, "number" .. i, 640, y, 96, 48, gui.font.header, "", cAlign.Right + cAlign.Middle)
  end

  gui.Button(w, "ok", 416, 188, 192, 48, "OK")
end
