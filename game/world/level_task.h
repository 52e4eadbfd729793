#pragma once
// A level's goals: deliver so many of a ware, or buy so many animals of a
// kind. The profile keeps the level's task set and the list of active
// tasks; the active tasks are saved with the running game.
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"
#include "game/world/ware.h"

namespace vek {
class cBitStream;
}
class cTaskCtrl;
class cFactoryPanel;

struct cLevelTask {
    int32_t iKind = -1;          // -1 a ware task; 0 ostrich, 1 goat, 2 hive, 3 peacock
    int32_t iWare = NO_WARE;     // every animal task has none
    int32_t iAmount = 0;         // still wanted; below 0 when more was delivered
    cTaskCtrl* pLine = nullptr;  // the panel line showing it, not owned
    cFactoryPanel* pFactory = nullptr;       // not owned
    cFactoryPanel* pInputFactory = nullptr;  // not owned
    float fTime = 0.0f;          // level-clock seconds at which it becomes active; 0 at once

    // Neither a ware nor an animal task.
    bool IsEmpty() const { return iKind == -1 && iWare == NO_WARE; }
};

struct cLevelTaskSet {
    vek::string strName;       // the building the level makes available, or empty
    float fTimeLimit = 0.0f;   // seconds; 0 = no limit
    std::vector<cLevelTask> vecTasks;
    uint8_t bDone = 0;
};

// A task for the ware of that name (none when no ware has it); the names
// "ostrich", "goat", "hive" and "peacock" make animal tasks.
cLevelTask MakeLevelTask(const vek::string& name, int32_t amount, float time);
// Name empty, no limit, not done, no tasks.
void ResetLevelTasks(cLevelTaskSet& set);

// One task record: the ware's name (empty for none), kind, amount, and the
// appearance time, which saved games of version 0.7 or older lack.
void WriteLevelTask(vek::cBitStream& stream, const cLevelTask& task);
// Reads into a task (meant to be a blank one); a name that names no ware
// gives none, a kind that is no animal kind gives -1. False when the stream ended inside the record, the fields
// missing then reading as 0.
bool ReadLevelTask(vek::cBitStream& stream, cLevelTask& task, float version);

// A count, then that many task records. The reader replaces the list; a
// count larger than the rest of the stream could hold is cut to what it can
// hold, a negative one reads as 0. False when the records ran short.
void WriteLevelTasks(vek::cBitStream& stream, const std::vector<cLevelTask>& tasks);
bool ReadLevelTasks(vek::cBitStream& stream, std::vector<cLevelTask>& tasks, float version);

// The levels are numbered 0 to kLevelCount - 1.
constexpr int kLevelCount = 45;

// The medal of a finished level: 0 gold when the clock is within the time
// limit (or the level has none), 1 silver within 1.5 times it, 2 bronze.
int LevelMedal(float clock, float timeLimit);
// Stores the clock as the level's time, growing the list to reach it. A
// level number outside the levels (a damaged save) stores nothing and is
// logged, rather than growing the list without bound; false then.
bool StoreLevelTime(std::vector<float>& times, int level, float clock);
