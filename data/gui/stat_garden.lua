-- The garden's stock: a picture and a count for every ware and animal.
local WARES = {
  "plant00", "plant01", "plant02", "plant03", "plant04", "plant05", "plant06", "plant07",
  "product00", "product01", "product02", "product03", "product01_1", "product02_1", "product03_1",
  "flowers", "grass", "egg", "milk", "honey", "nib",
  "ostrich", "goat", "hive", "peacock",
}

function FillWindow(w)
  gui.Window(w, "stat_garden", true)
  gui.Panel(w, 172, 84, 680, 600, "Garden")

  for i, name in ipairs(WARES) do
    local col, row = (i - 1) % 5, math.floor((i - 1) / 5)
    local x, y = 204 + 128 * col, 540 - 72 * row
    gui.Image(w, name, "icons00", name, x, y, 48, 48)
    gui.Label(w, "num_" .. name, x + 52, y, 68, 48, gui.font.text, "")
  end

  gui.Button(w, "ok", 416, 104, 192, 48, "OK")
end
