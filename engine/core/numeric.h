#pragma once
// Float-to-integer conversions for values that come from scripts and data:
// a plain cast of a value outside the target's range (or of NaN) is
// undefined, so these truncate toward zero and saturate instead.
#include <cstdint>
#include <limits>

namespace vek {

// Truncates toward zero and clamps to Int's range; NaN gives 0.
template <class Int>
Int SaturatingCast(float value)
{
    static_assert(std::numeric_limits<Int>::is_integer, "an integer type");
    if (!(value == value)) return 0;
    // The range limits as floats are powers of two (or 0), so the
    // comparisons are exact and every value between converts defined.
    if (value >= static_cast<float>(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    if (value <= static_cast<float>(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}

// Whole items of size item that fit into length; 0 when nothing fits or the
// item has no size.
inline uint32_t WholeCount(float length, float item)
{
    if (!(item > 0.0f) || !(length > 0.0f)) return 0;
    return SaturatingCast<uint32_t>(length / item);
}

} // namespace vek
