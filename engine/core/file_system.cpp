#include "engine/core/file.h"
#include "engine/core/format.h"
#include "engine/core/log.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

namespace {

std::string NativeOf(const filename& file) { return platform::ToNativePath(file.path); }

// Folders of "{AppPath}" and above are private to the user; everything else
// follows the umask.
unsigned FolderMode(const std::string& nativePrefix)
{
    std::string app = GetPathMacro(e_macroAppPath);
    while (app.size() > 1 && app.back() == '/') app.pop_back();
    if (app.empty() || nativePrefix.empty()) return 0777;
    if (app == nativePrefix) return 0700;
    if (app.size() > nativePrefix.size() && app.compare(0, nativePrefix.size(), nativePrefix) == 0 &&
        (app[nativePrefix.size()] == '/' || nativePrefix.back() == '/'))
        return 0700;
    return 0777;
}

}  // namespace

struct cFileSystem::cSearchState {
    platform::cDirSearch Search;
    filename Folder;
};

cFileSystem::cFileSystem() : m_pSearch(new cSearchState) {}

cFileSystem::~cFileSystem()
{
    m_pSearch->Search.Close();
    delete m_pSearch;
}

namespace {

// The folder joined with an entry's name, the name in its real case.
filename JoinEntry(const filename& folder, const std::string& entryName)
{
    std::string joined(folder.path);
    if (!joined.empty() && joined.back() != '\\') joined += '\\';
    joined += 'x';  // placeholder, replaced by the real name below
    filename result(joined);
    const size_t dot = entryName.rfind('.');
    if (dot == std::string::npos) {
        result.name = entryName;
        result.ext.clear();
    } else {
        result.name = entryName.substr(0, dot);
        result.ext = entryName.substr(dot + 1);
    }
    result.Rebuild();
    return result;
}

// An entry whose name holds the engine's separator cannot be named by an
// engine path, so the enumeration leaves it out.
bool Nameable(const platform::cDirEntry& entry)
{
    return entry.name.find('\\') == std::string::npos;
}

}  // namespace

filename cFileSystem::GetFirst(const filename& folder)
{
    m_pSearch->Folder = folder;
    m_pSearch->Search.Close();
    platform::cDirEntry entry;
    if (!m_pSearch->Search.First(folder.path.empty() ? std::string(".") : NativeOf(folder), entry))
        return filename();
    while (!Nameable(entry))
        if (!m_pSearch->Search.Next(entry)) return filename();
    return JoinEntry(m_pSearch->Folder, entry.name);
}

filename cFileSystem::GetNext()
{
    platform::cDirEntry entry;
    do {
        if (!m_pSearch->Search.Next(entry)) return filename();
    } while (!Nameable(entry));
    return JoinEntry(m_pSearch->Folder, entry.name);
}

bool cFileSystem::Exist(const filename& file)
{
    if (file.path.empty() || !file.zip.empty()) return false;
    return platform::PathExists(NativeOf(file));
}

bool cFileSystem::IsFolder(const filename& file)
{
    if (file.path.empty() || !file.zip.empty()) return false;
    return platform::IsFolder(NativeOf(file));
}

bool cFileSystem::FullAccess(const filename& file)
{
    if (file.path.empty()) return false;
    return platform::GrantUserAccess(NativeOf(file));
}

bool cFileSystem::CreateFolder(const filename& folder)
{
    const strlist pieces = Split(folder.path, "\\");
    if (pieces.empty()) return false;

    // Prefixes are built in the native form from the rooted path, so that a
    // rooted folder is never re-created below the working folder.
    std::string prefix = folder.drive == g_szRootDrive ? "/" : "";
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        prefix += pieces[i];
        platform::MakeDir(prefix, FolderMode(prefix));
        prefix += '/';
    }
    prefix += pieces.back();
    const bool created = platform::MakeDir(prefix, FolderMode(prefix));
    if (created && !FullAccess(folder))
        LogWarning("cFileSystem", "Folder %s security info not changed\n", folder.path);
    return created;
}

bool cFileSystem::DeleteFolder(const filename& folder)
{
    if (folder.path.empty()) return false;
    return platform::RemoveTree(NativeOf(folder));
}

}  // namespace vek
