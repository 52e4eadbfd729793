#pragma once
// The game screens' window functions: the two handler bases (cBaseWF for the
// screens that report their closing to the game object, cBaseGDWF for the
// pop-ups that show and leave at once), the hint window's base, and one class
// per game screen. Each is made with no argument and handed to
// cMiddle::FillWindow, whose window owns it from then on.
#include <cstdint>
#include <vector>

#include "engine/core/anim.h"

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

// Control groups the screens keep for the run, as control indices of their
// window: the upgrades screen's check boxes that behave as one choice, the
// edit screen's tab buttons, and the options screen's resolution list.
extern std::vector<int32_t> g_vecCheckGroup;
extern std::vector<int32_t> g_vecTabGroup;
extern int32_t g_iResolutionList;

// The control of that name in the window; null for a null window or when the
// window has none (no warning).
vek::cCtrl* GetWindowControl(vek::cWindow* window, const vek::string& name);
// The same control as the class a screen uses it as; null when it is missing
// or of another class (a script that made "plants" as a label must not have
// toolbar code run on a label). Derived classes pass.
template <class T>
T* GetWindowControlAs(vek::cWindow* window, const vek::string& name)
{
    return dynamic_cast<T*>(GetWindowControl(window, name));
}
// The control of that name in the GUI window of that name; a missing window
// or control is logged (sender "FindControl") and gives null.
vek::cCtrl* FindControl(const vek::string& windowName, const vek::string& controlName);
// Presses the named control from code: the window's function gets the
// control command at once (b = the control's index, 0 when there is none).
// False for a null window.
bool ClickControl(vek::cWindow* window, const vek::string& name);
// Checks the check box at the index and unchecks every other box of the
// check group. False for a null window, or when the index names no check
// box (the placeholder 0, an index past the list, another class); members
// of the group that are no check box are skipped.
bool CheckGroupControl(vek::cWindow* window, int index);
// Releases every tab button of the tab group but the one with that id.
// Entries that name no tab button are skipped.
void ReleaseGroupTabs(vek::cWindow* window, int id);
// Selects, without notification, every item of the window's resolution list
// whose item data equals the value.
void SelectListItem(vek::cWindow* window, int value);

struct cLevelTask;
// Display data of a level task: the icon sheet, the sprite of its ware or
// animal, the ware's or animal's title, and the amount. A task with neither
// ware nor animal leaves the sprite as it was and gives an empty text.
void GetTaskInfo(const cLevelTask& task, vek::string& texture, vek::string& sprite, vek::string& text,
                 int& amount);
// Display data of a building definition by name: "icons01", its name, its
// title and its price when the game knows it; else "icons00", empty sprite
// and text, and the value untouched.
void GetBuildingInfo(const vek::string& buildingName, vek::string& texture, vek::string& sprite,
                     vek::string& text, int& value);

// Base of the screens that fade in and out. A new screen is invisible (fade
// value 0); showing it fades it in over 0.5 s, hiding it fades it out while
// it grows to 110 %, and only when it is gone is the game object told.
class cBaseWF : public vek::cWindowFunction {
public:
    cBaseWF();
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    // Locks the screen's own cases for good and logs the text (when not
    // empty) with the window's name; 0.
    virtual int OnError(vek::cWindow* window, const vek::string& text);
    // Whether the screen's own cases may run: not once locked, nor while it
    // fades out.
    virtual bool CanHandle();

    bool IsLocked() const { return m_bLocked; }
    const vek::mover<float>& GetFade() const { return m_Fade; }

protected:
    // Opacity 0 to 1.
    vek::mover<float> m_Fade;
    bool m_bLocked = false;
};

// Base of the pop-ups that show at once and leave at the next GUI update
// after a hide request, without fading.
class cBaseGDWF : public vek::cWindowFunction {
public:
    cBaseGDWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    int OnError(vek::cWindow* window, const vek::string& text);

    bool IsLocked() const { return m_bLocked; }

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
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cMainGDWF : public cMainWF {
public:
    cMainGDWF() : m_iScreenValue(g_iMenuScreenValue) {}
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    int32_t GetScreenValue() const { return m_iScreenValue; }

private:
    int32_t m_iScreenValue;
};

class cEscapeWF : public cBaseWF {
public:
    cEscapeWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cEscapeGDWF : public cEscapeWF {
public:
    cEscapeGDWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cProfileSelectWF : public cBaseWF {
public:
    cProfileSelectWF() = default;
    // kMsgDeleteProfile deletes the profile at index a after making a
    // neighbour current; an index outside the list, or the only profile,
    // is left alone.
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cOptionsWF : public cBaseWF {
public:
    cOptionsWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cOptionsGDWF : public cOptionsWF {
public:
    cOptionsGDWF() : m_iScreenValue(g_iMenuScreenValue) {}
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    int32_t GetScreenValue() const { return m_iScreenValue; }

private:
    int32_t m_iScreenValue;
};

class cProfileAddWF : public cBaseWF {
public:
    cProfileAddWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
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
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};
