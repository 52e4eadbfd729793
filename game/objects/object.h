#pragma once
// The objects placed on the level field: the base with its type code, and
// the two objects a player's upgrade changes while a level runs (the
// gardener's walking speed, the watering cans' capacity).
#include <cstdint>

class cLevel;

// Type codes: the high bits name the family, the low bits the species.
constexpr uint32_t OBJ_GARDENER = 0x80000000u;
constexpr uint32_t OBJ_TOOL = 0x00100000u;
constexpr uint32_t OBJ_TOOL_WATER = 0x00100001u;

class cObject {
public:
    // Registers the object in the level's object list (its id is the list's
    // answer); an object made without a level has id 0 and no registration.
    explicit cObject(cLevel* level);
    // Unregisters the object from its level's list; never deletes anything.
    virtual ~cObject();
    cObject(const cObject&) = delete;
    cObject& operator=(const cObject&) = delete;

    // 0 for the plain object, which is also the level's "no object".
    virtual uint32_t GetType() const { return 0; }
    // Every bit of the mask is set in the type.
    bool IsType(uint32_t mask) const { return (GetType() & mask) == mask; }
    uint32_t GetId() const { return m_uId; }
    cLevel* GetLevel() const { return m_pLevel; }

private:
    cLevel* m_pLevel;
    uint32_t m_uId = 0;
};

class cGardener : public cObject {
public:
    explicit cGardener(cLevel* level) : cObject(level) {}
    uint32_t GetType() const override { return OBJ_GARDENER; }

    // Walking speed in pixels per second.
    virtual void SetSpeed(float speed) { m_fSpeed = speed; }
    float GetSpeed() const { return m_fSpeed; }

private:
    float m_fSpeed = 280.0f;
};

// The watering can: holds units of water up to its capacity.
class cToolWater : public cObject {
public:
    explicit cToolWater(cLevel* level) : cObject(level) {}
    uint32_t GetType() const override { return OBJ_TOOL_WATER; }

    virtual void SetCapacity(int32_t capacity) { m_iCapacity = capacity; }
    int32_t GetCapacity() const { return m_iCapacity; }
    int32_t GetWater() const { return m_iWater; }

private:
    int32_t m_iCapacity = 3;
    int32_t m_iWater = 0;
};
