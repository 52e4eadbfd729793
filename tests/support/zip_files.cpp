#include "support/zip_files.h"

#include <zlib.h>

#include <algorithm>

namespace vektest {

namespace {

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct Stored {
    std::string name;
    std::string body;  // as it lies in the archive
    uint32_t crc = 0;
    uint32_t size = 0;        // declared uncompressed size
    int64_t compressed = -1;  // declared compressed size (-1: the body's)
    uint16_t flags = 0;
    bool deflate = false;
};

// Raw deflate of `size` bytes handed out by next(buffer, max) in pieces.
template <class Next>
std::string Deflate(uint64_t size, Next next)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out;
    std::string in(1 << 20, '\0');
    char buffer[1 << 16];
    uint64_t left = size;
    do {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(left, in.size()));
        next(in.data(), n);
        left -= n;
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(n);
        const int flush = left ? Z_NO_FLUSH : Z_FINISH;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof(buffer);
            deflate(&z, flush);
            out.append(buffer, sizeof(buffer) - z.avail_out);
        } while (z.avail_out == 0);
    } while (left);
    deflateEnd(&z);
    return out;
}

std::string Archive(const std::vector<Stored>& entries)
{
    std::string file, central;
    for (const Stored& e : entries) {
        const uint32_t offset = static_cast<uint32_t>(file.size());
        auto common = [&](std::string& out) {
            Put16(out, 20);
            Put16(out, e.flags);
            Put16(out, e.deflate ? 8 : 0);
            Put32(out, 0x00210000);  // time and date
            Put32(out, e.crc);
            Put32(out, static_cast<uint32_t>(e.compressed >= 0 ? e.compressed
                                                               : static_cast<int64_t>(e.body.size())));
            Put32(out, e.size);
            Put16(out, static_cast<uint32_t>(e.name.size()));
            Put16(out, 0);
        };
        Put32(file, 0x04034b50);
        common(file);
        file += e.name;
        file += e.body;

        Put32(central, 0x02014b50);
        Put16(central, 20);
        common(central);
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, 0);  // external attributes
        Put32(central, offset);
        central += e.name;
    }
    const uint32_t at = static_cast<uint32_t>(file.size());
    file += central;
    Put32(file, 0x06054b50);
    Put32(file, 0);
    Put16(file, static_cast<uint32_t>(entries.size()));
    Put16(file, static_cast<uint32_t>(entries.size()));
    Put32(file, static_cast<uint32_t>(central.size()));
    Put32(file, at);
    Put16(file, 0);
    return file;
}

}  // namespace

std::string MakeZip(const std::vector<ZipEntry>& entries)
{
    std::vector<Stored> stored;
    for (const ZipEntry& e : entries) {
        Stored s;
        s.name = e.name;
        s.deflate = e.deflate;
        s.compressed = e.declaredCompressed;
        s.flags = e.flags;
        const auto* bytes = reinterpret_cast<const Bytef*>(e.data.data());
        s.crc = static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(e.data.size())));
        s.size = static_cast<uint32_t>(e.declaredSize >= 0 ? static_cast<uint64_t>(e.declaredSize)
                                                           : e.data.size());
        if (e.deflate) {
            size_t at = 0;
            s.body = Deflate(e.data.size(), [&](char* out, size_t n) {
                std::copy_n(e.data.data() + at, n, out);
                at += n;
            });
        } else {
            s.body = e.data;
        }
        stored.push_back(std::move(s));
    }
    return Archive(stored);
}

std::string MakeZeroBombZip(const std::string& name, uint64_t size, int64_t declaredSize)
{
    Stored s;
    s.name = name;
    s.deflate = true;
    s.size = static_cast<uint32_t>(declaredSize >= 0 ? static_cast<uint64_t>(declaredSize) : size);
    uLong crc = crc32(0, nullptr, 0);
    s.body = Deflate(size, [&](char* out, size_t n) {
        std::fill_n(out, n, '\0');
        crc = crc32(crc, reinterpret_cast<const Bytef*>(out), static_cast<uInt>(n));
    });
    s.crc = static_cast<uint32_t>(crc);
    return Archive({s});
}

std::string Noise(size_t size, uint32_t seed)
{
    std::string out(size, '\0');
    uint32_t x = seed ? seed : 1;
    for (char& c : out) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x >> 24);
    }
    return out;
}

}  // namespace vektest
