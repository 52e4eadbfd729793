#include "game/world/island.h"

#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "game/shell/garden.h"
#include "game/shell/middle.h"
#include "game/shell/player.h"
#include "game/shell/window_message.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/level_defs.h"

namespace {

constexpr const char* kSender = "cIsland";
constexpr float kPhaseWrap = 31.415928f;  // five whole periods

cIsland* g_pIsland = nullptr;
float g_fPulsePhase = 0.0f;

// The size of a loaded texture; false when there is none of that name.
bool TextureSize(const char* name, float* width, float* height)
{
    const uint32_t id = vek::g_pTextureManager ? vek::g_pTextureManager->Find(name) : 0;
    if (id == 0) return false;
    const vek::cTexture* texture = vek::g_pTextureManager->Get(id);
    *width = static_cast<float>(texture->GetWidth());
    *height = static_cast<float>(texture->GetHeight());
    return true;
}

cPlayer* Player() { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }

} // namespace

cIsland* GetIsland() { return g_pIsland; }

float cIsland::GetPulse() { return 0.5f + 0.5f * std::sin(g_fPulsePhase); }

void cIsland::AdvancePulse()
{
    g_fPulsePhase += 0.01f;
    if (g_fPulsePhase > kPhaseWrap) g_fPulsePhase = 0.0f;
}

cIsland::cIsland() : vek::cWidget("island")
{
    g_pIsland = this;
    m_pWalkMap = new cWalkMap(vek::g_pGame ? vek::g_pGame->pBatch : nullptr);
    m_pAnimations = new cSpriteAnimations(vek::g_pRender);
    m_pPopups = new cTextPopups(vek::g_pRender, "header24x24");
    // The buildings' events reach the game while it exists.
    hooks.countWare = [](int ware) {
        if (g_pGarden) g_pGarden->CountWare(ware);
    };
    hooks.sendWare = [](int ware, cFactory* from, int mode, cFactory* next) {
        if (g_pGarden && g_pGarden->m_pLevel) g_pGarden->m_pLevel->AddWareFlight(ware, 2, from, mode, next);
    };
    hooks.inputAdded = [](cFactory* factory) {
        if (g_pGarden && factory) g_pGarden->OnFactoryInput(factory->iInputWare);
    };
    // The fireworks burst where the building stands on the island, so they
    // live, scroll and are drawn with the island.
    hooks.playOnce = [this](const vek::string& texture, const vek::string& area, const vek::vec2& at) {
        if (m_pAnimations) m_pAnimations->Add(texture, area, at);
    };
    hooks.popup = [this](const vek::string& text, const vek::vec2& at) {
        if (m_pPopups) m_pPopups->AddPopup(text, at);
    };
    // Wares flying from or to a factory would point at a deleted one.
    hooks.buildingsCleared = [] {
        if (!g_pGarden || !g_pGarden->m_pLevel) return;
        auto& flights = g_pGarden->m_pLevel->GetWareFlights();
        flights.erase(std::remove_if(flights.begin(), flights.end(),
                                     [](const cLevel::cWareFlight& f) { return f.pSource || f.pTarget; }),
                      flights.end());
    };
    for (vek::mover<float>& stage : stages) stage.m_fSpeed = 1.0f;
    blinkTimer.m_fSpeed = 2.5f;
    hintTimer.m_fSpeed = 1.0f;

    float w0 = 0.0f, h0 = 0.0f, w1 = 0.0f, h1 = 0.0f;
    if (!TextureSize("island00_0", &w0, &h0)) vek::LogWarning(kSender, "Texture for island not found.\n");
    if (!TextureSize("island00_1", &w1, &h1)) vek::LogWarning(kSender, "Texture for island not found.\n");
    if (h0 + h1 > 0.0f) {
        fPictureWidth = w0;
        fPictureHeight = h0 + h1;
    }
    fScrollY = fPictureHeight - 768.0f;
    if (!m_pWalkMap->SetFollowerSprite("peacock01", "white_front", "white_back"))
        vek::LogWarning(kSender, "Texture or area for people not found.\n");
    InitView();
    ReadPoints();
    blinkTimer.SetTarget(1.0f);
}

cIsland::~cIsland()
{
    while (!m_Buildings.empty()) delete m_Buildings.front();
    delete m_pWalkMap;
    m_pWalkMap = nullptr;
    delete m_pAnimations;
    m_pAnimations = nullptr;
    delete m_pPopups;
    m_pPopups = nullptr;
    if (g_pIsland == this) g_pIsland = nullptr;
}

void cIsland::SetMode(int mode)
{
    iMode = mode;
    if (mode != e_modeNone && vek::g_pGame && vek::g_pGame->pFocusWidget == this && g_pMiddle) {
        g_pMiddle->HideAllWindows();
        g_pMiddle->ShowGameWindow("score", 2);
        g_pMiddle->ShowGameWindow("island", 2);
    }
    if (mode == e_modeIsland) {
        if (vek::g_pGame && vek::g_pGame->pFocusWidget == this) {
            SendWindowMessage("score", 0, 0);
            SendWindowMessage("island", 0, 0);
        }
        hintTimer.Reset(0.0f);
        hintTimer.SetTarget(1.5f);
    }
}

void cIsland::AttachBuilding(cHouse* building) { m_Buildings.push_back(building); }

void cIsland::DetachBuilding(cBuild* building)
{
    for (auto it = m_Buildings.begin(); it != m_Buildings.end(); ++it)
        if (static_cast<cBuild*>(*it) == building) {
            m_Buildings.erase(it);
            break;
        }
    if (pSelected && static_cast<cBuild*>(pSelected) == building) pSelected = nullptr;
    if (pHovered && static_cast<cBuild*>(pHovered) == building) pHovered = nullptr;
}

void cIsland::BuildWalkMap()
{
    m_pWalkMap->ClearAreas();
    for (const cArea& area : vecAreas) m_pWalkMap->AddArea(area.polygon.data(), area.polygon.size());
    m_pWalkMap->SetLinkPoints(vecLinks);
}

void cIsland::ClearBuildings()
{
    while (!m_Buildings.empty()) delete m_Buildings.front();
    pSelected = nullptr;
    pHovered = nullptr;
    iPlacing = 0;
    if (g_pGarden && g_pGarden->m_pParticles) {
        g_pGarden->m_pParticles->poolC.Clear();
        g_pGarden->m_pParticles->poolD.Clear();
    }
    m_pWalkMap->ClearFollowers();
    // The tasks' panels were bound to factories that no longer exist.
    if (cPlayer* player = Player())
        for (cLevelTask& task : player->m_Tasks) {
            task.pFactory = nullptr;
            task.pInputFactory = nullptr;
        }
    if (hooks.buildingsCleared) hooks.buildingsCleared();
}

int cIsland::FindLevelSpot(const cBuild& building) const
{
    const vek::vec2 centre = building.GetCenter();
    float best = 10000.0f;
    int level = -1;
    for (size_t i = 0; i < vecLevelPoints.size(); ++i) {
        if (building.strName != GetLevelBuilding(static_cast<int>(i))) continue;
        const float d = vek::Distance(vecLevelPoints[i], centre);
        if (d < best) {
            best = d;
            level = static_cast<int>(i);
        }
    }
    return level;
}

cHouse* cIsland::GetLevelHouse(int level) const
{
    const vek::string name = GetLevelBuilding(level);
    if (name.empty()) return nullptr;
    for (cHouse* b : m_Buildings)
        if (b->strName == name && FindLevelSpot(*b) == level) return b;
    return nullptr;
}

void cIsland::UpdateHouses()
{
    const cPlayer* player = Player();
    const int progress = player ? player->m_iProgress : 0;
    const int current = player ? player->m_iLevel : -1;
    for (cHouse* b : m_Buildings) {
        const int level = FindLevelSpot(*b);
        if (level < 0) {
            vek::LogWarning(kSender, "UpdateHouses: unuseful house found - %s\n", b->strName);
            continue;
        }
        if (level < progress) {
            if (b->iState != cHouse::e_stateBuilt) b->SetState(cHouse::e_stateBuilt);
            b->bAvailable = 1;
        } else if (level == progress && iMode == e_modeLevel && current == progress) {
            if (b->iState != cHouse::e_stateNone) b->SetState(cHouse::e_stateNone);
            b->bAvailable = 1;
        } else {
            if (b->iState != cHouse::e_stateNone) b->SetState(cHouse::e_stateNone);
            b->bAvailable = 0;
        }
    }
}

void cIsland::AddPeople(int how, int count)
{
    if (how == 1) {
        std::vector<const cHouse*> built;
        if (count > 1)
            for (const cHouse* b : m_Buildings)
                if (b->iState == cHouse::e_stateBuilt) built.push_back(b);
        for (int i = 0; i < count; ++i) {
            vek::vec2 at = cWalkMap::kGatheringPoint;
            if (!built.empty())
                at = built[static_cast<size_t>(IslandRandomInt(0, static_cast<int32_t>(built.size()) - 1))]->GetCenter();
            m_pWalkMap->AddFollower(at);
        }
    } else if (how == 0) {
        for (int i = 0; i < count; ++i) {
            cWalker* w = m_pWalkMap->AddFollower(
                vek::vec2(cWalkMap::kLandingPoint.x, cWalkMap::kLandingPoint.y - 20.0f * static_cast<float>(i)));
            m_pWalkMap->PlanToGathering(*w);
        }
    }
}

int cIsland::CountPeople() const
{
    int people = 0;
    for (const cHouse* b : m_Buildings)
        if (b->GetValue() == cBuild::e_catHouse && b->iState != cHouse::e_stateNone) people += b->iIncrease;
    return people;
}

bool cIsland::IsHouseBuilt(const vek::string& name) const
{
    for (const cHouse* b : m_Buildings)
        if (b->strName == name && b->iState != cHouse::e_stateNone) return true;
    return false;
}

cHouse* cIsland::FindPlacedBuilding(const vek::string& name, int32_t value) const
{
    for (cHouse* b : m_Buildings)
        if (b->iIslandValue == value && b->strName == name) return b;
    return nullptr;
}

int cIsland::GetMaxIslandValue() const
{
    int highest = -1;
    for (const cHouse* b : m_Buildings)
        if (b->iIslandValue > highest) highest = b->iIslandValue;
    return highest;
}

cFactory* cIsland::FindFactoryByInput(int ware) const
{
    for (cHouse* b : m_Buildings)
        if (b->GetType() == cBuild::e_typeFactory && static_cast<cFactory*>(b)->iInputWare == ware)
            return static_cast<cFactory*>(b);
    return nullptr;
}

cFactory* cIsland::FindFactoryByOutput(int ware) const
{
    for (cHouse* b : m_Buildings)
        if (b->GetType() == cBuild::e_typeFactory && static_cast<cFactory*>(b)->iOutputWare == ware)
            return static_cast<cFactory*>(b);
    return nullptr;
}

uint32_t cIsland::FindAreaForRect(const vek::rectf& r) const
{
    for (size_t i = 0; i < vecAreas.size(); ++i) {
        const std::vector<vek::vec2>& p = vecAreas[i].polygon;
        if (vek::IsPointInPolygon(p, {r.x, r.y}) && vek::IsPointInPolygon(p, {r.x + r.w, r.y}) &&
            vek::IsPointInPolygon(p, {r.x + r.w, r.y + r.h}) && vek::IsPointInPolygon(p, {r.x, r.y + r.h}))
            return static_cast<uint32_t>(i);
    }
    return static_cast<uint32_t>(vecAreas.size());
}

bool cIsland::GetIslandRate(int* count, int* stars) const
{
    int n = 0;
    for (const cHouse* b : m_Buildings)
        if (b->iState == cHouse::e_stateBuilding || b->iState == cHouse::e_stateBuilt) ++n;
    if (count) *count = n;
    if (stars) *stars = n / 10 >= 4 ? 10 : n % 10;
    return n <= 40;
}

void cIsland::TickWorld()
{
    m_pWalkMap->UpdateFollowers(1.0f / 30.0f);
    m_pAnimations->Update(1.0f / 30.0f);
    for (cHouse* b : m_Buildings) b->Tick();
}
