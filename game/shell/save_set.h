#pragma once
// The rules of a profile's save set, in one place. A set is the game in
// play ("player.dat", "save.dat", "level.dat", "island.dat" in the
// profile's folder) or a level's own save ("save.dat", "level.dat",
// "island.dat" in a numbered sub-folder).
//
// - The mark. Each file ends with "ZLS2", the layout version of the file
//   (float), the stamp the files of one save share (uint32) and the CRC-32
//   (zlib's) of every byte before it. The readers of older games never reach
//   the last bytes, so they still read these files.
// - The checksum. A file whose checksum does not match is damaged as a
//   whole: nothing of it is read, it is kept as "<name>.bad" before the next
//   save writes over it, and the player is told once. Files written before
//   the checksum ("ZLS1" and a 12-byte mark, or no mark at all) load as
//   before, through their readers' range checks.
// - The ".bad" copies: a refused or damaged file is kept where the player
//   can find it, never written over unseen: a later damage of the same file
//   goes to "<name>.bad1", "<name>.bad2" and so on, and bytes kept once are
//   not kept again (so a damage found again at the next start is known).
// - The copy of "player.dat": the game in play's set and every lone write
//   of "player.dat" also write "player.bak", the same bytes, so that the
//   profile's progress survives the loss of either file.
// - A checked profile: one whose folder holds "player.bak", or any of whose
//   files ("player.dat", the game in play's three, each numbered save's
//   three) carries today's mark with its checksum matching. There a file
//   without that mark (none, the one before the checksum, or one cut off)
//   is damaged, whatever layout it claims: the copy lost, or a profile of
//   the release before the copy, never lets an older layout be claimed.
// - The conversion of an older profile (no file with today's mark): its
//   first save of "player.dat" marks every file, numbered saves first, then
//   the game in play, "player.dat" and the copy last. Before any file of it
//   takes today's mark (by the conversion, or by a level's save written
//   before it) the profile holds "conversion.journal", written whole; it is
//   removed once the copy is written. A profile holding the journal, and
//   not the copy, is read as an older one whatever part of it took the mark
//   already, and its next save goes on with the conversion.
// - The ".next" settling: SaveGame writes the set's other files as
//   "<name>.next"; the rename of "save.dat" commits the set, and a start
//   after a save cut short puts the committed ones in place and removes the
//   others.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vek {
class cBitStream;
class filename;
} // namespace vek

namespace save_set {

// Today's mark: magic, version, stamp and checksum.
constexpr size_t kMarkBytes = 16;
// The mark before the checksum: magic, version and stamp.
constexpr size_t kUncheckedMarkBytes = 12;
// The suffix of a set's file while SaveGame writes it.
constexpr const char* kNext = ".next";
// The copy of "player.dat" in the profile's folder.
constexpr const char* kPlayerCopy = "player.bak";

// The journal of an older profile's conversion to today's marks.
constexpr const char* kConversionJournal = "conversion.journal";

// Whether the profile's folder is a checked profile's: it holds the copy of
// "player.dat" (or a save cut short was writing one), or, without the
// journal of a conversion, any file of it carries today's mark with its
// checksum matching. A journal found beside the copy is of a conversion
// that finished: it is removed.
bool IsCheckedProfile(const vek::filename& folder);
// Before an older profile's files take today's mark: the journal, written
// whole when the folder holds a file without that mark (none is needed by a
// profile with no file yet). False, with a warning, when it cannot be
// written: nothing of the profile may be marked then.
bool BeginConversion(const vek::filename& folder);
// The conversion finished (every file marked, the copy written): the
// journal removed.
void EndConversion(const vek::filename& folder);
// The numbered sub-folders of the profile's folder (the levels' own saves).
std::vector<vek::filename> NumberedFolders(const vek::filename& folder);

// ---- "player.dat" and its copy ----

// What reading one of the two progress files found.
enum class eFileState {
    e_missing,   // nothing at its name
    e_whole,     // read whole: its checksum matching, its values in range
    e_damaged,   // there, but damaged (nothing of it is used)
    e_notAFile,  // something that cannot be read as a file: a FIFO, a folder, a link to a device or in a loop
};
// What one of them holds, as far as choosing between them goes.
struct cProgressFile {
    eFileState state = eFileState::e_missing;
    uint32_t stamp = 0;  // the save of the game in play it was written with
    int32_t progress = 0;
    size_t medals = 0;
    size_t times = 0;
    bool IsWhole() const { return state == eFileState::e_whole; }
};
enum class eProgressPick { e_none, e_file, e_copy };
// Which of the two the profile is read from: the whole one that pairs with
// the committed save (its stamp is `savedStamp`, the stamp of "save.dat";
// 0 when that cannot tell); else the whole one that holds more of what was
// earned, since an honest profile never loses any of it (stamps are not
// ordered in time). "player.dat" on a tie.
eProgressPick PickProgressFile(const cProgressFile& file, const cProgressFile& copy, uint32_t savedStamp);
// Whether `a` holds something `b` does not: more progress, medals or times.
bool HoldsMore(const cProgressFile& a, const cProgressFile& b);

// What becomes of the other file, the one the profile is not read from.
enum class eLoserFate {
    e_leave,      // left as it is (the same moment, or nothing there)
    e_keep,       // its bytes kept as ".bad"
    e_moveAside,  // moved aside as ".bad" (nothing is read or written through it)
};
// What is said of it: nothing, a log line, the log line and the player's
// "restored from its copy", or the log line and the damage notice (it held
// more than the file read, and that more is dropped).
enum class eProgressTell { e_none, e_log, e_restored, e_dropped };
struct cProgressDecision {
    eProgressPick read = eProgressPick::e_none;
    eLoserFate loser = eLoserFate::e_leave;
    // The other written again with the bytes read (once kept or moved
    // aside), so that both hold the moment the profile is read as before
    // anything else is written.
    bool rewrite = false;
    // Said once: a loser whose bytes an earlier start kept was told then.
    eProgressTell tell = eProgressTell::e_none;
};
// The whole decision on the pair; with `read` e_none the profile is read
// as without either (its defaults, or refused).
cProgressDecision DecideProgressFiles(const cProgressFile& file, const cProgressFile& copy, uint32_t savedStamp);

// ---- what a lost part of a save costs ----

// The parts of the game in play's set, as its reading found them.
struct cSetParts {
    bool winWaits = false;    // a won level waiting for its finish or result sequence, read whole from save.dat
    bool damaged = false;     // a part damaged or missing
    bool refused = false;     // a part refused (something that cannot be read)
    bool islandLost = false;  // the island damaged or missing
};
// A waiting win is whole or gone: one whose set lost a part is given up
// together with everything it counted (medal, time, prize, sorts, beds),
// never kept beside an island or funds of another moment.
bool GivesUpWin(const cSetParts& parts);
// The file whose kept ".bad" copy records that the damage or loss of
// `part` was told: the part itself when it is there; for a missing one,
// which leaves no bytes to keep, its set's "save.dat", or "player.dat"
// when the game in play's "save.dat" is the one missing.
vek::filename LossRecord(const vek::filename& part, bool gameInPlay);

enum class eMark {
    e_none,       // no mark: a file of the layouts before the mark
    e_unchecked,  // a mark without a checksum (before the checksum)
    e_checked,    // today's mark, its checksum matching the file's bytes
    e_damaged,    // today's mark, its checksum not matching: damaged whole
};
// A file with a mark of either kind (its stamp and version were read).
inline bool IsMarked(eMark mark) { return mark == eMark::e_unchecked || mark == eMark::e_checked; }

// Today's mark, with the checksum of the stream's bytes and of the mark
// before it. The stamp 0 says no save is in hand (a file written on its
// own, as "player.dat" of a profile without a game in play).
void AppendMark(vek::cBitStream& out, uint32_t stamp, float version);
// Takes the mark off the stream's end and tells what it was. A checked or
// unchecked mark gives its stamp and version and leaves the bytes before
// it; a damaged one leaves the stream as it is, the stamp and version 0.
eMark TakeMark(vek::cBitStream& in, uint32_t* stamp, float* version);
// The bytes of a file whose mark was taken off (or that had none), with
// today's mark of that stamp and version at their end.
vek::cBitStream Remarked(const vek::cBitStream& body, uint32_t stamp, float version);

// A key of the stream's bytes (their CRC-32): the same file read again
// gives the same key.
uint32_t BytesKey(const vek::cBitStream& stream);

// The stamp of the save in the folder (its "save.dat"'s mark, checked or
// unchecked); 0 when it has none, is damaged or cannot be read.
uint32_t SavedStamp(const vek::filename& folder);

// The first ".bad" name of the file (a native path) nothing holds yet:
// "<name>.bad", then "<name>.bad1" up to "<name>.bad99"; "" when all are
// taken.
std::string FreeBadName(const std::string& nativePath);
// Room for one more ".bad" copy when every name is taken: the oldest copy
// ("<name>.bad") is removed and the others move down one name, so that the
// next copy takes the last name and the numbers stay in the order the
// copies were made. The path removed; "" when a name was free or the
// oldest copy cannot be removed.
std::string DropOldestBad(const std::string& nativePath);
// A copy of the file as "<name>.bad" (or the first free "<name>.badN"): a
// refused or damaged file the player may want back, kept before anything is
// written over it. Nothing when a copy of the same bytes is kept already.
void KeepAsBad(const vek::filename& file);
// Whether a ".bad" copy of the file holds its bytes as they are now: its
// damage was found (and told) before.
bool WasKeptAsBad(const vek::filename& file);
// The file moved aside as "<name>.bad" (or the first free "<name>.badN";
// true when there was no file); false, and a warning, when it cannot be
// moved.
bool MoveAsideAsBad(const vek::filename& file, const char* sender);

// A leftover "<name>.next" of a save cut short: put in place when the save
// it belongs to (the stamp) was committed, removed otherwise. A damaged one
// (its checksum not matching, or no mark) is moved aside as
// "<name>.next.bad", with a warning, and so is something that cannot be
// removed (a folder); false when it stays in the way.
bool SettlePending(const vek::filename& target, uint32_t committedStamp, const char* sender);

// A file of the set the save in progress did not write (no field to save,
// the island shown for another profile) joins the new set as it is: its
// bytes with the new stamp, as "<name>.next". Nothing when there is no such
// file, or it was written; a damaged file is never given a mark that would
// vouch for it (it keeps its own, of another save). False when it could not
// be read or written.
bool CarryOver(const vek::filename& target, uint32_t stamp);
// The set's files written as "<name>.next" put in place once "save.dat"
// committed the set, or removed when it was not committed.
void PutInPlace(const std::vector<vek::filename>& targets, bool committed);

} // namespace save_set
