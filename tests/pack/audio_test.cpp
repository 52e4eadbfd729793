// The pack's sounds and musics through the game's own decoders: every sample
// decodes as the mono 22050 Hz sound it claims to be, and every music loads
// through the tracker path with a length the menu and levels can loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/audio_decode.h"
#include "support/temp_dir.h"

namespace audio = vek::platform::audio;
namespace fs = std::filesystem;

namespace {

std::string DataDir()
{
    const char* repo = std::getenv("VEK_REPO_DIR");
    return std::string(repo ? repo : ".") + "/data";
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& ext)
{
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec))
        if (e.path().extension() == ext)
            out.push_back(e.path().string());
    return out;
}

class PackAudio : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(a.InitNull(44100)); }
    void TearDown() override { a.Free(); }
    audio::cAudio a;
};

TEST_F(PackAudio, EverySoundDecodesWholeAsMono22050)
{
    const auto files = FilesIn(DataDir() + "/sound", ".wav");
    ASSERT_EQ(files.size(), 34u) << "the game knows 31 sound ids and 3 GUI sounds";
    for (const auto& path : files) {
        SCOPED_TRACE(path);
        const std::string bytes = vektest::ReadFile(path);
        auto src = audio::OpenPcmSource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ASSERT_TRUE(src);
        EXPECT_EQ(src->uRate, 22050u);
        EXPECT_EQ(src->uChannels, 1u);
        EXPECT_EQ(src->uSourceBits, 16u);
        EXPECT_FALSE(src->bDataCut);
        const auto pcm = audio::DecodeAll(*src);
        EXPECT_EQ(int64_t(pcm.size()), src->iTotalFrames);
        EXPECT_GT(pcm.size(), 22050u / 50) << "shorter than 20 ms";

        bool cut = true;
        const audio::tHandle s = a.SampleLoad(bytes.data(), bytes.size(), 3, 0, &cut);
        EXPECT_NE(s, 0u);
        EXPECT_FALSE(cut);
    }
}

TEST_F(PackAudio, EveryMusicLoadsWithItsOrdersAndOneToTwoMinutes)
{
    for (const char* name : {"music_menu", "music0", "music1"}) {
        SCOPED_TRACE(name);
        const std::string bytes = vektest::ReadFile(DataDir() + "/music/" + name + ".mod");
        ASSERT_FALSE(bytes.empty());
        const audio::tHandle m = a.MusicLoad(bytes.data(), bytes.size(), audio::e_flagPrescan);
        ASSERT_NE(m, 0u);
        EXPECT_GE(a.ChannelGetLength(m, audio::e_posMusicOrder), 4);
        // 44100 Hz stereo 16-bit.
        const double seconds = double(a.ChannelGetLength(m, audio::e_posByte)) / 176400.0;
        EXPECT_GE(seconds, 60.0);
        EXPECT_LE(seconds, 120.0);
        // It sounds from the start.
        ASSERT_TRUE(a.ChannelPlay(m, false));
        std::vector<int16_t> out(2 * 44100);
        a.RenderForTest(out.data(), 44100);
        int peak = 0;
        for (int16_t v : out)
            peak = std::max(peak, std::abs(int(v)));
        EXPECT_GT(peak, 1000);
        a.MusicFree(m);
    }
}

TEST_F(PackAudio, EveryMusicLoopsPastItsIntroWithTheLoopFlag)
{
    for (const char* name : {"music_menu", "music0", "music1"}) {
        SCOPED_TRACE(name);
        const std::string bytes = vektest::ReadFile(DataDir() + "/music/" + name + ".mod");
        const audio::tHandle m = a.MusicLoad(bytes.data(), bytes.size(), audio::e_flagPrescan);
        ASSERT_NE(m, 0u);
        const int64_t orders = a.ChannelGetLength(m, audio::e_posMusicOrder);
        ASSERT_GE(orders, 2);
        a.ChannelFlags(m, audio::e_flagLoop, audio::e_flagLoop);
        ASSERT_TRUE(a.ChannelSetPosition(m, uint64_t(orders - 1), audio::e_posMusicOrder));
        ASSERT_TRUE(a.ChannelPlay(m, false));
        // The last order lasts at most 64 rows of 6 ticks at 90 BPM or more:
        // about 10.7 s. Afterwards the music plays on from the first verse,
        // not from the intro, which sets the tempo.
        std::vector<int16_t> out(2 * 44100);
        for (int s = 0; s < 12; ++s)
            a.RenderForTest(out.data(), 44100);
        EXPECT_EQ(a.ChannelIsActive(m), audio::e_playing);
        EXPECT_EQ(a.ChannelGetPosition(m, audio::e_posMusicOrder) & 0xffff, 1);
        a.MusicFree(m);
    }
}

}  // namespace
