// The 2D path under the load of the game's busiest screen: 300 alpha-blended
// 128-pixel sprites from 4 textures, 2,000 glyphs of text and 50 lines,
// drawn through the quad batch and the renderer, against a minimal
// hand-written batch of the same quads on the same device.
//
// Counters: submit_cpu_ms is the submitting thread's CPU time per frame (the
// device finishing the frame excluded), draw_calls the draw calls per frame;
// BM_Compare alternates both paths and reports their frame times and ratio.
#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "bench/support/gfx_reference.h"
#include "platform/window.h"

using namespace vek;
using Ref = platform::gfx::cReferenceBatch;

namespace {

struct cSprite {
    uint32_t texture;
    rectf dst;
};

struct cText {
    vec2 at;
    string text;
};

struct cLine {
    vec2 from, to;
};

struct cWorld {
    bool ready = false;
    uint32_t textures[4] = {};
    uint32_t font = 0;
    std::unique_ptr<cQuadBatch> batch;
    std::unique_ptr<Ref> reference;
    std::vector<cSprite> sprites;
    std::vector<cText> texts;
    std::vector<cLine> lines;
    std::vector<Ref::cVertex> refVertices;
    std::vector<Ref::cRun> refRuns;
};

uint32_t g_uSeed = 12345;
float Random(float lo, float hi)
{
    g_uSeed = g_uSeed * 69069u + 1u;
    return lo + (hi - lo) * static_cast<float>(g_uSeed & 0x7fff) / 32768.0f;
}

cWorld Make()
{
    cWorld w;
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    platform::cWindowSystem& ws = platform::WindowSystem();
    platform::cWindowDesc desc;
    desc.title = "batch bench";
    if (!ws.Init() || !ws.CreateWindow(desc)) return w;
    CreateRender();
    CreateTextureManager();
    CreateFontManager();
    if (g_pRender->Init(cRenderSettings()) != 0) return w;
    g_pTextureManager->OnCreateContext();

    for (int t = 0; t < 4; ++t) {
        cImage img(e_pfRGBA, 128, 128, 1);
        uint8_t* p = img.GetLevel(0);
        for (int i = 0; i < 128 * 128; ++i, p += 4) {
            p[0] = static_cast<uint8_t>(i * (t + 1));
            p[1] = static_cast<uint8_t>(i >> 7);
            p[2] = static_cast<uint8_t>(64 * t);
            p[3] = static_cast<uint8_t>((i & 15) == 0 ? 0 : 255);
        }
        w.textures[t] = (new cTexture(&img, "sprite" + std::to_string(t), false))->GetId();
    }
    cImage glyphs(e_pfRGBA, 256, 128, 1);
    std::memset(glyphs.GetLevel(0), 255, static_cast<size_t>(glyphs.GetLevelSize(0)));
    new cTexture(&glyphs, "glyphs", false);
    auto* font = new cFont("bench");
    font->Init("", "", 0, 16);
    font->Texture("glyphs", 0, 0);
    for (int c = 32; c < 128; ++c) {
        const int i = c - 32;
        font->Char(string(1, static_cast<char>(c)), 9, recti((i % 16) * 16, (i / 16) * 16, 9, 16), 0, 10);
    }
    w.font = g_pFontManager->Find("bench");

    // Objects drawn in depth order: the texture changes every few sprites.
    for (int i = 0; i < 300; ++i)
        w.sprites.push_back({w.textures[(i / 5) % 4], rectf(Random(0, 896), Random(0, 640), 128, 128)});
    for (int line = 0; line < 40; ++line) {
        string s;
        for (int c = 0; c < 50; ++c) s += static_cast<char>(33 + (line * 7 + c * 3) % 90);
        w.texts.push_back({vec2(10, 10 + line * 18.5f), s});
    }
    for (int i = 0; i < 50; ++i)
        w.lines.push_back({vec2(Random(0, 1024), Random(0, 768)), vec2(Random(0, 1024), Random(0, 768))});
    w.batch = std::make_unique<cQuadBatch>();
    w.reference = std::make_unique<Ref>(g_pRender->GetDevice());
    w.ready = w.reference->IsReady();
    return w;
}

cWorld& World()
{
    static cWorld w = Make();
    return w;
}

double ThreadSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void EngineFrame(cWorld& w)
{
    g_pRender->Begin();
    g_pRender->SetClearColor(0, 0, 0.25f, 1);
    g_pRender->Clear();
    Begin2D(1024, 768);
    SetBlendMode(1, 0.05f);
    cQuadBatch& b = *w.batch;
    b.uRunCount = 0;
    const rectf uv(0, 0, 1, 1);
    for (const cSprite& s : w.sprites) b.AddQuad(s.texture, s.dst, 0xFFFFFFFFu, uv);
    for (const cText& t : w.texts) b.AddText(w.font, 0xFFFFFF00u, t.text, t.at);
    for (const cLine& l : w.lines) b.AddLine(l.from, l.to, 2, 0xFF00FF00u, uv);
    b.Draw();
    SetBlendMode(0);
    End2D();
    g_pRender->End();
}

// The same quads written by hand: position, colour and uv of six corners.
void PutQuad(std::vector<Ref::cVertex>& out, float x0, float y0, float x1, float y1, uint32_t c, float u0,
             float v0, float u1, float v1)
{
    const Ref::cVertex bl{x0, y0, 0, c, u0, v0}, br{x1, y0, 0, c, u1, v0}, tl{x0, y1, 0, c, u0, v1},
        tr{x1, y1, 0, c, u1, v1};
    out.push_back(bl);
    out.push_back(br);
    out.push_back(tl);
    out.push_back(tl);
    out.push_back(br);
    out.push_back(tr);
}

void ReferenceFrame(cWorld& w)
{
    g_pRender->Begin();
    g_pRender->SetClearColor(0, 0, 0.25f, 1);
    g_pRender->Clear();
    std::vector<Ref::cVertex>& v = w.refVertices;
    std::vector<Ref::cRun>& runs = w.refRuns;
    v.clear();
    runs.clear();
    auto run = [&](uint32_t texture) {
        cTexture* t = texture ? g_pTextureManager->Get(texture) : nullptr;
        platform::gfx::cTexture* dt = t && t->GetDeviceTexture() ? t->GetDeviceTexture()->pTexture.get() : nullptr;
        if (runs.empty() || runs.back().texture != dt || (texture == 0) != (runs.back().texture == nullptr))
            runs.push_back({dt, static_cast<int>(v.size()), 0});
    };
    // Whole coordinates are pixel edges here, as in the engine's 2D layer.
    for (const cSprite& s : w.sprites) {
        run(s.texture);
        PutQuad(v, s.dst.x, s.dst.y, s.dst.x + s.dst.w, s.dst.y + s.dst.h, 0xFFFFFFFFu, 0, 0, 1, 1);
        runs.back().count += 6;
    }
    const cFont* f = GetFont(w.font);
    run(static_cast<uint32_t>(f->iTexture));
    for (const cText& t : w.texts) {
        float x = t.at.x;
        for (unsigned char c : t.text) {
            const cFont::cGlyph& g = f->glyphs[c];
            PutQuad(v, x + g.left, t.at.y, x + g.left + g.width, t.at.y + f->fLineHeight, 0xFFFFFF00u, g.u, g.v,
                    g.u + g.uw, g.v + g.vh);
            x += g.advance + f->fSpacing;
        }
        runs.back().count += static_cast<int>(t.text.size()) * 6;
    }
    runs.push_back({nullptr, static_cast<int>(v.size()), 0});
    for (const cLine& l : w.lines) {
        const float dx = l.to.x - l.from.x, dy = l.to.y - l.from.y, len = std::sqrt(dx * dx + dy * dy);
        const float nx = len > 0 ? -dy / len : 0, ny = len > 0 ? dx / len : 1;
        const Ref::cVertex a{l.from.x + nx, l.from.y + ny, 0, 0xFF00FF00u, 0, 1},
            b{l.from.x - nx, l.from.y - ny, 0, 0xFF00FF00u, 0, 0}, c{l.to.x + nx, l.to.y + ny, 0, 0xFF00FF00u, 1, 1},
            d{l.to.x - nx, l.to.y - ny, 0, 0xFF00FF00u, 1, 0};
        for (const Ref::cVertex& p : {a, b, c, c, b, d}) v.push_back(p);
        runs.back().count += 6;
    }
    w.reference->Draw(v, runs);
    g_pRender->End();
}

void Finish()
{
    platform::gfx::FinishDevice(g_pRender->GetDevice());
}

void BM_EngineFrame(benchmark::State& state)
{
    cWorld& w = World();
    if (!w.ready) {
        state.SkipWithError("no graphics device");
        return;
    }
    double submit = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        EngineFrame(w);
        submit += ThreadSeconds() - t0;
        Finish();
    }
    state.counters["submit_cpu_ms"] = benchmark::Counter(submit * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["draw_calls"] = g_pRender->GetLastFrameCounters().calls;
}
BENCHMARK(BM_EngineFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReferenceFrame(benchmark::State& state)
{
    cWorld& w = World();
    if (!w.ready) {
        state.SkipWithError("no graphics device");
        return;
    }
    double submit = 0;
    for (auto _ : state) {
        const double t0 = ThreadSeconds();
        ReferenceFrame(w);
        submit += ThreadSeconds() - t0;
        Finish();
    }
    state.counters["submit_cpu_ms"] = benchmark::Counter(submit * 1e3, benchmark::Counter::kAvgIterations);
    state.counters["draw_calls"] = static_cast<double>(w.refRuns.size());
}
BENCHMARK(BM_ReferenceFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both paths in turns, so that both see the same machine load.
void BM_Compare(benchmark::State& state)
{
    cWorld& w = World();
    if (!w.ready) {
        state.SkipWithError("no graphics device");
        return;
    }
    using clock = std::chrono::steady_clock;
    double engine = 0, reference = 0, engineSubmit = 0, referenceSubmit = 0;
    int frames = 0, engineCalls = 0;
    for (auto _ : state) {
        auto t0 = clock::now();
        double c0 = ThreadSeconds();
        EngineFrame(w);
        engineSubmit += ThreadSeconds() - c0;
        Finish();
        auto t1 = clock::now();
        engineCalls = g_pRender->GetLastFrameCounters().calls;
        c0 = ThreadSeconds();
        ReferenceFrame(w);
        referenceSubmit += ThreadSeconds() - c0;
        Finish();
        auto t2 = clock::now();
        engine += std::chrono::duration<double>(t1 - t0).count();
        reference += std::chrono::duration<double>(t2 - t1).count();
        ++frames;
    }
    if (frames == 0) return;
    state.counters["engine_ms"] = engine * 1e3 / frames;
    state.counters["reference_ms"] = reference * 1e3 / frames;
    state.counters["ratio"] = reference > 0 ? engine / reference : 0;
    state.counters["engine_submit_ms"] = engineSubmit * 1e3 / frames;
    state.counters["reference_submit_ms"] = referenceSubmit * 1e3 / frames;
    state.counters["engine_calls"] = engineCalls;
    state.counters["reference_calls"] = static_cast<double>(w.refRuns.size());
}
BENCHMARK(BM_Compare)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
