#include "engine/core/anim.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/core/geometry.h"

using vek::cAnimCounter;

TEST(AnimCounter, LoopAndLoopBackward)
{
    cAnimCounter c;
    c.Init(4, 8, cAnimCounter::e_Loop);
    EXPECT_EQ(c.Update(0.25f), 2);
    EXPECT_EQ(c.iFrame, 2);
    EXPECT_EQ(c.Update(0.3125f), 2);
    EXPECT_EQ(c.iFrame, 0);
    EXPECT_FLOAT_EQ(c.fElapsed, 0.0625f);
    EXPECT_EQ(c.Update(0.01f), 0);  // not a whole frame yet

    c.Init(4, 8, cAnimCounter::e_LoopBackward);
    EXPECT_EQ(c.iFrame, 3);
    EXPECT_EQ(c.iDirection, -1);
    EXPECT_EQ(c.Update(0.5f), 4);
    EXPECT_EQ(c.iFrame, 3);
    EXPECT_EQ(c.Update(0.875f), 7);
    EXPECT_EQ(c.iFrame, 0);
}

TEST(AnimCounter, OnceModesStopAtTheirEnd)
{
    cAnimCounter c;
    c.Init(4, 8, cAnimCounter::e_Once);
    EXPECT_EQ(c.Update(1.0f), 8);
    EXPECT_EQ(c.iFrame, 3);
    EXPECT_EQ(c.iMode, cAnimCounter::e_Stop);
    EXPECT_EQ(c.fElapsed, 0.0f);
    EXPECT_EQ(c.Update(1.0f), 0);

    c.Init(4, 8, cAnimCounter::e_OnceBackward);
    EXPECT_EQ(c.Update(0.25f), 2);
    EXPECT_EQ(c.iFrame, 1);
    EXPECT_EQ(c.Update(0.25f), 2);
    EXPECT_EQ(c.iFrame, 0);
    EXPECT_EQ(c.iMode, cAnimCounter::e_Stop);
}

TEST(AnimCounter, PingPong)
{
    cAnimCounter c;
    c.Init(3, 8, cAnimCounter::e_PingPong);
    std::vector<int> frames;
    for (int i = 0; i < 6; ++i) {
        c.Update(0.125f);
        frames.push_back(c.iFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 1, 0, 1, 2}));

    // A long jump lands where the single steps would have.
    cAnimCounter a, b;
    a.Init(5, 10, cAnimCounter::e_PingPong);
    b.Init(5, 10, cAnimCounter::e_PingPong);
    EXPECT_EQ(a.Update(2.3f), 23);
    for (int i = 0; i < 23; ++i) b.Update(0.1f);
    EXPECT_EQ(a.iFrame, b.iFrame);
    EXPECT_EQ(a.iDirection, b.iDirection);
}

TEST(AnimCounter, DegenerateCountersStayPut)
{
    cAnimCounter one;
    one.Init(1, 8, cAnimCounter::e_Loop);
    EXPECT_EQ(one.Update(10.0f), 0);
    EXPECT_EQ(one.iFrame, 0);

    cAnimCounter noRate;
    noRate.Init(4, 0, cAnimCounter::e_Loop);
    EXPECT_EQ(noRate.Update(1.0f), 0);

    cAnimCounter forever;
    forever.Init(4, 30, cAnimCounter::e_PingPong);
    forever.Update(1e30f);  // bounded work, frame in range
    EXPECT_GE(forever.iFrame, 0);
    EXPECT_LT(forever.iFrame, 4);

    // Switching to ping-pong without rewinding keeps a backward direction;
    // the frame must still stay in range.
    cAnimCounter sw;
    sw.Init(4, 8, cAnimCounter::e_OnceBackward);
    sw.Update(1.0f);  // stops at frame 0, direction -1
    sw.iMode = cAnimCounter::e_PingPong;
    sw.ApplyMode(cAnimCounter::e_PingPong, false);
    sw.Update(0.125f);
    EXPECT_EQ(sw.iFrame, 0);
    sw.Update(0.125f);
    EXPECT_EQ(sw.iFrame, 1);
}

TEST(Mover, FloatMove)
{
    vek::mover<float> m;
    m.Reset(0.0f);
    m.m_fSpeed = 100.0f;
    m.SetTarget(50.0f);
    EXPECT_FLOAT_EQ(m.m_fDuration, 0.5f);
    EXPECT_EQ(m.Update(0.25f), 1);
    EXPECT_FLOAT_EQ(m.m_Value, 25.0f);
    EXPECT_EQ(m.Update(0.3f), 2);
    EXPECT_EQ(m.m_Value, 50.0f);
    EXPECT_EQ(m.Update(0.1f), 0);

    m.SetTarget(50.0f);
    EXPECT_EQ(m.m_fDuration, 0.0f);
    EXPECT_EQ(m.Update(0.1f), 0);

    // A new speed halfway goes on from where the value is, toward the same
    // target; a standing value stays standing.
    m.SetTarget(150.0f);
    EXPECT_EQ(m.Update(0.5f), 1);
    EXPECT_FLOAT_EQ(m.m_Value, 100.0f);
    m.SetSpeed(200.0f);
    EXPECT_FLOAT_EQ(m.m_fSpeed, 200.0f);
    EXPECT_FLOAT_EQ(m.m_From, 100.0f);
    EXPECT_FLOAT_EQ(m.m_fDuration, 0.25f);
    EXPECT_EQ(m.m_fTime, 0.0f);
    EXPECT_EQ(m.Update(0.125f), 1);
    EXPECT_FLOAT_EQ(m.m_Value, 125.0f);
    EXPECT_EQ(m.Update(0.2f), 2);
    m.SetSpeed(10.0f);
    EXPECT_EQ(m.Update(0.1f), 0);
    EXPECT_EQ(m.m_Value, 150.0f);
}

TEST(Mover, Vec2MoveAndOddSpeeds)
{
    vek::mover<vek::vec2> m;
    m.Reset({0, 0});
    m.m_fSpeed = 10.0f;
    m.SetTarget({3, 4});
    EXPECT_TRUE(m.IsMoving());
    EXPECT_FLOAT_EQ(m.m_fDuration, 0.5f);
    EXPECT_EQ(m.Update(0.25f), 1);
    EXPECT_FLOAT_EQ(m.m_Value.x, 1.5f);
    EXPECT_FLOAT_EQ(m.m_Value.y, 2.0f);
    EXPECT_EQ(m.Update(1.0f), 2);
    EXPECT_FALSE(m.IsMoving());

    // A tiny distance arrives at once even at a crawling speed.
    m.m_fSpeed = 1e-9f;
    m.SetTarget({3, 4 + 1e-8f});
    EXPECT_EQ(m.m_fDuration, 0.0f);
    EXPECT_FALSE(m.IsMoving());

    // Speed 0: arrives at once for no distance, otherwise stays put; no NaN.
    m.m_fSpeed = 0.0f;
    m.SetTarget(m.m_Value);
    EXPECT_EQ(m.Update(0.1f), 0);
    m.SetTarget({10, 4});
    EXPECT_EQ(m.Update(0.1f), 1);
    EXPECT_FALSE(std::isnan(m.m_Value.x));
    EXPECT_FLOAT_EQ(m.m_Value.x, 3.0f);
}

TEST(Geometry, ColoursAndVectors)
{
    EXPECT_EQ(vek::PackColor(1, 0.5f, 0, 1), 0xFFFF7F00u);
    EXPECT_EQ(vek::PackColor(0, 0, 0, 0), 0u);
    EXPECT_EQ(vek::PackColor(NAN, 1e30f, -1e30f, 1), 0xFF00FF00u);

    vek::vec2 v(3, 4);
    v.Normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.y, 0.8f);
    vek::vec2 tiny(1e-8f, 0);
    tiny.Normalize();
    EXPECT_EQ(tiny, vek::vec2(0, 0));
    EXPECT_EQ(vek::vec2(5, 1) - vek::vec2(2, 3), vek::vec2(3, -2));

    EXPECT_EQ(vek::Clamp(5, 0, 3), 3);
    EXPECT_EQ(vek::Clamp(-1, 0, 3), 0);
    EXPECT_EQ(vek::Clamp(2, 0, 3), 2);
}

TEST(Geometry, PointInPolygon)
{
    const std::vector<vec2> tri = {{0, 0}, {10, 0}, {5, 10}};
    EXPECT_TRUE(vek::IsPointInPolygon(tri, {2, 2}));
    EXPECT_FALSE(vek::IsPointInPolygon(tri, {8, 8}));
    const std::vector<vec2> square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_TRUE(vek::IsPointInPolygon(square, {5, 5}));
    EXPECT_FALSE(vek::IsPointInPolygon(square, {15, 5}));
    EXPECT_FALSE(vek::IsPointInPolygon(square, {-1, 5}));
    const std::vector<vec2> line = {{0, 0}, {10, 10}};
    EXPECT_FALSE(vek::IsPointInPolygon(line, {5, 5}));
    // A vertical edge never counts.
    EXPECT_FALSE(vek::CrossesVerticalRay({5, 0}, {5, 10}, {5, -1}));
}

TEST(Geometry, RotationAndTransform)
{
    const vek::matrix4 r = vek::MatrixRotationZ(static_cast<float>(M_PI / 2));
    const vek::vec3 p = vek::Vec3Transform({1, 0, 5}, r);
    EXPECT_NEAR(p.x, 0.0f, 1e-6f);
    EXPECT_NEAR(p.y, 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(p.z, 5.0f);

    vek::matrix4 t;
    t.m[3][0] = 10;
    t.m[3][1] = 20;
    t.m[3][3] = 7;  // w plays no part
    const vek::vec3 q = vek::Vec3Transform({1, 2, 3}, r * t);
    EXPECT_NEAR(q.x, 8.0f, 1e-5f);
    EXPECT_NEAR(q.y, 21.0f, 1e-5f);
    EXPECT_FLOAT_EQ(q.z, 3.0f);
}
