#include "game/objects/garden_hooks.h"

#include <climits>

#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/shell/profile_host.h"
#include "game/world/balance.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/rules.h"

namespace garden {

cPlayer* Player() { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }

const cGameBalance& Balance()
{
    static const cGameBalance defaults;
    return g_pGarden ? g_pGarden->GetBalance() : defaults;
}

int32_t Money()
{
    const cPlayer* player = Player();
    return player ? player->m_iMoney : 0;
}

namespace {

} // namespace

void SpendMoney(int32_t amount)
{
    // The game object refreshes the toolbars with the money.
    if (g_pGarden) g_pGarden->SpendMoney(amount);
}

void EarnMoney(int32_t amount)
{
    cPlayer* player = Player();
    if (!player) return;
    // Added with saturation: a wrap would turn a fortune into a debt, which
    // the floor at 0 would then wipe out.
    const int32_t sum = SaturatingAdd(player->m_iMoney, amount);
    // Through the game object, so the toolbars follow the new money.
    if (g_pGarden) g_pGarden->SetMoney(sum);
    else player->m_iMoney = sum < 0 ? 0 : sum;
}

void PlaySound(int id)
{
    if (g_pGarden && id >= 0) g_pGarden->PlayGameSound(static_cast<unsigned>(id));
}

void Popup(const vek::string& text, const vek::vec2& at)
{
    if (g_pGarden && g_pGarden->m_pTextPopups) g_pGarden->m_pTextPopups->AddPopup(text, at);
}

bool Sprite(const vek::string& texture, const vek::string& area, cSprite* record)
{
    return LookUpSprite(texture, area, record);
}

bool WaterEventSet() { return GetProfileHost().iRuleCounter != 0; }

int32_t TrainingKind() { return g_pGarden ? g_pGarden->m_Training.iKind : -1; }

bool TrainingStep(int kind, int step) { return g_pGarden && g_pGarden->m_Training.NextStep(kind, step); }

bool LevelWaitsForPlayer() { return g_pGarden && g_pGarden->LevelWaitsForPlayer(); }

int32_t HintState(int index)
{
    const cPlayer* player = Player();
    if (!player || index < 0 || static_cast<size_t>(index) >= player->m_Hints.size()) return 0;
    return player->m_Hints[static_cast<size_t>(index)];
}

void ShowHint(int kind)
{
    if (g_pGarden) g_pGarden->ShowHint(0, static_cast<unsigned>(kind));
}

void HideHint(int kind)
{
    if (g_pGarden && g_pGarden->m_iShownHint == kind) g_pGarden->HideHint(kind);
}

void Spray(float spread, const vek::vec2& at)
{
    if (g_pGarden && g_pGarden->m_pParticles) g_pGarden->m_pParticles->EmitSpray(spread, vek::vec3(at.x, at.y, 0.0f));
}

bool CheckCarLoad() { return g_pGarden && g_pGarden->CheckCarLoad(); }

int32_t SellCarLoad() { return g_pGarden ? g_pGarden->SellCarLoad() : 0; }

} // namespace garden
