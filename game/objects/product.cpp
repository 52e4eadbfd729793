#include "game/objects/product.h"

#include "engine/app/game.h"
#include "game/objects/animal.h"
#include "game/objects/animal_world.h"
#include "game/world/level.h"

namespace {

// How far below its cell's bottom edge a product lies.
float ProductDrop() { return g_fFieldHeight / static_cast<float>(g_iGridRows) * 0.5f - 16.0f; }

} // namespace

cAnimalProduct::cAnimalProduct(cLevel* level, const char* area, float life, const char* ware) : cObject(level)
{
    m_Life.m_fSpeed = 1.0f;
    SetSprite("icons00", area, 0);
    cAnimal::StartTimer(m_Life, life);
    m_iWare = AnimalWare(ware);
}

void cAnimalProduct::Update()
{
    if (GetAnimalWorld().LevelWaitsForPlayer()) return;
    if (cAnimal::StepTimer(m_Life, vek::kFixedStep) != 1) SetState(e_stRemove);
}

void cAnimalProduct::Draw()
{
    if (m_pLevel)
        GetAnimalWorld().DrawProgressCircle(*m_pLevel, vek::vec2(m_vPos.x, m_vPos.y + 16.0f), 21.0f,
                                            cAnimal::TimerFraction(m_Life));
    cObject::Draw();
}

void cAnimalProduct::SetCell(int32_t row, int32_t column)
{
    if (!m_pLevel) return;
    const vek::vec2 at = m_pLevel->GetCellPos(row, column);
    SetPos(at.x, at.y - ProductDrop());
}

cell cAnimalProduct::GetCell() const
{
    // Read back from where SetCell put it: the position itself lies in the
    // row below (or off the field for the bottom row), which would let a
    // second product onto the same cell and send the gardener to the wrong
    // one.
    if (!m_pLevel) return cell();
    return m_pLevel->PosToCell(m_vPos.x, m_vPos.y + ProductDrop());
}
