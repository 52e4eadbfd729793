#include "game/world/effects.h"

#include <gtest/gtest.h>

#include "game/world/game_sound.h"
#include "game/world/training.h"

namespace {

struct CountedEmitter : cEmitter {
    explicit CountedEmitter(int* deaths) : pDeaths(deaths) {}
    ~CountedEmitter() override { ++*pDeaths; }
    int* pDeaths;
};

TEST(ParticlePools, ClearAndReleaseDeleteTheEmitters)
{
    int deaths = 0;
    cParticleSystem system;
    EXPECT_EQ(system.poolA.GetCapacity(), 240u);
    EXPECT_EQ(system.poolD.GetCapacity(), 1000u);
    system.LoadTextures();  // no texture manager: untextured
    EXPECT_EQ(system.uTexPart00, 0u);

    system.poolB.AddEmitter(new CountedEmitter(&deaths));
    system.poolB.Clear();
    EXPECT_EQ(deaths, 1);
    ASSERT_NE(system.poolB.GetParticles(), nullptr);  // cleared, not freed

    system.poolC.AddEmitter(new CountedEmitter(&deaths));
    system.poolC.AddEmitter(new CountedEmitter(&deaths));
    system.poolC.Release();
    EXPECT_EQ(deaths, 3);
    EXPECT_EQ(system.poolC.GetParticles(), nullptr);
    system.poolC.Release();  // twice is harmless; the destructor releases again
    system.poolD.AddEmitter(new CountedEmitter(&deaths));
}

TEST(ScreenEffects, ListsStartEmptyWithTheirSettings)
{
    cFlyingItems items(nullptr, true);
    EXPECT_TRUE(items.HasEmitters());
    items.Add(new cFlyingItem);
    items.Clear();
    EXPECT_EQ(items.Count(), 0u);
    items.Add(new cFlyingItem);  // the destructor deletes it

    cTextPopups popups(nullptr, "header24x24");
    EXPECT_EQ(popups.GetFontId(), 0u);  // no font manager: the default font
    EXPECT_EQ(popups.Count(), 0u);
}

TEST(GameServices, WorkWithoutEngineParts)
{
    cTraining training;
    training.iKind = 4;
    training.iStep = 2;
    training.Stop();
    EXPECT_EQ(training.iKind, -1);
    EXPECT_EQ(training.iStep, -1);

    EXPECT_EQ(FindMusicIndex("music_menu"), 0);
    const std::vector<int32_t> table(kGameSoundCount, 0);
    PlayGameSound(table, 3);
    PlayGameSound(table, -1);
    PlayGameSound(table, kGameSoundCount);
    EXPECT_STREQ(g_aGameSoundNames[0], "market_sold");
    EXPECT_STREQ(g_aGameSoundNames[30], "hint");
}

} // namespace
