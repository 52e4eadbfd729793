// The level field's depth sort over a 300-object draw list: typical (the
// list sorted, a few objects moved since the last sort, as between two sorts
// in play) and worst (the list reversed).
#include <benchmark/benchmark.h>

#include <vector>

#include "game/objects/object.h"
#include "game/world/level.h"

namespace {

constexpr int kObjects = 300;

struct Item : cObject {
    using cObject::cObject;
    float GetDepth() const override { return fDepth; }
    float fDepth = 0.0f;
};

std::vector<Item*> Fill(cLevel& level)
{
    std::vector<Item*> items;
    for (int i = 0; i < kObjects; ++i) {
        auto* item = new Item(&level);
        item->fDepth = static_cast<float>(i * 7 % kObjects);
        items.push_back(item);
    }
    level.SortDrawList();
    return items;
}

// A few objects walked a little since the last sort.
void BM_DepthSortTypical(benchmark::State& state)
{
    cLevel level;
    std::vector<Item*> items = Fill(level);  // the null object stays in front at depth 0
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int k = 0; k < 4; ++k) {
            Item* item = items[static_cast<size_t>((step * 37 + k * 71) % kObjects)];
            item->fDepth += (k % 2 == 0 ? 2.5f : -2.5f);
        }
        ++step;
        state.ResumeTiming();
        level.SortDrawList();
    }
}
BENCHMARK(BM_DepthSortTypical)->Unit(benchmark::kMicrosecond);

// Every key turned around: the whole list reverses.
void BM_DepthSortWorst(benchmark::State& state)
{
    cLevel level;
    Fill(level);
    for (auto _ : state) {
        state.PauseTiming();
        // Keys growing from front to back: the exact opposite of sorted.
        float key = 0.0f;
        for (cObject* object : level.GetDrawList())
            if (auto* item = dynamic_cast<Item*>(object)) item->fDepth = key++;
        state.ResumeTiming();
        level.SortDrawList();
    }
}
BENCHMARK(BM_DepthSortWorst)->Unit(benchmark::kMicrosecond);

} // namespace
