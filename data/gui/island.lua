-- The island map's two score panels, side by side at the top right of the
-- score panel's money and menu (the level's clock is not shown over the
-- map): the player's rating with five stars and the island's with ten.
-- Their decoration lets clicks through to the map; the island window is
-- not modal. Each panel reaches far enough right of its Rate button for the
-- lesson's highlight around the button, which grows past it, to stay on
-- the panel.
--
-- The player's panel is as wide as the longest name the name field takes
-- needs in the name's font (gui.name_length of the widest glyph), and each
-- rating label holds the longest of its five ratings.
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

  panel(w, "", 356, 384, 5)
  gui.Ignorable(gui.Label(w, "profile", 424, 736, 308, 26, gui.font.small, "", nil, gui.color.title))
  gui.Ignorable(gui.Label(w, "rate", 424, 708, 224, 26, gui.font.small, ""))
  gui.Button(w, "but_rate", 652, 704, 68, 32, "Rate", "button_wide")

  panel(w, "island_", 744, 272, 10)
  gui.Ignorable(gui.Label(w, "island_title", 812, 736, 184, 26, gui.font.small, "Island", nil, gui.color.title))
  gui.Ignorable(gui.Label(w, "island_rate", 812, 708, 114, 26, gui.font.small, ""))
  gui.Button(w, "but_island_rate", 928, 704, 68, 32, "Rate", "button_wide")
end
