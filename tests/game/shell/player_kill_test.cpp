// A profile killed in the middle of saving: every file left behind holds
// either the previous content or the new one, never a mix or a cut, and
// "player.dat" and "save.dat" hold the same one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

#include "engine/core/filename.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/ware.h"
#include "support/temp_dir.h"

namespace {

// Two distinct states of the same profile.
void Fill(cPlayer& p, int variant)
{
    p.m_iProgress = variant ? 30 : 3;
    p.m_Results.assign(variant ? 40 : 4, variant);
    p.m_Times.assign(variant ? 40 : 2, 1.5f);
    p.m_iMoney = variant ? 5000 : 50;
    p.m_CarLoad.assign(variant ? 6 : 1, 2);
}

TEST(ProfileKill, FilesSurviveAKillAtAnyMoment)
{
    const std::string dir = vektest::MakeTempDir("kill");
    ASSERT_FALSE(dir.empty());
    vek::SetPathMacro(vek::e_macroAppPath, dir);
    ASSERT_TRUE(CreateWareManager());
    CreateWares();

    // The two contents each file may hold.
    std::string player[2], save[2];
    for (int v = 0; v < 2; ++v) {
        cPlayer p(v ? "b" : "a");
        Fill(p, v);
        ASSERT_TRUE(p.SavePlayer());
        ASSERT_TRUE(p.SaveGame(-1));
        player[v] = vektest::ReadFile(dir + "/profile/" + (v ? "b" : "a") + "/player.dat");
        save[v] = vektest::ReadFile(dir + "/profile/" + (v ? "b" : "a") + "/save.dat");
        // Without the stamp and the checksum, which differ from save to save.
        player[v].resize(player[v].size() - 8);
        save[v].resize(save[v].size() - 8);
    }
    {
        cPlayer p("k");
        Fill(p, 0);
        ASSERT_TRUE(p.SavePlayer());
        ASSERT_TRUE(p.SaveGame(-1));
    }

    std::mt19937 random(12345);
    for (int round = 0; round < 100; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            cPlayer p("k");
            for (int v = 0;; v ^= 1) {
                Fill(p, v);
                p.SaveGame(-1);
            }
        }
        usleep(static_cast<useconds_t>(random() % 20000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        // Loading completes a save the kill interrupted after its commit.
        cPlayer check("k");
        EXPECT_TRUE(check.LoadPlayer());
        EXPECT_TRUE(check.Activate());
        EXPECT_FALSE(check.IsGameRefused(-1)) << "round " << round;
        // The stamp that ties a save's files together differs from save to
        // save; the two files then carry the same one.
        std::string gotPlayer = vektest::ReadFile(dir + "/profile/k/player.dat");
        std::string gotSave = vektest::ReadFile(dir + "/profile/k/save.dat");
        ASSERT_GE(gotPlayer.size(), 8u);
        ASSERT_GE(gotSave.size(), 8u);
        // The stamp stands before the checksum, the mark's last value.
        EXPECT_EQ(gotPlayer.substr(gotPlayer.size() - 8, 4), gotSave.substr(gotSave.size() - 8, 4)) << "round " << round;
        gotPlayer.resize(gotPlayer.size() - 8);
        gotSave.resize(gotSave.size() - 8);
        const int v = gotSave == save[1] ? 1 : 0;
        EXPECT_EQ(gotSave, save[v]) << "round " << round;
        EXPECT_EQ(gotPlayer, player[v]) << "round " << round;
    }
    DestroyWareManager();
}

} // namespace
