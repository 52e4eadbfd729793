#pragma once
// What the garden's objects ask of the game object: the player, money, the
// balance record, sounds, popups, the tutorial and the rules of the car's
// sale. Each hook works without a game object (then it answers the neutral
// value), so that the objects can be made on a bare level field.
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "game/world/game_sound.h"
#include "game/world/training.h"

class cGameBalance;
class cPlayer;
struct cSprite;


namespace garden {

cPlayer* Player();
// The game's balance record, or a default one without a game object.
const cGameBalance& Balance();
int32_t Money();
void SpendMoney(int32_t amount);
// Adds with saturation at the largest int; the result never goes below 0.
void EarnMoney(int32_t amount);
// Plays the game sound (eGameSound).
void PlaySound(int id);
// A text on the game's popups, centred on the point.
void Popup(const vek::string& text, const vek::vec2& at);
// Sprite lookup of the game (empty record and false when missing).
bool Sprite(const vek::string& texture, const vek::string& area, cSprite* record);

// Set once the watering can and the pump have been shown to the player;
// they do not exist for him before.
bool WaterEventSet();
// The tutorial: the active lesson kind (-1 none) and the step hook (true
// when (kind, step) was the step shown and the lesson moved on).
int32_t TrainingKind();
bool TrainingStep(int kind, int step);  // kind: eLesson, step: eLessonStep
// The level waits for the player (cGarden::LevelWaitsForPlayer).
bool LevelWaitsForPlayer();
// Entry `index` of the profile's hint-state list (eHintState; e_hintUnseen
// when there is none).
int32_t HintState(int index);
// Shows the screen hint of that kind (eHintKind) with index 0; hides it when
// it is the one shown.
void ShowHint(int kind);
void HideHint(int kind);
// The game's spray of particles (cParticleSystem::EmitSpray) at the point.
void Spray(float spread, const vek::vec2& at);

// The rules of the car's sale (cGarden::CheckCarLoad, SellCarLoad).
// CheckCarLoad keeps the wares the level still wants and answers whether
// any are left; SellCarLoad empties the load and answers the money earned.
// Without a game object nothing is kept and nothing earned.
bool CheckCarLoad();
int32_t SellCarLoad();

} // namespace garden
