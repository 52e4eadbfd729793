#pragma once
// The game screens' window functions: the two handler bases (cBaseWF for the
// screens that report their closing to the game object, cBaseGDWF for the
// pop-ups that show and leave at once), the hint window's base, and one class
// per game screen. Each is made with no argument and handed to
// cMiddle::FillWindow, whose window owns it from then on.
#include <cstdint>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"

#include "engine/core/vekstring.h"
#include "engine/gui/window.h"

namespace vek {
class cCtrl;
class cImageCtrl;
class cLabelCtrl;
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
// The control of that name in the GUI window of that name; null when either
// is missing (no warning).
vek::cCtrl* FindWindowControl(const vek::string& windowName, const vek::string& controlName);
// The same, but a missing window or control is logged (sender "FindControl") and gives null.
vek::cCtrl* FindControl(const vek::string& windowName, const vek::string& controlName);
// Presses the named control from code: the window's function gets the
// control command at once (b = the control's index, 0 when there is none).
// False for a null window.
bool ClickControl(vek::cWindow* window, const vek::string& name);
// Whether a control command's b names the control of that name: a window
// without such a control never matches, not even b = 0.
bool IsControl(vek::cWindow* window, unsigned b, const vek::string& name);
// A command from the window's control of that name hides the window (the
// "ok" or "close" button of a screen that only shows something).
void HideOnCommandFrom(vek::cWindow* window, unsigned b, const vek::string& name);
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

// The screens' and the hints' fade: opacity per second, so that a whole
// fade lasts half a second.
constexpr float kWindowFadeSpeed = 2.0f;

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

// The tutorial's hint: a framed text with a close button, an arrow that can
// point at a spot, and a highlight that dims the whole screen but one
// rectangle. The window's script places the five controls "frame", "text",
// "close", "arrow" and "highlight"; the hint keeps the offsets of the text
// and the button from the frame as the script made them and grows the frame
// with the text. Without all five the hint stays inert (no warning).
class cHintWF : public vek::cWindowFunction {
public:
    // Flags of SetHint: the frame to the left of the point, below it.
    enum eFlags { e_hintLeft = 1, e_hintBelow = 0x20 };

    cHintWF();
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
    // A hint centred on the screen without arrow or highlight.
    virtual int SetText(const vek::string& text, int modal);
    // target: the rectangle left clear, (0, 0, 0, 0) for none; point: the
    // arrow's tip, (-1, -1) for none; flags: where the frame goes beside
    // the point (0: away from the screen's centre). A modal hint without a
    // target shows its close button and takes all mouse input. 0.
    virtual int SetHint(const vek::string& text, const vek::rectf& target, const vek::vec2& point, int flags,
                        int modal);

    bool IsReady() const { return !m_bNotReady; }
    bool IsModal() const { return m_bModal; }
    // Shown (not on its way out), modal and without a target: the hint
    // takes every click until its "OK" is pressed.
    bool WaitsForClose() const;
    const vek::mover<float>& GetFade() const { return m_Fade; }

protected:
    vek::mover<float> m_Fade;
    bool m_bNotReady = true;
    float m_fLastX = 0.0f;
    float m_fLastY = 0.0f;
    bool m_bModal = true;
    float m_fCloseDX = 0.0f;
    float m_fCloseDY = 0.0f;
    float m_fTextDX = 0.0f;
    float m_fTextDY = 0.0f;
    float m_fExtraHeight = 0.0f;
    float m_fCloseGap = 0.0f;
    vek::cCtrl* m_pFrame = nullptr;
    vek::cCtrl* m_pArrow = nullptr;
    vek::cImageCtrl* m_pHighlight = nullptr;
    vek::cLabelCtrl* m_pText = nullptr;
    vek::cCtrl* m_pClose = nullptr;
    vek::cWindow* m_pWindow = nullptr;

private:
    void Paint(vek::cWindow* window);
    // The mouse reaches the game below only inside the highlight.
    int MouseResult(unsigned point, int result) const;
};

// The game's side of the hint: its sound, the tutorial's close button, and
// the check box that switches the hints off.
class cHintGDWF : public cHintWF {
public:
    cHintGDWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

// The island's level pop-up: a level's number, best time and medal beside
// its point on the island.
class cHintMPWF : public cBaseGDWF {
public:
    cHintMPWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    // "%i : %i" of whole minutes and seconds, with the seconds in two
    // digits.
    static vek::string FormatTime(float seconds);

protected:
    // The island's point of the level, in island coordinates; false when the
    // island has no such point.
    virtual bool GetLevelPoint(int level, vek::vec2& point) const;
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

// The garden's statistics: every ware and animal kind collected, a lock for
// what never was. Pauses the game while shown (island_screens.cpp).
class cStatGardenWF : public cBaseWF {
public:
    cStatGardenWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

protected:
    // Raised once per opening, lowered only when this screen raised it.
    bool m_bPauseRaised = false;
};

// The island's statistics: people, houses, markets, factories and the
// three special buildings. Pauses the game while shown.
class cStatIslandWF : public cBaseWF {
public:
    cStatIslandWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

protected:
    bool m_bPauseRaised = false;
};

// The island's panels: the profile's name and the two ratings with their
// statistics buttons.
class cIslandWF : public cBaseWF {
public:
    cIslandWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

// Building on the island: category tabs over a toolbar of buildings.
class cEditWF : public cBaseWF {
public:
    cEditWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

class cComicsWF : public cBaseWF {
public:
    cComicsWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;
};

// The garden screen and the score panel have headers of their own.
#include "game/screens/garden_screen.h"
#include "game/screens/score_panel.h"
