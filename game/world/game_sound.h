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

// The game's sound ids 0 to 30 by the name of the sound each plays.
constexpr int kGameSoundCount = 31;
extern const char* const g_aGameSoundNames[kGameSoundCount];
