// Whole files: the one bounded whole-file reader that every reader of the
// data manager goes through (text, binary, images, sounds), and the save
// writer. Whichever reader asks, a file costs memory in proportion to what
// it really holds and never more than kMaxWholeFile.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace {

constexpr const char* kSender = "File";

// An archive entry is read in pieces that grow with what has arrived, from
// the first size up to the largest.
constexpr size_t kFirstPiece = size_t(64) << 10;
constexpr size_t kLargestPiece = size_t(4) << 20;

}  // namespace

namespace {

// Damaged data is never handed on as if it were the file.
int ReadFailed(const filename& file)
{
    LogWarning(kSender, "File %s could not be read whole\n", file.path);
    return cDataManager::InternalError;
}

} // namespace

int cDataManager::ReadWholeFileInto(const filename& file, const char* mode,
                                    void* (*place)(void* buffer, size_t size), void* buffer,
                                    size_t& got)
{
    got = 0;
    cFile f;  // closed on every path by its destructor
    if (f.Open(file, mode) == cFile::e_openUnreadable) return Unreadable;
    if (!f.IsOpen()) return FileNotFound;
    // The disk file's length, or what the archive entry declares: known
    // before anything is allocated. Never more than this is read, whatever
    // the file turns out to hold, so a file that grows meanwhile or an entry
    // that inflates further cannot pass the limit.
    const size_t size = f.GetSize();
    if (size < 1) return InternalError;
    if (size > kMaxWholeFile) {
        LogWarning(kSender, "File %s is too large to read whole (%s bytes)\n", file.path,
                   std::to_string(size));
        return Unsupported;
    }

    if (file.zip.empty()) {
        // A disk file's length is true: read straight into the target.
        // Text mode or a file that shrank delivers fewer bytes.
        void* at = place(buffer, size);
        if (!at) return Failed;
        got = f.Read(at, 1, size);
        if (f.HasReadError()) return ReadFailed(file);
        return Ok;
    }

    // An entry's declared size is only an upper bound: no piece is larger
    // than what arrived before it (the first is 64 KiB), so the memory taken
    // stays within a small multiple of what the entry really holds.
    std::vector<std::vector<char>> pieces;
    size_t total = 0;
    while (total < size) {
        const size_t want = std::min(size - total, std::clamp(total, kFirstPiece, kLargestPiece));
        std::vector<char> piece(want);
        const size_t n = f.Read(piece.data(), 1, want);
        piece.resize(n);
        total += n;
        pieces.push_back(std::move(piece));
        if (n < want) break;
    }
    // Reading on to the entry's end checks its data against its checksum.
    char probe;
    if (total == size) f.Read(&probe, 1, 1);
    if (f.HasReadError()) return ReadFailed(file);
    f.Close();
    char* at = static_cast<char*>(place(buffer, total));
    if (!at && total) return Failed;
    for (std::vector<char>& piece : pieces) {
        std::copy(piece.begin(), piece.end(), at);
        at += piece.size();
        std::vector<char>().swap(piece);
    }
    got = total;
    return Ok;
}

int cDataManager::ReadText(string* target, const filename& file)
{
    if (!target) return Failed;
    string text;
    const int result = ReadWholeFile(file, "rt", text);
    if (result == Ok) *target = std::move(text);
    return result == Unsupported ? InternalError : result;
}

int cDataManager::ReadBinary(cBitStream* target, const filename& file)
{
    if (!target) return Failed;
    std::vector<uint8_t> bytes;
    const int result = ReadWholeFile(file, "rb", bytes);
    if (result == Ok) target->SetData(std::move(bytes));
    return result == Unsupported ? InternalError : result;
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
    errno = 0;
    if (!platform::WriteFileReplacing(platform::ToNativePath(file.path), bytes.data(), count)) {
        const string reason = errno ? std::strerror(errno) : "unknown error";
        LogWarning("File", "File %s cannot be written: %s\n", file.path, reason);
        return FileNotFound;
    }
    cFileSystem fs;
    if (!fs.FullAccess(file)) LogWarning("File", "File %s security info not changed\n", file.path);
    return Ok;
}

}  // namespace vek
