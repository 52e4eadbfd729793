#include "support/island_files.h"

#include <cstring>

namespace vektest {

ByteWriter& ByteWriter::U32(uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    return *this;
}

ByteWriter& ByteWriter::F32(float v)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
}

ByteWriter& ByteWriter::Str(const std::string& s)
{
    bytes.push_back(static_cast<char>(s.size() & 0xff));
    bytes.push_back(static_cast<char>((s.size() >> 8) & 0xff));
    bytes += s;
    return *this;
}

std::string IslandPoints::Bytes() const
{
    ByteWriter w;
    w.U32(static_cast<uint32_t>(areas.size()));
    for (const auto& area : areas) {
        w.U32(static_cast<uint32_t>(area.size()));
        for (const IslandPoint& p : area) w.Point(p.x, p.y);
        const uint32_t triangles = area.size() >= 3 ? static_cast<uint32_t>(area.size() - 2) : 0;
        w.U32(triangles);
        for (uint32_t t = 0; t < triangles; ++t) w.U32(0).U32(t + 1).U32(t + 2);
    }
    for (const auto* list : {&links, &route, &levels}) {
        w.U32(static_cast<uint32_t>(list->size()));
        for (const IslandPoint& p : *list) w.Point(p.x, p.y);
    }
    return w.bytes;
}

std::vector<IslandPoint> SquareArea(float x, float y, float side)
{
    return {{x, y}, {x + side, y}, {x + side, y + side}, {x, y + side}};
}

std::string IslandGlobalBytes(const std::vector<IslandPlacement>& records)
{
    ByteWriter w;
    w.U32(static_cast<uint32_t>(records.size()));
    for (const IslandPlacement& r : records) w.Str(r.name).U32(r.value).U32(r.kind).F32(r.x).F32(r.y);
    return w.bytes;
}

std::string IslandPlayerBytes(const std::vector<IslandRecord>& records)
{
    ByteWriter w;
    w.U32(static_cast<uint32_t>(records.size()));
    for (const IslandRecord& r : records) {
        w.Str(r.name).U32(r.value).U32(r.kind);
        if (r.kind == 4) w.U32(r.units);
    }
    return w.bytes;
}

} // namespace vektest
