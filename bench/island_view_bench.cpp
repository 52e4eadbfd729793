// One frame of the island view on the real device: the wave tiles over the
// whole 2048 x 2000 picture, the picture itself, 45 buildings, 120 walkers,
// two ships on the route and the level map with 45 points. Counters:
// submit_cpu_ms (the submitting thread's CPU time to draw a frame, the
// buffer swap excluded), quads and draw_calls per frame. Budget: 2 ms of CPU.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/shell/texture_info.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/rules.h"
#include "game/world/walk_map.h"
#include "platform/window.h"
#include "support/widget_frames.h"

namespace {

void BM_IslandFrame(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    vek::platform::WindowSystem().bOpenGL = true;
    vek::cGame::cSettings settings;
    settings.strName = "IslandViewBench";
    auto game = std::make_unique<vek::cGame>(settings);
    vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-island-data");
    if (!game->HasManagers() || !vek::platform::WindowSystem().Init() || !game->CreateWindow(true, 1024, 768, 32)) {
        state.SkipWithError("no device");
        return;
    }
    CreateTextureInfos();
    benchsupport::BlankTexture("island00_0", 2048, 1000);
    benchsupport::BlankTexture("island00_1", 2048, 1000);
    benchsupport::BlankTexture("island01", 512, 128);
    (new cTextureInfo("island01", false))->AddNode("total", 4, 1, 8.0f);
    benchsupport::BlankTexture("houses00", 700, 100);
    (new cTextureInfo("houses00", false))->AddNode("house00", 7, 1);
    benchsupport::BlankTexture("houses05", 120, 40);
    auto* marks = new cTextureInfo("houses05", false);
    for (const char* area : {"point", "mp", "mp_select", "gold", "silver", "bronze"}) marks->AddNode(area, 1, 1);
    benchsupport::BlankTexture("peacock01", 40, 20);
    auto* people = new cTextureInfo("peacock01", false);
    people->AddNode("white_front", 4, 1);
    people->AddNode("white_back", 2, 1);

    auto* island = new cIsland();  // the engine's widget list owns it
    island->iMode = cIsland::e_modeIsland;
    island->fScrollX = 512.0f;
    island->fScrollY = 600.0f;
    const vek::vec2 square[4] = {{0, 0}, {2048, 0}, {2048, 2000}, {0, 2000}};
    island->GetWalkMap().AddArea(square, 4);
    for (int i = 0; i < 45; ++i) {
        auto* b = new cHouse("house00", "", island);
        b->rect = vek::rectf(100.0f + 40.0f * static_cast<float>(i), 700.0f + 20.0f * static_cast<float>(i % 9), 100, 100);
        b->AddSprite("houses00", "house00");
        b->iState = cHouse::e_stateBuilt;
        island->vecLevelPoints.push_back({600.0f + 20.0f * static_cast<float>(i), 900.0f + 10.0f * static_cast<float>(i % 7)});
    }
    for (size_t i = 0; i + 1 < island->vecLevelPoints.size(); ++i)
        for (int k = 1; k <= 3; ++k)
            island->vecPathDots.push_back(island->vecLevelPoints[i] * (1.0f - 0.25f * static_cast<float>(k)) +
                                          island->vecLevelPoints[i + 1] * (0.25f * static_cast<float>(k)));
    island->AddPeople(1, 120);
    island->route.AddPoint({0, 0}, 0.0f);
    island->route.AddPoint({1000, 1000}, 0.5f);
    island->route.AddPoint({2000, 1200}, 1.0f);
    std::vector<cShip> ships(2);
    ships[0].fProgress = 0.3f;
    ships[1].fProgress = 0.7f;
    island->viewHooks.ships = [&ships] { return &ships; };

    benchsupport::MeasureFrames(state, *island);
    DestroyTextureInfos();
    game->DestroyWindow();
}
BENCHMARK(BM_IslandFrame)->Unit(benchmark::kMicrosecond);

} // namespace
