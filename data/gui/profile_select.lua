-- The player list: choose, add or delete a player. Its rows are as wide as
-- the longest name the name field takes needs in the list's font
-- (gui.name_length of the widest glyph) after the room a row keeps before
-- its text.
function FillWindow(w)
  gui.Window(w, "profile_select", true)
  gui.Panel(w, 240, 134, 544, 500, "Players")

  gui.Frame(w, "lstProfile_back", "frame", 268, 276, 448, 280)
  gui.List(w, "lstProfile", 276, 284, 432, 264, 28)
  -- The code sets its range from the number of players.
  gui.Slider(w, "slProfile", 724, 276, 32, 280, "list", true)

  gui.Button(w, "btAdd", 300, 212, 204, 48, "New player")
  gui.Button(w, "btDelete", 520, 212, 204, 48, "Delete")
  gui.Button(w, "btOk", 416, 154, 192, 48, "OK")
end
