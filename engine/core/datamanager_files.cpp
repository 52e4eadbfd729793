#include <algorithm>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace {

// Reads up to `size` bytes in pieces, so that an archive entry that declares
// more than it holds costs only the memory of what it really holds.
std::vector<char> ReadUpTo(cFile& file, size_t size)
{
    constexpr size_t kPiece = 1 << 20;
    std::vector<char> bytes;
    while (bytes.size() < size) {
        const size_t at = bytes.size();
        const size_t want = std::min(kPiece, size - at);
        bytes.resize(at + want);
        const size_t got = file.Read(bytes.data() + at, 1, want);
        bytes.resize(at + got);
        if (got < want) break;
    }
    return bytes;
}

// Opens the file in the given mode and reads it whole: Ok, FileNotFound, or
// InternalError for an empty file.
int ReadWhole(const filename& file, const char* mode, std::vector<char>& bytes)
{
    cFile f;
    f.Open(file, mode);
    if (!f.IsOpen()) return cDataManager::FileNotFound;
    const size_t size = f.GetSize();
    if (size < 1) {
        f.Close();
        return cDataManager::InternalError;
    }
    // Never more than the size taken above: a file that grew meanwhile
    // cannot overrun the buffer. Text mode may deliver fewer bytes.
    bytes = ReadUpTo(f, size);
    f.Close();
    return cDataManager::Ok;
}

}  // namespace

int cDataManager::ReadText(string* target, const filename& file)
{
    if (!target) return Failed;
    std::vector<char> bytes;
    const int result = ReadWhole(file, "rt", bytes);
    if (result == Ok) target->assign(bytes.data(), bytes.size());
    return result;
}

int cDataManager::ReadBinary(cBitStream* target, const filename& file)
{
    if (!target) return Failed;
    std::vector<char> bytes;
    const int result = ReadWhole(file, "rb", bytes);
    if (result == Ok) target->SetData(bytes.data(), bytes.size());
    return result;
}

int cDataManager::WriteBinary(const cBitStream* source, const filename& file)
{
    if (!source) return Failed;
    if (file.path.empty()) return FileNotFound;
    // Archives are read-only, as for every other write.
    if (!file.zip.empty()) return FileNotFound;

    const std::vector<uint8_t>& bytes = source->GetData();
    const size_t count = std::min(source->GetByteCount(), bytes.size());
    // Written beside the target and renamed over it, so that a crash or a
    // full disk never leaves a half-written save in place of the old one.
    if (!platform::WriteFileReplacing(platform::ToNativePath(file.path), bytes.data(), count)) {
        LogWarning("File", "File %s not found on disk\n", file.path);
        return FileNotFound;
    }
    cFileSystem fs;
    if (!fs.FullAccess(file)) LogWarning("File", "File %s security info not changed\n", file.path);
    return Ok;
}

}  // namespace vek
