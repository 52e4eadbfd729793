#include "game/shell/player.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/objects/tools.h"
#include "game/shell/profile_host.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/rules.h"
#include "game/world/ware.h"
#include "platform/fs.h"
#include "shell_fixture.h"
#include "support/save_marks.h"
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
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override
    {
        m_pLog.reset();
        DestroyWareManager();
        GetProfileHost() = cProfileHost();
    }

    std::string Path(const std::string& rel) const { return m_strDir + "/profile/" + rel; }
    // The older profile of the conversion tests (player.dat "Old", a game in
    // play with one task and money 6060, level 1's save with funds 40) read
    // as it was saved, with nothing to tell.
    void ExpectOlderProfileReadAsSaved(const std::string& folder)
    {
        cPlayer p(folder);
        ASSERT_TRUE(p.LoadPlayer());
        EXPECT_EQ(p.m_strName, "Old");
        ASSERT_TRUE(p.Activate());
        EXPECT_EQ(p.TakeLoadNotice(), cPlayer::e_noticeNone);
        EXPECT_EQ(p.m_iMoney, 6060);
        ASSERT_EQ(p.m_Tasks.size(), 1u);
        ASSERT_TRUE(p.LoadGame(1));
        EXPECT_EQ(p.TakeLoadNotice(1), cPlayer::e_noticeNone);
        EXPECT_EQ(p.m_iMoney, 6060);
        EXPECT_EQ(p.m_iIslandMoney, 40);
    }
    Bytes Read(const std::string& rel) const { return vektest::ReadFile(Path(rel)); }
    bool Exists(const std::string& rel) const { return access(Path(rel).c_str(), F_OK) == 0; }
    int Logged(const std::string& text) const
    {
        const std::string log = vektest::ReadFile(m_strDir + "/_log.html");
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    std::string m_strDir;
    std::unique_ptr<vek::cLog> m_pLog;
};

// A "player.dat" of the given layout version (0.6 without the value
// lists, before 0.9 without the tutorial switch).
Bytes PlayerDatOf(float version, const std::string& name, int32_t progress)
{
    Out o;
    o.F(version).S(name).I(progress).I(-1).I(0).I(0).I(0).I(0);
    if (version >= 0.7f) o.I(0).I(0);
    if (version >= 0.9f) o.I(1);
    return o.b;
}

// A "save.dat" of the game in play as a game of that version writes it:
// clock 12.5, the car load {2}, next task 1, one egg task (3 to go, from
// 4 s; the time only above 0.7), the extra value before 0.9, the rule
// counter 1, money 6060, island funds 40, sorts 2, animals 1 (which the
// levels up to 12 grant: a profile of progress 13).
Bytes SaveDatOf(float version)
{
    Out o;
    o.F(12.5f).I(1).I(2).I(1).I(1).S("egg").I(-1).I(3);
    if (version > 0.7f) o.F(4.0f);
    if (version < 0.9f) o.I(77);
    o.I(1).I(0).I(6060).I(40).Zeros(6).I(2).I(1);
    return o.b;
}

// A profile that has won levels 0 and 1 (their awards), with level 2's own
// save (island funds 100, the first upgrade at level 1) and level 2 in play
// (money 50, funds 130, one egg task).
bool SaveLevelTwoInPlay(const std::string& folder)
{
    const cEarnedAwards earned = EarnedAwards(2);
    cPlayer a(folder);
    a.m_iProgress = 2;
    a.m_Results = {0, 1};
    a.m_iSorts = earned.iSorts;
    a.m_iPlayerValue = earned.iBeds;
    a.m_iAnimals = earned.iAnimals;
    a.m_iIslandMoney = 100;
    a.m_Upgrades.SetLevel(0, 1);
    if (!a.SaveGame(2)) return false;
    a.m_iContinueLevel = 2;
    a.m_iMoney = 50;
    a.m_iIslandMoney = 130;
    a.m_Tasks.push_back(MakeLevelTask("egg", 3, 0.0f));
    return a.SaveGame(-1);
}

// ---- the two files, byte for byte ----

// Of "player.dat" and its copy, the one that pairs with the committed save
// wins; when the save cannot tell, the one that holds more of what was
// earned (an honest profile never loses any of it); "player.dat" on a tie.
TEST(ProgressFilePick, ThePairingFileWinsElseTheOneHoldingMore)
{
    using save_set::eProgressPick;
    const auto f = [](bool whole, uint32_t stamp, int32_t progress, size_t medals = 0, size_t times = 0) {
        save_set::cProgressFile file;
        file.state = whole ? save_set::eFileState::e_whole : save_set::eFileState::e_damaged;
        file.stamp = stamp;
        file.progress = progress;
        file.medals = medals;
        file.times = times;
        return file;
    };
    struct cRow {
        const char* what;
        save_set::cProgressFile file, copy;
        uint32_t saved;
        eProgressPick pick;
    };
    const cRow rows[] = {
        {"neither whole", f(false, 1, 5), f(false, 1, 5), 1, eProgressPick::e_none},
        {"only the copy whole", f(false, 0, 0), f(true, 7, 1), 7, eProgressPick::e_copy},
        {"only player.dat whole", f(true, 7, 1), f(false, 0, 0), 7, eProgressPick::e_file},
        {"an earlier player.dat over a later set", f(true, 3, 1), f(true, 7, 5), 7, eProgressPick::e_copy},
        {"a later player.dat over an earlier set", f(true, 7, 5), f(true, 3, 1), 3, eProgressPick::e_copy},
        {"a later copy beside an earlier pair", f(true, 3, 1), f(true, 7, 5), 3, eProgressPick::e_file},
        {"no save: the one with more progress", f(true, 3, 1), f(true, 7, 5), 0, eProgressPick::e_copy},
        {"no save: then more medals", f(true, 3, 2, 3), f(true, 7, 2, 2), 0, eProgressPick::e_file},
        {"no save: then more times", f(true, 3, 2, 2, 1), f(true, 7, 2, 2, 2), 0, eProgressPick::e_copy},
        {"a save of neither: the one with more", f(true, 3, 1), f(true, 4, 2), 9, eProgressPick::e_copy},
        {"one moment: the one holding more", f(true, 7, 1), f(true, 7, 2), 7, eProgressPick::e_copy},
        {"one moment, as much: player.dat", f(true, 7, 2), f(true, 7, 2), 7, eProgressPick::e_file},
    };
    for (const cRow& row : rows)
        EXPECT_EQ(save_set::PickProgressFile(row.file, row.copy, row.saved), row.pick) << row.what;
}

// What becomes of the file not read, and what is said of it: written again
// from the one read in every case but a copy of the same moment; the player
// hears "restored" when nothing was lost, of the damage when the loser held
// more; a copy's own damage is only logged.
TEST(ProgressFilePick, TheOtherFileIsKeptAndWrittenAgainAndToldAsWhatItLost)
{
    using save_set::eFileState;
    using save_set::eLoserFate;
    using save_set::eProgressTell;
    const auto f = [](eFileState state, uint32_t stamp = 0, int32_t progress = 0) {
        save_set::cProgressFile file;
        file.state = state;
        file.stamp = stamp;
        file.progress = progress;
        return file;
    };
    const save_set::cProgressFile whole = f(eFileState::e_whole, 7, 2);
    struct cRow {
        const char* what;
        save_set::cProgressFile file, copy;
        eLoserFate loser;
        bool rewrite;
        eProgressTell tell;
    };
    const cRow rows[] = {
        {"one moment in both", whole, whole, eLoserFate::e_leave, false, eProgressTell::e_none},
        {"no copy (an older profile)", whole, f(eFileState::e_missing), eLoserFate::e_leave, false, eProgressTell::e_none},
        {"a copy that is no file", whole, f(eFileState::e_notAFile), eLoserFate::e_leave, false, eProgressTell::e_none},
        {"a damaged copy", whole, f(eFileState::e_damaged), eLoserFate::e_keep, true, eProgressTell::e_log},
        {"an older copy", whole, f(eFileState::e_whole, 3, 1), eLoserFate::e_keep, true, eProgressTell::e_log},
        {"a copy holding more", f(eFileState::e_whole, 7, 2), f(eFileState::e_whole, 3, 4), eLoserFate::e_keep, true,
         eProgressTell::e_dropped},
        {"player.dat missing", f(eFileState::e_missing), whole, eLoserFate::e_leave, true, eProgressTell::e_restored},
        {"player.dat damaged", f(eFileState::e_damaged), whole, eLoserFate::e_keep, true, eProgressTell::e_restored},
        {"player.dat no file", f(eFileState::e_notAFile), whole, eLoserFate::e_moveAside, true,
         eProgressTell::e_restored},
        {"player.dat holding more", f(eFileState::e_whole, 3, 4), whole, eLoserFate::e_keep, true,
         eProgressTell::e_dropped},
        {"neither whole", f(eFileState::e_damaged), f(eFileState::e_notAFile), eLoserFate::e_leave, false,
         eProgressTell::e_none},
    };
    for (const cRow& row : rows) {
        // The save's stamp is 7: it pairs with the whole file of stamp 7.
        const save_set::cProgressDecision d = save_set::DecideProgressFiles(row.file, row.copy, 7);
        EXPECT_EQ(d.loser, row.loser) << row.what;
        EXPECT_EQ(d.rewrite, row.rewrite) << row.what;
        EXPECT_EQ(d.tell, row.tell) << row.what;
    }
    // A waiting win is given up by any lost part, and nothing else is.
    for (int bits = 0; bits < 16; ++bits) {
        save_set::cSetParts parts;
        parts.winWaits = bits & 1;
        parts.damaged = bits & 2;
        parts.refused = bits & 4;
        parts.islandLost = bits & 8;
        EXPECT_EQ(save_set::GivesUpWin(parts), bits != 1 && (bits & 1)) << bits;
    }
}

TEST_F(ProfileTest, FreshProfileWritesItsPlayerFileAsLaidOut)
{
    cPlayer player("");
    EXPECT_EQ(player.m_strFolder, "plr000");
    EXPECT_EQ(GetProfileHost().iPlayerCounter, 1);
    ASSERT_TRUE(player.SavePlayer());
    // A profile without a game in play: its mark names no save (stamp 0).
    EXPECT_EQ(Read("plr000/player.dat"), vektest::Marked(FreshPlayerDat("Player"), 0, 0.9f));
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
    // The game in play ends with the won level's next step (none). Each
    // ends in the mark of its save: "ZLS2", the layout, a stamp and the
    // checksum of every byte before it.
    const Bytes inPlay = full.b + tail.b + Out().I(0).b;
    const Bytes mark = Out().F(0.9f).b;
    const Bytes save = Read("p/save.dat"), slot = Read("p/2/save.dat");
    EXPECT_EQ(save.substr(0, inPlay.size() + 8), inPlay + "ZLS2" + mark);
    ASSERT_EQ(save.size(), inPlay.size() + 16);
    EXPECT_EQ(slot.substr(0, tail.b.size() + 8), tail.b + "ZLS2" + mark);
    ASSERT_EQ(slot.size(), tail.b.size() + 16);
    EXPECT_EQ(vektest::Resealed(save), save);
    EXPECT_EQ(vektest::Resealed(slot), slot);
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
    // All but the stamp, which is new with every save, and the checksum.
    EXPECT_EQ(Read("p/player.dat").substr(0, player.size() - 8), player.substr(0, player.size() - 8));
    EXPECT_EQ(Read("p/save.dat").substr(0, save.size() - 8), save.substr(0, save.size() - 8));
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
    save.I(1).I(0).I(123).I(0).Zeros(6).I(0).I(-1);
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
    EXPECT_EQ(GetProfileHost().iRuleCounter, 1);
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

TEST_F(ProfileTest, EachKnownVersionReadsItsSaveWithTasksAgainAfterSaving)
{
    const float versions[] = {0.6f, 0.7f, 0.8f, 0.9f};
    for (float version : versions) {
        const std::string folder = "k" + std::to_string(static_cast<int>(version * 10));
        ASSERT_TRUE(vektest::WriteFile(Path(folder + "/player.dat"), PlayerDatOf(version, "Ann", 13)));
        ASSERT_TRUE(vektest::WriteFile(Path(folder + "/save.dat"), SaveDatOf(version)));
        cPlayer p(folder);
        ASSERT_TRUE(p.LoadPlayer()) << version;
        // Loaded, saved in today's layout and loaded again in the same run:
        // the same game each time.
        for (int round = 0; round < 2; ++round) {
            ASSERT_TRUE(p.Activate());
            EXPECT_EQ(p.m_iMoney, 6060) << version << " " << round;
            EXPECT_EQ(p.m_iIslandMoney, 40) << version;
            EXPECT_EQ(p.m_iLevelValue, 1) << version;
            EXPECT_EQ(p.m_CarLoad, std::vector<int32_t>{2}) << version;
            EXPECT_EQ(p.m_iSorts, 2) << version;
            EXPECT_EQ(p.m_iAnimals, 1) << version;
            EXPECT_EQ(GetProfileHost().iRuleCounter, 1) << version;
            ASSERT_EQ(p.m_Tasks.size(), 1u) << version << " " << round;
            EXPECT_EQ(p.m_Tasks[0].iWare, MakeLevelTask("egg", 1, 0.0f).iWare);
            EXPECT_EQ(p.m_Tasks[0].iAmount, 3);
            EXPECT_EQ(p.m_Tasks[0].fTime, version > 0.7f ? 4.0f : 0.0f) << version;
            ASSERT_TRUE(p.SaveGame(-1));
        }
        EXPECT_FALSE(Exists(folder + "/save.dat.bad")) << version;
        EXPECT_EQ(p.m_fVersion, 0.9f);
    }
}

TEST_F(ProfileTest, OtherVersionsAreRefusedAndTheFilesKeptAsTheyAre)
{
    const float versions[] = {0.0f, std::nanf(""), 2.0f, 0.5f, 1.0f, -0.9f, INFINITY};
    int round = 0;
    for (float version : versions) {
        const std::string folder = "r" + std::to_string(round++);
        const Bytes player = PlayerDatOf(0.9f, "Vera", 7).replace(0, 4, Out().F(version).b);
        const Bytes save = SaveDatOf(0.9f);
        ASSERT_TRUE(vektest::WriteFile(Path(folder + "/player.dat"), player));
        ASSERT_TRUE(vektest::WriteFile(Path(folder + "/save.dat"), save));
        const int warned = Logged("which this game cannot read");
        cPlayer p(folder);
        EXPECT_FALSE(p.LoadPlayer()) << version;
        EXPECT_EQ(Logged("which this game cannot read"), warned + 1) << version;
        EXPECT_EQ(Logged(folder + "\\player.dat has version"), 1) << version;
        EXPECT_EQ(Read(folder + "/player.dat.bad"), player) << version;
        EXPECT_EQ(Read(folder + "/save.dat.bad"), save) << version;
        EXPECT_NE(p.m_strName, "Vera");
        EXPECT_EQ(p.m_iProgress, 0);
        // The game is not read from the refused profile, and nothing of it
        // is written back over its files.
        ASSERT_TRUE(p.Activate());
        EXPECT_EQ(p.m_iMoney, 0) << version;
        EXPECT_TRUE(p.m_Tasks.empty());
        p.m_iMoney = 1;
        EXPECT_FALSE(p.SavePlayer());
        EXPECT_FALSE(p.SaveGame(-1));
        EXPECT_TRUE(p.Deactivate());
        EXPECT_EQ(Read(folder + "/player.dat"), player) << version;
        EXPECT_EQ(Read(folder + "/save.dat"), save) << version;
    }
    // The version logged is the one in the file.
    EXPECT_EQ(Logged("has version 2.000000,"), 1);
    EXPECT_EQ(Logged("has version NaN,"), 1);
}

TEST_F(ProfileTest, AMisalignedPlayerFileIsKeptAndItsValuesUnused)
{
    // A name length of 0 before the name's bytes: they would read as the
    // progress and everything after them one field off.
    Out o;
    o.F(0.9f).I(0);  // the length 0 and the first two bytes of the name
    o.b.resize(o.b.size() - 2);
    o.b += "Anna";
    o.I(3).I(-1).I(15).Zeros(15).I(10).Zeros(10).I(0).I(0).I(0).I(0).I(1);
    ASSERT_TRUE(vektest::WriteFile(Path("m/player.dat"), o.b));
    cPlayer p("m");
    EXPECT_TRUE(p.LoadPlayer());
    EXPECT_EQ(Logged("is misaligned"), 1);
    EXPECT_FALSE(p.m_strName.empty());
    EXPECT_EQ(p.m_iProgress, 0);
    EXPECT_EQ(p.m_iContinueLevel, -1);
    ASSERT_TRUE(p.SavePlayer());
    EXPECT_EQ(vektest::NewestBad(Path("m/player.dat")), o.b);
    cPlayer again("m");
    ASSERT_TRUE(again.LoadPlayer());
    EXPECT_EQ(again.m_strName, p.m_strName);
    EXPECT_EQ(Logged("is misaligned"), 1);

    // Every name for a kept copy taken: the new damage is kept all the
    // same, in place of the oldest copy, and the drop is logged.
    for (int n = 0; n < 100; ++n)
        ASSERT_TRUE(vektest::WriteFile(vektest::BadCopyName(Path("m/player.dat"), n), "old " + std::to_string(n)));
    ASSERT_TRUE(vektest::WriteFile(Path("m/player.dat"), o.b));
    cPlayer full("m");
    EXPECT_TRUE(full.LoadPlayer());
    ASSERT_TRUE(full.SavePlayer());
    EXPECT_EQ(vektest::ReadFile(vektest::BadCopyName(Path("m/player.dat"), 99)), o.b);
    EXPECT_EQ(vektest::ReadFile(vektest::BadCopyName(Path("m/player.dat"), 0)), "old 1");
    EXPECT_EQ(Logged("the oldest copy was dropped"), 1);

    // Medals beyond the progress and the newest level to continue would
    // take continuing to a result sequence the player never won.
    Out medals;
    medals.F(0.9f).S("Bo").I(0).I(0).I(15).Zeros(15).I(10).Zeros(10).I(3).I(2).I(2).I(2).I(0).I(0).I(0).I(1);
    ASSERT_TRUE(vektest::WriteFile(Path("r/player.dat"), medals.b));
    cPlayer r("r");
    EXPECT_TRUE(r.LoadPlayer());
    EXPECT_EQ(Logged("is misaligned"), 2);
    EXPECT_TRUE(r.m_Results.empty());
}

TEST_F(ProfileTest, AFileThatIsThereButCannotBeReadIsNeverWrittenOver)
{
    cPlayer a("u");
    a.m_strName = "Una";
    a.m_iMoney = 90;
    a.m_Tasks.push_back(MakeLevelTask("egg", 2, 0.0f));
    ASSERT_TRUE(a.SavePlayer());
    ASSERT_TRUE(a.SaveGame(-1));
    const Bytes player = Read("u/player.dat");
    const Bytes save = Read("u/save.dat");

    // Mode 000. Root reads any file: its file-system identity is lowered
    // while the files are read, so that the refusal is the one a player
    // meets.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chmod(m_strDir.c_str(), 0755), 0);
    }
    for (const char* name : {"player.dat", "save.dat"})
        ASSERT_EQ(chmod(Path(std::string("u/") + name).c_str(), 0), 0);
    cPlayer p("u");
    if (root) setfsuid(65534);
    const bool loaded = p.LoadPlayer();
    p.Activate();
    if (root) setfsuid(0);
    EXPECT_FALSE(loaded);
    // Its copy is tried too, and cannot be read either.
    EXPECT_EQ(Logged("player.dat exists but cannot be opened"), 1);
    EXPECT_EQ(Logged("save.dat exists but cannot be opened"), 0);
    EXPECT_EQ(Logged("player.dat exists but cannot be read"), 1);
    // The profile is refused whole: its game is not even looked at.
    EXPECT_EQ(Logged("save.dat exists but cannot be read"), 0);
    EXPECT_EQ(p.m_iMoney, 0);
    EXPECT_FALSE(p.SavePlayer());
    EXPECT_FALSE(p.SaveGame(-1));
    EXPECT_TRUE(p.Deactivate());
    for (const char* name : {"player.dat", "save.dat"})
        ASSERT_EQ(chmod(Path(std::string("u/") + name).c_str(), 0600), 0);
    EXPECT_EQ(Read("u/player.dat"), player);
    EXPECT_EQ(Read("u/save.dat"), save);
    EXPECT_EQ(Logged("not found on disk"), 0);

    // A readable "player.dat" and "save.dat" refused alone: the profile is
    // read, its game is not, and "save.dat" is never written over.
    ASSERT_EQ(chmod(Path("u/save.dat").c_str(), 0), 0);
    cPlayer r("u");
    ASSERT_TRUE(r.LoadPlayer());
    EXPECT_EQ(r.m_strName, "Una");
    if (root) setfsuid(65534);
    r.Activate();
    if (root) setfsuid(0);
    EXPECT_EQ(Logged("save.dat exists but cannot be read"), 1);
    EXPECT_TRUE(r.m_Tasks.empty());
    EXPECT_FALSE(r.SaveGame(-1));
    ASSERT_TRUE(r.SavePlayer());
    ASSERT_EQ(chmod(Path("u/save.dat").c_str(), 0600), 0);
    EXPECT_EQ(Read("u/save.dat"), save);

    // A folder in place of "save.dat" is refused the same way.
    ASSERT_EQ(std::remove(Path("u/save.dat").c_str()), 0);
    ASSERT_EQ(mkdir(Path("u/save.dat").c_str(), 0700), 0);
    cPlayer q("u");
    ASSERT_TRUE(q.LoadPlayer());
    EXPECT_EQ(q.m_strName, "Una");
    q.Activate();
    EXPECT_EQ(Logged("save.dat exists but cannot be read"), 2);
    EXPECT_FALSE(q.SaveGame(-1));
}

TEST_F(ProfileTest, NamedPipesInPlaceOfTheFilesNeverBlockAndStay)
{
    // No writer ever comes: an open that waited would hang the test.
    ASSERT_FALSE(cPlayer("f").GetProfilePath(-1).empty());
    ASSERT_EQ(mkfifo(Path("f/player.dat").c_str(), 0600), 0);
    cPlayer p("f");
    EXPECT_FALSE(p.LoadPlayer());
    EXPECT_EQ(Logged("player.dat is not a regular file"), 1);
    EXPECT_FALSE(p.SavePlayer());

    cPlayer g("g");
    ASSERT_TRUE(g.SavePlayer());
    ASSERT_EQ(mkfifo(Path("g/save.dat").c_str(), 0600), 0);
    EXPECT_TRUE(g.LoadPlayer());
    EXPECT_TRUE(g.Activate());
    EXPECT_EQ(Logged("save.dat is not a regular file"), 1);
    EXPECT_FALSE(g.SaveGame(-1));
    for (const char* name : {"f/player.dat", "g/save.dat"}) {
        struct stat st{};
        ASSERT_EQ(lstat(Path(name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << name;
    }
}

// An older profile (no mark anywhere) whose player.dat names a level to
// continue but whose save.dat is gone: told as lost, no game in play
// offered, and none written again as a level without its money.
TEST_F(ProfileTest, AnOlderProfileWithoutItsSaveOffersNoGameToContinue)
{
    Out o;
    o.F(0.9f).S("Old").I(1).I(1);
    o.I(0).I(0).I(1).I(7).I(0).I(0).I(0).I(0);
    ASSERT_TRUE(vektest::WriteFile(Path("o/player.dat"), o.b));
    {
        cPlayer p("o");
        ASSERT_TRUE(p.LoadPlayer());
        ASSERT_EQ(p.m_iContinueLevel, 1);
        ASSERT_TRUE(p.Activate());
        EXPECT_FALSE(p.HasGameToContinue());
        EXPECT_EQ(p.TakeLoadNotice(), cPlayer::e_noticeMissing);
        ASSERT_TRUE(p.SaveGame(-1));
        ASSERT_TRUE(p.SavePlayer());
    }
    cPlayer again("o");
    ASSERT_TRUE(again.LoadPlayer());
    ASSERT_TRUE(again.Activate());
    EXPECT_EQ(again.m_iContinueLevel, -1);
    EXPECT_FALSE(again.HasGameToContinue());
    EXPECT_EQ(again.TakeLoadNotice(), cPlayer::e_noticeNone);
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
    // A count that cannot fit refuses the rest: nothing after it is read
    // (the lists after it stay empty, the tutorial switch as it was).
    const int warned = Logged("a count does not fit the file");
    {
        Bytes b = valid;
        b.replace(4 + 3 + 8 + 108, 4, Out().I(1000).b);  // the results
        ASSERT_TRUE(vektest::WriteFile(Path("h/player.dat"), b));
        GetProfileHost().iTraining = 7;
        cPlayer p("h");
        EXPECT_TRUE(p.LoadPlayer());
        EXPECT_TRUE(p.m_Results.empty());
        EXPECT_EQ(GetProfileHost().iTraining, 7);
        EXPECT_EQ(Logged("a count does not fit the file"), warned + 1);
    }

    // In "save.dat", a huge car load, then a huge task count, each before
    // a whole game whose values would otherwise be read from the wrong
    // place: none of them is, the warning says so, the file is kept.
    const Bytes tail = Out().I(5).I(0).I(6060).I(40).Zeros(6).I(2).I(1).b;
    Out car;
    car.F(3.0f).I(0x7fffffff).I(1).I(1).I(0).I(0).S("egg").I(-1).I(364183552).F(0.0f);
    Out tasks;
    tasks.F(3.0f).I(0).I(2).I(0x7fffffff).S("egg").I(-1).I(5).F(0.0f);
    int round = 0;
    for (const Bytes& bytes : {car.b + tail, tasks.b + tail}) {
        ASSERT_TRUE(vektest::WriteFile(Path("h/save.dat"), bytes));
        cPlayer p("h");
        EXPECT_TRUE(p.Activate());
        EXPECT_EQ(p.m_fClock, 0.0f);
        EXPECT_TRUE(p.m_CarLoad.empty());
        EXPECT_TRUE(p.m_Tasks.empty()) << round;
        EXPECT_EQ(p.m_iMoney, 0) << round;
        EXPECT_EQ(p.m_iIslandMoney, 0);
        EXPECT_EQ(p.m_iAnimals, -1);
        EXPECT_EQ(p.m_iSorts, 0);
        EXPECT_EQ(p.m_iLevelValue, 0);
        EXPECT_EQ(Logged("a count does not fit the file"), warned + 2 + round);
        ASSERT_TRUE(p.SaveGame(-1));
        EXPECT_EQ(vektest::NewestBad(Path("h/save.dat")), bytes);
        ++round;
    }
}

TEST_F(ProfileTest, EveryTruncationLoadsAndTheDamagedFileIsKept)
{
    cPlayer a("t");
    a.m_iProgress = 2;
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

    // Every cut: one warning, and nothing of the record is kept.
    // player.dat: version, name "Player" (2 + 6), progress, level, 15
    // events, 10 hints, results {1, 2} at byte 128, times {3} at 140, the
    // values {4} at 148, the animal counts at 156, the switch at 160.
    // (A cut in the mark that follows leaves the values whole.)
    // Beside its copy the profile keeps what it holds; without the copy (one
    // cut in two) the reader's own checks are all there is.
    const Bytes copy = Read("t/player.bak");
    ASSERT_EQ(copy, player);
    for (size_t len = 1; len < player.size() - save_set::kMarkBytes; ++len) {
        const bool withCopy = len % 2 == 0;
        ASSERT_TRUE(vektest::WriteFile(Path("t/player.dat"), player.substr(0, len)));
        if (withCopy)
            ASSERT_TRUE(vektest::WriteFile(Path("t/player.bak"), copy));
        else
            std::remove(Path("t/player.bak").c_str());
        const int warned = Logged("player.dat is damaged");
        cPlayer p("t");
        EXPECT_TRUE(p.LoadPlayer()) << len;
        EXPECT_EQ(Logged("player.dat is damaged"), warned + 1) << len;
        EXPECT_EQ(p.m_iProgress, withCopy ? 2 : 0) << len;
        EXPECT_EQ(p.m_Results.empty() && p.m_Times.empty() && p.m_Values.empty(), !withCopy) << len;
    }
    ASSERT_TRUE(vektest::WriteFile(Path("t/player.bak"), copy));
    ASSERT_EQ(player.size(), 164u + save_set::kMarkBytes);
    // save.dat: clock, the car load {2} (8 bytes), the next task, one egg
    // task (17 bytes) from byte 16, the rule counter at 37, the player
    // value, money 50 at 45, funds, six upgrades, sorts, animals at 81,
    // the won level's next step at 85 (a file ending before it is whole: an
    // older game's).
    ASSERT_EQ(save.size(), 89u + save_set::kMarkBytes);
    for (size_t len = 1; len < 89; ++len) {
        if (len == 85) continue;
        ASSERT_TRUE(vektest::WriteFile(Path("t/save.dat"), save.substr(0, len)));
        const int warned = Logged("save.dat is damaged");
        cPlayer p("t");
        EXPECT_TRUE(p.Activate()) << len;
        EXPECT_EQ(Logged("save.dat is damaged"), warned + 1) << len;
        EXPECT_EQ(p.m_fClock, 0.0f);
        EXPECT_TRUE(p.m_CarLoad.empty()) << len;
        EXPECT_TRUE(p.m_Tasks.empty()) << len;
        EXPECT_EQ(p.m_iMoney, 0) << len;
        EXPECT_EQ(p.m_iAnimals, -1) << len;
        for (int i = 0; i < cUpgrades::kCount; ++i) EXPECT_EQ(p.m_Upgrades.GetLevel(i), 0);
    }

    // The next save keeps the damaged file beside the new one.
    vektest::RemoveBadCopies(Path("t/player.dat"));
    vektest::RemoveBadCopies(Path("t/save.dat"));
    const Bytes cut = player.substr(0, player.size() - save_set::kMarkBytes - 2);
    ASSERT_TRUE(vektest::WriteFile(Path("t/player.dat"), cut));
    cPlayer p("t");
    p.LoadPlayer();
    ASSERT_TRUE(p.SavePlayer());
    EXPECT_EQ(vektest::NewestBad(Path("t/player.dat")), cut);
    const Bytes cutSave = save.substr(0, 10);
    ASSERT_TRUE(vektest::WriteFile(Path("t/save.dat"), cutSave));
    p.Activate();
    ASSERT_TRUE(p.SaveGame(-1));
    EXPECT_EQ(vektest::NewestBad(Path("t/save.dat")), cutSave);
}

TEST_F(ProfileTest, AValueNoGameWritesKeepsTheWholeRecordAtItsDefaults)
{
    // player.dat of "Ann": progress 3, medals {0, 1, 2}, times {10, 20, 30}
    // (the last at 53), the tutorial switch 0 at its end (65).
    const Bytes ann = Out().F(0.9f).S("Ann").I(3).I(-1).I(0).I(0).I(3).I(0).I(1).I(2).I(3).F(10.0f).F(20.0f)
                          .F(30.0f).I(0).I(0).I(0).b;
    // The game in play of a profile at level 12, whose result sequence
    // runs: SaveDatOf's values are within what the levels up to 12 grant.
    // SaveDatOf: the clock at 0, the task count at 16, the name's length at
    // 20, its kind at 25, its amount at 29, the rule counter at 37, the bed
    // layout at 41, money at 45, funds at 49, the upgrades at 53, sorts at
    // 77, animals at 81. The save level 1 starts from: the rule counter, bed layout 1,
    // money 35, funds 40, no upgrades, sort 1 and no animal (level 0's
    // awards).
    const Bytes slot1 = Out().I(1).I(1).I(35).I(40).Zeros(6).I(1).I(-1).b;
    constexpr size_t kWhole = 1000, kEmpty = 1001;
    struct cCase {
        const char* file;  // player.dat, or the save.dat of the slot
        int slot;
        size_t at;
        Bytes with;
        const char* logged;  // null: nothing is damaged
    };
    const Bytes nan = Out().F(std::nanf("")).b;
    const Bytes big = Out().I(0x7fffffff).b;
    const cCase cases[] = {
        {"player.dat", -1, kWhole, "", nullptr},
        {"player.dat", -1, 9, Out().I(0x82).b, "the progress 130 is out of range"},
        {"player.dat", -1, 13, Out().I(0x80).b, "the level to continue 128 is out of range"},
        {"player.dat", -1, 53, nan, "a level time NaN is out of range"},
        {"player.dat", -1, 65, Out().I(12345).b, "the tutorial switch 12345 is out of range"},
        {"player.dat", -1, kEmpty, "", "player.dat is damaged: it is empty"},
        {"save.dat", -1, kWhole, "", nullptr},
        // One more delivered than wanted, while the car still holds it: a
        // game writes that.
        {"save.dat", -1, 29, Out().I(-1).b, nullptr},
        {"save.dat", -1, 0, nan, "the level clock NaN is out of range"},
        {"save.dat", -1, 16, Out().I(-1).b, "a count does not fit the file"},
        {"save.dat", -1, 16, Out().I(1000).b, "a count does not fit the file"},
        {"save.dat", -1, 16, big, "a count does not fit the file"},
        {"save.dat", -1, 20, Bytes("\xff\xff", 2), "save.dat is damaged: it is cut short"},
        {"save.dat", -1, 25, Out().I(4).b, "a task kind 4 is out of range"},
        {"save.dat", -1, 29, big, "a task amount 2147483647 is out of range"},
        {"save.dat", -1, 29, Out().I(-6).b, "a task amount -6 is out of range"},
        {"save.dat", -1, 37, big, "the rule counter 2147483647 is out of range"},
        {"save.dat", -1, 41, Out().I(4).b, "the bed layout 4 is out of range"},
        {"save.dat", -1, 41, big, "the bed layout 2147483647 is out of range"},
        {"save.dat", -1, 45, big, "the money 2147483647 is out of range"},
        {"save.dat", -1, 45, Out().I(-6060).b, "the money -6060 is out of range"},
        {"save.dat", -1, 49, big, "the island funds 2147483647 is out of range"},
        {"save.dat", -1, 53, Out().I(9).b, "an upgrade level 9 is out of range"},
        {"save.dat", -1, 61, Out().I(-4).b, "an upgrade level -4 is out of range"},
        {"save.dat", -1, 77, Out().I(4).b, "the sort index 4 is out of range"},
        {"save.dat", -1, 81, Out().I(2).b, "the animal level 2 is out of range"},
        {"save.dat", -1, kEmpty, "", "save.dat is damaged: it is empty"},
        {"1/save.dat", 1, kWhole, "", nullptr},
        {"1/save.dat", 1, 4, Out().I(0x10000001).b, "the bed layout 268435457 is out of range"},
        {"1/save.dat", 1, 44, Out().I(-2).b, "the animal level -2 is out of range"},
    };
    int round = 0;
    for (const cCase& c : cases) {
        const std::string folder = "v" + std::to_string(round++);
        const bool player = std::string(c.file) == "player.dat";
        Bytes bytes = player ? ann : c.slot == -1 ? SaveDatOf(0.9f) : slot1;
        if (c.at == kEmpty)
            bytes.clear();
        else if (c.at != kWhole)
            bytes.replace(c.at, c.with.size(), c.with);
        SCOPED_TRACE(std::string(c.file) + (c.logged ? std::string(": ") + c.logged : std::string(" whole")));
        ASSERT_TRUE(vektest::WriteFile(Path(folder + "/" + c.file), bytes));
        const int logged = c.logged ? Logged(c.logged) : 0;
        const bool damaged = c.logged != nullptr;
        GetProfileHost().iTraining = 1;
        GetProfileHost().iRuleCounter = 0;
        cPlayer p(folder);
        if (player) {
            // The game in play of a profile at progress 0, kept before it is
            // saved over when the level to continue may be lost.
            const Bytes fresh = Out().F(0.0f).Zeros(7).Zeros(6).I(0).I(-1).b;
            ASSERT_TRUE(vektest::WriteFile(Path(folder + "/save.dat"), fresh));
            ASSERT_TRUE(p.LoadPlayer());
            // Nothing of a damaged record, not even the name before the
            // fault: the folder's, which no other profile has.
            EXPECT_EQ(p.m_strName, damaged ? folder : "Ann");
            EXPECT_EQ(p.m_iProgress, damaged ? 0 : 3);
            EXPECT_EQ(p.m_Results.size(), damaged ? 0u : 3u);
            EXPECT_EQ(p.m_Times.size(), damaged ? 0u : 3u);
            EXPECT_EQ(GetProfileHost().iTraining, damaged ? 1 : 0);
            ASSERT_TRUE(p.Activate());
        } else {
            // (A level replayed while the newest one's medal waits: the
            // level's tasks need not be done.)
            p.m_iProgress = 12;
            p.m_iContinueLevel = 11;
            p.m_Results.assign(13, 0);
            ASSERT_TRUE(p.LoadGame(c.slot));
            // Nothing of a damaged record: the levels won grant the sorts,
            // the beds and the animals.
            const bool playing = c.slot == -1;
            EXPECT_EQ(p.m_Tasks.size(), damaged || !playing ? 0u : 1u);
            EXPECT_EQ(p.m_CarLoad.size(), damaged || !playing ? 0u : 1u);
            EXPECT_EQ(p.m_fClock, damaged || !playing ? 0.0f : 12.5f);
            EXPECT_EQ(p.m_iLevelValue, damaged || !playing ? 0 : 1);
            EXPECT_EQ(GetProfileHost().iRuleCounter, damaged ? 0 : 1);
            EXPECT_EQ(p.m_iMoney, damaged ? 0 : playing ? 6060 : 35);
            EXPECT_EQ(p.m_iIslandMoney, damaged ? 0 : 40);
            for (int i = 0; i < cUpgrades::kCount; ++i) EXPECT_EQ(p.m_Upgrades.GetLevel(i), 0);
            EXPECT_EQ(p.m_iSorts, !playing ? 1 : damaged ? 3 : 2);
            EXPECT_EQ(p.m_iPlayerValue, !playing ? 1 : damaged ? 3 : 0);
            EXPECT_EQ(p.m_iAnimals, !playing ? -1 : damaged ? 0 : 1);
            // A damaged game in play is not continued, and the win its
            // result sequence held is given up.
            EXPECT_EQ(p.m_iContinueLevel, damaged && playing ? -1 : 11);
            EXPECT_EQ(p.m_Results.size(), damaged && playing ? 12u : 13u);
        }
        if (damaged) {
            EXPECT_EQ(Logged(c.logged), logged + 1);
        }
        // Read again in the same run (the profile made current again, the
        // level continued): not logged again.
        if (!player && damaged) {
            ASSERT_TRUE(p.LoadGame(c.slot));
            EXPECT_EQ(Logged(c.logged), logged + 1);
        }
        EXPECT_EQ(p.TakeLoadNotice(c.slot), damaged ? cPlayer::e_noticeDamaged : cPlayer::e_noticeNone);
        EXPECT_EQ(p.TakeLoadNotice(c.slot), cPlayer::e_noticeNone) << "told once";
        // The damaged file is kept beside the one saved over it (and the
        // game in play beside its new save when player.dat was damaged).
        if (player) {
            ASSERT_TRUE(p.SavePlayer());
        }
        ASSERT_TRUE(p.SaveGame(c.slot));
        const std::string saved = player ? "save.dat" : c.file;
        EXPECT_EQ(Exists(folder + "/" + c.file + ".bad"), damaged);
        EXPECT_EQ(Exists(folder + "/" + saved + ".bad"), damaged);
        if (damaged) {
            EXPECT_EQ(vektest::NewestBad(Path(folder + "/" + c.file + "")), bytes);
        }
    }

    // A save.dat refused for its task count: the field and the island of
    // the same save are kept too before the set is written over.
    Bytes refused = SaveDatOf(0.9f);
    refused.replace(16, 4, Out().I(1000).b);
    ASSERT_TRUE(vektest::WriteFile(Path("f/save.dat"), refused));
    ASSERT_TRUE(vektest::WriteFile(Path("f/level.dat"), "field"));
    ASSERT_TRUE(vektest::WriteFile(Path("f/island.dat"), "isle"));
    cPlayer p("f");
    ASSERT_TRUE(p.Activate());
    ASSERT_TRUE(p.SaveGame(-1));
    EXPECT_EQ(vektest::NewestBad(Path("f/save.dat")), refused);
    EXPECT_EQ(vektest::NewestBad(Path("f/level.dat")), "field");
    EXPECT_EQ(vektest::NewestBad(Path("f/island.dat")), "isle");
    // Kept once: the next save finds a whole set.
    ASSERT_TRUE(vektest::WriteFile(Path("f/level.dat.bad"), "earlier"));
    ASSERT_TRUE(p.SaveGame(-1));
    EXPECT_EQ(vektest::NewestBad(Path("f/level.dat")), "earlier");
}

// Each file of the set carries the checksum of its own bytes: one flipped
// bit anywhere in "player.dat" or "save.dat" (a value still in its range
// included) is found and told, nothing of the file is read, and the profile
// holds what the progress it keeps has earned, the funds of the newest
// level's save, never more. A "save.dat" gone beside the "player.dat" saved
// with it is told too; either way the game in play is not offered, and the
// next start, after the exit wrote "player.dat", has nothing to tell.
TEST_F(ProfileTest, AFileWhoseChecksumDoesNotMatchIsDamagedAsAWhole)
{
    ASSERT_TRUE(SaveLevelTwoInPlay("c"));
    const Bytes player = Read("c/player.dat"), save = Read("c/save.dat");
    std::vector<std::pair<std::string, Bytes>> damaged;
    // (A bit of each byte, its place in the byte going round.)
    for (size_t at = 0; at < player.size(); ++at) {
        Bytes bytes = player;
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << (at % 8)));
        damaged.emplace_back("player.dat", bytes);
    }
    for (size_t at = 0; at < save.size(); ++at) {
        Bytes bytes = save;
        bytes[at] = static_cast<char>(bytes[at] ^ (1 << (at % 8)));
        damaged.emplace_back("save.dat", bytes);
    }
    damaged.emplace_back("save.dat", "");  // (removed)
    for (const auto& [name, bytes] : damaged) {
        const Bytes& whole = name == "player.dat" ? player : save;
        size_t at = 0;
        while (at < whole.size() && at < bytes.size() && whole[at] == bytes[at]) ++at;
        SCOPED_TRACE(name + (bytes.empty() ? std::string(" removed") : " flipped at " + std::to_string(at)));
        ASSERT_TRUE(vektest::WriteFile(Path("c/player.dat"), player));
        ASSERT_TRUE(vektest::WriteFile(Path("c/player.bak"), player));
        ASSERT_TRUE(vektest::WriteFile(Path("c/save.dat"), save));
        for (const char* file : {"player.dat", "save.dat", "level.dat", "island.dat"})
            vektest::RemoveBadCopies(Path(std::string("c/") + file));
        if (bytes.empty())
            std::remove(Path("c/save.dat").c_str());
        else
            ASSERT_TRUE(vektest::WriteFile(Path("c/" + name), bytes));
        cPlayer p("c");
        p.LoadPlayer();
        ASSERT_TRUE(p.Activate());
        // Every flip is told, one in the mark's magic too: the profile has
        // the copy of "player.dat", so no file of it is of an older layout.
        ASSERT_NE(p.TakeLoadNotice(), cPlayer::e_noticeNone);
        if (name == "player.dat") {
            // Its copy holds the same moment: nothing is lost.
            EXPECT_TRUE(p.HasGameToContinue());
            EXPECT_EQ(p.m_iProgress, 2);
            EXPECT_EQ(p.m_Results, (std::vector<int32_t>{0, 1}));
            EXPECT_EQ(p.m_iMoney, 50);
            EXPECT_EQ(p.m_iIslandMoney, 130);
            EXPECT_EQ(p.m_Tasks.size(), 1u);
            EXPECT_EQ(vektest::NewestBad(Path("c/player.dat")), bytes);
            continue;
        }
        EXPECT_FALSE(p.HasGameToContinue());
        EXPECT_EQ(p.m_iContinueLevel, -1);
        EXPECT_TRUE(p.m_Tasks.empty());
        EXPECT_EQ(p.m_iMoney, 0);
        // The progress as saved; what it earned, and the funds of level 2's
        // save.
        EXPECT_EQ(p.m_iProgress, 2);
        const cEarnedAwards kept = EarnedAwards(p.m_iProgress);
        EXPECT_EQ(p.m_iSorts, kept.iSorts);
        EXPECT_EQ(p.m_iPlayerValue, kept.iBeds);
        EXPECT_EQ(p.m_iAnimals, kept.iAnimals);
        EXPECT_EQ(p.m_iIslandMoney, p.m_iProgress == 0 ? 0 : 100);
        // The exit writes "player.dat": the next start tells nothing more
        // of a save.dat gone, nor of a damaged one still there (it was
        // kept, and told, at the first), and offers no game in play (seen
        // for some).
        if (!bytes.empty() && at % 16 != 0) continue;
        p.KeepOnlyWhatIsSaved();
        ASSERT_TRUE(p.SavePlayer());
        cPlayer next("c");
        ASSERT_TRUE(next.LoadPlayer());
        ASSERT_TRUE(next.Activate());
        EXPECT_EQ(next.TakeLoadNotice(), cPlayer::e_noticeNone);
        EXPECT_EQ(next.m_iContinueLevel, -1);
        EXPECT_FALSE(next.HasGameToContinue());
    }
}

// A checked profile (its folder holds the copy of "player.dat") was written
// whole by today's game: a file there that claims an older layout (its
// mark's magic flipped, its mark cut off, or the mark before the checksum in
// its place) is damaged, however its values read, and so is a file gone.
TEST_F(ProfileTest, InACheckedProfileNoFileIsTrustedForClaimingAnOlderLayoutOrForBeingGone)
{
    ASSERT_TRUE(SaveLevelTwoInPlay("k"));
    ASSERT_TRUE(Exists("k/player.bak"));
    const Bytes player = Read("k/player.dat"), save = Read("k/save.dat"), slot = Read("k/2/save.dat");
    // The three ways a file can claim an older layout, and one more value
    // damaged inside it that its range checks would let through.
    const auto olderClaims = [](const Bytes& file, size_t valueAt, char value) {
        const size_t body = file.size() - save_set::kMarkBytes;
        Bytes damaged = file;
        damaged[valueAt] = value;
        Bytes magic = damaged;
        magic[body + 3] = '3';
        Bytes unchecked = damaged.substr(0, body + save_set::kUncheckedMarkBytes);
        unchecked[body + 3] = '1';
        return std::vector<std::pair<std::string, Bytes>>{
            {"its magic flipped", magic}, {"its mark cut off", damaged.substr(0, body)}, {"the older mark", unchecked}};
    };
    for (const char* name : {"player.dat", "save.dat", "2/save.dat"}) {
        const Bytes& whole = name == std::string("player.dat") ? player : name == std::string("save.dat") ? save : slot;
        // The progress 2 raised to 5; the island funds (the fourth value
        // from the save's end before its upgrades, sorts and animals)
        // raised from 100 or 130 to 4221.
        const size_t valueAt = name == std::string("player.dat") ? 12 : whole.size() - save_set::kMarkBytes - 40;
        const char value = name == std::string("player.dat") ? 5 : static_cast<char>(0x7d);
        for (const auto& [how, bytes] : olderClaims(whole, valueAt, value)) {
            SCOPED_TRACE(std::string(name) + ", " + how);
            ASSERT_TRUE(vektest::WriteFile(Path("k/player.dat"), player));
            ASSERT_TRUE(vektest::WriteFile(Path("k/player.bak"), player));
            ASSERT_TRUE(vektest::WriteFile(Path("k/save.dat"), save));
            ASSERT_TRUE(vektest::WriteFile(Path("k/2/save.dat"), slot));
            ASSERT_TRUE(vektest::WriteFile(Path(std::string("k/") + name), bytes));
            cPlayer p("k");
            ASSERT_TRUE(p.LoadPlayer());
            EXPECT_EQ(p.m_iProgress, 2);
            EXPECT_EQ(p.m_Results, (std::vector<int32_t>{0, 1}));
            ASSERT_TRUE(p.LoadGame(name == std::string("2/save.dat") ? 2 : -1));
            EXPECT_NE(p.TakeLoadNotice(name == std::string("2/save.dat") ? 2 : -1), cPlayer::e_noticeNone);
            EXPECT_TRUE(vektest::KeptAsBad(Path(std::string("k/") + name), bytes));
            EXPECT_LE(p.m_iIslandMoney, 130);
            if (name == std::string("player.dat")) {
                // Its copy holds the same moment: the game goes on.
                EXPECT_TRUE(p.HasGameToContinue());
                EXPECT_EQ(p.m_iMoney, 50);
                EXPECT_EQ(p.m_iIslandMoney, 130);
            } else if (name == std::string("save.dat")) {
                // The level in play is lost; the funds and upgrades of one
                // save, level 2's.
                EXPECT_FALSE(p.HasGameToContinue());
                EXPECT_EQ(p.m_iMoney, 0);
                EXPECT_EQ(p.m_iIslandMoney, 100);
                EXPECT_EQ(p.m_Upgrades.GetLevel(0), 1);
            } else {
                // Level 2 starts with the funds and upgrades of one whole
                // save: the game in play, the one after it.
                EXPECT_EQ(p.m_iIslandMoney, 130);
                EXPECT_EQ(p.m_Upgrades.GetLevel(0), 1);
            }
        }
    }

    // Gone: "player.dat" (its copy keeps the profile), a level's own save
    // up to the progress (told; one whole save's funds).
    ASSERT_TRUE(vektest::WriteFile(Path("k/player.bak"), player));
    ASSERT_TRUE(vektest::WriteFile(Path("k/save.dat"), save));
    ASSERT_TRUE(vektest::WriteFile(Path("k/2/save.dat"), slot));
    std::remove(Path("k/player.dat").c_str());
    {
        cPlayer p("k");
        ASSERT_TRUE(p.LoadPlayer());
        EXPECT_EQ(p.m_iProgress, 2);
        ASSERT_TRUE(p.Activate());
        EXPECT_TRUE(p.HasGameToContinue());
        // Nothing was lost: the player hears it was restored.
        EXPECT_EQ(p.TakeLoadNotice(), cPlayer::e_noticeRestored);
        ASSERT_TRUE(p.SavePlayer());
    }
    EXPECT_EQ(Read("k/player.dat"), player);
    std::remove(Path("k/2/save.dat").c_str());
    {
        cPlayer p("k");
        ASSERT_TRUE(p.LoadPlayer());
        ASSERT_TRUE(p.LoadGame(2));
        EXPECT_EQ(p.TakeLoadNotice(2), cPlayer::e_noticeDamaged);
        EXPECT_EQ(p.m_iIslandMoney, 130);
        EXPECT_EQ(p.m_Upgrades.GetLevel(0), 1);
    }
}

// Without the copy of "player.dat" (a profile of the release before the
// copy, or one whose copy was lost) a profile whose files carry today's mark
// is as checked: a file there that claims an older layout, its values raised
// within their ranges, is damaged, kept and told, and hands out nothing.
TEST_F(ProfileTest, WithoutItsCopyAProfileOfTodaysMarksTrustsNoFileThatClaimsAnOlderLayout)
{
    ASSERT_TRUE(SaveLevelTwoInPlay("n"));
    ASSERT_TRUE(Exists("n/player.bak"));
    const Bytes player = Read("n/player.dat"), save = Read("n/save.dat"), slot = Read("n/2/save.dat");
    for (const char* name : {"save.dat", "2/save.dat", "player.dat"}) {
        const std::string file = name;
        const Bytes& whole = file == "player.dat" ? player : file == "save.dat" ? save : slot;
        const size_t body = whole.size() - save_set::kMarkBytes;
        // The progress 2 raised to 5; the island funds (before the six
        // upgrades, the sorts, the animals and, in play, the won level's
        // next step) raised by 4096.
        Bytes raised = whole;
        raised[file == "player.dat" ? 12 : body - (file == "save.dat" ? 39 : 35)] = file == "player.dat" ? 5 : 0x10;
        Bytes magic = raised, unchecked = raised.substr(0, body + save_set::kUncheckedMarkBytes);
        magic[body + 3] = '3';
        unchecked[body + 3] = '1';
        for (const auto& [how, bytes] : std::vector<std::pair<std::string, Bytes>>{
                 {"its magic flipped", magic}, {"its mark cut off", raised.substr(0, body)}, {"the older mark", unchecked}}) {
            SCOPED_TRACE(file + ", " + how);
            vek::platform::RemoveTree(Path("n"));
            ASSERT_TRUE(vektest::WriteFile(Path("n/player.dat"), player));
            ASSERT_TRUE(vektest::WriteFile(Path("n/save.dat"), save));
            ASSERT_TRUE(vektest::WriteFile(Path("n/2/save.dat"), slot));
            ASSERT_TRUE(vektest::WriteFile(Path("n/" + file), bytes));
            cPlayer p("n");
            p.LoadPlayer();
            const int which = file == "2/save.dat" ? 2 : -1;
            ASSERT_TRUE(p.LoadGame(which));
            EXPECT_NE(p.TakeLoadNotice(which), cPlayer::e_noticeNone);
            EXPECT_TRUE(vektest::KeptAsBad(Path("n/" + file), bytes));
            EXPECT_LE(p.m_iProgress, 2);
            EXPECT_LE(p.m_iIslandMoney, 130);
            if (file == "save.dat") {
                EXPECT_FALSE(p.HasGameToContinue());
                EXPECT_EQ(p.m_iIslandMoney, 100);
            }
            if (file == "player.dat") {
                EXPECT_FALSE(p.HasGameToContinue());
            }
        }
    }

    // The journal of a conversion found beside the copy (the program ended
    // between writing the copy and removing the journal) is of one that
    // finished: it is removed, and never turns the checks off once the copy
    // is lost.
    vek::platform::RemoveTree(Path("n"));
    ASSERT_TRUE(vektest::WriteFile(Path("n/player.dat"), player));
    ASSERT_TRUE(vektest::WriteFile(Path("n/player.bak"), player));
    ASSERT_TRUE(vektest::WriteFile(Path("n/save.dat"), save));
    const std::string journal = std::string("n/") + save_set::kConversionJournal;
    ASSERT_TRUE(vektest::WriteFile(Path(journal), vektest::Marked("converting", 0, 0.0f)));
    ASSERT_TRUE(cPlayer("n").LoadPlayer());
    EXPECT_FALSE(Exists(journal));
    std::remove(Path("n/player.bak").c_str());
    Bytes older = save.substr(0, save.size() - save_set::kMarkBytes);
    older[older.size() - 39] = 0x10;
    ASSERT_TRUE(vektest::WriteFile(Path("n/save.dat"), older));
    cPlayer p("n");
    ASSERT_TRUE(p.LoadPlayer());
    ASSERT_TRUE(p.Activate());
    EXPECT_NE(p.TakeLoadNotice(), cPlayer::e_noticeNone);
    EXPECT_FALSE(p.HasGameToContinue());
    EXPECT_LE(p.m_iIslandMoney, 130);
}

// An older profile is brought to today's marks at its first save, its copy
// of "player.dat" last: a program ended at any moment of that leaves files
// the next start reads as they were saved, never refused.
TEST_F(ProfileTest, AnOlderProfileEndedAtAnyMomentOfItsConversionIsReadAsSaved)
{
    const Bytes slot = Out().I(77).I(1).I(0).I(6060).I(40).Zeros(6).I(1).I(-1).b;
    for (float version : {0.8f, 0.9f}) {
        for (int writes = 0;; ++writes) {
            SCOPED_TRACE(std::to_string(version) + ", ended after " + std::to_string(writes) + " writes");
            const std::string folder = "v" + std::to_string(static_cast<int>(version * 10));
            vek::platform::RemoveTree(Path(folder));
            ASSERT_TRUE(vektest::WriteFile(Path(folder + "/player.dat"), PlayerDatOf(version, "Old", 13)));
            ASSERT_TRUE(vektest::WriteFile(Path(folder + "/save.dat"), SaveDatOf(version)));
            ASSERT_TRUE(vektest::WriteFile(Path(folder + "/level.dat"), "field"));
            ASSERT_TRUE(vektest::WriteFile(Path(folder + "/1/save.dat"), version < 0.9f ? slot : slot.substr(4)));
            ASSERT_TRUE(vektest::WriteFile(Path(folder + "/1/island.dat"), "isle"));
            int done = 0;
            vek::platform::SetReplaceHook([&](const std::string&) { return done++ < writes; });
            {
                cPlayer p(folder);
                ASSERT_TRUE(p.LoadPlayer());
                p.SavePlayer();
            }
            vek::platform::SetReplaceHook(nullptr);
            const bool whole = done <= writes;
            ExpectOlderProfileReadAsSaved(folder);
            if (whole) {
                // Done: every file carries today's mark beside the copy, and
                // the journal of the conversion is gone.
                EXPECT_TRUE(Exists(folder + "/player.bak"));
                EXPECT_FALSE(Exists(folder + "/" + save_set::kConversionJournal));
                for (const char* name : {"player.dat", "save.dat", "level.dat", "1/save.dat", "1/island.dat"})
                    EXPECT_EQ(Read(folder + "/" + name).substr(Read(folder + "/" + name).size() - 16, 4), "ZLS2") << name;
                break;
            }
            ASSERT_LT(writes, 20);
        }
    }
}

// A level's own save and the game in play written with today's mark in an
// older profile (a level started, then played): ended at any moment, the
// files not yet marked are still read in their layout, never refused for
// standing beside marked ones.
TEST_F(ProfileTest, AnOlderProfileEndedAtAnyMomentOfItsFirstSavesOfTheGameIsReadAsSaved)
{
    const Bytes slot = Out().I(77).I(1).I(0).I(6060).I(40).Zeros(6).I(1).I(-1).b;
    for (int writes = 0;; ++writes) {
        SCOPED_TRACE("ended after " + std::to_string(writes) + " writes");
        vek::platform::RemoveTree(Path("g"));
        ASSERT_TRUE(vektest::WriteFile(Path("g/player.dat"), PlayerDatOf(0.8f, "Old", 13)));
        ASSERT_TRUE(vektest::WriteFile(Path("g/save.dat"), SaveDatOf(0.8f)));
        ASSERT_TRUE(vektest::WriteFile(Path("g/level.dat"), "field"));
        ASSERT_TRUE(vektest::WriteFile(Path("g/1/save.dat"), slot));
        ASSERT_TRUE(vektest::WriteFile(Path("g/1/island.dat"), "isle"));
        int done = 0;
        vek::platform::SetReplaceHook([&](const std::string&) { return done++ < writes; });
        {
            cPlayer p("g");
            ASSERT_TRUE(p.LoadPlayer());
            ASSERT_TRUE(p.LoadGame(1));
            p.SaveGame(1);
            ASSERT_TRUE(p.LoadGame(-1));
            p.SaveGame(-1);
        }
        vek::platform::SetReplaceHook(nullptr);
        ExpectOlderProfileReadAsSaved("g");
        if (done <= writes) {
            EXPECT_TRUE(Exists("g/player.bak"));
            EXPECT_FALSE(Exists(std::string("g/") + save_set::kConversionJournal));
            break;
        }
        ASSERT_LT(writes, 20);
    }
}

TEST_F(ProfileTest, OlderSavesOfAProfileNotPlayedAreReadInTheirLayoutNextRun)
{
    // A 0.8 profile with a game in play and the save of level 1; the run
    // plays another profile and writes every "player.dat" at exit.
    ASSERT_TRUE(vektest::WriteFile(Path("o/player.dat"), PlayerDatOf(0.8f, "Old", 13)));
    ASSERT_TRUE(vektest::WriteFile(Path("o/save.dat"), SaveDatOf(0.8f)));
    const Bytes slot = Out().I(77).I(1).I(0).I(6060).I(40).Zeros(6).I(1).I(-1).b;
    ASSERT_TRUE(vektest::WriteFile(Path("o/1/save.dat"), slot));
    vek::platform::SetReplaceHook([](const std::string& temp) { return temp.find("/o/1/save.dat") == std::string::npos; });
    for (int run = 0; run < 3; ++run) {
        cPlayer p("o");
        ASSERT_TRUE(p.LoadPlayer());
        for (int which : {-1, 1}) {
            GetProfileHost().iRuleCounter = 0;
            ASSERT_TRUE(p.LoadGame(which));
            EXPECT_EQ(p.m_iMoney, 6060) << run << " " << which;
            EXPECT_EQ(p.m_iIslandMoney, 40) << run << " " << which;
            EXPECT_EQ(GetProfileHost().iRuleCounter, 1) << run << " " << which;
            if (which == -1) {
                ASSERT_EQ(p.m_Tasks.size(), 1u) << run;
                EXPECT_EQ(p.m_Tasks[0].iAmount, 3) << run;
            }
        }
        EXPECT_EQ(p.TakeLoadNotice(), cPlayer::e_noticeNone);
        ASSERT_TRUE(p.SavePlayer());
        // While the level's save cannot take its mark (a file that cannot
        // be replaced), "player.dat" keeps the layout that save is read in.
        EXPECT_EQ(Read("o/player.dat").substr(0, 4), Out().F(run < 2 ? 0.8f : 0.9f).b) << run;
        if (run == 1) vek::platform::SetReplaceHook(nullptr);
    }
}

// A save cut short leaves its parts as "<name>.next"; a folder with
// something in it there would make every later save fail. The next start
// moves each aside, and the game in play is saved again.
TEST_F(ProfileTest, ALeftoverFolderInPlaceOfAPartOfTheSaveIsMovedAside)
{
    cPlayer a("u");
    a.m_iMoney = 35;
    ASSERT_TRUE(a.SaveGame(-1));
    for (const char* name : {"player.dat.next", "level.dat.next", "island.dat.next"}) {
        ASSERT_EQ(mkdir(Path(std::string("u/") + name).c_str(), 0700), 0);
        ASSERT_TRUE(vektest::WriteFile(Path(std::string("u/") + name + "/kept"), "x"));
    }
    cPlayer p("u");
    ASSERT_TRUE(p.LoadPlayer());
    ASSERT_TRUE(p.Activate());
    EXPECT_EQ(p.m_iMoney, 35);
    p.m_iMoney = 50;
    ASSERT_TRUE(p.SaveGame(-1));
    for (const char* name : {"player.dat.next", "level.dat.next", "island.dat.next"}) {
        EXPECT_FALSE(Exists(std::string("u/") + name)) << name;
        EXPECT_TRUE(Exists(std::string("u/") + name + ".bad/kept")) << name;
    }
    EXPECT_EQ(p.TakeLoadNotice(), cPlayer::e_noticeNone);
    cPlayer q("u");
    ASSERT_TRUE(q.LoadPlayer());
    ASSERT_TRUE(q.Activate());
    EXPECT_EQ(q.m_iMoney, 50);
}

// A part left as "<name>.next" by a save cut short after its commit, but
// damaged since (its checksum, or its mark gone): never put in place, kept
// as ".next.bad" and logged, and the part in place stays as it is.
TEST_F(ProfileTest, ADamagedPartOfACommittedSaveIsKeptAndNotPutInPlace)
{
    cPlayer a("n");
    a.m_iMoney = 35;
    ASSERT_TRUE(a.SaveGame(-1));
    const Bytes player = Read("n/player.dat");
    Bytes flipped = player;
    flipped[8] = static_cast<char>(flipped[8] ^ 4);
    const Bytes unmarked = player.substr(0, player.size() - save_set::kMarkBytes);
    for (const Bytes& next : {flipped, unmarked}) {
        ASSERT_TRUE(vektest::WriteFile(Path("n/player.dat.next"), next));
        const int warned = Logged("player.dat.next is damaged");
        cPlayer p("n");
        ASSERT_TRUE(p.LoadPlayer());
        EXPECT_EQ(Logged("player.dat.next is damaged"), warned + 1);
        EXPECT_FALSE(Exists("n/player.dat.next"));
        EXPECT_TRUE(vektest::KeptAsBad(Path("n/player.dat.next"), next));
        EXPECT_EQ(Read("n/player.dat"), player);
        ASSERT_TRUE(p.Activate());
        EXPECT_EQ(p.m_iMoney, 35);
    }
}

// A game in play whose part was found damaged is not continued: a profile
// that stops being current (or the program's exit) saves it away from its
// level, and the set written then must not offer that level, part of it
// started afresh, to continue.
TEST_F(ProfileTest, AGameInPlayFoundDamagedIsNotOfferedAfterItIsSavedAway)
{
    {
        cPlayer a("d");
        a.m_iProgress = 1;
        a.m_iContinueLevel = 1;
        a.m_iMoney = 35;
        a.m_Tasks.push_back(MakeLevelTask("egg", 3, 0.0f));
        ASSERT_TRUE(a.SaveGame(-1));
    }
    cPlayer p("d");
    ASSERT_TRUE(p.LoadPlayer());
    ASSERT_TRUE(p.Activate());
    ASSERT_TRUE(p.HasGameToContinue());
    // What the level field tells of its damaged file as it is read.
    p.NoteSetPartDamaged(-1);
    EXPECT_FALSE(p.HasGameToContinue());
    ASSERT_TRUE(p.Deactivate());
    ASSERT_TRUE(p.SavePlayer());
    cPlayer q("d");
    ASSERT_TRUE(q.LoadPlayer());
    ASSERT_TRUE(q.Activate());
    EXPECT_FALSE(q.HasGameToContinue());
    EXPECT_EQ(q.m_iContinueLevel, -1);
    EXPECT_EQ(q.m_iProgress, 1);
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
