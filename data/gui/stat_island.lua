-- The island's statistics: people, houses and each kind of building, with
-- a lock over the kinds not yet available.
local KINDS = {
  { "market", "market00", "Markets" },
  { "factory", "factory00", "Factories" },
  { "institute", "institute00", "Institute" },
  { "animals", "animals00", "Animal farm" },
  { "statue", "statue00", "Statue" },
}

function FillWindow(w)
  gui.Window(w, "stat_island", true)
  gui.Panel(w, 232, 84, 560, 600, "Island")

  gui.Label(w, "people_label", 272, 540, 300, 40, gui.font.text, "People")
  gui.Label(w, "num_people", 600, 540, 152, 40, gui.font.header, "", cAlign.Right + cAlign.Middle)
  gui.Label(w, "house_label", 272, 496, 300, 40, gui.font.text, "Houses")
  gui.Label(w, "num_house", 600, 496, 152, 40, gui.font.header, "", cAlign.Right + cAlign.Middle)

  for i, kind in ipairs(KINDS) do
    local x = kind[1]
    local y = 424 - 60 * (i - 1)
    gui.Image(w, "img_" .. x, "icons01", kind[2], 272, y, 48, 48)
    gui.Image(w, "img_" .. x .. "_lock", "icons01", "lock", 284, y + 6, 36, 36)
    gui.Label(w, "lb_" .. x, 336, y, 260, 48, gui.font.text, kind[3])
    gui.Label(w, "num_" .. x, 600, y, 152, 48, gui.font.header, "", cAlign.Right + cAlign.Middle)
  end

  gui.Button(w, "ok", 416, 104, 192, 48, "OK")
end
