#pragma once
// The values of the game object that a profile reads and writes: the number
// of the next fresh profile folder, the tutorial switch, the first rule-of-play
// counter, the level-transition state, the level field and the balance record.
// One record exists per process.
#include <cstdint>

#include "game/world/balance.h"

class cLevel;

struct cProfileHost {
    int32_t iPlayerCounter = 0;  // the number of the next fresh profile folder
    int32_t iTraining = 1;       // tutorial hints on
    int32_t iRuleCounter = 0;    // the first of the game world's counters
    int32_t iFlowState = 0;      // cGarden::ePlayMode; non-zero while a level transition runs
    cLevel* pLevel = nullptr;    // the level field while it exists; not owned
    cGameBalance balance;
};

cProfileHost& GetProfileHost();
