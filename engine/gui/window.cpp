#include "engine/gui/window.h"

#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"

namespace vek {

namespace {

// Resting this long on a control brings its hint.
constexpr float kHintDelay = 0.5f;

bool Reachable(const cCtrl* control)
{
    return control && control->GetState(cCtrl::e_Visibility) &&
           !control->GetState(cCtrl::e_Ignorable);
}

} // namespace

// ---- cWindow ----

cWindow::cWindow(cWindowFunction* function, cGUI* gui)
    : m_pGUI(gui), m_pFunction(function ? function : new cWindowFunction())
{
    new cCtrl("unnamed", this);
    if (m_pGUI) m_pGUI->AddWindow(this);
}

cWindow::~cWindow()
{
    m_pFocused = nullptr;
    m_pHovered = nullptr;
    for (size_t i = 0; i < m_Controls.size(); ++i) {
        cCtrl* control = m_Controls[i];
        m_Controls[i] = nullptr;
        delete control;
    }
    m_Controls.clear();
    delete m_pFunction;
    m_pFunction = nullptr;
}

int cWindow::AddControl(cCtrl* control)
{
    if (!control) return 0;
    if (control->m_bOwned) {
        // Already here: keep the index it has. Anywhere else: a second owner
        // would delete it twice.
        if (control->m_pParent == this) return control->m_iID;
        LogWarning("cWindow", "Control '%s' already belongs to another owner\n",
                   control->GetName());
        return 0;
    }
    m_Controls.push_back(control);
    const int index = static_cast<int>(m_Controls.size() - 1);
    control->m_bOwned = true;
    control->m_pParent = this;
    control->m_pGUI = m_pGUI;
    control->m_iID = index;
    return index;
}

void cWindow::ForgetControl(const cCtrl* control)
{
    if (m_pFocused == control) m_pFocused = nullptr;
    if (m_pHovered == control) {
        m_pHovered = nullptr;
        m_fHintTimer = -1.0f;
    }
    for (cCtrl*& slot : m_Controls)
        if (slot == control) slot = nullptr;
}

int cWindow::FindControl(const string& name) const
{
    for (size_t i = 0; i < m_Controls.size(); ++i)
        if (m_Controls[i] && m_Controls[i]->GetName() == name) return static_cast<int>(i);
    return 0;
}

cCtrl* cWindow::GetControl(unsigned index) const
{
    return index < m_Controls.size() ? m_Controls[index] : nullptr;
}

void cWindow::SetActiveControl(cCtrl* control)
{
    if (control == m_pFocused) return;
    cCtrl* old = m_pFocused;
    if (Reachable(old)) old->OnMessage(cGUI::e_wndKillFocus, 0, 0);
    m_pFocused = control;
    if (Reachable(control)) control->OnMessage(cGUI::e_wndSetFocus, 0, 0);
}

void cWindow::SetPos(float x, float y)
{
    const float dx = x - m_fX;
    const float dy = y - m_fY;
    for (size_t i = 0; i < m_Controls.size(); ++i)
        if (m_Controls[i]) m_Controls[i]->MoveBy(dx, dy, 0);
    m_fX = x;
    m_fY = y;
}

int cWindow::SendToControl(cCtrl* control, int message, unsigned a, unsigned b)
{
    if (!Reachable(control)) return 1;
    return control->OnMessage(message, a, b);
}

// ---- cWindowFunction: the default handler ----

int cWindowFunction::Call(cWindow* window, int message, unsigned a, unsigned b)
{
    if (!window) return 0;
    cGUI* gui = window->m_pGUI;
    // Controls may be added while a message is handled, so the loops below
    // re-read the count on every turn.
    std::vector<cCtrl*>& controls = window->m_Controls;

    switch (message) {
    case cGUI::e_wndPaint:
        guidraw::ResetBatch();
        for (size_t i = 1; i < controls.size(); ++i) {
            cCtrl* control = controls[i];
            if (control && control->GetState(cCtrl::e_Visibility)) control->Draw();
        }
        guidraw::FlushBatch();
        return 0;

    case cGUI::e_wndTimer:
        for (size_t i = 0; i < controls.size(); ++i)
            if (Reachable(controls[i])) controls[i]->OnMessage(cGUI::e_wndTimer, a, b);
        if (window->m_fHintTimer >= 0.0f) {
            window->m_fHintTimer -= static_cast<float>(a) / 1000.0f;
            if (window->m_fHintTimer <= 0.0f) {
                const cCtrl* hovered = window->m_pHovered;
                if (gui && hovered)
                    gui->SendMessage(window->GetID(), cGUI::e_wndHint, 0,
                                     static_cast<unsigned>(hovered->GetID()));
                // Once per rest: the hint is not sent again until the hover
                // changes.
                window->m_fHintTimer = -1.0f;
            }
        }
        return 0;

    case cGUI::e_wndChar:
        if (window->m_pFocused &&
            window->SendToControl(window->m_pFocused, cGUI::e_wndChar, a, b) == 0)
            return 1;
        return 0;

    case cGUI::e_wndMouseMove: {
        const float x = static_cast<float>(GUIPointX(b));
        const float y = static_cast<float>(GUIPointY(b));
        cCtrl* candidate = nullptr;
        for (size_t i = controls.size(); i-- > 1;) {
            cCtrl* control = controls[i];
            if (!Reachable(control)) continue;
            if (control->HitTest(x, y)) {
                candidate = control;
                break;
            }
        }
        if (candidate != window->m_pHovered) {
            cCtrl* old = window->m_pHovered;
            if (Reachable(old)) old->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
            if (candidate) {
                if (Reachable(candidate)) candidate->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
                window->m_fHintTimer = kHintDelay;
            } else {
                window->m_fHintTimer = -1.0f;
            }
            window->m_pHovered = candidate;
        }
        cCtrl* hovered = window->m_pHovered;
        int result = 1;
        if (Reachable(hovered)) result = hovered->OnMessage(cGUI::e_wndMouseMove, a, b);
        // A dragged control (a slider) follows the cursor off itself.
        cCtrl* focused = window->m_pFocused;
        if (focused && focused != hovered && Reachable(focused))
            focused->OnMessage(cGUI::e_wndMouseMove, a, b);
        return result == 0 ? 1 : 0;
    }

    case cGUI::e_wndLButtonDown: {
        cCtrl* hovered = window->m_pHovered;
        if (!hovered) return 0;
        if (hovered->GetState(cCtrl::e_Disabled)) return 0;
        if (window->SendToControl(hovered, cGUI::e_wndLButtonDown, a, b) == 0) {
            window->SetActiveControl(hovered);
            return 1;
        }
        return 0;
    }

    case cGUI::e_wndLButtonUp: {
        cCtrl* hovered = window->m_pHovered;
        if (hovered) window->SendToControl(hovered, cGUI::e_wndLButtonUp, a, b);
        cCtrl* focused = window->m_pFocused;
        if (focused && focused != hovered)
            window->SendToControl(focused, cGUI::e_wndLButtonUp, a, b);
        return 0;
    }

    case cGUI::e_wndHide:
        if (gui) gui->HideWindowImmediately(window->GetID());
        return 0;

    case cGUI::e_wndUpdateHover:
        if (gui) {
            int x = 0;
            int y = 0;
            gui->GetCursorClientPos(x, y);
            gui->ScreenToGUI(x, y);
            gui->SendMessage(window->GetID(), cGUI::e_wndMouseMove, 0, PackGUIPoint(x, y));
        }
        return 0;

    case cGUI::e_wndResetFocus:
        window->SetActiveControl(nullptr);
        if (window->m_pHovered)
            window->SendToControl(window->m_pHovered, cGUI::e_wndMouseLeave, 0, 0);
        window->m_pHovered = nullptr;
        window->m_fHintTimer = -1.0f;
        return 0;

    default:
        return 0;
    }
}

} // namespace vek
