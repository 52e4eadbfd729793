#pragma once
// The comic strip's window ("comics"): its "next" button turns the page of
// the game's comics widget. A script without "next" leaves the strip to
// keys and clicks on the pictures. The class is declared with the other
// screens.
#include "game/screens/window_functions.h"
