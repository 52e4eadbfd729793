// What the player sees of the field apart from the objects themselves: what
// lights up under the cursor and the cell marked for sowing, the mouse
// reaching the field without a window, and the progress ring (its sweep and
// colours, and when a plant shows it).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "game/scripted_player.h"

namespace {

using gardentest::cRingSeen;
using gardentest::cScriptedPlayer;
using gardentest::Rings;

class LevelView : public gardentest::GardenWorld {
protected:
    void SetUp() override
    {
        GardenWorld::SetUp();
        LoadField();
    }
    static vek::vec2 Middle(const cObject* object)
    {
        const vek::rectf r = object->GetRect();
        return vek::vec2(r.x + r.w / 2.0f, r.y + r.h / 2.0f);
    }
    vek::vec2 InCell(const cell& at) const { return level->GetCellPos(at) + vek::vec2(0.0f, 30.0f); }
};

TEST_F(LevelView, TheCursorLightsUpWhatIsUnderItAndMarksCellsOnlyForFieldSeeds)
{
    cScriptedPlayer p(*level);
    player->m_iMoney = 200;
    p.Step(2);
    cObject* weed = p.First(OBJ_TOOL_WEED);
    cObject* bin = p.First(OBJ_TOOL_BIN);
    bin->SetHighlight(true);  // lit by an earlier move

    // Over the weeding tool: it alone lights up; an object under the
    // cursor never leaves a cell marked.
    p.MoveTo(Middle(weed));
    EXPECT_EQ(p.Highlighted(), std::vector<cObject*>{weed});
    EXPECT_EQ(p.HoverCell(), cell());

    // An empty cell: nothing lit, and no mark while nothing is to be sown
    // on cells.
    p.MoveTo(InCell(cell(6, 6)));
    EXPECT_TRUE(p.Highlighted().empty());
    EXPECT_EQ(p.HoverCell(), cell());
    ASSERT_TRUE(p.ChooseSeed("plant00"));  // crops go into beds
    p.MoveTo(InCell(cell(6, 6)));
    EXPECT_EQ(p.HoverCell(), cell());
    p.RightClick();

    // Flowers to sow: the cell under the cursor is marked, and the mark
    // follows the cursor; over an object it goes.
    ASSERT_TRUE(p.ChooseSeed("flowers"));
    p.MoveTo(InCell(cell(6, 6)));
    EXPECT_EQ(p.HoverCell(), cell(6, 6));
    p.MoveTo(InCell(cell(2, 7)));
    EXPECT_EQ(p.HoverCell(), cell(2, 7));
    p.MoveTo(Middle(weed));
    EXPECT_EQ(p.HoverCell(), cell());
    EXPECT_TRUE(weed->IsHighlighted());
    // Off the field nothing is marked.
    p.MoveTo(vek::vec2(40.0f, 40.0f));
    EXPECT_EQ(p.HoverCell(), cell());

    // Sowing the flowers on a cell keeps him sowing on cells; a job on an
    // object after the seed ends it.
    ASSERT_TRUE(p.ClickCell(cell(6, 6)));
    p.MoveTo(InCell(cell(2, 7)));
    EXPECT_EQ(p.HoverCell(), cell(2, 7));
    ASSERT_TRUE(p.ClickOn(weed));
    p.MoveTo(InCell(cell(2, 7)));
    EXPECT_EQ(p.HoverCell(), cell());
    // The right button drops the seed: nothing is marked any more.
    p.RightClick();
    ASSERT_TRUE(p.ChooseSeed("grass"));
    p.MoveTo(InCell(cell(2, 7)));
    EXPECT_EQ(p.HoverCell(), cell(2, 7));
    p.RightClick();
    p.MoveTo(InCell(cell(2, 7)));
    EXPECT_EQ(p.HoverCell(), cell());
}

TEST_F(LevelView, ClicksNeedACursorAndWaitForATutorialStepsDelay)
{
    cScriptedPlayer p(*level);
    p.Step(2);
    cGardener* g = p.Gardener();
    // A cursor that cannot be read: the press is ignored.
    level->fnCursor = [](int*, int*) { return false; };
    level->OnInput(vek::e_inMouseMove, 0);
    level->OnInput(vek::e_inMouseDown, 0);
    EXPECT_FALSE(level->WasClickTaken());
    EXPECT_TRUE(g->GetJobs().empty());

    // The cursor in client pixels, y down: the press lands on that cell.
    const vek::vec2 at = InCell(cell(6, 1));
    level->fnCursor = [&](int* x, int* y) {
        *x = static_cast<int>(at.x);
        *y = 768 - static_cast<int>(at.y);
        return true;
    };
    level->OnInput(vek::e_inMouseDown, 0);
    EXPECT_TRUE(level->WasClickTaken());
    ASSERT_EQ(g->GetJobs().size(), 1u);
    EXPECT_EQ(g->GetJobs()[0].at, cell(6, 1));
    p.RightClick();
    ASSERT_TRUE(g->GetJobs().empty());

    // With the hints on, a tutorial step's running delay takes the press;
    // once it ran out the same press goes through.
    game->SetTraining(1);
    player->m_iLevel = 1;
    game->m_Training.iKind = 2;
    game->m_Training.iStep = 0;
    game->m_Training.delay.m_fSpeed = 1.0f;
    game->m_Training.delay.Reset(0.0f);
    game->m_Training.delay.SetTarget(1.0f);
    ASSERT_TRUE(game->m_Training.IsWaiting());
    EXPECT_FALSE(p.ClickCell(cell(6, 2)));
    EXPECT_TRUE(g->GetJobs().empty());
    game->m_Training.delay.Update(1.5f);
    ASSERT_FALSE(game->m_Training.IsWaiting());
    EXPECT_TRUE(p.ClickCell(cell(6, 2)));
    EXPECT_EQ(g->GetJobs().size(), 1u);
    game->m_Training.iKind = -1;
}

// The ring at (100, 100) with radius 20 for one fraction.
cRingSeen RingOf(cLevel& level, float fraction)
{
    vek::cQuadBatch batch;
    level.DrawProgressCircle(batch, {100.0f, 100.0f}, 20.0f, fraction);
    const std::vector<cRingSeen> rings = Rings(batch);
    EXPECT_EQ(rings.size(), 1u) << fraction;
    return rings.empty() ? cRingSeen() : rings[0];
}

TEST(ProgressRingSweep, CoversTheFractionClockwiseFromTheTop)
{
    cLevel level;
    // The sector's area over the white disc's, one pixel narrower.
    const float narrower = (19.0f / 20.0f) * (19.0f / 20.0f);
    const struct {
        float fraction;
        vek::vec2 end;
        uint32_t color;
    } cases[] = {
        {0.0f, {100.0f, 119.0f}, 0xFF00FF00u},   // nothing yet: green, no area
        {0.25f, {119.0f, 100.0f}, 0xFF7FFF00u},  // a quarter: to the right
        {0.5f, {100.0f, 81.0f}, 0xFFFFFF00u},    // half: down, yellow
        {1.0f, {100.0f, 119.0f}, 0xFFFF0000u},   // all: round to the top, red
    };
    for (const auto& c : cases) {
        const cRingSeen ring = RingOf(level, c.fraction);
        EXPECT_NEAR(ring.centre.x, 100.0f, 1e-3f);
        EXPECT_NEAR(ring.centre.y, 100.0f, 1e-3f);
        EXPECT_NEAR(ring.radius, 20.0f, 1e-3f);
        EXPECT_NEAR(ring.sectorRadius, 19.0f, 1e-3f);
        EXPECT_NEAR(ring.start.x, 100.0f, 1e-3f) << c.fraction;
        EXPECT_NEAR(ring.start.y, 119.0f, 1e-3f) << c.fraction;
        EXPECT_NEAR(ring.end.x, c.end.x, 1e-3f) << c.fraction;
        EXPECT_NEAR(ring.end.y, c.end.y, 1e-3f) << c.fraction;
        EXPECT_NEAR(ring.swept, c.fraction, 1e-4f);
        EXPECT_NEAR(ring.coverage, c.fraction * narrower, 0.01f) << c.fraction;
        EXPECT_EQ(ring.color, c.color) << c.fraction;
    }

    // Past the ends the ring neither laps itself nor runs backwards, and a
    // timer without a length (a NaN) shows nothing done.
    const cRingSeen over = RingOf(level, 1.5f);
    EXPECT_NEAR(over.swept, 1.0f, 1e-4f);
    EXPECT_EQ(over.color, 0xFFFF0000u);
    for (const float fraction : {-0.25f, std::numeric_limits<float>::quiet_NaN()}) {
        const cRingSeen none = RingOf(level, fraction);
        EXPECT_NEAR(none.swept, 0.0f, 1e-6f);
        EXPECT_EQ(none.coverage, 0.0f);
        EXPECT_TRUE(std::isfinite(none.end.x) && std::isfinite(none.end.y));
        EXPECT_EQ(none.color, 0xFF00FF00u);
        EXPECT_EQ(cLevel::ProgressColor(fraction), 0xFF00FF00u);
    }
    EXPECT_EQ(cLevel::ProgressColor(7.0f), 0xFFFF0000u);
}

TEST_F(LevelView, APlantShowsItsRingOnlyWhileWaterOrWeedingIsAwaited)
{
    cScriptedPlayer p(*level);
    auto* plant = static_cast<cPlant*>(level->GetObject(level->AddPlant(cell(0, 0), Ware("plant00"))));
    const auto rings = [&] {
        vek::cQuadBatch batch;
        plant->DrawTo(batch);
        return Rings(batch);
    };
    EXPECT_TRUE(rings().empty());  // new
    p.Step(1);
    ASSERT_EQ(plant->GetState(), cPlant::e_psGrowing);
    EXPECT_TRUE(rings().empty());

    plant->SetNeed(cPlant::e_NeedWater);
    std::vector<cRingSeen> seen = rings();
    ASSERT_EQ(seen.size(), 1u);
    // Radius 18, centred 14 pixels above the plant's point; the need's icon
    // is drawn last, on the same centre.
    EXPECT_NEAR(seen[0].radius, 18.0f, 1e-3f);
    EXPECT_NEAR(seen[0].centre.x, plant->GetPos().x, 1e-3f);
    EXPECT_NEAR(seen[0].centre.y, plant->GetPos().y + 14.0f, 1e-3f);
    EXPECT_NEAR(seen[0].swept, 0.0f, 1e-4f);
    {
        vek::cQuadBatch batch;
        plant->DrawTo(batch);
        const vek::rectf icon = gardentest::QuadRect(batch, gardentest::QuadCount(batch) - 1);
        EXPECT_NEAR(icon.x + icon.w / 2.0f, seen[0].centre.x, 1e-3f);
        EXPECT_NEAR(icon.y + icon.h / 2.0f, seen[0].centre.y, 1e-3f);
        EXPECT_NEAR(icon.w, 16.0f * 0.9f, 1e-3f);
    }
    // The ring shows the part of the 60 s gone, also while he works on it.
    p.Step(15 * 30);
    seen = rings();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NEAR(seen[0].swept, 0.25f, 0.01f);
    plant->SetWorked(true);
    p.Step(15 * 30);
    seen = rings();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NEAR(seen[0].swept, 0.5f, 0.01f);
    plant->SetWorked(false);

    // Met: no ring while it grows on, nor once ripe; weeding shows it again.
    plant->ClearNeed();
    EXPECT_TRUE(rings().empty());
    plant->SetNeed(cPlant::e_NeedWeed);
    ASSERT_EQ(rings().size(), 1u);
    plant->ClearNeed();
    plant->SetGrowth(1.0f);
    p.Step(1);
    ASSERT_EQ(plant->GetNeed(), cPlant::e_NeedRipe);
    EXPECT_TRUE(rings().empty());
}

} // namespace
