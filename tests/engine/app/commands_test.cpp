// The engine commands without a render device: screenshot names and files,
// the screenshot folder, the engine tables, the volumes, the sections of the
// system report other subsystems write, and a display change that cannot be
// made at all.
#include "engine/app/commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "engine_fixture.h"
#include "engine/core/datamanager.h"
#include "engine/core/image.h"
#include "engine/graphics/buffers.h"
#include "engine/graphics/render.h"
#include "engine/sound/sound.h"
#include "engine/app/sysinfo.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace {

class Commands : public vektest::EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        m_strHome = std::getenv("HOME");
    }

    // A folder of its own below the test's home, in the engine's form.
    vek::filename Folder(const std::string& name)
    {
        const std::string native = m_strHome + "/" + name;
        vek::platform::MakeDir(native);
        return vek::filename(native + "/");
    }
    void Touch(const std::string& path) { ASSERT_TRUE(vektest::WriteFile(path, "x")); }

    // A 3 x 2 picture whose every byte is different.
    static std::unique_ptr<vek::cImage> Picture()
    {
        auto image = std::make_unique<vek::cImage>(vek::e_pfRGB, 3, 2, 1);
        uint8_t* p = image->GetLevel(0);
        for (int i = 0; i < 18; ++i) p[i] = static_cast<uint8_t>(10 * i + 5);
        return image;
    }

    std::string m_strHome;
};

TEST_F(Commands, ScreenShotsTakeTheFirstFreeNumber)
{
    EXPECT_EQ(vek::ScreenShotName(7), "vek07.png");
    EXPECT_EQ(vek::ScreenShotName(99), "vek99.png");

    const vek::filename folder = Folder("Shots");
    vek::string name;
    ASSERT_TRUE(vek::FindScreenShotName(folder, name));
    EXPECT_EQ(name, "vek00.png");

    for (int n = 0; n < 4; ++n) Touch(m_strHome + "/Shots/" + vek::ScreenShotName(n));
    ASSERT_TRUE(vek::FindScreenShotName(folder, name));
    EXPECT_EQ(name, "vek04.png");

    // A gap is filled first; a name in other case is taken too (writing
    // would replace that file).
    vek::platform::RemoveFile(m_strHome + "/Shots/vek01.png");
    vek::platform::RemoveFile(m_strHome + "/Shots/vek00.png");
    Touch(m_strHome + "/Shots/VEK00.PNG");
    ASSERT_TRUE(vek::FindScreenShotName(folder, name));
    EXPECT_EQ(name, "vek01.png");
}

TEST_F(Commands, AFullFolderGetsNoScreenShot)
{
    const vek::filename folder = Folder("Full");
    for (int n = 0; n < 100; ++n) Touch(m_strHome + "/Full/" + vek::ScreenShotName(n));
    vek::string name;
    EXPECT_FALSE(vek::FindScreenShotName(folder, name));

    bool read = false;
    EXPECT_FALSE(vek::SaveScreenShot(folder, [&read]() {
        read = true;
        return Picture();
    }));
    EXPECT_FALSE(read) << "nothing is read when there is no name for it";
    EXPECT_EQ(LogLinesWith("Destination folder (" + folder.path + ") is full. Erase it."), 1);
}

TEST_F(Commands, AScreenShotIsWrittenAsPngOrWarnsWhy)
{
    const vek::filename folder = Folder("Desk");
    const std::unique_ptr<vek::cImage> original = Picture();
    ASSERT_TRUE(vek::SaveScreenShot(folder, [&original]() { return original->Clone(); }));
    const vek::filename first = vek::AppendPath(folder, "vek00.png");
    EXPECT_EQ(LogLinesWith("Creating Screen Shot " + first.path + "... Ok"), 1);

    vek::cImage back;
    ASSERT_EQ(vek::cDataManager::ReadPNG(&back, first), vek::cDataManager::Ok);
    EXPECT_EQ(back.GetFormatId(), vek::e_pfRGB);
    ASSERT_EQ(back.GetWidth(), 3);
    ASSERT_EQ(back.GetHeight(), 2);
    EXPECT_EQ(std::memcmp(back.GetLevel(0), original->GetLevel(0), 18), 0);

    // No frame: a warning, and the number stays free.
    EXPECT_FALSE(vek::SaveScreenShot(folder, []() { return std::unique_ptr<vek::cImage>(); }));
    const vek::filename second = vek::AppendPath(folder, "vek01.png");
    EXPECT_EQ(LogLinesWith("Creating Screen Shot " + second.path + " failed! Can't get buffer data."), 1);
    EXPECT_FALSE(vek::platform::PathExists(m_strHome + "/Desk/vek01.png"));
    EXPECT_FALSE(vek::SaveScreenShot(folder, nullptr));

    // A folder that is a file cannot take one.
    Touch(m_strHome + "/NotAFolder");
    const vek::filename bad(m_strHome + "/NotAFolder/");
    EXPECT_FALSE(vek::SaveScreenShot(bad, [&original]() { return original->Clone(); }));
    EXPECT_EQ(LogLinesWith("failed! Error writing in file."), 1);
}

TEST_F(Commands, ScreenShotsGoToTheDesktopTheUserNamed)
{
    // Without a user-dirs file: the home's "Desktop", made when missing.
    vek::filename folder = vek::GetScreenShotFolder();
    EXPECT_TRUE(vek::platform::IsFolder(m_strHome + "/Desktop"));
    EXPECT_EQ(folder.path, vek::filename("{UserPath}/Desktop/").path);

    const char* config = std::getenv("XDG_CONFIG_HOME");
    ASSERT_NE(config, nullptr);
    ASSERT_TRUE(vektest::WriteFile(std::string(config) + "/user-dirs.dirs",
                                   "XDG_DESKTOP_DIR=\"$HOME/Bureau Partagé\"\n"));
    folder = vek::GetScreenShotFolder();
    // Made in its own case, although the engine's paths are lower case.
    EXPECT_TRUE(std::filesystem::is_directory(m_strHome + "/Bureau Partagé"));
    const std::unique_ptr<vek::cImage> picture = Picture();
    ASSERT_TRUE(vek::SaveScreenShot(folder, [&picture]() { return picture->Clone(); }));
    EXPECT_TRUE(std::filesystem::exists(m_strHome + "/Bureau Partagé/vek00.png"));
    EXPECT_FALSE(std::filesystem::exists(m_strHome + "/Desktop/vek00.png"));
    EXPECT_FALSE(std::filesystem::exists(m_strHome + "/bureau partagé"));

    // Without a render device the command itself only warns.
    EXPECT_FALSE(vek::CreateScreenShot());
    EXPECT_EQ(LogLinesWith("Can't get buffer data."), 1);
}

TEST_F(Commands, EngineTablesFollowTheWords)
{
    ASSERT_NE(vek::g_pSoundManager, nullptr) << "the engine made its sound manager";
    const std::string header = "Engine Information";
    EXPECT_TRUE(vek::DumpEngineInfo(nullptr));
    EXPECT_EQ(LogLinesWith(header), 0);

    EXPECT_TRUE(vek::DumpEngineInfo("sound"));
    EXPECT_EQ(LogLinesWith(header), 1);
    EXPECT_EQ(LogLinesWith("Sound Buffers."), 1);
    EXPECT_EQ(LogLinesWith("Music Buffers."), 0);
    EXPECT_EQ(LogLinesWith("Stream Buffers."), 0);

    EXPECT_TRUE(vek::DumpEngineInfo("stream, music"));
    EXPECT_EQ(LogLinesWith("Sound Buffers."), 1);
    EXPECT_EQ(LogLinesWith("Music Buffers."), 1);
    EXPECT_EQ(LogLinesWith("Stream Buffers."), 1);
    EXPECT_EQ(LogLinesWith("Sound manager occuped"), 0) << "the total belongs to the whole dump";

    // Everything: the sound tables in one dump with their total; the tables
    // of managers that do not exist are left out.
    EXPECT_TRUE(vek::DumpEngineInfo(""));
    EXPECT_EQ(LogLinesWith(header), 3);
    EXPECT_EQ(LogLinesWith("Sound Buffers."), 2);
    EXPECT_EQ(LogLinesWith("Stream Buffers."), 2);
    EXPECT_EQ(LogLinesWith("Sound manager occuped"), 1);
    EXPECT_EQ(LogLinesWith(std::string(79, '-')), 3) << "one closing line per dump";
}

TEST_F(Commands, TheBufferTableShowsWholeAddresses)
{
    // Without a device the buffer waits in memory, and is listed all the same.
    const bool ownRender = !vek::g_pRender && vek::CreateRender();
    const bool ownBuffers = !vek::g_pBufferRegistry && vek::CreateBufferRegistry();
    const uint8_t bytes[48] = {};
    const auto* object = vek::g_pBufferRegistry->AddVertexBuffer(0, 24, bytes, sizeof bytes);
    ASSERT_NE(object, nullptr);
    char address[40];
    std::snprintf(address, sizeof address, "| 0x%llX |",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(object->pRecord)));
    EXPECT_TRUE(vek::DumpEngineInfo("vbo"));
    EXPECT_EQ(LogLinesWith("Vertex Buffer Objects."), 1);
    EXPECT_EQ(LogLinesWith(address), 1) << address;
    if (ownBuffers) vek::DestroyBufferRegistry();
    if (ownRender) vek::DestroyRender();
}

TEST_F(Commands, VolumesReachTheSoundManager)
{
    ASSERT_NE(vek::g_pSoundManager, nullptr);
    EXPECT_TRUE(vek::SetVolumes(0.25f, 0.75f));
    EXPECT_FLOAT_EQ(vek::g_pSoundManager->GetVolume(vek::cSoundManager::e_Sound), 0.25f);
    EXPECT_FLOAT_EQ(vek::g_pSoundManager->GetVolume(vek::cSoundManager::e_Music), 0.75f);
}

TEST_F(Commands, SystemReportWritesTheEnginesOwnSections)
{
    EXPECT_TRUE(vek::DumpSystemInfo("res sound"));
    EXPECT_EQ(LogLinesWith("Resolutions:"), 1);
    EXPECT_EQ(LogLinesWith("Sound System:"), 1);
    EXPECT_EQ(LogLinesWith("Direct3D:"), 0);
    EXPECT_EQ(LogLinesWith("CPU:"), 0);

    EXPECT_TRUE(vek::DumpSystemInfo("cpu"));
    EXPECT_EQ(LogLinesWith("Resolutions:"), 1);
    EXPECT_EQ(LogLinesWith("CPU:"), 1);
}

TEST_F(Commands, AWindowThatCannotBeMadeAtAllEndsTheEngine)
{
    // No window yet: the previous client size is nothing that can be made
    // again either, so the engine quits with code 1.
    EXPECT_FALSE(vek::SetDisplayMode(true, 0, 480, 0));
    EXPECT_GE(LogLinesWith("CreateWindowEx failed!"), 2);
    EXPECT_EQ(LogLinesWith("No window can be created; the engine quits"), 1);
    EXPECT_FALSE(vek::platform::WindowSystem().HasWindow());
    vek::platform::cMessage m;
    bool quit = false;
    while (vek::platform::WindowSystem().PeekMessage(m)) {
        if (m.type == vek::platform::e_msgQuit) {
            quit = true;
            EXPECT_EQ(m.a, 1);
        }
    }
    EXPECT_TRUE(quit);
}

} // namespace
