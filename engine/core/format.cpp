#include "engine/core/format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "platform/text.h"

namespace vek {

namespace {

// A directive whose text (flags, width, precision) is longer than this is not
// a directive: it is copied through as literal text.
constexpr size_t kMaxDirective = 30;
// Widths and precisions are capped so a hostile format cannot ask for
// megabytes of padding.
constexpr int kMaxField = 255;
constexpr int kSlots = 10;

// A field width or precision: optional sign and digits, capped.
int ReadNumber(const char* p, const char* end)
{
    return std::clamp<int32_t>(ParseInt(p, end), -kMaxField, kMaxField);
}

// Reads the number starting at p (a digit) and leaves p after it.
int ReadWhole(const char*& p, const char* end)
{
    const char* start = p;
    while (p < end && *p >= '0' && *p <= '9') ++p;
    return ReadNumber(start, p);
}

// Width of the char and string printers: the number at the start of the
// directive text, after one leading '-'.
void PlainWidth(const char* text, const char* end, bool& left, int& width)
{
    left = text < end && *text == '-';
    width = ReadNumber(left ? text + 1 : text, end);
}

void Pad(std::string& out, char c, int count)
{
    if (count > 0) out.append(static_cast<size_t>(count), c);
}

void PrintChar(std::string& out, const char* text, const char* end, char c)
{
    bool left;
    int width;
    PlainWidth(text, end, left, width);
    if (!left) Pad(out, ' ', width - 1);
    out.push_back(c);
    if (left) Pad(out, ' ', width - 1);
}

void PrintString(std::string& out, const char* text, const char* end, const char* s)
{
    bool left;
    int width;
    PlainWidth(text, end, left, width);
    const size_t len = std::strlen(s);
    const int pad = len >= static_cast<size_t>(width) ? 0 : width - static_cast<int>(len);
    if (!left) Pad(out, ' ', pad);
    out.append(s, len);
    if (left) Pad(out, ' ', pad);
}

void AppendUnsigned(std::string& digits, uint64_t v, unsigned base, bool upper)
{
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char buf[64];
    int n = 0;
    do {
        buf[n++] = set[v % base];
        v /= base;
    } while (v != 0);
    while (n > 0) digits.push_back(buf[--n]);
}

void Field(std::string& out, const std::string& prefix, const std::string& digits, int width,
           bool left, bool zero)
{
    const int len = static_cast<int>(prefix.size() + digits.size());
    const int pad = width > len ? width - len : 0;
    if (left) {
        out += prefix;
        out += digits;
        Pad(out, ' ', pad);
    } else if (zero) {
        out += prefix;
        Pad(out, '0', pad);
        out += digits;
    } else {
        Pad(out, ' ', pad);
        out += prefix;
        out += digits;
    }
}

void PrintInt(std::string& out, const char* text, const char* end, const format_arg& arg)
{
    bool alt = false, left = false, zero = false, upper = false, isSigned = true;
    unsigned base = 10;
    int width = 0;
    for (const char* p = text; p < end;) {
        const char c = *p;
        if (c >= '1' && c <= '9') {
            width = ReadWhole(p, end);
            continue;
        }
        switch (c) {
        case '#': alt = true; break;
        case '-': left = true; break;
        case '0': zero = true; break;
        case 'd':
        case 'i': base = 10; isSigned = true; break;
        case 'u': base = 10; isSigned = false; break;
        case 'o': base = 8; isSigned = false; break;
        case 'x': base = 16; isSigned = false; upper = false; break;
        case 'X': base = 16; isSigned = false; upper = true; break;
        default: break;
        }
        ++p;
    }
    // A 64-bit unsigned value has no sign to show under any letter; a 32-bit
    // value shows its 32 bits in the unsigned styles, a 64-bit one all 64.
    const int64_t value = arg.IsWide() ? arg.AsInt64() : arg.AsInt();
    if (arg.IsWideUnsigned()) isSigned = false;
    const uint64_t bits = arg.IsWide() ? static_cast<uint64_t>(value)
                                       : static_cast<uint64_t>(static_cast<uint32_t>(value));
    std::string prefix, digits;
    uint64_t magnitude;
    if (isSigned && value < 0) {
        prefix = "-";
        // Negated as unsigned, so the smallest value prints its true magnitude.
        magnitude = 0 - static_cast<uint64_t>(value);
    } else {
        magnitude = isSigned ? static_cast<uint64_t>(value) : bits;
        if (alt && base == 8) prefix = "0";
        if (alt && base == 16) prefix = upper ? "0X" : "0x";
    }
    AppendUnsigned(digits, magnitude, base, upper);
    Field(out, prefix, digits, width, left, zero);
}

// 0.1 to the power n by repeated squaring; a negative power is the reciprocal.
double PowerOfTenth(int n)
{
    const bool neg = n < 0;
    unsigned e = static_cast<unsigned>(neg ? -n : n);
    double result = 1.0, base = 0.1;
    while (e != 0) {
        if (e & 1u) result *= base;
        base *= base;
        e >>= 1;
    }
    return neg ? 1.0 / result : result;
}

// Integer part of v (0 <= v < 2^63), ".", then `precision` digits of the
// fraction, each cut rather than rounded.
void FixedDigits(std::string& digits, double v, int precision)
{
    const double whole = std::floor(v);
    AppendUnsigned(digits, static_cast<uint64_t>(whole), 10, false);
    digits.push_back('.');
    double frac = v - whole;
    for (int i = 0; i < precision; ++i) {
        frac *= 10.0;
        int d = static_cast<int>(frac);
        if (d > 9) d = 9;
        digits.push_back(static_cast<char>('0' + d));
        frac -= d;
    }
}

void ExponentDigits(std::string& digits, double v, int precision, bool upper)
{
    const int n = static_cast<int>(std::trunc(std::log10(v)));
    double scale = PowerOfTenth(n);
    double mantissa;
    if (scale != 0.0 && std::isfinite(scale)) {
        mantissa = v * scale;
    } else {
        // Near the ends of the double range one power over- or underflows;
        // two halves keep the mantissa where it belongs.
        mantissa = v * PowerOfTenth(n / 2) * PowerOfTenth(n - n / 2);
    }
    mantissa += 0.5 * PowerOfTenth(precision);
    // The mantissa lies near 0.1 to 10 for every finite v > 0; the check only
    // keeps the 64-bit conversion below defined whatever happens.
    if (!(mantissa < 9.2e18)) mantissa = 0.0;
    FixedDigits(digits, mantissa, precision);
    digits.push_back(upper ? 'E' : 'e');
    digits.push_back(n < 0 ? '-' : '+');
    const int a = n < 0 ? -n : n;
    digits.push_back(static_cast<char>('0' + (a / 100) % 10));
    digits.push_back(static_cast<char>('0' + (a / 10) % 10));
    digits.push_back(static_cast<char>('0' + a % 10));
}

void PrintDouble(std::string& out, const char* text, const char* end, double value)
{
    bool left = false, zero = false, afterPoint = false, expo = false, upper = false;
    int width = 0, precision = 6;
    for (const char* p = text; p < end;) {
        const char c = *p;
        if (c >= '1' && c <= '9') {
            (afterPoint ? precision : width) = ReadWhole(p, end);
            continue;
        }
        if (c == '-') left = true;
        else if (c == '0') zero = true;
        else if (c == '.') afterPoint = true;
        else if (c == 'e' || c == 'E') {
            expo = true;
            upper = c == 'E';
        } else if (std::isalpha(static_cast<unsigned char>(c))) {
            expo = false;
        }
        ++p;
    }

    std::string digits;
    bool negative = false;
    if (std::isnan(value)) {
        digits = "NaN";
    } else if (std::isinf(value)) {
        digits = value < 0 ? "-INF" : "+INF";
    } else {
        negative = value < 0;
        const double v = std::fabs(value);
        if (v == 0.0) {
            digits = "0.";
            digits.append(static_cast<size_t>(precision), '0');
            if (expo) digits += upper ? "E+000" : "e+000";
        } else if (expo || v >= 9223372036854775808.0) {
            // The fixed style takes the integer part as a 64-bit number;
            // beyond that the exponent style still gives the right value.
            ExponentDigits(digits, v, precision, upper);
        } else {
            FixedDigits(digits, v, precision);
        }
    }
    Field(out, negative ? "-" : "", digits, width, left, zero);
}

void PrintArg(std::string& out, const char* text, const char* end, const format_arg& arg)
{
    switch (arg.Type()) {
    case format_arg::e_argChar: PrintChar(out, text, end, arg.AsChar()); break;
    case format_arg::e_argInt: PrintInt(out, text, end, arg); break;
    case format_arg::e_argDouble: PrintDouble(out, text, end, arg.AsDouble()); break;
    case format_arg::e_argString:
        PrintString(out, text, end, arg.AsString() ? arg.AsString() : "");
        break;
    default: break;
    }
}

bool IsConversion(char c)
{
    return c != '\0' && std::strchr("ACEGPSXacdefginosux", c) != nullptr;
}

bool IsFlag(char c)
{
    return c == '#' || c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9');
}

} // namespace

void AppendFormat(std::string& target, const char* format, const format_arg& a1,
                  const format_arg& a2, const format_arg& a3, const format_arg& a4,
                  const format_arg& a5, const format_arg& a6, const format_arg& a7)
{
    if (!format) return;
    const format_arg* slots[kSlots] = {&a1, &a2, &a3, &a4, &a5, &a6, &a7,
                                       &g_EmptyArg, &g_EmptyArg, &g_EmptyArg};
    int cursor = 0;
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            const char* run = p;
            while (*p && *p != '%') ++p;
            target.append(run, static_cast<size_t>(p - run));
            continue;
        }
        const char* start = p;  // the '%'
        const char* text = ++p;
        while (IsFlag(*p)) ++p;
        const size_t textLen = static_cast<size_t>(p - text);
        const char c = *p;
        if (c == '\0') {
            // The format ends inside a directive: keep what was written.
            target.append(start, static_cast<size_t>(p - start));
            break;
        }
        ++p;
        if (textLen > kMaxDirective) {
            target.append(start, static_cast<size_t>(p - start));
        } else if (c == '%') {
            target.push_back('%');
        } else if (IsConversion(c)) {
            const format_arg& arg = cursor < kSlots ? *slots[cursor] : g_EmptyArg;
            ++cursor;
            if (cursor > kSlots) cursor = kSlots;
            // The printers read the directive text together with its letter.
            PrintArg(target, text, p, arg);
        } else {
            target.append(start, static_cast<size_t>(p - start));
        }
    }
}

void Format(std::string& target, const char* format, const format_arg& a1, const format_arg& a2,
            const format_arg& a3, const format_arg& a4, const format_arg& a5,
            const format_arg& a6, const format_arg& a7)
{
    target.clear();
    AppendFormat(target, format, a1, a2, a3, a4, a5, a6, a7);
}

void Format(std::string& target, const std::string& format, const format_arg& a1,
            const format_arg& a2, const format_arg& a3, const format_arg& a4,
            const format_arg& a5, const format_arg& a6, const format_arg& a7)
{
    // The format may be the target itself; format from a copy.
    const std::string fmt(format);
    target.clear();
    AppendFormat(target, fmt.c_str(), a1, a2, a3, a4, a5, a6, a7);
}

string Formatted(const char* format, const format_arg& a1, const format_arg& a2,
                 const format_arg& a3, const format_arg& a4, const format_arg& a5,
                 const format_arg& a6, const format_arg& a7)
{
    string s;
    AppendFormat(s, format, a1, a2, a3, a4, a5, a6, a7);
    return s;
}

strlist Split(const std::string& text, const std::string& delimiter)
{
    strlist pieces;
    if (delimiter.empty()) {
        if (!text.empty()) pieces.emplace_back(text);
        return pieces;
    }
    size_t pos = 0;
    for (;;) {
        const size_t hit = text.find(delimiter, pos);
        const size_t stop = hit == std::string::npos ? text.size() : hit;
        if (stop > pos) pieces.emplace_back(text.substr(pos, stop - pos));
        if (hit == std::string::npos) break;
        pos = hit + delimiter.size();
    }
    return pieces;
}

std::pair<string, string> SplitPair(const std::string& text, const std::string& delimiter)
{
    const size_t hit = delimiter.empty() ? std::string::npos : text.find(delimiter);
    if (hit == std::string::npos) return {string(text), string()};
    return {string(text.substr(0, hit)), string(text.substr(hit + delimiter.size()))};
}

void TrimLeft(std::string& s)
{
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    s.erase(0, i);
}

void TrimRight(std::string& s)
{
    size_t n = s.size();
    while (n > 0 && std::isspace(static_cast<unsigned char>(s[n - 1]))) --n;
    s.erase(n);
}

void CollapseSpaces(std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out.push_back(c);
    }
    if (!out.empty() && out.front() == ' ') out.erase(0, 1);
    if (!out.empty() && out.back() == ' ') out.pop_back();
    s.swap(out);
}

float StringToFloat(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n')) ++i;
    float sign = 1.0f;
    if (i < s.size() && s[i] == '-') {
        sign = -1.0f;
        ++i;
    }
    float value = 0.0f;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        value = value * 10.0f + static_cast<float>(s[i] - '0');
        ++i;
    }
    value *= sign;
    if (i < s.size() && s[i] == '.') {
        ++i;
        float factor = 0.1f;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            value += static_cast<float>(s[i] - '0') * sign * factor;
            factor *= 0.1f;
            ++i;
        }
    }
    return value;
}

int32_t ParseInt(const char*& p, const char* end)
{
    bool neg = false;
    if (p < end && (*p == '-' || *p == '+')) {
        neg = *p == '-';
        ++p;
    }
    int64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        v = v * 10 + (*p - '0');
        if (v > 2147483648LL) v = 2147483648LL;
        ++p;
    }
    if (neg) v = -v;
    if (v > 2147483647LL) v = 2147483647LL;
    return static_cast<int32_t>(v);
}

int32_t StringToInt(const std::string& s, size_t from)
{
    size_t i = from;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    if (i >= s.size()) return 0;
    const char* p = s.data() + i;
    return ParseInt(p, s.data() + s.size());
}

int32_t StringToInt(const std::string& s) { return StringToInt(s, 0); }

bool IsNumber(const std::string& s)
{
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

void LowerWithLocale(std::string& s, const std::string& localeName)
{
    // With no name (or one we have no table for) only ASCII letters change,
    // as in the C locale; the lookup always hands back a usable table.
    const unsigned char* table = platform::AsciiLowerTable();
    if (!localeName.empty()) platform::LookupLowerTable(localeName, table);
    for (char& c : s) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

namespace {
// The engine object's locale name while one exists (see SetCaseLocale).
const std::string* g_pCaseLocale = nullptr;
} // namespace

void SetCaseLocale(const std::string* localeName) { g_pCaseLocale = localeName; }

void string::ToLower()
{
    static const std::string none;
    LowerWithLocale(*this, g_pCaseLocale ? *g_pCaseLocale : none);
}

} // namespace vek
