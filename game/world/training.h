#pragma once
// The tutorial's state: which hint kind runs and at which step (-1: none).
#include <cstdint>

class cTraining {
public:
    // Hides the window "hint" when it is shown; no hint, no step.
    void Stop();
    // Moves on from the step (kind, step) when it is the active one: the
    // hint shown for it is hidden and the next step follows. Any other pair
    // changes nothing. True when it moved on.
    bool NextStep(int kind, int step);

    int32_t iKind = -1;
    int32_t iStep = -1;
    // Six values kept with the tutorial's hint; the fourth is a float.
    int32_t iValue0 = 0, iValue1 = 0, iValue2 = 0;
    float fValue3 = 1.0f;
    int32_t iValue4 = 0, iValue5 = 0;
};
