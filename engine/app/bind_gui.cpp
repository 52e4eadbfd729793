// The GUI as scripts see it: the widget base, the cursor, windows and their
// functions, the window manager and the fonts.
#include <exception>

#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/graphics/font.h"
#include "engine/app/bind.h"
#include "engine/app/bind_scopes.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"

namespace vek {

namespace {

constexpr const char* kSender = "RegisterGuiClasses";

// True when a window of the GUI already runs this function (and owns it).
bool FunctionInUse(const cGUI* gui, const cWindowFunction* function)
{
    if (!gui) return false;
    for (unsigned i = 0; i < gui->GetWindowCount(); ++i) {
        const cWindow* window = gui->GetWindow(i);
        if (window && window->GetFunction() == function) return true;
    }
    return false;
}

// Lua: cWindow(gui, function or nil). The window owns its function, so one
// that already serves another window is not taken; the window then gets
// the base function.
void InitWindow(const luabind::argument& self, cGUI* gui, cWindowFunction* function)
{
    if (function && FunctionInUse(gui, function)) {
        LogWarning("cWindow", "The window function already belongs to another window\n");
        function = nullptr;
    }
    bind::Construct<cWindow>(self, function, gui);
}

// Lua: window:AddControl(control). Refuses a control that already belongs
// to a window (its own included) or to a composed control: a second owner
// would delete it twice.
unsigned AddControl(cWindow& window, cCtrl* control)
{
    if (!control) return 0;
    if (control->GetParent() || control->IsOwned()) {
        LogWarning("cWindow", "AddControl: control '%s' already belongs to a window\n",
                   control->GetName());
        return 0;
    }
    return static_cast<unsigned>(window.AddControl(control));
}

// Lua: window:SetActiveControl(control or nil). The focus may only rest on
// one of the window's own controls: the window keeps the pointer without
// owning the control.
void SetActiveControl(cWindow& window, cCtrl* control)
{
    if (control && control->GetParent() != &window) {
        LogWarning("cWindow", "SetActiveControl: control '%s' belongs to another window\n",
                   control->GetName());
        return;
    }
    window.SetActiveControl(control);
}

unsigned FindControl(const cWindow& window, const string& name)
{
    return static_cast<unsigned>(window.FindControl(name));
}

unsigned FindWindow(const cGUI& gui, const string& name)
{
    return static_cast<unsigned>(gui.FindWindow(name));
}

cWindow* GetWindowByIndex(const cGUI& gui, unsigned index) { return gui.GetWindow(index); }
cWindow* GetWindowByName(const cGUI& gui, const string& name) { return gui.GetWindow(name); }

int SendMessage(cGUI& gui, unsigned window, unsigned message, unsigned a, unsigned b)
{
    return gui.SendMessage(window, static_cast<int>(message), a, b);
}

int PostMessage(cGUI& gui, unsigned window, unsigned message, unsigned a, unsigned b)
{
    return gui.PostMessage(window, static_cast<int>(message), a, b);
}

int CallFunction(cWindowFunction& function, cWindow* window, unsigned message, unsigned a,
                 unsigned b)
{
    return function.Call(window, static_cast<int>(message), a, b);
}

luabind::scope GuiClasses()
{
    using luabind::class_;
    using luabind::constructor;
    using luabind::value;

    // The widget base is named with its namespace; scripts reach it through
    // _G["vek::cWidget"] and derive the game's widgets from it.
    return class_<cWidget>("vek::cWidget").def(constructor<const string&>()),
           class_<cCursor>("cCursor")
               .def(constructor<cGUI*>())
               .def("Set", &cCursor::Set),
           class_<cWindow>("cWindow")
               .def("__init", &InitWindow)
               .def("GetID", &cWindow::GetID)
               .def("FindControl", &FindControl)
               .def("AddControl", &AddControl)
               .def("GetControl", &cWindow::GetControl)
               .def("SetActiveControl", &SetActiveControl)
               .def("SetName", &cWindow::SetName)
               .def("GetName", &cWindow::GetName)
               .def("SetActive", &cWindow::SetActive)
               .def("IsActive", &cWindow::IsActive)
               .def("SetModal", &cWindow::SetModal)
               .def("IsModal", &cWindow::IsModal),
           class_<cWindowFunction>("cWindowFunction").def("Call", &CallFunction),
           class_<cGUI>("cGUI")
               .enum_("constants")[value("e_wndPaint", cGUI::e_wndPaint),
                                   value("e_wndTimer", cGUI::e_wndTimer),
                                   value("e_wndKeyDown", cGUI::e_wndKeyDown),
                                   value("e_wndChar", cGUI::e_wndChar),
                                   value("e_wndMouseMove", cGUI::e_wndMouseMove),
                                   value("e_wndLButtonDown", cGUI::e_wndLButtonDown),
                                   value("e_wndLButtonUp", cGUI::e_wndLButtonUp),
                                   value("e_wndCreate", cGUI::e_wndCreate),
                                   value("e_wndDestroy", cGUI::e_wndDestroy),
                                   value("e_wndShow", cGUI::e_wndShow),
                                   value("e_wndHide", cGUI::e_wndHide),
                                   value("e_wndAfterCreate", cGUI::e_wndAfterCreate),
                                   value("e_wndKeyUp", cGUI::e_wndKeyUp),
                                   value("e_wndHideImmediately", cGUI::e_wndHideImmediately)]
               .def("ParamToTime", &cGUI::ParamToTime)
               .def("FindWindow", &FindWindow)
               .def("GetWindow", &GetWindowByIndex)
               .def("GetWindow", &GetWindowByName)
               .def("ShowWindow", &cGUI::ShowWindow)
               .def("HideWindow", &cGUI::HideWindow)
               .def("GetCursor", &cGUI::GetCursor)
               .def("SendMessage", &SendMessage)
               .def("PostMessage", &PostMessage);
}

} // namespace

bool RegisterGuiClasses(cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        LogWarning(kSender, "No script state\n");
        return false;
    }
    try {
        luabind::module(L)[GuiClasses(), bind::FontClasses()];
    } catch (const std::exception& e) {
        LogError(kSender, "%s\n", e.what());
        return false;
    }
    // Script-made fonts join the font manager, windows the GUI and widgets
    // the engine's widget list; those owners delete them.
    undelete_class_rep<cFont>(L);
    undelete_class_rep<cWindow>(L);
    undelete_class_rep<cWidget>(L);
    return RegisterControlClasses(script);
}

} // namespace vek
