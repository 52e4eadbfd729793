#pragma once
// Files and folders on disk, in the native path form ("/").
//
// The engine was written for a file system that ignores case, and its paths
// are lower-cased; every lookup here therefore resolves each component of an
// existing path without regard to ASCII case when the exact name does not
// exist (ResolveCase). New components are created as given.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vek::platform {

enum eShare {
    e_shareAll,        // others may read and write
    e_shareDenyWrite,  // others may read; a second deny-write open fails (advisory)
};

// A file opened by mode like the C runtime's streams: first character r, w or
// a, then optional "+", "b" or "t". "t" is text mode: a CR directly before an
// LF is dropped on reading; writing stores LF unchanged.
class cNativeFile {
public:
    cNativeFile() = default;
    ~cNativeFile();
    cNativeFile(const cNativeFile&) = delete;
    cNativeFile& operator=(const cNativeFile&) = delete;

    // Why the last Open failed.
    enum eOpenError {
        e_openErrorNone = 0,
        e_openErrorMissing,     // nothing is at the path (or a folder on it is missing)
        e_openErrorNotRegular,  // a folder, a named pipe, a device or a socket is there
        e_openErrorDenied,      // something is there but cannot be opened (permissions, I/O)
        e_openErrorNameTooLong, // the path, or one of its names, is longer than the system allows
    };

    // False when the mode is not understood or the file cannot be opened (or,
    // with e_shareDenyWrite, another deny-write holder has it). Opening with
    // "w" and e_shareDenyWrite truncates only once the lock is held.
    // Only regular files open: a named pipe or a device is refused at once,
    // never waited on. A write ("w", "a") never goes through a symbolic
    // link: a link at the path is replaced by a new file ("w") or refused.
    bool Open(const std::string& nativePath, const char* mode, eShare share = e_shareAll);
    eOpenError GetOpenError() const { return m_eOpenError; }
    bool IsOpen() const { return m_pStream != nullptr; }
    // Whole elements read / written.
    size_t Read(void* buffer, size_t size, size_t count);
    size_t Write(const void* buffer, size_t size, size_t count);
    bool Seek(int64_t offset, int whence);
    int64_t Tell();
    // The length in bytes (seek to the end and back); -1 on failure.
    int64_t GetLength();
    bool Flush();
    // False when a buffered write could not be completed.
    bool Close();
    // A read or write failed (as opposed to reaching the end of the file).
    bool HasError() const;

private:
    std::FILE* m_pStream = nullptr;
    bool m_bText = false;
    eOpenError m_eOpenError = e_openErrorNone;
};

struct cDirEntry {
    std::string name;   // real name, as stored
    bool isFolder = false;   // a folder, or a link to one
    bool isSymlink = false;  // the entry itself is a symbolic link
};

// The entries of one folder, sorted by name (byte order), never "." or "..".
class cDirSearch {
public:
    bool First(const std::string& nativeFolder, cDirEntry& out);
    bool Next(cDirEntry& out);
    void Close();
    bool IsOpen() const { return m_bOpen; }

private:
    std::vector<cDirEntry> m_vecEntries;
    size_t m_uNext = 0;
    bool m_bOpen = false;
};

// The path with each existing component in its real case; components that do
// not exist (even ignoring case) are kept as given. Exact names win; among
// several case-insensitive matches the first in byte order is taken.
std::string ResolveCase(const std::string& nativePath);

// Something exists at the path. A path with "*" or "?" is matched as a
// pattern against the folder's entries.
bool PathExists(const std::string& nativePath);
// What identifies one version of a file: where it lives, its length and its
// modification time (links followed). All zero when nothing is there.
struct cFileStamp {
    bool bExists = false;
    bool bFolder = false;
    uint64_t uDevice = 0;
    uint64_t uInode = 0;
    int64_t iLength = 0;
    int64_t iModifiedSec = 0;
    int64_t iModifiedNsec = 0;

    bool operator==(const cFileStamp& o) const
    {
        return bExists == o.bExists && bFolder == o.bFolder && uDevice == o.uDevice &&
               uInode == o.uInode && iLength == o.iLength && iModifiedSec == o.iModifiedSec &&
               iModifiedNsec == o.iModifiedNsec;
    }
};
cFileStamp GetFileStamp(const std::string& nativePath);
// The path is a folder (or a link to one).
bool IsFolder(const std::string& nativePath);
// The path itself is a symbolic link, whatever it points to (a trailing
// "/" names the link, not its target).
bool IsSymlink(const std::string& nativePath);
// True only when this call created the folder (an existing one gives false).
bool MakeDir(const std::string& nativePath, unsigned mode = 0777);
// Removes an empty folder.
bool RemoveDir(const std::string& nativePath);
// Removes a file, or a symbolic link itself.
bool RemoveFile(const std::string& nativePath);
// Deletes a folder and everything below it in one pass: symbolic links are
// removed, never followed; an entry that cannot be removed is skipped. True
// when the folder is gone at the end. Refuses an empty path and the root.
bool RemoveTree(const std::string& nativeFolder);
// Stands for granting access to a created file or folder: it grants nothing
// (new entries follow the umask) and answers whether the entry exists and
// belongs to this user.
bool GrantUserAccess(const std::string& nativePath);

// Replaces the file's content with the bytes as one step: they are written
// to a new file in the same folder, synced, and renamed over the target. On
// any failure the temporary file is removed, the old file is left as it was
// and false is returned.
bool WriteFileReplacing(const std::string& nativePath, const void* data, size_t size);

// Removes, in the folder and in its sub-folders down to `depth` levels, the
// temporary files that WriteFileReplacing leaves when the program is killed
// between writing and renaming ("<name>.tmp<pid>.<n>"), unless the process
// that made them still runs, and the files named in `extraNames` (exact
// names, in every folder searched). Returns the native paths removed.
std::vector<std::string> RemoveStaleTemporaries(const std::string& nativeFolder, int depth,
                                                const std::vector<std::string>& extraNames = {});

// Test seam: called by WriteFileReplacing after the temporary file has been
// written and synced, just before the rename, with the temporary path. When
// it returns false the write is abandoned as if it had failed.
void SetReplaceHook(std::function<bool(const std::string& tempPath)> hook);

// Test seam: called by RemoveTree just before each removal it makes (an
// entry's name, or the folder's own path), so that a test can see the disk
// a program ended at that moment would leave.
void SetRemoveHook(std::function<void(const std::string& what)> hook);

}  // namespace vek::platform
