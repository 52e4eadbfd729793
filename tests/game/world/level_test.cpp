// The level field's hold on its objects: the finders by cell and type mask,
// the gardener lookup, the removal queue and its flush, and a long random
// run of making, changing, finding and removing objects.
#include "game/world/level.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <vector>

#include "game/objects/gardener.h"
#include "game/objects/object.h"

namespace {

// An object of any type code that reports its deletion.
struct Thing : cObject {
    Thing(cLevel* level, uint32_t type, std::map<uint32_t, cObject*>* live = nullptr)
        : cObject(level), uType(type), pLive(live)
    {
        if (pLive) (*pLive)[GetId()] = this;
    }
    ~Thing() override
    {
        if (pLive) pLive->erase(GetId());
        if (uDoomed) GetLevel()->RemoveObject(uDoomed);
    }
    uint32_t GetType() const override { return uType; }
    uint32_t uType;
    std::map<uint32_t, cObject*>* pLive;
    uint32_t uDoomed = 0;  // queued for removal when this one goes
};

TEST(LevelFinders, ByTypeMaskAndCell)
{
    cLevel level;
    cObject* none = level.GetNullObject();
    auto* hole = new Thing(&level, OBJ_HOLE);
    auto* plant = new Thing(&level, OBJ_PLANT);
    auto* can = new Thing(&level, OBJ_TOOL_WATER);
    auto* bin = new Thing(&level, OBJ_TOOL_BIN);
    hole->SetCell(2, 3);
    plant->SetCell(2, 3);
    can->SetCell(5, 3);
    bin->SetCell(5, 4);

    EXPECT_EQ(level.FindObject(cell(2, 3), OBJ_HOLE), hole);
    EXPECT_EQ(level.FindObject(cell(2, 3), OBJ_PLANT), plant);
    EXPECT_EQ(level.FindObject(cell(2, 3), OBJ_TOOL), none);
    EXPECT_EQ(level.FindObject(cell(), OBJ_TOOL), can);  // anywhere: the first in id order
    EXPECT_EQ(level.FindObject(cell(5, 4), OBJ_TOOL), bin);
    EXPECT_EQ(level.FindObject(cell(5, 4), OBJ_TOOL_WATER), none);
    EXPECT_EQ(level.FindObject(cell(5, 4), 0), bin);  // mask 0: whatever stands there
    EXPECT_EQ(level.FindObject(cell(6, 6), 0), none);  // a free cell
    EXPECT_EQ(level.FindObject(cell(2, 3), OBJ_PRODUCT), none);

    EXPECT_EQ(level.GetObjectsAt(cell(2, 3)), (std::vector<cObject*>{hole, plant}));
    EXPECT_TRUE(level.GetObjectsAt(cell(0, 0)).empty());
    // The null object stands nowhere.
    EXPECT_TRUE(level.GetObjectsAt(cell()).size() == 1 && level.GetObjectsAt(cell())[0] == none);
}

TEST(LevelFinders, TheGardenerIsFoundByHisId)
{
    cLevel level;
    cObject* none = level.GetNullObject();
    auto* gardener = new cGardener(&level);
    gardener->SetCell(4, 4);
    // Not yet the field's gardener.
    EXPECT_EQ(level.FindObject(cell(), OBJ_GARDENER), none);
    level.m_uGardenerId = gardener->GetId();
    EXPECT_EQ(level.FindObject(cell(), OBJ_GARDENER), gardener);
    EXPECT_EQ(level.FindObject(cell(4, 4), OBJ_GARDENER), gardener);
    EXPECT_EQ(level.FindObject(cell(4, 5), OBJ_GARDENER), none);
    EXPECT_EQ(level.FindObject(cell(4, 4), 0xFFFFFFFFu), gardener);  // any negative mask
    gardener->SetState(2);
    level.FlushRemoved();
    EXPECT_EQ(level.FindObject(cell(), OBJ_GARDENER), none);

    level.m_uGardenerId = 7;
    level.m_uCarId = 3;
    level.ClearObjects();
    EXPECT_EQ(level.m_uGardenerId, 0u);
    EXPECT_EQ(level.m_uCarId, 0u);
    EXPECT_TRUE(level.GetDrawList().empty());
}

TEST(LevelRemoval, QueuedObjectsGoAfterThePassAndOnlyOnce)
{
    std::map<uint32_t, cObject*> live;  // outlives the field
    cLevel level;
    auto* a = new Thing(&level, OBJ_PLANT, &live);
    auto* b = new Thing(&level, OBJ_HOLE, &live);
    auto* c = new Thing(&level, OBJ_BEE, &live);
    a->uDoomed = c->GetId();  // going, a takes c with it
    const uint32_t ida = a->GetId();

    // Queued from inside a walk of the registry: nothing is deleted yet.
    for (cObject* object : level.GetObjects())
        if (object->IsType(OBJ_PLANT)) object->RemoveFromMap();
    level.RemoveObject(ida);
    EXPECT_EQ(live.size(), 3u);
    level.FlushRemoved();
    EXPECT_EQ(live.size(), 1u);
    EXPECT_EQ(live.count(b->GetId()), 1u);
    EXPECT_EQ(level.GetDrawList().size(), 2u);  // the null object and b
    EXPECT_TRUE(level.GetRemovalQueue().empty());
    EXPECT_FALSE(level.HasObject(0));
    EXPECT_FALSE(level.HasObject(ida));
    EXPECT_TRUE(level.HasObject(b->GetId()));
}

TEST(LevelRemoval, TheFieldDeletesEveryObjectWhenItGoes)
{
    std::map<uint32_t, cObject*> live;
    {
        cLevel level;
        for (int i = 0; i < 50; ++i) new Thing(&level, OBJ_PLANT, &live);
        level.RemoveObject(7);
    }
    EXPECT_TRUE(live.empty());
}

// Made, changed, looked up by any id (negative, stale, never handed out),
// removed and flushed in random order, against a plain model of what lives.
TEST(LevelLifecycle, RandomRunKeepsRegistryAndModelEqual)
{
    std::map<uint32_t, cObject*> live;  // outlives the field
    cLevel level;
    std::mt19937 rng(1234);
    const uint32_t types[] = {OBJ_PLANT, OBJ_HOLE, OBJ_TOOL_WATER, OBJ_GOAT, OBJ_EGG, OBJ_CAR};
    uint32_t highest = 0;
    for (int op = 0; op < 100000; ++op) {
        const int kind = static_cast<int>(rng() % 100);
        if (kind < 25) {
            auto* thing = new Thing(&level, types[rng() % 6], &live);
            thing->SetCell(static_cast<int32_t>(rng() % 10) - 1, static_cast<int32_t>(rng() % 12) - 1);
            highest = std::max(highest, thing->GetId());
        } else if (kind < 45 && !live.empty()) {
            auto it = live.begin();
            std::advance(it, static_cast<long>(rng() % live.size()));
            it->second->SetState(static_cast<int32_t>(rng() % 5) - 1);
        } else if (kind < 55) {
            level.RemoveObject(static_cast<uint32_t>(static_cast<int32_t>(rng() % (highest + 10)) - 5));
        } else if (kind < 70) {
            for (cObject* object : level.GetObjects()) object->Update();
            level.FlushRemoved();
        } else if (kind < 99) {
            const uint32_t id = static_cast<uint32_t>(static_cast<int32_t>(rng() % (highest + 10)) - 5);
            cObject* found = level.GetObject(id);
            const auto it = live.find(id);
            if (it != live.end() && id != 0) {
                ASSERT_EQ(found, it->second);
                ASSERT_TRUE(level.HasObject(id));
            } else {
                ASSERT_EQ(found, level.GetNullObject());
                ASSERT_FALSE(level.HasObject(id));
            }
            const cell at(static_cast<int32_t>(rng() % 8), static_cast<int32_t>(rng() % 10));
            for (cObject* object : level.GetObjectsAt(at)) ASSERT_EQ(object->GetCell(), at);
            cObject* first = level.FindObject(at, types[rng() % 6]);
            ASSERT_TRUE(first == level.GetNullObject() || first->GetCell() == at);
        } else {
            level.ClearObjects();
            ASSERT_TRUE(live.empty());
            highest = 0;
        }
        ASSERT_EQ(level.GetObjects().Size(), live.size() + 1);
    }
    ASSERT_LE(level.GetDrawList().size(), live.size() + 1);
}

} // namespace
