#include "game/world/level_defs.h"

#include "game/shell/locale_gd.h"

namespace {

constexpr uint32_t S = cLevelDef::e_NewSort;
constexpr uint32_t B = cLevelDef::e_MoreBeds;
constexpr uint32_t A = cLevelDef::e_NewAnimal;
constexpr uint32_t F = cLevelDef::e_FreeRange;

// Each sort is unlocked on the level before the first one that asks for it:
// plant01 at 0, plant02 at 3, plant03 at 8, plant04 at 13, plant05 at 18,
// plant06 at 22, plant07 at 30. The animals likewise: ostrich (eggs) at 5,
// goat (milk) at 12, hive (honey) at 21, peacock (nibs) at 35.
const std::vector<cLevelDef>& LevelTable()
{
    static const std::vector<cLevelDef> table = {
        /* 0 */ {90, 50, {{"plant00", 6, 0}}, S | B},
        /* 1 */ {100, 50, {{"plant00", 6, 0}, {"plant01", 3, 0}}, 0},
        /* 2 */ {110, 35, {{"plant00", 8, 0}, {"plant01", 4, 0}}, 0},
        /* 3 */ {110, 40, {{"product00", 4, 0}, {"plant00", 8, 0}}, S | B},
        /* 4 */ {160, 35, {{"plant00", 9, 0}, {"product00", 5, 0}, {"plant02", 4, 0}}, 0},
        /* 5 */ {160, 25, {{"plant00", 10, 0}, {"product00", 5, 0}, {"plant02", 5, 0}}, A},
        /* 6 */ {130, 185, {{"plant00", 8, 0}, {"plant02", 4, 0}, {"egg", 4, 0}}, 0},
        /* 7 */ {150, 90, {{"plant00", 10, 0}, {"product00", 5, 0}, {"plant02", 5, 0}, {"egg", 2, 0}}, 0},
        /* 8 */ {180, 65, {{"plant00", 11, 0}, {"product00", 6, 0}, {"product01", 4, 0}, {"egg", 3, 0}}, S},
        /* 9 */ {250, 85, {{"plant00", 10, 0}, {"product01", 8, 0}, {"plant03", 10, 0}, {"egg", 6, 0}}, 0},
        /* 10 */ {180, 160, {{"egg", 20, 0}, {"plant03", 9, 0}}, F},
        /* 11 */ {260, 30, {{"plant01", 10, 0}, {"product01", 9, 0}, {"plant03", 8, 0}, {"egg", 7, 0}}, B},
        /* 12 */ {260, 140, {{"plant01", 10, 0}, {"product01_1", 8, 0}, {"plant03", 8, 0}, {"egg", 9, 0}}, A},
        /* 13 */ {220, 285, {{"plant03", 10, 0}, {"product01", 6, 0}, {"egg", 4, 0}, {"milk", 4, 0}}, S},
        /* 14 */ {280, 60, {{"plant02", 10, 0}, {"plant03", 10, 0}, {"plant04", 10, 0}, {"egg", 9, 0}}, 0},
        /* 15 */ {250, 180, {{"plant03", 10, 0}, {"product01_1", 8, 0}, {"plant04", 8, 0}, {"milk", 6, 0}}, 0},
        /* 16 */ {240, 60, {{"plant02", 10, 0}, {"plant03", 10, 0}, {"product02", 8, 0}, {"egg", 8, 0}}, 0},
        /* 17 */ {180, 580, {{"egg", 15, 0}, {"milk", 10, 0}}, F},
        // Besides more beds, level 18 unlocks corn: levels 19 to 21 ask for it.
        /* 18 */ {250, 80,
                  {{"plant03", 10, 0}, {"product01_1", 8, 0}, {"plant04", 8, 0}, {"egg", 6, 70}, {"milk", 2, 0}},
                  S | B},
        /* 19 */ {230, 120, {{"plant05", 12, 0}, {"product01", 8, 0}, {"product02", 8, 0}, {"milk", 4, 80}}, 0},
        /* 20 */ {320, 80,
                  {{"plant03", 12, 0}, {"product02_1", 8, 0}, {"plant05", 10, 0}, {"egg", 12, 60}, {"product01", 4, 0}},
                  0},
        /* 21 */ {240, 100,
                  {{"plant04", 12, 0}, {"product01_1", 8, 0}, {"plant05", 10, 0}, {"milk", 4, 60}, {"egg", 3, 0}},
                  A},
        /* 22 */ {200, 440, {{"plant04", 9, 0}, {"product01", 6, 0}, {"plant05", 9, 0}, {"honey", 4, 0}}, S},
        /* 23 */ {220, 80, {{"plant03", 12, 0}, {"product02_1", 10, 0}, {"egg", 4, 80}, {"plant06", 8, 100}}, 0},
        /* 24 */ {230, 120,
                  {{"plant05", 10, 0}, {"product02", 10, 0}, {"milk", 5, 0}, {"plant06", 12, 100}, {"egg", 3, 130}},
                  0},
        /* 25 */ {260, 100,
                  {{"plant04", 12, 0}, {"egg", 9, 20}, {"plant06", 12, 40}, {"plant05", 10, 70}, {"honey", 4, 90}},
                  0},
        /* 26 */ {280, 80,
                  {{"plant03", 12, 0}, {"product02_1", 8, 0}, {"plant06", 10, 0}, {"egg", 9, 0}, {"honey", 2, 0}},
                  0},
        /* 27 */ {260, 120,
                  {{"plant05", 12, 0}, {"product02", 10, 0}, {"product03", 8, 0}, {"milk", 3, 40}, {"egg", 3, 0}},
                  0},
        /* 28 */ {250, 80,
                  {{"plant03", 12, 0}, {"product02_1", 8, 0}, {"plant06", 9, 0}, {"egg", 6, 60}, {"honey", 2, 0}},
                  0},
        /* 29 */ {250, 120,
                  {{"plant05", 12, 0}, {"product03", 9, 0}, {"milk", 4, 40}, {"honey", 2, 70}, {"plant04", 12, 0}},
                  0},
        /* 30 */ {240, 100,
                  {{"plant04", 12, 0}, {"plant05", 10, 0}, {"product03", 9, 0}, {"milk", 5, 0}, {"egg", 2, 0}},
                  S},
        /* 31 */ {240, 120,
                  {{"plant05", 12, 0}, {"product03", 9, 0}, {"plant07", 6, 0}, {"milk", 2, 40}, {"honey", 2, 60}},
                  0},
        /* 32 */ {280, 280,
                  {{"egg", 12, 0}, {"plant05", 12, 20}, {"product03", 6, 0}, {"product02_1", 3, 100}, {"plant07", 6, 0}},
                  0},
        /* 33 */ {230, 520,
                  {{"plant05", 12, 0}, {"product03", 10, 0}, {"plant07", 10, 0}, {"milk", 3, 0}, {"egg", 3, 0}},
                  0},
        /* 34 */ {230, 390,
                  {{"honey", 10, 0}, {"plant04", 12, 10}, {"product03_1", 4, 50}, {"egg", 3, 80}, {"plant07", 6, 0}},
                  0},
        /* 35 */ {280, 100,
                  {{"plant04", 12, 0},
                   {"plant05", 10, 0},
                   {"plant07", 10, 0},
                   {"honey", 3, 0},
                   {"egg", 6, 0},
                   {"milk", 1, 0}},
                  A},
        /* 36 */ {240, 540,
                  {{"nib", 5, 0},
                   {"plant05", 12, 0},
                   {"egg", 8, 45},
                   {"milk", 3, 80},
                   {"product03", 4, 110},
                   {"product02", 4, 0}},
                  0},
        /* 37 */ {170, 100, {{"plant04", 12, 0}, {"plant05", 10, 30}, {"plant06", 8, 60}, {"plant07", 6, 90}}, 0},
        /* 38 */ {260, 120,
                  {{"plant05", 12, 0}, {"product02_1", 8, 0}, {"milk", 8, 40}, {"plant06", 6, 110}, {"nib", 2, 140}},
                  0},
        /* 39 */ {240, 300,
                  {{"plant07", 12, 0}, {"product03_1", 8, 0}, {"nib", 10, 60}, {"product02", 6, 100}, {"honey", 2, 0}},
                  0},
        /* 40 */ {240, 780,
                  {{"egg", 12, 0}, {"milk", 8, 0}, {"plant07", 8, 30}, {"product03", 6, 50}, {"plant05", 8, 80}},
                  0},
        /* 41 */ {240, 580,
                  {{"nib", 6, 0},
                   {"egg", 6, 0},
                   {"plant05", 12, 0},
                   {"honey", 6, 50},
                   {"product03", 4, 80},
                   {"product02", 3, 0}},
                  0},
        /* 42 */ {220, 100,
                  {{"plant04", 12, 0},
                   {"product03_1", 6, 0},
                   {"plant07", 10, 0},
                   {"milk", 2, 0},
                   {"honey", 2, 0},
                   {"product02", 3, 0}},
                  0},
        /* 43 */ {230, 380, {{"egg", 30, 0}, {"milk", 6, 0}, {"nib", 6, 0}}, F},
        /* 44 */ {330, 120,
                  {{"plant05", 12, 0},
                   {"product03_1", 12, 0},
                   {"plant07", 16, 0},
                   {"nib", 9, 0},
                   {"honey", 4, 0},
                   {"product02", 6, 0},
                   {"egg", 4, 0}},
                  0},
    };
    return table;
}

// The building each level makes available, by level.
const char* const kLevelBuildings[kLevelCount] = {
    "house00",     "market00",  "factory00", "institute00", "market01",  // 0-4
    "animals00",   "house01",   "factory01", "house01",     "market01",  // 5-9
    "house01",     "factory01_1", "house01", "market02",    "house02",   // 10-14
    "factory02",   "house02",   "market02",  "house02",     "factory02_1",  // 15-19
    "house02",     "market03",  "house03",   "house03",     "market03",  // 20-24
    "house03",     "factory03", "house03",   "market03",    "house03",   // 25-29
    "house03",     "market04",  "house04",   "factory03_1", "house04",   // 30-34
    "market04",    "house04",   "house04",   "market05",    "house05",   // 35-39
    "house05",     "market05",  "house05",   "house05",     "statue00",  // 40-44
};

} // namespace

const cLevelDef& GetLevelDef(int level)
{
    static const cLevelDef empty;
    const std::vector<cLevelDef>& table = LevelTable();
    if (level < 0 || static_cast<size_t>(level) >= table.size()) return empty;
    return table[static_cast<size_t>(level)];
}

void ApplyLevelDef(int level, cLevelTaskSet& set)
{
    const cLevelDef& def = GetLevelDef(level);
    set.fTimeLimit = def.fTimeLimit;
    for (const cLevelDefTask& task : def.vecTasks) AddLevelTask(task.iAmount, task.szName, set, task.fTime);
}

bool LevelOffersUpgrade(const cLevelDef& def, bool instituteBuilt)
{
    if (!instituteBuilt) return false;
    const bool anyAward = def.Has(cLevelDef::e_NewSort) || def.Has(cLevelDef::e_MoreBeds) ||
                          def.Has(cLevelDef::e_NewAnimal);
    return !anyAward || def.Has(cLevelDef::e_MoreBeds);
}

vek::string GetLevelBuilding(int level)
{
    if (level < 0 || level >= kLevelCount) return vek::string();
    return kLevelBuildings[level];
}

vek::string GetBuildingHintText(const vek::string& building)
{
    const cLocaleGD& t = GetLocaleGD();
    const struct {
        const char* szBuilding;
        const vek::string& strText;
    } texts[] = {
        {"house00", t.HintConstructHouse00},
        {"house01", t.HintConstructHouse01},
        {"house02", t.HintConstructHouse02},
        {"house03", t.HintConstructHouse03},
        {"house04", t.HintConstructHouse04},
        {"house05", t.HintConstructHouse05},
        {"market00", t.HintConstructMarket00},
        {"market01", t.HintConstructMarket01},
        {"market02", t.HintConstructMarket02},
        {"market03", t.HintConstructMarket03},
        {"market04", t.HintConstructMarket04},
        {"market05", t.HintConstructMarket05},
        {"factory00", t.HintConstructFactory00},
        {"factory01", t.HintConstructFactory01},
        {"factory01_1", t.HintConstructFactory01_1},
        {"factory02", t.HintConstructFactory02},
        {"factory02_1", t.HintConstructFactory02_1},
        {"factory03", t.HintConstructFactory03},
        {"factory03_1", t.HintConstructFactory03_1},
        {"institute00", t.HintConstructInstitute00},
        {"animals00", t.HintConstructAnimals00},
        {"statue00", t.HintConstructStatue00},
    };
    for (const auto& entry : texts)
        if (building == entry.szBuilding) return entry.strText;
    return vek::string();
}

vek::string GetLevelBuildingText(int level) { return GetBuildingHintText(GetLevelBuilding(level)); }
