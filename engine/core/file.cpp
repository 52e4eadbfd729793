#include "engine/core/file.h"

#include <algorithm>
#include <climits>
#include <minizip/unzip.h>
#include <vector>

#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace {

const char* const g_szSender = "File";

enum eKind { e_kindNone = 0, e_kindDisk = 1, e_kindArchive = 2 };

// Deflate cannot expand data by more than about 1032 : 1; an entry that
// claims more is lying about its size.
constexpr uint64_t g_uMaxDeflateRatio = 1032;

char FoldEntryChar(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u - 'A' + 'a');
    if (c == '/') return '\\';
    return c;
}

// Entry names: ASCII letters without regard to case, "\" and "/" the same.
bool SameEntryName(const char* stored, size_t storedLength, const std::string& wanted)
{
    if (storedLength != wanted.size()) return false;
    for (size_t i = 0; i < storedLength; ++i)
        if (FoldEntryChar(stored[i]) != FoldEntryChar(wanted[i])) return false;
    return true;
}

// Makes the wanted entry the archive's current one: UNZ_OK when found,
// UNZ_END_OF_LIST_OF_FILE when not, another code when the directory is damaged.
int LocateEntry(unzFile zip, const std::string& wanted)
{
    unz_global_info64 global{};
    if (unzGetGlobalInfo64(zip, &global) != UNZ_OK) return UNZ_BADZIPFILE;
    if (global.number_entry == 0) return UNZ_END_OF_LIST_OF_FILE;
    std::vector<char> name(wanted.size() + 1);
    int err = unzGoToFirstFile(zip);
    while (err == UNZ_OK) {
        unz_file_info64 info{};
        err = unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()),
                                      nullptr, 0, nullptr, 0);
        if (err != UNZ_OK) return err;
        if (info.size_filename == wanted.size() &&
            SameEntryName(name.data(), info.size_filename, wanted))
            return UNZ_OK;
        err = unzGoToNextFile(zip);
    }
    return err;
}

int64_t FileLength(const std::string& nativePath) { return platform::FileSize(nativePath); }

}  // namespace

struct cFile::cRecord {
    int32_t iKind = e_kindNone;
    unzFile pZip = nullptr;
    unz_file_info64 Info{};
    platform::cNativeFile* pStream = nullptr;
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
        const std::string native = platform::ResolveCase(platform::ToNativePath(archivePath));

        try {
            record->pZip = unzOpen64(native.c_str());
            if (!record->pZip) {
                // A file that is there but cannot be read as an archive is
                // damaged, not missing.
                if (FileLength(native) >= 0 && !platform::IsFolder(native))
                    throw cZipCatch("Internal error in ZIP file - couldn't read archive %s\n", 4);
                throw cZipCatch("ZIP file %s not found\n", 2);
            }
            const int located = LocateEntry(record->pZip, entryPath);
            if (located == UNZ_END_OF_LIST_OF_FILE) throw cZipCatch("File %s not found in ZIP file\n", 1);
            if (located != UNZ_OK)
                throw cZipCatch("Internal error in ZIP file - couldn't get file info\n", 4);
            if (unzGetCurrentFileInfo64(record->pZip, &record->Info, nullptr, 0, nullptr, 0, nullptr,
                                        0) != UNZ_OK)
                throw cZipCatch("Internal error in ZIP file - couldn't get file info\n", 4);

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
            if (unzOpenCurrentFile(record->pZip) != UNZ_OK)
                throw cZipCatch("Internal error in ZIP file - couldn't open file\n", 4);
            // The entry's data must lie inside the archive.
            const int64_t length = FileLength(native);
            const uint64_t dataStart = unzGetCurrentFileZStreamPos64(record->pZip);
            if (length < 0 || dataStart > static_cast<uint64_t>(length) ||
                info.compressed_size > static_cast<uint64_t>(length) - dataStart) {
                unzCloseCurrentFile(record->pZip);
                throw cZipCatch("Internal error in ZIP file - couldn't open file\n", 4);
            }
        } catch (const cZipCatch& e) {
            // The entry's messages name the entry; the others the archive
            // (a format without "%s" ignores it).
            LogWarning(g_szSender, e.szFormat, e.iCode == 1 ? entryPath : archivePath);
            if (record->pZip) unzClose(record->pZip);
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
        LogWarning(g_szSender, "File %s not found on disk\n", file.path);
        delete record->pStream;
        delete record;
        return e_openNotFound;
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
    if (m_pRecord->pZip) {
        unzCloseCurrentFile(m_pRecord->pZip);
        unzClose(m_pRecord->pZip);
    }
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
    if (m_pRecord->iKind == e_kindDisk) return m_pRecord->pStream->Read(buffer, size, count);

    if (count > SIZE_MAX / size) count = SIZE_MAX / size;
    const size_t wanted = size * count;
    size_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < wanted) {
        const size_t chunk = std::min<size_t>(wanted - done, INT_MAX);
        const int n = unzReadCurrentFile(m_pRecord->pZip, out + done, static_cast<unsigned>(chunk));
        if (n < 0) {
            LogWarning(g_szSender, "Internal error in ZIP file - couldn't read file\n");
            return 0;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done / size;
}

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
