#pragma once
// The tutorial: fifteen short lessons (kinds 0 to 14), each a few steps that
// point at a control or an object of the screen with a highlight and a text,
// and move on when the player has done what the step asks. A lesson starts
// at most once per profile (the profile's event flag of its kind); while one
// runs, the level clock stands still and no screen hint shows.
//
// cTraining keeps which lesson runs and at which step; the game object
// (game/world/training.cpp) decides when a lesson starts (UpdateTraining)
// and shows its steps (ShowTrainingStep) from the step table below.
#include <cstdint>

#include "engine/core/anim.h"
#include "engine/core/vekstring.h"

class cLocaleGD;
class cObject;
struct cShip;

// The lessons by kind; the kind is also the index of the lesson's event flag
// in the profile. Named for what each teaches.
enum eLesson : int {
    e_lessonPlants = 0,         // sow, weed, harvest and sell the first crop
    e_lessonWater = 1,          // take the watering can and water a plant
    e_lessonScrolling = 2,      // scroll the island
    e_lessonFactory = 3,        // deliver to a factory and start it
    e_lessonOstrich = 4,        // buy an ostrich
    e_lessonAnimalFood = 5,     // sow grass for a hungry animal
    e_lessonEgg = 6,            // pick an egg up with the basket
    e_lessonGoat = 7,           // buy a goat
    e_lessonMilk = 8,           // milk the goat
    e_lessonHive = 9,           // buy a hive and sow flowers
    e_lessonHoney = 10,         // take the hive's honey
    e_lessonPlantInstead = 11,  // sow the sort the tasks ask for
    e_lessonPeacock = 12,       // buy a peacock
    e_lessonIslandRate = 13,    // the island's rating button
    e_lessonRate = 14,          // the player's rating button
};

// The steps of each lesson, in the order they show, named for what the
// player is asked to do; the step after a lesson's last ends the lesson.
enum eLessonStep : int {
    // e_lessonPlants
    e_stepPlantsSeedItem = 0,      // pick a seed on the plants page
    e_stepPlantsSowFirst = 1,      // sow the first hole
    e_stepPlantsSowSecond = 2,     // sow the second hole
    e_stepPlantsSowThird = 3,      // sow the third hole
    e_stepPlantsWeedTool = 4,      // take the weeding tool
    e_stepPlantsWeed = 5,          // weed the plant that needs it
    e_stepPlantsBasket = 6,        // take the basket
    e_stepPlantsHarvestFirst = 7,  // harvest the first plant
    e_stepPlantsHarvestSecond = 8,
    e_stepPlantsHarvestThird = 9,
    e_stepPlantsCar = 10,          // load the delivery car
    e_stepPlantsTask = 11,         // the first task line
    e_stepPlantsClock = 12,        // the level clock
    // e_lessonWater
    e_stepWaterCan = 0,            // take the watering can
    e_stepWaterPump = 1,           // fill it at the pump
    e_stepWaterPlant = 2,          // water the plant that needs it
    // e_lessonScrolling
    e_stepScrollIsland = 0,
    // e_lessonFactory
    e_stepFactoryCar = 0,          // deliver to the factory
    e_stepFactoryStart = 1,        // start the factory
    // e_lessonOstrich, e_lessonGoat, e_lessonHive, e_lessonPeacock
    e_stepBuyAnimal = 0,           // buy the animal (or the hive)
    // e_lessonAnimalFood
    e_stepFoodGrassItem = 0,       // pick grass
    e_stepFoodSowFirst = 1,        // sow it
    e_stepFoodSowSecond = 2,
    // e_lessonHive after e_stepBuyAnimal
    e_stepHiveFlowersItem = 1,     // pick flowers
    e_stepHiveSowFlowers = 2,      // sow them near the hive
    // e_lessonEgg, e_lessonMilk, e_lessonHoney
    e_stepTakeBasket = 0,          // take the basket
    e_stepEggPick = 1,             // pick the egg up
    e_stepMilkGoat = 1,            // milk the goat
    e_stepHoneyTake = 1,           // take the hive's honey
    // e_lessonPlantInstead
    e_stepInsteadSeedItem = 0,     // pick the sort the tasks ask for
    e_stepInsteadSow = 1,          // sow it in place of the wrong sort
    // e_lessonIslandRate, e_lessonRate
    e_stepRateButton = 0,          // press the rating button
};

class cTraining {
public:
    static constexpr int kLessons = e_lessonRate + 1;
    // Every step change waits this long before the next step shows.
    static constexpr float kStepDelay = 0.6f;

    cTraining() { delay.m_fSpeed = 1.0f; }

    // Marks lesson `kind` as seen in the profile. When it was not seen
    // before, the tutorial is on and no lesson runs, the gardener drops his
    // jobs and the lesson's first step shows at once. A kind outside 0..14,
    // or a lesson already seen, does nothing.
    void Start(int kind);
    // The player did what step (kind, step) asks: when that is the step
    // shown, the hint goes and the next step follows after the delay. Any
    // other pair changes nothing (false).
    bool NextStep(int kind, int step);
    // Hides the window "hint" when it is shown; no lesson, no step.
    void Stop();

    bool IsActive() const { return iKind >= 0; }
    // A lesson runs and the pause before its next step has not ended: the
    // field ignores clicks meanwhile.
    bool IsWaiting() const { return iKind >= 0 && delay.m_fTime < delay.m_fDuration; }

    int32_t iKind = -1;
    int32_t iStep = -1;
    vek::mover<float> delay;
};

// One row of the step table: what step `step` of lesson `kind` shows.
struct cTrainingStep {
    enum eTarget {
        e_tStop,          // the lesson ends
        e_tStopDropWare,  // the gardener drops what he carries, then the end
        e_tControl,       // control `name` of window `window`, toolbar item `item`
        e_tObject,        // the `nth` object (from 0) with every bit of `mask`
        e_tPlantNeed,     // the first plant with need `nth`
        e_tPlantHole,     // the hole on the cell of the first plant of sort `name`
        e_tFreeCellLow,   // the first empty cell from row 1 up, columns 8 down to 0
        e_tFreeCellHive,  // the first empty cell from the hive's row and column - 2 on
        e_tPoint,         // the point (512, 20), no highlight
    };
    int kind;
    int step;
    vek::string cLocaleGD::*text;
    eTarget target;
    const char* window;
    const char* name;
    int item;
    uint32_t mask;
    int nth;
    // Highlight: the control's square grows by this on every side; 0 with
    // a control or an object means no highlight.
    float grow;
    int flags;
    int modal;
};

// The whole table, in lesson and step order; `count` gets its length.
const cTrainingStep* GetTrainingSteps(int* count);
// The row of (kind, step); null past the rows listed.
const cTrainingStep* FindTrainingStep(int kind, int step);

// The rectangle a highlight draws around a toolbar control at (x, y): a
// 64 x 64 item, toolbar item `item` of a page 67 further right per item,
// grown by `grow` on each side.
struct cHighlight {
    float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    float ax = 0.0f, ay = 0.0f;  // where the arrow points
};
cHighlight ControlHighlight(float x, float y, int item, float grow);
// Around a control of size (w, h) at (x, y) that is no toolbar: the square
// above where the control fits in it; a control wider or higher than an
// item is covered whole in that direction (grown the same), so a click
// anywhere on it passes the hint. The arrow stays where the square puts it.
cHighlight ControlHighlight(float x, float y, float w, float h, float grow);
// The garden's toolbar pages, whose steps point at one of their items.
bool IsToolbarPage(const char* name);
// Around an object's rectangle; plants are narrowed by 12 and heightened
// by 18 on each side. The arrow points at the top right corner.
cHighlight ObjectHighlight(float x, float y, float w, float h, bool plant);

// What the tutorial and the screen hints ask of the objects on the field
// and of the rules beyond the object core: plant needs and sorts, the
// tools' state, the hive's honey, the gardener's queue, the ships and the
// hint timer. One replaceable object answers, so that the lessons can be
// exercised on a field of stand-in objects; the default answers from the
// game what the game provides and gives the quiet answer otherwise (no
// need, no sort, tools idle and empty, no honey, no ship).
class cTrainingWorld {
public:
    virtual ~cTrainingWorld() = default;
    // The plant's need: -1 none, 0 water, 1 weeding, 2 ripe.
    virtual int32_t GetPlantNeed(const cObject& plant) const;
    // The ware index of the plant's sort (NO_WARE when unknown).
    virtual int32_t GetPlantWare(const cObject& plant) const;
    // The gardener holds the tool.
    virtual bool IsToolInUse(const cObject& tool) const;
    // The can's water or the basket's load is at its capacity.
    virtual bool IsToolFull(const cObject& tool) const;
    virtual bool HiveHasHoney(const cObject& hive) const;
    virtual void ClearGardenerJobs(cObject& gardener) const;
    virtual void ClearGardenerWare(cObject& gardener) const;
    // The first ship of the game's list, or null.
    virtual cShip* GetFirstShip() const;
    // The task hint hides after this many seconds.
    virtual void StartHintTimer(float seconds) const;
};

const cTrainingWorld& GetTrainingWorld();
// Installs a world (not owned); null puts the default back.
void SetTrainingWorld(const cTrainingWorld* world);
