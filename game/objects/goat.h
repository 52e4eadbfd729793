#pragma once
// The goat: roams the lower right of the field; once her product time has
// run out she offers milk at her next rest (state 9), which the gardener
// takes from her directly. Milk not taken within 35 s is lost.
#include "game/objects/animal.h"

class cGoat : public cAnimal {
public:
    explicit cGoat(cLevel* level);
    ~cGoat() override;

    uint32_t GetType() const override { return OBJ_GOAT; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    void Update() override;
    // The animal, and with her milk a ring of the waiting time and the bin.
    void Draw() override;
    // Clickable only with her milk ready and no gardener's job for her yet.
    bool HitTest(const vek::vec2& point) const override;
    float GetSpeciesParam(int32_t index) const override;
    int32_t GetSoundId(int32_t kind) const override;
    cell GetSpawnCell() const override { return cell(6, 7); }
    int32_t GetTaskKind() const override { return 1; }
    const char* GetProductName() const override { return "milk"; }
};
