#include "game/screens/message_box.h"

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/core/input.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "game/screens/controls.h"
#include "game/shell/middle.h"

namespace {

void SetControlTexture(vek::cCtrl* control, const vek::string& name)
{
    if (auto* image = dynamic_cast<vek::cImageCtrl*>(control))
        image->SetTexture(name);
    else if (auto* frame = dynamic_cast<vek::cFrameCtrl*>(control))
        frame->SetTexture(name);
    else if (auto* progress = dynamic_cast<vek::cProgressBarSysCtrl*>(control))
        progress->SetTexture(name);
}

void SetControlText(vek::cCtrl* control, const vek::string& text)
{
    if (auto* label = dynamic_cast<vek::cLabelCtrl*>(control))
        label->SetText(text);
    else if (auto* button = dynamic_cast<vek::cButtonSysCtrl*>(control))
        button->SetText(text);
    else if (auto* gameButton = dynamic_cast<cButtonCtrl*>(control))
        gameButton->SetText(text);
    else if (auto* edit = dynamic_cast<vek::cEditCtrl*>(control))
        edit->SetText(text);
    else if (auto* check = dynamic_cast<vek::cCheckBoxSysCtrl*>(control))
        check->SetText(text);
}

} // namespace

int cMessageBoxWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    // The answer and the pause are kept whatever the fade is doing: a box
    // shown again while it fades out asks anew, and every removal gives back
    // the one pause step that its showing took.
    switch (message) {
    case vek::cGUI::e_wndShow:
        // A box that leaves without a button press must not repeat an
        // earlier "ok".
        m_iResult = 1;
        if (!m_bPauseRaised && vek::g_pGame) {
            if (++vek::g_pGame->iPause < 0) vek::g_pGame->iPause = 0;
            m_bPauseRaised = true;
        }
        break;
    case vek::cGUI::e_wndHideImmediately:
        if (m_bPauseRaised) {
            if (vek::g_pGame && vek::g_pGame->iPause > 0) --vek::g_pGame->iPause;
            m_bPauseRaised = false;
        }
        break;
    case kMsgShowMessageBox:
        if (window && g_pMiddle) g_pMiddle->ShowGameWindow(window->GetName(), 1);
        return 0;
    default:
        break;
    }
    if (CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndKeyDown:
            if (a == vek::e_keyEnter) {
                ClickControl(window, "ok");
            } else if (a == vek::e_keyEscape) {
                const vek::cCtrl* cancel = GetWindowControl(window, "cancel");
                ClickControl(window, cancel && cancel->GetState(vek::cCtrl::e_Visibility) ? "cancel" : "ok");
            }
            break;
        case vek::cGUI::e_wndAfterCreate:
            m_pWindow = window;
            break;
        case vek::cGUI::e_wndCommand:
            // The answer is set before the box hides: the game object reads
            // it as soon as the box has left the screen.
            if (window && b != 0) {
                if (static_cast<int>(b) == window->FindControl("ok"))
                    m_iResult = 0;
                else if (static_cast<int>(b) == window->FindControl("cancel"))
                    m_iResult = 1;
            }
            if (window && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}

int cMessageBoxWF::SetImage(const vek::string& image, const vek::string& icon)
{
    if (!m_pWindow) return 1;
    // A picture asked for by no name is left off: a control without a
    // texture would draw a plain white square where it goes.
    const auto show = [this](const char* name, const vek::string& texture) {
        vek::cCtrl* control = GetWindowControl(m_pWindow, name);
        if (!control) return;
        SetControlTexture(control, texture);
        if (texture.empty())
            control->DisableState(vek::cCtrl::e_Visibility);
        else
            control->EnableState(vek::cCtrl::e_Visibility);
    };
    show("image", image);
    show("icon", icon);
    return 0;
}

int cMessageBoxWF::SetText(const vek::string& text, const vek::string& title)
{
    if (!m_pWindow) return 1;
    if (vek::cCtrl* control = GetWindowControl(m_pWindow, "title")) SetControlText(control, title);
    if (vek::cCtrl* control = GetWindowControl(m_pWindow, "text")) {
        SetControlText(control, text);
        return 0;
    }
    // Without a text control the lines go to "line0", "line1", ... (empty
    // lines kept) and the labels beyond the last line are cleared.
    vek::strlist lines;
    size_t from = 0;
    for (;;) {
        const size_t end = text.find('\n', from);
        lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (end == std::string::npos) break;
        from = end + 1;
    }
    for (size_t i = 0;; ++i) {
        vek::cCtrl* label = GetWindowControl(m_pWindow, vek::Formatted("line%i", static_cast<int>(i)));
        if (!label) break;
        SetControlText(label, i < lines.size() ? lines[i] : vek::string());
    }
    return 0;
}

int cMessageBoxWF::SetButtons(const vek::string& first, const vek::string& second)
{
    if (!m_pWindow) return 1;
    if (vek::cCtrl* ok = GetWindowControl(m_pWindow, "ok")) SetControlText(ok, first);
    if (vek::cCtrl* cancel = GetWindowControl(m_pWindow, "cancel")) {
        if (second.empty()) {
            cancel->DisableState(vek::cCtrl::e_Visibility);
        } else {
            cancel->EnableState(vek::cCtrl::e_Visibility);
            SetControlText(cancel, second);
        }
    }
    return 0;
}

void cMessageBoxWF::SetCommand(const vek::string& command) { m_strCommand = command; }

const vek::string& cMessageBoxWF::GetCommand() { return m_strCommand; }

int cMessageBoxWF::GetResult() { return m_iResult; }
