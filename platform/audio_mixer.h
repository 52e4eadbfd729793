#pragma once
// Internal state of the audio layer: handle tables, channels and the mixer.
// Only platform/audio*.cpp see this header.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_decode.h"

namespace vek::platform::audio {

enum eKind : unsigned {
    e_kindSample = 1,
    e_kindVoice = 2,
    e_kindMusic = 3,
    e_kindStream = 4,
    e_kindDecode = 5,
};

// Objects addressed by handle: kind in the top 4 bits, a 12-bit generation
// and the slot + 1 in the low 16 bits. Removing or renewing a slot bumps its
// generation, so every handle given out for it before goes stale.
template <class T>
class cSlots {
public:
    struct cEntry {
        std::unique_ptr<T> p;
        uint16_t gen = 1;
    };

    static constexpr uint32_t kMaxSlots = 0xffff;

    // 0 when the table is full.
    tHandle Add(std::unique_ptr<T> obj, unsigned kind)
    {
        uint32_t slot;
        if (!m_Free.empty()) {
            slot = m_Free.back();
            m_Free.pop_back();
        } else {
            if (m_Entries.size() >= kMaxSlots) return 0;
            slot = static_cast<uint32_t>(m_Entries.size());
            m_Entries.emplace_back();
        }
        m_Entries[slot].p = std::move(obj);
        return Handle(slot, kind);
    }
    tHandle Handle(uint32_t slot, unsigned kind) const
    {
        return (kind << 28) | (uint32_t(m_Entries[slot].gen & 0xfff) << 16) | (slot + 1);
    }
    static unsigned KindOf(tHandle h) { return h >> 28; }
    // The object of a live handle of this kind, else null.
    T* Get(tHandle h, unsigned kind, uint32_t* slotOut = nullptr) const
    {
        if (h == 0 || KindOf(h) != kind) return nullptr;
        const uint32_t low = h & 0xffff;
        if (low == 0 || low > m_Entries.size()) return nullptr;
        const cEntry& e = m_Entries[low - 1];
        if (!e.p || (e.gen & 0xfff) != ((h >> 16) & 0xfff)) return nullptr;
        if (slotOut) *slotOut = low - 1;
        return e.p.get();
    }
    T* At(uint32_t slot) const { return slot < m_Entries.size() ? m_Entries[slot].p.get() : nullptr; }
    // A new generation for a live slot: old handles go stale, the object stays.
    void Renew(uint32_t slot) { ++m_Entries[slot].gen; }
    void Remove(uint32_t slot)
    {
        if (slot >= m_Entries.size() || !m_Entries[slot].p) return;
        m_Entries[slot].p.reset();
        ++m_Entries[slot].gen;
        m_Free.push_back(slot);
    }
    void RemoveAll()
    {
        for (uint32_t i = 0; i < m_Entries.size(); ++i) Remove(i);
    }
    size_t Size() const { return m_Entries.size(); }

private:
    std::vector<cEntry> m_Entries;
    std::vector<uint32_t> m_Free;
};

// A linear ramp of the volume attribute, counted in output frames.
struct cSlide {
    bool bActive = false;
    float fFrom = 0.0f;
    float fTo = 0.0f;
    uint64_t uTotal = 0;
    uint64_t uDone = 0;
};

struct cChannelState {
    int iState = e_stopped;  // e_stopped, e_playing or e_paused
    bool bEnded = false;     // stopped because it reached its end
    float fVolume = 1.0f;
    cSlide slide;
    unsigned uFlags = 0;
    uint64_t uFramesPlayed = 0;  // output frames since the last start or seek

    // The volume at frame i of the block being mixed.
    float VolumeAt(size_t i) const
    {
        if (!slide.bActive) return fVolume;
        const uint64_t at = slide.uDone + i;
        if (at >= slide.uTotal) return slide.fTo;
        return slide.fFrom + (slide.fTo - slide.fFrom) * (float(at) / float(slide.uTotal));
    }
    void AdvanceSlide(uint64_t frames)
    {
        if (!slide.bActive) return;
        slide.uDone += frames;
        if (slide.uDone >= slide.uTotal) {
            slide.bActive = false;
            fVolume = slide.fTo;
        } else {
            fVolume = VolumeAt(0);
        }
    }
};

struct cSample {
    std::vector<float> pcm;  // stereo float at the mixer's rate
    size_t uFrames = 0;
    unsigned uRate = 0, uChannels = 0, uBits = 16;
    unsigned uLength = 0;  // bytes in the file's own format
    unsigned uFlags = 0;
    unsigned uMax = 1;
    std::vector<int32_t> voices;  // voice slots, -1 = unused
};

struct cVoice : cChannelState {
    uint32_t uSample = 0;  // sample slot
    size_t uPos = 0;       // frame in the sample's converted data
    bool bFresh = true;    // handed out, not played yet: cannot be taken over
    uint64_t uSerial = 0;  // start order, for "played longest"
};

struct cMusicChannel : cChannelState {
    cMusicChannel() = default;
    ~cMusicChannel();
    cMusicChannel(const cMusicChannel&) = delete;
    cMusicChannel& operator=(const cMusicChannel&) = delete;

    void* ctx = nullptr;           // libxmp context
    std::vector<int16_t> buf;      // last rendered tick
    size_t uOff = 0;               // frames of buf already mixed
    int iBaseLoop = 0;             // libxmp loop count at the last start
    int iOrders = 0;
    int iTotalMs = 0;
    int iOrder = 0, iRow = 0;      // position of the last rendered tick
};

struct cStreamChannel : cChannelState {
    std::unique_ptr<cPcmSource> src;
    std::unique_ptr<cConverter> conv;
    bool bSourceEnd = false;
    bool bFlushed = false;
    std::vector<int16_t> scratch;
};

struct cDecodeStream {
    std::unique_ptr<cPcmSource> src;
    unsigned uFlags = 0;
    unsigned uChannelsOut = 0;
    std::vector<int16_t> pending;  // decoded, not handed out yet
    size_t uPendingOff = 0;        // samples of pending already handed out
    bool bEnd = false;
    uint64_t uBytesOut = 0;
};

class cMixer {
public:
    std::mutex mutex;
    bool bInit = false;
    bool bNull = false;
    bool bOwnsSdlAudio = false;
    uint32_t uDevice = 0;
    unsigned uRate = 44100;
    bool bOutputPaused = false;
    unsigned uVolSample = 10000, uVolStream = 10000, uVolMusic = 10000;
    float f3D[3] = {1.0f, 1.0f, 1.0f};
    uint64_t uSerial = 0;

    cSlots<cSample> samples;
    cSlots<cVoice> voices;
    cSlots<cMusicChannel> musics;
    cSlots<cStreamChannel> streams;
    cSlots<cDecodeStream> decoders;

    // Mixes frames into out (stereo S16). Caller holds the mutex.
    void Mix(int16_t* out, size_t frames);
    // Releases every object (handles go stale). Caller holds the mutex.
    void ReleaseAll();

    // Channel control shared by the API (caller holds the mutex).
    static void StartMusicAt(cMusicChannel& m, int order, int row);
    static bool RewindStream(cStreamChannel& s);
    // Fills d.pending when it is empty; false at the end of the data.
    static bool RefillDecode(cDecodeStream& d);

private:
    void MixBlock(int16_t* out, size_t frames);
    void MixVoice(cVoice& v, float* acc, size_t frames, float gain);
    void MixMusic(cMusicChannel& m, float* acc, size_t frames, float gain);
    void MixStream(cStreamChannel& s, float* acc, size_t frames, float gain);
    void AdvanceSlides(size_t frames);

    std::vector<float> m_Acc;
    std::vector<float> m_Tmp;
};

}  // namespace vek::platform::audio
