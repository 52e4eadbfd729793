#pragma once
// The main menu ("main") and the pause menu ("escape"), and what the menu
// screens share: asking a yes/no question whose command the game object runs
// on "Yes", and telling a control command's control by name.
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "game/screens/window_functions.h"

class cIsland;

// Fills the game's message box with the question (empty title, the question
// icon in both pictures, "Yes" and "No") and the command, and shows it.
// Nothing without a message box.
void AskQuestion(const vek::string& text, const vek::string& command);
