#pragma once
// The scripted player's animals: for the active tasks asking for eggs,
// milk, honey or nibs, or for animals themselves, it buys the animal or
// the hive from the garden toolbar once the money allows, sows grass where
// the grazers can reach it (flowers beside a hive), picks up eggs and nibs
// with the basket, milks a goat offering her milk, takes the honey of a
// full hive and, with the basket full, takes it to the car. Like the rest
// of the scripted player it looks at the field and acts only through
// injected mouse events.
//
// A template over the level bot, so that the bot's header can include it
// before the bot is declared and call it from its decisions.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/gui/ctrl.h"
#include "game/objects/animal.h"
#include "game/objects/gardener.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/plant.h"
#include "game/objects/product.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/ware.h"
#include "game/pack_player.h"

namespace gametest {

// The toolbar's four kinds: the object each makes and the ware it gives.
struct cKeptKind {
    int iKind;
    uint32_t uType;
    const char* szProduct;
};
inline const cKeptKind kKeptKinds[4] = {
    {0, OBJ_OSTRICH, "egg"}, {1, OBJ_GOAT, "milk"}, {2, OBJ_HIVE, "honey"}, {3, OBJ_PEACOCK, "nib"}};

// The fixture's input and look-ups are its own and its level bot's; the
// keeper reaches them through member pointers formed in a derived scope.
struct cPackInput : PackGame {
    static vek::cCtrl* ControlOf(PackGame& game, const char* window, const char* name)
    {
        return (game.*&cPackInput::Control)(window, name);
    }
    static void ClickClient(PackGame& game, int x, int y) { (game.*&cPackInput::ClickAt)(x, y, SDL_BUTTON_LEFT); }
    static void ClickOnField(PackGame& game, const vek::vec2& point)
    {
        (game.*&cPackInput::ClickField)(point, SDL_BUTTON_LEFT);
    }
    static void ClientOf(float gx, float gy, int& x, int& y) { PackGame::GuiToClient(gx, gy, x, y); }
};

template <class Bot>
class cAnimalKeeper {
public:
    cAnimalKeeper(Bot& bot, PackGame& game) : m_Bot(bot), m_G(game) {}

    // One decision: true when it acted.
    bool Act()
    {
        if (!Bot::Field() || !m_Bot.Gardener()) return false;
        if (Buy()) return true;
        if (Collect()) return true;
        return Feed();
    }

    // ---- what the player sees ----

    static int32_t WareOf(const char* name) { return g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE; }

    // Animals and hives of a kind that stay on the field (not fading away).
    static std::vector<cObject*> Kept(uint32_t type)
    {
        std::vector<cObject*> kept;
        cLevel* field = Bot::Field();
        if (!field) return kept;
        for (cObject* object : field->GetObjects()) {
            if (object == field->GetNullObject() || !object->IsType(type)) continue;
            const int32_t state = object->GetState();
            if (state == cObject::e_stRemove) continue;
            if (type == OBJ_HIVE ? state == cHive::e_stLeave : state == cAnimal::e_stLeave) continue;
            kept.push_back(object);
        }
        return kept;
    }
    // How many more of the ware the active tasks want than the basket holds.
    static int ProductWanted(int32_t ware)
    {
        cPlayer* player = Bot::Player();
        if (!player || ware == NO_WARE) return 0;
        const cLevelTask* task = FindTaskByWare(player->m_Tasks, ware);
        if (!task || task->iAmount <= 0) return 0;
        const auto* basket = static_cast<cToolBin*>(Bot::FirstOf(OBJ_TOOL_BIN));
        return task->iAmount - (basket ? basket->GetWareCount(ware) : 0);
    }
    // How many of the kind an animal task still asks to be bought.
    static int PurchasesWanted(int kind)
    {
        cPlayer* player = Bot::Player();
        const cLevelTask* task = player ? FindTaskByKind(player->m_Tasks, kind) : nullptr;
        return task && task->iAmount > 0 ? task->iAmount : 0;
    }
    // How many of the kind the field should hold now: one while its product
    // is wanted, two for a long order of a grazer's product (when the money
    // leaves some over for their grass), or as many more as a task asks.
    static int KeepCount(const cKeptKind& kind, int have)
    {
        const int bought = PurchasesWanted(kind.iKind);
        if (bought > 0) return have + 1;
        const int wanted = ProductWanted(WareOf(kind.szProduct));
        if (wanted <= 0) return 0;
        if (kind.iKind == 2 || wanted < 10) return 1;
        const int price = g_pGarden ? g_pGarden->GetAnimalPrice(kind.iKind) : 0;
        return Bot::Money() >= price + 100 ? 2 : 1;
    }

    // ---- buying ----

    // The item of the toolbar whose data is `data`, clicked when enabled.
    bool ClickBarItem(const char* bar, int data, const std::string& what)
    {
        auto* toolbar = dynamic_cast<cToolbarCtrl*>(cPackInput::ControlOf(m_G, "garden", bar));
        if (!toolbar || !toolbar->GetState(vek::cCtrl::e_Visibility)) return false;
        for (unsigned i = 0; i < toolbar->GetItemCount(); ++i) {
            if (toolbar->GetItemData(i) != data) continue;
            cToolbarItemCtrl* item = toolbar->GetItem(i);
            if (!item || item->GetState(vek::cCtrl::e_Disabled) || !item->IsAvailable()) return false;
            const vek::rect<float> r = item->GetRect();
            if (r.w <= 0.0f || r.h <= 0.0f) return false;
            int x = 0, y = 0;
            cPackInput::ClientOf(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
            m_Bot.Note(what);
            cPackInput::ClickClient(m_G, x, y);
            return true;
        }
        return false;
    }
    bool Buy()
    {
        for (const cKeptKind& kind : kKeptKinds) {
            const int have = static_cast<int>(Kept(kind.uType).size());
            if (have >= KeepCount(kind, have)) continue;
            if (g_pGarden && Bot::Money() < g_pGarden->GetAnimalPrice(kind.iKind)) continue;
            if (ClickBarItem("animals", kind.iKind, "buy " + std::string(kind.szProduct) + " giver")) return true;
        }
        return false;
    }

    // ---- collecting ----

    bool Collect()
    {
        cLevel* field = Bot::Field();
        cGardener* g = m_Bot.Gardener();
        auto* basket = static_cast<cToolBin*>(Bot::FirstOf(OBJ_TOOL_BIN));
        if (!basket) return false;
        // What waits to be taken, with the ware each gives.
        std::vector<std::pair<cObject*, int32_t>> found;
        for (cObject* object : field->GetObjects()) {
            if (object == field->GetNullObject() || object->GetState() == cObject::e_stRemove) continue;
            if (object->IsType(OBJ_PRODUCT)) found.push_back({object, static_cast<cAnimalProduct*>(object)->GetWare()});
            else if (object->IsType(OBJ_GOAT) && object->GetState() == cAnimal::e_stMilk)
                found.push_back({object, WareOf("milk")});
            else if (object->IsType(OBJ_HIVE) && object->GetState() == cHive::e_stStand &&
                     static_cast<cHive*>(object)->IsFull())
                found.push_back({object, WareOf("honey")});
        }
        const vek::vec2 at = g->GetPos();
        std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) {
            return (a.first->GetPos() - at).Length() < (b.first->GetPos() - at).Length();
        });
        std::vector<cObject*> take;
        std::vector<int32_t> counted;
        for (const auto& [object, ware] : found) {
            const int already = static_cast<int>(std::count(counted.begin(), counted.end(), ware));
            if (ProductWanted(ware) - already <= 0) continue;
            take.push_back(object);
            counted.push_back(ware);
        }
        if (take.empty()) return false;
        if (g->GetToolKind() != cTool::e_Basket) return m_Bot.ClickOn(basket, "basket");
        if (basket->IsFull()) {
            cCar* car = m_Bot.Car();
            if (car && car->GetState() == cCar::e_csParked) return m_Bot.ClickOn(car, "car");
            return false;
        }
        const int room = basket->GetCapacity() - basket->GetCount();
        bool clicked = false;
        for (int i = 0; i < room && i < static_cast<int>(take.size()); ++i) {
            cObject* object = take[static_cast<size_t>(i)];
            const char* what = object->IsType(OBJ_GOAT) ? "goat" : object->IsType(OBJ_HIVE) ? "hive" : "product";
            clicked = m_Bot.ClickOn(object, what) || clicked;
        }
        return clicked;
    }

    // ---- food ----

    // A field point of the cell where a click reaches the cell itself (no
    // object in front, no control of the screen over it).
    bool CellPoint(const cell& c, vek::vec2& point) const
    {
        cLevel* field = Bot::Field();
        const vek::vec2 size = field->GetCellSize();
        const vek::vec2 base = field->GetCellPos(c);
        for (float fy : {0.5f, 0.3f, 0.7f})
            for (float fx : {0.0f, -0.25f, 0.25f}) {
                const vek::vec2 p(base.x + size.x * fx, base.y + size.y * fy);
                if (field->PosToCell(p) != c || field->PickObject(p) || m_Bot.CoveredByScreen(p)) continue;
                point = p;
                return true;
            }
        return false;
    }
    // Whether seeds can go on the cell: open ground with nothing on it.
    bool FreeCell(const cell& c, vek::vec2& point) const
    {
        cLevel* field = Bot::Field();
        if (!field->IsValidCell(c) || field->GetCellValue(c) == 0.0f) return false;
        if (field->FindObject(c, 0) != field->GetNullObject()) return false;
        return CellPoint(c, point);
    }
    static int Distance(const cell& a, const cell& b) { return std::abs(a.row - b.row) + std::abs(a.column - b.column); }

    // Plants of the ware on the field.
    static std::vector<cPlant*> PlantsOf(int32_t ware)
    {
        std::vector<cPlant*> plants;
        for (cPlant* plant : Bot::Plants())
            if (plant->GetWareId() == ware) plants.push_back(plant);
        return plants;
    }

    // Sows the seed of the food toolbar on the cells: the item, then each
    // cell.
    bool Sow(int32_t ware, const std::vector<vek::vec2>& points, const char* what)
    {
        if (points.empty() || !ClickBarItem("grass", ware, std::string("seed ") + what)) return false;
        for (const vek::vec2& p : points) {
            m_Bot.Note(std::string("sow ") + what);
            cPackInput::ClickOnField(m_G, p);
        }
        return true;
    }

    bool Feed()
    {
        const int32_t grass = WareOf("grass");
        const int32_t flowers = WareOf("flowers");

        // Grass: one for every grazer still wanted, and one over.
        std::vector<cAnimal*> grazers;
        for (uint32_t type : {OBJ_OSTRICH, OBJ_GOAT, OBJ_PEACOCK})
            for (cObject* object : Kept(type)) {
                auto* animal = static_cast<cAnimal*>(object);
                if (animal->IsNeeded()) grazers.push_back(animal);
            }
        const std::vector<cPlant*> grassPlants = PlantsOf(grass);
        int missing = static_cast<int>(grazers.size()) + 1 - static_cast<int>(grassPlants.size());
        const int grassPrice = SeedPrice(grass);
        if (!grazers.empty() && missing > 0) {
            missing = std::min({missing, grassPrice > 0 ? Bot::Money() / grassPrice : missing, 3});
            std::vector<cell> chosen;
            std::vector<vek::vec2> points;
            // Each grazer in turn, those with the least grass in reach first:
            // the nearest free cell it can walk to.
            std::vector<std::pair<int, cAnimal*>> order;
            for (cAnimal* animal : grazers) {
                int near = 0;
                for (cPlant* plant : grassPlants)
                    if (animal->IsInPasture(plant->GetCell())) ++near;
                order.push_back({near, animal});
            }
            std::stable_sort(order.begin(), order.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (size_t i = 0; static_cast<int>(points.size()) < missing && i < order.size() * 2; ++i) {
                cAnimal* animal = order[i % order.size()].second;
                const cell own = animal->GetCell();
                cell best;
                vek::vec2 bestPoint;
                int bestDistance = 1000;
                for (int row = 0; row < g_iGridRows; ++row)
                    for (int column = 0; column < g_iGridColumns; ++column) {
                        const cell c(row, column);
                        vek::vec2 p;
                        if (std::find(chosen.begin(), chosen.end(), c) != chosen.end()) continue;
                        if (Distance(c, own) >= bestDistance || !animal->CanGoTo(c) || !FreeCell(c, p)) continue;
                        best = c;
                        bestPoint = p;
                        bestDistance = Distance(c, own);
                    }
                if (bestDistance == 1000) continue;
                chosen.push_back(best);
                points.push_back(bestPoint);
            }
            if (Sow(grass, points, "grass")) return true;
        }

        // Flowers beside a hive that is wanted: two of them.
        const std::vector<cObject*> hives = Kept(OBJ_HIVE);
        const cHive* hive = nullptr;
        for (cObject* object : hives)
            if (static_cast<cHive*>(object)->IsNeeded()) hive = static_cast<cHive*>(object);
        const int flowerPrice = SeedPrice(flowers);
        int more = 2 - static_cast<int>(PlantsOf(flowers).size());
        if (hive && more > 0 && Bot::Money() >= flowerPrice) {
            more = std::min(more, flowerPrice > 0 ? Bot::Money() / flowerPrice : more);
            std::vector<std::pair<int, cell>> cells;
            for (int row = 0; row < g_iGridRows; ++row)
                for (int column = 0; column < g_iGridColumns; ++column)
                    cells.push_back({Distance(cell(row, column), hive->GetCell()), cell(row, column)});
            std::stable_sort(cells.begin(), cells.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            std::vector<vek::vec2> points;
            for (const auto& [distance, c] : cells) {
                if (static_cast<int>(points.size()) >= more) break;
                vek::vec2 p;
                if (FreeCell(c, p)) points.push_back(p);
            }
            if (Sow(flowers, points, "flowers")) return true;
        }
        return false;
    }

private:
    static int32_t SeedPrice(int32_t ware)
    {
        return g_pWareManager && ware != NO_WARE ? g_pWareManager->GetWare(static_cast<uint32_t>(ware))->iPrice : 0;
    }

    Bot& m_Bot;
    PackGame& m_G;
};

// The money kept back from the crops' seeds: the price of an animal or hive
// that a task needs and the field has none of yet. Crops sell for what
// their seeds cost, so only the animals' products bring money in.
template <class Bot>
int AnimalSavings(const Bot&)
{
    int savings = 0;
    for (const cKeptKind& kind : kKeptKinds) {
        const int have = static_cast<int>(cAnimalKeeper<Bot>::Kept(kind.uType).size());
        if (have >= cAnimalKeeper<Bot>::KeepCount(kind, have)) continue;
        if (have > 0 && cAnimalKeeper<Bot>::PurchasesWanted(kind.iKind) <= 0) continue;
        if (g_pGarden) savings = std::max(savings, g_pGarden->GetAnimalPrice(kind.iKind));
    }
    return savings;
}

// One decision of the animal keeping for the bot: true when it acted.
template <class Bot>
bool KeepAnimals(Bot& bot, PackGame& game)
{
    return cAnimalKeeper<Bot>(bot, game).Act();
}

} // namespace gametest
