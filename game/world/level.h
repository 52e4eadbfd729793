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
class cTextPopups;
namespace vek {
class cQuadBatch;
}

class cLevel : public vek::cWidget, public cLevelGrid {
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

    // The garden screen's toolbars for the money, the unlocks, the animals
    // on the field and the play mode (game/world/level_toolbars.cpp);
    // nothing while the screen lacks any of them.
    void UpdateToolbars();

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

    // ---- the grid geometry objects stand on ----
    // The field is 8 rows by 10 columns over the rectangle (130, 130, 740,
    // 540) of the 1024 x 768 view, y up.

    // The conversions and searches come from cLevelGrid.

    // The field of a save slot (-1: the game in play); nothing to read or
    // write until the field keeps state of its own.
    virtual void Load(int slot);
    virtual void Save(int slot);

    // ---- the widget ----

    // The sea, sky and lighthouse, the garden, the objects of the draw list
    // front to back, the field's popups, then the GUI.
    void Draw() override;
    // The fixed 1/30 s step: the tutorial and the ships; then, while the
    // game's play mode is 0, the rules, the depth sort every third step and
    // every object's step.
    void Tick() override;
    // Per frame: the sky scrolls; while the play mode is 0 the objects move.
    void Update(float elapsed) override;
    // Shows "garden" and "score", fades the island music out and plays the
    // next of "music0" and "music1".
    void OnActivate() override;
    // Hides "garden" and "score", stops the tutorial, the ships and the
    // flying items.
    void OnDeactivate() override;
    // Escape shows "escape"; the mouse highlights the objects under it; a
    // left click picks its target (PickTarget) and hands it to QueueTarget.
    void OnInput(int kind, int code) override;

    // Every object's fixed step in registry order, then the flush.
    void UpdateObjects();
    // Every object's per-frame move in registry order, then the flush.
    void MoveObjects(float elapsed);
    // The draw list in order of descending depth key (larger keys drawn
    // first), by passes over neighbours until one swaps nothing; stable.
    void SortDrawList();
    // Counts fixed steps between depth sorts; the sort runs when it is a
    // multiple of 3 and the draw list holds something, and resets it.
    uint32_t GetSortCounter() const { return m_uSortCounter; }

    // The first step of loading a field: every object but the null object
    // goes, ids start again at 1, the fixed ids and the island's walkers
    // go.
    virtual void Reset();

    // What a left click at a field point aims at: the car, the pump, the
    // frontmost object under the point, or the cell under it.
    struct cTarget {
        enum eKind { e_None = 0, e_Car, e_Pump, e_Object, e_Cell };
        eKind kind = e_None;
        cObject* object = nullptr;  // the car, the pump or the object
        cell at;                    // the cell under the point, if any
    };
    cTarget PickTarget(const vek::vec2& point) const;
    // Of the objects whose hit test holds the point, the one with the
    // smallest depth key (frontmost); ties go to the first in registry
    // order. Null when none is hit.
    cObject* PickObject(const vek::vec2& point) const;
    // Turns a picked target into the gardener's job; nothing until the
    // gardener takes jobs.
    virtual void QueueTarget(const cTarget& target);

    // The cell marked under the mouse; (-1, -1) for none.
    const cell& GetHoverCell() const { return m_HoverCell; }
    cTextPopups* GetPopups() const { return m_pPopups; }

    // A ring from green through yellow to red: the full "circle_need" disc
    // in white at the radius, and over it a sector of radius - 1 in the
    // fraction's colour, from the top clockwise over that fraction of a
    // turn. Into the given batch, or the engine's.
    void DrawProgressCircle(const vek::vec2& position, float radius, float fraction);
    void DrawProgressCircle(vek::cQuadBatch& batch, const vek::vec2& position, float radius, float fraction);
    // The colour of a fraction, packed ARGB.
    static uint32_t ProgressColor(float fraction);

    // A backdrop sprite: texture (0 when missing, then not drawn), source
    // rectangle in uv and target rectangle on the field.
    struct cBackdrop {
        int32_t iTexture = 0;
        vek::rectf source;
        vek::rectf target;
    };
    const cBackdrop& GetBackdrop(int index) const { return m_aBackdrop[index]; }
    enum eBackdrop { e_bdBase = 0, e_bdTop, e_bdSky, e_bdLighthouse, e_bdShip, e_bdShipMirrored, e_bdCount };

private:
    void LoadBackdrop();
    bool ReadMouse(vek::vec2* point) const;
    // Updates the highlight flags for the point; true when any object is
    // under it.
    bool HighlightAt(const vek::vec2& point);

    // Declared before the registry so that it still exists while the
    // registry deletes the objects that leave it.
    std::list<cObject*> m_DrawList;
    std::list<uint32_t> m_Removed;
    vek::vlist_ptr<cObject> m_Objects;
    cSprite m_TargetSprite;
    bool m_bTargetLooked = false;

    cTextPopups* m_pPopups = nullptr;
    cBackdrop m_aBackdrop[e_bdCount];
    cSprite m_Highlight;  // "highlight" of "images00", looked up once
    bool m_bHighlightLooked = false;
    cSprite m_CircleNeed;  // "circle_need" of "icons00", looked up once
    bool m_bCircleLooked = false;
    cell m_HoverCell;
    uint32_t m_uSortCounter = 0;
};
