#pragma once
// Files on disk and entries of ZIP archives, and questions about folders.
//
// A vek::filename whose split found an archive part ("data\music.zip\a.ogg")
// is only ever looked up inside that archive, never on disk; archives are
// read-only. Entry names match without regard to ASCII case, with "\" and
// "/" taken as the same separator.
//
// The directory of an archive is read once, the first time an entry of it is
// opened, and kept while the file on disk stays the same (device, inode,
// size, modification time); opening an entry then costs the same in an
// archive of ten entries or of ten thousand. A valid archive without entries
// simply holds no names.
#include <cstddef>
#include <cstdint>

#include "engine/core/filename.h"

namespace vek {

// Thrown and caught inside cFile::Open for archive failures; never leaves it.
class cZipCatch {
public:
    cZipCatch(const char* format, int32_t code) : szFormat(format), iCode(code) {}
    const char* szFormat;  // the warning's format
    int32_t iCode;         // 1 entry not found, 2 archive not found, 4 internal archive error
};

class cFile {
public:
    // Results of Open.
    enum eOpenResult {
        e_openOk = 0,
        e_openNotFound = 1,       // empty name, disk file or archive entry not found
        e_openZipNotFound = 2,    // the archive does not exist
        e_openBadMode = 3,        // mode not allowed (archives are read-only)
        e_openZipError = 4,       // damaged archive or entry
        e_openAlreadyOpen = 5,
        e_openUnreadable = 6,     // a disk path holds something that cannot be read as a
                                  // file: no permission, a folder, a named pipe, a device
    };

    cFile() = default;
    // Closes an open file.
    ~cFile();
    cFile(const cFile&) = delete;
    cFile& operator=(const cFile&) = delete;

    // Opens a disk file or an archive entry; mode as for fopen ("rb", "rt",
    // "wb", "a", ...). Returns one of eOpenResult; every failure leaves the
    // object closed.
    int Open(const filename& file, const char* mode);
    // Always 0; closing a closed file does nothing.
    int Close();
    bool IsOpen() const { return m_pRecord != nullptr; }

    // Whole elements read; 0 when closed.
    size_t Read(void* buffer, size_t size, size_t count);
    // A read failed rather than reaching the end: the disk reported an error,
    // or an archive entry's data is damaged or does not match its checksum
    // (known once a read has reached the entry's end). What was read before
    // is then not the file's content.
    bool HasReadError() const;
    // Elements written; disk files only, 0 otherwise.
    size_t Write(const void* buffer, size_t size, size_t count);
    // Size in bytes: the entry's uncompressed size or the disk file's length;
    // 0 when closed.
    size_t GetSize();

private:
    struct cRecord;
    cRecord* m_pRecord = nullptr;
};

class cFileSystem {
public:
    cFileSystem();
    // Ends an open search.
    ~cFileSystem();
    cFileSystem(const cFileSystem&) = delete;
    cFileSystem& operator=(const cFileSystem&) = delete;

    // The first entry of the folder (entries come sorted by name, never "."
    // or ".."), as the folder joined with the entry's name in its real case;
    // an empty filename when there is none.
    filename GetFirst(const filename& folder);
    // The next entry of the search; an empty filename at the end or when no
    // search is open.
    filename GetNext();
    // Something exists at the path (wildcards match). False for any path
    // inside an archive.
    bool Exist(const filename& file);
    // The path exists and is a folder. False inside archives.
    bool IsFolder(const filename& file);
    // True when the path exists and belongs to this user. Grants nothing:
    // created folders and written files keep the permissions of the umask.
    bool FullAccess(const filename& file);
    // Creates every missing folder of the path; true only when the last one
    // was created by this call (an existing folder gives false, which callers
    // treat as normal). Folders of "{AppPath}" and above are created 0700.
    bool CreateFolder(const filename& folder);
    // Deletes the folder and everything below it; symbolic links are removed,
    // never followed. True when the folder is gone at the end.
    bool DeleteFolder(const filename& folder);

private:
    struct cSearchState;
    cSearchState* m_pSearch = nullptr;
};

}  // namespace vek
