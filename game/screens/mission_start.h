#pragma once
// The screen "mission_start", shown when a level starts: the level's number,
// the tasks it begins with, the building it makes available and the time
// for the gold medal. The level waits (play mode 1) until "ok".
#include "game/screens/window_functions.h"

namespace vek {
class cImageCtrl;
class cLabelCtrl;
}

// A time in whole seconds as minutes and seconds: 65 as "1:05", 150 as
// "2:30". A negative time is written as 0:00.
vek::string FormatLevelTime(float seconds);

class cMissionStartWF : public cBaseWF {
public:
    // A task row: picture, text, amount.
    struct cRow {
        vek::cImageCtrl* pIcon = nullptr;
        vek::cLabelCtrl* pText = nullptr;
        vek::cLabelCtrl* pNumber = nullptr;
    };
    static constexpr int kRows = 4;

    cMissionStartWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    const cRow& GetRow(int i) const { return m_Rows[i]; }
    const cRow& GetBuildingRow() const { return m_Building; }

private:
    bool FindControls(vek::cWindow* window);
    void Fill();

    cRow m_Rows[kRows];
    cRow m_Building;
    vek::cCtrl* m_pBuild = nullptr;
    vek::cLabelCtrl* m_pTasks = nullptr;
    // Optional: a script without it simply shows no time.
    vek::cLabelCtrl* m_pTime = nullptr;
    vek::string m_strCaption;
};
