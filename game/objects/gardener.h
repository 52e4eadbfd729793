#pragma once
// The gardener: the player's worker on the field. Clicks become jobs on his
// queue; each fixed step he takes the front job, checks it again, walks to
// its cell in a straight line and plays the job's start, work and end
// animations, changing the target as he goes (sowing, watering, weeding,
// harvesting, picking up eggs and nibs, taking honey, milking, filling the
// can at the pump, emptying the basket onto the car). He carries at most
// one tool and one ware (a seed).
#include <cstdint>
#include <vector>

#include "engine/core/anim.h"
#include "game/objects/object.h"
#include "game/shell/texture_info.h"

namespace vek {
class cSound;
}
class cTool;
class cToolBin;
class cToolWater;

class cGardener : public cObject {
public:
    enum eState : int32_t {
        e_gsWalk = 1,
        e_gsIdle = 3,
        e_gsSowStart = 4, e_gsSow = 5, e_gsSowEnd = 6,
        e_gsWaterStart = 7, e_gsWatering = 8, e_gsWaterEnd = 9,
        e_gsWeedStart = 10, e_gsWeeding = 11, e_gsWeedEnd = 12,
        e_gsHarvestStart = 13, e_gsHarvest = 14, e_gsHarvestEnd = 15,
        e_gsPickStart = 16, e_gsPick = 17, e_gsPickEnd = 18,
        e_gsHoneyStart = 19, e_gsHoney = 20, e_gsHoneyEnd = 21,
        e_gsMilkStart = 22, e_gsMilk = 23, e_gsMilkEnd = 24,
        e_gsFillStart = 25, e_gsFill = 26, e_gsFillEnd = 27,
        e_gsUnload = 28, e_gsUnloadEnd = 29,
    };
    // Tool hints shown in his bubble.
    enum eHint : int32_t { e_hintBin = 0, e_hintWeed = 1, e_hintWater = 2, e_hintStock = 3, e_hintPump = 4 };

    // A job: an object (its id and cell), a cell (id 0) or a ware (the ware
    // index in the id, no cell).
    struct cJob {
        enum eKind : int32_t { e_Cell = 0, e_Object = 1, e_Ware = 2 };
        int32_t iId = 0;
        cell at;
        int32_t iKind = e_Cell;
    };

    explicit cGardener(cLevel* level);
    ~cGardener() override;

    uint32_t GetType() const override { return OBJ_GARDENER; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    vek::rectf GetRect() const override;
    bool HitTest(const vek::vec2&) const override { return false; }
    float GetDepth() const override { return m_vPos.y - 10.0f; }
    using cObject::SetPos;
    void SetPos(float x, float y) override;
    void Update() override;
    void Move(float elapsed) override;
    void Draw() override;
    void DrawInto(vek::cQuadBatch& batch);

    // The sprite as a work animation of `cycles` passes over `duration`
    // seconds. Without at least 2 frames or a cycle the animation cannot
    // count its passes: the work then lasts the duration by the clock.
    virtual bool SetAnimation(const vek::string& texture, const vek::string& area, int32_t cycles, float duration,
                              int32_t mode);
    virtual void QueueCell(const cell& at);
    virtual void QueueObject(uint32_t id);
    virtual void QueueWare(int32_t ware);
    virtual void QueueType(uint32_t mask);
    virtual void PopJob();
    virtual void ClearJobs();
    virtual bool TakeTool(uint32_t id);
    // 0 can, 1 weeding tool, 2 basket, -1 none.
    virtual int32_t GetToolKind() const;
    virtual void SetWare(int32_t ware);
    virtual void DropTool();
    virtual void ClearWare();
    // Pixels per second. A speed of 0 or less (a damaged table or level)
    // would never arrive: the level-0 value is taken instead.
    virtual void SetSpeed(float speed);
    virtual bool CanDoJob(const cJob& job);
    virtual void DoNextJob();
    virtual void RunNextJob();
    virtual bool CanUseTool() const;
    virtual void ShowToolHint(int32_t kind);
    virtual void HideToolHint();

    const std::vector<cJob>& GetJobs() const { return m_Jobs; }
    uint32_t GetToolId() const { return m_uTool; }
    cTool* GetTool() const;
    cToolWater* GetCan() const;
    cToolBin* GetBasket() const;
    int32_t GetWare() const { return m_iWare; }
    float GetSpeed() const { return m_fSpeed; }
    uint32_t GetWorkedPlant() const { return m_uPlant; }
    // The egg or nib being picked up, the hive being emptied, the goat being
    // milked (0 = none).
    uint32_t GetProduct() const { return m_uProduct; }
    uint32_t GetHive() const { return m_uHive; }
    uint32_t GetGoat() const { return m_uGoat; }
    int32_t GetRepeatCount() const { return m_iRepeat; }
    // The hint icon while its bubble shows (texture 0 otherwise).
    const cSprite& GetHintIcon() const { return m_HintIcon; }
    bool IsHintShown() const { return m_HintIcon.iTexture != 0 && m_HintTimer.IsMoving(); }
    const cSprite& GetWareIcon() const { return m_WareIcon; }
    const vek::mover<vek::vec2>& GetWalk() const { return m_Walk; }

    // Whether the ware is grass or flowers (sown on free cells, no hole).
    static bool IsFieldWare(int32_t ware);

private:
    void SetToolSprite(int direction, int32_t mode);
    bool AnimStopped() const;
    void CountRepeat();
    void StartPlanting(int32_t* next);
    void Walk(const cJob& job);
    // The work time of upgrade `upgrade` (cUpgrades::eUpgrade) at its level.
    float WorkTime(int upgrade) const;
    void EndWorkOn(uint32_t plant);
    // The registered object of that id unless it is gone (state 2).
    cObject* Alive(uint32_t id) const;
    // Opens (1) or closes (2) the emptied hive's lid.
    void SetHiveLid(int32_t mode);
    // An interrupted milking lets the goat go again.
    void ReleaseGoat();

    std::vector<cJob> m_Jobs;
    uint32_t m_uTool = 0;
    uint32_t m_uPlant = 0;
    int32_t m_iWare = 1000;
    uint32_t m_uProduct = 0;
    uint32_t m_uHive = 0;
    uint32_t m_uGoat = 0;
    vek::mover<float> m_WorkTimer;
    vek::mover<vek::vec2> m_Walk;
    int32_t m_iLastDirection = 0;
    int32_t m_iRepeat = 0;
    int32_t m_iLastFrame = 0;
    // A work animation that cannot count its passes runs by this clock.
    bool m_bTimedWork = false;
    float m_fWorkLeft = 0.0f;
    bool m_bPutPlayed = false;
    float m_fSpeed = 280.0f;
    cSprite m_HintIcon;
    vek::mover<float> m_HintTimer;
    cSprite m_WareIcon;
    cSprite m_Cloud;
    cSprite m_Circle;
    bool m_bLooked = false;
    vek::cSound* m_pWaterSound = nullptr;
    vek::cSound* m_pWeedSound = nullptr;
};
