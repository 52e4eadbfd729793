#pragma once
// The game's sounds and music by name, over the engine's sound manager.
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

// The game's sound ids 0 to 30 by the name of the sound each plays.
constexpr int kGameSoundCount = 31;
extern const char* const g_aGameSoundNames[kGameSoundCount];
