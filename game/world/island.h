#pragma once
// The island widget "island", in the least form the shell needs until the
// island's own screens exist: its mode and view values, and SetMode, which
// brings the island's windows up when the island has the focus. One exists
// per process; the game object keeps it.
#include <cstdint>

#include "engine/gui/widget.h"

class cIsland : public vek::cWidget {
public:
    // Island modes.
    enum eMode { e_modeNone = 0, e_modeIsland = 1, e_modeLevel = 2, e_modeEdit = 3 };

    // Becomes the process-wide island.
    cIsland();
    ~cIsland() override;

    // Stores the mode. While "island" is the focused widget and the mode is
    // not 0: hides the game windows and shows "score" and "island" with the
    // parameter 2; in mode 1 it then sends the game's window message to both.
    virtual void SetMode(int mode);
    // The island of a save slot (-1: the game in play); nothing to read or
    // write until the island keeps state of its own.
    virtual void Load(int slot);
    virtual void Save(int slot);

    int32_t iMode = e_modeNone;
    // The view: horizontal scroll, vertical scroll, and a third value.
    float fScrollX = 0.0f;
    float fScrollY = 0.0f;
    float fView = 0.0f;
    // The height of the island picture; the view starts at its bottom.
    // Until the island loads its picture, one screen.
    float fPictureHeight = 768.0f;
};

// The island while it exists.
cIsland* GetIsland();
