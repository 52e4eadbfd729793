-- A level's start: its number, the tasks, the building it makes available
-- and the time for the gold medal.
function FillWindow(w)
  gui.Window(w, "mission_start", true)
  gui.Panel(w, 232, 104, 560, 560)

  -- The code formats this text with the level's number.
  gui.Label(w, "tasks", 232, 600, 560, 44, gui.font.title, "Level %i", cAlign.Center + cAlign.Middle,
            gui.color.title)

  for i = 0, 3 do
    local y = 528 - 60 * i
    gui.Control(cImageCtrl, w, "icon" .. i, 272, y, 48, 48)
    gui.Label(w, "text" .. i, 336, y, 300, 48, gui.font.text, "")
    gui.Label(w, "number" .. i, 648, y, 104, 48, gui.font.header, "", cAlign.Right + cAlign.Middle)
  end

  gui.Label(w, "build", 272, 284, 480, 28, gui.font.text, "New building", cAlign.Left + cAlign.Middle,
            gui.color.title)
  gui.Control(cImageCtrl, w, "icon", 272, 228, 48, 48)
  gui.Label(w, "text", 336, 228, 300, 48, gui.font.text, "")
  gui.Label(w, "number", 648, 228, 104, 48, gui.font.header, "", cAlign.Right + cAlign.Middle)

  gui.Label(w, "time_label", 272, 184, 240, 32, gui.font.text, "Gold medal time")
  gui.Label(w, "time", 520, 184, 232, 32, gui.font.header, "", cAlign.Right + cAlign.Middle)

  gui.Button(w, "ok", 416, 124, 192, 48, "Start")
end
