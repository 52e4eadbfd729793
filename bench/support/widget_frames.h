#pragma once
// Draws a widget frame after frame on the real device and reports per
// frame: submit_cpu_ms (the submitting thread's CPU time, the buffer swap
// excluded), draw_calls and quads.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdint>

#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/widget.h"

namespace benchsupport {

inline double ThreadSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A blank texture of that name and size, owned by the texture manager.
inline void BlankTexture(const char* name, int w, int h)
{
    vek::cImage image(vek::e_pfRGBA, w, h, 1);
    new vek::cTexture(&image, name, false);
}

inline void MeasureFrames(benchmark::State& state, vek::cWidget& widget)
{
    double cpu = 0.0;
    uint64_t frames = 0, calls = 0, quads = 0;
    for (auto _ : state) {
        const double start = ThreadSeconds();
        vek::g_pRender->Begin();
        widget.Draw();
        vek::g_pRender->End();
        cpu += ThreadSeconds() - start;
        vek::g_pRender->SwapBuffers();
        calls += vek::g_pRender->GetLastFrameCounters().calls;
        quads += vek::g_pRender->GetLastFrameCounters().primitives / 2;
        ++frames;
    }
    if (frames > 0) {
        state.counters["submit_cpu_ms"] = cpu * 1000.0 / static_cast<double>(frames);
        state.counters["draw_calls"] = static_cast<double>(calls) / static_cast<double>(frames);
        state.counters["quads"] = static_cast<double>(quads) / static_cast<double>(frames);
    }
}

} // namespace benchsupport
