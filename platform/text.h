#pragma once
// Code-page text: the engine keeps its text as 8-bit windows-1251 bytes (its
// bitmap fonts are indexed by them), while the system speaks UTF-8. These
// tables convert at the boundary and give the engine its lower-casing tables,
// picked by locale name, without depending on the locales installed.
#include <cstdint>
#include <string>

namespace vek::platform {

// UTF-8 -> windows-1251. A character with no windows-1251 byte, and every
// byte of a malformed sequence, becomes `replacement`; '\0' drops it instead.
std::string Utf8ToCp1251(const std::string& s, char replacement = '?');

// windows-1251 -> UTF-8. Every byte maps (the one unassigned byte 0x98 maps
// to U+0098, so the conversion round-trips).
std::string Cp1251ToUtf8(const std::string& s);

// One character: the Unicode code point of a windows-1251 byte, and the
// windows-1251 byte of a code point (-1 when it has none).
uint32_t Cp1251ToCodePoint(unsigned char c);
int CodePointToCp1251(uint32_t codePoint);

// Lower-casing of one windows-1251 byte: ASCII letters, the Cyrillic
// alphabet 0xC0-0xDF and the other capitals of the code page.
unsigned char LowerCp1251(unsigned char c);

// The 256-entry lower-casing table for a locale name. Names of Cyrillic
// languages or of code page 1251 pick the windows-1251 table, names of
// Western European languages or of code page 1252 the windows-1252 table.
// Returns false for an empty or unknown name, with `table256` set to the
// ASCII-only table, so the caller always gets a usable table.
bool LookupLowerTable(const std::string& localeName, const unsigned char*& table256);

// The ASCII-only table (what the C library's tolower does in the "C" locale).
const unsigned char* AsciiLowerTable();

// ASCII case folding, the one every case-insensitive name comparison uses
// (file names, archive entries, locale names): only A-Z change, so bytes of
// other code pages never fold into ASCII.
inline char LowerAscii(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<char>(u - 'A' + 'a') : c;
}
std::string LowerAscii(const std::string& s);

} // namespace vek::platform
