#pragma once
// The save stream: every saved file is the plain concatenation of the values
// its saver wrote, and its loader reads them back in the same order.
//
// Layout: a byte is one byte; a 32-bit integer and a float are four bytes,
// least significant first; a string is an unsigned 16-bit length (low byte
// first) followed by that many bytes, no terminator. No tags or padding.
//
// Reading past the end never fails: each missing byte reads as 0 and leaves
// the position where it is. Loaders must still not trust counts they read:
// a count can claim far more items than the file holds, so every count-driven
// loop is bounded by what is left (ReadCount, BytesLeft).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"

namespace vek {

class cBitStream {
public:
    // The longest string the 16-bit length can describe; longer strings are
    // cut to it, so the stored length always matches the bytes that follow.
    static constexpr size_t kMaxString = 0xFFFF;

    cBitStream() = default;

    // Appends the low 8 bits of value; returns the new write position in bits.
    int64_t WriteByte(int32_t value);
    void WriteInt(int32_t value);
    void WriteFloat(float value);
    void WriteString(const std::string& value);

    // The next byte, or 0 at the end of the data.
    uint8_t ReadByte();
    int32_t ReadInt();
    float ReadFloat();
    // A string whose bytes run past the end is filled up with zero
    // characters to its stored length.
    string ReadString();

    // Reads a 32-bit count for a list whose items take at least
    // minBytesPerItem bytes each, and bounds it by what the stream still
    // holds: a negative count reads as 0, and the result never exceeds
    // BytesLeft() / minBytesPerItem (minBytesPerItem 0 is taken as 1).
    int32_t ReadCount(size_t minBytesPerItem);

    // Replaces the content with a copy of the block and rewinds reading.
    // The write position is not touched.
    void SetData(const void* data, size_t count);
    // The same, taking the bytes over instead of copying them.
    void SetData(std::vector<uint8_t>&& bytes);

    // Whole bytes left to read.
    size_t BytesLeft() const;
    bool AtEnd() const { return BytesLeft() == 0; }

    const std::vector<uint8_t>& GetData() const { return m_Bytes; }
    // The number of valid bits; (bits + 7) / 8 bytes are what gets saved.
    int64_t GetBitLength() const { return m_iBitLength; }
    size_t GetByteCount() const { return static_cast<size_t>((m_iBitLength + 7) / 8); }
    int64_t GetReadPos() const { return m_iReadPos; }
    int64_t GetWritePos() const { return m_iWritePos; }

private:
    std::vector<uint8_t> m_Bytes;
    // Positions count bits; every operation moves them by whole bytes. They
    // are 64-bit so that a large file cannot overflow 8 x its byte count.
    int64_t m_iBitLength = 0;
    int64_t m_iReadPos = 0;
    int64_t m_iWritePos = 0;
};

} // namespace vek
