// cSound and cMusic: playback over the manager's buffers.
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "platform/audio.h"

namespace vek {

namespace audio = platform::audio;

namespace {

// Seconds to whole milliseconds, truncated toward zero; a negative time is
// no time at all rather than a huge unsigned one.
unsigned ToMilliseconds(float seconds)
{
    const float ms = seconds * 1000.0f;
    if (!(ms > 0.0f)) return 0;
    if (ms >= 4294967295.0f) return 0xffffffffu;
    return static_cast<unsigned>(ms);
}

}  // namespace

// ---- cSound ----

cSound::cSound(const string& bufferName)
{
    uint32_t id = 0;
    const cSoundManager::cSoundBuffer* first = nullptr;
    if (g_pSoundManager) {
        id = g_pSoundManager->m_SoundBuffers.Find(bufferName);
        first = g_pSoundManager->m_SoundBuffers.Default();
    }
    const bool isDefaultName = first && first->m_strName == bufferName;
    if (id == 0 && !isDefaultName) {
        LogWarning("cSound", "constructor: sound buffer not found '%s'\n", bufferName);
        return;
    }
    Init(id);
}

cSound::cSound(uint32_t bufferId)
{
    Init(bufferId);
}

cSound::~cSound()
{
    if (m_hChannel && IsLooped()) {
        if (audio::Audio().ChannelStop(m_hChannel)) m_hChannel = 0;
    }
}

void cSound::Init(uint32_t bufferId)
{
    if (!g_pSoundManager) return;
    cSoundManager& mgr = *g_pSoundManager;
    const cSoundManager::cSoundBuffer* buffer = mgr.m_SoundBuffers.Get(bufferId);
    if (!buffer || buffer == mgr.m_SoundBuffers.Default()) return;
    m_uBufferId = bufferId;
    m_hChannel = audio::Audio().SampleGetChannel(buffer->m_hHandle, false);
    if (!m_hChannel) {
        LogWarning("cSound", "Init: BASS_SampleGetChannel '%s'\n", buffer->m_strName);
        return;
    }
    audio::cSampleInfo info;
    if (audio::Audio().SampleGetInfo(buffer->m_hHandle, info) && (info.flags & audio::e_flag3D)) {
        if (!audio::Audio().ChannelSet3DAttributes(m_hChannel, 0, mgr.m_fMinDistance3D,
                                                   mgr.m_fMaxDistance3D, -1, -1, -1.0f)) {
            LogWarning("cSound", "Init: BASS_ChannelSet3DAttributes '%s'\n", buffer->m_strName);
            return;
        }
    }
    mgr.m_bApply3D = true;
}

bool cSound::Play(bool restart)
{
    if (m_hChannel) return audio::Audio().ChannelPlay(m_hChannel, restart);
    if (!m_bWarned) {
        LogWarning("cSound", "Play: invalid sound (id = %i)\n", static_cast<int>(m_uBufferId));
        m_bWarned = true;
    }
    return false;
}

bool cSound::SetVolume(float volume)
{
    if (!m_hChannel) return false;
    return audio::Audio().ChannelSetAttribute(m_hChannel, audio::e_attribVolume, volume);
}

bool cSound::FadeOut(float seconds)
{
    if (!m_hChannel) return false;
    return audio::Audio().ChannelSlideAttribute(m_hChannel, audio::e_attribVolume, 0.0f,
                                                ToMilliseconds(seconds));
}

bool cSound::IsLooped()
{
    if (!m_hChannel) return false;
    audio::cChannelInfo info;
    return audio::Audio().ChannelGetInfo(m_hChannel, info) && (info.flags & audio::e_flagLoop);
}

bool cSound::IsPlaying()
{
    return m_hChannel && audio::Audio().ChannelIsActive(m_hChannel) == audio::e_playing;
}

// ---- cMusic ----

cMusic::cMusic(const string& name, const string& bufferName, bool reserved) : m_strName(name)
{
    Register(bufferName, reserved);
}

cMusic::cMusic(const string& name, const string& bufferName, int offset, int length, bool reserved)
    : m_strName(name), m_iOffset(offset), m_iLength(length)
{
    Register(bufferName, reserved);
}

cMusic::cMusic(const string& streamName, bool reserved) : m_strName(streamName), m_iKind(1)
{
    Register(streamName, reserved);
}

cMusic::~cMusic() = default;

void cMusic::Register(const string& bufferName, bool reserved)
{
    if (!g_pSoundManager) return;
    m_uBufferId = m_iKind == 0 ? g_pSoundManager->m_MusicBuffers.Find(bufferName)
                               : g_pSoundManager->m_StreamBuffers.Find(bufferName);
    g_pSoundManager->m_Musics.Add(this, reserved);
}

uint32_t cMusic::GetChannel()
{
    if (!g_pSoundManager) return 0;
    const cSoundManager& mgr = *g_pSoundManager;
    if (m_iKind == 0) {
        const auto* buffer = mgr.m_MusicBuffers.Get(m_uBufferId);
        return buffer && buffer != mgr.m_MusicBuffers.Default() ? buffer->m_hHandle : 0;
    }
    if (m_iKind == 1) {
        const auto* buffer = mgr.m_StreamBuffers.Get(m_uBufferId);
        return buffer && buffer != mgr.m_StreamBuffers.Default() ? buffer->m_hHandle : 0;
    }
    return 0;
}

bool cMusic::Play()
{
    const uint32_t channel = GetChannel();
    if (!channel) {
        LogWarning("cMusic", "Play: invalid music '%s'\n", m_strName);
        return false;
    }
    audio::cAudio& a = audio::Audio();
    if (m_iKind == 0) {
        const int64_t pos = a.ChannelGetPosition(channel, audio::e_posMusicOrder);
        // A music already at its start order resumes where it stands.
        if (static_cast<uint32_t>(pos & 0xffff) != static_cast<uint32_t>(m_iOffset)) {
            if (!a.ChannelSetPosition(channel, static_cast<uint32_t>(m_iOffset) & 0xffff,
                                      audio::e_posMusicOrder)) {
                LogWarning("cMusic", "Play: BASS_ChannelSetPosition\n");
                return false;
            }
        }
    }
    if (!a.ChannelPlay(channel, false)) return false;
    // Starting a music never brings the output back while the application
    // is in the background.
    if (g_pSoundManager && g_pSoundManager->m_bPaused) a.Pause();
    return true;
}

bool cMusic::Pause()
{
    const uint32_t channel = GetChannel();
    return channel && audio::Audio().ChannelPause(channel);
}

bool cMusic::IsPlaying()
{
    const uint32_t channel = GetChannel();
    return channel && audio::Audio().ChannelIsActive(channel) == audio::e_playing;
}

bool cMusic::SetVolume(float volume)
{
    const uint32_t channel = GetChannel();
    return channel && audio::Audio().ChannelSetAttribute(channel, audio::e_attribVolume, volume);
}

void cMusic::SetLoop()
{
    const uint32_t channel = GetChannel();
    if (!channel) return;
    audio::cChannelInfo info;
    if (!audio::Audio().ChannelGetInfo(channel, info)) return;
    audio::Audio().ChannelFlags(channel, info.flags | audio::e_flagLoop, 0xffffffffu);
}

bool cMusic::Fade(bool fadeIn, float seconds)
{
    const uint32_t channel = GetChannel();
    if (!channel) return false;
    audio::cAudio& a = audio::Audio();
    float target = 0.0f;
    if (fadeIn) {
        a.ChannelSetAttribute(channel, audio::e_attribVolume, 0.0f);
        const uint32_t v = static_cast<uint32_t>(a.GetConfig(audio::e_cfgVolMusic));
        target = v > 10000u ? 0.0f : static_cast<float>(v / 10000.0);
    }
    return a.ChannelSlideAttribute(channel, audio::e_attribVolume, target, ToMilliseconds(seconds));
}

}  // namespace vek
