#pragma once
// The game's settings record: read and written by the settings scripts, held
// by value in the game object so that its defaults hold before any Lua runs.
#include <cstdint>

#include "engine/core/vekstring.h"

class cSettings {
public:
    float fMouseSpeed = 0.3f;
    // The online score exchange: the server's URL and the coder's algorithm
    // list. Both stay empty unless the game assigns them.
    vek::string strScoreURL;
    vek::string strCoderList;
    int32_t iRenderInfo = 0;
    int32_t iCheatMode = 0;
};
