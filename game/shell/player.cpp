#include "game/shell/player.h"

#include <algorithm>
#include <type_traits>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/format.h"
#include "engine/core/locale.h"
#include "engine/core/log.h"
#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/profile_host.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/rules.h"
#include "game/world/ware.h"

namespace {

constexpr const char* kSender = "cPlayer";
constexpr float kVersion = 0.9f;

// Price of the next level by upgrade index and current level; 0 at the top.
constexpr int kPrices[cUpgrades::kCount][3] = {
    {200, 600, 1000}, {300, 500, 800}, {100, 700, 0},
    {250, 400, 600},  {150, 400, 600}, {350, 500, 900},
};

int MaxLevel(int index) { return index == 2 ? 2 : 3; }

// Reads the values of a saved file and notices when the file holds fewer
// bytes than its own counts and fields need: the values read so far are
// kept, the missing ones read as 0.
class cReader {
public:
    explicit cReader(vek::cBitStream& stream) : m_Stream(stream) {}

    int32_t Int()
    {
        Need(4);
        return m_Stream.ReadInt();
    }
    float Float()
    {
        Need(4);
        return m_Stream.ReadFloat();
    }
    vek::string String()
    {
        if (!Need(2)) {
            m_Stream.ReadString();
            return vek::string();
        }
        const size_t before = m_Stream.BytesLeft();
        vek::string text = m_Stream.ReadString();
        if (before - 2 < text.size()) {
            m_bShort = true;
            text.resize(before - 2);
        }
        return text;
    }
    // A count of items of four bytes: negative reads as 0, and a count past
    // the end of the file is cut to what the file holds.
    int32_t Count()
    {
        const int32_t count = Int();
        if (count <= 0) return 0;
        const size_t fits = m_Stream.BytesLeft() / 4;
        if (static_cast<size_t>(count) > fits) {
            m_bShort = true;
            return static_cast<int32_t>(fits);
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
        list.clear();
        const int32_t count = Count();
        list.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            if constexpr (std::is_same_v<T, float>)
                list.push_back(m_Stream.ReadFloat());
            else
                list.push_back(m_Stream.ReadInt());
        }
    }
    void MarkShort() { m_bShort = true; }
    bool IsShort() const { return m_bShort; }
    vek::cBitStream& Stream() { return m_Stream; }

private:
    bool Need(size_t bytes)
    {
        if (m_Stream.BytesLeft() >= bytes) return true;
        m_bShort = true;
        return false;
    }

    vek::cBitStream& m_Stream;
    bool m_bShort = false;
};

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
    if (index == 0) {
        const float speed = GetUpgradeValue(host.balance.vecWalkSpeed, level);
        for (cObject* object : field->GetObjects())
            if (object->GetType() == OBJ_GARDENER) static_cast<cGardener*>(object)->SetSpeed(speed);
    } else if (index == 1) {
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
    if (vek::g_pGame) m_strName = vek::g_pGame->strUserName;
    if (m_strName.empty()) m_strName = vek::GetLocale().Player;
    m_strFolder = folder.empty() ? FreshFolder() : folder;
    m_Events.assign(15, 0);
    m_Hints.assign(10, 0);
    Reset();
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
}

bool cPlayer::WriteFile(const vek::cBitStream& stream, const vek::filename& folder, const char* name,
                        bool damaged)
{
    const vek::filename file = vek::AppendPath(folder, name);
    // A damaged file is kept beside the new one, so that the save it held is
    // never overwritten unseen.
    if (damaged) {
        vek::cBitStream old;
        if (vek::cDataManager::ReadBinary(&old, file) == vek::cDataManager::Ok)
            vek::cDataManager::WriteBinary(&old, vek::AppendPath(folder, vek::string(name) + ".bad"));
    }
    if (vek::cDataManager::WriteBinary(&stream, file) != vek::cDataManager::Ok) {
        vek::LogWarning(kSender, "Cannot write %s\n", file.path);
        return false;
    }
    return true;
}

bool cPlayer::LoadPlayer()
{
    const vek::filename folder = GetProfilePath(-1);
    if (folder.empty()) return false;
    const vek::filename file = vek::AppendPath(folder, "player.dat");
    vek::cBitStream stream;
    if (vek::cDataManager::ReadBinary(&stream, file) != vek::cDataManager::Ok) return false;

    cReader in(stream);
    m_fVersion = in.Float();
    m_strName = in.String();
    m_iProgress = in.Int();
    m_iContinueLevel = in.Int();
    in.FixedList(m_Events);
    in.FixedList(m_Hints);
    in.List(m_Results);
    in.List(m_Times);
    if (m_fVersion >= 0.7f) {
        in.List(m_Values);
        in.List(m_AnimalCounts);
    }
    if (m_fVersion >= 0.9f) {
        // A file cut before the switch leaves it as it is.
        if (stream.BytesLeft() >= 4)
            GetProfileHost().iTraining = in.Int();
        else
            in.MarkShort();
    }
    m_bPlayerDamaged = in.IsShort();
    if (m_bPlayerDamaged) vek::LogWarning(kSender, "%s is damaged; the rest keeps its defaults\n", file.path);
    CheckProfileValues(*this);
    return true;
}

bool cPlayer::SavePlayer()
{
    const vek::filename folder = GetProfilePath(-1);
    if (folder.empty()) return false;
    vek::cBitStream out;
    out.WriteFloat(kVersion);
    out.WriteString(m_strName);
    out.WriteInt(m_iProgress);
    out.WriteInt(m_iContinueLevel);
    WriteList(out, m_Events);
    WriteList(out, m_Hints);
    WriteList(out, m_Results);
    WriteList(out, m_Times);
    WriteList(out, m_Values);
    WriteList(out, m_AnimalCounts);
    out.WriteInt(GetProfileHost().iTraining);
    const bool ok = WriteFile(out, folder, "player.dat", m_bPlayerDamaged);
    if (ok) m_bPlayerDamaged = false;
    return ok;
}

bool cPlayer::LoadGame(int slot)
{
    Reset();
    const vek::filename folder = GetProfilePath(slot);
    const vek::filename file = vek::AppendPath(folder, "save.dat");
    vek::cBitStream stream;
    if (!folder.empty() && vek::cDataManager::ReadBinary(&stream, file) == vek::cDataManager::Ok) {
        cReader in(stream);
        if (slot == -1) {
            m_fClock = in.Float();
            if (stream.BytesLeft() < 4) in.MarkShort();
            ReadWareList(m_CarLoad, &stream);
            m_iLevelValue = in.Int();
            if (stream.BytesLeft() < 4) in.MarkShort();
            if (!ReadLevelTasks(stream, m_Tasks, m_fVersion)) in.MarkShort();
        }
        if (m_fVersion < 0.9f) in.Int();  // older files carry one more value here
        GetProfileHost().iRuleCounter = in.Int();
        m_iPlayerValue = in.Int();
        m_iMoney = in.Int();
        m_iIslandMoney = in.Int();
        if (!m_Upgrades.Read(stream)) in.MarkShort();
        m_iSorts = in.Int();
        // A file cut before the animal level keeps "none".
        if (stream.BytesLeft() >= 4)
            m_iAnimals = in.Int();
        else
            in.MarkShort();
        if (in.IsShort()) {
            m_iDamagedSlot = slot;
            vek::LogWarning(kSender, "%s is damaged; the rest keeps its defaults\n", file.path);
        }
        CheckProfileValues(*this);
    }
    if (cLevel* field = GetProfileHost().pLevel) field->Load(slot);
    if (cIsland* island = GetIsland()) island->Load(slot);
    return true;
}

bool cPlayer::SaveGame(int slot)
{
    cProfileHost& host = GetProfileHost();
    vek::cBitStream out;
    if (slot == -1) {
        cIsland* island = GetIsland();
        if (island && island->iMode == cIsland::e_modeLevel) m_iContinueLevel = m_iLevel;
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

    bool ok = false;
    const vek::filename folder = GetProfilePath(slot);
    if (!folder.empty()) {
        ok = WriteFile(out, folder, "save.dat", m_iDamagedSlot == slot);
        if (ok && m_iDamagedSlot == slot) m_iDamagedSlot = -2;
    }
    // The field and the island write for the game's current profile; with
    // none, or on a field without a gardener (no level), they write nothing
    // and nothing failed.
    const bool current = g_pGarden && g_pGarden->GetPlayer();
    if (host.pLevel) {
        const bool written = host.pLevel->Save(slot);
        if (current && host.pLevel->GetGardenerObject() && !written) ok = false;
    }
    if (cIsland* island = GetIsland(); island && !island->Save(slot) && current) ok = false;
    return ok;
}

bool cPlayer::Activate() { return LoadGame(-1); }

bool cPlayer::Deactivate()
{
    const bool islandFocused = vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "island";
    if (!islandFocused && GetProfileHost().iFlowState == 0) SaveGame(-1);
    return true;
}

bool cPlayer::DeactivateOnExit()
{
    // Over the island's menus the game in play holds what was bought on the
    // island and the funds left: leaving the game keeps them too.
    if (GetProfileHost().iFlowState != 0) return true;
    return SaveGame(-1);
}

bool cPlayer::DeleteFiles()
{
    if (m_strFolder.empty()) return true;
    // The folder itself, never created for the sake of deleting it.
    vek::cFileSystem fs;
    fs.DeleteFolder(vek::filename("{AppPath}/profile/" + m_strFolder + "/"));
    return true;
}
