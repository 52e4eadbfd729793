#include "platform/audio_mixer.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vek::platform::audio {

namespace {

constexpr size_t kBlock = 1024;

inline int16_t ToS16(float v)
{
    const float s = v * 32768.0f;
    if (s >= 32767.0f) return 32767;
    if (s <= -32768.0f) return -32768;
    return static_cast<int16_t>(std::lrintf(s));
}

// acc += src * gain, with the channel's volume evaluated per frame while it
// slides.
inline void AddFrames(float* acc, const float* src, size_t frames, const cChannelState& ch,
                      size_t at, float global)
{
    if (!ch.slide.bActive) {
        const float g = ch.fVolume * global;
        for (size_t i = 0; i < frames * 2; ++i) acc[i] += src[i] * g;
        return;
    }
    for (size_t i = 0; i < frames; ++i) {
        const float g = ch.VolumeAt(at + i) * global;
        acc[2 * i] += src[2 * i] * g;
        acc[2 * i + 1] += src[2 * i + 1] * g;
    }
}

}  // namespace

cMusicChannel::~cMusicChannel()
{
    if (ctx) {
        auto c = static_cast<xmp_context>(ctx);
        xmp_end_player(c);
        xmp_release_module(c);
        xmp_free_context(c);
    }
}

void cMixer::Mix(int16_t* out, size_t frames)
{
    while (frames > 0) {
        const size_t n = std::min(frames, kBlock);
        MixBlock(out, n);
        out += n * 2;
        frames -= n;
    }
}

void cMixer::MixBlock(int16_t* out, size_t frames)
{
    if (!bInit || bOutputPaused) {
        std::memset(out, 0, frames * 2 * sizeof(int16_t));
        // Slides carry on while the output is paused: a fade started before
        // the application lost focus has finished when it comes back.
        if (bInit) AdvanceSlides(frames);
        return;
    }
    m_Acc.assign(frames * 2, 0.0f);
    const float gSample = uVolSample / 10000.0f;
    const float gStream = uVolStream / 10000.0f;
    const float gMusic = uVolMusic / 10000.0f;

    for (uint32_t i = 0; i < voices.Size(); ++i) {
        cVoice* v = voices.At(i);
        if (v && v->iState == e_playing) MixVoice(*v, m_Acc.data(), frames, gSample);
    }
    for (uint32_t i = 0; i < musics.Size(); ++i) {
        cMusicChannel* m = musics.At(i);
        if (m && m->iState == e_playing) MixMusic(*m, m_Acc.data(), frames, gMusic);
    }
    for (uint32_t i = 0; i < streams.Size(); ++i) {
        cStreamChannel* s = streams.At(i);
        if (s && s->iState == e_playing) MixStream(*s, m_Acc.data(), frames, gStream);
    }
    AdvanceSlides(frames);
    for (size_t i = 0; i < frames * 2; ++i) out[i] = ToS16(m_Acc[i]);
}

void cMixer::AdvanceSlides(size_t frames)
{
    for (uint32_t i = 0; i < voices.Size(); ++i)
        if (cVoice* v = voices.At(i)) v->AdvanceSlide(frames);
    for (uint32_t i = 0; i < musics.Size(); ++i)
        if (cMusicChannel* m = musics.At(i)) m->AdvanceSlide(frames);
    for (uint32_t i = 0; i < streams.Size(); ++i)
        if (cStreamChannel* s = streams.At(i)) s->AdvanceSlide(frames);
}

void cMixer::MixVoice(cVoice& v, float* acc, size_t frames, float gain)
{
    const cSample* s = samples.At(v.uSample);
    if (!s || s->uFrames == 0) {
        v.iState = e_stopped;
        v.bEnded = true;
        return;
    }
    size_t done = 0;
    while (done < frames) {
        if (v.uPos >= s->uFrames) {
            if (v.uFlags & e_flagLoop) {
                v.uPos = 0;
            } else {
                v.iState = e_stopped;
                v.bEnded = true;
                break;
            }
        }
        const size_t n = std::min(frames - done, s->uFrames - v.uPos);
        AddFrames(acc + done * 2, s->pcm.data() + v.uPos * 2, n, v, done, gain);
        v.uPos += n;
        done += n;
    }
    v.uFramesPlayed += done;
}

void cMixer::StartMusicAt(cMusicChannel& m, int order, int row)
{
    auto c = static_cast<xmp_context>(m.ctx);
    xmp_set_position(c, order);
    if (row > 0) xmp_set_row(c, row);
    xmp_frame_info fi;
    xmp_get_frame_info(c, &fi);
    m.iBaseLoop = fi.loop_count;
    m.buf.clear();
    m.uOff = 0;
    m.iOrder = order;
    m.iRow = row;
    m.bEnded = false;
    m.uFramesPlayed = 0;
}

void cMixer::MixMusic(cMusicChannel& m, float* acc, size_t frames, float gain)
{
    auto c = static_cast<xmp_context>(m.ctx);
    size_t done = 0;
    while (done < frames) {
        if (m.uOff * 2 >= m.buf.size()) {
            xmp_frame_info fi;
            if (xmp_play_frame(c) != 0) {
                m.iState = e_stopped;
                m.bEnded = true;
                break;
            }
            xmp_get_frame_info(c, &fi);
            if (fi.loop_count > m.iBaseLoop) {
                m.iBaseLoop = fi.loop_count;
                if (!(m.uFlags & e_flagLoop)) {
                    // The song is over; the tick just rendered already
                    // belongs to the next pass and is dropped.
                    m.iState = e_stopped;
                    m.bEnded = true;
                    m.buf.clear();
                    m.uOff = 0;
                    m.iOrder = m.iOrders;
                    m.iRow = 0;
                    break;
                }
            }
            m.iOrder = fi.pos;
            m.iRow = fi.row;
            const size_t samplesIn = fi.buffer_size > 0 ? size_t(fi.buffer_size) / 2 : 0;
            m.buf.resize(samplesIn - samplesIn % 2);
            if (!m.buf.empty()) std::memcpy(m.buf.data(), fi.buffer, m.buf.size() * 2);
            m.uOff = 0;
            if (m.buf.empty()) continue;
        }
        const size_t avail = m.buf.size() / 2 - m.uOff;
        const size_t n = std::min(frames - done, avail);
        const int16_t* src = m.buf.data() + m.uOff * 2;
        float* dst = acc + done * 2;
        for (size_t i = 0; i < n; ++i) {
            const float g = m.VolumeAt(done + i) * gain * (1.0f / 32768.0f);
            dst[2 * i] += src[2 * i] * g;
            dst[2 * i + 1] += src[2 * i + 1] * g;
        }
        m.uOff += n;
        done += n;
    }
    m.uFramesPlayed += done;
}

bool cMixer::RewindStream(cStreamChannel& s)
{
    s.conv->Clear();
    s.bSourceEnd = false;
    s.bFlushed = false;
    s.bEnded = false;
    s.uFramesPlayed = 0;
    return s.src->Rewind();
}

void cMixer::MixStream(cStreamChannel& s, float* acc, size_t frames, float gain)
{
    constexpr size_t kRead = 2048;
    if (m_Tmp.size() < frames * 2) m_Tmp.resize(frames * 2);
    size_t done = 0;
    bool rewoundEmpty = false;
    while (done < frames) {
        const size_t got = s.conv->Get(m_Tmp.data(), frames - done);
        if (got > 0) {
            AddFrames(acc + done * 2, m_Tmp.data(), got, s, done, gain);
            done += got;
            rewoundEmpty = false;
            continue;
        }
        if (s.bFlushed) {
            s.iState = e_stopped;
            s.bEnded = true;
            break;
        }
        if (s.bSourceEnd) {
            if ((s.uFlags & e_flagLoop) && !rewoundEmpty) {
                // Loop without flushing, so the resampler joins the end to
                // the start without a gap.
                s.src->Rewind();
                s.bSourceEnd = false;
                rewoundEmpty = true;
            } else {
                s.conv->Flush();
                s.bFlushed = true;
            }
            continue;
        }
        s.scratch.resize(kRead * s.src->uChannels);
        const size_t n = s.src->Read(s.scratch.data(), kRead);
        if (n == 0) {
            s.bSourceEnd = true;
        } else {
            rewoundEmpty = false;
            if (!s.conv->Put(s.scratch.data(), n)) s.bSourceEnd = true;
        }
    }
    s.uFramesPlayed += done;
}

bool cMixer::RefillDecode(cDecodeStream& d)
{
    if (d.uPendingOff < d.pending.size()) return true;
    if (d.bEnd) return false;
    constexpr size_t kRead = 4096;
    const unsigned ch = d.src->uChannels;
    d.pending.resize(kRead * ch);
    const size_t got = d.src->Read(d.pending.data(), kRead);
    if (got == 0) {
        d.pending.clear();
        d.uPendingOff = 0;
        d.bEnd = true;
        return false;
    }
    if (d.uChannelsOut == 1 && ch > 1) {
        for (size_t i = 0; i < got; ++i) {
            int sum = 0;
            for (unsigned c = 0; c < ch; ++c) sum += d.pending[i * ch + c];
            d.pending[i] = static_cast<int16_t>(sum / static_cast<int>(ch));
        }
        d.pending.resize(got);
    } else {
        d.pending.resize(got * ch);
    }
    d.uPendingOff = 0;
    return true;
}

void cMixer::ReleaseAll()
{
    voices.RemoveAll();
    samples.RemoveAll();
    musics.RemoveAll();
    streams.RemoveAll();
    decoders.RemoveAll();
}

}  // namespace vek::platform::audio
