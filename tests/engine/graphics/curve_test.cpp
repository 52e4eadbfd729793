// Key search, step curves and Catmull-Rom evaluation against points worked
// out by hand, including the extrapolated and wrapped end segments and the
// degenerate curves bad data produces.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/graphics/curve.h"

namespace {

using vek::vec2;
using vek::vec3;
using Spline2 = vek::curve_CatmullRomSpline<vec2>;

constexpr float kTol = 1e-5f;

#define EXPECT_VEC2(v, ex, ey)          \
    do {                                \
        const vec2 got_ = (v);          \
        EXPECT_NEAR(got_.x, (ex), kTol); \
        EXPECT_NEAR(got_.y, (ey), kTol); \
    } while (0)

bool Finite(const vec2& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

// A = (0, 0), B = (1, 2), C = (3, 3), D = (4, 0) at 0, 1, 2, 3.
template <class Curve>
void AddFourKeys(Curve& c, float scale = 1.0f)
{
    c.AddPoint(vec2(0, 0), 0.0f * scale);
    c.AddPoint(vec2(1, 2), 1.0f * scale);
    c.AddPoint(vec2(3, 3), 2.0f * scale);
    c.AddPoint(vec2(4, 0), 3.0f * scale);
}

TEST(CurveSearch, SegmentsAndRememberedHint)
{
    vek::curve<vec2> c;
    AddFourKeys(c);
    c.m_iSegment = -1;
    EXPECT_EQ(c.FindSegment(-1.0f), 0);
    EXPECT_EQ(c.FindSegment(0.5f), 1);
    EXPECT_EQ(c.m_iSegment, 1);
    // The successor of the remembered segment is taken and remembered.
    EXPECT_EQ(c.FindSegment(1.5f), 2);
    EXPECT_EQ(c.m_iSegment, 2);
    EXPECT_EQ(c.FindSegment(2.0f), 2);
    EXPECT_EQ(c.FindSegment(5.0f), 4);
    EXPECT_EQ(c.m_iSegment, 4);
    // A jump back falls through to the bisection.
    EXPECT_EQ(c.FindSegment(0.25f), 1);
    // An exact hit by the bisection is not remembered.
    c.m_iSegment = -1;
    EXPECT_EQ(c.FindSegment(3.0f), 3);
    EXPECT_EQ(c.m_iSegment, -1);
}

TEST(CurveSearch, EqualParameterInsertsBefore)
{
    vek::curve<vec2> c;
    c.AddPoint(vec2(0, 0), 0.0f);
    c.AddPoint(vec2(1, 0), 1.0f);
    c.AddPoint(vec2(2, 0), 2.0f);
    c.m_iSegment = -1;
    EXPECT_EQ(c.AddPoint(vec2(9, 9), 1.0f), 1);
    ASSERT_EQ(c.GetCount(), 4);
    EXPECT_EQ(c.m_Points[1], vec2(9, 9));
    EXPECT_EQ(c.m_Points[2], vec2(1, 0));
    // Keys added out of order end up sorted.
    vek::curve<vec2> d;
    d.AddPoint(vec2(3, 0), 3.0f);
    d.AddPoint(vec2(1, 0), 1.0f);
    d.AddPoint(vec2(2, 0), 2.0f);
    EXPECT_EQ(d.m_Params, (std::vector<float>{1.0f, 2.0f, 3.0f}));
}

TEST(CurveStep, ValueEndAndUniformParams)
{
    vek::curve<vec2> c;
    AddFourKeys(c);
    EXPECT_EQ(c.GetValue(-1.0f), vec2(0, 0));
    EXPECT_EQ(c.GetValue(0.5f), vec2(1, 2));  // the key ending the segment
    EXPECT_EQ(c.GetValue(1.0f), vec2(1, 2));
    EXPECT_EQ(c.GetValue(9.0f), vec2(4, 0));
    EXPECT_EQ(c.GetDerivative(0.5f), vec2());
    EXPECT_EQ(c.GetSecondDerivative(0.5f), vec2());
    EXPECT_FALSE(c.IsEnd(2.99f));
    EXPECT_TRUE(c.IsEnd(3.0f));
    EXPECT_TRUE(c.IsEnd(4.0f));

    c.AddPoint(vec2(5, 5), 4.0f);
    c.SetUniformParams(10.0f);
    EXPECT_EQ(c.m_Params, (std::vector<float>{0.0f, 2.5f, 5.0f, 7.5f, 10.0f}));

    vek::curve<vec2> one;
    one.AddPoint(vec2(7, 8), 3.0f);
    EXPECT_EQ(one.GetValue(-100.0f), vec2(7, 8));
    EXPECT_EQ(one.GetValue(100.0f), vec2(7, 8));
    one.SetUniformParams(10.0f);
    EXPECT_FALSE(std::isnan(one.m_Params[0]));
}

TEST(CatmullRom, PassesThroughKeysAndMatchesHandValues)
{
    Spline2 c;
    AddFourKeys(c);
    EXPECT_VEC2(c.GetValue(0.0f), 0, 0);
    EXPECT_VEC2(c.GetValue(1.0f), 1, 2);
    EXPECT_VEC2(c.GetValue(2.0f), 3, 3);
    EXPECT_VEC2(c.GetValue(3.0f), 4, 0);
    // Middle segment: (-A + 9B + 9C - D) / 16.
    EXPECT_VEC2(c.GetValue(1.5f), 2.0f, 2.8125f);
    // First segment uses the extrapolated point 2A - B = (-1, -2).
    EXPECT_VEC2(c.GetValue(0.5f), 0.4375f, 1.0625f);
    // Last segment uses 2D - C = (5, -3).
    EXPECT_VEC2(c.GetValue(2.5f), 3.5625f, 1.75f);
    // Open mode goes on along the extrapolated control points.
    EXPECT_VEC2(c.GetValue(4.0f), 5, -3);
    EXPECT_VEC2(c.GetValue(-1.0f), -1, -2);
    EXPECT_FALSE(c.IsEnd(2.5f));
    EXPECT_TRUE(c.IsEnd(3.0f));

    // Called through the base class, the spline's evaluation is used.
    vek::curve<vec2>& base = c;
    EXPECT_VEC2(base.GetValue(1.5f), 2.0f, 2.8125f);
}

TEST(CatmullRom, DerivativesAreByTheCurveParameter)
{
    Spline2 c;
    AddFourKeys(c);
    // Tangent at a key: (next - previous) / 2.
    EXPECT_VEC2(c.GetDerivative(1.0f), 1.5f, 1.5f);
    // Second derivative at u = 0.5: (A - B - C + D) / 2.
    EXPECT_VEC2(c.GetSecondDerivative(1.5f), 0.0f, -2.5f);

    Spline2 slow;
    AddFourKeys(slow, 2.0f);
    EXPECT_VEC2(slow.GetValue(3.0f), 2.0f, 2.8125f);
    EXPECT_VEC2(slow.GetDerivative(2.0f), 0.75f, 0.75f);
    EXPECT_VEC2(slow.GetSecondDerivative(3.0f), 0.0f, -0.625f);

    // The derivative agrees with a difference quotient of the value.
    const float h = 1e-2f;
    const vec2 numeric = (c.GetValue(0.7f + h) - c.GetValue(0.7f - h)) / (2 * h);
    const vec2 exact = c.GetDerivative(0.7f);
    EXPECT_NEAR(numeric.x, exact.x, 1e-3f);
    EXPECT_NEAR(numeric.y, exact.y, 1e-3f);
}

TEST(CatmullRom, ClampedMode)
{
    Spline2 c;
    AddFourKeys(c);
    c.SetMode(Spline2::e_Clamped);
    EXPECT_VEC2(c.GetValue(-5.0f), 0, 0);
    EXPECT_VEC2(c.GetValue(10.0f), 4, 0);
    EXPECT_VEC2(c.GetValue(1.5f), 2.0f, 2.8125f);
    EXPECT_FLOAT_EQ(c.ClampParam(-5.0f), 0.0f);
    EXPECT_FLOAT_EQ(c.ClampParam(3.0f), 3.0f);
    EXPECT_FLOAT_EQ(c.GetCloseSpan(), 0.0f);
    EXPECT_TRUE(c.IsEnd(3.0f));
}

TEST(CatmullRom, ClosedLoopWrapsAroundTheKeys)
{
    // A = (0, 0), B = (2, 0), C = (2, 2) at 0, 1, 2; closing span 1, period 3.
    Spline2 c;
    c.AddPoint(vec2(0, 0), 0.0f);
    c.AddPoint(vec2(2, 0), 1.0f);
    c.AddPoint(vec2(2, 2), 2.0f);
    c.SetMode(Spline2::e_Closed);
    c.SetCloseSpan(1.0f);
    EXPECT_FLOAT_EQ(c.GetCloseSpan(), 1.0f);

    EXPECT_FLOAT_EQ(c.GetKnot(3), 3.0f);
    EXPECT_FLOAT_EQ(c.GetKnot(-1), -1.0f);
    EXPECT_FLOAT_EQ(c.GetKnot(-3), -3.0f);
    EXPECT_FLOAT_EQ(c.GetKnot(5), 5.0f);
    EXPECT_EQ(c.GetControlPoint(-1), vec2(2, 2));
    EXPECT_EQ(c.GetControlPoint(3), vec2(0, 0));
    EXPECT_EQ(c.GetControlPoint(-4), vec2(2, 2));

    // The closing segment runs from C back to A.
    EXPECT_VEC2(c.GetValue(2.5f), 0.875f, 1.125f);
    EXPECT_VEC2(c.GetValue(3.0f), 0.0f, 0.0f);
    // The first segment bends with C before A.
    EXPECT_VEC2(c.GetValue(0.5f), 0.875f, -0.25f);
    for (float t = -10.0f; t <= 10.0f; t += 0.5f) EXPECT_FALSE(c.IsEnd(t)) << t;

    c.SetMode(Spline2::e_Open);
    EXPECT_FLOAT_EQ(c.GetCloseSpan(), 0.0f);
    EXPECT_FLOAT_EQ(c.GetKnot(3), 3.0f);
    EXPECT_EQ(c.GetControlPoint(3), vec2(2, 4));
}

TEST(CatmullRom, ThreeDimensionalPointsActPerComponent)
{
    vek::curve_CatmullRomSpline<vec3> c;
    c.AddPoint(vec3(0, 0, 0), 0.0f);
    c.AddPoint(vec3(1, 2, -1), 1.0f);
    c.AddPoint(vec3(3, 3, 5), 2.0f);
    c.AddPoint(vec3(4, 0, 2), 3.0f);
    const vec3 v = c.GetValue(1.5f);
    EXPECT_NEAR(v.x, 2.0f, kTol);
    EXPECT_NEAR(v.y, 2.8125f, kTol);
    EXPECT_NEAR(v.z, (0.0f - 9.0f + 45.0f - 2.0f) / 16.0f, kTol);
}

TEST(CurveDegenerate, NoKeysOneKeyAndRepeatedKeys)
{
    Spline2 empty;
    EXPECT_EQ(empty.GetValue(1.0f), vec2());
    EXPECT_EQ(empty.GetDerivative(1.0f), vec2());
    EXPECT_EQ(empty.GetSecondDerivative(1.0f), vec2());
    EXPECT_TRUE(empty.IsEnd(-1.0f));
    empty.SetMode(Spline2::e_Closed);
    EXPECT_TRUE(empty.IsEnd(-1.0f));
    EXPECT_EQ(empty.GetValue(1.0f), vec2());
    EXPECT_EQ(empty.FindSegment(1.0f), 0);

    // Keys removed after a search leave a stale hint behind.
    Spline2 shrunk;
    AddFourKeys(shrunk);
    shrunk.GetValue(2.5f);
    for (int i = 0; i < 4; ++i) shrunk.RemovePoint(0);
    shrunk.RemovePoint(0);
    shrunk.RemovePoint(-3);
    EXPECT_EQ(shrunk.GetValue(2.5f), vec2());
    EXPECT_TRUE(shrunk.IsEnd(2.5f));

    Spline2 one;
    one.AddPoint(vec2(3, 4), 1.0f);
    for (float t : {-5.0f, 1.0f, 7.0f}) {
        EXPECT_EQ(one.GetValue(t), vec2(3, 4));
        EXPECT_EQ(one.GetDerivative(t), vec2());
        EXPECT_EQ(one.GetSecondDerivative(t), vec2());
    }

    // Repeated parameters: zero-length segments, in the middle and at both
    // ends, in every mode.
    for (int mode = 0; mode <= 2; ++mode) {
        Spline2 c;
        c.SetMode(mode);
        c.AddPoint(vec2(0, 0), 0.0f);
        c.AddPoint(vec2(1, 1), 0.0f);
        c.AddPoint(vec2(2, 0), 1.0f);
        c.AddPoint(vec2(3, 3), 1.0f);
        c.AddPoint(vec2(4, 4), 2.0f);
        c.AddPoint(vec2(5, 5), 2.0f);
        for (float t = -2.0f; t <= 4.0f; t += 0.25f) {
            EXPECT_TRUE(Finite(c.GetValue(t))) << mode << " " << t;
            EXPECT_TRUE(Finite(c.GetDerivative(t))) << mode << " " << t;
            EXPECT_TRUE(Finite(c.GetSecondDerivative(t))) << mode << " " << t;
        }
    }

    // All keys at one parameter, closed with no span: a period of zero.
    Spline2 flat;
    flat.SetMode(Spline2::e_Closed);
    flat.AddPoint(vec2(1, 1), 5.0f);
    flat.AddPoint(vec2(2, 2), 5.0f);
    flat.AddPoint(vec2(3, 3), 5.0f);
    for (float t : {0.0f, 5.0f, 9.0f}) {
        EXPECT_TRUE(Finite(flat.GetValue(t)));
        EXPECT_TRUE(Finite(flat.GetDerivative(t)));
    }
}

} // namespace
