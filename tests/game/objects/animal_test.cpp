// The garden animals and their products on a bare field: the species'
// numbers, the first animal's short timings, hunger and grass, wandering,
// calls, laying, the goat's milk, the peacock's rectangle, appearing and
// leaving.
#include "game/objects/animal.h"

#include <gtest/gtest.h>

#include "animal_fixture.h"
#include "game/objects/goat.h"
#include "game/objects/ostrich.h"
#include "game/objects/peacock.h"
#include "game/objects/product.h"
#include "engine/core/bitstream.h"

namespace {

using animaltest::AnimalFixture;
using animaltest::TestPlant;

constexpr float kStep = 1.0f / 30.0f;

// An animal with a sprite size, so that it has a rectangle to hit.
template <class T>
struct Sized : T {
    explicit Sized(cLevel* level) : T(level) { this->m_vSize = vek::vec2(60.0f, 80.0f); }
    // The test pack has no sprites: the size stays, mirrored or not.
    bool SetAnimation(const vek::string& texture, const vek::string& area, int32_t mode, bool mirrored) override
    {
        const bool found = T::SetAnimation(texture, area, mode, mirrored);
        this->m_vSize = vek::vec2(mirrored ? -60.0f : 60.0f, 80.0f);
        return found;
    }
};

struct TestHole : cObject {
    TestHole(cLevel* level, const cell& at) : cObject(level) { SetCell(at); }
    uint32_t GetType() const override { return OBJ_HOLE; }
};

// Steps until the state leaves `state`; the number of steps taken.
int StepsWhile(cObject* object, int32_t state, int limit = 10000)
{
    int n = 0;
    while (object->GetState() == state && n < limit) {
        object->Update();
        ++n;
    }
    return n;
}

TEST(AnimalTables, SpeciesNumbersPasturesAndCalls)
{
    cLevel level;
    cAnimal base(&level, "x");
    cOstrich ostrich(&level);
    cGoat goat(&level);
    cPeacock peacock(&level);
    const float expected[4][8] = {{30, 2, 20, 3, 30, 5, 0.5f, 0},
                                  {17, 1.5f, 40, 0, 20, 16, 0.5f, 0},
                                  {15, 2, 40, 3, 22, 15, 0.5f, 35},
                                  {20, 2, 40, 0, 20, 16, 0.5f, 0}};
    const cAnimal* animals[4] = {&base, &ostrich, &goat, &peacock};
    for (int a = 0; a < 4; ++a) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(animals[a]->GetSpeciesParam(i), expected[a][i]) << a << " " << i;
        EXPECT_EQ(animals[a]->GetSpeciesParam(8), 0.0f);
        EXPECT_EQ(animals[a]->GetSpeciesParam(-1), 0.0f);
        EXPECT_EQ(animals[a]->GetSoundId(2), -1);
    }
    EXPECT_EQ(base.GetSoundId(0), -1);
    EXPECT_EQ(ostrich.GetSoundId(0), 16);
    EXPECT_EQ(ostrich.GetSoundId(1), 17);
    EXPECT_EQ(goat.GetSoundId(0), 14);
    EXPECT_EQ(goat.GetSoundId(1), 15);
    EXPECT_EQ(peacock.GetSoundId(0), 18);
    EXPECT_EQ(peacock.GetSoundId(1), 19);

    const int32_t pastures[3][4] = {{0, 4, 3, 9}, {3, 4, 7, 9}, {0, 0, 7, 6}};
    for (int a = 1; a < 4; ++a)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(animals[a]->GetPasture()[i], pastures[a - 1][i]) << a;

    EXPECT_EQ(base.GetType(), 0x08000000u);
    EXPECT_EQ(ostrich.GetType(), 0x08000001u);
    EXPECT_EQ(peacock.GetType(), 0x08000002u);
    EXPECT_EQ(goat.GetType(), 0x08000004u);
    EXPECT_EQ(ostrich.GetTextureName(), "ostrich");
    EXPECT_EQ(goat.GetTextureName(), "goat");
    EXPECT_EQ(peacock.GetTextureName(), "peacock00");
    EXPECT_EQ(ostrich.GetSpawnCell(), cell(1, 7));
    EXPECT_EQ(peacock.GetSpawnCell(), cell(1, 1));
    EXPECT_EQ(goat.GetSpawnCell(), cell(6, 7));
    // The species keep the field's counts.
    EXPECT_EQ(level.m_iOstriches, 1);
    EXPECT_EQ(level.m_iGoats, 1);
    EXPECT_EQ(level.m_iPeacocks, 1);

    ostrich.SetPos(300.0f, 200.0f);
    EXPECT_EQ(ostrich.GetDepth(), 140.0f);
    EXPECT_FALSE(ostrich.HitTest(ostrich.GetPos()));
}

TEST(AnimalTables, ProductsAndCounts)
{
    cLevel level;
    {
        cOstrich a(&level);
        cOstrich b(&level);
        EXPECT_EQ(level.m_iOstriches, 2);
    }
    EXPECT_EQ(level.m_iOstriches, 0);
    auto* egg = new cEgg(&level);
    auto* nib = new cNib(&level);
    EXPECT_EQ(egg->GetType(), 0x02000001u);
    EXPECT_EQ(nib->GetType(), 0x02000002u);
    EXPECT_TRUE(egg->IsType(OBJ_PRODUCT));
    egg->SetPos(200.0f, 300.0f);
    EXPECT_EQ(egg->GetDepth(), 270.0f);
    // An egg lies 50 seconds, a nib 40 (steps of 1/30 s), then it is gone.
    const auto stepsToGo = [](cObject* product) {
        int steps = 0;
        for (; product->GetState() != cObject::e_stRemove && steps < 3000; ++steps) product->Update();
        return steps;
    };
    EXPECT_NEAR(stepsToGo(egg), 50 * 30, 1);
    EXPECT_NEAR(stepsToGo(nib), 40 * 30, 1);
}

TEST_F(AnimalFixture, FirstAnimalsShowTheirProductSoon)
{
    auto first = [&](cAnimal* animal) {
        animal->SetFirst(true);
        animal->Update();  // -1 -> 0 -> 1 in one step
        EXPECT_EQ(animal->GetState(), 1);
        EXPECT_FALSE(animal->IsFirst());
        return animal;
    };
    // Before the player ever picked up an egg: laying after 1.8 s, hungry
    // after 1 s.
    cAnimal* ostrich = first(new cOstrich(m_pLevel));
    EXPECT_FLOAT_EQ(ostrich->m_Product.m_To, 1.8f);
    EXPECT_FLOAT_EQ(ostrich->m_Satiety.m_To, 1.0f);
    // A first goat offers milk at her first rest after 1 s.
    cAnimal* goat = first(new cGoat(m_pLevel));
    EXPECT_FLOAT_EQ(goat->m_Product.m_To, 1.0f);
    EXPECT_GT(goat->m_Satiety.m_To, 14.0f);
    // Once the lessons are past, or for a peacock: 4 s.
    m_pPlayer->m_Events[6] = 1;
    m_pPlayer->m_Events[8] = 1;
    EXPECT_FLOAT_EQ(first(new cOstrich(m_pLevel))->m_Product.m_To, 4.0f);
    EXPECT_FLOAT_EQ(first(new cGoat(m_pLevel))->m_Product.m_To, 4.0f);
    EXPECT_FLOAT_EQ(first(new cPeacock(m_pLevel))->m_Product.m_To, 4.0f);
    // An event list too short to hold the flag counts as not set.
    m_pPlayer->m_Events.clear();
    EXPECT_FLOAT_EQ(first(new cOstrich(m_pLevel))->m_Product.m_To, 1.8f);

    // Not the first: the species' time, 0.6 of it in a free-range level.
    auto* normal = new cOstrich(m_pLevel);
    normal->Update();
    EXPECT_GE(normal->m_Product.m_To, 16.0f * 0.95f);
    EXPECT_LT(normal->m_Product.m_To, 16.0f * 1.05f);
    m_pGame->m_bFreeRange = 1;
    auto* ranging = new cOstrich(m_pLevel);
    ranging->Update();
    EXPECT_GE(ranging->m_Product.m_To, 16.0f * 0.95f * 0.6f);
    EXPECT_LT(ranging->m_Product.m_To, 16.0f * 1.05f * 0.6f);
}

TEST_F(AnimalFixture, LayingStandsStillThenPutsTheProductOnAFreeCell)
{
    auto* ostrich = new cOstrich(m_pLevel);
    ostrich->SetCell(2, 6);
    ostrich->Update();
    cAnimal::StartTimer(ostrich->m_Product, 0.05f);
    Steps(ostrich, 2);
    ASSERT_EQ(ostrich->GetState(), 6);
    const float call = ostrich->m_CallTimer.m_Value;
    const float satiety = ostrich->m_Satiety.m_Value;
    const int steps = StepsWhile(ostrich, 6);
    EXPECT_GE(steps, 15);
    EXPECT_LE(steps, 16);
    // Still and silent meanwhile.
    EXPECT_EQ(ostrich->m_CallTimer.m_Value, call);
    EXPECT_EQ(ostrich->m_Satiety.m_Value, satiety);
    EXPECT_EQ(ostrich->GetState(), 1);
    cObject* egg = m_pLevel->FindObject(cell(-1, -1), OBJ_EGG);
    ASSERT_NE(egg, m_pLevel->GetNullObject());
    // The animal stands on the cell itself, so the egg goes to a neighbour.
    EXPECT_NE(egg->GetCell(), cell(2, 6));
    EXPECT_TRUE(m_pLevel->IsValidCell(egg->GetCell()));
    EXPECT_GT(ostrich->m_Product.m_To, 15.0f);  // the next product time

    // The peacock drops nibs; a second product never lands on the first.
    auto* peacock = new cPeacock(m_pLevel);
    peacock->SetCell(2, 6);
    peacock->Update();
    cAnimal::StartTimer(peacock->m_Product, 0.0f);
    peacock->Update();
    StepsWhile(peacock, 6);
    cObject* nib = m_pLevel->FindObject(cell(-1, -1), OBJ_NIB);
    ASSERT_NE(nib, m_pLevel->GetNullObject());
    EXPECT_NE(nib->GetCell(), egg->GetCell());
}

TEST_F(AnimalFixture, ProductsSitOnTheirCellAndFadeWithTheirLife)
{
    for (int row = 0; row < 8; ++row) {
        cEgg egg(m_pLevel);
        egg.SetCell(row, 3);
        EXPECT_EQ(egg.GetCell(), cell(row, 3)) << row;
        // Below the cell's edge by half a cell less 16 pixels.
        EXPECT_FLOAT_EQ(egg.GetPos().y, m_pLevel->GetCellPos(row, 3).y - (67.5f * 0.5f - 16.0f));
    }
    auto* nib = new cNib(m_pLevel);
    nib->SetCell(4, 4);
    Steps(nib, 600);  // 20 of its 40 s
    world.rings.clear();
    nib->Draw();
    ASSERT_EQ(world.rings.size(), 1u);
    EXPECT_NEAR(world.rings[0].fraction, 0.5f, 0.01f);
    EXPECT_EQ(world.rings[0].radius, 21.0f);
    EXPECT_FLOAT_EQ(world.rings[0].centre.y, nib->GetPos().y + 16.0f);
    EXPECT_NEAR(StepsWhile(nib, -1), 600, 1);
    EXPECT_EQ(nib->GetState(), 2);
    m_pLevel->FlushRemoved();
    EXPECT_EQ(m_pLevel->FindObject(cell(-1, -1), OBJ_NIB), m_pLevel->GetNullObject());
}

TEST_F(AnimalFixture, HungryAnimalRunsToTheGrassAndEatsIt)
{
    auto* ostrich = new cOstrich(m_pLevel);
    ostrich->SetCell(2, 6);
    ostrich->Update();
    TestPlant* grass = Grass(cell(2, 8));
    const uint32_t grassId = grass->GetId();
    cAnimal::StartTimer(ostrich->m_Satiety, 0.01f);
    ostrich->Update();
    ASSERT_EQ(ostrich->GetState(), 3);
    EXPECT_FLOAT_EQ(ostrich->m_StateTimer.m_To, 40.0f);
    EXPECT_FLOAT_EQ(ostrich->m_CallTimer.m_To, 10.0f);
    ostrich->Update();
    EXPECT_EQ(ostrich->GetFoodTarget(), grassId);
    EXPECT_EQ(grass->uReserved, ostrich->GetId());
    EXPECT_FLOAT_EQ(ostrich->m_Walk.m_fSpeed, 60.0f);  // runs at three times its pace
    // 148 pixels at 60 per second, then 1.5 s of eating.
    Run(80);
    ASSERT_EQ(ostrich->GetState(), 4);
    EXPECT_EQ(ostrich->GetCell(), cell(2, 8));
    Run(20);
    EXPECT_LT(grass->fGrowth, 0.7f);
    EXPECT_GT(grass->fGrowth, 0.2f);
    Run(30);
    EXPECT_FALSE(m_pLevel->HasObject(grassId));
    EXPECT_EQ(ostrich->GetState(), 1);
    EXPECT_EQ(ostrich->GetFoodTarget(), 0u);
    EXPECT_FLOAT_EQ(ostrich->m_Walk.m_fSpeed, 20.0f);
    EXPECT_GT(ostrich->m_Satiety.m_To, 15.0f);
}

// An animal standing right on its grass's point has no way to walk there:
// it eats at once rather than waiting hungry for ever.
TEST_F(AnimalFixture, GrassVanishingWhileEatenSendsTheAnimalBackToHunger)
{
    auto* goat = new cGoat(m_pLevel);
    goat->SetCell(4, 6);
    goat->Update();
    TestPlant* grass = Grass(cell(4, 6));
    cAnimal::StartTimer(goat->m_Satiety, 0.01f);
    Run(5);
    ASSERT_EQ(goat->GetState(), 4);
    grass->SetState(2);
    m_pLevel->FlushRemoved();
    goat->Update();
    EXPECT_EQ(goat->GetState(), 3);
    EXPECT_EQ(goat->GetFoodTarget(), 0u);
}

TEST_F(AnimalFixture, StarvingAnimalFadesAwayWithABurst)
{
    auto* peacock = new cPeacock(m_pLevel);
    const uint32_t id = peacock->GetId();
    peacock->SetCell(3, 3);
    peacock->Update();
    cAnimal::StartTimer(peacock->m_Satiety, 0.01f);
    peacock->Update();
    ASSERT_EQ(peacock->GetState(), 3);
    // While it waits, its ring shows the patience running.
    Run(600);
    world.rings.clear();
    peacock->Draw();
    ASSERT_EQ(world.rings.size(), 1u);
    EXPECT_NEAR(world.rings[0].fraction, 0.5f, 0.01f);
    EXPECT_EQ(world.rings[0].radius, 22.0f);
    Run(601);
    ASSERT_EQ(peacock->GetState(), 7);
    world.bursts.clear();
    int frames = 0;
    while (m_pLevel->HasObject(id) && frames < 40) {
        Run(1);
        ++frames;
    }
    EXPECT_NEAR(frames, 20, 1);  // 2/3 s of shrinking
    ASSERT_EQ(world.bursts.size(), 1u);
    EXPECT_EQ(world.bursts[0].first, 50u);
    EXPECT_FALSE(m_pLevel->HasObject(id));
    EXPECT_EQ(m_pLevel->m_iPeacocks, 0);
}

TEST_F(AnimalFixture, GrassChoice)
{
    auto* ostrich = new cOstrich(m_pLevel);  // pasture rows 0-3, columns 4-9
    ostrich->SetCell(2, 4);
    ostrich->Update();
    TestPlant* outside = Grass(cell(2, 3));
    TestPlant* inside = Grass(cell(2, 8));
    new TestPlant(m_pLevel, Ware("plant00"), cell(2, 5));  // no grass
    auto hungry = [&](float elapsed) {
        cAnimal::StartTimer(ostrich->m_StateTimer, 40.0f);
        ostrich->m_StateTimer.Update(elapsed);
        outside->uReserved = inside->uReserved = 0;
        return ostrich->FindFood();
    };
    // In the first 30 % of its patience only the pasture's grass.
    EXPECT_EQ(hungry(1.0f), inside->GetId());
    EXPECT_EQ(hungry(11.9f), inside->GetId());
    EXPECT_EQ(hungry(12.1f), outside->GetId());
    m_pGame->m_bFreeRange = 1;
    EXPECT_EQ(hungry(1.0f), outside->GetId());
    m_pGame->m_bFreeRange = 0;

    // Equal distances: the first in the registry.
    TestPlant* left = Grass(cell(1, 4));
    TestPlant* right = Grass(cell(3, 4));
    left->uReserved = right->uReserved = 0;
    EXPECT_EQ(hungry(20.0f), outside->GetId());
    outside->SetState(2);
    m_pLevel->FlushRemoved();
    cAnimal::StartTimer(ostrich->m_StateTimer, 40.0f);
    ostrich->m_StateTimer.Update(20.0f);
    EXPECT_EQ(ostrich->FindFood(), left->GetId());
    // Once it heads for the left one, that one is no longer free.
    ostrich->SetFoodTarget(left->GetId());
    EXPECT_EQ(ostrich->FindFood(), right->GetId());
}

TEST_F(AnimalFixture, ReservationsHoldOnlyForALiveAnimalHeadingForTheGrass)
{
    auto* a = new cOstrich(m_pLevel);
    auto* b = new cOstrich(m_pLevel);
    a->SetCell(2, 6);
    b->SetCell(2, 7);
    TestPlant* grass = Grass(cell(2, 8));
    // Reserved by an id that names no animal any more.
    grass->uReserved = 999;
    EXPECT_EQ(a->FindFood(), grass->GetId());
    EXPECT_EQ(grass->uReserved, a->GetId());
    // Reserved by a live animal that heads for it.
    a->SetFoodTarget(grass->GetId());
    EXPECT_EQ(b->FindFood(), 0u);
    // ... and by one that turned elsewhere.
    a->SetFoodTarget(0);
    EXPECT_EQ(b->FindFood(), grass->GetId());
    // A removed animal's reservation frees the grass too.
    b->SetFoodTarget(grass->GetId());
    b->SetState(2);
    m_pLevel->FlushRemoved();
    EXPECT_EQ(a->FindFood(), grass->GetId());
}

TEST_F(AnimalFixture, WanderingCells)
{
    auto* ostrich = new cOstrich(m_pLevel);  // rows 0-3, columns 4-9
    ostrich->SetCell(1, 5);
    EXPECT_TRUE(ostrich->CanGoTo(cell(2, 6)));
    EXPECT_FALSE(ostrich->CanGoTo(cell(2, 3)));   // off the pasture
    EXPECT_FALSE(ostrich->CanGoTo(cell(-1, 4)));  // off the grid
    world.values[{2, 6}] = 0.0f;
    EXPECT_FALSE(ostrich->CanGoTo(cell(2, 6)));
    m_pGame->m_bFreeRange = 1;
    EXPECT_TRUE(ostrich->CanGoTo(cell(2, 6)));
    EXPECT_TRUE(ostrich->CanGoTo(cell(5, 1)));
    EXPECT_FALSE(ostrich->CanGoTo(cell(8, 1)));
    m_pGame->m_bFreeRange = 0;
    world.values.clear();

    // Holes on both sides in the column, or in the row, close the cell.
    new TestHole(m_pLevel, cell(0, 7));
    EXPECT_TRUE(ostrich->CanGoTo(cell(2, 7)));
    new TestHole(m_pLevel, cell(6, 7));
    EXPECT_FALSE(ostrich->CanGoTo(cell(2, 7)));
    new TestHole(m_pLevel, cell(3, 2));
    EXPECT_TRUE(ostrich->CanGoTo(cell(3, 5)));
    new TestHole(m_pLevel, cell(3, 9));
    EXPECT_FALSE(ostrich->CanGoTo(cell(3, 5)));
    EXPECT_TRUE(ostrich->CanGoTo(cell(2, 5)));

    // Only one diagonal open: that one, whatever the draw.
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 10; ++c) world.values[{r, c}] = 0.0f;
    world.values[{0, 4}] = 1.0f;
    for (uint32_t seed : {1u, 2u, 77u, 1234u}) {
        m_pGame->m_uSeed = seed;
        EXPECT_EQ(ostrich->GetRandomCell(), cell(0, 4));
    }
    // None open: any pasture cell, unchecked.
    world.values[{0, 4}] = 0.0f;
    for (uint32_t seed : {1u, 2u, 77u, 1234u}) {
        m_pGame->m_uSeed = seed;
        const cell c = ostrich->GetRandomCell();
        EXPECT_TRUE(ostrich->IsInPasture(c));
    }
    // The walk checks it: a blocked cell is not walked to.
    ostrich->Update();
    ostrich->Move(kStep);
    EXPECT_FALSE(ostrich->m_Walk.IsMoving());
}

TEST_F(AnimalFixture, WalksFaceTheirDirection)
{
    auto* goat = new cGoat(m_pLevel);
    goat->SetCell(4, 5);
    goat->Update();
    goat->Move(kStep);
    ASSERT_TRUE(goat->m_Walk.IsMoving());
    // A diagonal neighbour at 22 pixels per second.
    const vek::vec2 to = goat->m_Walk.m_To;
    const cell target = m_pLevel->PosToCell(to);
    EXPECT_EQ(std::abs(target.row - 4), 1);
    EXPECT_EQ(std::abs(target.column - 5), 1);
    EXPECT_NEAR(goat->m_Walk.m_fDuration, vek::Distance(goat->m_Walk.m_From, to) / 22.0f, 1e-4f);
    // No rest for those that never rest: the ostrich walks on.
    auto* ostrich = new cOstrich(m_pLevel);
    ostrich->SetCell(2, 6);
    ostrich->Update();
    ostrich->SetState(5);
    EXPECT_EQ(ostrich->GetState(), 1);
    // The goat rests 3 s at every arrival.
    int frames = 0;
    while (goat->GetState() == 1 && frames < 400) {
        goat->Move(kStep);
        ++frames;
    }
    EXPECT_EQ(goat->GetState(), 5);
    EXPECT_EQ(goat->GetCell(), target);
    EXPECT_GE(StepsWhile(goat, 5), 90);
}

TEST_F(AnimalFixture, AnimalsNotNeededNeitherHungerNorLay)
{
    auto* ostrich = new cOstrich(m_pLevel);
    ostrich->SetCell(2, 6);
    ostrich->Update();
    Grass(cell(2, 8));
    ostrich->SetNeeded(false);
    cAnimal::StartTimer(ostrich->m_Satiety, 0.01f);
    cAnimal::StartTimer(ostrich->m_Product, 0.0f);
    Run(300);
    EXPECT_EQ(ostrich->GetState(), 1);
    EXPECT_EQ(m_pLevel->FindObject(cell(-1, -1), OBJ_EGG), m_pLevel->GetNullObject());
    ostrich->SetState(4);
    EXPECT_EQ(ostrich->GetState(), 1);
    // Needed again: it lays and gets hungry.
    ostrich->SetNeeded(true);
    Run(30);
    EXPECT_NE(m_pLevel->FindObject(cell(-1, -1), OBJ_EGG), m_pLevel->GetNullObject());
}

TEST_F(AnimalFixture, CallsOnlyWhileTheLevelWantsTheAnimalOrItsProduct)
{
    auto* ostrich = new cOstrich(m_pLevel);
    ostrich->SetCell(2, 6);
    ostrich->Update();
    EXPECT_GE(ostrich->m_CallTimer.m_To, 28.0f);
    EXPECT_LT(ostrich->m_CallTimer.m_To, 52.0f);
    auto call = [&]() {
        world.sounds.clear();
        cAnimal::StartTimer(ostrich->m_CallTimer, 0.05f);
        Steps(ostrich, 2);
        return world.sounds;
    };
    EXPECT_TRUE(call().empty());
    // The period drifts by a factor in [0.8, 1.2).
    EXPECT_GE(ostrich->m_CallTimer.m_To, 0.05f * 0.8f - 1e-6f);
    EXPECT_LT(ostrich->m_CallTimer.m_To, 0.05f * 1.2f);
    m_pPlayer->m_TaskSet.vecTasks.push_back(MakeLevelTask("nib", 3, 0.0f));
    EXPECT_TRUE(call().empty());
    m_pPlayer->m_TaskSet.vecTasks.push_back(MakeLevelTask("ostrich", 1, 0.0f));
    EXPECT_EQ(call(), std::vector<int32_t>{17});
    m_pPlayer->m_TaskSet.vecTasks.clear();
    m_pPlayer->m_TaskSet.vecTasks.push_back(MakeLevelTask("egg", 3, 0.0f));
    EXPECT_EQ(call(), std::vector<int32_t>{17});
    // Hungry, it calls its hungry call, at first after 10 s.
    cAnimal::StartTimer(ostrich->m_Satiety, 0.01f);
    ostrich->Update();
    ASSERT_EQ(ostrich->GetState(), 3);
    EXPECT_FLOAT_EQ(ostrich->m_CallTimer.m_To, 10.0f);
    EXPECT_EQ(call(), std::vector<int32_t>{16});
}

TEST_F(AnimalFixture, GoatOffersMilkAtHerRestUntilTaken)
{
    auto* goat = new Sized<cGoat>(m_pLevel);
    goat->SetCell(4, 6);
    goat->Update();
    cAnimal::StartTimer(goat->m_Product, 0.1f);
    // Her product time runs while she roams or rests.
    Steps(goat, 4);
    goat->SetState(5);
    goat->Update();
    ASSERT_EQ(goat->GetState(), 9);
    EXPECT_FLOAT_EQ(goat->m_StateTimer.m_To, 35.0f);
    const vek::vec2 inside(goat->GetPos().x, goat->GetPos().y + 40.0f);
    EXPECT_TRUE(goat->HitTest(inside));
    // Once the gardener has a job for her she cannot be clicked again.
    world.jobs.push_back(goat->GetId());
    EXPECT_FALSE(goat->HitTest(inside));
    world.jobs.clear();
    // She calls every 10 s whatever the tasks, and draws her ring.
    world.sounds.clear();
    Steps(goat, 301);
    EXPECT_EQ(world.sounds, std::vector<int32_t>{14});
    world.rings.clear();
    goat->Draw();
    ASSERT_EQ(world.rings.size(), 1u);
    EXPECT_FLOAT_EQ(world.rings[0].centre.x, goat->GetPos().x + 5.0f);
    EXPECT_FLOAT_EQ(world.rings[0].centre.y, goat->GetPos().y + 68.0f);
    // Not taken within 35 s: she roams again, and offers it at her next rest.
    StepsWhile(goat, 9);
    EXPECT_EQ(goat->GetState(), 1);
    EXPECT_FLOAT_EQ(goat->m_CallTimer.m_To, 40.0f);
    EXPECT_FALSE(goat->HitTest(inside));
    goat->SetState(5);
    goat->Update();
    EXPECT_EQ(goat->GetState(), 9);
    // Milked (the gardener holds her in state 6, then lets her go): a new
    // product time.
    goat->SetState(6);
    goat->SetState(1);
    EXPECT_GT(goat->m_Product.m_To, 14.0f);
    // Not needed: no milk.
    cAnimal::StartTimer(goat->m_Product, 0.0f);
    goat->SetNeeded(false);
    goat->SetState(5);
    goat->Update();
    EXPECT_EQ(goat->GetState(), 5);
}

// While a lesson holds the player's input he can neither sow grass, pick an
// egg up nor milk: the animal's patience, the egg's life and the milk's
// wait stand still, and run on after the lesson.
TEST_F(AnimalFixture, NothingIsLostWhileALessonHoldsThePlayersInput)
{
    auto* peacock = new cPeacock(m_pLevel);
    peacock->SetCell(3, 3);
    peacock->Update();
    cAnimal::StartTimer(peacock->m_Satiety, 0.01f);
    peacock->Update();
    ASSERT_EQ(peacock->GetState(), 3);
    auto* egg = new cEgg(m_pLevel);
    egg->SetCell(5, 5);
    auto* goat = new Sized<cGoat>(m_pLevel);
    goat->SetCell(4, 6);
    goat->Update();
    cAnimal::StartTimer(goat->m_Product, 0.1f);
    Steps(goat, 4);
    goat->SetState(5);
    goat->Update();
    ASSERT_EQ(goat->GetState(), 9);
    world.lesson = true;
    for (cObject* object : std::vector<cObject*>{peacock, egg, goat}) Steps(object, 90 * 30);
    EXPECT_EQ(peacock->GetState(), 3);
    EXPECT_EQ(egg->GetState(), cObject::e_stNew);
    EXPECT_EQ(goat->GetState(), 9);
    // After it each wait goes on from where it stood: 40 s of patience,
    // 50 s of the egg's life, 35 s of the milk.
    world.lesson = false;
    EXPECT_NEAR(StepsWhile(peacock, 3), 40 * 30, 2);
    EXPECT_NEAR(StepsWhile(egg, cObject::e_stNew), 50 * 30, 2);
    EXPECT_NEAR(StepsWhile(goat, 9), 35 * 30, 2);
}

TEST_F(AnimalFixture, PeacockRectangleAndTextures)
{
    auto* peacock = new Sized<cPeacock>(m_pLevel);
    peacock->SetPos(400.0f, 300.0f);
    peacock->Update();
    // Walking right and up: shifted left and down.
    peacock->m_Walk.m_From = vek::vec2(300.0f, 200.0f);
    peacock->m_Walk.m_To = vek::vec2(400.0f, 300.0f);
    vek::rectf r = peacock->GetRect();
    EXPECT_EQ(r.x, 400.0f - 30.0f - 40.0f);
    EXPECT_EQ(r.y, 260.0f);
    // Walking left and down.
    std::swap(peacock->m_Walk.m_From, peacock->m_Walk.m_To);
    r = peacock->GetRect();
    EXPECT_EQ(r.x, 400.0f - 30.0f + 40.0f);
    EXPECT_EQ(r.y, 300.0f);
    EXPECT_TRUE(peacock->SetAnimation("whatever", "lu", 3, false) || true);
    EXPECT_EQ(peacock->GetTextureName(), "peacock01");
    peacock->SetAnimation("whatever", "eat_l", 3, false);
    EXPECT_EQ(peacock->GetTextureName(), "peacock02");
    peacock->SetAnimation("whatever", "other", 3, false);
    EXPECT_EQ(peacock->GetTextureName(), "peacock02");
}

// A game made after another in the same process has wares of its own: the
// animals look their wares up in it, not in the game before.
TEST_F(AnimalFixture, TheNextGameLooksItsWaresUpAfresh)
{
    ASSERT_EQ(AnimalWare("grass"), Ware("grass"));
    const int32_t before = Ware("grass");
    m_pGame->SetCurrent(nullptr);
    delete m_pGame;
    DestroyWareManager();
    ASSERT_TRUE(CreateWareManager());
    new cProduct("product_first", "first");  // every ware one place later
    CreateWares();
    m_pGame = new animaltest::TestGarden();
    m_pGame->SetCurrent(m_pPlayer);
    ASSERT_EQ(Ware("grass"), before + 1);
    EXPECT_EQ(AnimalWare("grass"), before + 1);
}

TEST_F(AnimalFixture, BoughtAnimalAppearsOnlyWhileTheGardenIsShown)
{
    auto* goat = new Sized<cGoat>(m_pLevel);
    goat->SetCell(6, 7);
    goat->SetState(8);
    world.focused = false;
    for (int i = 0; i < 60; ++i) goat->Move(kStep);
    EXPECT_EQ(goat->GetState(), 8);
    EXPECT_EQ(goat->GetRect().w, 0.0f);  // not grown at all
    world.focused = true;
    for (int i = 0; i < 14; ++i) goat->Move(kStep);
    EXPECT_EQ(goat->m_Scale.m_Value, 0.0f);  // the delay first
    for (int i = 0; i < 10; ++i) goat->Move(kStep);
    // Growing from its horizontal centre.
    const vek::rectf r = goat->GetRect();
    EXPECT_GT(r.w, 0.0f);
    EXPECT_LT(r.w, 60.0f);
    EXPECT_NEAR(r.x + r.w / 2.0f, goat->GetPos().x, 1.0f);
    world.bursts.clear();
    for (int i = 0; i < 12 && goat->GetState() == 8; ++i) goat->Move(kStep);
    EXPECT_EQ(goat->GetState(), 0);
    EXPECT_EQ(world.bursts.size(), 1u);
}

TEST_F(AnimalFixture, LoadedAnimalOffTheGridStartsOnItsSpawnCell)
{
    vek::cBitStream stream;
    stream.WriteInt(12);
    stream.WriteInt(-3);
    auto* peacock = new cPeacock(m_pLevel);
    EXPECT_TRUE(peacock->Load(stream));
    EXPECT_EQ(peacock->GetCell(), cell(1, 1));
    vek::cBitStream good;
    good.WriteInt(5);
    good.WriteInt(2);
    auto* goat = new cGoat(m_pLevel);
    EXPECT_TRUE(goat->Load(good));
    EXPECT_EQ(goat->GetCell(), cell(5, 2));
    vek::cBitStream out;
    goat->Save(out);
    EXPECT_EQ(out.GetByteCount(), 8u);
}

} // namespace

namespace {

// Until the field answers for its grid itself, the default world sees every
// cell of the grid open and searches around the objects standing on it.
TEST_F(AnimalFixture, DefaultWorldFindsCellsAroundTheObjects)
{
    const cAnimalWorld plain;
    EXPECT_EQ(plain.GetCellValue(*m_pLevel, cell(3, 3)), 1.0f);
    EXPECT_EQ(plain.GetCellValue(*m_pLevel, cell(8, 3)), 0.0f);
    EXPECT_EQ(plain.FindFreeCellNear(*m_pLevel, cell(4, 4)), cell(4, 4));
    new cEgg(m_pLevel);
    m_pLevel->FindObject(cell(-1, -1), OBJ_EGG)->SetCell(cell(4, 4));
    const cell next = plain.FindFreeCellNear(*m_pLevel, cell(4, 4));
    EXPECT_NE(next, cell(4, 4));
    EXPECT_TRUE(m_pLevel->IsValidCell(next));
    EXPECT_EQ(plain.GetPlantWare(*m_pLevel->GetNullObject()), NO_WARE);
    EXPECT_FALSE(plain.GardenerHasJobFor(*m_pLevel, 1));
}

} // namespace
