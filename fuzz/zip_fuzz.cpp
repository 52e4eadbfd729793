// Random bytes written as an archive, then every entry opened and read
// through vek::cFile, as the loaders do.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <minizip/unzip.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/core/datamanager.h"
#include "engine/core/file.h"

namespace {

// Plain character arrays: they are still there when the exit handler runs.
char g_szFolder[4096];
char g_szArchive[4200];

void RemoveWorkFolder()
{
    std::remove(g_szArchive);
    rmdir(g_szFolder);
}

// A private folder for the archive, made on first use, removed at exit.
const char* ArchivePath()
{
    if (!g_szFolder[0]) {
        const char* tmp = std::getenv("VEK_TEST_TMP");
        if (!tmp || !*tmp) tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/zipfuzz.XXXXXX";
        if (tmpl.size() >= sizeof g_szFolder || !mkdtemp(tmpl.data())) std::abort();
        std::snprintf(g_szFolder, sizeof g_szFolder, "%s", tmpl.c_str());
        std::snprintf(g_szArchive, sizeof g_szArchive, "%s/f.zip", g_szFolder);
        vek::SetPathMacro(vek::e_macroStaticPath, tmpl);
        std::atexit(RemoveWorkFolder);
    }
    return g_szArchive;
}

// Entry names as the archive lists them (at most a few, so that one input
// cannot make a run slow).
std::vector<std::string> ListEntries(const std::string& archive)
{
    std::vector<std::string> names;
    unzFile zip = unzOpen64(archive.c_str());
    if (!zip) return names;
    for (int err = unzGoToFirstFile(zip); err == UNZ_OK && names.size() < 32;
         err = unzGoToNextFile(zip)) {
        char name[512];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        name[sizeof name - 1] = '\0';
        names.emplace_back(name);
    }
    unzClose(zip);
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string archive = ArchivePath();
    FILE* out = std::fopen(archive.c_str(), "wb");
    if (!out) return 0;
    if (size) std::fwrite(data, 1, size, out);
    std::fclose(out);

    std::vector<std::string> names = ListEntries(archive);
    names.push_back("a.txt");
    for (const std::string& name : names) {
        vek::cFile file;
        if (file.Open(vek::filename("{StaticPath}/f.zip/" + name), "rb") != 0) continue;
        const size_t declared = file.GetSize();
        std::vector<char> buffer(4096);
        size_t total = 0;
        while (size_t n = file.Read(buffer.data(), 1, buffer.size())) {
            total += n;
            if (total > declared) std::abort();  // never more than the entry declares
        }
        file.Close();
        // The whole-file helper on the same entry: bounded by the declared size.
        vek::string text;
        vek::cDataManager::ReadText(&text, vek::filename("{StaticPath}/f.zip/" + name));
    }
    return 0;
}
