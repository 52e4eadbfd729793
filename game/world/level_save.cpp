// The saved state of the garden field, "level.dat" beside the profile's
// "save.dat": the gardener, the three tools and the counted plants, then
// the counted animals and hives. The fixed objects and the beds are rebuilt
// on every load. The file is untrusted: it has no header, so every count is
// bounded by the field and by what the stream still holds, and a damaged
// file is kept as "level.dat.bad" before the next save replaces it.
#include <algorithm>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "game/objects/animal_file.h"
#include "game/objects/gardener.h"
#include "game/objects/garden_hooks.h"
#include "game/objects/plant.h"
#include "game/objects/stations.h"
#include "game/objects/tools.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/level.h"

namespace {

constexpr const char* kFile = "level.dat";
constexpr const char* kSender = "cLevel";
// No group can hold more objects than the field has cells.
constexpr int32_t kMaxGroup = g_iGridRows * g_iGridColumns;
// The smallest plant record: ware, growth, row, column.
constexpr size_t kPlantBytes = 16;

const cell kGardenerCell{5, 5};
const cell kWeedCell{5, 3};
const cell kCanCell{5, 4};
const cell kBinCell{5, 5};

// The problem noted when the animal groups were damaged; their reader has
// already warned about it.
constexpr const char* kAnimalProblem = "the animal groups are damaged";

void Note(vek::string* problem, const vek::string& what)
{
    if (problem && problem->empty()) *problem = what;
}

} // namespace

bool cLevel::SaveField(vek::cBitStream& stream)
{
    cObject* gardener = GetGardenerObject();
    if (!gardener) return false;
    if (!IsValidCell(gardener->GetCell())) gardener->SetCell(g_iGridRows / 2, 0);
    gardener->Save(stream);
    for (uint32_t mask : {OBJ_TOOL_WATER, OBJ_TOOL_WEED, OBJ_TOOL_BIN}) {
        cObject* tool = FindObject(cell(), mask);
        if (tool == GetNullObject()) {
            // A field always has its tools; a missing one is saved where the
            // default placement would put it, so the record stays aligned.
            const cell at = mask == OBJ_TOOL_WATER ? kCanCell : mask == OBJ_TOOL_WEED ? kWeedCell : kBinCell;
            stream.WriteInt(at.row);
            stream.WriteInt(at.column);
            if (mask == OBJ_TOOL_WATER) {
                stream.WriteInt(GetUpgradeValue(garden::Balance().vecWaterCapacity, GetUpgradeLevel(cUpgrades::e_upCanVolume)));
                stream.WriteInt(0);
            } else if (mask == OBJ_TOOL_BIN) {
                stream.WriteInt(0);
            }
            continue;
        }
        tool->Save(stream);
    }
    std::vector<cObject*> plants;
    for (cObject* object : m_Objects)
        if (object->IsType(OBJ_PLANT)) plants.push_back(object);
    stream.WriteInt(static_cast<int32_t>(plants.size()));
    for (cObject* plant : plants) plant->Save(stream);
    SaveAnimalGroups(*this, stream);
    return true;
}

bool cLevel::Save(int slot)
{
    cPlayer* player = garden::Player();
    if (!player || !GetGardenerObject()) return false;
    vek::cBitStream stream;
    if (!SaveField(stream)) return false;
    const vek::filename folder = player->GetProfilePath(slot);
    if (folder.empty()) return false;
    const vek::filename file = vek::AppendPath(folder, kFile);
    // A file that is there but could not be read is never written over.
    if (player->IsGameRefused(slot) ||
        std::find(m_RefusedSlots.begin(), m_RefusedSlots.end(), slot) != m_RefusedSlots.end()) {
        vek::LogWarning(kSender, "Save: %s is not written: the file there was refused and is kept\n", file.path);
        player->NoteSetPartFailed();
        return false;
    }
    save_set::AppendMark(stream, player->GetSetStamp(), 0.0f);
    const auto damaged = std::find(m_DamagedSlots.begin(), m_DamagedSlots.end(), slot);
    if (damaged != m_DamagedSlots.end()) save_set::KeepAsBad(file);
    const vek::filename target = player->GetSetFileForWriting(slot, kFile);
    if (vek::cDataManager::WriteBinary(&stream, target) != vek::cDataManager::Ok) {
        vek::LogWarning(kSender, "Save: cannot write %s\n", target.path);
        player->NoteSetPartFailed();
        return false;
    }
    if (damaged != m_DamagedSlots.end()) m_DamagedSlots.erase(damaged);
    return true;
}

void cLevel::LoadField(vek::cBitStream* stream, vek::string* problem, bool* refused)
{
    // The beds of the field as it was, so that an expansion shows which
    // ones are new.
    std::vector<cell> holes;
    for (cObject* object : m_Objects)
        if (object->IsType(OBJ_HOLE)) holes.push_back(object->GetCell());
    const cPlayer* player = garden::Player();
    if (refused) *refused = false;
    BuildField(stream, holes, problem);
    // Animals the profile could not have bought (a kind its save has not
    // unlocked, more hives than their places) say the file is not this
    // save's field: nothing it held is kept.
    const vek::string beyond = stream ? AnimalsBeyond(player ? player->m_iAnimals : -1) : vek::string();
    if (!beyond.empty()) {
        if (problem) *problem = "it holds " + beyond;
        if (refused) *refused = true;
        BuildField(nullptr, holes, nullptr);
    }
    RelocateBlockedItems();
}

void cLevel::BuildField(vek::cBitStream* stream, const std::vector<cell>& holes, vek::string* problem)
{
    ResetField();
    const cPlayer* player = garden::Player();
    // Before the game has read its bed layouts (a profile is first loaded
    // during start-up) the field stays without beds; it is loaded again
    // once they are known.
    // While the bed timer runs (the garden was just expanded) the beds
    // that were not there before start hidden, for the timer to reveal.
    if (g_pGarden && player && !g_pGarden->GetBedLayouts().empty())
        // The saved index stays as the profile has it: a layout file that
        // lacks it now may have it again later.
        ApplyBedLayout(g_pGarden->GetBedLayouts(),
                       std::clamp<int32_t>(player->m_iPlayerValue, 0,
                                           static_cast<int32_t>(std::min<size_t>(g_pGarden->GetBedLayouts().size() - 1, 0x7fffffff))),
                       holes, g_pGarden->m_BedTimer.IsMoving());

    auto* gardener = new cGardener(this);
    m_uGardenerId = gardener->GetId();
    auto* can = new cToolWater(this);
    auto* weed = new cToolWeed(this);
    auto* bin = new cToolBin(this);
    m_uCarBackId = (new cCarBack(this))->GetId();
    auto* car = new cCar(this);
    m_uCarId = car->GetId();
    car->SetCell(g_iGridRows / 2 - 1, 0);
    car->SetDrive(car->GetBodyPos().x);  // the back part takes its place
    auto* pump = new cWaterPump(this);
    m_uPumpId = pump->GetId();
    const cell pumpCell(2, g_iGridColumns - 1);
    pump->SetCell(pumpCell);
    for (int32_t dr = -1; dr <= 1; ++dr) SetCellValue(pumpCell.row + dr, pumpCell.column, 0.0f);

    if (!stream || stream->BytesLeft() == 0) {
        gardener->SetCell(kGardenerCell);
        weed->SetCell(kWeedCell);
        can->SetCell(kCanCell);
        bin->SetCell(kBinCell);
    } else {
        // Once a record was cut short the stream is used up: the animals'
        // reader would only warn a second time.
        bool cut = false;
        const auto Cut = [&cut, problem](const char* what) {
            cut = true;
            Note(problem, what);
        };
        if (!gardener->Load(*stream)) Cut("the gardener's record is cut short");
        if (!can->Load(*stream)) Cut("the watering can's record is cut short or damaged");
        if (!weed->Load(*stream)) Cut("the weeding tool's record is cut short");
        if (!bin->Load(*stream)) Cut("the basket's record is cut short or damaged");
        if (!IsValidCell(gardener->GetCell())) {
            Note(problem, "the gardener stands outside the field");
            gardener->SetCell(kGardenerCell);
        }
        const std::pair<cTool*, cell> tools[] = {{can, kCanCell}, {weed, kWeedCell}, {bin, kBinCell}};
        for (const auto& [tool, home] : tools) {
            if (IsValidCell(tool->GetCell())) continue;
            Note(problem, "a tool lies outside the field");
            tool->SetCell(home);
        }

        if (cut) {
            // What follows a damaged record is not read from the wrong bytes.
        } else if (stream->BytesLeft() < 4) {
            Cut("the plant count is missing");
        } else {
            int32_t count = stream->ReadInt();
            // A negative count, or one the field or the bytes left cannot
            // hold, refuses the plants and everything after them: they keep
            // their defaults.
            if (count < 0) {
                Cut("the plant count is negative");
                count = 0;
            } else if (count > kMaxGroup || static_cast<size_t>(count) > stream->BytesLeft() / kPlantBytes) {
                Cut("the plant count does not fit the file");
                count = 0;
            }
            for (int32_t i = 0; i < count; ++i) {
                if (stream->BytesLeft() < kPlantBytes) {
                    Cut("the plants are cut short");
                    break;
                }
                auto* plant = new cPlant(this, NO_WARE);
                const bool read = plant->Load(*stream);
                if (!read || !IsValidCell(plant->GetCell())) {
                    Note(problem, read ? "a plant stands outside the field" : "a plant record does not parse");
                    delete plant;
                }
            }
        }
        // The animals' reader gives its own warning; the file is still
        // marked damaged so that it is kept before the next save.
        if (!cut && !LoadAnimalGroups(*this, *stream)) Note(problem, kAnimalProblem);
    }
}

bool cLevel::Load(int slot)
{
    cPlayer* player = garden::Player();
    vek::cBitStream stream;
    bool haveFile = false;
    // Why the file is not this save's field (null when it is).
    const char* foreign = nullptr;
    bool empty = false;
    vek::filename file;
    uint32_t bytesKey = 0;
    m_RefusedSlots.erase(std::remove(m_RefusedSlots.begin(), m_RefusedSlots.end(), slot), m_RefusedSlots.end());
    if (player && !player->IsGameRefused(slot)) {
        const vek::filename folder = player->GetProfilePath(slot);
        if (!folder.empty()) {
            file = vek::AppendPath(folder, kFile);
            const int result = vek::cDataManager::ReadBinary(&stream, file);
            bytesKey = save_set::BytesKey(stream);
            haveFile = result == vek::cDataManager::Ok;
            // No game writes an empty field file (or one past the reader's
            // limit): one holds at least the gardener.
            empty = result == vek::cDataManager::InternalError;
            if (result == vek::cDataManager::Unreadable) {
                vek::LogWarning(kSender, "Load: %s exists but cannot be read; the field starts afresh and the file is kept\n",
                                file.path);
                m_RefusedSlots.push_back(slot);
                player->NoteSetPartRefused(slot);
            }
            uint32_t stamp = 0;
            float version = 0.0f;
            const save_set::eMark mark = haveFile ? save_set::TakeMark(stream, &stamp, &version) : save_set::eMark::e_none;
            const bool marked = save_set::IsMarked(mark);
            // Damaged as a whole (nothing of it is read), another save's
            // field, or one whose mark or checksum was cut off (its save
            // wrote it with them): the "save.dat" loaded would not match it.
            if (mark == save_set::eMark::e_damaged)
                foreign = "its checksum does not match";
            else if (marked && player->IsForeignMark(stamp))
                foreign = "it belongs to another save than save.dat";
            else if (haveFile && !marked && player->IsSetMarkedWhole())
                foreign = "it lacks the mark its save.dat has";
            else if (haveFile && mark != save_set::eMark::e_checked && player->IsSetChecked())
                foreign = "it lacks the checksum its save.dat has";
            if (foreign) haveFile = false;
            // The game in play of a level was saved with its field: its
            // file gone is a loss, not a field never written.
            if (result == vek::cDataManager::FileNotFound && player->ExpectsField(slot)) foreign = "it is missing";
        }
    }
    vek::string problem;
    bool refused = foreign != nullptr;
    if (foreign) problem = foreign;
    if (empty || (haveFile && stream.BytesLeft() == 0)) problem = "it is empty";
    bool beyond = false;
    LoadField(haveFile ? &stream : nullptr, &problem, &beyond);
    refused = refused || beyond;
    m_DamagedSlots.erase(std::remove(m_DamagedSlots.begin(), m_DamagedSlots.end(), slot), m_DamagedSlots.end());
    if (!problem.empty()) {
        // The same file read again in this run (the profile made current
        // again, the level continued) is logged once.
        const bool logged = player && player->WasPartDamageLogged(slot, kFile, bytesKey);
        if (player) player->NotePartDamageLogged(slot, kFile, bytesKey);
        if (problem != kAnimalProblem && !logged)
            vek::LogWarning(kSender,
                            refused ? "Load: %s is damaged: %s; the field starts afresh\n"
                                    : "Load: %s is damaged: %s; the rest keeps its defaults\n",
                            file.path, problem);
        m_DamagedSlots.push_back(slot);
        if (player) player->NoteSetPartDamaged(slot, haveFile || foreign != nullptr ? file : vek::filename());
    }
    return true;
}
