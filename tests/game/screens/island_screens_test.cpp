// The island's screens over a real engine and game object: the rating
// panels and their refresh, the buttons to the statistics, the edit screen's
// tabs and toolbar, and what the two statistics screens show and do to the
// pause counter.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "../shell/sprite_fixture.h"
#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/format.h"
#include "engine/core/script.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/island_screens.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/world/game_sound.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/shell/window_message.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace {

class cTestGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

const char* const kIslandScript = R"lua(
function FillWindow(w)
  w:SetName('island') w:SetActive(true) w:SetModal(false)
  for _, n in ipairs({'profile', 'rate', 'island_rate'}) do cLabelSysCtrl(w, n) end
  for _, n in ipairs({'but_rate', 'but_island_rate'}) do cButtonSysCtrl(w, n) end
  for _, n in ipairs({'face', 'island_face', 'frame', 'decor', 'island_frame', 'island_decor'}) do
    cImageCtrl(w, n)
  end
  for i = 0, 4 do local c = cImageCtrl(w, 'star' .. i) c:SetPos(100 + 30 * i, 700, 0) c:SetSize(20, 20, 0) end
  for i = 0, 9 do cImageCtrl(w, 'island_star' .. i) end
  cLabelSysCtrl(w, 'island_title')
end
)lua";

const char* const kEditScript = R"lua(
function FillWindow(w)
  w:SetName('edit') w:SetActive(true)
  local t = cToolbarCtrl(w, 'toolbar') t:SetPos(24, 24, 0) t:SetSize(976, 64, 0)
  for _, n in ipairs({'market', 'house', 'factory', 'special'}) do cTabButtonCtrl(w, n) end
end
)lua";

const char* const kStatGardenScript = R"lua(
function FillWindow(w)
  w:SetName('stat_garden') w:SetActive(true) w:SetModal(true)
  for _, n in ipairs({'plant00', 'plant05', 'ostrich', 'goat', 'hive', 'peacock'}) do
    cImageCtrl(w, n) cLabelSysCtrl(w, 'num_' .. n)
  end
  cImageCtrl(w, 'plant01')
  cButtonSysCtrl(w, 'ok')
end
)lua";

const char* const kStatIslandScript = R"lua(
function FillWindow(w)
  w:SetName('stat_island') w:SetActive(true) w:SetModal(true)
  cLabelSysCtrl(w, 'num_people') cLabelSysCtrl(w, 'num_house')
  for _, k in ipairs({'market', 'factory', 'institute', 'animals', 'statue'}) do
    cImageCtrl(w, 'img_' .. k) cImageCtrl(w, 'img_' .. k .. '_lock')
    cLabelSysCtrl(w, 'lb_' .. k) cLabelSysCtrl(w, 'num_' .. k)
  end
  cButtonSysCtrl(w, 'ok')
end
)lua";

class IslandScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("islandscreens");
        ASSERT_FALSE(m_strDir.empty());
        vek::cGame::cSettings s;
        s.strName = "IslandScreensTest";
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        ASSERT_TRUE(CreateTextureInfos());
        ForgetIslandScreenSprites();
        cIsland::ForgetSharedSprites();
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        std::vector<std::pair<std::string, int>> icons = {
            {"star", 1}, {"star_empty", 1}, {"house", 1}, {"house_empty", 1},
            {"ostrich", 1}, {"goat", 1}, {"hive", 1}, {"peacock", 1}};
        for (const cWare* ware : g_pWareManager->vecWares) icons.emplace_back(ware->strName, 1);
        Sheet("icons00", 1600, 32, icons);
        Sheet("icons01", 64, 64, {{"lock", 1}});
        m_pGarden = new cTestGarden();
        ASSERT_TRUE(RegisterGameClasses(vek::g_pScript));
        m_pPlayer = new cPlayer("plrtest");
        m_pPlayer->m_strName = "Ann";
        m_pGarden->SetCurrent(m_pPlayer);
        CreateBuildings(m_pGarden->m_Buildings);
        m_pIsland = new cIsland();
        m_pGarden->m_pIsland = m_pIsland;
        m_pIsland->hooks.trainingStep = [this](int kind, int step) { steps.emplace_back(kind, step); };
    }
    void TearDown() override
    {
        if (m_pGarden) {
            m_pGarden->m_pIsland = nullptr;
            m_pGarden->SetCurrent(nullptr);
        }
        delete m_pIsland;
        delete m_pPlayer;
        delete m_pGarden;
        if (g_pWareManager) DestroyWareManager();
        DestroyTextureInfos();
        delete m_pGame;
    }

    static void Sheet(const std::string& texture, int w, int h, const std::vector<std::pair<std::string, int>>& areas)
    {
        spritetest::MakeTexture(texture, w, h);
        auto* info = new cTextureInfo(texture, false);
        for (const auto& [area, frames] : areas) info->AddNode(area, frames, 1);
    }

    vek::cWindow* Make(const std::string& name, const std::string& script, vek::cWindowFunction* function)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strDir + "/data/gui/" + name + ".lua", script));
        return m_pGarden->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), function);
    }
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 30.0f) m_pGame->pGUI->Update(1.0f / 30.0f);
    }
    vek::cCtrl* Control(vek::cWindow* w, const std::string& name) { return GetWindowControl(w, name); }
    std::string Text(vek::cWindow* w, const std::string& name)
    {
        auto* label = dynamic_cast<vek::cLabelCtrl*>(Control(w, name));
        return label ? std::string(label->GetText()) : std::string("<none>");
    }
    uint32_t Color(vek::cWindow* w, const std::string& name)
    {
        auto* label = dynamic_cast<vek::cLabelCtrl*>(Control(w, name));
        return label ? label->GetColor() : 0;
    }
    bool Visible(vek::cWindow* w, const std::string& name)
    {
        vek::cCtrl* c = Control(w, name);
        return c && c->GetState(vek::cCtrl::e_Visibility);
    }
    // The sprite's first frame, as the images show it.
    static vek::rectf Frame(const char* texture, const char* area)
    {
        cSprite s;
        EXPECT_TRUE(LookUpSprite(texture, area, &s));
        return s.pFrames ? s.pFrames[0] : vek::rectf();
    }
    static bool Shows(vek::cCtrl* control, const vek::rectf& frame)
    {
        vek::cImageCtrl* image = ToImageCtrl(control);
        if (!image) return false;
        const vek::rectf uv = image->GetUV();
        return uv.x == frame.x && uv.y == frame.y && uv.w == frame.w && uv.h == frame.h;
    }
    // Built buildings of the catalogue's names on the island.
    void Build(const std::vector<std::string>& names)
    {
        for (const std::string& name : names) {
            const cBuildingRegistry& registry = m_pGarden->GetBuildings();
            for (size_t i = 0; i < registry.Count(); ++i)
                if (registry.Get(static_cast<uint32_t>(i))->strName == name) {
                    cHouse* b = m_pGarden->CreateBuilding(static_cast<unsigned>(i), m_pIsland);
                    ASSERT_NE(b, nullptr);
                    b->iState = cHouse::e_stateBuilt;
                    break;
                }
        }
    }

    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cTestGarden* m_pGarden = nullptr;
    cPlayer* m_pPlayer = nullptr;
    cIsland* m_pIsland = nullptr;
    std::vector<std::pair<int, int>> steps;
};

TEST_F(IslandScreens, TheRatingPanelsFollowTheCounts)
{
    vek::cWindow* w = Make("island", kIslandScript, new cIslandWF());
    ASSERT_NE(w, nullptr);
    Make("stat_garden", kStatGardenScript, new cStatGardenWF());
    Make("stat_island", kStatIslandScript, new cStatIslandWF());
    const vek::rectf star = Frame("icons00", "star"), empty = Frame("icons00", "star_empty");
    const vek::rectf house = Frame("icons00", "house"), noHouse = Frame("icons00", "house_empty");

    // Progress 0: the panels stay hidden, except on the result screen.
    m_pGame->pGUI->ShowWindow("island");
    EXPECT_FALSE(Visible(w, "star0"));
    EXPECT_FALSE(Visible(w, "but_rate"));
    EXPECT_FALSE(Visible(w, "island_title"));  // a caption the script adds goes with its panel
    m_pIsland->iMode = cIsland::e_modeLevel;
    SendWindowMessage("island", 0, 0);
    EXPECT_TRUE(Visible(w, "star0"));
    EXPECT_TRUE(Visible(w, "island_decor"));
    EXPECT_TRUE(Visible(w, "island_title"));
    EXPECT_EQ(Text(w, "profile"), "Ann");
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Shows(Control(w, vek::Formatted("star%i", i)), empty)) << i;

    // Three gold medals fill three stars; seven buildings seven houses.
    m_pIsland->iMode = cIsland::e_modeIsland;
    m_pPlayer->m_iProgress = 4;
    m_pPlayer->m_Results = {0, 1, 0, 0};
    Build({"house00", "house00", "market00", "factory00", "house01", "market01", "house01"});
    SendWindowMessage("island", 0, 0);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Shows(Control(w, vek::Formatted("star%i", i)), i < 3 ? star : empty)) << i;
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(Shows(Control(w, vek::Formatted("island_star%i", i)), i < 7 ? house : noHouse)) << i;
    // Five gold medals start the next rating text with no star filled.
    m_pPlayer->m_Results = {0, 0, 0, 0, 0};
    SendWindowMessage("island", 0, 0);
    EXPECT_TRUE(Shows(Control(w, "star0"), empty));
    EXPECT_EQ(Text(w, "rate"), std::string(GetLocaleGD().Rate1));

    // The buttons open the statistics and tell the tutorial.
    ClickControl(w, "but_rate");
    EXPECT_TRUE(m_pGame->pGUI->IsWindowShown("stat_garden"));
    ClickControl(w, "but_island_rate");
    EXPECT_TRUE(m_pGame->pGUI->IsWindowShown("stat_island"));
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{14, 0}, {13, 0}}));
}

TEST_F(IslandScreens, AScriptWithoutAControlLocksTheScreen)
{
    std::string script = kIslandScript;
    script.replace(script.find("'rate', "), 8, "");
    auto* wf = new cIslandWF();
    Make("island", script, wf);
    EXPECT_TRUE(wf->IsLocked());
    auto* edit = new cEditWF();
    Make("edit", "function FillWindow(w) cTabButtonCtrl(w, 'market') end\n", edit);
    EXPECT_TRUE(edit->IsLocked());
    auto* garden = new cStatGardenWF();
    Make("stat_garden", "function FillWindow(w) cImageCtrl(w, 'ostrich') cLabelSysCtrl(w, 'num_ostrich') end\n",
         garden);
    EXPECT_TRUE(garden->IsLocked());
}

TEST_F(IslandScreens, TheEditScreenListsBuildingsByCategory)
{
    EXPECT_EQ(EditCategoryOf(cBuild::e_catHouse), e_editHouse);
    EXPECT_EQ(EditCategoryOf(cBuild::e_catMarket), e_editMarket);
    EXPECT_EQ(EditCategoryOf(cBuild::e_catFactory), e_editFactory);
    EXPECT_EQ(EditCategoryOf(cBuild::e_catInstitute), e_editSpecial);
    EXPECT_EQ(EditCategoryOf(cBuild::e_catAnimals), e_editSpecial);
    EXPECT_EQ(EditCategoryOf(cBuild::e_catStatue), e_editSpecial);

    vek::cWindow* w = Make("edit", kEditScript, new cEditWF());
    ASSERT_NE(w, nullptr);
    m_pGame->pGUI->Update(0.0f);  // the market tab's message arrives
    auto* toolbar = GetWindowControlAs<cToolbarCtrl>(w, "toolbar");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(GetWindowControlAs<cTabButtonCtrl>(w, "market")->IsChecked());
    EXPECT_EQ(GetEditCategory(), e_editMarket);
    auto names = [&] {
        std::vector<std::string> out;
        for (unsigned i = 0; i < toolbar->GetItemCount(); ++i)
            out.push_back(m_pGarden->GetBuilding(static_cast<unsigned>(toolbar->GetItemData(i)))->strName);
        return out;
    };
    for (const std::string& name : names()) EXPECT_EQ(name.rfind("market", 0), 0u) << name;
    EXPECT_FALSE(names().empty());

    Control(w, "special")->OnMessage(vek::cGUI::e_wndLButtonDown, 0, 0);
    m_pGame->pGUI->Update(0.0f);
    EXPECT_EQ(GetEditCategory(), e_editSpecial);
    EXPECT_FALSE(GetWindowControlAs<cTabButtonCtrl>(w, "market")->IsChecked());
    EXPECT_EQ(names(), (std::vector<std::string>{"institute00", "animals00", "statue00"}));

    // Picking an item places a new building; a second replaces it.
    m_pIsland->iMode = cIsland::e_modeEdit;
    const size_t before = m_pIsland->GetBuildings().size();
    w->GetFunction()->Call(w, vek::cGUI::e_wndItemSelect, 2, static_cast<unsigned>(toolbar->GetID()));
    ASSERT_NE(m_pIsland->pSelected, nullptr);
    EXPECT_EQ(m_pIsland->pSelected->strName, "statue00");
    EXPECT_EQ(m_pIsland->pSelected->iState, cHouse::e_stateNone);
    w->GetFunction()->Call(w, vek::cGUI::e_wndItemSelect, 0, static_cast<unsigned>(toolbar->GetID()));
    EXPECT_EQ(m_pIsland->pSelected->strName, "institute00");
    EXPECT_EQ(m_pIsland->GetBuildings().size(), before + 1);
}

TEST_F(IslandScreens, TheGardenStatisticsAndThePause)
{
    vek::cWindow* w = Make("stat_garden", kStatGardenScript, new cStatGardenWF());
    ASSERT_NE(w, nullptr);
    m_pPlayer->m_Values.assign(1, 3);     // plant00 three times, plant05 never
    m_pPlayer->m_AnimalCounts = {0, 2};  // two goats
    m_pGarden->m_iShownHint = 5;
    m_pGame->pGUI->ShowWindow("stat_garden");
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);
    const vek::vec3 on = StatOnColor(), off = StatOffColor();
    EXPECT_EQ(Text(w, "num_plant00"), "x3");
    EXPECT_EQ(Color(w, "num_plant00"), vek::PackColor(on.x, on.y, on.z, 1.0f));
    EXPECT_TRUE(Shows(Control(w, "plant00"), Frame("icons00", "plant00")));
    EXPECT_EQ(Text(w, "num_plant05"), "x0");
    EXPECT_EQ(Color(w, "num_plant05"), vek::PackColor(off.x, off.y, off.z, 1.0f));
    EXPECT_TRUE(Shows(Control(w, "plant05"), Frame("icons01", "lock")));
    EXPECT_EQ(Text(w, "num_goat"), "x2");
    EXPECT_EQ(Text(w, "num_ostrich"), "x0");
    EXPECT_EQ(m_pGame->iPause, 1);

    // Shown again while it fades out: still one raise; closed, none.
    m_pGame->pGUI->HideWindow("stat_garden");
    Run(0.1f);
    m_pGame->pGUI->ShowWindow("stat_garden");
    EXPECT_EQ(m_pGame->iPause, 1);
    ClickControl(w, "ok");
    Run(1.0f);
    EXPECT_FALSE(m_pGame->pGUI->IsWindowShown("stat_garden"));
    EXPECT_EQ(m_pGame->iPause, 0);
    m_pGame->pGUI->ShowWindow("stat_garden");
    ClickControl(w, "ok");
    Run(1.0f);
    EXPECT_EQ(m_pGame->iPause, 0);
    // A pause raised by something else is not lowered by a close.
    m_pGame->iPause = 1;
    m_pGame->pGUI->ShowWindow("stat_garden");
    ClickControl(w, "ok");
    Run(1.0f);
    EXPECT_EQ(m_pGame->iPause, 1);
}

TEST_F(IslandScreens, TheIslandStatistics)
{
    vek::cWindow* w = Make("stat_island", kStatIslandScript, new cStatIslandWF());
    ASSERT_NE(w, nullptr);
    Build({"house00", "house01", "statue00"});
    // The two houses hold two people; one of them walks about, the other
    // is still on his way by ship: both count.
    m_pIsland->AddPeople(1, 1);
    m_pGame->pGUI->ShowWindow("stat_island");
    const vek::vec3 on = StatOnColor(), off = StatOffColor();
    EXPECT_EQ(Text(w, "num_people"), "x2");
    EXPECT_EQ(Text(w, "num_house"), "x2");
    EXPECT_EQ(Text(w, "num_market"), "x0");
    EXPECT_TRUE(Visible(w, "img_market_lock"));
    EXPECT_FALSE(Visible(w, "img_market"));
    EXPECT_FALSE(Visible(w, "lb_market"));
    EXPECT_EQ(Color(w, "num_market"), vek::PackColor(off.x, off.y, off.z, 1.0f));
    EXPECT_EQ(Text(w, "num_statue"), "x1");
    EXPECT_TRUE(Visible(w, "img_statue"));
    EXPECT_FALSE(Visible(w, "img_statue_lock"));
    EXPECT_EQ(Color(w, "num_statue"), vek::PackColor(on.x, on.y, on.z, 1.0f));
    EXPECT_EQ(Text(w, "num_institute"), "x0");
    EXPECT_EQ(m_pGame->iPause, 1);
    // Closed, shown again while it fades out, closed: one raise, lowered
    // once. Then opened and closed once more.
    ClickControl(w, "ok");
    Run(0.1f);
    // More people walking about than the houses hold are all counted.
    m_pIsland->AddPeople(1, 2);
    m_pGame->pGUI->ShowWindow("stat_island");
    EXPECT_EQ(m_pGame->iPause, 1);
    EXPECT_EQ(Text(w, "num_house"), "x2");
    EXPECT_EQ(Text(w, "num_people"), "x3");
    ClickControl(w, "ok");
    Run(1.0f);
    EXPECT_FALSE(m_pGame->pGUI->IsWindowShown("stat_island"));
    EXPECT_EQ(m_pGame->iPause, 0);
    m_pGame->pGUI->ShowWindow("stat_island");
    EXPECT_EQ(m_pGame->iPause, 1);
    ClickControl(w, "ok");
    Run(1.0f);
    EXPECT_EQ(m_pGame->iPause, 0);
}

} // namespace
