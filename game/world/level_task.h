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
class cFactoryControl;
// The garden screen's factory panel, as the tasks hold it.
using cFactoryPanel = cFactoryControl;

struct cLevelTask {
    int32_t iKind = -1;          // -1 a ware task; 0 ostrich, 1 goat, 2 hive, 3 peacock
    int32_t iWare = NO_WARE;     // every animal task has none
    int32_t iAmount = 0;         // still wanted; below 0 when more was delivered
    cTaskCtrl* pLine = nullptr;  // the panel line showing it, not owned
    cFactoryPanel* pFactory = nullptr;       // not owned
    cFactoryPanel* pInputFactory = nullptr;  // not owned
    float fTime = 0.0f;          // level-clock seconds at which it becomes active; 0 at once

    // Neither a ware nor an animal task (the one rule, IsNoWare).
    bool IsEmpty() const { return IsNoWare(*this); }
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
// Appends MakeLevelTask (name, amount, time) to the set's tasks.
void AddLevelTask(int32_t amount, const vek::string& name, cLevelTaskSet& set, float time);
// Name empty, no limit, not done, no tasks.
void ResetLevelTasks(cLevelTaskSet& set);

// The first task of the list that is not empty and asks for that ware, or
// for animals of that kind; null when there is none.
cLevelTask* FindTaskByWare(std::vector<cLevelTask>& tasks, int32_t ware);
cLevelTask* FindTaskByKind(std::vector<cLevelTask>& tasks, int32_t kind);

// The task lines a level shows at once: the score panel's "task0" to
// "task3" and the mission goal's four lines.
constexpr int kTaskLines = 4;

// The task panel's line 0 to kTaskLines - 1 (the controls "task0" to "task3"
// of the window "score"); null for another index, or while the window or the line
// does not exist. Looked up on each call, so a rebuilt window never leaves a
// stale line behind.
cTaskCtrl* GetTaskControl(int index);
// Shows the task's amount on its line (0 for an over-delivered task) and
// checks the line once the amount is below 1; nothing without a line.
void UpdateTaskControl(const cLevelTask& task);
// One pass of the task panel over the active tasks
// (game/screens/task_panel.cpp): a task without a line takes the first
// hidden line and slides it in (asking for the task hint when taskHints is
// set), a task for a processed product takes hidden factory panels for its
// factory and that factory's input, and an emptied task whose line is
// fully shown bursts, slides its line and panels out and leaves the list.
void UpdateTaskPanel(std::vector<cLevelTask>& tasks, bool taskHints);
// Every one of the task lines that exists is hidden.
bool AllTaskLinesHidden();
// Takes every task line off the panel at once, unchecked, and lets go of
// the lines and factory panels the tasks hold (the next pass hands them
// out again).
void ClearTaskPanel(std::vector<cLevelTask>& tasks);

// One task record: the ware's name (empty for none), kind, amount, and the
// appearance time, which saved games of version 0.7 or older lack.
void WriteLevelTask(vek::cBitStream& stream, const cLevelTask& task);
// Reads into a task (meant to be a blank one); a name that names no ware
// gives none, a kind that is no animal kind gives -1. False when the stream ended inside the record, the fields
// missing then reading as 0.
bool ReadLevelTask(vek::cBitStream& stream, cLevelTask& task, float version);

// A count, then that many task records. The reader replaces the list; a
// count that is negative or larger than the rest of the stream could hold,
// or a record of no known kind, refuses the list (it stays empty, nothing
// after it is read, *refused is set, and *unknownKind is that kind, else
// -1). False when the list is damaged: refused or cut short.
void WriteLevelTasks(vek::cBitStream& stream, const std::vector<cLevelTask>& tasks);
bool ReadLevelTasks(vek::cBitStream& stream, std::vector<cLevelTask>& tasks, float version,
                    bool* refused = nullptr, int32_t* unknownKind = nullptr);

// The levels are numbered 0 to kLevelCount - 1.
constexpr int kLevelCount = 45;

// The medal for a level clock: 0 gold when the clock is at most the time
// limit (or the level has none), 1 silver while it is below 1.5 times the
// limit, 2 bronze from there on.
int LevelMedal(float clock, float timeLimit);
// How far the clock has run through the current medal's span: clock / limit
// toward gold, then (clock - limit) / (0.5 limit) toward silver; 0 once
// bronze is certain, and 0 for a level without a limit.
float LevelMedalProgress(float clock, float timeLimit);
// Stores the clock as the level's time, growing the list to reach it. A
// level number outside the levels (a damaged save) stores nothing and is
// logged, rather than growing the list without bound; false then.
bool StoreLevelTime(std::vector<float>& times, int level, float clock);
