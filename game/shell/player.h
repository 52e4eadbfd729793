#pragma once
// The game's player profile: a name, a folder below "{AppPath}/profile/",
// the player's progress ("player.dat") and the game in play ("save.dat").
// Slot -1 is the game in play; a slot of 0 or more is a numbered sub-folder
// holding the save a level starts from.
#include <cstdint>
#include <vector>

#include "engine/core/filename.h"
#include "engine/core/vekstring.h"
#include "game/shell/player_base.h"
#include "game/shell/save_set.h"
#include "game/world/level_task.h"

class cIsland;
namespace vek {
class cBitStream;
}

// The six upgrade levels, by eUpgrade.
class cUpgrades {
public:
    enum eUpgrade : int {
        e_upSpeed = 0,      // the gardener's walking speed
        e_upCanVolume = 1,  // the watering can's volume
        e_upBinVolume = 2,  // the basket's volume
        e_upWaterTime = 3,  // how long watering takes
        e_upWeedTime = 4,   // how long weeding takes
        e_upBinTime = 5,    // how long sowing, harvesting and loading take
    };
    static constexpr int kCount = e_upBinTime + 1;

    cUpgrades() : m_Levels(kCount, 0) {}

    // The basket's volume goes up to level 2, the others to 3. An index
    // above 5 reports true (nothing to check) but Upgrade ignores it; a
    // negative one is false.
    bool CanUpgrade(int index) const;
    // Points for the next level; 0 at the maximum or for an unknown index.
    int GetPrice(int index) const;
    // Raises the level and applies it to the level field at once (the
    // gardener's speed, the watering cans' capacity).
    void Upgrade(int index);
    // Six int32. Levels read are clamped to their range. False when the
    // stream ran short (the missing levels read as 0).
    bool Read(vek::cBitStream& stream);
    bool Write(vek::cBitStream& stream) const;

    int GetLevel(int index) const;
    void SetLevel(int index, int level);
    void Clear() { m_Levels.assign(kCount, 0); }

private:
    std::vector<int32_t> m_Levels;
};

class cPlayer : public cPlayerBase {
public:
    // An empty folder takes a fresh "plrNNN" folder from the profile counter.
    explicit cPlayer(const vek::string& folder);

    bool LoadPlayer() override;
    // False (and a warning) when the file could not be written.
    bool SavePlayer() override;
    bool Activate() override;
    bool Deactivate() override;
    // As Deactivate, also while the island has the focus.
    bool DeactivateOnExit() override;
    bool DeleteFiles() override;
    const vek::string& GetName() const override { return m_strName; }
    vek::string GetNameCopy() const override { return m_strName; }

    // Clears the progress of the game in play; the profile's lists, name,
    // progress and level to continue stay.
    virtual void Reset();
    virtual bool LoadGame(int slot);
    // Writes "save.dat", then the level field's and the island's files;
    // for the game in play (slot -1) "player.dat" too, so that the files
    // on disk always hold one moment of the profile. False (and a warning)
    // when one of them could not be written.
    virtual bool SaveGame(int slot);
    // Saves the game in play while the island's result sequence goes on:
    // the files hold the win as the sequence will leave it (the medal, and
    // the step to the next level once the level's building is bought),
    // while the sequence still takes those steps itself.
    bool SaveGameDuringResults();
    // What changed in the profile's progress since the game in play was
    // last saved or read (a medal given up by a level started afresh, say)
    // goes back to what the files hold: the program is ending, or the
    // profile stops being current, without saving the game in play.
    void KeepOnlyWhatIsSaved();

    // The profile's folder (created when missing), or the slot's sub-folder.
    vek::filename GetProfilePath(int slot) const;

    // The game of the slot cannot be read (its "save.dat" exists but cannot
    // be opened, or "player.dat" has a version this game does not know):
    // none of the save's three files is read or written over.
    bool IsGameRefused(int slot) const;
    // A file of the slot's save was found damaged or missing since it was
    // last saved.
    bool IsSetDamaged(int slot) const;
    // A game in play that "Continue" can resume: one is saved, and it was
    // read whole, every file of its set (a refused, damaged or incomplete
    // one starts its level again from the level's own save).
    bool HasGameToContinue() const;
    // The game in play is a won level whose finish, upgrade offer or
    // building purchase is still to come: it is not a level to give up, and
    // "Play" goes on with it without asking.
    bool HasWinToResume() const;
    // The save's files as the level field and the island write them: while
    // SaveGame runs, "<name>.next", which the rename of "save.dat" commits.
    vek::filename GetSetFileForWriting(int slot, const char* name) const;
    // The stamp the files of the save in hand share (0: none known).
    uint32_t GetSetStamp() const { return m_uSetStamp; }
    // A mark read from "level.dat" or "island.dat" that shows the file
    // belongs to another save than the "save.dat" loaded.
    bool IsForeignMark(uint32_t stamp) const { return m_uSetStamp != 0 && stamp != 0 && stamp != m_uSetStamp; }
    // Whether every file of the save in hand was written with its mark:
    // SaveGame marks all three, so one of them without a mark does not
    // belong with its "save.dat". An older save marked afterwards carries
    // its mark on "save.dat" alone (false).
    bool IsSetMarkedWhole() const { return m_bSetMarkedWhole || m_bCheckedProfile; }
    // Whether the save in hand's "save.dat" carries a checksum: every file
    // of its set then carries one (SaveGame writes them so).
    // In a checked profile every file carries one, whatever its "save.dat".
    bool IsSetChecked() const { return m_bSetChecked || m_bCheckedProfile; }
    // Whether the slot's save holds the level field it was written with: the
    // game in play of a level, read whole from a checked profile. Its
    // "level.dat" missing is then a loss to tell, not a field never saved.
    bool ExpectsField(int slot) const;
    // A damaged part of the slot's save ("level.dat", "island.dat") is
    // logged once in a run until the slot is saved again, the same bytes
    // read again (the profile made current again, the level continued)
    // not again: whether it was already logged, and the note that it now
    // is. `bytes` tells the file's bytes (save_set::BytesKey).
    bool WasPartDamageLogged(int slot, const char* name, uint32_t bytes) const;
    void NotePartDamageLogged(int slot, const char* name, uint32_t bytes) const;
    // Told by the level field and the island when their part of the save
    // in progress could not be written (or was refused): the set is then
    // not committed, and the last save stays whole.
    void NoteSetPartFailed() const { m_bSetPartFailed = true; }
    // Told by the level field and the island when they read their file of
    // the slot's save: it was damaged (the next save keeps every file of
    // the set as "<name>.bad" first), or it was refused (kept as it is).
    // The damaged file, when there is one, is kept as ".bad" at once: found
    // again at a later start with nothing saved in between, it is not told
    // again.
    void NoteSetPartDamaged(int slot, const vek::filename& file = vek::filename()) const;
    void NoteSetPartRefused(int slot) const;

    // What the player is to hear of the profile's files, once per run: the
    // game in play could not be read and will not be saved (e_noticeRefused),
    // or a damaged part starts afresh (e_noticeDamaged). Later calls give
    // e_noticeNone. A numbered slot (a level's start) tells once of its own:
    // one refused or damaged starts afresh while the game in play is still
    // saved (e_noticeDamaged). A progress file read back from its copy with
    // nothing lost is e_noticeRestored; a lost file, of which no copy could
    // be kept, starting afresh is e_noticeMissing.
    enum eLoadNotice : int {
        e_noticeNone = 0,
        e_noticeRefused = 1,
        e_noticeDamaged = 2,
        e_noticeRestored = 3,
        e_noticeMissing = 4,
    };
    eLoadNotice TakeLoadNotice(int slot = -1);

    vek::string m_strFolder = "plr000";
    vek::string m_strName;
    int32_t m_iLevel = -1;
    int32_t m_iProgress = 0;
    int32_t m_iContinueLevel = -1;
    std::vector<int32_t> m_Results;
    std::vector<int32_t> m_Events;
    std::vector<int32_t> m_Hints;
    std::vector<float> m_Times;
    float m_fClock = 0.0f;
    cLevelTaskSet m_TaskSet;
    std::vector<cLevelTask> m_Tasks;
    // The index of the next definition task of the level to join.
    int32_t m_iLevelValue = 0;
    // The index of the bed layout the garden uses (it grows with the bed award).
    int32_t m_iPlayerValue = 0;
    int32_t m_iMoney = 0;
    int32_t m_iIslandMoney = 0;
    std::vector<int32_t> m_CarLoad;
    cUpgrades m_Upgrades;
    int32_t m_iSorts = 0;
    int32_t m_iAnimals = -1;
    float m_fVersion = 0.9f;
    std::vector<int32_t> m_Values;
    std::vector<int32_t> m_AnimalCounts;
    // What a won level in play still has to show before its result
    // sequence, kept with the game in play: its finish (saved as the level
    // is won, before the finish counts it) or its upgrade offer (saved once
    // the finish has counted the win). Files written before it read as none.
    enum eWinStep : int32_t { e_winNone = 0, e_winFinish = 1, e_winUpgrades = 2 };
    int32_t m_iWinStep = e_winNone;

    // ---- a progress file that is another profile's ----

    // A link (the file, or the profile's folder) claims least; a file whose
    // mark is that of the "save.dat" beside it (or, without a mark, one
    // with no "save.dat" beside it) claims most.
    eFileClaim ClaimOnFile() const override;
    // "player.dat" goes aside as "player.dat.bad" and the profile is read
    // again without it. In a linked folder, or when it cannot be moved,
    // nothing is moved: the profile is refused, and none of its files is
    // written.
    void DropCopiedFile() override;

private:
    // What reading one file of the profile's progress found.
    enum ePlayerRead { e_readOk, e_readMissing, e_readUnreadable, e_readFailed, e_readUnknownVersion, e_readDamaged };
    // Reads "player.dat" or its copy into the profile (the tutorial switch
    // into the host); on anything but e_readOk the profile is as it was.
    // `why` says what is wrong, `version` is the layout the file names (0
    // when none was read) and `stamp` its mark's.
    ePlayerRead ReadPlayerFile(const vek::filename& file, vek::string* why, float* version, uint32_t* stamp);
    // Before "player.dat" and its copy are written in today's layout: gives
    // every save of the profile written without today's mark that mark,
    // with the layout it has and one stamp for each save's files, so that
    // none is ever read in another layout and the profile can be a checked
    // one. The game in play's files are left to `ConvertGameInPlay`. True
    // when no file is left without it.
    bool MarkOlderSaves(const vek::filename& folder);
    // The same for the game in play's files, "save.dat" last, once
    // "player.dat" names its stamp (`m_uPlayStamp`, chosen here when it has
    // none): a program ended in between leaves files that still pair.
    // `part` 0 marks "level.dat" and "island.dat", 1 "save.dat".
    bool ConvertGameInPlay(const vek::filename& folder, int part);
    // A damaged "save.dat" of the slot: its whole record takes its defaults
    // (those the won levels grant), the set is kept at the next save, and a
    // game in play is no longer offered to continue.
    void TakeGameDefaults(int slot, const vek::filename& file = vek::filename());
    // The game in play's files in the folder do not belong with the
    // profile's progress (a "player.dat" of another moment, or none): they
    // go aside as "<name>.bad", unread, with a copy of "player.dat"; the
    // player is told once. False when one could not be moved.
    bool DropGameInPlay(const vek::filename& folder, const char* why);
    // Writes the stream to the file, first keeping a damaged earlier file as
    // "<name>.bad" when loading found it damaged.
    bool WriteFile(const vek::cBitStream& stream, const vek::filename& folder, const char* name,
                   bool damaged);
    // "player.dat" as it is written, in the given layout, without its mark.
    vek::cBitStream PlayerBytes(float version) const;
    // The game in play is given up: not offered to continue, its waiting
    // win with it, and "player.dat" written next names none.
    void GiveUpGameInPlay();
    // After a refusal of the slot's save: the awards its levels won grant
    // (below the progress for the game in play), and the island funds, the
    // upgrades from the newest level's save below that reads whole. The
    // slot of that save, whose island is loaded (-2: none).
    int RestoreEarned(int slot);
    // The island of the save RestoreEarned chose (-2: a fresh island), read
    // as that save's own.
    void LoadIslandOfSave(cIsland* island, int from);

    // The part of "player.dat" that belongs with the game in play, as the
    // files on disk hold it (last saved or read).
    struct cProgress {
        int32_t progress = 0;
        int32_t continueLevel = -1;
        std::vector<int32_t> results;
        std::vector<float> times;
        std::vector<int32_t> values;
        std::vector<int32_t> animalCounts;
    };
    cProgress TakeProgress() const;
    cProgress m_Saved;
    // The stamp of the game in play's save that "player.dat" belongs to
    // (0: none known); the mark "player.dat" is written with.
    uint32_t m_uPlayStamp = 0;

    // Set when "player.dat" was read but held less than its own counts say
    // (a damaged save set is in m_DamagedSets).
    bool m_bPlayerDamaged = false;
    // The damaged "player.dat" was kept as ".bad" when it was written over
    // on its own: the game in play's save, still to keep its set, leaves
    // that copy as it is.
    bool m_bPlayerKept = false;
    // "player.dat" was refused (a version this game does not know): neither
    // it nor any save of the profile is written over.
    bool m_bPlayerRefused = false;
    // Slots whose "save.dat" exists but could not be read.
    std::vector<int32_t> m_RefusedSlots;
    uint32_t m_uSetStamp = 0;
    bool m_bSetMarkedWhole = false;
    bool m_bSetChecked = false;
    // The game in play on disk was last found not whole (missing, damaged,
    // dropped) rather than read or written whole: it is not offered to
    // continue.
    bool m_bGameInPlayLost = false;
    // The profile is a checked one (it holds the copy of "player.dat", or a
    // file with today's mark and no conversion under way): every file of it
    // carries today's mark (save_set::IsCheckedProfile).
    bool m_bCheckedProfile = false;
    // "player.dat" was missing or damaged and its copy read in its place:
    // the player is still to hear of it.
    bool m_bPlayerRestoredUntold = false;
    // Slots with a damage not known from an earlier start (told once).
    mutable std::vector<int32_t> m_FreshDamage;
    // Those of them whose damaged file was kept as ".bad" (not only lost).
    mutable std::vector<int32_t> m_FreshKept;
    // Slots whose island, as last loaded, was damaged or gone.
    mutable std::vector<int32_t> m_IslandLost;
    // The slots' parts whose damage was logged since the slot was saved.
    struct cLoggedPart {
        int32_t slot;
        vek::string name;
        uint32_t bytes;
    };
    mutable std::vector<cLoggedPart> m_LoggedParts;
    // The layout of the profile's saves written before they carried their
    // own version: the version "player.dat" had when read.
    float m_fUnmarkedVersion = 0.9f;
    // The slot SaveGame is writing (-2 none).
    int32_t m_iWritingSlot = -2;
    mutable bool m_bSetPartFailed = false;
    // Slots whose save had a damaged or refused file when read: the first
    // until it is saved again, the second for the run.
    mutable std::vector<int32_t> m_DamagedSets;
    mutable std::vector<int32_t> m_RefusedSets;
    // Slots whose damaged "save.dat" was logged since it was last saved.
    std::vector<int32_t> m_LoggedDamage;
    bool m_bNoticeGiven = false;
    // A damage the player was not yet told of, though a save mended it.
    bool m_bDamageUntold = false;
    // A lost file the player was not yet told of, though a save mended it.
    bool m_bMissingUntold = false;
    std::vector<int32_t> m_ToldSlots;
};
