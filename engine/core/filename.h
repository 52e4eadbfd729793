#pragma once
// File names inside the engine.
//
// Every file name is written with one of the four path macros and "/"
// ("{StaticPath}/gui/main.lua") and goes through vek::filename, which expands
// the macro, turns "/" into "\" and lower-cases the text, then splits it into
// drive, ZIP archive, folders, name and extension. "\" is the engine's own
// separator; platform::ToNativePath gives the "/" form for anything that
// leaves the engine (POSIX calls, minizip, decoders, Lua's io).
//
// On this system two rules differ from a plain lower-casing split:
// - the expanded macro value keeps its case (home folders may hold capitals),
//   also when a rebuilt path that starts with that value is parsed again;
// - a path that begins with a separator is rooted: `drive` holds the root
//   marker "/" and the rebuilt path begins with "\", so the root survives
//   SplitPath -> MakePath -> AppendPath.
#include "engine/core/vekstring.h"

namespace vek {

// The path macros, in the order the engine resolves them.
enum ePathMacro {
    e_macroExePath = 0,
    e_macroStaticPath = 1,
    e_macroAppPath = 2,
    e_macroUserPath = 3,
    e_macroCount = 4,
};

// Resolves the four macro values in order: the executable's folder, "data",
// the per-user application-data folder + "/quarne/" + appName, and the
// user's home folder. A query that fails leaves its macro empty; {AppPath} is
// empty when no home folder is known (never a folder at the file-system
// root). {AppPath} itself is not created here.
void ResolvePathMacros(const string& appName);

// Sets one macro value directly (tests, tools). Values are kept in the
// native form ("/home/alice/...").
void SetPathMacro(ePathMacro which, const string& value);

// The value of one macro (native form); an empty string for a bad index.
const string& GetPathMacro(int which);

// The root marker held in `drive` by a rooted path.
inline constexpr const char* g_szRootDrive = "/";

class filename {
public:
    filename() = default;
    filename(const char* source);
    filename(const std::string& source);
    filename(const filename&) = default;
    filename(filename&&) = default;
    ~filename() = default;

    filename& operator=(const char* source);
    filename& operator=(const filename&) = default;
    filename& operator=(filename&&) = default;

    // Sets the extension (without the dot) and rebuilds the path.
    void replace_ext(const string& newExt);

    const char* c_str() const { return path.c_str(); }
    bool empty() const { return path.empty(); }

    // Drive, archive and folders rebuilt with a trailing "\", no name
    // (the Lua property "dir").
    string GetDir() const;
    // Name and extension (the Lua property "file").
    string GetFile() const;

    // Re-parses the given text into this object.
    void Assign(const std::string& source);
    // Rebuilds `path` from the five parts.
    void Rebuild();

    string path;   // the rebuilt full path
    string drive;  // drive letter (case kept), the root marker "/", or empty
    string zip;    // archive path up to and including ".zip"; no drive, no trailing "\"
    string dir;    // folders after the archive, no leading or trailing "\"
    string name;   // file name without extension
    string ext;    // extension without the dot
};

// Splits a source text into its parts (expanding the first macro).
void SplitPath(const std::string& source, string& drive, string& zip, string& dir, string& name,
               string& ext);

// Rebuilds a path from its parts into `path`.
void MakePath(const string& drive, string& path, const string& zip, const string& dir,
              const string& name, const string& ext);
// The same, returning the path.
string MakePath(const string& drive, const string& zip, const string& dir, const string& name,
                const string& ext);

// The folder's path joined with text: a text beginning with "." is appended
// directly (an extension-like suffix), otherwise with one "\" between them.
// The result is parsed like any other path.
filename AppendPath(const filename& folder, const std::string& text);
filename AppendPath(const filename& folder, const char* text);

} // namespace vek
