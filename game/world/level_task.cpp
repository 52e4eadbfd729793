#include "game/world/level_task.h"

#include "engine/core/bitstream.h"
#include "engine/core/log.h"

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

bool ReadLevelTask(vek::cBitStream& stream, cLevelTask& task, float version)
{
    const size_t before = stream.BytesLeft();
    const vek::string name = stream.ReadString();
    task.iWare = WareOfName(name);
    task.iKind = stream.ReadInt();
    // Only the four animal kinds are meaningful; anything else from a
    // damaged file makes a plain ware task (or an empty one, dropped later).
    if (task.iKind < -1 || task.iKind > 3) task.iKind = -1;
    task.iAmount = stream.ReadInt();
    size_t needed = kFixedBytes + name.size();
    if (HasTime(version)) {
        task.fTime = stream.ReadFloat();
        needed += kTimeBytes;
    }
    return before >= needed;
}

void WriteLevelTasks(vek::cBitStream& stream, const std::vector<cLevelTask>& tasks)
{
    stream.WriteInt(static_cast<int32_t>(tasks.size()));
    for (const cLevelTask& task : tasks) WriteLevelTask(stream, task);
}

bool ReadLevelTasks(vek::cBitStream& stream, std::vector<cLevelTask>& tasks, float version)
{
    tasks.clear();
    bool whole = stream.BytesLeft() >= 4;
    const int32_t declared = stream.ReadInt();
    // Every record takes at least this much, so the rest of the stream
    // bounds the count: a damaged count never makes us loop or allocate
    // past what the file holds.
    const size_t recordBytes = kFixedBytes + (HasTime(version) ? kTimeBytes : 0);
    const size_t fits = stream.BytesLeft() / recordBytes;
    size_t count = declared < 0 ? 0 : static_cast<size_t>(declared);
    if (declared < 0 || count > fits) whole = false;
    if (count > fits) count = fits;
    tasks.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        cLevelTask task = MakeLevelTask(vek::string(), 0, 0.0f);
        if (!ReadLevelTask(stream, task, version)) whole = false;
        tasks.push_back(task);
    }
    return whole;
}

int LevelMedal(float clock, float timeLimit)
{
    if (timeLimit <= 0.0f || clock <= timeLimit) return 0;
    if (clock <= 1.5f * timeLimit) return 1;
    return 2;
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
