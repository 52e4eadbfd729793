// One GUI frame of the garden screen with full toolbars (one item per ware,
// the two foods, the four animals) and its three factory panels, together
// with the score panel's clock, money and four task lines: the timer
// message and the paint of both windows, CPU only, with the quads and draw
// runs the paint produced (budget: 0.3 ms of CPU per frame).
#include <benchmark/benchmark.h>

#include <string>

#include "engine/graphics/draw2d.h"
#include "engine/gui/gui.h"
#include "engine/gui/host.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/garden_screen.h"
#include "game/screens/score_panel.h"
#include "game/world/ware.h"

namespace {

class cHost : public vek::iGuiHost {
public:
    vek::cGUI* GetHostGUI() override { return &gui; }
    vek::cQuadBatch* GetHostBatch() override { return &batch; }
    void AddWidget(vek::cWidget*) override {}
    void RemoveWidget(vek::cWidget*) override {}

    vek::cGUI gui{1024.0f, 768.0f};
    vek::cQuadBatch batch;
};

void Place(vek::cCtrl* c, float x, float y, float w, float h)
{
    c->SetPos(x, y, 0);
    c->SetSize(w, h, 0);
}

vek::cWindow* MakeGarden(vek::cGUI& gui)
{
    auto* window = new vek::cWindow(new cGardenWF(), &gui);
    window->SetName("garden");
    Place(new vek::cImageCtrl("MainFrame", window), 0, 0, 1024, 768);
    const struct {
        const char* name;
        float x, y;
        int n;
    } bars[] = {{"plants", 24, 28, 10}, {"grass", 724, 28, 2}, {"animals", 380, 692, 4}};
    for (const auto& b : bars) {
        const float width = 67.0f * static_cast<float>(b.n) - 3.0f;
        Place(new vek::cFrameCtrl(std::string("left_") + b.name, window), b.x - 12, b.y - 8, 16, 80);
        Place(new vek::cFrameCtrl(std::string("center_") + b.name, window), b.x + 4, b.y - 8, width - 8, 80);
        Place(new vek::cFrameCtrl(std::string("right_") + b.name, window), b.x + width - 4, b.y - 8, 16, 80);
        auto* toolbar = new cToolbarCtrl(b.name, window);
        Place(toolbar, b.x, b.y, width, 64);
        toolbar->SetSize(64, 64, vek::cCtrl::e_lstItems);
    }
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i);
        const float y = 500.0f - 130.0f * static_cast<float>(i);
        Place(new cButtonCtrl("but_" + n, window), 4, y, 122, 112);
        Place(new vek::cImageCtrl("img0_" + n, window), 12, y + 56, 40, 40);
        Place(new vek::cLabelSysCtrl("lb0_" + n, window), 12, y + 36, 40, 20);
        Place(new cImageCtrlEx("arrow_" + n, window), 54, y + 64, 24, 24);
        Place(new vek::cImageCtrl("img1_" + n, window), 80, y + 56, 40, 40);
        Place(new vek::cImageCtrl("back_progress_" + n, window), 12, y + 12, 106, 16);
        Place(new vek::cProgressBarSysCtrl("progress_" + n, window), 12, y + 12, 106, 16);
    }
    return window;
}

vek::cWindow* MakeScore(vek::cGUI& gui)
{
    auto* window = new vek::cWindow(new cScoreWF(), &gui);
    window->SetName("score");
    Place(new vek::cFrameCtrl("frmMoney", window), 8, 704, 216, 56);
    Place(new vek::cImageCtrl("decMoney0", window), 4, 700, 64, 64);
    Place(new vek::cImageCtrl("decMoney1", window), 196, 720, 32, 32);
    Place(new vek::cImageCtrl("imgMoney", window), 16, 712, 40, 40);
    Place(new vek::cLabelSysCtrl("money", window), 64, 712, 136, 40);
    Place(new vek::cImageCtrl("clock_back", window), 900, 640, 112, 112);
    Place(new cClockCtrl("clock", window), 908, 648, 96, 96);
    Place(new vek::cImageCtrl("clock_medal", window), 876, 640, 40, 40);
    for (int i = 0; i < 4; ++i)
        Place(new cTaskCtrl("task" + std::to_string(i), window), 874, 560.0f - 64.0f * static_cast<float>(i), 148,
              56);
    Place(new cButtonCtrl("menu", window), 236, 712, 112, 40);
    return window;
}

void BM_GardenAndScoreFrame(benchmark::State& state)
{
    cHost host;
    vek::SetGuiHost(&host);
    CreateWareManager();
    CreateWares();
    vek::cWindow* garden = MakeGarden(host.gui);
    vek::cWindow* score = MakeScore(host.gui);
    for (vek::cWindow* w : {garden, score}) {
        host.gui.SendMessage(w->GetID(), vek::cGUI::e_wndAfterCreate, 0, 0);
        host.gui.ShowWindow(w->GetName());
    }
    // Every panel in view.
    for (cFactoryControl* panel : GetFactoryPanels()) panel->Show();
    uint64_t vertices = 0;
    uint64_t runs = 0;
    for (auto _ : state) {
        host.batch.uRunCount = 0;
        for (vek::cWindow* w : {garden, score}) {
            host.gui.SendMessage(w->GetID(), vek::cGUI::e_wndTimer, 16, 0);
            host.gui.SendMessage(w->GetID(), vek::cGUI::e_wndPaint, 0, 0);
        }
        for (uint32_t r = 0; r < host.batch.uRunCount; ++r) vertices += host.batch.GetRuns()[r].uCount;
        runs += host.batch.uRunCount;
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["quads"] = frames > 0 ? static_cast<double>(vertices) / 6.0 / frames : 0.0;
    state.counters["runs"] = frames > 0 ? static_cast<double>(runs) / frames : 0.0;
    vek::SetGuiHost(nullptr);
    DestroyWareManager();
}
BENCHMARK(BM_GardenAndScoreFrame);

} // namespace
