-- A comic page (see gui.ComicPage): its pictures on the texture "comic02".
-- Story: the statue rises; the islanders gather; fireworks over the island.
local DELAYS = { "0.5", "2", "#2" }
local PLACES = { { 46, 416 }, { 520, 416 }, { 46, 64 }, { 520, 64 } }

function FillWindow(w)
  gui.ComicPage(w, "comics02", "comic02", DELAYS, PLACES)
end
