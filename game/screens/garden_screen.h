#pragma once
// The garden screen over the level field: the three toolbars (plant sorts,
// animal food, animals) and the three factory panels that slide in beside
// the tasks that need a factory.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "game/screens/controls.h"
#include "game/screens/window_functions.h"
#include "game/shell/window_message.h"

namespace vek {
class cCtrl;
class cLabelCtrl;
class cProgressBarSysCtrl;
}
class cButtonCtrl;
class cImageCtrlEx;
class cFactory;
class cToolbarCtrl;

// One factory panel: its button (the panel's face), what goes in with the
// count of units waiting, a blinking arrow, what comes out and the progress
// of the run. It slides between a shown x and a hidden x left of the
// screen, both taken from the first panel's button.
class cFactoryControl : public cSlideStates {
public:
    static constexpr float kSlideSpeed = 250.0f;
    static constexpr float kPulseSpeed = 0.3f;
    static constexpr float kPulseScale = 1.13f;

    cFactoryControl();

    // All seven controls were found.
    bool IsValid() const;
    // Moves every control so that the button's x becomes x.
    void SetX(float x);
    void Show();
    void Hide();
    void HideImmediately();
    void Update(float seconds);
    // Binds the factory (nothing for null) and shows its input and output.
    void SetFactory(cFactory* factory);
    // The button, arrow, bar and count for the bound factory's state.
    void Refresh();

    cFactory* GetFactory() const { return m_pFactory; }
    void ForgetFactory() { m_pFactory = nullptr; }  // the factory is being deleted
    int32_t GetSlideState() const { return m_iSlideState; }
    const vek::mover<float>& GetPulse() const { return m_Pulse; }

    // The controls, found by the screen (null when missing).
    cImageCtrlEx* pArrow = nullptr;
    vek::cImageCtrl* pInput = nullptr;
    vek::cLabelCtrl* pCount = nullptr;
    cButtonCtrl* pButton = nullptr;
    vek::rectf buttonRect;
    vek::cImageCtrl* pOutput = nullptr;
    vek::cProgressBarSysCtrl* pProgress = nullptr;
    vek::cCtrl* pProgressBack = nullptr;

    // Shared by the three panels.
    static float s_fShownX;
    static float s_fHiddenX;

private:
    void SetButtonHeightScale(float scale);

    vek::mover<float> m_Slide;
    int32_t m_iSlideState = e_slideShown;
    cFactory* m_pFactory = nullptr;
    vek::mover<float> m_Pulse;
};

// The game's factory panels, in order, through which the task panel shows,
// hides and binds them; the garden screen puts its three here.
std::vector<cFactoryControl*>& GetFactoryPanels();
// The first panel in the hidden state, or null.
cFactoryControl* FindHiddenFactoryPanel();
// The centre of the button of the panel that shows the factory, where its
// wares leave and land on the garden screen; a panel on screen is taken
// before one slid away. False when no panel is bound to it.
bool FactoryPanelCentre(const cFactory* factory, vek::vec2* centre);
// The arrows' alpha, swinging between 0 and 1 while the screen runs.
vek::mover<float>& GetFactoryBlink();

// The garden screen's window function.
class cGardenWF : public cBaseWF {
public:
    // The game's progress message: a = kind (eGardenRefresh), b = value.
    static constexpr int kMsgProgress = kGameWindowMessage;
    static constexpr unsigned kSnapPanels = ::kSnapPanels;

    cGardenWF();
    ~cGardenWF() override;
    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    cFactoryControl& GetPanel(int i) { return m_Panels[i]; }
    cToolbarCtrl* GetPlants() const { return m_pPlants; }
    cToolbarCtrl* GetGrass() const { return m_pGrass; }
    cToolbarCtrl* GetAnimals() const { return m_pAnimals; }

private:
    int AfterCreate(vek::cWindow* window);
    void Progress(unsigned kind, unsigned value);
    void ForgetPanels();

    cFactoryControl m_Panels[3];
    cToolbarCtrl* m_pPlants = nullptr;
    cToolbarCtrl* m_pGrass = nullptr;
    cToolbarCtrl* m_pAnimals = nullptr;
};
