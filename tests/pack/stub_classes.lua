-- The control classes that window scripts may use, as the Lua bindings
-- give them: each class's base, its own methods (a space-separated list)
-- and its constants. Read by record.lua's stand-ins and by the test that
-- holds this table against the engine's real Lua state.
local CTRL_ENUM = {
  e_None = 0, e_Visibility = 2, e_Disabled = 4, e_Ignorable = 8, e_All = -1, e_frmBorder = 0x2,
  e_sldImage = 0x4, e_lstItems = 0x8, e_edtFont = 0x400, e_btnFont = 0x800, e_btnNormal = 0x1000,
  e_btnPush = 0x2000, e_cbFont = 0x4000, e_cbNormal = 0x8000, e_cbPush = 0x10000, e_liFont = 0x20000,
  e_lstNormal = 0x40000, e_lstHighlight = 0x80000, e_lstSelection = 0x100000 }

return {
  -- name = { base, methods, constants, game = true when the game binds it }
  cCtrl = { nil, "GetID GetName EnableState DisableState GetState SetPos SetSize SetUVPos SetUVSize", CTRL_ENUM },
  cImageCtrl = { "cCtrl", "SetTexture" },
  cLabelCtrl = { "cCtrl", "SetText SetAlign SetFontPrt" },
  cLabelSysCtrl = { "cLabelCtrl", "SetColor" },
  cTextBoxSysCtrl = { "cLabelSysCtrl", "" },
  cFrameCtrl = { "cCtrl", "SetTexture DrawInnerRect" },
  cProgressBarSysCtrl = { "cCtrl", "SetTexture SetValue GetValue" },
  cSliderCtrl = { "cCtrl", "SetValue GetValue SetMinMax GetMin GetMax SetVertical IsVertical" },
  cSliderSysCtrl = { "cSliderCtrl", "SetTexture" },
  cEditCtrl = { "cCtrl", "SetText GetText SetMaxLength" },
  cEditSysCtrl = { "cEditCtrl", "SetAlign SetFontPrt SetColor SetTexture" },
  cButtonSysCtrl = { "cCtrl", "SetText SetFontPrt SetColor SetTexture" },
  cCheckBoxSysCtrl = { "cCtrl", "SetColor SetText SetAlign SetFontPrt SetTexture SetCheck IsChecked" },
  cListCtrl = { "cCtrl", "DeleteItem DeleteAllItems GetItemCount SetItemData GetItemData GetSelectedItem "
                .. "IsSelectedItem SelectItem GetVisibleCount SetFirstVisible GetFirstVisible EnsureVisible "
                .. "IsVisible SetMultiselect IsMultiselect" },
  cListSysCtrl = { "cListCtrl", "SetTexture SetFontPrt SetAlign SetColor InsertItem SetItemText GetItemText" },
  cImageListSysCtrl = { "cListCtrl", "InsertItem" },
  cToolbarSysCtrl = { "cImageListSysCtrl", "" },
  -- The game's controls.
  cClockCtrl = { "cFrameCtrl", "", game = true },
  cImageCtrlEx = { "cImageCtrl", "SetColor", game = true },
  cMissionCtrl = { "cCtrl", "SetTexture SetIcon SetText SetAlign SetFontPrt",
                   { e_itemLabel = 4, e_itemImage = 8, e_itemFrame = 16 }, game = true },
  cTaskCtrl = { "cMissionCtrl", "", game = true },
  cSliderCtrlEx = { "cSliderSysCtrl", "", game = true },
  cCheckBoxCtrl = { "cCheckBoxSysCtrl", "", game = true },
  cCheckBoxUpCtrl = { "cCheckBoxCtrl", "", game = true },
  cButtonCtrl = { "cCtrl", "SetText SetFontPrt SetColor SetTexture", game = true },
  cTabButtonCtrl = { "cButtonCtrl", "", game = true },
  cAnimationCtrl = { "cImageCtrl", "SetTileset", game = true },
  cLinkCtrl = { "cLabelCtrl", "SetColor", { e_lnkNormal = 0x10000000, e_lnkHighlight = 0x20000000 }, game = true },
  cToolbarCtrl = { "cListCtrl", "SetTexture", game = true },
}

