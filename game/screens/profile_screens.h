#pragma once
// The profile screens: "profile_select" lists the profiles, makes one
// current and deletes one after a question; "profile_add" names a new one.
// The classes are declared with the other screens.
#include "game/screens/window_functions.h"

// A new profile's name as the add screen takes it: white space cut at both
// ends.
vek::string TrimProfileName(const vek::string& text);
