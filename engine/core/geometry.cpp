#include "engine/core/geometry.h"

namespace vek {

matrix4 operator*(const matrix4& a, const matrix4& b)
{
    matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

matrix4 MatrixRotationZ(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    matrix4 r;
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

vec3 Vec3Transform(const vec3& v, const matrix4& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2]};
}

namespace {

// Channel times 255, truncated toward zero, low 8 bits. Values so far
// outside 0..1 that the float-to-int conversion would be undefined give 0xFF
// (huge) or 0 (hugely negative, NaN) instead.
uint32_t Channel(float v)
{
    const float scaled = v * 255.0f;
    if (!(scaled > -2147483648.0f && scaled < 2147483648.0f)) return scaled > 0.0f ? 0xFFu : 0u;
    return static_cast<uint32_t>(static_cast<int32_t>(scaled)) & 0xFFu;
}

} // namespace

uint32_t PackColor(float r, float g, float b, float a)
{
    return (Channel(a) << 24) | (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
}

bool CrossesVerticalRay(const vec2& a, const vec2& b, const vec2& p)
{
    const vec2& l = a.x > b.x ? b : a;
    const vec2& r = a.x > b.x ? a : b;
    if (!(l.x < p.x && p.x <= r.x)) return false;
    return (r.x - l.x) * (p.y - l.y) - (p.x - l.x) * (r.y - l.y) < 0.0f;
}

bool IsPointInPolygon(const vec2* points, size_t count, const vec2& point)
{
    if (!points || count < 3) return false;
    size_t crossings = 0;
    for (size_t i = 0; i < count; ++i) {
        const vec2& a = points[i];
        const vec2& b = points[(i + 1) % count];
        if (CrossesVerticalRay(a, b, point)) ++crossings;
    }
    return (crossings & 1u) != 0;
}

} // namespace vek
