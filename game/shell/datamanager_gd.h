#pragma once
// The game's data manager: the engine's whole-file, image and sound readers
// plus the game's own file formats. Like its base, only static members.
#include "engine/core/datamanager.h"

class cDataManagerGD : public vek::cDataManager {};
