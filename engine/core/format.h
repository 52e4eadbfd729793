#pragma once
// The engine's own printf-style formatter and the small string utilities the
// path code, the console and the game share.
//
// Every argument carries its own type, and that type decides how the value
// prints; the directive letter only picks details (base, e or f style). So
// "%d" with a double prints the double and "%s" with an int prints the int.
#include <cstdint>
#include <string>
#include <utility>

#include "engine/core/vekstring.h"

namespace vek {

class format_arg {
public:
    enum eType : int32_t {
        e_argNone = 0,   // prints nothing, still uses up its slot
        e_argChar = 1,
        e_argInt = 2,
        e_argDouble = 3,
        e_argString = 4,
    };

    constexpr format_arg() : m_iType(e_argNone), m_uBits(0) {}
    constexpr format_arg(char c) : m_iType(e_argChar), m_cValue(c) {}
    constexpr format_arg(int i) : m_iType(e_argInt), m_uBits(Bits(i)) {}
    // A 32-bit unsigned value keeps the int's behaviour: "%d" shows its bit
    // pattern signed, "%u" and "%x" unsigned.
    constexpr format_arg(unsigned int i)
        : m_iType(e_argInt), m_uBits(Bits(static_cast<int32_t>(i))) {}
    // 64-bit values (and pointers, as unsigned numbers) keep all their bits:
    // signed ones print their value under "%d", their 64-bit pattern under
    // "%u", "%o", "%x" and "%X"; unsigned ones their value under every letter.
    constexpr format_arg(long i) : m_iType(e_argInt), m_eWidth(e_wide), m_uBits(Bits(i)) {}
    constexpr format_arg(long long i) : m_iType(e_argInt), m_eWidth(e_wide), m_uBits(Bits(i)) {}
    constexpr format_arg(unsigned long i)
        : m_iType(e_argInt), m_eWidth(e_wideUnsigned), m_uBits(i) {}
    constexpr format_arg(unsigned long long i)
        : m_iType(e_argInt), m_eWidth(e_wideUnsigned), m_uBits(i) {}
    format_arg(const void* p)
        : m_iType(e_argInt), m_eWidth(e_wideUnsigned), m_uBits(reinterpret_cast<uintptr_t>(p)) {}
    constexpr format_arg(double d) : m_iType(e_argDouble), m_dValue(d) {}
    // A null pointer is an empty argument.
    constexpr format_arg(const char* s) : m_iType(s ? e_argString : e_argNone), m_pValue(s) {}
    // Points at the string's characters: the string must outlive the argument
    // (a temporary lives to the end of the call's full expression, which is enough).
    format_arg(const std::string& s) : m_iType(e_argString), m_pValue(s.c_str()) {}

    eType Type() const { return m_iType; }
    char AsChar() const { return m_cValue; }
    // The low 32 bits of an integer.
    int32_t AsInt() const { return static_cast<int32_t>(static_cast<uint32_t>(m_uBits)); }
    // Every bit of an integer; unsigned 64-bit values as their bit pattern.
    int64_t AsInt64() const { return static_cast<int64_t>(m_uBits); }
    // The integer came from a 64-bit type (or a pointer) ...
    bool IsWide() const { return m_eWidth != e_narrow; }
    // ... and an unsigned one.
    bool IsWideUnsigned() const { return m_eWidth == e_wideUnsigned; }
    double AsDouble() const { return m_dValue; }
    const char* AsString() const { return m_pValue; }

private:
    enum eWidth : uint8_t { e_narrow, e_wide, e_wideUnsigned };
    // Integers are kept as the two's-complement bits of their 64-bit value.
    static constexpr uint64_t Bits(int64_t v) { return static_cast<uint64_t>(v); }

    eType m_iType;
    eWidth m_eWidth = e_narrow;
    union {
        char m_cValue;
        uint64_t m_uBits;
        double m_dValue;
        const char* m_pValue;
    };
};

// The argument passed for every slot the caller does not fill.
inline constexpr format_arg g_EmptyArg{};

// Appends the formatted text to target. Up to seven arguments; a directive
// past the last argument prints nothing.
void AppendFormat(std::string& target, const char* format,
                  const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
                  const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg,
                  const format_arg& a5 = g_EmptyArg, const format_arg& a6 = g_EmptyArg,
                  const format_arg& a7 = g_EmptyArg);

// Clears target, then AppendFormat.
void Format(std::string& target, const char* format,
            const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
            const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg,
            const format_arg& a5 = g_EmptyArg, const format_arg& a6 = g_EmptyArg,
            const format_arg& a7 = g_EmptyArg);
void Format(std::string& target, const std::string& format,
            const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
            const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg,
            const format_arg& a5 = g_EmptyArg, const format_arg& a6 = g_EmptyArg,
            const format_arg& a7 = g_EmptyArg);

// Convenience: the formatted text as a new string.
string Formatted(const char* format,
                 const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
                 const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg,
                 const format_arg& a5 = g_EmptyArg, const format_arg& a6 = g_EmptyArg,
                 const format_arg& a7 = g_EmptyArg);

// The pieces between delimiters, empty pieces dropped. An empty delimiter
// yields the whole text as one piece (when it is not empty).
strlist Split(const std::string& text, const std::string& delimiter);

// The text before the first delimiter and the text after it; without a
// delimiter the whole text and an empty string.
std::pair<string, string> SplitPair(const std::string& text, const std::string& delimiter);

// Remove leading / trailing white space (isspace) in place.
void TrimLeft(std::string& s);
void TrimRight(std::string& s);

// Runs of blanks (character 32 only) become one blank; then one blank at the
// start and one at the end are removed.
void CollapseSpaces(std::string& s);

// Optional '-', digits, optional '.' and fraction digits, after leading
// blanks, tabs and line feeds. No '+', no exponent; anything else ends the
// number, and a text without digits reads 0.
float StringToFloat(const std::string& s);

// Lower-cases in place through the table the locale name selects (see
// platform/text.h); an empty or unknown name changes ASCII letters only.
// vek::string::ToLower calls it with the engine's locale name.
void LowerWithLocale(std::string& s, const std::string& localeName);
// The locale name vek::string::ToLower reads from now on: the engine object
// hands over its own field while it exists, null afterwards (then only ASCII
// letters change).
void SetCaseLocale(const std::string* localeName);

// An optional sign and decimal digits from p (no blanks skipped), saturated
// to the int32 range instead of overflowing; p is left after the digits.
// Every number the engine reads from text goes through here.
int32_t ParseInt(const char*& p, const char* end);
// atoi of the characters (leading blanks, sign, digits), saturated.
int32_t StringToInt(const std::string& s);
int32_t StringToInt(const std::string& s, size_t from);

// True when every character is a digit 0 to 9 (also for an empty string).
bool IsNumber(const std::string& s);

} // namespace vek
