#include "game/objects/stations.h"

#include <cmath>

#include "engine/app/game.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/garden_hooks.h"
#include "game/objects/gardener.h"
#include "game/shell/player.h"
#include "game/world/level.h"

namespace {

vek::cQuadBatch* Batch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

// Pending-target marks along a line: mark i at (0.25 i - 1) mark widths
// right of x.
void DrawMarks(vek::cQuadBatch& batch, cLevel* level, int32_t count, float x, float y)
{
    if (!level || count <= 0) return;
    const cSprite& mark = level->GetTargetSprite();
    if (mark.iTexture == 0 || !mark.pFrames) return;
    for (int32_t i = 0; i < count; ++i)
        batch.AddQuad(static_cast<uint32_t>(mark.iTexture),
                      vek::rectf((0.25f * static_cast<float>(i) - 1.0f) * mark.fWidth + x, y, mark.fWidth,
                                 mark.fHeight),
                      vek::kOpaqueWhite, mark.pFrames[0]);
}

} // namespace

// ---- cWorkStation ----

void cWorkStation::Update()
{
    m_Anim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_stFresh);
    else if (m_iState == e_stRemove) RemoveFromMap();
    if (m_iState == e_stFresh) SetState(e_stReady);
}

// ---- cStationPart ----

bool cStationPart::Set(const vek::string& texture, const vek::string& area, int32_t mode)
{
    const bool found = garden::Sprite(texture, area, &sprite);
    anim = vek::cAnimCounter();
    anim.iFrameCount = sprite.iFrameCount;
    anim.fFrameTime = sprite.fFrameTime > 0.0f ? sprite.fFrameTime : vek::kFixedStep;
    Play(mode);
    return found;
}

void cStationPart::Play(int32_t mode)
{
    anim.iMode = mode;
    anim.ApplyMode(mode, true);
}

void cStationPart::Draw(vek::cQuadBatch& batch, float x, float y) const
{
    if (sprite.iTexture == 0 || !sprite.pFrames || sprite.iFrameCount <= 0) return;
    const int32_t frame = anim.iFrame < 0 ? 0 : anim.iFrame >= sprite.iFrameCount ? sprite.iFrameCount - 1 : anim.iFrame;
    batch.AddQuad(static_cast<uint32_t>(sprite.iTexture), vek::rectf(x, y, sprite.fWidth, sprite.fHeight),
                  vek::kOpaqueWhite, sprite.pFrames[frame]);
}

// ---- cCar ----

cCar::cCar(cLevel* level) : cWorkStation(level)
{
    garden::Sprite("images00", "car", &m_Body);
    m_vSize = vek::vec2(m_Body.fWidth, m_Body.fHeight);
    m_Wheel.Set("car", "wheel", 0);
    m_Wheel.offset = vek::vec2(64.0f, 0.0f);
    m_Flap.Set("car", "bort", 0);
    m_Flap.offset = vek::vec2(160.0f, -1.0f);
    m_Drive.m_fSpeed = kSpeed;
    m_vBody = vek::vec2(0.0f, 320.0f);
    SetDrive(-70.0f);
    m_fParkedX = -70.0f;
}

void cCar::SetDrive(float x)
{
    m_vBody.x = x;
    if (m_pLevel && m_pLevel->HasObject(m_pLevel->m_uCarBackId))
        m_pLevel->GetObject(m_pLevel->m_uCarBackId)
            ->SetPos(std::trunc(x) + 160.0f, std::trunc(m_vBody.y));
}

vek::rectf cCar::GetRect() const { return vek::rectf(m_vBody.x, m_vBody.y, m_Body.fWidth + 40.0f, m_Body.fHeight); }

bool cCar::CanChangeState(int32_t oldState, int32_t newState)
{
    if (oldState == e_csAway || oldState == e_csBack) m_Wheel.Play(0);
    switch (newState) {
    case e_csOpening: {
        if (!garden::CheckCarLoad()) return false;
        m_Flap.Play(1);
        garden::PlaySound(e_sndStockOpen);
        const int32_t amount = garden::SellCarLoad();
        if (amount != 0) {
            garden::EarnMoney(amount);
            // The level's income popup: one placement at the car for every sale.
            if (m_pLevel) m_pLevel->ShowIncome(amount);
        }
        garden::TrainingStep(e_lessonPlants, e_stepPlantsCar);
        break;
    }
    case e_csAway:
        m_fParkedX = m_vBody.x;
        m_Drive.m_fSpeed = kSpeed;
        m_Drive.Reset(m_vBody.x);
        m_Drive.SetTarget(-(m_Flap.sprite.fWidth + m_Body.fWidth));
        m_Wheel.Play(3);
        garden::PlaySound(e_sndStockOut);
        break;
    case e_csBack:
        m_Drive.SetTarget(m_fParkedX);
        m_Wheel.Play(4);
        break;
    case e_csClosing: m_Flap.Play(2); break;
    case e_stRemove: RemoveFromMap(); break;
    default: break;
    }
    return true;
}

void cCar::Update()
{
    cWorkStation::Update();
    if (!m_pLevel) return;
    const std::vector<cLevel::cWareFlight>& flights = m_pLevel->GetWareFlights();
    if (m_iState == e_csAway) {
        for (const cLevel::cWareFlight& flight : flights)
            if (flight.iKind == 1) return;
    }
    cObject* object = m_pLevel->GetGardenerObject();
    auto* gardener = object && object->IsType(OBJ_GARDENER) ? static_cast<cGardener*>(object) : nullptr;
    if (m_iState == e_csParked && gardener && !gardener->GetJobs().empty()) {
        const cGardener::cJob& job = gardener->GetJobs().front();
        if (job.iKind == cGardener::cJob::e_Object && static_cast<uint32_t>(job.iId) == m_uId) return;
    }
    m_Wheel.anim.Update(vek::kFixedStep);
    m_Flap.anim.Update(vek::kFixedStep);
    if (m_iState == e_csOpening && m_Flap.Stopped()) SetState(e_csAway);
    else if (m_iState == e_csClosing && m_Flap.Stopped()) SetState(e_csParked);
    if (m_iState == e_csParked) {
        const cPlayer* player = garden::Player();
        if (!player || player->m_CarLoad.empty()) return;
        if (gardener && (gardener->GetState() == cGardener::e_gsUnload ||
                         gardener->GetState() == cGardener::e_gsUnloadEnd))
            return;
        for (const cLevel::cWareFlight& flight : flights)
            if (flight.iKind == 0 && !flight.Arrived()) return;
        SetState(e_csOpening);
    }
}

void cCar::Move(float elapsed)
{
    if (m_iState != e_csAway && m_iState != e_csBack) return;
    if (m_iState == e_csAway && m_pLevel) {
        for (const cLevel::cWareFlight& flight : m_pLevel->GetWareFlights())
            if (flight.iKind == 1) return;
    }
    if (m_Drive.Update(elapsed) == vek::mover<float>::e_Arrived)
        SetState(m_iState == e_csAway ? e_csBack : e_csClosing);
    SetDrive(m_Drive.m_Value);
}

void cCar::Draw()
{
    if (vek::cQuadBatch* batch = Batch()) DrawTo(*batch);
}

void cCar::DrawTo(vek::cQuadBatch& batch)
{
    const float x = m_vBody.x;
    const float y = m_vBody.y;
    m_Flap.Draw(batch, std::trunc(m_Flap.offset.x) + std::trunc(x), std::trunc(m_Flap.offset.y) + std::trunc(y));
    if (m_Body.iTexture != 0 && m_Body.pFrames)
        batch.AddQuad(static_cast<uint32_t>(m_Body.iTexture),
                      vek::rectf(std::trunc(x), std::trunc(y), m_Body.fWidth, m_Body.fHeight), vek::kOpaqueWhite,
                      m_Body.pFrames[0]);
    m_Wheel.Draw(batch, std::trunc(m_Wheel.offset.x + x), std::trunc(m_Wheel.offset.y + y));
    DrawMarks(batch, m_pLevel, m_iTargets, (m_Body.fWidth + m_Flap.sprite.fWidth) * 0.56f + std::trunc(x),
              std::trunc(y) + m_Body.fHeight / 2.0f);
}

// ---- cCarBack ----

cCarBack::cCarBack(cLevel* level) : cWorkStation(level) { SetSprite("car", "back", 0); }

vek::rectf cCarBack::GetRect() const { return vek::rectf(m_vPos.x, m_vPos.y, m_vSize.x, m_vSize.y); }

// ---- cWaterPump ----

cWaterPump::cWaterPump(cLevel* level) : cWorkStation(level)
{
    SetSprite("images00", "pump", 0);
    m_Water.Set("images00", "pump_water", 0);
    m_Water.offset = vek::vec2(-6.0f, 16.0f);
    m_Top.Set("peacock01", "pump_top", 3);
    m_Top.offset = vek::vec2(30.0f, 148.0f);
}

vek::rectf cWaterPump::GetRect() const
{
    if (!garden::WaterEventSet()) return vek::rectf(0.0f, 0.0f, 0.0f, 0.0f);
    return vek::rectf(1024.0f - m_vSize.x, 251.0f, m_vSize.x, m_vSize.y);
}

bool cWaterPump::CanChangeState(int32_t oldState, int32_t newState)
{
    if (oldState == e_wpPumping) m_Water.Play(0);
    if (newState == e_wpPumping) m_Water.Play(3);
    if (newState == e_stRemove) RemoveFromMap();
    return true;
}

void cWaterPump::Update()
{
    cWorkStation::Update();
    if (m_iState == e_wpPumping) m_Water.anim.Update(vek::kFixedStep);
    m_Top.anim.Update(vek::kFixedStep);
}

void cWaterPump::Draw()
{
    if (vek::cQuadBatch* batch = Batch()) DrawTo(*batch);
}

void cWaterPump::DrawTo(vek::cQuadBatch& batch)
{
    if (!garden::WaterEventSet()) return;
    const vek::rectf r = GetRect();
    if (m_iTexture != 0 && m_pFrames && m_Anim.iFrameCount > 0)
        batch.AddQuad(static_cast<uint32_t>(m_iTexture), r, vek::kOpaqueWhite, m_pFrames[0]);
    if (m_iState == e_wpPumping) m_Water.Draw(batch, r.x - 6.0f, r.y + 16.0f);
    m_Top.Draw(batch, std::trunc(r.x + 30.0f), std::trunc(r.y + 148.0f));
    DrawMarks(batch, m_pLevel, m_iTargets, r.x + r.w * 0.57f, r.y + r.h * 0.75f);
}
