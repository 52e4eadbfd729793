// Loading jobs and the loading screen: the update schedule, each kind of
// job against good and bad files, and the image loader's file choice.
#include "game/shell/loading.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/file.h"
#include "engine/core/script.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "engine/sound/sound.h"
#include "game/shell/middle.h"
#include "platform/audio_test_sounds.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

class cCountingGame : public cMiddle {
public:
    void FinishInit() override { ++iFinished; }
    cPlayerBase* CreatePlayer(const vek::string&) override { return nullptr; }
    cScoreRow* CreateScoreRow() override { return nullptr; }
    const vek::string& GetMessageText(int) override { return m_strEmpty; }
    int iFinished = 0;
    vek::string m_strEmpty;
};

// A job that notes the update on which it ran.
class cProbeJob : public cLoadData {
public:
    cProbeJob(const char* path, std::vector<int>* runs, const int* update)
        : cLoadData(path, false), pRuns(runs), pUpdate(update)
    {
    }
    void Load() override { pRuns->push_back(*pUpdate); }
    std::vector<int>* pRuns;
    const int* pUpdate;
};

class Loading : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strRoot = vektest::MakeTempDir("Loading");
        ASSERT_FALSE(m_strRoot.empty());
        vek::cGame::cSettings settings;
        settings.strName = "LoadingTest";
        m_pEngine = std::make_unique<vek::cGame>(settings);
        vek::SetPathMacro(vek::e_macroStaticPath, m_strRoot + "/data");
        ASSERT_TRUE(vek::g_pScript && vek::g_pTextureManager);
        ASSERT_TRUE(RegisterLoadingClasses(vek::g_pScript));
        Put("conf/loading.lua", "");
    }
    void TearDown() override { m_pEngine.reset(); }

    void Put(const std::string& name, const std::string& bytes)
    {
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/data/" + name, bytes));
    }
    // The window "loading" with the controls the screen fills.
    void MakeLoadingWindow(bool label)
    {
        vek::cGUI& gui = *m_pEngine->pGUI;
        auto* window = new vek::cWindow(new vek::cWindowFunction, &gui);
        window->SetName("loading");
        m_pProgress = new vek::cProgressBarSysCtrl("progress", window);
        if (label) m_pLabel = new vek::cLabelCtrl("label", window);
    }
    std::string Log() const { return vektest::ReadFile(vek::GetPathMacro(vek::e_macroAppPath) + "/_log.html"); }
    static std::string Png(int w, int h)
    {
        return vektest::MakePNG(w, h, 6, 8, std::vector<uint8_t>(static_cast<size_t>(w * h * 4), 200));
    }

    std::string m_strRoot;
    std::unique_ptr<vek::cGame> m_pEngine;
    vek::cProgressBarSysCtrl* m_pProgress = nullptr;
    vek::cLabelCtrl* m_pLabel = nullptr;
};

TEST_F(Loading, WithALabelEachJobWaitsSixUpdates)
{
    MakeLoadingWindow(true);
    cCountingGame game;
    auto* widget = new cLoadingWidget(&game);
    widget->OnActivate();
    int update = 0;
    std::vector<int> runs;
    for (const char* path : {"{StaticPath}/a", "{StaticPath}/b", "{StaticPath}/c"})
        new cProbeJob(path, &runs, &update);
    std::vector<float> progress;
    std::vector<int> finished;
    for (update = 1; update <= 30; ++update) {
        widget->Update(1.0f / 30.0f);
        if (update == 1 || update == 8 || update == 15) progress.push_back(m_pProgress->GetValue());
        finished.push_back(game.iFinished);
    }
    EXPECT_EQ(runs, (std::vector<int>{7, 14, 21}));
    EXPECT_FLOAT_EQ(progress[0], 0.0f);
    EXPECT_FLOAT_EQ(progress[1], 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(progress[2], 2.0f / 3.0f);
    EXPECT_EQ(finished[20], 0);
    EXPECT_EQ(finished[21], 1);   // update 22
    EXPECT_EQ(game.iFinished, 1); // and never again
    EXPECT_NE(m_pLabel->GetText().find("\\c"), std::string::npos) << m_pLabel->GetText();

    // A job made after loading finished (the game has moved the focus on,
    // so the widget is no longer updated) waits in the queue; the widget's
    // end reports it and frees it.
    new cProbeJob("{StaticPath}/late", &runs, &update);
    EXPECT_EQ(widget->lstQueue.size(), 1u);
    delete widget;
    EXPECT_NE(Log().find("~cLoadingWidget: not all data was loaded."), std::string::npos);
    EXPECT_EQ(GetLoadingWidget(), nullptr);
    EXPECT_EQ(runs.size(), 3u);
}

TEST_F(Loading, WithoutALabelJobsRunOnTheNextUpdate)
{
    cCountingGame game;
    auto* widget = new cLoadingWidget(&game);
    widget->OnActivate();  // no window "loading": neither control
    int update = 0;
    std::vector<int> runs;
    for (const char* path : {"{StaticPath}/a", "{StaticPath}/b", "{StaticPath}/c"})
        new cProbeJob(path, &runs, &update);
    int finishedOn = 0;
    for (update = 1; update <= 10; ++update) {
        widget->Update(0.0f);
        if (game.iFinished && !finishedOn) finishedOn = update;
    }
    EXPECT_EQ(runs, (std::vector<int>{2, 4, 6}));
    EXPECT_EQ(finishedOn, 7);
    EXPECT_EQ(game.iFinished, 1);
}

TEST_F(Loading, AnEmptyScriptFinishesOnTheFirstUpdateOnce)
{
    cCountingGame game;
    cLoadingWidget* widget = new cLoadingWidget(&game);
    widget->OnActivate();
    widget->Update(0.0f);
    EXPECT_EQ(game.iFinished, 1);
    for (int i = 0; i < 5; ++i) widget->Update(0.0f);
    EXPECT_EQ(game.iFinished, 1);
}

TEST_F(Loading, ScriptJobsOfEveryKindLoadTheirResources)
{
    Put("texture/icons.png", Png(8, 8));
    Put("texture/icons.tex", "tex_ran = (tex_ran or 0) + 1\n");
    Put("font/small.png", Png(16, 16));
    Put("font/small.lua", "font_ran = true\n");
    Put("sound/click.wav", vektest::MakeConstantWav(22050, 1, 2205, 1000));
    Put("sound/broken.wav", "RIFF....WAVEjunk");
    Put("music/tune.mod", vektest::MakeModule(6, 125));
    Put("conf/loading.lua",
        "cLoadTexture('{StaticPath}/texture/icons'):SetParameters(7)\n"
        "cLoadTexture('{StaticPath}/other/ICONS.jpg')\n"  // that name is loaded already
        "cLoadFont('{StaticPath}/font/small')\n"
        "cLoadSound('{StaticPath}/sound/click.wav', false)\n"
        "cLoadSound('{StaticPath}/sound/broken.wav', false)\n"
        "cLoadSound('{StaticPath}/sound/missing.wav', false)\n"
        "cLoadMusic('first', '{StaticPath}/music/tune.mod', 0, 2.9, false)\n"
        "cLoadMusic('second', '{StaticPath}/music/tune.mod', 1, 1, false)\n"
        "cLoadMusic('{StaticPath}/music/missing.mod', false)\n");
    cCountingGame game;
    auto* widget = new cLoadingWidget(&game);
    widget->OnActivate();
    EXPECT_EQ(widget->lstQueue.size(), 9u);
    for (int i = 0; i < 40 && !game.iFinished; ++i) widget->Update(0.0f);
    ASSERT_EQ(game.iFinished, 1);

    EXPECT_NE(vek::g_pTextureManager->Find("icons"), 0u);
    EXPECT_NE(vek::g_pTextureManager->Find("small"), 0u);
    EXPECT_TRUE(vek::g_pScript->DoString("assert(tex_ran == 1 and font_ran == true)"));
    vek::cSoundManager& sound = *vek::g_pSoundManager;
    EXPECT_NE(sound.m_SoundBuffers.Find("click"), 0u);
    EXPECT_EQ(sound.m_SoundBuffers.Find("broken"), 0u);
    EXPECT_EQ(sound.m_SoundBuffers.Find("missing"), 0u);
    // Two musics of one file share one buffer, read once.
    const uint32_t buffer = sound.m_MusicBuffers.Find("tune");
    ASSERT_NE(buffer, 0u);
    EXPECT_EQ(sound.m_MusicBuffers.Count(), 2u);  // the default and "tune"
    const uint32_t first = sound.m_Musics.Find("first");
    const uint32_t second = sound.m_Musics.Find("second");
    ASSERT_NE(first, 0u);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(sound.m_Musics.Get(first)->m_uBufferId, buffer);
    EXPECT_EQ(sound.m_Musics.Get(second)->m_uBufferId, buffer);
    EXPECT_EQ(sound.m_Musics.Find("missing"), 0u);
    delete widget;
}

TEST_F(Loading, TheSoundJobAllowsOnePlaybackUnlessToldOtherwise)
{
    cLoadingWidget widget(nullptr);
    auto* plain = new cLoadSound("{StaticPath}/sound/a.wav", false);
    auto* many = new cLoadSound("{StaticPath}/sound/b.wav", true);
    many->SetParameters(5);
    EXPECT_EQ(plain->uParameter, 1u);
    EXPECT_EQ(many->uParameter, 5u);
    EXPECT_TRUE(many->bReserved);
    EXPECT_EQ(widget.lstQueue.size(), 2u);
}

TEST_F(Loading, AJobWithoutAWidgetIsRefusedWithAWarning)
{
    ASSERT_EQ(GetLoadingWidget(), nullptr);
    ASSERT_TRUE(vek::g_pScript->DoString("cLoadTexture('{StaticPath}/texture/none')"));
    EXPECT_NE(Log().find("cLoadingWidget is unavailable. Memory leak!"), std::string::npos);
}

TEST_F(Loading, TextureFilesArePngFirstThenJpegAndNamedByTheFile)
{
    Put("a/b.png", Png(8, 8));
    Put("a/b.jpg", vektest::MakeJPEG(16, 16, 3, std::vector<uint8_t>(16 * 16 * 3, 90)));
    Put("a/b.tex", "b_tex = (b_tex or 0) + 1\n");
    Put("j/c.jpg", vektest::MakeJPEG(16, 16, 3, std::vector<uint8_t>(16 * 16 * 3, 90)));
    Put("x/d.png", Png(4, 4));
    Put("x/d.tex", "error('broken areas')\n");

    EXPECT_EQ(LoadTextureFile(vek::filename("{StaticPath}/a/b")), 0);
    const vek::cTexture* b = vek::g_pTextureManager->Get(vek::g_pTextureManager->Find("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetWidth(), 8);  // the PNG
    EXPECT_EQ(LoadTextureFile(vek::filename("{StaticPath}/j/c")), 0);
    EXPECT_NE(vek::g_pTextureManager->Find("c"), 0u);
    EXPECT_TRUE(vek::g_pScript->DoString("assert(b_tex == 1)"));

    // An extension is taken as given: no fallback to the JPEG beside it.
    EXPECT_EQ(LoadTextureFile(vek::filename("{StaticPath}/j/c.png")), 2);
    // Nothing found for a path without one: 2, and nothing logged.
    const size_t before = Log().size();
    EXPECT_EQ(LoadTextureFile(vek::filename("{StaticPath}/none/e")), 2);
    EXPECT_EQ(Log().size(), before);
    // A failing ".tex" leaves the texture.
    EXPECT_EQ(LoadTextureFile(vek::filename("{StaticPath}/x/d")), 0);
    EXPECT_NE(vek::g_pTextureManager->Find("d"), 0u);
}

}  // namespace
