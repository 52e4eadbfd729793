#pragma once
// Plain float vectors, rectangles and the small geometry helpers shared by
// the renderer, the GUI and the game. 2D space has x to the right and y up.
#include <cmath>
#include <cstdint>
#include <vector>

namespace vek {

// Lengths and durations at or below this count as zero.
inline constexpr float kEpsilon = 1.1920929e-7f;  // 2^-23

struct vec2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr vec2() = default;
    constexpr vec2(float x_, float y_) : x(x_), y(y_) {}

    float Length() const { return std::sqrt(x * x + y * y); }
    // Divides by the length; a vector too short to have a direction becomes zero.
    void Normalize()
    {
        const float len = Length();
        if (len <= kEpsilon) {
            x = y = 0.0f;
        } else {
            x /= len;
            y /= len;
        }
    }

    vec2& operator+=(const vec2& o) { x += o.x; y += o.y; return *this; }
    vec2& operator-=(const vec2& o) { x -= o.x; y -= o.y; return *this; }
    vec2& operator*=(float s) { x *= s; y *= s; return *this; }
    vec2& operator/=(float s) { x /= s; y /= s; return *this; }
};

constexpr vec2 operator+(const vec2& a, const vec2& b) { return {a.x + b.x, a.y + b.y}; }
constexpr vec2 operator-(const vec2& a, const vec2& b) { return {a.x - b.x, a.y - b.y}; }
constexpr vec2 operator-(const vec2& a) { return {-a.x, -a.y}; }
constexpr vec2 operator*(const vec2& a, float s) { return {a.x * s, a.y * s}; }
constexpr vec2 operator*(float s, const vec2& a) { return {a.x * s, a.y * s}; }
constexpr vec2 operator/(const vec2& a, float s) { return {a.x / s, a.y / s}; }
constexpr bool operator==(const vec2& a, const vec2& b) { return a.x == b.x && a.y == b.y; }
constexpr bool operator!=(const vec2& a, const vec2& b) { return !(a == b); }
constexpr float Dot(const vec2& a, const vec2& b) { return a.x * b.x + a.y * b.y; }
inline float Distance(const vec2& a, const vec2& b) { return (b - a).Length(); }

struct vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr vec3() = default;
    constexpr vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    float Length() const { return std::sqrt(x * x + y * y + z * z); }
    void Normalize()
    {
        const float len = Length();
        if (len <= kEpsilon) {
            x = y = z = 0.0f;
        } else {
            x /= len;
            y /= len;
            z /= len;
        }
    }

    vec3& operator+=(const vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
    vec3& operator-=(const vec3& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
    vec3& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
    vec3& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }
};

constexpr vec3 operator+(const vec3& a, const vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
constexpr vec3 operator-(const vec3& a, const vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
constexpr vec3 operator-(const vec3& a) { return {-a.x, -a.y, -a.z}; }
constexpr vec3 operator*(const vec3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
constexpr vec3 operator*(float s, const vec3& a) { return {a.x * s, a.y * s, a.z * s}; }
constexpr vec3 operator/(const vec3& a, float s) { return {a.x / s, a.y / s, a.z / s}; }
constexpr bool operator==(const vec3& a, const vec3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
constexpr bool operator!=(const vec3& a, const vec3& b) { return !(a == b); }
constexpr float Dot(const vec3& a, const vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
constexpr vec3 Cross(const vec3& a, const vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Distance(const vec3& a, const vec3& b) { return (b - a).Length(); }

// A rectangle {x, y, w, h}; (x, y) is the bottom-left corner in 2D space.
template <class T>
struct rect {
    T x = 0;
    T y = 0;
    T w = 0;
    T h = 0;

    constexpr rect() = default;
    constexpr rect(T x_, T y_, T w_, T h_) : x(x_), y(y_), w(w_), h(h_) {}

    constexpr T Right() const { return x + w; }
    constexpr T Top() const { return y + h; }
    // Strictly inside: a point on an edge is outside.
    constexpr bool Contains(T px, T py) const { return x < px && px < x + w && y < py && py < y + h; }
    // Overlap with a positive area: rectangles that only share an edge do
    // not intersect.
    constexpr bool Intersects(const rect& o) const
    {
        return x + w > o.x && y < o.y + o.h && x < o.x + o.w && o.y < y + h;
    }
};

template <class T>
constexpr bool operator==(const rect<T>& a, const rect<T>& b)
{
    return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}
template <class T>
constexpr bool operator!=(const rect<T>& a, const rect<T>& b)
{
    return !(a == b);
}

using recti = rect<int>;
using rectf = rect<float>;

// A 4 x 4 float matrix for row vectors: v' = v * M, translation in row 3.
struct matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

matrix4 operator*(const matrix4& a, const matrix4& b);

// Rotation about the z axis: rows (cos, sin, 0, 0), (-sin, cos, 0, 0), (0, 0, 1, 0), (0, 0, 0, 1).
matrix4 MatrixRotationZ(float angle);

// Scale by (sx, sy, sz): the diagonal sx, sy, sz, 1.
inline matrix4 MatrixScale(float sx, float sy, float sz)
{
    matrix4 m;
    m.m[0][0] = sx;
    m.m[1][1] = sy;
    m.m[2][2] = sz;
    return m;
}

// Translation by (x, y, z): the identity with the offset in row 3.
inline matrix4 MatrixTranslation(float x, float y, float z)
{
    matrix4 m;
    m.m[3][0] = x;
    m.m[3][1] = y;
    m.m[3][2] = z;
    return m;
}

// The vector as a row vector times the matrix, plus the fourth row as the
// translation; no division by w.
vec3 Vec3Transform(const vec3& v, const matrix4& m);

// Colour channels 0..1 packed into 0xAARRGGBB: each channel times 255,
// truncated toward zero, low 8 bits kept.
uint32_t PackColor(float r, float g, float b, float a);

inline float Clamp(float value, float low, float high)
{
    const float v = value < low ? low : value;
    return v > high ? high : v;
}

// True when the edge a-b crosses the vertical ray going up from p; i.e.
// p.x lies in (left.x, right.x] and the edge passes above p. Vertical edges
// never count.
bool CrossesVerticalRay(const vec2& a, const vec2& b, const vec2& p);

// Even-odd rule over the polygon's edges, the closing edge included; fewer
// than three points is never inside.
bool IsPointInPolygon(const vec2* points, size_t count, const vec2& point);
inline bool IsPointInPolygon(const std::vector<vec2>& polygon, const vec2& point)
{
    return IsPointInPolygon(polygon.data(), polygon.size(), point);
}

} // namespace vek

// The game code lives in the global namespace and names these plainly.
using vek::CrossesVerticalRay;
using vek::matrix4;
using vek::rect;
using vek::vec2;
using vek::vec3;
