// Bases are registered before the classes built on them: luabind copies a
// base's table into the derived class when the derived one is registered.
#include "game/screens/bind_controls.h"

#include <exception>

#include "engine/app/bind_luabind.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"

namespace {

constexpr const char* kSender = "RegisterGameControls";

using vek::bind::InitControl;

// The one-string form of the scripts: a whole sheet with no area named.
void SetIconTexture(cMissionCtrl& mission, const vek::string& texture)
{
    mission.SetIcon(texture, vek::string());
}

// Scripts may leave out the part flags: all four frames take the texture.
void SetButtonTexture(cButtonCtrl& button, const vek::string& texture)
{
    button.SetTexture(texture, vek::cCtrl::e_btnNormal);
}

luabind::scope ButtonsAndBoxes()
{
    using luabind::class_;
    return class_<cButtonCtrl, vek::cCtrl>("cButtonCtrl")
               .def("__init", &InitControl<cButtonCtrl>)
               .def("SetText", &cButtonCtrl::SetText)
               .def("SetFontPrt", &cButtonCtrl::SetFontPrt)
               .def("SetColor", &cButtonCtrl::SetColor)
               .def("SetTexture", &cButtonCtrl::SetTexture)
               .def("SetTexture", &SetButtonTexture),
           class_<cTabButtonCtrl, cButtonCtrl>("cTabButtonCtrl")
               .def("__init", &InitControl<cTabButtonCtrl>),
           class_<cCheckBoxCtrl, vek::cCheckBoxSysCtrl>("cCheckBoxCtrl")
               .def("__init", &InitControl<cCheckBoxCtrl>),
           class_<cCheckBoxUpCtrl, cCheckBoxCtrl>("cCheckBoxUpCtrl")
               .def("__init", &InitControl<cCheckBoxUpCtrl>),
           class_<cSliderCtrlEx, vek::cSliderSysCtrl>("cSliderCtrlEx")
               .def("__init", &InitControl<cSliderCtrlEx>);
}

luabind::scope MissionsAndImages()
{
    using luabind::class_;
    using luabind::value;
    using SetIconArea = void (cMissionCtrl::*)(const vek::string&, const vek::string&);
    using SetColorRGBA = void (cImageCtrlEx::*)(float, float, float, float);
    return class_<cClockCtrl, vek::cFrameCtrl>("cClockCtrl")
               .def("__init", &InitControl<cClockCtrl>),
           class_<cImageCtrlEx, vek::cImageCtrl>("cImageCtrlEx")
               .def("__init", &InitControl<cImageCtrlEx>)
               .def("SetColor", static_cast<SetColorRGBA>(&cImageCtrlEx::SetColor)),
           class_<cMissionCtrl, vek::cCtrl>("cMissionCtrl")
               .def("__init", &InitControl<cMissionCtrl>)
               .enum_("constants")[value("e_itemLabel", cMissionCtrl::e_itemLabel),
                                   value("e_itemImage", cMissionCtrl::e_itemImage),
                                   value("e_itemFrame", cMissionCtrl::e_itemFrame)]
               .def("SetTexture", &cMissionCtrl::SetTexture)
               .def("SetIcon", &SetIconTexture)
               .def("SetIcon", static_cast<SetIconArea>(&cMissionCtrl::SetIcon))
               .def("SetText", &cMissionCtrl::SetText)
               .def("SetAlign", &cMissionCtrl::SetAlign)
               .def("SetFontPrt", &cMissionCtrl::SetFontPrt),
           class_<cTaskCtrl, cMissionCtrl>("cTaskCtrl").def("__init", &InitControl<cTaskCtrl>),
           class_<cAnimationCtrl, vek::cImageCtrl>("cAnimationCtrl")
               .def("__init", &InitControl<cAnimationCtrl>)
               .def("SetTileset", &cAnimationCtrl::SetTileset),
           class_<cLinkCtrl, vek::cLabelCtrl>("cLinkCtrl")
               .def("__init", &InitControl<cLinkCtrl>)
               .enum_("constants")[value("e_lnkNormal", cLinkCtrl::e_lnkNormal),
                                   value("e_lnkHighlight", cLinkCtrl::e_lnkHighlight)]
               .def("SetColor", &cLinkCtrl::SetColor),
           class_<cToolbarCtrl, vek::cListCtrl>("cToolbarCtrl")
               .def("__init", &InitControl<cToolbarCtrl>)
               .def("SetTexture", &cToolbarCtrl::SetTexture);
}

} // namespace

bool RegisterGameControls(vek::cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        vek::LogWarning(kSender, "No script state\n");
        return false;
    }
    try {
        luabind::module(L)[luabind::def("luaToImageCtrl", &ToImageCtrl), ButtonsAndBoxes(),
                           MissionsAndImages()];
    } catch (const std::exception& e) {
        vek::LogError(kSender, "%s\n", e.what());
        return false;
    }
    vek::undelete_class_rep<cToolbarCtrl>(L);
    vek::undelete_class_rep<cAnimationCtrl>(L);
    vek::undelete_class_rep<cButtonCtrl>(L);
    vek::undelete_class_rep<cCheckBoxUpCtrl>(L);
    vek::undelete_class_rep<cTabButtonCtrl>(L);
    vek::undelete_class_rep<cCheckBoxCtrl>(L);
    vek::undelete_class_rep<cSliderCtrlEx>(L);
    vek::undelete_class_rep<cLinkCtrl>(L);
    vek::undelete_class_rep<cMissionCtrl>(L);
    vek::undelete_class_rep<cImageCtrlEx>(L);
    vek::undelete_class_rep<cTaskCtrl>(L);
    vek::undelete_class_rep<cClockCtrl>(L);
    return true;
}
