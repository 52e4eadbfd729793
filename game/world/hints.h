#pragma once
// The kinds of the screen hints (cGarden::ShowHint, game/world/hints.cpp).
// The kind is also the index of the hint's entry in the profile's
// hint-state list and the value of the game object's shown hint.
enum eHintKind : int {
    e_hintBasketUp = 0,      // the basket carries more after its upgrade
    e_hintConstruct = 1,     // what finishing the level builds on the island
    e_hintNewPeople = 2,     // a ship brings settlers
    e_hintStartLevel = 3,    // the spot of the next level on the island
    e_hintNewTask = 4,       // a task line that joined
    e_hintStatGarden = 5,    // the garden's statistics button
    e_hintStatIsland = 6,    // the island's statistics button
    e_hintSilver = 7,        // the level was won with silver
    e_hintBronze = 8,        // the level was won with bronze
    e_hintFlowersWater = 9,  // flowers want water
};
constexpr unsigned kHintKinds = e_hintFlowersWater + 1;

// A hint kind's entry in the profile's hint-state list.
enum eHintState : int {
    e_hintUnseen = 0,         // not shown yet
    e_hintDone = 1,           // shown; it does not show again
    e_hintFirstTaskSeen = 2,  // e_hintNewTask: the first task's text was shown
};
