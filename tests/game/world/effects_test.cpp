#include "game/world/effects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/graphics/draw2d.h"
#include "game/shell/sprite_fixture.h"
#include "game/world/game_sound.h"
#include "game/world/training.h"

namespace {

// Quads of a batch as (alpha, x of the left edge, u of the left edge).
struct cQuad {
    uint32_t alpha;
    float x, y, u;
};

std::vector<cQuad> Quads(const vek::cQuadBatch& batch)
{
    std::vector<cQuad> out;
    uint32_t total = 0;
    for (uint32_t r = 0; r < batch.uRunCount; ++r) total = std::max(total, batch.GetRuns()[r].uFirst + batch.GetRuns()[r].uCount);
    for (uint32_t v = 0; v + 5 < total; v += 6) {
        const vek::cVertex2D& bl = batch.GetVertices()[v];
        out.push_back({bl.color >> 24, bl.x, bl.y, bl.u});
    }
    return out;
}

TEST(TextPopups, RiseForTwoSecondsAndFadeInTheLast)
{
    cTextPopups popups(nullptr, "header24x24");
    EXPECT_EQ(popups.GetFontId(), 0u);  // no font manager: nothing measured or drawn
    popups.AddPopup("+$25", vek::vec2(300.0f, 200.0f));
    ASSERT_EQ(popups.Count(), 1u);
    const cTextPopups::cEntry& e = popups.GetEntries().front();
    EXPECT_EQ(e.x, 300.0f);
    EXPECT_EQ(e.uColor, 0xFFFFFFFFu);

    for (int i = 0; i < 4; ++i) popups.Update(0.25f);  // 1 s: 12 up, still opaque
    EXPECT_FLOAT_EQ(e.y, 212.0f);
    EXPECT_EQ(e.uColor, 0xFFFFFFFFu);
    popups.Update(0.5f);  // half a second left: half faded
    EXPECT_EQ(e.uColor, 0x7FFFFFFFu);
    popups.Update(0.25f);
    popups.Update(0.2499f);  // just short of 2 s: risen nearly 24
    ASSERT_EQ(popups.Count(), 1u);
    EXPECT_NEAR(popups.GetEntries().front().y, 224.0f, 0.01f);
    EXPECT_LT(popups.GetEntries().front().uColor >> 24, 1u);
    popups.Update(0.01f);
    EXPECT_EQ(popups.Count(), 0u);

    vek::cQuadBatch batch;
    popups.AddPopup("-$5", vek::vec2());
    popups.Draw(batch);  // font 0: nothing, and the batch is left empty
    EXPECT_EQ(batch.uRunCount, 0u);
}

// A straight path from (0, 0) at 0 s to (100, 0) at 1 s.
cFlyingItem* Straight(cFlyingItems& items, float spacing, int trail)
{
    cFlyingItem* item = items.AddItem("none", "none", spacing, trail);
    item->AddPoint(vek::vec2(0.0f, 0.0f), 0.0f);
    item->AddPoint(vek::vec2(100.0f, 0.0f), 1.0f);
    return item;
}

TEST(FlyingItems, TrailFollowsAndEndsAfterTheTail)
{
    cParticleSystem ps;
    cFlyingItems items(nullptr, true);
    cFlyingItem* item = Straight(items, -0.1f, 5);
    EXPECT_TRUE(item->frames.empty());  // missing sprite: moves, never drawn
    ASSERT_EQ(item->trail.size(), 5u);
    EXPECT_NE(ps.GetEmitter(item->emitter), nullptr);

    items.Update(0.125f);
    EXPECT_GT(item->trail[0].x, 0.0f);
    EXPECT_GT(item->trail[1].x, 0.0f);
    for (size_t i = 2; i < 5; ++i) EXPECT_EQ(item->trail[i], vek::vec2()) << i;  // waiting on the first key
    EXPECT_EQ(ps.GetEmitter(item->emitter)->vPos, vek::vec3(item->trail[0].x, item->trail[0].y, 0.0f));

    for (int i = 1; i < 11; ++i) items.Update(0.125f);  // 1.375 s: the tail is not there yet
    ASSERT_EQ(items.Count(), 1u);
    EXPECT_EQ(item->trail[0], vek::vec2(100.0f, 0.0f));
    EXPECT_LT(item->trail[4].x, 100.0f);
    const cEmitterHandle trail = item->emitter;
    items.Update(0.125f);  // 1.5 s = head at the end + 0.5 s
    EXPECT_EQ(items.Count(), 0u);
    ASSERT_NE(ps.GetEmitter(trail), nullptr);
    EXPECT_TRUE(ps.GetEmitter(trail)->IsFinished());
    // The burst where the head was: 50 particles, spread 15.
    ASSERT_EQ(ps.poolD.GetEmitterCount(), 2u);
    const cEmitter* burst = ps.poolD.GetEmitterAt(1);
    EXPECT_EQ(burst->vPos, vek::vec3(100.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(burst->fSpread, 15.0f);
    ps.UpdateLayer(2, 0.01f);
    EXPECT_EQ(ps.poolD.CountAlive(), 50u);

    // A single key at 0 ends on the first update.
    cFlyingItem* single = items.AddItem("none", "none", 0.0f, 1);
    single->AddPoint(vek::vec2(5.0f, 5.0f), 0.0f);
    EXPECT_EQ(single->trail[0], vek::vec2(5.0f, 5.0f));
    items.Update(1.0f / 30.0f);
    EXPECT_EQ(items.Count(), 0u);
}

TEST(FlyingItems, PoolsClearedUnderLiveItems)
{
    // Leaving the field or restarting a level empties the pools while wares
    // still fly: the items must not reach the deleted emitters.
    auto ps = std::make_unique<cParticleSystem>();
    cFlyingItems items(nullptr, true);
    for (int i = 0; i < 3; ++i) Straight(items, -0.1f, 2);
    cEmitterHandle wake = ps->EmitWake();
    items.Update(1.0f / 30.0f);
    ps->ClearLayer(0);
    ps->ClearLayer(1);
    ps->ClearLayer(2);
    EXPECT_EQ(ps->GetEmitter(wake), nullptr);
    for (int i = 0; i < 60; ++i) items.Update(1.0f / 30.0f);  // move, finish and burst
    EXPECT_EQ(items.Count(), 0u);
    EXPECT_EQ(ps->poolD.GetEmitterCount(), 3u);  // the three bursts only
    for (int i = 0; i < 3; ++i) Straight(items, 0.0f, 1);
    ps->ClearLayer(2);
    items.Clear();
    EXPECT_EQ(ps->poolD.GetEmitterCount(), 0u);

    // The game drops its particle system before its lists.
    Straight(items, 0.0f, 1);
    ps.reset();
    items.Update(0.5f);
    items.Clear();
    EXPECT_EQ(Straight(items, 0.0f, 1)->emitter.IsSet(), false);
}

class SpriteEffects : public spritetest::SpriteFixture {
protected:
    void SetUp() override
    {
        SpriteFixture::SetUp();
        spritetest::MakeTexture("fx", 256, 64);
        auto* info = new cTextureInfo("fx", false);
        info->AddNode("spin", vek::rectf(0.0f, 0.0f, 1.0f, 1.0f), 8, 1, 10.0f);  // 32 x 64, 0.1 s
        info->AddNode("still", vek::rectf(0.0f, 0.0f, 0.5f, 0.5f));
    }
};

TEST_F(SpriteEffects, FlyingItemDrawsItsTrailFadingBehind)
{
    cFlyingItems items(nullptr, false);
    cFlyingItem* item = items.AddItem("fx", "spin", -0.1f, 3);
    EXPECT_FALSE(item->emitter.IsSet());  // a list without emitters
    ASSERT_EQ(item->iFrameCount, 8);
    EXPECT_FLOAT_EQ(item->fWidth, 32.0f);
    EXPECT_FLOAT_EQ(item->fHeight, 64.0f);
    item->AddPoint(vek::vec2(0.0f, 0.0f), 0.0f);
    item->AddPoint(vek::vec2(100.0f, 0.0f), 1.0f);
    items.Update(0.5f);
    EXPECT_EQ(item->iFrame, 1);  // one frame per update at most

    vek::cQuadBatch batch;
    items.Draw(batch);
    const std::vector<cQuad> q = Quads(batch);
    ASSERT_EQ(q.size(), 3u);
    // Tail first and faintest (255 / 3 = 85 a step), the head last and opaque.
    EXPECT_EQ(q[0].alpha, 85u);
    EXPECT_EQ(q[1].alpha, 170u);
    EXPECT_EQ(q[2].alpha, 255u);
    EXPECT_FLOAT_EQ(q[2].x, item->trail[0].x - 16.0f);
    EXPECT_FLOAT_EQ(q[2].y, -32.0f);
    EXPECT_FLOAT_EQ(q[2].u, 0.125f);  // frame 1
    EXPECT_LT(q[0].x, q[1].x);
}

TEST_F(SpriteEffects, OneShotEndsWithItsLastFrame)
{
    cSpriteAnimations anims(nullptr);
    anims.Add("fx", "missing", vek::vec2());
    anims.Add("nothing", "spin", vek::vec2());
    EXPECT_EQ(anims.Count(), 0u);
    anims.Add("fx", "spin", vek::vec2(100.0f, 100.0f));
    ASSERT_EQ(anims.Count(), 1u);
    EXPECT_EQ(anims.GetEntries().front().rect, vek::rectf(84.0f, 68.0f, 32.0f, 64.0f));

    vek::cQuadBatch batch;
    for (int i = 0; i < 3; ++i) anims.Update(0.1f);
    anims.Update(0.05f);  // 0.35 s: frame 3
    anims.Draw(batch);
    ASSERT_EQ(Quads(batch).size(), 1u);
    EXPECT_FLOAT_EQ(Quads(batch)[0].u, 0.375f);
    EXPECT_EQ(Quads(batch)[0].alpha, 255u);

    cSpriteAnimations eight(nullptr);
    eight.Add("fx", "spin", vek::vec2());
    for (int i = 0; i < 7; ++i) eight.Update(0.1f);
    EXPECT_EQ(eight.Count(), 1u);
    eight.Update(0.1f);  // 0.8 s: all eight frames shown
    EXPECT_EQ(eight.Count(), 0u);
}

TEST_F(SpriteEffects, FrameAnimationCrossFades)
{
    cFadeAnimation fade(nullptr);
    EXPECT_EQ(fade.iEnabled, 1);
    fade.Update(1.0f);  // nothing to show yet
    EXPECT_TRUE(fade.GetImages().empty());
    ASSERT_TRUE(fade.Init("fx", "spin", 2.0f, 3.0f, 1.0f, 0.0f, 10.0f, 20.0f));
    EXPECT_EQ(fade.spawn, vek::rectf(10.0f, 20.0f, 32.0f, 64.0f));

    const float dt = 1.0f / 32.0f;
    size_t most = 0;
    for (int i = 0; i < 32 * 10; ++i) {
        fade.Update(dt);
        const std::list<cFadeAnimation::cImage>& images = fade.GetImages();
        most = std::max(most, images.size());
        if (images.size() == 2) {
            // The newer image shows the next frame over the older one.
            const float u0 = images.front().source.x, u1 = images.back().source.x;
            EXPECT_FLOAT_EQ(std::fmod(u0 + 0.125f, 1.0f), u1);
        }
    }
    EXPECT_EQ(most, 2u);

    // Fade-in: alpha (life - left) / fade-in; no fade-out.
    cFadeAnimation one(nullptr);
    ASSERT_TRUE(one.Init("fx", "spin", 2.0f, 3.0f, 1.0f, 0.0f, 0.0f, 0.0f));
    one.Update(0.25f);
    vek::cQuadBatch batch;
    one.Draw(batch);
    ASSERT_EQ(Quads(batch).size(), 1u);
    EXPECT_EQ(Quads(batch)[0].alpha, 63u);
    EXPECT_FLOAT_EQ(Quads(batch)[0].u, 0.125f);  // the first image shows frame 1
    one.Update(1.0f);
    one.iEnabled = 0;
    one.Update(1.5f);  // disabled: frozen
    batch.uRunCount = 0;
    one.Draw(batch);
    EXPECT_EQ(Quads(batch)[0].alpha, 255u);

    // Fade-out over the last second of an image with both.
    cFadeAnimation wave(nullptr);
    ASSERT_TRUE(wave.Init("fx", "still", 10.0f, 2.5f, 1.0f, 1.0f, 0.0f, 0.0f));
    wave.Update(2.0f);  // 0.5 s left
    batch.uRunCount = 0;
    wave.Draw(batch);
    EXPECT_EQ(Quads(batch)[0].alpha, 127u);
    EXPECT_FALSE(wave.Init("fx", "missing", 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f));
    wave.Update(5.0f);
    EXPECT_TRUE(wave.GetImages().empty());
}

TEST(GameServices, WorkWithoutEngineParts)
{
    cTraining training;
    training.iKind = 4;
    training.iStep = 2;
    training.Stop();
    EXPECT_EQ(training.iKind, -1);
    EXPECT_EQ(training.iStep, -1);

    // Without a sound manager no music is found and a loaded sound's id
    // plays nothing (and reaches no manager).
    EXPECT_EQ(FindMusicIndex("music_menu"), 0);
    const std::vector<int32_t> table(kGameSoundCount, 5);
    PlayGameSound(table, e_sndSeed);
    PlayGameSound(table, -1);
    PlayGameSound(table, kGameSoundCount);
}

} // namespace
