// The Lua classes of the loading jobs. A job joins the loading queue from
// its constructor and the loading widget deletes it, so Lua's collector
// never does.
#include "engine/app/bind_luabind.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/core/script_luabind.h"
#include "game/shell/loading.h"

namespace {

// The (name, flag) constructors: the flag is set only by a Lua true, so a
// script may leave it out or pass nil.
template <class T>
void InitFlagged(const luabind::argument& self, const vek::string& name, const luabind::object& flag)
{
    const bool on = luabind::type(flag) == LUA_TBOOLEAN && luabind::object_cast<bool>(flag);
    vek::bind::Construct<T>(self, name, on);
}

} // namespace

bool RegisterLoadingClasses(vek::cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        vek::LogWarning("RegisterLoadingClasses", "No script state\n");
        return false;
    }
    using luabind::class_;
    using luabind::constructor;
    try {
        luabind::module(L)[
            class_<cLoadData>("cLoadData"),
            class_<cLoadTexture, cLoadData>("cLoadTexture")
                .def(constructor<const vek::string&>())
                .def("SetParameters", &cLoadTexture::SetParameters),
            class_<cLoadFont, cLoadData>("cLoadFont").def(constructor<const vek::string&>()),
            class_<cLoadSound, cLoadData>("cLoadSound")
                .def("__init", &InitFlagged<cLoadSound>)
                .def("SetParameters", &cLoadSound::SetParameters),
            class_<cLoadMusic, cLoadData>("cLoadMusic")
                .def("__init", &InitFlagged<cLoadMusic>)
                .def(constructor<const vek::string&, const vek::string&, int, int, bool>()),
            class_<cLoadStream, cLoadData>("cLoadStream").def("__init", &InitFlagged<cLoadStream>)];
    } catch (const std::exception& e) {
        vek::LogError("RegisterLoadingClasses", "%s\n", e.what());
        return false;
    }
    vek::undelete_class_rep<cLoadData>(L);
    vek::undelete_class_rep<cLoadTexture>(L);
    vek::undelete_class_rep<cLoadFont>(L);
    vek::undelete_class_rep<cLoadSound>(L);
    vek::undelete_class_rep<cLoadMusic>(L);
    vek::undelete_class_rep<cLoadStream>(L);
    return true;
}
