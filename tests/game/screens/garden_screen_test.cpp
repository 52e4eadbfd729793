// The garden screen, the score panel and the task panel over a real engine
// and game object: what each finds in its script and how it locks without
// it, the toolbars' contents and rules, the factory panels' slide, the
// medal shown by the clock, and the task lines following the active tasks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/script.h"
#include "engine/core/image.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/objects/garden_hooks.h"
#include "game/screens/bind_controls.h"
#include "game/screens/controls.h"
#include "game/screens/garden_screen.h"
#include "game/screens/message_box.h"
#include "game/screens/score_panel.h"
#include "game/screens/screen_seams.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace {

using vek::cGUI;

// The garden's layout as the game's script makes it, with placeholders for
// what a test leaves out or makes of another class.
std::string GardenScript(const std::string& skip = "", const std::string& plantsClass = "cToolbarCtrl")
{
    std::string s = "function FillWindow(w)\n  w:SetName('garden') w:SetActive(true) w:SetModal(false)\n"
                    "  local main = cImageCtrl(w, 'MainFrame') main:SetSize(1024, 768, 0)\n";
    const std::pair<const char*, int> bars[] = {{"plants", 10}, {"grass", 2}, {"animals", 4}};
    int y = 28;
    for (const auto& [name, n] : bars) {
        const std::string cls = std::string(name) == "plants" ? plantsClass : "cToolbarCtrl";
        s += "  do local t = " + cls + "(w, '" + name + "') t:SetPos(24, " + std::to_string(y) +
             ", 0) t:SetSize(" + std::to_string(67 * n - 3) + ", 64, 0)\n";
        if (cls == "cToolbarCtrl") s += "  t:SetSize(64, 64, cCtrl.e_lstItems)\n";
        s += "  cFrameCtrl(w, 'left_" + std::string(name) + "') cFrameCtrl(w, 'center_" + name +
             "') cFrameCtrl(w, 'right_" + name + "') end\n";
        y += 100;
    }
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        const std::string py = std::to_string(500 - 130 * i);
        const std::pair<std::string, std::string> controls[] = {
            {"but_" + n, "cButtonCtrl"},        {"img0_" + n, "cImageCtrl"},   {"lb0_" + n, "cLabelCtrl"},
            {"arrow_" + n, "cImageCtrlEx"},     {"img1_" + n, "cImageCtrl"},   {"progress_" + n, "cProgressBarSysCtrl"},
            {"back_progress_" + n, "cImageCtrl"}};
        for (const auto& [name, cls] : controls) {
            if (name == skip) continue;
            s += "  do local c = " + cls + "(w, '" + name + "') c:SetPos(4, " + py + ", 0) c:SetSize(" +
                 (cls == "cButtonCtrl" ? "122, 112" : "40, 40") + ", 0) end\n";
        }
    }
    return s + "end\n";
}

std::string ScoreScript(const std::string& skip = "")
{
    std::string s = "function FillWindow(w)\n  w:SetName('score') w:SetActive(true) w:SetModal(false)\n";
    const std::pair<const char*, const char*> controls[] = {
        {"money", "cLabelCtrl"},       {"clock", "cClockCtrl"},      {"clock_back", "cImageCtrl"},
        {"clock_medal", "cImageCtrl"}, {"frmMoney", "cFrameCtrl"},   {"imgMoney", "cImageCtrl"},
        {"decMoney0", "cImageCtrl"},   {"decMoney1", "cImageCtrl"},  {"menu", "cButtonCtrl"},
        {"dump_fps", "cLabelCtrl"}};
    for (const auto& [name, cls] : controls)
        if (skip != name) s += std::string("  ") + cls + "(w, '" + name + "')\n";
    s += "  for i = 0, 3 do local t = cTaskCtrl(w, 'task' .. i) t:SetSize(148, 56, 0) t:SetPos(874, 560 - 64 * i, 0) end\n";
    return s + "end\n";
}

// The game object with a message box the test makes.
class cScreensGarden : public cGarden {
public:
    void SetMessageBox(cMessageBoxWF* box) { m_pMessageBox = box; }
};

class ScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("screens");
        ASSERT_FALSE(m_strDir.empty());
        vek::cGame::cSettings s;
        s.strName = "ScreensTest";
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        ASSERT_TRUE(RegisterGameControls(vek::g_pScript));
        CreateTextureInfos();
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        m_pGarden = new cScreensGarden();
        GetScreenHooks() = cScreenHooks();
        GetScreenHooks().plantSort = [this](int ware) {
            m_Sown.push_back(ware);
            return false;
        };
        GetScreenHooks().buyAnimal = [this](int kind) {
            m_Bought.push_back(kind);
            return false;
        };
        GetScreenHooks().showHint = [this](int index, unsigned kind) {
            m_Hints.push_back({index, static_cast<int>(kind)});
            return false;
        };
        cScoreWF::ForgetMedal();
        cClockCtrl::ForgetSprite();
    }
    void TearDown() override
    {
        GetScreenHooks() = cScreenHooks();
        delete m_pGarden;
        DestroyWareManager();
        DestroyTextureInfos();
        delete m_pGame;
    }

    vek::cWindow* Make(const std::string& name, const std::string& script, vek::cWindowFunction* function)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strDir + "/data/gui/" + name + ".lua", script));
        return m_pGarden->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), function);
    }
    cGardenWF* MakeGarden(const std::string& script = GardenScript())
    {
        auto* wf = new cGardenWF();
        m_pWindow = Make("garden", script, wf);
        return wf;
    }
    cScoreWF* MakeScore(const std::string& script = ScoreScript())
    {
        auto* wf = new cScoreWF();
        m_pScore = Make("score", script, wf);
        return wf;
    }
    cPlayer* MakePlayer()
    {
        auto* player = new cPlayer("tester");
        player->m_strName = "tester";
        m_pGarden->AddPlayer(player);
        m_pGarden->ChangePlayer("tester");
        return m_pGarden->GetPlayer();
    }
    template <class T>
    T* Get(vek::cWindow* w, const char* name)
    {
        return GetWindowControlAs<T>(w, name);
    }
    int Send(vek::cWindow* w, int message, unsigned a, unsigned b)
    {
        return m_pGame->pGUI->SendMessage(w->GetID(), message, a, b);
    }
    // Timer ticks of 1/30 s to the window.
    void Tick(vek::cWindow* w, float seconds)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += 1.0f / 30.0f) Send(w, cGUI::e_wndTimer, 33, 0);
    }
    // The cursor moves to the point, presses and lets go there.
    void Click(vek::cWindow* w, int x, int y)
    {
        const unsigned at = vek::PackGUIPoint(x, y);
        Send(w, cGUI::e_wndMouseMove, 0, at);
        Send(w, cGUI::e_wndLButtonDown, 0, at);
        Send(w, cGUI::e_wndLButtonUp, 0, at);
    }
    // The GUI's own steps: fades advance, faded windows leave.
    void RunGUI(float seconds)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += 1.0f / 30.0f) m_pGame->pGUI->Update(1.0f / 30.0f);
    }
    // Fixed steps of the rules, with the score panel's timer after each.
    void Play(float seconds)
    {
        for (float t = 0.0f; t < seconds - 1e-4f; t += 1.0f / 30.0f) {
            m_pGarden->UpdateSession();
            if (m_pScore) Send(m_pScore, cGUI::e_wndTimer, 33, 0);
        }
    }
    // A message box answered with its first button: the game runs the
    // command once the box has faded out.
    void Answer(const char* command)
    {
        if (!m_pBox) {
            m_pBox = new cMessageBoxWF();
            m_pBoxWindow = Make("messagebox",
                                "function FillWindow(w)\n  w:SetModal(true) w:SetActive(true)\n"
                                "  cLabelCtrl(w, 'title') cLabelCtrl(w, 'text')\n"
                                "  cButtonCtrl(w, 'ok') cButtonCtrl(w, 'cancel')\nend\n",
                                m_pBox);
            m_pGarden->SetMessageBox(m_pBox);
        }
        m_pBox->SetCommand(command);
        ASSERT_TRUE(m_pGarden->ShowGameWindow("messagebox", 1));
        RunGUI(0.6f);
        ASSERT_TRUE(ClickControl(m_pBoxWindow, "ok"));
        RunGUI(1.0f);
        ASSERT_FALSE(m_pGame->pGUI->IsWindowShown("messagebox"));
    }
    static bool Enabled(cToolbarCtrl& t, unsigned i) { return !t.GetItem(i)->GetState(vek::cCtrl::e_Disabled); }
    int Logged(const std::string& text) const
    {
        int n = 0;
        if (const vek::cConsole* console = vek::cConsole::OfLog())
            for (const vek::string& line : console->vecLines) n += line.find(text) != std::string::npos;
        return n;
    }
    void MakeSprites(const std::string& texture, const std::vector<std::string>& areas)
    {
        vek::cImage image(vek::e_pfRGBA, 64, 64, 1);
        new vek::cTexture(&image, texture, false);  // the texture manager owns it
        auto* info = new cTextureInfo(texture, false);
        float u = 0.0f;
        for (const std::string& area : areas) {
            info->AddNode(area, vek::rectf(u, 0.0f, 0.125f, 0.125f));
            u += 0.125f;
        }
    }

    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cScreensGarden* m_pGarden = nullptr;
    vek::cWindow* m_pWindow = nullptr;
    vek::cWindow* m_pScore = nullptr;
    std::vector<int> m_Sown;
    std::vector<int> m_Bought;
    std::vector<std::pair<int, int>> m_Hints;
    cMessageBoxWF* m_pBox = nullptr;
    vek::cWindow* m_pBoxWindow = nullptr;
};

// ---- the garden screen ----

TEST_F(ScreensTest, TheGardenFillsItsToolbarsAndListsItsPanels)
{
    cGardenWF* wf = MakeGarden();
    ASSERT_NE(m_pWindow, nullptr);
    ASSERT_FALSE(wf->IsLocked());
    EXPECT_EQ(Logged("[garden]"), 0);

    ASSERT_NE(wf->GetPlants(), nullptr);
    EXPECT_EQ(wf->GetPlants()->GetItemCount(), g_pWareManager->vecWares.size()) << "one item per ware";
    for (unsigned i = 0; i < wf->GetPlants()->GetItemCount(); ++i) EXPECT_EQ(wf->GetPlants()->GetItemData(i), int(i));
    ASSERT_EQ(wf->GetGrass()->GetItemCount(), 2u);
    EXPECT_EQ(wf->GetGrass()->GetItemData(0), g_pWareManager->FindWare("grass"));
    EXPECT_EQ(wf->GetGrass()->GetItemData(1), g_pWareManager->FindWare("flowers"));
    ASSERT_EQ(wf->GetAnimals()->GetItemCount(), 4u);
    for (unsigned i = 0; i < 4; ++i) EXPECT_EQ(wf->GetAnimals()->GetItemData(i), int(i));
    EXPECT_TRUE(Get<vek::cCtrl>(m_pWindow, "MainFrame")->GetState(vek::cCtrl::e_Disabled));

    ASSERT_EQ(GetFactoryPanels().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(GetFactoryPanels()[size_t(i)], &wf->GetPanel(i));
        EXPECT_TRUE(wf->GetPanel(i).IsValid());
    }
    EXPECT_FLOAT_EQ(cFactoryControl::s_fShownX, 4.0f);
    EXPECT_FLOAT_EQ(cFactoryControl::s_fHiddenX, -1.0f - 122.0f);

    // A screen that goes leaves no panel of its own behind in the game's
    // list.
    {
        cGardenWF second;
        second.Call(m_pWindow, cGUI::e_wndAfterCreate, 0, 0);
        EXPECT_EQ(GetFactoryPanels().size(), 6u);
    }
    EXPECT_EQ(GetFactoryPanels().size(), 3u);
    EXPECT_EQ(GetFactoryPanels()[0], &wf->GetPanel(0));
}

TEST_F(ScreensTest, AGardenScriptWithoutAPanelControlOrWithAWrongToolbarLocksTheScreen)
{
    struct {
        std::string script;
        const char* warning;
    } const cases[] = {
        {GardenScript("but_1"), "[garden] wndAfterCreate: factory control invalid"},
        {GardenScript("progress_2"), "[garden] wndAfterCreate: factory control invalid"},
        {GardenScript("", "cLabelCtrl"), "[garden] wndAfterCreate"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.warning);
        const int before = Logged(c.warning);
        cGardenWF* wf = MakeGarden(c.script);
        ASSERT_NE(m_pWindow, nullptr);
        EXPECT_TRUE(wf->IsLocked());
        EXPECT_EQ(Logged(c.warning), before + 1);
        // Locked: the toolbar click and the progress message do nothing.
        Send(m_pWindow, cGardenWF::kMsgProgress, 1, 0);
        Send(m_pWindow, cGUI::e_wndItemSelect, 0, 1);
        EXPECT_TRUE(m_Sown.empty());
    }
}

TEST_F(ScreensTest, TheProgressMessageSnapsPanelsAwayAndKeepsTheNewestSortInView)
{
    cGardenWF* wf = MakeGarden();
    cPlayer* player = MakePlayer();
    ASSERT_NE(player, nullptr);

    Send(m_pWindow, cGardenWF::kMsgProgress, 2, cGardenWF::kSnapPanels);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(wf->GetPanel(i).GetSlideState(), cFactoryControl::e_slideHidden);
        EXPECT_FLOAT_EQ(wf->GetPanel(i).pButton->GetRect().x, -123.0f);
        EXPECT_FLOAT_EQ(wf->GetPanel(i).pArrow->GetRect().x, -123.0f) << "the panel moves as a whole";
    }

    struct {
        int sorts, first;
    } const rows[] = {{0, 0}, {9, 0}, {10, 1}, {12, 3}};
    for (const auto& r : rows) {
        player->m_iSorts = r.sorts;
        Send(m_pWindow, cGardenWF::kMsgProgress, 1, 0);
        EXPECT_EQ(wf->GetPlants()->GetFirstVisible(), unsigned(r.first)) << "sorts " << r.sorts;
    }

    // The food and animal toolbars, with their pieces, wait for the first
    // animal.
    player->m_iAnimals = -1;
    Send(m_pWindow, cGardenWF::kMsgProgress, 0, 0);
    EXPECT_FALSE(wf->GetGrass()->GetState(vek::cCtrl::e_Visibility));
    EXPECT_FALSE(wf->GetAnimals()->GetState(vek::cCtrl::e_Visibility));
    EXPECT_FALSE(Get<vek::cCtrl>(m_pWindow, "left_animals")->GetState(vek::cCtrl::e_Visibility));
    player->m_iAnimals = 0;
    Send(m_pWindow, cGardenWF::kMsgProgress, 1, 0);
    EXPECT_TRUE(wf->GetGrass()->GetState(vek::cCtrl::e_Visibility));
    EXPECT_TRUE(Get<vek::cCtrl>(m_pWindow, "center_grass")->GetState(vek::cCtrl::e_Visibility));
}

TEST_F(ScreensTest, PanelsSlideInAtTheirSpeedAndTheArrowsBlink)
{
    cGardenWF* wf = MakeGarden();
    Send(m_pWindow, cGardenWF::kMsgProgress, 2, cGardenWF::kSnapPanels);
    cFactoryControl& panel = wf->GetPanel(1);
    panel.Show();
    EXPECT_EQ(panel.GetSlideState(), cFactoryControl::e_slideShowing);
    Tick(m_pWindow, 0.2f);
    EXPECT_NEAR(panel.pButton->GetRect().x, -123.0f + 50.0f, 1.0f) << "250 per second";
    Tick(m_pWindow, 0.4f);
    EXPECT_EQ(panel.GetSlideState(), cFactoryControl::e_slideShown) << "127 units take 0.508 s";
    EXPECT_FLOAT_EQ(panel.pButton->GetRect().x, 4.0f);
    EXPECT_FLOAT_EQ(panel.pCount->GetRect().x, 4.0f);
    EXPECT_EQ(wf->GetPanel(0).GetSlideState(), cFactoryControl::e_slideHidden) << "the others stay out";
    EXPECT_EQ(FindHiddenFactoryPanel(), &wf->GetPanel(0));

    panel.Hide();
    Tick(m_pWindow, 0.6f);
    EXPECT_EQ(panel.GetSlideState(), cFactoryControl::e_slideHidden);

    // The blink swings from 1 down to 0 and back, at 2 per second.
    vek::mover<float>& blink = GetFactoryBlink();
    blink.Reset(1.0f);
    Tick(m_pWindow, 2.0f / 30.0f);
    EXPECT_LT(blink.m_Value, 1.0f);
    Tick(m_pWindow, 0.6f);
    EXPECT_EQ(blink.m_To, 1.0f) << "down at 0, on its way up again";

    // A panel with no factory: its button's command only refreshes.
    Send(m_pWindow, cGUI::e_wndCommand, 0, static_cast<unsigned>(panel.pButton->GetID()));
    EXPECT_EQ(panel.GetFactory(), nullptr);
}

TEST_F(ScreensTest, APanelFollowsItsFactoryAndItsButtonPulsesWhileItWorks)
{
    cGardenWF* wf = MakeGarden();
    cFactoryControl& panel = wf->GetPanel(0);
    cFactory factory("factory00", "Mill");
    factory.iState = cHouse::e_stateBuilt;
    factory.iUnits = 0;
    panel.SetFactory(&factory);
    EXPECT_TRUE(panel.pButton->GetState(vek::cCtrl::e_Disabled)) << "nothing waits";
    EXPECT_EQ(panel.pCount->GetText(), "0");
    EXPECT_TRUE(panel.pArrow->GetState(vek::cCtrl::e_Visibility));
    EXPECT_FALSE(panel.pProgress->GetState(vek::cCtrl::e_Visibility));

    factory.iUnits = 3;
    panel.Refresh();
    EXPECT_FALSE(panel.pButton->GetState(vek::cCtrl::e_Disabled));
    EXPECT_EQ(panel.pCount->GetText(), "3");

    // At work: the bar instead of the arrow, and the button's height swings
    // between 1.0 and 1.13 of its own about its middle.
    factory.iState = cHouse::e_stateWorking;
    factory.processTimer.m_fDuration = 4.0f;
    factory.processTimer.m_fTime = 1.0f;
    panel.Refresh();
    EXPECT_TRUE(panel.pButton->GetState(vek::cCtrl::e_Disabled));
    EXPECT_FALSE(panel.pArrow->GetState(vek::cCtrl::e_Visibility));
    EXPECT_TRUE(panel.pProgress->GetState(vek::cCtrl::e_Visibility));
    const vek::rectf rest = panel.buttonRect;
    float tallest = 0.0f;
    for (int i = 0; i < 60; ++i) {
        panel.Update(1.0f / 30.0f);
        const vek::rectf r = panel.pButton->GetRect();
        tallest = std::max(tallest, r.h);
        EXPECT_NEAR(r.y + r.h * 0.5f, rest.y + rest.h * 0.5f, 1e-3f);
        EXPECT_FLOAT_EQ(r.w, rest.w);
    }
    EXPECT_NEAR(tallest, rest.h * 1.13f, 0.01f * rest.h);
    EXPECT_FLOAT_EQ(panel.pProgress->GetValue(), 0.25f);

    // Back to rest when the work ends.
    factory.iState = cHouse::e_stateBuilt;
    panel.Update(1.0f / 30.0f);
    EXPECT_FLOAT_EQ(panel.pButton->GetRect().h, rest.h);
    EXPECT_FLOAT_EQ(panel.pButton->GetRect().y, rest.y);
    panel.SetFactory(nullptr);
    EXPECT_EQ(panel.GetFactory(), &factory) << "null binds nothing";

    // A level that ends while a factory of the island works puts its panel
    // at rest under the finish screen.
    cIsland island;
    m_pGarden->m_pIsland = &island;
    auto* mill = new cFactory("factory00", "Mill", &island);
    mill->iState = cHouse::e_stateWorking;
    mill->iUnits = 1;
    panel.SetFactory(mill);
    ASSERT_TRUE(panel.pProgress->GetState(vek::cCtrl::e_Visibility));
    m_pGarden->FinishLevel();
    m_pGarden->m_pIsland = nullptr;
    EXPECT_EQ(mill->iState, cHouse::e_stateBuilt);
    EXPECT_FALSE(panel.pProgress->GetState(vek::cCtrl::e_Visibility));
    EXPECT_FALSE(panel.pButton->GetState(vek::cCtrl::e_Disabled));
}

TEST_F(ScreensTest, AWareBetweenFactoriesFliesFromPanelToPanel)
{
    cGardenWF* wf = MakeGarden();
    cFactory juice("factory01", "Juice");
    cFactory lemonade("factory01_1", "Lemonade");
    wf->GetPanel(0).SetFactory(&lemonade);
    wf->GetPanel(1).SetFactory(&juice);
    cLevel level;
    level.AddWareFlight(g_pWareManager->FindWare("product01"), 2, &juice, 2, &lemonade);
    level.MoveWareFlights(1.0f / 30.0f);
    ASSERT_EQ(m_pGarden->m_pFlyingItems->Count(), 1u);
    const std::vector<vek::vec2>& keys = m_pGarden->m_pFlyingItems->GetItems().front()->path.m_Points;
    ASSERT_GE(keys.size(), 2u);
    const vek::rectf from = wf->GetPanel(1).pButton->GetRect();
    const vek::rectf to = wf->GetPanel(0).pButton->GetRect();
    EXPECT_FLOAT_EQ(keys.front().x, from.x + from.w * 0.5f);
    EXPECT_FLOAT_EQ(keys.front().y, from.y + from.h * 0.5f);
    EXPECT_FLOAT_EQ(keys.back().x, to.x + to.w * 0.5f);
    EXPECT_FLOAT_EQ(keys.back().y, to.y + to.h * 0.5f);
    m_pGarden->m_pFlyingItems->Clear();
}

TEST_F(ScreensTest, ToolbarClicksSowAndBuyOnlyWithinTheItems)
{
    cGardenWF* wf = MakeGarden();
    const unsigned plantsId = static_cast<unsigned>(wf->GetPlants()->GetID());
    Send(m_pWindow, cGUI::e_wndItemSelect, 3, plantsId);
    EXPECT_TRUE(m_Sown.empty()) << "no level field in play";
    auto level = std::make_unique<cLevel>();
    m_pGarden->m_pLevel = level.get();
    const unsigned plants = static_cast<unsigned>(wf->GetPlants()->GetID());
    const unsigned grass = static_cast<unsigned>(wf->GetGrass()->GetID());
    const unsigned animals = static_cast<unsigned>(wf->GetAnimals()->GetID());
    Send(m_pWindow, cGUI::e_wndItemSelect, 3, plants);
    Send(m_pWindow, cGUI::e_wndItemSelect, 1, grass);
    Send(m_pWindow, cGUI::e_wndItemSelect, 2, animals);
    Send(m_pWindow, cGUI::e_wndItemSelect, 4, animals);           // past the items
    Send(m_pWindow, cGUI::e_wndItemSelect, 0, 9999);              // no such control
    Send(m_pWindow, cGUI::e_wndItemSelect, 0, static_cast<unsigned>(wf->GetPanel(0).pButton->GetID()));
    EXPECT_EQ(m_Sown, (std::vector<int>{3, g_pWareManager->FindWare("flowers")}));
    EXPECT_EQ(m_Bought, (std::vector<int>{2}));
    m_pGarden->m_pLevel = nullptr;
}

TEST_F(ScreensTest, ToolbarItemsFollowMoneyUnlocksAnimalsAndPlayMode)
{
    cGardenWF* wf = MakeGarden();
    cToolbarCtrl& plants = *wf->GetPlants();
    cToolbarCtrl& grass = *wf->GetGrass();
    cToolbarCtrl& animals = *wf->GetAnimals();
    const auto enabled = [](cToolbarCtrl& t, unsigned i) { return !t.GetItem(i)->GetState(vek::cCtrl::e_Disabled); };
    const int price1 = g_pWareManager->GetWare(1)->iPrice;

    cToolbarFacts facts;
    facts.iSorts = 1;
    facts.iAnimals = 1;
    facts.iMoney = price1;
    facts.animalPrices[0] = 100;
    facts.animalPrices[1] = 50;
    facts.animalPrices[2] = 10;
    facts.animalPrices[3] = 10;
    ApplyToolbarRules(plants, grass, animals, facts);
    EXPECT_TRUE(enabled(plants, 1));
    EXPECT_FALSE(enabled(plants, 2)) << "not unlocked";
    EXPECT_FALSE(enabled(grass, 0)) << "no animal eats it yet";
    EXPECT_FALSE(enabled(grass, 1));
    EXPECT_EQ(enabled(animals, 0), price1 >= 100);
    EXPECT_EQ(enabled(animals, 1), price1 >= 50);
    EXPECT_FALSE(enabled(animals, 2)) << "a locked animal cannot be bought through its empty slot";
    EXPECT_FALSE(enabled(animals, 3));

    facts.iMoney = 100000;
    facts.iAnimals = 3;
    facts.animals.goats = 1;
    facts.animals.hives = 2;
    ApplyToolbarRules(plants, grass, animals, facts);
    EXPECT_TRUE(enabled(grass, 0));
    EXPECT_TRUE(enabled(grass, 1));
    EXPECT_FALSE(enabled(animals, 2)) << "no third hive";
    EXPECT_TRUE(enabled(animals, 3));

    facts.iMoney = 0;
    ApplyToolbarRules(plants, grass, animals, facts);
    EXPECT_FALSE(enabled(animals, 0));
    facts.iPlayMode = 2;
    ApplyToolbarRules(plants, grass, animals, facts);
    for (unsigned i = 0; i < plants.GetItemCount(); ++i) EXPECT_TRUE(enabled(plants, i));
    for (unsigned i = 0; i < 4; ++i) EXPECT_TRUE(enabled(animals, i));
}

TEST_F(ScreensTest, EveryChangeOfMoneyReachesTheToolbarsAtOnce)
{
    cGardenWF* wf = MakeGarden();
    cToolbarCtrl& plants = *wf->GetPlants();
    cToolbarCtrl& animals = *wf->GetAnimals();
    cToolbarCtrl& grass = *wf->GetGrass();
    cPlayer* player = MakePlayer();
    player->m_iSorts = 7;
    player->m_iAnimals = 3;
    Send(m_pWindow, cGardenWF::kMsgProgress, 2, cGardenWF::kSnapPanels);
    Send(m_pWindow, cGardenWF::kMsgProgress, 1, 0);
    auto level = std::make_unique<cLevel>();
    m_pGarden->m_pLevel = level.get();
    GetScreenHooks().buyAnimal = [this](int kind) {
        m_Bought.push_back(kind);
        return true;
    };
    const int ostrich = m_pGarden->GetAnimalPrice(0);
    const auto price = [](unsigned sort) { return g_pWareManager->GetWare(sort)->iPrice; };
    ASSERT_LT(price(5), price(6));

    // A new level's money: everything it covers is offered.
    m_pGarden->SetMoney(ostrich + price(5));
    EXPECT_TRUE(Enabled(animals, 0));
    EXPECT_TRUE(Enabled(plants, 6));
    EXPECT_FALSE(Enabled(animals, 3)) << "the peacock costs more";

    // The ostrich bought through its slot: what is left no longer pays for
    // a second one, and the food of the new animal is on offer.
    Click(m_pWindow, 24 + 30, 228 + 30);
    ASSERT_EQ(m_Bought, std::vector<int>{0});
    EXPECT_EQ(level->m_iOstriches, 1);
    EXPECT_EQ(player->m_iMoney, price(5));
    EXPECT_FALSE(Enabled(animals, 0));
    EXPECT_TRUE(Enabled(plants, 5));
    EXPECT_FALSE(Enabled(plants, 6));
    EXPECT_EQ(Enabled(grass, 0), price(5) >= g_pWareManager->GetWare(uint32_t(grass.GetItemData(0)))->iPrice);

    // A seed paid for (as the gardener pays when he sows).
    m_pGarden->SpendMoney(price(0));
    EXPECT_FALSE(Enabled(plants, 5)) << "the money fell below its price";
    EXPECT_TRUE(Enabled(plants, 0));

    // The car's sale brings the money back.
    garden::EarnMoney(ostrich);
    EXPECT_TRUE(Enabled(animals, 0));
    EXPECT_TRUE(Enabled(plants, 5));

    // A level start refreshes the toolbars even when its money is what the
    // player already had.
    for (unsigned i = 0; i < plants.GetItemCount(); ++i) plants.GetItem(i)->EnableState(vek::cCtrl::e_Disabled);
    m_pGarden->StartLevel(0);
    EXPECT_EQ(player->m_iMoney, 50);
    EXPECT_TRUE(Enabled(plants, 0));
    m_pGarden->m_pLevel = nullptr;
}

TEST_F(ScreensTest, TheEmptySlotOfALockedAnimalBuysNothingInAnyPlayMode)
{
    cGardenWF* wf = MakeGarden();
    cPlayer* player = MakePlayer();
    player->m_iAnimals = 0;  // the ostrich only
    // As a level starts: the panels out of the way, the toolbars laid out.
    Send(m_pWindow, cGardenWF::kMsgProgress, 2, cGardenWF::kSnapPanels);
    Send(m_pWindow, cGardenWF::kMsgProgress, 1, 0);
    ASSERT_TRUE(wf->GetAnimals()->GetState(vek::cCtrl::e_Visibility));
    auto level = std::make_unique<cLevel>();
    m_pGarden->m_pLevel = level.get();
    GetScreenHooks().buyAnimal = [this](int kind) {
        m_Bought.push_back(kind);
        return true;
    };
    m_pGarden->SetMoney(100000);
    const size_t objects = level->GetObjects().Size();

    for (int mode : {0, 2}) {
        SCOPED_TRACE(mode);
        m_pGarden->SetFlowState(mode);
        level->UpdateToolbars();
        // In play mode 2 every item is enabled: the toolbar's own filter
        // keeps the locked ones inert.
        EXPECT_EQ(Enabled(*wf->GetAnimals(), 1), mode == 2);
        for (int kind = 1; kind < 4; ++kind) Click(m_pWindow, 24 + 67 * kind + 30, 228 + 30);
        EXPECT_TRUE(m_Bought.empty());
        EXPECT_EQ(player->m_iMoney, 100000);
        EXPECT_EQ(level->GetObjects().Size(), objects);
        EXPECT_EQ(level->m_iGoats + level->m_iHives + level->m_iPeacocks, 0);
    }
    // The unlocked one next to them is bought.
    m_pGarden->SetFlowState(0);
    Click(m_pWindow, 24 + 30, 228 + 30);
    EXPECT_EQ(m_Bought, std::vector<int>{0});
    m_pGarden->m_pLevel = nullptr;
}

// ---- the score panel ----

TEST_F(ScreensTest, TheScorePanelLocksWithoutItsControlsAndParksItsTaskLines)
{
    for (const char* missing : {"clock", "decMoney1", "money"}) {
        SCOPED_TRACE(missing);
        const int before = Logged("[score] wndAfterCreate");
        cScoreWF* wf = MakeScore(ScoreScript(missing));
        ASSERT_NE(m_pScore, nullptr);
        EXPECT_TRUE(wf->IsLocked());
        EXPECT_EQ(Logged("[score] wndAfterCreate"), before + 1);
    }

    cScoreWF* wf = MakeScore();
    EXPECT_FALSE(wf->IsLocked());
    ASSERT_EQ(wf->GetTaskLines().size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const cTaskCtrl* line = wf->GetTaskLines()[size_t(i)];
        EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHidden);
        EXPECT_FLOAT_EQ(line->GetRect().x, 1029.0f);
        EXPECT_EQ(line->GetShownPos(), vek::vec2(874.0f, 560.0f - 64.0f * float(i)));
    }
    EXPECT_FALSE(Get<vek::cCtrl>(m_pScore, "dump_fps")->GetState(vek::cCtrl::e_Visibility));
}

TEST_F(ScreensTest, TheScorePanelShowsFundsAndTheMedalAndAsksTheHintOncePerChange)
{
    MakeSprites("icons01", {"gold", "silver", "bronze"});
    MakeScore();
    cPlayer* player = MakePlayer();
    ASSERT_NE(player, nullptr);
    player->m_iMoney = 120;
    player->m_iIslandMoney = 4500;
    player->m_TaskSet.fTimeLimit = 100.0f;
    player->m_fClock = 50.0f;

    Tick(m_pScore, 1.0f / 30.0f);
    EXPECT_EQ(Get<vek::cLabelCtrl>(m_pScore, "money")->GetText(), "4500") << "away from the garden: the funds";
    EXPECT_EQ(cScoreWF::GetLastMedal(), 0);
    EXPECT_FLOAT_EQ(Get<vek::cImageCtrl>(m_pScore, "clock_medal")->GetUV().x, 0.0f);
    EXPECT_FLOAT_EQ(Get<cClockCtrl>(m_pScore, "clock")->GetElapsed(), 0.5f);
    player->m_fClock = 100.0f;
    Tick(m_pScore, 1.0f / 30.0f);
    EXPECT_EQ(cScoreWF::GetLastMedal(), 0) << "at exactly the limit still gold";
    EXPECT_TRUE(m_Hints.empty());

    player->m_fClock = 100.5f;
    Tick(m_pScore, 3.0f / 30.0f);
    EXPECT_EQ(cScoreWF::GetLastMedal(), 1);
    EXPECT_FLOAT_EQ(Get<vek::cImageCtrl>(m_pScore, "clock_medal")->GetUV().x, 0.125f);
    EXPECT_EQ(m_Hints, (std::vector<std::pair<int, int>>{{0, 7}})) << "silver asks once";

    player->m_fClock = 200.0f;
    Tick(m_pScore, 1.0f / 30.0f);
    EXPECT_EQ(cScoreWF::GetLastMedal(), 2);
    ASSERT_EQ(m_Hints.size(), 2u);
    EXPECT_EQ(m_Hints[1].second, 8);
}

TEST_F(ScreensTest, TheMenuAndTheTaskLinesOpenTheirScreens)
{
    Make("escape", "function FillWindow(w) w:SetName('escape') end\n", new cBaseGDWF());
    Make("mission_goal", "function FillWindow(w) w:SetName('mission_goal') end\n", new cBaseGDWF());
    cScoreWF* wf = MakeScore();
    Send(m_pScore, cGUI::e_wndCommand, 0, static_cast<unsigned>(Get<vek::cCtrl>(m_pScore, "menu")->GetID()));
    EXPECT_TRUE(m_pGame->pGUI->IsWindowShown("escape"));
    EXPECT_FALSE(m_pGame->pGUI->IsWindowShown("mission_goal"));
    Send(m_pScore, cGUI::e_wndCommand, 0, static_cast<unsigned>(wf->GetTaskLines()[2]->GetID()));
    EXPECT_TRUE(m_pGame->pGUI->IsWindowShown("mission_goal"));
}

// ---- the task panel ----

TEST_F(ScreensTest, TaskLinesFollowTheActiveTasksAndLeaveWhenDone)
{
    MakeSprites("icons00", {"egg", "milk", "success", "ostrich", "goat"});
    cScoreWF* wf = MakeScore();
    MakePlayer();
    std::vector<cLevelTask> tasks;
    for (const char* name : {"egg", "milk", "goat", "ostrich", "egg"}) tasks.push_back(MakeLevelTask(name, 3, 0.0f));
    tasks[1].iAmount = 0;

    UpdateTaskPanel(tasks, false);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(tasks[i].pLine, wf->GetTaskLines()[i]) << i;
    EXPECT_EQ(tasks[4].pLine, nullptr) << "the fifth waits for a free line";
    EXPECT_EQ(tasks[0].pLine->GetText(), "3");
    EXPECT_EQ(tasks[0].pLine->GetIconArea(), "egg");
    EXPECT_TRUE(tasks[1].pLine->IsChecked()) << "nothing more wanted";
    EXPECT_FALSE(tasks[0].pLine->IsChecked());
    EXPECT_EQ(tasks[0].pLine->GetSlideState(), cTaskCtrl::e_slideShowing);
    EXPECT_TRUE(m_Hints.empty());
    EXPECT_FALSE(AllTaskLinesHidden());

    // The first task is done: its line bursts and leaves once fully shown.
    cTaskCtrl* first = tasks[0].pLine;
    tasks[0].iWare = NO_WARE;
    UpdateTaskPanel(tasks, false);
    EXPECT_EQ(tasks.size(), 5u) << "still sliding in";
    for (cTaskCtrl* line : wf->GetTaskLines()) line->Update(2.0f);
    UpdateTaskPanel(tasks, true);
    ASSERT_EQ(tasks.size(), 4u);
    EXPECT_EQ(first->GetSlideState(), cTaskCtrl::e_slideHiding);
    EXPECT_FALSE(first->IsChecked());
    EXPECT_EQ(tasks[3].pLine, nullptr) << "the line is not free until it is hidden";

    first->Update(2.0f);
    UpdateTaskPanel(tasks, true);
    EXPECT_EQ(tasks[3].pLine, first);
    EXPECT_EQ(m_Hints, (std::vector<std::pair<int, int>>{{3, 4}}));

    for (cLevelTask& task : tasks) task.iWare = NO_WARE, task.iKind = -1;
    for (cTaskCtrl* line : wf->GetTaskLines()) line->Update(2.0f);
    UpdateTaskPanel(tasks, false);
    EXPECT_TRUE(tasks.empty());
    EXPECT_FALSE(AllTaskLinesHidden()) << "the lines are on their way out";
    for (cTaskCtrl* line : wf->GetTaskLines()) line->Update(2.0f);
    EXPECT_TRUE(AllTaskLinesHidden());
}

TEST_F(ScreensTest, ARestartOrAContinuedGameTakesTheOldLinesOffThePanel)
{
    MakeSprites("icons00", {"plant00", "plant01", "success"});
    cScoreWF* wf = MakeScore();
    cPlayer* player = MakePlayer();
    const std::vector<cTaskCtrl*>& lines = wf->GetTaskLines();
    ASSERT_EQ(lines.size(), 4u);
    const auto playWithLines = [&] {
        Play(2.0f);
        ASSERT_EQ(player->m_Tasks.size(), 2u);
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(player->m_Tasks[i].pLine, lines[i]);
            EXPECT_EQ(lines[i]->GetSlideState(), cTaskCtrl::e_slideShown);
        }
    };
    const auto linesGone = [&] {
        for (const cTaskCtrl* line : lines) {
            EXPECT_EQ(line->GetSlideState(), cTaskCtrl::e_slideHidden);
            EXPECT_FLOAT_EQ(line->GetRect().x, cScoreWF::kHiddenTaskX);
            EXPECT_FALSE(line->IsChecked());
        }
        for (const cLevelTask& task : player->m_Tasks) EXPECT_EQ(task.pLine, nullptr);
    };

    ASSERT_TRUE(m_pGarden->StartLevel(1));
    playWithLines();
    const int32_t plant00 = g_pWareManager->FindWare("plant00");
    for (int i = 0; i < 6; ++i) m_pGarden->CountTaskWare(plant00);
    EXPECT_TRUE(lines[0]->IsChecked());

    {
        SCOPED_TRACE("restart");
        Answer("restart_level");
        linesGone();
        EXPECT_TRUE(player->m_Tasks.empty());
        playWithLines();
        EXPECT_FALSE(lines[0]->IsChecked()) << "the new run's task is not done";
        EXPECT_EQ(lines[0]->GetText(), "6");
    }
    {
        SCOPED_TRACE("leave, then continue");
        Answer("exit_level");
        EXPECT_EQ(lines[1]->GetSlideState(), cTaskCtrl::e_slideShown) << "leaving keeps the panel as it is";
        player->m_iContinueLevel = 1;
        Answer("continue_last");
        linesGone();
        ASSERT_EQ(player->m_Tasks.size(), 2u) << "the saved tasks";
        playWithLines();
    }
    {
        SCOPED_TRACE("the same level started again");
        ASSERT_TRUE(m_pGarden->StartLevel(1));
        linesGone();
        playWithLines();
    }
}

TEST_F(ScreensTest, TheMedalTurnsSilverOnTheFirstTickPastTheGoldTime)
{
    MakeSprites("icons01", {"gold", "silver", "bronze"});
    MakeScore();
    cPlayer* player = MakePlayer();
    ASSERT_TRUE(m_pGarden->StartLevel(1));
    ASSERT_FLOAT_EQ(player->m_TaskSet.fTimeLimit, 100.0f);
    Play(1.0f / 30.0f);
    ASSERT_EQ(cScoreWF::GetLastMedal(), 0);

    // Exactly at the limit the level still earns gold.
    player->m_fClock = 100.0f;
    Send(m_pScore, cGUI::e_wndTimer, 33, 0);
    EXPECT_EQ(cScoreWF::GetLastMedal(), 0);

    // The rules' own clock from just before the limit, one step and one
    // panel tick at a time: the picture follows on the very tick.
    player->m_fClock = 99.0f;
    int silverAt = -1;
    for (int step = 0; step < 90; ++step) {
        Play(1.0f / 30.0f);
        const bool past = player->m_fClock > 100.0f;
        ASSERT_EQ(cScoreWF::GetLastMedal(), past ? 1 : 0) << "clock " << player->m_fClock;
        if (past && silverAt < 0) silverAt = step;
    }
    EXPECT_GE(silverAt, 29);
    EXPECT_LE(silverAt, 31);
    EXPECT_FLOAT_EQ(Get<vek::cImageCtrl>(m_pScore, "clock_medal")->GetUV().x, 0.125f);
    EXPECT_EQ(m_Hints, (std::vector<std::pair<int, int>>{{0, 7}})) << "asked once, for the medal hint's index 0";
}

} // namespace
