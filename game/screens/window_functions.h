#pragma once
// The game screens' window functions: the two handler bases (cBaseWF for the
// screens that report their closing to the game object, cBaseGDWF for the
// pop-ups that show and leave at once), the hint window's base, and one class
// per game screen. Each is made with no argument and handed to
// cMiddle::FillWindow, whose window owns it from then on.
#include <cstdint>

#include "engine/core/vekstring.h"
#include "engine/gui/window.h"

namespace vek {
class cCtrl;
}

// The profile screen's message: delete the profile at index a.
constexpr int kMsgDeleteProfile = 0x9001;

// Set to 3 by the game object's constructor; the main-menu and options
// screens copy it when they are made. 0 until then.
extern int32_t g_iMenuScreenValue;

// The control of that name in the window; null for a null window or when the
// window has none (no warning).
vek::cCtrl* GetWindowControl(vek::cWindow* window, const vek::string& name);
// Presses the named control from code: the window's function gets the
// control command at once (b = the control's index, 0 when there is none).
// False for a null window.
bool ClickControl(vek::cWindow* window, const vek::string& name);

class cBaseWF : public vek::cWindowFunction {
public:
    cBaseWF() = default;
    // Reports a window that left the screen to the game object, then hands
    // every message to the default handler.
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    // Locks the screen's own cases for good and logs the text (when not
    // empty) with the window's name; 0.
    virtual int OnError(vek::cWindow* window, const vek::string& text);
    // Whether the screen's own cases may run.
    virtual bool CanHandle();

protected:
    bool m_bLocked = false;
};

class cBaseGDWF : public vek::cWindowFunction {
public:
    cBaseGDWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    int OnError(vek::cWindow* window, const vek::string& text);

protected:
    bool m_bLocked = false;
    bool m_bHidePending = false;
};

class cHintWF : public vek::cWindowFunction {
public:
    cHintWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cHintGDWF : public cHintWF {
public:
    cHintGDWF() = default;
};

class cHintMPWF : public cBaseGDWF {
public:
    cHintMPWF() = default;
};

class cMissionStartWF : public cBaseWF {
public:
    cMissionStartWF() = default;
};

class cMissionFinishWF : public cBaseWF {
public:
    cMissionFinishWF() = default;
};

class cMissionGoalWF : public cBaseWF {
public:
    cMissionGoalWF() = default;
};

class cMainWF : public cBaseWF {
public:
    cMainWF() = default;
};

class cMainGDWF : public cMainWF {
public:
    cMainGDWF() : m_iScreenValue(g_iMenuScreenValue) {}
    int32_t GetScreenValue() const { return m_iScreenValue; }

private:
    int32_t m_iScreenValue;
};

class cEscapeWF : public cBaseWF {
public:
    cEscapeWF() = default;
};

class cEscapeGDWF : public cEscapeWF {
public:
    cEscapeGDWF() = default;
};

class cProfileSelectWF : public cBaseWF {
public:
    cProfileSelectWF() = default;
    // kMsgDeleteProfile deletes the profile at index a; an index outside the
    // profile list, or the current profile, is left alone.
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cOptionsWF : public cBaseWF {
public:
    cOptionsWF() = default;
};

class cOptionsGDWF : public cOptionsWF {
public:
    cOptionsGDWF() : m_iScreenValue(g_iMenuScreenValue) {}
    int32_t GetScreenValue() const { return m_iScreenValue; }

private:
    int32_t m_iScreenValue;
};

class cProfileAddWF : public cBaseWF {
public:
    cProfileAddWF() = default;
};

class cGardenWF : public cBaseWF {
public:
    cGardenWF() = default;
};

class cStatGardenWF : public cBaseWF {
public:
    cStatGardenWF() = default;
};

class cStatIslandWF : public cBaseWF {
public:
    cStatIslandWF() = default;
};

class cIslandWF : public cBaseWF {
public:
    cIslandWF() = default;
};

class cEditWF : public cBaseWF {
public:
    cEditWF() = default;
};

class cUpWF : public cBaseWF {
public:
    cUpWF() = default;
};

class cScoreWF : public cBaseGDWF {
public:
    cScoreWF() = default;
};

class cComicsWF : public cBaseWF {
public:
    cComicsWF() = default;
};
