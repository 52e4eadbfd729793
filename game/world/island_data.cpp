// The island's three files: the geometry "island.pts", the static building
// list "island.dat" and the player's "island.dat". Every count is checked
// against what the file still holds before anything is made from it, and a
// damaged file keeps what was read before the damage.
#include <cstdint>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/building.h"
#include "game/world/island.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace {

constexpr const char* kSender = "cIsland";
constexpr const char* kPointsFile = "{StaticPath}/conf/island.pts";
constexpr const char* kGlobalFile = "{StaticPath}/conf/island.dat";

// A warning of the player file's loading, unless the file was already
// logged as damaged in this run.
void LoadWarning(bool quiet, const char* format, const vek::format_arg& a1 = vek::g_EmptyArg,
                 const vek::format_arg& a2 = vek::g_EmptyArg)
{
    if (!quiet) vek::LogWarning(kSender, format, a1, a2);
}

// A u32 count of items of at least `itemBytes` bytes each; false when the
// count is missing or larger than the rest of the stream could hold.
bool ReadCount(vek::cBitStream& s, size_t itemBytes, uint32_t* count)
{
    if (s.BytesLeft() < 4) return false;
    *count = static_cast<uint32_t>(s.ReadInt());
    return static_cast<uint64_t>(*count) * itemBytes <= s.BytesLeft();
}

vek::vec2 ReadVec2(vek::cBitStream& s)
{
    const float x = s.ReadFloat();
    const float y = s.ReadFloat();
    return {x, y};
}

// A string whose bytes are all there; false when it runs past the end.
bool ReadWholeString(vek::cBitStream& s, vek::string* out)
{
    if (s.BytesLeft() < 2) return false;
    const size_t before = s.BytesLeft();
    *out = s.ReadString();
    return before - s.BytesLeft() == 2 + out->size();
}

cPlayer* Player() { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }

} // namespace

// ---- island.pts ----

void cIsland::ReadPoints()
{
    vek::cBitStream stream;
    const vek::filename file(kPointsFile);
    if (vek::cDataManager::ReadBinary(&stream, file) != vek::cDataManager::Ok) return;
    ReadPoints(stream, file.path);
}

bool cIsland::ReadPoints(vek::cBitStream& s, const vek::string& file)
{
    bool whole = false;
    do {
        uint32_t areas = 0;
        if (!ReadCount(s, 8, &areas)) break;
        vecAreas.clear();
        bool areasWhole = true;
        for (uint32_t a = 0; a < areas && areasWhole; ++a) {
            cArea area;
            uint32_t points = 0, triangles = 0;
            areasWhole = ReadCount(s, 8, &points);
            if (!areasWhole) break;
            area.polygon.reserve(points);
            for (uint32_t i = 0; i < points; ++i) area.polygon.push_back(ReadVec2(s));
            areasWhole = ReadCount(s, 12, &triangles);
            if (!areasWhole) break;
            area.triangles.reserve(static_cast<size_t>(triangles) * 3);
            for (uint32_t i = 0; i < triangles * 3; ++i) area.triangles.push_back(static_cast<uint32_t>(s.ReadInt()));
            vecAreas.push_back(std::move(area));
        }
        if (!areasWhole) break;

        uint32_t links = 0;
        if (!ReadCount(s, 8, &links)) break;
        if (links > 0) {
            vecLinks.clear();
            // A link is a pair of points; an odd last point joins nothing.
            for (uint32_t i = 0; i < links; ++i) {
                const vek::vec2 p = ReadVec2(s);
                if (i + 1 < links || links % 2 == 0) vecLinks.push_back(p);
            }
        }

        uint32_t keys = 0;
        if (!ReadCount(s, 8, &keys)) break;
        route.Clear();
        std::vector<vek::vec2> keyPoints;
        for (uint32_t i = 0; i < keys; ++i) keyPoints.push_back(ReadVec2(s));
        // A route needs two keys: one key has no direction and no span.
        if (keys >= 2) {
            for (uint32_t i = 0; i < keys; ++i) route.AddPoint(keyPoints[i], static_cast<float>(i));
            route.SetUniformParams(1.0f);
        }

        uint32_t levels = 0;
        if (!ReadCount(s, 8, &levels)) break;
        vecLevelPoints.clear();
        for (uint32_t i = 0; i < levels; ++i) vecLevelPoints.push_back(ReadVec2(s));
        whole = true;
    } while (false);

    if (!whole) vek::LogWarning(kSender, "ReadPoints: file %s is damaged\n", file);

    vecPathDots.clear();
    const size_t n = vecLevelPoints.size();
    if (n >= 2) {
        vek::curve_CatmullRomSpline<vek::vec2> path;
        const float last = static_cast<float>(n - 1);
        for (size_t i = 0; i < n; ++i) path.AddPoint(vecLevelPoints[i], static_cast<float>(i) / last);
        for (size_t seg = 0; seg + 1 < n; ++seg)
            for (int k = 1; k <= 3; ++k)
                vecPathDots.push_back(path.GetValue((static_cast<float>(seg) + 0.25f * static_cast<float>(k)) / last));
    }
    BuildWalkMap();
    return whole;
}

// ---- the static island.dat ----

void cIsland::LoadGlobal()
{
    ClearBuildings();
    vek::cBitStream stream;
    const vek::filename file(kGlobalFile);
    if (vek::cDataManager::ReadBinary(&stream, file) != vek::cDataManager::Ok) {
        vek::LogWarning(kSender, "LoadGlobal. Can't find island.dat\n");
        return;
    }
    ReadBuildings(stream, file.path);
}

bool cIsland::ReadBuildings(vek::cBitStream& s, const vek::string& file)
{
    const cBuildingRegistry* catalogue = g_pGarden ? &g_pGarden->m_Buildings : nullptr;
    uint32_t records = 0;
    bool whole = s.BytesLeft() >= 4;
    if (whole) records = static_cast<uint32_t>(s.ReadInt());
    for (uint32_t r = 0; r < records && whole; ++r) {
        vek::string name;
        if (!ReadWholeString(s, &name) || s.BytesLeft() < 8) {
            whole = false;
            break;
        }
        const int32_t value = s.ReadInt();
        const int32_t kind = s.ReadInt();
        if (kind != cBuild::e_typeHouse && kind != cBuild::e_typeFactory) {
            vek::LogWarning(kSender, "LoadGlobal. Wrong file format!\n");
            return false;
        }
        // The position must be there before the building is made.
        if (s.BytesLeft() < 8) {
            whole = false;
            break;
        }
        const cHouse* def = catalogue ? catalogue->Find(name) : nullptr;
        cHouse* building = nullptr;
        if (kind == cBuild::e_typeHouse) {
            building = new cHouse(name, "", this);
            building->iIslandValue = value;
            if (def) building->CopyDef(*def);
            else vek::LogWarning(kSender, "LoadGlobal: house '%s' not found\n", name);
        } else {
            building = new cFactory(name, "", this);
            building->iIslandValue = value;
            if (def && def->GetType() == cBuild::e_typeFactory) building->CopyDef(*def);
            else vek::LogWarning(kSender, "LoadGlobal: factory '%s' not found\n", name);
        }
        // An island building is a copy: it starts not built, showing the
        // frame of the building not built.
        building->SetState(cHouse::e_stateNone);
        building->LoadDef(s);
    }
    if (!whole) vek::LogWarning(kSender, "LoadGlobal: file %s is damaged\n", file);
    return whole;
}

// ---- the player's island.dat ----

void cIsland::Load(int slot)
{
    cPlayer* player = Player();
    if (!player) {
        ClearBuildings();
        LoadGlobal();
        UpdateHouses();
        AddPeople(1, CountPeople());
        return;
    }
    const vek::filename file = vek::AppendPath(player->GetProfilePath(slot), "island.dat");
    m_strRefusedFile.clear();
    if (player->IsGameRefused(slot)) {
        // The profile's save was refused: the island starts as it is built
        // from the static data, and its file stays as it is.
        m_strRefusedFile = file.path;
        LoadPlayerFile(vek::filename());
        return;
    }
    // The same file read again in this run (the profile made current again,
    // the level continued) is logged once.
    // (A file that is not there is not read for it: each read of one logs.)
    vek::cBitStream bytes;
    if (vek::platform::PathExists(vek::platform::ToNativePath(file.path))) vek::cDataManager::ReadBinary(&bytes, file);
    const uint32_t bytesKey = save_set::BytesKey(bytes);
    m_bQuietLoad = player->WasPartDamageLogged(slot, "island.dat", bytesKey);
    LoadPlayerFile(file);
    m_bQuietLoad = false;
    if (m_strRefusedFile == file.path) player->NoteSetPartRefused(slot);
    if (m_strDamagedFile == file.path) {
        player->NoteSetPartDamaged(slot, file);
        player->NotePartDamageLogged(slot, "island.dat", bytesKey);
    }
}

bool cIsland::LoadPlayerFile(const vek::filename& file)
{
    ClearBuildings();
    LoadGlobal();
    m_strDamagedFile.clear();
    vek::cBitStream stream;
    bool whole = true;
    // A profile without its island yet (a new one) has nothing to log; one
    // whose save has lost it is told by the profile.
    const bool there = !file.path.empty() && vek::platform::PathExists(vek::platform::ToNativePath(file.path));
    const int result = there ? vek::cDataManager::ReadBinary(&stream, file) : vek::cDataManager::FileNotFound;
    if (result == vek::cDataManager::Unreadable) {
        LoadWarning(m_bQuietLoad, "Load: %s exists but cannot be read; the island starts afresh and the file is kept\n",
                        file.path);
        m_strRefusedFile = file.path;
    }
    uint32_t stamp = 0;
    float version = 0.0f;
    const cPlayer* player = Player();
    const save_set::eMark mark =
        result == vek::cDataManager::Ok ? save_set::TakeMark(stream, &stamp, &version) : save_set::eMark::e_none;
    const bool marked = save_set::IsMarked(mark);
    if (mark == save_set::eMark::e_damaged) {
        // Damaged as a whole: nothing of it is read.
        LoadWarning(m_bQuietLoad, "Load: %s is damaged: its checksum does not match; the island starts afresh\n", file.path);
        m_strDamagedFile = file.path;
    } else if (marked && player && player->IsForeignMark(stamp)) {
        LoadWarning(m_bQuietLoad, "Load: %s belongs to another save than save.dat; the island starts afresh\n",
                        file.path);
        m_strDamagedFile = file.path;
    } else if (result == vek::cDataManager::Ok && !marked && player && player->IsSetMarkedWhole()) {
        // Its save wrote it with a mark: one cut off (or a file put in its
        // place) is not that save's island.
        LoadWarning(m_bQuietLoad, "Load: %s lacks the mark its save.dat has; the island starts afresh\n", file.path);
        m_strDamagedFile = file.path;
    } else if (result == vek::cDataManager::Ok && mark != save_set::eMark::e_checked && player && player->IsSetChecked()) {
        LoadWarning(m_bQuietLoad, "Load: %s lacks the checksum its save.dat has; the island starts afresh\n", file.path);
        m_strDamagedFile = file.path;
    } else if (result == vek::cDataManager::Ok) {
        bool wrongKind = false;
        whole = ReadPlayerStream(stream, file.path, &wrongKind);
        if (!whole) m_strDamagedFile = file.path;
        if (wrongKind) return false;
    }
    UpdateHouses();
    AddPeople(1, CountPeople());
    return whole;
}

bool cIsland::ApplyPlayerRecords(vek::cBitStream& stream, const vek::string& file)
{
    bool wrongKind = false;
    const bool whole = ReadPlayerStream(stream, file, &wrongKind);
    if (wrongKind) return false;
    UpdateHouses();
    AddPeople(1, CountPeople());
    return whole;
}

bool cIsland::ReadPlayerStream(vek::cBitStream& s, const vek::string& file, bool* wrongKind)
{
    *wrongKind = false;
    if (s.BytesLeft() < 4) {
        LoadWarning(m_bQuietLoad, "Load: file %s is damaged\n", file);
        return false;
    }
    const uint32_t records = static_cast<uint32_t>(s.ReadInt());
    // Every record holds at least a name's length and two values: a count
    // the bytes left cannot hold refuses the records.
    constexpr size_t kSmallestRecord = 2 + 4 + 4;
    if (records > s.BytesLeft() / kSmallestRecord) {
        LoadWarning(m_bQuietLoad, "Load: file %s is damaged: the record count does not fit the file\n", file);
        return false;
    }
    for (uint32_t r = 0; r < records; ++r) {
        vek::string name;
        if (!ReadWholeString(s, &name) || s.BytesLeft() < 8) {
            LoadWarning(m_bQuietLoad, "Load: file %s is damaged\n", file);
            return false;
        }
        const int32_t value = s.ReadInt();
        const int32_t kind = s.ReadInt();
        if (kind == cBuild::e_typeHouse) {
            // A house record carries no state, whatever building it names.
            continue;
        }
        if (kind != cBuild::e_typeFactory) {
            LoadWarning(m_bQuietLoad, "Load. Wrong file format!\n");
            *wrongKind = true;
            return false;
        }
        if (s.BytesLeft() < 4) {
            LoadWarning(m_bQuietLoad, "Load: file %s is damaged\n", file);
            return false;
        }
        // No game leaves fewer than no units waiting: this record and those
        // after it keep their defaults.
        const int32_t units = s.ReadInt();
        if (units < 0) {
            LoadWarning(m_bQuietLoad, "Load: file %s is damaged: units %i are out of range\n", file, vek::format_arg(units));
            return false;
        }
        cHouse* building = FindPlacedBuilding(name, value);
        if (building && building->GetType() == cBuild::e_typeFactory) static_cast<cFactory*>(building)->iUnits = units;
    }
    return true;
}

void cIsland::WritePlayerRecords(vek::cBitStream& s) const
{
    s.WriteInt(static_cast<int32_t>(m_Buildings.size()));
    for (const cHouse* b : m_Buildings) {
        s.WriteString(b->strName);
        s.WriteInt(b->iIslandValue);
        s.WriteInt(b->GetType());
        b->SaveState(s);
    }
}

bool cIsland::Save(int slot)
{
    const cPlayer* player = Player();
    if (!player) return false;
    const vek::filename file = vek::AppendPath(player->GetProfilePath(slot), "island.dat");
    // A file that is there but could not be read is never written over.
    if (player->IsGameRefused(slot) || (!m_strRefusedFile.empty() && m_strRefusedFile == file.path)) {
        vek::LogWarning(kSender, "Save: %s is not written: the file there was refused and is kept\n", file.path);
        player->NoteSetPartFailed();
        return false;
    }
    if (!m_strDamagedFile.empty() && m_strDamagedFile == file.path) {
        save_set::KeepAsBad(file);
        m_strDamagedFile.clear();
    }
    vek::cBitStream stream;
    WritePlayerRecords(stream);
    save_set::AppendMark(stream, player->GetSetStamp(), 0.0f);
    const vek::filename target = player->GetSetFileForWriting(slot, "island.dat");
    if (vek::cDataManager::WriteBinary(&stream, target) != vek::cDataManager::Ok) {
        vek::LogWarning(kSender, "Save: cannot write %s\n", target.path);
        player->NoteSetPartFailed();
        return false;
    }
    return true;
}

bool cIsland::SavePlayerFile(const vek::filename& file)
{
    // A damaged file is kept beside the new one, so that what it held is
    // never overwritten unseen.
    if (!m_strDamagedFile.empty() && m_strDamagedFile == file.path) {
        save_set::KeepAsBad(file);
        m_strDamagedFile.clear();
    }
    vek::cBitStream stream;
    WritePlayerRecords(stream);
    if (vek::cDataManager::WriteBinary(&stream, file) != vek::cDataManager::Ok) {
        vek::LogWarning(kSender, "Save: cannot write %s\n", file.path);
        return false;
    }
    return true;
}
