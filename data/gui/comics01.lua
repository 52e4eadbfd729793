-- A comic page (see gui.ComicPage): its pictures on the texture "comic01".
-- Story: the first sprouts; watering; the first harvest; the market opens.
local DELAYS = { "0.5", "1.5", "1.5", "#2" }
local PLACES = { { 46, 416 }, { 520, 416 }, { 46, 64 }, { 520, 64 } }

function FillWindow(w)
  gui.ComicPage(w, "comics01", "comic01", DELAYS, PLACES)
end
