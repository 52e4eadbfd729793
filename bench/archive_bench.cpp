// Reading ZIP archive entries through vek::cFile, against minizip used
// directly on the same archive in the same run.
//
// 1. A ~50 MB archive (a few thousand small entries and a few large ones,
//    stored and deflated mixed): every entry read whole, once through
//    cFile (open by name, GetSize, Read, Close) and once by walking the
//    archive with minizip. Rounds alternate; the best round of each counts.
//    Goal: cFile within 1.1x of the direct reader.
// 2. An archive of 10,000 small entries: every entry opened by name through
//    cFile. Goal: well under a second in total.
//
// A plain program rather than a google-benchmark one: the interesting number
// is the ratio of two readers measured side by side. Each case has a time
// budget; a reader slower than that is stopped and its total projected from
// the part it finished, so a run stays near a minute even on a slow file
// layer.
#include <minizip/unzip.h>
#include <minizip/zip.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/file.h"
#include "engine/core/filename.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

struct BenchEntry {
    std::string name;
    size_t size = 0;
    bool deflate = false;
    bool text = false;  // compressible content (else noise, like encoded sound)
    int level = 6;      // deflate level
};

// Deterministic content: noise for stored media, words for text.
void FillEntry(const BenchEntry& e, uint32_t seed, std::string& out)
{
    static const char* const words[] = {"sprite ", "level ", "tile ", "\n", "enemy ", "0.25 ",
                                        "return ", "local ", "end\n", "frame ", "{x=", "} "};
    out.clear();
    out.reserve(e.size);
    uint32_t s = seed * 2654435761u + 1;
    while (out.size() < e.size) {
        s = s * 1664525u + 1013904223u;
        if (e.text)
            out += words[(s >> 16) % 12];
        else
            out += static_cast<char>(s >> 24);
    }
    out.resize(e.size);
}

bool WriteArchive(const std::string& path, const std::vector<BenchEntry>& entries)
{
    zipFile zf = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zf) return false;
    std::string data;
    uint32_t seed = 1;
    bool ok = true;
    for (const BenchEntry& e : entries) {
        FillEntry(e, seed++, data);
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip64(zf, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                         e.deflate ? Z_DEFLATED : 0, e.deflate ? e.level : 0, 0) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zf, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

struct Pass {
    double seconds = 0.0;
    double projected = 0.0;  // the whole pass, projected when stopped early
    size_t entries = 0;
    uint64_t bytes = 0;
    uint32_t checksum = 0;
    bool complete = true;
};

// Walks the archive with minizip: the fastest way to read every entry.
Pass ReadDirect(const std::string& nativeZip, std::vector<char>& buffer)
{
    Pass p;
    const Clock::time_point start = Clock::now();
    unzFile zip = unzOpen64(nativeZip.c_str());
    if (!zip) return p;
    for (int err = unzGoToFirstFile(zip); err == UNZ_OK; err = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        if (unzOpenCurrentFile(zip) != UNZ_OK) break;
        const int n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(info.uncompressed_size));
        unzCloseCurrentFile(zip);
        if (n < 0) break;
        p.bytes += static_cast<uint64_t>(n);
        p.checksum = static_cast<uint32_t>(
            adler32(p.checksum, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(n)));
        ++p.entries;
    }
    unzClose(zip);
    p.seconds = p.projected = Seconds(start);
    return p;
}

// Reads the entries by name through the file layer, as a loader would.
Pass ReadThroughFile(const std::vector<vek::filename>& names, std::vector<char>& buffer, double budget)
{
    Pass p;
    const Clock::time_point start = Clock::now();
    for (const vek::filename& name : names) {
        vek::cFile f;
        if (f.Open(name, "rb") != 0) {
            std::fprintf(stderr, "cannot open %s\n", name.c_str());
            std::exit(1);
        }
        const size_t size = f.GetSize();
        const size_t n = f.Read(buffer.data(), 1, size);
        f.Close();
        p.bytes += n;
        p.checksum = static_cast<uint32_t>(
            adler32(p.checksum, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(n)));
        ++p.entries;
        if (Seconds(start) > budget) break;
    }
    p.seconds = Seconds(start);
    p.complete = p.entries == names.size();
    p.projected = p.seconds * double(names.size()) / double(std::max<size_t>(p.entries, 1));
    return p;
}

std::string Projection(const Pass& p, size_t total)
{
    if (p.complete) return std::string();
    return " (stopped after " + std::to_string(p.entries) + " of " + std::to_string(total) +
           " entries; total projected)";
}

long FileSize(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return -1;
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}

std::vector<vek::filename> EngineNames(const std::string& archive, const std::vector<BenchEntry>& entries)
{
    std::vector<vek::filename> names;
    names.reserve(entries.size());
    for (const BenchEntry& e : entries) names.emplace_back("{StaticPath}/" + archive + "/" + e.name);
    return names;
}

}  // namespace

int main()
{
    const char* tmp = std::getenv("TMPDIR");
    const std::string folder =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/vek-archive-bench-" + std::to_string(getpid());
    if (mkdir(folder.c_str(), 0700) != 0) {
        std::fprintf(stderr, "cannot create %s\n", folder.c_str());
        return 1;
    }
    vek::SetPathMacro(vek::e_macroStaticPath, folder);

    // ---- case 1: reading a 50 MB archive ----
    std::vector<BenchEntry> mixed;
    for (int i = 0; i < 4000; ++i) {
        BenchEntry e;
        e.name = "gfx/set" + std::to_string(i % 40) + "/item" + std::to_string(i) + (i % 2 ? ".lua" : ".png");
        e.size = 1000 + (static_cast<size_t>(i) * 7919u) % 9000;
        e.text = i % 2 == 1;
        e.deflate = e.text || i % 4 == 0;
        mixed.push_back(e);
    }
    for (int i = 0; i < 4; ++i) {
        BenchEntry e;
        e.name = "music/track" + std::to_string(i) + (i < 2 ? ".ogg" : ".txt");
        e.size = i < 2 ? 16u << 20 : 6u << 20;
        e.text = i >= 2;
        e.level = 1;  // quick to write; reading speed does not depend on it
        e.deflate = i != 0;  // one big stored entry, one big deflated noise, two deflated texts
        mixed.push_back(e);
    }
    const std::string mixedPath = folder + "/mixed.zip";
    const Clock::time_point made = Clock::now();
    if (!WriteArchive(mixedPath, mixed)) {
        std::fprintf(stderr, "cannot write %s\n", mixedPath.c_str());
        return 1;
    }
    uint64_t content = 0;
    size_t largest = 0;
    for (const BenchEntry& e : mixed) {
        content += e.size;
        largest = std::max(largest, e.size);
    }
    std::printf("archive: %zu entries, %.1f MB on disk, %.1f MB of content (written in %.1f s)\n",
                mixed.size(), FileSize(mixedPath) / 1048576.0, double(content) / 1048576.0,
                Seconds(made));

    std::vector<char> buffer(largest);
    const std::vector<vek::filename> mixedNames = EngineNames("mixed.zip", mixed);
    // The first pass through the file layer also meets the archive for the
    // first time.
    const Pass first = ReadThroughFile(mixedNames, buffer, 15.0);
    std::printf("cFile, first pass:  %8.1f ms%s\n", first.projected * 1000.0,
                Projection(first, mixedNames.size()).c_str());
    Pass bestDirect, bestFile;
    bestDirect.seconds = bestFile.projected = 1e30;
    const int rounds = first.complete ? 7 : 1;
    for (int r = 0; r < rounds; ++r) {
        const Pass d = ReadDirect(mixedPath, buffer);
        const Pass f = r == 0 && !first.complete ? first : ReadThroughFile(mixedNames, buffer, 15.0);
        if (d.bytes != content || (f.complete && (f.bytes != d.bytes || f.checksum != d.checksum))) {
            std::fprintf(stderr, "readers disagree: direct %llu bytes, cFile %llu bytes\n",
                         static_cast<unsigned long long>(d.bytes), static_cast<unsigned long long>(f.bytes));
            return 1;
        }
        if (d.seconds < bestDirect.seconds) bestDirect = d;
        if (f.projected < bestFile.projected) bestFile = f;
    }
    std::printf("minizip directly:   %8.1f ms  (best of %d)\n", bestDirect.seconds * 1000.0, rounds);
    std::printf("cFile:              %8.1f ms  (best of %d)%s\n", bestFile.projected * 1000.0, rounds,
                Projection(bestFile, mixedNames.size()).c_str());
    std::printf("ratio cFile / direct: %.3f  (goal: at most 1.1)\n", bestFile.projected / bestDirect.seconds);

    // ---- case 2: 10,000 lookups by name ----
    std::vector<BenchEntry> many;
    for (int i = 0; i < 10000; ++i) {
        BenchEntry e;
        e.name = "data/folder" + std::to_string(i % 100) + "/entry" + std::to_string(i) + ".txt";
        e.size = 16;
        e.text = true;
        many.push_back(e);
    }
    if (!WriteArchive(folder + "/many.zip", many)) return 1;
    // Opened in reverse order: the last entries of the directory first.
    std::reverse(many.begin(), many.end());
    const std::vector<vek::filename> manyNames = EngineNames("many.zip", many);
    for (int round = 0; round < 2; ++round) {
        const Clock::time_point start = Clock::now();
        size_t opened = 0;
        for (const vek::filename& name : manyNames) {
            vek::cFile f;
            if (f.Open(name, "rb") != 0) {
                std::fprintf(stderr, "cannot open %s\n", name.c_str());
                return 1;
            }
            ++opened;
            if (Seconds(start) > 15.0) break;
        }
        const double spent = Seconds(start);
        const double projected = spent * double(manyNames.size()) / double(opened);
        std::printf("open %zu entries by name in an archive of %zu, %s: %.1f ms%s\n", manyNames.size(),
                    manyNames.size(), round == 0 ? "first time" : "again     ", projected * 1000.0,
                    opened == manyNames.size() ? "" : " (projected)");
        if (opened != manyNames.size()) break;
    }

    std::remove(mixedPath.c_str());
    std::remove((folder + "/many.zip").c_str());
    rmdir(folder.c_str());
    return 0;
}
