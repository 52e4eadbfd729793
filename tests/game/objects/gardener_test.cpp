// The gardener: his sprites by state and tool, the job checks and hints,
// upgrades while he works, the pump, the car, and the faults a bad table or
// a missing picture would otherwise cause.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/core/datamanager.h"
#include "engine/sound/sound.h"
#include "game/objects/garden_hooks.h"
#include "game/world/game_sound.h"
#include "game/scripted_player.h"
#include "platform/audio.h"
#include "platform/audio_test_sounds.h"

namespace {

using gardentest::cScriptedPlayer;

class Gardener : public gardentest::GardenWorld {
protected:
    void SetUp() override
    {
        GardenWorld::SetUp();
        LoadField();
        p = std::make_unique<cScriptedPlayer>(*level);
        p->Step(2);
        g = p->Gardener();
    }
    int32_t Texture(const char* name) const { return static_cast<int32_t>(vek::g_pTextureManager->Find(name)); }
    // A crop needing `need` on a free cell next to the gardener's column.
    cPlant* Needing(int32_t need, const cell& at = cell(6, 5))
    {
        auto* plant = static_cast<cPlant*>(level->GetObject(level->AddPlant(at, Ware("plant00"))));
        plant->Update();
        plant->SetGrowth(1.0f);
        plant->SetNeed(need);
        return plant;
    }
    std::unique_ptr<cScriptedPlayer> p;
    cGardener* g = nullptr;
};

TEST_F(Gardener, TypesDepthsAndSpritesByStateAndTool)
{
    EXPECT_EQ(g->GetType(), 0x80000000u);
    EXPECT_EQ(p->First(OBJ_TOOL_WATER)->GetType(), 0x00100001u);
    EXPECT_EQ(p->First(OBJ_TOOL_WEED)->GetType(), 0x00100002u);
    EXPECT_EQ(p->First(OBJ_TOOL_BIN)->GetType(), 0x00100004u);
    EXPECT_EQ(p->First(OBJ_CAR)->GetType(), 0x00080001u);
    EXPECT_EQ(p->First(OBJ_PUMP)->GetType(), 0x00080002u);
    EXPECT_EQ(level->GetObject(level->m_uCarBackId)->GetType(), 0x00080000u);
    EXPECT_EQ(p->First(OBJ_HOLE)->GetType(), 0x10000000u);
    const float y = g->GetPos().y;
    EXPECT_FLOAT_EQ(g->GetDepth(), y - 10.0f);
    cObject* bin = p->First(OBJ_TOOL_BIN);
    EXPECT_FLOAT_EQ(bin->GetDepth(), bin->GetPos().y - 25.0f);
    cObject* hole = p->First(OBJ_HOLE);
    EXPECT_FLOAT_EQ(hole->GetDepth(), hole->GetPos().y + 1000.0f);
    cObject* crop = level->GetObject(level->AddPlant(cell(7, 0), Ware("plant00")));
    EXPECT_FLOAT_EQ(crop->GetDepth(), crop->GetPos().y - 50.0f);
    // His rectangle is whole pixels; he is never hit.
    g->SetPos(100.7f, 200.3f);
    EXPECT_FLOAT_EQ(g->GetRect().x, 68.0f);
    EXPECT_FLOAT_EQ(g->GetRect().y, 215.0f);
    EXPECT_FALSE(g->HitTest(vek::vec2(100.0f, 250.0f)));

    // Entered states and their pictures.
    struct Row {
        int state;
        const char* texture;
        int mode;
    };
    for (const Row& row : {Row{4, "gard09", 1}, Row{6, "gard09", 2}, Row{7, "gard10", 1}, Row{9, "gard10", 2},
                           Row{10, "gard10", 1}, Row{13, "gard11", 1}, Row{15, "gard11", 2}, Row{25, "gard08", 1},
                           Row{27, "gard08", 2}, Row{28, "gard09", 1}, Row{29, "gard09", 2}, Row{5, "gard09", 5},
                           Row{8, "gard10", 5}, Row{11, "gard10", 5}, Row{14, "gard11", 5}}) {
        g->SetState(3);
        g->SetState(row.state);
        EXPECT_EQ(g->GetTexture(), Texture(row.texture)) << row.state;
        EXPECT_EQ(g->GetAnim().iMode, row.mode) << row.state;
    }
    // Idle looks down with the tool he carries.
    g->SetState(3);
    const char* idle[] = {"gard00", "gard06", "gard04", "gard02"};
    EXPECT_EQ(g->GetTexture(), Texture(idle[0]));
    g->SetPos(level->GetCellPos(6, 6));
    GetProfileHost().iRuleCounter = 1;
    const uint32_t tools[] = {p->First(OBJ_TOOL_WATER)->GetId(), p->First(OBJ_TOOL_WEED)->GetId(),
                              p->First(OBJ_TOOL_BIN)->GetId()};
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_TRUE(g->TakeTool(tools[kind]));
        g->SetState(7);
        g->SetState(3);
        EXPECT_EQ(g->GetTexture(), Texture(idle[kind + 1])) << kind;
        EXPECT_EQ(g->GetToolKind(), kind);
    }
    // Walking left with the basket.
    g->QueueCell(cell(6, 1));
    p->Step(1);
    EXPECT_EQ(g->GetState(), cGardener::e_gsWalk);
    EXPECT_EQ(g->GetTexture(), Texture("gard03"));
    EXPECT_EQ(g->GetAnim().iMode, 3);
}

// The work he starts plays the game sound of its name, on the null audio
// output: every game sound a different constant, so the output tells which.
TEST_F(Gardener, HarvestingAndPickingPlayTheHarvestSound)
{
    vek::platform::audio::UseNullOutputForDefaultDevice(true);
    ASSERT_TRUE(vek::CreateSoundManager());
    for (int id = 0; id < kGameSoundCount; ++id) {
        const std::string name = g_aGameSoundNames[id];
        ASSERT_TRUE(vektest::WriteFile(dir + "/app/" + name + ".wav", vektest::MakeConstantWav(44100, 1, 400, 1000 + id)));
        vek::cDataManager::cSampleTarget target;
        target.uMaxPlay = 1;
        ASSERT_EQ(vek::cDataManager::ReadSoundBuffer(&target, vek::filename("{AppPath}/" + name + ".wav")), 0);
        new vek::cSoundManager::cSoundBuffer(name, target.hHandle, false);
    }
    game->ParseResources();
    vek::g_pSoundManager->SetVolume(vek::cSoundManager::e_Sound, 1.0f);
    for (const int state : {cGardener::e_gsHarvest, cGardener::e_gsPick, cGardener::e_gsSow}) {
        g->SetState(cGardener::e_gsIdle);
        g->SetState(state);
        std::vector<int16_t> out(2 * 500);
        vek::platform::audio::Audio().RenderForTest(out.data(), 500);
        EXPECT_EQ(out[0], 1000 + (state == cGardener::e_gsSow ? e_sndSeed : e_sndHarvest)) << state;
    }
    vek::DestroySoundManager();
    vek::platform::audio::UseNullOutputForDefaultDevice(false);
}

TEST_F(Gardener, WrongToolShowsAHintAndQueuesNothing)
{
    cPlant* thirsty = Needing(cPlant::e_NeedWater);
    ASSERT_TRUE(g->TakeTool(p->First(OBJ_TOOL_WEED)->GetId()));
    g->QueueObject(thirsty->GetId());
    EXPECT_TRUE(g->GetJobs().empty());
    ASSERT_TRUE(g->IsHintShown());
    cSprite expected;
    LookUpSprite("icons00", "tool_water", &expected);
    EXPECT_EQ(g->GetHintIcon().iTexture, expected.iTexture);
    EXPECT_EQ(g->GetHintIcon().pFrames, expected.pFrames);
    p->Step(95);  // the bubble lasts 3 s
    EXPECT_FALSE(g->IsHintShown());
    // Two jobs waiting: no hints at all.
    g->QueueCell(cell(6, 0));
    g->QueueCell(cell(6, 1));
    g->ShowToolHint(cGardener::e_hintBin);
    EXPECT_FALSE(g->IsHintShown());
}

TEST_F(Gardener, AJobOnHisOwnCellStartsWithoutWalking)
{
    cObject* weed = p->First(OBJ_TOOL_WEED);
    g->SetCell(weed->GetCell());
    g->QueueObject(weed->GetId());
    p->Step(1);
    EXPECT_EQ(g->GetToolKind(), cTool::e_Weed);
    EXPECT_NE(g->GetState(), cGardener::e_gsWalk);
}

TEST_F(Gardener, ASpeedOfZeroWalksAtTheFirstLevelsSpeed)
{
    g->SetSpeed(0.0f);
    EXPECT_FLOAT_EQ(g->GetSpeed(), 280.0f);
    g->SetSpeed(-5.0f);
    EXPECT_FLOAT_EQ(g->GetSpeed(), 280.0f);
    EXPECT_EQ(Logged("cannot walk"), 1);
    g->QueueCell(cell(0, 0));
    EXPECT_TRUE(p->WaitIdle(300));
    EXPECT_EQ(g->GetCell(), cell(0, 0));
}

TEST_F(Gardener, ASpeedUpgradeDuringAWalkTakesEffectAtOnce)
{
    g->QueueCell(cell(0, 0));
    p->Step(5);
    ASSERT_EQ(g->GetState(), cGardener::e_gsWalk);
    const vek::vec2 at = g->GetPos();
    player->m_Upgrades.Upgrade(0);
    EXPECT_FLOAT_EQ(g->GetSpeed(), 310.0f);
    const float left = (g->GetWalk().m_To - at).Length();
    EXPECT_NEAR(g->GetWalk().m_fDuration, left / 310.0f, 1e-3f);
    EXPECT_EQ(g->GetWalk().m_From, at);
}

TEST_F(Gardener, WateringTimeFollowsTheUpgrade)
{
    GetProfileHost().iRuleCounter = 1;
    std::vector<int> steps;
    for (int upgrade = 0; upgrade < 4; ++upgrade) {
        player->m_Upgrades.SetLevel(3, upgrade);
        cPlant* plant = Needing(cPlant::e_NeedWater, cell(6, 4 + upgrade));
        g->SetCell(plant->GetCell());
        ASSERT_TRUE(g->TakeTool(p->First(OBJ_TOOL_WATER)->GetId()));
        g->GetCan()->SetWater(1);
        g->QueueObject(plant->GetId());
        int inWork = 0;
        ASSERT_TRUE(p->StepUntil([&] {
            if (g->GetState() == cGardener::e_gsWatering) ++inWork;
            return g->GetState() == cGardener::e_gsIdle && g->GetJobs().empty() && inWork > 0;
        }));
        EXPECT_NE(plant->GetNeed(), cPlant::e_NeedWater);
        steps.push_back(inWork);
    }
    for (size_t i = 1; i < steps.size(); ++i) EXPECT_LT(steps[i], steps[i - 1]);
    const float times[] = {1.1f, 0.8f, 0.6f, 0.4f};
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_NEAR(steps[i], times[i] * 30.0f, 0.25f * times[i] * 30.0f) << i;
}

TEST_F(Gardener, AnInterruptedWateringLeavesThePlantToItsNeed)
{
    GetProfileHost().iRuleCounter = 1;
    cPlant* plant = Needing(cPlant::e_NeedWater);
    const uint32_t id = plant->GetId();
    g->SetCell(plant->GetCell());
    ASSERT_TRUE(g->TakeTool(p->First(OBJ_TOOL_WATER)->GetId()));
    g->GetCan()->SetWater(1);
    g->QueueObject(id);
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsWatering; }));
    EXPECT_TRUE(plant->IsWorked());
    p->RightClick();
    EXPECT_FALSE(plant->IsWorked());
    EXPECT_EQ(g->GetWorkedPlant(), 0u);
    p->Step(61 * 30);
    EXPECT_FALSE(level->HasObject(id));
}

class GardenerWithoutWorkPicture : public Gardener {
protected:
    void MakeSprites() override
    {
        SkipArea("gard10", "weed_work");
        SkipArea("gard10", "weed_start");
        Gardener::MakeSprites();
    }
};

TEST_F(GardenerWithoutWorkPicture, TheWorkEndsAfterItsDuration)
{
    cPlant* plant = Needing(cPlant::e_NeedWeed);
    g->SetCell(plant->GetCell());
    ASSERT_TRUE(g->TakeTool(p->First(OBJ_TOOL_WEED)->GetId()));
    g->QueueObject(plant->GetId());
    int inWork = 0;
    ASSERT_TRUE(p->StepUntil(
        [&] {
            if (g->GetState() == cGardener::e_gsWeeding) ++inWork;
            return g->GetState() == cGardener::e_gsIdle && inWork > 0;
        },
        200));
    EXPECT_NEAR(inWork, 33, 2);  // 1.1 s
    EXPECT_NE(plant->GetNeed(), cPlant::e_NeedWeed);
}

TEST_F(Gardener, ThePumpSellsWaterUntilTheCanIsFullOrMoneyRunsLow)
{
    GetProfileHost().iRuleCounter = 1;
    player->m_iMoney = 12;
    ASSERT_TRUE(g->TakeTool(p->First(OBJ_TOOL_WATER)->GetId()));
    g->QueueObject(level->m_uPumpId);
    ASSERT_EQ(g->GetJobs().size(), 1u);
    ASSERT_TRUE(p->WaitIdle());
    EXPECT_EQ(g->GetCan()->GetWater(), 2);
    EXPECT_EQ(player->m_iMoney, 2);
    // Without the money for a unit the pump job is refused.
    g->QueueObject(level->m_uPumpId);
    EXPECT_TRUE(g->GetJobs().empty());

    // Money again: a second trip from where the first ended (his point
    // there lies off the field) tops the can up.
    player->m_iMoney = 12;
    ASSERT_EQ(g->GetCell(), cell(-1, -1));
    g->QueueObject(level->m_uPumpId);
    ASSERT_TRUE(p->WaitIdle(300));
    EXPECT_EQ(g->GetCan()->GetWater(), 3);
    EXPECT_EQ(player->m_iMoney, 7);

    // Called off while filling, then sent to the pump again.
    g->GetCan()->SetWater(0);
    player->m_iMoney = 50;
    g->QueueObject(level->m_uPumpId);
    ASSERT_TRUE(p->StepUntil([&] { return g->GetState() == cGardener::e_gsFill; }, 100));
    p->RightClick();
    ASSERT_TRUE(p->WaitIdle(100));
    const int32_t water = g->GetCan()->GetWater();
    ASSERT_LT(water, 3);
    g->QueueObject(level->m_uPumpId);
    ASSERT_TRUE(p->WaitIdle(300));
    EXPECT_EQ(g->GetCan()->GetWater(), 3);
    EXPECT_EQ(level->GetObject(level->m_uPumpId)->GetTargets(), 0) << "no mark left on the pump";

    // Grass chosen at the pump: the can is put down by the pump, not in
    // the far corner of the field.
    ASSERT_TRUE(p->ChooseSeed("grass"));
    ASSERT_TRUE(p->WaitIdle(100));
    EXPECT_EQ(g->GetToolKind(), -1);
    const cell put = p->First(OBJ_TOOL_WATER)->GetCell();
    const cell beside = level->NearestCell(g->GetPos());
    EXPECT_LE(std::max(std::abs(put.row - beside.row), std::abs(put.column - beside.column)), 2)
        << put.row << "," << put.column << " for " << beside.row << "," << beside.column;
    EXPECT_GE(put.column, g_iGridColumns - 3);
}

TEST_F(Gardener, UnloadingWaitsWhileTheCarIsAway)
{
    auto* car = static_cast<cCar*>(level->GetObject(level->m_uCarId));
    ASSERT_TRUE(g->TakeTool(p->First(OBJ_TOOL_BIN)->GetId()));
    g->GetBasket()->AddWare(0);
    g->SetCell(car->GetCell());
    car->SetState(cCar::e_csAway);
    g->QueueObject(car->GetId());
    p->StepUntil([&] { return g->GetState() == cGardener::e_gsUnload; }, 100);
    ASSERT_EQ(g->GetState(), cGardener::e_gsUnload);
    const int frame = g->GetAnim().iFrame;
    // The car goes on its way (no flight holds it) and comes back; until
    // then he waits.
    for (int i = 0; i < 5 && car->GetState() != cCar::e_csParked; ++i) {
        p->Step(1);
        if (car->GetState() != cCar::e_csParked) {
            EXPECT_EQ(g->GetState(), cGardener::e_gsUnload);
            EXPECT_EQ(g->GetAnim().iFrame, frame);
        }
    }
    ASSERT_TRUE(p->WaitIdle());
    EXPECT_EQ(g->GetBasket()->GetCount(), 0);
    EXPECT_EQ(game->delivered, std::vector<int32_t>{0});
}

} // namespace
