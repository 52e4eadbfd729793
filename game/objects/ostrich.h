#pragma once
// The ostrich: roams the upper right of the field and lays eggs.
#include "game/objects/animal.h"

class cOstrich : public cAnimal {
public:
    explicit cOstrich(cLevel* level);
    ~cOstrich() override;

    uint32_t GetType() const override { return OBJ_OSTRICH; }
    // Lays an egg when its product time has run out while roaming.
    void Update() override;
    float GetSpeciesParam(int32_t index) const override;
    int32_t GetSoundId(int32_t kind) const override;
    cell GetSpawnCell() const override { return cell(1, 7); }
    int32_t GetTaskKind() const override { return 0; }
    const char* GetProductName() const override { return "egg"; }
};
