#include "game/objects/object.h"

#include <algorithm>
#include <cstdint>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/garden_hooks.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/game_sound.h"

namespace {

vek::cQuadBatch* Batch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

} // namespace

cObject::cObject(cLevel* level) : m_pLevel(level)
{
    if (!m_pLevel) return;
    m_uId = m_pLevel->AddObject(this);
    m_pLevel->GetTargetSprite();  // the first object of a field looks it up
}

cObject::~cObject()
{
    if (m_pLevel) m_pLevel->ForgetObject(this, m_uId);
}

bool cObject::CanChangeState(int32_t, int32_t newState)
{
    if (newState == e_stRemove) RemoveFromMap();
    return true;
}

void cObject::SetState(int32_t state)
{
    if (state == m_iState) return;
    if (CanChangeState(m_iState, state)) m_iState = state;
}

void cObject::RemoveFromMap()
{
    if (m_pLevel) m_pLevel->RemoveObject(m_uId);
}

bool cObject::SetSprite(const vek::string& texture, const vek::string& area, int32_t mode)
{
    cSprite sprite;
    if (!LookUpSprite(texture, area, &sprite)) {
        m_iTexture = 0;
        m_pFrames = nullptr;
        m_vSize = vek::vec2(0.0f, 0.0f);
        m_Anim.iFrameCount = 0;
        m_Anim.iFrame = 0;
        return false;
    }
    m_iTexture = sprite.iTexture;
    m_pFrames = sprite.pFrames;
    m_vSize = vek::vec2(sprite.fWidth, sprite.fHeight);
    m_Anim.iFrameCount = sprite.iFrameCount;
    m_Anim.fFrameTime = sprite.fFrameTime < 1.1920929e-7f ? vek::kFixedStep : sprite.fFrameTime;
    m_Anim.fElapsed = 0.0f;
    m_Anim.iFrame = 0;
    m_Anim.iDirection = 1;
    m_Anim.iMode = mode;
    if (mode >= 0 && mode <= 5) m_Anim.ApplyMode(mode, true);
    return true;
}

vek::rectf cObject::GetRect() const
{
    return vek::rectf(m_vPos.x - m_vSize.x / 2.0f, m_vPos.y, m_vSize.x, m_vSize.y);
}

bool cObject::HitTest(const vek::vec2& point) const
{
    vek::rectf r = GetRect();
    // A mirrored sprite (negative size) covers the same ground.
    if (r.w < 0.0f) {
        r.x += r.w;
        r.w = -r.w;
    }
    if (r.h < 0.0f) {
        r.y += r.h;
        r.h = -r.h;
    }
    return point.x > r.x && point.x < r.x + r.w && point.y > r.y && point.y < r.y + r.h;
}

bool cObject::Load(vek::cBitStream& stream)
{
    const bool whole = stream.BytesLeft() >= 8;
    const int32_t row = stream.ReadInt();
    const int32_t column = stream.ReadInt();
    SetCell(row, column);
    return whole;
}

bool cObject::Save(vek::cBitStream& stream)
{
    const cell c = GetCell();
    stream.WriteInt(c.row);
    stream.WriteInt(c.column);
    return true;
}

void cObject::SetCell(int32_t row, int32_t column)
{
    if (!m_pLevel) return;
    SetPos(m_pLevel->GetCellPos(row, column));
}

cell cObject::GetCell() const { return m_pLevel ? m_pLevel->PosToCell(m_vPos) : cell(); }

void cObject::Update()
{
    m_Anim.Update(vek::kFixedStep);
    if (m_iState == e_stNew) SetState(e_stFresh);
    else if (m_iState == e_stRemove) RemoveFromMap();
}

void cObject::Move(float) {}

void cObject::Draw()
{
    if (vek::cQuadBatch* batch = Batch()) DrawInto(*batch);
}

void DrawFieldHighlight(vek::cQuadBatch& batch, cSprite& sprite, bool& looked, float x, float y)
{
    if (!looked) {
        looked = true;
        garden::Sprite("images00", "highlight", &sprite);
    }
    if (sprite.iTexture != 0)
        batch.AddQuad(static_cast<uint32_t>(sprite.iTexture),
                      vek::rectf(x - sprite.fWidth / 2.0f, y, sprite.fWidth, sprite.fHeight), 0xFFFFFFFFu,
                      sprite.pFrames[0]);
}

void cObject::DrawInto(vek::cQuadBatch& batch) const
{
    vek::rectf r = GetRect();
    if (m_iTexture != 0 && m_pFrames && m_Anim.iFrameCount > 0) {
        const int32_t frame = std::clamp(m_Anim.iFrame, 0, m_Anim.iFrameCount - 1);
        batch.AddQuad(static_cast<uint32_t>(m_iTexture), r, vek::kOpaqueWhite, m_pFrames[frame]);
    }
    if (m_iTargets <= 0 || !m_pLevel) return;
    if (r.w < 0.0f) {
        r.x += r.w;
        r.w = -r.w;
    }
    const cSprite& mark = m_pLevel->GetTargetSprite();
    if (mark.iTexture == 0 || !mark.pFrames) return;
    // The first mark overlaps the right edge; each further one a quarter of
    // a mark to the right.
    for (int32_t i = 0; i < m_iTargets; ++i) {
        const float x = r.x + r.w + (0.25f * static_cast<float>(i) - 1.0f) * mark.fWidth;
        batch.AddQuad(static_cast<uint32_t>(mark.iTexture), vek::rectf(x, r.y, mark.fWidth, mark.fHeight),
                      vek::kOpaqueWhite, mark.pFrames[0]);
    }
}

namespace {
uint32_t g_uFallbackSeed = 0;
} // namespace

uint32_t& RandomSeed() { return g_pGarden ? g_pGarden->m_uSeed : g_uFallbackSeed; }

int32_t RandomInt(int32_t lo, int32_t hi)
{
    if (static_cast<int64_t>(hi) == static_cast<int64_t>(lo) - 1) return lo;
    uint32_t& seed = RandomSeed();
    seed = seed * 69069u + 1u;
    // In 64 bits: a span over the whole int range must not overflow (it is
    // never 0 here).
    const int64_t span = static_cast<int64_t>(hi) - static_cast<int64_t>(lo) + 1;
    return static_cast<int32_t>(static_cast<int64_t>(lo) + static_cast<int64_t>(seed & 0x7fffu) % span);
}

float RandomRange(float a, float b)
{
    uint32_t& seed = RandomSeed();
    seed = seed * 69069u + 1u;
    return a + (b - a) * (static_cast<float>(seed & 0x7fffu) / 32768.0f);
}

int32_t GetUpgradeLevel(int32_t index)
{
    if (index < 0 || index >= cUpgrades::kCount || !g_pGarden) return 0;
    const cPlayer* player = g_pGarden->GetPlayer();
    return player ? player->m_Upgrades.GetLevel(index) : 0;
}
