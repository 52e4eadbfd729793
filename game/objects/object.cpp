#include "game/objects/object.h"

#include "game/world/level.h"

cObject::cObject(cLevel* level) : m_pLevel(level)
{
    if (m_pLevel) m_uId = m_pLevel->GetObjects().Add(this);
}

cObject::~cObject()
{
    if (m_pLevel) m_pLevel->GetObjects().Remove(m_uId);
}
