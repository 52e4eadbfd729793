// The control family as scripts see it: cCtrl with its state and part
// flags, and the 16 engine controls built on it. Every control class has
// the Lua constructor (parent window or nil, name); the control joins the
// parent window, which owns and deletes it, so Lua's collector must not.
#include <exception>

#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/app/bind.h"
#include "engine/app/bind_luabind.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/listctrl.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"

namespace vek {

namespace {

constexpr const char* kSender = "RegisterControlClasses";

using bind::InitControl;

// Lua: InsertItem(index, text, data) of an image list. Scripts share one
// signature with the text list, but only a text list has text rows: on any
// other list (image lists and toolbars) the call does nothing.
void InsertTextItem(cListCtrl& list, unsigned index, const string& text, unsigned data)
{
    if (auto* textList = dynamic_cast<cListSysCtrl*>(&list))
        textList->InsertItem(index, text, data);
}

unsigned GetID(const cCtrl& control) { return static_cast<unsigned>(control.GetID()); }
unsigned GetItemData(const cListCtrl& list, unsigned index)
{
    return static_cast<unsigned>(list.GetItemData(index));
}
void SetItemData(cListCtrl& list, unsigned index, unsigned data)
{
    list.SetItemData(index, static_cast<int>(data));
}
void SetMaxLength(cEditCtrl& edit, unsigned length)
{
    // Lengths beyond int's range mean "no practical limit".
    edit.SetMaxLength(length > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(length));
}

luabind::scope ControlBase()
{
    using luabind::class_;
    using luabind::value;
    return class_<cCtrl>("cCtrl")
        .def("__init", &InitControl<cCtrl>)
        .enum_("constants")[value("e_None", cCtrl::e_None),
                            value("e_Visibility", cCtrl::e_Visibility),
                            value("e_Disabled", cCtrl::e_Disabled),
                            value("e_Ignorable", cCtrl::e_Ignorable),
                            value("e_All", cCtrl::e_All),
                            value("e_frmBorder", cCtrl::e_frmBorder),
                            value("e_sldImage", cCtrl::e_sldImage),
                            value("e_lstItems", cCtrl::e_lstItems),
                            value("e_edtFont", cCtrl::e_edtFont),
                            value("e_btnFont", cCtrl::e_btnFont),
                            value("e_btnNormal", cCtrl::e_btnNormal),
                            value("e_btnPush", cCtrl::e_btnPush),
                            value("e_cbFont", cCtrl::e_cbFont),
                            value("e_cbNormal", cCtrl::e_cbNormal),
                            value("e_cbPush", cCtrl::e_cbPush),
                            value("e_liFont", cCtrl::e_liFont),
                            value("e_lstNormal", cCtrl::e_lstNormal),
                            value("e_lstHighlight", cCtrl::e_lstHighlight),
                            value("e_lstSelection", cCtrl::e_lstSelection)]
        .def("GetID", &GetID)
        .def("GetName", &cCtrl::GetName)
        .def("EnableState", &cCtrl::EnableState)
        .def("DisableState", &cCtrl::DisableState)
        .def("GetState", &cCtrl::GetState)
        .def("SetPos", &cCtrl::SetPos)
        .def("SetSize", &cCtrl::SetSize)
        .def("SetUVPos", &cCtrl::SetUVPos)
        .def("SetUVSize", &cCtrl::SetUVSize);
}

luabind::scope PlainControls()
{
    using luabind::class_;
    using SetLabelColor3 = void (cLabelSysCtrl::*)(float, float, float);
    using SetLabelColorV = void (cLabelSysCtrl::*)(const vec3&);

    return class_<cImageCtrl, cCtrl>("cImageCtrl")
               .def("__init", &InitControl<cImageCtrl>)
               .def("SetTexture", &cImageCtrl::SetTexture),
           class_<cLabelCtrl, cCtrl>("cLabelCtrl")
               .def("__init", &InitControl<cLabelCtrl>)
               .def("SetText", &cLabelCtrl::SetText)
               .def("SetAlign", &cLabelCtrl::SetAlign)
               .def("SetFontPrt", &cLabelCtrl::SetFontPrt),
           class_<cLabelSysCtrl, cLabelCtrl>("cLabelSysCtrl")
               .def("__init", &InitControl<cLabelSysCtrl>)
               .def("SetColor", static_cast<SetLabelColor3>(&cLabelSysCtrl::SetColor))
               .def("SetColor", static_cast<SetLabelColorV>(&cLabelSysCtrl::SetColor)),
           class_<cTextBoxSysCtrl, cLabelSysCtrl>("cTextBoxSysCtrl")
               .def("__init", &InitControl<cTextBoxSysCtrl>),
           class_<cFrameCtrl, cCtrl>("cFrameCtrl")
               .def("__init", &InitControl<cFrameCtrl>)
               .def("SetTexture", &cFrameCtrl::SetTexture)
               .def("DrawInnerRect", &cFrameCtrl::DrawInnerRect),
           class_<cProgressBarSysCtrl, cCtrl>("cProgressBarSysCtrl")
               .def("__init", &InitControl<cProgressBarSysCtrl>)
               .def("SetTexture", &cProgressBarSysCtrl::SetTexture)
               .def("SetValue", &cProgressBarSysCtrl::SetValue)
               .def("GetValue", &cProgressBarSysCtrl::GetValue),
           class_<cSliderCtrl, cCtrl>("cSliderCtrl")
               .def("__init", &InitControl<cSliderCtrl>)
               .def("SetValue", &cSliderCtrl::SetValue)
               .def("GetValue", &cSliderCtrl::GetValue)
               .def("SetMinMax", &cSliderCtrl::SetMinMax)
               .def("GetMin", &cSliderCtrl::GetMin)
               .def("GetMax", &cSliderCtrl::GetMax)
               .def("SetVertical", &cSliderCtrl::SetVertical)
               .def("IsVertical", &cSliderCtrl::IsVertical),
           class_<cSliderSysCtrl, cSliderCtrl>("cSliderSysCtrl")
               .def("__init", &InitControl<cSliderSysCtrl>)
               .def("SetTexture", &cSliderSysCtrl::SetTexture),
           class_<cEditCtrl, cCtrl>("cEditCtrl")
               .def("__init", &InitControl<cEditCtrl>)
               .def("SetText", &cEditCtrl::SetText)
               .def("GetText", &cEditCtrl::GetText)
               .def("SetMaxLength", &SetMaxLength),
           class_<cEditSysCtrl, cEditCtrl>("cEditSysCtrl")
               .def("__init", &InitControl<cEditSysCtrl>)
               .def("SetAlign", &cEditSysCtrl::SetAlign)
               .def("SetFontPrt", &cEditSysCtrl::SetFontPrt)
               .def("SetColor", &cEditSysCtrl::SetColor)
               .def("SetTexture", &cEditSysCtrl::SetTexture),
           class_<cButtonSysCtrl, cCtrl>("cButtonSysCtrl")
               .def("__init", &InitControl<cButtonSysCtrl>)
               .def("SetText", &cButtonSysCtrl::SetText)
               .def("SetFontPrt", &cButtonSysCtrl::SetFontPrt)
               .def("SetColor", &cButtonSysCtrl::SetColor)
               .def("SetTexture", &cButtonSysCtrl::SetTexture),
           class_<cCheckBoxSysCtrl, cCtrl>("cCheckBoxSysCtrl")
               .def("__init", &InitControl<cCheckBoxSysCtrl>)
               .def("SetColor", &cCheckBoxSysCtrl::SetColor)
               .def("SetText", &cCheckBoxSysCtrl::SetText)
               .def("SetAlign", &cCheckBoxSysCtrl::SetAlign)
               .def("SetFontPrt", &cCheckBoxSysCtrl::SetFontPrt)
               .def("SetTexture", &cCheckBoxSysCtrl::SetTexture)
               .def("SetCheck", &cCheckBoxSysCtrl::SetCheck)
               .def("IsChecked", &cCheckBoxSysCtrl::IsChecked);
}

luabind::scope ListControls()
{
    using luabind::class_;
    return class_<cListCtrl, cCtrl>("cListCtrl")
               .def("__init", &InitControl<cListCtrl>)
               .def("DeleteItem", &cListCtrl::DeleteItem)
               .def("DeleteAllItems", &cListCtrl::DeleteAllItems)
               .def("GetItemCount", &cListCtrl::GetItemCount)
               .def("SetItemData", &SetItemData)
               .def("GetItemData", &GetItemData)
               .def("GetSelectedItem", &cListCtrl::GetSelectedItem)
               .def("IsSelectedItem", &cListCtrl::IsSelectedItem)
               .def("SelectItem", &cListCtrl::SelectItem)
               .def("GetVisibleCount", &cListCtrl::GetVisibleCount)
               .def("SetFirstVisible", &cListCtrl::SetFirstVisible)
               .def("GetFirstVisible", &cListCtrl::GetFirstVisible)
               .def("EnsureVisible", &cListCtrl::EnsureVisible)
               .def("IsVisible", &cListCtrl::IsVisible)
               .def("SetMultiselect", &cListCtrl::SetMultiselect)
               .def("IsMultiselect", &cListCtrl::IsMultiselect),
           class_<cListSysCtrl, cListCtrl>("cListSysCtrl")
               .def("__init", &InitControl<cListSysCtrl>)
               .def("SetTexture", &cListSysCtrl::SetTexture)
               .def("SetFontPrt", &cListSysCtrl::SetFontPrt)
               .def("SetAlign", &cListSysCtrl::SetAlign)
               .def("SetColor", &cListSysCtrl::SetColor)
               .def("InsertItem", &cListSysCtrl::InsertItem)
               .def("SetItemText", &cListSysCtrl::SetItemText)
               .def("GetItemText", &cListSysCtrl::GetItemText),
           class_<cImageListSysCtrl, cListCtrl>("cImageListSysCtrl")
               .def("__init", &InitControl<cImageListSysCtrl>)
               .def("InsertItem", &InsertTextItem),
           class_<cToolbarSysCtrl, cImageListSysCtrl>("cToolbarSysCtrl")
               .def("__init", &InitControl<cToolbarSysCtrl>);
}

} // namespace

bool RegisterControlClasses(cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        LogWarning(kSender, "No script state\n");
        return false;
    }
    try {
        luabind::module(L)[ControlBase(), PlainControls(), ListControls()];
    } catch (const std::exception& e) {
        LogError(kSender, "%s\n", e.what());
        return false;
    }
    undelete_class_rep<cCtrl>(L);
    undelete_class_rep<cImageCtrl>(L);
    undelete_class_rep<cLabelCtrl>(L);
    undelete_class_rep<cLabelSysCtrl>(L);
    undelete_class_rep<cTextBoxSysCtrl>(L);
    undelete_class_rep<cFrameCtrl>(L);
    undelete_class_rep<cProgressBarSysCtrl>(L);
    undelete_class_rep<cSliderCtrl>(L);
    undelete_class_rep<cSliderSysCtrl>(L);
    undelete_class_rep<cEditCtrl>(L);
    undelete_class_rep<cEditSysCtrl>(L);
    undelete_class_rep<cButtonSysCtrl>(L);
    undelete_class_rep<cCheckBoxSysCtrl>(L);
    undelete_class_rep<cListCtrl>(L);
    undelete_class_rep<cListSysCtrl>(L);
    undelete_class_rep<cImageListSysCtrl>(L);
    undelete_class_rep<cToolbarSysCtrl>(L);
    return true;
}

} // namespace vek
