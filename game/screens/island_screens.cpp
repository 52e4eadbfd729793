#include "game/screens/island_screens.h"

#include <algorithm>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/shell/window_message.h"
#include "game/world/building.h"
#include "game/world/game_sound.h"
#include "game/world/island.h"
#include "game/world/training.h"
#include "game/world/walk_map.h"
#include "game/world/ware.h"

namespace {

constexpr int kStars = 5;
constexpr int kHouses = 10;
const char* const kAnimalNames[kAnimalKinds] = {"ostrich", "goat", "hive", "peacock"};

void SetLabel(vek::cCtrl* control, const vek::string& text)
{
    if (auto* label = dynamic_cast<vek::cLabelCtrl*>(control)) label->SetText(text);
}

void SetLabelColor(vek::cCtrl* control, const vek::vec3& c)
{
    if (auto* label = dynamic_cast<vek::cLabelSysCtrl*>(control)) label->SetColor(c.x, c.y, c.z);
}

void SetVisible(vek::cCtrl* control, bool visible)
{
    if (!control) return;
    if (visible) control->EnableState(vek::cCtrl::e_Visibility);
    else control->DisableState(vek::cCtrl::e_Visibility);
}

// Shows the sprite's first frame on the image; `resize` also gives the
// image the sprite's pixel size.
void ShowSprite(vek::cCtrl* control, const cSprite& sprite, bool resize)
{
    vek::cImageCtrl* image = ToImageCtrl(control);
    if (!image || sprite.iTexture == 0 || !sprite.pFrames || sprite.iFrameCount <= 0) return;
    image->SetTextureID(sprite.iTexture);
    if (resize) image->SetSize(sprite.fWidth, sprite.fHeight, 0);
    const vek::rectf& uv = sprite.pFrames[0];
    image->SetUVPos(uv.x, uv.y, 0);
    image->SetUVSize(uv.w, uv.h, 0);
}

bool LookUp(const char* texture, const char* area, cSprite* sprite)
{
    return g_pGarden ? g_pGarden->GetSprite(texture, sprite, area) : LookUpSprite(texture, area, sprite);
}

// A shown hint gives way to a statistics screen; its window goes only for
// the hint that points at this screen's button.
void DropHint(int kind)
{
    if (!g_pGarden || g_pGarden->m_iShownHint == -1) return;
    vek::cGUI* gui = vek::GetEngineGUI();
    if (g_pGarden->m_iShownHint == kind && gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
    g_pGarden->m_iShownHint = -1;
}

void RaisePause(bool& raised)
{
    if (raised || !vek::g_pGame) return;
    if (++vek::g_pGame->iPause < 0) vek::g_pGame->iPause = 0;
    raised = true;
}

void LowerPause(bool& raised)
{
    if (!raised) return;
    if (vek::g_pGame && vek::g_pGame->iPause > 0) --vek::g_pGame->iPause;
    raised = false;
}

// ---- "island" ----

struct cIslandControls {
    vek::cCtrl* profile = nullptr;
    vek::cCtrl* rate = nullptr;
    vek::cCtrl* islandRate = nullptr;
    vek::cCtrl* butRate = nullptr;
    vek::cCtrl* butIslandRate = nullptr;
    vek::cCtrl* face = nullptr;
    vek::cCtrl* islandFace = nullptr;
    vek::cCtrl* frame = nullptr;
    vek::cCtrl* decor = nullptr;
    vek::cCtrl* islandFrame = nullptr;
    vek::cCtrl* islandDecor = nullptr;
    vek::cCtrl* stars[kStars] = {};
    vek::cCtrl* houses[kHouses] = {};
    vek::cWindow* window = nullptr;
    std::vector<vek::cCtrl*> All() const
    {
        std::vector<vek::cCtrl*> all = {profile, rate,  islandRate,  butRate,    butIslandRate, face,
                                        islandFace, frame, decor, islandFrame, islandDecor};
        all.insert(all.end(), stars, stars + kStars);
        all.insert(all.end(), houses, houses + kHouses);
        return all;
    }
} g_Island;

struct cIslandSprites {
    bool looked = false;
    cSprite star, starEmpty, house, houseEmpty;
} g_IslandSprites;

bool FindIslandControls(vek::cWindow* w)
{
    cIslandControls c;
    c.profile = GetWindowControl(w, "profile");
    c.rate = GetWindowControl(w, "rate");
    c.islandRate = GetWindowControl(w, "island_rate");
    c.butRate = GetWindowControl(w, "but_rate");
    c.butIslandRate = GetWindowControl(w, "but_island_rate");
    c.face = GetWindowControl(w, "face");
    c.islandFace = GetWindowControl(w, "island_face");
    c.frame = GetWindowControl(w, "frame");
    c.decor = GetWindowControl(w, "decor");
    c.islandFrame = GetWindowControl(w, "island_frame");
    c.islandDecor = GetWindowControl(w, "island_decor");
    for (int i = 0; i < kStars; ++i) c.stars[i] = w ? GetWindowControl(w, vek::Formatted("star%i", i)) : nullptr;
    for (int i = 0; i < kHouses; ++i)
        c.houses[i] = w ? GetWindowControl(w, vek::Formatted("island_star%i", i)) : nullptr;
    for (vek::cCtrl* control : c.All())
        if (!control) {
            g_Island = cIslandControls();
            return false;
        }
    for (vek::cCtrl* control : c.stars)
        if (vek::cImageCtrl* image = ToImageCtrl(control)) image->SetTexture("icons00");
    for (vek::cCtrl* control : c.houses)
        if (vek::cImageCtrl* image = ToImageCtrl(control)) image->SetTexture("icons00");
    c.window = w;
    g_Island = c;
    return true;
}

void RefreshIsland()
{
    if (!g_Island.profile) return;
    if (!g_IslandSprites.looked) {
        g_IslandSprites.looked = true;
        LookUp("icons00", "star", &g_IslandSprites.star);
        LookUp("icons00", "star_empty", &g_IslandSprites.starEmpty);
        LookUp("icons00", "house", &g_IslandSprites.house);
        LookUp("icons00", "house_empty", &g_IslandSprites.houseEmpty);
    }
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    SetLabel(g_Island.profile, player ? player->m_strName : vek::string());

    vek::string text;
    int stars = 0;
    if (g_pGarden) g_pGarden->GetRate(&text, &stars);
    SetLabel(g_Island.rate, text);
    for (int i = 0; i < kStars; ++i)
        ShowSprite(g_Island.stars[i], i < stars ? g_IslandSprites.star : g_IslandSprites.starEmpty, false);

    const cIsland* island = GetIsland();
    int houses = 0;
    text.clear();
    if (g_pGarden) g_pGarden->GetIslandRate(&text, &houses);
    SetLabel(g_Island.islandRate, text);
    for (int i = 0; i < kHouses; ++i)
        ShowSprite(g_Island.houses[i], i < houses ? g_IslandSprites.house : g_IslandSprites.houseEmpty, false);

    const bool shown = (player && player->m_iProgress > 0) || (island && island->iMode == cIsland::e_modeLevel);
    for (vek::cCtrl* control : g_Island.All()) SetVisible(control, shown);
    // The panels' captions and any other decoration the script adds go with
    // them: a new player's map shows no lone piece of an empty panel.
    if (g_Island.window)
        for (unsigned i = 0; i < g_Island.window->GetControlCount(); ++i)
            SetVisible(g_Island.window->GetControl(i), shown);
}

// ---- "edit" ----

int g_iEditCategory = e_editMarket;
const char* const kTabNames[4] = {"market", "house", "factory", "special"};

// ---- "stat_garden" ----

struct cStatGarden {
    std::vector<vek::cCtrl*> wareImages, wareLabels;
    vek::cCtrl* animalImages[kAnimalKinds] = {};
    vek::cCtrl* animalLabels[kAnimalKinds] = {};
    bool lockLooked = false;
    cSprite lock;
} g_StatGarden;

// One entry: the sprite and "x%i" in the on colour when counted, else the
// lock and "x0" in the off colour.
void ShowCount(vek::cCtrl* image, vek::cCtrl* label, const char* sprite, int count)
{
    cSprite icon;
    if (count != 0) {
        if (LookUp("icons00", sprite, &icon)) ShowSprite(image, icon, true);
        SetLabel(label, vek::Formatted("x%i", count));
        SetLabelColor(label, StatOnColor());
    } else {
        ShowSprite(image, g_StatGarden.lock, true);
        SetLabel(label, "x0");
        SetLabelColor(label, StatOffColor());
    }
}

// ---- "stat_island" ----

const char* const kStatKinds[5] = {"market", "factory", "institute", "animals", "statue"};
struct cStatIsland {
    vek::cCtrl* people = nullptr;
    vek::cCtrl* house = nullptr;
    vek::cCtrl* image[5] = {};
    vek::cCtrl* lock[5] = {};
    vek::cCtrl* caption[5] = {};
    vek::cCtrl* number[5] = {};
} g_StatIsland;

void ShowKind(int k, int count, bool have)
{
    SetLabel(g_StatIsland.number[k], vek::Formatted("x%i", count));
    SetVisible(g_StatIsland.image[k], have);
    SetVisible(g_StatIsland.caption[k], have);
    SetVisible(g_StatIsland.lock[k], !have);
    SetLabelColor(g_StatIsland.number[k], have ? StatOnColor() : StatOffColor());
}

} // namespace

int EditCategoryOf(int32_t buildingCategory)
{
    switch (buildingCategory) {
    case cBuild::e_catHouse: return e_editHouse;
    case cBuild::e_catMarket: return e_editMarket;
    case cBuild::e_catFactory: return e_editFactory;
    default: return e_editSpecial;
    }
}

int GetEditCategory() { return g_iEditCategory; }

void ForgetIslandScreenSprites()
{
    g_IslandSprites = cIslandSprites();
    g_StatGarden.lockLooked = false;
    g_StatGarden.lock = cSprite();
}

vek::vec3 StatOnColor() { return vek::vec3(165.0f / 255.0f, 0.0f, 33.0f / 255.0f); }
vek::vec3 StatOffColor() { return vek::vec3(195.0f / 255.0f, 135.0f / 255.0f, 76.0f / 255.0f); }

int cIslandWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate:
            if (!FindIslandControls(window)) return OnError(window, "wndAfterCreate");
            break;
        case vek::cGUI::e_wndShow:
        case kGameWindowMessage:
            RefreshIsland();
            break;
        case vek::cGUI::e_wndCommand:
            if (g_pGarden && b != 0 && g_Island.butRate && static_cast<int>(b) == g_Island.butRate->GetID()) {
                if (cIsland* island = GetIsland())
                    if (island->hooks.trainingStep) island->hooks.trainingStep(e_lessonRate, e_stepRateButton);
                g_pGarden->ShowGameWindow("stat_garden", 1);
            } else if (g_pGarden && b != 0 && g_Island.butIslandRate &&
                       static_cast<int>(b) == g_Island.butIslandRate->GetID()) {
                if (cIsland* island = GetIsland())
                    if (island->hooks.trainingStep) island->hooks.trainingStep(e_lessonIslandRate, e_stepRateButton);
                g_pGarden->ShowGameWindow("stat_island", 1);
            }
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}

int cEditWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate: {
            if (!GetWindowControlAs<cToolbarCtrl>(window, "toolbar")) return OnError(window, "wndAfterCreate");
            g_vecTabGroup.clear();
            for (const char* name : kTabNames) g_vecTabGroup.push_back(GetWindowControl(window, name) ? window->FindControl(name) : 0);
            // The screen opens on the markets: the tab is pushed as if clicked.
            if (vek::cCtrl* market = GetWindowControl(window, "market"))
                market->OnMessage(vek::cGUI::e_wndLButtonDown, 0, 0);
            break;
        }
        case vek::cGUI::e_wndCheck: {
            ReleaseGroupTabs(window, static_cast<int>(b));
            for (int i = 0; i < 4 && i < static_cast<int>(g_vecTabGroup.size()); ++i)
                if (g_vecTabGroup[static_cast<size_t>(i)] != 0 && g_vecTabGroup[static_cast<size_t>(i)] == static_cast<int>(b))
                    g_iEditCategory = i;
            auto* toolbar = GetWindowControlAs<cToolbarCtrl>(window, "toolbar");
            if (!toolbar) break;
            toolbar->DeleteAllItems();
            if (!g_pGarden) break;
            const cBuildingRegistry& registry = g_pGarden->GetBuildings();
            for (size_t i = 0; i < registry.Count(); ++i) {
                const cHouse* definition = registry.Get(static_cast<uint32_t>(i));
                if (definition && EditCategoryOf(definition->GetValue()) == g_iEditCategory)
                    toolbar->AddBuildingItem(static_cast<int>(i));
            }
            break;
        }
        case vek::cGUI::e_wndItemSelect: {
            auto* toolbar = GetWindowControlAs<cToolbarCtrl>(window, "toolbar");
            cIsland* island = GetIsland();
            if (!toolbar || !island || !g_pGarden || static_cast<int>(b) != toolbar->GetID()) break;
            island->CancelPlacement();
            const int index = toolbar->GetItemData(a);
            if (index >= 0) island->StartPlacement(g_pGarden->CreateBuilding(static_cast<unsigned>(index), island));
            break;
        }
        case vek::cGUI::e_wndMouseEnter:
            if (cIsland* island = GetIsland()) island->OnInput(vek::cGUI::e_wndMouseLeave, 0);
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}

int cStatGardenWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndHideImmediately) LowerPause(m_bPauseRaised);
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate: {
            const size_t wares = g_pWareManager ? g_pWareManager->vecWares.size() : 0;
            g_StatGarden.wareImages.assign(wares, nullptr);
            g_StatGarden.wareLabels.assign(wares, nullptr);
            for (size_t i = 0; i < wares; ++i) {
                const cWare* ware = g_pWareManager->vecWares[i];
                if (!ware || ware->strName.empty()) continue;
                vek::cCtrl* image = GetWindowControl(window, ware->strName);
                vek::cCtrl* label = GetWindowControl(window, "num_" + ware->strName);
                if (image && label) {
                    g_StatGarden.wareImages[i] = image;
                    g_StatGarden.wareLabels[i] = label;
                }
            }
            for (int k = 0; k < kAnimalKinds; ++k) {
                g_StatGarden.animalImages[k] = GetWindowControl(window, kAnimalNames[k]);
                g_StatGarden.animalLabels[k] = GetWindowControl(window, vek::string("num_") + kAnimalNames[k]);
                if (!g_StatGarden.animalImages[k] || !g_StatGarden.animalLabels[k]) {
                    for (int j = 0; j < kAnimalKinds; ++j) g_StatGarden.animalImages[j] = g_StatGarden.animalLabels[j] = nullptr;
                    return OnError(window, "wndAfterCreate");
                }
            }
            break;
        }
        case vek::cGUI::e_wndShow: {
            if (!g_StatGarden.lockLooked) {
                g_StatGarden.lockLooked = true;
                LookUp("icons01", "lock", &g_StatGarden.lock);
            }
            if (g_StatGarden.lock.iFrameCount > 0) {
                DropHint(5);
                RaisePause(m_bPauseRaised);
            }
            const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
            for (size_t i = 0; i < g_StatGarden.wareImages.size(); ++i) {
                if (!g_StatGarden.wareImages[i]) continue;
                const int count = player && i < player->m_Values.size() ? player->m_Values[i] : 0;
                ShowCount(g_StatGarden.wareImages[i], g_StatGarden.wareLabels[i],
                          g_pWareManager->vecWares[i]->strName.c_str(), count);
            }
            for (int k = 0; k < kAnimalKinds; ++k) {
                if (!g_StatGarden.animalImages[k]) continue;
                const size_t at = static_cast<size_t>(k);
                const int count = player && at < player->m_AnimalCounts.size() ? player->m_AnimalCounts[at] : 0;
                ShowCount(g_StatGarden.animalImages[k], g_StatGarden.animalLabels[k], kAnimalNames[k], count);
            }
            break;
        }
        case vek::cGUI::e_wndCommand:
            HideOnCommandFrom(window, b, "ok");
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}

int cStatIslandWF::Call(vek::cWindow* window, int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndHideImmediately) LowerPause(m_bPauseRaised);
    if (CanHandle() && window) {
        switch (message) {
        case vek::cGUI::e_wndAfterCreate: {
            cStatIsland c;
            c.people = GetWindowControl(window, "num_people");
            c.house = GetWindowControl(window, "num_house");
            bool all = c.people && c.house;
            for (int k = 0; k < 5; ++k) {
                const vek::string kind = kStatKinds[k];
                c.image[k] = GetWindowControl(window, "img_" + kind);
                c.lock[k] = GetWindowControl(window, "img_" + kind + "_lock");
                c.caption[k] = GetWindowControl(window, "lb_" + kind);
                c.number[k] = GetWindowControl(window, "num_" + kind);
                all = all && c.image[k] && c.lock[k] && c.caption[k] && c.number[k];
            }
            if (!all || !GetWindowControl(window, "ok")) {
                g_StatIsland = cStatIsland();
                return OnError(window, "wndAfterCreate");
            }
            g_StatIsland = c;
            break;
        }
        case vek::cGUI::e_wndShow: {
            DropHint(6);
            RaisePause(m_bPauseRaised);
            if (!g_StatIsland.people) break;
            cIsland* island = GetIsland();
            // The people of a house count from the moment it stands: a new
            // house's settlers come by ship and walk about only once they
            // land, and the rating shown right after the house's "+1"
            // would still leave them out.
            const size_t walkers = island ? island->GetWalkMap().GetFollowerCount() : 0;
            const int people = island ? std::max(static_cast<int>(std::min<size_t>(walkers, 0x7fffffff)),
                                                 island->CountPeople())
                                      : 0;
            SetLabel(g_StatIsland.people, vek::Formatted("x%i", people));
            int houses = 0, markets = 0, factories = 0;
            if (island)
                for (const cHouse* building : island->GetBuildings()) {
                    if (building->iState == cHouse::e_stateNone) continue;
                    switch (building->GetValue()) {
                    case cBuild::e_catHouse: ++houses; break;
                    case cBuild::e_catMarket: ++markets; break;
                    case cBuild::e_catFactory: ++factories; break;
                    default: break;
                    }
                }
            SetLabel(g_StatIsland.house, vek::Formatted("x%i", houses));
            ShowKind(0, markets, markets > 0);
            ShowKind(1, factories, factories > 0);
            const char* const special[3] = {"institute00", "animals00", "statue00"};
            for (int k = 0; k < 3; ++k) {
                const bool built = island && island->IsHouseBuilt(special[k]);
                ShowKind(2 + k, built ? 1 : 0, built);
            }
            break;
        }
        case vek::cGUI::e_wndCommand:
            HideOnCommandFrom(window, b, "ok");
            break;
        default:
            break;
        }
    }
    return cBaseWF::Call(window, message, a, b);
}
