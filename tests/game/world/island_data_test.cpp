// The island's three files: the geometry, the static building list and the
// player's buildings, whole, damaged and cut short at every byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/filename.h"
#include "island_fixture.h"
#include "support/save_marks.h"

using namespace islandtest;
using vektest::IslandPlacement;
using vektest::IslandPoints;
using vektest::IslandRecord;

namespace {

IslandPoints SmallIsland()
{
    IslandPoints p;
    p.areas = {vektest::SquareArea(0, 0, 1000), vektest::SquareArea(1000, 0, 500)};
    p.links = {{990, 10}, {1010, 10}};
    p.route = {{0, 0}, {100, 0}, {200, 100}};
    p.levels = {{100, 100}, {300, 100}};
    return p;
}

// Houses and factories that the catalogue knows, in list order.
std::vector<IslandPlacement> SmallGlobal()
{
    return {{"house00", 0, 3, 50, 50},     {"market00", 0, 3, 250, 50}, {"factory00", 0, 4, 450, 50},
            {"house01", 0, 3, 650, 50},    {"house01", 1, 3, 650, 250}, {"factory01", 3, 4, 850, 50}};
}

class IslandFiles : public IslandFixture {
protected:
    std::string PlayerFile() const { return m_strDir + "/player_island.dat"; }
    vek::filename PlayerName() const { return vek::filename(PlayerFile()); }
};

TEST_F(IslandFiles, TheGeometryFillsTheAreasLinksRouteAndLevelMap)
{
    WritePoints(SmallIsland());
    cIsland* island = MakeIsland();
    ASSERT_EQ(island->vecAreas.size(), 2u);
    EXPECT_EQ(island->vecAreas[0].polygon.size(), 4u);
    EXPECT_EQ(island->vecAreas[0].triangles.size(), 6u);
    EXPECT_EQ(island->vecLinks.size(), 2u);
    EXPECT_EQ(island->GetWalkMap().GetAreaCount(), 2u);
    EXPECT_EQ(island->GetWalkMap().FindLink(0, 1), 0u);
    // Route key i at i / (K - 1).
    ASSERT_EQ(island->route.GetCount(), 3);
    EXPECT_FLOAT_EQ(island->route.m_Params[1], 0.5f);
    EXPECT_FLOAT_EQ(island->route.m_Params[2], 1.0f);
    // Two level points give three dots between them.
    ASSERT_EQ(island->vecPathDots.size(), 3u);
    EXPECT_NEAR(island->vecPathDots[1].x, 200.0f, 0.01f);
    EXPECT_NEAR(island->vecPathDots[1].y, 100.0f, 0.01f);
    EXPECT_LT(island->vecPathDots[0].x, island->vecPathDots[1].x);
    EXPECT_EQ(Logged("ReadPoints"), 0);
}

TEST_F(IslandFiles, OddLinksAndASingleRouteKeyMakeNothingOfTheRest)
{
    IslandPoints p = SmallIsland();
    p.links.push_back({5, 5});  // a third point: no link
    p.route = {{7, 7}};
    p.levels = {{1, 1}};
    WritePoints(p);
    cIsland* island = MakeIsland();
    EXPECT_EQ(island->vecLinks.size(), 2u);
    EXPECT_EQ(island->route.GetCount(), 0);
    EXPECT_EQ(island->vecLevelPoints.size(), 1u);
    EXPECT_TRUE(island->vecPathDots.empty());
    EXPECT_EQ(Logged("damaged"), 0);

    // Without the file: no geometry and not a word.
    std::remove(StaticFile("island.pts").c_str());
    island = MakeIsland();
    EXPECT_TRUE(island->vecAreas.empty());
    EXPECT_EQ(island->route.GetCount(), 0);
    EXPECT_EQ(Logged("ReadPoints"), 0);
}

TEST_F(IslandFiles, HugeCountsInTheGeometryAreRefused)
{
    cIsland* island = MakeIsland();
    const std::string whole = SmallIsland().Bytes();
    // Each count of the file in turn set to 0xFFFFFFFF: area count, first
    // area's point count, its triangle count, ..., link, route and level counts.
    std::vector<size_t> counts = {0, 4, 4 + 4 + 32};
    const size_t afterAreas = 4 + (4 + 32 + 4 + 24) * 2;
    counts.push_back(afterAreas);
    counts.push_back(afterAreas + 4 + 16);
    counts.push_back(afterAreas + 4 + 16 + 4 + 24);
    for (size_t at : counts) {
        std::string bytes = whole;
        for (size_t i = 0; i < 4; ++i) bytes[at + i] = '\xff';
        vek::cBitStream s = Stream(bytes);
        EXPECT_FALSE(island->ReadPoints(s, "island.pts")) << at;
    }
    EXPECT_EQ(Logged("ReadPoints: file island.pts is damaged"), static_cast<int>(counts.size()));
    // What came before the bad level count stays.
    EXPECT_EQ(island->vecAreas.size(), 2u);
    EXPECT_EQ(island->route.GetCount(), 3);
}

TEST_F(IslandFiles, EveryCutOfTheGeometryKeepsWhatCameBefore)
{
    cIsland* island = MakeIsland();
    const std::string whole = SmallIsland().Bytes();
    for (size_t n = 0; n < whole.size(); ++n) {
        island->vecAreas.clear();
        island->vecLevelPoints.clear();
        vek::cBitStream s = Stream(whole.substr(0, n));
        ASSERT_FALSE(island->ReadPoints(s, "cut")) << n;
        ASSERT_LE(island->vecAreas.size(), 2u);
        ASSERT_LE(island->vecLevelPoints.size(), 2u);
        for (const cIsland::cArea& a : island->vecAreas) ASSERT_EQ(a.polygon.size(), 4u);
    }
    vek::cBitStream s = Stream(whole);
    EXPECT_TRUE(island->ReadPoints(s, "whole"));
    EXPECT_EQ(island->vecPathDots.size(), 3u);
}

TEST_F(IslandFiles, TheStaticListMakesTheBuildingsAtTheirPlaces)
{
    WritePoints(SmallIsland());
    WriteGlobal(SmallGlobal());
    cIsland* island = MakeIsland();
    island->LoadGlobal();
    ASSERT_EQ(island->GetBuildings().size(), 6u);
    const cHouse* first = island->GetBuildings().front();
    EXPECT_EQ(first->strName, "house00");
    EXPECT_EQ(first->GetType(), 3);
    EXPECT_EQ(first->iState, 0);
    EXPECT_FLOAT_EQ(first->rect.x, 50.0f);
    EXPECT_FLOAT_EQ(first->rect.w, 100.0f);
    EXPECT_EQ(first->strTitle, "House00");
    EXPECT_EQ(first->vecSprites[0].counter.iFrame, 6);  // the frame of the building not built
    const cHouse* second = island->FindPlacedBuilding("house01", 1);
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(second->rect.y, 250.0f);
    const cHouse* juice = island->FindPlacedBuilding("factory01", 3);
    ASSERT_NE(juice, nullptr);
    EXPECT_EQ(juice->GetType(), 4);
    EXPECT_EQ(static_cast<const cFactory*>(juice)->iInputWare, g_pWareManager->FindWare("plant02"));
    EXPECT_EQ(island->GetWalkMap().GetObstacleCount(), 6u);

    // Reading again replaces them; deleting them frees their obstacles.
    island->LoadGlobal();
    EXPECT_EQ(island->GetBuildings().size(), 6u);
    EXPECT_EQ(island->GetWalkMap().GetObstacleCount(), 6u);
    island->ClearBuildings();
    EXPECT_EQ(island->GetWalkMap().GetObstacleCount(), 0u);

    std::remove(StaticFile("island.dat").c_str());
    island->LoadGlobal();
    EXPECT_TRUE(island->GetBuildings().empty());
    EXPECT_EQ(Logged("LoadGlobal. Can't find island.dat"), 1);
}

TEST_F(IslandFiles, UnknownNamesStayAndAWrongKindEndsTheList)
{
    WriteGlobal({{"house99", 4, 3, 10, 20},
                 {"market00", 1, 4, 30, 40},  // a factory record of a house's name
                 {"factory00", 2, 4, 50, 60},
                 {"house00", 3, 7, 70, 80},
                 {"house00", 5, 3, 90, 100}});
    cIsland* island = MakeIsland();
    island->LoadGlobal();
    ASSERT_EQ(island->GetBuildings().size(), 3u);
    const cHouse* unknown = island->GetBuildings().front();
    EXPECT_EQ(unknown->strName, "house99");
    EXPECT_EQ(unknown->iIslandValue, 4);
    EXPECT_FLOAT_EQ(unknown->rect.y, 20.0f);
    EXPECT_EQ(Logged("LoadGlobal: house 'house99' not found"), 1);
    EXPECT_EQ(Logged("LoadGlobal: factory 'market00' not found"), 1);
    EXPECT_EQ(Logged("LoadGlobal. Wrong file format!"), 1);
    EXPECT_EQ(island->FindPlacedBuilding("house00", 5), nullptr);
}

TEST_F(IslandFiles, EveryCutOfTheStaticListIsSurvived)
{
    cIsland* island = MakeIsland();
    const std::string whole = vektest::IslandGlobalBytes(SmallGlobal());
    for (size_t n = 0; n < whole.size(); ++n) {
        island->ClearBuildings();
        vek::cBitStream s = Stream(whole.substr(0, n));
        ASSERT_FALSE(island->ReadBuildings(s, "cut")) << n;
        ASSERT_LT(island->GetBuildings().size(), 6u);
    }
    // A count far beyond the records: the records there are still made.
    std::string huge = whole;
    huge[3] = '\x7f';
    island->ClearBuildings();
    vek::cBitStream s = Stream(huge);
    EXPECT_FALSE(island->ReadBuildings(s, "huge"));
    EXPECT_EQ(island->GetBuildings().size(), 6u);
    EXPECT_GE(Logged("LoadGlobal: file cut is damaged"), static_cast<int>(whole.size()) - 1);
}

TEST_F(IslandFiles, ThePlayersFileRoundTripsByteForByte)
{
    WritePoints(SmallIsland());
    WriteGlobal(SmallGlobal());
    const std::string saved = vektest::IslandPlayerBytes({{"house00", 0, 3},
                                                          {"market00", 0, 3},
                                                          {"factory00", 0, 4, 2},
                                                          {"house01", 0, 3},
                                                          {"house01", 1, 3},
                                                          {"factory01", 3, 4, 7}});
    ASSERT_TRUE(vektest::WriteFile(PlayerFile(), saved));
    cIsland* island = MakeIsland();
    ASSERT_TRUE(island->LoadPlayerFile(PlayerName()));
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory00", 0))->iUnits, 2);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 7);
    const std::string copy = m_strDir + "/copy.dat";
    ASSERT_TRUE(island->SavePlayerFile(vek::filename(copy)));
    EXPECT_EQ(vektest::ReadFile(copy), saved);
}

TEST_F(IslandFiles, PlayerRecordsMatchByNameAndValueAndStayAligned)
{
    WriteGlobal(SmallGlobal());
    ASSERT_TRUE(vektest::WriteFile(PlayerFile(), vektest::IslandPlayerBytes({
        {"factory09", 0, 4, 99},  // no such building: its units are still read
        {"factory00", 0, 3},      // a house record naming a factory carries no state
        {"house00", 0, 4, 5},     // a factory record for a house: read and dropped
        {"factory00", 0, 4, 4},
        {"factory01", 9, 4, 6},   // wrong value: no match
    })));
    cIsland* island = MakeIsland();
    ASSERT_TRUE(island->LoadPlayerFile(PlayerName()));
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory00", 0))->iUnits, 4);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 0);
    EXPECT_EQ(Logged("Load"), Logged("LoadGlobal"));  // nothing but the static file's own lines
}

TEST_F(IslandFiles, AWrongKindInThePlayersFileStopsBeforeTheHousesAndPeople)
{
    WritePoints(SmallIsland());
    WriteGlobal(SmallGlobal());
    m_pPlayer->m_iProgress = 3;
    ASSERT_TRUE(vektest::WriteFile(PlayerFile(), vektest::IslandPlayerBytes({
        {"factory00", 0, 4, 3}, {"house00", 0, 9}, {"factory01", 3, 4, 8}})));
    cIsland* island = MakeIsland();
    EXPECT_FALSE(island->LoadPlayerFile(PlayerName()));
    EXPECT_EQ(Logged("Load. Wrong file format!"), 1);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory00", 0))->iUnits, 3);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 0);
    EXPECT_EQ(island->GetWalkMap().GetFollowerCount(), 0u);
    EXPECT_EQ(island->FindPlacedBuilding("house00", 0)->iState, 0);  // no house update
}

TEST_F(IslandFiles, ADamagedPlayersFileIsKeptBesideTheNextSave)
{
    WritePoints(SmallIsland());
    WriteGlobal(SmallGlobal());
    const std::string whole = vektest::IslandPlayerBytes({{"house00", 0, 3}, {"factory00", 0, 4, 2},
                                                          {"factory01", 3, 4, 7}});
    cIsland* island = MakeIsland();
    for (size_t n = 0; n < whole.size(); ++n) {
        vek::cBitStream s = Stream(whole.substr(0, n));
        island->ClearBuildings();
        island->LoadGlobal();
        ASSERT_FALSE(island->ApplyPlayerRecords(s, "cut")) << n;
    }
    // A cut file: the records before the cut are applied, the houses are
    // set from the progress, and the file is kept as ".bad" on saving.
    m_pPlayer->m_iProgress = 1;
    const std::string cut = whole.substr(0, whole.size() - 2);
    ASSERT_TRUE(vektest::WriteFile(PlayerFile(), cut));
    EXPECT_FALSE(island->LoadPlayerFile(PlayerName()));
    EXPECT_TRUE(island->WasPlayerFileDamaged());
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory00", 0))->iUnits, 2);
    EXPECT_EQ(Logged("is damaged"), static_cast<int>(whole.size()) + 1);
    ASSERT_TRUE(island->SavePlayerFile(PlayerName()));
    EXPECT_EQ(vektest::NewestBad(PlayerFile()), cut);
    EXPECT_FALSE(island->WasPlayerFileDamaged());
    EXPECT_TRUE(island->LoadPlayerFile(PlayerName()));

    // A record count the file cannot hold refuses the records: none of
    // those that follow it is applied, and the file is kept.
    std::string huge = whole;
    huge.replace(0, 4, std::string("\xff\xff\xff\x7f", 4));
    ASSERT_TRUE(vektest::WriteFile(PlayerFile(), huge));
    const int refused = Logged("the record count does not fit the file");
    EXPECT_FALSE(island->LoadPlayerFile(PlayerName()));
    EXPECT_TRUE(island->WasPlayerFileDamaged());
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory00", 0))->iUnits, 0);
    EXPECT_EQ(Logged("the record count does not fit the file"), refused + 1);
    ASSERT_TRUE(island->SavePlayerFile(PlayerName()));
    EXPECT_EQ(vektest::NewestBad(PlayerFile()), huge);

    // Units below none, on a factory or on a record that matches none: no
    // game wrote them. That record and those after it keep their defaults
    // (none waiting), and the file is kept.
    for (const char* name : {"factory00", "factory09"}) {
        const std::string negative = vektest::IslandPlayerBytes({{name, 0, 4, 0xffffffffu}, {"factory01", 3, 4, 7}});
        ASSERT_TRUE(vektest::WriteFile(PlayerFile(), negative));
        EXPECT_FALSE(island->LoadPlayerFile(PlayerName())) << name;
        EXPECT_TRUE(island->WasPlayerFileDamaged());
        EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 0) << name;
        ASSERT_TRUE(island->SavePlayerFile(PlayerName()));
        EXPECT_EQ(vektest::NewestBad(PlayerFile()), negative);
    }
    EXPECT_EQ(Logged("units -1 are out of range"), 2);
}

TEST_F(IslandFiles, ASaveSlotReadsAndWritesTheProfilesFile)
{
    WritePoints(SmallIsland());
    WriteGlobal(SmallGlobal());
    cIsland* island = MakeIsland();
    island->Load(-1);  // no file yet: the static island
    EXPECT_EQ(island->GetBuildings().size(), 6u);
    static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits = 12;
    ASSERT_TRUE(island->Save(2));
    island->Load(-1);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 0);
    island->Load(2);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 12);
    EXPECT_EQ(m_pPlayer->TakeLoadNotice(2), cPlayer::e_noticeNone);

    // A damaged file in the slot is told once, when the slot is read.
    ASSERT_TRUE(vektest::WriteFile(m_strDir + "/app/profile/" + m_pPlayer->m_strFolder + "/2/island.dat",
                                   vektest::IslandPlayerBytes({{"factory01", 3, 4, 0x80000000u}})));
    island->Load(2);
    EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, 0);
    EXPECT_EQ(m_pPlayer->TakeLoadNotice(2), cPlayer::e_noticeDamaged);
    EXPECT_EQ(m_pPlayer->TakeLoadNotice(2), cPlayer::e_noticeNone);

    // The save wrote its island with its mark: the file without it (cut
    // off, or another put in its place) starts the island afresh and is
    // kept by the next save. An older save marked afterwards (the older
    // layout has one more value before the last twelve) keeps its own.
    const std::string slot = m_strDir + "/app/profile/" + m_pPlayer->m_strFolder + "/2/";
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "an older save" : "a save of today");
        static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits = 12;
        ASSERT_TRUE(m_pPlayer->SaveGame(2));
        std::string unmarked = vektest::ReadFile(slot + "island.dat");
        unmarked.resize(unmarked.size() - save_set::kMarkBytes);
        ASSERT_TRUE(vektest::WriteFile(slot + "island.dat", unmarked));
        if (older) {
            std::string save = vektest::ReadFile(slot + "save.dat");
            save.resize(save.size() - save_set::kMarkBytes);
            save.insert(save.size() - 48, 4, '\0');
            const float version = 0.8f;
            std::string mark(8, '\0');
            std::memcpy(&mark[0], &version, 4);
            ASSERT_TRUE(vektest::WriteFile(slot + "save.dat", save + "ZLS1" + mark));
        }
        const int told = Logged("island.dat lacks the mark its save.dat has; the island starts afresh");
        ASSERT_TRUE(m_pPlayer->LoadGame(2));
        EXPECT_EQ(static_cast<cFactory*>(island->FindPlacedBuilding("factory01", 3))->iUnits, older ? 12 : 0);
        EXPECT_EQ(Logged("island.dat lacks the mark its save.dat has; the island starts afresh"), told + (older ? 0 : 1));
        ASSERT_TRUE(m_pPlayer->SaveGame(2));
        if (!older) {
            EXPECT_EQ(vektest::NewestBad(slot + "island.dat"), unmarked);
        }
    }
}

} // namespace
