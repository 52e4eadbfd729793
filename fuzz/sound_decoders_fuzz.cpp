// Any bytes as a sample, a stream and a music module: loading must refuse
// what it cannot decode and play what it accepts without reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio.h"

namespace audio = vek::platform::audio;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static audio::cAudio* out = [] {
        auto* a = new audio::cAudio;
        a->InitNull(44100);
        return a;
    }();
    std::vector<int16_t> pcm(2048 * 2);

    if (audio::tHandle s = out->SampleLoad(data, size, 2, audio::e_flagOverPos)) {
        out->ChannelPlay(out->SampleGetChannel(s, false), true);
        out->RenderForTest(pcm.data(), 2048);
        out->SampleFree(s);
    }
    // The stream reads from the caller's bytes while it lives.
    if (audio::tHandle st = out->StreamCreateMemory(data, size, audio::e_flagLoop)) {
        out->ChannelPlay(st, false);
        out->RenderForTest(pcm.data(), 2048);
        out->StreamFree(st);
    }
    if (audio::tHandle m = out->MusicLoad(data, size, 0)) {
        out->ChannelPlay(m, false);
        out->RenderForTest(pcm.data(), 2048);
        out->ChannelSetPosition(m, 1, audio::e_posMusicOrder);
        out->RenderForTest(pcm.data(), 512);
        out->MusicFree(m);
    }
    return 0;
}
