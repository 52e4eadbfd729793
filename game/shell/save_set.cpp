#include "game/shell/save_set.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <tuple>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace save_set {

namespace {

constexpr char kMagic[4] = {'Z', 'L', 'S', '2'};
constexpr char kUncheckedMagic[4] = {'Z', 'L', 'S', '1'};

bool HasMagic(const uint8_t* at, const char (&magic)[4])
{
    return std::equal(magic, magic + 4, at, [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

// The CRC-32 of the bytes, or of earlier bytes followed by these when
// `crc` is theirs.
uint32_t Checksum(const uint8_t* bytes, size_t count, uLong crc = crc32(0L, Z_NULL, 0))
{
    // zlib takes at most a uInt at a time.
    while (count > 0) {
        const uInt part = static_cast<uInt>(std::min<size_t>(count, 1u << 30));
        crc = crc32(crc, bytes, part);
        bytes += part;
        count -= part;
    }
    return static_cast<uint32_t>(crc);
}

// The stream's written bytes.
std::vector<uint8_t> BytesOf(const vek::cBitStream& stream)
{
    const std::vector<uint8_t>& data = stream.GetData();
    return std::vector<uint8_t>(data.begin(),
                                data.begin() + static_cast<std::ptrdiff_t>(std::min(stream.GetByteCount(), data.size())));
}

// The mark's version and stamp, read from their eight bytes.
void ReadVersionAndStamp(const uint8_t* at, uint32_t* stamp, float* version)
{
    vek::cBitStream tail;
    tail.SetData(at, 8);
    *version = tail.ReadFloat();
    *stamp = static_cast<uint32_t>(tail.ReadInt());
}

// Today's mark for a file whose bytes before it are `body`.
std::vector<uint8_t> MarkFor(const std::vector<uint8_t>& body, uint32_t stamp, float version)
{
    vek::cBitStream fields;
    fields.WriteFloat(version);
    fields.WriteInt(static_cast<int32_t>(stamp));
    std::vector<uint8_t> mark(kMagic, kMagic + 4);
    const std::vector<uint8_t> values = BytesOf(fields);
    mark.insert(mark.end(), values.begin(), values.end());
    const uint32_t crc = Checksum(mark.data(), mark.size(), Checksum(body.data(), body.size()));
    for (int i = 0; i < 4; ++i) mark.push_back(static_cast<uint8_t>((crc >> (8 * i)) & 0xff));
    return mark;
}

// The file's bytes, as a reader of the game's files gets them; false when
// there is no plain file to read.
bool ReadBytes(const std::string& native, std::vector<uint8_t>* bytes)
{
    // Only a plain file: opening a named pipe would wait for a writer.
    std::error_code error;
    if (!std::filesystem::is_regular_file(native, error)) return false;
    std::FILE* f = std::fopen(native.c_str(), "rb");
    if (!f) return false;
    bytes->clear();
    uint8_t chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes->insert(bytes->end(), chunk, chunk + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// The names a ".bad" copy of the file may take, the first one first.
constexpr int kBadNames = 100;
std::string BadName(const std::string& native, int n)
{
    return native + ".bad" + (n == 0 ? std::string() : std::to_string(n));
}

} // namespace

std::string FreeBadName(const std::string& native)
{
    namespace fs = vek::platform;
    for (int n = 0; n < kBadNames; ++n)
        if (!fs::PathExists(BadName(native, n)) && !fs::IsSymlink(BadName(native, n))) return BadName(native, n);
    return std::string();
}

std::string DropOldestBad(const std::string& native)
{
    namespace fs = vek::platform;
    if (!FreeBadName(native).empty()) return std::string();
    const std::string oldest = BadName(native, 0);
    if (!(fs::IsFolder(oldest) ? fs::RemoveTree(oldest) : fs::RemoveFile(oldest))) return std::string();
    for (int n = 1; n < kBadNames; ++n) std::rename(BadName(native, n).c_str(), BadName(native, n - 1).c_str());
    return oldest;
}

namespace {

// The name the next ".bad" copy takes. When every name is taken, the newest
// damage still matters most: the oldest copy gives way to it, and that is
// logged. "" only when no copy can be moved.
std::string TakeBadName(const std::string& native)
{
    const std::string free = FreeBadName(native);
    if (!free.empty()) return free;
    if (DropOldestBad(native).empty()) return std::string();
    vek::LogWarning("Profile", "%s: every name for a kept copy was taken; the oldest copy was dropped\n", native);
    return FreeBadName(native);
}

} // namespace

eProgressPick PickProgressFile(const cProgressFile& file, const cProgressFile& copy, uint32_t savedStamp)
{
    if (!file.IsWhole() || !copy.IsWhole())
        return file.IsWhole() ? eProgressPick::e_file : copy.IsWhole() ? eProgressPick::e_copy : eProgressPick::e_none;
    if (savedStamp != 0 && file.stamp != copy.stamp) {
        if (file.stamp == savedStamp) return eProgressPick::e_file;
        if (copy.stamp == savedStamp) return eProgressPick::e_copy;
    }
    const auto earned = [](const cProgressFile& f) { return std::make_tuple(f.progress, f.medals, f.times); };
    return earned(copy) > earned(file) ? eProgressPick::e_copy : eProgressPick::e_file;
}

bool HoldsMore(const cProgressFile& a, const cProgressFile& b)
{
    return a.progress > b.progress || a.medals > b.medals || a.times > b.times;
}

cProgressDecision DecideProgressFiles(const cProgressFile& file, const cProgressFile& copy, uint32_t savedStamp)
{
    cProgressDecision d;
    d.read = PickProgressFile(file, copy, savedStamp);
    if (d.read == eProgressPick::e_file) {
        // A damaged copy, or one of another moment, is kept and written
        // again: nothing of the profile is lost, unless the copy held more.
        const bool otherMoment = copy.IsWhole() && copy.stamp != file.stamp;
        if (copy.state == eFileState::e_damaged || otherMoment) {
            d.loser = eLoserFate::e_keep;
            d.rewrite = true;
            d.tell = otherMoment && HoldsMore(copy, file) ? eProgressTell::e_dropped : eProgressTell::e_log;
        }
    } else if (d.read == eProgressPick::e_copy) {
        // "player.dat" is written again from its copy whatever it was; the
        // player hears it was restored, or that what it held beyond its
        // copy is dropped.
        d.loser = file.state == eFileState::e_notAFile ? eLoserFate::e_moveAside
                  : file.state == eFileState::e_missing ? eLoserFate::e_leave
                                                         : eLoserFate::e_keep;
        d.rewrite = true;
        d.tell = file.IsWhole() && HoldsMore(file, copy) ? eProgressTell::e_dropped : eProgressTell::e_restored;
    }
    return d;
}

bool GivesUpWin(const cSetParts& parts)
{
    return parts.winWaits && (parts.damaged || parts.refused || parts.islandLost);
}

vek::filename LossRecord(const vek::filename& part, bool gameInPlay)
{
    namespace fs = vek::platform;
    const auto there = [](const vek::filename& f) {
        const std::string native = fs::ToNativePath(f.path);
        return fs::PathExists(native) || fs::IsSymlink(native);
    };
    if (part.empty() || there(part)) return part;
    const vek::filename folder(part.GetDir());
    const vek::filename save = vek::AppendPath(folder, "save.dat");
    return gameInPlay && !there(save) ? vek::AppendPath(folder, "player.dat") : save;
}

std::vector<vek::filename> NumberedFolders(const vek::filename& folder)
{
    std::vector<vek::filename> folders;
    vek::cFileSystem fs;
    for (vek::filename entry = fs.GetFirst(folder); !entry.empty(); entry = fs.GetNext()) {
        const vek::string name = entry.GetFile();
        if (name.empty() || name.find_first_not_of("0123456789") != vek::string::npos || !fs.IsFolder(entry)) continue;
        folders.push_back(entry);
    }
    return folders;
}

namespace {

// Whether the file is there and carries today's mark, its checksum matching.
// Asked of every file of a profile as it is listed: a file that cannot be
// read (a named pipe, one without permission) carries none, and is left
// to its reader to tell of.
bool CarriesCheckedMark(const vek::filename& file)
{
    vek::platform::cNativeFile f;
    if (!f.Open(vek::platform::ToNativePath(file.path), "rb")) return false;
    const int64_t length = f.GetLength();
    if (length < static_cast<int64_t>(kMarkBytes) || static_cast<uint64_t>(length) > vek::cDataManager::kMaxWholeFile)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (f.Read(bytes.data(), 1, bytes.size()) != bytes.size()) return false;
    vek::cBitStream stream;
    stream.SetData(std::move(bytes));
    uint32_t stamp = 0;
    float version = 0.0f;
    return TakeMark(stream, &stamp, &version) == eMark::e_checked;
}

// The first of the profile's files for which `stop` is true: "player.dat"
// first (today's game writes it at every exit), then the game in play's
// set, then each numbered save's. False when there is none.
template <class Stop>
bool AnyProfileFile(const vek::filename& folder, Stop stop)
{
    for (const char* name : {"player.dat", "save.dat", "level.dat", "island.dat"})
        if (stop(vek::AppendPath(folder, name))) return true;
    for (const vek::filename& entry : NumberedFolders(folder))
        for (const char* name : {"save.dat", "level.dat", "island.dat"})
            if (stop(vek::AppendPath(entry, name))) return true;
    return false;
}

bool IsConversionUnderWay(const vek::filename& folder)
{
    return CarriesCheckedMark(vek::AppendPath(folder, kConversionJournal));
}

} // namespace

bool IsCheckedProfile(const vek::filename& folder)
{
    namespace fs = vek::platform;
    const std::string copy = fs::ToNativePath(vek::AppendPath(folder, kPlayerCopy).path);
    const std::string journal = fs::ToNativePath(vek::AppendPath(folder, kConversionJournal).path);
    // The copy is written last of all: every file carries today's mark.
    if (fs::PathExists(copy)) {
        // Left only by a program ended between the copy and the journal's
        // removal; kept, it would turn the checks off once the copy is lost.
        if (fs::PathExists(journal) && !fs::IsFolder(journal)) fs::RemoveFile(journal);
        return true;
    }
    // An older profile part-way through its conversion.
    if (IsConversionUnderWay(folder)) return false;
    if (fs::PathExists(copy + kNext)) return true;
    // (A ".next" is not looked at: one of an older profile's save cut short
    // was never part of the profile.)
    return AnyProfileFile(folder, CarriesCheckedMark);
}

bool BeginConversion(const vek::filename& folder)
{
    namespace fs = vek::platform;
    if (IsConversionUnderWay(folder)) return true;
    // A profile with no file yet, or all of whose files carry today's mark,
    // has nothing another start could misread.
    const bool older = AnyProfileFile(folder, [](const vek::filename& file) {
        return fs::PathExists(fs::ToNativePath(file.path)) && !CarriesCheckedMark(file);
    });
    if (!older) return true;
    const vek::filename journal = vek::AppendPath(folder, kConversionJournal);
    vek::cBitStream body;
    for (char c : std::string("a conversion to today's marks is under way")) body.WriteByte(static_cast<uint8_t>(c));
    const vek::cBitStream marked = Remarked(body, 0, 0.0f);
    if (vek::cDataManager::WriteBinary(&marked, journal) == vek::cDataManager::Ok) return true;
    // Something in its way (a folder, say) goes aside once.
    if (fs::PathExists(fs::ToNativePath(journal.path)) && MoveAsideAsBad(journal, "save_set") &&
        vek::cDataManager::WriteBinary(&marked, journal) == vek::cDataManager::Ok)
        return true;
    vek::LogWarning("save_set", "%s cannot be written; the older profile's files are not marked\n", journal.path);
    return false;
}

void EndConversion(const vek::filename& folder)
{
    namespace fs = vek::platform;
    const std::string journal = fs::ToNativePath(vek::AppendPath(folder, kConversionJournal).path);
    if (fs::PathExists(journal) && !fs::IsFolder(journal)) fs::RemoveFile(journal);
}

void AppendMark(vek::cBitStream& out, uint32_t stamp, float version)
{
    for (uint8_t byte : MarkFor(BytesOf(out), stamp, version)) out.WriteByte(byte);
}

eMark TakeMark(vek::cBitStream& in, uint32_t* stamp, float* version)
{
    *stamp = 0;
    *version = 0.0f;
    const std::vector<uint8_t>& bytes = in.GetData();
    const size_t size = std::min(in.GetByteCount(), bytes.size());
    if (in.GetReadPos() != 0) return eMark::e_none;
    size_t markBytes = 0;
    eMark kind = eMark::e_none;
    if (size >= kMarkBytes && HasMagic(bytes.data() + size - kMarkBytes, kMagic)) {
        const uint8_t* mark = bytes.data() + size - kMarkBytes;
        vek::cBitStream sum;
        sum.SetData(mark + 12, 4);
        const uint32_t saved = static_cast<uint32_t>(sum.ReadInt());
        if (saved != Checksum(bytes.data(), size - 4)) return eMark::e_damaged;
        markBytes = kMarkBytes;
        kind = eMark::e_checked;
    } else if (size >= kUncheckedMarkBytes && HasMagic(bytes.data() + size - kUncheckedMarkBytes, kUncheckedMagic)) {
        markBytes = kUncheckedMarkBytes;
        kind = eMark::e_unchecked;
    } else {
        return eMark::e_none;
    }
    ReadVersionAndStamp(bytes.data() + size - markBytes + 4, stamp, version);
    std::vector<uint8_t> rest(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size - markBytes));
    in.SetData(std::move(rest));
    return kind;
}

vek::cBitStream Remarked(const vek::cBitStream& body, uint32_t stamp, float version)
{
    std::vector<uint8_t> bytes = BytesOf(body);
    const std::vector<uint8_t> mark = MarkFor(bytes, stamp, version);
    bytes.insert(bytes.end(), mark.begin(), mark.end());
    vek::cBitStream out;
    out.SetData(std::move(bytes));
    return out;
}

uint32_t BytesKey(const vek::cBitStream& stream)
{
    const std::vector<uint8_t> bytes = BytesOf(stream);
    return Checksum(bytes.data(), bytes.size());
}

uint32_t SavedStamp(const vek::filename& folder)
{
    vek::cBitStream save;
    uint32_t stamp = 0;
    float version = 0.0f;
    if (vek::cDataManager::ReadBinary(&save, vek::AppendPath(folder, "save.dat")) != vek::cDataManager::Ok ||
        !IsMarked(TakeMark(save, &stamp, &version)))
        return 0;
    return stamp;
}

bool WasKeptAsBad(const vek::filename& file)
{
    const std::string native = vek::platform::ToNativePath(file.path);
    std::vector<uint8_t> bytes, kept;
    if (!ReadBytes(native, &bytes)) return false;
    for (int n = 0; n < kBadNames; ++n)
        if (ReadBytes(BadName(native, n), &kept) && kept == bytes) return true;
    return false;
}

void KeepAsBad(const vek::filename& file)
{
    vek::cBitStream old;
    const int read = vek::cDataManager::ReadBinary(&old, file);
    // An empty file is kept as the empty file it is.
    bool empty = false;
    if (read == vek::cDataManager::InternalError) {
        vek::cFile f;
        empty = f.Open(file, "rb") == vek::cFile::e_openOk && f.GetSize() == 0;
    }
    if (read != vek::cDataManager::Ok && !empty) return;
    if (WasKeptAsBad(file)) return;
    const std::string native = vek::platform::ToNativePath(file.path);
    const std::string bad = TakeBadName(native);
    if (bad.empty()) return;
    vek::cDataManager::WriteBinary(&old, vek::filename(file.path + bad.substr(native.size())));
}

bool MoveAsideAsBad(const vek::filename& file, const char* sender)
{
    namespace fs = vek::platform;
    const std::string native = fs::ToNativePath(file.path);
    if (!fs::PathExists(native)) return true;
    // Bytes kept already need no second copy.
    if (WasKeptAsBad(file) && fs::RemoveFile(native)) return true;
    const std::string bad = TakeBadName(native);
    if (!bad.empty() && std::rename(native.c_str(), bad.c_str()) == 0) return true;
    vek::LogWarning(sender, "%s cannot be moved aside as %s.bad; it is kept as it is\n", file.path, file.path);
    return false;
}

bool SettlePending(const vek::filename& target, uint32_t committedStamp, const char* sender)
{
    namespace fs = vek::platform;
    const vek::filename next(target.path + kNext);
    const std::string native = fs::ToNativePath(next.path);
    if (!fs::PathExists(native)) return true;
    const bool folder = fs::IsFolder(native);
    bool damaged = false;
    if (!folder) {
        vek::cBitStream pending;
        uint32_t stamp = 0;
        float version = 0.0f;
        const int read = vek::cDataManager::ReadBinary(&pending, next);
        const eMark mark = read == vek::cDataManager::Ok ? TakeMark(pending, &stamp, &version) : eMark::e_none;
        // The game writes each part whole, with its checksum: anything
        // else there was damaged after it was written, and is kept.
        damaged = read != vek::cDataManager::Unreadable && mark != eMark::e_checked;
        // Only a whole file of the committed save is put in place.
        if (mark == eMark::e_checked && committedStamp != 0 && stamp == committedStamp &&
            std::rename(native.c_str(), fs::ToNativePath(target.path).c_str()) == 0) {
            vek::LogText(sender, "%s: the save interrupted before it was complete is completed\n", target.path);
            return true;
        }
    }
    if (damaged) {
        const bool kept = WasKeptAsBad(next);
        if (MoveAsideAsBad(next, sender)) {
            if (!kept) vek::LogWarning(sender, "%s is damaged; it is not put in place and is kept as .bad\n", next.path);
            return true;
        }
    }
    if (folder ? fs::RemoveDir(native) : fs::RemoveFile(native)) return true;
    // A folder with something in it would make every later save of this
    // file fail: it goes aside, where the player can still find it.
    const std::string aside = TakeBadName(native);
    if (!aside.empty() && std::rename(native.c_str(), aside.c_str()) == 0) {
        vek::LogWarning(sender, "%s is in the way of the save; moved aside as %s\n", next.path,
                        next.path + aside.substr(native.size()));
        return true;
    }
    vek::LogWarning(sender, "%s is in the way of the save and cannot be moved; the game cannot be saved\n",
                    next.path);
    return false;
}

bool CarryOver(const vek::filename& target, uint32_t stamp)
{
    const vek::filename next(target.path + kNext);
    vek::cFileSystem fs;
    if (fs.Exist(next) || !fs.Exist(target)) return true;
    vek::cBitStream part;
    if (vek::cDataManager::ReadBinary(&part, target) != vek::cDataManager::Ok) return false;
    uint32_t oldStamp = 0;
    float oldVersion = 0.0f;
    if (TakeMark(part, &oldStamp, &oldVersion) == eMark::e_damaged) return true;
    const vek::cBitStream restamped = Remarked(part, stamp, oldVersion);
    return vek::cDataManager::WriteBinary(&restamped, next) == vek::cDataManager::Ok;
}

void PutInPlace(const std::vector<vek::filename>& targets, bool committed)
{
    namespace fs = vek::platform;
    for (const vek::filename& target : targets) {
        const std::string next = fs::ToNativePath(target.path + kNext);
        if (committed)
            std::rename(next.c_str(), fs::ToNativePath(target.path).c_str());
        else
            std::remove(next.c_str());
    }
}

} // namespace save_set
