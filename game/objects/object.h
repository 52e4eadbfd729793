#pragma once
// The base of every object on the level field. An object registers itself
// with its level's object registry (its id is the registry's answer) and
// draw list when it is made, and leaves both when it is deleted; only the
// level deletes objects, after its update pass (RemoveFromMap queues it).
//
// Coordinates are those of the 2D layer: pixels of the 1024 x 768 view, y
// up. The position is the bottom centre of the sprite; a larger y stands
// further back. Every change of state goes through SetState, which asks the
// transition hook CanChangeState first, so a class keeps all side effects of
// entering a state in one place. Common states: -1 just made (0 after the
// first step), 0 fresh, 2 remove; the other numbers are the class's own.
#include <cstdint>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "game/world/balance.h"
#include "game/world/level.h"

namespace vek {
class cBitStream;
class cQuadBatch;
}
struct cSprite;

// The glow under a highlighted hole or tool ("images00", "highlight"),
// looked up into `sprite` the first time (`looked` remembers it), centred
// on x with its top at y. Nothing when the picture is missing.
void DrawFieldHighlight(vek::cQuadBatch& batch, cSprite& sprite, bool& looked, float x, float y);

// Type codes: the high bits name the family, the low bits the species.
// IsType(mask) is true when every bit of the mask is set in the type.
constexpr uint32_t OBJ_NONE = 0x00000000u;  // the registry's element 0
constexpr uint32_t OBJ_GARDENER = 0x80000000u;
constexpr uint32_t OBJ_PLANT = 0x20000000u;
constexpr uint32_t OBJ_HOLE = 0x10000000u;
constexpr uint32_t OBJ_ANIMAL = 0x08000000u;
constexpr uint32_t OBJ_OSTRICH = 0x08000001u;
constexpr uint32_t OBJ_PEACOCK = 0x08000002u;
constexpr uint32_t OBJ_GOAT = 0x08000004u;
constexpr uint32_t OBJ_BEE = 0x04000000u;
constexpr uint32_t OBJ_PRODUCT = 0x02000000u;  // animal products
constexpr uint32_t OBJ_EGG = 0x02000001u;
constexpr uint32_t OBJ_NIB = 0x02000002u;
constexpr uint32_t OBJ_TOOL = 0x00100000u;
constexpr uint32_t OBJ_TOOL_WATER = 0x00100001u;
constexpr uint32_t OBJ_TOOL_WEED = 0x00100002u;
constexpr uint32_t OBJ_TOOL_BIN = 0x00100004u;
constexpr uint32_t OBJ_WORKSTATION = 0x00080000u;  // also the car's back part
constexpr uint32_t OBJ_CAR = 0x00080001u;
constexpr uint32_t OBJ_PUMP = 0x00080002u;
constexpr uint32_t OBJ_HIVE = 0x00080004u;

class cObject {
public:
    enum eState : int32_t { e_stNew = -1, e_stFresh = 0, e_stRemove = 2 };

    // Registers the object with the level (registry and draw list). An
    // object made without a level has id 0 and belongs to no field.
    explicit cObject(cLevel* level);
    // Leaves the registry (without deleting anything) and the draw list.
    virtual ~cObject();
    cObject(const cObject&) = delete;
    cObject& operator=(const cObject&) = delete;

    virtual uint32_t GetType() const { return OBJ_NONE; }
    virtual bool IsType(uint32_t mask) const { return (GetType() & mask) == mask; }

    // The transition hook: runs before the state changes (GetState still
    // gives the old one) and may refuse. The base accepts every change and
    // queues the object for removal when the new state is 2; an override
    // that wants that too calls RemoveFromMap or ends in the base's hook.
    virtual bool CanChangeState(int32_t oldState, int32_t newState);
    // Changes the state when it differs and the hook accepts.
    virtual void SetState(int32_t state);
    virtual int32_t GetState() const { return m_iState; }
    // Queues the object on the level's removal queue.
    virtual void RemoveFromMap();
    virtual uint32_t GetId() const { return m_uId; }

    // The area of the texture as the object's sprite, animated in the mode
    // of vek::cAnimCounter (0 still, 1 once, 2 once backwards, 3 loop, 4 loop
    // backwards, 5 ping-pong) at the area's rate (30 frames per second when
    // the area gives none). A missing sprite leaves the object without
    // texture and with size (0, 0): drawn as nothing, never hit. False then.
    virtual bool SetSprite(const vek::string& texture, const vek::string& area, int32_t mode);
    // (x - w/2, y, w, h): the sprite's rectangle on the field.
    virtual vek::rectf GetRect() const;
    // The point lies strictly inside the rectangle (a point on the border
    // misses).
    virtual bool HitTest(const vek::vec2& point) const;
    virtual void SetHighlight(bool on) { m_bHighlight = on; }
    virtual bool IsHighlighted() const { return m_bHighlight; }
    // The draw-order key: a larger key is drawn earlier. Base: y.
    virtual float GetDepth() const { return m_vPos.y; }

    // The base record: the row and column of GetCell, two 32-bit integers.
    // Load puts the object on the cell read (SetCell); false when the
    // stream ended inside the record (the missing values read as 0).
    virtual bool Load(vek::cBitStream& stream);
    virtual bool Save(vek::cBitStream& stream);

    // Gardener jobs naming this object; never below 0.
    virtual void AddTarget() { ++m_iTargets; }
    virtual void RemoveTarget()
    {
        if (m_iTargets > 0) --m_iTargets;
    }
    virtual void ClearTargets() { m_iTargets = 0; }
    int32_t GetTargets() const { return m_iTargets; }

    // Positioning. The (x, y) and (row, column) forms are the ones to
    // override; the others forward to them.
    void MoveBy(const vek::vec2& delta) { MoveBy(delta.x, delta.y); }
    virtual void MoveBy(float dx, float dy) { SetPos(m_vPos.x + dx, m_vPos.y + dy); }
    void SetPos(const vek::vec2& pos) { SetPos(pos.x, pos.y); }
    virtual void SetPos(float x, float y) { m_vPos = vek::vec2(x, y); }
    const vek::vec2& GetPos() const { return m_vPos; }
    // The cell's point of the level grid (its bottom edge's middle, raised
    // by 0.1); nothing without a level.
    virtual void SetCell(int32_t row, int32_t column);
    void SetCell(const cell& c) { SetCell(c.row, c.column); }
    // The level's cell of the position; (-1, -1) off the field.
    virtual cell GetCell() const;

    // The fixed 1/30 s step: the animation advances; state -1 becomes 0;
    // state 2 queues the removal.
    virtual void Update();
    // The per-frame step with the elapsed seconds; the base does nothing.
    virtual void Move(float elapsed);
    // The current frame in opaque white, then one "target" mark per
    // pending job, into the engine's quad batch.
    virtual void Draw();
    // What the base Draw adds, into the given batch.
    void DrawInto(vek::cQuadBatch& batch) const;

    cLevel* GetLevel() const { return m_pLevel; }
    const vek::vec2& GetSize() const { return m_vSize; }
    int32_t GetTexture() const { return m_iTexture; }
    const vek::rectf* GetFrames() const { return m_pFrames; }
    const vek::cAnimCounter& GetAnim() const { return m_Anim; }

protected:
    cLevel* m_pLevel;
    uint32_t m_uId = 0;
    int32_t m_iState = e_stNew;
    bool m_bHighlight = false;
    vek::vec2 m_vPos;
    vek::vec2 m_vSize = vek::vec2(1.0f, 1.0f);
    int32_t m_iTexture = 0;
    const vek::rectf* m_pFrames = nullptr;
    vek::cAnimCounter m_Anim;
    int32_t m_iTargets = 0;
};

// The game's random numbers, on the game object's seed (seed = seed x 69069
// + 1, wrapping at 32 bits). RandomInt gives lo + (seed & 0x7fff) % (hi - lo
// + 1); for hi = lo - 1 it gives lo and leaves the seed alone. RandomRange
// gives a + (b - a) x (seed & 0x7fff) / 32768, in [a, b).
int32_t RandomInt(int32_t lo, int32_t hi);
float RandomRange(float a, float b);
// The seed those use: the game object's, or one of their own while no game
// object exists.
uint32_t& RandomSeed();

// The current player's level (0 to 3) of an upgrade (cUpgrades::eUpgrade);
// 0 for any other index or without a player. The value an
// upgrade level selects is GetUpgradeValue (game/world/balance.h).
int32_t GetUpgradeLevel(int32_t index);
