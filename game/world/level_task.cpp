#include "game/world/level_task.h"

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/screens/controls.h"

namespace {

// A record's size with an empty name: the name's length, kind, amount and
// (from version 0.7 on) the time.
constexpr size_t kFixedBytes = 2 + 4 + 4;
constexpr size_t kTimeBytes = 4;

bool HasTime(float version) { return version > 0.7f; }

int32_t WareOfName(const vek::string& name)
{
    if (name.empty() || !g_pWareManager) return NO_WARE;
    return g_pWareManager->FindWare(name);
}

} // namespace

cLevelTask MakeLevelTask(const vek::string& name, int32_t amount, float time)
{
    cLevelTask task;
    task.iWare = WareOfName(name);
    task.iAmount = amount;
    task.fTime = time;
    if (name == "ostrich") task.iKind = 0;
    else if (name == "goat") task.iKind = 1;
    else if (name == "hive") task.iKind = 2;
    else if (name == "peacock") task.iKind = 3;
    return task;
}

void AddLevelTask(int32_t amount, const vek::string& name, cLevelTaskSet& set, float time)
{
    set.vecTasks.push_back(MakeLevelTask(name, amount, time));
}

cLevelTask* FindTaskByWare(std::vector<cLevelTask>& tasks, int32_t ware)
{
    for (cLevelTask& task : tasks)
        if (!task.IsEmpty() && task.iWare == ware) return &task;
    return nullptr;
}

cLevelTask* FindTaskByKind(std::vector<cLevelTask>& tasks, int32_t kind)
{
    if (kind < 0 || kind > 3) return nullptr;
    for (cLevelTask& task : tasks)
        if (!task.IsEmpty() && task.iKind == kind) return &task;
    return nullptr;
}

cTaskCtrl* GetTaskControl(int index)
{
    if (index < 0 || index >= kTaskLines) return nullptr;
    vek::cGUI* gui = vek::GetEngineGUI();
    vek::cWindow* score = gui ? gui->GetWindow("score") : nullptr;
    if (!score) return nullptr;
    const int id = score->FindControl(vek::Formatted("task%i", index));
    if (id <= 0) return nullptr;
    // A script may have put another kind of control under the name.
    return dynamic_cast<cTaskCtrl*>(score->GetControl(static_cast<unsigned>(id)));
}

void UpdateTaskControl(const cLevelTask& task)
{
    if (!task.pLine) return;
    task.pLine->SetText(vek::Formatted("%i", task.iAmount < 0 ? 0 : task.iAmount));
    if (task.iAmount < 1 && !task.pLine->IsChecked()) task.pLine->SetCheck(true);
}

void ResetLevelTasks(cLevelTaskSet& set)
{
    set.strName.clear();
    set.fTimeLimit = 0.0f;
    set.bDone = 0;
    set.vecTasks.clear();
}

void WriteLevelTask(vek::cBitStream& stream, const cLevelTask& task)
{
    vek::string name;
    if (task.iWare != NO_WARE && g_pWareManager)
        name = g_pWareManager->GetWare(static_cast<uint32_t>(task.iWare))->strName;
    stream.WriteString(name);
    stream.WriteInt(task.iKind);
    stream.WriteInt(task.iAmount);
    stream.WriteFloat(task.fTime);
}

namespace {

// A ware task's kind or an animal's.
bool IsKnownKind(int32_t kind) { return kind >= -1 && kind <= 3; }

// One record; `savedKind` is the kind as the stream held it, the task's
// kind -1 when that is no known kind.
bool ReadTaskRecord(vek::cBitStream& stream, cLevelTask& task, float version, int32_t& savedKind)
{
    const size_t before = stream.BytesLeft();
    const vek::string name = stream.ReadString();
    task.iWare = WareOfName(name);
    savedKind = stream.ReadInt();
    task.iKind = IsKnownKind(savedKind) ? savedKind : -1;
    task.iAmount = stream.ReadInt();
    size_t needed = kFixedBytes + name.size();
    if (HasTime(version)) {
        task.fTime = stream.ReadFloat();
        needed += kTimeBytes;
    }
    return before >= needed;
}

} // namespace

bool ReadLevelTask(vek::cBitStream& stream, cLevelTask& task, float version)
{
    // Only the four animal kinds are meaningful; anything else from a
    // damaged file makes a plain ware task (or an empty one).
    int32_t savedKind = -1;
    return ReadTaskRecord(stream, task, version, savedKind);
}

void WriteLevelTasks(vek::cBitStream& stream, const std::vector<cLevelTask>& tasks)
{
    stream.WriteInt(static_cast<int32_t>(tasks.size()));
    for (const cLevelTask& task : tasks) WriteLevelTask(stream, task);
}

bool ReadLevelTasks(vek::cBitStream& stream, std::vector<cLevelTask>& tasks, float version, bool* refused,
                    int32_t* unknownKind)
{
    tasks.clear();
    if (refused) *refused = false;
    if (unknownKind) *unknownKind = -1;
    bool whole = stream.BytesLeft() >= 4;
    const int32_t declared = stream.ReadInt();
    // Every record takes at least this much, so the rest of the stream
    // bounds the count: a count it cannot hold refuses the list, so that
    // nothing after it is read as task records.
    const size_t recordBytes = kFixedBytes + (HasTime(version) ? kTimeBytes : 0);
    const size_t fits = stream.BytesLeft() / recordBytes;
    if (declared < 0 || static_cast<size_t>(declared) > fits) {
        if (refused) *refused = true;
        return false;
    }
    const size_t count = static_cast<size_t>(declared);
    tasks.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        cLevelTask task = MakeLevelTask(vek::string(), 0, 0.0f);
        int32_t savedKind = -1;
        if (!ReadTaskRecord(stream, task, version, savedKind)) {
            // A record cut short: what follows is not the file's.
            whole = false;
            break;
        }
        // No game writes a kind other than a ware task's or an animal's: the
        // list is damaged, like one whose count or name does not fit. Leaving
        // the task out instead could leave no task, a level won at once.
        if (!IsKnownKind(savedKind)) {
            if (unknownKind) *unknownKind = savedKind;
            tasks.clear();
            if (refused) *refused = true;
            return false;
        }
        tasks.push_back(task);
    }
    return whole;
}

namespace {
// Below this a limit counts as none.
constexpr float kNoLimit = 1.1920929e-7f;
} // namespace

int LevelMedal(float clock, float timeLimit)
{
    if (timeLimit < kNoLimit || clock <= timeLimit) return 0;
    if (clock < 1.5f * timeLimit) return 1;
    return 2;
}

float LevelMedalProgress(float clock, float timeLimit)
{
    if (timeLimit < kNoLimit) return 0.0f;
    if (clock < timeLimit) return clock / timeLimit;
    if (clock < 1.5f * timeLimit) return (clock - timeLimit) / (0.5f * timeLimit);
    return 0.0f;
}

bool StoreLevelTime(std::vector<float>& times, int level, float clock)
{
    if (level < 0 || level >= kLevelCount) {
        vek::LogWarning("StoreLevelTime", "no such level: %i\n", level);
        return false;
    }
    if (times.size() <= static_cast<size_t>(level)) times.resize(static_cast<size_t>(level) + 1, 0.0f);
    times[static_cast<size_t>(level)] = clock;
    return true;
}
