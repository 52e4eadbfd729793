// The animals of the busiest garden on the CPU: 6 ostriches, 4 goats and
// 4 peacocks (6 of them hungry), 2 hives with their bees, 12 eggs and nibs,
// 24 plants (8 grass, 6 flowers) and a full bed layout of holes. One fixed
// step of every object, one frame's moves, and the two searches that walk
// the field for every hungry or wandering animal (FindFood, CanGoTo).
// Budget on the development machine: 1 ms a fixed step for the whole field.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "game/objects/animal_world.h"
#include "game/objects/bee.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/ostrich.h"
#include "game/objects/peacock.h"
#include "game/objects/product.h"
#include "game/world/level.h"
#include "game/world/ware.h"

namespace {

struct BenchPlant : cObject {
    BenchPlant(cLevel* level, int32_t ware, const cell& at) : cObject(level), iWare(ware) { SetCell(at); }
    uint32_t GetType() const override { return OBJ_PLANT; }
    int32_t iWare;
    uint32_t uReserved = 0;
};

struct BenchHole : cObject {
    BenchHole(cLevel* level, const cell& at) : cObject(level) { SetCell(at); }
    uint32_t GetType() const override { return OBJ_HOLE; }
};

// Plants that never run out: eaten grass and harvested flowers stay.
class BenchWorld : public cAnimalWorld {
public:
    int32_t GetPlantWare(const cObject& p) const override { return static_cast<const BenchPlant&>(p).iWare; }
    int32_t GetPlantNeed(const cObject&) const override { return 2; }
    uint32_t GetPlantReservation(const cObject& p) const override { return static_cast<const BenchPlant&>(p).uReserved; }
    void SetPlantReservation(cObject& p, uint32_t id) const override { static_cast<BenchPlant&>(p).uReserved = id; }
    bool IsGardenFocused() const override { return true; }
};

struct Garden {
    Garden()
    {
        CreateWareManager();
        CreateWares();
        SetAnimalWorld(&world);
        level = std::make_unique<cLevel>();
        for (int row = 1; row < 7; row += 2)
            for (int column = 1; column < 9; column += 3) new BenchHole(level.get(), cell(row, column));
        const int32_t grass = g_pWareManager->FindWare("grass");
        const int32_t flowers = g_pWareManager->FindWare("flowers");
        const int32_t crop = g_pWareManager->FindWare("plant00");
        for (int i = 0; i < 24; ++i) {
            const int32_t ware = i < 8 ? grass : i < 14 ? flowers : crop;
            new BenchPlant(level.get(), ware, cell(i % 8, (i * 3) % 10));
        }
        level->AddHive();
        level->AddHive();
        for (int i = 0; i < 6; ++i) animals.push_back(static_cast<cAnimal*>(level->GetObject(level->AddOstrich())));
        for (int i = 0; i < 4; ++i) animals.push_back(static_cast<cAnimal*>(level->GetObject(level->AddGoat())));
        for (int i = 0; i < 4; ++i) animals.push_back(static_cast<cAnimal*>(level->GetObject(level->AddPeacock())));
        for (int i = 0; i < 12; ++i) {
            cAnimalProduct* p = i % 2 ? static_cast<cAnimalProduct*>(new cNib(level.get()))
                                      : static_cast<cAnimalProduct*>(new cEgg(level.get()));
            p->SetCell(i % 8, 9 - i % 10);
        }
        Step();
        for (int i = 0; i < 6; ++i) {
            cAnimal::StartTimer(animals[static_cast<size_t>(i)]->m_Satiety, 0.01f);
        }
        Step();
        Step();
    }
    ~Garden()
    {
        level.reset();
        SetAnimalWorld(nullptr);
        DestroyWareManager();
    }
    void Step()
    {
        for (cObject* o : level->GetObjects()) o->Update();
        level->FlushRemoved();
    }
    void Frame()
    {
        for (cObject* o : level->GetObjects()) o->Move(1.0f / 60.0f);
        level->FlushRemoved();
    }

    BenchWorld world;
    std::unique_ptr<cLevel> level;
    std::vector<cAnimal*> animals;
};

// A fresh garden every 100 s of play, so the hungry animals stay hungry.
void BM_AnimalFixedStep(benchmark::State& state)
{
    auto garden = std::make_unique<Garden>();
    int steps = 0;
    for (auto _ : state) {
        garden->Step();
        if (++steps == 3000) {
            state.PauseTiming();
            garden = std::make_unique<Garden>();
            steps = 0;
            state.ResumeTiming();
        }
    }
    state.counters["objects"] = static_cast<double>(garden->level->GetObjects().Size());
}
BENCHMARK(BM_AnimalFixedStep)->Unit(benchmark::kMicrosecond);

void BM_AnimalFrame(benchmark::State& state)
{
    Garden garden;
    for (auto _ : state) garden.Frame();
}
BENCHMARK(BM_AnimalFrame)->Unit(benchmark::kMicrosecond);

// The six hungry animals' grass search, as one step runs it.
void BM_FindFood(benchmark::State& state)
{
    Garden garden;
    for (auto _ : state)
        for (int i = 0; i < 6; ++i) benchmark::DoNotOptimize(garden.animals[static_cast<size_t>(i)]->FindFood());
}
BENCHMARK(BM_FindFood)->Unit(benchmark::kMicrosecond);

// Every animal's wander choice (up to five CanGoTo each).
void BM_RandomCells(benchmark::State& state)
{
    Garden garden;
    for (auto _ : state)
        for (cAnimal* a : garden.animals) benchmark::DoNotOptimize(a->GetRandomCell());
}
BENCHMARK(BM_RandomCells)->Unit(benchmark::kMicrosecond);

} // namespace
