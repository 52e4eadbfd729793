#include "game/world/level_defs.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "game/shell/locale_gd.h"
#include "game/world/building.h"
#include "game/world/ware.h"

namespace {

struct Levels : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
    }
    void TearDown() override { DestroyWareManager(); }
};

// The animal kind whose product a ware is (0 ostrich ... 3 peacock), or -1.
int AnimalOf(const std::string& name)
{
    if (name == "egg") return 0;
    if (name == "milk") return 1;
    if (name == "honey") return 2;
    if (name == "nib") return 3;
    return -1;
}

TEST_F(Levels, EveryLevelIsPlayableAndNothingLiesBeyond)
{
    for (int level = 0; level < kLevelCount; ++level) {
        const cLevelDef& def = GetLevelDef(level);
        EXPECT_GT(def.fTimeLimit, 0.0f) << level;
        EXPECT_GT(def.iMoney, 0) << level;
        ASSERT_FALSE(def.vecTasks.empty()) << level;
        std::set<std::string> names;
        for (const cLevelDefTask& task : def.vecTasks) {
            // Every task names a ware of the catalogue, once per level, and
            // none asks for animals.
            EXPECT_NE(g_pWareManager->FindWare(task.szName), NO_WARE) << level << " " << task.szName;
            EXPECT_TRUE(names.insert(task.szName).second) << level << " " << task.szName;
            EXPECT_GT(task.iAmount, 0) << level;
            // A task appears early enough to be done within the gold time.
            EXPECT_GE(task.fTime, 0.0f) << level;
            EXPECT_LT(task.fTime, def.fTimeLimit * 0.6f) << level;
        }
        // The panel has four lines; at most four tasks are active at once.
        EXPECT_LE(def.vecTasks.size(), 7u) << level;
    }
    for (int level : {kLevelCount, 100, -1, -2147483647 - 1}) {
        const cLevelDef& def = GetLevelDef(level);
        EXPECT_EQ(def.fTimeLimit, 0.0f);
        EXPECT_EQ(def.iMoney, 0);
        EXPECT_TRUE(def.vecTasks.empty());
        EXPECT_EQ(def.uFlags, 0u);
    }
}

TEST_F(Levels, SpotValuesOfTheTable)
{
    // The first level, the last, and the levels whose tasks join late.
    const cLevelDef& first = GetLevelDef(0);
    EXPECT_EQ(first.fTimeLimit, 90.0f);
    EXPECT_EQ(first.iMoney, 50);
    ASSERT_EQ(first.vecTasks.size(), 1u);
    EXPECT_STREQ(first.vecTasks[0].szName, "plant00");
    EXPECT_EQ(first.vecTasks[0].iAmount, 6);

    const cLevelDef& crops = GetLevelDef(37);
    EXPECT_EQ(crops.fTimeLimit, 170.0f);
    ASSERT_EQ(crops.vecTasks.size(), 4u);
    const char* const sorts[] = {"plant04", "plant05", "plant06", "plant07"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_STREQ(crops.vecTasks[i].szName, sorts[i]);
        EXPECT_EQ(crops.vecTasks[i].fTime, 30.0f * static_cast<float>(i));
    }

    const cLevelDef& last = GetLevelDef(44);
    EXPECT_EQ(last.fTimeLimit, 330.0f);
    EXPECT_EQ(last.iMoney, 120);
    EXPECT_EQ(last.vecTasks.size(), 7u);

    // Sums over the whole table: a mistyped amount, time or price shows here.
    float limits = 0.0f, times = 0.0f;
    int money = 0, amounts = 0, tasks = 0, late = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        const cLevelDef& def = GetLevelDef(level);
        limits += def.fTimeLimit;
        money += def.iMoney;
        for (const cLevelDefTask& task : def.vecTasks) {
            amounts += task.iAmount;
            times += task.fTime;
            ++tasks;
            if (task.fTime > 0.0f) ++late;
        }
    }
    EXPECT_EQ(limits, 9970.0f);
    EXPECT_EQ(money, 8205);
    EXPECT_EQ(tasks, 191);
    EXPECT_EQ(amounts, 1466);
    EXPECT_EQ(late, 39);
    EXPECT_EQ(times, 2625.0f);
}

TEST_F(Levels, EverythingALevelAsksForIsUnlockedBeforeIt)
{
    // Played in order, each level's awards unlock the next sort, animal and
    // bed layout; a level may only ask for sorts and animal products that
    // earlier levels unlocked.
    int sorts = 0;     // index of the newest unlocked sort
    int animals = -1;  // the newest unlocked animal kind
    int beds = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        const cLevelDef& def = GetLevelDef(level);
        for (const cLevelDefTask& task : def.vecTasks) {
            const int32_t ware = g_pWareManager->FindWare(task.szName);
            if (g_pWareManager->GetWare(static_cast<uint32_t>(ware))->GetType() == 0x80000001u) {
                EXPECT_LE(ware, sorts) << "level " << level << " asks for " << task.szName;
            }
            const int animal = AnimalOf(task.szName);
            if (animal >= 0) {
                EXPECT_LE(animal, animals) << "level " << level << " asks for " << task.szName;
            }
        }
        if (def.Has(cLevelDef::e_NewSort)) ++sorts;
        if (def.Has(cLevelDef::e_NewAnimal)) ++animals;
        if (def.Has(cLevelDef::e_MoreBeds)) ++beds;
    }
    // Every sort and animal is handed out, and no more than exist.
    EXPECT_EQ(sorts, 7);
    EXPECT_EQ(animals, 3);
    EXPECT_EQ(beds, 4);
}

TEST_F(Levels, EveryProductAskedForHasItsFactoryByThen)
{
    // A product can only be delivered once the factory making it has been
    // offered by an earlier level, and that factory's input is available
    // too: an unlocked sort, or a product of such a factory in turn.
    cBuildingRegistry buildings;
    CreateBuildings(buildings);
    auto factoryOf = [&](int32_t output) -> const cFactory* {
        for (size_t i = 0; i < buildings.Count(); ++i)
            if (const auto* f = dynamic_cast<const cFactory*>(buildings.Get(static_cast<uint32_t>(i))))
                if (f->iOutputWare == output) return f;
        return nullptr;
    };
    std::set<std::string> offered;
    int sorts = 0;
    for (int level = 0; level < kLevelCount; ++level) {
        for (const cLevelDefTask& task : GetLevelDef(level).vecTasks) {
            int32_t ware = g_pWareManager->FindWare(task.szName);
            for (int depth = 0; g_pWareManager->GetWare(static_cast<uint32_t>(ware))->GetType() == 0x80000002u;
                 ++depth) {
                ASSERT_LT(depth, 3);
                const cFactory* factory = factoryOf(ware);
                ASSERT_NE(factory, nullptr) << task.szName;
                EXPECT_EQ(offered.count(factory->GetName()), 1u) << "level " << level << " asks for " << task.szName;
                ware = factory->iInputWare;
            }
            if (g_pWareManager->GetWare(static_cast<uint32_t>(ware))->GetType() == 0x80000001u) {
                EXPECT_LE(ware, sorts) << "level " << level << " needs sort " << ware;
            }
        }
        offered.insert(GetLevelBuilding(level));
        if (GetLevelDef(level).Has(cLevelDef::e_NewSort)) ++sorts;
    }
    // Each building of the catalogue is offered by some level.
    for (size_t i = 0; i < buildings.Count(); ++i)
        EXPECT_EQ(offered.count(buildings.Get(static_cast<uint32_t>(i))->GetName()), 1u)
            << buildings.Get(static_cast<uint32_t>(i))->GetName();
}

TEST_F(Levels, FreeRangeAndUpgradeOffers)
{
    for (int level = 0; level < kLevelCount; ++level)
        EXPECT_EQ(GetLevelDef(level).Has(cLevelDef::e_FreeRange), level == 10 || level == 17 || level == 43)
            << level;

    // With the institute: a level without awards, or with more beds, offers
    // an upgrade; one that only unlocks an animal or a sort does not.
    EXPECT_TRUE(LevelOffersUpgrade(GetLevelDef(1), true));
    EXPECT_TRUE(LevelOffersUpgrade(GetLevelDef(11), true));
    EXPECT_TRUE(LevelOffersUpgrade(GetLevelDef(0), true));  // sort and beds
    EXPECT_FALSE(LevelOffersUpgrade(GetLevelDef(5), true));
    EXPECT_FALSE(LevelOffersUpgrade(GetLevelDef(8), true));
    for (int level = 0; level < kLevelCount; ++level)
        EXPECT_FALSE(LevelOffersUpgrade(GetLevelDef(level), false)) << level;
}

TEST_F(Levels, TaskSetFilledInOrder)
{
    cLevelTaskSet set;
    ResetLevelTasks(set);
    ApplyLevelDef(25, set);
    EXPECT_EQ(set.fTimeLimit, 260.0f);
    ASSERT_EQ(set.vecTasks.size(), 5u);
    const int32_t wares[] = {4, 17, 6, 5, 19};
    const float times[] = {0.0f, 20.0f, 40.0f, 70.0f, 90.0f};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(set.vecTasks[i].iWare, wares[i]) << i;
        EXPECT_EQ(set.vecTasks[i].iKind, -1) << i;
        EXPECT_EQ(set.vecTasks[i].fTime, times[i]) << i;
    }
    // Beyond the levels: no limit and no tasks.
    ResetLevelTasks(set);
    ApplyLevelDef(45, set);
    EXPECT_EQ(set.fTimeLimit, 0.0f);
    EXPECT_TRUE(set.vecTasks.empty());
}

TEST(LevelBuildings, EachLevelNamesABuildingWithItsHint)
{
    std::set<std::string> buildings;
    for (int level = 0; level < kLevelCount; ++level) {
        const std::string name = GetLevelBuilding(level);
        ASSERT_FALSE(name.empty()) << level;
        buildings.insert(name);
        // The hint's locale key is "HintConstruct" + the name with its first
        // letter raised; the built-in text of each key is the key itself.
        std::string key = "HintConstruct" + name;
        key[13] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[13])));
        EXPECT_EQ(std::string(GetLevelBuildingText(level)), key) << level;
    }
    EXPECT_EQ(buildings.size(), 22u);
    EXPECT_EQ(GetLevelBuilding(0), "house00");
    EXPECT_EQ(GetLevelBuilding(11), "factory01_1");
    EXPECT_EQ(GetLevelBuilding(33), "factory03_1");
    EXPECT_EQ(GetLevelBuilding(44), "statue00");
    for (int level : {kLevelCount, -1, 1000}) {
        EXPECT_TRUE(GetLevelBuilding(level).empty());
        EXPECT_TRUE(GetLevelBuildingText(level).empty());
    }
    EXPECT_TRUE(GetBuildingHintText("").empty());
    EXPECT_TRUE(GetBuildingHintText("house06").empty());

    // A translated text is what the hint shows.
    const vek::string kept = GetLocaleGD().HintConstructMarket02;
    GetLocaleGD().HintConstructMarket02 = "Build the second market";
    EXPECT_EQ(GetLevelBuildingText(13), "Build the second market");
    EXPECT_EQ(GetLevelBuildingText(17), "Build the second market");
    GetLocaleGD().HintConstructMarket02 = kept;
}

} // namespace
