#pragma once
// The mark at the end of a save set's file (game/shell/save_set.h), for
// tests that write such files byte by byte or damage one value of them.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/core/bitstream.h"
#include "game/shell/save_set.h"

namespace vektest {

// The bytes with today's mark of that stamp and version at their end.
inline std::string Marked(const std::string& body, uint32_t stamp, float version)
{
    vek::cBitStream in;
    in.SetData(body.data(), body.size());
    const vek::cBitStream out = save_set::Remarked(in, stamp, version);
    return std::string(out.GetData().begin(), out.GetData().begin() + static_cast<std::ptrdiff_t>(out.GetByteCount()));
}

// A file of today's layout with its checksum written again over its bytes:
// a value damaged inside it reaches the reader's range checks, as in a file
// written before the checksum.
inline std::string Resealed(const std::string& file)
{
    if (file.size() < save_set::kMarkBytes) return file;
    const size_t body = file.size() - save_set::kMarkBytes;
    float version = 0.0f;
    uint32_t stamp = 0;
    std::memcpy(&version, file.data() + body + 4, 4);
    std::memcpy(&stamp, file.data() + body + 8, 4);
    return Marked(file.substr(0, body), stamp, version);
}

// The names the ".bad" copies of a file take, oldest first.
inline std::string BadCopyName(const std::string& path, int n)
{
    return path + ".bad" + (n == 0 ? std::string() : std::to_string(n));
}

// The newest ".bad" copy of the file ("" when none): a later damage is kept
// beside the copies of the earlier ones.
inline std::string NewestBad(const std::string& path)
{
    std::string newest;
    for (int n = 0; n < 100; ++n) {
        std::ifstream in(BadCopyName(path, n), std::ios::binary);
        if (!in) break;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        newest = bytes.str();
    }
    return newest;
}

// Whether one of the file's ".bad" copies holds these bytes.
inline bool KeptAsBad(const std::string& path, const std::string& bytes)
{
    for (int n = 0; n < 100; ++n) {
        std::ifstream in(BadCopyName(path, n), std::ios::binary);
        if (!in) continue;
        std::ostringstream kept;
        kept << in.rdbuf();
        if (kept.str() == bytes) return true;
    }
    return false;
}

// Every ".bad" copy of the file removed.
inline void RemoveBadCopies(const std::string& path)
{
    for (int n = 0; n < 100; ++n) std::remove(BadCopyName(path, n).c_str());
}

} // namespace vektest
