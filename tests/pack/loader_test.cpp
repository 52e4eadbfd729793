// The data pack through the game's real loader: every job of
// "conf/loading.lua" and the system font load without a warning, and what
// they make is there under the names the game looks up: every texture of
// the manifest and every sprite area through the game's own lookup, with at
// least the frames the code plays.
#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/format.h"
#include "engine/core/locale.h"
#include "engine/core/script.h"
#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"
#include "engine/sound/sound.h"
#include "game/shell/bind_data.h"
#include "game/shell/garden.h"
#include "game/shell/loading.h"
#include "game/shell/locale_gd.h"
#include "game/screens/bind_controls.h"
#include "game/screens/garden_screen.h"
#include "game/screens/score_panel.h"
#include "game/shell/splash.h"
#include "game/shell/texture_info.h"
#include "game/world/game_sound.h"
#include "game/world/ware.h"
#include "engine/gui/gui.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/window.h"
#include "support/temp_dir.h"

namespace {

// What each text's caller formats into it, in order: 'i' a number, 's' a
// text. A text no caller formats is shown as it is.
const std::map<std::string, std::string>& LocaleArguments()
{
    static const std::map<std::string, std::string> args = [] {
        std::map<std::string, std::string> m = {
            {"ConfirmDeletePlayer", "s"},     // the profile screen: the player's name
            {"ErrorDeletePlayer", "s"},       // the same
            {"ErrorPlayerRefused", "s"},      // the first main menu: a profile's name
            {"ErrorPlayerDamaged", "s"},      // the same
            {"ErrorPlayerRestored", "s"},     // the same
            {"ErrorPlayerMissing", "s"},      // the same
            {"ErrorSettingsLost", "s"},       // the first main menu: the current profile's name
            {"IncPeople", "i"},               // a finished house: the people it adds
            {"IncMarket", "i"},               // a finished market: its sales
            {"HintConstructHouse", "i"},      // the buy hint: the price
            {"HintConstructMarket", "i"},     // the same
            {"HintConstructFactory", "is"},   // the price, the name of what it makes
        };
        // The buy hint's own text of each building: the price.
        for (const char* name :
             {"Factory00", "Factory01", "Factory01_1", "Factory02", "Factory02_1", "Factory03", "Factory03_1",
              "Market00", "Market01", "Market02", "Market03", "Market04", "Market05", "House00", "House01",
              "House02", "House03", "House04", "House05", "Institute00", "Animals00", "Statue00"})
            m[std::string("HintConstruct") + name] = "i";
        return m;
    }();
    return args;
}

// The kinds the text's directives ask for, in order ('i' for d, i and u,
// 's' for s, '?' for any other letter); "%%" asks for nothing.
std::string DirectiveKinds(const std::string& text)
{
    std::string kinds;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        size_t j = i + 1;
        while (j < text.size() && std::string("-+ #0123456789.").find(text[j]) != std::string::npos) ++j;
        if (j >= text.size()) {
            kinds += '?';
            break;
        }
        const char c = text[j];
        if (c != '%') kinds += (c == 'd' || c == 'i' || c == 'u') ? 'i' : c == 's' ? 's' : '?';
        i = j;
    }
    return kinds;
}

TEST(PackLoader, EveryJobAndTheSystemFontLoadCleanly)
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    ASSERT_TRUE(repo && *repo) << "VEK_REPO_DIR names the repository";
    vek::cGame::cSettings settings;
    settings.strName = "PackLoaderTest";
    auto engine = std::make_unique<vek::cGame>(settings);
    ASSERT_TRUE(engine->HasManagers());
    vek::SetPathMacro(vek::e_macroStaticPath, std::string(repo) + "/data");
    ASSERT_TRUE(RegisterDataClasses(vek::g_pScript));
    ASSERT_TRUE(RegisterLoadingClasses(vek::g_pScript));
    ASSERT_TRUE(RegisterLocaleClass(vek::g_pScript));
    ASSERT_TRUE(CreateTextureInfos());

    // What the engine logs while it starts on a test driver is not the pack's.
    const std::string logFile = vek::GetPathMacro(vek::e_macroAppPath) + "/_log.html";
    const size_t before = vektest::ReadFile(logFile).size();
    EXPECT_TRUE(vek::g_pScript->LoadFile(vek::filename("{StaticPath}/conf/sys_font.lua")));
    {
        cLoadingWidget loading(nullptr);
        // As the shell does: load.lua runs on activation (here without the
        // loading window, which only shows progress).
        vek::g_pScript->LoadFile(vek::filename("{StaticPath}/conf/loading.lua"));
        EXPECT_GT(loading.lstQueue.size(), 40u);
        for (int i = 0; i < 1000 && (!loading.lstQueue.empty()); ++i) loading.Update(0.0f);
        loading.Update(0.0f);  // the last job taken runs
        EXPECT_TRUE(loading.lstQueue.empty());
    }
    cLocaleGD locale;
    vek::g_pScript->RegisterVar("locale", &locale);
    vek::g_pScript->RegisterVar("vek_locale", &vek::GetLocale());
    EXPECT_TRUE(vek::g_pScript->LoadFile(vek::filename("{StaticPath}/conf/locale.lua")));
    EXPECT_NE(locale.Rate0, "Rate0") << "the English texts replace the keys";
    // Every text asks for what its caller passes, kind by kind; a number
    // the buy hint passes is a price, and the text says so.
    {
        const struct {
            const char* name;
            vek::string cLocaleGD::*field;
        } texts[] = {
#define LOCALE_GD_ENTRY(field, text) {#field, &cLocaleGD::field},
            LOCALE_GD_TEXTS(LOCALE_GD_ENTRY)
#undef LOCALE_GD_ENTRY
        };
        for (const auto& t : texts) {
            const std::string text = locale.*t.field;
            const auto found = LocaleArguments().find(t.name);
            const std::string args = found == LocaleArguments().end() ? "" : found->second;
            EXPECT_EQ(DirectiveKinds(text), args) << t.name << " = \"" << text << "\"";
            if (std::string(t.name).rfind("HintConstruct", 0) != 0) continue;
            const std::string shown = vek::Formatted(text.c_str(), 1234, "Olive oil");
            EXPECT_NE(shown.find("$1234"), std::string::npos) << t.name << " shows the price: " << shown;
        }
    }

    // The names the shell and the screens look up.
    EXPECT_EQ(vek::g_pFontManager->Find("system"), 1u) << "the console's font is font 1";
    EXPECT_NE(vek::g_pFontManager->Find("header24x24"), 0u);
    for (const char* texture : {"cursor_pointer", "icon_error", "icon_question"})
        EXPECT_NE(vek::g_pTextureManager->Find(texture), 0u) << texture;
    vek::cSoundManager& sound = *vek::g_pSoundManager;
    EXPECT_EQ(sound.m_SoundBuffers.Count(), 35u) << "the default and the 34 sounds";
    for (const char* name : {"music_menu", "music0", "music1"}) EXPECT_NE(sound.m_Musics.Find(name), 0u) << name;

    // The checklist over every row of the manifest that loading.lua loads.
    boost::property_tree::ptree manifest;
    ASSERT_NO_THROW(boost::property_tree::read_json(std::string(repo) + "/tools/pack/manifest.json", manifest));
    // Each game sound id plays the sound the pack makes for that id (the
    // others play by name).
    int sounds = 0;
    for (const auto& entry : manifest.get_child("sounds")) {
        const int id = entry.second.get<int>("id", -1);
        const std::string name = entry.second.get<std::string>("name");
        if (id < 0) continue;
        ASSERT_LT(id, kGameSoundCount) << name;
        EXPECT_EQ(g_aGameSoundNames[id], name) << id;
        EXPECT_NE(sound.m_SoundBuffers.Find(g_aGameSoundNames[id]), 0u) << name;
        ++sounds;
    }
    EXPECT_EQ(sounds, kGameSoundCount);
    int rows = 0, areas = 0;
    for (const auto& entry : manifest.get_child("textures")) {
        const boost::property_tree::ptree& row = entry.second;
        if (row.get<std::string>("loaded_by") != "loading") continue;
        const std::string name = row.get<std::string>("name");
        const uint32_t id = vek::g_pTextureManager->Find(name);
        EXPECT_NE(id, 0u) << "texture " << name;
        if (id == 0) continue;
        ++rows;
        const int w = vek::g_pTextureManager->Get(id)->GetWidth(), h = vek::g_pTextureManager->Get(id)->GetHeight();
        EXPECT_TRUE(w > 0 && h > 0 && (w & (w - 1)) == 0 && (h & (h - 1)) == 0) << name << " " << w << "x" << h;
        // A toolbar strip's icons stand in the order the game numbers them.
        if (const auto order = row.get_child_optional("icon_order")) {
            int index = 0;
            for (const auto& ware : *order)
                EXPECT_EQ(cWareManager::PlantIconIndex(ware.second.get_value<std::string>()), index++) << name;
            EXPECT_EQ(index, 10) << name;
        }
        const auto list = row.get_child_optional("areas");
        if (!list) continue;
        for (const auto& a : *list) {
            const std::string area = a.second.get<std::string>("name");
            cSprite sprite;
            EXPECT_EQ(FindSprite(name, area, &sprite), e_spriteFound) << name << ":" << area;
            EXPECT_GE(sprite.iFrameCount, a.second.get<int>("frames")) << name << ":" << area;
            EXPECT_GT(sprite.fWidth, 0.0f) << name << ":" << area;
            ++areas;
        }
    }
    EXPECT_GT(rows, 50) << "the shell's and the world's textures";
    EXPECT_GT(areas, 190);
    // The waterfall's two pages are drawn with one page's frames.
    const vek::cTexture* page0 = vek::g_pTextureManager->Get(vek::g_pTextureManager->Find("island02_0"));
    const vek::cTexture* page1 = vek::g_pTextureManager->Get(vek::g_pTextureManager->Find("island02_1"));
    ASSERT_TRUE(page0 && page1);
    EXPECT_EQ(page0->GetWidth(), page1->GetWidth());
    EXPECT_EQ(page0->GetHeight(), page1->GetHeight());
    // A building's size on the island is its sprite's first frame.
    cSprite statue;
    ASSERT_EQ(FindSprite("peacock02", "statue00", &statue), e_spriteFound);
    EXPECT_EQ(statue.fWidth, 96.0f);
    EXPECT_EQ(statue.fHeight, 128.0f);

    // The splash: its pictures from the splash folder, its nodes from its script.
    ASSERT_TRUE(RegisterSplashClasses(vek::g_pScript));
    {
        cSplashWidget splash(nullptr);
        ASSERT_GE(splash.nodes.size(), 2u);
        for (const cSplashWidget::cNode& node : splash.nodes)
            for (int32_t image : node.vecImages) EXPECT_NE(image, 0) << "a splash picture is missing";
    }
    // The loading window: the bar the loading screen fills, and no label
    // (with one, every job waits six frames).
    ASSERT_TRUE(vek::g_pScript->LoadFile(vek::filename("{StaticPath}/gui/game_loading.lua")));
    ASSERT_TRUE(vek::g_pScript->DoString("FillWindow(cWindow(theGUI, nil))"));
    const vek::cWindow* window = engine->pGUI->GetWindow("loading");
    EXPECT_EQ(window->FindControl("label"), 0);
    EXPECT_STREQ(window->GetControl(window->FindControl("progress"))->ClassName(), "cProgressBarSysCtrl");

    // Every screen's window through the real bindings, after the start-up
    // script has loaded the shared helpers.
    ASSERT_TRUE(RegisterGameControls(vek::g_pScript));
    // Not a first run: the start-up script would ask for a window otherwise.
    ASSERT_TRUE(vektest::WriteFile(vek::GetPathMacro(vek::e_macroAppPath) + "/conf/settings.lua", "-- empty\n"));
    EXPECT_TRUE(vek::g_pScript->LoadFile(vek::filename("{StaticPath}/conf/system.lua")));
    // The skin's areas come from the start-up script.
    ASSERT_NE(FindTextureInfo("gui_system"), nullptr);
    EXPECT_NE(FindTextureInfo("gui_system")->GetId(), 0u);
    EXPECT_GT(FindTextureInfo("gui_system")->GetNodeCount(), 10u);
    int windows = 0;
    for (const cGameWindowRow& row : GetGameWindowTable()) {
        const char* name = row.name;
        ASSERT_TRUE(vek::g_pScript->DoString("FillWindow = nil"));
        ASSERT_TRUE(vek::g_pScript->LoadFile(vek::filename(std::string("{StaticPath}/gui/") + name + ".lua")))
            << name;
        const unsigned before = engine->pGUI->GetWindowCount();
        EXPECT_TRUE(vek::g_pScript->DoString("FillWindow(cWindow(theGUI, nil))")) << name;
        EXPECT_EQ(engine->pGUI->GetWindowCount(), before + 1) << name;
        const vek::cWindow* made = engine->pGUI->GetWindow(before);
        ASSERT_NE(made, nullptr);
        EXPECT_GT(made->GetControlCount(), 1u) << name << " makes its controls";
        ++windows;
    }
    EXPECT_EQ(windows, 22);
    // The pack's windows are the game's, in the same order, and the loading
    // screen's.
    std::vector<std::string> packWindows, gameWindows;
    for (const auto& entry : manifest.get_child("windows")) {
        const std::string name = entry.second.get<std::string>("name");
        if (name != "loading") packWindows.push_back(name);
    }
    for (const cGameWindowRow& row : GetGameWindowTable()) gameWindows.push_back(row.name);
    EXPECT_EQ(packWindows, gameWindows);

    const std::string log = vektest::ReadFile(logFile).substr(before);
    EXPECT_EQ(log.find("class='warning'"), std::string::npos) << log;
    EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;

    // The garden screen and the score panel find every control they keep,
    // of the class they use it as.
    {
        cGardenWF garden;
        garden.Call(engine->pGUI->GetWindow("garden"), vek::cGUI::e_wndAfterCreate, 0, 0);
        EXPECT_FALSE(garden.IsLocked());
        cScoreWF score;
        score.Call(engine->pGUI->GetWindow("score"), vek::cGUI::e_wndAfterCreate, 0, 0);
        EXPECT_FALSE(score.IsLocked());
    }
    DestroyTextureInfos();
}

}  // namespace
