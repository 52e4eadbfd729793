#include "engine/core/filename.h"

#include <cstring>

#include "platform/paths.h"
#include "platform/text.h"
#include "platform/process.h"

namespace vek {

namespace {

string g_Macros[e_macroCount];

struct cMacroName {
    const char* text;  // the name after "{", with its "}"
    size_t length;
};
// Tested in this order; the first one found is expanded.
const cMacroName g_MacroNames[e_macroCount] = {
    {"ExePath}", 8},
    {"StaticPath}", 11},
    {"AppPath}", 8},
    {"UserPath}", 9},
};

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Length of the longest macro value that the text starts with, compared with
// "/" and "\" as the same separator and ending at a separator or the end of
// the text. A rebuilt path that starts with a macro value keeps that value's
// case when it is parsed again.
size_t MacroPrefixLength(const std::string& text)
{
    size_t best = 0;
    for (const string& value : g_Macros) {
        const size_t n = value.size();
        if (n == 0 || n <= best || n > text.size()) continue;
        bool same = true;
        for (size_t i = 0; i < n && same; ++i) {
            const char a = text[i];
            const char b = value[i];
            same = (a == b) || (IsSeparator(a) && IsSeparator(b));
        }
        if (!same) continue;
        if (n < text.size() && !IsSeparator(text[n]) && !IsSeparator(value[n - 1])) continue;
        best = n;
    }
    return best;
}

bool EndsWithZip(const std::string& component)
{
    const size_t n = component.size();
    if (n < 4) return false;
    return component[n - 4] == '.' && platform::LowerAscii(component[n - 3]) == 'z' &&
           platform::LowerAscii(component[n - 2]) == 'i' && platform::LowerAscii(component[n - 1]) == 'p';
}

}  // namespace

void SetPathMacro(ePathMacro which, const string& value)
{
    if (which >= 0 && which < e_macroCount) g_Macros[which] = value;
}

const string& GetPathMacro(int which)
{
    static const string empty;
    if (which < 0 || which >= e_macroCount) return empty;
    return g_Macros[which];
}

void ResolvePathMacros(const string& appName)
{
    g_Macros[e_macroExePath] = platform::GetExecutableFolder();
    g_Macros[e_macroStaticPath] = "data";
    // Without a home folder there is no data folder: the value stays empty
    // rather than naming a folder at the file-system root. A data folder that
    // cannot be made still names where it should be, so whatever writes there
    // fails there and nowhere else.
    const std::string data = platform::FindCommonAppDataFolder();
    if (!data.empty()) platform::MakeFolders(data, 0700);
    g_Macros[e_macroAppPath] = data.empty() ? string() : string(data + "/quarne/" + appName);
    g_Macros[e_macroUserPath] = platform::GetUserProfileFolder();
}

void SplitPath(const std::string& source, string& drive, string& zip, string& dir, string& name,
               string& ext)
{
    std::string text(source);
    // Characters in [keepBegin, keepEnd) keep their case: the expanded macro value.
    size_t keepBegin = 0;
    size_t keepEnd = 0;

    // Macro: only the first "{" is looked at, and only one macro is expanded.
    const size_t brace = text.find('{');
    if (brace != std::string::npos) {
        for (int i = 0; i < e_macroCount; ++i) {
            const cMacroName& m = g_MacroNames[i];
            if (text.compare(brace + 1, m.length, m.text) == 0) {
                text.replace(brace, m.length + 1, g_Macros[i]);
                keepBegin = brace;
                keepEnd = brace + g_Macros[i].size();
                break;
            }
        }
    }
    if (keepEnd == keepBegin) {
        keepBegin = 0;
        keepEnd = MacroPrefixLength(text);
    }

    auto dropFront = [&](size_t n) {
        text.erase(0, n);
        keepBegin = keepBegin > n ? keepBegin - n : 0;
        keepEnd = keepEnd > n ? keepEnd - n : 0;
    };

    // Long-path prefix "\\?\".
    if (text.size() > 3 && text[0] == '\\' && text[1] == '\\' && text[2] == '?' && text[3] == '\\')
        dropFront(4);

    drive.clear();
    if (text.size() > 1 && text[1] == ':') {
        drive.assign(1, text[0]);
        dropFront(2);
    }

    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '/')
            text[i] = '\\';
        else if (i < keepBegin || i >= keepEnd)
            text[i] = platform::LowerAscii(text[i]);
    }

    if (!text.empty() && text[0] == '\\') {
        // Without a drive letter a leading separator makes the path rooted.
        if (drive.empty()) drive = g_szRootDrive;
        dropFront(1);
    }

    std::string folder;
    std::string file;
    const size_t lastSep = text.rfind('\\');
    if (lastSep == std::string::npos) {
        file = text;
    } else {
        folder = text.substr(0, lastSep);
        file = text.substr(lastSep + 1);
    }

    const size_t dot = file.rfind('.');
    if (dot == std::string::npos) {
        name = file;
        ext.clear();
    } else {
        name = file.substr(0, dot);
        ext = file.substr(dot + 1);
    }

    // Archive: the first folder component whose name ends in ".zip".
    zip.clear();
    size_t start = 0;
    while (start <= folder.size()) {
        size_t end = folder.find('\\', start);
        if (end == std::string::npos) end = folder.size();
        if (EndsWithZip(folder.substr(start, end - start))) {
            zip = folder.substr(0, end);
            folder.erase(0, end < folder.size() ? end + 1 : end);
            break;
        }
        start = end + 1;
    }
    dir = folder;
}

void MakePath(const string& drive, string& path, const string& zip, const string& dir,
              const string& name, const string& ext)
{
    path.clear();
    if (!drive.empty()) {
        if (drive == g_szRootDrive) {
            path += '\\';
        } else {
            path += drive;
            path += ":\\";
        }
    }
    if (!zip.empty()) {
        path += zip;
        path += '\\';
    }
    if (!dir.empty()) {
        path += dir;
        path += '\\';
    }
    if (!name.empty()) path += name;
    if (!ext.empty()) {
        path += '.';
        path += ext;
    }
}

string MakePath(const string& drive, const string& zip, const string& dir, const string& name,
                const string& ext)
{
    string path;
    MakePath(drive, path, zip, dir, name, ext);
    return path;
}

filename::filename(const char* source) { Assign(source ? source : ""); }

filename::filename(const std::string& source) { Assign(source); }

filename& filename::operator=(const char* source)
{
    Assign(source ? source : "");
    return *this;
}

void filename::Assign(const std::string& source)
{
    SplitPath(source, drive, zip, dir, name, ext);
    Rebuild();
}

void filename::Rebuild() { MakePath(drive, path, zip, dir, name, ext); }

void filename::replace_ext(const string& newExt)
{
    ext = newExt;
    Rebuild();
}

string filename::GetDir() const { return MakePath(drive, zip, dir, string(), string()); }

string filename::GetFile() const { return MakePath(string(), string(), string(), name, ext); }

filename AppendPath(const filename& folder, const std::string& text)
{
    std::string joined(folder.path);
    if (!text.empty() && text[0] == '.') {
        joined += text;
    } else {
        // An empty folder stays relative: no separator is put in front.
        if (!joined.empty() && joined.back() != '\\') joined += '\\';
        joined += text;
    }
    return filename(joined);
}

filename AppendPath(const filename& folder, const char* text)
{
    return AppendPath(folder, std::string(text ? text : ""));
}

}  // namespace vek
