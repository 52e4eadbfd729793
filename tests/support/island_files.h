#pragma once
// Writers of the island's three files, byte by byte as the game reads them:
// little-endian u32 and f32, strings as a u16 length and the bytes.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vektest {

struct IslandPoint {
    float x = 0.0f, y = 0.0f;
};

// Raw little-endian fields.
class ByteWriter {
public:
    ByteWriter& U32(uint32_t v);
    ByteWriter& F32(float v);
    ByteWriter& Point(float x, float y) { return F32(x).F32(y); }
    ByteWriter& Str(const std::string& s);
    std::string bytes;
};

// "island.pts": the areas (each a polygon; its triangles a fan over it),
// the link points, the route keys and the level points.
struct IslandPoints {
    std::vector<std::vector<IslandPoint>> areas;
    std::vector<IslandPoint> links;
    std::vector<IslandPoint> route;
    std::vector<IslandPoint> levels;
    std::string Bytes() const;
};

// A square area with its bottom-left corner at (x, y).
std::vector<IslandPoint> SquareArea(float x, float y, float side);

// One record of the static "island.dat".
struct IslandPlacement {
    std::string name;
    uint32_t value = 0;
    uint32_t kind = 3;
    float x = 0.0f, y = 0.0f;
};
std::string IslandGlobalBytes(const std::vector<IslandPlacement>& records);

// One record of a player's "island.dat": a factory record (kind 4) carries
// its units waiting.
struct IslandRecord {
    std::string name;
    uint32_t value = 0;
    uint32_t kind = 3;
    uint32_t units = 0;
};
std::string IslandPlayerBytes(const std::vector<IslandRecord>& records);

} // namespace vektest
