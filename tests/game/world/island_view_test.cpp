// The island as a view without an engine: the view's limits, scrolling by
// the edges and the wheel, the level map's points under the mouse, placing
// a building, and the result sequence after a level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/world/effects.h"
#include "game/world/particles.h"
#include "island_fixture.h"

using namespace islandtest;
using vektest::IslandPlacement;

namespace {

constexpr int kMouseDown = 4, kMouseUp = 5, kMouseMove = 6, kWheel = 7;

class IslandView : public IslandFixture {
protected:
    // Level i's point at (100 i + 50, 100); house00 stands on level 0's
    // point, market00 on level 1's; the picture is 2048 x 2000.
    void SetUp() override
    {
        IslandFixture::SetUp();
        if (HasFatalFailure()) return;
        vektest::IslandPoints points;
        for (int i = 0; i < 45; ++i) points.levels.push_back({100.0f * static_cast<float>(i) + 50.0f, 100.0f});
        points.areas = {vektest::SquareArea(0, 0, 3000)};
        WritePoints(points);
        WriteGlobal({{"house00", 0, 3, 0.0f, 50.0f}, {"market00", 0, 3, 100.0f, 50.0f}});
        island = MakeIsland();
        island->LoadGlobal();
        island->fPictureWidth = 2048.0f;
        island->fPictureHeight = 2000.0f;
        m_pGarden->m_pIsland = island;
        island->viewHooks.cursor = [this](int* x, int* y) {
            *x = cursorX;
            *y = cursorY;
            return cursorOk;
        };
        island->viewHooks.showHint = [this](int kind) { hints.push_back(kind); };
        island->viewHooks.trainingStart = [this](int kind) {
            lessons.push_back(kind);
            if (kind == holdLesson) m_pGarden->m_Training.iKind = kind;
        };
        island->viewHooks.renewShips = [this] { ++renewed; };
    }
    void TearDown() override
    {
        if (m_pGarden) m_pGarden->m_pIsland = nullptr;
        IslandFixture::TearDown();
    }

    // The cursor at a client pixel (y down) over the view at (0, 0).
    void MoveTo(float islandX, float islandY)
    {
        cursorX = static_cast<int>(islandX - island->fScrollX);
        cursorY = static_cast<int>(768.0f - (islandY - island->fScrollY));
        island->OnInput(kMouseMove, 0);
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i) island->Tick();
    }
    // Ticks until the island leaves the result screen; the ticks it took,
    // or -1 when it did not within the limit.
    int TicksToMap(int limit)
    {
        for (int i = 1; i <= limit; ++i) {
            island->Tick();
            if (island->iMode == cIsland::e_modeIsland) return i;
        }
        return -1;
    }
    int Count(const std::vector<int>& list, int value) const
    {
        int n = 0;
        for (int v : list) n += v == value;
        return n;
    }
    cHouse* House() { return island->FindPlacedBuilding("house00", 0); }

    cIsland* island = nullptr;
    int cursorX = 512, cursorY = 384;
    bool cursorOk = true;
    std::vector<int> hints, lessons;
    int renewed = 0;
    int holdLesson = -1;
};

TEST_F(IslandView, CenterViewKeepsTheViewInsideThePicture)
{
    island->CenterView(1000.0f, 1000.0f);
    EXPECT_FLOAT_EQ(island->fScrollX, 488.0f);
    EXPECT_FLOAT_EQ(island->fScrollY, 616.0f);
    island->CenterView(-500.0f, -500.0f);
    EXPECT_FLOAT_EQ(island->fScrollX, 0.0f);
    EXPECT_FLOAT_EQ(island->fScrollY, 0.0f);
    island->CenterView(9000.0f, 9000.0f);
    EXPECT_FLOAT_EQ(island->fScrollX, 1024.0f);
    EXPECT_FLOAT_EQ(island->fScrollY, 1232.0f);
    // A picture narrower than the view: the upper limit is applied last.
    island->fPictureWidth = 800.0f;
    island->CenterView(0.0f, 0.0f);
    EXPECT_FLOAT_EQ(island->fScrollX, -224.0f);
}

TEST_F(IslandView, ScrollingByTheEdgesAndTheWheel)
{
    island->iMode = cIsland::e_modeIsland;
    m_pPlayer->m_iProgress = 7;
    island->CenterView(1000.0f, 1000.0f);
    // Left and top edges together: 330 pixels a second.
    cursorX = 5;
    cursorY = 5;
    island->Update(0.1f);
    EXPECT_NEAR(island->fScrollX, 488.0f - 33.0f, 1e-3);
    EXPECT_NEAR(island->fScrollY, 616.0f + 33.0f, 1e-3);
    // The wheel sets a speed that decays by speed / (elapsed x 5 + 1).
    cursorX = 512;
    cursorY = 384;
    island->OnInput(kWheel, -120);
    EXPECT_FLOAT_EQ(island->fScrollSpeed, -1200.0f);
    const float y = island->fScrollY;
    island->Update(0.1f);
    EXPECT_NEAR(island->fScrollY, y - 120.0f, 1e-3);
    EXPECT_NEAR(island->fScrollSpeed, -800.0f, 1e-3);
    // It stops at the picture's edge.
    for (int i = 0; i < 100; ++i) island->Update(0.1f);
    EXPECT_GE(island->fScrollY, 0.0f);

    // A scroll hides the level-point hint and forgets any shown kind.
    m_pGarden->m_iShownHint = 3;
    island->fScrollSpeed = 0.0f;
    cursorX = 1020;
    island->Update(0.1f);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);

    // Refused below progress 7, with another hint shown, and in mode 2.
    const float x = island->fScrollX;
    m_pPlayer->m_iProgress = 6;
    island->Update(0.1f);
    island->OnInput(kWheel, 120);
    EXPECT_FLOAT_EQ(island->fScrollX, x);
    EXPECT_FLOAT_EQ(island->fScrollSpeed, 0.0f);
    m_pPlayer->m_iProgress = 7;
    m_pGarden->m_iShownHint = 2;
    island->Update(0.1f);
    EXPECT_FLOAT_EQ(island->fScrollX, x);
    m_pGarden->m_iShownHint = -1;
    island->iMode = cIsland::e_modeLevel;
    island->Update(0.1f);
    island->OnInput(kWheel, 120);
    EXPECT_FLOAT_EQ(island->fScrollX, x);
    EXPECT_FLOAT_EQ(island->fScrollSpeed, 0.0f);
    // Mode 0 takes no input at all.
    island->iMode = cIsland::e_modeNone;
    island->OnInput(kWheel, 120);
    EXPECT_FLOAT_EQ(island->fScrollSpeed, 0.0f);
}

TEST_F(IslandView, TheMouseFindsOpenLevelPoints)
{
    island->iMode = cIsland::e_modeIsland;
    m_pPlayer->m_iProgress = 1;
    // The 36 x 60 box, strictly inside.
    EXPECT_EQ(island->LevelPointAt({50.0f, 100.0f}), 0);
    EXPECT_EQ(island->LevelPointAt({67.9f, 129.9f}), 0);
    EXPECT_EQ(island->LevelPointAt({68.0f, 100.0f}), -1);
    EXPECT_EQ(island->LevelPointAt({50.0f, 70.0f}), -1);
    EXPECT_EQ(island->LevelPointAt({150.0f, 100.0f}), 1);
    EXPECT_EQ(island->LevelPointAt({250.0f, 100.0f}), -1);  // not open yet
    // After the last level every point is open and nothing past the list.
    m_pPlayer->m_iProgress = 45;
    EXPECT_EQ(island->LevelPointAt({4450.0f, 100.0f}), 44);
    EXPECT_EQ(island->LevelPointAt({4550.0f, 100.0f}), -1);

    m_pPlayer->m_iProgress = 1;
    MoveTo(150.0f, 100.0f);
    EXPECT_EQ(island->iHoveredPoint, 1);
    island->OnInput(kMouseDown, 0);
    EXPECT_EQ(island->iPressedPoint, 1);
    island->OnInput(kMouseUp, 0);
    EXPECT_EQ(island->iPressedPoint, -1);
    MoveTo(500.0f, 500.0f);
    EXPECT_EQ(island->iHoveredPoint, -1);
    // An unreadable cursor counts as the view's corner.
    cursorOk = false;
    island->fScrollX = 10.0f;
    island->fScrollY = 20.0f;
    const vek::vec2 p = island->GetCursorPoint();
    EXPECT_FLOAT_EQ(p.x, 10.0f);
    EXPECT_FLOAT_EQ(p.y, 788.0f);
}

TEST_F(IslandView, TheMouseHoversBuildingsButNotWhilePlacing)
{
    island->iMode = cIsland::e_modeIsland;
    MoveTo(50.0f, 100.0f);
    EXPECT_EQ(island->pHovered, House());
    island->OnInput(33, 0);
    EXPECT_EQ(island->pHovered, nullptr);

    // Placing: the building is centred 400 above the cursor; hovering stops.
    cursorX = 300;
    cursorY = 700;
    cHouse* placed = m_pGarden->CreateBuilding(0, island);
    ASSERT_NE(placed, nullptr);
    island->StartPlacement(placed);
    EXPECT_EQ(island->iPlacing, 1);
    EXPECT_EQ(island->pSelected, placed);
    EXPECT_FLOAT_EQ(placed->GetCenter().x, 300.0f);
    EXPECT_FLOAT_EQ(placed->GetCenter().y, 468.0f);
    EXPECT_EQ(island->uPlaceArea, 0u);
    MoveTo(50.0f, 100.0f);
    EXPECT_EQ(island->pHovered, nullptr);
    island->StartPlacement(nullptr);
    EXPECT_EQ(island->pSelected, placed);
    const size_t count = island->GetBuildings().size();
    EXPECT_TRUE(island->CancelPlacement());
    EXPECT_EQ(island->GetBuildings().size(), count - 1);
    EXPECT_EQ(island->pSelected, nullptr);
    EXPECT_FALSE(island->CancelPlacement());
}

TEST_F(IslandView, TheResultSequenceOnTheNewestLevel)
{
    m_pPlayer->m_iLevel = 0;
    m_pPlayer->m_iProgress = 0;
    m_pGarden->m_iLastMedal = 0;
    island->iMode = cIsland::e_modeLevel;
    island->OnActivate();
    Ticks(30);  // A: the medal is taken over
    ASSERT_EQ(m_pPlayer->m_Results.size(), 1u);
    EXPECT_EQ(m_pPlayer->m_Results[0], 0);
    EXPECT_EQ(m_pGarden->m_iLastMedal, -1);
    EXPECT_GT(island->stages[1].m_To, 1.9f);  // the star flies for 2 s
    Ticks(100);  // B, C, D
    EXPECT_EQ(Count(lessons, 14), 1);
    EXPECT_EQ(Count(hints, 1), 1);
    EXPECT_EQ(House()->iState, cHouse::e_stateNone);
    // Waits for the purchase.
    Ticks(300);
    EXPECT_EQ(island->iMode, cIsland::e_modeLevel);
    EXPECT_EQ(m_pPlayer->m_iProgress, 0);

    House()->OnMessage(48, 1);
    EXPECT_EQ(House()->iState, cHouse::e_stateBuilding);
    const int ticks = TicksToMap(600);
    ASSERT_GT(ticks, 0);
    EXPECT_EQ(House()->iState, cHouse::e_stateBuilt);
    EXPECT_EQ(m_pPlayer->m_iProgress, 1);
    EXPECT_EQ(Count(lessons, 13), 1);
    EXPECT_EQ(renewed, 1);
}

TEST_F(IslandView, LessonsHoldTheSequence)
{
    m_pPlayer->m_iLevel = 0;
    m_pPlayer->m_iProgress = 0;
    m_pGarden->m_iLastMedal = 1;
    island->iMode = cIsland::e_modeLevel;
    holdLesson = 14;
    island->OnActivate();
    Ticks(200);
    EXPECT_EQ(Count(hints, 1), 0);  // D waits behind lesson 14
    m_pGarden->m_Training.iKind = -1;
    Ticks(60);
    EXPECT_EQ(Count(hints, 1), 1);

    holdLesson = 13;
    House()->OnMessage(48, 1);
    EXPECT_EQ(TicksToMap(400), -1);  // D, E and F cycle while lesson 13 runs
    EXPECT_EQ(m_pPlayer->m_iProgress, 1);
    holdLesson = -1;
    m_pGarden->m_Training.iKind = -1;
    EXPECT_GT(TicksToMap(10), 0);
    EXPECT_EQ(m_pPlayer->m_iProgress, 1);  // advanced once only

    // A replayed level: D is a silent step, and the lesson C starts must
    // hold it on the very pass that starts it.
    lessons.clear();
    m_pPlayer->m_iLevel = 0;
    m_pPlayer->m_iProgress = 2;
    holdLesson = 14;
    island->iMode = cIsland::e_modeLevel;
    island->OnActivate();
    EXPECT_EQ(TicksToMap(200), -1);
    EXPECT_EQ(Count(lessons, 13), 0) << "lesson 13 waits behind lesson 14";
    m_pGarden->m_Training.iKind = -1;
    holdLesson = -1;
    EXPECT_GT(TicksToMap(10), 0);
    EXPECT_EQ(Count(lessons, 13), 1);
}

TEST_F(IslandView, AReplayedLevelWithAWorseMedal)
{
    m_pPlayer->m_Results = {0, 0};
    m_pPlayer->m_iProgress = 2;
    m_pPlayer->m_iLevel = 0;
    m_pGarden->m_iLastMedal = 2;
    island->iMode = cIsland::e_modeLevel;
    island->OnActivate();
    Ticks(30);
    EXPECT_EQ(m_pPlayer->m_Results, (std::vector<int32_t>{2, 0}));
    // The gold count fell: that counts as a change, and a star flies.
    EXPECT_GT(island->stages[1].m_To, 1.9f);
    EXPECT_GT(TicksToMap(200), 0);
    EXPECT_EQ(m_pPlayer->m_iProgress, 2);
    EXPECT_EQ(Count(hints, 1), 0);

    // A second activation on the result screen keeps the recorded medal.
    island->iMode = cIsland::e_modeLevel;
    island->OnActivate();
    Ticks(30);
    EXPECT_EQ(m_pPlayer->m_Results, (std::vector<int32_t>{2, 0}));
    EXPECT_FLOAT_EQ(island->stages[1].m_To, -1.0f / 30.0f);
    EXPECT_GT(TicksToMap(200), 0);
}

TEST_F(IslandView, ActivationAndDeactivation)
{
    // Mode 2 with a progress of 7 or more centres the view on the level's
    // building when it is not built.
    WriteGlobal({{"factory01", 0, 4, 1500.0f, 1500.0f}});
    island->LoadGlobal();
    m_pPlayer->m_iProgress = 7;
    m_pPlayer->m_iLevel = 7;
    island->iMode = cIsland::e_modeLevel;
    island->OnActivate();
    EXPECT_FLOAT_EQ(island->fScrollX, 1500.0f - 512.0f);
    EXPECT_FLOAT_EQ(island->fScrollY, 1500.0f - 384.0f);
    EXPECT_FLOAT_EQ(island->stages[0].m_To, 1.0f);
    for (int s = 1; s < 6; ++s) EXPECT_FLOAT_EQ(island->stages[s].m_To, 0.0f);

    cParticleSystem* particles = m_pGarden->m_pParticles;
    cFlyingItems* items = m_pGarden->m_pFlyingItems;
    ASSERT_TRUE(particles && items);
    items->AddItem("icons00", "star", 0.0f, 1);
    particles->EmitBurst(10, 5.0f, vek::vec3(1.0f, 1.0f, 0.0f));
    ASSERT_GT(particles->poolD.GetEmitterCount(), 0u);
    island->OnDeactivate();
    EXPECT_EQ(items->Count(), 0u);
    EXPECT_EQ(particles->poolD.GetEmitterCount(), 0u);
}

TEST_F(IslandView, TheSelectionHaloTurnsAndStaysWithinATurn)
{
    island->SetMode(cIsland::e_modeIsland);
    const float start = island->fHaloAngle;
    Ticks(30);
    const float second = island->fHaloAngle;
    EXPECT_GT(std::fabs(second - start), 0.1f) << "a turn in the first second";
    float low = 10.0f, high = -10.0f;
    for (int i = 0; i < 900; ++i) {
        island->Tick();
        low = std::min(low, island->fHaloAngle);
        high = std::max(high, island->fHaloAngle);
    }
    EXPECT_GE(low, 0.0f);
    EXPECT_LT(high, 6.2831855f);
    EXPECT_GT(high - low, 6.0f) << "a whole turn was made";
}

TEST_F(IslandView, TheHintDelayAndTheBlink)
{
    island->SetMode(cIsland::e_modeIsland);
    Ticks(44);
    EXPECT_EQ(Count(hints, 3), 0);
    Ticks(2);
    EXPECT_EQ(Count(hints, 3), 1);
    // Swings between 0 and 1, 0.4 s each way.
    float low = 1.0f, high = 0.0f;
    for (int i = 0; i < 30; ++i) {
        island->Tick();
        low = std::min(low, island->blinkTimer.m_Value);
        high = std::max(high, island->blinkTimer.m_Value);
    }
    EXPECT_LT(low, 0.05f);
    EXPECT_GT(high, 0.95f);
    // The ships' hint holds the delay.
    m_pGarden->m_iShownHint = 2;
    island->SetMode(cIsland::e_modeIsland);
    Ticks(60);
    EXPECT_EQ(Count(hints, 3), 1);
}

} // namespace
