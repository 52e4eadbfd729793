#pragma once
// The peacock: roams the left of the field and drops nibs. Its sprite
// areas lie on three textures, one per area.
#include "game/objects/animal.h"

class cPeacock : public cAnimal {
public:
    explicit cPeacock(cLevel* level);
    ~cPeacock() override;

    uint32_t GetType() const override { return OBJ_PEACOCK; }
    // Drops a nib when its product time has run out while roaming.
    void Update() override;
    // "ld" lies on "peacock00", "lu" on "peacock01", "eat_l" on
    // "peacock02"; the chosen texture becomes the animal's.
    bool SetAnimation(const vek::string& texture, const vek::string& area, int32_t mode, bool mirrored) override;
    // The tail spreads behind the bird: the rectangle is shifted 40 pixels
    // against its walk (not while it eats).
    vek::rectf GetRect() const override;
    float GetSpeciesParam(int32_t index) const override;
    int32_t GetSoundId(int32_t kind) const override;
    cell GetSpawnCell() const override { return cell(1, 1); }
    int32_t GetTaskKind() const override { return 3; }
    const char* GetProductName() const override { return "nib"; }
};
