#include "engine/core/coder.h"

#include <array>

#include "engine/core/format.h"
#include "engine/core/log.h"

namespace vek {

namespace {

const char c_Base64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t c_Invalid = 0xff;

// Character -> 6-bit value, c_Invalid for everything outside the alphabet.
const std::array<uint8_t, 256>& Base64Table()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t;
        t.fill(c_Invalid);
        for (uint8_t i = 0; i < 64; ++i)
            t[static_cast<uint8_t>(c_Base64Alphabet[i])] = i;
        return t;
    }();
    return table;
}

// The value of an argument made only of the digits 0 to 9, -1 for an empty
// argument or one holding anything else. Leading zeros are allowed in any
// number; counting stops once the value is past a byte, so a long argument
// cannot overflow.
int ArgumentValue(const string& argument)
{
    if (argument.empty())
        return -1;
    int value = 0;
    for (char c : argument) {
        if (c < '0' || c > '9')
            return -1;
        if (value < 256)
            value = value * 10 + (c - '0');
    }
    return value;
}

bool IsByteValue(int value) { return value > 0 && value < 256; }

} // namespace

cCoder::cCoder(const string& settings)
{
    m_lstAlgorithms = Split(settings, " ");
    if (m_lstAlgorithms.empty()) {
        LogWarning("cCoder", "constructor: algorithms not assigned\n");
        return;
    }
    for (const string& entry : m_lstAlgorithms) {
        if (!IsValidAlgorithm(entry)) {
            LogWarning("cCoder", "constructor: algorithms are not valid\n");
            m_lstAlgorithms.clear();
            return;
        }
    }
}

bool cCoder::Encode(string& text) const
{
    bytes data(text.begin(), text.end());
    if (!EncodeData(data))
        return false;
    text.assign(data.begin(), data.end());
    return true;
}

bool cCoder::Decode(string& text) const
{
    bytes data(text.begin(), text.end());
    if (!DecodeData(data))
        return false;
    text.assign(data.begin(), data.end());
    return true;
}

bool cCoder::ApplyStep(const string& entry, bytes& data, bool decode)
{
    if (entry == "base64") {
        if (!decode) {
            EncodeBase64(data);
            return true;
        }
        return DecodeBase64(data);
    }
    string name, argument;
    if (!ParseAlgorithm(entry, name, argument) || name != "xor")
        return false;
    const int value = ArgumentValue(argument);
    if (!IsByteValue(value))
        return false;
    Xor(data, static_cast<uint8_t>(value));
    return true;
}

bool cCoder::EncodeData(bytes& data) const
{
    if (m_lstAlgorithms.empty())
        return false;
    for (const string& entry : m_lstAlgorithms)
        if (!ApplyStep(entry, data, false))
            return false;
    return true;
}

bool cCoder::DecodeData(bytes& data) const
{
    if (m_lstAlgorithms.empty())
        return false;
    // A Base64 step that cannot decode means the text is not what this chain
    // produced; going on would hand the caller garbage as a success.
    for (auto it = m_lstAlgorithms.rbegin(); it != m_lstAlgorithms.rend(); ++it)
        if (!ApplyStep(*it, data, true))
            return false;
    return true;
}

void cCoder::EncodeBase64(bytes& data)
{
    const size_t groups = (data.size() + 2) / 3;
    string out;
    out.reserve(groups * 4 + (groups / 16 + 1) * 2);
    size_t i = 0;
    for (size_t g = 0; g < groups; ++g) {
        const size_t left = data.size() - i;
        uint32_t v = static_cast<uint32_t>(data[i]) << 16;
        if (left > 1)
            v |= static_cast<uint32_t>(data[i + 1]) << 8;
        if (left > 2)
            v |= data[i + 2];
        out += c_Base64Alphabet[(v >> 18) & 63];
        out += c_Base64Alphabet[(v >> 12) & 63];
        out += left > 1 ? c_Base64Alphabet[(v >> 6) & 63] : '=';
        out += left > 2 ? c_Base64Alphabet[v & 63] : '=';
        i += left > 2 ? 3 : left;
        if ((g + 1) % 16 == 0)
            out += "\r\n";
    }
    data.assign(out.begin(), out.end());
}

bool cCoder::DecodeBase64(bytes& data)
{
    const std::array<uint8_t, 256>& table = Base64Table();
    size_t valid = 0;
    for (uint8_t c : data)
        if (table[c] != c_Invalid)
            ++valid;
    // Four characters make three bytes, a rest of two or three characters one
    // or two; a rest of one character carries only 6 bits: no Base64 text
    // ends that way.
    if (valid % 4 == 1)
        return false;

    bytes out;
    out.reserve(valid / 4 * 3 + 2);
    uint32_t bits = 0;
    int count = 0;
    for (uint8_t c : data) {
        const uint8_t v = table[c];
        if (v == c_Invalid)
            continue;
        bits = ((bits << 6) | v) & 0xffffff;
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<uint8_t>(bits >> count));
        }
    }
    data.swap(out);
    return true;
}

void cCoder::Xor(bytes& data, uint8_t value)
{
    for (uint8_t& b : data)
        b ^= value;
}

bool cCoder::ParseAlgorithm(const string& entry, string& name, string& argument)
{
    name.clear();
    argument.clear();
    const size_t open = entry.find('(');
    if (open == std::string::npos || open == 0)
        return false;
    const size_t close = entry.find(')');
    if (close == std::string::npos || close < open || close + 1 != entry.size())
        return false;
    name.assign(entry, 0, open);
    argument.assign(entry, open + 1, close - open - 1);
    return true;
}

bool cCoder::IsValidAlgorithm(const string& entry)
{
    if (entry == "base64")
        return true;
    string name, argument;
    if (!ParseAlgorithm(entry, name, argument) || name != "xor")
        return false;
    return IsByteValue(ArgumentValue(argument));
}

} // namespace vek
