// The wares of a started game: made once, after the locale script, with
// the titles it set; the loaded game sounds play by id.
#include "game/game_fixture.h"

#include <gtest/gtest.h>

#include "game/shell/locale_gd.h"
#include "game/world/game_sound.h"
#include "game/world/ware.h"

using namespace gametest;

namespace {

TEST_F(GameFixture, WaresCarryTheTitlesTheLocaleScriptSet)
{
    WritePack();
    vektest::FixturePack pack(m_strDir + "/data");
    pack.File("conf/locale.lua", "locale.ConfirmExitGame = 'Leave?'\nlocale.Tomato = 'Tomate'\nlocale.Nib = 'Feder'\n");
    const vek::string tomato = GetLocaleGD().Tomato, nib = GetLocaleGD().Nib;
    Start();
    ASSERT_TRUE(RunToMainMenu()) << ConsoleLog();

    ASSERT_EQ(g_pWareManager->vecWares.size(), 21u);
    EXPECT_EQ(g_pWareManager->GetWare(0)->strTitle, "Tomate");
    EXPECT_EQ(g_pWareManager->GetWare(20)->strTitle, "Feder");
    EXPECT_EQ(g_pWareManager->GetWare(1)->strTitle, "Olive");
    // Once: the table is not filled twice.
    EXPECT_FALSE(CreateWareManager());
    EXPECT_EQ(g_pWareManager->vecWares.size(), 21u);

    // The fixture pack loads "goal_done" only: that id plays, unknown ids
    // and sounds not loaded stay quiet without a log line each.
    ASSERT_EQ(g_pGarden->GetSoundTable().size(), 31u);
    EXPECT_NE(g_pGarden->GetSoundTable()[1], 0);
    for (unsigned id : {0u, 1u, 30u, 31u, 1000u}) g_pGarden->PlayGameSound(id);
    Frames(2);
    EXPECT_EQ(HtmlLog().find("Play: invalid sound"), std::string::npos);

    Stop();
    GetLocaleGD().Tomato = tomato;
    GetLocaleGD().Nib = nib;
    const std::string log = HtmlLog();
    size_t oks = 0;
    for (size_t at = log.find("CreateWareManager"); at != std::string::npos; at = log.find("CreateWareManager", at + 1))
        ++oks;
    EXPECT_EQ(oks, 2u);  // "Ok", and the refusal above
}

} // namespace
