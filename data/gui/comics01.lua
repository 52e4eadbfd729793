-- A comic page (see gui.ComicPage): its pictures on the texture "comic01".
-- Story: the first sprouts; watering; the first harvest; the market opens.
local DELAYS = { "0.5", "1.5", "1.5", "#2" }
local PLACES = { { 24, 400 }, { 520, 400 }, { 24, 24 }, { 520, 24 } }

function FillWindow(w)
  gui.ComicPage(w, "comics01", "comic01", DELAYS, PLACES)
end
