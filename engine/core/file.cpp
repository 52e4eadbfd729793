#include "engine/core/file.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <minizip/unzip.h>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace vek {

namespace {

const char* const g_szSender = "File";

enum eKind { e_kindNone = 0, e_kindDisk = 1, e_kindArchive = 2 };

// Deflate cannot expand data by more than about 1032 : 1; an entry that
// claims more is lying about its size.
constexpr uint64_t g_uMaxDeflateRatio = 1032;

// How many archives keep their index, and how many spare open handles each
// archive keeps for the next entry opened in it.
constexpr size_t g_uMaxArchives = 16;
constexpr size_t g_uMaxIdleHandles = 4;

char FoldEntryChar(char c) { return c == '/' ? '\\' : platform::LowerAscii(c); }

// Entry names: ASCII letters without regard to case, "\" and "/" the same.
void FoldEntryName(const char* name, size_t length, std::string& out)
{
    out.resize(length);
    for (size_t i = 0; i < length; ++i) out[i] = FoldEntryChar(name[i]);
}

using platform::cFileStamp;

// A different stamp means the file was replaced or rewritten since it was
// last looked at.
cFileStamp StampOf(const std::string& nativePath) { return platform::GetFileStamp(nativePath); }

// minizip never finds an end-of-directory record at the very start of a
// file, so it cannot open an archive that holds nothing else: the valid
// archive without entries.
bool IsBareEndRecord(const std::string& nativePath, int64_t length)
{
    constexpr int64_t recordSize = 22;
    if (length < recordSize || length > recordSize + 0xFFFF) return false;
    unsigned char r[recordSize];
    platform::cNativeFile file;
    if (!file.Open(nativePath, "rb") || file.Read(r, 1, sizeof r) != sizeof r) return false;
    const bool signature = r[0] == 'P' && r[1] == 'K' && r[2] == 5 && r[3] == 6;
    // Disk numbers, entry counts, directory size and offset all zero.
    bool zeros = true;
    for (int i = 4; i < 20; ++i) zeros = zeros && r[i] == 0;
    const int64_t comment = r[20] | (r[21] << 8);
    return signature && zeros && recordSize + comment == length;
}

// How minizip reads an archive. Opening an entry reads its directory
// record, then its local header and data elsewhere in the file; through a
// plain stream each of these jumps costs a seek and several reads. Here the
// two places each keep a block of the file, read whole at a block boundary,
// so that a directory record, a local header or a small entry costs one
// read of the file, and a large entry one read per block.
class cArchiveStream {
public:
    static constexpr size_t kBlockSize = 16 * 1024;

    bool Open(const std::string& nativePath) { return m_File.Open(nativePath, "rb"); }
    void Close() { m_File.Close(); }
    bool HasError() const { return m_bError; }
    uint64_t Tell() const { return m_uPos; }

    // Buffered bytes are dropped when a handle is used again: the file may
    // have been rewritten in place meanwhile.
    void Forget()
    {
        for (cBlock& b : m_Blocks) b.uSize = 0;
    }

    bool Seek(uint64_t offset, int origin)
    {
        if (origin == ZLIB_FILEFUNC_SEEK_SET) {
            m_uPos = offset;
        } else if (origin == ZLIB_FILEFUNC_SEEK_CUR) {
            m_uPos += offset;
        } else if (origin == ZLIB_FILEFUNC_SEEK_END) {
            const int64_t length = m_File.GetLength();
            if (length < 0) return false;
            m_uPos = static_cast<uint64_t>(length) + offset;
        } else {
            return false;
        }
        return true;
    }

    size_t Read(void* buffer, size_t size)
    {
        char* out = static_cast<char*>(buffer);
        size_t done = 0;
        while (done < size) {
            cBlock* hit = nullptr;
            for (cBlock& b : m_Blocks)
                if (b.uSize != 0 && m_uPos >= b.uStart && m_uPos - b.uStart < b.uSize) hit = &b;
            if (hit) {
                const size_t offset = static_cast<size_t>(m_uPos - hit->uStart);
                const size_t n = std::min(size - done, hit->uSize - offset);
                std::memcpy(out + done, hit->pData.get() + offset, n);
                hit->uLastUse = ++m_uClock;
                done += n;
                m_uPos += n;
                continue;
            }
            cBlock& victim =
                m_Blocks[0].uLastUse <= m_Blocks[1].uLastUse ? m_Blocks[0] : m_Blocks[1];
            if (!victim.pData) victim.pData.reset(new char[kBlockSize]);
            victim.uStart = m_uPos - m_uPos % kBlockSize;
            victim.uSize = ReadAt(victim.uStart, victim.pData.get(), kBlockSize);
            victim.uLastUse = ++m_uClock;
            // The end of the file, or an error.
            if (victim.uSize <= m_uPos - victim.uStart) break;
        }
        return done;
    }

private:
    struct cBlock {
        uint64_t uStart = 0;
        size_t uSize = 0;  // 0: empty
        uint64_t uLastUse = 0;
        std::unique_ptr<char[]> pData;
    };

    size_t ReadAt(uint64_t at, char* out, size_t size)
    {
        if (at > static_cast<uint64_t>(INT64_MAX)) return 0;
        if (m_iFilePos != static_cast<int64_t>(at) && !m_File.Seek(static_cast<int64_t>(at), SEEK_SET)) {
            m_iFilePos = -1;
            m_bError = true;
            return 0;
        }
        const size_t n = m_File.Read(out, 1, size);
        m_iFilePos = static_cast<int64_t>(at + n);
        if (n < size && m_File.HasError()) m_bError = true;
        return n;
    }

    platform::cNativeFile m_File;
    int64_t m_iFilePos = 0;  // where m_File stands; -1 unknown
    uint64_t m_uPos = 0;     // where minizip reads next
    cBlock m_Blocks[2];
    uint64_t m_uClock = 0;
    bool m_bError = false;
};

// minizip's file functions over cArchiveStream. The stream is made before
// the archive is opened and passed as the opaque pointer; closing only
// closes its file, the owner frees it.
voidpf ZCALLBACK StreamOpen(voidpf opaque, const void* path, int mode)
{
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    auto* stream = static_cast<cArchiveStream*>(opaque);
    return stream->Open(static_cast<const char*>(path)) ? stream : nullptr;
}
uLong ZCALLBACK StreamRead(voidpf, voidpf stream, void* buffer, uLong size)
{
    return static_cast<uLong>(static_cast<cArchiveStream*>(stream)->Read(buffer, size));
}
uLong ZCALLBACK StreamWrite(voidpf, voidpf, const void*, uLong) { return 0; }
ZPOS64_T ZCALLBACK StreamTell(voidpf, voidpf stream) { return static_cast<cArchiveStream*>(stream)->Tell(); }
long ZCALLBACK StreamSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    return static_cast<cArchiveStream*>(stream)->Seek(offset, origin) ? 0 : -1;
}
int ZCALLBACK StreamClose(voidpf, voidpf stream)
{
    static_cast<cArchiveStream*>(stream)->Close();
    return 0;
}
int ZCALLBACK StreamError(voidpf, voidpf stream) { return static_cast<cArchiveStream*>(stream)->HasError() ? 1 : 0; }

// One open archive: minizip's handle and the stream under it.
struct cArchiveHandle {
    unzFile pZip = nullptr;
    std::unique_ptr<cArchiveStream> pStream;

    cArchiveHandle() = default;
    cArchiveHandle(const cArchiveHandle&) = delete;
    cArchiveHandle& operator=(const cArchiveHandle&) = delete;
    ~cArchiveHandle()
    {
        if (pZip) unzClose(pZip);
    }
};

// Null when the file cannot be opened as an archive.
std::unique_ptr<cArchiveHandle> OpenArchive(const std::string& nativePath)
{
    auto handle = std::make_unique<cArchiveHandle>();
    handle->pStream = std::make_unique<cArchiveStream>();
    zlib_filefunc64_def functions{};
    functions.zopen64_file = StreamOpen;
    functions.zread_file = StreamRead;
    functions.zwrite_file = StreamWrite;
    functions.ztell64_file = StreamTell;
    functions.zseek64_file = StreamSeek;
    functions.zclose_file = StreamClose;
    functions.zerror_file = StreamError;
    functions.opaque = handle->pStream.get();
    handle->pZip = unzOpen2_64(nativePath.c_str(), &functions);
    if (!handle->pZip) return nullptr;
    return handle;
}

// The directory of one archive, read once: every entry's folded name and its
// place in the directory, so that opening an entry does not scan the
// directory again.
struct cArchive {
    std::string strPath;  // resolved native path
    cFileStamp Stamp;     // of the file the index was read from
    // False when the walk through the directory stopped at a damaged entry:
    // a name not in the index may then lie beyond the damage.
    bool bComplete = true;
    // The file was written so shortly before it was read that a rewrite in
    // the same timestamp tick, and of the same size, would not change its
    // stamp: a name missing from the index is then looked up afresh.
    bool bRecent = false;
    std::string strNames;  // the folded names, back to back
    std::unordered_map<std::string_view, unz64_file_pos> mapEntries;
    // Open handles on the archive, ready for the next entry (owned by the
    // cache and guarded by its mutex).
    std::vector<std::unique_ptr<cArchiveHandle>> vecIdle;
    uint64_t uLastUse = 0;

    const unz64_file_pos* Find(const std::string& folded) const
    {
        const auto it = mapEntries.find(std::string_view(folded));
        return it == mapEntries.end() ? nullptr : &it->second;
    }
};

// Reads the archive's directory by walking the entries that are really
// there, so memory follows the file, never the entry count it declares.
// Null when the file cannot be read as an archive. `handle` receives the
// handle used for the walk (null for an archive without entries).
std::shared_ptr<cArchive> ReadArchive(const std::string& nativePath, const cFileStamp& stamp,
                                      std::unique_ptr<cArchiveHandle>& handle)
{
    handle.reset();
    auto archive = std::make_shared<cArchive>();
    archive->strPath = nativePath;
    archive->Stamp = stamp;
    // Two seconds cover the coarsest timestamps in use (FAT).
    const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    const int64_t modified = stamp.iModifiedSec * 1000000000 + stamp.iModifiedNsec;
    archive->bRecent = now - modified < 2000000000;

    std::unique_ptr<cArchiveHandle> opened = OpenArchive(nativePath);
    if (!opened) return IsBareEndRecord(nativePath, stamp.iLength) ? archive : nullptr;
    unzFile walk = opened->pZip;

    unz_global_info64 global{};
    if (unzGetGlobalInfo64(walk, &global) != UNZ_OK) {
        archive->bComplete = false;
    } else if (global.number_entry != 0) {
        struct cSpan {
            size_t uOffset;
            size_t uLength;
            unz64_file_pos Pos;
        };
        std::vector<cSpan> spans;
        std::vector<char> name(0x10000);  // names are at most 65535 bytes
        std::string folded;
        int err = unzGoToFirstFile(walk);
        while (err == UNZ_OK) {
            unz64_file_pos pos{};
            unz_file_info64 info{};
            err = unzGetFilePos64(walk, &pos);
            if (err == UNZ_OK)
                err = unzGetCurrentFileInfo64(walk, &info, name.data(), static_cast<uLong>(name.size()),
                                              nullptr, 0, nullptr, 0);
            if (err != UNZ_OK) break;
            const size_t length = std::min<size_t>(info.size_filename, name.size());
            FoldEntryName(name.data(), length, folded);
            spans.push_back({archive->strNames.size(), length, pos});
            archive->strNames += folded;
            err = unzGoToNextFile(walk);
        }
        archive->bComplete = err == UNZ_END_OF_LIST_OF_FILE;
        // The names no longer move: key the map by views into them. The
        // first of several entries with the same folded name wins, as a
        // scan from the start would find it.
        archive->mapEntries.reserve(spans.size());
        for (const cSpan& span : spans)
            archive->mapEntries.emplace(std::string_view(archive->strNames).substr(span.uOffset, span.uLength),
                                        span.Pos);
    }
    handle = std::move(opened);
    return archive;
}

// The archives the file layer knows, by resolved native path. An archive's
// index lives until the file on disk changes or the archive is pushed out
// by newer ones.
class cArchiveCache {
public:
    // The archive's index, read now when the archive is new here or its file
    // changed (`fresh` tells which); null when the file is not a readable
    // archive. `handle` receives an open handle on the archive when one is at
    // hand, else null.
    std::shared_ptr<cArchive> Get(const std::string& nativePath, const cFileStamp& stamp,
                                  std::unique_ptr<cArchiveHandle>& handle, bool& fresh)
    {
        handle.reset();
        fresh = false;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            const auto it = m_mapArchives.find(nativePath);
            if (it != m_mapArchives.end()) {
                if (it->second->Stamp == stamp) {
                    cArchive& archive = *it->second;
                    archive.uLastUse = ++m_uClock;
                    if (!archive.vecIdle.empty()) {
                        handle = std::move(archive.vecIdle.back());
                        archive.vecIdle.pop_back();
                        handle->pStream->Forget();
                    }
                    return it->second;
                }
                m_mapArchives.erase(it);
            }
        }
        // Read outside the lock: other archives stay usable meanwhile.
        std::shared_ptr<cArchive> archive = ReadArchive(nativePath, stamp, handle);
        if (!archive) return nullptr;
        fresh = true;
        std::lock_guard<std::mutex> lock(m_Mutex);
        archive->uLastUse = ++m_uClock;
        m_mapArchives[nativePath] = archive;
        if (m_mapArchives.size() > g_uMaxArchives) {
            auto oldest = m_mapArchives.begin();
            for (auto it = m_mapArchives.begin(); it != m_mapArchives.end(); ++it)
                if (it->second->uLastUse < oldest->second->uLastUse) oldest = it;
            m_mapArchives.erase(oldest);
        }
        return archive;
    }

    // Takes back a handle of the archive once its entry is closed.
    void Release(const std::shared_ptr<cArchive>& archive, std::unique_ptr<cArchiveHandle> handle)
    {
        if (!handle) return;
        unzCloseCurrentFile(handle->pZip);
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto it = m_mapArchives.find(archive->strPath);
        if (it != m_mapArchives.end() && it->second == archive && !handle->pStream->HasError() &&
            archive->vecIdle.size() < g_uMaxIdleHandles)
            archive->vecIdle.push_back(std::move(handle));
        // Otherwise the handle is closed on leaving.
    }

    // Drops the archive's index, so that the next open reads it again.
    void Forget(const std::shared_ptr<cArchive>& archive)
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const auto it = m_mapArchives.find(archive->strPath);
        if (it != m_mapArchives.end() && it->second == archive) m_mapArchives.erase(it);
    }

private:
    std::mutex m_Mutex;
    std::unordered_map<std::string, std::shared_ptr<cArchive>> m_mapArchives;
    uint64_t m_uClock = 0;
};

// Never destroyed: files closed during static destruction still return
// their handles to it.
cArchiveCache& Archives()
{
    static cArchiveCache* cache = new cArchiveCache;
    return *cache;
}

}  // namespace

struct cFile::cRecord {
    int32_t iKind = e_kindNone;
    std::unique_ptr<cArchiveHandle> pZip;  // the archive, open on the entry
    unz_file_info64 Info{};
    platform::cNativeFile* pStream = nullptr;
    std::shared_ptr<cArchive> pArchive;  // the index the entry was found through
    bool bReadError = false;
    bool bEnded = false;  // the entry was read to its end and its checksum checked
};

cFile::~cFile() { Close(); }

int cFile::Open(const filename& file, const char* mode)
{
    if (m_pRecord) return e_openAlreadyOpen;
    if (file.path.empty()) return e_openNotFound;
    const char kind = mode ? mode[0] : '\0';

    cRecord* record = new cRecord;

    if (!file.zip.empty()) {
        if (kind != 'r') {
            delete record;
            return e_openBadMode;
        }
        record->iKind = e_kindArchive;

        string archivePath = MakePath(file.drive, file.zip, string(), string(), string());
        const size_t cut = archivePath.rfind('\\');
        if (cut != std::string::npos) archivePath.erase(cut);
        const string entryPath = MakePath(string(), string(), file.dir, file.name, file.ext);
        // The name as given is the usual case; the case is resolved only
        // when it does not exist.
        std::string native = platform::ToNativePath(archivePath);
        cFileStamp stamp = StampOf(native);
        if (!stamp.bExists) {
            native = platform::ResolveCase(native);
            stamp = StampOf(native);
        }

        try {
            // A folder named like an archive is not one, and there is no
            // fallback to the disk.
            if (!stamp.bExists || stamp.bFolder) throw cZipCatch("ZIP file %s not found\n", 2);

            std::string wanted;
            FoldEntryName(entryPath.data(), entryPath.size(), wanted);
            std::vector<char> name(wanted.size() + 1);
            // A kept index is trusted only as far as the directory confirms
            // it; when it does not, the index is read again once.
            for (int attempt = 0;; ++attempt) {
                bool fresh = false;
                record->pArchive = Archives().Get(native, stamp, record->pZip, fresh);
                if (!record->pArchive)
                    throw cZipCatch("Internal error in ZIP file - couldn't read archive %s\n", 4);
                const unz64_file_pos* pos = record->pArchive->Find(wanted);
                if (!pos && record->pArchive->bRecent && !fresh && attempt == 0) {
                    record->pZip.reset();
                    Archives().Forget(record->pArchive);
                    continue;
                }
                if (!pos) {
                    if (record->pArchive->bComplete) throw cZipCatch("File %s not found in ZIP file\n", 1);
                    throw cZipCatch("Internal error in ZIP file - couldn't get file info\n", 4);
                }
                if (!record->pZip) record->pZip = OpenArchive(native);
                if (!record->pZip)
                    throw cZipCatch("Internal error in ZIP file - couldn't read archive %s\n", 4);
                unzFile zip = record->pZip->pZip;
                // The index is checked against the directory itself: a file
                // rewritten without its stamp showing it gets a fresh index.
                const bool same =
                    unzGoToFilePos64(zip, pos) == UNZ_OK &&
                    unzGetCurrentFileInfo64(zip, &record->Info, name.data(),
                                            static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                            0) == UNZ_OK &&
                    record->Info.size_filename == wanted.size() &&
                    std::equal(wanted.begin(), wanted.end(), name.begin(),
                               [](char w, char n) { return w == FoldEntryChar(n); });
                if (same) break;
                record->pZip.reset();
                Archives().Forget(record->pArchive);
                if (fresh || attempt > 0)
                    throw cZipCatch("Internal error in ZIP file - couldn't get file info\n", 4);
            }

            const unz_file_info64& info = record->Info;
            // Encrypted entries cannot be read without a password; sizes the
            // method cannot produce mean a damaged or forged directory.
            const bool encrypted = (info.flag & 1) != 0;
            const bool sizesPossible =
                info.compression_method == 0
                    ? info.compressed_size == info.uncompressed_size
                    : info.uncompressed_size <= (info.compressed_size + 1) * g_uMaxDeflateRatio;
            if (encrypted || !sizesPossible)
                throw cZipCatch("Internal error in ZIP file - couldn't open file\n", 4);
            unzFile zip = record->pZip->pZip;
            if (unzOpenCurrentFile(zip) != UNZ_OK)
                throw cZipCatch("Internal error in ZIP file - couldn't open file\n", 4);
            // The entry's data must lie inside the archive.
            const uint64_t length = static_cast<uint64_t>(stamp.iLength);
            const uint64_t dataStart = unzGetCurrentFileZStreamPos64(zip);
            if (dataStart > length || info.compressed_size > length - dataStart)
                throw cZipCatch("Internal error in ZIP file - couldn't open file\n", 4);
        } catch (const cZipCatch& e) {
            // The entry's messages name the entry; the others the archive
            // (a format without "%s" ignores it).
            LogWarning(g_szSender, e.szFormat, e.iCode == 1 ? entryPath : archivePath);
            if (record->pZip) Archives().Release(record->pArchive, std::move(record->pZip));
            delete record;
            return e.iCode;
        }
        m_pRecord = record;
        return e_openOk;
    }

    if (kind != 'a' && kind != 'r' && kind != 'w') {
        delete record;
        return e_openBadMode;
    }
    record->iKind = e_kindDisk;
    record->pStream = new platform::cNativeFile;
    if (!record->pStream->Open(platform::ToNativePath(file.path), mode)) {
        // Something that is there but cannot be read is not "missing": the
        // callers keep what is there instead of starting afresh over it.
        const platform::cNativeFile::eOpenError why = record->pStream->GetOpenError();
        int result = e_openUnreadable;
        if (why == platform::cNativeFile::e_openErrorNotRegular) {
            LogWarning(g_szSender, "File %s is not a regular file; not read\n", file.path);
        } else if (why == platform::cNativeFile::e_openErrorDenied) {
            LogWarning(g_szSender, "File %s exists but cannot be opened\n", file.path);
        } else if (why == platform::cNativeFile::e_openErrorNameTooLong) {
            LogWarning(g_szSender, "File %s cannot be opened: its name is too long\n", file.path);
        } else {
            LogWarning(g_szSender, "File %s not found on disk\n", file.path);
            result = e_openNotFound;
        }
        delete record->pStream;
        delete record;
        return result;
    }
    m_pRecord = record;
    if (kind == 'w' || kind == 'a') {
        cFileSystem fs;
        if (!fs.FullAccess(file)) LogWarning(g_szSender, "File %s security info not changed\n", file.path);
    }
    return e_openOk;
}

int cFile::Close()
{
    if (!m_pRecord) return 0;
    if (m_pRecord->pZip) Archives().Release(m_pRecord->pArchive, std::move(m_pRecord->pZip));
    if (m_pRecord->pStream) {
        m_pRecord->pStream->Close();
        delete m_pRecord->pStream;
    }
    delete m_pRecord;
    m_pRecord = nullptr;
    return 0;
}

size_t cFile::Read(void* buffer, size_t size, size_t count)
{
    if (!m_pRecord || !buffer || size == 0 || count == 0) return 0;
    if (m_pRecord->iKind == e_kindDisk) {
        const size_t n = m_pRecord->pStream->Read(buffer, size, count);
        if (n < count && m_pRecord->pStream->HasError()) m_pRecord->bReadError = true;
        return n;
    }
    if (m_pRecord->bEnded || m_pRecord->bReadError) return 0;

    if (count > SIZE_MAX / size) count = SIZE_MAX / size;
    const size_t wanted = size * count;
    size_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < wanted) {
        const size_t chunk = std::min<size_t>(wanted - done, INT_MAX);
        const int n = unzReadCurrentFile(m_pRecord->pZip->pZip, out + done, static_cast<unsigned>(chunk));
        if (n < 0) {
            LogWarning(g_szSender, "Internal error in ZIP file - couldn't read file\n");
            m_pRecord->bReadError = true;
            return 0;
        }
        if (n == 0) {
            // The end of the entry: only closing it tells whether the data
            // matched the checksum stored for it.
            m_pRecord->bEnded = true;
            if (unzCloseCurrentFile(m_pRecord->pZip->pZip) == UNZ_CRCERROR) {
                LogWarning(g_szSender, "Internal error in ZIP file - wrong checksum\n");
                m_pRecord->bReadError = true;
            }
            break;
        }
        done += static_cast<size_t>(n);
    }
    return done / size;
}

bool cFile::HasReadError() const { return m_pRecord && m_pRecord->bReadError; }

size_t cFile::Write(const void* buffer, size_t size, size_t count)
{
    if (!m_pRecord || m_pRecord->iKind != e_kindDisk) return 0;
    return m_pRecord->pStream->Write(buffer, size, count);
}

size_t cFile::GetSize()
{
    if (!m_pRecord) return 0;
    if (m_pRecord->iKind == e_kindArchive) return static_cast<size_t>(m_pRecord->Info.uncompressed_size);
    const int64_t length = m_pRecord->pStream->GetLength();
    return length > 0 ? static_cast<size_t>(length) : 0;
}

}  // namespace vek
