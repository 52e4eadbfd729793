-- The island map's two score panels: the player's rating with five stars
-- and the island's with ten. Their decoration lets clicks through to the
-- map; the island window is not modal.
local function panel(w, prefix, x, stars)
  local frame = gui.Frame(w, prefix .. "frame", "panel", x, 640, 360, 120)
  gui.Ignorable(frame)
  gui.Ignorable(gui.Image(w, prefix .. "decor", gui.skin, "medal_holder", x + 8, 680, 72, 72))
  local face = gui.Control(cImageCtrl, w, prefix .. "face", x + 16, 688, 56, 56)
  gui.Picture(face, "icon_head")
  gui.Ignorable(face)
  for i = 0, stars - 1 do
    local star = gui.Image(w, prefix .. "star" .. i, "icons00", "star_empty", x + 88 + 26 * i, 652, 24, 24)
    gui.Ignorable(star)
  end
end

function FillWindow(w)
  gui.Window(w, "island", false)

  panel(w, "", 8, 5)
  gui.Ignorable(gui.Label(w, "profile", 96, 724, 260, 28, gui.font.header, ""))
  gui.Ignorable(gui.Label(w, "rate", 96, 690, 260, 28, gui.font.text, ""))
  gui.Button(w, "but_rate", 248, 648, 112, 36, "Rating", "button_small")

  panel(w, "island_", 656, 10)
  gui.Ignorable(gui.Label(w, "island_title", 744, 724, 260, 28, gui.font.header, "Island"))
  gui.Ignorable(gui.Label(w, "island_rate", 744, 690, 260, 28, gui.font.text, ""))
  gui.Button(w, "but_island_rate", 904, 700, 104, 36, "Rating", "button_small")
end
