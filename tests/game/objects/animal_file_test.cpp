// The field's animals and hives: the spawn cells and hive places, buying,
// the needs the level's tasks switch, and the animal and hive groups of the
// saved garden.
#include "game/objects/animal_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "animal_fixture.h"
#include "engine/core/bitstream.h"
#include "game/objects/bee.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/ostrich.h"
#include "game/objects/peacock.h"
#include "game/objects/product.h"

namespace {

using animaltest::AnimalFixture;
using animaltest::TestPlant;

using Field = AnimalFixture;

int Count(cLevel* level, uint32_t mask)
{
    int n = 0;
    for (cObject* o : level->GetObjects())
        if (mask && o->IsType(mask)) ++n;
    return n;
}

TEST_F(Field, SpawnCellsAndHivePlaces)
{
    EXPECT_EQ(m_pLevel->GetObject(m_pLevel->AddOstrich())->GetCell(), cell(1, 7));
    EXPECT_EQ(m_pLevel->GetObject(m_pLevel->AddGoat())->GetCell(), cell(6, 7));
    EXPECT_EQ(m_pLevel->GetObject(m_pLevel->AddPeacock())->GetCell(), cell(1, 1));

    // Whatever lies on the first place goes.
    TestPlant* plant = Grass(cell(0, 4));
    auto* egg = new cEgg(m_pLevel);
    egg->SetCell(0, 4);
    const uint32_t first = m_pLevel->AddHive();
    ASSERT_NE(first, 0u);
    EXPECT_EQ(m_pLevel->GetObject(first)->GetCell(), cell(0, 4));
    EXPECT_EQ(plant->GetState(), 2);
    EXPECT_EQ(egg->GetState(), 2);
    EXPECT_EQ(world.GetCellValue(*m_pLevel, cell(0, 4)), 0.0f);
    EXPECT_EQ(world.GetCellValue(*m_pLevel, cell(1, 4)), 0.0f);
    EXPECT_EQ(world.GetCellValue(*m_pLevel, cell(2, 4)), 1.0f);
    const uint32_t second = m_pLevel->AddHive();
    EXPECT_EQ(m_pLevel->GetObject(second)->GetCell(), cell(0, 6));
    EXPECT_EQ(m_pLevel->AddHive(), 0u);
    EXPECT_EQ(m_pLevel->m_iHives, 2);
    // Each with its bee.
    EXPECT_EQ(Count(m_pLevel, OBJ_BEE), 2);
    for (cObject* o : m_pLevel->GetObjects())
        if (o->IsType(OBJ_BEE)) {
            const uint32_t hive = static_cast<cBee*>(o)->GetHive();
            EXPECT_TRUE(hive == first || hive == second);
        }
}

TEST_F(Field, BuyingAnimals)
{
    m_pPlayer->m_iMoney = 1000;
    m_pPlayer->m_Tasks.push_back(MakeLevelTask("goat", 2, 0.0f));
    EXPECT_TRUE(m_pLevel->BuyAnimal(1));
    EXPECT_EQ(m_pPlayer->m_iMoney, 800);
    EXPECT_EQ(m_pPlayer->m_Tasks[0].iAmount, 1);
    ASSERT_EQ(m_pPlayer->m_AnimalCounts.size() > 1, true);
    EXPECT_EQ(m_pPlayer->m_AnimalCounts[1], 1);
    auto* goat = static_cast<cGoat*>(m_pLevel->FindObject(cell(-1, -1), OBJ_GOAT));
    EXPECT_EQ(goat->GetState(), 8);
    EXPECT_TRUE(goat->IsFirst());  // the only goat
    EXPECT_EQ(world.sounds, std::vector<int32_t>{15});
    EXPECT_TRUE(m_pLevel->BuyAnimal(1));
    int firsts = 0;
    for (cObject* o : m_pLevel->GetObjects())
        if (o->IsType(OBJ_GOAT) && static_cast<cGoat*>(o)->IsFirst()) ++firsts;
    EXPECT_EQ(firsts, 1);

    // Not enough money: nothing bought, nothing charged.
    m_pPlayer->m_iMoney = 399;
    EXPECT_FALSE(m_pLevel->BuyAnimal(3));
    EXPECT_EQ(m_pPlayer->m_iMoney, 399);
    EXPECT_EQ(m_pLevel->m_iPeacocks, 0);

    // A hive appears with its sound; a third one is refused without charge.
    world.sounds.clear();
    EXPECT_TRUE(m_pLevel->BuyAnimal(2));
    EXPECT_EQ(world.sounds, std::vector<int32_t>{29});
    EXPECT_EQ(m_pLevel->FindObject(cell(0, 4), OBJ_HIVE)->GetState(), 3);
    m_pPlayer->m_iMoney = 1000;
    EXPECT_TRUE(m_pLevel->BuyAnimal(2));
    EXPECT_EQ(m_pPlayer->m_iMoney, 700);
    EXPECT_FALSE(m_pLevel->BuyAnimal(2));
    EXPECT_EQ(m_pPlayer->m_iMoney, 700);
    EXPECT_EQ(m_pPlayer->m_AnimalCounts[2], 2);
    // Unknown kinds buy and count nothing.
    for (int kind : {-1, 4, 1000}) EXPECT_FALSE(m_pLevel->BuyAnimal(kind));
    EXPECT_EQ(m_pPlayer->m_iMoney, 700);
}

TEST_F(Field, NeedsFollowTheActiveTasks)
{
    auto* ostrich = new cOstrich(m_pLevel);
    ostrich->SetCell(2, 6);
    ostrich->Update();
    auto* egg = new cEgg(m_pLevel);
    egg->SetCell(4, 4);
    auto* nib = new cNib(m_pLevel);
    nib->SetCell(4, 5);
    m_pLevel->AddHive();
    auto* hive = static_cast<cHive*>(m_pLevel->FindObject(cell(-1, -1), OBJ_HIVE));
    hive->AddHoney();
    AskFor("egg");
    AskFor("honey");
    m_pLevel->UpdateAnimalNeeds(nullptr);
    EXPECT_TRUE(ostrich->IsNeeded());
    EXPECT_EQ(egg->GetState(), -1);
    EXPECT_EQ(nib->GetState(), 2);  // nobody wants nibs: gone with a burst
    EXPECT_TRUE(hive->IsFull());
    EXPECT_EQ(world.bursts.size(), 1u);

    // The egg task done: the ostrich roams without needs, hunger or food.
    ostrich->SetFoodTarget(5);
    ostrich->SetState(3);
    m_pPlayer->m_Tasks[0].iAmount = 0;
    world.bursts.clear();
    // A task given limits the pass to that task's ware.
    m_pLevel->UpdateAnimalNeeds(&m_pPlayer->m_Tasks[1]);
    EXPECT_TRUE(ostrich->IsNeeded());
    m_pLevel->UpdateAnimalNeeds(&m_pPlayer->m_Tasks[0]);
    EXPECT_FALSE(ostrich->IsNeeded());
    EXPECT_EQ(ostrich->GetState(), 1);
    EXPECT_EQ(ostrich->GetFoodTarget(), 0u);
    EXPECT_FLOAT_EQ(ostrich->m_Walk.m_fSpeed, 20.0f);
    EXPECT_EQ(egg->GetState(), 2);
    EXPECT_TRUE(hive->IsFull());
    EXPECT_EQ(world.bursts.size(), 2u);
    // No honey wanted any more: the hive's honey goes.
    m_pPlayer->m_Tasks.clear();
    m_pLevel->UpdateAnimalNeeds(nullptr);
    EXPECT_EQ(hive->GetHoney(), 0);
    EXPECT_FALSE(hive->IsNeeded());
    // Plants and other objects are left to others.
    TestPlant* plant = Grass(cell(5, 5));
    EXPECT_FALSE(m_pLevel->UpdateAnimalNeed(*plant, nullptr));
}

// A field with every kind of animal and two hives, one with honey and a
// running timer.
struct SavedField : Field {
    void Populate()
    {
        m_pLevel->AddOstrich();
        auto* second = new cOstrich(m_pLevel);
        second->SetCell(3, 5);
        m_pLevel->AddPeacock();
        m_pLevel->AddGoat();
        Grass(cell(5, 2));  // plants are not the animals' to save
        m_pLevel->AddHive();
        m_pLevel->AddHive();
        auto* hive = static_cast<cHive*>(m_pLevel->FindObject(cell(0, 6), OBJ_HIVE));
        hive->AddHoney();
        Run(40);
    }
    std::vector<uint8_t> Save()
    {
        vek::cBitStream stream;
        SaveAnimalGroups(*m_pLevel, stream);
        return stream.GetData();
    }
    void Clear()
    {
        m_pLevel->ClearObjects();
        world.values.clear();
    }
    bool Load(const std::vector<uint8_t>& bytes, size_t length)
    {
        vek::cBitStream stream;
        stream.SetData(bytes.data(), length);
        return LoadAnimalGroups(*m_pLevel, stream);
    }
};

TEST_F(SavedField, GroupsRoundTripByteForByte)
{
    // An empty field: four zero counts.
    EXPECT_EQ(Save(), std::vector<uint8_t>(16, 0));
    Populate();
    const std::vector<uint8_t> saved = Save();
    ASSERT_EQ(saved.size(), 4u + 2 * 8 + 4 + 8 + 4 + 8 + 4 + 2 * 40);
    Clear();
    ASSERT_TRUE(Load(saved, saved.size()));
    EXPECT_EQ(m_pLevel->m_iOstriches, 2);
    EXPECT_EQ(m_pLevel->m_iPeacocks, 1);
    EXPECT_EQ(m_pLevel->m_iGoats, 1);
    EXPECT_EQ(m_pLevel->m_iHives, 2);
    EXPECT_EQ(Count(m_pLevel, OBJ_BEE), 2);
    EXPECT_EQ(Count(m_pLevel, OBJ_PLANT), 0);
    auto* hive = static_cast<cHive*>(m_pLevel->FindObject(cell(0, 6), OBJ_HIVE));
    EXPECT_TRUE(hive->IsFull());
    EXPECT_GT(hive->m_Full.m_Value, 1.0f);
    EXPECT_EQ(world.GetCellValue(*m_pLevel, cell(1, 6)), 0.0f);
    EXPECT_EQ(Save(), saved);
}

TEST_F(SavedField, DamagedGroupsKeepWhatWasReadAndNeverOverrun)
{
    Populate();
    const std::vector<uint8_t> saved = Save();
    // Every cut: a clean answer, never more objects than the file held.
    for (size_t length = 0; length < saved.size(); ++length) {
        Clear();
        EXPECT_FALSE(Load(saved, length)) << length;
        EXPECT_LE(m_pLevel->m_iOstriches, 2);
        EXPECT_LE(m_pLevel->m_iHives, 2);
        EXPECT_EQ(Count(m_pLevel, OBJ_BEE), m_pLevel->m_iHives);
    }
    // Huge and negative counts.
    vek::cBitStream huge;
    huge.WriteInt(0x7fffffff);
    for (int i = 0; i < 100; ++i) {
        huge.WriteInt(2);
        huge.WriteInt(5);
    }
    // A count the bytes left cannot hold refuses the group: what follows
    // it is not read as ostriches.
    std::vector<uint8_t> bytes = huge.GetData();
    Clear();
    EXPECT_FALSE(Load(bytes, bytes.size()));
    EXPECT_EQ(m_pLevel->m_iOstriches, 0);
    vek::cBitStream negative;
    negative.WriteInt(-5);
    negative.WriteInt(0);
    negative.WriteInt(1);
    negative.WriteInt(4);
    negative.WriteInt(2);
    negative.WriteInt(0);
    bytes = negative.GetData();
    // A negative count is no game's either: the groups after it are not
    // read from its bytes.
    Clear();
    EXPECT_FALSE(Load(bytes, bytes.size()));
    EXPECT_EQ(m_pLevel->m_iOstriches, 0);
    EXPECT_EQ(m_pLevel->m_iGoats, 0);
}

TEST_F(SavedField, HivesOnTheTopRowOrOffTheGrid)
{
    auto hiveRecord = [](vek::cBitStream& s, int row, int column) {
        s.WriteInt(row);
        s.WriteInt(column);
        s.WriteInt(0);
        s.WriteInt(1);
        for (int i = 0; i < 6; ++i) s.WriteFloat(0.0f);
    };
    vek::cBitStream stream;
    for (int i = 0; i < 3; ++i) stream.WriteInt(0);
    stream.WriteInt(3);
    hiveRecord(stream, 7, 2);
    hiveRecord(stream, -1, -1);
    hiveRecord(stream, 0, 4);
    std::vector<uint8_t> bytes = stream.GetData();
    Clear();
    // The hive off the grid is dropped with a warning; the others stay.
    EXPECT_FALSE(Load(bytes, bytes.size()));
    EXPECT_EQ(m_pLevel->m_iHives, 2);
    EXPECT_EQ(Count(m_pLevel, OBJ_BEE), 2);
    EXPECT_EQ(world.GetCellValue(*m_pLevel, cell(7, 2)), 0.0f);
    EXPECT_EQ(world.values.size(), 3u);  // (7, 2), (0, 4), (1, 4): nothing off the grid
    // An animal off the grid starts on its spawn cell.
    vek::cBitStream animals;
    animals.WriteInt(1);
    animals.WriteInt(99);
    animals.WriteInt(99);
    for (int i = 0; i < 3; ++i) animals.WriteInt(0);
    bytes = animals.GetData();
    Clear();
    EXPECT_TRUE(Load(bytes, bytes.size()));
    EXPECT_EQ(m_pLevel->FindObject(cell(-1, -1), OBJ_OSTRICH)->GetCell(), cell(1, 7));
}

} // namespace
