// Widget focus and the engine's work of one frame: draw, route the input
// through console, GUI and focused widget, the fixed logic step, the
// per-frame update and the present.
#include <cmath>

#include "engine/app/game.h"
#include "engine/app/game_calls.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/gui/widget.h"
#include "platform/window.h"

namespace vek {

namespace {

constexpr const char* kSender = "cGame";

// Engine-wide: the time not yet consumed by fixed steps. It survives from
// frame to frame and across focus changes.
float g_fStepAccumulator = 0.0f;

// Above this much time the remainder is taken at once: after a suspend the
// subtraction would otherwise run for ages (or forever, once the float is
// too large for a step to change it).
constexpr float kLongBacklog = kFixedStep * 64.0f;

} // namespace

bool AdvanceFixedStep(float& accumulator, float elapsed)
{
    accumulator += elapsed;
    if (!std::isfinite(accumulator) || accumulator < 0.0f) {
        accumulator = 0.0f;
        return false;
    }
    if (accumulator < kFixedStep) return false;
    // One step only; whole steps a slow frame missed are dropped.
    if (accumulator >= kLongBacklog) accumulator = std::fmod(accumulator, kFixedStep);
    while (accumulator >= kFixedStep) accumulator -= kFixedStep;
    return true;
}

// ---- focus ----

void cGame::SetFocusWidget(const string& name)
{
    if (pFocusWidget && pFocusWidget->GetName() == name) {
        LogWarning(kSender, "Widget with name '%s' is focused already.\n", name);
        return;
    }
    if (pFocusWidget) pFocusWidget->OnDeactivate();
    pFocusWidget = nullptr;
    for (cWidget* w : lstWidgets) {
        if (!w || w->GetName() != name) continue;
        pFocusWidget = w;
        iPause = 0;
        w->OnActivate();
        LogText(kSender, "Set focus to widget with name '%s'.\n", name);
        return;
    }
    LogWarning(kSender, "Widget with name '%s' not found.\n", name);
}

string cGame::GetFocusWidgetName() const
{
    return pFocusWidget ? pFocusWidget->GetName() : string();
}

// ---- the frame ----

void cGame::UpdateFrame()
{
    const float elapsed = fFrameTime;
    const bool active = pFocusWidget && iPause == 0;
    // The widget that may receive input, steps and updates this frame; a
    // handler that moves the focus away hands the rest of the frame to the
    // new widget.
    auto target = [&]() -> cWidget* { return active ? pFocusWidget : nullptr; };

    // 1. Draw.
    const bool skip = iDrawInterval > 1 && (m_uDrawCounter++ % static_cast<uint32_t>(iDrawInterval)) != 0;
    const bool ready = !skip && calls::RenderBegin() == 0;
    if (ready) {
        if (pFocusWidget)
            pFocusWidget->Draw();
        else
            calls::RenderClearBlack();
        calls::ConsoleDraw(elapsed);
        calls::RenderEnd();
    }

    // 2. Input.
    int x = 0, y = 0;
    if (!platform::WindowSystem().GetCursorClientPos(x, y)) x = y = 0;
    cInputEventList events;
    if (g_pInput) g_pInput->Update(&events);
    for (const cInputEvent& e : events) {
        bool taken = false;
        switch (e.iKind) {
        case e_inKeyDown:
            if (e.iCode == e_keyPrintScreen) {
                calls::SaveScreenshot();
                taken = true;
            } else if (e.iCode == e_keyConsole) {
                taken = true;
            } else {
                taken = calls::ConsoleKey(e.iCode) || calls::GuiKeyDown(e.iCode);
            }
            break;
        case e_inKeyUp: taken = calls::GuiKeyUp(e.iCode); break;
        case e_inMouseDown: taken = calls::GuiMouseButton(e.iCode, x, y); break;
        case e_inMouseUp: taken = calls::GuiMouseButtonUp(e.iCode, x, y); break;
        case e_inMouseMove: taken = calls::GuiMouseMove(x, y); break;
        default: break;
        }
        if (!taken)
            if (cWidget* w = target()) w->OnInput(e.iKind, e.iCode);
    }

    // 3. The fixed logic step: at most one per frame.
    if (AdvanceFixedStep(g_fStepAccumulator, elapsed)) {
        if (cWidget* w = target()) w->Tick();
        calls::GuiUpdate(kFixedStep);
    }

    // 4. Movement and animation.
    if (cWidget* w = target()) w->Update(elapsed);

    // 5. Present.
    if (ready) calls::RenderPresent();
}

void cGame::OnChar(int character)
{
    if (calls::ConsoleChar(character)) return;
    if (calls::GuiChar(character)) return;
    if (pFocusWidget && iPause == 0) pFocusWidget->OnInput(e_inChar, character);
}

} // namespace vek
