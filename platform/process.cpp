#include "platform/process.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

#include "platform/paths.h"
#include "platform/text.h"

namespace vek::platform {

cInstanceLock::~cInstanceLock() { Release(); }

cInstanceLock::eResult cInstanceLock::Acquire(const std::string& name,
                                              const std::string& fallbackFolder,
                                              std::string* reason)
{
    auto fail = [reason](const std::string& what, const std::string& why) {
        if (reason) *reason = what + ": " + why;
        return e_lockFailed;
    };
    if (m_iFd >= 0) return e_lockTaken;
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
        return fail(name, "not a plain file name");

    std::string folder = EnvValue("XDG_RUNTIME_DIR");
    if (folder.empty() || folder[0] != '/') {
        folder = fallbackFolder;
        if (folder.empty()) return fail(name, "no folder for the lock file");
        std::string why;
        if (!MakeFolders(folder, 0700, &why)) return fail(folder, why);
    }
    const std::string path = folder + "/" + name + ".lock";

    // O_NOFOLLOW: a planted link must not make us create or lock another file.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return fail(path, std::strerror(errno));
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        if (error == EWOULDBLOCK) return e_lockBusy;
        return fail(path, std::strerror(error));
    }
    m_iFd = fd;
    return e_lockTaken;
}

bool cInstanceLock::TryAcquire(const std::string& name, const std::string& fallbackFolder)
{
    return Acquire(name, fallbackFolder) == e_lockTaken;
}

void cInstanceLock::Release()
{
    if (m_iFd < 0) return;
    // The lock file stays: removing it would race with a starting instance
    // that already opened it.
    flock(m_iFd, LOCK_UN);
    close(m_iFd);
    m_iFd = -1;
}

std::string GetExecutableFolder()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) return std::string();
        if (static_cast<size_t>(n) < buffer.size()) {
            std::string path(buffer.data(), static_cast<size_t>(n));
            const size_t slash = path.rfind('/');
            if (slash == std::string::npos) return std::string();
            return slash == 0 ? std::string("/") : path.substr(0, slash);
        }
        if (buffer.size() >= (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string GetLoginNameUtf8()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0) size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &result) == 0 && result &&
        result->pw_name && *result->pw_name)
        return result->pw_name;
    std::string name = EnvValue("USER");
    if (name.empty()) name = EnvValue("LOGNAME");
    return name;
}

std::string GetLoginName() { return Utf8ToCp1251(GetLoginNameUtf8()); }

}  // namespace vek::platform
