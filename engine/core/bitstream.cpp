#include "engine/core/bitstream.h"

#include <cstring>
#include <utility>

namespace vek {

int64_t cBitStream::WriteByte(int32_t value)
{
    const uint8_t v = static_cast<uint8_t>(value & 0xFF);
    const int r = static_cast<int>(m_iWritePos % 8);
    if (r == 0) {
        m_Bytes.push_back(v);
    } else {
        // Only reachable with a write position that is not a multiple of 8;
        // the byte it straddles must exist before it is ORed into.
        const size_t index = static_cast<size_t>(m_iWritePos / 8);
        if (index >= m_Bytes.size()) m_Bytes.resize(index + 1, 0);
        m_Bytes[index] = static_cast<uint8_t>(m_Bytes[index] | (v << r));
        m_Bytes.push_back(static_cast<uint8_t>(v >> (8 - r)));
    }
    m_iWritePos += 8;
    if (m_iWritePos > m_iBitLength) m_iBitLength = m_iWritePos;
    return m_iWritePos;
}

void cBitStream::WriteInt(int32_t value)
{
    const uint32_t u = static_cast<uint32_t>(value);
    WriteByte(static_cast<int32_t>(u & 0xFF));
    WriteByte(static_cast<int32_t>((u >> 8) & 0xFF));
    WriteByte(static_cast<int32_t>((u >> 16) & 0xFF));
    WriteByte(static_cast<int32_t>((u >> 24) & 0xFF));
}

void cBitStream::WriteFloat(float value)
{
    uint32_t u;
    static_assert(sizeof u == sizeof value, "float must be 32 bits");
    std::memcpy(&u, &value, sizeof u);
    // Least significant first, whatever the host's byte order.
    WriteInt(static_cast<int32_t>(u));
}

void cBitStream::WriteString(const std::string& value)
{
    const size_t size = value.size() < kMaxString ? value.size() : kMaxString;
    WriteByte(static_cast<int32_t>(size & 0xFF));
    WriteByte(static_cast<int32_t>((size >> 8) & 0xFF));
    for (size_t i = 0; i < size; ++i) WriteByte(static_cast<unsigned char>(value[i]));
}

uint8_t cBitStream::ReadByte()
{
    const size_t index = static_cast<size_t>(m_iReadPos / 8);
    if (static_cast<size_t>((m_iReadPos + 7) / 8) >= m_Bytes.size()) return 0;
    const int r = static_cast<int>(m_iReadPos % 8);
    uint8_t result;
    if (r == 0)
        result = m_Bytes[index];
    else
        result = static_cast<uint8_t>((m_Bytes[index] >> r) | (m_Bytes[index + 1] << (8 - r)));
    m_iReadPos += 8;
    return result;
}

int32_t cBitStream::ReadInt()
{
    uint32_t u = ReadByte();
    u |= static_cast<uint32_t>(ReadByte()) << 8;
    u |= static_cast<uint32_t>(ReadByte()) << 16;
    u |= static_cast<uint32_t>(ReadByte()) << 24;
    return static_cast<int32_t>(u);
}

float cBitStream::ReadFloat()
{
    const uint32_t u = static_cast<uint32_t>(ReadInt());
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

string cBitStream::ReadString()
{
    size_t size = ReadByte();
    size |= static_cast<size_t>(ReadByte()) << 8;
    string s;
    s.reserve(size);
    for (size_t i = 0; i < size; ++i) s.push_back(static_cast<char>(ReadByte()));
    return s;
}

int32_t cBitStream::ReadCount(size_t minBytesPerItem)
{
    const int32_t count = ReadInt();
    if (count <= 0) return 0;
    const size_t limit = BytesLeft() / (minBytesPerItem ? minBytesPerItem : 1);
    return static_cast<size_t>(count) > limit ? static_cast<int32_t>(limit) : count;
}

void cBitStream::SetData(const void* data, size_t count)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (p && count)
        m_Bytes.assign(p, p + count);
    else
        m_Bytes.clear();
    m_iBitLength = static_cast<int64_t>(m_Bytes.size()) * 8;
    m_iReadPos = 0;
}

void cBitStream::SetData(std::vector<uint8_t>&& bytes)
{
    m_Bytes = std::move(bytes);
    m_iBitLength = static_cast<int64_t>(m_Bytes.size()) * 8;
    m_iReadPos = 0;
}

size_t cBitStream::BytesLeft() const
{
    const size_t consumed = static_cast<size_t>((m_iReadPos + 7) / 8);
    return consumed < m_Bytes.size() ? m_Bytes.size() - consumed : 0;
}

} // namespace vek
