-- A new player's name. The field holds the longest name it takes in its
-- font (gui.name_length of the widest glyph) with the caret after it.
function FillWindow(w)
  gui.Window(w, "profile_add", true)
  gui.Panel(w, 240, 244, 544, 280, "New player")

  gui.Label(w, "name_label", 272, 400, 480, 32, gui.font.text, "Your name:")
  local name = gui.Control(cEditSysCtrl, w, "name", 272, 352, 480, 40)
  local a = gui.Area(gui.skin, "edit")
  if a then
    local u, v, uw, vh = gui.FrameUV(a)
    name:SetTexture(gui.skin, 0)
    name:SetUVPos(u, v, 0)
    name:SetUVSize(uw, vh, 0)
    -- A nine-part frame whose rim keeps the typed name off the box's edge.
    name:SetSize(12, 6, cCtrl.e_frmBorder)
    name:SetUVSize(12 * uw / a.fw, 6 * vh / a.fh, cCtrl.e_frmBorder)
  end
  name:SetFontPrt(gui.font.text)
  name:SetColor(gui.color.text[1], gui.color.text[2], gui.color.text[3])
  name:SetAlign(cAlign.Left + cAlign.Middle)
  name:SetMaxLength(gui.name_length)

  gui.Button(w, "ok", 304, 272, 200, 48, "OK")
  gui.Button(w, "cancel", 520, 272, 200, 48, "Cancel")
end
