#pragma once
// The level field, the widget "garden": it owns every object of the garden
// through its object registry, in which each object has a stable id.
// Element 0 of the registry is a plain object made before any other, the
// "no object" that the finders answer and that every lookup of a dead or
// unknown id yields. Besides the registry the field keeps the draw list
// (every object, in drawing order) and the removal queue: objects are never
// deleted while the registry is walked, only queued, and FlushRemoved
// deletes them after the pass.
#include <cstdint>
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vlist.h"
#include "engine/gui/widget.h"
#include "game/shell/texture_info.h"
#include "game/world/grid.h"

class cObject;

class cLevel : public vek::cWidget {
public:
    explicit cLevel(const vek::string& name = "garden");
    // Deletes every object (the null object last).
    ~cLevel() override;

    // ---- the objects ----

    // Whether the id names a live object other than the null object.
    bool HasObject(uint32_t id) const;
    // The object of that id, or the null object.
    cObject* GetObject(uint32_t id) const { return m_Objects.Get(id); }
    // Element 0; null only when the registry is empty.
    cObject* GetNullObject() const;
    // With a mask whose top bit is set (the gardener's type): the gardener,
    // when he exists and the cell is (-1, -1) or his. Otherwise the first
    // object in registry order whose type has every bit of the mask and
    // whose cell is the given one, or simply the first such object when the
    // cell is (-1, -1). None: the null object (null for an empty registry).
    cObject* FindObject(const cell& at, uint32_t mask) const;
    // Every object standing on the cell, in registry order.
    std::vector<cObject*> GetObjectsAt(const cell& at) const;

    // Queues the object of that id for deletion (cObject::RemoveFromMap).
    void RemoveObject(uint32_t id);
    // Deletes each queued object that is still registered, once, never the
    // null object; then empties the queue. Objects a destructor queues are
    // deleted in the same flush.
    void FlushRemoved();
    // Deletes every object but the null object and empties the draw list
    // and the removal queue; ids start again at 1. The fixed objects' ids
    // go back to 0.
    void ClearObjects();

    // The four fixed objects of a loaded field; 0 = none.
    uint32_t m_uGardenerId = 0;
    uint32_t m_uPumpId = 0;
    uint32_t m_uCarId = 0;
    uint32_t m_uCarBackId = 0;

    vek::vlist_ptr<cObject>& GetObjects() { return m_Objects; }
    const vek::vlist_ptr<cObject>& GetObjects() const { return m_Objects; }
    const std::list<cObject*>& GetDrawList() const { return m_DrawList; }
    const std::list<uint32_t>& GetRemovalQueue() const { return m_Removed; }

    // Called by the object's constructor and destructor.
    uint32_t AddObject(cObject* object);
    void ForgetObject(cObject* object, uint32_t id);

    // The "target" mark drawn for each pending gardener job on an object,
    // looked up once for this field by its first object.
    const cSprite& GetTargetSprite();

    // ---- animals and hives (game/world/level_animals.cpp) ----
    // The ostriches, hives, goats and peacocks on the field, kept by their
    // constructors and destructors.
    int32_t m_iOstriches = 0;
    int32_t m_iHives = 0;
    int32_t m_iGoats = 0;
    int32_t m_iPeacocks = 0;
    // A new animal on its spawn cell: ostrich (1, 7), goat (6, 7), peacock
    // (1, 1). Its id.
    uint32_t AddOstrich();
    uint32_t AddGoat();
    uint32_t AddPeacock();
    // A hive with its bee on the first free hive place, (0, 4) then (0, 6);
    // the plant and product there go, the place and the cell above it are
    // blocked. 0 when both places hold a hive.
    uint32_t AddHive();
    // Kind 0 ostrich, 1 goat, 2 hive, 3 peacock, at the balance's price.
    // False, with nothing charged, when the money is short, the kind is
    // unknown or no animal could be made.
    bool BuyAnimal(int kind);
    // The needs of the animals, their products and the hives: whether a
    // level task still asks for their ware. UpdateAnimalNeed handles one
    // object (false when it is none of these); with a task, only objects
    // of that task's ware. UpdateAnimalNeeds walks the whole registry.
    bool UpdateAnimalNeed(cObject& object, const struct cLevelTask* task);
    void UpdateAnimalNeeds(const struct cLevelTask* task);

    // ---- the grid geometry objects stand on ----
    // The field is 8 rows by 10 columns over the rectangle (130, 130, 740,
    // 540) of the 1024 x 768 view, y up.

    bool IsValidCell(const cell& c) const;
    // The middle of the cell's bottom edge, raised by 0.1; (0, 0) for a
    // cell outside the grid.
    vek::vec2 GetCellPos(int32_t row, int32_t column) const;
    vek::vec2 GetCellPos(const cell& c) const { return GetCellPos(c.row, c.column); }
    // The cell a point lies in; (-1, -1) unless strictly inside the field.
    cell PosToCell(float x, float y) const;
    cell PosToCell(const vek::vec2& p) const { return PosToCell(p.x, p.y); }

    // The field of a save slot (-1: the game in play); nothing to read or
    // write until the field keeps state of its own.
    virtual void Load(int slot);
    virtual void Save(int slot);

private:
    // Declared before the registry so that it still exists while the
    // registry deletes the objects that leave it.
    std::list<cObject*> m_DrawList;
    std::list<uint32_t> m_Removed;
    vek::vlist_ptr<cObject> m_Objects;
    cSprite m_TargetSprite;
    bool m_bTargetLooked = false;
};
