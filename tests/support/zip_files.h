#pragma once
// ZIP archives made on the spot, including ones whose directory lies about
// an entry's size and deflate bombs.
#include <cstdint>
#include <string>
#include <vector>

namespace vektest {

struct ZipEntry {
    std::string name;  // stored as given ("\" or "/" separators)
    std::string data;
    bool deflate = false;
    // What the headers declare as the entry's size and compressed size
    // (-1: the truth), and its general-purpose flags (1: encrypted).
    int64_t declaredSize = -1;
    int64_t declaredCompressed = -1;
    uint16_t flags = 0;
};

std::string MakeZip(const std::vector<ZipEntry>& entries);

// An archive of one deflated entry of `size` zero bytes, made without ever
// holding them (declaredSize -1: the truth).
std::string MakeZeroBombZip(const std::string& name, uint64_t size, int64_t declaredSize = -1);

// Bytes that do not compress, the same for the same seed.
std::string Noise(size_t size, uint32_t seed = 1);

}  // namespace vektest
