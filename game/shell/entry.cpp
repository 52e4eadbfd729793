#include "game/shell/entry.h"

bool g_bSmallWorkArea = false;

int EntryMain(int, char**)
{
    return 0;
}
