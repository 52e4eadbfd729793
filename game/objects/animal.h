#pragma once
// The garden animals' common life. An animal wanders over its pasture one
// diagonal cell at a time, rests, gets hungry, looks for grass, runs to it
// and eats it, produces its ware, calls out while the level wants its
// product, and fades away when it finds no grass in time. The species give
// the numbers (GetSpeciesParam), the calls, the pasture and the product.
//
// Timing: Update is the fixed 1/30 s step, Move the per-frame step. The
// timers are float movers at speed 1, so they count seconds (StartTimer).
// Random numbers come from the game's one seed; the order of the draws is
// part of the behaviour.
//
// States: -1 just made, 0 start, 1 roaming, 2 removed, 3 hungry, 4 eating,
// 5 resting, 6 laying (or being milked), 7 leaving, 8 appearing, 9 milk
// ready (the goat).
#include <cstdint>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "game/objects/object.h"

struct cSprite;

class cAnimal : public cObject {
public:
    enum eAnimalState : int32_t {
        e_stStart = 0,
        e_stRoam = 1,
        e_stHungry = 3,
        e_stEat = 4,
        e_stRest = 5,
        e_stLay = 6,
        e_stLeave = 7,
        e_stAppear = 8,
        e_stMilk = 9,
    };
    // The species' numbers (GetSpeciesParam).
    enum eParam : int32_t {
        e_parSatiety = 0,   // s fed
        e_parEating = 1,    // s
        e_parPatience = 2,  // s hungry before giving up
        e_parResting = 3,   // s; 0: never rests
        e_parSpeed = 4,     // pixels per second
        e_parProduct = 5,   // s to the next product
        e_parLaying = 6,    // s
        e_parMilkWait = 7,  // s the goat waits with her milk
    };

    using cTimer = vek::mover<float>;
    // A timer from 0 to d seconds (at once ended for d below float epsilon).
    static void StartTimer(cTimer& timer, float seconds);
    // 1 while running, 2 on the step it ends, 0 when idle.
    static int StepTimer(cTimer& timer, float elapsed);
    // Value / To; 0 for a timer without length.
    static float TimerFraction(const cTimer& timer);

    // texture: the texture holding the species' sprite areas.
    cAnimal(cLevel* level, const vek::string& texture);
    ~cAnimal() override;

    uint32_t GetType() const override { return OBJ_ANIMAL; }
    bool CanChangeState(int32_t oldState, int32_t newState) override;
    vek::rectf GetRect() const override;
    // Animals are not clicked (the goat with her milk is).
    bool HitTest(const vek::vec2&) const override { return false; }
    float GetDepth() const override { return m_vPos.y - 60.0f; }
    // The base record. A saved cell outside the grid puts the animal on its
    // species' spawn cell. Timers, state and flags start afresh.
    bool Load(vek::cBitStream& stream) override;
    void Update() override;
    void Move(float elapsed) override;
    void Draw() override;

    // The id of the grass to eat, now reserved for this animal; 0 none.
    virtual uint32_t FindFood();
    // The next cell to wander to.
    virtual cell GetRandomCell();
    virtual float GetSpeciesParam(int32_t index) const;
    // The game sound of the species' call: kind 0 hungry, 1 idle; -1 none.
    virtual int32_t GetSoundId(int32_t kind) const;
    // Walks from the position to the point with the animation of its
    // direction.
    virtual void WalkTo(const vek::vec2& point);
    // SetSprite, drawn flipped horizontally when mirrored. False (no
    // texture, size (0, 0)) when the sprite is missing.
    virtual bool SetAnimation(const vek::string& texture, const vek::string& area, int32_t mode, bool mirrored);
    virtual bool CanGoTo(const cell& at);

    // The cell a loaded animal with an unusable cell starts on.
    virtual cell GetSpawnCell() const { return cell(1, 7); }
    // Level task kind of the species (0 ostrich, 1 goat, 3 peacock) and the
    // name of its product's ware; -1 and empty for the base.
    virtual int32_t GetTaskKind() const { return -1; }
    virtual const char* GetProductName() const { return ""; }

    // Pasture: first row, first column, last row, last column (inclusive).
    void SetPasture(int32_t firstRow, int32_t firstColumn, int32_t lastRow, int32_t lastColumn);
    bool IsInPasture(const cell& at) const;

    // Set by the level's needs: while clear, the animal never gets hungry,
    // eats or lays.
    void SetNeeded(bool needed) { m_bNeeded = needed; }
    bool IsNeeded() const { return m_bNeeded; }
    // Not needed any more: the food target goes, the animal roams at its
    // walking speed.
    void DropNeed();
    // Marks a bought animal as the only one of its species on the field:
    // its first product comes early.
    void SetFirst(bool first) { m_bFirst = first; }
    bool IsFirst() const { return m_bFirst; }

    uint32_t GetFoodTarget() const { return m_uFood; }
    void SetFoodTarget(uint32_t id) { m_uFood = id; }
    const vek::string& GetTextureName() const { return m_strTexture; }
    const int32_t* GetPasture() const { return m_aiPasture; }

    vek::mover<vek::vec2> m_Walk;
    cTimer m_Satiety;
    cTimer m_Product;
    cTimer m_StateTimer;
    cTimer m_CallTimer;
    vek::mover<float> m_Scale;

protected:
    // The walking speed back to the species' and the walk re-aimed.
    void ResetWalkSpeed(float factor = 1.0f);
    // The product time of the species, shortened in a free-range level.
    float DrawProductTime();
    // The laying step of the egg and nib layers; true when the animal's
    // own step is over for this tick.
    bool UpdateLaying(bool egg);
    // Draws a sprite of "icons00" at 0.75 of its size centred on a point.
    void DrawIcon(const cSprite& icon, const vek::vec2& centre) const;

    uint32_t m_uFood = 0;
    vek::string m_strTexture;
    bool m_bFirst = false;
    int32_t m_aiPasture[4] = {0, 0, 0, 0};
    bool m_bNeeded = true;

private:
    bool CallCounts() const;
};

// Whether the game's free-range flag is set.
bool IsFreeRange();
// The event flag of the current profile; false past the list or without
// a profile.
bool IsProfileEventSet(int32_t index);
// The ware index of a ware name, looked up in the ware manager.
int32_t AnimalWare(const char* name);
// A sprite of "icons00", looked up on first use and kept.
const cSprite& AnimalIcon(const char* area);
// Drops what AnimalWare and AnimalIcon kept, when the wares and sprites
// they came from go; a game made after this one looks them up again.
void ForgetAnimalLookups();
// The centre of a rectangle: where the burst over an object starts.
inline vek::vec2 RectCentre(const vek::rectf& r) { return vek::vec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f); }
// An animal or a hive that appears grows from 0, one that leaves shrinks
// from 1: the scale goes from `from` to `to` at 1.5 a second.
inline void StartScaleChange(vek::mover<float>& scale, float from, float to)
{
    scale.m_fSpeed = 1.5f;
    scale.SetTarget(scale.m_To);
    scale.Reset(from);
    scale.SetTarget(to);
}
