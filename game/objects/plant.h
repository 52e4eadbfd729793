#pragma once
// A crop, flowers or grass on a field cell. It grows from 0 to 1 at its
// sort's rate, may then need water or weeding, and waits ripe for the
// harvest, after which it grows again from 0. A need of water or weeding
// not met within 60 s kills it; the 60 s stand still while the level waits
// for the player (cGarden::LevelWaitsForPlayer). The watering and weeding
// counters belong to the sort: with an interval of n every n-th plant of
// that sort gets the need.
#include <cstdint>

#include "engine/core/anim.h"
#include "game/objects/object.h"
#include "game/shell/texture_info.h"

class cSort;

class cPlant : public cObject {
public:
    enum eNeed : int32_t { e_NeedNone = -1, e_NeedWater = 0, e_NeedWeed = 1, e_NeedRipe = 2 };
    enum eState : int32_t { e_psPlanted = 0, e_psGrowing = 1, e_psNeeding = 3 };
    static constexpr float kNeedTime = 60.0f;

    // The ware manager's default sort, then the ware's when it is a sort.
    explicit cPlant(cLevel* level, int32_t ware = 1000);

    uint32_t GetType() const override { return OBJ_PLANT; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    vek::rectf GetRect() const override;
    bool HitTest(const vek::vec2&) const override { return false; }
    float GetDepth() const override;
    // The whole record is always read; a ware that is not a sort is then
    // refused (false) so that the caller drops the plant.
    bool Load(vek::cBitStream& stream) override;
    bool Save(vek::cBitStream& stream) override;
    void Update() override;
    void Draw() override;
    // The plant, and while it waits for water or weeding the ring of the
    // time gone and the need's icon.
    void DrawTo(vek::cQuadBatch& batch);

    virtual void SetNeed(int32_t need);
    virtual void ClearNeed();
    virtual int32_t GetNeed() const { return m_iNeed; }
    // The part of the 60 s already gone while water or weeding is needed.
    virtual float GetNeedTime() const;
    virtual int32_t GetWareId() const;
    // The ware when ripe (the plant starts again from 0); 1000 otherwise.
    virtual int32_t Harvest();
    virtual bool SetSort(int32_t ware);
    // Ignored outside 0..1.
    virtual void SetGrowth(float growth);
    virtual void AddGrowth(float delta);

    float GetGrowth() const { return m_fGrowth; }
    cSort* GetSort() const { return m_pSort; }
    bool IsFlowers() const;
    bool IsGrass() const;
    void SetWorked(bool worked) { m_bWorked = worked; }
    bool IsWorked() const { return m_bWorked; }
    void SetNeeded(bool needed) { m_bNeeded = needed; }
    bool IsNeeded() const { return m_bNeeded; }
    int32_t GetPendingNeed() const { return m_iPending; }
    void SetBee(uint32_t bee) { m_uBee = bee; }
    uint32_t GetBee() const { return m_uBee; }

private:
    void ChoosePendingNeed();

    cSort* m_pSort = nullptr;
    float m_fGrowth = 0.0f;
    float m_fRate = 0.0f;
    vek::mover<float> m_NeedTimer;
    int32_t m_iNeed = e_NeedNone;
    bool m_bWorked = false;
    uint32_t m_uBee = 0;
    int32_t m_iPending = e_NeedNone;
    bool m_bNeeded = true;
    cSprite m_aIcons[2];
    bool m_bIconsLooked = false;
};
