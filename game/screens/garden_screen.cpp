#include "game/screens/garden_screen.h"

#include <algorithm>

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/mission_common.h"
#include "game/screens/screen_seams.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/building.h"
#include "game/world/game_sound.h"
#include "game/world/ware.h"

namespace {

constexpr int kPanelCount = 3;
constexpr float kBlinkSpeed = 2.0f;
// Below this a process timer has no length (a float's epsilon).
constexpr float kNoDuration = 1.1920929e-7f;

vek::mover<float> MakeBlink()
{
    vek::mover<float> blink;
    blink.Reset(1.0f);
    blink.m_fSpeed = kBlinkSpeed;
    return blink;
}

// The first picture of the ware's sprite in "icons00" on the image; left
// as it is when there is none.
void ShowWareIcon(vek::cImageCtrl* image, int32_t ware)
{
    if (!image || !g_pWareManager) return;
    const cWare* w = g_pWareManager->GetWare(static_cast<uint32_t>(ware));
    cSprite sprite;
    if (!w || FindSprite("icons00", w->strName, &sprite) != e_spriteFound || sprite.iFrameCount < 1 || !sprite.pFrames)
        return;
    image->SetTexture("icons00");
    const vek::rectf& uv = sprite.pFrames[0];
    image->SetUVPos(uv.x, uv.y, 0);
    image->SetUVSize(uv.w, uv.h, 0);
}

} // namespace

float cFactoryControl::s_fShownX = 0.0f;
float cFactoryControl::s_fHiddenX = 0.0f;

std::vector<cFactoryControl*>& GetFactoryPanels()
{
    static std::vector<cFactoryControl*> panels;
    return panels;
}

cFactoryControl* FindHiddenFactoryPanel()
{
    for (cFactoryControl* panel : GetFactoryPanels())
        if (panel && panel->GetSlideState() == cFactoryControl::e_slideHidden) return panel;
    return nullptr;
}

bool FactoryPanelCentre(const cFactory* factory, vek::vec2* centre)
{
    const cFactoryControl* found = nullptr;
    for (const cFactoryControl* panel : GetFactoryPanels()) {
        if (!panel || !panel->pButton || !factory || panel->GetFactory() != factory) continue;
        if (!found || (found->GetSlideState() == cFactoryControl::e_slideHidden &&
                       panel->GetSlideState() != cFactoryControl::e_slideHidden))
            found = panel;
    }
    if (!found) return false;
    const vek::rectf r = found->pButton->GetRect();
    *centre = vek::vec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f);
    return true;
}

vek::mover<float>& GetFactoryBlink()
{
    static vek::mover<float> blink = MakeBlink();
    return blink;
}

// ---- cFactoryControl ----

cFactoryControl::cFactoryControl()
{
    m_Slide.m_fSpeed = kSlideSpeed;
    m_Pulse.Reset(1.0f);
    m_Pulse.m_fSpeed = kPulseSpeed;
}

bool cFactoryControl::IsValid() const
{
    return pArrow && pInput && pCount && pButton && pOutput && pProgress && pProgressBack;
}

void cFactoryControl::SetX(float x)
{
    if (!IsValid()) return;
    const float dx = x - pButton->GetRect().x;
    vek::cCtrl* const moved[] = {pButton, pArrow, pInput, pOutput, pCount, pProgress, pProgressBack};
    for (vek::cCtrl* c : moved) c->MoveBy(dx, 0.0f, 0);
}

void cFactoryControl::Show()
{
    if (m_iSlideState == e_slideShown || m_iSlideState == e_slideShowing) return;
    m_Slide.Reset(pButton ? pButton->GetRect().x : 0.0f);
    m_Slide.SetTarget(s_fShownX);
    m_iSlideState = e_slideShowing;
}

void cFactoryControl::Hide()
{
    if (m_iSlideState == e_slideHidden || m_iSlideState == e_slideHiding) return;
    m_Slide.Reset(pButton ? pButton->GetRect().x : 0.0f);
    m_Slide.SetTarget(s_fHiddenX);
    m_iSlideState = e_slideHiding;
}

void cFactoryControl::HideImmediately()
{
    m_Slide.Reset(s_fHiddenX);
    SetX(s_fHiddenX);
    m_iSlideState = e_slideHidden;
}

void cFactoryControl::SetButtonHeightScale(float scale)
{
    if (!pButton) return;
    const float h = buttonRect.h * scale;
    pButton->SetSize(buttonRect.w, h, 0);
    const vek::rectf now = pButton->GetRect();
    pButton->SetPos(now.x, buttonRect.y - (h - buttonRect.h) * 0.5f, 0);
}

void cFactoryControl::Update(float seconds)
{
    const bool processing = m_pFactory && m_pFactory->GetState() == cHouse::e_stateWorking;
    if (processing) {
        const int step = m_Pulse.Update(seconds);
        if (step == vek::mover<float>::e_Standing) {
            m_Pulse.Reset(1.0f);
            m_Pulse.SetTarget(kPulseScale);
        } else if (step == vek::mover<float>::e_Moving) {
            SetButtonHeightScale(m_Pulse.m_Value);
        } else {
            SetButtonHeightScale(m_Pulse.m_Value);
            m_Pulse.SetTarget(m_Pulse.m_From);
        }
        if (pProgress) {
            const vek::mover<float>& timer = m_pFactory->processTimer;
            pProgress->SetValue(timer.m_fDuration < kNoDuration ? 0.0f : timer.m_fTime / timer.m_fDuration);
        }
    } else if (m_Pulse.m_Value != 1.0f) {
        m_Pulse.Reset(1.0f);
        SetButtonHeightScale(1.0f);
    }
    if (m_pFactory && !processing && m_pFactory->iUnits > 0 && pArrow)
        pArrow->SetColor(1.0f, 1.0f, 1.0f, GetFactoryBlink().m_Value);

    if (m_Slide.m_Value != m_Slide.m_To) {
        const int step = m_Slide.Update(seconds);
        if (step == vek::mover<float>::e_Moving) {
            SetX(m_Slide.m_Value);
        } else if (step == vek::mover<float>::e_Arrived) {
            if (m_iSlideState == e_slideShowing) {
                m_iSlideState = e_slideShown;
                SetX(s_fShownX);
            } else if (m_iSlideState == e_slideHiding) {
                HideImmediately();
            }
        }
    } else if (m_iSlideState == e_slideShowing) {
        // A slide of no distance arrives at once.
        m_iSlideState = e_slideShown;
        SetX(s_fShownX);
    } else if (m_iSlideState == e_slideHiding) {
        HideImmediately();
    }
}

void cFactoryControl::SetFactory(cFactory* factory)
{
    if (!factory) return;
    m_pFactory = factory;
    if (IsValid()) {
        ShowWareIcon(pInput, factory->iInputWare);
        ShowWareIcon(pOutput, factory->iOutputWare);
    }
    Refresh();
}

void cFactoryControl::Refresh()
{
    if (!IsValid() || !m_pFactory) return;
    const bool processing = m_pFactory->GetState() == cHouse::e_stateWorking;
    const bool waiting = m_pFactory->iUnits > 0;
    if (processing || !waiting)
        pButton->EnableState(vek::cCtrl::e_Disabled);
    else
        pButton->DisableState(vek::cCtrl::e_Disabled);
    ShowControl(pArrow, !processing);
    ShowControl(pProgress, processing);
    ShowControl(pProgressBack, processing);
    if (processing || !waiting) pArrow->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
    pCount->SetText(vek::Formatted("%i", m_pFactory->iUnits));
}

// ---- cGardenWF ----

cGardenWF::cGardenWF() = default;

cGardenWF::~cGardenWF() { ForgetPanels(); }

void cGardenWF::ForgetPanels()
{
    // The panels go with this screen: nobody may reach them afterwards.
    std::vector<cFactoryControl*>& list = GetFactoryPanels();
    for (cFactoryControl& panel : m_Panels) list.erase(std::remove(list.begin(), list.end(), &panel), list.end());
}

int cGardenWF::AfterCreate(vek::cWindow* window)
{
    m_pPlants = GetWindowControlAs<cToolbarCtrl>(window, "plants");
    m_pGrass = GetWindowControlAs<cToolbarCtrl>(window, "grass");
    m_pAnimals = GetWindowControlAs<cToolbarCtrl>(window, "animals");

    ForgetPanels();
    for (cFactoryControl& panel : m_Panels) GetFactoryPanels().push_back(&panel);

    for (int i = 0; i < kPanelCount; ++i) {
        cFactoryControl& panel = m_Panels[i];
        const auto name = [i](const char* stem) { return vek::Formatted(stem, i); };
        panel.pButton = GetWindowControlAs<cButtonCtrl>(window, name("but_%i"));
        if (panel.pButton) {
            panel.buttonRect = panel.pButton->GetRect();
            if (i == 0) {
                cFactoryControl::s_fShownX = panel.buttonRect.x;
                cFactoryControl::s_fHiddenX = -1.0f - panel.buttonRect.w;
            }
        }
        panel.pArrow = GetWindowControlAs<cImageCtrlEx>(window, name("arrow_%i"));
        panel.pInput = GetWindowControlAs<vek::cImageCtrl>(window, name("img0_%i"));
        panel.pCount = GetWindowControlAs<vek::cLabelCtrl>(window, name("lb0_%i"));
        panel.pOutput = GetWindowControlAs<vek::cImageCtrl>(window, name("img1_%i"));
        panel.pProgress = GetWindowControlAs<vek::cProgressBarSysCtrl>(window, name("progress_%i"));
        panel.pProgressBack = GetWindowControl(window, name("back_progress_%i"));
        if (!panel.IsValid()) return OnError(window, "wndAfterCreate: factory control invalid\n");
    }
    if (!m_pPlants || !m_pGrass || !m_pAnimals) return OnError(window, "wndAfterCreate");

    const struct {
        cToolbarCtrl* toolbar;
        const char* stem;
    } pieces[] = {{m_pPlants, "plants"}, {m_pGrass, "grass"}, {m_pAnimals, "animals"}};
    for (const auto& p : pieces)
        p.toolbar->SetPieces(GetWindowControl(window, vek::string("left_") + p.stem),
                             GetWindowControl(window, vek::string("center_") + p.stem),
                             GetWindowControl(window, vek::string("right_") + p.stem));

    vek::rectf uvs[cToolbarItemCtrl::e_uvCount];
    m_pGrass->DeleteAllItems();
    m_pGrass->SetTexture("gui_plants");
    if (g_pWareManager) {
        for (const char* food : {kGrassWare, kFlowersWare}) {
            const int32_t ware = g_pWareManager->FindWare(food);
            if (ware == NO_WARE) continue;
            int32_t price = 0;
            for (vek::rectf& uv : uvs) uv = vek::rectf();
            g_pWareManager->GetPlantIcon(static_cast<uint32_t>(ware), uvs, &price);
            m_pGrass->AddWareItem(uvs, ware);
        }
    }
    m_pPlants->DeleteAllItems();
    m_pPlants->SetTexture("gui_plants");
    if (g_pWareManager) {
        const size_t count = g_pWareManager->vecWares.size();
        for (size_t ware = 0; ware < count; ++ware) {
            int32_t price = 0;
            for (vek::rectf& uv : uvs) uv = vek::rectf();
            g_pWareManager->GetPlantIcon(static_cast<uint32_t>(ware), uvs, &price);
            m_pPlants->AddWareItem(uvs, static_cast<int>(ware));
        }
    }
    m_pAnimals->DeleteAllItems();
    m_pAnimals->SetTexture("gui_plants");
    for (int kind = 0; kind < 4; ++kind) m_pAnimals->AddAnimalItem(kind);

    if (vek::cCtrl* frame = GetWindowControl(window, "MainFrame")) frame->EnableState(vek::cCtrl::e_Disabled);
    return 0;
}

void cGardenWF::Progress(unsigned kind, unsigned value)
{
    if (kind == e_refreshAll || kind == e_refreshPanels) {
        for (cFactoryControl& panel : m_Panels) {
            if (value == kSnapPanels)
                panel.HideImmediately();
            else
                panel.Refresh();
        }
        if (kind == e_refreshPanels) return;
    }
    if (kind != e_refreshAll && kind != e_refreshToolbars) return;
    if (!m_pPlants || !m_pGrass || !m_pAnimals) return;
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    const int sorts = player ? player->m_iSorts : 0;
    const int animals = player ? player->m_iAnimals : -1;

    m_pPlants->UpdateLayout();
    const unsigned visible = m_pPlants->GetVisibleCount();
    const unsigned newest = sorts < 0 ? 0u : static_cast<unsigned>(sorts) + 1u;
    m_pPlants->SetFirstVisible(visible < newest ? newest - visible : 0u);
    for (cToolbarCtrl* toolbar : {m_pGrass, m_pAnimals}) {
        toolbar->UpdateLayout();
        if (animals >= 0)
            toolbar->EnableState(vek::cCtrl::e_Visibility);
        else
            toolbar->DisableState(vek::cCtrl::e_Visibility);
    }
}

int cGardenWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (window && CanHandle()) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate: {
            const int result = AfterCreate(window);
            if (IsLocked()) return result;
            break;
        }
        case vek::cGUI::e_wndTimer: {
            const float t = static_cast<float>(a) / 1000.0f;
            for (cFactoryControl& panel : m_Panels) panel.Update(t);
            vek::mover<float>& blink = GetFactoryBlink();
            if (blink.Update(t) == vek::mover<float>::e_Standing) blink.SetTarget(blink.m_Value > 0.5f ? 0.0f : 1.0f);
            break;
        }
        case vek::cGUI::e_wndCommand:
            for (cFactoryControl& panel : m_Panels) {
                if (!panel.pButton || panel.pButton->GetID() != static_cast<int>(b)) continue;
                // A panel bound to no factory only shows its state again.
                if (cFactory* factory = panel.GetFactory()) factory->StartProcessing();
                panel.Refresh();
                if (g_pGarden) g_pGarden->PlayGameSound(e_sndFactoryWork);
                break;
            }
            break;
        case vek::cGUI::e_wndItemSelect: {
            cLevel* level = g_pGarden ? g_pGarden->GetLevel() : nullptr;
            if (!level) break;
            vek::cCtrl* source = window->GetControl(b);
            cToolbarCtrl* toolbar = source == m_pPlants || source == m_pGrass || source == m_pAnimals
                                        ? static_cast<cToolbarCtrl*>(source)
                                        : nullptr;
            if (!toolbar || a >= toolbar->GetItemCount()) break;
            const int data = toolbar->GetItemData(a);
            if (toolbar == m_pAnimals)
                RequestBuyAnimal(level, data);
            else
                RequestPlantSort(level, data);
            break;
        }
        case kMsgProgress:
            Progress(a, b);
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
