-- A comic page (see gui.ComicPage): its pictures on the texture "comic02".
-- Story: the statue rises; the islanders gather; fireworks over the island.
local DELAYS = { "0.5", "2", "#2" }
local PLACES = { { 24, 400 }, { 520, 400 }, { 24, 24 }, { 520, 24 } }

function FillWindow(w)
  gui.ComicPage(w, "comics02", "comic02", DELAYS, PLACES)
end
