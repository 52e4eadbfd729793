// The game's Lua surface: the free functions, the work kinds, the game
// object and its settings; the controls, loading jobs, shell widgets, data
// classes and locale are registered once each by their own units.
#include <exception>
#include <string>

#include "engine/app/bind_luabind.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "game/screens/bind_controls.h"
#include "game/shell/bind_data.h"
#include "game/shell/garden.h"
#include "game/shell/loading.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player_base.h"
#include "game/shell/settings.h"
#include "game/shell/splash.h"
#include "game/world/island.h"

namespace {

constexpr const char* kSender = "RegisterGameClasses";

// The kinds of garden work, as a class table for their names.
struct cWork {
    enum eWork { e_Water = 0, e_Weed = 1 };
};

bool StartsWith(const std::string& name, const char* prefix) { return name.rfind(prefix, 0) == 0; }

// Hungarian-prefix tests of a variable name; case counts.
bool IsArray(const std::string& name) { return StartsWith(name, "arr"); }
bool IsString(const std::string& name) { return StartsWith(name, "str"); }
bool IsInt(const std::string& name)
{
    return StartsWith(name, "i") || StartsWith(name, "n") || StartsWith(name, "ui");
}
bool IsFloat(const std::string& name) { return StartsWith(name, "f"); }

void PrintFrameLine(const char* text)
{
    if (!vek::g_pLog) return;
    if (vek::g_pLog->pConsole) vek::g_pLog->pConsole->Print(text);
    if (vek::g_pLog->pFile) vek::g_pLog->pFile->Print(text);
}

void luaDumpGD(const std::string&)
{
    PrintFrameLine("-----------------------------   Game Information   ----------------------------\n");
    PrintFrameLine("-------------------------------------------------------------------------------\n");
}

// The current player's name; "" while there is none.
vek::string GetName(cGarden& game)
{
    const cPlayerBase* player = game.GetCurrentPlayer();
    return player ? player->GetNameCopy() : vek::string();
}

// The balance record has no Lua class: scripts get nil.
luabind::object GetBalance(cGarden&) { return luabind::object(); }

cSettings& GetSettings(cGarden& game) { return game.m_Settings; }
void SetSettings(cGarden& game, const cSettings& settings) { game.m_Settings = settings; }
cIsland* GetIslandOf(const cGarden& game) { return game.m_pIsland; }
void SetIslandOf(cGarden& game, cIsland* island) { game.m_pIsland = island; }
int GetTraining(const cGarden& game) { return game.GetTraining(); }
void SetTraining(cGarden& game, int on) { game.SetTraining(on); }
void SetPlayerCounter(cGarden& game, unsigned counter) { game.SetPlayerCounter(static_cast<int>(counter)); }
unsigned GetPlayerCounter(cGarden& game) { return static_cast<unsigned>(game.GetPlayerCounter()); }
bool WriteSettingsFile(cGarden& game, const std::string& path, const std::string& text)
{
    return game.WriteSettingsFile(path, text);
}

} // namespace

bool RegisterGameClasses(vek::cScript* script)
{
    lua_State* L = script ? script->GetState() : nullptr;
    if (!L) {
        vek::LogWarning(kSender, "No script state\n");
        return false;
    }
    using luabind::class_;
    using luabind::def;
    using luabind::value;
    // In the order scripts expect the classes: the free functions and the
    // controls, the loading jobs, the game object, the shell's widgets, the
    // settings record, then the data classes and the locale.
    try {
        luabind::module(L)[def("luaDumpGD", &luaDumpGD), def("IsArray", &IsArray), def("IsString", &IsString),
                           def("IsInt", &IsInt), def("IsFloat", &IsFloat)];
    } catch (const std::exception& e) {
        vek::LogError(kSender, "%s\n", e.what());
        return false;
    }
    bool ok = RegisterGameControls(script);
    ok = RegisterLoadingClasses(script) && ok;
    try {
        luabind::module(L)[
            class_<cWork>("cWork").enum_("constants")[value("e_Water", cWork::e_Water),
                                                      value("e_Weed", cWork::e_Weed)],
            class_<cGarden>("cGarden")
                .def("ChangePlayer", &cGarden::ChangePlayer)
                .def("GetName", &GetName)
                .def("SetPlayerCounter", &SetPlayerCounter)
                .def("GetPlayerCounter", &GetPlayerCounter)
                .def("WriteSettingsFile", &WriteSettingsFile)
                .def("GetMoney", &cGarden::GetMoney)
                .def("gb", &GetBalance)
                .def("HideAllWindows", &cGarden::HideAllWindows)
                .property("m_pIsland", &GetIslandOf, &SetIslandOf)
                .property("m_Settings", &GetSettings, &SetSettings)
                .property("m_iTraining", &GetTraining, &SetTraining)
                .def_readwrite("m_strLinkFinishBeta", &cGarden::m_strLinkFinishBeta)];
    } catch (const std::exception& e) {
        vek::LogError(kSender, "%s\n", e.what());
        return false;
    }
    ok = RegisterSplashClasses(script) && ok;
    try {
        luabind::module(L)[class_<cSettings>("cSettings")
                               .def_readwrite("fMouseSpeed", &cSettings::fMouseSpeed)
                               .def_readwrite("iRenderInfo", &cSettings::iRenderInfo)
                               .def_readwrite("iCheatMode", &cSettings::iCheatMode)];
    } catch (const std::exception& e) {
        vek::LogError(kSender, "%s\n", e.what());
        return false;
    }
    ok = RegisterDataClasses(script) && ok;
    ok = RegisterLocaleClass(script) && ok;
    return ok;
}
