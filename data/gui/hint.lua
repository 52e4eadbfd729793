-- The tutorial's hint: a frame with its text and close button, the arrow
-- that points at a spot and the highlight that dims all but a rectangle.
-- The hint keeps the text's and the button's places relative to the frame
-- as they are made here, and grows the frame with the text.
function FillWindow(w)
  gui.Window(w, "hint", false)

  -- The highlight's picture is clear in the middle half that the control
  -- shows and dim around it; the hint stretches the dim part over the
  -- rest of the screen.
  local highlight = gui.Control(cImageCtrl, w, "highlight", 0, 0, 64, 64)
  highlight:SetTexture("hint_highlight")
  highlight:SetUVPos(0.25, 0.25, 0)
  highlight:SetUVSize(0.5, 0.5, 0)
  gui.Ignorable(highlight)

  -- The arrow plays its texture's four frames; its tip is the control's
  -- corner at the point (the hint mirrors it toward the frame).
  local arrow = gui.Control(cAnimationCtrl, w, "arrow", 300, 420, 64, 64)
  arrow:SetTexture("hint_arrow")
  arrow:SetTileset(4, 1, 8)
  gui.Ignorable(arrow)

  gui.Frame(w, "frame", "hint_frame", 352, 296, 320, 176)
  gui.Label(w, "text", 368, 360, 288, 96, gui.font.small, "", cAlign.Left + cAlign.Top, gui.color.text,
            cTextBoxSysCtrl)
  gui.Button(w, "close", 512, 308, 144, 40, "OK")

  -- The hint draws only its five parts, so a check box here would take
  -- clicks without being seen: it stays hidden, and the options screen
  -- switches the hints off instead.
  local show = gui.CheckBox(w, "show", 368, 316, 24)
  show:SetCheck(true)
  show:DisableState(cCtrl.e_Visibility)
end
