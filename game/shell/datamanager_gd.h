#pragma once
// The game's data manager: the engine's whole-file, image and sound readers
// plus the game's own file formats. Like its base, only static members.
#include "engine/core/datamanager.h"
#include "game/shell/bed_layout.h"

class cDataManagerGD : public vek::cDataManager {
public:
    // The bed layouts of "holes.lvs" into layouts (see ReadBedLayouts).
    static int ReadTheme(const vek::filename& file, cBedLayouts& layouts)
    {
        return ReadBedLayouts(file, layouts);
    }
};
