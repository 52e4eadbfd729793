// The first six levels in order on a fresh profile with the hints off,
// through every screen between them: the start screen, the garden, the
// finish screen (waited out after the even levels, skipped after the odd
// ones), the upgrades screen when one is offered and affordable, and the
// island's result sequence with the purchase of each level's house.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "game/play/level_bot.h"
#include "game/screens/message_box.h"
#include "game/world/level_defs.h"

using namespace gametest;

namespace {

class SixLevels : public PackGame {
protected:
    // From the finish screen to the upgrades screen.
    bool ToTheUpgradesScreen(cLevelBot& bot)
    {
        return RunUntil(
            [&] {
                if (Shown("mission_finish")) bot.Click("mission_finish", "ok");
                return Shown("up");
            },
            900);
    }
    // Started again after the program ended: "Play" goes straight on to
    // the upgrades screen. The won level is kept with its medal and is no
    // game in play: no "Continue the last game?" is asked, so no "No" can
    // give it up, and its finish is not played again.
    void StartAgainToTheUpgradesScreen(cLevelBot& bot, size_t medals)
    {
        m_iQuitCode = -1;
        StartOnPack();
        ASSERT_FALSE(HasFatalFailure());
        m_pGame->iDrawInterval = 60;
        ASSERT_TRUE(RunToMainMenu(3000));
        Run(20);
        EXPECT_EQ(cLevelBot::Player()->m_Results.size(), medals) << "the won level's medal is on disk";
        ASSERT_TRUE(bot.Click("main", "btStart"));
        Run(5);
        EXPECT_FALSE(Shown("messagebox")) << g_pGarden->GetMessageBox()->GetCommand();
        EXPECT_FALSE(Shown("mission_finish"));
        ASSERT_TRUE(Shown("up")) << "focus " << Focus() << ", island mode " << cLevelBot::Island()->iMode;
    }
    // The won level's finish left for the upgrades screen, then the
    // program ended there by the window's close and by a kill (the disk it
    // leaves: the profile folder as it is then): each time the upgrades
    // screen shows again, with the same offer and funds.
    void EndOnTheUpgradesScreen(cLevelBot& bot)
    {
        namespace fs = std::filesystem;
        ASSERT_TRUE(ToTheUpgradesScreen(bot));
        const cPlayer* player = cLevelBot::Player();
        const int funds = player->m_iIslandMoney;
        const cUpgrades upgrades = player->m_Upgrades;
        const size_t medals = static_cast<size_t>(player->m_iLevel) + 1;
        const std::string folder = m_strDir + "/app/profile/" + player->m_strFolder.c_str();

        CloseWindow();
        ASSERT_TRUE(RunUntil([&] { return m_iQuitCode >= 0; }, 30));
        Stop();
        {
            SCOPED_TRACE("the window's close");
            ASSERT_NO_FATAL_FAILURE(StartAgainToTheUpgradesScreen(bot, medals));
            EXPECT_EQ(cLevelBot::Player()->m_iIslandMoney, funds);
        }

        const std::string killed = m_strDir + "/killed_on_upgrades";
        fs::copy(folder, killed, fs::copy_options::recursive);
        Stop();
        fs::remove_all(folder);
        fs::copy(killed, folder, fs::copy_options::recursive);
        {
            SCOPED_TRACE("a kill");
            ASSERT_NO_FATAL_FAILURE(StartAgainToTheUpgradesScreen(bot, medals));
            EXPECT_EQ(cLevelBot::Player()->m_iIslandMoney, funds);
        }
        for (int u = 0; u < cUpgrades::kCount; ++u)
            EXPECT_EQ(cLevelBot::Player()->m_Upgrades.GetLevel(u), upgrades.GetLevel(u)) << u;
    }
};

// The finish screen's bonus for the seconds left of the gold time.
int TimeBonus(float left)
{
    if (left <= 0.0f) return 0;
    const int bonus = 5 * static_cast<int>((std::trunc(2.0f * left) + 2.5f) / 5.0f);
    return bonus < 5 ? 5 : bonus;
}

// Under the sanitizers the first three levels keep the program fast; the
// profile is then checked against the awards of those.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kLevels = 3;
#else
constexpr int kLevels = 6;
#endif

TEST_F(SixLevels, LevelsZeroToFiveThroughEveryScreen)
{
    cLevelBot bot(*this);
    ASSERT_TRUE(bot.Boot()) << bot.Log();
    ASSERT_TRUE(bot.PlayToIsland()) << bot.Log();
    cPlayer* player = cLevelBot::Player();
    cIsland* island = cLevelBot::Island();

    int upgradesBought = 0;
    bool leftOnUpgrades = false;
    std::vector<int> levels(cUpgrades::kCount, 0);
    // The profile folder copied just after the first upgrade is bought:
    // the disk a program ended there without its teardown leaves.
    namespace fs = std::filesystem;
    const std::string folder = m_strDir + "/app/profile/" + player->m_strFolder.c_str();
    const std::string copy = m_strDir + "/after_upgrade";
    cPlayer atCopy(player->m_strFolder);
    bot.fnAfterUpgrade = [&] {
        if (fs::exists(copy)) return;
        fs::copy(folder, copy, fs::copy_options::recursive);
        atCopy = *player;
    };
    for (int level = 0; level < kLevels; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        // After the "more beds" award the new beds start hidden and are
        // revealed early in the next level; no other level hides a bed.
        const bool expanded = level > 0 && GetLevelDef(level - 1).Has(cLevelDef::e_MoreBeds);
        int hidden = 0;
        fnAfterFrame = [&hidden] {
            cLevel* field = cLevelBot::Field();
            if (!field) return;
            int n = 0;
            for (cObject* object : field->GetObjects())
                if (object->IsType(OBJ_HOLE) && !static_cast<cHole*>(object)->IsShown()) ++n;
            hidden = std::max(hidden, n);
        };
        // Once the water lesson is behind the player, a level starts with
        // a full can.
        const bool fullCan = g_pGarden->IsWaterEventSet() && g_pGarden->IsEventSeen(1);
        ASSERT_TRUE(bot.StartLevel(level)) << bot.Log();
        ASSERT_EQ(player->m_iLevel, level);
        if (fullCan) {
            const auto* can = static_cast<const cToolWater*>(cLevelBot::FirstOf(OBJ_TOOL_WATER));
            ASSERT_NE(can, nullptr);
            EXPECT_TRUE(can->IsFull()) << can->GetWater() << " of " << can->GetCapacity();
        }
        ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
        fnAfterFrame = nullptr;
        if (expanded) {
            EXPECT_GT(hidden, 0);
        } else {
            EXPECT_EQ(hidden, 0);
        }
        int stillHidden = 0;
        for (cObject* object : cLevelBot::Field()->GetObjects())
            if (object->IsType(OBJ_HOLE) && !static_cast<cHole*>(object)->IsShown()) ++stillHidden;
        EXPECT_EQ(stillHidden, 0) << "the reveal showed every new bed";
        const int funds = player->m_iIslandMoney;
        const int money = player->m_iMoney;
        const float left = GetLevelDef(level).fTimeLimit - player->m_fClock;
        const cUpgrades before = player->m_Upgrades;
        // The first upgrade offer: the program ended on the upgrades screen,
        // by the window's close and by a kill, comes back to it on
        // "Continue" with the funds it showed; the win still counts once
        // (the funds, awards and medal checked below).
        if (!leftOnUpgrades && LevelOffersUpgrade(GetLevelDef(level), island->IsHouseBuilt("institute00"))) {
            leftOnUpgrades = true;
            ASSERT_NO_FATAL_FAILURE(EndOnTheUpgradesScreen(bot));
            player = cLevelBot::Player();
            island = cLevelBot::Island();
        }
        cHouse* house = island->GetLevelHouse(level);
        ASSERT_NE(house, nullptr);
        const int price = house->iPrice;
        ASSERT_TRUE(bot.FinishToMap(level % 2 == 1)) << bot.Log();
        EXPECT_EQ(player->m_iProgress, level + 1);
        EXPECT_EQ(house->GetState(), cHouse::e_stateBuilt);
        // The bank takes the level's money and the time bonus, and pays
        // for the house and the upgrade bought.
        int spent = price;
        if (bot.iBoughtUpgrade >= 0) {
            ++upgradesBought;
            spent += before.GetPrice(bot.iBoughtUpgrade);
            ++levels[static_cast<size_t>(bot.iBoughtUpgrade)];
        }
        EXPECT_EQ(player->m_iIslandMoney, funds + money + TimeBonus(left) - spent)
            << "funds " << funds << " money " << money << " left " << left << " house " << price;
    }
    EXPECT_EQ(player->m_iProgress, kLevels);
    if (kLevels == 6) {
        EXPECT_EQ(player->m_iSorts, 2) << "the sorts of levels 0 and 3";
        EXPECT_EQ(player->m_iPlayerValue, 2) << "the beds of levels 0 and 3";
        EXPECT_EQ(player->m_iAnimals, 0) << "the animal of level 5";
    } else {
        EXPECT_EQ(player->m_iSorts, 1) << "the sort of level 0";
        EXPECT_EQ(player->m_iPlayerValue, 1) << "the beds of level 0";
        EXPECT_EQ(player->m_iAnimals, -1);
    }
    for (int u = 0; u < cUpgrades::kCount; ++u) EXPECT_EQ(player->m_Upgrades.GetLevel(u), levels[static_cast<size_t>(u)]);
    EXPECT_EQ(m_pGame->iPause, 0);
    EXPECT_EQ(g_pGarden->GetFlowState(), 0);
    EXPECT_EQ(player->m_Results.size(), static_cast<size_t>(kLevels));
    EXPECT_EQ(player->m_Times.size(), static_cast<size_t>(kLevels));
    RecordProperty("upgrades", upgradesBought);
    // Real play through every screen leaves no warning in the log.
    const std::vector<std::string> warnings = cLevelBot::PlayWarnings(HtmlLog());
    EXPECT_TRUE(warnings.empty()) << cLevelBot::Lines(warnings);
    ASSERT_EQ(fs::exists(copy), upgradesBought > 0);
    if (upgradesBought > 0) {
        // Read from that copy: the upgrade, its price and the win whose
        // result sequence it came in are there together. (The field and
        // the island in play read their files too, as another profile's.)
        fs::remove_all(folder);
        fs::copy(copy, folder, fs::copy_options::recursive);
        cPlayer kept(atCopy.m_strFolder);
        ASSERT_TRUE(kept.LoadPlayer());
        ASSERT_TRUE(kept.LoadGame(-1));
        for (int u = 0; u < cUpgrades::kCount; ++u) EXPECT_EQ(kept.m_Upgrades.GetLevel(u), atCopy.m_Upgrades.GetLevel(u)) << u;
        EXPECT_EQ(kept.m_iIslandMoney, atCopy.m_iIslandMoney);
        EXPECT_EQ(kept.m_iSorts, atCopy.m_iSorts);
        EXPECT_EQ(kept.m_iPlayerValue, atCopy.m_iPlayerValue);
        EXPECT_EQ(kept.m_iProgress, atCopy.m_iLevel);
        EXPECT_EQ(kept.m_iContinueLevel, atCopy.m_iLevel);
        EXPECT_EQ(kept.m_Results.size(), static_cast<size_t>(atCopy.m_iLevel + 1)) << "the win with its medal";
    }
}

} // namespace
