#include "game/shell/player.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/objects/tools.h"
#include "game/shell/profile_host.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/ware.h"
#include "shell_fixture.h"
#include "support/temp_dir.h"

namespace {

using Bytes = std::string;

// Little-endian helpers for typing a file's expected bytes.
struct Out {
    Bytes b;
    Out& I(int32_t v)
    {
        for (int i = 0; i < 4; ++i) b += static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xff);
        return *this;
    }
    Out& F(float f)
    {
        int32_t v;
        std::memcpy(&v, &f, 4);
        return I(v);
    }
    Out& S(const std::string& s)
    {
        b += static_cast<char>(s.size() & 0xff);
        b += static_cast<char>(s.size() >> 8);
        b += s;
        return *this;
    }
    Out& Zeros(int n)
    {
        for (int i = 0; i < n; ++i) I(0);
        return *this;
    }
};

// A fresh profile's "player.dat" with the default tutorial switch.
Bytes FreshPlayerDat(const std::string& name)
{
    Out o;
    o.F(0.9f).S(name).I(0).I(-1);
    o.I(15).Zeros(15).I(10).Zeros(10);
    o.I(0).I(0).I(0).I(0);
    o.I(1);
    return o.b;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("profile");
        ASSERT_FALSE(m_strDir.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir);
        GetProfileHost() = cProfileHost();
        ASSERT_TRUE(CreateWareManager());
        CreateWares();
    }
    void TearDown() override
    {
        DestroyWareManager();
        GetProfileHost() = cProfileHost();
    }

    std::string Path(const std::string& rel) const { return m_strDir + "/profile/" + rel; }
    Bytes Read(const std::string& rel) const { return vektest::ReadFile(Path(rel)); }
    bool Exists(const std::string& rel) const { return access(Path(rel).c_str(), F_OK) == 0; }

    std::string m_strDir;
};

// ---- the two files, byte for byte ----

TEST_F(ProfileTest, FreshProfileWritesItsPlayerFileAsLaidOut)
{
    cPlayer player("");
    EXPECT_EQ(player.m_strFolder, "plr000");
    EXPECT_EQ(GetProfileHost().iPlayerCounter, 1);
    ASSERT_TRUE(player.SavePlayer());
    EXPECT_EQ(Read("plr000/player.dat"), FreshPlayerDat("Player"));
}

TEST_F(ProfileTest, SaveFileOfTheGameInPlayAndOfANumberedSlot)
{
    cPlayer player("p");
    player.m_fClock = 2.5f;
    player.m_CarLoad = {3, 5};
    player.m_iLevelValue = 7;
    player.m_Tasks.push_back(MakeLevelTask("egg", 4, 1.5f));
    player.m_iMoney = 90;
    player.m_iIslandMoney = 40;
    player.m_iPlayerValue = 11;
    player.m_Upgrades.Upgrade(2);
    player.m_iSorts = 3;
    player.m_iAnimals = 1;
    GetProfileHost().iRuleCounter = 6;
    ASSERT_TRUE(player.SaveGame(-1));
    ASSERT_TRUE(player.SaveGame(2));

    Out tail;
    tail.I(6).I(11).I(90).I(40).I(0).I(0).I(1).I(0).I(0).I(0).I(3).I(1);
    Out full;
    full.F(2.5f).I(2).I(3).I(5).I(7).I(1).S("egg").I(-1).I(4).F(1.5f);
    // Each ends in the mark of its save: "ZLS1", the layout, a stamp.
    const Bytes mark = Out().F(0.9f).b;
    EXPECT_EQ(Read("p/save.dat").substr(0, full.b.size() + tail.b.size() + 8), full.b + tail.b + "ZLS1" + mark);
    EXPECT_EQ(Read("p/save.dat").size(), full.b.size() + tail.b.size() + 12);
    EXPECT_EQ(Read("p/2/save.dat").substr(0, tail.b.size() + 8), tail.b + "ZLS1" + mark);
    EXPECT_EQ(Read("p/2/save.dat").size(), tail.b.size() + 12);
}

TEST_F(ProfileTest, WriteReadWriteGivesTheSameBytes)
{
    cPlayer a("p");
    a.m_strName = "Anna";
    a.m_iProgress = 12;
    a.m_iContinueLevel = 4;
    a.m_Events[3] = 1;
    a.m_Hints[9] = 2;
    a.m_Results = {0, 1, 0};
    a.m_Times = {10.5f, 20.25f};
    a.m_Values = {5, 6};
    a.m_AnimalCounts = {1, 2, 3, 4};
    a.m_fClock = 8.0f;
    a.m_CarLoad = {1};
    a.m_Tasks.push_back(MakeLevelTask("goat", 2, 0.0f));
    a.m_iMoney = 300;
    a.m_Upgrades.Upgrade(0);
    a.m_Upgrades.Upgrade(0);
    GetProfileHost().iTraining = 0;
    ASSERT_TRUE(a.SavePlayer());
    ASSERT_TRUE(a.SaveGame(-1));
    const Bytes player = Read("p/player.dat");
    const Bytes save = Read("p/save.dat");

    GetProfileHost().iTraining = 1;
    cPlayer b("p");
    ASSERT_TRUE(b.LoadPlayer());
    ASSERT_TRUE(b.Activate());
    EXPECT_EQ(b.m_strName, "Anna");
    EXPECT_EQ(GetProfileHost().iTraining, 0);
    EXPECT_EQ(b.m_Upgrades.GetLevel(0), 2);
    ASSERT_EQ(b.m_Tasks.size(), 1u);
    EXPECT_EQ(b.m_Tasks[0].iKind, 1);
    ASSERT_TRUE(b.SavePlayer());
    ASSERT_TRUE(b.SaveGame(-1));
    EXPECT_EQ(Read("p/player.dat"), player);
    // All but the stamp, which is new with every save.
    EXPECT_EQ(Read("p/save.dat").substr(0, save.size() - 4), save.substr(0, save.size() - 4));
    EXPECT_FALSE(Exists("p/player.dat.bad"));
}

TEST_F(ProfileTest, OlderVersionsReadOnlyWhatTheyCarry)
{
    // Version 0.6: no value lists, no tutorial switch; its save has one
    // extra value before the rule counter.
    Out old;
    old.F(0.6f).S("Old").I(3).I(-1).I(0).I(0).I(0).I(0);
    old.I(9).I(9);  // would be the lists' counts in a newer file
    ASSERT_TRUE(vektest::WriteFile(Path("old/player.dat"), old.b));
    Out save;
    save.F(0.0f).I(0).I(0).I(0);
    save.I(77);  // the extra value
    save.I(5).I(0).I(123).I(0).Zeros(6).I(0).I(-1);
    ASSERT_TRUE(vektest::WriteFile(Path("old/save.dat"), save.b));

    GetProfileHost().iTraining = 0;
    cPlayer p("old");
    p.m_Values = {42};
    ASSERT_TRUE(p.LoadPlayer());
    EXPECT_EQ(p.m_iProgress, 3);
    EXPECT_EQ(p.m_Values, std::vector<int32_t>{42});
    EXPECT_TRUE(p.m_AnimalCounts.empty());
    EXPECT_EQ(GetProfileHost().iTraining, 0);
    ASSERT_TRUE(p.Activate());
    EXPECT_EQ(GetProfileHost().iRuleCounter, 5);
    EXPECT_EQ(p.m_iMoney, 123);

    // The version as written by a 0.9 game is current: the switch is read.
    Bytes current = FreshPlayerDat("New");
    current[current.size() - 4] = 0;
    ASSERT_TRUE(vektest::WriteFile(Path("new/player.dat"), current));
    GetProfileHost().iTraining = 1;
    cPlayer q("new");
    ASSERT_TRUE(q.LoadPlayer());
    EXPECT_EQ(GetProfileHost().iTraining, 0);
}

TEST_F(ProfileTest, ExtraEventFlagsAreReadAndDropped)
{
    Out o;
    o.F(0.9f).S("E").I(1).I(-1);
    o.I(20);
    for (int i = 0; i < 20; ++i) o.I(i + 1);
    o.I(0).I(1).I(7).I(0).I(0).I(0).I(0).I(0);
    ASSERT_TRUE(vektest::WriteFile(Path("e/player.dat"), o.b));
    cPlayer p("e");
    ASSERT_TRUE(p.LoadPlayer());
    ASSERT_EQ(p.m_Events.size(), 15u);
    EXPECT_EQ(p.m_Events[14], 15);
    EXPECT_EQ(p.m_Results, std::vector<int32_t>{7});
    EXPECT_EQ(GetProfileHost().iTraining, 0);
}

TEST_F(ProfileTest, HostileCountsNeverReachPastTheFile)
{
    const Bytes valid = FreshPlayerDat("H");
    // Each of the six counts in turn claims 2^31 - 1 values.
    const size_t countAt[] = {4 + 3 + 8, 4 + 3 + 8 + 64, 4 + 3 + 8 + 108, 4 + 3 + 8 + 112,
                              4 + 3 + 8 + 116, 4 + 3 + 8 + 120};
    for (size_t at : countAt) {
        Bytes b = valid;
        b.replace(at, 4, Out().I(0x7fffffff).b);
        ASSERT_TRUE(vektest::WriteFile(Path("h/player.dat"), b));
        cPlayer p("h");
        EXPECT_TRUE(p.LoadPlayer()) << at;
        EXPECT_LE(p.m_Results.size() + p.m_Times.size() + p.m_Values.size() + p.m_AnimalCounts.size(), 40u);
    }
    Out save;
    save.F(0.0f).I(0x7fffffff);
    ASSERT_TRUE(vektest::WriteFile(Path("h/save.dat"), save.b));
    cPlayer p("h");
    EXPECT_TRUE(p.Activate());
    EXPECT_TRUE(p.m_CarLoad.empty());
    Out tasks;
    tasks.F(0.0f).I(0).I(0).I(0x7fffffff);
    ASSERT_TRUE(vektest::WriteFile(Path("h/save.dat"), tasks.b));
    EXPECT_TRUE(p.Activate());
    EXPECT_TRUE(p.m_Tasks.empty());
}

TEST_F(ProfileTest, EveryTruncationLoadsAndTheDamagedFileIsKept)
{
    cPlayer a("t");
    a.m_Results = {1, 2};
    a.m_Times = {3.0f};
    a.m_Values = {4};
    a.m_CarLoad = {2};
    a.m_Tasks.push_back(MakeLevelTask("egg", 1, 2.0f));
    a.m_iMoney = 50;
    ASSERT_TRUE(a.SavePlayer());
    ASSERT_TRUE(a.SaveGame(-1));
    const Bytes player = Read("t/player.dat");
    const Bytes save = Read("t/save.dat");

    for (size_t len = 1; len < player.size(); ++len) {
        ASSERT_TRUE(vektest::WriteFile(Path("t/player.dat"), player.substr(0, len)));
        cPlayer p("t");
        EXPECT_TRUE(p.LoadPlayer()) << len;
    }
    for (size_t len = 1; len < save.size(); ++len) {
        ASSERT_TRUE(vektest::WriteFile(Path("t/save.dat"), save.substr(0, len)));
        cPlayer p("t");
        EXPECT_TRUE(p.Activate()) << len;
        for (int i = 0; i < cUpgrades::kCount; ++i) EXPECT_EQ(p.m_Upgrades.GetLevel(i), 0);
    }

    // The next save keeps the damaged file beside the new one.
    const Bytes cut = player.substr(0, player.size() - 6);
    ASSERT_TRUE(vektest::WriteFile(Path("t/player.dat"), cut));
    cPlayer p("t");
    p.LoadPlayer();
    ASSERT_TRUE(p.SavePlayer());
    EXPECT_EQ(Read("t/player.dat.bad"), cut);
    const Bytes cutSave = save.substr(0, 10);
    ASSERT_TRUE(vektest::WriteFile(Path("t/save.dat"), cutSave));
    p.Activate();
    ASSERT_TRUE(p.SaveGame(-1));
    EXPECT_EQ(Read("t/save.dat.bad"), cutSave);
}

TEST_F(ProfileTest, SaveUpgradeLevelsAreClamped)
{
    Out o;
    o.F(0.0f).I(0).I(0).I(0);
    o.I(0).I(0).I(0).I(0);
    o.I(9).I(-4).I(3).I(3).I(100).I(2).I(0).I(-1);
    ASSERT_TRUE(vektest::WriteFile(Path("u/save.dat"), o.b));
    cPlayer p("u");
    p.Activate();
    const int expected[] = {3, 0, 2, 3, 3, 2};
    for (int i = 0; i < cUpgrades::kCount; ++i) EXPECT_EQ(p.m_Upgrades.GetLevel(i), expected[i]) << i;
}

TEST_F(ProfileTest, AnUnwritableFileIsReportedAsAFailure)
{
    cPlayer p("w");
    ASSERT_FALSE(p.GetProfilePath(-1).empty());
    // A folder where the files should be: no write can replace it.
    ASSERT_EQ(mkdir(Path("w/player.dat").c_str(), 0700), 0);
    ASSERT_EQ(mkdir(Path("w/save.dat").c_str(), 0700), 0);
    EXPECT_FALSE(p.SavePlayer());
    EXPECT_FALSE(p.SaveGame(-1));
    EXPECT_TRUE(p.Deactivate());
}

// ---- profiles ----

TEST_F(ProfileTest, FreshFoldersFollowTheCounterAndSkipTakenNumbers)
{
    GetProfileHost().iPlayerCounter = 1000;
    cPlayer big("");
    EXPECT_EQ(big.m_strFolder, "plr1000");

    ASSERT_TRUE(vektest::WriteFile(Path("plr000/player.dat"), "x"));
    ASSERT_TRUE(vektest::WriteFile(Path("plr001/player.dat"), "x"));
    GetProfileHost().iPlayerCounter = 0;
    cPlayer fresh("");
    EXPECT_EQ(fresh.m_strFolder, "plr002");
    EXPECT_EQ(GetProfileHost().iPlayerCounter, 3);
}

TEST_F(ProfileTest, NumberedSlotsAndDeletion)
{
    cPlayer p("d");
    ASSERT_TRUE(p.SavePlayer());
    ASSERT_TRUE(p.SaveGame(4));
    EXPECT_TRUE(Exists("d/4/save.dat"));

    // A link inside the folder pointing elsewhere: removed, never followed.
    const std::string outside = m_strDir + "/outside";
    ASSERT_TRUE(vektest::WriteFile(outside + "/keep.txt", "keep"));
    ASSERT_EQ(symlink(outside.c_str(), Path("d/link").c_str()), 0);
    EXPECT_TRUE(p.DeleteFiles());
    EXPECT_FALSE(Exists("d"));
    EXPECT_EQ(vektest::ReadFile(outside + "/keep.txt"), "keep");
    EXPECT_TRUE(Exists(""));

    // A profile without a folder deletes nothing.
    cPlayer none("x");
    none.m_strFolder = "";
    EXPECT_TRUE(none.DeleteFiles());
    EXPECT_TRUE(none.GetProfilePath(-1).empty());
    EXPECT_TRUE(Exists(""));
}

TEST_F(ProfileTest, LevelTransitionSavesNothing)
{
    cPlayer p("f");
    GetProfileHost().iFlowState = 1;
    EXPECT_TRUE(p.Deactivate());
    EXPECT_FALSE(Exists("f/save.dat"));
    GetProfileHost().iFlowState = 0;
    EXPECT_TRUE(p.Deactivate());
    EXPECT_TRUE(Exists("f/save.dat"));
}

TEST_F(ProfileTest, SavingDuringALevelStoresTheLevelToContinue)
{
    cIsland island;
    island.iMode = cIsland::e_modeLevel;
    cPlayer p("c");
    p.m_iLevel = 9;
    ASSERT_TRUE(p.SaveGame(3));
    EXPECT_EQ(p.m_iContinueLevel, -1);
    ASSERT_TRUE(p.SaveGame(-1));
    EXPECT_EQ(p.m_iContinueLevel, 9);
}

// ---- upgrades ----

TEST(Upgrades, PricesMaximaAndIndicesOutOfRange)
{
    cUpgrades u;
    const int prices[6][4] = {{200, 600, 1000, 0}, {300, 500, 800, 0}, {100, 700, 0, 0},
                              {250, 400, 600, 0},  {150, 400, 600, 0}, {350, 500, 900, 0}};
    for (int i = 0; i < 6; ++i)
        for (int step = 0; step < 4; ++step) {
            EXPECT_EQ(u.GetPrice(i), prices[i][step]) << i << " " << step;
            EXPECT_EQ(u.CanUpgrade(i), prices[i][step] != 0);
            u.Upgrade(i);
        }
    EXPECT_EQ(u.GetLevel(2), 2);
    EXPECT_EQ(u.GetLevel(0), 3);
    for (int i : {-1, 6, 100}) {
        EXPECT_EQ(u.GetPrice(i), 0) << i;
        u.Upgrade(i);
    }
    EXPECT_FALSE(u.CanUpgrade(-1));
    EXPECT_TRUE(u.CanUpgrade(6));
    EXPECT_TRUE(u.CanUpgrade(100));
}

TEST(Upgrades, SpeedAndCanVolumeApplyToTheField)
{
    GetProfileHost() = cProfileHost();
    cLevel field;
    GetProfileHost().pLevel = &field;
    auto* gardener = new cGardener(&field);
    auto* can1 = new cToolWater(&field);
    auto* can2 = new cToolWater(&field);
    struct cOtherTool : cToolWater {
        using cToolWater::cToolWater;
        uint32_t GetType() const override { return OBJ_TOOL | 2u; }
    };
    auto* other = new cOtherTool(&field);

    cUpgrades u;
    u.Upgrade(0);
    EXPECT_FLOAT_EQ(gardener->GetSpeed(), 310.0f);
    u.Upgrade(1);
    u.Upgrade(1);
    EXPECT_EQ(can1->GetCapacity(), 5);
    EXPECT_EQ(can2->GetCapacity(), 5);
    EXPECT_EQ(other->GetCapacity(), 3);
    GetProfileHost() = cProfileHost();
}

// Deactivate while the island has the focus: needs the engine's focus.
class ProfileEngineTest : public shelltest::ShellFixture {};

TEST_F(ProfileEngineTest, DeactivateWithTheIslandFocusedSavesNothing)
{
    GetProfileHost() = cProfileHost();
    cIsland* island = new cIsland();
    vek::g_pGame->pFocusWidget = island;
    cPlayer p("i");
    EXPECT_EQ(p.m_strName, vek::g_pGame->strUserName.empty() ? "Player" : vek::g_pGame->strUserName);
    EXPECT_TRUE(p.Deactivate());
    EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/i/save.dat").size() > 0);
    vek::g_pGame->pFocusWidget = nullptr;
    EXPECT_TRUE(p.Deactivate());
    EXPECT_FALSE(vektest::ReadFile(m_strDir + "/app/profile/i/save.dat").empty());
    delete island;
}

} // namespace
