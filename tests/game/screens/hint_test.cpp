// The pop-up windows over a real engine and game object: the tutorial hint
// (placement, input capture, its close button and the tutorial) and the
// island's level pop-up.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/app/console.h"
#include "engine/app/game.h"
#include "engine/core/filename.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/host.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/window_message.h"
#include "support/temp_dir.h"

namespace {

using vek::cGUI;
using vek::rectf;
using vek::vec2;

// The hint's layout: frame (352, 296, 320, 176), text (368, 360, 288, 96),
// close (512, 308, 144, 40), arrow 48 x 64. So the text lies 16 right of and
// 64 above the frame's corner, the button 160 and 12; the frame is 80
// higher than the text, whose bottom is 52 above the button's.
const char* const kHintScript = R"lua(
function FillWindow(w)
  w:SetName('hint') w:SetActive(true) w:SetModal(false)
  local h = cImageCtrl(w, 'highlight') h:SetSize(64, 64, 0) h:EnableState(cCtrl.e_Ignorable)
  h:SetUVPos(0.25, 0.25, 0) h:SetUVSize(0.5, 0.5, 0)
  local a = cImageCtrl(w, 'arrow') a:SetPos(300, 420, 0) a:SetSize(48, 64, 0) a:EnableState(cCtrl.e_Ignorable)
  local f = cFrameCtrl(w, 'frame') f:SetPos(352, 296, 0) f:SetSize(320, 176, 0)
  local t = cTextBoxSysCtrl(w, 'text') t:SetFontPrt('mono') t:SetAlign(cAlign.Left + cAlign.Top)
  t:SetPos(368, 360, 0) t:SetSize(288, 96, 0)
  local c = cButtonSysCtrl(w, 'close') c:SetPos(512, 308, 0) c:SetSize(144, 40, 0)
  cCheckBoxSysCtrl(w, 'show')
end
)lua";

// Level points of the tests' island.
class cTestPopUp : public cHintMPWF {
protected:
    bool GetLevelPoint(int level, vec2& point) const override
    {
        if (level > 5) return false;
        point = vec2(100.0f * static_cast<float>(level) + 200.0f, 300.0f);
        return true;
    }
};

class PopUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("popup");
        ASSERT_FALSE(m_strDir.empty());
        vek::cGame::cSettings s;
        s.strName = "PopUpTest";
        m_pGame = new vek::cGame(s);
        ASSERT_TRUE(m_pGame->HasManagers());
        vek::SetPathMacro(vek::e_macroStaticPath, m_strDir + "/data");
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir + "/app");
        m_pGame->pGUI->SetViewport(0, 0, 1024, 768);
        auto* font = new vek::cFont("mono");
        font->Init("", "", 0, 10.0f);
        for (char c = 'a'; c <= 'z'; ++c) font->Char(vek::string(1, c), 8, vek::recti(0, 0, 8, 10), 0, 8);
        font->Char(" ", 0, vek::recti(0, 0, 0, 0), 0, 8);
        m_pGarden = new cGarden();
    }
    void TearDown() override
    {
        delete m_pGarden;
        delete m_pGame;
    }

    vek::cWindow* Make(const std::string& name, const std::string& script, vek::cWindowFunction* function)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strDir + "/data/gui/" + name + ".lua", script));
        return m_pGarden->FillWindow(name, vek::filename("{StaticPath}/gui/" + name + ".lua"), function);
    }
    cHintGDWF* MakeHint()
    {
        auto* hint = new cHintGDWF();
        m_pHintWindow = Make("hint", kHintScript, hint);
        return hint;
    }
    vek::cCtrl* Get(const char* name) { return GetWindowControl(m_pHintWindow, name); }
    int Send(int message, unsigned a, unsigned b)
    {
        return m_pGame->pGUI->SendMessage(m_pHintWindow->GetID(), message, a, b);
    }
    void Run(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 1.0f / 30.0f) m_pGame->pGUI->Update(1.0f / 30.0f);
    }
    int Logged(const std::string& text) const
    {
        int n = 0;
        if (const vek::cConsole* console = vek::cConsole::OfLog())
            for (const vek::string& line : console->vecLines) n += line.find(text) != std::string::npos;
        return n;
    }
    bool Shown(const char* name) const { return m_pGame->pGUI->IsWindowShown(name); }

    std::string m_strDir;
    vek::cGame* m_pGame = nullptr;
    cGarden* m_pGarden = nullptr;
    vek::cWindow* m_pHintWindow = nullptr;
};

TEST_F(PopUpTest, TheHintFitsItsFrameToTheTextAndCentresIt)
{
    cHintGDWF* hint = MakeHint();
    ASSERT_TRUE(hint->IsReady());

    EXPECT_EQ(hint->SetText("abc", 1), 0);
    EXPECT_TRUE(Get("close")->GetState(vek::cCtrl::e_Visibility)) << "a modal hint offers its button";
    EXPECT_FALSE(Get("arrow")->GetState(vek::cCtrl::e_Visibility));
    EXPECT_FALSE(Get("highlight")->GetState(vek::cCtrl::e_Visibility));
    // One line of 10: the frame is 90 high, centred.
    EXPECT_EQ(Get("frame")->GetRect(), rectf(352.0f, 339.0f, 320.0f, 90.0f));
    EXPECT_EQ(Get("text")->GetRect(), rectf(368.0f, 403.0f, 288.0f, 10.0f));
    EXPECT_EQ(Get("close")->GetRect(), rectf(512.0f, 351.0f, 144.0f, 40.0f));

    // Not modal: no button, and the frame loses the button's room.
    hint->SetText("abc abc abc abc abc abc abc abc abc abc abc abc abc abc abc abc", 0);
    EXPECT_FALSE(Get("close")->GetState(vek::cCtrl::e_Visibility));
    const float th = Get("text")->GetRect().h;
    EXPECT_EQ(th, 20.0f) << "two lines";
    EXPECT_EQ(Get("frame")->GetRect(), rectf(352.0f, (768.0f - 48.0f) / 2.0f, 320.0f, 48.0f));
    EXPECT_EQ(Get("text")->GetRect().y, (768.0f - 48.0f) / 2.0f + 12.0f);
}

TEST_F(PopUpTest, TheHintGoesBesideItsPointAndMirrorsTheArrow)
{
    cHintGDWF* hint = MakeHint();
    const struct {
        vec2 point;
        int flags;
        float fx, fy, aw, ah;
    } cases[] = {
        // Flags 0: away from the middle of the screen.
        {{800.0f, 600.0f}, 0, 800.0f - 48.0f - 320.0f, 600.0f - 64.0f - 38.0f, -48.0f, -64.0f},
        {{100.0f, 100.0f}, 0, 148.0f, 164.0f, 48.0f, 64.0f},
        {{800.0f, 100.0f}, 0, 432.0f, 164.0f, -48.0f, 64.0f},
        // As the flags say, wherever the point is.
        {{100.0f, 150.0f}, cHintWF::e_hintBelow, 148.0f, 150.0f - 64.0f - 38.0f, 48.0f, -64.0f},
        // A frame that would leave the screen stays at its edge.
        {{100.0f, 100.0f}, cHintWF::e_hintLeft, 0.0f, 164.0f, -48.0f, 64.0f},
        {{800.0f, 600.0f}, cHintWF::e_hintLeft | cHintWF::e_hintBelow, 432.0f, 498.0f, -48.0f, -64.0f},
        {{800.0f, 600.0f}, 0x40, 1024.0f - 320.0f, 664.0f, 48.0f, 64.0f},
        {{2000.0f, -50.0f}, cHintWF::e_hintBelow, 1024.0f - 320.0f, 0.0f, 48.0f, -64.0f},
        // A point near the top or the bottom edge: the frame goes to the
        // side where it fits, not over the point (a rating button at the
        // top of the level map, a toolbar item at the bottom).
        {{900.0f, 740.0f}, cHintWF::e_hintLeft, 532.0f, 740.0f - 64.0f - 38.0f, -48.0f, -64.0f},
        {{900.0f, 740.0f}, 0x40, 1024.0f - 320.0f, 740.0f - 64.0f - 38.0f, 48.0f, -64.0f},
        {{100.0f, 30.0f}, cHintWF::e_hintBelow, 148.0f, 94.0f, 48.0f, 64.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y << " flags " << c.flags);
        hint->SetHint("abc", rectf(0.0f, 0.0f, 0.0f, 0.0f), c.point, c.flags, 0);
        EXPECT_EQ(Get("arrow")->GetState(vek::cCtrl::e_Visibility), c.flags != 0);
        EXPECT_EQ(Get("frame")->GetRect(), rectf(c.fx, c.fy, 320.0f, 38.0f));
        EXPECT_EQ(Get("arrow")->GetRect(), rectf(c.point.x, c.point.y, c.aw, c.ah));
        EXPECT_EQ(Get("text")->GetRect().x, c.fx + 16.0f);
        EXPECT_EQ(Get("close")->GetRect().x, c.fx + 160.0f);
    }
}

TEST_F(PopUpTest, TheHintTakesTheMouseAsItsTargetAndModeSay)
{
    cHintGDWF* hint = MakeHint();
    const unsigned inside = vek::PackGUIPoint(150, 150);
    const unsigned outside = vek::PackGUIPoint(50, 50);

    hint->SetText("abc", 1);
    EXPECT_EQ(Send(cGUI::e_wndLButtonDown, 0, outside), 1) << "a modal hint swallows the mouse";
    EXPECT_EQ(Send(cGUI::e_wndMouseMove, 0, outside), 1);
    hint->SetText("abc", 0);
    EXPECT_EQ(Send(cGUI::e_wndLButtonDown, 0, outside), 0);

    hint->SetHint("abc", rectf(100.0f, 100.0f, 200.0f, 100.0f), vec2(-1.0f, -1.0f), 0, 1);
    EXPECT_FALSE(Get("close")->GetState(vek::cCtrl::e_Visibility));
    EXPECT_EQ(Get("highlight")->GetRect(), rectf(100.0f, 100.0f, 200.0f, 100.0f));
    EXPECT_EQ(Send(cGUI::e_wndLButtonDown, 0, inside), 0) << "the click reaches the game";
    EXPECT_EQ(Send(cGUI::e_wndLButtonDown, 0, outside), 1);

    // Enter and Space press the button of a modal hint and are used up.
    hint->SetText("abc", 1);
    m_pGarden->ShowGameWindow("hint", 0);
    Run(1.0f);
    EXPECT_EQ(Send(cGUI::e_wndKeyDown, 57, 0), 1);
    Run(1.0f);
    EXPECT_FALSE(Shown("hint"));
    m_pGarden->ShowGameWindow("hint", 0);
    hint->SetText("abc", 0);
    EXPECT_EQ(Send(cGUI::e_wndKeyDown, 28, 0), 0) << "not modal: keys pass";
    Run(1.0f);
    EXPECT_TRUE(Shown("hint"));
}

TEST_F(PopUpTest, TheHintDimsAllButItsTargetWithItsOwnPicture)
{
    cHintGDWF* hint = MakeHint();
    hint->SetHint("abc", rectf(100.0f, 200.0f, 300.0f, 100.0f), vec2(-1.0f, -1.0f), 0, 0);
    Send(cGUI::e_wndPaint, 0, 0);
    const vek::cQuadBatch* batch = vek::GetGuiHost()->GetHostBatch();
    ASSERT_NE(batch, nullptr);
    // Vertex 0 of a quad is its bottom left, vertex 5 its top right.
    const auto quad = [&](int q) {
        const vek::cVertex2D* v = batch->GetVertices() + batch->GetRuns()[0].uFirst + 6 * q;
        return std::make_pair(rectf(v[0].x, v[0].y, v[5].x - v[0].x, v[5].y - v[0].y),
                              rectf(v[0].u, v[0].v, v[5].u - v[0].u, v[5].v - v[0].v));
    };
    EXPECT_EQ(quad(0).first, rectf(100.0f, 200.0f, 300.0f, 100.0f)) << "the highlight itself";
    // The rest of the screen in four quads that meet, each of one point of
    // the picture's dim border.
    const rectf dim(0.125f, 0.125f, 0.0f, 0.0f);
    EXPECT_EQ(quad(1), std::make_pair(rectf(0.0f, 0.0f, 100.0f, 768.0f), dim));
    EXPECT_EQ(quad(2), std::make_pair(rectf(100.0f, 0.0f, 300.0f, 200.0f), dim));
    EXPECT_EQ(quad(3), std::make_pair(rectf(100.0f, 300.0f, 300.0f, 468.0f), dim));
    EXPECT_EQ(quad(4), std::make_pair(rectf(400.0f, 0.0f, 624.0f, 768.0f), dim));
}

TEST_F(PopUpTest, AHintWithoutItsControlsStaysInert)
{
    auto* hint = new cHintGDWF();
    m_pHintWindow = Make("hint", "function FillWindow(w) cFrameCtrl(w, 'frame') cLabelCtrl(w, 'highlight') end\n", hint);
    EXPECT_FALSE(hint->IsReady());
    EXPECT_EQ(hint->SetText("abc", 1), 0);
    EXPECT_EQ(Send(cGUI::e_wndPaint, 0, 0), 0);
    EXPECT_EQ(Send(cGUI::e_wndLButtonDown, 0, vek::PackGUIPoint(10, 10)), 0) << "an inert hint takes no input";
    EXPECT_EQ(Logged("[hint]"), 0);
}

TEST_F(PopUpTest, TheCloseButtonAdvancesTheTutorialAndTheCheckBoxStopsIt)
{
    MakeHint();
    m_pGarden->SetTraining(1);
    m_pGarden->m_Training.iKind = 0;
    m_pGarden->m_Training.iStep = 12;
    m_pGarden->m_iShownHint = 3;
    ClickControl(m_pHintWindow, "close");
    EXPECT_EQ(m_pGarden->m_Training.iStep, 13);
    EXPECT_EQ(m_pGarden->m_iShownHint, -1);

    m_pGarden->m_Training.iKind = 5;
    m_pGarden->m_Training.iStep = 2;
    ClickControl(m_pHintWindow, "close");
    EXPECT_EQ(m_pGarden->m_Training.iStep, 3);
    ClickControl(m_pHintWindow, "close");
    EXPECT_EQ(m_pGarden->m_Training.iStep, 3) << "only the step it waits for";

    auto* show = GetWindowControlAs<vek::cCheckBoxSysCtrl>(m_pHintWindow, "show");
    ASSERT_NE(show, nullptr);
    Send(cGUI::e_wndCheck, 0, static_cast<unsigned>(show->GetID()));
    EXPECT_EQ(m_pGarden->GetTraining(), 0);
    EXPECT_EQ(m_pGarden->m_Training.iKind, -1);
}

TEST_F(PopUpTest, TheLevelPopUpShowsNumberTimeAndMedalBelowItsPoint)
{
    EXPECT_EQ(cHintMPWF::FormatTime(125.7f), "2 : 05");
    EXPECT_EQ(cHintMPWF::FormatTime(600.0f), "10 : 00");
    EXPECT_EQ(cHintMPWF::FormatTime(59.9f), "0 : 59");
    EXPECT_EQ(cHintMPWF::FormatTime(-3.0f), "0 : 00");

    auto* pop = new cTestPopUp();
    vek::cWindow* w = Make("hint_mp",
                           "function FillWindow(w) w:SetName('hint_mp')\n"
                           "  local f = cFrameCtrl(w, 'frame') f:SetSize(176, 104, 0)\n"
                           "  cLabelCtrl(w, 'day') cLabelCtrl(w, 'time') cLabelCtrl(w, 'medal') end\n",
                           pop);
    auto* player = new cPlayer("pop");
    player->m_strName = "pop";
    player->m_Times = {125.7f, 600.0f, 30.0f};
    player->m_Results = {0, 1, 7};
    m_pGarden->AddPlayer(player);
    m_pGarden->ChangePlayer("pop");
    ASSERT_EQ(m_pGarden->GetPlayer(), player);
    const auto text = [&](const char* name) { return GetWindowControlAs<vek::cLabelCtrl>(w, name)->GetText(); };

    m_pGarden->SendWindowMessage("hint_mp", 1, 0);
    EXPECT_EQ(text("day"), "2");
    EXPECT_EQ(text("time"), "10 : 00");
    EXPECT_EQ(text("medal"), GetLocaleGD().Silver);
    // Level point (300, 300): the frame centred on it in x, its top edge 38
    // below it (y grows upward), so the point itself stays uncovered.
    EXPECT_EQ(GetWindowControl(w, "frame")->GetRect(), rectf(300.0f - 88.0f, 300.0f - 104.0f - 38.0f, 176.0f, 104.0f));

    m_pGarden->SendWindowMessage("hint_mp", 2, 0);
    EXPECT_EQ(text("medal"), "") << "a medal value of a damaged profile names none";
    m_pGarden->SendWindowMessage("hint_mp", 3, 0);
    EXPECT_EQ(text("day"), "3") << "past the player's times: nothing changes";

    auto* broken = new cHintMPWF();
    Make("hint_mp2", "function FillWindow(w) cLabelCtrl(w, 'day') cFrameCtrl(w, 'time') end\n", broken);
    EXPECT_EQ(Logged("[hint_mp2] wndAfterCreate"), 1);
}

} // namespace
