// Mixing cost: 32 sample voices and 2 tracker musics, 60 s of output per
// iteration. The counter "cpu_per_realtime" is the CPU time spent as a
// fraction of the output's duration (0.01 = 1% of one core).
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

#include "platform/audio.h"
#include "tests/platform/audio_test_sounds.h"

namespace audio = vek::platform::audio;

static void BM_Mix32VoicesAnd2Musics(benchmark::State& state)
{
    audio::cAudio a;
    a.InitNull(44100);
    // A 1 s stereo tone at 22050 Hz (converted once at load), looping.
    std::vector<int> samples;
    for (int i = 0; i < 22050; ++i) {
        const int v = (i % 100) * 200 - 10000;
        samples.push_back(v);
        samples.push_back(-v);
    }
    const std::string wav = vektest::MakeWav(22050, 2, 16, samples);
    const audio::tHandle s = a.SampleLoad(wav.data(), wav.size(), 20, audio::e_flagOverPos);
    const audio::tHandle s2 = a.SampleLoad(wav.data(), wav.size(), 20, audio::e_flagOverPos);
    for (int i = 0; i < 32; ++i) {
        const audio::tHandle c = a.SampleGetChannel(i < 16 ? s : s2, false);
        a.ChannelFlags(c, audio::e_flagLoop, audio::e_flagLoop);
        a.ChannelSetAttribute(c, audio::e_attribVolume, 0.03f);
        a.ChannelPlay(c, false);
    }
    const std::string mod = vektest::MakeModule(6, 125);
    for (int i = 0; i < 2; ++i) {
        const audio::tHandle m = a.MusicLoad(mod.data(), mod.size(), audio::e_flagLoop);
        a.ChannelPlay(m, false);
    }
    constexpr size_t kFrames = 44100 * 60;
    std::vector<int16_t> out(1024 * 2);
    double cpu = 0.0;
    for (auto _ : state) {
        const std::clock_t start = std::clock();
        for (size_t done = 0; done < kFrames; done += 1024) a.RenderForTest(out.data(), 1024);
        cpu += double(std::clock() - start) / CLOCKS_PER_SEC;
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["cpu_per_realtime"] = cpu / (60.0 * double(state.iterations()));
    a.Free();
}
BENCHMARK(BM_Mix32VoicesAnd2Musics)->Unit(benchmark::kMillisecond)->Iterations(3);
