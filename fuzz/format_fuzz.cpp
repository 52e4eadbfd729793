// Formats hostile format strings with arbitrary typed arguments, and runs the
// string utilities over the same text.
//
// Input: the format string, a 0 byte, then the arguments, each a type byte
// (mod 5: none, char, int, double, string) followed by its value: 1 byte,
// 4 bytes, 8 bytes, or a length byte and that many bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/format.h"

namespace {

struct cReader {
    const uint8_t* p;
    size_t left;
    bool Take(void* out, size_t n)
    {
        if (left < n) return false;
        std::memcpy(out, p, n);
        p += n;
        left -= n;
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t fmtLen = zero ? static_cast<size_t>(zero - data) : size;
    const std::string fmt(reinterpret_cast<const char*>(data), fmtLen);
    cReader in{zero ? zero + 1 : data + size, zero ? size - fmtLen - 1 : 0};

    std::vector<std::string> texts;  // keeps string arguments alive
    texts.reserve(7);
    std::vector<vek::format_arg> args(7, vek::g_EmptyArg);
    for (size_t i = 0; i < args.size(); ++i) {
        uint8_t type;
        if (!in.Take(&type, 1)) break;
        switch (type % 5) {
        case 1: {
            char c;
            if (in.Take(&c, 1)) args[i] = vek::format_arg(c);
            break;
        }
        case 2: {
            int32_t v;
            if (in.Take(&v, 4)) args[i] = vek::format_arg(v);
            break;
        }
        case 3: {
            double d;
            if (in.Take(&d, 8)) args[i] = vek::format_arg(d);
            break;
        }
        case 4: {
            uint8_t n = 0;
            in.Take(&n, 1);
            std::string s(n <= in.left ? n : in.left, '\0');
            in.Take(s.data(), s.size());
            // A string argument ends at its first 0, as a C string does.
            texts.push_back(s.c_str());
            args[i] = vek::format_arg(texts.back());
            break;
        }
        default: break;
        }
    }

    std::string out;
    vek::Format(out, fmt.c_str(), args[0], args[1], args[2], args[3], args[4], args[5], args[6]);
    // Every directive prints a bounded field (widths and precisions are
    // capped), so the output stays proportional to the format.
    size_t argText = 0;
    for (const auto& t : texts) argText += t.size();
    if (out.size() > (fmt.size() + 1) * 600 + argText * 10) std::abort();

    const std::string delim = texts.empty() ? std::string(",") : texts.front();
    vek::strlist pieces = vek::Split(fmt, delim);
    for (const auto& piece : pieces)
        if (piece.empty()) std::abort();
    auto pair = vek::SplitPair(fmt, delim);
    (void)pair;
    std::string t = fmt;
    vek::TrimLeft(t);
    vek::TrimRight(t);
    vek::CollapseSpaces(t);
    vek::LowerWithLocale(t, delim);
    (void)vek::StringToFloat(fmt);
    (void)vek::StringToInt(fmt);
    (void)vek::IsNumber(fmt);
    return 0;
}
