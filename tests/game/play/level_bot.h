#pragma once
// A scripted player for the whole game on the real pack. It looks at what
// a player sees (the level's tasks, the beds and plants with their needs,
// the gardener's tool and basket, the car, the pump, the can, the money,
// the garden screen's toolbar items and factory panels, the island's level
// points and offered house) and acts only through injected mouse events:
// PackGame's MoveTo / ClickAt / ClickControl.
//
// In the garden it fetches the tools it needs, weeds and waters what asks
// for it (filling the can at the pump when the water event is on),
// harvests what a task still wants, takes the basket to the car, sows
// empty beds with the crops the tasks still want (within the money it has,
// chosen on the garden toolbar) and starts factories from their panel
// buttons. Around a level it plays the level map, the start and finish
// screens, the island's result sequence and the upgrades screen.
//
// A slowed run idles a number of frames after each of its actions.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/gui/ctrl.h"
#include "engine/gui/window.h"
#include "game/objects/gardener.h"
#include "game/objects/hole.h"
#include "game/objects/plant.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/screens/garden_screen.h"
#include "game/screens/island_screens.h"
#include "game/screens/mission_finish.h"
#include "game/screens/score_panel.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_defs.h"
#include "game/world/level_task.h"
#include "game/world/rules.h"
#include "game/world/ware.h"
#include "game/pack_player.h"
#include "game/play/animal_keeper.h"

namespace gametest {

class cLevelBot {
public:
    // What a fill of the can at the pump costs.
    static constexpr int32_t kPumpPrice = 5;

    explicit cLevelBot(PackGame& game) : m_G(game) {}

    // Frames the bot waits after each action it takes (0: a quick player).
    int iIdleFrames = 0;
    // Frames after a click for the GUI's fades.
    int iSettleFrames = 20;
    // What the bot did, one line per action (for failure messages).
    std::vector<std::string> log;

    // ---- what the player sees ----

    static cPlayer* Player() { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }
    static cLevel* Field() { return g_pGarden ? g_pGarden->GetLevel() : nullptr; }
    static cIsland* Island() { return g_pGarden ? g_pGarden->m_pIsland : nullptr; }
    cGardener* Gardener() const
    {
        cLevel* field = Field();
        if (!field || !field->HasObject(field->m_uGardenerId)) return nullptr;
        return static_cast<cGardener*>(field->GetObject(field->m_uGardenerId));
    }
    static cObject* FirstOf(uint32_t type)
    {
        cLevel* field = Field();
        if (!field) return nullptr;
        for (cObject* object : field->GetObjects())
            if (object != field->GetNullObject() && object->IsType(type) && object->GetState() != 2) return object;
        return nullptr;
    }
    static std::vector<cPlant*> Plants()
    {
        std::vector<cPlant*> plants;
        cLevel* field = Field();
        if (!field) return plants;
        for (cObject* object : field->GetObjects())
            if (object != field->GetNullObject() && object->IsType(OBJ_PLANT) && object->GetState() != 2)
                plants.push_back(static_cast<cPlant*>(object));
        return plants;
    }
    static std::vector<cHole*> Beds()
    {
        std::vector<cHole*> beds;
        cLevel* field = Field();
        if (!field) return beds;
        for (cObject* object : field->GetObjects()) {
            if (object == field->GetNullObject() || !object->IsType(OBJ_HOLE)) continue;
            auto* hole = static_cast<cHole*>(object);
            if (hole->IsShown() && hole->GetRect().w > 0.0f) beds.push_back(hole);
        }
        return beds;
    }
    cCar* Car() const
    {
        cLevel* field = Field();
        return field && field->HasObject(field->m_uCarId) ? static_cast<cCar*>(field->GetObject(field->m_uCarId))
                                                          : nullptr;
    }
    static bool IsSortWare(int32_t ware)
    {
        return g_pWareManager && ware >= 0 && ware < static_cast<int32_t>(g_pWareManager->vecWares.size()) &&
               g_pWareManager->GetWare(static_cast<uint32_t>(ware))->GetType() == WARE_SORT;
    }
    static int32_t Price(int32_t ware)
    {
        return g_pWareManager ? g_pWareManager->GetWare(static_cast<uint32_t>(ware))->iPrice : 0;
    }
    static int32_t Money()
    {
        const cPlayer* player = Player();
        return player ? player->m_iMoney : 0;
    }

    // How many more of each crop the active tasks want than the field, the
    // basket, the car and the factories already hold for them. Animal
    // products and animal tasks are not the bot's yet: they are left out.
    std::map<int32_t, int> CropsWanted() const
    {
        std::map<int32_t, int> wanted;
        cPlayer* player = Player();
        cLevel* field = Field();
        cIsland* island = Island();
        if (!player || !field) return wanted;
        for (const cLevelTask& task : player->m_Tasks) {
            if (task.IsEmpty() || task.iKind != -1 || task.iAmount <= 0) continue;
            int32_t ware = task.iWare;
            int amount = task.iAmount;
            // Walk a product back through its factories to the crop; what
            // the chain already holds or has in the air is on its way.
            int depth = 0;
            while (!IsSortWare(ware) && island && depth < 3) {
                const cFactory* factory = island->FindFactoryByOutput(ware);
                if (!factory) break;
                amount -= factory->iUnits + field->CountWaresInFlight(ware);
                ware = factory->iInputWare;
                ++depth;
            }
            if (!IsSortWare(ware)) continue;  // an animal product: later
            if (depth > 0) {
                // Crops on the car that the factory has not had yet.
                amount -= static_cast<int>(std::count(player->m_CarLoad.begin(), player->m_CarLoad.end(), ware));
            }
            if (amount > 0) wanted[ware] += amount;
        }
        return wanted;
    }
    // What the field and the basket hold of a crop.
    int CropsInHand(int32_t ware) const
    {
        int n = 0;
        for (cPlant* plant : Plants())
            if (plant->GetWareId() == ware) ++n;
        if (const auto* basket = static_cast<cToolBin*>(FirstOf(OBJ_TOOL_BIN))) n += basket->GetWareCount(ware);
        return n;
    }

    // ---- acting in the garden ----

    // A field point inside the object's rectangle where the click road
    // finds it (no other object in front), away from the screen's
    // controls; false when there is none.
    bool FindClickPoint(const cObject* object, vek::vec2& point) const
    {
        cLevel* field = Field();
        if (!field || !object) return false;
        const vek::rectf r = object->GetRect();
        if (r.w <= 0.0f || r.h <= 0.0f) return false;
        for (float fy : {0.5f, 0.35f, 0.65f, 0.2f, 0.8f})
            for (float fx : {0.5f, 0.3f, 0.7f, 0.15f, 0.85f}) {
                const vek::vec2 p(r.x + r.w * fx, r.y + r.h * fy);
                if (CoveredByScreen(p)) continue;
                if (object->IsType(OBJ_CAR) || object->IsType(OBJ_PUMP)) {
                    if (object->HitTest(p)) {
                        point = p;
                        return true;
                    }
                    continue;
                }
                if (field->PickObject(p) == object) {
                    point = p;
                    return true;
                }
            }
        return false;
    }
    // Whether a shown control of the garden or score screen is at the
    // point (y up), so that a click there would not reach the field.
    bool CoveredByScreen(const vek::vec2& p) const
    {
        for (const char* name : {"garden", "score"}) {
            if (!m_G.Shown(name)) continue;
            vek::cWindow* w = m_G.Window(name);
            if (!w) continue;
            for (unsigned i = 1; i < w->GetControlCount(); ++i) {
                vek::cCtrl* c = w->GetControl(i);
                if (!c || !c->GetState(vek::cCtrl::e_Visibility) || c->GetState(vek::cCtrl::e_Ignorable)) continue;
                if (c->HitTest(p.x, p.y)) return true;
            }
        }
        return false;
    }
    bool ClickOn(const cObject* object, const char* what)
    {
        vek::vec2 p;
        if (!FindClickPoint(object, p)) {
            Note(std::string("no click point for ") + what);
            return false;
        }
        const cGardener* g = Gardener();
        char where[160];
        std::snprintf(where, sizeof where, " at %.0f,%.0f (tool %d, state %d, jobs %zu, money %d)", p.x, p.y,
                      g ? g->GetToolKind() : -9, g ? g->GetState() : -9, g ? g->GetJobs().size() : 0, Money());
        Note(std::string("click ") + what + where);
        m_G.ClickField(p);
        return true;
    }
    // A plant is clicked through its bed (a crop itself is never hit).
    bool ClickPlant(const cPlant* plant)
    {
        cLevel* field = Field();
        cObject* hole = field->FindObject(plant->GetCell(), OBJ_HOLE);
        if (hole && hole != field->GetNullObject()) return ClickOn(hole, "plant");
        const vek::vec2 at = field->GetCellPos(plant->GetCell());
        Note("click plant cell");
        m_G.ClickField(vek::vec2(at.x, at.y + 10.0f));
        return true;
    }
    // The ware's item on the garden screen's plant toolbar.
    bool ChooseSeed(int32_t ware)
    {
        auto* bar = dynamic_cast<cToolbarCtrl*>(m_G.Control("garden", "plants"));
        if (!bar) return false;
        for (unsigned i = 0; i < bar->GetItemCount(); ++i) {
            if (bar->GetItemData(i) != ware) continue;
            cToolbarItemCtrl* item = bar->GetItem(i);
            if (!item || item->GetState(vek::cCtrl::e_Disabled) || !item->IsAvailable())
                return Fail("seed " + std::to_string(ware) + " not offered");
            const vek::rect<float> r = item->GetRect();
            if (r.w <= 0.0f || r.h <= 0.0f) return Fail("seed " + std::to_string(ware) + " has no area");
            int x = 0, y = 0;
            m_G.GuiToClient(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
            Note("seed " + std::string(g_pWareManager->GetWare(static_cast<uint32_t>(ware))->strName));
            m_G.ClickAt(x, y);
            return true;
        }
        return false;
    }
    // A factory panel that is out, whose factory stands built with units
    // waiting: its button.
    bool StartFactory()
    {
        for (cFactoryControl* panel : GetFactoryPanels()) {
            if (!panel || !panel->pButton || panel->GetSlideState() != cFactoryControl::e_slideShown) continue;
            cFactory* factory = panel->GetFactory();
            if (!factory || factory->GetState() != cHouse::e_stateBuilt || factory->iUnits <= 0) continue;
            if (panel->pButton->GetState(vek::cCtrl::e_Disabled)) continue;
            const vek::rect<float> r = panel->pButton->GetRect();
            int x = 0, y = 0;
            m_G.GuiToClient(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
            Note("factory " + std::string(factory->strName));
            m_G.ClickAt(x, y);
            return true;
        }
        return false;
    }

    bool GardenerFree() const
    {
        const cGardener* g = Gardener();
        return g && g->GetState() == cGardener::e_gsIdle && g->GetJobs().empty();
    }

    // The animals' jobs (animal_keeper.h); animal tasks and animal
    // products are left out of CropsWanted.
    bool ActOnAnimals() { return KeepAnimals(*this, m_G); }

    // A player who changes his mind once at the pump: the first time the
    // gardener fills the can, a right click calls him off; the can is then
    // fetched from the pump on a second trip from where he stands.
    bool bCallOffFill = false;
    int iFillsCalledOff = 0;

    // One decision: true when the bot acted.
    bool Act()
    {
        if (StartFactory()) return true;
        cGardener* g = Gardener();
        if (bCallOffFill && g && g->GetState() == cGardener::e_gsFill) {
            bCallOffFill = false;
            ++iFillsCalledOff;
            Note("right click while filling");
            m_G.ClickField(vek::vec2(500.0f, 400.0f), SDL_BUTTON_RIGHT);
            return true;
        }
        if (!g || !GardenerFree()) return false;
        const int tool = g->GetToolKind();
        const std::vector<cPlant*> plants = Plants();

        // Needs first: a plant dies when left for a minute.
        for (cPlant* plant : plants) {
            if (plant->GetState() != cPlant::e_psNeeding || plant->IsWorked()) continue;
            if (plant->GetNeed() == cPlant::e_NeedWeed) {
                if (tool == cTool::e_Weed) return ClickPlant(plant);
                if (cObject* weed = FirstOf(OBJ_TOOL_WEED)) return ClickOn(weed, "weeding tool");
            }
        }
        // Water only with water in the can or the money to fill it at the
        // pump; the can shows once the water event is on.
        auto* can = static_cast<cToolWater*>(FirstOf(OBJ_TOOL_WATER));
        cLevel* field = Field();
        const bool canFill = Money() >= kPumpPrice && field->HasObject(field->m_uPumpId);
        const bool canSeen = can && (can->GetRect().w > 0.0f || tool == cTool::e_Can);
        if (canSeen && (can->GetWater() > 0 || canFill)) {
            for (cPlant* plant : plants) {
                if (plant->GetState() != cPlant::e_psNeeding || plant->IsWorked()) continue;
                if (plant->GetNeed() != cPlant::e_NeedWater) continue;
                if (tool != cTool::e_Can) return ClickOn(can, "can");
                if (can->GetWater() > 0) return ClickPlant(plant);
                return ClickOn(field->GetObject(field->m_uPumpId), "pump");
            }
        }

        // The animals' side of the garden: buying animals and hives on the
        // toolbar, sowing grass and flowers for them, collecting eggs, milk,
        // honey and nibs.
        if (ActOnAnimals()) return true;

        // Ripe crops a task still wants.
        const std::map<int32_t, int> wanted = CropsWanted();
        auto* basket = static_cast<cToolBin*>(FirstOf(OBJ_TOOL_BIN));
        const auto stillWanted = [&](int32_t ware) {
            const auto it = wanted.find(ware);
            const int inBasket = basket ? basket->GetWareCount(ware) : 0;
            return it != wanted.end() && it->second > inBasket;
        };
        cCar* car = Car();
        const bool carReady = car && car->GetState() == cCar::e_csParked;
        std::vector<cPlant*> ripe;
        for (cPlant* plant : plants)
            if (plant->GetState() == cPlant::e_psNeeding && plant->GetNeed() == cPlant::e_NeedRipe &&
                !plant->IsWorked() && stillWanted(plant->GetWareId()))
                ripe.push_back(plant);
        if (!ripe.empty() && basket) {
            if (tool != cTool::e_Basket) return ClickOn(basket, "basket");
            if (!basket->IsFull()) {
                // The nearest first.
                const vek::vec2 at = g->GetPos();
                std::sort(ripe.begin(), ripe.end(), [&](cPlant* a, cPlant* b) {
                    return (a->GetPos() - at).Length() < (b->GetPos() - at).Length();
                });
                return ClickPlant(ripe.front());
            }
            if (carReady) return ClickOn(car, "car");
            return false;
        }

        // Empty beds for the crops still wanted, cheapest first, within
        // the money.
        // A bed is free when empty or when its crop is wanted no more
        // (sowing there replaces it).
        std::vector<cHole*> free;
        std::map<int32_t, int> spare;  // what each crop's plants have beyond the need
        for (const auto& [ware, amount] : wanted) spare[ware] = CropsInHand(ware) - amount;
        for (cHole* bed : Beds()) {
            if (bed->GetTargets() != 0) continue;
            if (bed->GetPlant() == 0) {
                free.push_back(bed);
                continue;
            }
            auto* plant = static_cast<cPlant*>(Field()->GetObject(bed->GetPlant()));
            if (plant->IsWorked() || plant->GetTargets() != 0) continue;
            const int32_t crop = plant->GetWareId();
            const auto it = spare.find(crop);
            if (it == spare.end()) free.push_back(bed);
        }
        if (!free.empty()) {
            std::vector<std::pair<int32_t, int>> sow;
            for (const auto& [ware, amount] : wanted) {
                const int more = amount - CropsInHand(ware);
                if (more > 0) sow.push_back({ware, more});
            }
            // Money for the pump is kept back while thirsty crops grow.
            bool thirsty = false;
            for (cPlant* plant : plants)
                if (plant->GetSort() && !plant->GetSort()->vecNeedIntervals.empty() &&
                    plant->GetSort()->vecNeedIntervals[0] > 0)
                    thirsty = true;
            for (const auto& [ware, more] : sow) {
                const int32_t price = Price(ware);
                const cSort* sort = g_pWareManager->GetSort(static_cast<uint32_t>(ware));
                const bool waters = thirsty || (sort && !sort->vecNeedIntervals.empty() && sort->vecNeedIntervals[0] > 0);
                // Money is kept back for an animal only once it is there:
                // below the price, the crops' sales are what bring it in.
                const int32_t savings = AnimalSavings(*this);
                const int32_t budget = Money() - (Money() >= savings ? savings : 0) -
                                       (waters && can && can->GetWater() < can->GetCapacity() ? kPumpPrice : 0);
                int affordable = price > 0 ? std::max(0, budget) / price : static_cast<int>(free.size());
                int count = std::min({more, affordable, static_cast<int>(free.size())});
                if (count <= 0) continue;
                if (!ChooseSeed(ware)) continue;
                // Beds nearest to the gardener first.
                const vek::vec2 at = g->GetPos();
                std::sort(free.begin(), free.end(), [&](cHole* a, cHole* b) {
                    return (a->GetPos() - at).Length() < (b->GetPos() - at).Length();
                });
                for (int i = 0; i < count; ++i) ClickOn(free[static_cast<size_t>(i)], "bed");
                return true;
            }
        }

        // The basket to the car.
        if (basket && basket->GetCount() > 0 && carReady) {
            if (tool != cTool::e_Basket) return ClickOn(basket, "basket");
            return ClickOn(car, "car");
        }
        // Carry the basket while waiting, ready for the harvest.
        if (basket && tool != cTool::e_Basket && !plants.empty()) return ClickOn(basket, "basket");
        return false;
    }

    // A screen hint with its "OK" showing waits for it (the others go by
    // themselves and let the clicks through).
    bool HintWaits() const
    {
        if (!m_G.Shown("hint")) return false;
        vek::cCtrl* close = m_G.Control("hint", "close");
        return close && close->GetState(vek::cCtrl::e_Visibility) && !close->GetState(vek::cCtrl::e_Disabled);
    }
    bool CloseHint()
    {
        if (auto* text = dynamic_cast<vek::cLabelCtrl*>(m_G.Control("hint", "text")))
            Note("hint: " + std::string(text->GetText()));
        if (vek::cCtrl* close = m_G.Control("hint", "close")) {
            const vek::rect<float> r = close->GetRect();
            char at[96];
            std::snprintf(at, sizeof at, "close at %.0f,%.0f %.0fx%.0f", r.x, r.y, r.w, r.h);
            Note(at);
        }
        return Click("hint", "close");
    }

    // Plays the level in the garden until the finish screen shows; false
    // after `limit` frames.
    bool PlayLevel(int limit = 30 * 400)
    {
        return PlayUntil([this] { return m_G.Shown("mission_finish"); }, limit);
    }
    // Plays until the condition holds (checked between actions).
    bool PlayUntil(const std::function<bool()>& done, int limit)
    {
        const int start = m_G.m_iFrames;
        while (m_G.m_iFrames - start < limit) {
            if (done()) return true;
            if (m_G.Shown("mission_finish")) return false;
            // A screen hint waits for its "OK".
            if (HintWaits()) {
                if (!CloseHint()) m_G.Frame();
                continue;
            }
            if (m_G.Focus() != "garden" || !Field()) {
                m_G.Frame();
                continue;
            }
            if (Act()) {
                m_G.Run(1 + iIdleFrames);
            } else {
                m_G.Frame();
            }
        }
        return done();
    }

    // ---- around a level ----

    // The test's own setup, not play: the profile a player who has won
    // every level before `level` in gold would have (the progress, the
    // unlocked sorts, bed layouts and animals the awards gave, the times and
    // medals, some island funds), with the island's houses built to match.
    static void ReachLevel(int level, int funds = 300)
    {
        cPlayer* player = Player();
        if (!player) return;
        int sorts = 0, layout = 0, animals = -1;
        const int layouts = static_cast<int>(g_pGarden->GetBedLayouts().size());
        player->m_Results.clear();
        player->m_Times.clear();
        for (int l = 0; l < level; ++l) {
            const cLevelDef& def = GetLevelDef(l);
            if (def.Has(cLevelDef::e_NewSort)) sorts = std::min(7, sorts + 1);
            if (def.Has(cLevelDef::e_MoreBeds)) layout = std::min(std::max(layouts - 1, 0), layout + 1);
            if (def.Has(cLevelDef::e_NewAnimal)) animals = std::min(3, animals + 1);
            player->m_Results.push_back(0);
            player->m_Times.push_back(def.fTimeLimit);
        }
        player->m_iProgress = level;
        player->m_iSorts = sorts;
        player->m_iPlayerValue = layout;
        player->m_iAnimals = animals;
        player->m_iIslandMoney = funds;
        player->SavePlayer();
        if (cIsland* island = Island()) island->UpdateHouses();
        // A level starts from the snapshot its predecessor's win wrote: the
        // profile's values; the field and the island as a fresh start
        // makes them (the default placement, the houses by the progress).
        player->SaveGame(level);
        const std::string slot = player->GetProfilePath(level).c_str();
        for (const char* file : {"/level.dat", "/island.dat"}) std::remove((slot + file).c_str());
    }

    // The game started on the pack, drawing one frame in 60, with a new
    // player made on the profile screens and the hints switched off on the
    // options screen; the main menu shows.
    bool Boot(const std::string& name = "Zed")
    {
        m_G.StartOnPack();
        if (::testing::Test::HasFatalFailure()) return false;
        m_G.m_pGame->iDrawInterval = 60;
        if (!m_G.RunToMainMenu(3000)) return false;
        m_G.Run(20);
        return MakeProfile(name) && HintsOff();
    }
    // Booted, with the profile a player reaching the level would have, on
    // the level map and then in that level.
    bool BootAtLevel(int level)
    {
        if (!Boot()) return false;
        ReachLevel(level);
        return PlayToIsland() && StartLevel(level) && Player()->m_iLevel == level;
    }
    // A fresh profile made on the profile screens.
    bool MakeProfile(const std::string& name)
    {
        if (!Click("main", "btProfile") || !Click("profile_select", "btAdd")) return false;
        for (int i = 0; i < 16; ++i) m_G.Key(SDL_SCANCODE_BACKSPACE);
        m_G.Type(name);
        return Click("profile_add", "ok") && Click("profile_select", "btOk");
    }
    // The hints check box of the options screen, cleared.
    bool HintsOff()
    {
        if (!Click("main", "btOptions")) return false;
        if (g_pGarden->GetTraining() != 0 && !Click("options", "cbHints")) return false;
        return Click("options", "btBack") && g_pGarden->GetTraining() == 0;
    }
    // "Play" and the comics up to the island.
    bool PlayToIsland()
    {
        if (!Click("main", "btStart")) return false;
        for (int i = 0; i < 40 && m_G.Focus() != "island"; ++i) {
            if (m_G.Shown("comics")) m_G.ClickControl("comics", "next");
            m_G.Run(iSettleFrames);
        }
        m_G.Run(60);
        return m_G.Focus() == "island";
    }
    // Brings the level point into the view by the edge of the screen, the
    // way a player scrolls; false when it cannot be reached.
    bool PointInView(int index, int& x, int& y)
    {
        for (int tries = 0; tries < 200; ++tries) {
            if (m_G.LevelPointClient(index, x, y) && x >= 12 && x <= 1012 && y >= 12 && y <= 756) return true;
            // The view scrolls only once enough of the island is open.
            if (!g_pGarden->CanScrollIsland()) return m_G.LevelPointClient(index, x, y);
            cIsland* island = Island();
            if (!island || index < 0 || static_cast<size_t>(index) >= island->vecLevelPoints.size()) return false;
            const vek::vec2& q = island->vecLevelPoints[static_cast<size_t>(index)];
            const float vx = q.x - island->fScrollX, vy = q.y - island->fScrollY;
            int ex = 512, ey = 384;
            if (vx < 12.0f) ex = 2;
            else if (vx > 1012.0f) ex = 1021;
            if (vy < 12.0f) ey = 765;
            else if (vy > 756.0f) ey = 2;
            m_G.MoveTo(ex, ey);
            m_G.Run(5);
        }
        return false;
    }
    // A level point of the map, "Yes", then the start screen's "ok".
    bool StartLevel(int index)
    {
        int x = 0, y = 0;
        if (!PointInView(index, x, y))
            return Fail("level point " + std::to_string(index) + " out of view at " + std::to_string(x) + "," +
                        std::to_string(y) + " points " +
                        std::to_string(Island() ? Island()->vecLevelPoints.size() : 0));
        Note("level point " + std::to_string(index));
        m_G.ClickAt(x, y);
        m_G.Run(iSettleFrames);
        if (!m_G.Shown("messagebox") || !Click("messagebox", "ok")) return Fail("no question");
        if (!m_G.RunUntil([&] { return m_G.Shown("mission_start"); }, 120)) return Fail("no start screen");
        m_G.Run(iSettleFrames);
        if (!Click("mission_start", "ok")) return Fail("no ok");
        if (!m_G.RunUntil([&] { return m_G.Focus() == "garden" && !m_G.Shown("mission_start"); }, 120))
            return Fail("not in the garden");
        return true;
    }

    // After the finish screen: it is waited out (or skipped with "ok"),
    // then the upgrades screen buys the cheapest offer the funds allow,
    // and the island's result sequence buys the level's house; done when
    // the level map is back. The upgrade bought (-1 none) is kept.
    int iBoughtUpgrade = -1;
    // Called once the upgrades screen has taken its purchase.
    std::function<void()> fnAfterUpgrade;
    bool FinishToMap(bool skip, int limit = 30 * 60)
    {
        iBoughtUpgrade = -1;
        bool finishLeft = false;
        bool bought = false;
        const int start = m_G.m_iFrames;
        while (m_G.m_iFrames - start < limit) {
            if (m_G.Shown("mission_finish")) {
                if (skip) {
                    Click("mission_finish", "ok");
                    m_G.Run(iSettleFrames);
                    continue;
                }
                // Waited out: "ok" once the sequence has ended.
                vek::cWindow* w = m_G.Window("mission_finish");
                auto* wf = w ? dynamic_cast<cMissionFinishWF*>(w->GetFunction()) : nullptr;
                if (wf && wf->IsDone()) Click("mission_finish", "ok");
                m_G.Frame();
                continue;
            }
            finishLeft = true;
            if (m_G.Shown("up")) {
                BuyUpgrade();
                m_G.Run(iSettleFrames);
                if (iBoughtUpgrade >= 0 && fnAfterUpgrade) fnAfterUpgrade();
                continue;
            }
            if (m_G.Shown("messagebox")) {
                m_G.Frame();
                continue;
            }
            cIsland* island = Island();
            if (m_G.Focus() == "island" && island && island->iMode == cIsland::e_modeLevel && !bought) {
                if (BuyOfferedHouse()) bought = true;
                else if (OfferedHouse() && HintWaits()) CloseHint();
                m_G.Frame();
                continue;
            }
            if (HintWaits()) {
                CloseHint();
                continue;
            }
            if (m_G.Focus() == "island" && island && island->iMode == cIsland::e_modeIsland && finishLeft) {
                m_G.Run(iSettleFrames);
                return true;
            }
            m_G.Frame();
        }
        return false;
    }
    // The result sequence waits with the level's house pulsing: a click on
    // it buys it.
    static cHouse* OfferedHouse()
    {
        cIsland* island = Island();
        cPlayer* player = Player();
        if (!island || !player) return nullptr;
        cHouse* house = island->GetLevelHouse(player->m_iLevel);
        if (!house || house->GetState() != cHouse::e_stateNone || !house->bAvailable) return nullptr;
        return house;
    }
    // Whether the hint was up when the house was offered.
    bool bOfferHinted = false;
    bool BuyOfferedHouse()
    {
        cHouse* house = OfferedHouse();
        if (!house) {
            m_iOfferSeen = 0;
            return false;
        }
        // A player looks at the offer (and its hint) for a moment.
        bOfferHinted = bOfferHinted || m_G.Shown("hint");
        if (++m_iOfferSeen < 60) return false;
        const vek::vec2 c = house->GetScreenCenter();
        if (c.x < 0.0f || c.x > 1024.0f || c.y < 0.0f || c.y > 768.0f) return false;
        int x = 0, y = 0;
        m_G.GuiToClient(c.x, c.y, x, y);
        Note("buy " + std::string(house->strName));
        m_G.MoveTo(x, y);
        m_G.Run(2);
        m_G.ClickAt(x, y);
        m_G.Run(5);
        return house->GetState() != cHouse::e_stateNone;
    }
    // The cheapest offer the funds allow, checked, then "done".
    void BuyUpgrade()
    {
        cPlayer* player = Player();
        if (!player) return;
        const std::vector<int> offers = UpgradeOffers(player->m_Upgrades);
        for (size_t i = 0; i < offers.size() && i < 3; ++i) {
            if (player->m_Upgrades.GetPrice(offers[i]) > player->m_iIslandMoney) continue;
            const std::string name = "ch" + std::to_string(i);
            if (Click("up", name.c_str())) iBoughtUpgrade = offers[i];
            break;
        }
        Click("up", "done");
        m_G.RunUntil([&] { return !m_G.Shown("up"); }, 120);
    }

    // The warnings of the HTML log once the game runs, but those of files
    // a fresh profile does not have yet ("... not found on disk").
    static std::vector<std::string> PlayWarnings(const std::string& log)
    {
        std::vector<std::string> found;
        const std::string mark = "class='warning'>";
        size_t at = log.find("Game initialization complete");
        if (at == std::string::npos) return {"the game never started"};
        while ((at = log.find(mark, at)) != std::string::npos) {
            at += mark.size();
            const std::string text = log.substr(at, log.find("</span>", at) - at);
            if (text.find("not found on disk") == std::string::npos) found.push_back(text);
        }
        return found;
    }
    static std::string Lines(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        return text;
    }

    bool Click(const char* window, const char* control)
    {
        if (!m_G.Shown(window)) return false;
        if (!m_G.ClickControl(window, control)) return false;
        Note(std::string(window) + "." + control);
        m_G.Run(iSettleFrames);
        return true;
    }

    bool Fail(const std::string& why)
    {
        Note("FAILED: " + why + " (focus " + m_G.Focus() + ")");
        return false;
    }
    void Note(const std::string& line)
    {
        const cPlayer* player = Player();
        char clock[32];
        std::snprintf(clock, sizeof clock, "%.1f ", player ? player->m_fClock : 0.0f);
        log.push_back(clock + line);
    }
    std::string Log(size_t last = 400) const
    {
        std::string text;
        for (size_t i = log.size() > last ? log.size() - last : 0; i < log.size(); ++i) text += log[i] + "\n";
        return text;
    }

private:
    PackGame& m_G;
    int m_iOfferSeen = 0;
};

} // namespace gametest
