#pragma once
// The 45 levels, fixed in code: each level's gold time limit, the money it
// starts with, its tasks in order (a ware, an amount and the level-clock
// second at which the task appears), the awards finishing it grants, and
// whether animals range freely. Beside them, the island building each level
// makes available.
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"
#include "game/world/level_task.h"

struct cLevelDefTask {
    const char* szName;  // a ware of the catalogue
    int32_t iAmount;
    float fTime;         // seconds of level clock; 0 at once
};

struct cLevelDef {
    // Award and rule flags.
    enum eFlag : uint32_t {
        e_NewSort = 1u,    // the next plant sort is unlocked
        e_MoreBeds = 2u,   // the garden gets the next bed layout
        e_NewAnimal = 4u,  // the next animal is unlocked
        e_FreeRange = 8u,  // animals may use every cell of the field
    };

    float fTimeLimit = 0.0f;  // seconds; 0 = no limit
    int32_t iMoney = 0;
    std::vector<cLevelDefTask> vecTasks;
    uint32_t uFlags = 0;

    bool Has(eFlag flag) const { return (uFlags & flag) != 0; }
};

// The definition of a level; levels outside 0 to 44 get an empty one (no
// tasks, no limit, no money, no flags).
const cLevelDef& GetLevelDef(int level);

// Fills the task set from the level's definition: its time limit and its
// tasks, appended in order. The set is meant to have been reset.
void ApplyLevelDef(int level, cLevelTaskSet& set);

// Whether finishing a level offers an upgrade, given its flags and whether
// the island has its institute: with the institute every level does, except
// one whose only awards are a new sort and/or a new animal (more beds always
// come with an offer); without it none does.
bool LevelOffersUpgrade(const cLevelDef& def, bool instituteBuilt);

// The island building the level makes available ("house00", "market01"
// ...); empty for a number outside the levels.
vek::string GetLevelBuilding(int level);
// The game's hint text asking for that level's building; empty when the
// level has none.
vek::string GetLevelBuildingText(int level);
// The hint text for a building name; empty for an empty or unknown name.
vek::string GetBuildingHintText(const vek::string& building);
