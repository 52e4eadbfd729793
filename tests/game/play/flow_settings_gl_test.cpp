// The options a player sets with the sliders (sound and music volume, the
// brightness, the mouse speed) are the ones the game has after it was
// ended from the main menu and started again: they go through the
// settings script at exit and come back through it at the next start.
// Played on the real pack with injected drags and clicks.
#include <gtest/gtest.h>

#include "engine/sound/sound.h"
#include "flow_play.h"

using namespace gametest;

namespace {

class SettingsFlow : public PlayLevel {
protected:
    float Volume(vek::cSoundManager::eStream kind) const { return vek::g_pSoundManager->GetVolume(kind); }
    float SliderValue(const char* name) const
    {
        auto* slider = dynamic_cast<vek::cSliderCtrl*>(Control("options", name));
        return slider ? slider->GetValue() : -1.0f;
    }
};

TEST_F(SettingsFlow, SliderSettingsSurviveTheEndOfTheGameAndANewStart)
{
    StartToMainMenu();
    ASSERT_NE(vek::g_pSoundManager, nullptr);
    ASSERT_TRUE(Press("main", "btOptions"));
    ASSERT_TRUE(Shown("options"));
    ASSERT_TRUE(DragSlider("options", "slSound", 0.3f));
    ASSERT_TRUE(DragSlider("options", "slMusic", 0.8f));
    ASSERT_TRUE(DragSlider("options", "slGamma", 0.25f));
    ASSERT_TRUE(DragSlider("options", "slMouseSpeed", 0.6f));
    Run(5);
    const float sound = Volume(vek::cSoundManager::e_Sound);
    const float music = Volume(vek::cSoundManager::e_Music);
    const float gamma = m_pGame->GetGamma();
    const float mouse = g_pGarden->m_Settings.fMouseSpeed;
    // The drags landed between the ends: the values are the sliders' own,
    // not their whole-number parts.
    EXPECT_NEAR(sound, 0.3f, 0.02f);
    EXPECT_NEAR(music, 0.8f, 0.02f);
    EXPECT_FLOAT_EQ(sound, SliderValue("slSound"));
    EXPECT_FLOAT_EQ(music, SliderValue("slMusic"));
    // The engine reads its gamma back from the ramp: near the set value.
    EXPECT_NEAR(gamma, 4.0f - SliderValue("slGamma"), 1e-3f);
    EXPECT_NEAR(gamma, 1.25f, 0.02f);
    EXPECT_FLOAT_EQ(mouse, SliderValue("slMouseSpeed"));
    ASSERT_TRUE(Press("options", "btBack"));
    ASSERT_TRUE(Shown("main"));

    // Escape, "Yes": the game ends and writes its settings.
    Key(SDL_SCANCODE_ESCAPE);
    Run(20);
    ASSERT_TRUE(Press("messagebox", "ok", 30));
    EXPECT_EQ(m_iQuitCode, 0);
    Stop();
    EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
    const std::string written = vektest::ReadFile(m_strDir + "/app/conf/settings.lua");
    EXPECT_NE(written.find("sound = "), std::string::npos) << written;
    EXPECT_NE(written.find("gamma = "), std::string::npos) << written;

    StartToMainMenu();
    EXPECT_FLOAT_EQ(Volume(vek::cSoundManager::e_Sound), sound);
    EXPECT_FLOAT_EQ(Volume(vek::cSoundManager::e_Music), music);
    EXPECT_NEAR(m_pGame->GetGamma(), gamma, 1e-3f);
    EXPECT_FLOAT_EQ(g_pGarden->m_Settings.fMouseSpeed, mouse);
    // The options show them again.
    ASSERT_TRUE(Press("main", "btOptions"));
    EXPECT_FLOAT_EQ(SliderValue("slSound"), sound);
    EXPECT_FLOAT_EQ(SliderValue("slMusic"), music);
    EXPECT_NEAR(SliderValue("slGamma"), 4.0f - gamma, 1e-3f);
    EXPECT_FLOAT_EQ(SliderValue("slMouseSpeed"), mouse);
    ASSERT_TRUE(Press("options", "btBack"));
    Stop();
    EXPECT_EQ(UnexpectedProblems(HtmlLog()), "");
    // Written again unchanged: nothing creeps from one start to the next.
    EXPECT_EQ(vektest::ReadFile(m_strDir + "/app/conf/settings.lua"), written);
}

} // namespace
