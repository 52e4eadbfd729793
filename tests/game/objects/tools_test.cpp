// Holes and tools: what is hit and drawn, the can's water, the basket's
// wares, and their saved records, damaged ones included.
#include <gtest/gtest.h>

#include <climits>

#include "engine/core/bitstream.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/garden_hooks.h"
#include "game/scripted_player.h"

namespace {

using gardentest::cScriptedPlayer;

class Tools : public gardentest::GardenWorld {
protected:
    void SetUp() override
    {
        GardenWorld::SetUp();
        LoadField();
    }
    template <class T>
    T* First(uint32_t mask)
    {
        return static_cast<T*>(level->FindObject(cell(), mask));
    }
};

TEST_F(Tools, HolesHideTellTheirPlantAndGlowUnderneath)
{
    cHole* hole = First<cHole>(OBJ_HOLE);
    const cell at = hole->GetCell();
    EXPECT_EQ(hole->GetPlant(), 0u);
    cObject* plant = level->GetObject(level->AddPlant(at, Ware("plant00")));
    EXPECT_EQ(hole->GetPlant(), plant->GetId());
    plant->SetState(2);  // on its way out: no longer the hole's plant
    EXPECT_EQ(hole->GetPlant(), 0u);

    hole->SetHighlight(true);
    vek::cQuadBatch batch;
    hole->DrawTo(batch);
    ASSERT_EQ(gardentest::QuadCount(batch), 2u);
    // The glow first (under the hole), wider than the hole.
    EXPECT_GT(gardentest::QuadRect(batch, 0).w, gardentest::QuadRect(batch, 1).w);

    hole->SetShown(false);
    vek::cQuadBatch hidden;
    hole->DrawTo(hidden);
    EXPECT_EQ(gardentest::QuadCount(hidden), 0u);
    EXPECT_FALSE(hole->HitTest(hole->GetPos()));
    EXPECT_FALSE(hole->HitTest(vek::vec2(hole->GetPos().x, hole->GetPos().y + 5.0f)));
}

TEST_F(Tools, CanAndBasketKeepTheirLimits)
{
    cToolWater* can = First<cToolWater>(OBJ_TOOL_WATER);
    ASSERT_EQ(can->GetCapacity(), 3);
    can->UseWater(1);
    EXPECT_EQ(can->GetWater(), 0);
    for (int i = 0; i < 4; ++i) can->AddWater(1);
    EXPECT_EQ(can->GetWater(), 3);
    EXPECT_TRUE(can->IsFull());
    can->SetWater(-1);
    can->SetWater(9);
    EXPECT_EQ(can->GetWater(), 3);

    cToolBin* basket = First<cToolBin>(OBJ_TOOL_BIN);
    for (int32_t ware : {0, 1, 0}) EXPECT_TRUE(basket->AddWare(ware));
    EXPECT_FALSE(basket->AddWare(2));
    EXPECT_EQ(basket->GetWareCount(0), 2);
    EXPECT_EQ(basket->TakeWare(5), NO_WARE);
    EXPECT_EQ(basket->TakeWare(-1), NO_WARE);
    EXPECT_EQ(basket->GetCount(), 3);
    EXPECT_EQ(basket->TakeWare(1), 1);
    EXPECT_EQ(basket->TakeFirstWare(), 0);
    // An upgrade counts at once.
    player->m_Upgrades.SetLevel(2, 2);
    EXPECT_EQ(basket->GetCapacity(), 5);
}

TEST_F(Tools, TheCanIsNotThereBeforeThePlayerWasShownIt)
{
    cScriptedPlayer p(*level);
    cToolWater* can = First<cToolWater>(OBJ_TOOL_WATER);
    const vek::vec2 middle(can->GetPos().x, can->GetPos().y + 20.0f);
    EXPECT_FALSE(can->HitTest(middle));
    vek::cQuadBatch batch;
    can->DrawTo(batch);
    EXPECT_EQ(gardentest::QuadCount(batch), 0u);
    EXPECT_FALSE(p.Gardener()->TakeTool(can->GetId()));
    EXPECT_EQ(level->PickOnCell(can->GetCell()), level->GetNullObject());

    GetProfileHost().iRuleCounter = 1;
    EXPECT_TRUE(can->HitTest(middle));
    can->SetWater(2);
    vek::cQuadBatch shown;
    can->DrawTo(shown);
    EXPECT_EQ(gardentest::QuadCount(shown), 3u);  // the can and one icon per unit
    EXPECT_EQ(level->PickOnCell(can->GetCell()), can);
    EXPECT_TRUE(p.Gardener()->TakeTool(can->GetId()));
    EXPECT_FALSE(can->HitTest(middle));  // carried: not hit
}

TEST_F(Tools, SavedRecordsAreBoundedAndMoveOffBlockedCells)
{
    // Five wares into a basket of three: the first three stay; indices that
    // name no ware are dropped.
    vek::cBitStream five;
    five.WriteInt(6);
    five.WriteInt(6);
    five.WriteInt(6);
    for (int32_t ware : {4, 9999, 1, 2, 3, 0}) five.WriteInt(ware);
    cToolBin* basket = First<cToolBin>(OBJ_TOOL_BIN);
    EXPECT_TRUE(basket->Load(five));
    EXPECT_EQ(basket->GetWares(), (std::vector<int32_t>{4, 1, 2}));

    // A count far beyond the stream stops at its end.
    vek::cBitStream huge;
    huge.WriteInt(6);
    huge.WriteInt(6);
    huge.WriteInt(0x7fffffff);
    huge.WriteInt(5);
    EXPECT_FALSE(basket->Load(huge));
    EXPECT_EQ(basket->GetWares(), (std::vector<int32_t>{5}));
    vek::cBitStream topBit;
    topBit.WriteInt(6);
    topBit.WriteInt(6);
    topBit.WriteInt(INT_MIN);
    topBit.WriteInt(5);
    EXPECT_FALSE(basket->Load(topBit)) << "a negative count is damage";
    EXPECT_EQ(basket->GetCount(), 0);

    // A can's capacity is kept only within what the upgrades give, its
    // water only within its capacity: anything else is damage, and the can
    // keeps the capacity it had, empty.
    cToolWater* can = First<cToolWater>(OBJ_TOOL_WATER);
    const auto loadCan = [&](int32_t capacity, int32_t water) {
        vek::cBitStream s;
        s.WriteInt(6);
        s.WriteInt(7);
        s.WriteInt(capacity);
        s.WriteInt(water);
        return can->Load(s);
    };
    EXPECT_TRUE(loadCan(5, 4));
    EXPECT_EQ(can->GetCapacity(), 5);
    EXPECT_EQ(can->GetWater(), 4);
    EXPECT_FALSE(loadCan(1000000, 2));
    EXPECT_EQ(can->GetCapacity(), 5);
    EXPECT_EQ(can->GetWater(), 0);
    ASSERT_TRUE(loadCan(5, 4));
    EXPECT_FALSE(loadCan(4, 5));
    EXPECT_EQ(can->GetCapacity(), 5);
    EXPECT_EQ(can->GetWater(), 0);
    EXPECT_FALSE(loadCan(4, -3));
    EXPECT_EQ(can->GetWater(), 0);

    // A tool saved on a bed's cell lies down on the nearest free cell.
    const cell bed = First<cHole>(OBJ_HOLE)->GetCell();
    vek::cBitStream blocked;
    blocked.WriteInt(bed.row);
    blocked.WriteInt(bed.column);
    cToolWeed* weed = First<cToolWeed>(OBJ_TOOL_WEED);
    EXPECT_TRUE(weed->Load(blocked));
    EXPECT_NE(weed->GetCell(), bed);
    EXPECT_TRUE(level->IsValidCell(weed->GetCell()));
    EXPECT_NE(level->GetCellValue(weed->GetCell()), 0.0f);
}

} // namespace

namespace {

class ToolsWithoutWeedPicture : public gardentest::GardenWorld {
protected:
    void MakeSprites() override
    {
        SkipArea("images00", "weed");
        GardenWorld::MakeSprites();
    }
};

TEST_F(ToolsWithoutWeedPicture, TheWeedingToolCanStillBeSeenAndTaken)
{
    LoadField();
    cScriptedPlayer p(*level);
    cObject* weed = p.First(OBJ_TOOL_WEED);
    EXPECT_TRUE(cScriptedPlayer::Visible(weed));
    ASSERT_TRUE(p.ClickOn(weed));
    ASSERT_TRUE(p.WaitIdle());
    EXPECT_EQ(p.CarriedTool(), cTool::e_Weed);
}

} // namespace

namespace {

class ToolDrawing : public gardentest::GardenWorld {};

TEST_F(ToolDrawing, IndicatorsRowUpOverTheToolAndFollowItWhenCarried)
{
    GetProfileHost().iRuleCounter = 1;
    LoadField();
    cScriptedPlayer p(*level);
    auto* can = static_cast<cToolWater*>(p.First(OBJ_TOOL_WATER));
    can->SetWater(3);
    vek::cQuadBatch batch;
    can->DrawTo(batch);
    ASSERT_EQ(gardentest::QuadCount(batch), 4u);
    // Icons 16 wide overlapping by half: a row of 32 centred over the can,
    // bottom 7 below the can's rectangle.
    const vek::rectf r = can->GetRect();
    for (size_t i = 0; i < 3; ++i) {
        const vek::rectf icon = gardentest::QuadRect(batch, 1 + i);
        EXPECT_FLOAT_EQ(icon.x, r.x + (r.w - 32.0f) / 2.0f + 8.0f * static_cast<float>(i));
        EXPECT_FLOAT_EQ(icon.y, r.y - 7.0f);
    }
    ASSERT_TRUE(p.Gardener()->TakeTool(can->GetId()));
    vek::cQuadBatch carried;
    can->DrawTo(carried);
    ASSERT_EQ(gardentest::QuadCount(carried), 3u);  // the icons only
    EXPECT_FLOAT_EQ(gardentest::QuadRect(carried, 0).y, can->GetRect().y - 14.0f);

    // The basket: one slot per unit of capacity, filled ones first.
    auto* basket = static_cast<cToolBin*>(p.First(OBJ_TOOL_BIN));
    basket->AddWare(0);
    vek::cQuadBatch slots;
    basket->DrawTo(slots);
    ASSERT_EQ(gardentest::QuadCount(slots), 4u);
    const vek::cVertex2D* v = slots.GetVertices();
    // Frame 1 (filled) of the two-frame icon sits right of frame 0.
    EXPECT_GT(v[6].u, v[12].u);
    EXPECT_EQ(v[12].u, v[18].u);
}

} // namespace
