#include "game/world/level.h"

#include <algorithm>

#include "game/objects/object.h"
#include "game/world/game_sound.h"

namespace {

// The field's grid: 8 rows by 10 columns over this rectangle.
constexpr int32_t kRows = 8;
constexpr int32_t kColumns = 10;
constexpr float kLeft = 130.0f;
constexpr float kBottom = 130.0f;
constexpr float kWidth = 740.0f;
constexpr float kHeight = 540.0f;

} // namespace

cLevel::cLevel(const vek::string& name) : vek::cWidget(name)
{
    new cObject(this);  // registers itself as element 0
}

cLevel::~cLevel()
{
    // The objects leave the draw list as they go; emptied first, nothing is
    // searched for each of them. The registry then deletes them.
    m_DrawList.clear();
    m_Removed.clear();
}

uint32_t cLevel::AddObject(cObject* object)
{
    m_DrawList.push_back(object);
    return m_Objects.Add(object);
}

void cLevel::ForgetObject(cObject* object, uint32_t id)
{
    // Only a registered object leaves the registry: an id the object no
    // longer holds (the registry was cleared under it) names someone else.
    if (m_Objects.Get(id) == object) m_Objects.Remove(id);
    m_DrawList.remove(object);
}

bool cLevel::HasObject(uint32_t id) const { return id != 0 && m_Objects.IsValid(id); }

cObject* cLevel::GetNullObject() const { return m_Objects.Get(0); }

cObject* cLevel::FindObject(const cell& at, uint32_t mask) const
{
    cObject* none = GetNullObject();
    if (!none) return nullptr;
    const bool anywhere = at == cell();
    if (static_cast<int32_t>(mask) < 0) {
        if (!HasObject(m_uGardenerId)) return none;
        cObject* gardener = GetObject(m_uGardenerId);
        return anywhere || gardener->GetCell() == at ? gardener : none;
    }
    for (cObject* object : m_Objects)
        if (object->IsType(mask) && (anywhere || object->GetCell() == at)) return object;
    return none;
}

std::vector<cObject*> cLevel::GetObjectsAt(const cell& at) const
{
    std::vector<cObject*> found;
    for (cObject* object : m_Objects)
        if (object->GetCell() == at) found.push_back(object);
    return found;
}

void cLevel::RemoveObject(uint32_t id) { m_Removed.push_back(id); }

void cLevel::FlushRemoved()
{
    // A destructor may queue further objects (a hive its bee): they are
    // taken in the same loop. A queued id that names no live object, or
    // names the null object, is dropped; an id queued twice is deleted once.
    while (!m_Removed.empty()) {
        const uint32_t id = m_Removed.front();
        m_Removed.pop_front();
        if (HasObject(id)) delete GetObject(id);
    }
}

void cLevel::ClearObjects()
{
    m_DrawList.clear();
    m_Removed.clear();
    m_Objects.Clear();
    m_uGardenerId = m_uPumpId = m_uCarId = m_uCarBackId = 0;
}

const cSprite& cLevel::GetTargetSprite()
{
    if (!m_bTargetLooked) {
        m_bTargetLooked = true;
        LookUpSprite("icons00", "target", &m_TargetSprite);
    }
    return m_TargetSprite;
}

bool cLevel::IsValidCell(const cell& c) const
{
    return c.row >= 0 && c.row < kRows && c.column >= 0 && c.column < kColumns;
}

vek::vec2 cLevel::GetCellPos(int32_t row, int32_t column) const
{
    if (!IsValidCell(cell(row, column))) return vek::vec2();
    const float w = kWidth / static_cast<float>(kColumns);
    const float h = kHeight / static_cast<float>(kRows);
    return vek::vec2(kLeft + (static_cast<float>(column) + 0.5f) * w, kBottom + static_cast<float>(row) * h + 0.1f);
}

cell cLevel::PosToCell(float x, float y) const
{
    if (!(x > kLeft && x < kLeft + kWidth && y > kBottom && y < kBottom + kHeight)) return cell();
    const float w = kWidth / static_cast<float>(kColumns);
    const float h = kHeight / static_cast<float>(kRows);
    return cell(static_cast<int32_t>((y - kBottom) / h), static_cast<int32_t>((x - kLeft) / w));
}

