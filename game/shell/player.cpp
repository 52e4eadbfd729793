#include "game/shell/player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <type_traits>

#include <lua.h>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/format.h"
#include "engine/core/locale.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/profile_host.h"
#include "game/world/balance.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_defs.h"
#include "game/world/rules.h"
#include "game/world/ware.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace {

constexpr const char* kSender = "cPlayer";
constexpr float kVersion = 0.9f;

// Price of the next level by upgrade index and current level; 0 at the top.
constexpr int kPrices[cUpgrades::kCount][3] = {
    {200, 600, 1000}, {300, 500, 800}, {100, 700, 0},
    {250, 400, 600},  {150, 400, 600}, {350, 500, 900},
};

int MaxLevel(int index) { return index == cUpgrades::e_upBinVolume ? 2 : 3; }

// The longest name the name field takes, as the window scripts set it
// (gui.name_length); 0 when they give none. The field counts bytes: a name
// holds one byte a character (the login name comes converted to the 8-bit
// code page). Read without metamethods, so nothing the scripts did can
// raise an error here.
int NameFieldLength()
{
    lua_State* L = vek::g_pScript ? vek::g_pScript->GetState() : nullptr;
    if (!L) return 0;
    const int top = lua_gettop(L);
    int length = 0;
    lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
    lua_pushliteral(L, "gui");
    lua_rawget(L, -2);
    if (lua_istable(L, -1)) {
        lua_pushliteral(L, "name_length");
        lua_rawget(L, -2);
        if (lua_type(L, -1) == LUA_TNUMBER) {
            const lua_Number most = lua_tonumber(L, -1);
            if (most >= 1 && most <= std::numeric_limits<int>::max()) length = static_cast<int>(most);
        }
    }
    lua_settop(L, top);
    return length;
}

// The most any level's definition asks of one task. The level a saved game
// continues is not checked against its own definition: "player.dat" is
// written at exit, so after a lost run it may name an earlier level.
int32_t LargestTaskAmount()
{
    static const int32_t largest = [] {
        int32_t most = 0;
        for (int level = 0; level < kLevelCount; ++level)
            for (const cLevelDefTask& task : GetLevelDef(level).vecTasks) most = std::max(most, task.iAmount);
        return most;
    }();
    return largest;
}

// The layouts this game reads: 0.6 (no value lists, no tutorial switch),
// 0.7 and 0.8 (task times from above 0.7), 0.9. Any other value (0, NaN,
// a later version) says the file is not one this game can read.
bool IsKnownVersion(float version) { return version >= 0.6f - 1e-4f && version <= 0.9f + 1e-4f; }

// Reads the values of a saved file and notices when the file holds fewer
// bytes than its own counts and fields need. A count that cannot fit the
// bytes left refuses the rest of the record: nothing more is read, and the
// loader gives the whole record its defaults.
class cReader {
public:
    explicit cReader(vek::cBitStream& stream) : m_Stream(stream) {}

    void Int(int32_t& value)
    {
        if (Need(4)) value = m_Stream.ReadInt();
    }
    void Float(float& value)
    {
        if (Need(4)) value = m_Stream.ReadFloat();
    }
    void String(vek::string& value)
    {
        if (!Need(2)) return;
        const size_t before = m_Stream.BytesLeft();
        vek::string text = m_Stream.ReadString();
        if (before - 2 < text.size()) {
            Stop();
            return;
        }
        value = std::move(text);
    }
    // A value the game only ever writes between lo and hi: one outside says
    // the record is damaged, and the whole record keeps its defaults (never
    // the nearest end of the range, which could hand out unearned progress).
    void IntIn(int32_t& value, int32_t lo, int32_t hi, const char* what)
    {
        if (!Need(4)) return;
        const int32_t read = m_Stream.ReadInt();
        if (read >= lo && read <= hi) {
            value = read;
            return;
        }
        OutOfRange(what, read);
    }
    void OutOfRange(const char* what, int32_t read)
    {
        m_strOutOfRange = vek::Formatted("%s %i is out of range", what, read);
        Stop();
    }
    void FloatOutOfRange(const char* what, float read)
    {
        m_strOutOfRange = vek::Formatted("%s %s is out of range", what, vek::Formatted("%g", static_cast<double>(read)));
        Stop();
    }
    // A count of items of four bytes. One that is negative or runs past the
    // end of the file refuses the rest (-1): the values after it would be
    // read from the wrong bytes.
    int32_t Count()
    {
        int32_t count = 0;
        if (!Need(4)) return -1;
        count = m_Stream.ReadInt();
        if (count == 0) return 0;
        if (count < 0 || static_cast<size_t>(count) > m_Stream.BytesLeft() / 4) {
            m_bCountRefused = true;
            Stop();
            return -1;
        }
        return count;
    }
    // A fixed-size list: values past its size are read and dropped, missing
    // ones keep their value.
    void FixedList(std::vector<int32_t>& list)
    {
        const int32_t count = Count();
        for (int32_t i = 0; i < count; ++i) {
            const int32_t value = m_Stream.ReadInt();
            if (static_cast<size_t>(i) < list.size()) list[static_cast<size_t>(i)] = value;
        }
    }
    template <class T>
    void List(std::vector<T>& list)
    {
        const int32_t count = Count();
        if (count < 0) return;
        list.clear();
        list.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            if constexpr (std::is_same_v<T, float>)
                list.push_back(m_Stream.ReadFloat());
            else
                list.push_back(m_Stream.ReadInt());
        }
    }
    // The rest of the file is not read: it keeps its defaults.
    void Stop()
    {
        m_bShort = true;
        m_bStopped = true;
    }
    void MarkShort() { m_bShort = true; }
    void RefuseCount()
    {
        m_bCountRefused = true;
        Stop();
    }
    bool IsStopped() const { return m_bStopped; }
    bool IsShort() const { return m_bShort; }
    bool WasCountRefused() const { return m_bCountRefused; }
    const vek::string& OutOfRangeText() const { return m_strOutOfRange; }
    vek::cBitStream& Stream() { return m_Stream; }

private:
    bool Need(size_t bytes)
    {
        if (m_bStopped) return false;
        if (m_Stream.BytesLeft() >= bytes) return true;
        Stop();
        return false;
    }

    vek::cBitStream& m_Stream;
    bool m_bShort = false;
    bool m_bStopped = false;
    bool m_bCountRefused = false;
    vek::string m_strOutOfRange;
};

// The sorts, the bed layout and the animals the levels below `count` grant.
void TakeEarnedAwards(cPlayer& player, int count)
{
    const cEarnedAwards earned = EarnedAwards(count);
    player.m_iSorts = earned.iSorts;
    player.m_iPlayerValue = earned.iBeds;
    player.m_iAnimals = earned.iAnimals;
}

// What the damage warning says of the file: nothing of it is used.
vek::string DamageText(const cReader& in)
{
    constexpr const char* kDefaults = "; its whole record keeps its defaults";
    if (!in.OutOfRangeText().empty()) return in.OutOfRangeText() + kDefaults;
    return vek::string(in.WasCountRefused() ? "a count does not fit the file" : "it is cut short") + kDefaults;
}

// The fields of "player.dat" after its version, read into the profile, the
// tutorial switch into `training`. A value the game never writes stops the
// reader.
void ReadPlayerFields(cPlayer& player, cReader& in, int32_t& training)
{
    in.String(player.m_strName);
    in.IntIn(player.m_iProgress, 0, kLevelCount, "the progress");
    in.IntIn(player.m_iContinueLevel, -1, kLevelCount - 1, "the level to continue");
    in.FixedList(player.m_Events);
    in.FixedList(player.m_Hints);
    in.List(player.m_Results);
    in.List(player.m_Times);
    // A level's time is the level clock when it was won.
    for (float time : player.m_Times)
        if (!in.IsStopped() && !(std::isfinite(time) && time >= 0.0f)) in.FloatOutOfRange("a level time", time);
    if (player.m_fVersion >= 0.7f) {
        in.List(player.m_Values);
        in.List(player.m_AnimalCounts);
    }
    // The options screen and the hint window write 0 or 1.
    if (player.m_fVersion >= 0.9f) in.IntIn(training, 0, 1, "the tutorial switch");
}

// The record of "save.dat" of the slot, read into the profile (the game in
// play's clock, car load, next task and tasks first) and the rule counter
// into `ruleCounter`. A value the game never writes stops the reader.
void ReadGameFields(cPlayer& player, cReader& in, int slot, float version, int32_t& ruleCounter)
{
    vek::cBitStream& stream = in.Stream();
    if (slot == -1) {
        in.Float(player.m_fClock);
        if (!in.IsStopped() && !(std::isfinite(player.m_fClock) && player.m_fClock >= 0.0f))
            in.FloatOutOfRange("the level clock", player.m_fClock);
        if (!in.IsStopped() && stream.BytesLeft() < 4) in.Stop();
        if (!in.IsStopped() && !ReadWareList(player.m_CarLoad, &stream)) in.RefuseCount();
        in.IntIn(player.m_iLevelValue, 0, std::numeric_limits<int32_t>::max(), "the next task");
        if (!in.IsStopped() && stream.BytesLeft() < 4) in.Stop();
        if (!in.IsStopped()) {
            bool refused = false;
            int32_t unknownKind = -1;
            if (!ReadLevelTasks(stream, player.m_Tasks, version, &refused, &unknownKind)) {
                if (unknownKind != -1)
                    in.OutOfRange("a task kind", unknownKind);
                else if (refused)
                    in.RefuseCount();
                else
                    in.MarkShort();
            }
        }
        // More than any level asks for, or more delivered beyond a task
        // than the car holds: no game wrote that.
        const int32_t below = -static_cast<int32_t>(player.m_CarLoad.size());
        for (const cLevelTask& task : player.m_Tasks) {
            if (in.IsStopped()) break;
            if (task.IsEmpty() || (task.iAmount >= below && task.iAmount <= LargestTaskAmount())) continue;
            in.OutOfRange("a task amount", task.iAmount);
        }
    }
    if (version < 0.9f) {
        int32_t older = 0;  // older files carry one more value here
        in.Int(older);
    }
    // The game in play holds what the levels won grant, and the newest
    // level's award too while the profile holds its medal (its result
    // sequence runs); a level's own save what the levels before it grant.
    // Less is a replay's older state.
    const bool sequenceWaits =
        player.m_iProgress >= 0 && player.m_Results.size() > static_cast<size_t>(player.m_iProgress);
    const cEarnedAwards earned = EarnedAwards(slot >= 0 ? slot : player.m_iProgress + (sequenceWaits ? 1 : 0));
    // The water reminder sets the counter once: 0 or 1.
    in.IntIn(ruleCounter, 0, 1, "the rule counter");
    in.IntIn(player.m_iPlayerValue, 0, earned.iBeds, "the bed layout");
    in.IntIn(player.m_iMoney, 0, kMostMoney, "the money");
    in.IntIn(player.m_iIslandMoney, 0, kMostMoney, "the island funds");
    int32_t upgrades[cUpgrades::kCount] = {};
    for (int i = 0; i < cUpgrades::kCount; ++i) in.IntIn(upgrades[i], 0, MaxLevel(i), "an upgrade level");
    for (int i = 0; i < cUpgrades::kCount; ++i) player.m_Upgrades.SetLevel(i, upgrades[i]);
    in.IntIn(player.m_iSorts, 0, earned.iSorts, "the sort index");
    in.IntIn(player.m_iAnimals, -1, earned.iAnimals, "the animal level");
    // The game in play ends with what its won level still has to show;
    // older files end before it (nothing waits). Part of it is a cut.
    if (slot == -1 && !in.IsStopped() && stream.BytesLeft() > 0)
        in.IntIn(player.m_iWinStep, cPlayer::e_winNone, cPlayer::e_winUpgrades, "the won level's next step");
}

// A stamp for a new save: differs from the last one and, very likely, from
// any earlier save's.
uint32_t NewStamp(uint32_t last)
{
    static uint32_t counter = 0;
    uint32_t stamp = static_cast<uint32_t>(std::time(nullptr)) * 2654435761u ^ (++counter * 40503u);
    if (stamp == 0 || stamp == last) stamp = last + 1 == 0 ? 1 : last + 1;
    return stamp;
}

constexpr const char* kSetFiles[] = {"level.dat", "island.dat"};
using save_set::kNext;

void WriteList(vek::cBitStream& stream, const std::vector<int32_t>& list)
{
    stream.WriteInt(static_cast<int32_t>(list.size()));
    for (int32_t value : list) stream.WriteInt(value);
}

void WriteList(vek::cBitStream& stream, const std::vector<float>& list)
{
    stream.WriteInt(static_cast<int32_t>(list.size()));
    for (float value : list) stream.WriteFloat(value);
}

// A fresh profile's folder number: the counter, stepped past every number
// whose folder already exists so that a lost counter never reuses a
// player's folder.
vek::string FreshFolder()
{
    cProfileHost& host = GetProfileHost();
    vek::cFileSystem fs;
    int32_t n = std::max<int32_t>(host.iPlayerCounter, 0);
    vek::string folder;
    for (;;) {
        folder = vek::Formatted("plr%03i", n);
        if (!fs.Exist(vek::filename("{AppPath}/profile/" + folder))) break;
        ++n;
    }
    host.iPlayerCounter = n + 1;
    return folder;
}

} // namespace

// ---- cUpgrades ----

bool cUpgrades::CanUpgrade(int index) const
{
    if (index < 0) return false;
    if (index >= kCount) return true;
    return m_Levels[static_cast<size_t>(index)] < MaxLevel(index);
}

int cUpgrades::GetPrice(int index) const
{
    if (index < 0 || index >= kCount || !CanUpgrade(index)) return 0;
    return kPrices[index][m_Levels[static_cast<size_t>(index)]];
}

void cUpgrades::Upgrade(int index)
{
    if (index < 0 || index >= kCount) return;
    int32_t& level = m_Levels[static_cast<size_t>(index)];
    if (level >= MaxLevel(index)) return;
    ++level;
    const cProfileHost& host = GetProfileHost();
    cLevel* field = host.pLevel;
    if (!field) return;
    if (index == e_upSpeed) {
        const float speed = GetUpgradeValue(host.balance.vecWalkSpeed, level);
        for (cObject* object : field->GetObjects())
            if (object->GetType() == OBJ_GARDENER) static_cast<cGardener*>(object)->SetSpeed(speed);
    } else if (index == e_upCanVolume) {
        const int32_t capacity = GetUpgradeValue(host.balance.vecWaterCapacity, level);
        for (cObject* object : field->GetObjects())
            if (object->GetType() == OBJ_TOOL_WATER) static_cast<cToolWater*>(object)->SetCapacity(capacity);
    }
}

bool cUpgrades::Read(vek::cBitStream& stream)
{
    bool whole = true;
    for (int i = 0; i < kCount; ++i) {
        if (stream.BytesLeft() < 4) whole = false;
        SetLevel(i, stream.ReadInt());
    }
    return whole;
}

bool cUpgrades::Write(vek::cBitStream& stream) const
{
    for (int32_t level : m_Levels) stream.WriteInt(level);
    return true;
}

int cUpgrades::GetLevel(int index) const
{
    if (index < 0 || index >= kCount) return 0;
    return m_Levels[static_cast<size_t>(index)];
}

void cUpgrades::SetLevel(int index, int level)
{
    if (index < 0 || index >= kCount) return;
    m_Levels[static_cast<size_t>(index)] = std::clamp(level, 0, MaxLevel(index));
}

// ---- cPlayer ----

cPlayer::cPlayer(const vek::string& folder)
{
    // A new profile is named after the login, no longer than a name typed
    // into the field may be: the screens that show names hold that many.
    if (vek::g_pGame) m_strName = vek::g_pGame->strUserName;
    const int most = NameFieldLength();
    if (most > 0 && m_strName.size() > static_cast<size_t>(most)) m_strName.resize(static_cast<size_t>(most));
    if (m_strName.empty()) m_strName = vek::GetLocale().Player;
    m_strFolder = folder.empty() ? FreshFolder() : folder;
    m_Events.assign(15, 0);
    m_Hints.assign(10, 0);
    Reset();
    m_Saved = TakeProgress();
}

vek::filename cPlayer::GetProfilePath(int slot) const
{
    if (m_strFolder.empty()) return vek::filename();
    vek::string path = "{AppPath}/profile/" + m_strFolder + "/";
    if (slot >= 0) path += vek::Formatted("%i/", slot);
    vek::filename folder(path);
    vek::cFileSystem fs;
    if (!fs.IsFolder(folder)) fs.CreateFolder(folder);
    return folder;
}

void cPlayer::Reset()
{
    ResetLevelTasks(m_TaskSet);
    m_Tasks.clear();
    m_Upgrades.Clear();
    m_iLevelValue = 0;
    m_fClock = 0.0f;
    m_iLevel = 0;
    m_iPlayerValue = 0;
    m_iMoney = 0;
    m_iIslandMoney = 0;
    m_CarLoad.clear();
    m_iSorts = 0;
    m_iAnimals = -1;
    m_iWinStep = e_winNone;
}

bool cPlayer::WriteFile(const vek::cBitStream& stream, const vek::filename& folder, const char* name,
                        bool damaged)
{
    const vek::filename file = vek::AppendPath(folder, name);
    // A damaged file is kept beside the new one, so that the save it held is
    // never overwritten unseen.
    if (damaged) save_set::KeepAsBad(file);
    if (vek::cDataManager::WriteBinary(&stream, file) != vek::cDataManager::Ok) {
        vek::LogWarning(kSender, "Cannot write %s\n", file.path);
        return false;
    }
    return true;
}

namespace {
bool Holds(const std::vector<int32_t>& slots, int slot)
{
    return std::find(slots.begin(), slots.end(), slot) != slots.end();
}
} // namespace

cPlayer::cProgress cPlayer::TakeProgress() const
{
    cProgress p;
    p.progress = m_iProgress;
    p.continueLevel = m_iContinueLevel;
    p.results = m_Results;
    p.times = m_Times;
    p.values = m_Values;
    p.animalCounts = m_AnimalCounts;
    return p;
}

void cPlayer::KeepOnlyWhatIsSaved()
{
    m_iProgress = m_Saved.progress;
    m_iContinueLevel = m_Saved.continueLevel;
    m_Results = m_Saved.results;
    m_Times = m_Saved.times;
    m_Values = m_Saved.values;
    m_AnimalCounts = m_Saved.animalCounts;
}

vek::cBitStream cPlayer::PlayerBytes(float version) const
{
    vek::cBitStream out;
    out.WriteFloat(version);
    out.WriteString(m_strName);
    out.WriteInt(m_iProgress);
    out.WriteInt(m_iContinueLevel);
    WriteList(out, m_Events);
    WriteList(out, m_Hints);
    WriteList(out, m_Results);
    WriteList(out, m_Times);
    // An older layout is kept while saves written in it remain unmarked
    // (they are read in the layout "player.dat" names).
    if (version >= 0.7f - 1e-4f) {
        WriteList(out, m_Values);
        WriteList(out, m_AnimalCounts);
    }
    if (version >= 0.9f - 1e-4f) out.WriteInt(GetProfileHost().iTraining);
    return out;
}

bool cPlayer::IsSetDamaged(int slot) const { return Holds(m_DamagedSets, slot); }

bool cPlayer::IsGameRefused(int slot) const { return m_bPlayerRefused || Holds(m_RefusedSlots, slot); }

bool cPlayer::HasGameToContinue() const
{
    return m_iContinueLevel >= 0 && !m_bGameInPlayLost && !IsGameRefused(-1) && !Holds(m_RefusedSets, -1) &&
           !Holds(m_DamagedSets, -1);
}

bool cPlayer::WasPartDamageLogged(int slot, const char* name, uint32_t bytes) const
{
    const cLoggedPart part{slot, name, bytes};
    return std::any_of(m_LoggedParts.begin(), m_LoggedParts.end(), [&](const cLoggedPart& logged) {
        return logged.slot == part.slot && logged.name == part.name && logged.bytes == part.bytes;
    });
}

void cPlayer::NotePartDamageLogged(int slot, const char* name, uint32_t bytes) const
{
    if (!WasPartDamageLogged(slot, name, bytes)) m_LoggedParts.push_back(cLoggedPart{slot, name, bytes});
}

bool cPlayer::HasWinToResume() const
{
    if (!HasGameToContinue()) return false;
    if (m_iWinStep != e_winNone) return true;
    // The newest level's medal is recorded while its building waits.
    return m_iContinueLevel == m_iProgress && m_iProgress >= 0 &&
           m_Results.size() > static_cast<size_t>(m_iProgress);
}

void cPlayer::NoteSetPartDamaged(int slot, const vek::filename& file) const
{
    if (!Holds(m_DamagedSets, slot)) m_DamagedSets.push_back(slot);
    if (file.GetFile() == "island.dat" && !Holds(m_IslandLost, slot)) m_IslandLost.push_back(slot);
    // A damage (or loss) whose record an earlier start kept was told then.
    const vek::filename record = save_set::LossRecord(file, slot == -1);
    const bool missing = record.path != file.path;
    const bool known = !record.empty() && save_set::WasKeptAsBad(record);
    if (!record.empty()) save_set::KeepAsBad(record);
    if (!known && !Holds(m_FreshDamage, slot)) m_FreshDamage.push_back(slot);
    // What the player is told says a copy is kept only when one was.
    if (!known && !missing && !Holds(m_FreshKept, slot)) m_FreshKept.push_back(slot);
}

bool cPlayer::ExpectsField(int slot) const
{
    return slot == -1 && m_bCheckedProfile && m_uSetStamp != 0 && m_iContinueLevel >= 0;
}

void cPlayer::NoteSetPartRefused(int slot) const
{
    if (!Holds(m_RefusedSets, slot)) m_RefusedSets.push_back(slot);
}

cPlayer::eLoadNotice cPlayer::TakeLoadNotice(int slot)
{
    if (slot >= 0) {
        if (Holds(m_ToldSlots, slot)) return e_noticeNone;
        if (!Holds(m_RefusedSlots, slot) && !Holds(m_RefusedSets, slot) &&
            !(Holds(m_DamagedSets, slot) && Holds(m_FreshDamage, slot)))
            return e_noticeNone;
        m_ToldSlots.push_back(slot);
        const bool onlyMissing = !Holds(m_RefusedSlots, slot) && !Holds(m_RefusedSets, slot) && !Holds(m_FreshKept, slot);
        return onlyMissing ? e_noticeMissing : e_noticeDamaged;
    }
    if (m_bNoticeGiven) return e_noticeNone;
    eLoadNotice notice = e_noticeNone;
    if (IsGameRefused(-1) || Holds(m_RefusedSets, -1))
        notice = e_noticeRefused;
    else if (m_bPlayerDamaged || (Holds(m_DamagedSets, -1) && Holds(m_FreshKept, -1)) || m_bDamageUntold)
        notice = e_noticeDamaged;
    else if ((Holds(m_DamagedSets, -1) && Holds(m_FreshDamage, -1)) || m_bMissingUntold)
        notice = e_noticeMissing;
    else if (m_bPlayerRestoredUntold)
        notice = e_noticeRestored;
    if (notice != e_noticeNone) m_bNoticeGiven = true;
    return notice;
}

vek::filename cPlayer::GetSetFileForWriting(int slot, const char* name) const
{
    const vek::filename file = vek::AppendPath(GetProfilePath(slot), name);
    if (slot != m_iWritingSlot) return file;
    return vek::filename(file.path + kNext);
}

cPlayer::ePlayerRead cPlayer::ReadPlayerFile(const vek::filename& file, vek::string* why, float* version,
                                             uint32_t* stamp)
{
    why->clear();
    *version = 0.0f;
    *stamp = 0;
    vek::cBitStream stream;
    const int result = vek::cDataManager::ReadBinary(&stream, file);
    if (result == vek::cDataManager::FileNotFound) {
        *why = "it is missing";
        return e_readMissing;
    }
    if (result == vek::cDataManager::Unreadable) return e_readUnreadable;
    // An empty file (or one too large to be the game's) reads as no bytes.
    if (result != vek::cDataManager::Ok && result != vek::cDataManager::InternalError) return e_readFailed;
    float markVersion = 0.0f;
    const save_set::eMark mark =
        result == vek::cDataManager::Ok ? save_set::TakeMark(stream, stamp, &markVersion) : save_set::eMark::e_none;
    if (mark == save_set::eMark::e_damaged) {
        // Nothing of it is read, not even its mark (the game in play it
        // names cannot be told).
        *why = "its checksum does not match";
        return e_readDamaged;
    }
    if (result == vek::cDataManager::Ok && m_bCheckedProfile && mark != save_set::eMark::e_checked) {
        // Every file of a checked profile carries today's mark: one that
        // claims an older layout had it cut off or damaged.
        *stamp = 0;
        *why = "it lacks the checksum every file of its profile carries";
        return e_readDamaged;
    }
    cReader in(stream);
    float read = 0.0f;
    in.Float(read);
    if (in.IsStopped()) {
        *stamp = 0;
        *why = "it is empty or cut short";
        return e_readDamaged;
    }
    *version = read;
    if (!IsKnownVersion(read)) return e_readUnknownVersion;
    // Nothing of a damaged or misaligned record is used: what it would
    // replace comes back.
    const cPlayer before = *this;
    m_fVersion = read;
    m_fUnmarkedVersion = read;
    int32_t training = GetProfileHost().iTraining;
    ReadPlayerFields(*this, in, training);
    // A name is never empty, and values out of range after reading mean the
    // fields were read from the wrong bytes.
    const bool emptyName = m_strName.empty();
    const int fixes = in.IsShort() ? 0 : CheckProfileValues(*this);
    if (!in.IsShort() && !emptyName && fixes == 0) {
        GetProfileHost().iTraining = training;
        return e_readOk;
    }
    *why = emptyName || fixes > 0
               ? vek::string(emptyName ? "it is misaligned (an empty name); its values are not used"
                                       : "it is misaligned (values out of range); its values are not used")
               : DamageText(in);
    *this = before;
    return e_readDamaged;
}

namespace {

// What a progress file read into `player` holds, for choosing between the
// two.
save_set::cProgressFile ProgressOf(const cPlayer& player, save_set::eFileState state, uint32_t stamp)
{
    save_set::cProgressFile f;
    f.state = state;
    f.stamp = stamp;
    f.progress = player.m_iProgress;
    f.medals = player.m_Results.size();
    f.times = player.m_Times.size();
    return f;
}

// The winner's bytes written over the other file of the pair, so that both
// hold the moment the profile is read as. False (and a warning) when it
// could not be written.
bool CopyProgressFile(const vek::filename& from, const vek::filename& to)
{
    vek::cBitStream bytes;
    if (vek::cDataManager::ReadBinary(&bytes, from) != vek::cDataManager::Ok) return false;
    if (vek::cDataManager::WriteBinary(&bytes, to) == vek::cDataManager::Ok) return true;
    vek::LogWarning(kSender, "%s could not be written again from %s\n", to.path, from.GetFile());
    return false;
}

} // namespace

bool cPlayer::LoadPlayer()
{
    const vek::filename folder = GetProfilePath(-1);
    if (folder.empty()) return false;
    const vek::filename file = vek::AppendPath(folder, "player.dat");
    const vek::filename copy = vek::AppendPath(folder, save_set::kPlayerCopy);
    // A profile whose name cannot be read is listed under its folder's
    // name: the login name may be another profile's, and two profiles of
    // one name can be neither told apart nor chosen.
    m_strName = m_strFolder;
    // "player.dat" and its copy are written with the game in play: those
    // the rename of "save.dat" committed before the program ended are put
    // in place.
    for (const vek::filename& target : {file, copy})
        if (vek::platform::PathExists(vek::platform::ToNativePath(target.path + kNext)) &&
            !save_set::SettlePending(target, save_set::SavedStamp(folder), kSender))
            NoteSetPartRefused(-1);
    m_bCheckedProfile = save_set::IsCheckedProfile(folder);

    // Both files are read, each into a profile of its own: the one that
    // pairs with the committed save is the profile's moment, whichever of
    // the two it is.
    cProfileHost& host = GetProfileHost();
    const int32_t training = host.iTraining;
    struct cRead {
        ePlayerRead read = e_readMissing;
        vek::string why;
        float version = 0.0f;
        uint32_t stamp = 0;
        int32_t training = 0;
    };
    const auto readInto = [&](const vek::filename& from, cPlayer* into) {
        cRead r;
        *into = *this;
        r.read = into->ReadPlayerFile(from, &r.why, &r.version, &r.stamp);
        r.training = host.iTraining;
        host.iTraining = training;
        return r;
    };
    cPlayer fromFile(*this), fromCopy(*this);
    const cRead read = readInto(file, &fromFile);
    if (read.read == e_readUnknownVersion) {
        // Another layout would be misread field by field; the profile's
        // files stay as they are, with copies beside them.
        vek::LogWarning(kSender, "%s has version %s, which this game cannot read; the profile's files are kept as they are\n",
                        file.path, vek::Formatted("%g", static_cast<double>(read.version)));
        save_set::KeepAsBad(file);
        save_set::KeepAsBad(vek::AppendPath(folder, "save.dat"));
        m_bPlayerRefused = true;
        return false;
    }
    if (read.read == e_readFailed) return false;
    // An older profile has no copy: nothing to look for, nor to log.
    namespace fs = vek::platform;
    const std::string copyNative = fs::ToNativePath(copy.path);
    const cRead copyRead = fs::PathExists(copyNative) || fs::IsSymlink(copyNative) ? readInto(copy, &fromCopy) : cRead();
    const auto stateOf = [](ePlayerRead r) {
        switch (r) {
        case e_readOk: return save_set::eFileState::e_whole;
        case e_readMissing: return save_set::eFileState::e_missing;
        case e_readDamaged: return save_set::eFileState::e_damaged;
        default: return save_set::eFileState::e_notAFile;
        }
    };
    const save_set::cProgressFile fileHolds = ProgressOf(fromFile, stateOf(read.read), read.stamp);
    const save_set::cProgressFile copyHolds = ProgressOf(fromCopy, stateOf(copyRead.read), copyRead.stamp);
    // (The save is looked at only when the two whole files disagree: a game
    // in play that cannot be read is not opened for nothing.)
    const uint32_t savedStamp = fileHolds.IsWhole() && copyHolds.IsWhole() && fileHolds.stamp != copyHolds.stamp
                                    ? save_set::SavedStamp(folder)
                                    : 0;
    const save_set::cProgressDecision decision = save_set::DecideProgressFiles(fileHolds, copyHolds, savedStamp);
    if (decision.read != save_set::eProgressPick::e_none) {
        const bool fromTheFile = decision.read == save_set::eProgressPick::e_file;
        const cRead& won = fromTheFile ? read : copyRead;
        const cRead& lost = fromTheFile ? copyRead : read;
        const vek::filename& wonFile = fromTheFile ? file : copy;
        const vek::filename& lostFile = fromTheFile ? copy : file;
        *this = fromTheFile ? fromFile : fromCopy;
        host.iTraining = won.training;
        m_uPlayStamp = won.stamp;
        m_Saved = TakeProgress();
        // Told once: a loser whose bytes an earlier start kept was told then.
        const bool toldBefore = decision.loser != save_set::eLoserFate::e_leave && save_set::WasKeptAsBad(lostFile);
        bool aside = true;
        if (decision.loser == save_set::eLoserFate::e_keep) save_set::KeepAsBad(lostFile);
        if (decision.loser == save_set::eLoserFate::e_moveAside) aside = save_set::MoveAsideAsBad(lostFile, kSender);
        if (!toldBefore && decision.tell != save_set::eProgressTell::e_none) {
            vek::string what = lost.read == e_readOk         ? vek::string("of another moment than ") + wonFile.GetFile()
                               : lost.read == e_readDamaged  ? "damaged: " + lost.why.substr(0, lost.why.find("; "))
                               : lost.read == e_readMissing  ? vek::string("missing")
                                                             : vek::string("not a file that can be read");
            what += fromTheFile ? "; the profile is read from player.dat" : "; the profile is read from its copy player.bak";
            if (decision.loser != save_set::eLoserFate::e_leave && aside) what += ", and the file is kept as .bad";
            vek::LogWarning(kSender, "%s is %s\n", lostFile.path, what);
            if (decision.tell == save_set::eProgressTell::e_dropped) m_bDamageUntold = true;
            if (decision.tell == save_set::eProgressTell::e_restored) m_bPlayerRestoredUntold = true;
        }
        if (decision.rewrite && aside) CopyProgressFile(wonFile, lostFile);
        return true;
    }

    if (read.read == e_readUnreadable) {
        // Something is there: it is never written over with a fresh profile.
        vek::LogWarning(kSender, "%s exists but cannot be read; the profile is not loaded and the file is kept\n",
                        file.path);
        m_bPlayerRefused = true;
        return false;
    }
    if (read.read == e_readMissing) {
        // A game in play without the progress it was saved with: the
        // profile starts as a new one, and nothing of that game may be
        // handed out to it.
        if (vek::platform::PathExists(vek::platform::ToNativePath(vek::AppendPath(folder, "save.dat").path)))
            DropGameInPlay(folder, "player.dat is missing");
        else
            vek::LogWarning(kSender, "%s is missing; the profile keeps its defaults\n", file.path);
        // The player hears that the profile was not read.
        m_bPlayerDamaged = true;
        return false;
    }
    vek::string why = read.why;
    // (The reader's own texts say what becomes of the values.)
    if (why.find("; ") == vek::string::npos) why += "; the profile keeps its defaults";
    if (why.compare(0, 14, "it is misalign") == 0)
        vek::LogWarning(kSender, "%s is %s\n", file.path, why.substr(6));
    else
        vek::LogWarning(kSender, "%s is damaged: %s\n", file.path, why);
    // The whole record keeps its defaults, the name a new profile takes
    // among them, never the part read before the fault. Its version, known
    // to this game, still tells how the profile's older saves are laid out.
    if (read.version != 0.0f) {
        m_fVersion = read.version;
        m_fUnmarkedVersion = read.version;
    }
    m_uPlayStamp = read.stamp;
    m_bPlayerDamaged = true;
    // The file is kept as it is beside the next one written, and so is the
    // game in play its lost level to continue names.
    NoteSetPartDamaged(-1, file);
    m_Saved = TakeProgress();
    return true;
}

bool cPlayer::DropGameInPlay(const vek::filename& folder, const char* why)
{
    vek::LogWarning(kSender, "%s: the game in play is not read (%s); it starts afresh and its files are kept as .bad\n",
                    vek::AppendPath(folder, "save.dat").path, why);
    save_set::KeepAsBad(vek::AppendPath(folder, "player.dat"));
    // "save.dat" goes last: a program ended part-way still finds it beside
    // the progress it does not belong with, and drops the rest next time.
    bool moved = true;
    for (const char* name : {"island.dat", "level.dat", "save.dat"})
        if (!save_set::MoveAsideAsBad(vek::AppendPath(folder, name), kSender)) {
            moved = false;
            break;
        }
    // Told once, and the next save writes a whole new set.
    NoteSetPartDamaged(-1);
    return moved;
}

namespace {

// One file of a save as its conversion to today's mark reads it.
struct cOlderPart {
    vek::filename file;
    bool there = false;  // read whole from disk
    vek::cBitStream body;
    save_set::eMark mark = save_set::eMark::e_none;
    uint32_t stamp = 0;
    float version = 0.0f;
};

cOlderPart ReadOlderPart(const vek::filename& file)
{
    cOlderPart part;
    part.file = file;
    if (!vek::platform::PathExists(vek::platform::ToNativePath(file.path))) return part;
    part.there = vek::cDataManager::ReadBinary(&part.body, file) == vek::cDataManager::Ok;
    if (part.there) part.mark = save_set::TakeMark(part.body, &part.stamp, &part.version);
    return part;
}

// Gives the part today's mark of the stamp, its bytes and layout as they
// are. A damaged part is never given a mark that would vouch for it, and
// neither is one of another save (`restamp` false: its save's "save.dat"
// carries a stamp the part does not). True when nothing is left to mark.
bool MarkOlderPart(const cOlderPart& part, uint32_t stamp, float version, bool restamp)
{
    if (!part.there || part.mark == save_set::eMark::e_damaged) return true;
    if (save_set::IsMarked(part.mark) && part.stamp != stamp && !restamp) return true;
    if (part.mark == save_set::eMark::e_checked && part.stamp == stamp) return true;
    const vek::cBitStream marked =
        save_set::Remarked(part.body, stamp, save_set::IsMarked(part.mark) ? part.version : version);
    if (vek::cDataManager::WriteBinary(&marked, part.file) == vek::cDataManager::Ok) return true;
    vek::LogWarning(kSender, "Cannot mark %s with its layout; it may be misread later\n", part.file.path);
    return false;
}

} // namespace

bool cPlayer::MarkOlderSaves(const vek::filename& folder)
{
    if (m_bCheckedProfile) return true;
    bool all = true;
    for (const vek::filename& entry : save_set::NumberedFolders(folder)) {
        const cOlderPart level = ReadOlderPart(vek::AppendPath(entry, "level.dat"));
        const cOlderPart island = ReadOlderPart(vek::AppendPath(entry, "island.dat"));
        const cOlderPart save = ReadOlderPart(vek::AppendPath(entry, "save.dat"));
        // The save's own stamp, or the one a conversion cut short gave its
        // other files; "save.dat" goes last, so that a program ended in
        // between leaves a save whose files still pair.
        const bool saveMarked = save_set::IsMarked(save.mark);
        const uint32_t stamp = saveMarked                           ? save.stamp
                               : save_set::IsMarked(level.mark)  ? level.stamp
                               : save_set::IsMarked(island.mark) ? island.stamp
                                                                 : NewStamp(0);
        if (!MarkOlderPart(level, stamp, 0.0f, !saveMarked) || !MarkOlderPart(island, stamp, 0.0f, !saveMarked)) {
            all = false;
            continue;
        }
        if (!MarkOlderPart(save, stamp, m_fUnmarkedVersion, false)) all = false;
    }
    return all;
}

bool cPlayer::ConvertGameInPlay(const vek::filename& folder, int part)
{
    if (m_bCheckedProfile) return true;
    // A game in play found damaged or refused, or beside a "player.dat"
    // that could not be read, is not vouched for: it stays as it is.
    if (m_bPlayerDamaged || IsGameRefused(-1) || Holds(m_DamagedSets, -1) || Holds(m_RefusedSets, -1)) return true;
    const cOlderPart save = ReadOlderPart(vek::AppendPath(folder, "save.dat"));
    if (save.mark == save_set::eMark::e_damaged) return true;
    const bool saveMarked = save_set::IsMarked(save.mark);
    uint32_t stamp = 0;
    if (saveMarked) {
        // A save of another moment than "player.dat" is not read: it stays so.
        const bool whole = save.version >= kVersion - 1e-4f;
        if (m_uPlayStamp != 0 ? m_uPlayStamp != save.stamp : whole) return true;
        stamp = save.stamp;
    } else {
        stamp = m_uPlayStamp != 0 ? m_uPlayStamp : NewStamp(0);
    }
    if (save.there) m_uPlayStamp = stamp;
    if (part == 0) {
        const cOlderPart level = ReadOlderPart(vek::AppendPath(folder, "level.dat"));
        const cOlderPart island = ReadOlderPart(vek::AppendPath(folder, "island.dat"));
        return MarkOlderPart(level, stamp, 0.0f, !saveMarked) && MarkOlderPart(island, stamp, 0.0f, !saveMarked);
    }
    return MarkOlderPart(save, stamp, m_fUnmarkedVersion, false);
}

bool cPlayer::SavePlayer()
{
    const vek::filename folder = GetProfilePath(-1);
    if (folder.empty()) return false;
    if (m_bPlayerRefused) {
        vek::LogWarning(kSender, "%s is not written: the file there was refused and is kept\n",
                        vek::AppendPath(folder, "player.dat").path);
        return false;
    }
    // Whatever it writes carries today's mark: an older profile's files are
    // written under the journal of their conversion.
    if (!m_bCheckedProfile && !save_set::BeginConversion(folder)) return false;
    // An older profile is brought to today's marks whole before
    // "player.dat" is written in today's layout, and its copy, which makes
    // it a checked profile, comes last.
    bool whole = MarkOlderSaves(folder) && ConvertGameInPlay(folder, 0);
    // A game in play of an older layout takes its mark before "player.dat"
    // names today's layout; one of today's layout after "player.dat" names
    // its stamp.
    const bool saveFirst = m_fUnmarkedVersion < kVersion - 1e-4f;
    if (whole && saveFirst) whole = ConvertGameInPlay(folder, 1);
    if (whole) m_fUnmarkedVersion = kVersion;
    // Marked as the game in play's save it goes with; the progress it holds
    // is that save's (the game's teardown puts back what was not saved).
    vek::cBitStream out = PlayerBytes(m_fUnmarkedVersion);
    save_set::AppendMark(out, m_uPlayStamp, m_fUnmarkedVersion);
    const bool ok = WriteFile(out, folder, "player.dat", m_bPlayerDamaged);
    if (ok) {
        if (m_bPlayerDamaged) m_bPlayerKept = m_bDamageUntold = true;
        m_bPlayerDamaged = false;
        m_Saved = TakeProgress();
        if (whole && !saveFirst) whole = ConvertGameInPlay(folder, 1);
        if (whole) {
            if (WriteFile(out, folder, save_set::kPlayerCopy, false)) {
                m_bCheckedProfile = true;
                save_set::EndConversion(folder);
            } else {
                vek::LogWarning(kSender, "The copy of %s could not be written; the profile is saved without it\n",
                                vek::AppendPath(folder, "player.dat").path);
            }
        }
    }
    return ok;
}

void cPlayer::TakeGameDefaults(int slot, const vek::filename& file)
{
    // Nothing of the record is used, never the part read before the fault:
    // it keeps its defaults until the profile is restored to what its
    // progress earned (RestoreEarned).
    Reset();
    // Its file, and the others of its save, are kept at the next save.
    NoteSetPartDamaged(slot, file);
    if (slot == -1) GiveUpGameInPlay();
}

void cPlayer::GiveUpGameInPlay()
{
    // The game in play is not offered to continue (its tasks, clock and
    // money are lost): its level starts again from its own save, and a win
    // whose result sequence it held is given up with it. So is what
    // "player.dat" says of it: written next (at the exit, say), it names no
    // game in play, and the next start has nothing more to tell.
    if (m_iContinueLevel >= 0)
        vek::LogWarning(kSender, "The game in play (level %i) is not continued; the level starts again from its start\n",
                        m_iContinueLevel);
    m_iContinueLevel = -1;
    // The win's medal and its time go together: the level map shows neither.
    const size_t won = static_cast<size_t>(std::max(m_iProgress, 0));
    if (m_Results.size() > won) m_Results.resize(won);
    if (m_Times.size() > won) m_Times.resize(won);
    m_Saved.continueLevel = -1;
    if (m_Saved.results.size() > won) m_Saved.results.resize(won);
    if (m_Saved.times.size() > won) m_Saved.times.resize(won);
    m_uPlayStamp = 0;
    m_bGameInPlayLost = true;
}

int cPlayer::RestoreEarned(int slot)
{
    // The levels below the slot's (for the game in play, below the
    // progress) are won: their awards are the profile's, whatever file was
    // lost. The island funds, the upgrades and the island come together
    // from one save that reads whole, never more than it held:
    // - for a level's own save, the next one the progress wrote after it,
    //   or else the game in play: the buildings of the levels won stand on
    //   the island, and a later save is the first that paid for them all;
    // - for the game in play (and when no later save reads whole), the
    //   newest level's save below it (a level's save is written when the
    //   progress reaches it).
    // (A level beyond the progress cannot be started: it has earned no more
    // than the progress.)
    const int won = std::clamp(slot >= 0 ? std::min(slot, m_iProgress) : m_iProgress, 0, kLevelCount);
    // The slot's save.dat as it reads for this (the game in play paired with
    // "player.dat"); false when it does not read whole.
    const auto readSave = [this](int k, cPlayer* read) {
        if (m_strFolder.empty() || Holds(m_RefusedSlots, k)) return false;
        // The folder is not made for the sake of looking.
        const vek::filename file("{AppPath}/profile/" + m_strFolder +
                                 (k >= 0 ? vek::Formatted("/%i/save.dat", k) : vek::string("/save.dat")));
        vek::cBitStream stream;
        if (vek::cDataManager::ReadBinary(&stream, file) != vek::cDataManager::Ok) return false;
        uint32_t stamp = 0;
        float marked = 0.0f;
        const save_set::eMark mark = save_set::TakeMark(stream, &stamp, &marked);
        if (mark == save_set::eMark::e_damaged || (m_bCheckedProfile && mark != save_set::eMark::e_checked)) return false;
        if (k == -1 && (stamp == 0 || stamp != m_uPlayStamp)) return false;
        const float version = save_set::IsMarked(mark) ? (IsKnownVersion(marked) ? marked : kVersion) : m_fUnmarkedVersion;
        *read = *this;
        read->Reset();
        cReader in(stream);
        int32_t ruleCounter = GetProfileHost().iRuleCounter;
        ReadGameFields(*read, in, k, version, ruleCounter);
        return !in.IsShort();
    };
    std::vector<int> candidates;
    if (slot >= 0) {
        for (int k = slot + 1; k <= std::min(m_iProgress, kLevelCount - 1); ++k) candidates.push_back(k);
        // A game in play of an earlier level (a replay) started from an
        // earlier save than the slot's: it is no later moment.
        const bool replay = m_Saved.continueLevel >= 0 && m_Saved.continueLevel < slot;
        if (!replay && !Holds(m_DamagedSets, -1) && !Holds(m_RefusedSets, -1) && !IsGameRefused(-1))
            candidates.push_back(-1);
    }
    for (int k = std::min(slot >= 0 ? slot - 1 : won, kLevelCount - 1); k >= 0; --k)
        if (k != slot) candidates.push_back(k);
    int from = -2;
    for (int k : candidates) {
        cPlayer read(*this);
        if (!readSave(k, &read)) continue;
        m_iIslandMoney = read.m_iIslandMoney;
        m_Upgrades = read.m_Upgrades;
        from = k;
        break;
    }
    TakeEarnedAwards(*this, won);
    if (from >= 0)
        vek::LogText(kSender, "The profile %s holds what it earned: the island as the save of level %i has it\n",
                     m_strFolder, from);
    else if (from == -1)
        vek::LogText(kSender, "The profile %s holds what it earned: the island as the game in play has it\n",
                     m_strFolder);
    return from;
}

bool cPlayer::LoadGame(int slot)
{
    Reset();
    m_uSetStamp = 0;
    m_bSetMarkedWhole = false;
    m_bSetChecked = false;
    const vek::filename folder = GetProfilePath(slot);
    const vek::filename file = vek::AppendPath(folder, "save.dat");
    vek::cBitStream stream;
    const int result = folder.empty() || IsGameRefused(slot) ? vek::cDataManager::Failed
                                                             : vek::cDataManager::ReadBinary(&stream, file);
    if (result == vek::cDataManager::Unreadable) {
        vek::LogWarning(kSender, "%s exists but cannot be read; the game is not loaded and its files are kept\n",
                        file.path);
        m_RefusedSlots.push_back(slot);
    }
    // After a refusal the profile is restored to what it earned.
    bool restore = false;
    if (!folder.empty() && !IsGameRefused(slot)) {
        // The level field's and the island's files of a save that was
        // interrupted: those the rename of "save.dat" committed are put in
        // place, the others were never part of a save.
        uint32_t stamp = 0;
        float version = m_fUnmarkedVersion;
        save_set::eMark mark = save_set::eMark::e_none;
        if (result == vek::cDataManager::Ok) {
            float marked = 0.0f;
            mark = save_set::TakeMark(stream, &stamp, &marked);
            if (save_set::IsMarked(mark)) {
                m_uSetStamp = stamp;
                version = IsKnownVersion(marked) ? marked : kVersion;
                // Today's layout: SaveGame wrote it, with the whole set, and
                // with a checksum on each file when it carries one. An older
                // save marked afterwards carries its mark on "save.dat" alone.
                m_bSetMarkedWhole = version >= kVersion - 1e-4f;
                m_bSetChecked = m_bSetMarkedWhole && mark == save_set::eMark::e_checked;
            }
        }
        // Every file of a checked profile carries today's mark: one without
        // it (none, the one before the checksum, or one cut off) is damaged,
        // whatever layout it claims, and pairs with nothing.
        const bool lacksMark = m_bCheckedProfile && result == vek::cDataManager::Ok &&
                               mark != save_set::eMark::e_checked && mark != save_set::eMark::e_damaged;
        if (lacksMark) {
            m_uSetStamp = 0;
            m_bSetMarkedWhole = false;
            m_bSetChecked = false;
            version = kVersion;
        }
        // "player.dat" and the game in play are written as one set: marks
        // that differ, or none on "player.dat" beside a set written whole,
        // say they are of different moments (a win without its awards, a
        // building without its price), and the game in play is not read.
        const bool otherMoment = m_uPlayStamp != 0 ? m_uPlayStamp != m_uSetStamp : m_bSetMarkedWhole;
        if (slot == -1 && m_uSetStamp != 0 && otherMoment) {
            m_uSetStamp = 0;
            m_bSetMarkedWhole = false;
            m_bSetChecked = false;
            const char* why = m_bPlayerDamaged    ? "the progress it was saved with was not read"
                              : m_uPlayStamp == 0 ? "player.dat carries no mark of it"
                                                  : "it belongs to another save than player.dat";
            if (!DropGameInPlay(folder, why)) {
                // Files that cannot be moved aside are not read either, and
                // nothing is written over them.
                m_RefusedSlots.push_back(slot);
                return LoadGame(slot);
            }
            TakeGameDefaults(slot);
            restore = true;
        } else {
            for (const char* name : kSetFiles)
                if (!save_set::SettlePending(vek::AppendPath(folder, name), m_uSetStamp, kSender)) NoteSetPartRefused(slot);
            if (slot == -1 && result == vek::cDataManager::Ok) m_uPlayStamp = m_uSetStamp;

            // An empty file (or one too large to be the game's) is damaged too.
            if (result == vek::cDataManager::Ok || result == vek::cDataManager::InternalError) {
                cReader in(stream);
                int32_t ruleCounter = GetProfileHost().iRuleCounter;
                vek::string damage;
                if (result != vek::cDataManager::Ok) {
                    in.Stop();
                    damage = "it is empty; its record keeps its defaults";
                } else if (mark == save_set::eMark::e_damaged) {
                    // Damaged as a whole: nothing of it is read.
                    in.Stop();
                    damage = "its checksum does not match; its record keeps its defaults";
                } else if (lacksMark) {
                    in.Stop();
                    damage = "it lacks the checksum every file of its profile carries; its record keeps its defaults";
                } else {
                    ReadGameFields(*this, in, slot, version, ruleCounter);
                    if (in.IsShort()) damage = DamageText(in);
                }
                // A medal waits for its result sequence only once its
                // level's tasks are all done: the level was won.
                if (damage.empty() && slot == -1 && m_iContinueLevel >= 0 && m_iProgress >= 0 &&
                    m_iContinueLevel == m_iProgress && m_Results.size() > static_cast<size_t>(m_iProgress) &&
                    !(m_Tasks.empty() && m_iLevelValue >= static_cast<int32_t>(GetLevelDef(m_iProgress).vecTasks.size())))
                    damage = "a medal waits while its level's tasks are open; the record keeps its defaults";
                if (damage.empty()) {
                    GetProfileHost().iRuleCounter = ruleCounter;
                    if (slot == -1) m_bGameInPlayLost = false;
                } else {
                    // The same file read again in this run (the profile made
                    // current again, the level continued) is logged once.
                    if (!Holds(m_LoggedDamage, slot)) {
                        m_LoggedDamage.push_back(slot);
                        vek::LogWarning(kSender, "%s is damaged: %s\n", file.path, damage);
                    }
                    TakeGameDefaults(slot, file);
                    restore = true;
                }
                CheckProfileValues(*this);
            } else if (result == vek::cDataManager::FileNotFound) {
                // "player.dat" saved with a game in play whose "save.dat" is
                // gone (its mark names it, or, in an older profile without
                // marks, it names a level to continue): the set is
                // incomplete. The player is told once, and its game is not
                // offered, nor written again as a level without its money.
                if (slot == -1 && (m_uPlayStamp != 0 || m_iContinueLevel >= 0)) {
                    if (!Holds(m_LoggedDamage, slot)) {
                        m_LoggedDamage.push_back(slot);
                        vek::LogWarning(kSender, "%s is missing beside the player.dat saved with it; the game in play is not read\n",
                                        file.path);
                    }
                    NoteSetPartDamaged(slot, file);
                    GiveUpGameInPlay();
                }
                // Every level the progress reached wrote its own save: one
                // gone from a checked profile is a loss the player hears of.
                if (slot >= 1 && slot <= m_iProgress && m_bCheckedProfile) {
                    if (!Holds(m_LoggedDamage, slot)) {
                        m_LoggedDamage.push_back(slot);
                        vek::LogWarning(kSender, "%s is missing; the level starts with the island of another save\n",
                                        file.path);
                    }
                    NoteSetPartDamaged(slot);
                }
                // A level to continue without its save is not offered.
                if (slot == -1) m_bGameInPlayLost = m_bGameInPlayLost || m_iContinueLevel >= 0;
                // No save of its own: what the progress (or the level) earned.
                restore = slot == -1 ? m_iProgress > 0 : slot > 0;
            }
        }
    }
    // A save that cannot be read starts its level with what the levels
    // before it grant.
    if (Holds(m_RefusedSlots, slot)) restore = true;
    // A won level whose result sequence waits, read whole so far: its field
    // and island still have to be.
    const bool winWaits = slot == -1 && !restore && HasWinToResume();
    const int from = restore ? RestoreEarned(slot) : slot;
    if (cLevel* field = GetProfileHost().pLevel) field->Load(slot);
    m_IslandLost.erase(std::remove(m_IslandLost.begin(), m_IslandLost.end(), from), m_IslandLost.end());
    cIsland* island = GetIsland();
    if (island) {
        if (from == -2)
            island->LoadPlayerFile(vek::filename());
        else
            island->Load(from);
    }
    // The island's file of a save that read whole, gone from a checked
    // profile: a loss to tell, as a damaged one is.
    const vek::filename islandFile = vek::AppendPath(folder, "island.dat");
    if (island && from == slot && !folder.empty() && !IsGameRefused(slot) && m_bCheckedProfile && m_uSetStamp != 0 &&
        !vek::platform::PathExists(vek::platform::ToNativePath(islandFile.path))) {
        if (!Holds(m_LoggedDamage, slot)) {
            m_LoggedDamage.push_back(slot);
            vek::LogWarning(kSender, "%s is missing beside the save.dat saved with it\n", islandFile.path);
        }
        NoteSetPartDamaged(slot, islandFile);
        m_IslandLost.push_back(slot);
    }
    // Without its island, the save's funds and upgrades would stand beside
    // an island of none of the saves: those of one other save that reads
    // whole come back with its island.
    if (island && from == slot && Holds(m_IslandLost, slot)) {
        LoadIslandOfSave(island, RestoreEarned(slot));
    }
    // A waiting win that lost a part is given up whole: the level starts
    // again from its own save, with what that save and the progress hold.
    save_set::cSetParts parts;
    parts.winWaits = winWaits;
    parts.damaged = Holds(m_DamagedSets, -1);
    parts.refused = Holds(m_RefusedSets, -1);
    parts.islandLost = Holds(m_IslandLost, -1);
    if (save_set::GivesUpWin(parts)) {
        vek::LogWarning(kSender, "The won level %i lost a part of its save before its result sequence; the win is given up\n",
                        m_iContinueLevel);
        Reset();
        GiveUpGameInPlay();
        const int again = RestoreEarned(-1);
        if (island) LoadIslandOfSave(island, again);
    }
    return true;
}

void cPlayer::LoadIslandOfSave(cIsland* island, int from)
{
    // That island is read as its own save's.
    const uint32_t own = m_uSetStamp;
    m_uSetStamp = from == -2 ? 0 : save_set::SavedStamp(GetProfilePath(from));
    if (from == -2)
        island->LoadPlayerFile(vek::filename());
    else
        island->Load(from);
    m_uSetStamp = own;
}

bool cPlayer::SaveGame(int slot)
{
    cProfileHost& host = GetProfileHost();
    const vek::filename folder = GetProfilePath(slot);
    if (folder.empty()) return false;
    if (IsGameRefused(slot)) {
        vek::LogWarning(kSender, "The game in %s is not saved: its files were refused and are kept\n", folder.path);
        return false;
    }
    // Its files carry today's mark: an older profile's are written under the
    // journal of their conversion.
    if (!m_bCheckedProfile && !save_set::BeginConversion(GetProfilePath(-1))) return false;
    // One file of this save was damaged when read: the others belong with
    // it, so each is kept before the set is written over.
    const bool keepSet = Holds(m_DamagedSets, slot);
    if (keepSet) {
        for (const char* name : {"save.dat", "level.dat", "island.dat"}) save_set::KeepAsBad(vek::AppendPath(folder, name));
        // The progress of the game in play is written again with it (its
        // level to continue, say): the one read is kept too.
        if (slot == -1 && !m_bPlayerKept) save_set::KeepAsBad(vek::AppendPath(folder, "player.dat"));
    }
    vek::cBitStream out;
    if (slot == -1) {
        cIsland* island = GetIsland();
        // A game in play found damaged is not continued (its level starts
        // again from its own save): saved whole now, away from its level,
        // it must not come back as a level to continue with part of it
        // started afresh.
        if (keepSet && !(island && island->iMode == cIsland::e_modeLevel) && m_iContinueLevel >= 0) GiveUpGameInPlay();
        if (island && island->iMode == cIsland::e_modeLevel) {
            if (!m_TaskSet.bDone) {
                m_iContinueLevel = m_iLevel;
            } else {
                // Past the finish its awards are in the game: continuing
                // must not play the finish again. The newest level goes on
                // with its result sequence (its medal recorded, the level
                // waiting for its building); a replayed one has nothing left.
                island->RecordLevelMedal();
                // Its building bought, the newest level takes its step to
                // the next level now: the purchase is kept by that step.
                const cHouse* house = island->GetLevelHouse(m_iLevel);
                if (g_pGarden && m_iLevel >= m_iProgress && house && house->iState != cHouse::e_stateNone)
                    g_pGarden->AdvanceProgress();
                // A replayed one has its upgrade offer left, when one waits.
                m_iContinueLevel = m_iLevel >= m_iProgress || m_iWinStep == e_winUpgrades ? m_iLevel : -1;
            }
        }
        out.WriteFloat(m_fClock);
        WriteWareList(m_CarLoad, &out);
        out.WriteInt(m_iLevelValue);
        WriteLevelTasks(out, m_Tasks);
    }
    out.WriteInt(host.iRuleCounter);
    out.WriteInt(m_iPlayerValue);
    out.WriteInt(m_iMoney);
    out.WriteInt(m_iIslandMoney);
    m_Upgrades.Write(out);
    out.WriteInt(m_iSorts);
    out.WriteInt(m_iAnimals);
    if (slot == -1) out.WriteInt(m_iWinStep);

    // The three files of a save belong together: the level field and the
    // island write theirs as "<name>.next", "save.dat" replacing the old
    // one commits the set, and the two are then put in place. A save cut
    // short anywhere leaves the old set or the new one, never a mix.
    m_uSetStamp = NewStamp(m_uSetStamp);
    save_set::AppendMark(out, m_uSetStamp, kVersion);
    m_iWritingSlot = slot;
    m_bSetPartFailed = false;
    // The game in play carries the profile's progress with it: "player.dat"
    // is one more file of its set, so that a program ended at any moment
    // (even without its teardown) leaves the progress and the game of one
    // moment, never a win without its awards or a purchase without its price.
    const bool withPlayer = slot == -1;
    const vek::filename playerFile = vek::AppendPath(folder, "player.dat");
    const vek::filename playerCopy = vek::AppendPath(folder, save_set::kPlayerCopy);
    std::vector<vek::filename> parts;
    for (const char* name : kSetFiles) parts.push_back(vek::AppendPath(folder, name));
    if (withPlayer) {
        parts.push_back(playerFile);
        parts.push_back(playerCopy);
    }
    for (const vek::filename& part : parts)
        if (!save_set::SettlePending(part, 0, kSender)) m_bSetPartFailed = true;
    if (host.pLevel) host.pLevel->Save(slot);
    if (cIsland* island = GetIsland()) island->Save(slot);
    m_iWritingSlot = -2;
    // The copy of "player.dat" joins the set once every other save of an
    // older profile carries today's mark: it makes the profile a checked one.
    bool withCopy = false;
    if (withPlayer && !m_bSetPartFailed) {
        withCopy = MarkOlderSaves(folder);
        if (withCopy) m_fUnmarkedVersion = kVersion;
        vek::cBitStream player = PlayerBytes(m_fUnmarkedVersion);
        save_set::AppendMark(player, m_uSetStamp, m_fUnmarkedVersion);
        for (const vek::filename& target : {playerFile, playerCopy}) {
            if (target.path == playerCopy.path && !withCopy) break;
            const vek::filename next(target.path + kNext);
            if (vek::cDataManager::WriteBinary(&player, next) != vek::cDataManager::Ok) {
                vek::LogWarning(kSender, "Cannot write %s\n", next.path);
                m_bSetPartFailed = true;
                break;
            }
        }
    }
    // A part that could not be written leaves the old set in place.
    bool ok = !m_bSetPartFailed;
    // A part this save did not write (no field to save, the island shown
    // for another profile) stays as it was: its file joins the new set.
    for (const char* name : kSetFiles)
        if (ok) ok = save_set::CarryOver(vek::AppendPath(folder, name), m_uSetStamp);
    if (ok) ok = WriteFile(out, folder, "save.dat", false);
    // Mended on disk before the player heard of it (saved as another
    // profile became current): the notice still waits to be told.
    if (ok && slot == -1 && ((keepSet && Holds(m_FreshKept, -1)) || m_bPlayerDamaged)) m_bDamageUntold = true;
    if (ok && slot == -1 && keepSet && Holds(m_FreshDamage, -1) && !Holds(m_FreshKept, -1)) m_bMissingUntold = true;
    if (ok && keepSet) m_DamagedSets.erase(std::find(m_DamagedSets.begin(), m_DamagedSets.end(), slot));
    if (ok && withPlayer) m_bPlayerKept = false;
    if (ok) {
        m_LoggedDamage.erase(std::remove(m_LoggedDamage.begin(), m_LoggedDamage.end(), slot), m_LoggedDamage.end());
        m_LoggedParts.erase(std::remove_if(m_LoggedParts.begin(), m_LoggedParts.end(),
                                           [slot](const cLoggedPart& part) { return part.slot == slot; }),
                            m_LoggedParts.end());
    }
    // A damaged "player.dat" read at the start is kept beside the new one.
    if (ok && withPlayer && m_bPlayerDamaged) save_set::KeepAsBad(playerFile);
    save_set::PutInPlace(parts, ok);
    if (ok) {
        // The new "save.dat" carries the current layout.
        m_fVersion = kVersion;
        if (withCopy) {
            m_bCheckedProfile = true;
            save_set::EndConversion(folder);
        }
        if (withPlayer) {
            m_uPlayStamp = m_uSetStamp;
            m_bGameInPlayLost = false;
            m_bPlayerDamaged = false;
            m_Saved = TakeProgress();
        }
    } else {
        vek::LogWarning(kSender, "The game in %s could not be saved; the last save is kept\n", folder.path);
    }
    return ok;
}

bool cPlayer::SaveGameDuringResults()
{
    const int32_t progress = m_iProgress;
    const int32_t continueLevel = m_iContinueLevel;
    const std::vector<int32_t> results = m_Results;
    const int32_t medal = g_pGarden ? g_pGarden->m_iLastMedal : -1;
    const bool ok = SaveGame(-1);
    m_iProgress = progress;
    m_iContinueLevel = continueLevel;
    m_Results = results;
    if (g_pGarden) g_pGarden->m_iLastMedal = medal;
    return ok;
}

bool cPlayer::Activate() { return LoadGame(-1); }

bool cPlayer::Deactivate()
{
    const bool islandFocused = vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "island";
    if (islandFocused || GetProfileHost().iFlowState != cGarden::e_playLevel || !SaveGame(-1)) KeepOnlyWhatIsSaved();
    return true;
}

bool cPlayer::DeactivateOnExit()
{
    // Over the island's menus the game in play holds what was bought on the
    // island and the funds left: leaving the game keeps them too. Between
    // the level's screens nothing is saved: "player.dat", written next,
    // then holds the progress of the game in play on disk.
    const bool saved = GetProfileHost().iFlowState == cGarden::e_playLevel && SaveGame(-1);
    if (!saved) KeepOnlyWhatIsSaved();
    return saved || GetProfileHost().iFlowState != cGarden::e_playLevel;
}

bool cPlayer::DeleteFiles()
{
    if (m_strFolder.empty()) return true;
    namespace fs = vek::platform;
    // The folder itself, never created for the sake of deleting it. It goes
    // aside in one step before anything in it is removed: a program ended
    // part-way leaves the whole profile, or a folder the profile scan never
    // lists and the next start removes, never a profile missing some files.
    const vek::string name = "{AppPath}/profile/" + m_strFolder;
    const std::string folder = fs::ToNativePath(vek::filename(name).path);
    if (!fs::PathExists(folder)) return true;
    const std::string aside = folder + kDeletingSuffix;
    fs::RemoveTree(aside);
    if (std::rename(folder.c_str(), aside.c_str()) != 0) {
        vek::LogWarning(kSender, "%s cannot be moved aside to be deleted; the profile's files are kept\n", name);
        return false;
    }
    if (!fs::RemoveTree(aside))
        vek::LogWarning(kSender, "%s%s could not be removed whole; the next start tries again\n", name,
                        kDeletingSuffix);
    return true;
}

// ---- a progress file that is another profile's ----

cPlayerBase::eFileClaim cPlayer::ClaimOnFile() const
{
    namespace fs = vek::platform;
    const vek::filename folder = GetProfilePath(-1);
    const vek::string name = "{AppPath}/profile/" + m_strFolder;
    const std::string file = fs::ToNativePath(vek::AppendPath(folder, "player.dat").path);
    if (fs::IsSymlink(file) || fs::IsSymlink(fs::ToNativePath(vek::filename(name).path))) return e_claimLink;
    uint32_t stamp = 0;
    float version = 0.0f;
    vek::cBitStream bytes;
    if (fs::PathExists(file) &&
        vek::cDataManager::ReadBinary(&bytes, vek::AppendPath(folder, "player.dat")) == vek::cDataManager::Ok)
        save_set::TakeMark(bytes, &stamp, &version);
    // The stamp 0 goes with no game in play.
    if (!fs::PathExists(fs::ToNativePath(vek::AppendPath(folder, "save.dat").path)))
        return stamp == 0 ? e_claimOwn : e_claimLoose;
    return stamp != 0 && stamp == save_set::SavedStamp(folder) ? e_claimOwn : e_claimLoose;
}

void cPlayer::DropCopiedFile()
{
    namespace fs = vek::platform;
    const vek::filename folder = GetProfilePath(-1);
    const vek::filename file = vek::AppendPath(folder, "player.dat");
    const vek::string name = "{AppPath}/profile/" + m_strFolder;
    // A folder that is a link holds the other profile's files themselves:
    // nothing in it is moved or written.
    const bool linkedFolder = fs::IsSymlink(fs::ToNativePath(vek::filename(name).path));
    vek::LogWarning(kSender, "%s is another profile's (a copy of its player.dat, or a link to it)%s\n", file.path,
                    linkedFolder ? vek::string("; the profile's files are kept as they are and not written")
                                 : vek::string("; it is kept as player.dat.bad and the profile is read without it"));
    const vek::string folderName = m_strFolder;
    // A link is kept as a copy of the bytes it leads to: the other
    // profile's next save replaces those, and what this profile held stays.
    bool aside = false;
    if (!linkedFolder && fs::IsSymlink(fs::ToNativePath(file.path))) {
        save_set::KeepAsBad(file);
        aside = fs::RemoveFile(fs::ToNativePath(file.path));
        if (!aside) vek::LogWarning(kSender, "%s cannot be removed; it is kept as it is\n", file.path);
    } else if (!linkedFolder) {
        aside = save_set::MoveAsideAsBad(file, kSender);
    }
    if (aside) {
        *this = cPlayer(folderName);
        LoadPlayer();
        return;
    }
    *this = cPlayer(folderName);
    m_strName = folderName;
    m_bPlayerRefused = true;
}
