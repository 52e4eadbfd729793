#pragma once
// The level field, the widget "garden": it owns the objects of the garden,
// addressed by a stable id. Element 0 of its object list is a plain object
// made before any other, the "no object" that every lookup of a dead or
// unknown id yields.
#include <cstdint>

#include "engine/core/vlist.h"
#include "engine/gui/widget.h"

class cObject;

class cLevel : public vek::cWidget {
public:
    cLevel();
    ~cLevel() override;

    // Whether a live object other than the null object has that id.
    bool HasObject(uint32_t id) const;
    // The object of that id, or the null object.
    cObject* GetObject(uint32_t id) const { return m_Objects.Get(id); }
    // The first live object (the null object excluded) whose type has every
    // bit of the mask, or the null object.
    cObject* FindObject(uint32_t mask) const;

    // The field of a save slot (-1: the game in play); nothing to read or
    // write until the field keeps state of its own.
    virtual void Load(int slot);
    virtual void Save(int slot);

    vek::vlist_ptr<cObject>& GetObjects() { return m_Objects; }
    const vek::vlist_ptr<cObject>& GetObjects() const { return m_Objects; }

private:
    vek::vlist_ptr<cObject> m_Objects;
};
