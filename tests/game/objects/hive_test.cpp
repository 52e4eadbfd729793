// The hive and its bee: the honey cycle, honey lost after 60 s, a hive
// leaving when its bee finds no flower, hives not needed, bees sharing the
// flowers, appearing, and the hive's saved record.
#include "game/objects/hive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "animal_fixture.h"
#include "engine/core/bitstream.h"
#include "game/objects/bee.h"

namespace {

using animaltest::AnimalFixture;
using animaltest::TestPlant;

struct HiveFixture : AnimalFixture {
    // A standing hive on (0, 4) with its bee at home.
    void MakeHive(const cell& at = cell(0, 4))
    {
        hive = new cHive(m_pLevel);
        hive->SetCell(at);
        bee = new cBee(m_pLevel, hive->GetId());
        Run(1);
        ASSERT_EQ(hive->GetState(), 0);
        ASSERT_EQ(bee->GetState(), 3);
    }
    // Runs until the bee's state differs from `state`; the fixed steps taken.
    int RunWhile(cBee* b, int32_t state, int limit = 20000)
    {
        int n = 0;
        while (b->GetState() == state && n < limit) {
            Run(1);
            ++n;
        }
        return n;
    }
    cHive* hive = nullptr;
    cBee* bee = nullptr;
};

TEST(HiveTables, TypesDepthsAndRectangles)
{
    cLevel level;
    cHive hive(&level);
    cBee bee(&level, hive.GetId());
    EXPECT_EQ(hive.GetType(), 0x00080004u);
    EXPECT_TRUE(hive.IsType(OBJ_WORKSTATION));
    EXPECT_EQ(bee.GetType(), 0x04000000u);
    EXPECT_EQ(level.m_iHives, 1);
    EXPECT_EQ(hive.GetCapacity(), 1);
    EXPECT_FALSE(hive.IsFull());
    hive.SetPos(400.0f, 200.0f);
    bee.SetPos(400.0f, 200.0f);
    EXPECT_EQ(hive.GetDepth(), 189.0f);
    EXPECT_EQ(bee.GetDepth(), 188.0f);
    EXPECT_EQ(bee.GetRect().y, 240.0f);
    EXPECT_FALSE(bee.HitTest(vek::vec2(400.0f, 250.0f)));
    {
        cHive second(&level);
        EXPECT_EQ(level.m_iHives, 2);
    }
    EXPECT_EQ(level.m_iHives, 1);
}

TEST_F(HiveFixture, BeeFetchesHoneyFromABloomingFlower)
{
    MakeHive();
    EXPECT_EQ(bee->GetCell(), cell(0, 4));
    TestPlant* wilted = Flower(cell(3, 2));
    wilted->iNeed = 0;  // not blooming
    TestPlant* flower = Flower(cell(3, 6));
    new TestPlant(m_pLevel, Ware("grass"), cell(3, 3));
    world.sounds.clear();
    Run(1);
    ASSERT_EQ(bee->GetState(), 1);
    EXPECT_EQ(bee->GetFlower(), flower->GetId());
    EXPECT_EQ(world.sounds, std::vector<int32_t>{29});
    // About 250 pixels at 30 per second.
    const float distance = vek::Distance(bee->GetPos(), m_pLevel->GetCellPos(3, 6));
    const int out = RunWhile(bee, 1);
    EXPECT_NEAR(out, distance / 30.0f * 30.0f, 2.0f);
    ASSERT_EQ(bee->GetState(), 4);
    EXPECT_GE(RunWhile(bee, 4), 90);
    EXPECT_EQ(flower->iHarvests, 1);
    EXPECT_EQ(bee->GetFlower(), 0u);
    EXPECT_FALSE(hive->IsFull());
    RunWhile(bee, 1);
    EXPECT_EQ(bee->GetState(), 3);
    EXPECT_EQ(bee->GetCell(), cell(0, 4));
    EXPECT_TRUE(hive->IsFull());
    EXPECT_FLOAT_EQ(hive->m_Full.m_To, 60.0f);
    // A full hive keeps the bee at home, its patience standing.
    flower->iNeed = 2;
    Run(300);
    EXPECT_EQ(bee->GetState(), 3);
    EXPECT_EQ(bee->m_StateTimer.m_Value, 0.0f);
    // The ring shows the 60 s running; then the honey is lost.
    world.rings.clear();
    hive->Draw();
    ASSERT_EQ(world.rings.size(), 1u);
    EXPECT_NEAR(world.rings[0].fraction, 300.0f / 1800.0f, 0.01f);
    Run(1499);
    EXPECT_TRUE(hive->IsFull());
    Run(2);
    EXPECT_FALSE(hive->IsFull());
    EXPECT_EQ(hive->GetHoney(), 0);
    // Empty again: the bee goes out.
    Run(2);
    EXPECT_EQ(bee->GetState(), 1);
}

TEST_F(HiveFixture, TakingTheHoney)
{
    MakeHive();
    EXPECT_FALSE(hive->TakeHoney());
    EXPECT_TRUE(hive->AddHoney());
    EXPECT_FALSE(hive->AddHoney());  // full at capacity 1
    EXPECT_TRUE(hive->TakeHoney());
    EXPECT_EQ(hive->GetHoney(), 0);
    EXPECT_FALSE(hive->TakeHoney());
    // Not needed: no honey at all.
    hive->SetNeeded(false);
    EXPECT_FALSE(hive->AddHoney());
}

TEST_F(HiveFixture, HiveLeavesWhenItsBeeFindsNoFlowerFor120Seconds)
{
    MakeHive();
    const uint32_t hiveId = hive->GetId();
    const uint32_t beeId = bee->GetId();
    Run(1799);
    // From 60 s on, the bee's ring shows the second half of its patience.
    world.rings.clear();
    bee->Draw();
    EXPECT_TRUE(world.rings.empty());
    Run(2);
    bee->Draw();
    ASSERT_EQ(world.rings.size(), 1u);
    EXPECT_NEAR(world.rings[0].fraction, 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(world.rings[0].centre.y, bee->GetPos().y + 70.0f);
    for (int n = 0; n < 2000 && m_pLevel->HasObject(beeId); ++n) Run(1);
    EXPECT_FALSE(m_pLevel->HasObject(beeId));
    ASSERT_TRUE(m_pLevel->HasObject(hiveId));
    EXPECT_EQ(hive->GetState(), 4);
    world.bursts.clear();
    Run(21);
    EXPECT_FALSE(m_pLevel->HasObject(hiveId));
    EXPECT_EQ(world.bursts.size(), 1u);
    EXPECT_EQ(m_pLevel->m_iHives, 0);
}

TEST_F(HiveFixture, NeitherHoneyNorHiveIsLostWhileALessonHoldsThePlayersInput)
{
    MakeHive();
    const uint32_t beeId = bee->GetId();
    world.lesson = true;
    ASSERT_TRUE(hive->AddHoney());
    Run(90 * 30);
    EXPECT_EQ(hive->GetHoney(), 1) << "the honey was lost";
    hive->TakeHoney();
    Run(150 * 30);
    EXPECT_TRUE(m_pLevel->HasObject(beeId)) << "the hive left";
    world.lesson = false;
    Run(150 * 30);
    EXPECT_FALSE(m_pLevel->HasObject(beeId));
}

TEST_F(HiveFixture, HiveNotNeededKeepsItsBeeWaiting)
{
    MakeHive();
    hive->SetNeeded(false);
    Flower(cell(3, 6));
    const float waited = bee->m_StateTimer.m_Value;
    Run(4000);
    EXPECT_EQ(bee->GetState(), 3);
    EXPECT_EQ(bee->m_StateTimer.m_Value, waited);
    EXPECT_EQ(hive->GetState(), 0);
}

TEST_F(HiveFixture, TwoBeesNeverShareAFlower)
{
    MakeHive(cell(0, 4));
    cBee* first = bee;
    MakeHive(cell(0, 6));
    cBee* second = bee;
    TestPlant* a = Flower(cell(4, 2));
    TestPlant* b = Flower(cell(4, 8));
    Run(1);
    EXPECT_EQ(first->GetFlower(), a->GetId());
    EXPECT_EQ(second->GetFlower(), b->GetId());
    // One flower for two bees: the second waits.
    MakeHive(cell(5, 5));
    Run(1);
    EXPECT_EQ(bee->GetState(), 3);
    EXPECT_EQ(bee->GetFlower(), 0u);
}

TEST_F(HiveFixture, FlowerGoneWhileTheBeeFliesSendsItHomeWhereItIs)
{
    MakeHive();
    TestPlant* flower = Flower(cell(5, 4));
    Run(30);
    ASSERT_EQ(bee->GetState(), 1);
    const vek::vec2 midway = bee->GetPos();
    flower->SetState(2);
    m_pLevel->FlushRemoved();
    Run(1);
    EXPECT_EQ(bee->GetState(), 3);
    EXPECT_EQ(bee->GetFlower(), 0u);
    EXPECT_EQ(bee->GetPos(), midway);
    // It looks again from there.
    TestPlant* other = Flower(cell(6, 4));
    Run(1);
    EXPECT_EQ(bee->GetFlower(), other->GetId());
    // Removed while it collects: home state too.
    RunWhile(bee, 1);
    ASSERT_EQ(bee->GetState(), 4);
    other->SetState(2);
    m_pLevel->FlushRemoved();
    Run(1);
    EXPECT_EQ(bee->GetState(), 3);
}

TEST_F(HiveFixture, BoughtHiveAppearsAfterItsDelayWhileTheGardenIsShown)
{
    MakeHive();
    hive->SetState(3);
    world.focused = false;
    Run(60);
    EXPECT_EQ(hive->GetState(), 3);
    world.focused = true;
    world.bursts.clear();
    int steps = 0;
    while (hive->GetState() == 3 && steps < 100) {
        Run(1);
        ++steps;
    }
    EXPECT_NEAR(steps, 15 + 20, 2);  // 0.5 s, then 2/3 s of growth
    EXPECT_EQ(hive->GetState(), 0);
    EXPECT_EQ(world.bursts.size(), 1u);
}

TEST_F(HiveFixture, SavedRecordRoundTripsAndDamagedValuesAreMended)
{
    MakeHive(cell(0, 6));
    hive->AddHoney();
    Run(45);
    vek::cBitStream stream;
    ASSERT_TRUE(hive->Save(stream));
    ASSERT_EQ(stream.GetByteCount(), 40u);
    auto* copy = new cHive(m_pLevel);
    ASSERT_TRUE(copy->Load(stream));
    EXPECT_EQ(copy->GetCell(), cell(0, 6));
    EXPECT_EQ(copy->GetHoney(), 1);
    EXPECT_EQ(copy->GetCapacity(), 1);
    EXPECT_EQ(copy->m_Full.m_Value, hive->m_Full.m_Value);
    EXPECT_EQ(copy->m_Full.m_fDuration, 60.0f);
    vek::cBitStream again;
    copy->Save(again);
    EXPECT_EQ(again.GetData(), stream.GetData());

    // Capacity 0, a honey count past it, a timer that is not a number.
    auto damaged = [&](int32_t honey, int32_t capacity, float timerValue) {
        vek::cBitStream s;
        s.WriteInt(0);
        s.WriteInt(4);
        s.WriteInt(honey);
        s.WriteInt(capacity);
        for (int i = 0; i < 6; ++i) s.WriteFloat(i == 5 ? timerValue : 1.0f);
        auto* h = new cHive(m_pLevel);
        EXPECT_TRUE(h->Load(s));
        return h;
    };
    cHive* h = damaged(7, 0, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(h->GetCapacity(), 1);
    EXPECT_EQ(h->GetHoney(), 1);
    EXPECT_EQ(h->m_Full.m_fDuration, 0.0f);
    EXPECT_TRUE(h->TakeHoney());
    EXPECT_FALSE(h->TakeHoney());  // not full for ever
    h = damaged(-3, 2, -5.0f);
    EXPECT_EQ(h->GetHoney(), 0);
    EXPECT_EQ(h->GetCapacity(), 2);
    EXPECT_EQ(h->m_Full.m_To, 0.0f);
    h = damaged(1, 1, std::numeric_limits<float>::infinity());
    EXPECT_EQ(h->m_Full.m_fDuration, 0.0f);
    // A cut record reads as far as it goes and says so.
    vek::cBitStream cut;
    cut.SetData(stream.GetData().data(), 20);
    EXPECT_FALSE((new cHive(m_pLevel))->Load(cut));
}

} // namespace
