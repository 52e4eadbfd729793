-- A comic page (see gui.ComicPage): its pictures on the texture "comic00".
-- Story: the gardener's boat reaches the island; the harbour; the empty field; the first seeds.
local DELAYS = { "0", "1.5", "1.5", "#2" }
local PLACES = { { 46, 416 }, { 520, 416 }, { 46, 64 }, { 520, 64 } }

function FillWindow(w)
  gui.ComicPage(w, "comics00", "comic00", DELAYS, PLACES)
end
