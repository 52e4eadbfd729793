#pragma once
// The screen "up", between levels: up to three of the six upgrades offered
// as star check boxes with their prices, the description of the one under
// the mouse or chosen, and the island funds. "done" pays for the chosen one
// and raises its level; the screen closes 0.9 s later and the island takes
// the focus. The level waits (play mode 3) while it is open.
#include <vector>

#include "engine/core/anim.h"
#include "game/screens/window_functions.h"

namespace vek {
class cLabelCtrl;
}
class cCheckBoxUpCtrl;

// The description of an upgrade (0 to 5); empty for any other index.
vek::string GetUpgradeText(int index);
// The icon sheet and sprite of an upgrade; for any other index both are
// left as they were. False then.
bool GetUpgradeIcon(int index, vek::string& sheet, vek::string& sprite);

class cUpWF : public cBaseWF {
public:
    static constexpr int kChoices = 3;

    cUpWF() = default;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    const std::vector<int>& GetOffers() const { return m_Offers; }
    const vek::string& GetChosenText() const { return m_strChosen; }
    cCheckBoxUpCtrl* GetChoice(int i) const { return i >= 0 && i < kChoices ? m_pChoices[i] : nullptr; }

private:
    bool FindControls(vek::cWindow* window);
    void Show(vek::cWindow* window);
    // The offer index of the shown choice with that control id; -1 when none.
    int OfferOfControl(int id) const;
    void Buy();

    cCheckBoxUpCtrl* m_pChoices[kChoices] = {nullptr, nullptr, nullptr};
    vek::cLabelCtrl* m_pPrices[kChoices] = {nullptr, nullptr, nullptr};
    vek::cLabelCtrl* m_pDesc = nullptr;
    vek::cCtrl* m_pDone = nullptr;
    vek::cLabelCtrl* m_pBank = nullptr;
    std::vector<int> m_Offers;
    vek::string m_strChosen;
    // Runs 0.9 s after "done"; the screen closes when it ends.
    vek::mover<float> m_Close;
};
