#pragma once
// Animal products lying on the field until the gardener picks them up: a
// ware with a life timer, drawn with a ring that fills as the life runs
// out. The ostrich lays eggs, the peacock drops nibs.
#include <cstdint>

#include "engine/core/anim.h"
#include "game/objects/object.h"

class cAnimalProduct : public cObject {
public:
    // life: seconds until the product is gone; ware: its ware's name.
    cAnimalProduct(cLevel* level, const char* area, float life, const char* ware);

    // The life runs out: state 2 (the product is gone).
    void Update() override;
    // The ring of the life, then the sprite.
    void Draw() override;
    float GetDepth() const override { return m_vPos.y - 30.0f; }
    // Lies a little below the cell's bottom edge, at (cell height / 2 - 16).
    void SetCell(int32_t row, int32_t column) override;
    using cObject::SetCell;
    // The cell it was put on (its position lies below that cell's edge).
    cell GetCell() const override;

    int32_t GetWare() const { return m_iWare; }

    vek::mover<float> m_Life;

protected:
    int32_t m_iWare = 1000;
};

class cEgg : public cAnimalProduct {
public:
    static constexpr float kLife = 50.0f;
    explicit cEgg(cLevel* level) : cAnimalProduct(level, "egg", kLife, "egg") {}
    uint32_t GetType() const override { return OBJ_EGG; }
};

class cNib : public cAnimalProduct {
public:
    static constexpr float kLife = 40.0f;
    explicit cNib(cLevel* level) : cAnimalProduct(level, "nib", kLife, "nib") {}
    uint32_t GetType() const override { return OBJ_NIB; }
};
