#include "game/screens/window_functions.h"

#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "game/shell/middle.h"
#include "game/shell/player_base.h"

int32_t g_iMenuScreenValue = 0;

vek::cCtrl* GetWindowControl(vek::cWindow* window, const vek::string& name)
{
    if (!window) return nullptr;
    const int index = window->FindControl(name);
    return index == 0 ? nullptr : window->GetControl(static_cast<unsigned>(index));
}

bool ClickControl(vek::cWindow* window, const vek::string& name)
{
    if (!window || !window->GetFunction()) return false;
    const int index = window->FindControl(name);
    window->GetFunction()->Call(window, vek::cGUI::e_wndCommand, 0, static_cast<unsigned>(index));
    return true;
}

namespace {

// The game object learns that the window has left the screen.
void ReportClose(vek::cWindow* window, int message)
{
    if (message == vek::cGUI::e_wndHideImmediately && window && g_pMiddle)
        g_pMiddle->OnWindowClose(window->GetName());
}

int LockAndLog(bool& locked, vek::cWindow* window, const vek::string& text)
{
    locked = true;
    if (!text.empty())
        vek::LogWarning("GUI", "[%s] %s\n", window ? window->GetName() : vek::string(), text);
    return 0;
}

} // namespace

int cBaseWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    ReportClose(window, message);
    return vek::cWindowFunction::Call(window, message, a, b);
}

int cBaseWF::OnError(vek::cWindow* window, const vek::string& text)
{
    return LockAndLog(m_bLocked, window, text);
}

bool cBaseWF::CanHandle() { return !m_bLocked; }

int cBaseGDWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    return vek::cWindowFunction::Call(window, message, a, b);
}

int cBaseGDWF::OnError(vek::cWindow* window, const vek::string& text)
{
    return LockAndLog(m_bLocked, window, text);
}

int cHintWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    ReportClose(window, message);
    return vek::cWindowFunction::Call(window, message, a, b);
}

int cProfileSelectWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle() && message == kMsgDeleteProfile && g_pMiddle) {
        // The index comes from a command string: anything outside the list
        // names no profile.
        const int index = static_cast<int>(a);
        if (index >= 0 && index < g_pMiddle->GetPlayerCount())
            g_pMiddle->DeleteProfile(g_pMiddle->GetPlayerAt(index));
    }
    return cBaseWF::Call(window, message, a, b);
}
