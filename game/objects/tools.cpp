#include "game/objects/tools.h"

#include <algorithm>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "game/objects/garden_hooks.h"
#include "game/shell/player.h"
#include "game/world/balance.h"
#include "game/world/ware.h"

namespace {

vek::cQuadBatch* Batch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

} // namespace

// ---- cTool ----

bool cTool::HitTest(const vek::vec2& point) const { return !m_bInUse && cObject::HitTest(point); }

bool cTool::Load(vek::cBitStream& stream)
{
    const bool ok = cObject::Load(stream);
    if (m_pLevel && m_pLevel->GetCellValue(GetCell()) == 0.0f) {
        const cell to = m_pLevel->FindFreeCellNear(GetCell());
        if (m_pLevel->IsValidCell(to)) SetCell(to);
    }
    return ok;
}

void cTool::Draw()
{
    if (vek::cQuadBatch* batch = Batch()) DrawTo(*batch);
}

void cTool::DrawTo(vek::cQuadBatch& batch)
{
    if (m_bInUse) return;
    if (m_bHighlight) DrawFieldHighlight(batch, m_Highlight, m_bHighlightLooked, m_vPos.x, m_vPos.y + 6.0f);
    DrawInto(batch);
}

template <class Frame>
void cTool::DrawIconRow(vek::cQuadBatch& batch, const cSprite& icon, const vek::rectf& r, int32_t count, float y,
                        Frame frame)
{
    if (icon.iTexture == 0 || count <= 0) return;
    const float iw = icon.fWidth;
    const float row = (static_cast<float>(count - 1) * 0.5f + 1.0f) * iw;
    const float start = r.x + (r.w - row) / 2.0f;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t f = std::clamp(frame(i), 0, std::max(icon.iFrameCount - 1, 0));
        batch.AddQuad(static_cast<uint32_t>(icon.iTexture),
                      vek::rectf(start + static_cast<float>(i) * iw * 0.5f, y, iw, icon.fHeight), vek::kOpaqueWhite,
                      icon.pFrames[f]);
    }
}

// ---- cToolWater ----

cToolWater::cToolWater(cLevel* level) : cTool(level)
{
    SetSprite("images00", "water", 0);
    m_iCapacity = GetUpgradeValue(garden::Balance().vecWaterCapacity, GetUpgradeLevel(cUpgrades::e_upCanVolume));
    garden::Sprite("icons00", "water", &m_Icon);
}

vek::rectf cToolWater::GetRect() const
{
    if (!garden::WaterEventSet()) return vek::rectf(0.0f, 0.0f, 0.0f, 0.0f);
    return cTool::GetRect();
}

void cToolWater::AddWater(int32_t n)
{
    if (static_cast<int64_t>(m_iWater) + n <= m_iCapacity) m_iWater += n;
}

void cToolWater::SetWater(int32_t n)
{
    if (n >= 0 && n <= m_iCapacity) m_iWater = n;
}

void cToolWater::UseWater(int32_t n)
{
    if (m_iWater >= n) m_iWater -= n;
}

bool cToolWater::Save(vek::cBitStream& stream)
{
    cTool::Save(stream);
    stream.WriteInt(m_iCapacity);
    stream.WriteInt(m_iWater);
    return true;
}

bool cToolWater::Load(vek::cBitStream& stream)
{
    const bool placed = cTool::Load(stream);
    const bool whole = stream.BytesLeft() >= 8;
    const int32_t capacity = stream.ReadInt();
    const int32_t water = stream.ReadInt();
    m_iWater = 0;
    if (!whole) return false;
    // A saved capacity stands for an upgrade bought, and the can never
    // holds more than it: values outside what any upgrade gives are damage
    // (a huge one would draw an icon per unit), and the can keeps the
    // upgrade's capacity, empty.
    const std::vector<int32_t>& table = garden::Balance().vecWaterCapacity;
    if (table.empty()) return false;
    const auto [low, high] = std::minmax_element(table.begin(), table.end());
    if (capacity < *low || capacity > *high || water < 0 || water > capacity) {
        vek::LogWarning("cToolWater", "Load: capacity %i with water %i is out of range; the can stays empty\n",
                        vek::format_arg(capacity), vek::format_arg(water));
        return false;
    }
    m_iCapacity = capacity;
    m_iWater = water;
    return placed;
}

void cToolWater::DrawTo(vek::cQuadBatch& batch)
{
    if (!garden::WaterEventSet()) return;
    cTool::DrawTo(batch);
    const vek::rectf r = GetRect();
    const int32_t water = std::min(m_iWater, m_iCapacity);
    DrawIconRow(batch, m_Icon, r, water, m_bInUse ? r.y - 14.0f : r.y - 7.0f, [](int32_t) { return 0; });
}

// ---- cToolWeed ----

cToolWeed::cToolWeed(cLevel* level) : cTool(level)
{
    // Its own picture when the garden's sheet has one; otherwise its hint
    // icon, so that it can still be seen and taken.
    if (!SetSprite("images00", "weed", 0)) SetSprite("icons00", "tool_weed", 0);
}

// ---- cToolBin ----

cToolBin::cToolBin(cLevel* level) : cTool(level)
{
    SetSprite("images00", "bin", 0);
    garden::Sprite("icons00", "bin", &m_Icon);
}

int32_t cToolBin::GetCapacity() const
{
    return GetUpgradeValue(garden::Balance().vecBinCapacity, GetUpgradeLevel(cUpgrades::e_upBinVolume));
}

int32_t cToolBin::GetWareCount(int32_t ware) const
{
    return static_cast<int32_t>(std::count(m_Wares.begin(), m_Wares.end(), ware));
}

bool cToolBin::AddWare(int32_t ware)
{
    if (IsFull()) return false;
    m_Wares.push_back(ware);
    return true;
}

int32_t cToolBin::TakeWare(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_Wares.size()) return NO_WARE;
    const int32_t ware = m_Wares[static_cast<size_t>(index)];
    m_Wares.erase(m_Wares.begin() + index);
    return ware;
}

bool cToolBin::Save(vek::cBitStream& stream)
{
    cTool::Save(stream);
    stream.WriteInt(static_cast<int32_t>(m_Wares.size()));
    for (int32_t ware : m_Wares) stream.WriteInt(ware);
    return true;
}

bool cToolBin::Load(vek::cBitStream& stream)
{
    bool ok = cTool::Load(stream);
    m_Wares.clear();
    if (stream.BytesLeft() < 4) return false;
    const int32_t count = stream.ReadInt();
    // No basket holds fewer than no wares: the record is damaged.
    if (count < 0) return false;
    if (count == 0) return ok;
    // The count is not trusted: reading stops where the stream ends.
    for (int32_t i = 0; i < count; ++i) {
        if (stream.BytesLeft() < 4) {
            ok = false;
            break;
        }
        const int32_t ware = stream.ReadInt();
        if (IsTableWare(ware)) AddWare(ware);
    }
    return ok;
}

void cToolBin::DrawTo(vek::cQuadBatch& batch)
{
    cTool::DrawTo(batch);
    const vek::rectf r = GetRect();
    const int32_t count = GetCount();
    DrawIconRow(batch, m_Icon, r, std::min(GetCapacity(), 16), m_bInUse ? r.y - 9.0f : r.y - 4.0f,
                [count](int32_t i) { return i < count ? 1 : 0; });
}
