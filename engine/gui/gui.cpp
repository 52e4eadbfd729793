#include "engine/gui/gui.h"

#include <algorithm>
#include <cstdint>

#include "engine/core/numeric.h"
#include "engine/core/format.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/cursor.h"
#include "engine/gui/guidraw.h"
#include "engine/gui/window.h"
#include "platform/window.h"

namespace vek {

namespace {

constexpr const char* kSender = "cGUI";

// The blink flag toggles once more than this much update time has passed.
constexpr float kBlinkPeriod = 0.5f;

bool Contains(const std::vector<unsigned>& list, unsigned value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

void Remove(std::vector<unsigned>& list, unsigned value)
{
    const auto it = std::find(list.begin(), list.end(), value);
    if (it != list.end()) list.erase(it);
}

// Milliseconds of a step for e_wndTimer: truncated, never negative.
unsigned StepMilliseconds(float elapsed) { return SaturatingCast<uint32_t>(elapsed * 1000.0f); }

} // namespace

void AlignRect(const rect<float>& outer, rect<float>& inner, int flags)
{
    float dx = 0.0f;
    float dy = 0.0f;
    if (flags & cAlign::Right)
        dx = outer.w - inner.w;
    else if (flags & cAlign::Center)
        dx = (outer.w - inner.w) / 2.0f;
    if (flags & cAlign::Top)
        dy = outer.h - inner.h;
    else if (flags & cAlign::Middle)
        dy = (outer.h - inner.h) / 2.0f;
    inner.x = outer.x + dx;
    inner.y = outer.y + dy;
}

cGUI::cGUI(float width, float height) : m_fWidth(width), m_fHeight(height)
{
    // The default window registers itself as window 0.
    new cWindow(nullptr, this);
    m_pCursor = new cCursor(this);
}

cGUI::~cGUI()
{
    m_bDestroying = true;
    delete m_pCursor;
    m_pCursor = nullptr;
    m_Queue.clear();
    m_Shown.clear();
    m_Counted.clear();
    SetActiveCount(0);
    // A window's handler may still address other windows while it is being
    // destroyed: each slot is cleared as soon as its window is gone, so such
    // a message finds no window instead of a deleted one.
    for (size_t i = 0; i < m_Windows.size(); ++i) {
        cWindow* window = m_Windows[i];
        if (!window) continue;
        if (window->m_pFunction)
            window->m_pFunction->Call(window, e_wndDestroy, 0, 0);
        m_Windows[i] = nullptr;
        delete window;
    }
    m_Windows.clear();
}

int cGUI::FindWindow(const string& name) const
{
    for (size_t i = 0; i < m_Windows.size(); ++i)
        if (m_Windows[i] && m_Windows[i]->GetName() == name) return static_cast<int>(i);
    return 0;
}

cWindow* cGUI::GetWindow(unsigned index) const
{
    return index < m_Windows.size() ? m_Windows[index] : nullptr;
}

cWindow* cGUI::GetWindow(const string& name) const
{
    return GetWindow(static_cast<unsigned>(FindWindow(name)));
}

int cGUI::AddWindow(cWindow* window)
{
    if (!window) return 0;
    m_Windows.push_back(window);
    const unsigned index = static_cast<unsigned>(m_Windows.size() - 1);
    window->m_uIndex = index;
    SendMessage(index, e_wndCreate, 0, 0);
    return static_cast<int>(index);
}

int cGUI::ShowWindow(const string& name)
{
    const unsigned index = static_cast<unsigned>(FindWindow(name));
    cWindow* window = GetWindow(index);
    if (index == 0 || !window) {
        LogWarning(kSender, "Window with name '%s' not found!\n", name);
        return 1;
    }

    if (window->IsModal()) {
        // A modal window takes focus and hover from what lies below it, down
        // to and including the next modal window.
        const std::vector<unsigned> shown = m_Shown;
        for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
            SendMessage(*it, e_wndResetFocus, 0, 0);
            const cWindow* below = GetWindow(*it);
            if (below && below->IsModal()) break;
        }
    }

    if (!Contains(m_Shown, index)) {
        m_Shown.push_back(index);
        if (window->IsActive()) {
            m_Counted.push_back(index);
            SetActiveCount(m_iActiveCount + 1);
        }
    }

    SendMessage(index, e_wndShow, 0, 0);
    SendMessage(index, e_wndUpdateHover, 0, 0);
    return 0;
}

int cGUI::HideWindow(const string& name)
{
    const unsigned index = static_cast<unsigned>(FindWindow(name));
    if (index == 0) return 1;
    SendMessage(index, e_wndHide, 0, 0);
    return 0;
}

int cGUI::HideWindowImmediately(unsigned index)
{
    const auto pos = std::find(m_Shown.begin(), m_Shown.end(), index);
    if (pos == m_Shown.end()) return 1;

    bool modalAbove = false;
    for (auto it = pos + 1; it != m_Shown.end(); ++it) {
        const cWindow* above = GetWindow(*it);
        if (above && above->IsModal()) modalAbove = true;
    }
    // The windows below, nearest first, as they are now: the handlers called
    // from here may change the shown list.
    const std::vector<unsigned> below(std::make_reverse_iterator(pos), m_Shown.rend());

    cWindow* window = GetWindow(index);
    SendMessage(index, e_wndResetFocus, 0, 0);

    if (window && window->IsModal() && !modalAbove) {
        for (unsigned other : below) {
            if (!Contains(m_Shown, other)) continue;
            SendMessage(other, e_wndUpdateHover, 0, 0);
            const cWindow* w = GetWindow(other);
            if (w && w->IsModal()) break;
        }
    }

    SendMessage(index, e_wndHideImmediately, 0, 0);

    if (Contains(m_Counted, index)) {
        Remove(m_Counted, index);
        SetActiveCount(m_iActiveCount - 1);
    }
    Remove(m_Shown, index);
    return 0;
}

bool cGUI::IsWindowShown(const string& name) const
{
    const int index = FindWindow(name);
    return index != 0 && Contains(m_Shown, static_cast<unsigned>(index));
}

bool cGUI::IsWindowShown(unsigned index) const { return Contains(m_Shown, index); }

int cGUI::SendMessage(unsigned index, int message, unsigned a, unsigned b)
{
    cWindow* window = GetWindow(index);
    if (!window) {
        if (!m_bDestroying && index >= m_Windows.size())
            LogWarning(kSender, "SendMessage: no window with index %u\n", index);
        return 0;
    }
    if (!window->m_pFunction) return 0;
    return window->m_pFunction->Call(window, message, a, b);
}

int cGUI::PostMessage(unsigned index, int message, unsigned a, unsigned b)
{
    if (index >= m_Windows.size()) {
        LogWarning(kSender, "PostMessage: no window with index %u\n", index);
        return 0;
    }
    m_Queue.push_back(cPostedMessage{message, index, a, b});
    return 0;
}

void cGUI::ScreenToGUI(int& x, int& y) const
{
    // A minimised client area reports a size of 0; scaling by 1 instead keeps
    // the arithmetic defined.
    const int64_t vw = m_iViewportW != 0 ? m_iViewportW : 1;
    const int64_t vh = m_iViewportH != 0 ? m_iViewportH : 1;
    const int64_t w = static_cast<int64_t>(m_fWidth);
    const int64_t h = static_cast<int64_t>(m_fHeight);
    x = static_cast<int32_t>((w * x) / vw);
    y = static_cast<int32_t>(h - (h * y) / vh);
}

void cGUI::SetViewport(int, int, int width, int height)
{
    m_iViewportW = width;
    m_iViewportH = height;
}

void cGUI::GetCursorClientPos(int& x, int& y) const
{
    if (g_pInput && g_pInput->GetCursorPosition(&x, &y)) return;
    x = m_iLastClientX;
    y = m_iLastClientY;
}

void cGUI::SetActiveCount(int count)
{
    if (count < 0) count = 0;
    const bool wasDrawing = m_iActiveCount != 0;
    m_iActiveCount = count;
    if ((m_iActiveCount != 0) != wasDrawing) ApplySystemCursor();
}

void cGUI::ApplySystemCursor() const
{
    // Never two pointers: the system one hides while the sprite is drawn, and
    // comes back when it is not.
    platform::WindowSystem().SetSystemCursor(m_iActiveCount != 0 ? platform::e_cursorApp
                                                                 : platform::e_cursorArrow);
}

void cGUI::Update(float elapsed)
{
    // Messages posted while delivering are delivered in this same loop.
    while (!m_Queue.empty()) {
        const cPostedMessage msg = m_Queue.front();
        m_Queue.pop_front();
        cWindow* window = GetWindow(msg.uWindow);
        if (window && window->m_pFunction)
            window->m_pFunction->Call(window, msg.iMessage, msg.uA, msg.uB);
    }

    // Timers go out with the next step's delivery.
    const unsigned ms = StepMilliseconds(elapsed);
    for (auto it = m_Shown.rbegin(); it != m_Shown.rend(); ++it)
        m_Queue.push_back(cPostedMessage{e_wndTimer, *it, ms, 0});

    if (m_pCursor) m_pCursor->Advance(elapsed);

    if (elapsed > 0.0f) m_fBlinkTime += elapsed;
    if (m_fBlinkTime > kBlinkPeriod) {
        m_fBlinkTime = 0.0f;
        m_bBlink = !m_bBlink;
    }
}

void cGUI::Draw()
{
    guidraw::Begin(m_fWidth, m_fHeight);
    const std::vector<unsigned> shown = m_Shown;
    for (unsigned index : shown) {
        if (Contains(m_Shown, index)) SendMessage(index, e_wndPaint, 0, 0);
    }
    if (m_iActiveCount != 0 && m_pCursor) m_pCursor->Draw();
    guidraw::End();
}

bool cGUI::DispatchMessage(int message, unsigned a, unsigned b)
{
    // Handlers may show or hide windows while the event travels down: walk
    // the stack as it was and skip windows that left it meanwhile.
    const std::vector<unsigned> shown = m_Shown;
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        if (!Contains(m_Shown, *it)) continue;
        cWindow* window = GetWindow(*it);
        if (!window) continue;
        if (window->IsActive() && window->m_pFunction &&
            window->m_pFunction->Call(window, message, a, b) == 1)
            return true;
        if (window->IsModal()) return true;
    }
    return false;
}

bool cGUI::OnKeyDown(int key) { return DispatchMessage(e_wndKeyDown, static_cast<unsigned>(key), 0); }

bool cGUI::OnKeyUp(int key) { return DispatchMessage(e_wndKeyUp, static_cast<unsigned>(key), 0); }

bool cGUI::OnChar(int character)
{
    return DispatchMessage(e_wndChar, static_cast<unsigned>(character), 0);
}

bool cGUI::OnMouseMove(int x, int y)
{
    m_iLastClientX = x;
    m_iLastClientY = y;
    ScreenToGUI(x, y);
    if (m_iActiveCount != 0 && m_pCursor)
        m_pCursor->SetPosition(static_cast<float>(x), static_cast<float>(y));
    return DispatchMessage(e_wndMouseMove, 0, PackGUIPoint(x, y));
}

bool cGUI::OnMouseButton(bool released, int button, int x, int y)
{
    m_iLastClientX = x;
    m_iLastClientY = y;
    int message = 0;
    if (button == 0)
        message = released ? e_wndLButtonUp : e_wndLButtonDown;
    else if (button == 1)
        message = released ? e_wndRButtonUp : e_wndRButtonDown;
    ScreenToGUI(x, y);
    return DispatchMessage(message, 0, PackGUIPoint(x, y));
}

void cGUI::Dump()
{
    static const char* const kSeparator =
        "  +----+--------------------------+----+---+---+---+----------\n";
    LogContinuation("GUI.\n");
    LogContinuation(kSeparator);
    LogContinuation("  |  N |                     name | id | M | A | V | controls \n");
    LogContinuation(kSeparator);
    int rows = 0;
    std::string line;
    for (size_t i = 0; i < m_Windows.size(); ++i) {
        const cWindow* window = m_Windows[i];
        if (!window) continue;
        Format(line, "  | %2i | %24s | %2i | %i | %i | %s | ", static_cast<int>(i),
               window->GetName(), window->GetID(), window->IsModal() ? 1 : 0,
               window->IsActive() ? 1 : 0, Contains(m_Shown, window->GetID()) ? "+" : " ");
        for (unsigned c = 0; c < window->GetControlCount(); ++c) {
            const cCtrl* ctrl = window->GetControl(c);
            if (ctrl) AppendFormat(line, "%s(%s), ", ctrl->GetName(), ctrl->ClassName());
        }
        line += "\n";
        // Names come from scripts: the row goes out as an argument, never as
        // a format of its own.
        LogContinuation("%s", line);
        ++rows;
    }
    LogContinuation(kSeparator);
    LogContinuation("   Total Count: %i, Visible Count: %i.\n", rows,
                    static_cast<int>(m_Shown.size()));
}

} // namespace vek
