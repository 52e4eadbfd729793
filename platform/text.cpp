#include "platform/text.h"

#include <array>
#include <cstring>

namespace vek::platform {

namespace {

// Code points of the windows-1251 bytes 0x80 to 0xBF; 0xC0 to 0xFF are the
// Cyrillic alphabet U+0410 to U+044F in order.
constexpr uint16_t kCp1251High[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

using Table = std::array<unsigned char, 256>;

Table MakeAsciiTable()
{
    Table t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
    return t;
}

Table MakeCp1251Table()
{
    Table t = MakeAsciiTable();
    for (int c = 0xC0; c <= 0xDF; ++c) t[c] = static_cast<unsigned char>(c + 32);
    // The capitals outside the main alphabet and their small letters.
    static const unsigned char pairs[][2] = {
        {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
        {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
        {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
    };
    for (const auto& p : pairs) t[p[0]] = p[1];
    return t;
}

Table MakeCp1252Table()
{
    Table t = MakeAsciiTable();
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t[c] = static_cast<unsigned char>(c + 32);  // 0xD7 is the multiplication sign
    t[0x8A] = 0x9A;
    t[0x8C] = 0x9C;
    t[0x8E] = 0x9E;
    t[0x9F] = 0xFF;
    return t;
}

const Table& AsciiTable()
{
    static const Table t = MakeAsciiTable();
    return t;
}

const Table& Cp1251Table()
{
    static const Table t = MakeCp1251Table();
    return t;
}

const Table& Cp1252Table()
{
    static const Table t = MakeCp1252Table();
    return t;
}

}  // namespace

std::string LowerAscii(const std::string& s)
{
    std::string r(s);
    for (char& c : r) c = LowerAscii(c);
    return r;
}

namespace {

bool EndsWith(const std::string& s, const char* tail)
{
    const size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The language part of a name: "russian_russia.1251" -> "russian", "ru_RU" -> "ru".
std::string Language(const std::string& lower)
{
    const size_t cut = lower.find_first_of("_.-@ ");
    return lower.substr(0, cut);
}

bool OneOf(const std::string& s, const char* const* names)
{
    for (; *names; ++names)
        if (s == *names) return true;
    return false;
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at s[i]. Returns its length and sets cp, or
// returns 0 for a malformed sequence (bad lead byte, missing continuation,
// overlong form, surrogate, beyond U+10FFFF).
size_t DecodeUtf8(const std::string& s, size_t i, uint32_t& cp)
{
    const unsigned char b0 = static_cast<unsigned char>(s[i]);
    size_t len;
    uint32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        min = 0x80;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        min = 0x800;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        min = 0x10000;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (s.size() - i < len) return 0;
    for (size_t k = 1; k < len; ++k) {
        const unsigned char b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

} // namespace

uint32_t Cp1251ToCodePoint(unsigned char c)
{
    if (c < 0x80) return c;
    if (c >= 0xC0) return 0x0410u + (c - 0xC0u);
    return kCp1251High[c - 0x80];
}

int CodePointToCp1251(uint32_t cp)
{
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
    for (int i = 0; i < 64; ++i)
        if (kCp1251High[i] == cp) return 0x80 + i;
    return -1;
}

std::string Utf8ToCp1251(const std::string& s, char replacement)
{
    std::string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        uint32_t cp = 0;
        const size_t len = DecodeUtf8(s, i, cp);
        int byte = -1;
        if (len == 0) {
            i += 1;  // resynchronise on the next byte
        } else {
            i += len;
            byte = CodePointToCp1251(cp);
        }
        if (byte >= 0) out.push_back(static_cast<char>(byte));
        else if (replacement != '\0') out.push_back(replacement);
    }
    return out;
}

std::string Cp1251ToUtf8(const std::string& s)
{
    std::string out;
    out.reserve(s.size() * 2);
    for (char c : s) AppendUtf8(out, Cp1251ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

unsigned char LowerCp1251(unsigned char c)
{
    return Cp1251Table()[c];
}

const unsigned char* AsciiLowerTable()
{
    return AsciiTable().data();
}

bool LookupLowerTable(const std::string& localeName, const unsigned char*& table256)
{
    table256 = AsciiTable().data();
    if (localeName.empty()) return false;
    const std::string name = LowerAscii(localeName);
    const std::string lang = Language(name);

    static const char* const cyrillic[] = {"russian", "rus", "ru", "ukrainian", "ukr", "uk",
                                           "belarusian", "bel", "be", "bulgarian", "bgr", "bg",
                                           "serbian", "srb", "macedonian", "mki", "mk", nullptr};
    static const char* const western[] = {
        "english", "eng", "enu", "en", "american", "german", "deu", "de", "french", "fra",
        "fr", "spanish", "esp", "es", "italian", "ita", "it", "dutch", "nld", "nl",
        "portuguese", "ptg", "pt", "swedish", "sve", "sv", "danish", "dan", "da",
        "norwegian", "nor", "no", "finnish", "fin", "fi", nullptr};

    if (EndsWith(name, "1251") || OneOf(lang, cyrillic)) {
        table256 = Cp1251Table().data();
        return true;
    }
    if (EndsWith(name, "1252") || OneOf(lang, western)) {
        table256 = Cp1252Table().data();
        return true;
    }
    // Known names whose table is plain ASCII.
    return name == "c" || name == "posix";
}

} // namespace vek::platform
