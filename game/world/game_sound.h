#pragma once
// The game's sounds and music by name, over the engine's sound manager.
// The game object plays a game sound by its id (cGarden::PlayGameSound) and
// looks sprites up by texture and area name (cGarden::GetSprite); both are
// defined in game_sound.cpp.
#include <cstdint>
#include <vector>

#include "engine/core/vekstring.h"

// Index of the music of that name in the sound manager's music table; 0
// when there is none (or no sound manager).
int FindMusicIndex(const vek::string& name);

// Plays the sound the table maps the game's sound id to. An id outside the
// table, or an entry of 0 (not loaded: the silent default sound), plays
// nothing.
void PlayGameSound(const std::vector<int32_t>& table, int id);

struct cSprite;

// The sprite of the texture's area: texture id, frames, frame count, pixel
// size of the first frame, frame time (1 / rate; 1/30 s for rate 0). A
// missing texture, texture info or area, or an area without frames, gives
// the empty record (texture 0, no frames) and false. The record may be
// null. cGarden::GetSprite is this lookup.
bool LookUpSprite(const vek::string& texture, const vek::string& area, cSprite* record);

// The game's sound ids; each plays the sound g_aGameSoundNames names at
// that index.
enum eGameSound : int {
    e_sndMarketSold = 0, e_sndGoalDone = 1, e_sndLevelSuccess = 2, e_sndSeed = 3,
    e_sndWater = 4, e_sndWeed = 5, e_sndHarvest = 6, e_sndToolTake = 7,
    e_sndWaterRepair = 8, e_sndStockOpen = 9, e_sndStockOut = 10, e_sndTakeSeed = 11,
    e_sndNewSort = 12, e_sndAreaClick = 13, e_sndGoatHungry = 14, e_sndGoatIdle = 15,
    e_sndOstrichHungry = 16, e_sndOstrichIdle = 17, e_sndPeacockHungry = 18, e_sndPeacockIdle = 19,
    e_sndGoatMilk = 20, e_sndHiveOpen = 21, e_sndPutCar = 22, e_sndSalute = 23,
    e_sndFactoryWork = 24, e_sndMoneyInc = 25, e_sndGood = 26, e_sndShipBeep = 27,
    e_sndConstruction = 28, e_sndBee = 29, e_sndHint = 30,
};

// The game's sound ids 0 to 30 by the name of the sound each plays.
constexpr int kGameSoundCount = e_sndHint + 1;
extern const char* const g_aGameSoundNames[kGameSoundCount];
