-- The island map's two score panels, side by side at the top between the
-- score panel's money and clock: the player's rating with five stars and
-- the island's with ten. Their decoration lets clicks through to the map;
-- the island window is not modal. Each panel reaches far enough right of
-- its Rate button for the lesson's highlight around the button, which
-- grows past it, to stay on the panel.
local function panel(w, prefix, x, width, stars)
  gui.Ignorable(gui.Frame(w, prefix .. "frame", "panel", x, 672, width, 96))
  gui.Ignorable(gui.Image(w, prefix .. "decor", gui.skin, "medal_holder", x + 4, 704, 60, 60))
  local face = gui.Control(cImageCtrl, w, prefix .. "face", x + 10, 710, 48, 48)
  gui.Picture(face, "icon_head")
  gui.Ignorable(face)
  for i = 0, stars - 1 do
    gui.Ignorable(gui.Image(w, prefix .. "star" .. i, "icons00", "star_empty", x + 10 + 24 * i, 678, 22, 22))
  end
end

function FillWindow(w)
  gui.Window(w, "island", false)

  panel(w, "", 356, 268, 5)
  gui.Ignorable(gui.Label(w, "profile", 424, 736, 180, 26, gui.font.text, ""))
  gui.Ignorable(gui.Label(w, "rate", 424, 708, 110, 26, gui.font.small, ""))
  gui.Button(w, "but_rate", 536, 704, 68, 32, "Rate", "button_wide")

  panel(w, "island_", 628, 272, 10)
  gui.Ignorable(gui.Label(w, "island_title", 696, 736, 184, 26, gui.font.text, "Island"))
  gui.Ignorable(gui.Label(w, "island_rate", 696, 708, 114, 26, gui.font.small, ""))
  gui.Button(w, "but_island_rate", 812, 704, 68, 32, "Rate", "button_wide")
end
