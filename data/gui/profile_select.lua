-- The player list: choose, add or delete a player.
function FillWindow(w)
  gui.Window(w, "profile_select", true)
  gui.Panel(w, 272, 134, 480, 500, "Players")

  gui.Frame(w, "lstProfile_back", "frame", 300, 276, 392, 280)
  gui.List(w, "lstProfile", 308, 284, 376, 264, 28)
  -- The code sets its range from the number of players.
  gui.Slider(w, "slProfile", 700, 276, 32, 280, "list", true)

  gui.Button(w, "btAdd", 300, 212, 204, 48, "New player")
  gui.Button(w, "btDelete", 520, 212, 204, 48, "Delete")
  gui.Button(w, "btOk", 416, 154, 192, 48, "OK")
end
