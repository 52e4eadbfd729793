// Sprite areas: how nodes are cut into frames, the pixel form against the
// texture manager, name lookups, the registry and the sprite lookup.
#include <gtest/gtest.h>

#include <string>

#include "engine/graphics/texture.h"
#include "game/shell/sprite_fixture.h"
#include "game/shell/texture_info.h"

namespace {

using spritetest::MakeTexture;
using vek::rectf;

const char* const kMissingTexture = "[AddNode] Can't find texture with this name: ";

void ExpectRect(const rectf& r, float x, float y, float w, float h)
{
    EXPECT_FLOAT_EQ(r.x, x);
    EXPECT_FLOAT_EQ(r.y, y);
    EXPECT_FLOAT_EQ(r.w, w);
    EXPECT_FLOAT_EQ(r.h, h);
}

class SpriteAreas : public spritetest::SpriteFixture {};

// ---------------------------------------------------------------- frames

TEST_F(SpriteAreas, FramesRunFromTheTopRowLeftToRight)
{
    auto* info = new cTextureInfo("sheet", false);
    const int index = info->AddNode("walk", rectf(0, 0, 1, 1), 4, 2);
    EXPECT_EQ(index, 0);
    const cTextureInfo::cNode& node = info->GetNode(0);
    ASSERT_EQ(node.frames.size(), 8u);
    EXPECT_FLOAT_EQ(node.fRate, 30.0f);
    for (int k = 0; k < 8; ++k)
        ExpectRect(node.frames[size_t(k)], 0.25f * float(k % 4), k < 4 ? 0.5f : 0.0f, 0.25f, 0.5f);

    // An inner rectangle: the rows start at its own top edge, not the texture's.
    info->AddNode("inner", rectf(0.5f, 0.25f, 0.5f, 0.5f), 2, 2, 12.0f);
    const cTextureInfo::cNode& inner = info->GetNode(1);
    ASSERT_EQ(inner.frames.size(), 4u);
    EXPECT_FLOAT_EQ(inner.fRate, 12.0f);
    ExpectRect(inner.frames[0], 0.5f, 0.5f, 0.25f, 0.25f);
    ExpectRect(inner.frames[1], 0.75f, 0.5f, 0.25f, 0.25f);
    ExpectRect(inner.frames[2], 0.5f, 0.25f, 0.25f, 0.25f);
    ExpectRect(inner.frames[3], 0.75f, 0.25f, 0.25f, 0.25f);
}

TEST_F(SpriteAreas, CountsBelowOneActAsOne)
{
    auto* info = new cTextureInfo("sheet", false);
    EXPECT_EQ(info->AddNode("flat", 0, -3), 0);
    ASSERT_EQ(info->GetNode(0).frames.size(), 1u);
    ExpectRect(info->GetNode(0).frames[0], 0, 0, 1, 1);

    EXPECT_EQ(info->AddNode("row", 3, 0, 6.0f), 1);
    EXPECT_EQ(info->GetNode(1).frames.size(), 3u);
    EXPECT_FLOAT_EQ(info->GetNode(1).fRate, 6.0f);
}

TEST_F(SpriteAreas, ShortFormsFillWholeTextureOneFrameAndRateThirty)
{
    auto* info = new cTextureInfo("sheet", false);
    info->AddNode("name");
    info->AddNode("rect", rectf(0.5f, 0.5f, 0.25f, 0.25f));
    const cTextureInfo::cNode& a = info->GetNode(0);
    const cTextureInfo::cNode& b = info->GetNode(1);
    ASSERT_EQ(a.frames.size(), 1u);
    ExpectRect(a.frames[0], 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(a.fRate, 30.0f);
    ASSERT_EQ(b.frames.size(), 1u);
    ExpectRect(b.frames[0], 0.5f, 0.5f, 0.25f, 0.25f);
    EXPECT_FLOAT_EQ(b.fRate, 30.0f);
}

// A script asking for absurd counts must not make the process allocate
// gigabytes (or overflow the product): the node keeps one frame.
TEST_F(SpriteAreas, AbsurdCountsGiveOneFrameAndAWarning)
{
    auto* info = new cTextureInfo("sheet", false);
    EXPECT_EQ(info->AddNode("huge", 100000, 100000), 0);
    ASSERT_EQ(info->GetNode(0).frames.size(), 1u);
    ExpectRect(info->GetNode(0).frames[0], 0, 0, 1, 1);
    EXPECT_EQ(Logged("[AddNode] 'huge': 10000000000 frames are too many; one frame used"), 1);
    // The largest count still taken as asked.
    info->AddNode("big", 256, 256);
    EXPECT_EQ(info->GetNode(1).frames.size(), 65536u);
}

// ---------------------------------------------------------------- pixel form

TEST_F(SpriteAreas, PixelRectangleOnALoadedTextureBecomesUv)
{
    MakeTexture("sheet", 256, 128);
    auto* info = new cTextureInfo("sheet", false);
    info->AddNode("box", vek::recti(64, 32, 128, 64));
    ExpectRect(info->GetNode(0).frames[0], 0.25f, 0.25f, 0.5f, 0.5f);

    info->AddNode("strip", vek::recti(0, 64, 256, 64), 4, 1, 12.0f);
    const cTextureInfo::cNode& strip = info->GetNode(1);
    ASSERT_EQ(strip.frames.size(), 4u);
    EXPECT_FLOAT_EQ(strip.fRate, 12.0f);
    ExpectRect(strip.frames[3], 0.75f, 0.5f, 0.25f, 0.5f);
    EXPECT_EQ(Logged(kMissingTexture), 0);
}

TEST_F(SpriteAreas, PixelFormWithoutTheTextureAddsTheWholeTextureAtThirty)
{
    auto* info = new cTextureInfo("absent", false);
    const int index = info->AddNode("box", vek::recti(64, 32, 128, 64), 4, 4, 12.0f);
    EXPECT_EQ(index, 0);
    const cTextureInfo::cNode& node = info->GetNode(0);
    ASSERT_EQ(node.frames.size(), 1u);
    ExpectRect(node.frames[0], 0, 0, 1, 1);
    EXPECT_FLOAT_EQ(node.fRate, 30.0f);
    EXPECT_EQ(Logged(std::string(kMissingTexture) + "absent"), 1);
    // The area is still found by name.
    EXPECT_EQ(info->FindNode("box"), 0u);
}

// A texture that reports no size has nothing to divide by: it counts as
// not loaded instead of giving infinite or NaN coordinates.
TEST_F(SpriteAreas, PixelFormOnATextureWithoutSizeCountsAsNotLoaded)
{
    new vek::cTexture(nullptr, "empty", false);
    new vek::cTexture("target", 0, 64, false);
    auto* empty = new cTextureInfo("empty", false);
    auto* target = new cTextureInfo("target", false);
    empty->AddNode("a", vek::recti(1, 2, 3, 4), 2, 2, 5.0f);
    target->AddNode("b", vek::recti(1, 2, 3, 4));
    for (const cTextureInfo* info : {empty, target}) {
        const cTextureInfo::cNode& node = info->GetNode(0);
        ASSERT_EQ(node.frames.size(), 1u);
        ExpectRect(node.frames[0], 0, 0, 1, 1);
        EXPECT_FLOAT_EQ(node.fRate, 30.0f);
    }
    EXPECT_EQ(Logged(std::string(kMissingTexture) + "empty"), 1);
    EXPECT_EQ(Logged(std::string(kMissingTexture) + "target"), 1);
}

// ---------------------------------------------------------------- names

TEST_F(SpriteAreas, NodeNamesAreComparedExactlyAndTheFirstWins)
{
    auto* info = new cTextureInfo("sheet", false);
    EXPECT_EQ(info->FindNode("any"), 0u) << "no nodes: the count";
    EXPECT_EQ(info->GetNode(0).name, "unnamed");

    info->AddNode("twin", rectf(0, 0, 0.5f, 0.5f));
    info->AddNode("twin", rectf(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_EQ(info->FindNode("twin"), 0u);
    ExpectRect(info->GetNode(1).frames[0], 0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(info->GetFrames("twin"), info->GetNode(0).frames.data());

    EXPECT_EQ(info->FindNode("Twin"), 2u);
    EXPECT_EQ(info->FindNode("twin "), 2u);
    EXPECT_EQ(info->FindNode("twi"), 2u);
    // A missing area yields the default node's single whole-texture frame.
    const rectf* fallback = info->GetFrames("Twin");
    ExpectRect(fallback[0], 0, 0, 1, 1);
    EXPECT_EQ(fallback, info->GetNode(99).frames.data());
    EXPECT_FLOAT_EQ(info->GetNode(99).fRate, 30.0f);
}

// ---------------------------------------------------------------- registry

TEST_F(SpriteAreas, RegistryHoldsTheDefaultInfoAndFindsTheFirstOfAName)
{
    cTextureInfo* fallback = g_pTextureInfos->Get(0);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->GetName(), "unnamed");
    ASSERT_EQ(fallback->GetNodeCount(), 1u);
    EXPECT_EQ(fallback->GetNode(0).name, "unnamed");
    ExpectRect(fallback->GetNode(0).frames[0], 0, 0, 1, 1);

    auto* first = new cTextureInfo("icons", true);  // the reserved slot is taken: appended
    auto* second = new cTextureInfo("icons", false);
    EXPECT_EQ(first->GetId(), 1u);
    EXPECT_EQ(second->GetId(), 2u);
    EXPECT_EQ(FindTextureInfo("icons"), first);
    EXPECT_EQ(FindTextureInfo("Icons"), fallback);
    EXPECT_EQ(FindTextureInfo("nothing"), fallback);

    // The second info's areas are never found by name.
    MakeTexture("icons", 64, 64);
    second->AddNode("star");
    cSprite sprite;
    EXPECT_EQ(FindSprite("icons", "star", &sprite), e_spriteNoArea);
    EXPECT_EQ(sprite.iTexture, 0);
}

TEST_F(SpriteAreas, CreatingTwiceKeepsTheRegistryAndDestroyingTwiceIsHarmless)
{
    new cTextureInfo("kept", false);
    cTextureInfos* registry = g_pTextureInfos;
    EXPECT_FALSE(CreateTextureInfos());
    EXPECT_EQ(g_pTextureInfos, registry);
    EXPECT_NE(FindTextureInfo("kept")->GetId(), 0u);
    EXPECT_EQ(Logged("Already exist"), 1);

    EXPECT_TRUE(DestroyTextureInfos());
    EXPECT_EQ(g_pTextureInfos, nullptr);
    EXPECT_FALSE(DestroyTextureInfos());
    EXPECT_EQ(Logged("Ok"), 4 + 1 /* texture manager */) << "two creations, two destructions";
    EXPECT_EQ(FindTextureInfo("kept"), nullptr);

    // An info made without a registry is kept (and freed at exit) instead
    // of being lost; the sanitizer's leak check watches it.
    auto* stray = new cTextureInfo("stray", false);
    stray->AddNode("a");
    EXPECT_EQ(Logged("no texture-info registry"), 1);
    ASSERT_TRUE(CreateTextureInfos());
}

// ---------------------------------------------------------------- sprite lookup

TEST_F(SpriteAreas, SpriteLookupTellsEveryMissingStep)
{
    MakeTexture("plain", 64, 64);  // a texture without areas
    MakeTexture("sheet", 256, 128);
    auto* info = new cTextureInfo("sheet", false);
    info->AddNode("walk", vek::recti(0, 0, 128, 64), 4, 2, 8.0f);
    new cTextureInfo("ghost", false);  // areas, but no texture

    cSprite sprite;
    EXPECT_EQ(FindSprite("sheet", "walk", &sprite), e_spriteFound);
    EXPECT_NE(sprite.iTexture, 0);
    // Each failure clears what the earlier lookup left in the record.
    EXPECT_EQ(FindSprite("ghost", "walk", &sprite), e_spriteNoTexture);
    EXPECT_EQ(sprite.iTexture, 0);
    EXPECT_EQ(sprite.pFrames, nullptr);
    EXPECT_EQ(sprite.iFrameCount, 0);
    EXPECT_EQ(FindSprite("plain", "walk", &sprite), e_spriteNoInfo);
    EXPECT_EQ(sprite.iTexture, 0);
    EXPECT_EQ(FindSprite("sheet", "run", &sprite), e_spriteNoArea);
    EXPECT_EQ(sprite.iTexture, 0);
    EXPECT_EQ(sprite.pFrames, nullptr);
    EXPECT_EQ(FindSprite("SHEET", "walk", &sprite), e_spriteNoTexture);
    // "unnamed" names the default texture (id 0): not a sprite.
    EXPECT_EQ(FindSprite("unnamed", "unnamed", &sprite), e_spriteNoTexture);
}

TEST_F(SpriteAreas, FoundSpriteCarriesFramesPixelSizeAndFrameTime)
{
    vek::cTexture* texture = MakeTexture("sheet", 256, 128);
    auto* info = new cTextureInfo("sheet", false);
    info->AddNode("walk", vek::recti(0, 0, 128, 64), 4, 2, 8.0f);
    info->AddNode("still", rectf(0, 0, 0.5f, 0.25f), 1, 1, 0.0f);

    cSprite sprite;
    ASSERT_EQ(FindSprite("sheet", "walk", &sprite), e_spriteFound);
    EXPECT_EQ(uint32_t(sprite.iTexture), texture->GetId());
    EXPECT_EQ(sprite.pFrames, info->GetFrames("walk"));
    EXPECT_EQ(sprite.iFrameCount, 8);
    EXPECT_FLOAT_EQ(sprite.fWidth, 32.0f);
    EXPECT_FLOAT_EQ(sprite.fHeight, 32.0f);
    EXPECT_FLOAT_EQ(sprite.fFrameTime, 0.125f);
    EXPECT_EQ(sprite.iHolderFrame, 0);
    EXPECT_FLOAT_EQ(sprite.fHolderTime, 0.0f);

    ASSERT_EQ(FindSprite("sheet", "still", &sprite), e_spriteFound);
    EXPECT_FLOAT_EQ(sprite.fFrameTime, 1.0f / 30.0f) << "rate 0";
    EXPECT_FLOAT_EQ(sprite.fWidth, 128.0f);
    EXPECT_FLOAT_EQ(sprite.fHeight, 32.0f);
}

// Records keep pointing at the frames while the info gains more areas (a
// ".tex" run again, areas added by later scripts).
TEST_F(SpriteAreas, FramesStayPutWhileTheInfoGrows)
{
    MakeTexture("sheet", 64, 64);
    auto* info = new cTextureInfo("sheet", false);
    info->AddNode("first", 2, 2);
    cSprite sprite;
    ASSERT_EQ(FindSprite("sheet", "first", &sprite), e_spriteFound);
    for (int i = 0; i < 200; ++i) info->AddNode("more" + std::to_string(i), 3, 3);
    EXPECT_EQ(sprite.pFrames, info->GetFrames("first"));
    ExpectRect(sprite.pFrames[3], 0.5f, 0.0f, 0.5f, 0.5f);
}

TEST_F(SpriteAreas, LookupWithoutManagersFindsNothing)
{
    MakeTexture("sheet", 64, 64);
    new cTextureInfo("sheet", false);
    DestroyTextureInfos();
    cSprite sprite;
    EXPECT_EQ(FindSprite("sheet", "unnamed", &sprite), e_spriteNoInfo);
    vek::DestroyTextureManager();
    EXPECT_EQ(FindSprite("sheet", "unnamed", &sprite), e_spriteNoTexture);
    auto* info = new cTextureInfo("late", false);
    EXPECT_EQ(info->AddNode("p", vek::recti(0, 0, 8, 8)), 0);
    ASSERT_TRUE(CreateTextureInfos());
}

} // namespace
