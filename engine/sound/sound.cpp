#include "engine/sound/sound.h"

#include <cmath>

#include "engine/core/log.h"
#include "platform/audio.h"

namespace vek {

namespace audio = platform::audio;

cSoundManager* g_pSoundManager = nullptr;

namespace {
constexpr const char* kSender = "cSoundManager";
}

// ---- the singleton ----

bool CreateSoundManager()
{
    if (g_pSoundManager) {
        LogWarning("CreateSoundManager", "Manager already exists\n");
        return false;
    }
    g_pSoundManager = new cSoundManager;
    if (!g_pSoundManager->Init()) {
        // The manager stays: the game runs on silently.
        LogWarning("CreateSoundManager", "Init\n");
        return false;
    }
    LogText("CreateSoundManager", "Ok\n");
    return true;
}

bool DestroySoundManager()
{
    if (!g_pSoundManager) {
        LogWarning("DestroySoundManager", "Manager does not exist\n");
        return false;
    }
    delete g_pSoundManager;
    g_pSoundManager = nullptr;
    LogText("DestroySoundManager", "Ok\n");
    return true;
}

// ---- buffers ----

cSoundManager::cSoundBuffer::cSoundBuffer(const string& name, uint32_t handle, bool reserved)
    : m_hHandle(handle), m_strName(name)
{
    if (g_pSoundManager) g_pSoundManager->m_SoundBuffers.Add(this, reserved);
}

cSoundManager::cSoundBuffer::~cSoundBuffer()
{
    if (m_hHandle) audio::Audio().SampleFree(m_hHandle);
}

cSoundManager::cMusicBuffer::cMusicBuffer(const string& name, uint32_t handle, bool reserved)
    : m_hHandle(handle), m_strName(name)
{
    if (g_pSoundManager) g_pSoundManager->m_MusicBuffers.Add(this, reserved);
}

cSoundManager::cMusicBuffer::~cMusicBuffer()
{
    if (m_hHandle) audio::Audio().MusicFree(m_hHandle);
}

cSoundManager::cStreamBuffer::cStreamBuffer(const string& name, uint32_t handle,
                                            unsigned char* data, bool reserved)
    : m_hHandle(handle), m_strName(name), m_pData(data)
{
    if (g_pSoundManager) g_pSoundManager->m_StreamBuffers.Add(this, reserved);
}

cSoundManager::cStreamBuffer::~cStreamBuffer()
{
    // The stream reads from the block: free the stream first.
    if (m_hHandle) audio::Audio().StreamFree(m_hHandle);
    delete[] m_pData;
    m_pData = nullptr;
}

// ---- the manager ----

cSoundManager::cSoundManager() = default;

cSoundManager::~cSoundManager()
{
    if (!audio::Audio().Free()) LogWarning(kSender, "Free: BASS_Free\n");
    // The tables go in reverse order of declaration: musics, stream buffers,
    // music buffers, sample buffers.
}

bool cSoundManager::Init()
{
    new cSoundBuffer("unnamed", 0, true);
    new cMusicBuffer("unnamed", 0, true);
    new cStreamBuffer("unnamed", 0, nullptr, true);
    new cMusic("unnamed", "unnamed", true);
    if (!audio::Audio().Init(audio::e_deviceDefault, 44100)) {
        LogWarning(kSender, "Init: BASS_Init\n");
        return false;
    }
    m_bPaused = false;
    audio::Audio().Start();
    return true;
}

void cSoundManager::SetVolume(eStream kind, float volume)
{
    // A value that is not a number passes both comparisons, and turning it
    // into the mixer's integer volume is undefined.
    if (!std::isfinite(volume) || volume < 0.0f || volume > 1.0f) {
        LogWarning(kSender, "SetVolume: volume invalid\n");
        return;
    }
    const unsigned value = static_cast<unsigned>(volume * 10000.0f);
    if (kind == e_Sound) {
        if (!audio::Audio().SetConfig(audio::e_cfgVolSample, value))
            LogWarning(kSender, "SetVolume: BASS_SetConfig( BASS_CONFIG_GVOL_SAMPLE )\n");
    } else if (kind == e_Music) {
        bool ok = audio::Audio().SetConfig(audio::e_cfgVolMusic, value);
        if (ok) ok = audio::Audio().SetConfig(audio::e_cfgVolStream, value);
        if (!ok) LogWarning(kSender, "SetVolume: BASS_SetConfig( BASS_CONFIG_GVOL_MUSIC )\n");
        for (uint32_t i = 1; i < m_Musics.Count(); ++i)
            if (cMusic* music = m_Musics.At(i)) music->SetVolume(volume);
    }
}

float cSoundManager::GetVolume(eStream kind)
{
    const int64_t value = audio::Audio().GetConfig(kind == e_Sound ? audio::e_cfgVolSample
                                                                   : audio::e_cfgVolMusic);
    // Read as unsigned: the failure value -1 lands above 10000 as well.
    const uint32_t v = static_cast<uint32_t>(value);
    if (v > 10000u) return 0.0f;
    return static_cast<float>(v / 10000.0);
}

bool cSoundManager::Set3DSettings(float distance, float rolloff, float doppler, bool apply)
{
    if (!audio::Audio().Set3DFactors(distance, rolloff, doppler)) {
        LogWarning(kSender, "Set3DSettings: BASS_Set3DFactors\n");
        return false;
    }
    if (!apply) {
        m_bApply3D = true;
        return true;
    }
    if (m_bApply3D) {
        audio::Audio().Apply3D();
        m_bApply3D = false;
    }
    return true;
}

bool cSoundManager::Get3DSettings(float* distance, float* rolloff, float* doppler)
{
    if (!audio::Audio().Get3DFactors(distance, rolloff, doppler)) {
        LogWarning(kSender, "Get3DSettings: BASS_Get3DFactors\n");
        return false;
    }
    return true;
}

void cSoundManager::OnActivateApp(bool active)
{
    m_bPaused = !active;
    if (active) audio::Audio().Start();
    else audio::Audio().Pause();
}

}  // namespace vek
