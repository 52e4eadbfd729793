#pragma once
// The engine with the game object on top, for the level's framing screens:
// the windows are made from the repository's own scripts (with their
// shared helpers) through the game object, the sprites they look up exist
// in the texture-info registry, a profile is current, and the game sounds
// the screens ask for are recorded.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "../shell/sprite_fixture.h"
#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/script.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "game/screens/bind_controls.h"
#include "game/screens/mission_common.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace missiontest {

class cTestGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

// A view that only has a name.
class cTestWidget : public vek::cWidget {
public:
    explicit cTestWidget(const vek::string& name) : vek::cWidget(name) {}
};

inline std::vector<unsigned>& Sounds()
{
    static std::vector<unsigned> sounds;
    return sounds;
}
inline void RecordSound(unsigned id) { Sounds().push_back(id); }

// A texture cut into one frame per area, each area a column of its own.
inline void SpriteSheet(const std::string& texture, const std::vector<std::string>& areas)
{
    spritetest::MakeTexture(texture, 64, 64);
    auto* info = new cTextureInfo(texture, false);
    const float w = 1.0f / static_cast<float>(areas.size());
    for (size_t i = 0; i < areas.size(); ++i)
        info->AddNode(areas[i], vek::rectf(w * static_cast<float>(i), 0.25f, w, 0.5f));
}

class MissionFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The screens' scripts are the repository's.
        const char* repo = std::getenv("VEK_REPO_DIR");
        if (!repo || !*repo) GTEST_SKIP() << "VEK_REPO_DIR is not set";
        m_strDir = vektest::MakeTempDir("mission");
        ASSERT_FALSE(m_strDir.empty());
        vek::cGame::cSettings s;
        s.strTitle = "Mission test";
        s.strName = "MissionTest";
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, std::string(repo) + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        ASSERT_TRUE(CreateTextureInfos());
        ASSERT_TRUE(RegisterGameControls(vek::g_pScript));
        ASSERT_TRUE(vek::g_pScript->LoadFile(vek::filename("{StaticPath}/gui/common.lua")));
        ASSERT_TRUE(CreateWareManager());
        CreateWares();

        std::vector<std::string> icons = {"ostrich", "goat", "hive", "peacock", "star", "house"};
        for (const cWare* ware : g_pWareManager->vecWares) icons.push_back(ware->strName);
        SpriteSheet("icons00", icons);
        std::vector<std::string> buildings = {"gold", "silver", "bronze"};
        for (const char* b : {"house00", "house01", "market00", "market01", "factory00", "institute00"})
            buildings.push_back(b);
        SpriteSheet("icons01", buildings);
        SpriteSheet("houses05", {"gold", "silver", "bronze"});
        SpriteSheet("peacock01", {"money", "star"});
        SpriteSheet("images00", {"hole"});
        SpriteSheet("gui_ups00", {"speed", "speed_checked", "volume_water", "volume_water_checked", "volume_bin",
                                  "volume_bin_checked", "time_bin", "time_bin_checked"});
        SpriteSheet("gui_ups01", {"time_water", "time_water_checked", "time_weed", "time_weed_checked"});

        m_pGarden = new cTestGarden();
        m_pPlayer = new cPlayer("plrmission");
        m_pGarden->SetCurrent(m_pPlayer);
        CreateBuildings(m_pGarden->m_Buildings);
        new cTestWidget("island");
        new cTestWidget("garden");
        m_pGame->SetFocusWidget("garden");
        Sounds().clear();
        SetScreenSoundHook(&RecordSound);
    }

    void TearDown() override
    {
        SetScreenSoundHook(nullptr);
        if (m_pGarden) m_pGarden->SetCurrent(nullptr);
        delete m_pPlayer;
        delete m_pGarden;
        if (g_pWareManager) DestroyWareManager();
        DestroyTextureInfos();
        delete m_pGame;
    }

    // A window of the game from the repository's script.
    vek::cWindow* Fill(const std::string& name, vek::cWindowFunction* function)
    {
        return m_pGarden->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), function);
    }
    // A window from a script of the test's own.
    vek::cWindow* FillScript(const std::string& name, const std::string& script, vek::cWindowFunction* function)
    {
        const std::string path = m_strDir + "/" + name + ".lua";
        EXPECT_TRUE(vektest::WriteFile(path, script));
        return m_pGarden->FillWindow(name, vek::filename(path), function);
    }

    vek::cGUI& GUI() { return *m_pGame->pGUI; }
    bool Shown(const char* name) { return GUI().IsWindowShown(name); }

    // GUI updates of a thirtieth of a second for that many seconds.
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 30.0f) GUI().Update(1.0f / 30.0f);
    }

    // The control of that name in the window, as T.
    template <class T>
    static T* Get(vek::cWindow* window, const char* name)
    {
        const int index = window->FindControl(name);
        return index == 0 ? nullptr : dynamic_cast<T*>(window->GetControl(static_cast<unsigned>(index)));
    }
    static bool Visible(vek::cWindow* window, const char* name)
    {
        const vek::cCtrl* c = Get<vek::cCtrl>(window, name);
        return c && c->GetState(vek::cCtrl::e_Visibility);
    }
    static vek::string Text(vek::cWindow* window, const char* name)
    {
        const vek::cLabelCtrl* label = Get<vek::cLabelCtrl>(window, name);
        return label ? label->GetText() : vek::string("<none>");
    }
    // The uv rectangle an image shows.
    static vek::rectf UV(vek::cWindow* window, const char* name)
    {
        const vek::cImageCtrl* image = Get<vek::cImageCtrl>(window, name);
        return image ? image->GetUV() : vek::rectf();
    }
    // The first frame of a sprite.
    static vek::rectf Frame(const char* texture, const char* area)
    {
        cSprite sprite;
        return g_pGarden->GetSprite(texture, &sprite, area) ? sprite.pFrames[0] : vek::rectf();
    }
    // Presses the control of that name.
    void Press(vek::cWindow* window, const char* name)
    {
        GUI().SendMessage(window->GetID(), vek::cGUI::e_wndCommand, 0,
                          static_cast<unsigned>(window->FindControl(name)));
    }
    int SoundCount(unsigned id) const
    {
        int n = 0;
        for (unsigned s : Sounds()) n += s == id;
        return n;
    }
    size_t Flights() const { return m_pGarden->m_pFlyingItems->Count(); }

    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cTestGarden* m_pGarden = nullptr;
    cPlayer* m_pPlayer = nullptr;
};

} // namespace missiontest
