// The garden's saved state, "level.dat": round trips, the layout of an
// empty garden, and files cut short or damaged.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>

#include "engine/core/bitstream.h"
#include "game/objects/bee.h"
#include "game/objects/goat.h"
#include "game/objects/hive.h"
#include "game/objects/ostrich.h"
#include "game/objects/peacock.h"
#include "game/objects/product.h"
#include "game/scripted_player.h"
#include "game/world/rules.h"
#include "platform/fs.h"
#include "support/save_marks.h"

namespace {

using gardentest::cScriptedPlayer;

// What a garden holds, object by object, comparable across loads.
using cSeen = std::tuple<uint32_t, int32_t, int32_t, int32_t, float>;

class LevelSave : public gardentest::GardenWorld {
protected:
    std::string File() const { return dir + "/app/profile/plrgarden/level.dat"; }
    std::string Bytes() const { return vektest::ReadFile(File()); }
    void WriteBytes(const std::string& bytes) { ASSERT_TRUE(vektest::WriteFile(File(), bytes)); }

    std::vector<cSeen> Seen() const
    {
        std::vector<cSeen> seen;
        for (cObject* object : level->GetObjects()) {
            if (object == level->GetNullObject()) continue;
            const cell at = object->GetCell();
            int32_t ware = -1;
            float growth = 0.0f;
            if (object->IsType(OBJ_PLANT)) {
                ware = static_cast<cPlant*>(object)->GetWareId();
                growth = static_cast<cPlant*>(object)->GetGrowth();
            }
            seen.emplace_back(object->GetType(), at.row, at.column, ware, growth);
        }
        return seen;
    }

    // A garden at work: crops and flowers at several growths, wares in the
    // basket, water in the can, tools moved about; every animal unlocked
    // (the levels up to the last grant them).
    void MakeGarden()
    {
        GetProfileHost().iRuleCounter = 1;
        player->m_iProgress = kLevelCount - 1;
        player->m_iAnimals = e_animalPeacock;
        LoadField();
        cScriptedPlayer p(*level);
        p.Step(2);
        const std::vector<cHole*> beds = p.Beds();
        const char* sorts[] = {"plant00", "plant03", "plant07"};
        for (int i = 0; i < 3; ++i) {
            auto* plant = static_cast<cPlant*>(
                level->GetObject(level->AddPlant(beds[static_cast<size_t>(i)]->GetCell(), Ware(sorts[i]))));
            plant->SetGrowth(0.25f * static_cast<float>(i + 1));
        }
        level->AddPlant(cell(7, 7), Ware("flowers"));
        level->AddPlant(cell(7, 8), Ware("grass"));
        auto* basket = static_cast<cToolBin*>(p.First(OBJ_TOOL_BIN));
        basket->AddWare(0);
        basket->AddWare(3);
        static_cast<cToolWater*>(p.First(OBJ_TOOL_WATER))->SetWater(2);
        p.First(OBJ_TOOL_WEED)->SetCell(6, 8);
        p.Gardener()->SetCell(4, 6);
        (new cOstrich(level))->SetCell(2, 6);
    }
};

TEST_F(LevelSave, AGardenComesBackAsItWasAndSavesTheSameBytes)
{
    MakeGarden();
    const std::vector<cSeen> before = Seen();
    ASSERT_TRUE(level->Save(-1));
    const std::string first = Bytes();
    ASSERT_FALSE(first.empty());

    // A fresh field, as after a restart of the game.
    delete level;
    level = new cLevel();
    GetProfileHost().pLevel = level;
    game->m_pLevel = level;
    LoadField();
    EXPECT_EQ(Seen(), before);
    cScriptedPlayer p(*level);
    EXPECT_EQ(static_cast<cToolBin*>(p.First(OBJ_TOOL_BIN))->GetWares(), (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(static_cast<cToolWater*>(p.First(OBJ_TOOL_WATER))->GetWater(), 2);
    // A loaded plant starts as a new one.
    for (cPlant* plant : p.Plants()) EXPECT_EQ(plant->GetState(), -1);
    ASSERT_TRUE(level->Save(-1));
    EXPECT_EQ(Bytes(), first);
    EXPECT_EQ(Logged("damaged"), 0);
}

// Every kind of object at once: the garden above, every animal (a goat
// offering milk, a hungry ostrich), eggs and nibs on the field, two hives,
// one of them full with its timer running, and their bees in flight.
class FullGardenSave : public LevelSave {
protected:
    void MakeFullGarden()
    {
        MakeGarden();
        cScriptedPlayer p(*level);
        level->AddOstrich();
        level->AddPeacock();
        auto* goat = static_cast<cGoat*>(level->GetObject(level->AddGoat()));
        level->GetObject(level->AddHive());
        auto* full = static_cast<cHive*>(level->GetObject(level->AddHive()));
        (new cEgg(level))->SetCell(3, 3);
        (new cNib(level))->SetCell(1, 1);
        p.Step(40);
        goat->SetState(cAnimal::e_stMilk);
        auto* ostrich = static_cast<cAnimal*>(p.All(OBJ_OSTRICH).back());
        ostrich->SetState(cAnimal::e_stHungry);
        ASSERT_TRUE(full->AddHoney());
        p.Step(5);
        ASSERT_GT(full->m_Full.m_Value, 0.0f);
    }
    // The saved kinds only: eggs, nibs and bees are made afresh or not at
    // all.
    std::vector<cSeen> Saved() const
    {
        std::vector<cSeen> saved;
        for (const cSeen& seen : Seen())
            if ((std::get<0>(seen) & (OBJ_PRODUCT | OBJ_BEE)) == 0) saved.push_back(seen);
        return saved;
    }
    void Restart()
    {
        delete level;
        level = new cLevel();
        GetProfileHost().pLevel = level;
        game->m_pLevel = level;
        LoadField();
    }
};

TEST_F(FullGardenSave, EveryKindOfObjectComesBackAndSavesTheSameBytes)
{
    MakeFullGarden();
    const std::vector<cSeen> before = Saved();
    ASSERT_TRUE(level->Save(-1));
    const std::string first = Bytes();
    Restart();
    EXPECT_EQ(Saved(), before);
    EXPECT_EQ(level->m_iOstriches, 2);
    EXPECT_EQ(level->m_iPeacocks, 1);
    EXPECT_EQ(level->m_iGoats, 1);
    EXPECT_EQ(level->m_iHives, 2);
    cScriptedPlayer p(*level);
    EXPECT_EQ(p.All(OBJ_BEE).size(), 2u);
    EXPECT_TRUE(p.All(OBJ_PRODUCT).empty());
    auto* full = static_cast<cHive*>(level->FindObject(cell(0, 6), OBJ_HIVE));
    ASSERT_NE(full, level->GetNullObject());
    EXPECT_TRUE(full->IsFull());
    EXPECT_EQ(full->GetCapacity(), 1);
    EXPECT_GT(full->m_Full.m_Value, 0.0f);
    EXPECT_FALSE(static_cast<cHive*>(level->FindObject(cell(0, 4), OBJ_HIVE))->IsFull());
    EXPECT_EQ(level->GetCellValue(cell(1, 6)), 0.0f);
    ASSERT_TRUE(level->Save(-1));
    EXPECT_EQ(Bytes(), first);
    // A field that has run on a while saves what it holds, the same way.
    p.Step(10);
    ASSERT_TRUE(level->Save(-1));
    const std::string later = Bytes();
    Restart();
    ASSERT_TRUE(level->Save(-1));
    EXPECT_EQ(Bytes(), later);
    EXPECT_EQ(Logged("damaged"), 0);

    // Every cut of it: a warning, the fixed objects, and never more
    // animals or hives than the whole file held.
    // (A cut in the mark that follows leaves the field whole.)
    for (size_t length = 1; length < first.size() - save_set::kMarkBytes; ++length) {
        WriteBytes(first.substr(0, length));
        const int warned = Logged("level.dat") - Logged("the oldest copy was dropped");
        LoadField();
        EXPECT_EQ(Logged("level.dat") - Logged("the oldest copy was dropped"), warned + 1) << length;
        cScriptedPlayer cut(*level);
        ASSERT_NE(cut.Gardener(), nullptr);
        EXPECT_EQ(cut.All(OBJ_TOOL).size(), 3u);
        EXPECT_LE(cut.All(OBJ_ANIMAL).size(), 4u);
        EXPECT_LE(level->m_iHives, 2);
        EXPECT_EQ(cut.All(OBJ_BEE).size(), static_cast<size_t>(level->m_iHives));
    }
}

TEST_F(LevelSave, AnEmptyGardenIsFourRecordsAndFiveZeroCounts)
{
    game->m_BedLayouts = {{}};
    LoadField();
    vek::cBitStream s;
    ASSERT_TRUE(level->SaveField(s));
    ASSERT_EQ(s.GetByteCount(), 8u + 16u + 8u + 12u + 20u);
    s.SetData(std::vector<uint8_t>(s.GetData().begin(), s.GetData().begin() + static_cast<long>(s.GetByteCount())));
    const int32_t expected[] = {5, 5, 5, 4, 3, 0, 5, 3, 5, 5, 0, 0, 0, 0, 0, 0};
    for (int32_t value : expected) EXPECT_EQ(s.ReadInt(), value);

    // A gardener off the field is saved on (4, 0) and stays there.
    cScriptedPlayer p(*level);
    p.Gardener()->SetPos(5.0f, 5.0f);
    vek::cBitStream again;
    ASSERT_TRUE(level->SaveField(again));
    EXPECT_EQ(p.Gardener()->GetCell(), cell(4, 0));

    // Without a gardener nothing is written.
    level->ClearObjects();
    EXPECT_FALSE(level->Save(-1));
}

TEST_F(LevelSave, EveryCutOfAFileLoadsWithAWarningAndTheFixedObjects)
{
    MakeGarden();
    ASSERT_TRUE(level->Save(-1));
    const std::string whole = Bytes();
    // (A cut in the mark that follows leaves the field whole.)
    for (size_t length = 1; length < whole.size() - save_set::kMarkBytes; ++length) {
        WriteBytes(whole.substr(0, length));
        // One warning, from the field's or the animals' reader.
        const int before = Logged("level.dat") - Logged("the oldest copy was dropped");
        LoadField();
        EXPECT_EQ(Logged("level.dat") - Logged("the oldest copy was dropped"), before + 1) << length;
        cScriptedPlayer p(*level);
        ASSERT_NE(p.Gardener(), nullptr);
        EXPECT_TRUE(level->IsValidCell(p.Gardener()->GetCell()));
        EXPECT_EQ(p.All(OBJ_TOOL).size(), 3u);
        for (cObject* tool : p.All(OBJ_TOOL)) EXPECT_TRUE(level->IsValidCell(tool->GetCell())) << length;
        EXPECT_EQ(level->GetObject(level->m_uCarId)->GetCell(), cell(3, 0));
        EXPECT_EQ(level->GetObject(level->m_uPumpId)->GetCell(), cell(2, 9));
        EXPECT_EQ(p.Beds().size(), 6u);
    }
    // No game writes an empty field: the default placement, said to be
    // damaged.
    WriteBytes("");
    const int before = Logged("level.dat is damaged: it is empty");
    LoadField();
    EXPECT_EQ(Logged("level.dat is damaged: it is empty"), before + 1);
    EXPECT_EQ(cScriptedPlayer(*level).Gardener()->GetCell(), cell(5, 5));
}

TEST_F(LevelSave, DamagedRecordsAreBoundedDroppedOrPutBack)
{
    const auto file = [](std::initializer_list<int32_t> head, int32_t plants, std::initializer_list<int32_t> rest) {
        vek::cBitStream s;
        for (int32_t v : head) s.WriteInt(v);
        s.WriteInt(plants);
        for (int32_t v : rest) s.WriteInt(v);
        return std::string(s.GetData().begin(), s.GetData().begin() + static_cast<long>(s.GetByteCount()));
    };
    player->m_iAnimals = e_animalOstrich;
    // Gardener at (99, -4), the can at (-1, -1), the weeding tool and the
    // basket in order.
    const std::initializer_list<int32_t> head = {99, -4, -1, -1, 4, 0, 6, 7, 7, 0, 0};
    float half = 0.5f;
    int32_t halfBits = 0;
    std::memcpy(&halfBits, &half, 4);

    // A huge plant count with two records (one outside the grid), then
    // nothing: the count does not fit the file, so no plant (nor animal)
    // is read from what follows it.
    WriteBytes(file(head, 0x7fffffff, {0, halfBits, 7, 7, 1, halfBits, 40, 2}));
    LoadField();
    cScriptedPlayer p(*level);
    EXPECT_EQ(p.Gardener()->GetCell(), cell(5, 5));
    // The can's nearest free cell from nowhere is the corner.
    EXPECT_EQ(p.First(OBJ_TOOL_WATER)->GetCell(), cell(0, 0));
    EXPECT_EQ(p.First(OBJ_TOOL_WEED)->GetCell(), cell(6, 7));
    EXPECT_TRUE(p.Plants().empty());
    EXPECT_EQ(Logged("is damaged"), 1);
    // A count that fits the field but not the bytes left: the same.
    WriteBytes(file(head, 3, {0, halfBits, 7, 7, 1, halfBits, 6, 2}));
    LoadField();
    EXPECT_TRUE(cScriptedPlayer(*level).Plants().empty());
    EXPECT_EQ(Logged("is damaged"), 2);

    // No game writes a negative count: the values after it are not read
    // (a plant count, then an ostrich; a basket's count, then a plant).
    WriteBytes(file(head, INT_MIN, {1, 2, 6, 0, 0, 0}));
    LoadField();
    EXPECT_TRUE(cScriptedPlayer(*level).Plants().empty());
    EXPECT_TRUE(cScriptedPlayer(*level).All(OBJ_OSTRICH).empty());
    WriteBytes(file({99, -4, -1, -1, 4, 0, 6, 7, 7, 0, -1}, 1, {0, halfBits, 7, 7, 0, 0, 0, 0}));
    LoadField();
    EXPECT_TRUE(cScriptedPlayer(*level).Plants().empty());

    // The animals are read after the plants: an ostrich, then a hive
    // count without its record. One line; what was read before stays.
    WriteBytes(file({4, 6, 5, 4, 3, 0, 5, 3, 5, 5, 0}, 1, {0, halfBits, 7, 7, 1, 2, 6, 0, 0, 1}));
    const int before = Logged("level.dat");
    LoadField();
    EXPECT_EQ(Logged("level.dat"), before + 1);
    EXPECT_EQ(Logged("hives"), 1);
    EXPECT_EQ(cScriptedPlayer(*level).Plants().size(), 1u);
    ASSERT_EQ(cScriptedPlayer(*level).All(OBJ_OSTRICH).size(), 1u);
    EXPECT_EQ(cScriptedPlayer(*level).First(OBJ_OSTRICH)->GetCell(), cell(2, 6));

    // The damaged file is kept beside the next save, once.
    const std::string damaged = Bytes();
    ASSERT_TRUE(level->Save(-1));
    EXPECT_EQ(vektest::NewestBad(File()), damaged);
    EXPECT_NE(Bytes(), damaged);
    const std::string good = Bytes();
    ASSERT_TRUE(level->Save(-1));
    EXPECT_EQ(vektest::NewestBad(File()), damaged);
}

TEST_F(LevelSave, AFailedWriteIsReported)
{
    LoadField();
    ASSERT_TRUE(level->Save(-1));
    // A folder where the file should go: the write cannot replace it.
    ASSERT_EQ(std::remove(File().c_str()), 0);
    ASSERT_EQ(mkdir(File().c_str(), 0755), 0);
    ASSERT_TRUE(vektest::WriteFile(File() + "/keep", "x"));
    EXPECT_FALSE(level->Save(-1));
    EXPECT_EQ(Logged("cannot write"), 1);
}

TEST_F(LevelSave, TheFilesOfOneSaveAreLoadedOnlyTogether)
{
    const std::string save = dir + "/app/profile/plrgarden/save.dat";
    MakeGarden();
    player->m_iMoney = 10;
    ASSERT_TRUE(player->SaveGame(-1));
    const std::string save10 = vektest::ReadFile(save);
    const std::string level10 = Bytes();
    // The field's file ends in the mark of its save, stamp and all.
    // (Its magic, its layout, the stamp, the checksum of its own bytes.)
    ASSERT_GE(level10.size(), save_set::kMarkBytes);
    EXPECT_EQ(level10.substr(level10.size() - save_set::kMarkBytes, 4), "ZLS2");
    EXPECT_EQ(level10.substr(level10.size() - 8, 4), save10.substr(save10.size() - 8, 4));
    EXPECT_EQ(vektest::Resealed(level10), level10);

    // The save fails before "save.dat" is replaced: the field's new file is
    // never put in place, and the old set stays whole.
    vek::platform::SetReplaceHook(
        [](const std::string& temp) { return temp.find("save.dat.tmp") == std::string::npos; });
    cScriptedPlayer(*level).Gardener()->SetCell(2, 2);
    player->m_iMoney = 20;
    EXPECT_FALSE(player->SaveGame(-1));
    vek::platform::SetReplaceHook(nullptr);
    EXPECT_EQ(vektest::ReadFile(save), save10);
    EXPECT_EQ(Bytes(), level10);
    EXPECT_NE(access((File() + ".next").c_str(), F_OK), 0);
    EXPECT_EQ(Logged("could not be saved"), 1);

    // Killed after "save.dat" committed the set, before the field's file
    // was put in place: the next load completes the set.
    player->m_iMoney = 30;
    ASSERT_TRUE(player->SaveGame(-1));
    const std::string level30 = Bytes();
    ASSERT_NE(level30, level10);
    ASSERT_EQ(std::rename(File().c_str(), (File() + ".next").c_str()), 0);
    WriteBytes(level10);
    ASSERT_TRUE(player->LoadGame(-1));
    EXPECT_EQ(player->m_iMoney, 30);
    EXPECT_EQ(Bytes(), level30);
    EXPECT_EQ(cScriptedPlayer(*level).Gardener()->GetCell(), cell(2, 2));
    EXPECT_NE(access((File() + ".next").c_str(), F_OK), 0);

    // Killed before the commit: the field's new file is not the save's and
    // goes.
    ASSERT_TRUE(vektest::WriteFile(File() + ".next", level10));
    ASSERT_TRUE(player->LoadGame(-1));
    EXPECT_NE(access((File() + ".next").c_str(), F_OK), 0);
    EXPECT_EQ(Bytes(), level30);

    // A field of another save is not loaded with this "save.dat": the
    // field starts afresh, and the file is kept as .bad at the next save.
    WriteBytes(level10);
    ASSERT_TRUE(player->LoadGame(-1));
    EXPECT_EQ(Logged("belongs to another save"), 1);
    EXPECT_EQ(cScriptedPlayer(*level).Gardener()->GetCell(), cell(5, 5));
    ASSERT_TRUE(player->SaveGame(-1));
    EXPECT_EQ(vektest::NewestBad(File()), level10);

    // A "level.dat" that is there but cannot be read: the field starts
    // afresh and neither it nor the rest of the set is written over.
    ASSERT_EQ(std::remove(File().c_str()), 0);
    ASSERT_EQ(mkdir(File().c_str(), 0755), 0);
    const std::string saveNow = vektest::ReadFile(save);
    ASSERT_TRUE(player->LoadGame(-1));
    EXPECT_EQ(Logged("level.dat exists but cannot be read"), 1);
    player->m_iMoney = 40;
    EXPECT_FALSE(player->SaveGame(-1));
    EXPECT_EQ(vektest::ReadFile(save), saveNow);
    struct stat st{};
    ASSERT_EQ(stat(File().c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
}

// Fields a save could not have written, built from the "level.dat" of a
// fresh first-level game: refused whole (the field a fresh start gives) or
// damaged, told, and kept as ".bad" by the next save. An older save marked
// afterwards keeps its unmarked field.
TEST_F(LevelSave, AFieldItsSaveCouldNotHaveWrittenIsRefused)
{
    const std::string save = dir + "/app/profile/plrgarden/save.dat";
    // The levels won grant every animal the rows' saves hold.
    player->m_iProgress = kLevelCount - 1;
    const auto ints = [](std::initializer_list<int32_t> values) {
        vek::cBitStream s;
        for (int32_t v : values) s.WriteInt(v);
        return std::string(s.GetData().begin(), s.GetData().begin() + static_cast<long>(s.GetByteCount()));
    };
    // No ostriches, peacocks or goats, then n hives on the first place.
    const auto hives = [&](int32_t n) {
        std::string groups = ints({0, 0, 0, n});
        for (int32_t i = 0; i < n; ++i) groups += ints({0, 4, 0, 1, 0, 0, 0, 0, 0, 0});
        return groups;
    };
    enum eSet { e_marked, e_unmarked, e_olderMarked };
    struct {
        const char* what;
        eSet set;
        int32_t animals;
        // The field's file from the fresh one (without its mark: `body`).
        std::function<std::string(const std::string& file, const std::string& body)> make;
        const char* told;  // null: loaded as it is
    } rows[] = {
        {"cut before its mark, hives appended", e_marked, e_animalHive,
         [&](const std::string&, const std::string& body) { return body.substr(0, body.size() - 16) + hives(80); },
         "level.dat is damaged: it lacks the mark its save.dat has; the field starts afresh"},
        {"hives before they are unlocked", e_unmarked, e_animalGoat,
         [&](const std::string&, const std::string& body) { return body.substr(0, body.size() - 16) + hives(80); },
         "level.dat is damaged: it holds 80 hives, which its save has not unlocked; the field starts afresh"},
        {"more hives than their places", e_unmarked, e_animalPeacock,
         [&](const std::string&, const std::string& body) { return body.substr(0, body.size() - 16) + hives(3); },
         "level.dat is damaged: it holds 3 hives, more than their 2 places; the field starts afresh"},
        {"an older save's field", e_olderMarked, e_animalHive,
         [&](const std::string&, const std::string& body) { return body.substr(0, body.size() - 16) + hives(2); },
         nullptr},
        {"a can holding 2^31-1", e_marked, -1,
         [&](const std::string& file, const std::string&) { return file.substr(0, 20) + ints({INT_MAX}) + file.substr(24); },
         "level.dat is damaged: the watering can's record is cut short or damaged; the rest keeps its defaults"},
        {"a can holding -1", e_marked, -1,
         [&](const std::string& file, const std::string&) { return file.substr(0, 20) + ints({-1}) + file.substr(24); },
         "level.dat is damaged: the watering can's record is cut short or damaged; the rest keeps its defaults"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::remove(File().c_str());
        vektest::RemoveBadCopies(File());
        player->m_iAnimals = row.animals;
        LoadField();
        const std::vector<cSeen> fresh = Seen();
        ASSERT_TRUE(player->SaveGame(-1));
        const std::string file = Bytes();
        ASSERT_EQ(file.size(), 64u + save_set::kMarkBytes);
        const std::string body = file.substr(0, file.size() - save_set::kMarkBytes);
        // A value damaged in a marked file keeps a matching checksum here,
        // so that the reader's own checks are reached.
        const std::string damaged = row.set == e_marked && row.animals == -1 ? vektest::Resealed(row.make(file, body))
                                                                             : row.make(file, body);
        WriteBytes(damaged);
        std::string saved = vektest::ReadFile(save);
        // The stamp "player.dat" shares with the save.
        const std::string stamp = saved.substr(saved.size() - 8, 4);
        if (row.set != e_marked) saved.resize(saved.size() - save_set::kMarkBytes);
        if (row.set == e_olderMarked) {
            // The older layout holds one more value before the last twelve.
            saved.insert(saved.size() - 48, ints({0}));
            vek::cBitStream mark;
            mark.WriteFloat(0.8f);
            saved += "ZLS1" + std::string(mark.GetData().begin(), mark.GetData().begin() + 4) + stamp;
        }
        ASSERT_TRUE(vektest::WriteFile(save, saved));
        // Files of the layouts before today's mark come from a profile an
        // older game wrote: no copy of "player.dat", and no file of it with
        // today's mark (its other files carry the mark of their layout).
        const std::string folder = save.substr(0, save.rfind('/') + 1);
        if (row.set != e_marked) {
            std::remove((folder + save_set::kPlayerCopy).c_str());
            for (const char* name : {"player.dat", "island.dat"}) {
                std::string bytes = vektest::ReadFile(folder + name);
                if (bytes.size() < save_set::kMarkBytes) continue;
                const std::string mark = bytes.substr(bytes.size() - save_set::kMarkBytes, 12);
                bytes.resize(bytes.size() - save_set::kMarkBytes);
                if (row.set == e_olderMarked) bytes += "ZLS1" + mark.substr(4);
                ASSERT_TRUE(vektest::WriteFile(folder + name, bytes));
            }
            player->LoadPlayer();
        }

        const int told = row.told ? Logged(row.told) : 0;
        const int warned = Logged("level.dat");
        ASSERT_TRUE(player->LoadGame(-1));
        EXPECT_EQ(player->m_iAnimals, row.animals);
        if (!row.told) {
            EXPECT_EQ(Logged("level.dat"), warned);
            EXPECT_EQ(level->m_iHives, 2);
            continue;
        }
        EXPECT_EQ(Logged(row.told), told + 1);
        EXPECT_EQ(Logged("level.dat"), warned + 1);
        EXPECT_EQ(Seen(), fresh);
        EXPECT_EQ(static_cast<cToolWater*>(cScriptedPlayer(*level).First(OBJ_TOOL_WATER))->GetWater(), 0);
        ASSERT_TRUE(player->SaveGame(-1));
        EXPECT_EQ(vektest::NewestBad(File()), damaged);
        EXPECT_EQ(Bytes().size(), file.size());
    }
}

TEST_F(LevelSave, TheSavedBedLayoutOutlivesALayoutFileThatLacksIt)
{
    // The profile reached layout 3; the layouts read now have only one
    // (the file missing, cut or empty for a while). The field shows the
    // last one there is, and the profile keeps its 3 (the levels up to 11
    // grant it: a profile of progress 12).
    player->m_iProgress = 12;
    player->m_iPlayerValue = 3;
    LoadField();
    EXPECT_EQ(cScriptedPlayer(*level).Beds().size(), 6u);
    EXPECT_EQ(CheckProfileValues(*player), 0);
    ASSERT_TRUE(player->SaveGame(-1));
    ASSERT_TRUE(player->LoadGame(-1));
    EXPECT_EQ(player->m_iPlayerValue, 3);
    EXPECT_EQ(Logged("bed layout"), 0);
}

} // namespace
