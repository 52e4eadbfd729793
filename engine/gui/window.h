#pragma once
// A GUI window: a named container of controls that the window manager shows,
// hides, draws and feeds with input, and its window function, the handler
// object that receives every message addressed to the window. The base
// window function is the default behaviour: drawing the controls, the timer,
// hover and focus tracking with the hint timer, and routing characters and
// mouse messages to controls. Screens derive their own window functions and
// pass what they do not handle on to the base.
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"

namespace vek {

class cGUI;
class cCtrl;
class cWindow;

class cWindowFunction {
public:
    virtual ~cWindowFunction() = default;
    // Handles one message; for input messages 1 means "consumed".
    virtual int Call(cWindow* window, int message, unsigned a, unsigned b);
};

class cWindow {
public:
    // Takes ownership of the function (a base one is made when null), makes
    // control 0 and registers with the GUI, which sends e_wndCreate.
    cWindow(cWindowFunction* function, cGUI* gui);
    // Deletes the controls in index order, then the window function.
    ~cWindow();
    cWindow(const cWindow&) = delete;
    cWindow& operator=(const cWindow&) = delete;

    unsigned GetID() const { return m_uIndex; }
    void SetName(const string& name) { m_strName = name; }
    const string& GetName() const { return m_strName; }

    // Appends a control and makes this window its owner; returns its index.
    // Null, or a control that already has an owner elsewhere, gives 0 and
    // changes nothing (a control added twice to this window keeps its index).
    int AddControl(cCtrl* control);
    // Index of the first control with exactly this name; 0 when none.
    int FindControl(const string& name) const;
    // Null for an index at or beyond the control count.
    cCtrl* GetControl(unsigned index) const;
    unsigned GetControlCount() const { return static_cast<unsigned>(m_Controls.size()); }

    // Moves the keyboard focus: the old control gets e_wndKillFocus, the new
    // one e_wndSetFocus (each only when visible and not ignorable).
    void SetActiveControl(cCtrl* control);
    cCtrl* GetActiveControl() const { return m_pFocused; }
    cCtrl* GetHoveredControl() const { return m_pHovered; }
    float GetHintTimer() const { return m_fHintTimer; }

    void SetActive(bool active) { m_bActive = active; }
    bool IsActive() const { return m_bActive; }
    void SetModal(bool modal) { m_bModal = modal; }
    bool IsModal() const { return m_bModal; }

    // Moves every control by the difference to the last position.
    void SetPos(float x, float y);
    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }

    cGUI* GetGUI() const { return m_pGUI; }
    cWindowFunction* GetFunction() const { return m_pFunction; }

    // The control's message operation, or 1 without calling it when the
    // control is invisible or ignorable.
    int SendToControl(cCtrl* control, int message, unsigned a, unsigned b);

private:
    friend class cGUI;
    friend class cWindowFunction;
    friend class cCtrl;

    // A control deleted by its own code leaves an empty slot, not a dangling
    // pointer, and neither focus nor hover on it.
    void ForgetControl(const cCtrl* control);

    uint32_t m_uIndex = 0;
    cGUI* m_pGUI;
    string m_strName;
    std::vector<cCtrl*> m_Controls;
    cCtrl* m_pFocused = nullptr;
    cCtrl* m_pHovered = nullptr;
    float m_fHintTimer = -1.0f;
    cWindowFunction* m_pFunction = nullptr;
    bool m_bActive = false;
    bool m_bModal = false;
    float m_fX = 0.0f;
    float m_fY = 0.0f;
};

} // namespace vek
