#pragma once
// The island's screens: its rating panels ("island"), the building mode
// ("edit") and the two statistics pop-ups ("stat_garden", "stat_island").
// The window functions themselves are declared with the other screens in
// window_functions.h.
#include <cstdint>

#include "engine/core/geometry.h"

// The edit screen's categories, in the order of its tabs.
enum eEditCategory { e_editMarket = 0, e_editHouse = 1, e_editFactory = 2, e_editSpecial = 3 };

// The tab a building of that definition category is listed under: houses,
// markets and factories have their own, everything else is special.
int EditCategoryOf(int32_t buildingCategory);
// The chosen edit category; kept between openings.
int GetEditCategory();

// The statistics' text colours: something the player has, and something
// missing.
vek::vec3 StatOnColor();
vek::vec3 StatOffColor();

// The sprites the screens look up once per run are looked up again (after
// the texture-info registry was rebuilt).
void ForgetIslandScreenSprites();
