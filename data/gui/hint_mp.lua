-- The island's level pop-up: the level's number, its best time and medal.
-- The code places the window above a level point; it takes no input.
function FillWindow(w)
  w:SetName("hint_mp")
  w:SetActive(false)
  w:SetModal(false)

  gui.Ignorable(gui.Frame(w, "frame", "hint_frame", 0, 0, 176, 104))
  gui.Label(w, "day_label", 12, 68, 72, 24, gui.font.small, "Level")
  gui.Label(w, "day", 88, 68, 76, 24, gui.font.text, "")
  gui.Label(w, "time_label", 12, 40, 72, 24, gui.font.small, "Time")
  gui.Label(w, "time", 88, 40, 76, 24, gui.font.text, "")
  gui.Label(w, "medal_label", 12, 12, 72, 24, gui.font.small, "Medal")
  gui.Label(w, "medal", 88, 12, 76, 24, gui.font.text, "")
end
