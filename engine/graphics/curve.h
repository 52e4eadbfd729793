#pragma once
// Key-framed curves over vec2 and vec3: a float parameter (usually a time)
// maps to a point. Three layers, each a virtual refinement of the one below:
//
//   curve<T>                   keys in ascending parameter order, a step
//                              value and a remembered-segment search;
//   curve_Spline<T>            adds the end mode (open, clamped, closed loop);
//   curve_CatmullRomSpline<T>  a uniform Catmull-Rom cubic through the keys,
//                              with first and second derivatives.
//
// Segment s (0..n for n keys) is the parameter interval holding t: s is the
// number of key parameters strictly below t, so segment s lies between key
// s-1 and key s, segment 0 before the first key and segment n after the last.
//
// Curves come from data files, so degenerate input is expected: a curve with
// no keys evaluates to the zero vector and is always at its end, and a
// segment of zero parameter length evaluates at its start with zero
// derivatives instead of dividing by zero.
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/core/geometry.h"

namespace vek {

template <class T>
class curve {
public:
    curve() = default;
    virtual ~curve() = default;
    curve(const curve&) = default;
    curve& operator=(const curve&) = default;

    // Inserts the key in parameter order and returns its index. A key whose
    // parameter equals an existing key's goes before the key the search
    // lands on.
    virtual int AddPoint(const T& point, float t);
    // Erases key `index`; an index outside the keys is ignored.
    virtual void RemovePoint(int index);
    virtual void Clear();

    // The point of the key that ends t's segment (the last key beyond it):
    // the value jumps to a key as soon as t passes the key before.
    virtual T GetValue(float t) const;
    virtual T GetDerivative(float t) const;
    virtual T GetSecondDerivative(float t) const;
    // True once t reaches the last key's parameter; always for no keys.
    virtual bool IsEnd(float t) const;

    // Spreads the existing keys' parameters evenly over 0..total. A single
    // key gets parameter 0.
    void SetUniformParams(float total);

    // The segment index of t. Curves are mostly evaluated at slowly rising
    // parameters, so the segment found last and its successor are tried
    // before the bisection.
    int FindSegment(float t) const;

    int GetCount() const { return static_cast<int>(m_Params.size()); }

    std::vector<float> m_Params;  // ascending
    std::vector<T> m_Points;      // one per parameter
    // The segment of the last search; -1 for none. A hint only: it is
    // re-checked on every use, so editing the keys never invalidates it.
    mutable int32_t m_iSegment = -1;
};

template <class T>
class curve_Spline : public curve<T> {
public:
    enum eMode : int32_t {
        e_Open = 0,     // the key list is extended by straight lines
        e_Clamped = 1,  // the parameter is clamped to the first and last key
        e_Closed = 2,   // the keys repeat; the closing segment has m_fCloseSpan
    };

    bool IsEnd(float t) const override;

    virtual void SetMode(int mode) { m_iMode = mode; }
    virtual int GetMode() const { return m_iMode; }
    virtual void SetCloseSpan(float span) { m_fCloseSpan = span; }
    // The closing segment's length in closed mode, else 0.
    virtual float GetCloseSpan() const { return m_iMode == e_Closed ? m_fCloseSpan : 0.0f; }

    int32_t m_iMode = e_Open;
    float m_fCloseSpan = 0.0f;
};

template <class T>
class curve_CatmullRomSpline : public curve_Spline<T> {
public:
    using Weights = std::array<float, 4>;

    T GetValue(float t) const override;
    T GetDerivative(float t) const override;
    T GetSecondDerivative(float t) const override;

    // Key i's point and parameter for any integer i: inside the keys as
    // stored; outside, wrapped around in closed mode and extrapolated along
    // the first or last segment otherwise.
    T GetControlPoint(int i) const;
    float GetKnot(int i) const;
    // The parameter as evaluation uses it (clamped in clamped mode). A
    // closed curve does not wrap t: callers keep it within one period.
    float ClampParam(float t) const;

    // The four weights of control points k-1, k, k+1, k+2 for segment k
    // (between knots k and k+1) at t.
    Weights BasisWeights(int segment, float t) const;
    Weights BasisDerivativeWeights(int segment, float t) const;
    Weights BasisSecondDerivativeWeights(int segment, float t) const;

private:
    enum eKind { e_kindValue, e_kindFirst, e_kindSecond };
    // The local parameter u of t in segment k; 0 for a segment of no length.
    float LocalParam(int segment, float t) const;
    T Evaluate(float t, eKind kind) const;
};

// ---- curve<T> ----

template <class T>
int curve<T>::FindSegment(float t) const
{
    const int n = static_cast<int>(m_Params.size());
    if (n == 0) return 0;

    const int c = m_iSegment;
    if (c >= 0 && c <= n) {
        if (c == 0) {
            if (t <= m_Params[0]) return 0;
        } else if (c == n) {
            if (t > m_Params[n - 1]) return n;
        } else {
            if (m_Params[c - 1] < t && t <= m_Params[c]) return c;
            if (m_Params[c] < t && (c + 1 == n || t <= m_Params[c + 1])) {
                m_iSegment = c + 1;
                return c + 1;
            }
        }
    }

    int lo = 0;
    int len = n;
    bool below = false;
    int half;
    do {
        half = len / 2;
        const int mid = lo + half;
        if (m_Params[mid] == t) return mid;
        if (m_Params[mid] < t) {
            lo = mid;
            below = true;
        } else {
            below = false;
        }
        len -= half;
    } while (half != 0);

    const int segment = below ? lo + 1 : lo;
    m_iSegment = segment;
    return segment;
}

template <class T>
int curve<T>::AddPoint(const T& point, float t)
{
    const int s = FindSegment(t);
    m_Params.insert(m_Params.begin() + s, t);
    m_Points.insert(m_Points.begin() + s, point);
    return s;
}

template <class T>
void curve<T>::RemovePoint(int index)
{
    if (index < 0 || index >= static_cast<int>(m_Params.size())) return;
    m_Params.erase(m_Params.begin() + index);
    m_Points.erase(m_Points.begin() + index);
}

template <class T>
void curve<T>::Clear()
{
    m_Params.clear();
    m_Points.clear();
    m_iSegment = -1;
}

template <class T>
T curve<T>::GetValue(float t) const
{
    const int n = static_cast<int>(m_Points.size());
    if (n == 0) return T();
    const int s = FindSegment(t);
    return s < n ? m_Points[s] : m_Points[n - 1];
}

template <class T>
T curve<T>::GetDerivative(float) const
{
    return T();
}

template <class T>
T curve<T>::GetSecondDerivative(float) const
{
    return T();
}

template <class T>
bool curve<T>::IsEnd(float t) const
{
    return m_Params.empty() || m_Params.back() <= t;
}

template <class T>
void curve<T>::SetUniformParams(float total)
{
    const size_t n = m_Params.size();
    if (n == 0) return;
    if (n == 1) {
        m_Params[0] = 0.0f;
        return;
    }
    const float m = static_cast<float>(n - 1);
    for (size_t i = 0; i < n; ++i) m_Params[i] = (static_cast<float>(i) * total) / m;
}

// ---- curve_Spline<T> ----

template <class T>
bool curve_Spline<T>::IsEnd(float t) const
{
    // A closed loop never ends, unless it has nothing to loop over.
    if (m_iMode == e_Closed && !this->m_Params.empty()) return false;
    return curve<T>::IsEnd(t);
}

// ---- curve_CatmullRomSpline<T> ----

namespace curve_detail {
// i mod n taken into 0..n-1, and the matching floor(i / n).
inline int WrapIndex(int i, int n)
{
    const int r = i % n;
    return r < 0 ? r + n : r;
}
inline int FloorDiv(int i, int n)
{
    const int q = i / n;
    return (i % n != 0 && i < 0) ? q - 1 : q;
}
} // namespace curve_detail

template <class T>
T curve_CatmullRomSpline<T>::GetControlPoint(int i) const
{
    const std::vector<T>& p = this->m_Points;
    const int n = static_cast<int>(p.size());
    if (n == 0) return T();
    const int last = n - 1;
    if (i >= 0 && i <= last) return p[i];
    if (this->m_iMode == curve_Spline<T>::e_Closed) return p[curve_detail::WrapIndex(i, n)];
    // A single key has no direction to extrapolate along.
    if (n == 1) return p[0];
    if (i < 0) return p[0] + (p[1] - p[0]) * static_cast<float>(i);
    return p[last] + (p[last] - p[last - 1]) * static_cast<float>(i - last);
}

template <class T>
float curve_CatmullRomSpline<T>::GetKnot(int i) const
{
    const std::vector<float>& k = this->m_Params;
    const int n = static_cast<int>(k.size());
    if (n == 0) return 0.0f;
    const int last = n - 1;
    if (i >= 0 && i <= last) return k[i];
    if (this->m_iMode == curve_Spline<T>::e_Closed) {
        const float period = k[last] + this->m_fCloseSpan;
        return k[curve_detail::WrapIndex(i, n)] +
               period * static_cast<float>(curve_detail::FloorDiv(i, n));
    }
    if (n == 1) return k[0];
    if (i < 0) return k[0] + (k[1] - k[0]) * static_cast<float>(i);
    return k[last] + (k[last] - k[last - 1]) * static_cast<float>(i - last);
}

template <class T>
float curve_CatmullRomSpline<T>::ClampParam(float t) const
{
    const std::vector<float>& k = this->m_Params;
    if (this->m_iMode != curve_Spline<T>::e_Clamped || k.empty()) return t;
    if (t < k.front()) return k.front();
    if (t >= k.back()) return k.back();
    return t;
}

template <class T>
float curve_CatmullRomSpline<T>::LocalParam(int segment, float t) const
{
    const float from = GetKnot(segment);
    const float span = GetKnot(segment + 1) - from;
    const float offset = t - from;
    if (span == 0.0f) return 0.0f;
    const float u = offset / span;
    return std::isfinite(u) ? u : 0.0f;
}

template <class T>
auto curve_CatmullRomSpline<T>::BasisWeights(int segment, float t) const -> Weights
{
    Weights w;
    const float u = LocalParam(segment, t);
    const float u2 = u * u;
    const float u3 = u2 * u;
    w[0] = 0.5f * (-u + 2.0f * u2 - u3);
    w[1] = 0.5f * (2.0f - 5.0f * u2 + 3.0f * u3);
    w[2] = 0.5f * (u + 4.0f * u2 - 3.0f * u3);
    w[3] = 0.5f * (-u2 + u3);
    return w;
}

template <class T>
auto curve_CatmullRomSpline<T>::BasisDerivativeWeights(int segment, float t) const -> Weights
{
    Weights w;
    const float u = LocalParam(segment, t);
    const float u2 = u * u;
    w[0] = -0.5f + 2.0f * u - 1.5f * u2;
    w[1] = -5.0f * u + 4.5f * u2;
    w[2] = 0.5f + 4.0f * u - 4.5f * u2;
    w[3] = -u + 1.5f * u2;
    return w;
}

template <class T>
auto curve_CatmullRomSpline<T>::BasisSecondDerivativeWeights(int segment, float t) const -> Weights
{
    Weights w;
    const float u = LocalParam(segment, t);
    w[0] = 2.0f - 3.0f * u;
    w[1] = 9.0f * u - 5.0f;
    w[2] = 4.0f - 9.0f * u;
    w[3] = 3.0f * u - 1.0f;
    return w;
}

template <class T>
T curve_CatmullRomSpline<T>::Evaluate(float t, eKind kind) const
{
    const int n = this->GetCount();
    if (n == 0) return T();
    if (n == 1) return kind == e_kindValue ? this->m_Points[0] : T();

    const float tc = ClampParam(t);
    const int c = this->FindSegment(tc);
    const int k = c - 1;

    const Weights w = kind == e_kindValue   ? BasisWeights(k, tc)
                      : kind == e_kindFirst ? BasisDerivativeWeights(k, tc)
                                            : BasisSecondDerivativeWeights(k, tc);

    T sum{};
    for (int j = 0; j < 4; ++j) sum += GetControlPoint(c + j - 2) * w[j];
    if (kind == e_kindValue) return sum;

    // Derivatives by the curve parameter, not by u. A segment of no length
    // has no defined rate of change.
    const float d = GetKnot(c) - GetKnot(c - 1);
    if (d == 0.0f) return T();
    return kind == e_kindFirst ? sum / d : sum / (d * d);
}

template <class T>
T curve_CatmullRomSpline<T>::GetValue(float t) const
{
    return Evaluate(t, e_kindValue);
}

template <class T>
T curve_CatmullRomSpline<T>::GetDerivative(float t) const
{
    return Evaluate(t, e_kindFirst);
}

template <class T>
T curve_CatmullRomSpline<T>::GetSecondDerivative(float t) const
{
    return Evaluate(t, e_kindSecond);
}

// The two instances the engine and the game use are compiled once, in curve.cpp.
extern template class curve<vec2>;
extern template class curve<vec3>;
extern template class curve_Spline<vec2>;
extern template class curve_Spline<vec3>;
extern template class curve_CatmullRomSpline<vec2>;
extern template class curve_CatmullRomSpline<vec3>;

} // namespace vek

// The game code lives in the global namespace and names these plainly.
using vek::curve;
using vek::curve_CatmullRomSpline;
using vek::curve_Spline;
