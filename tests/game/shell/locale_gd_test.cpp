// The game's texts: defaults, and reading and writing every one from Lua.
#include "game/shell/locale_gd.h"

#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/script.h"
#include "engine/core/script_fixture.h"

namespace {

struct cText {
    const char* name;
    vek::string cLocaleGD::*field;
};

const std::vector<cText>& Texts()
{
    static const std::vector<cText> texts = {
#define LOCALE_GD_ENTRY(field, text) {#field, &cLocaleGD::field},
        LOCALE_GD_TEXTS(LOCALE_GD_ENTRY)
#undef LOCALE_GD_ENTRY
    };
    return texts;
}

TEST(LocaleGD, DefaultsAreTheKeysButSeventeenEnglishMessages)
{
    const cLocaleGD defaults;
    ASSERT_EQ(Texts().size(), 164u);
    int own = 0;
    for (const cText& t : Texts())
        if (defaults.*t.field == t.name) ++own;
    EXPECT_EQ(own, 147);
    EXPECT_EQ(defaults.ErrorEmptyPlayerName, "Can't create\na user with\nno name!");
    EXPECT_EQ(defaults.ErrorPlayerExist, "A user with this\nname already\nexists!");
    EXPECT_EQ(defaults.ErrorOnePlayer, "Can't delete\nthe only\nplayer!");
    EXPECT_EQ(defaults.ConfirmDeletePlayer, "Are you sure you\nwant to delete\nplayer '%s'?");
    EXPECT_EQ(defaults.ConfirmExitGame, "Are you sure you\nwant to exit\nthe game?");
    EXPECT_EQ(defaults.ErrorWindowMode, "Can't set windowed mode");
    EXPECT_EQ(defaults.ErrorSaveGame, "The game could\nnot be saved.");
    EXPECT_EQ(&g_LocaleGD, &GetLocaleGD());
}

class LocaleLua : public vektest::ScriptFixture {};

// The texts the pack's locale script sets (the manifest's list), each a
// field of the game's table, in any order.
std::vector<cText> PackTexts()
{
    std::vector<cText> texts;
    const char* repo = std::getenv("VEK_REPO_DIR");
    if (!repo) return texts;
    boost::property_tree::ptree manifest;
    boost::property_tree::read_json(std::string(repo) + "/tools/pack/manifest.json", manifest);
    for (const auto& entry : manifest.get_child("locale.game")) {
        const std::string name = entry.second.get_value<std::string>();
        const auto known = std::find_if(Texts().begin(), Texts().end(), [&](const cText& t) { return name == t.name; });
        EXPECT_NE(known, Texts().end()) << "the pack sets a text the game lacks: " << name;
        if (known != Texts().end()) texts.push_back(*known);
    }
    return texts;
}

TEST_F(LocaleLua, EveryTextIsReadAndWrittenFromLua)
{
    cLocaleGD locale;
    ASSERT_TRUE(RegisterLocaleClass(&Host()));
    Host().RegisterVar("locale", &locale);
    const std::vector<cText> texts = PackTexts();
    ASSERT_EQ(texts.size(), Texts().size()) << "every text of the game is one the pack sets";

    // Each field reads its default and takes a new value C++ then sees.
    std::string script = "bad = {}\n";
    for (const cText& t : texts) {
        script += std::string("if locale.") + t.name + " ~= " + "[==[" + std::string(locale.*t.field) +
                  "]==] then bad[#bad + 1] = '" + t.name + "' end\n";
        script += std::string("locale.") + t.name + " = 'new " + t.name + "'\n";
    }
    ASSERT_TRUE(Run(script));
    EXPECT_TRUE(Run("assert(#bad == 0, table.concat(bad, ' '))"));
    for (const cText& t : texts) EXPECT_EQ(locale.*t.field, std::string("new ") + t.name);

    // Names are case-sensitive; an unknown one changes no text, and the
    // assignments after it still apply.
    EXPECT_TRUE(Run("locale.gold = 'x'; locale.NoSuchText = 'y'; locale.Gold = 'Gold!'"));
    EXPECT_EQ(locale.Gold, "Gold!");
    EXPECT_EQ(locale.Silver, "new Silver");
}

}  // namespace
