// The garden screen's toolbars follow the money, the unlocks and the
// animals on the field.
#include "engine/app/game.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/screen_seams.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level.h"
#include "game/world/ware.h"

namespace {

cToolbarCtrl* GardenToolbar(const char* name)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    const int index = gui ? gui->FindWindow("garden") : 0;
    vek::cWindow* window = index == 0 ? nullptr : gui->GetWindow(static_cast<unsigned>(index));
    return GetWindowControlAs<cToolbarCtrl>(window, name);
}

void EnableItem(cToolbarCtrl& toolbar, unsigned index, bool enabled)
{
    cToolbarItemCtrl* item = toolbar.GetItem(index);
    if (!item) return;
    if (enabled)
        item->DisableState(vek::cCtrl::e_Disabled);
    else
        item->EnableState(vek::cCtrl::e_Disabled);
}

int WarePrice(int ware)
{
    if (!g_pWareManager || ware < 0) return 0;
    const cWare* w = g_pWareManager->GetWare(static_cast<uint32_t>(ware));
    return w ? w->iPrice : 0;
}

} // namespace

void ApplyToolbarRules(cToolbarCtrl& plants, cToolbarCtrl& grass, cToolbarCtrl& animals, const cToolbarFacts& facts)
{
    cToolbarCtrl* const all[] = {&plants, &grass, &animals};
    if (facts.iPlayMode == cGarden::e_playMissionFinish) {
        for (cToolbarCtrl* toolbar : all)
            for (unsigned i = 0; i < toolbar->GetItemCount(); ++i) EnableItem(*toolbar, i, true);
        return;
    }
    for (unsigned i = 0; i < plants.GetItemCount(); ++i) {
        const int ware = plants.GetItemData(i);
        EnableItem(plants, i, static_cast<int>(i) <= facts.iSorts && facts.iMoney >= WarePrice(ware));
    }
    const bool grazers = facts.animals.ostriches + facts.animals.goats + facts.animals.peacocks > 0;
    for (unsigned i = 0; i < grass.GetItemCount() && i < 2; ++i) {
        const bool eaters = i == 0 ? grazers : facts.animals.hives > 0;
        EnableItem(grass, i, eaters && facts.iMoney >= WarePrice(grass.GetItemData(i)));
    }
    for (unsigned i = 0; i < animals.GetItemCount(); ++i) {
        const int kind = animals.GetItemData(i);
        // An animal not unlocked yet is not drawn: it must not be bought
        // through its empty slot either.
        bool enabled = kind >= 0 && kind < kAnimalKinds && kind <= facts.iAnimals && facts.iMoney >= facts.animalPrices[kind];
        if (i == static_cast<unsigned>(e_animalHive) && facts.animals.hives >= cLevel::kHivePlaces) enabled = false;
        EnableItem(animals, i, enabled);
    }
}

void cLevel::UpdateToolbars()
{
    cToolbarCtrl* plants = GardenToolbar("plants");
    cToolbarCtrl* grass = GardenToolbar("grass");
    cToolbarCtrl* animals = GardenToolbar("animals");
    if (!plants || !grass || !animals) return;
    cToolbarFacts facts;
    if (g_pGarden) {
        facts.iPlayMode = g_pGarden->GetFlowState();
        for (int kind = 0; kind < kAnimalKinds; ++kind) facts.animalPrices[kind] = g_pGarden->GetAnimalPrice(kind);
        if (const cPlayer* player = g_pGarden->GetPlayer()) {
            facts.iMoney = player->m_iMoney;
            facts.iSorts = player->m_iSorts;
            facts.iAnimals = player->m_iAnimals;
        }
    }
    facts.animals = CountFieldAnimals(*this);
    ApplyToolbarRules(*plants, *grass, *animals, facts);
}
