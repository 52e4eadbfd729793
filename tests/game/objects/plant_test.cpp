// Plants: the needs a sort hands out, the 60 s a need may wait, ripeness,
// the harvest, and the saved record.
#include <gtest/gtest.h>

#include "engine/core/bitstream.h"
#include "game/scripted_player.h"
#include "game/world/level_task.h"

namespace {

using gardentest::cScriptedPlayer;

class Plants : public gardentest::GardenWorld {
protected:
    void SetUp() override
    {
        GardenWorld::SetUp();
        LoadField();
    }
    cPlant* Plant(const char* ware, const cell& at)
    {
        return static_cast<cPlant*>(level->GetObject(level->AddPlant(at, Ware(ware))));
    }
};

TEST_F(Plants, SortIntervalsHandOutNeedsInTurn)
{
    // Weeding every second plant and watering every third: a weeding need
    // leaves the watering counter alone.
    cSort* sort = g_pWareManager->GetSort(static_cast<uint32_t>(Ware("plant03")));
    sort->vecNeedIntervals = {3, 2};
    sort->vecNeedCounters = {0, 0};
    std::vector<int32_t> pending;
    for (int i = 0; i < 5; ++i) {
        cPlant* plant = Plant("plant03", cell(0, i));
        plant->Update();  // new -> planted: the need is chosen
        EXPECT_EQ(plant->GetState(), cPlant::e_psGrowing);
        pending.push_back(plant->GetPendingNeed());
    }
    EXPECT_EQ(pending, (std::vector<int32_t>{-1, cPlant::e_NeedWeed, -1, cPlant::e_NeedWeed, cPlant::e_NeedWater}));
}

TEST_F(Plants, APlantNoTaskWantsDropsItsNeedUnlessRipe)
{
    cScriptedPlayer p(*level);
    cPlant* wanted = Plant("plant00", cell(0, 0));
    cPlant* unwanted = Plant("plant01", cell(0, 1));
    cPlant* ripe = Plant("plant01", cell(0, 2));
    p.Step(2);
    wanted->SetNeed(cPlant::e_NeedWater);
    unwanted->SetNeed(cPlant::e_NeedWater);
    ripe->SetGrowth(1.0f);
    p.Step(1);
    ASSERT_EQ(ripe->GetNeed(), cPlant::e_NeedRipe);
    player->m_Tasks = {MakeLevelTask("plant00", 3, 0.0f)};
    level->UpdateNeeds(nullptr);
    EXPECT_EQ(wanted->GetNeed(), cPlant::e_NeedWater);
    EXPECT_EQ(unwanted->GetNeed(), cPlant::e_NeedNone);
    EXPECT_EQ(ripe->GetNeed(), cPlant::e_NeedRipe);
}

TEST_F(Plants, AnUnmetNeedKillsAfterSixtySecondsUnlessWorked)
{
    cScriptedPlayer p(*level);
    cPlant* left = Plant("plant00", cell(0, 0));
    cPlant* tended = Plant("plant00", cell(0, 1));
    const uint32_t leftId = left->GetId();
    p.Step(2);
    left->SetNeed(cPlant::e_NeedWater);
    tended->SetNeed(cPlant::e_NeedWater);
    tended->SetWorked(true);
    p.Step(30 * 30);
    EXPECT_NEAR(left->GetNeedTime(), 0.5f, 0.01f);
    p.Step(30 * 30 + 2);
    EXPECT_FALSE(level->HasObject(leftId));
    EXPECT_EQ(tended->GetState(), cPlant::e_psNeeding);

    // A ripe plant waits for ever; the harvest gives its ware and it grows
    // again from 0.
    tended->SetGrowth(1.0f);
    tended->ClearNeed();
    EXPECT_FALSE(tended->IsWorked());
    p.Step(1);
    EXPECT_EQ(tended->GetNeed(), cPlant::e_NeedRipe);
    EXPECT_EQ(tended->Harvest() == NO_WARE, false);
    p.Step(1);
    EXPECT_EQ(tended->GetState(), cPlant::e_psGrowing);
    EXPECT_LT(tended->GetGrowth(), 0.05f);
    EXPECT_EQ(tended->Harvest(), NO_WARE);  // not ripe: nothing
    p.StepUntil([&] { return tended->GetNeed() == cPlant::e_NeedRipe; });
    p.Step(30 * 120);
    EXPECT_EQ(tended->GetNeed(), cPlant::e_NeedRipe);
    EXPECT_EQ(tended->Harvest(), Ware("plant00"));
}

TEST_F(Plants, FlowersAskForWaterUntilTheirHintWasShown)
{
    cPlant* flowers = Plant("flowers", cell(6, 6));
    flowers->Update();
    EXPECT_EQ(flowers->GetPendingNeed(), cPlant::e_NeedWater);
    EXPECT_GT(flowers->GetDepth(), flowers->GetPos().y);  // drawn behind crops
    player->m_Hints[9] = 1;
    cPlant* later = Plant("flowers", cell(6, 7));
    later->Update();
    EXPECT_NE(later->GetPendingNeed(), cPlant::e_NeedWater);
}

TEST_F(Plants, SavedRecordClampsGrowthAndRefusesWaresThatAreNoSort)
{
    for (const auto& [saved, loaded] : {std::pair<float, float>{1.5f, 1.0f}, {-0.5f, 0.0f}, {0.5f, 0.5f}}) {
        vek::cBitStream stream;
        stream.WriteInt(Ware("plant02"));
        stream.WriteFloat(saved);
        stream.WriteInt(3);
        stream.WriteInt(4);
        cPlant plant(level);
        ASSERT_TRUE(plant.Load(stream));
        EXPECT_FLOAT_EQ(plant.GetGrowth(), loaded);
        EXPECT_EQ(plant.GetWareId(), Ware("plant02"));
        EXPECT_EQ(plant.GetCell(), cell(3, 4));
    }
    // A ware that is no sort: the whole record is read, then refused, so
    // that the next record starts where it should.
    vek::cBitStream stream;
    stream.WriteInt(Ware("egg"));
    stream.WriteFloat(0.5f);
    stream.WriteInt(1);
    stream.WriteInt(1);
    stream.WriteInt(77);
    cPlant bad(level);
    EXPECT_FALSE(bad.Load(stream));
    EXPECT_EQ(stream.ReadInt(), 77);

    // Saves of version 0.4 hold one more value after the ware.
    player->m_fVersion = 0.4f;
    vek::cBitStream old;
    old.WriteInt(Ware("plant01"));
    old.WriteInt(12345);
    old.WriteFloat(0.25f);
    old.WriteInt(2);
    old.WriteInt(2);
    cPlant aged(level);
    ASSERT_TRUE(aged.Load(old));
    EXPECT_FLOAT_EQ(aged.GetGrowth(), 0.25f);
    EXPECT_EQ(aged.GetCell(), cell(2, 2));
}

} // namespace
