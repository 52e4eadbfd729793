#include "game/screens/window_functions.h"

#include "engine/app/game.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/listctrl.h"
#include "engine/gui/sysctrl.h"
#include "game/screens/controls.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/middle.h"
#include "game/shell/player_base.h"
#include "game/world/building.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"

int32_t g_iMenuScreenValue = 0;
std::vector<int32_t> g_vecCheckGroup;
std::vector<int32_t> g_vecTabGroup;
int32_t g_iResolutionList = 0;

namespace {

// The control at an index of the window, when the index names one; the
// placeholder 0 never counts.
vek::cCtrl* ControlAt(vek::cWindow* window, int index)
{
    if (!window || index <= 0) return nullptr;
    return window->GetControl(static_cast<unsigned>(index));
}

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

void RemoveFromScreen(vek::cWindow* window)
{
    if (window && window->GetGUI()) window->GetGUI()->HideWindowImmediately(window->GetID());
}

// Paints the window's controls faded to the opacity and scaled by
// 1.1 - 0.1 * opacity about the middle of the GUI area.
void PaintFaded(vek::cWindow* window, float opacity)
{
    vek::cRender* render = vek::g_pRender;
    const vek::cGUI* gui = window->GetGUI();
    vek::SetModulateColor(vek::PackColor(1.0f, 1.0f, 1.0f, opacity));
    if (render && gui) {
        const float cx = gui->GetWidth() * 0.5f;
        const float cy = gui->GetHeight() * 0.5f;
        const float s = 1.1f - 0.1f * opacity;
        render->SetTransform(vek::cRender::e_World, vek::MatrixTranslation(-cx, -cy, 0.0f) *
                                                        vek::MatrixScale(s, s, 1.0f) *
                                                        vek::MatrixTranslation(cx, cy, 0.0f));
    }
}

void EndFaded()
{
    if (vek::g_pRender) vek::g_pRender->SetTransform(vek::cRender::e_World, vek::matrix4());
    vek::SetModulateColor(0xFFFFFFFFu);
}

} // namespace

vek::cCtrl* GetWindowControl(vek::cWindow* window, const vek::string& name)
{
    if (!window) return nullptr;
    return ControlAt(window, window->FindControl(name));
}

vek::cCtrl* FindWindowControl(const vek::string& windowName, const vek::string& controlName)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    return GetWindowControl(gui ? gui->GetWindow(windowName) : nullptr, controlName);
}

vek::cCtrl* FindControl(const vek::string& windowName, const vek::string& controlName)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    const int index = gui ? gui->FindWindow(windowName) : 0;
    vek::cWindow* window = index == 0 ? nullptr : gui->GetWindow(static_cast<unsigned>(index));
    if (!window) {
        vek::LogWarning("FindControl", "window '%s' not found\n", windowName);
        return nullptr;
    }
    vek::cCtrl* control = GetWindowControl(window, controlName);
    if (!control)
        vek::LogWarning("FindControl", "control '%s' not found in wondow '%s'\n", controlName, windowName);
    return control;
}

bool ClickControl(vek::cWindow* window, const vek::string& name)
{
    if (!window || !window->GetFunction()) return false;
    const int index = window->FindControl(name);
    window->GetFunction()->Call(window, vek::cGUI::e_wndCommand, 0, static_cast<unsigned>(index));
    return true;
}

bool IsControl(vek::cWindow* window, unsigned b, const vek::string& name)
{
    if (!window || b == 0) return false;
    return static_cast<int>(b) == window->FindControl(name);
}

void HideOnCommandFrom(vek::cWindow* window, unsigned b, const vek::string& name)
{
    if (IsControl(window, b, name) && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
}

bool CheckGroupControl(vek::cWindow* window, int index)
{
    auto* chosen = dynamic_cast<vek::cCheckBoxSysCtrl*>(ControlAt(window, index));
    if (!chosen) return false;
    chosen->SetCheck(true);
    for (const int32_t member : g_vecCheckGroup) {
        if (member == index) continue;
        if (auto* box = dynamic_cast<vek::cCheckBoxSysCtrl*>(ControlAt(window, member))) box->SetCheck(false);
    }
    return true;
}

void ReleaseGroupTabs(vek::cWindow* window, int id)
{
    if (!window) return;
    for (const int32_t member : g_vecTabGroup) {
        if (member == id) continue;
        if (auto* tab = dynamic_cast<cTabButtonCtrl*>(ControlAt(window, member))) tab->SetCheck(false);
    }
}

void SelectListItem(vek::cWindow* window, int value)
{
    auto* list = dynamic_cast<vek::cListCtrl*>(ControlAt(window, g_iResolutionList));
    if (!list) return;
    for (unsigned i = 0; i < list->GetItemCount(); ++i)
        if (list->GetItemData(i) == value) list->SelectItem(i, true, false);
}

void GetTaskInfo(const cLevelTask& task, vek::string& texture, vek::string& sprite, vek::string& text,
                 int& amount)
{
    texture = "icons00";
    amount = task.iAmount;
    if (task.iWare != NO_WARE) {
        const cWare* ware = g_pWareManager ? g_pWareManager->GetWare(static_cast<uint32_t>(task.iWare)) : nullptr;
        sprite = ware ? ware->strName : vek::string();
        text = ware ? ware->strTitle : vek::string();
        return;
    }
    const cLocaleGD& locale = GetLocaleGD();
    switch (task.iKind) {
    case 0: sprite = "ostrich"; text = locale.Ostrich; break;
    case 1: sprite = "goat"; text = locale.Goat; break;
    case 2: sprite = "hive"; text = locale.Hive; break;
    case 3: sprite = "peacock"; text = locale.Peacock; break;
    // A task of no ware and no animal names nothing: the outputs keep what
    // the caller put there.
    case -1: break;
    default: text.clear(); break;
    }
}

void GetBuildingInfo(const vek::string& buildingName, vek::string& texture, vek::string& sprite,
                     vek::string& text, int& value)
{
    texture = "icons00";
    sprite.clear();
    text.clear();
    const cBuild* found = g_pGarden ? g_pGarden->GetBuildings().Find(buildingName) : nullptr;
    if (!found) return;
    texture = "icons01";
    sprite = found->GetName();
    if (const auto* house = dynamic_cast<const cHouse*>(found)) {
        text = house->strTitle;
        value = house->iPrice;
    }
}

// ---- cBaseWF ----

cBaseWF::cBaseWF() { m_Fade.m_fSpeed = kWindowFadeSpeed; }

int cBaseWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (!window) return 0;
    switch (message) {
    case vek::cGUI::e_wndPaint: {
        const float opacity = m_Fade.m_Value;
        if (opacity >= 1.0f) return vek::cWindowFunction::Call(window, message, a, b);
        PaintFaded(window, opacity);
        vek::cWindowFunction::Call(window, message, a, b);
        EndFaded();
        return 0;
    }
    case vek::cGUI::e_wndTimer:
        m_Fade.Update(static_cast<float>(a) / 1000.0f);
        // Faded out: off the screen now, which tells the game (message 14).
        // An opacity of 0 alone does not mean that: a screen just shown, or
        // shown again in the same frame it was hidden, starts its fade-in
        // at 0, and a step of 0 ms (a frame shorter than a millisecond)
        // leaves it there. Only a fade that is heading for 0 ends the screen;
        // otherwise it would vanish mid fade-in and the game would be told
        // it closed.
        if (m_Fade.m_Value == 0.0f && m_Fade.m_To == 0.0f) RemoveFromScreen(window);
        break;
    case vek::cGUI::e_wndKeyDown:
        // A screen that cannot answer still lets Escape close it. Keys are
        // never taken here, so the windows below see them too.
        if (!CanHandle() && a == vek::e_keyEscape && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
        return 0;
    case vek::cGUI::e_wndShow:
        m_Fade.SetTarget(1.0f);
        break;
    case vek::cGUI::e_wndHide:
        // Stays shown while it fades; the timer step that reaches 0 removes it.
        m_Fade.SetTarget(0.0f);
        return 0;
    case vek::cGUI::e_wndHideImmediately:
        ReportClose(window, message);
        break;
    case vek::cGUI::e_wndEditChange:
        PlayInterfaceSound("typing");
        break;
    default:
        break;
    }
    return vek::cWindowFunction::Call(window, message, a, b);
}

int cBaseWF::OnError(vek::cWindow* window, const vek::string& text)
{
    return LockAndLog(m_bLocked, window, text);
}

bool cBaseWF::CanHandle()
{
    if (m_bLocked) return false;
    return !(m_Fade.m_To == 0.0f && m_Fade.m_Value != 0.0f);
}

// ---- cBaseGDWF ----

int cBaseGDWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndTimer:
        if (m_bHidePending) {
            m_bHidePending = false;
            RemoveFromScreen(window);
        }
        break;
    case vek::cGUI::e_wndShow:
        m_bHidePending = false;
        return 0;
    case vek::cGUI::e_wndHide:
        m_bHidePending = true;
        return 0;
    default:
        break;
    }
    return vek::cWindowFunction::Call(window, message, a, b);
}

int cBaseGDWF::OnError(vek::cWindow* window, const vek::string& text)
{
    return LockAndLog(m_bLocked, window, text);
}
