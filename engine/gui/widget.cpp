#include "engine/gui/widget.h"

#include <algorithm>

#include "engine/app/game.h"
#include "engine/app/game_calls.h"

namespace vek {

cWidget::cWidget(const string& name) : strName(name)
{
    if (g_pGame) g_pGame->lstWidgets.push_back(this);
}

cWidget::~cWidget()
{
    // Normally the engine deletes its widgets at teardown. A widget deleted
    // any other way leaves neither a dangling list entry nor a dangling
    // focus behind; the entry is blanked rather than erased so that a walk
    // over the list deleting widgets stays valid.
    if (g_pGame) {
        std::replace(g_pGame->lstWidgets.begin(), g_pGame->lstWidgets.end(),
                     static_cast<cWidget*>(this), static_cast<cWidget*>(nullptr));
        if (g_pGame->pFocusWidget == this) g_pGame->pFocusWidget = nullptr;
    }
}

void cWidget::Draw() { calls::GuiDraw(); }
void cWidget::Tick() {}
void cWidget::Update(float) {}
string cWidget::GetName() { return strName; }
void cWidget::OnActivate() {}
void cWidget::OnDeactivate() {}
void cWidget::OnInput(int, int) {}

} // namespace vek
