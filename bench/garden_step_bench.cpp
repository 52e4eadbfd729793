// The busiest garden the game can hold, with every kind of object at work:
// the fixed objects (gardener, tools, car, pump), a full bed layout, 24
// plants (8 grass, 6 flowers, 10 crops at several stages), 2 hives with
// their bees, 6 ostriches, 4 goats and 4 peacocks (6 of them hungry), 12
// eggs and nibs, the gardener with 10 queued jobs and the basket, 3 wares
// in flight and the particle layers kept full.
//
// BM_GardenFixedStep: the field's fixed step (cLevel::Tick: the rules'
// session step and every object's update), without drawing.
// BM_GardenProfile: the same step taken apart: the share of the session,
// of each object family and of the animals' two field searches (FindFood
// for every hungry animal, CanGoTo on every animal's four diagonal
// neighbours, both as if each ran every step). Its label says whether the
// step keeps within the 1 ms budget, or names the hot spot.
// BM_GardenFrame: on the real device, one frame: cLevel::Update (particles,
// moves, wares in flight) and the draw submission; skipped without one.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/objects/animal.h"
#include "game/objects/gardener.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/plant.h"
#include "game/objects/product.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/shell/texture_info.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/particles.h"
#include "game/world/ware.h"
#include "platform/window.h"
#include "support/field_particles.h"

namespace {

constexpr float kStep = 1.0f / 30.0f;
// A fresh garden every 10 s of play: grass gets eaten, eggs picked up and
// jobs done, so the garden is renewed before it calms down.
constexpr int kRenewSteps = 300;

// Fine-grained wall time for the step's parts (the thread CPU clock costs
// a system call, more than some of the parts themselves).
double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ThreadSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

class cBenchGarden : public cGarden {
public:
    void SetCurrent(cPlayerBase* player) { m_pPlayer = player; }
};

// The sprite areas the garden's objects look up, sized like the pack's,
// stacked on one texture per name.
void MakeSprites()
{
    std::map<std::string, int> lines;
    const auto area = [&lines](const std::string& texture, const std::string& name, int w, int h, int frames,
                               float rate = 8.0f) {
        if (!lines.count(texture)) {
            vek::cImage image(vek::e_pfRGBA, 1024, 1024, 1);
            new vek::cTexture(&image, texture, false);
            new cTextureInfo(texture, false);
            lines[texture] = 0;
        }
        cTextureInfo* info = FindTextureInfo(texture);
        if (!info) return;
        info->AddNode(name, vek::recti(0, lines[texture], w * frames, h), frames, 1, rate);
        lines[texture] += h;
    };
    for (int i = 0; i < 8; ++i)
        for (const char* dir : {"r", "l", "u", "d"}) area("gard0" + std::to_string(i), dir, 64, 96, 4);
    for (const char* name : {"water_put", "water_wait", "milking_start", "milking_work"}) area("gard08", name, 64, 96, 4);
    for (const char* name : {"seed_start", "seed_work", "been_stock"}) area("gard09", name, 64, 96, 4);
    for (const char* name : {"water_start", "water_work", "weed_start", "weed_work"}) area("gard10", name, 64, 96, 4);
    for (const char* name : {"harvest_start", "harvest_work", "honey_start", "honey_work"})
        area("gard11", name, 64, 96, 4);
    for (int i = 0; i < 8; ++i) area("images00", "plant0" + std::to_string(i), 64, 64, 5);
    area("images00", "flowers", 64, 48, 5);
    area("images00", "grass", 64, 48, 5);
    area("images00", "hole", 72, 46, 1);
    area("images00", "highlight", 80, 52, 1);
    for (const char* name : {"water", "weed", "bin"}) area("images00", name, 44, 40, 1);
    area("images00", "car", 168, 98, 1);
    area("images00", "pump", 60, 200, 1);
    area("images00", "pump_water", 20, 40, 4);
    area("images00", "hive", 72, 88, 4);
    area("car", "wheel", 40, 40, 2);
    area("car", "bort", 40, 90, 4);
    area("car", "back", 40, 90, 1);
    for (const char* name : {"ld", "lu", "eat_l"}) area("ostrich", name, 88, 112, 4);
    for (const char* name : {"ld", "lu", "eat_l", "stay"}) area("goat", name, 88, 84, 4);
    area("peacock00", "ld", 96, 100, 4);
    area("peacock01", "lu", 96, 100, 4);
    area("peacock01", "pump_top", 64, 58, 4);
    area("peacock01", "hive_top", 72, 28, 1);
    area("peacock02", "eat_l", 96, 100, 4);
    area("peacock02", "bee", 20, 20, 2, 14.0f);
    for (const char* name : {"tool_water", "tool_weed", "tool_bin", "stock", "water_pump", "water", "target", "cloud",
                             "circle_need", "plant00", "plant01", "plant02", "plant03", "plant04", "plant05",
                             "plant06", "plant07", "flowers", "grass", "egg", "milk", "honey", "nib"})
        area("icons00", name, 24, 24, 1);
}

// The game object, a profile playing a late level that asks for every
// ware, and the field.
struct World {
    World()
    {
        vek::SetPathMacro(vek::e_macroAppPath, "/tmp/garden_step_bench");
        CreateWareManager();
        CreateWares();
        game = new cBenchGarden();
        player = new cPlayer("plrbench");
        game->SetCurrent(player);
        game->SetTraining(0);
        player->m_Events.assign(15, 1);
        player->m_Hints.assign(10, 0);
        GetProfileHost().iRuleCounter = 1;  // the can and the pump are shown
        game->m_BedLayouts = {{{6, 1}, {6, 2}, {6, 3}, {6, 4}, {5, 1}, {5, 2}, {5, 3}, {5, 4}, {4, 1}, {4, 2}}};
        game->SetupLevel(40);
        for (const char* ware : {"egg", "milk", "nib", "honey", "plant00", "plant03"}) {
            player->m_Tasks.push_back(MakeLevelTask(ware, 100000, 0.0f));
            player->m_TaskSet.vecTasks.push_back(MakeLevelTask(ware, 100000, 0.0f));
        }
        player->m_iMoney = 100000;
        FillFieldParticles(*game->m_pParticles);
        level = new cLevel();
        GetProfileHost().pLevel = level;
        game->m_pLevel = level;
    }
    ~World()
    {
        GetProfileHost().pLevel = nullptr;
        game->m_pLevel = nullptr;
        // With an engine its widget list owns the field.
        if (vek::g_pGame) level->ClearObjects();
        else delete level;
        game->SetCurrent(nullptr);
        delete player;
        delete game;
        DestroyWareManager();
    }

    // The busiest garden, made afresh on the field.
    void Fill()
    {
        level->Load(-1);
        const auto ware = [](const char* name) { return g_pWareManager->FindWare(name); };
        auto* gardener = static_cast<cGardener*>(level->GetObject(level->m_uGardenerId));
        // Crops in the beds at several stages, grass and flowers in the
        // animals' pastures and below the hives.
        int crop = 0;
        for (cObject* object : level->GetObjects()) {
            if (!object->IsType(OBJ_HOLE) || crop >= 10) continue;
            auto* plant = static_cast<cPlant*>(level->GetObject(level->AddPlant(object->GetCell(), ware("plant00"))));
            plant->SetGrowth(0.1f * static_cast<float>(crop % 10));
            ++crop;
        }
        const cell grass[8] = {{1, 5}, {2, 8}, {3, 6}, {4, 8}, {5, 7}, {6, 9}, {7, 5}, {3, 9}};
        for (const cell& at : grass) level->AddPlant(at, ware("grass"));
        const cell flowers[6] = {{2, 1}, {3, 1}, {3, 2}, {2, 3}, {7, 1}, {7, 2}};
        for (const cell& at : flowers) {
            auto* plant = static_cast<cPlant*>(level->GetObject(level->AddPlant(at, ware("flowers"))));
            plant->SetGrowth(1.0f);
        }
        level->AddHive();
        level->AddHive();
        std::vector<cAnimal*> animals;
        for (int i = 0; i < 6; ++i) animals.push_back(static_cast<cAnimal*>(level->GetObject(level->AddOstrich())));
        for (int i = 0; i < 4; ++i) animals.push_back(static_cast<cAnimal*>(level->GetObject(level->AddGoat())));
        for (int i = 0; i < 4; ++i) animals.push_back(static_cast<cAnimal*>(level->GetObject(level->AddPeacock())));
        std::vector<uint32_t> products;
        for (int i = 0; i < 12; ++i) {
            cAnimalProduct* p = i % 2 ? static_cast<cAnimalProduct*>(new cNib(level))
                                      : static_cast<cAnimalProduct*>(new cEgg(level));
            p->SetCell(i % 4, 5 + i % 5);
            products.push_back(p->GetId());
        }
        for (int i = 0; i < 3; ++i) {
            Tick();
            Moves();
        }
        for (size_t i = 0; i < 6; ++i) animals[i]->SetState(cAnimal::e_stHungry);
        // The basket, six products and four walks queued.
        gardener->TakeTool(level->FindObject(cell(), OBJ_TOOL_BIN)->GetId());
        for (size_t i = 0; i < 6; ++i) gardener->QueueObject(products[i]);
        for (int i = 0; i < 4; ++i) gardener->QueueCell(cell(i, 2 * i));
        hungry = std::vector<cAnimal*>(animals.begin(), animals.begin() + 6);
        all = animals;
    }

    // Three wares on their way away from the car at any time.
    void TopUpFlights()
    {
        const int32_t egg = g_pWareManager->FindWare("egg");
        while (level->CountWaresInFlight(egg) < 3) level->AddWareFlight(egg, 0, nullptr, 1, nullptr);
    }

    void Tick()
    {
        TopUpFlights();
        player->m_fClock = 100.0f;  // the level never runs out
        level->Tick();
    }
    // The frame's moves between two steps: walks, the gardener's arrival,
    // the wares in flight.
    void Moves() { level->MoveObjects(kStep); }

    cBenchGarden* game = nullptr;
    cPlayer* player = nullptr;
    cLevel* level = nullptr;
    std::vector<cAnimal*> hungry;
    std::vector<cAnimal*> all;
};

struct Headless {
    Headless()
    {
        vek::CreateTextureManager();
        CreateTextureInfos();
        MakeSprites();
    }
    ~Headless()
    {
        DestroyTextureInfos();
        vek::DestroyTextureManager();
    }
};

// Only the step is timed; the frame's moves run between steps so that the
// garden goes on living (walks end, work starts, grass is eaten).
void BM_GardenFixedStep(benchmark::State& state)
{
    Headless headless;
    World world;
    world.Fill();
    int steps = 0;
    double objects = 0.0;
    for (auto _ : state) {
        world.TopUpFlights();
        world.player->m_fClock = 100.0f;
        const double start = Now();
        world.level->Tick();
        state.SetIterationTime(Now() - start);
        objects += static_cast<double>(world.level->GetObjects().Size());
        world.Moves();
        if (++steps == kRenewSteps) {
            world.Fill();
            steps = 0;
        }
    }
    if (state.iterations() > 0) state.counters["objects"] = objects / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GardenFixedStep)->Unit(benchmark::kMicrosecond)->UseManualTime();

const char* Family(const cObject* object)
{
    if (object->IsType(OBJ_GARDENER)) return "gardener";
    if (object->IsType(OBJ_PLANT)) return "plants";
    if (object->IsType(OBJ_ANIMAL)) return "animals";
    if (object->IsType(OBJ_PRODUCT)) return "eggs_nibs";
    if (object->IsType(OBJ_HIVE) || object->IsType(OBJ_BEE)) return "hives_bees";
    return "other_objects";
}

void BM_GardenProfile(benchmark::State& state)
{
    Headless headless;
    World world;
    std::map<std::string, double> spent;
    double total = 0.0, finds = 0.0, goes = 0.0;
    uint64_t steps = 0;
    for (auto _ : state) {
        world.Fill();
        for (int i = 0; i < kRenewSteps; ++i) {
            world.TopUpFlights();
            world.player->m_fClock = 100.0f;
            const double start = Now();
            world.game->UpdateSession();
            double at = Now();
            spent["session"] += at - start;
            if (i % 3 == 0) world.level->SortDrawList();
            const double sorted = Now();
            spent["sort"] += sorted - at;
            at = sorted;
            // The registry keeps each family together: the clock is read
            // only where the family changes.
            const char* family = nullptr;
            for (cObject* object : world.level->GetObjects()) {
                const char* next = Family(object);
                if (family && next != family) {
                    const double now = Now();
                    spent[family] += now - at;
                    at = now;
                }
                family = next;
                object->Update();
            }
            world.level->FlushRemoved();
            const double end = Now();
            if (family) spent[family] += end - at;
            total += end - start;
            ++steps;
            // The two searches, as if every hungry animal looked for grass
            // and every animal tested its four neighbours this step.
            const double s0 = Now();
            for (cAnimal* animal : world.hungry)
                if (world.level->HasObject(animal->GetId())) benchmark::DoNotOptimize(animal->FindFood());
            const double s1 = Now();
            for (cAnimal* animal : world.all) {
                if (!world.level->HasObject(animal->GetId())) continue;
                const cell own = animal->GetCell();
                for (int d = 0; d < 4; ++d)
                    benchmark::DoNotOptimize(animal->CanGoTo(cell(own.row + (d < 2 ? -1 : 1), own.column + (d % 2 ? 1 : -1))));
            }
            const double s2 = Now();
            finds += s1 - s0;
            goes += s2 - s1;
            world.Moves();
        }
    }
    if (steps == 0 || total <= 0.0) return;
    const double stepMs = total * 1000.0 / static_cast<double>(steps);
    state.counters["step_ms"] = stepMs;
    std::string hot;
    double hotShare = 0.0;
    for (const auto& [name, seconds] : spent) {
        const double share = seconds / total;
        state.counters[name + "_share"] = share;
        if (share > hotShare) {
            hotShare = share;
            hot = name;
        }
    }
    state.counters["findfood_share"] = finds / total;
    state.counters["cango_share"] = goes / total;
    char label[160];
    if (stepMs <= 1.0)
        std::snprintf(label, sizeof(label), "within 1 ms per step (%.3f ms); largest share: %s %.0f%%", stepMs,
                      hot.c_str(), hotShare * 100.0);
    else
        std::snprintf(label, sizeof(label), "over 1 ms per step (%.3f ms); hot spot: %s %.0f%%", stepMs, hot.c_str(),
                      hotShare * 100.0);
    state.SetLabel(label);
}
BENCHMARK(BM_GardenProfile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GardenFrame(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    vek::platform::WindowSystem().bOpenGL = true;
    vek::cGame::cSettings settings;
    settings.strName = "GardenStepBench";
    auto engine = std::make_unique<vek::cGame>(settings);
    vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-garden-data");
    if (!engine->HasManagers() || !vek::platform::WindowSystem().Init() ||
        !engine->CreateWindow(true, 1024, 768, 32)) {
        state.SkipWithError("no device");
        return;
    }
    CreateTextureInfos();
    MakeSprites();
    double update = 0.0, draw = 0.0;
    uint64_t frames = 0;
    {
        World world;
        world.Fill();
        int steps = 0;
        for (auto _ : state) {
            // A fixed step every other frame, as at 60 frames a second;
            // only the frame itself is counted.
            state.PauseTiming();
            if (frames % 2 == 0) world.Tick();
            if (++steps == 2 * kRenewSteps) {
                world.Fill();
                steps = 0;
            }
            state.ResumeTiming();
            const double start = ThreadSeconds();
            world.level->Update(1.0f / 60.0f);
            const double moved = ThreadSeconds();
            vek::g_pRender->Begin();
            world.level->Draw();
            vek::g_pRender->End();
            update += moved - start;
            draw += ThreadSeconds() - moved;
            vek::g_pRender->SwapBuffers();
            ++frames;
        }
    }
    if (frames > 0) {
        const double n = static_cast<double>(frames);
        state.counters["frame_cpu_ms"] = (update + draw) * 1000.0 / n;
        state.counters["update_cpu_ms"] = update * 1000.0 / n;
        state.counters["draw_cpu_ms"] = draw * 1000.0 / n;
    }
    DestroyTextureInfos();
    engine->DestroyWindow();
}
BENCHMARK(BM_GardenFrame)->Unit(benchmark::kMicrosecond);

} // namespace
