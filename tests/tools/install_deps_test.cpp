// tools/install-deps.sh in a sandbox: a copy of the script with its own
// package list, run with a PATH that holds only the few real tools it needs
// and stand-ins for id, dpkg-query, apt-get, apt-cache and (when wanted)
// sudo, which record how they were called. Nothing is installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace {

// The first of the usual places that holds the program; empty when none.
std::string FindProgram(const std::string& name)
{
    for (const char* dir : {"/usr/bin/", "/bin/", "/usr/local/bin/"}) {
        const std::string path = dir + name;
        if (access(path.c_str(), X_OK) == 0)
            return path;
    }
    return std::string();
}

class InstallDeps : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* repo = std::getenv("VEK_REPO_DIR");
        m_strRoot = vektest::MakeTempDir("InstallDeps");
        m_strBash = FindProgram("bash");
        ASSERT_FALSE(m_strBash.empty());
        const std::string script =
            vektest::ReadFile(std::string(repo ? repo : ".") + "/tools/install-deps.sh");
        ASSERT_FALSE(script.empty()) << "VEK_REPO_DIR must name the repository";
        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/tools/install-deps.sh", script));

        ASSERT_TRUE(vektest::WriteFile(m_strRoot + "/bin/.keep", ""));
        for (const char* tool : {"dirname", "tr", "grep", "bash"}) {
            const std::string real = FindProgram(tool);
            ASSERT_FALSE(real.empty()) << tool;
            ASSERT_EQ(symlink(real.c_str(), (m_strRoot + "/bin/" + tool).c_str()), 0) << tool;
        }
        const std::string calls = m_strRoot + "/calls";
        // "inst" is installed; of the rest only "alt-b" is known to apt.
        Fake("dpkg-query", "case \"$3\" in inst) echo 'install ok installed';; *) exit 1;; esac");
        Fake("apt-cache", "[ \"$2\" = alt-b ]");
        Fake("apt-get", "echo \"apt-get $*\" >> '" + calls + "'");
        SetUser(1000);
    }

    void Fake(const std::string& name, const std::string& body)
    {
        const std::string path = m_strRoot + "/bin/" + name;
        ASSERT_TRUE(vektest::WriteFile(path, "#!" + m_strBash + "\n" + body + "\n"));
        ASSERT_EQ(chmod(path.c_str(), 0755), 0);
    }
    void SetUser(int uid) { Fake("id", "echo " + std::to_string(uid)); }
    void WithSudo() { Fake("sudo", "echo -n 'sudo ' >> '" + m_strRoot + "/calls'; exec \"$@\""); }

    // Runs the script over the list; its exit code.
    int Run(const std::string& packages)
    {
        EXPECT_TRUE(vektest::WriteFile(m_strRoot + "/tools/debian-packages.txt", packages));
        const std::string command = "cd '" + m_strRoot + "' && PATH='" + m_strRoot + "/bin' '"
                                    + m_strBash + "' tools/install-deps.sh >out 2>err";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Calls() const { return vektest::ReadFile(m_strRoot + "/calls"); }
    std::string Out() const { return vektest::ReadFile(m_strRoot + "/out"); }
    std::string Err() const { return vektest::ReadFile(m_strRoot + "/err"); }

    std::string m_strRoot;
    std::string m_strBash;
};

const char kList[] = "# packages\ninst\nmiss-a   # comment\n\nalt-a|alt-b\n";

TEST_F(InstallDeps, WithoutRootAndSudoListsWhatIsMissingAndFails)
{
    EXPECT_EQ(Run(kList), 1);
    EXPECT_EQ(Err(),
              "install-deps.sh: these packages are missing:\n"
              "  miss-a\n"
              "  alt-a or alt-b\n"
              "Installing them needs root, and sudo is not installed: run tools/install-deps.sh\n"
              "as root, or install sudo (as root: apt-get install sudo) and run it again.\n");
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Calls(), "") << "nothing may be tried";
}

TEST_F(InstallDeps, InstallsThroughSudoOrAsRoot)
{
    WithSudo();
    EXPECT_EQ(Run(kList), 0) << Err();
    EXPECT_EQ(Calls(), "sudo apt-get update\n"
                       "sudo apt-get install -y --no-install-recommends miss-a alt-b\n");

    ASSERT_EQ(unlink((m_strRoot + "/calls").c_str()), 0);
    ASSERT_EQ(unlink((m_strRoot + "/bin/sudo").c_str()), 0);
    SetUser(0);
    EXPECT_EQ(Run(kList), 0) << Err();
    EXPECT_EQ(Calls(), "apt-get update\n"
                       "apt-get install -y --no-install-recommends miss-a alt-b\n");
}

TEST_F(InstallDeps, NothingMissingNeedsNeitherRootNorSudo)
{
    EXPECT_EQ(Run("inst\ninst|alt-a\n"), 0);
    EXPECT_EQ(Out(), "");
    EXPECT_EQ(Err(), "");
    EXPECT_EQ(Calls(), "");
}

} // namespace
