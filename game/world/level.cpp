#include "game/world/level.h"

#include "game/objects/object.h"

cLevel::cLevel() : vek::cWidget("garden")
{
    new cObject(this);  // registers itself as element 0
}

// The object list deletes every object, the null object last.
cLevel::~cLevel() = default;

bool cLevel::HasObject(uint32_t id) const { return id != 0 && m_Objects.IsValid(id); }

cObject* cLevel::FindObject(uint32_t mask) const
{
    auto it = m_Objects.begin();
    if (it == m_Objects.end()) return nullptr;
    cObject* none = *it;
    for (++it; it != m_Objects.end(); ++it)
        if ((*it)->IsType(mask)) return *it;
    return none;
}

void cLevel::Load(int) {}
void cLevel::Save(int) {}
