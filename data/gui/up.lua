-- Upgrades between levels: up to three offers with their star rows and
-- prices, the description of the one under the mouse, and the funds.
function FillWindow(w)
  gui.Window(w, "up", true)
  gui.Panel(w, 212, 124, 600, 520, "Upgrades")

  for i = 0, 2 do
    local x = 276 + 176 * i
    -- The star row is drawn 22 below each box; the code sets the pictures.
    gui.CheckBox(w, "ch" .. i, x, 432, 96, cCheckBoxUpCtrl)
    gui.Label(w, "price" .. i, x - 16, 372, 128, 32, gui.font.header, "", cAlign.Center + cAlign.Middle)
  end

  gui.Label(w, "desc", 252, 236, 520, 120, gui.font.text, "", cAlign.Center + cAlign.Top, gui.color.text,
            cTextBoxSysCtrl)
  gui.Label(w, "bank_label", 252, 196, 240, 32, gui.font.text, "Island funds")
  gui.Label(w, "bank", 500, 196, 272, 32, gui.font.header, "", cAlign.Right + cAlign.Middle)

  gui.Button(w, "done", 416, 144, 192, 48, "Done")
end
