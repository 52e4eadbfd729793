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
#include <functional>
#include <list>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vlist.h"
#include "engine/gui/widget.h"
#include "game/shell/texture_info.h"
#include "game/world/grid.h"

class cFadeAnimation;
class cObject;
class cTextPopups;
struct cLevelTask;
namespace vek {
class cBitStream;
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
    // The hive places, (0, 4) and (0, 6): no field holds more hives.
    static constexpr int32_t kHivePlaces = 2;
    // What the field's animals hold beyond what a profile at that animal
    // level (-1 none yet, else the highest kind unlocked) could have bought:
    // a kind above it (no toolbar sells one), or more hives than their
    // places. Empty when nothing.
    vek::string AnimalsBeyond(int32_t animalLevel) const;

    // ---- the grid geometry objects stand on ----
    // The field is 8 rows by 10 columns over the rectangle (130, 130, 740,
    // 540) of the 1024 x 768 view, y up.

    // The conversions and searches come from cLevelGrid.

    // The field of a save slot (-1: the game in play), "level.dat" in the
    // player's profile folder (game/world/level_save.cpp).
    virtual bool Load(int slot);
    virtual bool Save(int slot);

    // ---- the widget ----

    // The sea, sky and lighthouse, the garden, the objects of the draw list
    // front to back, the field's popups, then the GUI.
    void Draw() override;
    // The fixed 1/30 s step: the tutorial and the ships; then, while the
    // play mode is e_playLevel, the rules, the depth sort every third step and
    // every object's step.
    void Tick() override;
    // Per frame: the sky scrolls; while a level plays (e_playLevel) the objects move.
    void Update(float elapsed) override;
    // Shows "garden" and "score", fades the island music out and plays the
    // next of "music0" and "music1".
    void OnActivate() override;
    // Hides "garden" and "score", stops the tutorial, the ships and the
    // flying items.
    void OnDeactivate() override;
    // Escape shows "escape"; the mouse highlights the objects under it and
    // sets the hover cell (GardenHoverCell); a left click goes down the
    // click road (GardenClick); the right button is GardenRightClick.
    void OnInput(int kind, int code) override;

    // Every object's fixed step in registry order, then the flush.
    void UpdateObjects();
    // Every object's per-frame move in registry order, then the flush.
    void MoveObjects(float elapsed);
    // The draw list in order of descending depth key (larger keys drawn
    // first), by passes over neighbours until one swaps nothing; stable.
    // The object a shown lesson step points at goes last.
    void SortDrawList();
    // Counts fixed steps between depth sorts; the sort runs when it is a
    // multiple of 3 and the draw list holds something, and resets it.
    uint32_t GetSortCounter() const { return m_uSortCounter; }

    // The first step of loading a field: every object but the null object
    // goes, ids start again at 1, the fixed ids, the wares in flight, the
    // ships and the field's particles go, and the grid is open again.
    virtual void Reset();

    // What a left click at a field point aims at: the car, the pump, the
    // frontmost object under the point, or the cell under it.
    struct cTarget {
        enum eKind { e_None = 0, e_Car, e_Pump, e_Object, e_Cell };
        eKind kind = e_None;
        cObject* object = nullptr;  // the car, the pump or the object
        cell at;                    // the cell under the point, if any
        vek::vec2 point;            // the clicked point itself
    };
    cTarget PickTarget(const vek::vec2& point) const;
    // Of the objects whose hit test holds the point, the one with the
    // smallest depth key (frontmost); ties go to the first in registry
    // order. Null when none is hit.
    cObject* PickObject(const vek::vec2& point) const;
    // Turns a picked target into the gardener's job: the car, the pump, or
    // the object or cell by the click road's rules (QueueGardenTarget).
    virtual void QueueTarget(const cTarget& target);

    // The cell marked under the mouse; (-1, -1) for none.
    const cell& GetHoverCell() const { return m_HoverCell; }
    // The cursor in client pixels (y down); without it the engine's input
    // is read. False when it cannot be read. Lets the field take mouse
    // input without a window.
    std::function<bool(int* x, int* y)> fnCursor;
    // What the last left button press that reached OnInput came to: false
    // when it was ignored (a tutorial step's delay, the first level's
    // opening seconds, no gardener, no cursor) or found nothing to aim at.
    bool WasClickTaken() const { return m_bClickTaken; }
    cTextPopups* GetPopups() const { return m_pPopups; }

    // A ring from green through yellow to red: the full "circle_need" disc
    // in white at the radius, and over it a sector of radius - 1 in the
    // fraction's colour, from the top clockwise over that fraction of a
    // turn. Into the given batch, or the engine's. The fraction is taken
    // within 0..1, a NaN as 0.
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
    bool m_bClickTaken = false;
    uint32_t m_uSortCounter = 0;
    // ---- the garden at work (level_garden.cpp, level_save.cpp) ----

    // ---- the rules on the field: wares in flight, needs, income
    // (game/world/level_rules.cpp) ----
public:
    // A ware moving between two places of the screen: 0 to the car, 1 away
    // from the car, 2 to another factory.
    struct cWareFlight {
        int32_t iWare = 1000;
        int32_t iSource = 0;
        vek::mover<float> progress;
        int32_t iKind = 0;
        void* pSource = nullptr;
        void* pTarget = nullptr;
        cWareFlight() { progress.m_fSpeed = 1.0f; }
        bool Arrived() const { return progress.m_fDuration > 0.0f && progress.m_fTime >= progress.m_fDuration; }
    };
    void AddWareFlight(int32_t ware, int32_t source, void* sourceFactory, int32_t kind, void* targetFactory);
    int CountWaresInFlight(int32_t ware) const;
    std::vector<cWareFlight>& GetWareFlights() { return m_WareFlights; }
    const std::vector<cWareFlight>& GetWareFlights() const { return m_WareFlights; }

    // A plant of the ware on the cell; its id.
    uint32_t AddPlant(const cell& at, int32_t ware);
    // The toolbar's choice of what to sow, queued on the gardener; false
    // without a gardener.
    bool PlantSort(int32_t ware);
    // The click road from the field point on (the point is in field
    // coordinates, y up): the ignore rules, the click sound, the car, the
    // pump, the frontmost object or the cell, and the job for the gardener.
    // False when the click was ignored or found nothing.
    bool GardenClick(const vek::vec2& point);
    // Steps 6 to 11 of the road for an object already picked (or none) and
    // the cell under the point.
    void QueueGardenTarget(cObject* picked, const cell& at, const vek::vec2& point);
    // What a click on a cell without a hit object aims at: a hole, a tool
    // (the can only once shown), flowers that need water, an animal
    // product; the null object when none.
    cObject* PickOnCell(const cell& at) const;
    // The right button: the gardener's jobs and ware go, except during a
    // tutorial step.
    void GardenRightClick();
    // Whether the gardener will sow grass or flowers next (then the cell
    // under the mouse is marked when no object is hit).
    bool WillSowOnCells() const;
    // The hover cell for a mouse point: the cell under it while no object
    // is hit and grass or flowers will be sown; (-1, -1) otherwise.
    cell GardenHoverCell(const vek::vec2& point, bool objectHit) const;
    // The "target" mark on each cell the gardener's queue walks to.
    void DrawCellMarks(vek::cQuadBatch& batch);
    cObject* GetGardenerObject() const;

    // Empty field: no objects, no flights, an open 8 x 10 grid.
    void ResetField();
    // The saved field in a stream: Save writes the records; Load rebuilds
    // the field from the stream (null: no file, the default placement) and
    // reports what was wrong in `problem` (empty when nothing was). A file
    // whose animals the profile could not have bought is refused whole
    // (`refused`): the field keeps the default placement.
    bool SaveField(vek::cBitStream& stream);
    void LoadField(vek::cBitStream* stream, vek::string* problem, bool* refused = nullptr);

protected:
    bool IsCellTaken(const cell& at) const override;
    bool HasHoleOn(const cell& at) const override;
    void AddBedHole(const cell& at, bool shown) override;
    std::vector<cObject*> GetLooseItems() const override;
    cell GetItemCell(const cObject* item) const override;
    void PutItemOnCell(cObject* item, const cell& at) override;

private:
    bool BuildFieldGrid();
    // LoadField's work: the emptied field, its beds, the fixed objects and
    // what the stream holds (null: the default placement).
    void BuildField(vek::cBitStream* stream, const std::vector<cell>& holes, vek::string* problem);
    cObject* FrontObjectAt(const vek::vec2& point) const;

    std::vector<cWareFlight> m_WareFlights;
    // The slots whose "level.dat" was found damaged: kept as "level.dat.bad"
    // before the next save replaces it.
    std::vector<int> m_DamagedSlots;
    // Slots whose level.dat exists but could not be read: never written over.
    std::vector<int> m_RefusedSlots;
    // The field's grid is open 8 x 10 from construction on.
    bool m_bGridBuilt = BuildFieldGrid();

public:
    // Starts, moves and lands the wares in flight by the elapsed seconds: a
    // ware for the car waits while the car is away, wares leaving the car go
    // at least 0.3 s apart; a landed ware is loaded and counted (to the
    // car), handed on (to a factory) or gone (away).
    void MoveWareFlights(float elapsed);
    // Where wares land on and leave the car; kept once known.
    vek::vec2 GetCarPoint();
    // "+$amount" rising at the car.
    void ShowIncome(int32_t amount);
    // Lets every object know whether its ware is still wanted (only those
    // of that task when one is given): animal products no longer wanted
    // go; plants, animals and hives are told by fnRenewNeed.
    void UpdateNeeds(const cLevelTask* task);
    // Test seams: the ware an object yields toward the tasks (without it,
    // products go by their type and plants by their sort, flowers by
    // honey), and the object's reaction to being wanted or not (without it,
    // a plant no task wants drops the need it waits with unless ripe). True from fnRenewNeed when the object dropped a need
    // (then a burst of particles marks it).
    std::function<int32_t(const cObject*)> fnObjectWare;
    std::function<bool(cObject*, bool needed)> fnRenewNeed;
    // The seams when set, the field's own answers otherwise.
    int32_t ObjectWare(const cObject* object) const;
    bool RenewNeed(cObject* object, bool needed);

private:
    vek::vec2 m_vCarPoint;
    // The sea's frame animations: ocean, wave, light.
    cFadeAnimation* m_apSea[3] = {nullptr, nullptr, nullptr};
};
