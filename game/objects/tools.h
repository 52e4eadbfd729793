#pragma once
// The gardener's tools: the watering can, the weeding tool and the basket.
// A tool lies on a field cell until the gardener takes it; while carried it
// follows him, is not hit by clicks and is not drawn (his sprite shows it),
// but its water or basket indicator still is.
#include <cstdint>
#include <vector>

#include "game/objects/object.h"
#include "game/shell/texture_info.h"

class cTool : public cObject {
public:
    enum eKind : int32_t { e_Can = 0, e_Weed = 1, e_Basket = 2 };

    explicit cTool(cLevel* level) : cObject(level) {}
    bool HitTest(const vek::vec2& point) const override;
    float GetDepth() const override { return m_vPos.y - 25.0f; }
    // The base record; a tool saved on a cell that is not part of the field
    // moves to the nearest free cell when that lies inside the grid.
    bool Load(vek::cBitStream& stream) override;
    void Draw() override;
    virtual void DrawTo(vek::cQuadBatch& batch);

    virtual int32_t GetToolKind() const = 0;
    virtual void SetInUse(bool inUse) { m_bInUse = inUse; }
    virtual bool IsInUse() const { return m_bInUse; }

protected:
    // A row of `count` icons of width iw overlapping by half, centred over
    // the rectangle, bottom at y; frame(i) picks each icon's frame.
    template <class Frame>
    static void DrawIconRow(vek::cQuadBatch& batch, const cSprite& icon, const vek::rectf& r, int32_t count, float y,
                            Frame frame);

    bool m_bInUse = false;
    cSprite m_Highlight;
    bool m_bHighlightLooked = false;
};

class cToolWater : public cTool {
public:
    explicit cToolWater(cLevel* level);
    uint32_t GetType() const override { return OBJ_TOOL_WATER; }
    int32_t GetToolKind() const override { return e_Can; }
    // The empty rectangle while the player has not been shown the can.
    vek::rectf GetRect() const override;
    bool Load(vek::cBitStream& stream) override;
    bool Save(vek::cBitStream& stream) override;
    void DrawTo(vek::cQuadBatch& batch) override;

    virtual void SetCapacity(int32_t capacity) { m_iCapacity = capacity; }
    // Only while the result fits the capacity.
    virtual void AddWater(int32_t n);
    virtual bool IsFull() const { return m_iWater >= m_iCapacity; }
    // Only for 0 to the capacity.
    virtual void SetWater(int32_t n);
    // Only while that much is held.
    virtual void UseWater(int32_t n);
    virtual int32_t GetWater() const { return m_iWater; }
    int32_t GetCapacity() const { return m_iCapacity; }

private:
    int32_t m_iCapacity = 3;
    int32_t m_iWater = 0;
    cSprite m_Icon;
};

class cToolWeed : public cTool {
public:
    explicit cToolWeed(cLevel* level);
    uint32_t GetType() const override { return OBJ_TOOL_WEED; }
    int32_t GetToolKind() const override { return e_Weed; }
};

class cToolBin : public cTool {
public:
    explicit cToolBin(cLevel* level);
    uint32_t GetType() const override { return OBJ_TOOL_BIN; }
    int32_t GetToolKind() const override { return e_Basket; }
    bool Load(vek::cBitStream& stream) override;
    bool Save(vek::cBitStream& stream) override;
    void DrawTo(vek::cQuadBatch& batch) override;

    virtual bool IsFull() const { return GetCount() >= GetCapacity(); }
    virtual int32_t GetWareCount(int32_t ware) const;
    virtual int32_t GetCount() const { return static_cast<int32_t>(m_Wares.size()); }
    // False when full.
    virtual bool AddWare(int32_t ware);
    // The entry at that position, removed; 1000 (no ware) out of range.
    virtual int32_t TakeWare(int32_t index);
    virtual int32_t TakeFirstWare() { return TakeWare(0); }
    // Read anew each time from the player's upgrade, so that an upgrade
    // takes effect at once.
    virtual int32_t GetCapacity() const;
    const std::vector<int32_t>& GetWares() const { return m_Wares; }

private:
    std::vector<int32_t> m_Wares;
    cSprite m_Icon;
};
