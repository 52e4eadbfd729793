// The engine's free functions and core classes as scripts see them: the
// engine object, the script host, files and file names, the locale texts,
// alignment flags and the value classes.
#include <exception>

#include "engine/app/commands.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "engine/app/game.h"
#include "engine/core/locale.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/app/sysinfo.h"
#include "engine/app/bind.h"
#include "engine/app/bind_scopes.h"
#include "engine/gui/gui.h"

namespace vek {

namespace {

constexpr const char* kSender = "RegisterEngineLua";

cScript* GetScriptHost() { return g_pScript; }

// Decodes the source sound file and writes it as a WAV file.
bool SaveWAV(const string& source, const string& destination, bool mono)
{
    return cDataManager::WriteWAV(source, filename(destination), mono) == 0;
}

void SetGamma(cGame& game, float gamma) { game.SetGamma(gamma); }

// The Lua methods of filename: the parts of the split path.
string FilePath(const filename& f) { return f.path; }
string FileDir(const filename& f) { return f.GetDir(); }
string FileFile(const filename& f) { return f.GetFile(); }
string FileName(const filename& f) { return f.name; }
string FileExt(const filename& f) { return f.ext; }

luabind::scope FreeFunctions()
{
    using luabind::def;
    return def("dump_vek15", &DumpEngineInfo),
           def("info", &DumpSystemInfo),
           def("sound", &SetVolumes),
           def("display", &SetDisplayMode),
           def("shot", &CreateScreenShot),
           def("luaSaveWAV", &SaveWAV),
           bind::SoundFunction(),
           def("GetScript", &GetScriptHost);
}

luabind::scope CoreClasses()
{
    using luabind::class_;
    using luabind::constructor;
    using luabind::pure_out_value;
    using luabind::value;

    // The engine object has no Lua constructor: a second engine built by a
    // script would take over the process-wide state, and Lua would own it.
    return cLocale::LuaClass(),
           class_<cGame>("cGame")
               .enum_("constants")[value("e_ExePath", cGame::e_ExePath),
                                   value("e_StaticPath", cGame::e_StaticPath),
                                   value("e_AppPath", cGame::e_AppPath),
                                   value("e_UserPath", cGame::e_UserPath)]
               .def("SetWindowTitle", &cGame::SetWindowTitle)
               .def("Exit", &cGame::Exit)
               .def("EnableConsole", &cGame::EnableConsole)
               .def("GetGamma", &cGame::GetGamma)
               .def("SetGamma", &SetGamma)
               .def("SetLocale", &cGame::SetLocale)
               .def("GetClientSize", &cGame::GetClientSize, pure_out_value(_2) + pure_out_value(_3))
               .def("IsWindowed", &cGame::IsWindowed)
               .def("PauseWidget", &cGame::PauseWidget)
               .def("SetFocusWidget", &cGame::SetFocusWidget),
           bind::SoundClass(),
           class_<cScript>("cScript").def("LoadFile", &cScript::LoadFile),
           class_<cFileSystem>("cFileSystem")
               .def(constructor<>())
               .def("GetFirst", &cFileSystem::GetFirst)
               .def("GetNext", &cFileSystem::GetNext)
               .def("Exist", &cFileSystem::Exist)
               .def("FullAccess", &cFileSystem::FullAccess)
               .def("IsFolder", &cFileSystem::IsFolder)
               .def("CreateFolder", &cFileSystem::CreateFolder),
           class_<cFile>("cFile")
               .def(constructor<>())
               .def("Open", &cFile::Open)
               .def("IsOpen", &cFile::IsOpen)
               .def("Close", &cFile::Close),
           class_<filename>("filename")
               .def(constructor<>())
               .def(constructor<const std::string&>())
               .def("c_str", &filename::c_str)
               .def("empty", &filename::empty)
               .def("path", &FilePath)
               .def("dir", &FileDir)
               .def("file", &FileFile)
               .def("name", &FileName)
               .def("ext", &FileExt)
               .def("replace_ext", &filename::replace_ext),
           bind::ValueClasses(),
           class_<cDataManager>("cDataManager"),
           class_<cAlign>("cAlign").enum_("constants")[value("None", cAlign::None),
                                                       value("Left", cAlign::Left),
                                                       value("Center", cAlign::Center),
                                                       value("Right", cAlign::Right),
                                                       value("Top", cAlign::Top),
                                                       value("Middle", cAlign::Middle),
                                                       value("Bottom", cAlign::Bottom)];
}

} // namespace

bool RegisterEngineLua(cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        LogWarning(kSender, "No script state\n");
        return false;
    }
    try {
        luabind::module(L)[FreeFunctions(), CoreClasses()];
    } catch (const std::exception& e) {
        LogError(kSender, "%s\n", e.what());
        return false;
    }
    return RegisterGuiClasses(script);
}

} // namespace vek
