#pragma once
// The GUI window manager: owns every window and the cursor sprite, keeps the
// stack of shown windows, delivers messages to window functions at once or
// through a queue emptied on every fixed step, draws the shown windows over
// the focused widget and offers keyboard, character and mouse input to them
// before the widget sees it.
//
// The GUI works in its own space of width x height units (1024 x 768 in the
// game), origin at the bottom-left, y up. Mouse positions arrive in client
// pixels (origin top-left) and are converted with ScreenToGUI.
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek {

class cWindow;
class cCursor;

// Alignment flags of text, cursor and rectangle placement. Left and Bottom
// mean "no offset".
class cAlign {
public:
    enum eAlign {
        None = 0,
        Left = 1,
        Center = 2,
        Right = 4,
        Top = 8,
        Middle = 16,
        Bottom = 32,
    };
};

// Places inner inside outer by the alignment flags (Right wins over Center,
// Top over Middle); the inner size is unchanged.
void AlignRect(const rect<float>& outer, rect<float>& inner, int flags);

// A GUI point travels in one 32-bit message argument: y in the high 16 bits,
// x in the low 16 bits, both read back unsigned.
inline uint32_t PackGUIPoint(int x, int y)
{
    return (static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFFu);
}
inline int GUIPointX(uint32_t point) { return static_cast<int>(point & 0xFFFFu); }
inline int GUIPointY(uint32_t point) { return static_cast<int>(point >> 16); }

class cGUI {
public:
    // Window messages: the message argument of cWindowFunction::Call.
    enum eMessage {
        e_wndPaint = 1,
        e_wndTimer = 2,
        e_wndKeyDown = 3,
        e_wndChar = 4,
        e_wndMouseMove = 5,
        e_wndLButtonDown = 6,
        e_wndLButtonUp = 7,
        e_wndCreate = 8,
        e_wndDestroy = 9,
        e_wndShow = 10,
        e_wndHide = 11,
        e_wndAfterCreate = 12,
        e_wndKeyUp = 13,
        e_wndHideImmediately = 14,
        e_wndUpdateHover = 15,
        e_wndResetFocus = 16,
        e_wndRButtonDown = 17,
        e_wndRButtonUp = 18,
        e_wndHint = 19,
        e_wndMouseEnter = 32,
        e_wndMouseLeave = 33,
        e_wndSetFocus = 34,
        e_wndKillFocus = 35,
        e_wndCommand = 48,
        e_wndCheck = 49,
        e_wndEditChange = 50,
        e_wndSliderChange = 51,
        e_wndEditEnd = 52,
        e_wndItemSelect = 53,
    };

    // One entry of the posted-message queue.
    struct cPostedMessage {
        int iMessage = 0;
        unsigned uWindow = 0;
        unsigned uA = 0;
        unsigned uB = 0;
    };

    // Creates the default window (index 0, never shown) and the cursor.
    cGUI(float width, float height);
    // Deletes the cursor, drops queued messages and the shown list, then
    // sends e_wndDestroy to every window in index order and deletes it.
    ~cGUI();
    cGUI(const cGUI&) = delete;
    cGUI& operator=(const cGUI&) = delete;

    // Index of the first window with exactly this name; 0 (the default
    // window) when none has it.
    int FindWindow(const string& name) const;
    // Null for an index at or beyond the window count.
    cWindow* GetWindow(unsigned index) const;
    // The window of that name; the default window for an unknown name.
    cWindow* GetWindow(const string& name) const;
    // Registers a window (its constructor calls this): stores the index in
    // it and sends e_wndCreate. 0 for null.
    int AddWindow(cWindow* window);
    unsigned GetWindowCount() const { return static_cast<unsigned>(m_Windows.size()); }

    // 0 when shown, 1 (with a warning) for an unknown name.
    int ShowWindow(const string& name);
    // Asks the window's function to hide (e_wndHide). 1 for an unknown name.
    int HideWindow(const string& name);
    // Takes the window off the shown list now: 0, or 1 when it was not shown.
    int HideWindowImmediately(unsigned index);
    bool IsWindowShown(const string& name) const;
    bool IsWindowShown(unsigned index) const;

    // Calls the window's function at once and returns its result; 0 for an
    // index with no window (the message is dropped).
    int SendMessage(unsigned index, int message, unsigned a, unsigned b);
    // Queues the message for the next Update; always 0. A message for an
    // index with no window is dropped.
    int PostMessage(unsigned index, int message, unsigned a, unsigned b);

    cCursor* GetCursor() const { return m_pCursor; }
    // Milliseconds of e_wndTimer's argument in seconds.
    float ParamToTime(unsigned ms) const { return static_cast<float>(ms) / 1000.0f; }
    // Client pixels to GUI coordinates, in place.
    void ScreenToGUI(int& x, int& y) const;

    // The engine's per-frame and per-step calls.
    void Draw();
    void Update(float elapsed);
    bool OnKeyDown(int key);
    bool OnKeyUp(int key);
    bool OnChar(int character);
    bool OnMouseMove(int x, int y);
    bool OnMouseButton(bool released, int button, int x, int y);
    void Dump();

    // The render viewport in client pixels, copied in by the engine whenever
    // its window is created or resized. Only its size matters: client
    // positions are scaled by it, the viewport always starting at 0, 0.
    void SetViewport(int x, int y, int width, int height);
    int GetViewportWidth() const { return m_iViewportW; }
    int GetViewportHeight() const { return m_iViewportH; }

    float GetWidth() const { return m_fWidth; }
    float GetHeight() const { return m_fHeight; }
    // Shown windows, bottom first.
    const std::vector<unsigned>& GetShownWindows() const { return m_Shown; }
    int GetActiveCount() const { return m_iActiveCount; }
    size_t GetQueuedCount() const { return m_Queue.size(); }
    // Toggled twice a second by Update; drives blinking carets.
    bool GetBlink() const { return m_bBlink; }

    // Sets the system pointer over the window for what the GUI draws: the
    // invisible one while the GUI draws its own cursor sprite (an active
    // window is shown), the arrow otherwise. The GUI calls it whenever that
    // changes; the engine calls it again when the window regains the focus.
    void ApplySystemCursor() const;

    // The mouse cursor in client pixels: the input manager's reading when it
    // can give one, else the last position the mouse dispatch saw.
    void GetCursorClientPos(int& x, int& y) const;

    // Offers an input message to the shown windows from the top down: a
    // window whose active flag is set and whose function returns 1 takes it,
    // and a modal window ends the walk taking it too. True when taken. (The
    // key, character and mouse calls above all go through here.)
    bool DispatchMessage(int message, unsigned a, unsigned b);

private:
    void SetActiveCount(int count);

    std::deque<cPostedMessage> m_Queue;
    std::vector<cWindow*> m_Windows;
    std::vector<unsigned> m_Shown;
    // Shown windows that were counted as active when shown, so hiding one
    // gives back exactly what showing it took even if its flag changed.
    std::vector<unsigned> m_Counted;
    float m_fWidth;
    float m_fHeight;
    int m_iViewportW = 0;
    int m_iViewportH = 0;
    int m_iActiveCount = 0;
    cCursor* m_pCursor = nullptr;
    bool m_bBlink = false;
    float m_fBlinkTime = 0.0f;
    int m_iLastClientX = 0;
    int m_iLastClientY = 0;
    bool m_bDestroying = false;
};

} // namespace vek
