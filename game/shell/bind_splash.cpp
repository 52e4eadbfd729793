// The Lua classes of the shell's own widgets: the splash screen with its
// nodes, and the island (no members of its own yet). Scripts reach nodes
// only through references the widget hands out; the widget keeps them.
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/core/script_luabind.h"
#include "game/shell/splash.h"
#include "game/world/island.h"

bool RegisterSplashClasses(vek::cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        vek::LogWarning("RegisterSplashClasses", "No script state\n");
        return false;
    }
    using luabind::class_;
    try {
        luabind::module(L)[
            class_<cSplashWidget, vek::cWidget>("cSplashWidget")
                .def("SetBackColor", &cSplashWidget::SetBackColor)
                .def("AddNode", &cSplashWidget::AddNode),
            class_<cSplashWidget::cNode>("cNode").def("AddImage", &cSplashWidget::cNode::AddImage),
            class_<cIsland, vek::cWidget>("cIsland")];
    } catch (const std::exception& e) {
        vek::LogError("RegisterSplashClasses", "%s\n", e.what());
        return false;
    }
    vek::undelete_class_rep<cSplashWidget>(L);
    return true;
}
