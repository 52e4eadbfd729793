#pragma once
// A sound manager on the null output with a real log, for the sound tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/sound/sound.h"
#include "platform/audio.h"
#include "platform/audio_test_sounds.h"
#include "support/temp_dir.h"
#include "support/zip_files.h"

namespace vektest {

// A ZIP archive of stored (uncompressed) entries.
inline std::string MakeStoredZip(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::vector<ZipEntry> zipEntries;
    for (const auto& entry : entries) zipEntries.push_back({entry.first, entry.second});
    return MakeZip(zipEntries);
}

class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = MakeTempDir("Sound");
        ASSERT_FALSE(m_strRoot.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strRoot + "/App");
        vek::SetPathMacro(vek::e_macroUserPath, m_strRoot + "/User");
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
        vek::platform::audio::UseNullOutputForDefaultDevice(true);
        if (m_bCreateManager) {
            ASSERT_TRUE(vek::CreateSoundManager());
        }
    }
    void TearDown() override
    {
        if (vek::g_pSoundManager) vek::DestroySoundManager();
        vek::platform::audio::UseNullOutputForDefaultDevice(false);
        m_pLog.reset();
    }

    // Writes bytes as "{UserPath}/" + name and returns that engine name.
    std::string PutFile(const std::string& name, const std::string& bytes)
    {
        EXPECT_TRUE(WriteFile(m_strRoot + "/User/" + name, bytes));
        return "{UserPath}/" + name;
    }
    // A sample buffer named name made from a file, as the loading job does.
    uint32_t AddSample(const std::string& name, const std::string& bytes, unsigned max)
    {
        vek::cDataManager::cSampleTarget t;
        t.uMaxPlay = max;
        const int rc = vek::cDataManager::ReadSoundBuffer(&t, vek::filename(PutFile(name + ".wav", bytes)));
        EXPECT_EQ(rc, 0);
        new vek::cSoundManager::cSoundBuffer(name, t.hHandle, false);
        return vek::g_pSoundManager->m_SoundBuffers.Find(name);
    }
    void AddModule(const std::string& name, const std::string& bytes)
    {
        vek::cDataManager::cMusicTarget t;
        ASSERT_EQ(vek::cDataManager::ReadMusicBuffer(&t, vek::filename(PutFile(name + ".mod", bytes))), 0);
        new vek::cSoundManager::cMusicBuffer(name, t.hHandle, false);
    }
    std::vector<int16_t> Render(size_t frames)
    {
        std::vector<int16_t> out(frames * 2);
        vek::platform::audio::Audio().RenderForTest(out.data(), frames);
        return out;
    }

    // How often the log holds a warning of that sender with that text.
    int Warnings(const std::string& sender, const std::string& text) const
    {
        return Count(sender + ": </span><span class='warning'>" + Escaped(text));
    }
    // How often the log holds the plain text.
    int Count(const std::string& needle) const
    {
        const std::string log = ReadFile(m_strRoot + "/App/_log.html");
        int n = 0;
        for (size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1)) ++n;
        return n;
    }
    static std::string Escaped(const std::string& text)
    {
        std::string out;
        bool span = false;
        vek::cLogFile::Escape(out, text, span);
        return out;
    }

    bool m_bCreateManager = true;
    std::string m_strRoot;
    std::unique_ptr<vek::cLog> m_pLog;
};

}  // namespace vektest
