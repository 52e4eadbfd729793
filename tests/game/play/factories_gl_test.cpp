// Levels whose tasks ask for products, played from the profile a player
// reaching them would have: the crops go to the car, the car hands them to
// the island's factory, the factory is started from its panel button on the
// garden screen and its product flies back to the car.
#include <gtest/gtest.h>

#include "game/play/level_bot.h"

using namespace gametest;

namespace {

class Factories : public PackGame {
protected:
    static int FactoryStarts(const cLevelBot& bot, const std::string& name)
    {
        int n = 0;
        for (const std::string& line : bot.log)
            if (line.find("factory " + name) != std::string::npos) ++n;
        return n;
    }
    static int Clicks(const cLevelBot& bot, const std::string& what)
    {
        int n = 0;
        for (const std::string& line : bot.log)
            if (line.find(what) != std::string::npos) ++n;
        return n;
    }
    static int Ware(const char* name) { return g_pWareManager->FindWare(name); }
};

// Under the sanitizers the chain below, which passes through both kinds of
// factory start, keeps the program to one game.
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(Factories, OlivesBecomeOilInTheFactoryStartedFromItsPanel)
{
    cLevelBot bot(*this);
    ASSERT_TRUE(bot.BootAtLevel(3)) << bot.Log();
    bot.bCallOffFill = true;
    cIsland* island = cLevelBot::Island();
    const cFactory* mill = island->FindFactoryByOutput(Ware("product00"));
    ASSERT_NE(mill, nullptr);
    ASSERT_EQ(mill->GetState(), cHouse::e_stateBuilt) << "built by an earlier level";
    ASSERT_TRUE(cLevelBot::IsSortWare(mill->iInputWare)) << "it presses a crop";

    // Once the factory holds the olives its task asks for, the olive trees
    // on the field are no longer needed: they ask for no more water or
    // weeding.
    const int32_t olive = mill->iInputWare;
    const auto chainHoldsEnough = [&] {
        const cLevelTask* task = g_pGarden->FindTaskForWare(olive);
        return task && !task->IsEmpty() && task->iAmount > 0 && g_pGarden->CountWareInChain(olive) >= task->iAmount;
    };
    ASSERT_TRUE(bot.PlayUntil(chainHoldsEnough, 30 * 400)) << bot.Log();
    int trees = 0;
    for (const cPlant* plant : cLevelBot::Plants()) {
        if (plant->GetWareId() != olive) continue;
        ++trees;
        EXPECT_FALSE(plant->IsNeeded());
        if (plant->GetState() == cPlant::e_psNeeding) {
            EXPECT_EQ(plant->GetNeed(), cPlant::e_NeedRipe);
        }
    }
    EXPECT_GT(trees, 0);

    ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
    EXPECT_EQ(g_pGarden->GetWindowParam(), 2);
    // Every unit of oil was started by a click on the panel's button.
    EXPECT_GE(FactoryStarts(bot, mill->strName), 4) << bot.Log();
    EXPECT_EQ(mill->iUnits, 0);
    // The player called the gardener off at the pump once and sent him
    // back from where he stood.
    EXPECT_EQ(bot.iFillsCalledOff, 1) << bot.Log();
    EXPECT_GE(Clicks(bot, "click pump"), 2) << bot.Log();
}
#endif

// The lemonade of this level is made from orange juice, itself made from
// oranges: two factories in a chain, the second fed by the first. The
// level also asks for eggs: the player keeps an ostrich for them.
TEST_F(Factories, OrangesBecomeLemonadeThroughAChainOfTwoFactories)
{
    cLevelBot bot(*this);
    ASSERT_TRUE(bot.BootAtLevel(12)) << bot.Log();
    cIsland* island = cLevelBot::Island();
    const int lemonade = Ware("product01_1");
    const cFactory* second = island->FindFactoryByOutput(lemonade);
    ASSERT_NE(second, nullptr);
    const cFactory* first = island->FindFactoryByOutput(second->iInputWare);
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(cLevelBot::IsSortWare(first->iInputWare)) << "the chain starts from a crop";
    ASSERT_EQ(first->GetState(), cHouse::e_stateBuilt);
    ASSERT_EQ(second->GetState(), cHouse::e_stateBuilt);

    ASSERT_TRUE(bot.PlayLevel()) << bot.Log();
    EXPECT_EQ(g_pGarden->GetWindowParam(), 2);
    EXPECT_GE(FactoryStarts(bot, first->strName), 8) << bot.Log();
    EXPECT_GE(FactoryStarts(bot, second->strName), 8) << bot.Log();
}

} // namespace
