#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vek::platform {

namespace {

std::string HomeFromPasswordDatabase()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0) size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd pw{};
    passwd* result = nullptr;
    if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &result) != 0 || !result ||
        !result->pw_dir)
        return std::string();
    return result->pw_dir;
}

std::string StripTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string EnvValue(const char* name)
{
    const char* v = std::getenv(name);
    return (v && *v) ? std::string(v) : std::string();
}

bool MakeFolders(const std::string& path, unsigned mode, std::string* reason)
{
    auto fail = [reason](int error) {
        if (reason) *reason = std::strerror(error);
        return false;
    };
    if (path.empty()) return fail(ENOENT);
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = path.find('/', pos + 1);
        const std::string prefix = path.substr(0, pos);
        if (prefix.empty()) continue;
        if (mkdir(prefix.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST)
            return fail(errno);
    }
    struct stat st{};
    if (stat(path.c_str(), &st) != 0) return fail(errno);
    if (!S_ISDIR(st.st_mode)) return fail(ENOTDIR);
    return true;
}

bool MakeWritableFolder(const std::string& path, std::string* reason)
{
    if (!MakeFolders(path, 0700, reason)) return false;
    if (access(path.c_str(), W_OK | X_OK) != 0) {
        if (reason) *reason = std::strerror(errno);
        return false;
    }
    return true;
}

std::string GetUserProfileFolder()
{
    std::string home = EnvValue("HOME");
    if (home.empty()) home = HomeFromPasswordDatabase();
    return StripTrailingSlashes(home);
}

std::string FindCommonAppDataFolder()
{
    std::string folder = EnvValue("XDG_DATA_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (folder.empty() || folder[0] != '/') {
        const std::string home = GetUserProfileFolder();
        if (home.empty()) return std::string();
        folder = home + "/.local/share";
    }
    return StripTrailingSlashes(folder);
}

std::string GetCommonAppDataFolder()
{
    const std::string folder = FindCommonAppDataFolder();
    if (folder.empty() || !MakeFolders(folder, 0700)) return std::string();
    return folder;
}

std::string GetDesktopFolder()
{
    const std::string home = GetUserProfileFolder();
    std::string config = EnvValue("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') config = home.empty() ? std::string() : home + "/.config";
    if (!config.empty()) {
        std::ifstream in(config + "/user-dirs.dirs");
        std::string line;
        const std::string key = "XDG_DESKTOP_DIR=";
        while (std::getline(in, line)) {
            size_t start = line.find_first_not_of(" \t");
            if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
            std::string value = line.substr(start + key.size());
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
                value.pop_back();
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            if (value.compare(0, 5, "$HOME") == 0) {
                if (home.empty()) continue;
                value = home + value.substr(5);
            }
            if (!value.empty() && value[0] == '/') return StripTrailingSlashes(value);
        }
    }
    return home.empty() ? std::string() : home + "/Desktop";
}

std::string ToNativePath(const std::string& internalPath)
{
    std::string native(internalPath);
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

}  // namespace vek::platform
