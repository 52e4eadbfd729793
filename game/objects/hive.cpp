#include "game/objects/hive.h"

#include <cmath>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/animal.h"
#include "game/objects/animal_world.h"
#include "game/shell/texture_info.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"

namespace {

constexpr float kEps = 1.1920929e-7f;

float Trunc(float v) { return static_cast<float>(static_cast<int32_t>(v)); }

bool TimerUsable(const vek::mover<float>& t)
{
    for (float v : {t.m_From, t.m_To, t.m_Value, t.m_fSpeed, t.m_fTime, t.m_fDuration})
        if (!std::isfinite(v) || v < 0.0f) return false;
    return true;
}

} // namespace

cHive::cHive(cLevel* level) : cObject(level)
{
    m_Full.m_fSpeed = 1.0f;
    m_Scale.m_From = m_Scale.m_To = m_Scale.m_Value = 1.0f;
    m_Scale.m_fSpeed = 1.0f;
    SetSprite("images00", "hive", 0);
    cSprite top;
    if (LookUpSprite("peacock01", "hive_top", &top)) {
        m_iTopTexture = top.iTexture;
        m_pTopFrames = top.pFrames;
        m_vTopSize = vek::vec2(top.fWidth, top.fHeight);
        m_TopAnim.iFrameCount = top.iFrameCount;
        m_TopAnim.fFrameTime = top.fFrameTime < kEps ? vek::kFixedStep : top.fFrameTime;
    }
    m_vTopOffset = vek::vec2(0.0f, m_vSize.y);
    m_TopAnim.ApplyMode(0, true);
    if (m_pLevel) ++m_pLevel->m_iHives;
}

cHive::~cHive()
{
    if (m_pLevel) --m_pLevel->m_iHives;
}

bool cHive::CanChangeState(int32_t, int32_t newState)
{
    if (newState == e_stAppear) {
        cAnimal::StartTimer(m_Full, 0.5f);
        StartScaleChange(m_Scale, 0.0f, 1.0f);
    } else if (newState == e_stLeave) {
        StartScaleChange(m_Scale, 1.0f, 0.0f);
    } else if (newState == e_stRemove) {
        RemoveFromMap();
    }
    return true;
}

vek::rectf cHive::GetRect() const
{
    return vek::rectf(m_vPos.x - m_vSize.x / 2.0f, m_vPos.y, m_vSize.x, m_vSize.y + m_vTopSize.y);
}

bool cHive::HitTest(const vek::vec2& point) const
{
    const vek::rectf r = GetRect();
    return point.x > r.x + 20.0f && point.x < r.x + r.w - 25.0f && point.y > r.y && point.y < r.y + r.h - 15.0f;
}

bool cHive::Load(vek::cBitStream& stream)
{
    const bool whole = stream.BytesLeft() >= 40;
    cObject::Load(stream);
    m_iHoney = stream.ReadInt();
    m_iCapacity = stream.ReadInt();
    m_Full.m_From = stream.ReadFloat();
    m_Full.m_To = stream.ReadFloat();
    m_Full.m_Value = stream.ReadFloat();
    m_Full.m_fSpeed = stream.ReadFloat();
    m_Full.m_fTime = stream.ReadFloat();
    m_Full.m_fDuration = stream.ReadFloat();
    // A capacity of 0 would make the hive full for ever and a broken timer
    // would never end: both keep the honey flowing without a bee.
    if (m_iCapacity < 1) m_iCapacity = 1;
    if (m_iHoney < 0) m_iHoney = 0;
    if (m_iHoney > m_iCapacity) m_iHoney = m_iCapacity;
    if (!TimerUsable(m_Full)) {
        m_Full = vek::mover<float>();
        m_Full.m_fSpeed = 1.0f;
    }
    return whole;
}

bool cHive::Save(vek::cBitStream& stream)
{
    cObject::Save(stream);
    stream.WriteInt(m_iHoney);
    stream.WriteInt(m_iCapacity);
    for (float v : {m_Full.m_From, m_Full.m_To, m_Full.m_Value, m_Full.m_fSpeed, m_Full.m_fTime, m_Full.m_fDuration})
        stream.WriteFloat(v);
    return true;
}

bool cHive::AddHoney()
{
    if (m_iHoney >= m_iCapacity || !m_bNeeded) return false;
    ++m_iHoney;
    if (m_iHoney >= m_iCapacity) cAnimal::StartTimer(m_Full, kKeepHoney);
    return true;
}

bool cHive::TakeHoney()
{
    if (m_iHoney < m_iCapacity) return false;
    m_iHoney = 0;
    return true;
}

void cHive::Update()
{
    m_Anim.Update(vek::kFixedStep);
    m_TopAnim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_stFresh);
    else if (m_iState == e_stRemove) RemoveFromMap();

    if (IsFull() && !GetAnimalWorld().LevelWaitsForPlayer() && cAnimal::StepTimer(m_Full, vek::kFixedStep) != 1)
        m_iHoney = 0;  // the honey is lost

    if (m_iState == e_stAppear) {
        // The half-second delay, then the growth; only while it is seen.
        if (GetAnimalWorld().IsGardenFocused() && cAnimal::StepTimer(m_Full, vek::kFixedStep) != 1 &&
            m_Scale.Update(vek::kFixedStep) != 1) {
            GetAnimalWorld().EmitBurst(50, 50.0f, RectCentre(GetRect()));
            SetState(e_stStand);
        }
    } else if (m_iState == e_stLeave) {
        if (m_Scale.Update(vek::kFixedStep) != 1) {
            GetAnimalWorld().EmitBurst(50, 50.0f, RectCentre(GetRect()));
            SetState(e_stRemove);
        }
    }
}

void cHive::Draw()
{
    vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->pBatch : nullptr;
    const bool scaled = m_iState == e_stAppear || m_iState == e_stLeave;
    const float s = scaled ? m_Scale.m_Value : 1.0f;
    float bw = m_vSize.x, bh = m_vSize.y;
    float bx = m_vPos.x - bw / 2.0f;
    if (scaled) {
        bx += (bw - bw * s) / 2.0f;
        bw *= s;
        bh *= s;
    }
    const vek::rectf body(Trunc(bx), Trunc(m_vPos.y - 25.0f), Trunc(bw), Trunc(bh));
    const vek::vec2 offset = m_vTopOffset * s;
    const vek::rectf top(Trunc(offset.x + body.x), Trunc(offset.y + body.y), Trunc(m_vTopSize.x * s),
                         Trunc(m_vTopSize.y * s));
    if (batch) {
        if (m_iTexture != 0 && m_pFrames && m_Anim.iFrameCount > 0)
            batch->AddQuad(static_cast<uint32_t>(m_iTexture), body, vek::kOpaqueWhite,
                           m_pFrames[std::clamp(m_Anim.iFrame, 0, m_Anim.iFrameCount - 1)]);
        const cSprite* mark = m_pLevel ? &m_pLevel->GetTargetSprite() : nullptr;
        if (mark && mark->iTexture != 0 && mark->pFrames) {
            for (int32_t i = 0; i < m_iTargets; ++i) {
                const float x = body.x + body.w * 0.5f + 0.25f * static_cast<float>(i) * mark->fWidth;
                batch->AddQuad(static_cast<uint32_t>(mark->iTexture), vek::rectf(x, body.y, mark->fWidth, mark->fHeight),
                               vek::kOpaqueWhite, mark->pFrames[0]);
            }
        }
        if (m_iTopTexture != 0 && m_pTopFrames && m_TopAnim.iFrameCount > 0)
            batch->AddQuad(static_cast<uint32_t>(m_iTopTexture), top, vek::kOpaqueWhite,
                           m_pTopFrames[std::clamp(m_TopAnim.iFrame, 0, m_TopAnim.iFrameCount - 1)]);
    }
    if (IsFull() && m_pLevel) {
        const vek::vec2 centre = RectCentre(top);
        GetAnimalWorld().DrawProgressCircle(*m_pLevel, centre, 22.0f, cAnimal::TimerFraction(m_Full));
        const cSprite& honey = AnimalIcon("honey");
        if (batch && honey.iTexture != 0 && honey.pFrames) {
            const float w = honey.fWidth * 0.75f, h = honey.fHeight * 0.75f;
            batch->AddQuad(static_cast<uint32_t>(honey.iTexture), vek::rectf(centre.x - w / 2.0f, centre.y - h / 2.0f, w, h),
                           vek::kOpaqueWhite, honey.pFrames[0]);
        }
    }
}
