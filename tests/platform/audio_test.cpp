// The audio layer through its null output: voices, volumes, slides, music
// positions, streams, decoding streams and the device.
#include "platform/audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/audio_test_sounds.h"
#include "support/temp_dir.h"
#include "support/time_scale.h"

namespace audio = vek::platform::audio;
using audio::tHandle;
using vektest::MakeConstantWav;
using vektest::Peak;

namespace {

class AudioTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(a.InitNull(44100)); }
    void TearDown() override { a.Free(); }

    std::vector<int16_t> Render(size_t frames)
    {
        std::vector<int16_t> out(frames * 2);
        a.RenderForTest(out.data(), frames);
        return out;
    }
    tHandle LoadSample(const std::string& file, unsigned max)
    {
        return a.SampleLoad(file.data(), file.size(), max, audio::e_flagOverPos);
    }

    audio::cAudio a;
};

TEST_F(AudioTest, VoicesTakeOverTheLongestPlayingWhenAllAreBusy)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 1, 44100, 1000), 2);
    ASSERT_NE(s, 0u);
    const tHandle c1 = a.SampleGetChannel(s, false);
    ASSERT_TRUE(a.ChannelPlay(c1, false));
    Render(100);
    const tHandle c2 = a.SampleGetChannel(s, false);
    ASSERT_TRUE(a.ChannelPlay(c2, false));
    Render(100);
    const tHandle c3 = a.SampleGetChannel(s, false);
    ASSERT_NE(c3, 0u);
    EXPECT_NE(c3, c1);
    // The first playback was taken over: its handle is stale.
    EXPECT_FALSE(a.ChannelPlay(c1, false));
    EXPECT_EQ(a.ChannelIsActive(c1), audio::e_stopped);
    EXPECT_EQ(a.ChannelIsActive(c2), audio::e_playing);
    // The new channel is silent until played: only c2 sounds meanwhile.
    EXPECT_EQ(Render(10)[0], 1000);
    ASSERT_TRUE(a.ChannelPlay(c3, false));
    EXPECT_EQ(Render(10)[0], 2000);
}

TEST_F(AudioTest, FreshChannelsAreNotTakenAndEndedOnesAreReused)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 1, 100, 1000), 2);
    const tHandle c1 = a.SampleGetChannel(s, false);
    const tHandle c2 = a.SampleGetChannel(s, false);
    ASSERT_NE(c1, 0u);
    ASSERT_NE(c2, 0u);
    // Both are handed out and not yet played: nothing to take.
    EXPECT_EQ(a.SampleGetChannel(s, false), 0u);
    a.ChannelPlay(c1, false);
    Render(200);  // c1 plays to its end
    EXPECT_EQ(a.ChannelIsActive(c1), audio::e_stopped);
    const tHandle c3 = a.SampleGetChannel(s, false);
    ASSERT_NE(c3, 0u);
    EXPECT_FALSE(a.ChannelPlay(c1, false));
    EXPECT_TRUE(a.ChannelPlay(c2, false));
}

TEST_F(AudioTest, SingleVoiceSampleIsSharedByEveryHolder)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 1, 1000, 500), 1);
    const tHandle c1 = a.SampleGetChannel(s, false);
    const tHandle c2 = a.SampleGetChannel(s, false);
    EXPECT_EQ(c1, s);
    EXPECT_EQ(c2, s);
    a.ChannelPlay(c1, false);
    a.ChannelPlay(c2, false);
    EXPECT_EQ(Render(10)[0], 500);  // one voice, not two
    EXPECT_TRUE(a.ChannelStop(c2));
    EXPECT_EQ(a.ChannelIsActive(c1), audio::e_stopped);
    EXPECT_TRUE(a.ChannelPlay(c1, false));
}

TEST_F(AudioTest, StopFreesPauseKeepsAndAnEndedChannelStartsAgain)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 1, 1000, 500), 3);
    const tHandle c = a.SampleGetChannel(s, false);
    a.ChannelPlay(c, false);
    Render(400);
    EXPECT_TRUE(a.ChannelPause(c));
    EXPECT_EQ(a.ChannelIsActive(c), audio::e_paused);
    EXPECT_EQ(Render(10)[0], 0);
    EXPECT_EQ(a.ChannelGetPosition(c, audio::e_posByte), 400 * 2);
    a.ChannelPlay(c, false);  // resumes where it stood
    auto out = Render(700);
    EXPECT_EQ(out[2 * 599], 500);
    EXPECT_EQ(out[2 * 600], 0);
    EXPECT_EQ(a.ChannelIsActive(c), audio::e_stopped);
    // Replaying an ended channel without restart plays it again from the start.
    EXPECT_TRUE(a.ChannelPlay(c, false));
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 500);
    EXPECT_TRUE(a.ChannelStop(c));
    EXPECT_FALSE(a.ChannelPlay(c, false));
}

TEST_F(AudioTest, VolumesScaleTheirOwnKindOnly)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 2, 44100, 16000), 2);
    const tHandle c = a.SampleGetChannel(s, false);
    a.ChannelPlay(c, false);
    ASSERT_TRUE(a.ChannelSetAttribute(c, audio::e_attribVolume, 0.5f));
    EXPECT_NEAR(Render(10)[1], 8000, 1);
    ASSERT_TRUE(a.SetConfig(audio::e_cfgVolSample, 5000));
    EXPECT_NEAR(Render(10)[0], 4000, 1);
    a.SetConfig(audio::e_cfgVolMusic, 0);
    a.SetConfig(audio::e_cfgVolStream, 0);
    EXPECT_NEAR(Render(10)[0], 4000, 1);
    EXPECT_FALSE(a.SetConfig(audio::e_cfgVolSample, 10001));
    EXPECT_EQ(a.GetConfig(audio::e_cfgVolSample), 5000);
    // Attributes above 1 amplify and the mix clips.
    a.SetConfig(audio::e_cfgVolSample, 10000);
    a.ChannelSetAttribute(c, audio::e_attribVolume, 4.0f);
    EXPECT_EQ(Render(10)[0], 32767);
}

TEST_F(AudioTest, FadeToZeroKeepsTheChannelPlaying)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 1, 44100, 10000), 2);
    const tHandle c = a.SampleGetChannel(s, false);
    a.ChannelPlay(c, false);
    ASSERT_TRUE(a.ChannelSlideAttribute(c, audio::e_attribVolume, 0.0f, 100));
    auto out = Render(5000);
    EXPECT_NEAR(out[2 * 2205], 5000, 5);  // half way
    EXPECT_GT(out[2 * 4400], 0);
    EXPECT_EQ(out[2 * 4410], 0);
    EXPECT_EQ(a.ChannelIsActive(c), audio::e_playing);
    float v = -1;
    a.ChannelGetAttribute(c, audio::e_attribVolume, &v);
    EXPECT_EQ(v, 0.0f);
    // A new slide replaces the running one from where it stands.
    a.ChannelSetAttribute(c, audio::e_attribVolume, 1.0f);
    a.ChannelSlideAttribute(c, audio::e_attribVolume, 0.0f, 1000);
    Render(4410);
    a.ChannelSlideAttribute(c, audio::e_attribVolume, 1.0f, 100);
    out = Render(4410);
    EXPECT_NEAR(out[0], 9000, 5);
    EXPECT_NEAR(Render(1)[0], 10000, 1);
    // Setting the attribute ends a slide.
    a.ChannelSlideAttribute(c, audio::e_attribVolume, 0.0f, 1000);
    a.ChannelSetAttribute(c, audio::e_attribVolume, 0.25f);
    Render(4410);
    EXPECT_NEAR(Render(1)[0], 2500, 1);
}

TEST_F(AudioTest, OutputPauseFreezesChannelsWhileSlidesGoOn)
{
    const tHandle s = LoadSample(MakeConstantWav(44100, 1, 44100, 10000), 2);
    const tHandle c = a.SampleGetChannel(s, false);
    a.ChannelPlay(c, false);
    Render(100);
    ASSERT_TRUE(a.Pause());
    a.ChannelSlideAttribute(c, audio::e_attribVolume, 0.5f, 100);
    EXPECT_EQ(Peak(Render(8820), 0, 8820), 0);
    EXPECT_EQ(a.ChannelIsActive(c), audio::e_playing);
    EXPECT_EQ(a.ChannelGetPosition(c, audio::e_posByte), 100 * 2);
    // Starting a channel while paused succeeds; it sounds after Start.
    const tHandle c2 = a.SampleGetChannel(s, false);
    EXPECT_TRUE(a.ChannelPlay(c2, false));
    EXPECT_EQ(Render(10)[0], 0);
    ASSERT_TRUE(a.Start());
    EXPECT_EQ(Render(10)[0], 15000);
}

TEST_F(AudioTest, ModuleOrdersLoopAndEnd)
{
    // 64 rows of 1 tick at 255 BPM per order: about 0.63 s per order.
    const std::string mod = vektest::MakeModule(1, 255);
    const tHandle m = a.MusicLoad(mod.data(), mod.size(), audio::e_flagPrescan);
    ASSERT_NE(m, 0u);
    EXPECT_EQ(a.ChannelGetLength(m, audio::e_posMusicOrder), 3);
    const int64_t bytes = a.ChannelGetLength(m, audio::e_posByte);
    EXPECT_NEAR(double(bytes) / 176400.0, 1.88, 0.05);
    EXPECT_EQ(a.ChannelGetPosition(m, audio::e_posMusicOrder), 0);
    ASSERT_TRUE(a.ChannelPlay(m, false));
    EXPECT_GT(Peak(Render(4410), 0, 4410), 0);
    EXPECT_EQ(a.ChannelGetPosition(m, audio::e_posMusicOrder) & 0xffff, 0);
    ASSERT_TRUE(a.ChannelSetPosition(m, 2, audio::e_posMusicOrder));
    EXPECT_EQ(a.ChannelGetPosition(m, audio::e_posMusicOrder), 2);
    Render(4410);
    const int64_t pos = a.ChannelGetPosition(m, audio::e_posMusicOrder);
    EXPECT_EQ(pos & 0xffff, 2);
    EXPECT_GT(pos >> 16, 0);  // rows advanced
    EXPECT_FALSE(a.ChannelSetPosition(m, 3, audio::e_posMusicOrder));
    // Without the loop flag the music stops at its end...
    Render(44100);
    EXPECT_EQ(a.ChannelIsActive(m), audio::e_stopped);
    EXPECT_EQ(a.ChannelGetPosition(m, audio::e_posMusicOrder) & 0xffff, 3);
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 0);
    // ... with it, it goes on.
    a.ChannelSetPosition(m, 0, audio::e_posMusicOrder);
    EXPECT_EQ(a.ChannelFlags(m, audio::e_flagLoop, ~0u), audio::e_flagLoop);
    a.ChannelPlay(m, false);
    Render(44100 * 3);
    EXPECT_EQ(a.ChannelIsActive(m), audio::e_playing);
    EXPECT_LT(a.ChannelGetPosition(m, audio::e_posMusicOrder) & 0xffff, 3);
}

TEST_F(AudioTest, SeveralMusicsPlayAtOnceWithTheirOwnVolume)
{
    const std::string mod = vektest::MakeModule(6, 125);
    const tHandle m1 = a.MusicLoad(mod.data(), mod.size(), 0);
    const tHandle m2 = a.MusicLoad(mod.data(), mod.size(), 0);
    ASSERT_NE(m1, 0u);
    ASSERT_NE(m2, 0u);
    a.ChannelPlay(m1, false);
    const int one = Peak(Render(4410), 0, 4410);
    ASSERT_GT(one, 0);
    a.ChannelSetPosition(m1, 0, audio::e_posMusicOrder);
    a.ChannelPlay(m2, false);
    const int both = Peak(Render(4410), 0, 4410);
    EXPECT_NEAR(both, 2 * one, 4);
    a.ChannelSetAttribute(m2, audio::e_attribVolume, 0.0f);
    a.ChannelSetPosition(m1, 0, audio::e_posMusicOrder);
    EXPECT_NEAR(Peak(Render(4410), 0, 4410), one, 2);
    a.SetConfig(audio::e_cfgVolMusic, 0);
    EXPECT_EQ(Peak(Render(4410), 0, 4410), 0);
    EXPECT_TRUE(a.MusicFree(m1));
    EXPECT_FALSE(a.ChannelPlay(m1, false));
}

TEST_F(AudioTest, StreamsPlayFromMemoryAndLoop)
{
    const std::string ogg = vektest::RepoFile("tests/data/audio/tone_22k_mono.ogg");
    ASSERT_FALSE(ogg.empty());
    const tHandle st = a.StreamCreateMemory(ogg.data(), ogg.size(), audio::e_flagPrescan);
    ASSERT_NE(st, 0u);
    audio::cChannelInfo info;
    ASSERT_TRUE(a.ChannelGetInfo(st, info));
    EXPECT_EQ(info.freq, 22050u);
    EXPECT_EQ(info.chans, 1u);
    EXPECT_EQ(a.ChannelGetLength(st, audio::e_posByte), 22050 / 4 * 2);
    a.ChannelPlay(st, false);
    auto out = Render(44100 / 8);
    EXPECT_GT(Peak(out, 0, out.size() / 2), 10000);
    Render(44100 / 4);
    EXPECT_EQ(a.ChannelIsActive(st), audio::e_stopped);
    // Played again after its end it starts over; with the loop flag it goes on.
    a.ChannelFlags(st, audio::e_flagLoop, audio::e_flagLoop);
    a.ChannelPlay(st, false);
    out = Render(44100);
    EXPECT_EQ(a.ChannelIsActive(st), audio::e_playing);
    EXPECT_GT(Peak(out, 44100 - 2000, 44100), 10000);
    a.SetConfig(audio::e_cfgVolStream, 0);
    EXPECT_EQ(Peak(Render(1000), 0, 1000), 0);
    EXPECT_TRUE(a.StreamFree(st));
    EXPECT_EQ(a.ChannelIsActive(st), audio::e_stopped);
}

TEST_F(AudioTest, DecodersConvertToSixteenBitAndMixDownToMono)
{
    const std::string dir = vektest::MakeTempDir("decode");
    // 8-bit stereo: left 255, right 1 (unsigned) -> 16-bit 32512 and -32512.
    const std::string wav8 = vektest::MakeWav(8000, 2, 8, {255, 1, 255, 1, 128, 128});
    ASSERT_TRUE(vektest::WriteFile(dir + "/a.wav", wav8));
    tHandle d = a.DecodeStreamOpen(dir + "/a.wav", audio::e_flagDecode);
    ASSERT_NE(d, 0u);
    audio::cChannelInfo info;
    a.ChannelGetInfo(d, info);
    EXPECT_EQ(info.freq, 8000u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(a.ChannelGetLength(d, audio::e_posByte), 12);
    int16_t buf[16] = {};
    EXPECT_EQ(a.ChannelIsActive(d), audio::e_playing);
    EXPECT_EQ(a.ChannelGetData(d, buf, sizeof buf), 12);
    EXPECT_EQ(buf[0], 32512);
    EXPECT_EQ(buf[1], -32512);
    EXPECT_EQ(buf[4], 0);
    EXPECT_EQ(a.ChannelIsActive(d), audio::e_stopped);
    EXPECT_EQ(a.ChannelGetData(d, buf, sizeof buf), -1);
    EXPECT_TRUE(a.StreamFree(d));

    const std::string wav16 = vektest::MakeWav(44100, 2, 16, {1000, 3000, -100, -301});
    ASSERT_TRUE(vektest::WriteFile(dir + "/b.wav", wav16));
    d = a.DecodeStreamOpen(dir + "/b.wav", audio::e_flagDecode | audio::e_flagMono);
    ASSERT_NE(d, 0u);
    a.ChannelGetInfo(d, info);
    EXPECT_EQ(info.chans, 1u);
    EXPECT_EQ(a.ChannelGetLength(d, audio::e_posByte), 4);
    EXPECT_EQ(a.ChannelGetData(d, buf, sizeof buf), 4);
    EXPECT_EQ(buf[0], 2000);
    EXPECT_EQ(buf[1], -200);
    a.StreamFree(d);

    EXPECT_EQ(a.DecodeStreamOpen(dir + "/missing.wav", audio::e_flagDecode), 0u);
}

TEST_F(AudioTest, UndecodableInputIsRefused)
{
    const std::string junk(1000, 'x');
    EXPECT_EQ(a.SampleLoad(junk.data(), junk.size(), 1, 0), 0u);
    EXPECT_EQ(a.MusicLoad(junk.data(), junk.size(), 0), 0u);
    EXPECT_EQ(a.StreamCreateMemory(junk.data(), junk.size(), 0), 0u);
    // Truncated files: cut inside the header and inside the first data.
    const std::string wav = MakeConstantWav(44100, 1, 100, 1);
    for (size_t cut : {size_t(0), size_t(10), size_t(30), size_t(43)})
        EXPECT_EQ(a.SampleLoad(wav.data(), cut, 1, 0), 0u) << cut;
    const std::string ogg = vektest::RepoFile("tests/data/audio/tone_44k_stereo.ogg");
    ASSERT_FALSE(ogg.empty());
    for (size_t cut : {size_t(20), size_t(200), ogg.size() / 2}) {
        const tHandle s = a.SampleLoad(ogg.data(), cut, 1, 0);
        if (s) a.SampleFree(s);  // a partial decode is fine, no crash is the point
    }
    const std::string mod = vektest::MakeModule(6, 125);
    EXPECT_EQ(a.MusicLoad(mod.data(), 600, 0), 0u);
    // Loading works again afterwards, and a sample at another rate is converted.
    const std::string mono22 = vektest::RepoFile("tests/data/audio/tone_22k_mono.ogg");
    const tHandle s = a.SampleLoad(mono22.data(), mono22.size(), 1, 0);
    ASSERT_NE(s, 0u);
    audio::cSampleInfo si;
    ASSERT_TRUE(a.SampleGetInfo(s, si));
    EXPECT_EQ(si.length, 22050u / 4 * 2);
}

TEST_F(AudioTest, WavDataCutShortIsClampedAndReported)
{
    const std::string wav = MakeConstantWav(44100, 1, 100, 7);  // 200 bytes of sound
    auto length = [&](tHandle s) {
        audio::cSampleInfo info;
        return a.SampleGetInfo(s, info) ? info.length : 0u;
    };
    bool cut = true;
    tHandle s = a.SampleLoad(wav.data(), wav.size(), 1, 0, &cut);
    EXPECT_EQ(length(s), 200u);
    EXPECT_FALSE(cut);
    // Only the RIFF size is wrong: many writers do that, nothing is missing.
    std::string riff = wav;
    riff[7] = '\x7f';
    s = a.SampleLoad(riff.data(), riff.size(), 1, 0, &cut);
    EXPECT_EQ(length(s), 200u);
    EXPECT_FALSE(cut);

    // The data chunk claims about 2 GB; the file holds 200 bytes of it.
    std::string claims = wav;
    claims[43] = '\x7f';
    s = a.SampleLoad(claims.data(), claims.size(), 1, 0, &cut);
    EXPECT_EQ(length(s), 200u);
    EXPECT_TRUE(cut);
    // A file cut inside its data.
    s = a.SampleLoad(wav.data(), wav.size() - 50, 1, 0, &cut);
    EXPECT_EQ(length(s), 150u);
    EXPECT_TRUE(cut);
    const tHandle stream = a.StreamCreateMemory(claims.data(), claims.size(), 0, &cut);
    EXPECT_NE(stream, 0u);
    EXPECT_TRUE(cut);
    a.StreamFree(stream);
    // A refused file reports nothing.
    EXPECT_EQ(a.SampleLoad(claims.data(), 30, 1, 0, &cut), 0u);
    EXPECT_FALSE(cut);
}

TEST(AudioLayer, EveryCallFailsWithoutOutputAndHandlesDieWithFree)
{
    audio::cAudio a;
    EXPECT_FALSE(a.Start());
    EXPECT_EQ(a.GetConfig(audio::e_cfgVolMusic), -1);
    EXPECT_EQ(a.GetDevice(), -1);
    const std::string wav = MakeConstantWav(44100, 1, 100, 1);
    EXPECT_EQ(a.SampleLoad(wav.data(), wav.size(), 1, 0), 0u);
    ASSERT_TRUE(a.InitNull(44100));
    EXPECT_FALSE(a.InitNull(44100));
    const tHandle s = a.SampleLoad(wav.data(), wav.size(), 1, 0);
    ASSERT_NE(s, 0u);
    float d, r, dp;
    EXPECT_TRUE(a.Set3DFactors(2.0f, -1.0f, 0.5f));
    ASSERT_TRUE(a.Get3DFactors(&d, &r, &dp));
    EXPECT_EQ(d, 2.0f);
    EXPECT_EQ(r, 1.0f);
    EXPECT_EQ(dp, 0.5f);
    EXPECT_FALSE(a.ChannelSet3DAttributes(a.SampleGetChannel(s, false), 0, -1, -1, -1, -1, -1));
    EXPECT_TRUE(a.Free());
    EXPECT_FALSE(a.SampleFree(s));
    ASSERT_TRUE(a.InitNull(44100));
    const tHandle s2 = a.SampleLoad(wav.data(), wav.size(), 1, 0);
    EXPECT_NE(s2, s);  // the freed handle does not come back to life
    EXPECT_FALSE(a.ChannelPlay(s, false));
    a.Free();
}

TEST(AudioLayer, DeviceOpensOnTheDummyDriverAndFailsOnAnUnknownOne)
{
    audio::cAudio a;
    ASSERT_TRUE(a.Init(audio::e_deviceDefault, 44100));
    audio::cDeviceInfo info;
    ASSERT_TRUE(a.GetInfo(info));
    EXPECT_EQ(info.driver, "dummy");
    EXPECT_EQ(info.maxRate, 44100u);
    EXPECT_EQ(a.GetDevice(), 1);
    const std::string wav = MakeConstantWav(44100, 1, 100, 1);
    const tHandle s = a.SampleLoad(wav.data(), wav.size(), 1, 0);
    EXPECT_TRUE(a.ChannelPlay(a.SampleGetChannel(s, false), false));
    EXPECT_TRUE(a.Free());

    const char* old = std::getenv("SDL_AUDIODRIVER");
    const std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    audio::cAudio b;
    EXPECT_FALSE(b.Init(audio::e_deviceDefault, 44100));
    EXPECT_FALSE(b.Start());
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
}

TEST(AudioLayer, DeviceCallbackDeliversTheMix)
{
    // SDL's disk driver writes what the device pulls to a file.
    const std::string dir = vektest::MakeTempDir("disk");
    const std::string file = dir + "/out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    audio::cAudio a;
    const bool opened = a.Init(audio::e_deviceDefault, 44100);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(opened);
    const std::string wav = MakeConstantWav(44100, 2, 44100 * 5, 1234);
    const tHandle s = a.SampleLoad(wav.data(), wav.size(), 1, 0);
    ASSERT_TRUE(a.ChannelPlay(a.SampleGetChannel(s, false), false));
    std::string raw;
    // Up to two seconds, longer on a loaded machine.
    const int tries = static_cast<int>(100 * vektest::TimeScale());
    for (int i = 0; i < tries && raw.find("\xd2\x04\xd2\x04") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        raw = vektest::ReadFile(file);
    }
    a.Free();
    // 1234 = 0x04d2, little-endian, in both channels of a frame.
    EXPECT_NE(raw.find("\xd2\x04\xd2\x04"), std::string::npos);
}

}  // namespace
