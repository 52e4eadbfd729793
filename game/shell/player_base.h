#pragma once
// A player profile as the shell object works with it: it loads and saves
// itself, becomes current (Activate) and stops being current (Deactivate),
// and removes its folder when the profile is deleted. The game supplies the
// implementation.
#include "engine/core/vekstring.h"

// A profile folder being deleted: "<folder>.deleting".
inline constexpr const char kDeletingSuffix[] = ".deleting";

// The folder name is that of a profile folder being deleted.
inline bool IsFolderBeingDeleted(const vek::string& name)
{
    const size_t n = sizeof kDeletingSuffix - 1;
    return name.size() > n && name.compare(name.size() - n, n, kDeletingSuffix) == 0;
}

class cPlayerBase {
public:
    virtual ~cPlayerBase() = default;
    // Reads the profile's progress; false when it cannot be read (the
    // profile then keeps its defaults).
    virtual bool LoadPlayer() = 0;
    virtual bool SavePlayer() = 0;
    // Loads the game in play when the profile becomes current.
    virtual bool Activate() = 0;
    // Saves the game in play when the profile stops being current.
    virtual bool Deactivate() = 0;
    // Saves the game in play when the program ends with this profile
    // current; false when it could not be saved.
    virtual bool DeactivateOnExit() { return Deactivate(); }
    // Removes the profile's folder and files. The folder is first renamed
    // to its name followed by kDeletingSuffix, which the profile scan never
    // lists and the next start removes.
    virtual bool DeleteFiles() = 0;
    virtual const vek::string& GetName() const = 0;
    virtual vek::string GetNameCopy() const = 0;

    // Two listed profiles of one name: the game never makes them, so one
    // holds a copy of the other's progress file, or a link to it. How
    // surely the file in this profile's folder is its own: e_claimLink (a
    // link, or a folder that is one), e_claimLoose (a file that does not go
    // with the game in play beside it), e_claimOwn (one that does).
    enum eFileClaim : int { e_claimLink = 0, e_claimLoose = 1, e_claimOwn = 2 };
    virtual eFileClaim ClaimOnFile() const { return e_claimLoose; }
    // The progress file is another profile's: it is kept aside, unread, and
    // the profile is read as one without it (listed under its folder's
    // name, and told of). Nothing of the other profile is written over.
    virtual void DropCopiedFile() {}
};
