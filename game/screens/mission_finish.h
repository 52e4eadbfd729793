#pragma once
// The screen "mission_finish", shown when a level is won. It counts the
// level's money into the island funds, pays a bonus for the time left,
// lands the medal and hands out the level's awards (a new plant sort, a new
// animal, an upgrade offer, more beds) one after another, with flying icons
// and sounds. "ok" while this runs skips to its end (every award still
// granted); "ok" afterwards leads on to the upgrades screen or the island.
// The level waits (play mode 2) while it is shown.
#include "engine/core/anim.h"
#include "game/screens/mission_common.h"
#include "game/screens/window_functions.h"

namespace vek {
class cImageCtrl;
class cLabelCtrl;
class cListCtrl;
}

// The bonus for finishing `left` seconds before the time limit: two units a
// second, to the nearest multiple of 5 and at least 5; none at or past the
// limit.
int TimeBonus(float left);

class cMissionFinishWF : public cBaseWF {
public:
    static constexpr int kAwardLines = 3;

    cMissionFinishWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    bool IsDone() const { return m_bDone; }
    int GetMedal() const { return m_iMedal; }
    int GetNextAwardLine() const { return m_iNextLine; }
    const cIntCounter& GetMoneyCounter() const { return m_Money; }
    const cIntCounter& GetBonusCounter() const { return m_Bonus; }
    // Whether an award is still to be handed out or granted.
    bool HasPendingAwards() const;

private:
    bool FindControls(vek::cWindow* window);
    // The other windows' controls, looked up once when first needed.
    void FindOtherControls();
    void Start();
    // One step of the sequence; `settle` runs it to its end at once,
    // without waiting for the pause.
    void Step(float dt, bool settle);
    void Skip();
    // Once the sequence has counted the whole win: the win, its medal,
    // awards and funds are saved, with the upgrade offer that follows it
    // when there is one.
    void KeepWin();
    // Whether the upgrades screen follows (an offer the funds cover).
    bool OffersUpgrade() const;
    void Leave(vek::cWindow* window);
    // The next free award line with its label text and picture, with a
    // burst on the picture; null when the three lines are used.
    vek::cImageCtrl* ShowAwardLine(const vek::string& text, const vek::string& texture, const vek::string& area);
    // A coin from that control to the bank, when both exist, every 0.3 s.
    void FlyCoin(float dt, vek::cCtrl* from);
    void FlyStar(const vek::vec2& from, const vek::vec2& to);

    vek::cLabelCtrl* m_pAwardText[kAwardLines] = {nullptr, nullptr, nullptr};
    vek::cImageCtrl* m_pAwardPicture[kAwardLines] = {nullptr, nullptr, nullptr};
    vek::cLabelCtrl* m_pBank = nullptr;
    vek::cImageCtrl* m_pMedalPicture = nullptr;
    vek::cLabelCtrl* m_pCaption = nullptr;
    vek::cCtrl* m_pBankPicture = nullptr;
    bool m_bBankLooked = false;
    vek::cCtrl* m_pScoreMoney = nullptr;
    vek::cCtrl* m_pScoreClock = nullptr;
    vek::cCtrl* m_pScoreMedal = nullptr;
    vek::cListCtrl* m_pPlants = nullptr;
    vek::cListCtrl* m_pAnimals = nullptr;
    bool m_bOthersLooked = false;
    vek::string m_strCaption;

    bool m_bDone = false;
    bool m_bKept = false;
    int32_t m_iBankStart = 0;
    int32_t m_iMoneyStart = 0;
    int m_iNextLine = 0;
    int m_iMedal = -1;
    bool m_bMedalPending = false;
    bool m_bSortPending = false;
    bool m_bAnimalPending = false;
    bool m_bBedsPending = false;
    bool m_bUpgradePending = false;

    cIntCounter m_Money;
    cIntCounter m_Bonus;
    vek::mover<float> m_Clock;
    vek::mover<float> m_Pause;
    vek::mover<float> m_Coin;
    vek::mover<float> m_SortTimer;
    vek::mover<float> m_AnimalTimer;
    vek::mover<float> m_MedalTimer;
};
