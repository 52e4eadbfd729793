#include "game/world/effects.h"

#include <gtest/gtest.h>

#include "game/world/game_sound.h"
#include "game/world/training.h"

namespace {

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
