// The island's walkers: planning to the gathering point through the areas'
// one-way links, strolling, fading behind buildings, and their animation.
#include "game/world/walk_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/graphics/draw2d.h"

namespace {

using vek::vec2;

std::vector<vec2> Square(float x, float y, float side)
{
    return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

void AddSquare(cWalkMap& map, float x, float y, float side)
{
    const std::vector<vec2> p = Square(x, y, side);
    map.AddArea(p.data(), p.size());
}

std::vector<vec2> Keys(const cWalker& w) { return std::vector<vec2>(w.keys, w.keys + w.uKeyCount); }

TEST(WalkMap, PlanningFromTheGatheringPointItselfNeedsNoAreas)
{
    cWalkMap map(nullptr);
    cWalker* w = map.AddFollower(vec2(290.05f, 1588.05f));
    ASSERT_TRUE(map.PlanToGathering(*w));
    EXPECT_EQ(Keys(*w), (std::vector<vec2>{vec2(290.05f, 1588.05f), cWalkMap::kGatheringPoint}));
    // A quarter of the distance, or 1 when that is at most 0.01.
    EXPECT_FLOAT_EQ(w->keyTimes[1], vek::Distance(w->keys[0], w->keys[1]) / 4);
    w->pos = vec2(290.02f, 1588.02f);
    ASSERT_TRUE(map.PlanToGathering(*w));
    EXPECT_FLOAT_EQ(w->keyTimes[1], 1.0f);
    // Farther away, with no area, there is no plan.
    w->pos = vec2(300.0f, 1600.0f);
    EXPECT_FALSE(map.PlanToGathering(*w));
}

TEST(WalkMap, PeopleWalkThroughTheNearestLinksToTheGatheringPoint)
{
    cWalkMap map(nullptr);
    AddSquare(map, 350, 1900, 200);  // 0: the landing (412, 1971)
    AddSquare(map, 350, 1700, 200);  // 1
    AddSquare(map, 200, 1500, 200);  // 2: the gathering point (290, 1588)
    map.SetLinkPoints({{540, 1905}, {540, 1890},    // 0 -> 1, far
                       {420, 1905}, {420, 1890},    // 0 -> 1, near
                       {390, 1705}, {390, 1690},    // 1 -> 2
                       {300, 1690}, {300, 1710}});  // 2 -> 1 (the other way)
    cWalker* w = map.AddFollower(cWalkMap::kLandingPoint);
    ASSERT_TRUE(map.PlanToGathering(*w));
    EXPECT_EQ(Keys(*w), (std::vector<vec2>{cWalkMap::kLandingPoint, {420, 1905}, {420, 1890}, {390, 1705},
                                           {390, 1690}, cWalkMap::kGatheringPoint}));
    // A quarter of each distance: 40 pixels per second.
    EXPECT_FLOAT_EQ(w->keyTimes[1], vek::Distance(w->keys[0], w->keys[1]) / 4);
    EXPECT_FLOAT_EQ(w->keyTimes[2], w->keyTimes[1] + 15.0f / 4);

    // Walking there takes the summed key times at 10 key units a second.
    const float total = w->keyTimes[w->uKeyCount - 1];
    const int ticks = static_cast<int>(total * 3.0f) + 1;
    for (int i = 0; i < ticks; ++i) map.UpdateFollowers(1.0f / 30.0f);
    EXPECT_NEAR(w->pos.x, 290.0f, 2.0f);
    EXPECT_NEAR(w->pos.y, 1588.0f, 2.0f);
}

TEST(WalkMap, LinksLeadOneWay)
{
    cWalkMap map(nullptr);
    AddSquare(map, 0, 0, 100);
    AddSquare(map, 100, 0, 100);
    AddSquare(map, 200, 0, 100);
    map.SetLinkPoints({{90, 50}, {110, 50}, {190, 50}, {210, 50}, {220, 50}, {10, 50}, {5, 5}});
    std::vector<uint32_t> route;
    ASSERT_TRUE(map.FindAreaRoute(0, 2, route));
    EXPECT_EQ(route, (std::vector<uint32_t>{0, 1, 2}));
    route.clear();
    ASSERT_TRUE(map.FindAreaRoute(2, 1, route));  // 2 -> 0 -> 1
    EXPECT_EQ(route, (std::vector<uint32_t>{2, 0, 1}));
    route.clear();
    EXPECT_FALSE(map.FindAreaRoute(1, 5, route));
    EXPECT_TRUE(route.empty());
    EXPECT_EQ(map.FindLink(1, 0), 7u);  // none: the link point count (the odd point is no link)
    EXPECT_EQ(map.FindLink(2, 0), 4u);
    EXPECT_EQ(map.GetArea(vec2(150, 50)), 1u);
    EXPECT_EQ(map.GetArea(vec2(350, 50)), 3u);

    // Without the link back, 1 reaches 0 no more.
    map.SetLinkPoints({{90, 50}, {110, 50}, {190, 50}, {210, 50}});
    route.clear();
    EXPECT_FALSE(map.FindAreaRoute(1, 0, route));
    EXPECT_TRUE(route.empty());
}

TEST(WalkMap, ARouteLongerThanTheWalkersKeysFails)
{
    // A row of areas ending at the gathering point's area.
    auto build = [](cWalkMap& map, int areas) {
        std::vector<vec2> links;
        for (int i = 0; i < areas; ++i) {
            AddSquare(map, 240.0f + 100.0f * static_cast<float>(areas - 1 - i), 1550, 100);
            if (i + 1 < areas) {
                const float edge = 240.0f + 100.0f * static_cast<float>(areas - 1 - i);
                links.push_back(vec2(edge + 5, 1600));
                links.push_back(vec2(edge - 5, 1600));
            }
        }
        map.SetLinkPoints(links);
    };
    cWalkMap fits(nullptr);
    build(fits, 8);  // seven area changes: 16 keys
    cWalker* w = fits.AddFollower(vec2(240.0f + 700.0f + 50.0f, 1600));
    ASSERT_TRUE(fits.PlanToGathering(*w));
    EXPECT_EQ(w->uKeyCount, 16u);

    cWalkMap longer(nullptr);
    build(longer, 9);
    cWalker* far = longer.AddFollower(vec2(240.0f + 800.0f + 50.0f, 1600));
    EXPECT_FALSE(longer.PlanToGathering(*far));
    EXPECT_LE(far->uKeyCount, cWalker::kMaxKeys);
}

TEST(WalkMap, StrollsStayInTheirAreaAndNeverEnterTheHarbour)
{
    cWalkMap map(nullptr);
    AddSquare(map, 300, 1600, 150);  // 0: the harbour (345, 1824) is not in it
    AddSquare(map, 300, 1800, 150);  // 1: the harbour
    AddSquare(map, 500, 1600, 150);  // 2
    map.SetLinkPoints({{400, 1740}, {400, 1810},    // 0 -> harbour
                       {440, 1700}, {510, 1700}});  // 0 -> 2
    cWalker* w = map.AddFollower(vec2(320, 1620));

    // Near the harbour link's start: straight to the target.
    ASSERT_TRUE(map.PlanWander(*w, vec2(360, 1740)));
    EXPECT_EQ(Keys(*w), (std::vector<vec2>{{320, 1620}, {360, 1740}}));
    // Near the other link's start: out through the link.
    ASSERT_TRUE(map.PlanWander(*w, vec2(430, 1690)));
    EXPECT_EQ(Keys(*w), (std::vector<vec2>{{320, 1620}, {440, 1700}, {510, 1700}}));
    // Key times are the distances: 10 pixels a second.
    EXPECT_FLOAT_EQ(w->keyTimes[2], vek::Distance(vec2(320, 1620), vec2(440, 1700)) + 70.0f);
    // Another area, or none: no stroll, the walker keeps one key.
    EXPECT_FALSE(map.PlanWander(*w, vec2(550, 1650)));
    EXPECT_FALSE(map.PlanWander(*w, vec2(10, 10)));
    EXPECT_EQ(w->uKeyCount, 1u);

    // Many strolls from inside area 0: never a key in the harbour.
    IslandSeed() = 12345;
    for (int i = 0; i < 3000; ++i) {
        map.UpdateFollowers(1.0f / 30.0f);
        for (uint32_t k = 0; k < w->uKeyCount; ++k) ASSERT_NE(map.GetArea(w->keys[k]), 1u);
    }
}

TEST(WalkMap, AWalkerOutsideEveryAreaPausesInPlace)
{
    cWalkMap map(nullptr);
    AddSquare(map, 0, 0, 100);
    cWalker* w = map.AddFollower(vec2(500, 500));
    map.UpdateFollowers(1.0f / 30.0f);
    ASSERT_EQ(w->uKeyCount, 2u);
    EXPECT_EQ(w->keys[1], vec2(500, 500));
    EXPECT_FLOAT_EQ(w->keyTimes[1], 1.0f);  // a tenth of a second
    for (int i = 0; i < 90; ++i) map.UpdateFollowers(1.0f / 30.0f);
    EXPECT_EQ(w->pos, vec2(500, 500));
    EXPECT_EQ(map.RandomPointNear(vec2(500, 500), 128.0f), vec2(500, 500));
    // Inside, the point drawn lies within the radius.
    IslandSeed() = 7;
    for (int i = 0; i < 100; ++i) {
        const vec2 p = map.RandomPointNear(vec2(50, 50), 30.0f);
        EXPECT_LE(vek::Distance(p, vec2(50, 50)), 30.0f + 1e-3f);
    }
}

TEST(WalkMap, WalkersFadeBehindBuildingsAndBackIn)
{
    cWalkMap map(nullptr);
    AddSquare(map, 0, 0, 1000);
    const vek::rectf* house = map.AddObstacle(vek::rectf(150, 50, 100, 100));
    cWalker* w = map.AddFollower(vec2(100, 100));
    w->keys[1] = vec2(400, 100);
    w->uKeyCount = 2;
    w->keyTimes[1] = 300.0f;
    const float dt = 1.0f / 30.0f;
    float lowest = 1.0f;
    bool wasHidden = false;
    for (int i = 0; i < 895; ++i) {
        const float before = w->fAlpha;
        map.UpdateFollowers(dt);
        const bool inside = w->pos.x > 150 && w->pos.x < 250;
        if (inside) {
            wasHidden = true;
            EXPECT_TRUE(w->fAlpha < before || before < dt);
        }
        EXPECT_GE(w->fAlpha, 0.0f);
        lowest = std::min(lowest, w->fAlpha);
    }
    EXPECT_TRUE(wasHidden);
    EXPECT_LT(lowest, dt);
    EXPECT_FLOAT_EQ(w->fAlpha, 1.0f);  // back in after leaving
    EXPECT_FALSE(w->bFront);           // moving right along y: the back view

    map.RemoveObstacle(house);
    map.RemoveObstacle(house);  // not in the list any more: nothing
    map.RemoveObstacle(nullptr);
    EXPECT_EQ(map.GetObstacleCount(), 0u);
}

TEST(WalkMap, TurningBetweenViewsOfDifferentLengthsKeepsTheFrameInRange)
{
    vek::cQuadBatch batch;
    cWalkMap map(&batch);
    AddSquare(map, 0, 0, 1000);
    map.vecFront.assign(5, vek::rectf(0, 0, 0.1f, 1));
    map.iFrontCount = 5;
    map.iBackCount = 0;  // no back view at all
    map.fFrameTime = 0.05f;
    map.fFrameWidth = map.fFrameHeight = 10.0f;
    cWalker* w = map.AddFollower(vec2(500, 500));
    IslandSeed() = 99;
    for (int i = 0; i < 2000; ++i) {
        map.UpdateFollowers(1.0f / 30.0f);
        // Right after a turn the frame may lie past the new view's end
        // until it next advances; it never runs past the longer view.
        ASSERT_LT(w->iFrame, map.iFrontCount);
        batch.uRunCount = 0;
        map.DrawFollowers();
        // A view without frames draws nothing.
        EXPECT_EQ(batch.uRunCount, w->bFront ? 1u : 0u);
    }
    map.iBackCount = 2;
    map.vecBack.assign(2, vek::rectf(0, 0, 0.1f, 1));
    w->bFront = false;
    w->iFrame = 4;  // past the back view's end after a turn
    w->fFrameTimer = 0.06f;
    w->uKeyCount = 0;
    map.UpdateFollowers(0.0f);
    EXPECT_LT(w->iFrame, 2);
}

} // namespace
