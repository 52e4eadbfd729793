// The game world's saved records read from random bytes. The first byte
// picks the reader, the rest is the stream: never a crash, never a value
// outside what the reader promises.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/core/bitstream.h"
#include "game/objects/object.h"
#include "game/world/level.h"
#include "game/world/ware.h"

namespace {

// The reader of a saved ware list keeps only wares of the table; a count
// the stream cannot hold refuses the list (false, empty, nothing read past
// the count).
void WareList(vek::cBitStream& stream)
{
    std::vector<int32_t> list = {7};
    const size_t left = stream.BytesLeft();
    if (!ReadWareList(list, &stream) && (!list.empty() || left - stream.BytesLeft() != 4)) std::abort();
    for (int32_t ware : list)
        if (ware < 0 || static_cast<size_t>(ware) >= g_pWareManager->vecWares.size()) std::abort();
}

// The base record of an object: it lands on the cell read when that is a
// cell of the grid, off the field otherwise, and writes back what it holds.
void ObjectRecord(vek::cBitStream& stream)
{
    static cLevel* level = new cLevel();
    static cObject* object = new cObject(level);
    const size_t left = stream.BytesLeft();
    vek::cBitStream copy = stream;
    const bool whole = object->Load(stream);
    if (whole != (left >= 8)) std::abort();
    const int32_t row = copy.ReadInt();
    const int32_t column = copy.ReadInt();
    const cell read(row, column);
    const cell expected = level->IsValidCell(read) ? read : cell();
    if (object->GetCell() != expected) std::abort();
    vek::cBitStream out;
    object->Save(out);
    if (out.GetByteCount() != 8) std::abort();
}

bool Catalogue()
{
    CreateWareManager();
    CreateWares();
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool made = Catalogue();
    (void)made;
    if (size == 0) return 0;
    vek::cBitStream stream;
    stream.SetData(data + 1, size - 1);
    switch (data[0] % 2) {
    case 0: WareList(stream); break;
    case 1: ObjectRecord(stream); break;
    default: break;
    }
    return 0;
}
