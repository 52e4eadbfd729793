#pragma once
// A game object over a real engine GUI (no window) with the four windows the
// tutorial and the screen hints point into, a level field of stand-in
// objects, a few wares and a profile; a stand-in world answers what the
// lessons ask of plants, tools, the hive, the gardener and the ships.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/graphics/font.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/objects/object.h"
#include "game/screens/controls.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/level.h"
#include "game/world/rules.h"
#include "game/world/training.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace tuttest {

// Controls at known places: "plants" (100, 20), "grass" (400, 20),
// "animals" (600, 20), "but_0" (900, 300); "task0" (800, 700), "clock"
// (700, 720), "clock_medal" (760, 720); "but_rate" (20, 600),
// "but_island_rate" (20, 500, 50 x 40).
inline const char* const kHintScript = R"lua(
function FillWindow(w)
  w:SetName('hint') w:SetActive(true) w:SetModal(false)
  local h = cImageCtrl(w, 'highlight') h:SetSize(64, 64, 0) h:EnableState(cCtrl.e_Ignorable)
  local a = cImageCtrl(w, 'arrow') a:SetPos(300, 420, 0) a:SetSize(48, 64, 0) a:EnableState(cCtrl.e_Ignorable)
  local f = cFrameCtrl(w, 'frame') f:SetPos(352, 296, 0) f:SetSize(320, 176, 0)
  local t = cTextBoxSysCtrl(w, 'text') t:SetFontPrt('mono') t:SetAlign(cAlign.Left + cAlign.Top)
  t:SetPos(368, 360, 0) t:SetSize(288, 96, 0)
  local c = cButtonSysCtrl(w, 'close') c:SetPos(512, 308, 0) c:SetSize(144, 40, 0)
  cCheckBoxSysCtrl(w, 'show')
end
)lua";
inline const char* const kGardenScript = R"lua(
function FillWindow(w)
  local c = cImageCtrl(w, 'plants') c:SetPos(100, 20, 0) c:SetSize(300, 64, 0)
  c = cImageCtrl(w, 'grass') c:SetPos(400, 20, 0) c:SetSize(64, 64, 0)
  c = cImageCtrl(w, 'animals') c:SetPos(600, 20, 0) c:SetSize(300, 64, 0)
  c = cImageCtrl(w, 'but_0') c:SetPos(900, 300, 0) c:SetSize(100, 80, 0)
end
)lua";
inline const char* const kScoreScript = R"lua(
function FillWindow(w)
  local c = cImageCtrl(w, 'task0') c:SetPos(800, 700, 0) c:SetSize(200, 40, 0)
  c = cImageCtrl(w, 'clock') c:SetPos(700, 720, 0) c:SetSize(40, 40, 0)
  c = cImageCtrl(w, 'clock_medal') c:SetPos(760, 720, 0) c:SetSize(30, 30, 0)
end
)lua";
inline const char* const kIslandScript = R"lua(
function FillWindow(w)
  local c = cImageCtrl(w, 'but_rate') c:SetPos(20, 600, 0) c:SetSize(50, 40, 0)
  c = cImageCtrl(w, 'but_island_rate') c:SetPos(20, 500, 0) c:SetSize(50, 40, 0)
end
)lua";

// A task line of the score panel at a known place.
struct TaskLine : cTaskCtrl {
    explicit TaskLine(const vek::rectf& r) : cTaskCtrl("line", nullptr), rect(r) {}
    vek::rectf GetRect() const override { return rect; }
    vek::rectf rect;
};

// An object of a chosen type and rectangle on a cell of the field.
struct Thing : cObject {
    Thing(cLevel* level, uint32_t type, int row, int column, float w = 40.0f, float h = 50.0f)
        : cObject(level), uType(type)
    {
        m_vSize = vek::vec2(w, h);
        SetCell(row, column);
    }
    uint32_t GetType() const override { return uType; }
    uint32_t uType;
};

// Answers from plain tables keyed by object.
struct FakeWorld : cTrainingWorld {
    int32_t GetPlantNeed(const cObject& o) const override { return Find(need, &o, -1); }
    int32_t GetPlantWare(const cObject& o) const override { return Find(ware, &o, NO_WARE); }
    bool IsToolInUse(const cObject& o) const override { return Find(inUse, &o, 0) != 0; }
    bool IsToolFull(const cObject& o) const override { return Find(full, &o, 0) != 0; }
    bool HiveHasHoney(const cObject& o) const override { return Find(honey, &o, 0) != 0; }
    void ClearGardenerJobs(cObject&) const override { ++clearedJobs; }
    void ClearGardenerWare(cObject&) const override { ++droppedWare; }
    cShip* GetFirstShip() const override { return ship; }
    void StartHintTimer(float seconds) const override { hintTimer = seconds; }

    static int32_t Find(const std::map<const cObject*, int32_t>& m, const cObject* o, int32_t none)
    {
        const auto it = m.find(o);
        return it == m.end() ? none : it->second;
    }
    std::map<const cObject*, int32_t> need, ware, inUse, full, honey;
    mutable int clearedJobs = 0;
    mutable int droppedWare = 0;
    cShip* ship = nullptr;
    mutable float hintTimer = -1.0f;
};

class TutorialFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("tutorial");
        ASSERT_FALSE(m_strDir.empty());
        GetProfileHost() = cProfileHost();
        vek::cGame::cSettings s;
        s.strName = "TutorialTest";
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        auto* font = new vek::cFont("mono");
        font->Init("", "", 0, 10.0f);
        for (char c = 'a'; c <= 'z'; ++c) font->Char(vek::string(1, c), 8, vek::recti(0, 0, 8, 10), 0, 8);
        ASSERT_TRUE(CreateWareManager());
        for (const char* name : {"plant00", "plant01", "plant02", "grass", "flowers"}) {
            auto* sort = new cSort(name, name);
            sort->iPrice = 10;
        }
        for (const char* name : {"product00", "egg", "milk", "honey", "nib"}) new cProduct(name, name);
        m_pGarden = new cGarden();
        m_pGarden->m_pHint = new cHintGDWF();
        Make("hint", kHintScript, m_pGarden->m_pHint);
        Make("garden", kGardenScript, new vek::cWindowFunction());
        Make("score", kScoreScript, new vek::cWindowFunction());
        Make("island", kIslandScript, new vek::cWindowFunction());
        m_pLevel = new cLevel();
        m_pLevel->BuildGrid(10, 8);
        m_pGarden->m_pLevel = m_pLevel;
        m_pGame->SetFocusWidget("garden");
        m_pPlayer = new cPlayer("tut");
        m_pPlayer->m_strName = "tut";
        m_pGarden->AddPlayer(m_pPlayer);
        m_pGarden->ChangePlayer("tut");
        ASSERT_EQ(m_pGarden->GetPlayer(), m_pPlayer);
        m_pPlayer->m_iMoney = 100;
        SetTrainingWorld(&m_World);
    }
    void TearDown() override
    {
        SetTrainingWorld(nullptr);
        delete m_pGarden;
        delete m_pGame;
        DestroyWareManager();
    }

    void Make(const std::string& name, const std::string& script, vek::cWindowFunction* function)
    {
        ASSERT_TRUE(vektest::WriteFile(m_strDir + "/data/gui/" + name + ".lua", script));
        ASSERT_NE(m_pGarden->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), function), nullptr);
    }
    vek::cCtrl* Hint(const char* name) const
    {
        vek::cWindow* w = m_pGame->pGUI->GetWindow("hint");
        return w ? w->GetControl(static_cast<unsigned>(w->FindControl(name))) : nullptr;
    }
    bool Visible(const char* name) const { return Hint(name)->GetState(vek::cCtrl::e_Visibility) != 0; }
    // The text as given; the text box may end a laid-out line with a space.
    vek::string HintText() const
    {
        vek::string text = static_cast<vek::cLabelCtrl*>(Hint("text"))->GetText();
        while (!text.empty() && text.back() == ' ') text.pop_back();
        return text;
    }
    vek::rectf Highlight() const { return Hint("highlight")->GetRect(); }
    vek::vec2 Arrow() const
    {
        const vek::rectf r = Hint("arrow")->GetRect();
        return vek::vec2(r.x, r.y);
    }
    bool HintShown() const { return m_pGame->pGUI->IsWindowShown("hint"); }
    // Fixed steps of the tutorial, each also a GUI step.
    void Steps(int count)
    {
        for (int i = 0; i < count; ++i) {
            m_pGarden->UpdateTraining();
            m_pGame->pGUI->Update(1.0f / 30.0f);
        }
    }
    cTraining& Training() { return m_pGarden->m_Training; }
    int32_t WareOf(const char* name) const { return g_pWareManager->FindWare(name); }
    void AddTask(const char* ware)
    {
        cLevelTask task;
        task.iWare = WareOf(ware);
        task.iAmount = 3;
        m_pPlayer->m_Tasks.push_back(task);
    }

    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cGarden* m_pGarden = nullptr;
    cLevel* m_pLevel = nullptr;
    cPlayer* m_pPlayer = nullptr;
    FakeWorld m_World;
};

} // namespace tuttest
