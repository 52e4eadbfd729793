#include "platform/fs.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/text.h"

namespace vek::platform {

namespace {

bool EqualNoCase(const std::string& a, const char* b)
{
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == '\0' || LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return b[i] == '\0';
}

bool Exists(const std::string& path)
{
    struct stat st{};
    return lstat(path.c_str(), &st) == 0;
}

// The entries of an open folder, without "." and "..".
std::vector<std::string> ReadNames(DIR* dir)
{
    std::vector<std::string> names;
    while (dirent* e = readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.emplace_back(e->d_name);
    }
    return names;
}

// The name in `folder` that equals `component` ignoring ASCII case; the
// first in byte order when there are several; empty when there is none.
std::string FindNoCase(const std::string& folder, const std::string& component)
{
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return std::string();
    std::string best;
    bool found = false;
    while (dirent* e = readdir(dir)) {
        if (!EqualNoCase(component, e->d_name)) continue;
        if (!found || best.compare(e->d_name) > 0) {
            best = e->d_name;
            found = true;
        }
    }
    closedir(dir);
    return best;
}

std::atomic<unsigned> g_uTempCounter{0};
std::function<bool(const std::string&)> g_ReplaceHook;
std::function<void(const std::string&)> g_RemoveHook;

void BeforeRemoval(const std::string& what)
{
    if (g_RemoveHook) g_RemoveHook(what);
}

bool HasWildcard(const std::string& path)
{
    return path.find_first_of("*?") != std::string::npos;
}

size_t ReadText(std::FILE* f, char* out, size_t bytes)
{
    size_t n = 0;
    while (n < bytes) {
        int c = getc_unlocked(f);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = getc_unlocked(f);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, f);
            }
        }
        out[n++] = static_cast<char>(c);
    }
    return n;
}

constexpr int g_iMaxTreeDepth = 256;

// Empties the folder open as `fd` (which this call closes); true when every
// entry was removed.
bool EmptyFolderAt(int fd, int depth)
{
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return false;
    }
    // A snapshot first: removing entries while reading the folder could make
    // readdir skip or repeat entries.
    const std::vector<std::string> names = ReadNames(dir);
    bool all = true;
    for (const std::string& name : names) {
        struct stat st{};
        if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            all = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            // O_NOFOLLOW: if the entry was swapped for a link meanwhile, the
            // open fails instead of descending into the link's target.
            const int sub = depth < g_iMaxTreeDepth
                                ? openat(dirfd(dir), name.c_str(),
                                         O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
                                : -1;
            if (sub < 0 || !EmptyFolderAt(sub, depth + 1)) all = false;
            BeforeRemoval(name);
            if (unlinkat(dirfd(dir), name.c_str(), AT_REMOVEDIR) != 0) all = false;
        } else {
            BeforeRemoval(name);
            if (unlinkat(dirfd(dir), name.c_str(), 0) != 0) all = false;
        }
    }
    closedir(dir);
    return all;
}

}  // namespace

// ---- cNativeFile ----

cNativeFile::~cNativeFile() { Close(); }

bool cNativeFile::Open(const std::string& nativePath, const char* mode, eShare share)
{
    if (m_pStream || !mode || nativePath.empty()) return false;
    const char kind = mode[0];
    if (kind != 'r' && kind != 'w' && kind != 'a') return false;
    bool plus = false;
    bool text = false;
    for (const char* p = mode + 1; *p; ++p) {
        if (*p == '+') plus = true;
        else if (*p == 't') text = true;
    }

    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer
    // (or reader) for ever; it is refused below anyway.
    int flags = O_CLOEXEC | O_NONBLOCK;
    if (kind == 'r') flags |= plus ? O_RDWR : O_RDONLY;
    else if (kind == 'w') flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT;
    else flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    // A deny-write open truncates only once it holds the lock, so it never
    // empties a file another holder is writing.
    if (kind == 'w' && share != e_shareDenyWrite) flags |= O_TRUNC;

    m_eOpenError = e_openErrorNone;
    const std::string path = ResolveCase(nativePath);
    if (kind != 'r') {
        // What is written replaces a link rather than going through it to
        // whatever it points at (another file of the player, perhaps).
        struct stat link{};
        if (kind == 'w' && lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) unlink(path.c_str());
        flags |= O_NOFOLLOW;
    }
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) {
        m_eOpenError = errno == ENOENT || errno == ENOTDIR ? e_openErrorMissing
                       : errno == EISDIR || errno == ENXIO ? e_openErrorNotRegular
                       : errno == ENAMETOOLONG             ? e_openErrorNameTooLong
                                                           : e_openErrorDenied;
        return false;
    }
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_eOpenError = e_openErrorNotRegular;
        close(fd);
        return false;
    }
    // Regular files never block; reads and writes behave as usual.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (share == e_shareDenyWrite) {
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || (kind == 'w' && ftruncate(fd, 0) != 0)) {
            m_eOpenError = e_openErrorDenied;
            close(fd);
            return false;
        }
    }
    char fdMode[4] = {kind, 0, 0, 0};
    size_t m = 1;
    if (plus) fdMode[m++] = '+';
    fdMode[m] = 'b';
    m_pStream = fdopen(fd, fdMode);
    if (!m_pStream) {
        m_eOpenError = e_openErrorDenied;
        close(fd);
        return false;
    }
    m_bText = text;
    return true;
}

size_t cNativeFile::Read(void* buffer, size_t size, size_t count)
{
    if (!m_pStream || !buffer || size == 0 || count == 0) return 0;
    if (!m_bText) return std::fread(buffer, size, count, m_pStream);
    if (count > SIZE_MAX / size) count = SIZE_MAX / size;
    const size_t bytes = ReadText(m_pStream, static_cast<char*>(buffer), size * count);
    return bytes / size;
}

size_t cNativeFile::Write(const void* buffer, size_t size, size_t count)
{
    if (!m_pStream || !buffer || size == 0 || count == 0) return 0;
    return std::fwrite(buffer, size, count, m_pStream);
}

bool cNativeFile::Seek(int64_t offset, int whence)
{
    return m_pStream && fseeko(m_pStream, static_cast<off_t>(offset), whence) == 0;
}

int64_t cNativeFile::Tell() { return m_pStream ? static_cast<int64_t>(ftello(m_pStream)) : -1; }

int64_t cNativeFile::GetLength()
{
    if (!m_pStream) return -1;
    const int64_t here = Tell();
    if (here < 0 || !Seek(0, SEEK_END)) return -1;
    const int64_t end = Tell();
    Seek(here, SEEK_SET);
    return end;
}

bool cNativeFile::Flush() { return m_pStream && std::fflush(m_pStream) == 0; }

bool cNativeFile::HasError() const { return m_pStream && std::ferror(m_pStream) != 0; }

bool cNativeFile::Close()
{
    if (!m_pStream) return true;
    const bool ok = std::fclose(m_pStream) == 0;  // also drops the lock
    m_pStream = nullptr;
    m_bText = false;
    return ok;
}

// ---- cDirSearch ----

bool cDirSearch::First(const std::string& nativeFolder, cDirEntry& out)
{
    Close();
    const std::string folder = ResolveCase(nativeFolder.empty() ? std::string(".") : nativeFolder);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    std::vector<std::string> names = ReadNames(dir);
    std::sort(names.begin(), names.end());
    m_vecEntries.reserve(names.size());
    for (std::string& name : names) {
        cDirEntry entry;
        struct stat st{};
        if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.isSymlink = S_ISLNK(st.st_mode);
            if (entry.isSymlink) {
                struct stat target{};
                entry.isFolder =
                    fstatat(dirfd(dir), name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode);
            } else {
                entry.isFolder = S_ISDIR(st.st_mode);
            }
        }
        entry.name = std::move(name);
        m_vecEntries.push_back(std::move(entry));
    }
    closedir(dir);
    m_bOpen = true;
    m_uNext = 0;
    return Next(out);
}

bool cDirSearch::Next(cDirEntry& out)
{
    if (!m_bOpen || m_uNext >= m_vecEntries.size()) return false;
    out = m_vecEntries[m_uNext++];
    return true;
}

void cDirSearch::Close()
{
    m_vecEntries.clear();
    m_uNext = 0;
    m_bOpen = false;
}

// ---- single calls ----

std::string ResolveCase(const std::string& nativePath)
{
    if (nativePath.empty() || Exists(nativePath)) return nativePath;

    std::string result;
    size_t pos = 0;
    if (nativePath[0] == '/') {
        result = "/";
        pos = 1;
    }
    bool resolving = true;
    while (pos <= nativePath.size()) {
        size_t end = nativePath.find('/', pos);
        if (end == std::string::npos) end = nativePath.size();
        const std::string component = nativePath.substr(pos, end - pos);
        const bool last = end >= nativePath.size();

        std::string chosen = component;
        if (resolving && !component.empty() && component != "." && component != "..") {
            const std::string candidate =
                result + component;
            if (!Exists(candidate)) {
                const std::string real = FindNoCase(result.empty() ? "." : result, component);
                if (real.empty())
                    resolving = false;  // nothing below a missing component exists
                else
                    chosen = real;
            }
        }
        result += chosen;
        if (!last) result += '/';
        pos = end + 1;
    }
    return result;
}

bool PathExists(const std::string& nativePath)
{
    if (nativePath.empty()) return false;
    if (!HasWildcard(nativePath)) {
        struct stat st{};
        return stat(ResolveCase(nativePath).c_str(), &st) == 0;
    }
    // A pattern is matched in its folder only; the folder part is taken as is.
    const size_t slash = nativePath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0              ? std::string("/")
                                                         : nativePath.substr(0, slash);
    const std::string pattern = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
    if (HasWildcard(folder)) return false;
    DIR* dir = opendir(ResolveCase(folder).c_str());
    if (!dir) return false;
    bool found = false;
    for (const std::string& name : ReadNames(dir)) {
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

bool IsFolder(const std::string& nativePath)
{
    if (nativePath.empty() || HasWildcard(nativePath)) return false;
    struct stat st{};
    return stat(ResolveCase(nativePath).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsSymlink(const std::string& nativePath)
{
    if (nativePath.empty() || HasWildcard(nativePath)) return false;
    std::string path = ResolveCase(nativePath);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    struct stat st{};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool MakeDir(const std::string& nativePath, unsigned mode)
{
    if (nativePath.empty()) return false;
    return mkdir(ResolveCase(nativePath).c_str(), static_cast<mode_t>(mode)) == 0;
}

bool RemoveDir(const std::string& nativePath)
{
    return !nativePath.empty() && rmdir(ResolveCase(nativePath).c_str()) == 0;
}

bool RemoveFile(const std::string& nativePath)
{
    return !nativePath.empty() && unlink(ResolveCase(nativePath).c_str()) == 0;
}

cFileStamp GetFileStamp(const std::string& nativePath)
{
    cFileStamp stamp;
    struct stat st{};
    if (stat(nativePath.c_str(), &st) != 0) return stamp;
    stamp.bExists = true;
    stamp.bFolder = S_ISDIR(st.st_mode);
    stamp.uDevice = static_cast<uint64_t>(st.st_dev);
    stamp.uInode = static_cast<uint64_t>(st.st_ino);
    stamp.iLength = static_cast<int64_t>(st.st_size);
    stamp.iModifiedSec = static_cast<int64_t>(st.st_mtim.tv_sec);
    stamp.iModifiedNsec = static_cast<int64_t>(st.st_mtim.tv_nsec);
    return stamp;
}

bool RemoveTree(const std::string& nativeFolder)
{
    std::string path = ResolveCase(nativeFolder);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty() || path == "/") return false;
    // "." and ".." as the last component would name a folder above or the
    // working folder itself.
    const size_t slash = path.rfind('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last == "." || last == "..") return false;

    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) return false;  // nothing was there to delete
    if (!S_ISDIR(st.st_mode)) {
        // A link to a folder goes as a link; a plain file is not a folder.
        if (!S_ISLNK(st.st_mode)) return false;
        BeforeRemoval(path);
        return unlink(path.c_str()) == 0;
    }
    BeforeRemoval(path);
    if (rmdir(path.c_str()) == 0) return true;
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) EmptyFolderAt(fd, 0);
    BeforeRemoval(path);
    rmdir(path.c_str());
    return lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool GrantUserAccess(const std::string& nativePath)
{
    if (nativePath.empty()) return false;
    const std::string path = ResolveCase(nativePath);
    struct stat st{};
    if (lstat(path.c_str(), &st) != 0) return false;
    return st.st_uid == geteuid() || access(path.c_str(), W_OK) == 0;
}

namespace {

// "<name>.tmp<pid>.<n>": the pid, or 0 when the name is not of that form.
long TemporaryOwner(const std::string& name)
{
    const size_t at = name.rfind(".tmp");
    if (at == std::string::npos || at == 0) return 0;
    const size_t dot = name.find('.', at + 4);
    if (dot == std::string::npos || dot == at + 4 || dot + 1 >= name.size()) return 0;
    long pid = 0;
    for (size_t i = at + 4; i < dot; ++i) {
        if (name[i] < '0' || name[i] > '9' || pid > 100000000) return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    for (size_t i = dot + 1; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return 0;
    return pid;
}

void RemoveStaleIn(const std::string& folder, int depth, const std::vector<std::string>& extraNames,
                   std::vector<std::string>& removed)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const std::vector<std::string> names = ReadNames(dir);
    for (const std::string& name : names) {
        struct stat st{};
        if (fstatat(dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        const std::string path = folder + "/" + name;
        if (S_ISDIR(st.st_mode)) {
            if (depth > 0) RemoveStaleIn(path, depth - 1, extraNames, removed);
            continue;
        }
        bool stale = std::find(extraNames.begin(), extraNames.end(), name) != extraNames.end();
        if (!stale) {
            const long pid = TemporaryOwner(name);
            // A process that still runs may be about to rename its file.
            stale = pid > 0 && (pid == static_cast<long>(getpid()) ? false
                                                                   : kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
        }
        if (stale && unlinkat(dirfd(dir), name.c_str(), 0) == 0) removed.push_back(path);
    }
    closedir(dir);
}

}  // namespace

std::vector<std::string> RemoveStaleTemporaries(const std::string& nativeFolder, int depth,
                                                const std::vector<std::string>& extraNames)
{
    std::vector<std::string> removed;
    if (nativeFolder.empty()) return removed;
    RemoveStaleIn(ResolveCase(nativeFolder), depth, extraNames, removed);
    return removed;
}

void SetReplaceHook(std::function<bool(const std::string& tempPath)> hook)
{
    g_ReplaceHook = std::move(hook);
}

void SetRemoveHook(std::function<void(const std::string& what)> hook) { g_RemoveHook = std::move(hook); }

bool WriteFileReplacing(const std::string& nativePath, const void* data, size_t size)
{
    if (nativePath.empty() || (size > 0 && !data)) return false;
    const std::string target = ResolveCase(nativePath);
    if (target.back() == '/') return false;

    // A fresh name in the same folder, so that the rename stays on one file
    // system. O_EXCL never reuses an existing file; mode 0666 lets the umask
    // decide, like any other written file.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(getpid()) + "." +
               std::to_string(g_uTempCounter.fetch_add(1));
        fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = true;
    const char* bytes = static_cast<const char*>(data);
    size_t done = 0;
    while (ok && done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && g_ReplaceHook && !g_ReplaceHook(temp)) ok = false;
    if (ok && rename(temp.c_str(), target.c_str()) != 0) ok = false;
    if (!ok) {
        // The caller reports why (a full disk, a folder it cannot write).
        const int error = errno;
        unlink(temp.c_str());
        errno = error;
        return false;
    }
    // Make the rename itself durable.
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0              ? std::string("/")
                                                         : target.substr(0, slash);
    const int dfd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
    return true;
}

}  // namespace vek::platform
