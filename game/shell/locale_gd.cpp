#include "game/shell/locale_gd.h"

cLocaleGD& GetLocaleGD()
{
    static cLocaleGD table;
    return table;
}

cLocaleGD& g_LocaleGD = GetLocaleGD();
