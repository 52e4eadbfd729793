#include "engine/gui/widget.h"

#include "engine/gui/gui.h"
#include "engine/gui/host.h"

namespace vek {

namespace {
iGuiHost* g_pGuiHost = nullptr;
} // namespace

void SetGuiHost(iGuiHost* host) { g_pGuiHost = host; }
iGuiHost* GetGuiHost() { return g_pGuiHost; }

cWidget::cWidget(const string& name) : strName(name)
{
    if (g_pGuiHost) g_pGuiHost->AddWidget(this);
}

cWidget::~cWidget()
{
    // Normally the engine deletes its widgets at teardown; one deleted any
    // other way must not stay behind in the host's list or focus.
    if (g_pGuiHost) g_pGuiHost->RemoveWidget(this);
}

void cWidget::Draw()
{
    if (cGUI* gui = g_pGuiHost ? g_pGuiHost->GetHostGUI() : nullptr) gui->Draw();
}
void cWidget::Tick() {}
void cWidget::Update(float) {}
string cWidget::GetName() { return strName; }
void cWidget::OnActivate() {}
void cWidget::OnDeactivate() {}
void cWidget::OnInput(int, int) {}

} // namespace vek
