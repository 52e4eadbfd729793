#include "platform/process.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace {

using vek::platform::cInstanceLock;

TEST(InstanceLock, OneHolderAtATime)
{
    cInstanceLock first;
    ASSERT_TRUE(first.TryAcquire("GardenMutex"));
    EXPECT_TRUE(first.IsHeld());
    {
        cInstanceLock second;
        std::string reason;
        EXPECT_EQ(second.Acquire("GardenMutex", "", &reason), cInstanceLock::e_lockBusy);
        EXPECT_FALSE(second.TryAcquire("GardenMutex"));
        EXPECT_FALSE(second.IsHeld());
        cInstanceLock other;
        EXPECT_TRUE(other.TryAcquire("OtherMutex"));
    }
    first.Release();
    cInstanceLock third;
    EXPECT_TRUE(third.TryAcquire("GardenMutex"));

    struct stat st{};
    const std::string path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/GardenMutex.lock";
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(InstanceLock, DiesWithItsProcess)
{
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        cInstanceLock lock;
        const char ok = lock.TryAcquire("CrashMutex") ? 1 : 0;
        (void)!write(ready[1], &ok, 1);
        sleep(1);
        _exit(0);  // no Release: the lock must go with the process
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 1);
    cInstanceLock mine;
    EXPECT_FALSE(mine.TryAcquire("CrashMutex"));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(mine.TryAcquire("CrashMutex"));
    close(ready[0]);
    close(ready[1]);
}

TEST(InstanceLock, RefusesLinksAndBadNamesAndFallsBack)
{
    const std::string run = std::getenv("XDG_RUNTIME_DIR");
    const std::string outside = vektest::MakeTempDir("target");
    ASSERT_EQ(symlink((outside + "/victim").c_str(), (run + "/Planted.lock").c_str()), 0);
    cInstanceLock lock;
    // Failures are not "someone else has it", and they say where and why.
    std::string reason;
    EXPECT_EQ(lock.Acquire("Planted", "", &reason), cInstanceLock::e_lockFailed);
    EXPECT_NE(reason.find(run + "/Planted.lock: "), std::string::npos) << reason;
    struct stat st{};
    EXPECT_NE(stat((outside + "/victim").c_str(), &st), 0);
    EXPECT_EQ(lock.Acquire("", ""), cInstanceLock::e_lockFailed);
    EXPECT_EQ(lock.Acquire("../x", ""), cInstanceLock::e_lockFailed);

    // Without a runtime folder the lock goes into the fallback folder, made private.
    const std::string saved = run;
    unsetenv("XDG_RUNTIME_DIR");
    const std::string fallback = vektest::MakeTempDir("app") + "/quarne/Zembrolavine";
    cInstanceLock fallbackLock;
    EXPECT_TRUE(fallbackLock.TryAcquire("GardenMutex", fallback));
    EXPECT_EQ(stat((fallback + "/GardenMutex.lock").c_str(), &st), 0);
    ASSERT_EQ(stat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    cInstanceLock noFolder;
    EXPECT_EQ(noFolder.Acquire("GardenMutex"), cInstanceLock::e_lockFailed);
    ASSERT_TRUE(vektest::WriteFile(fallback + "/in-the-way", "x"));
    EXPECT_EQ(noFolder.Acquire("GardenMutex", fallback + "/in-the-way/sub", &reason),
              cInstanceLock::e_lockFailed);
    EXPECT_EQ(reason, fallback + "/in-the-way/sub: Not a directory");
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}

TEST(ProcessInfo, ExecutableFolderAndLoginName)
{
    const std::string folder = vek::platform::GetExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder[0], '/');
    EXPECT_NE(folder.back(), '/');
    struct stat st{};
    EXPECT_EQ(stat((folder + "/platform_process_test").c_str(), &st), 0);

    EXPECT_FALSE(vek::platform::GetLoginNameUtf8().empty());
    // ASCII names are the same in both forms.
    const std::string name = vek::platform::GetLoginNameUtf8();
    bool ascii = true;
    for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        EXPECT_EQ(vek::platform::GetLoginName(), name);
    }
}

}  // namespace
