// The options screen on a window with a render device: volumes, brightness
// and mouse speed from its sliders, the window mode and the screen size it
// asks the engine for, the tutorial switch, and where "Back" goes.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/gui/listctrl.h"
#include "engine/sound/sound.h"
#include "game/screens/options.h"
#include "game/shell/entry.h"
#include "game/shell/locale_gd.h"
#include "screen_fixture.h"

using namespace screentest;

namespace {

class OptionsTest : public ScreenFixture {
protected:
    OptionsTest() { m_bWindow = true; }
    void SetUp() override
    {
        ScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        g_bSmallWorkArea = false;
        MakeScreens(true);
        AddProfile("Ann", true);
    }
    void TearDown() override
    {
        g_bSmallWorkArea = false;
        ScreenFixture::TearDown();
    }

    vek::cSliderCtrl* Slider(const char* name) { return Control<vek::cSliderCtrl>(m_pOptions, name); }
    vek::cCheckBoxSysCtrl* Box(const char* name) { return Control<vek::cCheckBoxSysCtrl>(m_pOptions, name); }
    vek::cListSysCtrl* List() { return Control<vek::cListSysCtrl>(m_pOptions, "lstResolution"); }
    // The slider moved to the value: the control posts the value cut to a
    // whole number, as the engine's slider does.
    void Move(const char* name, float value)
    {
        vek::cSliderCtrl* slider = Slider(name);
        slider->SetValue(value);
        Send(m_pOptions, vek::cGUI::e_wndSliderChange, static_cast<unsigned>(static_cast<int>(value)),
             static_cast<unsigned>(slider->GetID()));
    }
    // A click on the check box: it toggles and tells the window.
    void Toggle(const char* name)
    {
        vek::cCheckBoxSysCtrl* box = Box(name);
        box->SetCheck(!box->IsChecked());
        Send(m_pOptions, vek::cGUI::e_wndCheck, box->IsChecked() ? 1u : 0u, static_cast<unsigned>(box->GetID()));
    }
    void Choose(unsigned item)
    {
        List()->SelectItem(item, true, false);
        Send(m_pOptions, vek::cGUI::e_wndItemSelect, item, static_cast<unsigned>(List()->GetID()));
    }
    void Client(int& w, int& h) { m_pGame->GetClientSize(w, h); }
    void Open(int param)
    {
        Show("options", param);
        Run();
    }
};

TEST_F(OptionsTest, TheScreenSizeListIsTheTableOfFiveModes)
{
    const struct {
        const char* text;
        int data, width, height;
    } expected[] = {{"800x600", 480000, 800, 600},
                    {"1024x768", 786432, 1024, 768},
                    {"1152x720", 829440, 1152, 720},
                    {"1280x720", 921600, 1280, 720},
                    {"1280x1024", 1310720, 1280, 1024}};
    ASSERT_EQ(List()->GetItemCount(), 5u);
    for (unsigned i = 0; i < 5; ++i) {
        EXPECT_EQ(List()->GetItemText(i), expected[i].text);
        EXPECT_EQ(List()->GetItemData(i), expected[i].data);
        const cResolutionRow* row = FindResolution(expected[i].data);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->iWidth * row->iHeight, row->iData);
        EXPECT_EQ(row->iWidth, expected[i].width);
        EXPECT_EQ(row->iHeight, expected[i].height);
    }
    EXPECT_EQ(FindResolution(1024 * 769), nullptr);

    // Showing selects the size in use.
    Open(1);
    EXPECT_TRUE(List()->IsSelectedItem(1));
    EXPECT_EQ(List()->GetSelectedItem(0), 1u);
}

TEST_F(OptionsTest, VolumesAndMouseSpeedTakeTheSlidersOwnValue)
{
    ASSERT_NE(vek::g_pSoundManager, nullptr);
    Open(1);
    Move("slSound", 0.37f);
    Move("slMusic", 0.81f);
    Move("slMouseSpeed", 0.45f);
    EXPECT_FLOAT_EQ(vek::g_pSoundManager->GetVolume(vek::cSoundManager::e_Sound), 0.37f);
    EXPECT_FLOAT_EQ(vek::g_pSoundManager->GetVolume(vek::cSoundManager::e_Music), 0.81f);
    EXPECT_FLOAT_EQ(m_pGarden->m_Settings.fMouseSpeed, 0.45f);

    // Shown again, the sliders show what is set.
    vek::g_pSoundManager->SetVolume(vek::cSoundManager::e_Sound, 0.2f);
    m_pGarden->m_Settings.fMouseSpeed = 0.3f;
    Show("main", 1);
    Run();
    Open(1);
    EXPECT_FLOAT_EQ(Slider("slSound")->GetValue(), 0.2f);
    EXPECT_FLOAT_EQ(Slider("slMusic")->GetValue(), 0.81f);
    EXPECT_FLOAT_EQ(Slider("slMouseSpeed")->GetValue(), 0.3f);
}

TEST_F(OptionsTest, TheBrightnessSliderIsTheGammaInverted)
{
    Open(1);
    Move("slGamma", 3.25f);
    EXPECT_NEAR(m_pGame->GetGamma(), 0.75f, 0.01f);
    Move("slGamma", 2.5f);
    EXPECT_NEAR(m_pGame->GetGamma(), 1.5f, 0.01f);
    Show("main", 1);
    Run();
    Open(1);
    EXPECT_NEAR(Slider("slGamma")->GetValue(), 2.5f, 0.01f);
    m_pGame->SetGamma(1.0f);
}

TEST_F(OptionsTest, TheWindowBoxSwitchesTheModeUnlessTheDesktopIsTooSmall)
{
    Open(1);
    ASSERT_TRUE(m_pGame->bWindowed);
    EXPECT_TRUE(Box("cbWindowed")->IsChecked());

    g_bSmallWorkArea = true;
    Toggle("cbWindowed");
    Toggle("cbWindowed");
    EXPECT_TRUE(m_pGame->bWindowed) << "refused: nothing changes";
    EXPECT_FALSE(Box("cbWindowed")->IsChecked());
    ASSERT_TRUE(Shown("messagebox"));
    EXPECT_EQ(BoxText(), GetLocaleGD().ErrorWindowMode);
    EXPECT_EQ(BoxCommand(), "");
    Answer(true);

    g_bSmallWorkArea = false;
    Box("cbWindowed")->SetCheck(true);
    Toggle("cbWindowed");
    EXPECT_FALSE(m_pGame->bWindowed);
    int w = 0, h = 0;
    Client(w, h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    Toggle("cbWindowed");
    EXPECT_TRUE(m_pGame->bWindowed);
}

TEST_F(OptionsTest, AScreenSizeIsAskedForOnlyWhenItDiffers)
{
    Open(1);
    const int before = LogCount("CreateWindow Started");
    Choose(1);
    EXPECT_EQ(LogCount("CreateWindow Started"), before) << "the size in use changes nothing";
    // Not selected: nothing either.
    List()->SelectItem(0, false, false);
    Send(m_pOptions, vek::cGUI::e_wndItemSelect, 0, static_cast<unsigned>(List()->GetID()));
    Send(m_pOptions, vek::cGUI::e_wndItemSelect, 77, static_cast<unsigned>(List()->GetID()));
    EXPECT_EQ(LogCount("CreateWindow Started"), before);

    Choose(0);
    int w = 0, h = 0;
    Client(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_TRUE(m_pGame->bWindowed) << "the window box decides the mode";

    // Data not in the table does nothing.
    List()->InsertItem(5, "odd", 12345);
    const int now = LogCount("CreateWindow Started");
    Choose(5);
    EXPECT_EQ(LogCount("CreateWindow Started"), now);
    Choose(1);
    Client(w, h);
    EXPECT_EQ(w, 1024);
}

TEST_F(OptionsTest, TheHintsBoxSwitchesTheTutorial)
{
    m_pGarden->SetTraining(1);
    Open(1);
    EXPECT_TRUE(Box("cbHints")->IsChecked());
    Toggle("cbHints");
    EXPECT_EQ(m_pGarden->GetTraining(), 0);
    Toggle("cbHints");
    EXPECT_EQ(m_pGarden->GetTraining(), 1);

    // Hidden with the hints off: the running lesson stops.
    m_pGarden->m_Training.iKind = 3;
    m_pGarden->m_Training.iStep = 2;
    ClickControl(m_pOptions, "btBack");
    EXPECT_EQ(m_pGarden->m_Training.iKind, 3) << "hints on: the lesson goes on";
    Run();
    Open(1);
    EXPECT_TRUE(Box("cbHints")->IsChecked());
    Toggle("cbHints");
    Key(m_pOptions, 1);
    EXPECT_EQ(m_pGarden->m_Training.iKind, -1);
    EXPECT_EQ(m_pGarden->m_Training.iStep, -1);
}

TEST_F(OptionsTest, BackReturnsWhereTheOptionsWereOpenedFrom)
{
    Open(1);
    ClickControl(m_pOptions, "btBack");
    Run();
    EXPECT_TRUE(Shown("main"));
    EXPECT_FALSE(Shown("options"));

    Show("escape", 2);
    Run();
    ClickControl(m_pEscape, "btOptions");
    Run();
    // A box over the options must not change where "Back" goes.
    g_bSmallWorkArea = true;
    Toggle("cbWindowed");
    Answer(true);
    EXPECT_EQ(m_pGarden->GetWindowParam(), 1);
    Key(m_pOptions, 1);
    Run();
    EXPECT_TRUE(Shown("escape"));
    EXPECT_FALSE(Shown("options"));
}

TEST_F(OptionsTest, WithoutAVolumeSliderTheScreenLocks)
{
    auto* wf = new cOptionsGDWF();
    Make("options_bare", "function FillWindow(w) cSliderSysCtrl(w, 'slSound') cButtonSysCtrl(w, 'btBack') end\n",
         wf);
    EXPECT_TRUE(wf->IsLocked());
    EXPECT_EQ(LogCount("[options_bare] one or more controls not found"), 1);
}

} // namespace
