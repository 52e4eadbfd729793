// Registration of the game's data classes with the script host.
#include "game/shell/bind_data.h"

#include <exception>

#include "engine/app/bind_luabind.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "game/shell/datamanager_gd.h"
#include "game/shell/texture_info.h"

namespace {

constexpr const char* kSender = "RegisterDataClasses";

// Carries the result names on a class table of its own: binding the enum
// type itself as a class would make luabind hand results to scripts as
// instances instead of numbers.
struct cResultNames {};

using vek::rectf;
using vek::recti;
using vek::string;

// Member pointers to each AddNode form, by signature.
using UvFull = int (cTextureInfo::*)(const string&, const rectf&, int, int, float);
using UvCounts = int (cTextureInfo::*)(const string&, const rectf&, int, int);
using UvRect = int (cTextureInfo::*)(const string&, const rectf&);
using WholeFull = int (cTextureInfo::*)(const string&, int, int, float);
using WholeCounts = int (cTextureInfo::*)(const string&, int, int);
using WholeName = int (cTextureInfo::*)(const string&);
using PixelFull = int (cTextureInfo::*)(const string&, const recti&, int, int, float);
using PixelCounts = int (cTextureInfo::*)(const string&, const recti&, int, int);
using PixelRect = int (cTextureInfo::*)(const string&, const recti&);

} // namespace

bool RegisterDataClasses(vek::cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        vek::LogWarning(kSender, "No script state\n");
        return false;
    }
    using luabind::class_;
    using luabind::constructor;
    using luabind::value;
    using vek::cDataManager;
    try {
        luabind::module(L)[
            class_<cResultNames>("cResult")
                .enum_("constants")[value("Ok", cDataManager::Ok),
                                    value("Stop", cDataManager::Stop),
                                    value("FileNotFound", cDataManager::FileNotFound),
                                    value("InternalError", cDataManager::InternalError)],
            class_<cDataManagerGD, cDataManager>("cDataManagerGD"),
            class_<cTextureInfo>("cTextureInfo")
                .def(constructor<const string&, bool>())
                .def("AddNode", static_cast<UvFull>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<UvCounts>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<UvRect>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<WholeFull>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<WholeCounts>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<WholeName>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<PixelFull>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<PixelCounts>(&cTextureInfo::AddNode))
                .def("AddNode", static_cast<PixelRect>(&cTextureInfo::AddNode))];
    } catch (const std::exception& e) {
        vek::LogError(kSender, "%s\n", e.what());
        return false;
    }
    vek::undelete_class_rep<cTextureInfo>(L);
    return true;
}
