#pragma once
// What the game screens ask of the game world through calls that other
// parts of the world provide: a toolbar click asks the level field to sow a
// sort or buy an animal, the score panel and the task panel ask for screen
// hints. Each request first goes to a hook (the tests record them there),
// then to the world's own call once the world has it.
#include <functional>

#include "game/world/balance.h"

class cLevel;

struct cScreenHooks {
    // Told before the world acts; a hook that returns false keeps the
    // request from the world.
    std::function<bool(int ware)> plantSort;
    std::function<bool(int kind)> buyAnimal;
    std::function<bool(int index, unsigned kind)> showHint;
};
cScreenHooks& GetScreenHooks();

// The level field sows the ware next (cLevel::PlantSort).
void RequestPlantSort(cLevel* level, int ware);
// The level field buys an animal of the kind (cLevel::BuyAnimal).
void RequestBuyAnimal(cLevel* level, int kind);
// The game shows screen hint `kind` (cGarden::ShowHint).
void RequestHint(int index, unsigned kind);

// How many animals of each kind stand on the field: ostriches, goats,
// hives, peacocks (0 while the field does not count them).
struct cAnimalCounts {
    int ostriches = 0;
    int goats = 0;
    int hives = 0;
    int peacocks = 0;
};
cAnimalCounts CountFieldAnimals(const cLevel& level);

class cToolbarCtrl;
// What the garden's toolbars depend on.
struct cToolbarFacts {
    int iPlayMode = 0;  // cGarden::ePlayMode
    int iMoney = 0;
    int iSorts = 0;     // the unlocked plant-sort index
    int iAnimals = -1;  // the animal unlock level
    int animalPrices[kAnimalKinds] = {0, 0, 0, 0};  // by eAnimalKind
    cAnimalCounts animals;
};
// Enables and disables the toolbars' items: play mode 2 enables them all;
// else a sort when unlocked and affordable, the grass while a grazing animal
// stands and the flowers while a hive does (each affordable), an animal when
// unlocked and affordable, and never a third hive.
void ApplyToolbarRules(cToolbarCtrl& plants, cToolbarCtrl& grass, cToolbarCtrl& animals, const cToolbarFacts& facts);
