// The screen hints: ten kinds of pointer hints shown in the window "hint",
// some once per profile (the profile's hint-state list), and the island
// services they lean on (the building and the level spot of a level, what a
// building would cost).
#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/graphics/curve.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/objects/object.h"
#include "game/objects/plant.h"
#include "game/screens/controls.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/hints.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_defs.h"
#include "game/world/level_task.h"
#include "game/world/rules.h"
#include "game/world/training.h"
#include "game/world/ware.h"

namespace {

constexpr float kHalfWidth = 512.0f;
constexpr float kHalfHeight = 384.0f;

cObject* FirstObject(const cLevel* level, uint32_t mask)
{
    if (!level) return nullptr;
    cObject* found = level->FindObject(cell(), mask);
    return found && found != level->GetNullObject() ? found : nullptr;
}

// A hint's text, where it points and how it sits there.
struct cPlacement {
    vek::string text;
    vek::vec2 point;
    int flags = 0;
};

} // namespace

bool cGarden::IsEventSeen(unsigned i) const
{
    const cPlayer* player = GetPlayer();
    return player && i < player->m_Events.size() && player->m_Events[i] != 0;
}

void cGarden::SetEventSeen11()
{
    cPlayer* player = GetPlayer();
    if (!player) return;
    const auto lessons = static_cast<size_t>(cTraining::kLessons);
    if (player->m_Events.size() < lessons) player->m_Events.resize(lessons, 0);
    player->m_Events[e_lessonPlantInstead] = 1;
}

int cGarden::FindLevelSpot(const cBuild* building) const
{
    return building && m_pIsland ? m_pIsland->FindLevelSpot(*building) : -1;
}

cHouse* cGarden::GetLevelHouse(int level) const { return m_pIsland ? m_pIsland->GetLevelHouse(level) : nullptr; }

int cGarden::GetHintCost(const cHouse* building) const
{
    if (!building) return 0;
    const cPlayer* player = GetPlayer();
    const int funds = player ? player->m_iIslandMoney : 0;
    const int price = building->iPrice;
    if (funds >= price) return price;
    return funds < 5 ? funds : funds - 5;
}

void cGarden::ShowHint(int index, unsigned kind)
{
    cPlayer* player = GetPlayer();
    if (!player || kind >= kHintKinds) return;
    if (GetFlowState() != e_playLevel || m_Training.IsActive()) return;
    if (player->m_Hints.size() < static_cast<size_t>(kHintKinds)) player->m_Hints.resize(kHintKinds, 0);
    int32_t& state = player->m_Hints[kind];
    if (state == e_hintDone) return;

    const cLocaleGD& texts = GetLocaleGD();
    const cIsland* island = m_pIsland;
    const vek::vec2 scroll = island ? vek::vec2(island->fScrollX, island->fScrollY) : vek::vec2(0.0f, 0.0f);
    cPlacement at;
    int modal = 0;
    bool shown = false;
    switch (kind) {
    case e_hintBasketUp:
        if (const cObject* bin = FirstObject(m_pLevel, OBJ_TOOL_BIN)) {
            const vek::rectf r = bin->GetRect();
            at = {texts.HintBinUp, vek::vec2(r.x + r.w, r.y + r.h), 12};
            modal = 1;
            shown = true;
        }
        break;
    case e_hintConstruct:
        if (cHouse* house = player ? GetLevelHouse(player->m_iLevel) : nullptr) {
            const int cost = GetHintCost(house);
            const vek::string own = GetLevelBuildingText(player->m_iLevel);
            if (own.empty() || house->GetState() == cHouse::e_stateBuilt) {
                switch (house->iCategory) {
                case cBuild::e_catHouse: at.text = vek::Formatted(texts.HintConstructHouse.c_str(), cost); break;
                case cBuild::e_catMarket: at.text = vek::Formatted(texts.HintConstructMarket.c_str(), cost); break;
                case cBuild::e_catFactory: {
                    vek::string ware;
                    if (house->GetType() == cBuild::e_typeFactory && g_pWareManager) {
                        const int32_t output = static_cast<const cFactory*>(house)->iOutputWare;
                        if (output != NO_WARE) ware = g_pWareManager->GetWare(static_cast<uint32_t>(output))->strTitle;
                    }
                    at.text = vek::Formatted(texts.HintConstructFactory.c_str(), cost, ware.c_str());
                    break;
                }
                default: break;
                }
            } else {
                at.text = vek::Formatted(own.c_str(), cost);
            }
            const vek::rectf r(house->rect.x - scroll.x, house->rect.y - scroll.y, house->rect.w, house->rect.h);
            const bool right = r.x > kHalfWidth;
            const int side = right ? 1 : 4;
            at.point = vek::vec2(right ? r.x : r.x + r.w, r.y);
            if (CanScrollIsland()) {
                at.flags = side + 32;
            } else if (r.y < kHalfHeight) {
                at.point = vek::vec2(r.x + r.w * (right ? 0.2f : 0.8f), r.y + r.h * 0.8f);
                at.flags = side + 8;
            } else {
                at.flags = side + 32;
            }
            shown = true;
        }
        break;
    case e_hintNewPeople:
        if (cShip* ship = GetTrainingWorld().GetFirstShip(); ship && island) {
            // While a level is played the ship sails past the garden, and
            // the island's route lies far off that screen: the modal hint
            // would be out of reach of the mouse.
            const bool garden = vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden";
            const vek::vec2 p = garden ? ShipPosition(*ship) + scroll : island->route.GetValue(ship->fProgress);
            at = {texts.HintNewPeople, vek::vec2(p.x + 20.0f - scroll.x, p.y - 5.0f - scroll.y), 36};
            // A new ship starts out at sea beyond the view: the hint points
            // from the edge of the screen, where its "OK" can be reached.
            const vek::vec2 wanted = at.point;
            at.point.x = std::min(std::max(at.point.x, 0.0f), kHalfWidth * 2.0f);
            at.point.y = std::min(std::max(at.point.y, 0.0f), kHalfHeight * 2.0f);
            if (at.point.x != wanted.x || at.point.y != wanted.y)
                at.flags = (at.point.x > kHalfWidth ? 1 : 4) + (at.point.y < kHalfHeight ? 8 : 32);
            modal = 1;
            ship->fSpeed *= 2.0f;
            shown = true;
        }
        break;
    case e_hintStartLevel: {
        const int progress = player->m_iProgress;
        if (!island || progress < 0 || static_cast<size_t>(progress) >= island->vecLevelPoints.size()) {
            // Nothing to point at, but the request is remembered.
            m_iShownHint = static_cast<int32_t>(kind);
            return;
        }
        const vek::vec2 p = island->vecLevelPoints[static_cast<size_t>(progress)] - scroll;
        const bool left = p.x <= kHalfWidth;
        const bool low = p.y <= kHalfHeight;
        at = {texts.HintStartLevel, vek::vec2(p.x + (left ? 15.0f : -15.0f), p.y + (low ? 10.0f : -10.0f)),
              (low ? 8 : 32) + (left ? 4 : 1)};
        shown = true;
        break;
    }
    case e_hintNewTask:
        if (index >= 0 && static_cast<size_t>(index) < player->m_Tasks.size()) {
            const cTaskCtrl* line = player->m_Tasks[static_cast<size_t>(index)].pLine;
            if (line) {
                const vek::rectf r = line->GetRect();
                const bool first = state == e_hintUnseen;
                at = {first ? texts.HintNewTask0 : texts.HintNewTask, vek::vec2(r.x, r.y), 33};
                if (first) state = e_hintFirstTaskSeen;
                GetTrainingWorld().StartHintTimer(first ? 6.0f : 4.0f);
                shown = true;
            }
        }
        break;
    case e_hintStatGarden:
    case e_hintStatIsland: {
        const char* name = kind == e_hintStatGarden ? "but_rate" : "but_island_rate";
        if (const vek::cCtrl* button = FindWindowControl("island", name)) {
            const vek::rectf r = button->GetRect();
            if (kind == e_hintStatGarden) at = {texts.HintStatGarden, vek::vec2(r.x, r.y), 33};
            else at = {texts.HintStatIsland, vek::vec2(r.x + r.w, r.y + r.h), 12};
            shown = true;
        }
        break;
    }
    case e_hintSilver:
    case e_hintBronze:
        if (const vek::cCtrl* medal = FindWindowControl("score", "clock_medal")) {
            const vek::rectf r = medal->GetRect();
            at = {kind == e_hintSilver ? texts.HintSilver : texts.HintBronze, vek::vec2(r.x, r.y), 33};
            modal = 1;
            shown = true;
        }
        break;
    case e_hintFlowersWater: {
        const int32_t flowers = g_pWareManager ? g_pWareManager->FindWare(kFlowersWare) : NO_WARE;
        const cTrainingWorld& world = GetTrainingWorld();
        if (!m_pLevel || flowers == NO_WARE) break;
        for (const cObject* object : m_pLevel->GetObjects()) {
            if (object->GetType() == OBJ_NONE || !object->IsType(OBJ_PLANT)) continue;
            if (world.GetPlantWare(*object) != flowers || world.GetPlantNeed(*object) != cPlant::e_NeedWater) continue;
            const vek::rectf r = object->GetRect();
            const bool edge = r.x >= 1024.0f;
            at = {texts.HintFlowersWater, vek::vec2(edge ? r.x : r.x + r.w, r.y + r.h), edge ? 9 : 12};
            shown = true;
            break;
        }
        break;
    }
    default:
        break;
    }
    if (!shown) return;

    m_iShownHint = static_cast<int32_t>(kind);
    if (m_pHint) m_pHint->SetHint(at.text, vek::rectf(0.0f, 0.0f, 0.0f, 0.0f), at.point, at.flags, modal);
    ShowGameWindow("hint", 2);
    if (kind != e_hintConstruct && kind != e_hintStartLevel && kind != e_hintNewTask) state = e_hintDone;
}

bool cGarden::LevelWaitsForPlayer() const
{
    if (m_Training.IsActive()) return true;
    const vek::cGUI* gui = vek::GetEngineGUI();
    return m_pHint && m_pHint->WaitsForClose() && gui && gui->IsWindowShown("hint");
}

void cGarden::HideHint(int kind)
{
    if (m_iShownHint == -1) return;
    if (kind == -1 || kind == m_iShownHint) {
        vek::cGUI* gui = vek::GetEngineGUI();
        if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
    }
    m_iShownHint = -1;
}
