#pragma once
// A bare level field with the game object, a profile and the wares, and a
// world the animals ask: grid values, plants of the test's own making, the
// gardener's jobs and the focused view are the test's to set; sounds,
// bursts and progress rings are recorded.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/filename.h"
#include "game/objects/animal.h"
#include "game/objects/animal_world.h"
#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace animaltest {

// A plant as the animals and bees see it.
struct TestPlant : cObject {
    TestPlant(cLevel* level, int32_t ware, const cell& at) : cObject(level), iWare(ware) { SetCell(at); }
    uint32_t GetType() const override { return OBJ_PLANT; }
    int32_t iWare;
    int32_t iNeed = -1;
    uint32_t uReserved = 0;
    float fGrowth = 1.0f;
    int iHarvests = 0;
};

struct Ring {
    vek::vec2 centre;
    float radius;
    float fraction;
};

class TestWorld : public cAnimalWorld {
public:
    float GetCellValue(const cLevel& level, const cell& at) const override
    {
        if (!level.IsValidCell(at)) return 0.0f;
        auto it = values.find({at.row, at.column});
        return it == values.end() ? 1.0f : it->second;
    }
    void SetCellValue(cLevel& level, const cell& at, float value) const override
    {
        if (level.IsValidCell(at)) values[{at.row, at.column}] = value;
    }
    void DrawProgressCircle(cLevel&, const vek::vec2& centre, float radius, float fraction) const override
    {
        rings.push_back({centre, radius, fraction});
    }
    int32_t GetPlantWare(const cObject& plant) const override { return static_cast<const TestPlant&>(plant).iWare; }
    int32_t GetPlantNeed(const cObject& plant) const override { return static_cast<const TestPlant&>(plant).iNeed; }
    uint32_t GetPlantReservation(const cObject& plant) const override
    {
        return static_cast<const TestPlant&>(plant).uReserved;
    }
    void SetPlantReservation(cObject& plant, uint32_t id) const override { static_cast<TestPlant&>(plant).uReserved = id; }
    void SetPlantGrowth(cObject& plant, float growth) const override { static_cast<TestPlant&>(plant).fGrowth = growth; }
    void HarvestPlant(cObject& plant) const override
    {
        auto& p = static_cast<TestPlant&>(plant);
        ++p.iHarvests;
        p.iNeed = -1;
        p.fGrowth = 0.0f;
    }
    bool GardenerHasJobFor(const cLevel&, uint32_t id) const override
    {
        for (uint32_t job : jobs)
            if (job == id) return true;
        return false;
    }
    bool IsGardenFocused() const override { return focused; }
    bool LevelWaitsForPlayer() const override { return lesson; }
    void PlayGameSound(int32_t id) const override { sounds.push_back(id); }
    void EmitBurst(uint32_t count, float spread, const vek::vec2& at) const override
    {
        bursts.push_back({count, at});
        (void)spread;
    }

    mutable std::map<std::pair<int, int>, float> values;
    mutable std::vector<Ring> rings;
    mutable std::vector<int32_t> sounds;
    mutable std::vector<std::pair<uint32_t, vek::vec2>> bursts;
    std::vector<uint32_t> jobs;
    bool focused = true;
    bool lesson = false;
};

// A game object whose current profile the test hands in.
class TestGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

class AnimalFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("animal");
        ASSERT_FALSE(m_strDir.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir);
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
        m_pGame = new TestGarden();
        m_pPlayer = new cPlayer("plranimal");
        m_pGame->SetCurrent(m_pPlayer);
        m_pPlayer->m_Events.assign(15, 0);
        m_pLevel = new cLevel();
        SetAnimalWorld(&world);
    }
    void TearDown() override
    {
        SetAnimalWorld(nullptr);
        delete m_pLevel;
        m_pGame->SetCurrent(nullptr);
        delete m_pPlayer;
        delete m_pGame;
        DestroyWareManager();
    }

    static int32_t Ware(const char* name) { return g_pWareManager->FindWare(name); }
    TestPlant* Grass(const cell& at) { return new TestPlant(m_pLevel, Ware("grass"), at); }
    TestPlant* Flower(const cell& at)
    {
        auto* p = new TestPlant(m_pLevel, Ware("flowers"), at);
        p->iNeed = 2;
        return p;
    }
    // An active task and a definition task for the ware of that name.
    void AskFor(const char* name, int amount = 5)
    {
        m_pPlayer->m_Tasks.push_back(MakeLevelTask(name, amount, 0.0f));
        m_pPlayer->m_TaskSet.vecTasks.push_back(MakeLevelTask(name, amount, 0.0f));
    }
    void Steps(cObject* object, int count)
    {
        for (int i = 0; i < count; ++i) object->Update();
    }
    // Fixed steps of the whole field with a frame of 1/30 s after each.
    void Run(int count)
    {
        for (int i = 0; i < count; ++i) {
            std::vector<cObject*> objects(m_pLevel->GetObjects().begin(), m_pLevel->GetObjects().end());
            for (cObject* o : objects) o->Update();
            m_pLevel->FlushRemoved();
            objects.assign(m_pLevel->GetObjects().begin(), m_pLevel->GetObjects().end());
            for (cObject* o : objects) o->Move(1.0f / 30.0f);
            m_pLevel->FlushRemoved();
        }
    }

    TestWorld world;
    std::string m_strDir;
    TestGarden* m_pGame = nullptr;
    cPlayer* m_pPlayer = nullptr;
    cLevel* m_pLevel = nullptr;
};

} // namespace animaltest
