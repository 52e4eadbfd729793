// The game world's saved records read from random bytes. The first byte
// picks the reader, the rest is the stream: never a crash, never a value
// outside what the reader promises.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/core/bitstream.h"
#include "game/world/ware.h"

namespace {

// The reader of a saved ware list keeps only wares of the table.
void WareList(vek::cBitStream& stream)
{
    std::vector<int32_t> list = {7};
    if (!ReadWareList(list, &stream)) std::abort();
    for (int32_t ware : list)
        if (ware < 0 || static_cast<size_t>(ware) >= g_pWareManager->vecWares.size()) std::abort();
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
    switch (data[0] % 1) {
    case 0: WareList(stream); break;
    default: break;
    }
    return 0;
}
