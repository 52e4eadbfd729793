-- The pause menu of a level.
function FillWindow(w)
  gui.Window(w, "escape", true)
  gui.Panel(w, 352, 144, 320, 480, "Pause")

  gui.Button(w, "btResume", 416, 472, 192, 48, "Resume")
  gui.Button(w, "btRestart", 416, 408, 192, 48, "Restart")
  gui.Button(w, "btEnd", 416, 344, 192, 48, "Leave level")
  gui.Button(w, "btOptions", 416, 280, 192, 48, "Options")
  gui.Button(w, "btExit", 416, 176, 192, 48, "Exit game")
end
