#pragma once
// The rules of play that stand apart from the level field: the level clock
// and the joining of a level's tasks, counting deliveries down, the upgrade
// offers, the ratings, the flight-path builder, and the check of the profile
// values the world relies on after a profile or saved game was read. The
// game object's rule methods (cGarden::SetupLevel, the medal queries, money,
// awards) are built on these and defined in rules.cpp as well.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/geometry.h"
#include "game/world/level_task.h"
#include "game/world/particles.h"

namespace vek {
template <class T>
class curve_CatmullRomSpline;
}
class cFactory;
class cPlayer;
class cUpgrades;

// The length of one fixed step of the rules, in seconds.
constexpr float kRuleStep = 1.0f / 30.0f;
// At most this many tasks are active at once: the panel has four lines.
constexpr size_t kMaxActiveTasks = 4;

// The level's award flags in the game object's counters (cGarden::
// m_aiCounters), in this order: SetupLevel sets them, the finish screen
// hands the awards out.
enum eAward { e_AwardSort = 0, e_AwardBeds = 1, e_AwardUpgrade = 2, e_AwardAnimal = 3 };

// a + b, held at the int limits instead of wrapping.
int32_t SaturatingAdd(int32_t a, int32_t b);

// One step of the level clock. It runs while a task is active; while none
// is, it runs only as long as definition tasks still wait to join, so that
// a level whose active tasks were all done early still reaches the times of
// its later tasks. True when it ran.
bool AdvanceLevelClock(cPlayer& player, float step);
// Moves the next definition task into the active list when fewer than four
// are active and its time has come (0, or not above the level clock). At
// most one joins per call; true when one did.
bool JoinNextTask(cPlayer& player);
// No task is active and every definition task has joined.
bool AllTasksJoinedAndDone(const cPlayer& player);

// The medal of the level just finished (0 gold, 1 silver, 2 bronze) by the
// level clock and the time limit; the clock is kept as the level's time in
// the profile's time list when the current level is one of the levels.
int RecordFinishedLevel(cPlayer& player);

// A delivered ware: every active task for it loses one (it may go below 0).
// The tasks that changed are returned so their panel lines can be updated.
std::vector<cLevelTask*> CountDownWare(std::vector<cLevelTask>& tasks, int32_t ware);
// A bought animal of that kind: every active task for it loses one and is
// done (emptied) once nothing more is wanted.
std::vector<cLevelTask*> CountDownKind(std::vector<cLevelTask>& tasks, int32_t kind);

// The island factory that takes a ware as its input, or null.
using cFactoryByInput = std::function<const cFactory*(int32_t input)>;
// The active task a ware serves: the task for the ware itself; for a plant
// sort, else the task for what its factory makes, else the task for what
// the factory of that product makes in turn. The search stops at the first
// factory missing from the chain. Null when the ware serves no task.
cLevelTask* FindTaskForWare(std::vector<cLevelTask>& tasks, int32_t ware, const cFactoryByInput& factoryOf);

// Up to three upgrades the player may buy next: those below their highest
// level, cheapest first, the lower index first among equal prices.
std::vector<int> UpgradeOffers(const cUpgrades& upgrades);

// A rating of n achievements, `per` of them to a text step: the text index
// n / per (at most 4) and the stars n mod per, all `per` stars once the text
// index is 4. True while n is at most 4 x per.
bool RateCount(int n, int per, int* textIndex, int* stars);

// A zigzag flight path from `from` to `to`: the start key, `count` keys
// alternately offset `amplitude` to the left and right of the straight
// line, and the end key at `duration`. From and to in one point give just
// the two end keys.
void MakeZigzagPath(vek::curve_CatmullRomSpline<vek::vec2>& path, const vek::vec2& from, const vek::vec2& to,
                    int count, float amplitude, float duration);

// A ship sailing past the garden; one with people brings them to the
// island. Its wake is the owner's to keep beside it.
struct cShip {
    float fProgress = 0.0f;  // 0 at the left, 1 past the right
    float fSpeed = 0.0f;     // progress per second
    int32_t iPeople = 0;
    cEmitterHandle wake;     // none when the particle pool was full
};
// A ship at the start: fast with people aboard, slow without.
cShip MakeShip(int people);
// Where a ship is drawn on the garden screen.
vek::vec2 ShipPosition(const cShip& ship);
// What one step of the ships brought: horn blasts (a ship with people
// passing a quarter of its way) and people that reached the island.
struct cShipEvents {
    int iBeeps = 0;
    int32_t iPeople = 0;
};
// One fixed step of every ship; ships outside 0..1 afterwards are removed
// (their indices, before removal, are given to `removed` when not null).
cShipEvents StepShips(std::vector<cShip>& ships, std::vector<size_t>* removed = nullptr);
// The clock of the empty ships that pass on levels above 0: one every 50 s.
// True when one is due (the clock then starts again).
bool StepShipClock(float& clock, int level);

// Brings the profile's values into the ranges the world relies on (levels,
// unlock indices, money, list sizes, the level clock), logging each
// correction. The next-task index is bounded by SetupLevel, once the
// definition tasks it counts are built; the bed-layout index only where it
// is used (the layouts read may lack it for a while). Returns the number of
// corrections.
int CheckProfileValues(cPlayer& player);

// What finishing levels 0 to count - 1 grants a profile: the sort index,
// the bed layout and the animal level rise from a new profile's 0, 0 and -1
// once for each level with that award (held at the last sort and animal).
// A saved value above these was never earned.
struct cEarnedAwards {
    int32_t iSorts = 0;
    int32_t iBeds = 0;
    int32_t iAnimals = -1;
};
cEarnedAwards EarnedAwards(int count);

// The most money or island funds a game can hold. A level pays only for
// the wares its tasks still ask for (a few dozen, none dearer than 70),
// besides its start money and the time bonus; the funds gather 45 levels
// of that, well under a million in all. A saved sum above this bound was
// never earned.
constexpr int32_t kMostMoney = 10000000;


// Whether a ware is still wanted: an active task for it still counts above
// 0.
bool IsWareNeeded(std::vector<cLevelTask>& tasks, int32_t ware);
