#pragma once
// The heads-up panel over the garden and the island: the money (the island
// funds away from the garden), the level clock with the medal the time still
// earns, the level's task lines and the menu button. It also draws the
// game's text popups over its own controls.
#include <cstdint>
#include <vector>

#include "game/screens/window_functions.h"

namespace vek {
class cCtrl;
class cImageCtrl;
class cLabelCtrl;
}
class cClockCtrl;
class cTaskCtrl;

class cScoreWF : public cBaseGDWF {
public:
    static constexpr int kMsgProgress = 100000;
    // Where a hidden task line waits, right of the screen.
    static constexpr float kHiddenTaskX = 1029.0f;
    // The task lines stand still until the level clock passes this.
    static constexpr float kTaskStartDelay = 0.5f;

    cScoreWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    const std::vector<cTaskCtrl*>& GetTaskLines() const { return m_TaskLines; }
    // The medal last shown (-1 none yet); kept over levels for the run.
    static int GetLastMedal();
    // Starts the run over: no medal shown, the medal pictures looked up
    // again (tests).
    static void ForgetMedal();

private:
    int AfterCreate(vek::cWindow* window);
    void Tick(float seconds);
    void ShowGroups(bool clock);

    vek::cLabelCtrl* m_pMoney = nullptr;
    cClockCtrl* m_pClock = nullptr;
    vek::cCtrl* m_pClockBack = nullptr;
    vek::cImageCtrl* m_pMedal = nullptr;
    vek::cCtrl* m_pMoneyFrame = nullptr;
    vek::cCtrl* m_pMoneyImage = nullptr;
    vek::cCtrl* m_pMoneyDeco[2] = {nullptr, nullptr};
    std::vector<cTaskCtrl*> m_TaskLines;
};
