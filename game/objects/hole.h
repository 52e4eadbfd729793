#pragma once
// A planting hole of the bed layout. Crops are sown only into holes; a hole
// never changes, is drawn under everything and tells which plant stands on
// it. Holes the current level does not use yet are hidden: not drawn, never
// hit.
#include <cstdint>

#include "game/objects/object.h"
#include "game/shell/texture_info.h"

class cHole : public cObject {
public:
    explicit cHole(cLevel* level);
    uint32_t GetType() const override { return OBJ_HOLE; }
    vek::rectf GetRect() const override;
    float GetDepth() const override { return m_vPos.y + 1000.0f; }
    void Draw() override;
    void DrawTo(vek::cQuadBatch& batch);

    // The first live plant (state other than 2) on the hole's cell; 0 when
    // there is none.
    virtual uint32_t GetPlant() const;
    void SetShown(bool shown) { m_bShown = shown; }
    bool IsShown() const { return m_bShown; }

private:
    bool m_bShown = true;
    cSprite m_Highlight;
    bool m_bHighlightLooked = false;
};
