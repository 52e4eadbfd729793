// The level field's animals and hives: making them, selling them, and
// switching them on and off by what the level's tasks still ask for.
#include <cstdio>
#include <type_traits>
#include <utility>

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/objects/animal.h"
#include "game/objects/animal_world.h"
#include "game/objects/bee.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/ostrich.h"
#include "game/objects/peacock.h"
#include "game/objects/product.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"
#include "game/world/level_task.h"
#include "game/world/training.h"

namespace {

// The field's own popups, the toolbar refresh and the tutorial steps come
// with other parts of the field and the tutorial; until they exist a
// purchase shows its price on the game's popups and leaves the rest.
template <class L, class = void>
struct HasFieldPopups : std::false_type {};
template <class L>
struct HasFieldPopups<L, std::void_t<decltype(std::declval<L&>().GetPopups()->AddPopup(
                             std::declval<const vek::string&>(), std::declval<const vek::vec2&>()))>>
    : std::true_type {};

template <class L, class = void>
struct HasToolbars : std::false_type {};
template <class L>
struct HasToolbars<L, std::void_t<decltype(std::declval<L&>().UpdateToolbars())>> : std::true_type {};

template <class T, class = void>
struct HasTutorialSteps : std::false_type {};
template <class T>
struct HasTutorialSteps<T, std::void_t<decltype(std::declval<T&>().NextStep(0, 0))>> : std::true_type {};

template <class L>
void AddFieldPopup(L& level, const vek::string& text, const vek::vec2& at)
{
    if constexpr (HasFieldPopups<L>::value) {
        if (level.GetPopups()) level.GetPopups()->AddPopup(text, at);
    } else if (g_pGarden && g_pGarden->m_pTextPopups) {
        (void)level;
        g_pGarden->m_pTextPopups->AddPopup(text, at);
    }
}

template <class L>
void RefreshToolbars(L& level)
{
    if constexpr (HasToolbars<L>::value) level.UpdateToolbars();
    else (void)level;
}

template <class T>
void TutorialStep(T& training, int kind, int step)
{
    if constexpr (HasTutorialSteps<T>::value) training.NextStep(kind, step);
    else (void)training, (void)kind, (void)step;
}

// The ware an object's need follows, or NO_WARE when it has none here.
int32_t NeedWare(const cObject& object)
{
    if (object.IsType(OBJ_ANIMAL)) return AnimalWare(static_cast<const cAnimal&>(object).GetProductName());
    if (object.IsType(OBJ_PRODUCT)) return static_cast<const cAnimalProduct&>(object).GetWare();
    if (object.IsType(OBJ_HIVE)) return AnimalWare("honey");
    return NO_WARE;
}

bool IsWareNeeded(int32_t ware)
{
    cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    if (!player || ware == NO_WARE) return false;
    const cLevelTask* task = FindTaskByWare(player->m_Tasks, ware);
    return task && task->iAmount > 0;
}

} // namespace

uint32_t cLevel::AddOstrich()
{
    cOstrich* animal = new cOstrich(this);
    animal->SetCell(animal->GetSpawnCell());
    return animal->GetId();
}

uint32_t cLevel::AddGoat()
{
    cGoat* animal = new cGoat(this);
    animal->SetCell(animal->GetSpawnCell());
    return animal->GetId();
}

uint32_t cLevel::AddPeacock()
{
    cPeacock* animal = new cPeacock(this);
    animal->SetCell(animal->GetSpawnCell());
    return animal->GetId();
}

uint32_t cLevel::AddHive()
{
    cObject* none = GetNullObject();
    cell place(0, g_iGridColumns / 2 - 1);
    if (FindObject(place, OBJ_HIVE) != none) place = cell(0, 6);
    if (FindObject(place, OBJ_HIVE) != none) return 0;
    cHive* hive = new cHive(this);
    hive->SetCell(place);
    for (uint32_t mask : {OBJ_PLANT, OBJ_PRODUCT}) {
        cObject* there = FindObject(place, mask);
        if (there && there != none) there->SetState(cObject::e_stRemove);
    }
    const cAnimalWorld& world = GetAnimalWorld();
    world.SetCellValue(*this, place, 0.0f);
    world.SetCellValue(*this, cell(place.row + 1, place.column), 0.0f);
    new cBee(this, hive->GetId());
    return hive->GetId();
}

vek::string cLevel::AnimalsBeyond(int32_t animalLevel) const
{
    const struct {
        int kind;
        int32_t count;
        const char* name;
    } kinds[] = {{e_animalOstrich, m_iOstriches, "ostriches"},
                 {e_animalGoat, m_iGoats, "goats"},
                 {e_animalHive, m_iHives, "hives"},
                 {e_animalPeacock, m_iPeacocks, "peacocks"}};
    for (const auto& k : kinds)
        if (k.count > 0 && k.kind > animalLevel)
            return vek::Formatted("%i %s, which its save has not unlocked", k.count, k.name);
    if (m_iHives > kHivePlaces) return vek::Formatted("%i hives, more than their %i places", m_iHives, kHivePlaces);
    return vek::string();
}

bool cLevel::BuyAnimal(int kind)
{
    // An unknown kind, or a hive with both places taken, buys nothing and
    // costs nothing.
    if (kind < 0 || kind >= kAnimalKinds || !g_pGarden) return false;
    const int price = g_pGarden->GetAnimalPrice(kind);
    if (g_pGarden->GetMoney() < price) return false;
    uint32_t id = 0;
    switch (kind) {
    case e_animalOstrich: id = AddOstrich(); break;
    case e_animalGoat: id = AddGoat(); break;
    case e_animalHive: id = AddHive(); break;
    default: id = AddPeacock(); break;
    }
    if (id == 0) return false;
    g_pGarden->SpendMoney(price);
    RefreshToolbars(*this);
    g_pGarden->CountTaskKind(kind);

    if (vek::cGUI* gui = vek::GetEngineGUI()) {
        vek::cWindow* window = gui->GetWindow("garden");
        const int index = window ? window->FindControl("animals") : 0;
        if (index > 0) {
            const vek::rectf bar = window->GetControl(static_cast<unsigned>(index))->GetRect();
            char text[32];
            std::snprintf(text, sizeof(text), "-$%i", price);
            AddFieldPopup(*this, text,
                          vek::vec2((static_cast<float>(kind) + 0.5f) * 67.0f + bar.x - 3.0f, bar.y + bar.h + 18.0f));
        }
    }

    cObject* object = GetObject(id);
    if (kind == e_animalHive) {
        GetAnimalWorld().PlayGameSound(e_sndBee);
        object->SetState(cHive::e_stAppear);
    } else {
        auto* animal = static_cast<cAnimal*>(object);
        animal->SetState(cAnimal::e_stAppear);
        GetAnimalWorld().PlayGameSound(animal->GetSoundId(1));
        const int32_t count = kind == e_animalOstrich ? m_iOstriches : kind == e_animalGoat ? m_iGoats : m_iPeacocks;
        if (count == 1) animal->SetFirst(true);
    }
    for (int lesson : {e_lessonOstrich, e_lessonGoat, e_lessonHive, e_lessonPeacock})
        TutorialStep(g_pGarden->m_Training, lesson, e_stepBuyAnimal);
    g_pGarden->CountAnimal(kind);
    return true;
}

bool cLevel::UpdateAnimalNeed(cObject& object, const cLevelTask* task)
{
    if (!object.IsType(OBJ_ANIMAL) && !object.IsType(OBJ_PRODUCT) && !object.IsType(OBJ_HIVE)) return false;
    const int32_t ware = NeedWare(object);
    if (task && task->iWare != ware) return true;
    const bool needed = IsWareNeeded(ware);
    const cAnimalWorld& world = GetAnimalWorld();
    if (object.IsType(OBJ_ANIMAL)) {
        auto& animal = static_cast<cAnimal&>(object);
        animal.SetNeeded(needed);
        if (!needed) {
            animal.DropNeed();
            world.EmitBurst(20, 20.0f, RectCentre(animal.GetRect()));
        }
    } else if (object.IsType(OBJ_PRODUCT)) {
        if (!needed) {
            object.SetState(cObject::e_stRemove);
            world.EmitBurst(20, 20.0f, RectCentre(object.GetRect()));
        }
    } else {
        auto& hive = static_cast<cHive&>(object);
        hive.SetNeeded(needed);
        if (!needed) {
            hive.SetHoney(0);
            world.EmitBurst(20, 20.0f, RectCentre(hive.GetRect()));
        }
    }
    return true;
}

void cLevel::UpdateAnimalNeeds(const cLevelTask* task)
{
    for (cObject* object : GetObjects()) UpdateAnimalNeed(*object, task);
}
