// Sound files into the audio layer, and the WAV writer.
#include "engine/core/datamanager.h"

#include <sys/stat.h>
#include <unistd.h>

#include "engine/sound/sound_fixture.h"
#include "platform/fs.h"
#include "support/peak_memory.h"
#include "support/zip_files.h"

VEKTEST_COUNT_ALLOCATIONS()

namespace audio = vek::platform::audio;
using vek::cDataManager;
using vek::filename;
using vektest::Get16;
using vektest::Get32;
using vektest::MakeConstantWav;

namespace {

class SoundDataTest : public vektest::SoundFixture {
protected:
    // A WAV file header field check helper: the written file, or empty.
    std::string WriteAndRead(const std::string& source, bool mono, int expect = 0)
    {
        const filename dest("{UserPath}/out/result.wav");
        EXPECT_EQ(cDataManager::WriteWAV(source, dest, mono), expect);
        return vektest::ReadFile(m_strRoot + "/User/out/result.wav");
    }
    std::string Native(const std::string& name) { return m_strRoot + "/User/" + name; }
    void SetUp() override
    {
        SoundFixture::SetUp();
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/User/out/keep", ""));
    }
};

TEST_F(SoundDataTest, SampleReaderClampsPlaybacksAndReportsCodes)
{
    const std::string wav = MakeConstantWav(22050, 1, 100, 5);
    cDataManager::cSampleTarget t;
    t.uMaxPlay = 0;
    ASSERT_EQ(cDataManager::ReadSoundBuffer(&t, filename(PutFile("a.wav", wav))), 0);
    audio::cSampleInfo info;
    ASSERT_TRUE(audio::Audio().SampleGetInfo(t.hHandle, info));
    EXPECT_EQ(info.max, 1u);
    EXPECT_EQ(info.length, 200u);
    t.uMaxPlay = 35;
    ASSERT_EQ(cDataManager::ReadSoundBuffer(&t, filename("{UserPath}/a.wav")), 0);
    audio::Audio().SampleGetInfo(t.hHandle, info);
    EXPECT_EQ(info.max, 20u);

    EXPECT_EQ(cDataManager::ReadSoundBuffer(nullptr, filename("{UserPath}/a.wav")), 4);
    EXPECT_EQ(cDataManager::ReadSoundBuffer(&t, filename("{UserPath}/missing.wav")), 2);
    EXPECT_EQ(cDataManager::ReadSoundBuffer(&t, filename(PutFile("empty.wav", ""))), 3);
    t.hHandle = 77;
    EXPECT_EQ(cDataManager::ReadSoundBuffer(&t, filename(PutFile("junk.wav", "not a sound file"))), 4);
    EXPECT_EQ(t.hHandle, 0u);
    EXPECT_EQ(Warnings("cDataManager", "ReadSoundBuffer: BASS_SampleLoad " +
                                           filename("{UserPath}/junk.wav").path + "\n"),
              1);
    // A header cut short is refused the same way.
    EXPECT_EQ(cDataManager::ReadSoundBuffer(&t, filename(PutFile("cut.wav", wav.substr(0, 40)))), 4);
}

TEST_F(SoundDataTest, SoundDataCutShortLoadsWithOneWarning)
{
    const std::string wav = MakeConstantWav(22050, 1, 1000, 5);
    cDataManager::cSampleTarget t;
    ASSERT_EQ(cDataManager::ReadSoundBuffer(&t, filename(PutFile("whole.wav", wav))), 0);
    // Cut inside the data: the data chunk claims more than the file holds.
    const filename cut(PutFile("cut.wav", wav.substr(0, 1044)));
    ASSERT_EQ(cDataManager::ReadSoundBuffer(&t, cut), 0);
    audio::cSampleInfo info;
    ASSERT_TRUE(audio::Audio().SampleGetInfo(t.hHandle, info));
    EXPECT_EQ(info.length, 1000u);
    cDataManager::cStreamTarget s;
    ASSERT_EQ(cDataManager::ReadStreamBuffer(&s, cut), 0);
    new vek::cSoundManager::cStreamBuffer("cut", s.hHandle, s.pData, false);
    const std::string what = "sound data of " + cut.path + " cut short\n";
    EXPECT_EQ(Warnings("cDataManager", "ReadSoundBuffer: " + what), 1);
    EXPECT_EQ(Warnings("cDataManager", "ReadStreamBuffer: " + what), 1);
    EXPECT_EQ(Count("whole.wav"), 0);
}

TEST_F(SoundDataTest, MusicAndStreamReaders)
{
    cDataManager::cMusicTarget m;
    ASSERT_EQ(cDataManager::ReadMusicBuffer(&m, filename(PutFile("song.mod", vektest::MakeModule(6, 125)))), 0);
    EXPECT_NE(m.hHandle, 0u);
    EXPECT_EQ(cDataManager::ReadMusicBuffer(&m, filename(PutFile("bad.mod", std::string(3000, '\x11')))), 4);
    EXPECT_EQ(Warnings("cDataManager", "ReadMusicBuffer: " + filename("{UserPath}/bad.mod").path + "\n"), 1);
    EXPECT_EQ(cDataManager::ReadMusicBuffer(nullptr, filename("{UserPath}/song.mod")), 4);

    const std::string ogg = vektest::RepoFile("tests/data/audio/tone_44k_stereo.ogg");
    ASSERT_FALSE(ogg.empty());
    cDataManager::cStreamTarget s;
    ASSERT_EQ(cDataManager::ReadStreamBuffer(&s, filename(PutFile("music.ogg", ogg))), 0);
    ASSERT_NE(s.pData, nullptr);
    // The stream buffer owns the block; the stream plays from it (a freed
    // block would show under the sanitizers).
    auto* buffer = new vek::cSoundManager::cStreamBuffer("music", s.hHandle, s.pData, false);
    auto* music = new vek::cMusic("music", false);
    EXPECT_EQ(music->GetChannel(), buffer->m_hHandle);
    ASSERT_TRUE(music->Play());
    EXPECT_GT(vektest::Peak(Render(4410), 0, 4410), 1000);

    // Sounds load from archives as well as from folders.
    const std::string zip = vektest::MakeStoredZip(
        {{"sfx/Click.wav", MakeConstantWav(44100, 1, 50, 9)}, {"music/song.mod", vektest::MakeModule(6, 125)}});
    PutFile("sounds.zip", zip);
    cDataManager::cSampleTarget fromZip;
    EXPECT_EQ(cDataManager::ReadSoundBuffer(&fromZip, filename("{UserPath}/sounds.zip/sfx/click.wav")), 0);
    EXPECT_NE(fromZip.hHandle, 0u);
    EXPECT_EQ(cDataManager::ReadMusicBuffer(&m, filename("{UserPath}/sounds.zip/music/song.mod")), 0);
    EXPECT_EQ(cDataManager::ReadSoundBuffer(&fromZip, filename("{UserPath}/sounds.zip/sfx/none.wav")), 2);

    cDataManager::cStreamTarget bad;
    EXPECT_EQ(cDataManager::ReadStreamBuffer(&bad, filename(PutFile("bad.ogg", "OggS but nothing more"))), 4);
    EXPECT_EQ(bad.pData, nullptr);
    EXPECT_EQ(bad.hHandle, 0u);
}

TEST_F(SoundDataTest, ReadersCostWhatTheFileHolds)
{
    constexpr size_t kMiB = size_t(1) << 20;
    using vektest::PeakMemoryOf;
    // Noise does not compress, so an entry may declare 60 MiB for 256 KiB.
    std::string wav = MakeConstantWav(44100, 1, 128 * 1024, 0);
    wav.replace(44, std::string::npos, vektest::Noise(256 * 1024));
    PutFile("lies.zip", vektest::MakeZip({{"noise.wav", wav, true, 60 * kMiB}}));
    const filename lies("{UserPath}/lies.zip/noise.wav");
    cDataManager::cSampleTarget sample;
    int result = -1;
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadSoundBuffer(&sample, lies); }),
              8 * kMiB);
    EXPECT_EQ(result, 0);
    cDataManager::cStreamTarget stream;
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadStreamBuffer(&stream, lies); }),
              8 * kMiB);
    ASSERT_EQ(result, 0);
    new vek::cSoundManager::cStreamBuffer("noise", stream.hHandle, stream.pData, false);

    // 100 MB of zeros in about 100 KB is refused before it is inflated.
    PutFile("bomb.zip", vektest::MakeZeroBombZip("zeros.wav", 100000000));
    const filename bomb("{UserPath}/bomb.zip/zeros.wav");
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadSoundBuffer(&sample, bomb); }), kMiB);
    EXPECT_EQ(result, 3);
    cDataManager::cMusicTarget music;
    EXPECT_EQ(cDataManager::ReadMusicBuffer(&music, bomb), 3);
    cDataManager::cStreamTarget none;
    EXPECT_EQ(cDataManager::ReadStreamBuffer(&none, bomb), 3);
    EXPECT_EQ(none.pData, nullptr);
    EXPECT_EQ(Count("zeros.wav is too large to read whole (100000000 bytes)"), 3);

    // A stream plays from the one copy of the file that was read.
    std::string ogg = vektest::RepoFile("tests/data/audio/tone_44k_stereo.ogg");
    ASSERT_FALSE(ogg.empty());
    ogg.append(4 * kMiB, '\0');  // trailing bytes the decoder skips
    const filename big(PutFile("big.ogg", ogg));
    EXPECT_LT(PeakMemoryOf([&] { result = cDataManager::ReadStreamBuffer(&stream, big); }),
              ogg.size() + ogg.size() / 4);
    ASSERT_EQ(result, 0);
    new vek::cSoundManager::cStreamBuffer("big", stream.hHandle, stream.pData, false);
}

TEST_F(SoundDataTest, WavWriterHeadersForStereoAndMono)
{
    std::vector<int> samples;
    for (int i = 0; i < 1000; ++i) {
        samples.push_back(i * 10);
        samples.push_back(-i * 10 + 7);
    }
    PutFile("src.wav", vektest::MakeWav(44100, 2, 16, samples));
    std::string out = WriteAndRead(Native("src.wav"), false);
    ASSERT_EQ(out.size(), 44u + 4000u);
    EXPECT_EQ(out.substr(0, 4), "RIFF");
    EXPECT_EQ(Get32(out, 4), out.size() - 8);
    EXPECT_EQ(out.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Get32(out, 16), 16u);
    EXPECT_EQ(Get16(out, 20), 1u);
    EXPECT_EQ(Get16(out, 22), 2u);
    EXPECT_EQ(Get32(out, 24), 44100u);
    EXPECT_EQ(Get32(out, 28), 176400u);
    EXPECT_EQ(Get16(out, 32), 4u);
    EXPECT_EQ(Get16(out, 34), 16u);
    EXPECT_EQ(out.substr(36, 4), "data");
    EXPECT_EQ(Get32(out, 40), 4000u);
    EXPECT_EQ(int16_t(Get16(out, 44 + 4 * 999 + 2)), -9983);

    out = WriteAndRead(Native("src.wav"), true);
    ASSERT_EQ(out.size(), 44u + 2000u);
    EXPECT_EQ(Get16(out, 22), 1u);
    EXPECT_EQ(Get32(out, 28), 88200u);
    EXPECT_EQ(Get16(out, 32), 2u);
    for (int i : {0, 1, 500, 999})
        EXPECT_EQ(int16_t(Get16(out, 44 + 2 * size_t(i))), (i * 10 + (-i * 10 + 7)) / 2) << i;

    // 8-bit sources come out as 16-bit; a path with "\" is a path too.
    PutFile("eight.wav", vektest::MakeWav(11025, 1, 8, {128, 255, 0}));
    std::string back = Native("eight.wav");
    for (char& c : back) c = c == '/' ? '\\' : c;
    out = WriteAndRead(back, false);
    ASSERT_EQ(out.size(), 44u + 6u);
    EXPECT_EQ(Get16(out, 34), 16u);
    EXPECT_EQ(int16_t(Get16(out, 46)), 127 * 256);
    EXPECT_EQ(int16_t(Get16(out, 48)), -128 * 256);
}

TEST_F(SoundDataTest, WavWriterEdgeCases)
{
    // A source that decodes to nothing gives the bare header.
    PutFile("empty.wav", MakeConstantWav(44100, 2, 0, 0));
    std::string out = WriteAndRead(Native("empty.wav"), false);
    ASSERT_EQ(out.size(), 44u);
    EXPECT_EQ(Get32(out, 4), 36u);
    EXPECT_EQ(Get32(out, 40), 0u);

    // OGG sources decode at their own rate.
    PutFile("tone.ogg", vektest::RepoFile("tests/data/audio/tone_22k_mono.ogg"));
    out = WriteAndRead(Native("tone.ogg"), false);
    ASSERT_EQ(out.size(), 44u + 22050u / 4 * 2);
    EXPECT_EQ(Get32(out, 24), 22050u);

    // Failures leave no file behind.
    const filename dest("{UserPath}/out/result.wav");
    EXPECT_EQ(cDataManager::WriteWAV(Native("missing.wav"), filename("{UserPath}/out/none.wav"), false), 4);
    EXPECT_EQ(Warnings("cDataManager", "WriteWAV: BASS_StreamCreateFile " + Native("missing.wav") + "\n"), 1);
    EXPECT_TRUE(vektest::ReadFile(m_strRoot + "/User/out/none.wav").empty());
    // Only regular files are read: a folder, a named pipe (which would block
    // for ever) and a link to an endless device are refused.
    ASSERT_EQ(mkdir(Native("folder.wav").c_str(), 0700), 0);
    ASSERT_EQ(mkfifo(Native("pipe.wav").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", Native("zero.wav").c_str()), 0);
    for (const char* name : {"folder.wav", "pipe.wav", "zero.wav"}) {
        EXPECT_EQ(cDataManager::WriteWAV(Native(name), filename("{UserPath}/out/none.wav"), false), 4) << name;
        EXPECT_EQ(Warnings("cDataManager", "WriteWAV: BASS_StreamCreateFile " + Native(name) + "\n"), 1) << name;
    }
    EXPECT_TRUE(vektest::ReadFile(m_strRoot + "/User/out/none.wav").empty());
    const filename inFolderThatIsAFile("{UserPath}/empty.wav/x.wav");
    EXPECT_EQ(cDataManager::WriteWAV(Native("empty.wav"), inFolderThatIsAFile, false), 4);
    EXPECT_EQ(Warnings("cDataManager", "WriteWAV: file not opened " + inFolderThatIsAFile.path + "\n"), 1);
    // The old file stays whole when a write fails.
    ASSERT_EQ(vektest::ReadFile(m_strRoot + "/User/out/result.wav").size(), 44u + 22050u / 4 * 2);
    vek::platform::SetReplaceHook([](const std::string&) { return false; });
    EXPECT_EQ(cDataManager::WriteWAV(Native("empty.wav"), dest, false), 4);
    vek::platform::SetReplaceHook(nullptr);
    EXPECT_EQ(vektest::ReadFile(m_strRoot + "/User/out/result.wav").size(), 44u + 22050u / 4 * 2);
}

}  // namespace
