#include "platform/audio.h"

#include <SDL.h>
#include <xmp.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/audio_mixer.h"
#include "platform/fs.h"

namespace vek::platform::audio {

namespace {

std::atomic<bool> g_bNullForDefault{false};

using tLock = std::lock_guard<std::mutex>;

void DeviceCallback(void* user, Uint8* stream, int len)
{
    auto* mixer = static_cast<cMixer*>(user);
    tLock lock(mixer->mutex);
    mixer->Mix(reinterpret_cast<int16_t*>(stream), static_cast<size_t>(len) / 4);
}

constexpr unsigned kChangeableFlags = e_flagLoop;

}  // namespace

cAudio& Audio()
{
    static cAudio audio;
    return audio;
}

void UseNullOutputForDefaultDevice(bool enable)
{
    g_bNullForDefault = enable;
}

cAudio::cAudio() : m_pMixer(new cMixer) {}

cAudio::~cAudio()
{
    if (IsInitialised()) Free();
}

// ---- output ----

bool cAudio::Init(int device, unsigned freq)
{
    cMixer& mx = *m_pMixer;
    {
        tLock lock(mx.mutex);
        if (mx.bInit) return false;
    }
    if (freq < 8000 || freq > 192000) freq = 44100;
    const bool null = device == e_deviceNull || g_bNullForDefault;
    if (!null && device != e_deviceDefault && device != -1) return false;

    tLock lock(mx.mutex);
    mx.uRate = freq;
    mx.bNull = null;
    mx.bOutputPaused = false;
    mx.uVolSample = mx.uVolStream = mx.uVolMusic = 10000;
    mx.f3D[0] = mx.f3D[1] = mx.f3D[2] = 1.0f;
    if (!null) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{}, have{};
        want.freq = static_cast<int>(freq);
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = DeviceCallback;
        want.userdata = &mx;
        // SDL converts if the hardware differs; the mixer always sees this format.
        const SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (dev == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        mx.uDevice = dev;
        mx.bOwnsSdlAudio = true;
    }
    mx.bInit = true;
    // The device starts pulling at once; it stays running for the layer's
    // life and Pause only silences the mix.
    if (mx.uDevice) SDL_PauseAudioDevice(mx.uDevice, 0);
    return true;
}

bool cAudio::IsInitialised() const
{
    tLock lock(m_pMixer->mutex);
    return m_pMixer->bInit;
}

bool cAudio::Start()
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return false;
    m_pMixer->bOutputPaused = false;
    return true;
}

bool cAudio::Pause()
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return false;
    m_pMixer->bOutputPaused = true;
    return true;
}

bool cAudio::Free()
{
    cMixer& mx = *m_pMixer;
    uint32_t dev = 0;
    bool ownsSdl = false;
    {
        tLock lock(mx.mutex);
        if (!mx.bInit) return false;
        dev = mx.uDevice;
        ownsSdl = mx.bOwnsSdlAudio;
        mx.uDevice = 0;
        mx.bOwnsSdlAudio = false;
    }
    // Closing waits for the device thread, which may be waiting for the
    // mutex: close without holding it.
    if (dev) SDL_CloseAudioDevice(dev);
    if (ownsSdl) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    tLock lock(mx.mutex);
    mx.ReleaseAll();
    mx.bInit = false;
    return true;
}

bool cAudio::SetConfig(eConfig option, unsigned value)
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit || value > 10000) return false;
    switch (option) {
    case e_cfgVolSample: m_pMixer->uVolSample = value; return true;
    case e_cfgVolStream: m_pMixer->uVolStream = value; return true;
    case e_cfgVolMusic: m_pMixer->uVolMusic = value; return true;
    }
    return false;
}

int64_t cAudio::GetConfig(eConfig option)
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return -1;
    switch (option) {
    case e_cfgVolSample: return m_pMixer->uVolSample;
    case e_cfgVolStream: return m_pMixer->uVolStream;
    case e_cfgVolMusic: return m_pMixer->uVolMusic;
    }
    return -1;
}

bool cAudio::Set3DFactors(float distance, float rolloff, float doppler)
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return false;
    const float in[3] = {distance, rolloff, doppler};
    for (int i = 0; i < 3; ++i)
        if (in[i] >= 0.0f) m_pMixer->f3D[i] = in[i];
    return true;
}

bool cAudio::Get3DFactors(float* distance, float* rolloff, float* doppler)
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return false;
    if (distance) *distance = m_pMixer->f3D[0];
    if (rolloff) *rolloff = m_pMixer->f3D[1];
    if (doppler) *doppler = m_pMixer->f3D[2];
    return true;
}

void cAudio::Apply3D()
{
    // The mixer positions nothing in 3D; the factors are only kept.
}

// ---- loading ----

tHandle cAudio::SampleLoad(const void* data, size_t length, unsigned max, unsigned flags,
                           bool* dataCut)
{
    if (dataCut) *dataCut = false;
    if (!IsInitialised() || !data || max == 0 || max > 0xffff) return 0;
    // Decode outside the lock: the device keeps mixing meanwhile.
    auto src = OpenPcmSource(static_cast<const uint8_t*>(data), length);
    if (!src) return 0;
    if (dataCut) *dataCut = src->bDataCut;
    std::vector<int16_t> pcm = DecodeAll(*src);
    if (pcm.empty()) return 0;
    unsigned rate;
    {
        tLock lock(m_pMixer->mutex);
        rate = m_pMixer->uRate;
    }
    auto sample = std::make_unique<cSample>();
    sample->pcm = ConvertAll(pcm, src->uRate, src->uChannels, rate);
    sample->uFrames = sample->pcm.size() / 2;
    if (sample->uFrames == 0) return 0;
    sample->uRate = src->uRate;
    sample->uChannels = src->uChannels;
    sample->uBits = src->uSourceBits;
    const uint64_t bytes = uint64_t(pcm.size()) * (src->uSourceBits / 8);
    sample->uLength = static_cast<unsigned>(std::min<uint64_t>(bytes, 0xffffffffu));
    sample->uFlags = flags & (e_flagLoop | e_flag3D | e_flagOverPos);
    sample->uMax = max;
    sample->voices.assign(max, -1);
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return 0;
    return m_pMixer->samples.Add(std::move(sample), e_kindSample);
}

tHandle cAudio::MusicLoad(const void* data, size_t length, unsigned flags)
{
    if (!IsInitialised() || !data || length == 0 || length > 0x7fffffff) return 0;
    auto music = std::make_unique<cMusicChannel>();
    xmp_context c = xmp_create_context();
    if (!c) return 0;
    music->ctx = c;  // released by the channel from here on
    if (xmp_load_module_from_memory(c, data, static_cast<long>(length)) != 0) {
        // The context holds no module: free it directly.
        xmp_free_context(c);
        music->ctx = nullptr;
        return 0;
    }
    unsigned rate;
    {
        tLock lock(m_pMixer->mutex);
        rate = m_pMixer->uRate;
    }
    if (xmp_start_player(c, static_cast<int>(rate), 0) != 0) {
        xmp_release_module(c);
        xmp_free_context(c);
        music->ctx = nullptr;
        return 0;
    }
    xmp_module_info mi;
    xmp_get_module_info(c, &mi);
    xmp_frame_info fi;
    xmp_get_frame_info(c, &fi);
    music->iOrders = mi.mod ? mi.mod->len : 0;
    music->iTotalMs = fi.total_time;
    music->iBaseLoop = fi.loop_count;
    music->uFlags = flags & e_flagLoop;
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return 0;
    return m_pMixer->musics.Add(std::move(music), e_kindMusic);
}

tHandle cAudio::StreamCreateMemory(const void* data, size_t length, unsigned flags,
                                   bool* dataCut)
{
    if (dataCut) *dataCut = false;
    if (!IsInitialised() || !data) return 0;
    auto s = std::make_unique<cStreamChannel>();
    s->src = OpenPcmSource(static_cast<const uint8_t*>(data), length);
    if (!s->src) return 0;
    if (dataCut) *dataCut = s->src->bDataCut;
    unsigned rate;
    {
        tLock lock(m_pMixer->mutex);
        rate = m_pMixer->uRate;
    }
    s->conv = std::make_unique<cConverter>(s->src->uRate, s->src->uChannels, rate);
    if (!s->conv->IsValid()) return 0;
    s->uFlags = flags & e_flagLoop;
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return 0;
    return m_pMixer->streams.Add(std::move(s), e_kindStream);
}

tHandle cAudio::DecodeStreamOpen(const std::string& nativePath, unsigned flags)
{
    if (!IsInitialised()) return 0;
    // Regular files only, like every other reader: a folder, a named pipe or
    // a device (a link to /dev/zero) is refused rather than read for ever.
    cNativeFile in;
    if (!in.Open(nativePath, "rb")) return 0;
    const int64_t length = in.GetLength();
    if (length < 0 || static_cast<uint64_t>(length) > SIZE_MAX) return 0;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!bytes.empty() && in.Read(bytes.data(), 1, bytes.size()) != bytes.size()) return 0;
    const uint8_t* p = bytes.data();
    const size_t n = bytes.size();
    auto d = std::make_unique<cDecodeStream>();
    d->src = OpenPcmSource(p, n, std::move(bytes));
    if (!d->src) return 0;
    d->uFlags = (flags & (e_flagMono | e_flagDecode)) | e_flagDecode;
    d->uChannelsOut = (flags & e_flagMono) ? 1 : d->src->uChannels;
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return 0;
    return m_pMixer->decoders.Add(std::move(d), e_kindDecode);
}

bool cAudio::SampleFree(tHandle h)
{
    tLock lock(m_pMixer->mutex);
    uint32_t slot;
    cSample* s = m_pMixer->samples.Get(h, e_kindSample, &slot);
    if (!s) return false;
    for (int32_t v : s->voices)
        if (v >= 0) m_pMixer->voices.Remove(static_cast<uint32_t>(v));
    m_pMixer->samples.Remove(slot);
    return true;
}

bool cAudio::MusicFree(tHandle h)
{
    tLock lock(m_pMixer->mutex);
    uint32_t slot;
    if (!m_pMixer->musics.Get(h, e_kindMusic, &slot)) return false;
    m_pMixer->musics.Remove(slot);
    return true;
}

bool cAudio::StreamFree(tHandle h)
{
    tLock lock(m_pMixer->mutex);
    uint32_t slot;
    if (m_pMixer->streams.Get(h, e_kindStream, &slot)) {
        m_pMixer->streams.Remove(slot);
        return true;
    }
    if (m_pMixer->decoders.Get(h, e_kindDecode, &slot)) {
        m_pMixer->decoders.Remove(slot);
        return true;
    }
    return false;
}

// ---- sample channels ----

namespace {

void ResetVoice(cVoice& v, const cSample& s)
{
    v.iState = e_stopped;
    v.bEnded = false;
    v.fVolume = 1.0f;
    v.slide = cSlide();
    v.uFlags = s.uFlags & e_flagLoop;
    v.uFramesPlayed = 0;
    v.uPos = 0;
    v.bFresh = true;
}

// The voice behind a channel handle: a voice handle, or the sample handle of
// a sample with a single playback.
cVoice* VoiceOf(cMixer& mx, tHandle h, uint32_t* voiceSlot = nullptr)
{
    if (cVoice* v = mx.voices.Get(h, e_kindVoice, voiceSlot)) return v;
    cSample* s = mx.samples.Get(h, e_kindSample);
    if (!s || s->uMax != 1) return nullptr;
    if (s->voices[0] < 0) return nullptr;
    if (voiceSlot) *voiceSlot = static_cast<uint32_t>(s->voices[0]);
    return mx.voices.At(static_cast<uint32_t>(s->voices[0]));
}

cChannelState* ChannelOf(cMixer& mx, tHandle h)
{
    if (cVoice* v = VoiceOf(mx, h)) return v;
    if (cMusicChannel* m = mx.musics.Get(h, e_kindMusic)) return m;
    if (cStreamChannel* s = mx.streams.Get(h, e_kindStream)) return s;
    return nullptr;
}

}  // namespace

tHandle cAudio::SampleGetChannel(tHandle sample, bool onlyNew)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    uint32_t sampleSlot;
    cSample* s = mx.samples.Get(sample, e_kindSample, &sampleSlot);
    if (!s) return 0;

    auto newVoice = [&](size_t index) -> tHandle {
        auto v = std::make_unique<cVoice>();
        ResetVoice(*v, *s);
        v->uSample = sampleSlot;
        const tHandle h = mx.voices.Add(std::move(v), e_kindVoice);
        if (h) s->voices[index] = static_cast<int32_t>((h & 0xffff) - 1);
        return h;
    };

    // One playback: every holder shares the one channel, named by the sample.
    if (s->uMax == 1) {
        if (s->voices[0] < 0 && !newVoice(0)) return 0;
        return sample;
    }
    for (size_t i = 0; i < s->voices.size(); ++i)
        if (s->voices[i] < 0) return newVoice(i);
    if (onlyNew) return 0;

    // Take a voice that played to its end, else (when allowed) the one
    // that has been playing longest. Fresh voices belong to their holder
    // until played.
    int best = -1;
    uint64_t bestSerial = 0;
    for (size_t i = 0; i < s->voices.size(); ++i) {
        const cVoice* v = mx.voices.At(static_cast<uint32_t>(s->voices[i]));
        if (v && !v->bFresh && v->iState == e_stopped) {
            best = static_cast<int>(i);
            break;
        }
    }
    if (best < 0 && (s->uFlags & e_flagOverPos)) {
        for (size_t i = 0; i < s->voices.size(); ++i) {
            const cVoice* v = mx.voices.At(static_cast<uint32_t>(s->voices[i]));
            if (v && !v->bFresh && (best < 0 || v->uSerial < bestSerial)) {
                best = static_cast<int>(i);
                bestSerial = v->uSerial;
            }
        }
    }
    if (best < 0) return 0;
    const uint32_t slot = static_cast<uint32_t>(s->voices[best]);
    mx.voices.Renew(slot);
    cVoice* v = mx.voices.At(slot);
    ResetVoice(*v, *s);
    return mx.voices.Handle(slot, e_kindVoice);
}

bool cAudio::SampleGetInfo(tHandle sample, cSampleInfo& info)
{
    tLock lock(m_pMixer->mutex);
    const cSample* s = m_pMixer->samples.Get(sample, e_kindSample);
    if (!s) return false;
    info.flags = s->uFlags;
    info.length = s->uLength;
    info.max = s->uMax;
    return true;
}

// ---- channels ----

bool cAudio::ChannelGetInfo(tHandle h, cChannelInfo& info)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cVoice* v = VoiceOf(mx, h)) {
        const cSample* s = mx.samples.At(v->uSample);
        info.freq = s ? s->uRate : mx.uRate;
        info.chans = s ? s->uChannels : 2;
        info.flags = v->uFlags | (s ? (s->uFlags & e_flag3D) : 0);
        return true;
    }
    if (cSample* s = mx.samples.Get(h, e_kindSample)) {
        // A single-playback sample not played yet has no voice: report the sample.
        if (s->uMax != 1) return false;
        info.freq = s->uRate;
        info.chans = s->uChannels;
        info.flags = s->uFlags & (e_flagLoop | e_flag3D);
        return true;
    }
    if (cMusicChannel* m = mx.musics.Get(h, e_kindMusic)) {
        info.freq = mx.uRate;
        info.chans = 2;
        info.flags = m->uFlags;
        return true;
    }
    if (cStreamChannel* s = mx.streams.Get(h, e_kindStream)) {
        info.freq = s->src->uRate;
        info.chans = s->src->uChannels;
        info.flags = s->uFlags;
        return true;
    }
    if (cDecodeStream* d = mx.decoders.Get(h, e_kindDecode)) {
        info.freq = d->src->uRate;
        info.chans = d->uChannelsOut;
        info.flags = d->uFlags;
        return true;
    }
    return false;
}

bool cAudio::ChannelSet3DAttributes(tHandle h, int, float, float, int, int, float)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cVoice* v = VoiceOf(mx, h);
    if (!v) return false;
    const cSample* s = mx.samples.At(v->uSample);
    // Only 3D samples take 3D attributes; the mixer keeps none.
    return s && (s->uFlags & e_flag3D);
}

bool cAudio::ChannelPlay(tHandle h, bool restart)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cVoice* v = VoiceOf(mx, h)) {
        // A voice that reached its end starts again from the beginning.
        const bool fromStart = restart || v->bFresh || v->bEnded;
        if (fromStart) {
            v->uPos = 0;
            v->uFramesPlayed = 0;
        }
        if (fromStart || v->iState != e_playing) v->uSerial = ++mx.uSerial;
        v->bFresh = false;
        v->bEnded = false;
        v->iState = e_playing;
        return true;
    }
    if (cMusicChannel* m = mx.musics.Get(h, e_kindMusic)) {
        if (restart || m->bEnded) cMixer::StartMusicAt(*m, 0, 0);
        m->iState = e_playing;
        return true;
    }
    if (cStreamChannel* s = mx.streams.Get(h, e_kindStream)) {
        if ((restart || s->bEnded) && !cMixer::RewindStream(*s)) return false;
        s->iState = e_playing;
        return true;
    }
    return false;
}

bool cAudio::ChannelStop(tHandle h)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cSample* s = mx.samples.Get(h, e_kindSample)) {
        if (s->uMax != 1) return false;
        if (s->voices[0] >= 0) {
            cVoice* v = mx.voices.At(static_cast<uint32_t>(s->voices[0]));
            v->iState = e_stopped;
            v->bEnded = false;
            v->uPos = 0;
        }
        return true;
    }
    uint32_t slot;
    if (cVoice* v = mx.voices.Get(h, e_kindVoice, &slot)) {
        // Stopping a sample channel gives it back to the sample.
        if (cSample* s = mx.samples.At(v->uSample))
            for (auto& idx : s->voices)
                if (idx == static_cast<int32_t>(slot)) idx = -1;
        mx.voices.Remove(slot);
        return true;
    }
    if (cChannelState* c = ChannelOf(mx, h)) {
        c->iState = e_stopped;
        return true;
    }
    return false;
}

bool cAudio::ChannelPause(tHandle h)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cChannelState* c = ChannelOf(mx, h);
    if (!c || c->iState != e_playing) return false;
    c->iState = e_paused;
    return true;
}

eActive cAudio::ChannelIsActive(tHandle h)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cDecodeStream* d = mx.decoders.Get(h, e_kindDecode))
        return cMixer::RefillDecode(*d) ? e_playing : e_stopped;
    cChannelState* c = ChannelOf(mx, h);
    if (!c) return e_stopped;
    return static_cast<eActive>(c->iState);
}

int64_t cAudio::ChannelFlags(tHandle h, unsigned flags, unsigned mask)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cChannelState* c = ChannelOf(mx, h);
    if (!c) return -1;
    const unsigned m = mask & kChangeableFlags;
    c->uFlags = (c->uFlags & ~m) | (flags & m);
    return c->uFlags;
}

bool cAudio::ChannelSetAttribute(tHandle h, eAttrib attrib, float value)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cChannelState* c = ChannelOf(mx, h);
    if (!c || attrib != e_attribVolume || std::isnan(value)) return false;
    c->slide.bActive = false;
    c->fVolume = value;
    return true;
}

bool cAudio::ChannelGetAttribute(tHandle h, eAttrib attrib, float* value)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cChannelState* c = ChannelOf(mx, h);
    if (!c || attrib != e_attribVolume || !value) return false;
    *value = c->VolumeAt(0);
    return true;
}

bool cAudio::ChannelSlideAttribute(tHandle h, eAttrib attrib, float value, unsigned ms)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cChannelState* c = ChannelOf(mx, h);
    if (!c || attrib != e_attribVolume || std::isnan(value)) return false;
    const uint64_t frames = uint64_t(ms) * mx.uRate / 1000;
    const float from = c->VolumeAt(0);
    if (frames == 0) {
        c->slide.bActive = false;
        c->fVolume = value;
        return true;
    }
    c->fVolume = from;
    c->slide = cSlide{true, from, value, frames, 0};
    return true;
}

int64_t cAudio::ChannelGetPosition(tHandle h, ePosMode mode)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cMusicChannel* m = mx.musics.Get(h, e_kindMusic)) {
        if (mode == e_posMusicOrder)
            return int64_t((uint32_t(m->iRow & 0xffff) << 16) | uint32_t(m->iOrder & 0xffff));
        return int64_t(m->uFramesPlayed * 4);
    }
    if (mode != e_posByte) return -1;
    if (cVoice* v = VoiceOf(mx, h)) {
        const cSample* s = mx.samples.At(v->uSample);
        if (!s) return -1;
        const uint64_t native = uint64_t(v->uPos) * s->uRate / mx.uRate;
        return int64_t(native * s->uChannels * (s->uBits / 8));
    }
    if (cStreamChannel* s = mx.streams.Get(h, e_kindStream)) {
        const uint64_t native = s->uFramesPlayed * s->src->uRate / mx.uRate;
        return int64_t(native * s->src->uChannels * 2);
    }
    if (cDecodeStream* d = mx.decoders.Get(h, e_kindDecode)) return int64_t(d->uBytesOut);
    return -1;
}

bool cAudio::ChannelSetPosition(tHandle h, uint64_t pos, ePosMode mode)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cMusicChannel* m = mx.musics.Get(h, e_kindMusic)) {
        if (mode != e_posMusicOrder) return false;
        const int order = int(pos & 0xffff);
        const int row = int((pos >> 16) & 0xffff);
        if (order >= m->iOrders) return false;
        cMixer::StartMusicAt(*m, order, row);
        return true;
    }
    if (mode != e_posByte) return false;
    if (cVoice* v = VoiceOf(mx, h)) {
        const cSample* s = mx.samples.At(v->uSample);
        if (!s) return false;
        const uint64_t frameBytes = uint64_t(s->uChannels) * (s->uBits / 8);
        const uint64_t native = pos / frameBytes;
        const uint64_t at = native * mx.uRate / s->uRate;
        if (at > s->uFrames) return false;
        v->uPos = static_cast<size_t>(at);
        v->bEnded = false;
        return true;
    }
    if (cStreamChannel* s = mx.streams.Get(h, e_kindStream)) {
        // Streams seek back to their start only; nothing needs more.
        if (pos != 0) return false;
        return cMixer::RewindStream(*s);
    }
    return false;
}

int64_t cAudio::ChannelGetLength(tHandle h, ePosMode mode)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    if (cMusicChannel* m = mx.musics.Get(h, e_kindMusic)) {
        if (mode == e_posMusicOrder) return m->iOrders;
        return int64_t(m->iTotalMs) * mx.uRate * 4 / 1000;
    }
    if (mode != e_posByte) return -1;
    if (cVoice* v = VoiceOf(mx, h)) {
        const cSample* s = mx.samples.At(v->uSample);
        return s ? int64_t(s->uLength) : -1;
    }
    if (cSample* s = mx.samples.Get(h, e_kindSample)) return s->uLength;
    if (cStreamChannel* s = mx.streams.Get(h, e_kindStream))
        return s->src->iTotalFrames * s->src->uChannels * 2;
    if (cDecodeStream* d = mx.decoders.Get(h, e_kindDecode))
        return d->src->iTotalFrames * d->uChannelsOut * 2;
    return -1;
}

int cAudio::ChannelGetData(tHandle h, void* buffer, unsigned bytes)
{
    cMixer& mx = *m_pMixer;
    tLock lock(mx.mutex);
    cDecodeStream* d = mx.decoders.Get(h, e_kindDecode);
    if (!d || !buffer) return -1;
    const size_t frameSamples = d->uChannelsOut;
    size_t wantSamples = (bytes / 2) / frameSamples * frameSamples;
    wantSamples = std::min<size_t>(wantSamples, 0x3fffffff);
    auto* out = static_cast<int16_t*>(buffer);
    size_t done = 0;
    while (done < wantSamples && cMixer::RefillDecode(*d)) {
        const size_t n = std::min(wantSamples - done, d->pending.size() - d->uPendingOff);
        std::memcpy(out + done, d->pending.data() + d->uPendingOff, n * sizeof(int16_t));
        d->uPendingOff += n;
        done += n;
    }
    if (done == 0 && wantSamples > 0) return -1;
    d->uBytesOut += done * 2;
    return static_cast<int>(done * 2);
}

// ---- device information ----

bool cAudio::GetInfo(cDeviceInfo& info)
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return false;
    info = cDeviceInfo();
    if (m_pMixer->bNull) {
        info.name = "No output";
        info.driver = "null";
    } else {
        info.name = "Default output";
        const char* drv = SDL_GetCurrentAudioDriver();
        info.driver = drv ? drv : "";
    }
    info.minRate = info.maxRate = m_pMixer->uRate;
    return true;
}

int cAudio::GetDevice()
{
    tLock lock(m_pMixer->mutex);
    if (!m_pMixer->bInit) return -1;
    return m_pMixer->bNull ? e_deviceNull : e_deviceDefault;
}

bool cAudio::GetDeviceInfo(int device, std::string& name, std::string& driver)
{
    cDeviceInfo info;
    if (device != GetDevice() || !GetInfo(info)) return false;
    name = info.name;
    driver = info.driver;
    return true;
}

void cAudio::RenderForTest(int16_t* stereoOut, size_t frames)
{
    tLock lock(m_pMixer->mutex);
    m_pMixer->Mix(stereoOut, frames);
}

}  // namespace vek::platform::audio
