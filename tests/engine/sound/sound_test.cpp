// The sound manager, sounds and musics over the null output.
#include "engine/sound/sound.h"

#include <cmath>
#include <cstdlib>

#include "engine/sound/sound_fixture.h"

namespace audio = vek::platform::audio;
using vek::cMusic;
using vek::cSound;
using vek::cSoundManager;
using vek::g_pSoundManager;
using vektest::MakeConstantWav;
using vektest::Peak;

namespace {

class SoundTest : public vektest::SoundFixture {};

TEST_F(SoundTest, ManagerIsMadeOnceWithItsDefaultObjects)
{
    ASSERT_NE(g_pSoundManager, nullptr);
    EXPECT_EQ(g_pSoundManager->m_SoundBuffers.Count(), 1u);
    EXPECT_EQ(g_pSoundManager->m_SoundBuffers.Get(0)->m_strName, "unnamed");
    EXPECT_EQ(g_pSoundManager->m_MusicBuffers.Get(0)->m_strName, "unnamed");
    EXPECT_EQ(g_pSoundManager->m_StreamBuffers.Get(0)->m_pData, nullptr);
    EXPECT_EQ(g_pSoundManager->m_Musics.Get(0)->m_strName, "unnamed");
    EXPECT_FALSE(vek::CreateSoundManager());
    EXPECT_EQ(Warnings("CreateSoundManager", "Manager already exists\n"), 1);
    EXPECT_TRUE(vek::DestroySoundManager());
    EXPECT_FALSE(vek::DestroySoundManager());
    EXPECT_EQ(Warnings("DestroySoundManager", "Manager does not exist\n"), 1);
}

class SoundNoDeviceTest : public vektest::SoundFixture {
protected:
    void SetUp() override
    {
        m_bCreateManager = false;
        SoundFixture::SetUp();
        audio::UseNullOutputForDefaultDevice(false);
        const char* old = std::getenv("SDL_AUDIODRIVER");
        m_strOldDriver = old ? old : "";
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    }
    void TearDown() override
    {
        setenv("SDL_AUDIODRIVER", m_strOldDriver.c_str(), 1);
        SoundFixture::TearDown();
    }
    std::string m_strOldDriver;
};

TEST_F(SoundNoDeviceTest, FailedInitLeavesASilentManager)
{
    EXPECT_FALSE(vek::CreateSoundManager());
    EXPECT_EQ(Warnings("cSoundManager", "Init: BASS_Init\n"), 1);
    EXPECT_EQ(Warnings("CreateSoundManager", "Init\n"), 1);
    ASSERT_NE(g_pSoundManager, nullptr);
    EXPECT_EQ(g_pSoundManager->m_Musics.Get(0)->m_strName, "unnamed");
    EXPECT_FALSE(vek::CreateSoundManager());
    EXPECT_EQ(Warnings("CreateSoundManager", "Manager already exists\n"), 1);
    // Loading and playing fail quietly; the game runs on.
    vek::cDataManager::cSampleTarget t;
    EXPECT_EQ(vek::cDataManager::ReadSoundBuffer(
                  &t, vek::filename(PutFile("a.wav", MakeConstantWav(44100, 1, 10, 1)))),
              4);
    cSound s("unnamed");
    EXPECT_FALSE(s.Play(false));
    EXPECT_EQ(g_pSoundManager->GetVolume(cSoundManager::e_Sound), 0.0f);
    EXPECT_FALSE(cSoundManager::DumpConfig());
    EXPECT_EQ(Warnings("cSoundManager", "DumpConfig: BASS_GetInfo\n"), 1);
    EXPECT_TRUE(vek::DestroySoundManager());
}

class SoundDeviceTest : public vektest::SoundFixture {
protected:
    void SetUp() override
    {
        m_bCreateManager = false;
        SoundFixture::SetUp();
        audio::UseNullOutputForDefaultDevice(false);
    }
};

TEST_F(SoundDeviceTest, ManagerOpensTheDummyDevice)
{
    ASSERT_TRUE(vek::CreateSoundManager());
    EXPECT_EQ(Count("CreateSoundManager: </span><span class='text'>Ok"), 1);
    AddSample("s", MakeConstantWav(44100, 1, 100, 1), 1);
    cSound s("s");
    EXPECT_TRUE(s.Play(false));
    EXPECT_TRUE(cSoundManager::DumpConfig());
    EXPECT_EQ(Count("Driver: dummy"), 1);
    EXPECT_TRUE(vek::DestroySoundManager());
    EXPECT_EQ(Count("DestroySoundManager: </span><span class='text'>Ok"), 1);
}

TEST_F(SoundTest, SoundsWithoutABufferWarnOnce)
{
    cSound unnamed("unnamed");
    EXPECT_EQ(unnamed.m_hChannel, 0u);
    EXPECT_EQ(Count("cSound: "), 0);
    EXPECT_FALSE(unnamed.Play(true));
    EXPECT_FALSE(unnamed.Play(true));
    EXPECT_EQ(Warnings("cSound", "Play: invalid sound (id = 0)\n"), 1);

    cSound missing("no_such_sound");
    EXPECT_EQ(Warnings("cSound", "constructor: sound buffer not found 'no_such_sound'\n"), 1);
    EXPECT_FALSE(missing.Play(false));
    EXPECT_FALSE(missing.SetVolume(0.5f));
    EXPECT_FALSE(missing.FadeOut(1.0f));
    EXPECT_FALSE(missing.IsLooped());
    EXPECT_FALSE(missing.IsPlaying());
    EXPECT_EQ(Warnings("cSound", "Play: invalid sound (id = 0)\n"), 2);

    // An id beyond the table is the default sample: no channel.
    cSound beyond(77u);
    EXPECT_EQ(beyond.m_hChannel, 0u);
}

TEST_F(SoundTest, EffectsPlayOnAfterTheirObjectAndLoopsStop)
{
    const uint32_t id = AddSample("click", MakeConstantWav(44100, 1, 2000, 1000), 3);
    ASSERT_EQ(id, 1u);
    {
        cSound s("click");
        ASSERT_NE(s.m_hChannel, 0u);
        EXPECT_FALSE(s.IsPlaying());
        EXPECT_TRUE(s.Play(false));
        EXPECT_TRUE(s.IsPlaying());
        EXPECT_FALSE(s.IsLooped());
    }
    auto out = Render(2100);
    EXPECT_EQ(out[2 * 1999], 1000);
    EXPECT_EQ(out[2 * 2000], 0);
    {
        cSound s("click");
        s.Play(true);
        Render(2100);
        EXPECT_FALSE(s.IsPlaying()) << "played to its end";
    }

    uint32_t channel = 0;
    {
        cSound s(id);
        s.Play(true);
        audio::Audio().ChannelFlags(s.m_hChannel, audio::e_flagLoop, audio::e_flagLoop);
        EXPECT_TRUE(s.IsLooped());
        channel = s.m_hChannel;
    }
    EXPECT_EQ(audio::Audio().ChannelIsActive(channel), audio::e_stopped);
    EXPECT_EQ(Peak(Render(100), 0, 100), 0);
}

TEST_F(SoundTest, PlaybackLimitTakesOverOrShares)
{
    AddSample("two", MakeConstantWav(44100, 1, 44100, 1000), 2);
    cSound a("two"), b("two");
    a.Play(false);
    Render(10);
    b.Play(false);
    Render(10);
    cSound c("two");
    EXPECT_TRUE(c.Play(false));
    EXPECT_FALSE(a.Play(false));  // taken over
    EXPECT_EQ(Render(1)[0], 2000);

    AddSample("one", MakeConstantWav(44100, 1, 44100, 300), 1);
    cSound d("one"), e("one");
    EXPECT_EQ(d.m_hChannel, e.m_hChannel);
    d.Play(false);
    e.Play(true);
    EXPECT_EQ(Render(1)[0], 2300);
}

TEST_F(SoundTest, GlobalVolumes)
{
    AddSample("s", MakeConstantWav(44100, 1, 44100, 16000), 2);
    AddModule("song", vektest::MakeModule(6, 125));
    auto* m1 = new cMusic("m1", "song", true);
    AddModule("song2", vektest::MakeModule(6, 125));
    auto* m2 = new cMusic("m2", "song2", 1, 2, false);
    cSound s("s");
    s.Play(false);
    g_pSoundManager->SetVolume(cSoundManager::e_Sound, 0.5f);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolSample), 5000);
    EXPECT_NEAR(Render(1)[0], 8000, 1);
    EXPECT_FLOAT_EQ(g_pSoundManager->GetVolume(cSoundManager::e_Sound), 0.5f);

    g_pSoundManager->SetVolume(cSoundManager::e_Music, 0.25f);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolMusic), 2500);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolStream), 2500);
    float v = 0;
    audio::Audio().ChannelGetAttribute(m1->GetChannel(), audio::e_attribVolume, &v);
    EXPECT_FLOAT_EQ(v, 0.25f);
    audio::Audio().ChannelGetAttribute(m2->GetChannel(), audio::e_attribVolume, &v);
    EXPECT_FLOAT_EQ(v, 0.25f);
    EXPECT_FLOAT_EQ(g_pSoundManager->GetVolume(cSoundManager::e_All), 0.25f);

    g_pSoundManager->SetVolume(cSoundManager::e_All, 0.9f);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolSample), 5000);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolMusic), 2500);
    g_pSoundManager->SetVolume(cSoundManager::e_Sound, 1.5f);
    EXPECT_EQ(Warnings("cSoundManager", "SetVolume: volume invalid\n"), 1);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolSample), 5000);
}

// A script or the console can pass a volume that is not a number: it is
// refused like one outside 0..1 and leaves every volume as it was.
TEST_F(SoundTest, VolumesThatAreNoNumberAreRefused)
{
    AddModule("song", vektest::MakeModule(6, 125));
    auto* music = new cMusic("m", "song", true);
    g_pSoundManager->SetVolume(cSoundManager::e_Sound, 0.5f);
    g_pSoundManager->SetVolume(cSoundManager::e_Music, 0.25f);
    for (const float v : {std::nanf(""), -std::nanf("")}) {
        g_pSoundManager->SetVolume(cSoundManager::e_Sound, v);
        g_pSoundManager->SetVolume(cSoundManager::e_Music, v);
    }
    EXPECT_EQ(Warnings("cSoundManager", "SetVolume: volume invalid\n"), 4);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolSample), 5000);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolMusic), 2500);
    EXPECT_EQ(audio::Audio().GetConfig(audio::e_cfgVolStream), 2500);
    float v = 0;
    audio::Audio().ChannelGetAttribute(music->GetChannel(), audio::e_attribVolume, &v);
    EXPECT_FLOAT_EQ(v, 0.25f);
}

TEST_F(SoundTest, FadeOutReachesSilenceAndKeepsPlaying)
{
    AddSample("s", MakeConstantWav(44100, 2, 44100, 10000), 1);
    cSound s("s");
    s.Play(false);
    ASSERT_TRUE(s.SetVolume(1.0f));
    ASSERT_TRUE(s.FadeOut(0.1f));
    auto out = Render(4500);
    EXPECT_GT(out[2 * 4000], 0);
    EXPECT_EQ(Peak(out, 4410, 4500), 0);
    EXPECT_EQ(audio::Audio().ChannelIsActive(s.m_hChannel), audio::e_playing);
}

TEST_F(SoundTest, MusicStartsAtItsOrderEndsAndLoops)
{
    AddModule("song", vektest::MakeModule(1, 255));
    auto* music = new cMusic("tune", "song", 1, 0, false);
    auto* missing = new cMusic("ghost", "no_buffer", false);
    EXPECT_FALSE(missing->Play());
    EXPECT_EQ(Warnings("cMusic", "Play: invalid music 'ghost'\n"), 1);
    EXPECT_FALSE(missing->IsPlaying());

    const uint32_t ch = music->GetChannel();
    ASSERT_NE(ch, 0u);
    ASSERT_TRUE(music->Play());
    EXPECT_EQ(audio::Audio().ChannelGetPosition(ch, audio::e_posMusicOrder) & 0xffff, 1);
    EXPECT_TRUE(music->IsPlaying());
    Render(4410);
    // Paused and played again at its start order: it resumes, no seek.
    ASSERT_TRUE(music->Pause());
    const int64_t pos = audio::Audio().ChannelGetPosition(ch, audio::e_posMusicOrder);
    music->Play();
    EXPECT_EQ(audio::Audio().ChannelGetPosition(ch, audio::e_posMusicOrder), pos);
    // Without the loop flag it ends; the next Play starts at its order again.
    Render(44100 * 2);
    EXPECT_FALSE(music->IsPlaying());
    ASSERT_TRUE(music->Play());
    EXPECT_EQ(audio::Audio().ChannelGetPosition(ch, audio::e_posMusicOrder), 1);
    music->SetLoop();
    Render(44100 * 2);
    EXPECT_TRUE(music->IsPlaying());
}

TEST_F(SoundTest, MusicStartedWhileInactiveWaitsForActivation)
{
    AddModule("song", vektest::MakeModule(6, 125));
    auto* music = new cMusic("song", "song", false);
    g_pSoundManager->OnActivateApp(false);
    ASSERT_TRUE(music->Play());
    EXPECT_TRUE(g_pSoundManager->m_bPaused);
    EXPECT_EQ(Peak(Render(4410), 0, 4410), 0);
    EXPECT_TRUE(music->IsPlaying());
    g_pSoundManager->OnActivateApp(true);
    EXPECT_GT(Peak(Render(4410), 0, 4410), 0);
}

TEST_F(SoundTest, FadesSwitchBetweenMusics)
{
    AddModule("a", vektest::MakeModule(6, 125));
    AddModule("b", vektest::MakeModule(6, 125));
    auto* a = new cMusic("a", "a", false);
    auto* b = new cMusic("b", "b", false);
    g_pSoundManager->SetVolume(cSoundManager::e_Music, 0.5f);
    a->Play();
    ASSERT_TRUE(a->Fade(false, 1.0f));
    ASSERT_TRUE(b->Fade(true, 1.0f));
    b->Play();
    float va = -1, vb = -1;
    audio::Audio().ChannelGetAttribute(b->GetChannel(), audio::e_attribVolume, &vb);
    EXPECT_EQ(vb, 0.0f);
    Render(44100 + 10);
    audio::Audio().ChannelGetAttribute(a->GetChannel(), audio::e_attribVolume, &va);
    audio::Audio().ChannelGetAttribute(b->GetChannel(), audio::e_attribVolume, &vb);
    EXPECT_EQ(va, 0.0f);
    EXPECT_FLOAT_EQ(vb, 0.5f);
    EXPECT_TRUE(a->IsPlaying());  // faded out, still running
    EXPECT_TRUE(b->IsPlaying());
}

TEST_F(SoundTest, ThreeDSettingsAreStoredAndApplyWaitsForAChange)
{
    EXPECT_TRUE(g_pSoundManager->Set3DSettings(2.0f, 0.5f, 1.0f, true));
    EXPECT_FALSE(g_pSoundManager->m_bApply3D);
    float d = 0, r = 0, dp = 0;
    ASSERT_TRUE(g_pSoundManager->Get3DSettings(&d, &r, &dp));
    EXPECT_EQ(d, 2.0f);
    EXPECT_EQ(r, 0.5f);
    AddSample("s", MakeConstantWav(44100, 1, 10, 1), 1);
    cSound s("s");
    EXPECT_TRUE(g_pSoundManager->m_bApply3D);
    EXPECT_TRUE(g_pSoundManager->Set3DSettings(-1.0f, -1.0f, -1.0f, true));
    EXPECT_FALSE(g_pSoundManager->m_bApply3D);
}

TEST_F(SoundTest, DumpListsTheChosenTables)
{
    AddSample("boom", MakeConstantWav(44100, 2, 1024, 1), 1);
    AddModule("song", vektest::MakeModule(6, 125));
    new cMusic("tune", "song", 2, 5, false);
    EXPECT_TRUE(g_pSoundManager->Dump(3));
    EXPECT_EQ(Count("Stream Buffers."), 1);
    EXPECT_EQ(Count("Sound Buffers."), 0);
    EXPECT_EQ(Count("Musics."), 0);
    EXPECT_EQ(Count("occuped"), 0);
    EXPECT_EQ(Count("Volumes: sound 1.000, music 1.000"), 1);

    EXPECT_TRUE(g_pSoundManager->Dump(0));
    EXPECT_EQ(Count("Sound Buffers."), 1);
    EXPECT_EQ(Count(Escaped("Sound buffers count: 1. All buffers size (Kb): 4.0")), 1);
    EXPECT_EQ(Count("Music buffers count: 1."), 1);
    EXPECT_EQ(Count(Escaped("|  1 |                   tune |           2  |           5  |")), 1);
    EXPECT_EQ(Count("Stream Buffers."), 2);
    // The module lasts 23.04 s: 23040 ms of 44.1 kHz stereo 16-bit.
    EXPECT_EQ(Count("Sound manager occuped 3973.0 Kb of memory."), 1);

    EXPECT_TRUE(cSoundManager::DumpConfig());
    EXPECT_EQ(Count("Sound System:"), 1);
    EXPECT_EQ(Count("Driver: null"), 1);
    EXPECT_EQ(Count(Escaped("  The maximum Buffer rate supported by the hardware: 44100")), 1);
    EXPECT_EQ(Count("EAX: disabled"), 1);
}

}  // namespace
