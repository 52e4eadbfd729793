#pragma once
// Well-known folders of the user, the environment, folder creation and the
// conversion of engine paths to the native form.
#include <string>

namespace vek::platform {

// The value of an environment variable; empty when it is unset or empty.
std::string EnvValue(const char* name);

// Creates the folder and its missing parents with the given permission bits.
// True when it exists as a folder at the end. On failure `reason` (when
// given) says why, as the system words it ("Not a directory").
bool MakeFolders(const std::string& path, unsigned mode, std::string* reason = nullptr);

// MakeFolders with mode 0700, then checks that files can be made inside.
// The folder where the game keeps its log and its saves must pass this.
bool MakeWritableFolder(const std::string& path, std::string* reason = nullptr);

// Where the per-user application-data folder is: $XDG_DATA_HOME, else
// $HOME/.local/share. Nothing is created. Native form, no trailing "/";
// empty when no home folder can be found.
std::string FindCommonAppDataFolder();

// FindCommonAppDataFolder, created (with missing parents, mode 0700) when it
// does not exist yet; empty when it cannot be found or made.
std::string GetCommonAppDataFolder();

// The user's home folder: $HOME, else the password database. Empty on failure.
std::string GetUserProfileFolder();

// The desktop: XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (or
// ~/.config/user-dirs.dirs), else $HOME/Desktop.
std::string GetDesktopFolder();

// The engine path with "\" turned into "/" (a leading "\" is the root).
std::string ToNativePath(const std::string& internalPath);

}  // namespace vek::platform
