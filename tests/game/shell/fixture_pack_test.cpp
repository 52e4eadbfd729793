// The test data pack: every file it writes is read by the engine's own
// readers and runs in the script host, so later tests can rely on it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/script.h"
#include "engine/graphics/font.h"
#include "engine/graphics/texture.h"
#include "engine/sound/sound.h"
#include "game/shell/sprite_fixture.h"
#include "game/shell/texture_info.h"
#include "platform/audio.h"
#include "support/fixture_pack.h"

namespace {

using vek::cDataManager;
using vek::filename;
using vektest::FixturePack;
using vektest::PackArea;

class FixturePackTest : public spritetest::DataBindFixture {
protected:
    void SetUp() override
    {
        DataBindFixture::SetUp();
        if (HasFatalFailure()) return;
        m_pPack = std::make_unique<FixturePack>(m_strDir + "/data");
    }
    void TearDown() override
    {
        if (vek::g_pSoundManager) vek::DestroySoundManager();
        vek::platform::audio::UseNullOutputForDefaultDevice(false);
        DataBindFixture::TearDown();
    }

    // Reads the picture with the engine's reader and makes the texture the
    // loader would make (named by the file's name part).
    std::unique_ptr<vek::cImage> LoadPicture(const std::string& path, const char* name)
    {
        auto image = std::make_unique<vek::cImage>();
        EXPECT_EQ(cDataManager::ReadImage(filename(path), image.get()), cDataManager::Ok) << path;
        new vek::cTexture(image.get(), name, false);
        return image;
    }

    // R G B A of a pixel of an RGBA picture; row 0 is the bottom row.
    static std::string Pixel(const vek::cImage& image, int x, int y)
    {
        const uint8_t* p = image.GetLevel(0) + (size_t(y) * size_t(image.GetWidth()) + size_t(x)) * 4;
        return std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]) + " " +
               std::to_string(p[3]);
    }

    std::unique_ptr<FixturePack> m_pPack;
};

TEST_F(FixturePackTest, TextureAndItsAreasLoadAndResolve)
{
    const std::string path = m_pPack->Texture(
        "texture/gui/buttons", 128, 64,
        {PackArea{"red", 0, 32, 64, 32}, PackArea{"blink", 0, 0, 128, 32, 4, 1, 12.0f}});
    ASSERT_TRUE(m_pPack->Ok());
    EXPECT_EQ(path, "{StaticPath}/texture/gui/buttons");

    auto image = LoadPicture(path + ".png", "buttons");
    ASSERT_EQ(image->GetWidth(), 128);
    ASSERT_EQ(image->GetHeight(), 64);
    ASSERT_EQ(image->GetFormatId(), vek::e_pfRGBA);
    // Rows are stored bottom first: blue bottom left, white bottom right,
    // red top left, green top right.
    EXPECT_EQ(Pixel(*image, 0, 0), "0 0 255 255");
    EXPECT_EQ(Pixel(*image, 127, 0), "255 255 255 255");
    EXPECT_EQ(Pixel(*image, 0, 63), "255 0 0 255");
    EXPECT_EQ(Pixel(*image, 127, 63), "0 255 0 255");

    ASSERT_TRUE(vek::GetScript()->LoadFile(filename(path + ".tex")));
    cSprite sprite;
    ASSERT_EQ(FindSprite("buttons", "red", &sprite), e_spriteFound);
    EXPECT_EQ(sprite.iFrameCount, 1);
    EXPECT_FLOAT_EQ(sprite.pFrames[0].y, 0.5f) << "the red quadrant is the upper half in uv";
    EXPECT_FLOAT_EQ(sprite.fWidth, 64.0f);
    ASSERT_EQ(FindSprite("buttons", "blink", &sprite), e_spriteFound);
    EXPECT_EQ(sprite.iFrameCount, 4);
    EXPECT_FLOAT_EQ(sprite.fWidth, 32.0f);
    EXPECT_FLOAT_EQ(sprite.fFrameTime, 1.0f / 12.0f);
    EXPECT_EQ(Logged("Can't find texture"), 0);
}

TEST_F(FixturePackTest, JpegTextureWithoutAreas)
{
    const std::string path = m_pPack->Texture("texture/system/back", 64, 32, {}, vektest::PackImage::Jpeg);
    ASSERT_TRUE(m_pPack->Ok());
    auto image = LoadPicture(path + ".jpg", "back");
    EXPECT_EQ(image->GetWidth(), 64);
    EXPECT_EQ(image->GetHeight(), 32);
    EXPECT_FALSE(vektest::ReadFile(m_pPack->Native("texture/system/back.jpg")).empty());
    EXPECT_TRUE(vektest::ReadFile(m_pPack->Native("texture/system/back.tex")).empty());
}

TEST_F(FixturePackTest, FontPictureAndScriptMakeAFont)
{
    const std::string path = m_pPack->Font("font/main", 10);
    ASSERT_TRUE(m_pPack->Ok());
    auto image = LoadPicture(path + ".png", "main");
    ASSERT_TRUE(vek::GetScript()->LoadFile(filename(path + ".lua")));

    const uint32_t id = vek::g_pFontManager->Find("main");
    ASSERT_NE(id, 0u);
    const vek::cFont* font = vek::g_pFontManager->Get(id);
    EXPECT_EQ(uint32_t(font->iTexture), vek::g_pTextureManager->Find("main"));
    // "A" is character 65: cell 33, column 1, row 2 counted from the top.
    const vek::cFont::cGlyph& a = font->Glyph('A');
    EXPECT_FLOAT_EQ(a.width, 10.0f);
    EXPECT_FLOAT_EQ(a.advance, 11.0f);
    EXPECT_FLOAT_EQ(a.u, 16.0f / 256.0f);
    EXPECT_FLOAT_EQ(a.v, 1.0f - 48.0f / 128.0f);
    // The glyph box is painted where the uv says: opaque inside, clear beside.
    const int x = int(a.u * 256.0f), y = int(a.v * 128.0f);
    EXPECT_EQ(Pixel(*image, x, y), "255 255 255 255");
    EXPECT_EQ(Pixel(*image, x + 12, y), "0 0 0 0");
}

TEST_F(FixturePackTest, SoundsModuleAndStreamLoadOnTheNullOutput)
{
    vek::platform::audio::UseNullOutputForDefaultDevice(true);
    ASSERT_TRUE(vek::CreateSoundManager());
    const std::string click = m_pPack->Sound("sound/click");
    const std::string song = m_pPack->Module("music/song");
    const std::string tone = m_pPack->Stream("music/tone");
    ASSERT_TRUE(m_pPack->Ok()) << "VEK_REPO_DIR must point at the repository";

    cDataManager::cSampleTarget sample;
    ASSERT_EQ(cDataManager::ReadSoundBuffer(&sample, filename(click)), cDataManager::Ok);
    new vek::cSoundManager::cSoundBuffer("click", sample.hHandle, false);
    cDataManager::cMusicTarget music;
    ASSERT_EQ(cDataManager::ReadMusicBuffer(&music, filename(song)), cDataManager::Ok);
    new vek::cSoundManager::cMusicBuffer("song", music.hHandle, false);
    cDataManager::cStreamTarget stream;
    ASSERT_EQ(cDataManager::ReadStreamBuffer(&stream, filename(tone)), cDataManager::Ok);
    new vek::cSoundManager::cStreamBuffer("tone", stream.hHandle, stream.pData, false);
    EXPECT_EQ(Logged("cut short"), 0);
}

// The loading script names one job per resource in the order written; the
// job classes are stood in for by Lua functions that record their calls.
TEST_F(FixturePackTest, LoadingScriptQueuesEveryResourceInOrder)
{
    m_pPack->Texture("texture/a", 8, 8);
    m_pPack->Font("font/f");
    m_pPack->Sound("sound/s");
    m_pPack->Module("music/m");
    m_pPack->Stream("music/o");
    const std::string loading = m_pPack->LoadingScript();
    ASSERT_TRUE(m_pPack->Ok());
    EXPECT_EQ(loading, "{StaticPath}/conf/loading.lua");

    ASSERT_EQ(Try("jobs = ''\n"
                  "local function job(kind) return function(path, flag)\n"
                  "  jobs = jobs .. kind .. ' ' .. path .. ' ' .. tostring(flag) .. ';'\n"
                  "end end\n"
                  "cLoadTexture, cLoadFont = job('texture'), job('font')\n"
                  "cLoadSound, cLoadMusic, cLoadStream = job('sound'), job('music'), job('stream')"),
              "");
    ASSERT_TRUE(vek::GetScript()->LoadFile(filename(loading)));
    EXPECT_EQ(Global("jobs"),
              "texture {StaticPath}/texture/a nil;"
              "font {StaticPath}/font/f nil;"
              "sound {StaticPath}/sound/s.wav false;"
              "music {StaticPath}/music/m.mod false;"
              "stream {StaticPath}/music/o.ogg false;");
}

TEST_F(FixturePackTest, GuiScriptDefinesFillWindow)
{
    m_pPack->GuiScript("bare");
    const std::string made = m_pPack->GuiScript("one_label", "  filled = window ~= nil");
    ASSERT_TRUE(m_pPack->Ok());

    ASSERT_TRUE(vek::GetScript()->LoadFile(filename("{StaticPath}/gui/bare.lua")));
    EXPECT_EQ(Try("assert(type(FillWindow) == 'function') FillWindow(nil)"), "");
    ASSERT_TRUE(vek::GetScript()->LoadFile(filename(made)));
    EXPECT_EQ(Try("FillWindow(theGUI)"), "");
    EXPECT_EQ(Global("filled"), "true");
}

} // namespace
