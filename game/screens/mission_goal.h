#pragma once
// The screen "mission_goal": the level's goals again, up to four lines of
// picture, text and amount, opened from a task line of the score panel.
// The game waits while it is open: it holds one step of the engine's pause
// counter from its showing until it has left the screen.
#include <vector>

#include "game/screens/window_functions.h"

namespace vek {
class cImageCtrl;
class cLabelCtrl;
}

class cMissionGoalWF : public cBaseWF {
public:
    struct cLine {
        vek::cImageCtrl* pIcon = nullptr;
        vek::cLabelCtrl* pText = nullptr;
        vek::cLabelCtrl* pNumber = nullptr;
    };

    cMissionGoalWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    const std::vector<cLine>& GetLines() const { return m_Lines; }
    bool HoldsPause() const { return m_bPauseRaised; }

private:
    void Fill();

    std::vector<cLine> m_Lines;
    bool m_bPauseRaised = false;
};
