// A picture of every screen: the real game on the real pack, played by the
// lesson follower from a new profile through the menus, the opening comics,
// the first level with its lesson and the island's result sequence. Each of
// the game's windows is photographed once, when it first shows and has
// faded in, as screens/<window>.png in the build folder, with a contact
// sheet of all of them (screens/contact_sheet.png, in the order of
// screens/contact_sheet.txt).
//
// Each picture is held to what a reviewer looks for first: no square of
// 24 x 24 pixels or more that is pure white or pure black (a placeholder
// where a picture should be), and every label's text and every toolbar
// price inside its control, clear of the other texts.
//
// A control that shows only at some moments is photographed at one of
// them, each as screens/<window>_<state>.png: every kind of message box,
// every face of the hint window as a lesson and as a screen hint, the
// island offering the level's house beside its funds, the upgrades with
// their offers, and the garden of a later level with its factory panel idle,
// waiting and working and with the animal toolbar. The level map's player
// panel is held to its labels in every rating up to the top one, under a
// name as long as the name field takes, and photographed at the top one.
//
// Three windows lie beyond this short play: the upgrades screen (offered
// once the institute stands), the closing comic page (after the statue)
// and the island's edit screen (reached by nothing in the game); they are
// opened through the game object the way the game itself opens them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "engine/core/image.h"
#include "engine/graphics/render.h"
#include "engine/gui/guidraw.h"
#include "game/play/lesson_follower.h"
#include "game/screens/controls.h"
#include "game/shell/comics.h"
#include "game/shell/window_message.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

using namespace gametest;

namespace {

constexpr int kW = 1024, kH = 768;
constexpr int kSquare = 24;
// Frames a window is given to fade in before its picture is taken.
constexpr int kSettle = 30;

// One picture: RGB, top row first.
struct cShot {
    std::string name;
    std::vector<uint8_t> rgb;
};

// The first corner (x, y from the top left) of a kSquare-wide square whose
// pixels are all `value` in every channel; false when there is none.
bool FindSquare(const std::vector<uint8_t>& rgb, uint8_t value, int& fx, int& fy)
{
    // Summed-area table of the pixels that have the value.
    std::vector<int> sum(static_cast<size_t>((kW + 1) * (kH + 1)), 0);
    const auto at = [&](int x, int y) -> int& { return sum[static_cast<size_t>(y * (kW + 1) + x)]; };
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint8_t* p = &rgb[static_cast<size_t>((y * kW + x) * 3)];
            const int hit = p[0] == value && p[1] == value && p[2] == value ? 1 : 0;
            at(x + 1, y + 1) = hit + at(x, y + 1) + at(x + 1, y) - at(x, y);
        }
    for (int y = 0; y + kSquare <= kH; ++y)
        for (int x = 0; x + kSquare <= kW; ++x)
            if (at(x + kSquare, y + kSquare) - at(x, y + kSquare) - at(x + kSquare, y) + at(x, y) ==
                kSquare * kSquare) {
                fx = x;
                fy = y;
                return true;
            }
    return false;
}

class Screens : public LessonFollowingGame {
protected:
    void SetUp() override
    {
        LessonFollowingGame::SetUp();
        const char* build = std::getenv("VEK_BUILD_DIR");
        m_strFolder = std::string(build && *build ? build : ".") + "/screens";
        mkdir(m_strFolder.c_str(), 0755);
    }
    void TearDown() override
    {
        fnAfterFrame = nullptr;
        LessonFollowingGame::TearDown();
    }

    // Windows drawn over the screen below them; a screen of its own is
    // photographed only while none of these shows.
    static bool Overlay(const std::string& name)
    {
        static const std::set<std::string> overlays = {
            "messagebox", "hint",  "hint_mp",        "mission_start", "mission_finish", "mission_goal", "escape",
            "options",    "up",    "profile_select", "profile_add",   "stat_garden",    "stat_island"};
        return overlays.count(name) != 0;
    }
    bool Photographable(const std::string& name) const
    {
        if (m_Shots.count(name) || !Shown(name.c_str())) return false;
        if (Overlay(name)) return true;
        for (const std::string& other : GameWindows())
            if (other != name && Overlay(other) && Shown(other.c_str())) return false;
        // The level map is itself, not the main menu over it.
        return name != "island" || !Shown("main");
    }

    // The moments of a shown window that show controls its first picture
    // may lack, each named "<window>_<state>".
    std::vector<std::string> States(const std::string& name) const
    {
        std::vector<std::string> states;
        if (!Shown(name.c_str())) return states;
        const auto visible = [&](const char* control) {
            const vek::cCtrl* c = Control(name.c_str(), control);
            return c && c->GetState(vek::cCtrl::e_Visibility);
        };
        if (name == "messagebox") {
            const auto* image = dynamic_cast<const vek::cImageCtrl*>(Control("messagebox", "image"));
            for (const char* kind : {"error", "warning", "question"})
                if (image && image->GetTexture() == vek::guidraw::FindTexture(std::string("icon_") + kind))
                    states.push_back(name + "_" + kind);
        } else if (name == "hint") {
            const char* face = visible("highlight") ? "highlight" : visible("close") ? "ok"
                                                              : visible("arrow")   ? "arrow"
                                                                                   : "text";
            states.push_back(name + (Lesson().IsActive() ? "_lesson_" : "_screen_") + face);
        } else if (name == "garden" && Focus() == "garden") {
            for (const cFactoryControl* panel : GetFactoryPanels()) {
                const cFactory* factory = panel ? panel->GetFactory() : nullptr;
                if (!factory || panel->GetSlideState() != cFactoryControl::e_slideShown) continue;
                if (panel->pProgress->GetState(vek::cCtrl::e_Visibility))
                    states.push_back("garden_factory_working");
                else
                    states.push_back(factory->iUnits > 0 ? "garden_factory_waiting" : "garden_factory_idle");
            }
            if (visible("animals")) states.push_back("garden_animals");
        } else if (name == "island" && Focus() == "island" && !Shown("main")) {
            // The island's funds show while the result sequence offers the
            // level's house.
            const vek::cCtrl* funds = Control("score", "frmMoney");
            const cIsland* island = cLevelBot::Island();
            if (island && island->iMode == cIsland::e_modeLevel && cLevelBot::OfferedHouse() && Shown("score") &&
                funds && funds->GetState(vek::cCtrl::e_Visibility))
                states.push_back("island_offer");
        } else if (name == "up" && visible("ch0")) {
            states.push_back("up_offer");
        }
        return states;
    }

    // After every frame: a window seen for the first time, or in a state
    // not photographed yet, is given time to fade in (the game drawn every
    // frame meanwhile) and photographed while it still shows so.
    void Watch()
    {
        if (fnEachFrame) fnEachFrame();
        if (m_bWatching) return;
        for (const std::string& name : GameWindows()) {
            // The comics screen is taken with its first page come in.
            if (name.compare(0, 6, "comics") == 0) continue;
            if (Photographable(name)) {
                m_bWatching = true;
                Settle();
                if (Shown(name.c_str())) Take(name);
                m_bWatching = false;
            }
            // A state is taken without a menu, a box or a level's screen over it.
            bool covered = false;
            for (const char* other :
                 {"escape", "options", "messagebox", "mission_start", "mission_goal", "mission_finish"})
                covered = covered || (name != other && Shown(other));
            if (covered) continue;
            for (const std::string& state : States(name)) {
                if (m_Shots.count(state)) continue;
                m_bWatching = true;
                Settle();
                const std::vector<std::string> now = States(name);
                if (std::find(now.begin(), now.end(), state) != now.end()) Take(state);
                m_bWatching = false;
            }
        }
    }
    void Settle()
    {
        const int interval = m_pGame->iDrawInterval;
        m_pGame->iDrawInterval = 1;
        Run(kSettle);
        m_pGame->iDrawInterval = interval;
    }

    // The picture of the frame drawn last, kept under the window's name.
    void Take(const std::string& name)
    {
        if (m_Shots.count(name)) return;
        const int interval = m_pGame->iDrawInterval;
        m_pGame->iDrawInterval = 1;
        const bool watching = m_bWatching;
        m_bWatching = true;
        Frame();
        m_bWatching = watching;
        m_pGame->iDrawInterval = interval;
        vek::recti r;
        const std::unique_ptr<vek::cImage> frame = vek::g_pRender ? vek::g_pRender->ReadFrontBuffer(&r) : nullptr;
        ASSERT_TRUE(frame) << name;
        ASSERT_EQ(r.w, kW) << name;
        ASSERT_EQ(r.h, kH) << name;
        cShot shot;
        shot.name = name;
        shot.rgb.resize(static_cast<size_t>(kW * kH * 3));
        // The frame's rows come bottom first.
        const uint8_t* src = frame->GetLevel(0);
        for (int y = 0; y < kH; ++y)
            std::copy(src + static_cast<size_t>((kH - 1 - y) * kW * 3), src + static_cast<size_t>((kH - y) * kW * 3),
                      shot.rgb.begin() + static_cast<std::ptrdiff_t>(y * kW * 3));
        EXPECT_TRUE(vektest::WriteFile(m_strFolder + "/" + name + ".png", vektest::MakePNG(kW, kH, 2, 8, shot.rgb)))
            << name;
        CheckPicture(shot);
        CheckLabels(name);
        m_Shots[name] = std::move(shot);
        m_vecOrder.push_back(name);
    }

    void CheckPicture(const cShot& shot)
    {
        int x = 0, y = 0;
        if (FindSquare(shot.rgb, 255, x, y))
            ADD_FAILURE() << shot.name << ": a pure white square of " << kSquare << " px at (" << x << ", " << y
                          << ") from the top left";
        if (FindSquare(shot.rgb, 0, x, y))
            ADD_FAILURE() << shot.name << ": a pure black square of " << kSquare << " px at (" << x << ", " << y
                          << ") from the top left";
    }

    // Every visible label of every shown window holds its text, and so does
    // every price a toolbar draws under its tools; no two of these texts
    // in one window run into each other.
    void CheckLabels(const std::string& picture)
    {
        struct cText {
            std::string who, text;
            vek::rectf control, rect;
        };
        const float slack = 1.0f;
        for (const std::string& name : GameWindows()) {
            vek::cWindow* w = Window(name.c_str());
            if (!w || !Shown(name.c_str())) continue;
            std::vector<cText> texts;
            for (unsigned i = 0; i < w->GetControlCount(); ++i) {
                vek::cCtrl* control = w->GetControl(i);
                if (!control || !control->GetState(vek::cCtrl::e_Visibility)) continue;
                if (const auto* label = dynamic_cast<const vek::cLabelCtrl*>(control)) {
                    if (!label->GetText().empty())
                        texts.push_back({name + "." + label->GetName().c_str(), label->GetText().c_str(),
                                         label->GetRect(), label->GetTextRect()});
                } else if (auto* toolbar = dynamic_cast<cToolbarCtrl*>(control)) {
                    const unsigned first = toolbar->GetFirstVisible();
                    const unsigned end = std::min(toolbar->GetItemCount(), first + toolbar->GetVisibleCount());
                    for (unsigned k = first; k < end; ++k) {
                        cToolbarItemCtrl* item = toolbar->GetItem(k);
                        if (!item || !item->IsAvailable() || !item->PlacePrice()) continue;
                        const vek::cLabelCtrl& price = toolbar->GetPriceLabel();
                        texts.push_back({name + "." + toolbar->GetName().c_str() + " item " + std::to_string(k),
                                         price.GetText().c_str(), price.GetRect(), price.GetTextRect()});
                    }
                }
            }
            for (size_t i = 0; i < texts.size(); ++i) {
                const vek::rectf c = texts[i].control, t = texts[i].rect;
                if (t.x < c.x - slack || t.y < c.y - slack || t.x + t.w > c.x + c.w + slack ||
                    t.y + t.h > c.y + c.h + slack)
                    ADD_FAILURE() << picture << ": the text of " << texts[i].who << " (\"" << texts[i].text << "\", "
                                  << t.w << " x " << t.h << " at " << t.x << "," << t.y << ") leaves its control ("
                                  << c.w << " x " << c.h << " at " << c.x << "," << c.y << ")";
                for (size_t j = i + 1; j < texts.size(); ++j) {
                    const vek::rectf u = texts[j].rect;
                    if (t.x + slack < u.x + u.w && u.x + slack < t.x + t.w && t.y + slack < u.y + u.h &&
                        u.y + slack < t.y + t.h)
                        ADD_FAILURE() << picture << ": the texts of " << texts[i].who << " (\"" << texts[i].text
                                      << "\" at " << t.x << "," << t.y << ") and " << texts[j].who << " (\""
                                      << texts[j].text << "\" at " << u.x << "," << u.y << ") overlap";
                }
            }
        }
    }

    // All pictures at a quarter of their size, five to a row, in the order
    // they were taken; the order goes to a text file beside it.
    void WriteContactSheet()
    {
        constexpr int kTileW = kW / 4, kTileH = kH / 4, kColumns = 5;
        const int rows = (static_cast<int>(m_vecOrder.size()) + kColumns - 1) / kColumns;
        const int sw = kTileW * kColumns, sh = kTileH * std::max(rows, 1);
        std::vector<uint8_t> sheet(static_cast<size_t>(sw * sh * 3), 40);
        std::string index;
        for (size_t n = 0; n < m_vecOrder.size(); ++n) {
            const cShot& shot = m_Shots[m_vecOrder[n]];
            index += std::to_string(n / kColumns + 1) + "," + std::to_string(n % kColumns + 1) + " " + shot.name + "\n";
            const int ox = static_cast<int>(n % kColumns) * kTileW, oy = static_cast<int>(n / kColumns) * kTileH;
            for (int y = 0; y < kTileH; ++y)
                for (int x = 0; x < kTileW; ++x)
                    for (int c = 0; c < 3; ++c) {
                        int total = 0;
                        for (int dy = 0; dy < 4; ++dy)
                            for (int dx = 0; dx < 4; ++dx)
                                total += shot.rgb[static_cast<size_t>(((y * 4 + dy) * kW + x * 4 + dx) * 3 + c)];
                        sheet[static_cast<size_t>(((oy + y) * sw + ox + x) * 3 + c)] = static_cast<uint8_t>(total / 16);
                    }
        }
        EXPECT_TRUE(vektest::WriteFile(m_strFolder + "/contact_sheet.png", vektest::MakePNG(sw, sh, 2, 8, sheet)));
        EXPECT_TRUE(vektest::WriteFile(m_strFolder + "/contact_sheet.txt", index));
    }

    // A comic page, once its pictures have come in.
    void TakeComicPage(const std::string& name)
    {
        m_bWatching = true;
        for (int i = 0; i < 5; ++i) Settle();
        Take(name);
        m_bWatching = false;
    }

    std::string m_strFolder;
    std::map<std::string, cShot> m_Shots;
    std::vector<std::string> m_vecOrder;
    bool m_bWatching = false;
    // Run after every frame, pictures' frames included.
    std::function<void()> fnEachFrame;
};

TEST_F(Screens, EveryWindowIsPhotographedWithoutPlaceholdersOrOverflowingText)
{
    cLevelBot bot(*this);
    StartOnPack();
    m_pGame->iDrawInterval = 60;
    fnAfterFrame = [this] { Watch(); };
    ASSERT_TRUE(RunToMainMenu(3000));
    Run(20);

    // The menus: a profile of the player's own, the options.
    ASSERT_TRUE(bot.MakeProfile("Zed")) << bot.Log();
    // Deleting one of two profiles is asked first (a warning); deleting the
    // only one left is refused (an error).
    ASSERT_TRUE(bot.Click("main", "btProfile")) << bot.Log();
    ASSERT_TRUE(bot.Click("profile_select", "btDelete")) << bot.Log();
    ASSERT_TRUE(bot.Click("messagebox", "ok")) << bot.Log();
    ASSERT_TRUE(bot.Click("profile_select", "btDelete")) << bot.Log();
    ASSERT_TRUE(bot.Click("messagebox", "ok")) << bot.Log();
    ASSERT_TRUE(bot.Click("profile_select", "btOk")) << bot.Log();
    ASSERT_TRUE(bot.Click("main", "btOptions")) << bot.Log();
    ASSERT_TRUE(bot.Click("options", "btBack")) << bot.Log();

    // "Play": the opening comics, page by page, then the level map.
    ASSERT_TRUE(bot.Click("main", "btStart")) << bot.Log();
    ASSERT_EQ(Focus(), "comics");
    TakeComicPage("comics00");
    Take("comics");
    ASSERT_TRUE(ClickControl("comics", "next"));
    TakeComicPage("comics01");
    for (int i = 0; i < 40 && Focus() != "island"; ++i) {
        if (Shown("comics")) ClickControl("comics", "next");
        Run(20);
    }
    ASSERT_EQ(Focus(), "island");
    Run(60);

    // The first level: its question, start screen, the pause menu, the
    // lesson followed to the finish screen.
    ASSERT_TRUE(bot.StartLevel(0)) << bot.Log();
    Key(SDL_SCANCODE_ESCAPE);
    Run(5);
    ASSERT_TRUE(Shown("escape"));
    ASSERT_TRUE(bot.Click("escape", "btResume")) << bot.Log();
    ASSERT_TRUE(PlayLevelFollowing(bot)) << Situation() << "\n" << bot.Log();
    ASSERT_TRUE(FinishToMapFollowing(bot)) << Situation() << "\n" << bot.Log();

    // The level map: a played point's pop-up, the two ratings.
    int x = 0, y = 0;
    ASSERT_TRUE(LevelPointClient(0, x, y));
    MoveTo(x, y);
    Run(10);
    MoveTo(512, 100);
    Run(10);
    for (const char* rate : {"but_rate", "but_island_rate"}) {
        const vek::cCtrl* button = Control("island", rate);
        if (button && button->GetState(vek::cCtrl::e_Visibility) && ClickControl("island", rate)) Run(20);
        for (const char* screen : {"stat_garden", "stat_island"})
            if (Shown(screen)) {
                ClickControl(screen, "ok");
                Run(30);
            }
    }

    // The player's panel as a later game shows it: each rating, one for
    // every five gold medals up to the top one, under a name of wide
    // capitals as long as the name field takes. The player's own name and
    // medals come back afterwards.
    {
        const vek::cCtrl* rate = Control("island", "rate");
        ASSERT_TRUE(Shown("island") && rate && rate->GetState(vek::cCtrl::e_Visibility)) << Situation();
        const auto* field = dynamic_cast<const vek::cEditCtrl*>(Control("profile_add", "name"));
        ASSERT_NE(field, nullptr);
        ASSERT_GT(field->GetMaxLength(), 0);
        cPlayer* rated = cLevelBot::Player();
        ASSERT_NE(rated, nullptr);
        const vek::string name = rated->m_strName;
        const std::vector<int32_t> results = rated->m_Results;
        rated->m_strName = std::string(static_cast<size_t>(field->GetMaxLength()), 'W');
        for (int golds = 0; golds <= 20; golds += 5) {
            rated->m_Results.assign(static_cast<size_t>(kLevelCount), 1);
            std::fill_n(rated->m_Results.begin(), golds, 0);
            SendWindowMessage("island", 0, 0);
            Run(1);
            CheckLabels("island_rated with " + std::to_string(golds) + " gold medals");
        }
        Take("island_rated");
        rated->m_strName = name;
        rated->m_Results = results;
        SendWindowMessage("island", 0, 0);
        Run(1);
    }

    // A later level, from the profile a player reaching it would have
    // (the garden's lessons had on the levels before): the island's
    // scrolling lesson, the factory panel idle, waiting for its start and
    // working, and the animal toolbar. The level is left by the pause menu
    // once all of them were seen.
    constexpr int kLater = 7;
    Key(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(bot.Click("escape", "btEnd")) << bot.Log();
    cLevelBot::ReachLevel(kLater);
    cPlayer* player = cLevelBot::Player();
    player->m_Events.resize(static_cast<size_t>(cTraining::kLessons), 0);
    for (int lesson = 0; lesson < cTraining::kLessons; ++lesson)
        if (lesson != e_lessonScrolling) player->m_Events[static_cast<size_t>(lesson)] = 1;
    player->SavePlayer();
    ASSERT_TRUE(bot.PlayToIsland()) << Situation() << "\n" << bot.Log();
    for (int i = 0; i < 300 && Lesson().IsActive(); ++i) FollowLesson(bot);
    ASSERT_TRUE(bot.StartLevel(kLater)) << Situation() << "\n" << bot.Log();
    // Under the sanitizers the level stops once its start is taken: the
    // panel waits for its first crops only after a minute of play.
    const std::vector<const char*> later = {"garden_factory_idle", "garden_animals",
#if !defined(__SANITIZE_ADDRESS__)
                                            "garden_factory_waiting", "garden_factory_working"
#endif
    };
    const auto laterSeen = [&] {
        for (const char* state : later)
            if (!m_Shots.count(state)) return false;
        return true;
    };
    for (int start = m_iFrames; !laterSeen() && m_iFrames - start < 30 * 300;) {
        if (Shown("mission_finish")) break;
        if (FollowLesson(bot)) continue;
        if (bot.HintWaits()) {
            if (!bot.CloseHint()) Frame();
            continue;
        }
        if (Focus() == "garden" && cLevelBot::Field() && bot.Act()) Run(1);
        else Frame();
    }
    EXPECT_TRUE(laterSeen()) << Situation() << "\n" << bot.Log(60);
    Key(SDL_SCANCODE_ESCAPE);
    ASSERT_TRUE(bot.Click("escape", "btEnd")) << Situation() << "\n" << bot.Log();
    ASSERT_TRUE(bot.Click("messagebox", "ok")) << Situation() << "\n" << bot.Log();
    ASSERT_TRUE(RunUntil([&] { return Focus() == "island"; }, 300)) << Situation();
    Run(30);

    // Beyond this play: the upgrades screen, the edit screen, the closing
    // comic page.
    if (!m_Shots.count("up_offer")) {
        g_pGarden->ShowGameWindow("up", 1);
        Run(2);
        if (Shown("up")) ClickControl("up", "done");
        Run(30);
    }
    cIsland* island = cLevelBot::Island();
    ASSERT_NE(island, nullptr);
    // The level map's own hint ("play the next level") does not belong to
    // the edit screen.
    island->SetMode(cIsland::e_modeEdit);
    const auto noHints = [&] {
        for (const char* hint : {"hint", "hint_mp"})
            if (Shown(hint)) Gui()->HideWindowImmediately(static_cast<unsigned>(Gui()->FindWindow(hint)));
    };
    noHints();
    fnEachFrame = noHints;
    ASSERT_TRUE(g_pGarden->ShowGameWindow("edit", 2));
    RunUntil([&] { return m_Shots.count("edit") != 0; }, 90);
    fnEachFrame = nullptr;
    island->SetMode(cIsland::e_modeIsland);
    Run(30);
    ASSERT_NE(g_pGarden->m_pComics, nullptr);
    g_pGarden->m_pComics->SetEpisode(1);
    m_pGame->SetFocusWidget("comics");
    TakeComicPage("comics02");
    fnAfterFrame = nullptr;

    WriteContactSheet();
    std::string missing;
    for (const std::string& name : GameWindows())
        if (!m_Shots.count(name)) missing += " " + name;
    EXPECT_EQ(missing, "") << "windows never photographed";
    missing.clear();
    std::vector<const char*> states = {"messagebox_error",      "messagebox_warning", "messagebox_question",
                                       "hint_lesson_highlight", "hint_lesson_ok",     "hint_lesson_arrow",
                                       "hint_screen_arrow",     "hint_screen_ok",     "island_offer",
                                       "up_offer"};
    states.insert(states.end(), later.begin(), later.end());
    for (const char* state : states)
        if (!m_Shots.count(state)) missing += std::string(" ") + state;
    EXPECT_EQ(missing, "") << "states never photographed";
}

} // namespace
