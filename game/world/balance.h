#pragma once
// The game's tuning values, fixed in code: what each level (0 to 3) of the
// player's six upgrades selects, and the prices of the four animals. Held by
// value in the game object and never changed.
#include <cstdint>
#include <vector>

// The animals the player buys, by kind: the kind indexes their prices, their
// toolbar items and the profile's animal counters.
enum eAnimalKind : int { e_animalOstrich = 0, e_animalGoat = 1, e_animalHive = 2, e_animalPeacock = 3 };
constexpr int kAnimalKinds = e_animalPeacock + 1;

class cGameBalance {
public:
    cGameBalance() = default;

    // By eAnimalKind; 0 for any other kind.
    int32_t GetAnimalPrice(int kind) const;

    // Per-level tables, indexed by an upgrade's level.
    std::vector<int32_t> vecWaterCapacity = {3, 4, 5, 6};  // "volume_water": units a full can holds
    float fPumpWait = 0.3f;                                // seconds at the water pump
    std::vector<int32_t> vecBinCapacity = {3, 4, 5, 6};    // "volume_bin": units the basket holds
    std::vector<float> vecWalkSpeed = {280.0f, 310.0f, 340.0f, 370.0f};  // "speed": pixels per second
    std::vector<float> vecWaterTime = {1.1f, 0.8f, 0.6f, 0.4f};  // "time_water": seconds
    std::vector<float> vecWeedTime = {1.1f, 0.8f, 0.6f, 0.4f};   // "time_weed": seconds
    std::vector<float> vecWorkTime = {0.9f, 0.7f, 0.5f, 0.4f};   // "time_bin": seconds
    int32_t iHivePrice = 300;
    int32_t iOstrichPrice = 100;
    int32_t iGoatPrice = 200;
    int32_t iPeacockPrice = 400;
};

// The table's entry at that level; 0 past either end, so a damaged level
// never reads outside the table.
float GetUpgradeValue(const std::vector<float>& table, int level);
int32_t GetUpgradeValue(const std::vector<int32_t>& table, int level);
