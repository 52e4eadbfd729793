// After the first level is won, the finish screen's "ok" leads to the
// island's result sequence: the medal lands on the level's point, a star
// joins the garden rating, the level's house is offered and bought with a
// click, built with fireworks, and the level map comes back with the next
// point open; its pop-ups and the start of the second level follow.
// On every level of the island the sequence offers the level's own
// building (most building names come back at several levels), in view.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/graphics/draw2d.h"
#include "engine/gui/cursor.h"
#include "engine/gui/guidraw.h"
#include "game/play/level_bot.h"
#include "game/world/effects.h"

using namespace gametest;

namespace {

class ResultSequence : public PackGame {
protected:
    void TearDown() override
    {
        fnAfterFrame = nullptr;
        PackGame::TearDown();
    }
};

TEST_F(ResultSequence, TheFirstWinBuysItsHouseAndOpensTheSecondLevel)
{
    cLevelBot bot(*this);
    ASSERT_TRUE(bot.Boot()) << bot.Log();
    ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
    ASSERT_TRUE(bot.StartLevel(0)) << bot.Log();
    ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
    cPlayer* player = cLevelBot::Player();
    cIsland* island = cLevelBot::Island();
    ASSERT_EQ(player->m_iProgress, 0);
    cHouse* house = island->GetLevelHouse(0);
    ASSERT_NE(house, nullptr);
    EXPECT_NE(house->GetState(), cHouse::e_stateBuilt);

    // What the sequence shows on its way, watched frame by frame. The
    // island's popups ("-$cost" of the purchase, "+N people" once built)
    // are drawn in its scrolled view: where each first shows on the screen.
    int mostFireworks = 0;
    bool builtBeforeProgress = false, medalBeforeBuy = false;
    std::map<std::string, vek::vec2> popupsSeen;
    fnAfterFrame = [&] {
        if (house->iFireworks > mostFireworks) mostFireworks = house->iFireworks;
        if (house->GetState() == cHouse::e_stateBuilt && player->m_iProgress == 0) builtBeforeProgress = true;
        if (house->GetState() == cHouse::e_stateNone && !player->m_Results.empty()) medalBeforeBuy = true;
        const cTextPopups* popups = island->GetPopups();
        for (const cTextPopups::cEntry& e : popups->GetEntries()) {
            const vek::vec2 size = vek::MeasureText(popups->GetFontId(), e.strText);
            popupsSeen.emplace(std::string(e.strText), vek::vec2(e.x + size.x / 2.0f - island->fScrollX,
                                                                 e.y + size.y / 2.0f - island->fScrollY));
        }
    };
    ASSERT_TRUE(bot.FinishToMap(true)) << bot.Log();
    fnAfterFrame = nullptr;

    EXPECT_EQ(island->iMode, cIsland::e_modeIsland) << "the level map is back";
    ASSERT_EQ(player->m_Results.size(), 1u);
    EXPECT_EQ(player->m_Results[0], 0) << "gold on point 0";
    EXPECT_TRUE(medalBeforeBuy) << "the medal lands before the house is offered";
    vek::string rate;
    int stars = 0;
    g_pGarden->GetRate(&rate, &stars);
    EXPECT_EQ(stars, 1) << "a star in the garden rating";
    EXPECT_TRUE(bot.bOfferHinted) << "the offered house comes with its hint";
    EXPECT_EQ(house->GetState(), cHouse::e_stateBuilt);
    EXPECT_GT(mostFireworks, 0);
    EXPECT_TRUE(builtBeforeProgress);
    // Both popups rise from the house just bought, on the screen.
    const vek::vec2 centre = house->GetScreenCenter();
    EXPECT_EQ(popupsSeen.size(), 2u);
    for (const auto& [text, at] : popupsSeen) {
        EXPECT_TRUE(text == "+" + std::to_string(house->iIncrease) + " people" || text.rfind("-$", 0) == 0) << text;
        EXPECT_NEAR(at.x, centre.x, 1.0f) << text;
        EXPECT_GE(at.y, centre.y - 1.0f) << text;
        EXPECT_LT(at.y, house->rect.y + house->rect.h - island->fScrollY) << text << " rises from the house";
    }
    int count = 0, houses = 0;
    island->GetIslandRate(&count, &houses);
    EXPECT_EQ(count, 1) << "the house counts in the island rating";
    EXPECT_EQ(player->m_iProgress, 1);
    EXPECT_EQ(player->m_iSorts, 1) << "level 0's new sort";
    EXPECT_EQ(player->m_iPlayerValue, 1) << "and its beds";

    // Pop-ups: point 0 has a time, point 1 none yet. Over a point that
    // opens its level the cursor is the hand, elsewhere the arrow.
    const auto cursor = [&] { return Gui()->GetCursor() ? Gui()->GetCursor()->GetTexture() : 0; };
    const int hand = vek::guidraw::FindTexture("cursor_hand");
    const int arrow = vek::guidraw::FindTexture("cursor_pointer");
    ASSERT_NE(hand, 0);
    ASSERT_NE(arrow, 0);
    EXPECT_EQ(cursor(), arrow);
    int x = 0, y = 0;
    ASSERT_TRUE(LevelPointClient(0, x, y));
    MoveTo(x, y);
    Run(20);
    EXPECT_TRUE(Shown("hint_mp")) << "point 0 shows its time and medal";
    EXPECT_EQ(cursor(), hand) << "point 0 can be played again";
    // The mouse leaves point 0 on its way to point 1.
    MoveTo(512, 100);
    Run(5);
    EXPECT_FALSE(Shown("hint_mp"));
    EXPECT_EQ(cursor(), arrow);
    ASSERT_TRUE(LevelPointClient(1, x, y));
    MoveTo(x, y);
    Run(20);
    EXPECT_FALSE(Shown("hint_mp")) << "point 1 has no time yet";
    EXPECT_EQ(cursor(), hand) << "point 1 is open";
    // Its question takes the pointer: the arrow over the box; "No", and
    // the pointer back on the point shows the hand again.
    ClickAt(x, y);
    Run(10);
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(cursor(), arrow);
    ASSERT_TRUE(ClickControl("messagebox", "cancel"));
    Run(30);
    EXPECT_FALSE(Shown("messagebox"));
    MoveTo(x, y);
    Run(2);
    EXPECT_EQ(cursor(), hand);
    // A point not open yet takes no click: the arrow.
    if (LevelPointClient(2, x, y)) {
        MoveTo(x, y);
        Run(2);
        EXPECT_EQ(cursor(), arrow) << "point 2 is not open yet";
    }

    ASSERT_TRUE(bot.StartLevel(1)) << bot.Log();
    EXPECT_EQ(player->m_iLevel, 1);
    EXPECT_EQ(Focus(), "garden");
    EXPECT_EQ(player->m_Tasks.size() + player->m_TaskSet.vecTasks.size() >= 2u, true);
}

// Every level won on a profile that reached it, with the view where a
// profile switch leaves it (the top-left of the island): the sequence asks
// for the level's own building with the buy hint and its price, and that
// building stands inside the view, centred once the island scrolls.
TEST_F(ResultSequence, EveryLevelOffersItsOwnBuildingInView)
{
    cLevelBot bot(*this);
    ASSERT_TRUE(bot.Boot()) << bot.Log();
    ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
    cPlayer* player = cLevelBot::Player();
    cIsland* island = cLevelBot::Island();
    cGarden* game = g_pGarden;
    const int levels = static_cast<int>(island->vecLevelPoints.size());
    ASSERT_EQ(levels, 45);
    std::string faults;
    for (int level = 0; level < levels; ++level) {
        cLevelBot::ReachLevel(level);
        ASSERT_TRUE(game->StartLevel(level));
        Run(2);
        player->m_TaskSet.bDone = 1;
        game->FinishLevel();
        game->SetFlowState(0);
        game->HideHint(-1);
        island->fScrollX = 0.0f;
        island->fScrollY = island->fPictureHeight - 768.0f;
        m_pGame->SetFocusWidget("island");
        const cHouse* house = island->GetLevelHouse(level);
        ASSERT_NE(house, nullptr) << "level " << level;
        const std::string at = "level " + std::to_string(level) + " (" + std::string(house->strName) + "): ";
        if (!RunUntil([&] { return game->m_iShownHint == 1 || player->m_iProgress > level; }, 400) ||
            game->m_iShownHint != 1) {
            faults += at + "no buy hint\n";
            continue;
        }
        if (house->GetState() != cHouse::e_stateNone || !house->bAvailable) faults += at + "not offered\n";
        const auto* text = dynamic_cast<const vek::cLabelCtrl*>(Control("hint", "text"));
        const std::string price = "$" + std::to_string(game->GetHintCost(house));
        if (!Shown("hint") || !text || std::string(text->GetText()).find(price) == std::string::npos)
            faults += at + "the hint does not name the price " + price + "\n";
        const vek::rectf r = house->rect;
        const float x = r.x - island->fScrollX, y = r.y - island->fScrollY;
        if (x < 0.0f || y < 0.0f || x + r.w > 1024.0f || y + r.h > 768.0f)
            faults += at + "out of view at " + std::to_string(x) + "," + std::to_string(y) + "\n";
        if (player->m_iProgress >= 7) {
            const float cx = std::clamp(r.x - 512.0f, 0.0f, island->fPictureWidth - 1024.0f);
            const float cy = std::clamp(r.y - 384.0f, 0.0f, island->fPictureHeight - 768.0f);
            if (island->fScrollX != cx || island->fScrollY != cy) faults += at + "the view is not centred on it\n";
        }
    }
    EXPECT_TRUE(faults.empty()) << faults;
}

} // namespace
