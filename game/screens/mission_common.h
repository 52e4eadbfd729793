#pragma once
// What the level's framing screens (start, goal, finish, upgrades) share:
// an integer counter that runs toward a target at a speed, seconds timers,
// and small control helpers for pictures, texts, visibility and the icons
// that fly between controls.
#include <cstdint>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"

namespace vek {
class cCtrl;
class cImageCtrl;
class cLabelCtrl;
}
class cFlyingItem;

// An integer that counts from its start toward a target at Speed units a
// second; Value is the truncated linear interpolation. Update returns 0
// while idle (Time equals Duration), 1 while running and 2 on the step it
// arrives.
class cIntCounter {
public:
    void SetTarget(int32_t target);
    // Restarts the run from the current value toward To at the new speed.
    // A speed that is not above 0 arrives at once.
    void SetSpeed(float speed);
    int Update(float dt);
    // Every field 0.
    void Clear();
    // Arrived: From and Value at To, Time and Duration 0.
    void Finish();

    int32_t iFrom = 0;
    int32_t iTo = 0;
    int32_t iValue = 0;
    float fSpeed = 1.0f;
    float fTime = 0.0f;
    float fDuration = 0.0f;

private:
    void Restart();
};

// from + (to - from) * t, per coordinate.
vek::vec2 Lerp(const vek::vec2& from, const vek::vec2& to, float t);

// A seconds timer: standing at 0, speed 1, then aimed at the seconds.
void StartTimer(vek::mover<float>& timer, float seconds);
// Every field 0 but the speed, which stays 1: an idle timer.
void ClearTimer(vek::mover<float>& timer);
// At its end at once: From and Value at To, Time and Duration 0.
void FinishTimer(vek::mover<float>& timer);

// Shows or hides a control (its visibility flag); null is ignored.
void ShowControl(vek::cCtrl* control, bool shown);
// Sets a label's text; null is ignored.
void SetLabelText(vek::cLabelCtrl* label, const vek::string& text);
// The image takes the texture by name and, when the sprite exists, the
// first frame of the area as its picture; otherwise its picture area stays
// as it was. True when the sprite exists.
bool SetImageSprite(vek::cImageCtrl* image, const vek::string& texture, const vek::string& area);
// The middle of the control's rectangle; (0, 0) for null.
vek::vec2 ControlCentre(const vek::cCtrl* control);

// A new icon of the game's flying items (spacing: seconds of path between
// trail points, negative behind; trail: the number of trail points); the
// caller adds its path. Null without a game object.
cFlyingItem* AddFlyingIcon(const vek::string& texture, const vek::string& area, float spacing, int trail);
// An icon with one trail point flying in one second along four keys: from
// at 0, the points a third and two thirds of the way (each moved by `bend`)
// at 0.33 and 0.66, and to at 1.
void FlyIcon(const vek::string& texture, const vek::string& area, float spacing, const vek::vec2& from,
             const vek::vec2& to, const vek::vec2& bend);

// Plays a game sound by id through the game object.
void PlayScreenSound(unsigned id);
// Something that wants to hear which game sounds these screens asked for
// (the tests); null for none. Called before the sound is played.
using ScreenSoundHook = void (*)(unsigned id);
void SetScreenSoundHook(ScreenSoundHook hook);

// Gives the named widget the focus unless it has it already.
void FocusWidget(const vek::string& name);
