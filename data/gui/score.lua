-- The score panel over the garden and the island: the money, the level's
-- clock with the medal still reachable, and the task lines at the right,
-- which slide out past the screen's edge when hidden.
function FillWindow(w)
  gui.Window(w, "score", false)

  gui.Ignorable(gui.Frame(w, "frmMoney", "money_frame", 8, 704, 216, 56))
  gui.Ignorable(gui.Image(w, "decMoney0", gui.skin, "medal_holder", 4, 700, 64, 64))
  gui.Ignorable(gui.Image(w, "decMoney1", gui.skin, "medal_holder", 196, 720, 32, 32))
  gui.Ignorable(gui.Image(w, "imgMoney", "peacock01", "money", 16, 712, 40, 40))
  gui.Ignorable(gui.Label(w, "money", 64, 712, 136, 40, gui.font.header, "", cAlign.Right + cAlign.Middle,
                          gui.color.light))

  gui.Ignorable(gui.Image(w, "clock_back", gui.skin, "clock_back", 900, 640, 112, 112))
  gui.Ignorable(gui.Control(cClockCtrl, w, "clock", 908, 648, 96, 96))
  gui.Ignorable(gui.Control(cImageCtrl, w, "clock_medal", 876, 640, 40, 40))

  for i = 0, 3 do
    local task = gui.Control(cTaskCtrl, w, "task" .. i, 874, 560 - 64 * i, 148, 56)
    local a = gui.Area(gui.skin, "panel")
    if a then
      local u, v, uw, vh = gui.FrameUV(a)
      task:SetTexture(gui.skin, cMissionCtrl.e_itemFrame)
      task:SetUVPos(u, v, cMissionCtrl.e_itemFrame)
      task:SetUVSize(uw, vh, cMissionCtrl.e_itemFrame)
    end
    task:SetSize(32, 32, cMissionCtrl.e_itemImage)
    task:SetFontPrt(gui.font.text)
  end

  gui.Button(w, "menu", 236, 712, 112, 40, "Menu", "button_wide")

  gui.Label(w, "dump_fps", 8, 8, 200, 20, gui.font.system, "")
  gui.Label(w, "dump_time", 8, 28, 200, 20, gui.font.system, "")
end
