#include "game/world/rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/graphics/curve.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/shell/window_message.h"
#include "game/world/building.h"
#include "game/world/game_sound.h"
#include "game/world/hints.h"
#include "game/world/island.h"
#include "game/world/level_defs.h"
#include "game/world/ware.h"
#include "game/objects/object.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/screens/controls.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/particles.h"

namespace {

constexpr const char* kSender = "cGarden";

// The highest unlockable animal kind.
constexpr int32_t kLastAnimal = e_animalPeacock;

size_t DefinitionCount(const cPlayer& player) { return player.m_TaskSet.vecTasks.size(); }

// The next-task index as an index; a negative one (never valid) as past
// the end, so nothing joins from it.
size_t NextTaskIndex(const cPlayer& player)
{
    return player.m_iLevelValue < 0 ? std::numeric_limits<size_t>::max()
                                    : static_cast<size_t>(player.m_iLevelValue);
}

// Whether the island has its institute, which makes levels offer upgrades.
bool InstituteBuilt()
{
    const cIsland* island = GetIsland();
    return island && island->IsHouseBuilt("institute00");
}

int32_t ClampMoney(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

// A sort or an animal was unlocked: its sound, and the garden's toolbars
// offer it.
void AnnounceUnlock(cGarden& game)
{
    game.PlayGameSound(e_sndNewSort);
    game.SendWindowMessage("garden", e_refreshToolbars, 0);
}

} // namespace

int32_t SaturatingAdd(int32_t a, int32_t b)
{
    const int64_t sum = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

bool AdvanceLevelClock(cPlayer& player, float step)
{
    bool runs = !player.m_Tasks.empty();
    if (!runs) {
        // Waiting for a later task's time: without the clock it never comes.
        const size_t next = NextTaskIndex(player);
        runs = next < DefinitionCount(player) && player.m_TaskSet.vecTasks[next].fTime > player.m_fClock;
    }
    if (runs) player.m_fClock += step;
    return runs;
}

bool JoinNextTask(cPlayer& player)
{
    const size_t next = NextTaskIndex(player);
    if (next >= DefinitionCount(player) || player.m_Tasks.size() >= kMaxActiveTasks) return false;
    const cLevelTask& task = player.m_TaskSet.vecTasks[next];
    if (task.fTime != 0.0f && task.fTime > player.m_fClock) return false;
    cLevelTask joined = task;
    joined.pLine = nullptr;
    joined.pFactory = nullptr;
    joined.pInputFactory = nullptr;
    player.m_Tasks.push_back(joined);
    ++player.m_iLevelValue;
    return true;
}

bool AllTasksJoinedAndDone(const cPlayer& player)
{
    return player.m_Tasks.empty() && player.m_iLevelValue >= 0 &&
           static_cast<size_t>(player.m_iLevelValue) >= DefinitionCount(player);
}

int RecordFinishedLevel(cPlayer& player)
{
    const int medal = LevelMedal(player.m_fClock, player.m_TaskSet.fTimeLimit);
    if (player.m_iLevel >= 0) StoreLevelTime(player.m_Times, player.m_iLevel, player.m_fClock);
    return medal;
}

std::vector<cLevelTask*> CountDownWare(std::vector<cLevelTask>& tasks, int32_t ware)
{
    std::vector<cLevelTask*> changed;
    if (ware == NO_WARE) return changed;
    for (cLevelTask& task : tasks)
        if (task.iWare == ware) {
            task.iAmount = SaturatingAdd(task.iAmount, -1);
            changed.push_back(&task);
        }
    return changed;
}

std::vector<cLevelTask*> CountDownKind(std::vector<cLevelTask>& tasks, int32_t kind)
{
    std::vector<cLevelTask*> changed;
    if (kind < 0 || kind >= kAnimalKinds) return changed;
    for (cLevelTask& task : tasks)
        if (task.iKind == kind) {
            task.iAmount = SaturatingAdd(task.iAmount, -1);
            if (task.iAmount <= 0) task.iKind = -1;
            changed.push_back(&task);
        }
    return changed;
}

cLevelTask* FindTaskForWare(std::vector<cLevelTask>& tasks, int32_t ware, const cFactoryByInput& factoryOf)
{
    if (ware == NO_WARE) return nullptr;
    if (cLevelTask* task = FindTaskByWare(tasks, ware)) return task;
    if (!g_pWareManager || !factoryOf) return nullptr;
    if (g_pWareManager->GetWare(static_cast<uint32_t>(ware))->GetType() != 0x80000001u) return nullptr;
    const cFactory* first = factoryOf(ware);
    if (!first) return nullptr;
    if (cLevelTask* task = FindTaskByWare(tasks, first->iOutputWare)) return task;
    const cFactory* second = factoryOf(first->iOutputWare);
    if (!second) return nullptr;
    return FindTaskByWare(tasks, second->iOutputWare);
}

std::vector<int> UpgradeOffers(const cUpgrades& upgrades)
{
    std::vector<std::pair<int, int>> open;  // price, index
    for (int i = 0; i < cUpgrades::kCount; ++i)
        if (upgrades.CanUpgrade(i)) open.emplace_back(upgrades.GetPrice(i), i);
    std::stable_sort(open.begin(), open.end(),
                     [](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.first < b.first; });
    std::vector<int> offers;
    for (size_t i = 0; i < open.size() && i < 3; ++i) offers.push_back(open[i].second);
    return offers;
}

bool RateCount(int n, int per, int* textIndex, int* stars)
{
    if (n < 0) n = 0;
    if (per < 1) per = 1;
    const int step = n / per;
    if (textIndex) *textIndex = std::min(step, 4);
    if (stars) *stars = step >= 4 ? per : n % per;
    return n <= 4 * per;
}

void MakeZigzagPath(vek::curve_CatmullRomSpline<vek::vec2>& path, const vek::vec2& from, const vek::vec2& to,
                    int count, float amplitude, float duration)
{
    path.Clear();
    path.AddPoint(from, 0.0f);
    const vek::vec2 d = to - from;
    const float length = d.Length();
    // From and to in one point: no direction to zigzag across.
    if (length >= 1.1920929e-7f && count > 0) {
        const vek::vec2 u = d * (1.0f / length);
        // The direction turned a quarter left.
        const vek::vec2 offset = vek::vec2(-u.y, u.x) * amplitude;
        for (int i = 0; i < count; ++i) {
            const float s = static_cast<float>(i) + 0.5f;
            const float side = (i % 2 == 0) ? 1.0f : -1.0f;
            const vek::vec2 point = from + u * (length * s / static_cast<float>(count)) + offset * side;
            path.AddPoint(point, s * duration / static_cast<float>(count));
        }
    }
    path.AddPoint(to, duration);
}

cShip MakeShip(int people)
{
    cShip ship;
    ship.iPeople = people;
    ship.fSpeed = people > 0 ? 0.15f : 0.018f;
    return ship;
}

vek::vec2 ShipPosition(const cShip& ship) { return vek::vec2(ship.fProgress * 630.0f + 150.0f, 701.0f); }

cShipEvents StepShips(std::vector<cShip>& ships, std::vector<size_t>* removed)
{
    cShipEvents events;
    for (cShip& ship : ships) {
        const float before = ship.fProgress;
        ship.fProgress += ship.fSpeed * kRuleStep;
        if (ship.iPeople <= 0) continue;
        if (before < 0.25f && ship.fProgress >= 0.25f) ++events.iBeeps;
        if (ship.fProgress > 1.0f) events.iPeople = SaturatingAdd(events.iPeople, ship.iPeople);
    }
    size_t kept = 0;
    for (size_t i = 0; i < ships.size(); ++i) {
        const float progress = ships[i].fProgress;
        // A NaN progress (never from this code) would sail for ever.
        if (!(progress >= 0.0f && progress <= 1.0f)) {
            if (removed) removed->push_back(i);
            continue;
        }
        ships[kept++] = ships[i];
    }
    ships.resize(kept);
    return events;
}

bool StepShipClock(float& clock, int level)
{
    if (level <= 0) return false;
    clock += kRuleStep;
    if (clock < 50.0f) return false;
    clock = 0.0f;
    return true;
}

int CheckProfileValues(cPlayer& player)
{
    int fixes = 0;
    auto clampInt = [&](int32_t& value, int32_t lo, int32_t hi, const char* what) {
        if (value >= lo && value <= hi) return;
        const int32_t fixed = std::clamp(value, lo, hi);
        vek::LogWarning(kSender, "Profile: %s out of range, now %i\n", what, fixed);
        value = fixed;
        ++fixes;
    };
    auto capList = [&](auto& list, size_t most, const char* what) {
        if (list.size() <= most) return;
        vek::LogWarning(kSender, "Profile: %s list cut to %i entries\n", what, static_cast<int>(most));
        list.resize(most);
        ++fixes;
    };
    clampInt(player.m_iProgress, 0, kLevelCount, "progress");
    clampInt(player.m_iContinueLevel, -1, kLevelCount - 1, "saved level");
    // Only a negative layout index is never valid: one past the layouts
    // read now is held where it is used, so that a layout file that is
    // missing or cut for a while never takes the player's beds away.
    clampInt(player.m_iPlayerValue, 0, std::numeric_limits<int32_t>::max(), "bed layout");
    clampInt(player.m_iSorts, 0, kLastSort, "sort index");
    clampInt(player.m_iAnimals, -1, kLastAnimal, "animal level");
    clampInt(player.m_iMoney, 0, std::numeric_limits<int32_t>::max(), "money");
    clampInt(player.m_iIslandMoney, 0, std::numeric_limits<int32_t>::max(), "island funds");
    clampInt(player.m_iLevelValue, 0, std::numeric_limits<int32_t>::max(), "next task");
    // A medal is won for a level below the progress, or for the newest one
    // while its result sequence waits: one beyond that was never won.
    capList(player.m_Results, static_cast<size_t>(std::min(player.m_iProgress + 1, kLevelCount)), "medal");
    capList(player.m_Times, kLevelCount, "time");
    capList(player.m_Values, kWareCount, "ware counter");
    capList(player.m_AnimalCounts, kAnimalKinds, "animal counter");
    if (!std::isfinite(player.m_fClock) || player.m_fClock < 0.0f) {
        vek::LogWarning(kSender, "Profile: level clock out of range, now 0\n");
        player.m_fClock = 0.0f;
        ++fixes;
    }
    return fixes;
}

cEarnedAwards EarnedAwards(int count)
{
    cEarnedAwards earned;
    for (int level = 0; level < std::min(count, kLevelCount); ++level) {
        const cLevelDef& def = GetLevelDef(level);
        if (def.Has(cLevelDef::e_NewSort)) earned.iSorts = std::min(earned.iSorts + 1, kLastSort);
        if (def.Has(cLevelDef::e_MoreBeds)) ++earned.iBeds;
        if (def.Has(cLevelDef::e_NewAnimal)) earned.iAnimals = std::min(earned.iAnimals + 1, kLastAnimal);
    }
    return earned;
}

// ---- the game object's rules ----

bool cGarden::SetupLevel(int level)
{
    SendWindowMessage("garden", e_refreshPanels, kSnapPanels);
    for (int32_t& award : m_aiCounters) award = 0;
    cPlayer* player = GetPlayer();
    if (!player) return true;
    ResetLevelTasks(player->m_TaskSet);
    player->m_iLevel = level >= 0 ? level : player->m_iContinueLevel;
    m_bFreeRange = 0;

    const cLevelDef& def = GetLevelDef(player->m_iLevel);
    ApplyLevelDef(player->m_iLevel, player->m_TaskSet);
    m_aiCounters[e_AwardSort] = def.Has(cLevelDef::e_NewSort) ? 1 : 0;
    m_aiCounters[e_AwardBeds] = def.Has(cLevelDef::e_MoreBeds) ? 1 : 0;
    m_aiCounters[e_AwardAnimal] = def.Has(cLevelDef::e_NewAnimal) ? 1 : 0;
    m_bFreeRange = def.Has(cLevelDef::e_FreeRange) ? 1 : 0;
    // The building hint belongs to the newest level only; a continued game
    // names none.
    if (player->m_iLevel == player->m_iProgress) player->m_TaskSet.strName = GetLevelBuilding(level);
    m_aiCounters[e_AwardUpgrade] = LevelOffersUpgrade(def, InstituteBuilt()) ? 1 : 0;

    if (level >= 0) {
        player->m_Tasks.clear();
        player->m_iLevelValue = 0;
        player->m_fClock = 0.0f;
        SetMoney(def.iMoney);
        // Once the water lesson is behind the player, every level starts
        // with a full can.
        if (IsWaterEventSet() && IsEventSeen(e_lessonWater) && m_pLevel) {
            if (auto* can = dynamic_cast<cToolWater*>(m_pLevel->FindObject(cell(), OBJ_TOOL_WATER)))
                can->SetWater(can->GetCapacity());
        }
    } else {
        // The saved index counts tasks of this definition; a damaged one
        // would otherwise point past them.
        // Clamped to the first task, never to the last: an index past the
        // end would count every task as done and win the level at once.
        const size_t count = player->m_TaskSet.vecTasks.size();
        if (player->m_iLevelValue < 0 || static_cast<size_t>(player->m_iLevelValue) > count) {
            vek::LogWarning(kSender, "SetupLevel: next task %i of %i, now 0\n", player->m_iLevelValue,
                            static_cast<int>(count));
            player->m_iLevelValue = 0;
        }
        return true;
    }
    ShowGameWindow("mission_start", 2);
    return true;
}

int cGarden::GetMedal() const
{
    const cPlayer* player = GetPlayer();
    return player ? LevelMedal(player->m_fClock, player->m_TaskSet.fTimeLimit) : 0;
}

float cGarden::GetMedalProgress() const
{
    const cPlayer* player = GetPlayer();
    return player ? LevelMedalProgress(player->m_fClock, player->m_TaskSet.fTimeLimit) : 0.0f;
}

bool cGarden::GetMedalSprite(int medal, cSprite* record)
{
    const char* area = medal == 1 ? "silver" : medal == 2 ? "bronze" : "gold";
    return GetSprite("houses05", record, area);
}

void cGarden::SetMoney(int value)
{
    cPlayer* player = GetPlayer();
    if (!player) return;
    player->m_iMoney = std::max(value, 0);
    // What the money buys changes with it.
    if (m_pLevel) m_pLevel->UpdateToolbars();
}

void cGarden::SpendMoney(int amount)
{
    cPlayer* player = GetPlayer();
    if (!player || player->m_iMoney < amount) return;
    player->m_iMoney = ClampMoney(static_cast<int64_t>(player->m_iMoney) - amount);
    if (m_pLevel) m_pLevel->UpdateToolbars();
}

void cGarden::SpendIslandMoney(int amount)
{
    cPlayer* player = GetPlayer();
    if (!player || player->m_iIslandMoney < amount) return;
    player->m_iIslandMoney = ClampMoney(static_cast<int64_t>(player->m_iIslandMoney) - amount);
}

bool cGarden::UnlockNextSort()
{
    cPlayer* player = GetPlayer();
    if (!player || !g_pWareManager || player->m_iSorts < 0 || player->m_iSorts >= kLastSort) return false;
    const cSort* next = g_pWareManager->GetSort(static_cast<uint32_t>(player->m_iSorts + 1));
    if (next == g_pWareManager->DefaultSort()) return false;
    ++player->m_iSorts;
    AnnounceUnlock(*this);
    return true;
}

bool cGarden::UnlockNextAnimal()
{
    cPlayer* player = GetPlayer();
    if (!player || player->m_iAnimals + 1 > kLastAnimal) return false;
    ++player->m_iAnimals;
    AnnounceUnlock(*this);
    return true;
}

bool cGarden::ExpandGarden()
{
    cPlayer* player = GetPlayer();
    const int64_t layouts = static_cast<int64_t>(m_BedLayouts.size());
    if (!player || player->m_iPlayerValue < 0 || player->m_iPlayerValue >= layouts - 1) return false;
    ++player->m_iPlayerValue;
    return true;
}

std::vector<int> cGarden::GetUpgradeOffers() const
{
    const cPlayer* player = GetPlayer();
    return player ? UpgradeOffers(player->m_Upgrades) : std::vector<int>();
}

bool cGarden::GetRate(vek::string* text, int* stars) const
{
    const cPlayer* player = GetPlayer();
    const int golds = player ? static_cast<int>(std::count(player->m_Results.begin(), player->m_Results.end(), 0)) : 0;
    int index = 0;
    const bool within = RateCount(golds, 5, &index, stars);
    if (text) {
        const cLocaleGD& t = GetLocaleGD();
        const vek::string* texts[] = {&t.Rate0, &t.Rate1, &t.Rate2, &t.Rate3, &t.Rate4};
        *text = *texts[index];
    }
    return within;
}

bool cGarden::GetIslandRate(vek::string* text, int* stars) const
{
    int built = 0;
    if (m_pIsland) m_pIsland->GetIslandRate(&built, nullptr);
    int index = 0;
    const bool within = RateCount(built, 10, &index, stars);
    if (text) {
        const cLocaleGD& t = GetLocaleGD();
        const vek::string* texts[] = {&t.IslandRate0, &t.IslandRate1, &t.IslandRate2, &t.IslandRate3, &t.IslandRate4};
        *text = *texts[index];
    }
    return within;
}

void cGarden::CountTaskKind(int kind)
{
    cPlayer* player = GetPlayer();
    if (!player) return;
    for (cLevelTask* task : CountDownKind(player->m_Tasks, kind)) UpdateTaskControl(*task);
}

void cGarden::CountWare(int ware)
{
    cPlayer* player = GetPlayer();
    if (!player || ware < 0 || ware >= kWareCount) return;
    if (player->m_Values.size() <= static_cast<size_t>(ware)) player->m_Values.resize(static_cast<size_t>(ware) + 1, 0);
    int32_t& count = player->m_Values[static_cast<size_t>(ware)];
    count = SaturatingAdd(count, 1);
}

void cGarden::CountAnimal(int kind)
{
    cPlayer* player = GetPlayer();
    if (!player || kind < 0 || kind >= kAnimalKinds) return;
    if (player->m_AnimalCounts.size() <= static_cast<size_t>(kind))
        player->m_AnimalCounts.resize(static_cast<size_t>(kind) + 1, 0);
    int32_t& count = player->m_AnimalCounts[static_cast<size_t>(kind)];
    count = SaturatingAdd(count, 1);
}

bool cGarden::AdvanceProgress()
{
    cPlayer* player = GetPlayer();
    if (!player) return false;
    if (player->m_iProgress >= kLevelCount) {
        vek::LogWarning(kSender, "AdvanceProgress: every level is reached\n");
        return false;
    }
    ++player->m_iProgress;
    // The snapshot the new level starts from is taken whether or not a
    // gardener is on the field; only he gets his tool back after it.
    const bool gardener = m_pLevel && m_pLevel->HasObject(m_pLevel->m_uGardenerId);
    const uint32_t tool = gardener && fnCarriedTool ? fnCarriedTool() : 0;
    const bool saved = player->SaveGame(player->m_iProgress);
    if (gardener && fnGiveTool) fnGiveTool(tool);
    player->m_iContinueLevel = -1;
    return saved;
}

bool cGarden::CanScrollIsland() const
{
    const int mode = m_pIsland ? m_pIsland->iMode : cIsland::e_modeNone;
    if (mode == cIsland::e_modeIsland) {
        const cPlayer* player = GetPlayer();
        const int progress = player ? player->m_iProgress : 0;
        return progress > 6 && (m_iShownHint == -1 || m_iShownHint == e_hintStartLevel);
    }
    return mode != cIsland::e_modeLevel;
}

bool cGarden::IsLevelContext() const
{
    const cPlayer* player = GetPlayer();
    if (player && player->m_iProgress > 0) return true;
    return m_pIsland && m_pIsland->iMode == cIsland::e_modeLevel;
}

// ---- the task panel ----

bool IsWareNeeded(std::vector<cLevelTask>& tasks, int32_t ware)
{
    const cLevelTask* task = FindTaskByWare(tasks, ware);
    return task && task->iAmount > 0;
}

// ---- the level in play ----

namespace {

// A timer of the rules: counts seconds up to the target.
void StartTimer(vek::mover<float>& timer, float seconds)
{
    timer.m_fSpeed = 1.0f;
    timer.Reset(0.0f);
    timer.SetTarget(seconds);
}

bool TimerEnds(vek::mover<float>& timer) { return timer.Update(kRuleStep) == vek::mover<float>::e_Arrived; }

cLevel* Field(const cGarden& game) { return game.m_pLevel; }

cFactory* FactoryOf(int32_t ware)
{
    const cIsland* island = GetIsland();
    return island && ware != NO_WARE ? island->FindFactoryByInput(ware) : nullptr;
}

bool IsSort(int32_t ware)
{
    if (!g_pWareManager || ware < 0 || ware >= kWareCount) return false;
    const cWare* w = g_pWareManager->GetWare(static_cast<uint32_t>(ware));
    return w && w->GetType() == WARE_SORT;
}

} // namespace

bool cGarden::IsWaterEventSet() const { return GetProfileHost().iRuleCounter != 0; }

bool cGarden::StartLevel(int level)
{
    // The number comes from a message box's command text.
    if (level < -1 || level >= kLevelCount) {
        vek::LogWarning(kSender, "StartLevel: no level %i\n", level);
        return false;
    }
    cPlayer* player = GetPlayer();
    if (!player) {
        vek::LogWarning(kSender, "StartLevel: no player\n");
        return false;
    }
    m_bTaskHint = 0;
    StartTimer(m_StartTimer, 1.0f);
    // A level started afresh gives up a win whose result sequence was left
    // unfinished (its building not bought): its medal goes with it.
    if (level >= 0 && player->m_iProgress >= 0 && player->m_Results.size() > static_cast<size_t>(player->m_iProgress)) {
        player->m_Results.resize(static_cast<size_t>(player->m_iProgress));
        // Its time goes too: the level map shows neither for a level not won.
        if (player->m_Times.size() > static_cast<size_t>(player->m_iProgress))
            player->m_Times.resize(static_cast<size_t>(player->m_iProgress));
    }
    const int continued = player->m_iContinueLevel;
    player->LoadGame(level);
    // A game in play found damaged now, or refused, is not continued: its
    // level starts again from its own save, never as a level without tasks.
    if (level == -1 && continued >= 0 && !player->HasGameToContinue()) return StartLevel(continued);
    // Every start comes from a message box's command.
    if (level >= 0) TellLoadNotice(level, true);
    // A level's own save found damaged or lost is written again from what
    // it was restored to: the loss is told once, and the level's next start
    // reads a whole save.
    if (level >= 0 && player->IsSetDamaged(level)) player->SaveGame(level);
    // Lines still shown from the last run (a restart, or a game continued
    // after leaving one) would never come free for this run's tasks, and
    // the level could not be won.
    ClearTaskPanel(player->m_Tasks);
    if (m_pIsland) m_pIsland->SetMode(cIsland::e_modeLevel);
    // A restart is already on the field: focusing it again only warns.
    if (vek::g_pGame && vek::g_pGame->GetFocusWidgetName() != "garden") vek::g_pGame->SetFocusWidget("garden");
    SetupLevel(level);
    RenewShips();
    SendWindowMessage("garden", e_refreshToolbars, 0);
    if (m_pLevel) m_pLevel->UpdateToolbars();
    return true;
}

void cGarden::UpdateSession()
{
    cPlayer* player = GetPlayer();
    if (!player) return;
    if (!player->m_TaskSet.bDone && !LevelWaitsForPlayer()) {
        AdvanceLevelClock(*player, kRuleStep);
        if (player->m_fClock >= 0.5f) UpdateTaskPanel(player->m_Tasks, m_bTaskHint != 0);
        if (TimerEnds(m_StartTimer)) m_bTaskHint = 1;
        if (JoinNextTask(*player) && m_pLevel) m_pLevel->UpdateNeeds(nullptr);
        if (AllTasksJoinedAndDone(*player) && AllTaskLinesHidden() && m_pLevel && m_pLevel->HasObject(m_pLevel->m_uCarId) &&
            m_pLevel->GetObject(m_pLevel->m_uCarId)->GetState() == cCar::e_csParked) {
            FinishLevel();
            // Saved as the level in play: continuing it plays its finish,
            // which "Play" goes on to without asking.
            player->m_iWinStep = cPlayer::e_winFinish;
            player->SaveGame(-1);
            player->m_TaskSet.bDone = 1;
            ShowGameWindow("mission_finish", 2);
        }
        if (TimerEnds(m_BedTimer) && fnShowNewHoles) fnShowNewHoles();
    }
    if (!IsWaterEventSet() && vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "garden") {
        const cSort* sort = g_pWareManager && player->m_iSorts >= 0
                                ? g_pWareManager->GetSort(static_cast<uint32_t>(player->m_iSorts))
                                : nullptr;
        const bool waters = sort && !sort->vecNeedIntervals.empty() && sort->vecNeedIntervals[0] > 0;
        if (!m_ReminderTimer.IsMoving() && waters) StartTimer(m_ReminderTimer, 5.0f);
        if (TimerEnds(m_ReminderTimer)) ShowWaterReminder();
    }
    if (player->m_Upgrades.GetLevel(cUpgrades::e_upBinVolume) > 0) ShowHint(0, e_hintBasketUp);
    if (TimerEnds(m_HintTimer) && m_iShownHint >= 0) {
        if (m_iShownHint == e_hintNewTask) {
            vek::cGUI* gui = vek::GetEngineGUI();
            if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
        }
        m_iShownHint = -1;
    }
    if (StepShipClock(m_fShipClock, player->m_iLevel)) AddShip(0);
}

void cGarden::FinishLevel()
{
    cPlayer* player = GetPlayer();
    if (cLevel* field = Field(*this)) {
        field->GetWareFlights().clear();
        if (field->GetPopups()) field->GetPopups()->Clear();
        if (fnEndGardenWork) fnEndGardenWork();
        for (cObject* object : field->GetObjects()) {
            const uint32_t type = object->GetType();
            if (type == OBJ_NONE) continue;
            if (object->IsType(OBJ_PLANT) || object->IsType(OBJ_ANIMAL) || object->IsType(OBJ_HIVE) ||
                object->IsType(OBJ_BEE) || object->IsType(OBJ_PRODUCT))
                object->SetState(cObject::e_stRemove);
        }
        field->FlushRemoved();
    }
    if (m_pIsland) {
        if (m_pIsland->GetPopups()) m_pIsland->GetPopups()->Clear();
        for (cHouse* building : m_pIsland->GetBuildings()) {
            if (building->GetType() != cBuild::e_typeFactory) continue;
            auto* factory = static_cast<cFactory*>(building);
            factory->StopProcessing();
            factory->processTimer.Reset(0.0f);
        }
    }
    if (m_pTextPopups) m_pTextPopups->Clear();
    if (!player) return;
    player->m_CarLoad.clear();
    m_iLastMedal = RecordFinishedLevel(*player);
    if (m_aiCounters[e_AwardBeds]) StartTimer(m_BedTimer, 1.0f);
}

const cSprite& cGarden::GetMedalSprite(int medal)
{
    if (!m_bMedalsLooked) {
        m_bMedalsLooked = true;
        GetSprite("houses05", &m_aMedalSprites[0], "gold");
        GetSprite("houses05", &m_aMedalSprites[1], "silver");
        GetSprite("houses05", &m_aMedalSprites[2], "bronze");
    }
    return m_aMedalSprites[medal == 1 ? 1 : medal == 2 ? 2 : 0];
}

// ---- stock and sales ----

void cGarden::CountTaskWare(int32_t ware)
{
    cPlayer* player = GetPlayer();
    if (!player) return;
    for (cLevelTask* task : CountDownWare(player->m_Tasks, ware)) UpdateTaskControl(*task);
}

cLevelTask* cGarden::FindTaskForWare(int32_t ware)
{
    cPlayer* player = GetPlayer();
    if (!player) return nullptr;
    return ::FindTaskForWare(player->m_Tasks, ware, [](int32_t input) -> const cFactory* { return FactoryOf(input); });
}

int cGarden::CountWareInChain(int32_t ware)
{
    if (!IsSort(ware)) return 0;
    const cFactory* first = FactoryOf(ware);
    if (!first) return 0;
    const auto inFlight = [this](int32_t w) { return m_pLevel ? m_pLevel->CountWaresInFlight(w) : 0; };
    int32_t count = SaturatingAdd(first->iUnits, inFlight(first->iOutputWare));
    if (const cFactory* second = FactoryOf(first->iOutputWare))
        count = SaturatingAdd(count, SaturatingAdd(second->iUnits, inFlight(second->iOutputWare)));
    return count;
}

bool cGarden::CheckCarLoad()
{
    cPlayer* player = GetPlayer();
    if (!player) return false;
    std::vector<int32_t>& load = player->m_CarLoad;
    std::vector<cLevelTask>& tasks = player->m_Tasks;
    for (size_t i = 0; i < load.size(); ++i) {
        const int32_t ware = load[i];
        const int64_t earlier = std::count(load.begin(), load.begin() + static_cast<std::ptrdiff_t>(i), ware);
        bool keep = false;
        if (cLevelTask* task = FindTaskByWare(tasks, ware)) {
            // An over-delivered task takes one back for each ware it does
            // not need; the ware may still serve a factory.
            if (task->iAmount >= 0) keep = true;
            else ++task->iAmount;
        }
        const cFactory* first = keep ? nullptr : FactoryOf(ware);
        if (first) {
            if (const cLevelTask* task = FindTaskByWare(tasks, first->iOutputWare))
                keep = earlier < static_cast<int64_t>(task->iAmount) - first->iUnits;
            const cFactory* second = keep ? nullptr : FactoryOf(first->iOutputWare);
            if (second)
                if (const cLevelTask* task = FindTaskByWare(tasks, second->iOutputWare))
                    keep = earlier < static_cast<int64_t>(task->iAmount) - CountWareInChain(ware);
        }
        if (keep) continue;
        load[i] = NO_WARE;
        if (m_pLevel) m_pLevel->AddWareFlight(ware, 0, nullptr, 1, nullptr);
    }
    load.erase(std::remove(load.begin(), load.end(), NO_WARE), load.end());
    return !load.empty();
}

int32_t cGarden::SellCarLoad()
{
    cPlayer* player = GetPlayer();
    if (!player) return 0;
    std::vector<cLevelTask>& tasks = player->m_Tasks;
    int32_t sum = 0;
    std::vector<cLevelTask*> sold;
    for (const int32_t ware : player->m_CarLoad) {
        if (cLevelTask* task = FindTaskByWare(tasks, ware)) {
            if (g_pWareManager && ware >= 0 && ware < kWareCount)
                sum = SaturatingAdd(sum, g_pWareManager->GetWare(static_cast<uint32_t>(ware))->iPrice);
            sold.push_back(task);
            continue;
        }
        cFactory* first = FactoryOf(ware);
        if (!first) continue;
        const cFactory* second = FactoryOf(first->iOutputWare);
        if (FindTaskByWare(tasks, first->iOutputWare) || (second && FindTaskByWare(tasks, second->iOutputWare)))
            first->AddInput();
    }
    for (cLevelTask* task : sold) {
        if (task->IsEmpty() || task->iAmount >= 1) continue;
        if (m_pLevel) m_pLevel->UpdateNeeds(task);
        task->iWare = NO_WARE;
    }
    player->m_CarLoad.clear();
    if (sum != 0) PlayGameSound(e_sndMarketSold);
    return sum;
}

// ---- ships ----

void cGarden::AddShip(int people)
{
    cShip ship = MakeShip(people);
    if (m_pParticles) {
        ship.wake = m_pParticles->EmitWake();
        const vek::vec2 at = ShipPosition(ship) + vek::vec2(13.7f, 23.5f);
        m_pParticles->MoveEmitter(ship.wake, vek::vec3(at.x, at.y, 0.0f));
    }
    m_Ships.push_back(ship);
    ShowHint(0, e_hintNewPeople);
}

void cGarden::ClearShips()
{
    for (cShip& ship : m_Ships)
        if (m_pParticles) m_pParticles->FinishEmitter(ship.wake);
    m_Ships.clear();
}

void cGarden::UpdateShips()
{
    std::vector<cEmitterHandle> wakes;
    wakes.reserve(m_Ships.size());
    for (const cShip& ship : m_Ships) wakes.push_back(ship.wake);
    std::vector<size_t> removed;
    const cShipEvents events = StepShips(m_Ships, &removed);
    for (int i = 0; i < events.iBeeps; ++i) PlayGameSound(e_sndShipBeep);
    if (m_pParticles) {
        for (const size_t i : removed) m_pParticles->FinishEmitter(wakes[i]);
        for (const cShip& ship : m_Ships) {
            const vek::vec2 at = ShipPosition(ship) + vek::vec2(13.7f, 23.5f);
            m_pParticles->MoveEmitter(ship.wake, vek::vec3(at.x, at.y, 0.0f));
        }
    }
    if (events.iPeople > 0 && m_pIsland) m_pIsland->AddPeople(0, events.iPeople);
}

void cGarden::RenewShips()
{
    if (!m_Ships.empty() || !m_pIsland) return;
    // The houses' room against the people walking about.
    const int capacity = m_pIsland->CountPeople();
    const int people = static_cast<int>(std::min<size_t>(m_pIsland->GetWalkMap().GetFollowerCount(), 0x7fffffff));
    if (capacity <= people) return;
    ClearShips();
    AddShip(capacity - people);
}

void cGarden::ShowWaterReminder()
{
    if (IsWaterEventSet()) return;
    GetProfileHost().iRuleCounter = 1;
    if (m_pLevel && m_pParticles) {
        for (const uint32_t type : {OBJ_TOOL_WATER, OBJ_PUMP}) {
            cObject* object = m_pLevel->FindObject(cell(), type);
            if (object && object != m_pLevel->GetNullObject())
                m_pParticles->EmitBurst(50, 15.0f, vek::vec3(object->GetRect().x + object->GetRect().w / 2.0f,
                                                             object->GetRect().y + object->GetRect().h / 2.0f,
                                                             0.0f));
        }
    }
    PlayGameSound(e_sndNewSort);
}

void cGarden::OnFactoryInput(int32_t inputWare)
{
    if (!IsSort(inputWare) || !m_pLevel) return;
    const cLevelTask* task = FindTaskForWare(inputWare);
    if (!task || IsNoWare(*task) || CountWareInChain(inputWare) < task->iAmount) return;
    cLevel& field = *m_pLevel;
    for (cObject* object : field.GetObjects()) {
        if (object->GetType() != OBJ_PLANT || field.ObjectWare(object) != inputWare) continue;
        if (field.RenewNeed(object, false) && m_pParticles) {
            const vek::rectf r = object->GetRect();
            m_pParticles->EmitBurst(20, 20.0f, vek::vec3(r.x + r.w / 2.0f, r.y + r.h / 2.0f, 0.0f));
        }
    }
}
