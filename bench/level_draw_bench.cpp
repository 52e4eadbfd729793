// One frame of the level field on the real device: the backdrop with its
// sea animations, 150 objects in depth order and the field's three particle
// layers kept full by live emitters. Counters: submit_cpu_ms (the
// submitting thread's CPU time to draw a frame, the buffer swap excluded),
// quads and draw_calls per frame; compare with batch_bench's figures.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/shell/texture_info.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "platform/window.h"
#include "support/field_particles.h"
#include "support/widget_frames.h"

namespace {

struct Box : cObject {
    Box(cLevel* level, float x, float y) : cObject(level)
    {
        SetSprite("boxes", "box", 0);
        SetPos(x, y);
    }
};

void BM_FieldFrame(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    vek::platform::WindowSystem().bOpenGL = true;
    vek::cGame::cSettings settings;
    settings.strName = "FieldDrawBench";
    auto game = std::make_unique<vek::cGame>(settings);
    vek::SetPathMacro(vek::e_macroStaticPath, "/nonexistent-field-data");
    if (!game->HasManagers() || !vek::platform::WindowSystem().Init() || !game->CreateWindow(true, 1024, 768, 32)) {
        state.SkipWithError("no device");
        return;
    }
    CreateTextureInfos();
    benchsupport::BlankTexture("back", 1024, 1024);
    auto* back = new cTextureInfo("back", false);
    back->AddNode("base", vek::rectf(0.0f, 0.25f, 1.0f, 0.75f));
    back->AddNode("top", vek::rectf(0.0f, 0.0f, 1.0f, 0.1f));
    back->AddNode("sky", vek::rectf(0.0f, 0.1f, 1.0f, 0.1f));
    back->AddNode("lighthouse", vek::rectf(0.0f, 0.2f, 0.05f, 0.05f));
    back->AddNode("ship", vek::rectf(0.1f, 0.2f, 0.05f, 0.05f));
    back->AddNode("ocean", vek::rectf(0.2f, 0.2f, 0.4f, 0.05f), 2, 1, 2.0f);
    back->AddNode("wave", vek::rectf(0.6f, 0.2f, 0.2f, 0.05f), 2, 1, 2.0f);
    back->AddNode("light", vek::rectf(0.8f, 0.2f, 0.2f, 0.05f), 2, 1, 2.0f);
    benchsupport::BlankTexture("boxes", 256, 64);
    (new cTextureInfo("boxes", false))->AddNode("box", 4, 1, 8.0f);

    auto* garden = new cGarden();
    for (int layer = 0; layer < cParticleSystem::kLayerCount; ++layer) garden->m_pParticles->m_Matrices[layer] = vek::matrix4();
    FillFieldParticles(*garden->m_pParticles);
    auto* level = new cLevel();  // the engine's widget list owns it
    for (int i = 0; i < 150; ++i)
        new Box(level, 140.0f + 48.0f * static_cast<float>(i % 15), 140.0f + 50.0f * static_cast<float>(i / 15));
    level->SortDrawList();

    benchsupport::MeasureFrames(state, *level);
    level->ClearObjects();
    delete garden;
    DestroyTextureInfos();
    game->DestroyWindow();
}
BENCHMARK(BM_FieldFrame)->Unit(benchmark::kMicrosecond);

} // namespace
