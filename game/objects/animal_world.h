#pragma once
// What the animals, their products, the hive and its bee ask of the world
// around them beyond the object core: the field's grid values and free-cell
// search, the progress ring, the plants they feed on, the gardener's queue,
// the focused view, sounds and particle bursts.
//
// Everything goes through one replaceable object so that the animals can be
// exercised on a bare field (tests install their own), and so that each
// question is answered in one place. The default answers from the game:
// the field's own grid and ring, the plants and the gardener's queue.
#include <cstdint>

#include "engine/core/geometry.h"
#include "game/world/grid.h"

class cLevel;
class cObject;

class cAnimalWorld {
public:
    virtual ~cAnimalWorld() = default;

    // ---- the grid ----
    // The cell's value: 0 blocked, otherwise open; 0 outside the grid.
    virtual float GetCellValue(const cLevel& level, const cell& at) const;
    virtual void SetCellValue(cLevel& level, const cell& at, float value) const;
    // The nearest free cell (see cLevelGrid::FindFreeCellNear).
    virtual cell FindFreeCellNear(const cLevel& level, const cell& at) const;
    // The field's progress ring: green through yellow to red over fraction.
    virtual void DrawProgressCircle(cLevel& level, const vek::vec2& centre, float radius, float fraction) const;

    // ---- plants (objects of type 0x20000000) ----
    // The plant's ware index (NO_WARE when it is no plant).
    virtual int32_t GetPlantWare(const cObject& plant) const;
    // -1 none, 0 water, 1 weeding, 2 ripe.
    virtual int32_t GetPlantNeed(const cObject& plant) const;
    // The id of the animal (or bee) the plant is reserved for; 0 none.
    virtual uint32_t GetPlantReservation(const cObject& plant) const;
    virtual void SetPlantReservation(cObject& plant, uint32_t id) const;
    // Shows what is left of a plant being eaten (0 to 1).
    virtual void SetPlantGrowth(cObject& plant, float growth) const;
    // A ripe plant is harvested and grows again from nothing.
    virtual void HarvestPlant(cObject& plant) const;

    // ---- the gardener ----
    // Whether his queue holds a job naming that object.
    virtual bool GardenerHasJobFor(const cLevel& level, uint32_t id) const;

    // ---- the game ----
    // The garden view is the focused widget (new animals fade in only then).
    virtual bool IsGardenFocused() const;
    // The level waits for the player (a lesson, a hint waiting for its
    // "OK"): what waits for him (a hungry animal's patience, a product's
    // life, the milk, the honey, the bee's search for flowers) waits too.
    virtual bool LevelWaitsForPlayer() const;
    virtual void PlayGameSound(int32_t id) const;
    virtual void EmitBurst(uint32_t count, float spread, const vek::vec2& at) const;
};

// The world in use: the one installed last, or the default one.
const cAnimalWorld& GetAnimalWorld();
// Installs a world (not owned); null puts the default back.
void SetAnimalWorld(const cAnimalWorld* world);
