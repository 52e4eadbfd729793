// The rules' share of the level field: the wares in flight between the
// factories, the car and the sale, the needs of the field's objects, and the
// income shown at the car.
#include <algorithm>

#include "engine/core/format.h"
#include "engine/graphics/curve.h"
#include "game/objects/object.h"
#include "game/objects/plant.h"
#include "game/objects/stations.h"
#include "game/screens/garden_screen.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/rules.h"
#include "game/world/ware.h"

namespace {

// Flight kinds and sources.
constexpr int32_t kToCar = 0;
constexpr int32_t kAwayFromCar = 1;
constexpr int32_t kToFactory = 2;
constexpr int32_t kFromFactory = 2;
// Wares leaving the car go at least this far apart, in seconds.
constexpr float kAwayGap = 0.3f;

vek::vec3 Centre(const vek::rectf& r) { return vek::vec3(r.x + r.w / 2.0f, r.y + r.h / 2.0f, 0.0f); }

// Where a factory's wares leave from or land: its panel on the garden
// screen. The building itself stands on the island, off this screen.
vek::vec2 FactoryPoint(const void* factory, const vek::vec2& fallback)
{
    vek::vec2 centre;
    return FactoryPanelCentre(static_cast<const cFactory*>(factory), &centre) ? centre : fallback;
}

// The ware an animal, a hive or an animal product yields; a plant's comes
// from the field's own answer.
int32_t WareByType(const cObject* object)
{
    if (!g_pWareManager) return NO_WARE;
    const char* name = nullptr;
    switch (object->GetType()) {
    case OBJ_OSTRICH:
    case OBJ_EGG: name = "egg"; break;
    case OBJ_GOAT: name = "milk"; break;
    case OBJ_PEACOCK:
    case OBJ_NIB: name = "nib"; break;
    case OBJ_HIVE: name = "honey"; break;
    case OBJ_PLANT:
        // Flowers serve the bees: they are wanted while honey is.
        if (const auto* plant = dynamic_cast<const cPlant*>(object))
            return plant->IsFlowers() ? g_pWareManager->FindWare("honey") : plant->GetWareId();
        return NO_WARE;
    default: return NO_WARE;
    }
    return g_pWareManager->FindWare(name);
}

// A plant no task wants any more loses the need it waits with, unless it
// is ripe; true when it did (the caller marks it with a burst).
bool RenewPlantNeed(cObject* object, bool needed)
{
    auto* plant = dynamic_cast<cPlant*>(object);
    if (!plant) return false;
    plant->SetNeeded(needed);
    if (needed || plant->GetState() != cPlant::e_psNeeding || plant->GetNeed() == cPlant::e_NeedRipe) return false;
    plant->ClearNeed();
    return true;
}

} // namespace

void cLevel::AddWareFlight(int32_t ware, int32_t source, void* sourceFactory, int32_t kind, void* targetFactory)
{
    cWareFlight flight;
    flight.iWare = ware;
    flight.iSource = source;
    flight.pSource = sourceFactory;
    flight.iKind = kind;
    flight.pTarget = targetFactory;
    m_WareFlights.push_back(flight);
}

int cLevel::CountWaresInFlight(int32_t ware) const
{
    return static_cast<int>(std::count_if(m_WareFlights.begin(), m_WareFlights.end(),
                                          [ware](const cWareFlight& f) { return f.iWare == ware; }));
}

vek::vec2 cLevel::GetCarPoint()
{
    if (m_vCarPoint.x <= 0.0f && HasObject(m_uCarId)) {
        const vek::rectf body = GetObject(m_uCarId)->GetRect();
        m_vCarPoint = vek::vec2(body.x, body.y + body.h / 2.0f);
    }
    return m_vCarPoint;
}

void cLevel::MoveWareFlights(float elapsed)
{
    const bool carParked = HasObject(m_uCarId) && GetObject(m_uCarId)->GetState() == cCar::e_csParked;
    bool awayWaits = false;
    for (size_t i = 0; i < m_WareFlights.size();) {
        cWareFlight& flight = m_WareFlights[i];
        if ((flight.iKind == kToCar && !carParked) || (flight.iKind == kAwayFromCar && awayWaits)) {
            ++i;
            continue;
        }
        vek::mover<float>& progress = flight.progress;
        if (progress.m_fDuration <= 0.0f) {
            float duration = 0.0f;
            float bulge = 0.0f;
            if (flight.iKind == kToCar && flight.iSource == kFromFactory) {
                duration = 0.8f;
                bulge = -30.0f;
            } else if (flight.iKind == kToFactory && flight.iSource == kFromFactory) {
                duration = 0.4f;
                bulge = 10.0f;
            } else if (flight.iKind == kAwayFromCar) {
                duration = 0.8f;
                bulge = 30.0f;
            } else {
                m_WareFlights.erase(m_WareFlights.begin() + static_cast<std::ptrdiff_t>(i));
                continue;
            }
            const vek::vec2 car = GetCarPoint();
            const vek::vec2 from = flight.iSource == kFromFactory ? FactoryPoint(flight.pSource, car) : car;
            vek::vec2 to = car;
            if (flight.iKind == kAwayFromCar) to = car + vek::vec2(150.0f, -100.0f);
            else if (flight.iKind == kToFactory) to = FactoryPoint(flight.pTarget, car);
            cFlyingItems* items = g_pGarden ? g_pGarden->m_pFlyingItems : nullptr;
            const cWare* ware = g_pWareManager && flight.iWare != NO_WARE
                                    ? g_pWareManager->GetWare(static_cast<uint32_t>(flight.iWare))
                                    : nullptr;
            if (items && ware) {
                if (cFlyingItem* item = items->AddItem("icons00", ware->strName, 0.0f, 1)) {
                    vek::curve_CatmullRomSpline<vek::vec2> path;
                    MakeZigzagPath(path, from, to, 1, bulge, duration);
                    for (int k = 0; k < path.GetCount(); ++k)
                        item->AddPoint(path.m_Points[static_cast<size_t>(k)], path.m_Params[static_cast<size_t>(k)]);
                }
            }
            progress.m_fSpeed = 1.0f;
            progress.Reset(0.0f);
            progress.SetTarget(duration);
            if (flight.iKind == kAwayFromCar) awayWaits = true;
            ++i;
            continue;
        }
        if (flight.iKind == kAwayFromCar && progress.m_Value < kAwayGap) awayWaits = true;
        progress.Update(elapsed);
        if (!flight.Arrived()) {
            ++i;
            continue;
        }
        const cWareFlight landed = flight;
        m_WareFlights.erase(m_WareFlights.begin() + static_cast<std::ptrdiff_t>(i));
        if (landed.iKind == kToCar && g_pGarden) {
            if (cPlayer* player = g_pGarden->GetPlayer()) g_pGarden->CollectWare(player->m_CarLoad, landed.iWare);
        } else if (landed.iKind == kToFactory && landed.pTarget) {
            static_cast<cFactory*>(landed.pTarget)->AddInput();
        }
    }
}

void cLevel::ShowIncome(int32_t amount)
{
    if (!HasObject(m_uCarId) || !g_pGarden || !g_pGarden->m_pTextPopups) return;
    const vek::rectf body = GetObject(m_uCarId)->GetRect();
    g_pGarden->m_pTextPopups->AddPopup(vek::Formatted("+$%i", amount),
                                       vek::vec2(body.x + body.w, body.y + body.h / 2.0f));
}

int32_t cLevel::ObjectWare(const cObject* object) const
{
    return fnObjectWare ? fnObjectWare(object) : WareByType(object);
}

bool cLevel::RenewNeed(cObject* object, bool needed)
{
    return fnRenewNeed ? fnRenewNeed(object, needed) : RenewPlantNeed(object, needed);
}

void cLevel::UpdateNeeds(const cLevelTask* task)
{
    cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    if (!player) return;
    std::vector<cLevelTask>& tasks = player->m_Tasks;
    cParticleSystem* particles = g_pGarden->m_pParticles;
    for (cObject* object : m_Objects) {
        // Animals, their products and hives follow their own rules.
        if (UpdateAnimalNeed(*object, task)) continue;
        const bool product = object->IsType(OBJ_PRODUCT);
        const bool renewable = object->GetType() == OBJ_PLANT || object->IsType(OBJ_ANIMAL) ||
                               object->IsType(OBJ_HIVE);
        if (!product && !renewable) continue;
        const int32_t ware = ObjectWare(object);
        if (task && FindTaskByWare(tasks, ware) != task) continue;
        const bool needed = IsWareNeeded(tasks, ware);
        bool burst = false;
        if (product) {
            if (!needed && ware != NO_WARE) {
                object->SetState(cObject::e_stRemove);
                burst = true;
            }
        } else {
            burst = RenewNeed(object, needed);
        }
        if (burst && particles) particles->EmitBurst(20, 20.0f, Centre(object->GetRect()));
    }
}
