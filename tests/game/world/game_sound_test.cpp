// The game's sounds by id on the null audio output, and the sprite lookup
// over the texture-info registry.
#include "game/world/game_sound.h"

#include <gtest/gtest.h>

#include "engine/graphics/texture.h"
#include "engine/sound/sound_fixture.h"
#include "game/shell/garden.h"
#include "game/shell/sprite_fixture.h"
#include "game/shell/texture_info.h"

namespace {

using vektest::MakeConstantWav;
using vektest::Peak;

class GameSoundTest : public vektest::SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        // Each sample a different constant, so the output tells which played.
        for (int id = 0; id < kGameSoundCount; ++id)
            AddSample(g_aGameSoundNames[id], MakeConstantWav(44100, 1, 400, 1000 + 10 * id), 1);
        AddSample("click", MakeConstantWav(44100, 1, 400, 500), 1);
        m_pGarden = new cGarden();
        m_pGarden->ParseResources();
        // The game object halves the sound volume; back to full for exact
        // values.
        vek::g_pSoundManager->SetVolume(vek::cSoundManager::e_Sound, 1.0f);
    }
    void TearDown() override
    {
        delete m_pGarden;
        SoundFixture::TearDown();
    }
    cGarden* m_pGarden = nullptr;
};

TEST_F(GameSoundTest, EachLoadedIdPlaysItsSoundToTheEnd)
{
    for (unsigned id = 0; id < 31; ++id) {
        SCOPED_TRACE(id);
        m_pGarden->PlayGameSound(id);  // the temporary is gone at once
        const std::vector<int16_t> out = Render(500);
        EXPECT_EQ(out[0], static_cast<int16_t>(1000 + 10 * id));
        EXPECT_EQ(out[2 * 399], static_cast<int16_t>(1000 + 10 * id));
        EXPECT_EQ(out[2 * 400], 0);
    }
}

TEST_F(GameSoundTest, UnknownOrUnloadedIdsAreSilent)
{
    for (unsigned id : {31u, 1000u, 0xFFFFFFFFu}) {
        m_pGarden->PlayGameSound(id);
        EXPECT_EQ(Peak(Render(100), 0, 200), 0) << id;
    }
    // A sound the table lost (not loaded) plays nothing, also not the
    // default sound, and logs nothing on each call.
    const int warnings = Count("Play: invalid sound");
    m_pGarden->m_SoundTable[5] = 0;
    m_pGarden->PlayGameSound(5);
    m_pGarden->PlayGameSound(5);
    EXPECT_EQ(Peak(Render(100), 0, 200), 0);
    EXPECT_EQ(Count("Play: invalid sound"), warnings);
}

// The sprite lookup on a texture manager without a device.
using SpriteLookup = spritetest::SpriteFixture;

TEST_F(SpriteLookup, FindsAreasAndLeavesMissingOnesEmpty)
{
    spritetest::MakeTexture("icons00", 256, 128);
    spritetest::MakeTexture("bare", 64, 64);  // no areas registered
    auto* info = new cTextureInfo("icons00", false);
    info->AddNode("target", vek::rectf(0.0f, 0.5f, 0.125f, 0.25f), 2, 1, 0.0f);
    info->AddNode("fast", vek::rectf(0.5f, 0.0f, 0.5f, 0.5f), 1, 1, 10.0f);
    info->nodes.push_back(cTextureInfo::cNode{"empty", 30.0f, {}});

    cSprite sprite;
    sprite.iHolderFrame = 7;
    EXPECT_TRUE(LookUpSprite("icons00", "target", &sprite));
    EXPECT_NE(sprite.iTexture, 0);
    ASSERT_NE(sprite.pFrames, nullptr);
    EXPECT_EQ(sprite.iFrameCount, 2);
    EXPECT_EQ(sprite.iHolderFrame, 0);
    EXPECT_FLOAT_EQ(sprite.fWidth, 256.0f * 0.0625f);  // one of two columns
    EXPECT_FLOAT_EQ(sprite.fHeight, 128.0f * 0.25f);
    EXPECT_FLOAT_EQ(sprite.fFrameTime, 1.0f / 30.0f);  // rate 0
    EXPECT_TRUE(LookUpSprite("icons00", "fast", &sprite));
    EXPECT_FLOAT_EQ(sprite.fFrameTime, 0.1f);

    const struct {
        const char* texture;
        const char* area;
    } missing[] = {{"nothing", "target"}, {"bare", "target"}, {"icons00", "Target"}, {"icons00", "empty"}};
    for (const auto& m : missing) {
        SCOPED_TRACE(std::string(m.texture) + ":" + m.area);
        sprite.iTexture = 99;
        sprite.iFrameCount = 3;
        EXPECT_FALSE(LookUpSprite(m.texture, m.area, &sprite));
        EXPECT_EQ(sprite.iTexture, 0);
        EXPECT_EQ(sprite.pFrames, nullptr);
        EXPECT_EQ(sprite.iFrameCount, 0);
        EXPECT_EQ(sprite.fWidth, 0.0f);
    }
}

} // namespace
