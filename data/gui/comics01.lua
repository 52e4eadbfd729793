-- A comic page: its pictures, each an image control named by its delay in
-- seconds after the previous picture ("#" in front: it fades in without
-- zooming). The page's pictures share the texture "comic01", a 2 x 2 grid
-- of 512 x 512 cells, each picture 480 x 352 at its cell's lower left
-- corner plus (16, 16).
-- Story: the first sprouts; watering; the first harvest; the market opens.
local DELAYS = { "0.5", "1.5", "1.5", "#2" }
local PLACES = { { 24, 400 }, { 520, 400 }, { 24, 24 }, { 520, 24 } }

function FillWindow(w)
  w:SetName("comics01")
  w:SetActive(false)
  w:SetModal(false)
  for i, delay in ipairs(DELAYS) do
    local col, row = (i - 1) % 2, math.floor((i - 1) / 2)
    local c = cImageCtrl(w, delay)
    c:SetTexture("comic01")
    c:SetPos(PLACES[i][1], PLACES[i][2], 0)
    c:SetSize(480, 352, 0)
    c:SetUVPos(col * 0.5 + 16 / 1024, 0.5 - row * 0.5 + 16 / 1024, 0)
    c:SetUVSize(480 / 1024, 352 / 1024, 0)
  end
end
