#pragma once
// The game's table of user-visible texts: dialog messages, ratings, medal,
// ware, animal and building names, upgrades, hints, tutorial and level
// texts. One process-wide object holds built-in defaults (seventeen English
// messages; every other text is its own key, so an untranslated text shows
// which one it is); the locale script, which sees the object as "locale",
// overwrites them field by field.
#include "engine/core/vekstring.h"

namespace vek {
class cScript;
}

// Every text as X(field, default), in declaration order.
#define LOCALE_GD_TEXTS(X) \
    X(ErrorEmptyPlayerName, "Can't create\na user with\nno name!") \
    X(ErrorPlayerExist, "A user with this\nname already\nexists!") \
    X(ErrorOnePlayer, "Can't delete\nthe only\nplayer!") \
    X(ConfirmDeletePlayer, "Are you sure you\nwant to delete\nplayer '%s'?") \
    X(ConfirmExitGame, "Are you sure you\nwant to exit\nthe game?") \
    X(ErrorWindowMode, "Can't set windowed mode") \
    X(ErrorSaveGame, "The game could\nnot be saved.") \
    X(ErrorGameRefused, "The saved game could not\nbe read. Its files stay as\nthey were; play is not saved.") \
    X(ErrorGameDamaged, "The saved game was damaged:\nwhat could not be read starts\nafresh. A copy of it is kept.") \
    X(ErrorPlayerRefused, "Player '%s' could not\nbe read. Its files stay as\nthey were; play is not saved.") \
    X(ErrorPlayerDamaged, "Player '%s' was damaged:\nwhat could not be read starts\nafresh. A copy of it is kept.") \
    X(ErrorGameRestored, "A file of the saved game was\ndamaged or did not belong:\nit is restored from its copy.") \
    X(ErrorPlayerRestored, "A file of player '%s' was\ndamaged or did not belong:\nit is restored from its copy.") \
    X(ErrorGameMissing, "A file of the saved game\nwas missing: what it held\nstarts afresh.") \
    X(ErrorPlayerMissing, "A file of player '%s'\nwas missing: what it held\nstarts afresh.") \
    X(ErrorDeletePlayer, "Player '%s' could\nnot be deleted; its\nfiles are kept.") \
    X(ErrorSettingsLost, "The settings could not be\nread: player '%s' is\nchosen. Check the options.") \
    X(Rate0, "Rate0") \
    X(Rate1, "Rate1") \
    X(Rate2, "Rate2") \
    X(Rate3, "Rate3") \
    X(Rate4, "Rate4") \
    X(IslandRate0, "IslandRate0") \
    X(IslandRate1, "IslandRate1") \
    X(IslandRate2, "IslandRate2") \
    X(IslandRate3, "IslandRate3") \
    X(IslandRate4, "IslandRate4") \
    X(Gold, "Gold") \
    X(Silver, "Silver") \
    X(Bronze, "Bronze") \
    X(IncPeople, "IncPeople") \
    X(IncMarket, "IncMarket") \
    X(Tomato, "Tomato") \
    X(Olive, "Olive") \
    X(Banana, "Banana") \
    X(Orange, "Orange") \
    X(Corn, "Corn") \
    X(Wheat, "Wheat") \
    X(Pineapple, "Pineapple") \
    X(Grape, "Grape") \
    X(OliveOil, "OliveOil") \
    X(OrangeJuice, "OrangeJuice") \
    X(Lemonade, "Lemonade") \
    X(Flour, "Flour") \
    X(Bread, "Bread") \
    X(GrapeJuice, "GrapeJuice") \
    X(Wine, "Wine") \
    X(Flowers, "Flowers") \
    X(Grass, "Grass") \
    X(Egg, "Egg") \
    X(Nib, "Nib") \
    X(Milk, "Milk") \
    X(Honey, "Honey") \
    X(Ostrich, "Ostrich") \
    X(Hive, "Hive") \
    X(Goat, "Goat") \
    X(Peacock, "Peacock") \
    X(Market00, "Market00") \
    X(Market01, "Market01") \
    X(Market02, "Market02") \
    X(Market03, "Market03") \
    X(Market04, "Market04") \
    X(Market05, "Market05") \
    X(House00, "House00") \
    X(House01, "House01") \
    X(House02, "House02") \
    X(House03, "House03") \
    X(House04, "House04") \
    X(House05, "House05") \
    X(Institute00, "Institute00") \
    X(Animals00, "Animals00") \
    X(Statue00, "Statue00") \
    X(FactoryOliveOil, "FactoryOliveOil") \
    X(FactoryOrangeJuice, "FactoryOrangeJuice") \
    X(FactoryLemonade, "FactoryLemonade") \
    X(FactoryGrapeJuice, "FactoryGrapeJuice") \
    X(FactoryWine, "FactoryWine") \
    X(Mill, "Mill") \
    X(Bakery, "Bakery") \
    X(UpSpeedGardener, "UpSpeedGardener") \
    X(UpVolumeWater, "UpVolumeWater") \
    X(UpVolumeBin, "UpVolumeBin") \
    X(UpTimeWater, "UpTimeWater") \
    X(UpTimeWeed, "UpTimeWeed") \
    X(UpTimeBin, "UpTimeBin") \
    X(HintBinUp, "HintBinUp") \
    X(HintStartLevel, "HintStartLevel") \
    X(HintNewPeople, "HintNewPeople") \
    X(HintNewTask0, "HintNewTask0") \
    X(HintNewTask, "HintNewTask") \
    X(HintStatGarden, "HintStatGarden") \
    X(HintStatIsland, "HintStatIsland") \
    X(HintSilver, "HintSilver") \
    X(HintBronze, "HintBronze") \
    X(HintFlowersWater, "HintFlowersWater") \
    X(HintConstructMarket, "HintConstructMarket") \
    X(HintConstructHouse, "HintConstructHouse") \
    X(HintConstructFactory, "HintConstructFactory") \
    X(HintConstructFactory00, "HintConstructFactory00") \
    X(HintConstructFactory01, "HintConstructFactory01") \
    X(HintConstructFactory01_1, "HintConstructFactory01_1") \
    X(HintConstructFactory02, "HintConstructFactory02") \
    X(HintConstructFactory02_1, "HintConstructFactory02_1") \
    X(HintConstructFactory03, "HintConstructFactory03") \
    X(HintConstructFactory03_1, "HintConstructFactory03_1") \
    X(HintConstructMarket00, "HintConstructMarket00") \
    X(HintConstructMarket01, "HintConstructMarket01") \
    X(HintConstructMarket02, "HintConstructMarket02") \
    X(HintConstructMarket03, "HintConstructMarket03") \
    X(HintConstructMarket04, "HintConstructMarket04") \
    X(HintConstructMarket05, "HintConstructMarket05") \
    X(HintConstructHouse00, "HintConstructHouse00") \
    X(HintConstructHouse01, "HintConstructHouse01") \
    X(HintConstructHouse02, "HintConstructHouse02") \
    X(HintConstructHouse03, "HintConstructHouse03") \
    X(HintConstructHouse04, "HintConstructHouse04") \
    X(HintConstructHouse05, "HintConstructHouse05") \
    X(HintConstructInstitute00, "HintConstructInstitute00") \
    X(HintConstructAnimals00, "HintConstructAnimals00") \
    X(HintConstructStatue00, "HintConstructStatue00") \
    X(TrainingPlants0, "TrainingPlants0") \
    X(TrainingPlants1, "TrainingPlants1") \
    X(TrainingPlants2, "TrainingPlants2") \
    X(TrainingPlants3, "TrainingPlants3") \
    X(TrainingPlants4, "TrainingPlants4") \
    X(TrainingPlants5, "TrainingPlants5") \
    X(TrainingPlants6, "TrainingPlants6") \
    X(TrainingPlants7, "TrainingPlants7") \
    X(TrainingPlants8, "TrainingPlants8") \
    X(TrainingPlants9, "TrainingPlants9") \
    X(TrainingPlants10, "TrainingPlants10") \
    X(TrainingPlants11, "TrainingPlants11") \
    X(TrainingPlants12, "TrainingPlants12") \
    X(TrainingPlantInstead0, "TrainingPlantInstead0") \
    X(TrainingPlantInstead1, "TrainingPlantInstead1") \
    X(TrainingWater0, "TrainingWater0") \
    X(TrainingWater1, "TrainingWater1") \
    X(TrainingWater2, "TrainingWater2") \
    X(TrainingScrolling0, "TrainingScrolling0") \
    X(TrainingFactory0, "TrainingFactory0") \
    X(TrainingFactory1, "TrainingFactory1") \
    X(TrainingOstrich0, "TrainingOstrich0") \
    X(TrainingAnimalFood0, "TrainingAnimalFood0") \
    X(TrainingAnimalFood1, "TrainingAnimalFood1") \
    X(TrainingAnimalFood2, "TrainingAnimalFood2") \
    X(TrainingEgg0, "TrainingEgg0") \
    X(TrainingEgg1, "TrainingEgg1") \
    X(TrainingGoat0, "TrainingGoat0") \
    X(TrainingMilk0, "TrainingMilk0") \
    X(TrainingMilk1, "TrainingMilk1") \
    X(TrainingHive0, "TrainingHive0") \
    X(TrainingHive1, "TrainingHive1") \
    X(TrainingHive2, "TrainingHive2") \
    X(TrainingHoney0, "TrainingHoney0") \
    X(TrainingHoney1, "TrainingHoney1") \
    X(TrainingPeacock0, "TrainingPeacock0") \
    X(TrainingIslandRate0, "TrainingIslandRate0") \
    X(TrainingRate0, "TrainingRate0") \
    X(MessageContinueLast, "MessageContinueLast") \
    X(MessageStartLevel, "MessageStartLevel") \
    X(MessageExitLevel, "MessageExitLevel") \
    X(MessageRestartLevel, "MessageRestartLevel") \
    X(AwardHoles, "AwardHoles") \
    X(AwardUp, "AwardUp")

class cLocaleGD {
public:
#define LOCALE_GD_FIELD(field, text) vek::string field = text;
    LOCALE_GD_TEXTS(LOCALE_GD_FIELD)
#undef LOCALE_GD_FIELD
};

// The process-wide table. Code that runs during static initialisation must
// use GetLocaleGD() instead, which is safe from any translation unit.
extern cLocaleGD& g_LocaleGD;
cLocaleGD& GetLocaleGD();

// Registers the Lua class "cLocaleGD" (no constructor; every text a
// read-write string property under its field's name). Always true once the
// script host exists.
bool RegisterLocaleClass(vek::cScript* script);
