// Reads arbitrary bytes through every read operation of the save stream, in
// an order picked by the bytes themselves, then checks that what was read in
// bounds writes back to the same bytes and that reads past the end are zeros.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/bitstream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vek::cBitStream in;
    in.SetData(data, size);
    vek::cBitStream echo;   // what was read fully in bounds, written back
    bool inBounds = true;

    size_t step = 0;
    while (!in.AtEnd()) {
        const size_t before = in.BytesLeft();
        const uint8_t op = size ? data[(step * 7) % size] : 0;
        ++step;
        switch (op % 5) {
        case 0: {
            const uint8_t b = in.ReadByte();
            if (inBounds) echo.WriteByte(b);
            break;
        }
        case 1: {
            const int32_t v = in.ReadInt();
            inBounds = inBounds && before >= 4;
            if (inBounds) echo.WriteInt(v);
            break;
        }
        case 2: {
            const float f = in.ReadFloat();
            inBounds = inBounds && before >= 4;
            if (inBounds) echo.WriteFloat(f);
            break;
        }
        case 3: {
            const vek::string s = in.ReadString();
            if (s.size() > 0xFFFF) std::abort();
            inBounds = inBounds && before >= 2 + s.size();
            if (inBounds) echo.WriteString(s);
            break;
        }
        default: {
            // A count-driven loader: the count can never outrun the data.
            const size_t itemSize = 1 + op % 8;
            const int32_t n = in.ReadCount(itemSize);
            if (n < 0 || static_cast<size_t>(n) * itemSize > in.BytesLeft()) std::abort();
            inBounds = inBounds && before >= 4;
            if (inBounds) {
                // The count as stored (ReadCount hands back the bounded one).
                const uint8_t* c = data + (size - before);
                echo.WriteInt(static_cast<int32_t>(c[0] | c[1] << 8 | c[2] << 16 |
                                                   static_cast<uint32_t>(c[3]) << 24));
            }
            for (int32_t i = 0; i < n; ++i) {
                const uint8_t b = in.ReadByte();
                if (inBounds) echo.WriteByte(b);
            }
            break;
        }
        }
        if (in.BytesLeft() > before) std::abort();
    }

    // What was read in bounds is exactly the input's prefix.
    const auto& back = echo.GetData();
    if (back.size() > size || (inBounds && back.size() != size)) std::abort();
    if (!back.empty() && std::memcmp(back.data(), data, back.size()) != 0) std::abort();

    // Past the end everything reads as zero, and the position stays.
    const int64_t pos = in.GetReadPos();
    if (in.ReadByte() != 0 || in.ReadInt() != 0 || in.ReadFloat() != 0.0f ||
        !in.ReadString().empty() || in.ReadCount(1) != 0 || in.GetReadPos() != pos)
        std::abort();
    return 0;
}
