#include "game/world/game_sound.h"

#include "engine/sound/sound.h"
#include "game/shell/garden.h"
#include "game/shell/texture_info.h"
#include "game/world/effects.h"

int FindMusicIndex(const vek::string& name)
{
    if (!GetSoundManager()) return 0;
    return static_cast<int>(GetSoundManager()->m_Musics.Find(name));
}

void PlayGameSound(const std::vector<int32_t>& table, int id)
{
    if (id < 0 || static_cast<size_t>(id) >= table.size()) return;
    const int32_t entry = table[static_cast<size_t>(id)];
    // Entry 0 is the default sound, which is silent; playing it would only
    // log a warning on every call.
    if (entry <= 0 || !GetSoundManager()) return;
    // A sound that does not loop plays to its end after this object is gone.
    vek::cSound sound(static_cast<uint32_t>(entry));
    sound.Play(false);
}

const char* const g_aGameSoundNames[kGameSoundCount] = {
    "market_sold", "goal_done", "level_success", "seed", "water", "weed", "harvest",
    "tool_take", "water_repair", "stock_open", "stock_out", "take_seed", "new_sort",
    "area_click", "goat_hungry", "goat_idle", "ostrich_hungry", "ostrich_idle",
    "peacock_hungry", "peacock_idle", "goat_milk", "hive_open", "put_car", "salute",
    "factory_work", "money_inc", "good", "ship_beep", "construction", "bee", "hint",
};

void cGarden::PlayGameSound(unsigned id)
{
    // An id past the table, or a sound that was not loaded, is silence; the
    // start-up already warned about every missing sound once.
    if (id >= m_SoundTable.size()) return;
    ::PlayGameSound(m_SoundTable, static_cast<int>(id));
}

bool LookUpSprite(const vek::string& texture, const vek::string& area, cSprite* record)
{
    cSprite found;
    if (FindSprite(texture, area, &found) != e_spriteFound || found.iFrameCount <= 0 || !found.pFrames) {
        // An area without frames would send every user of the record past
        // its rectangles: it counts as missing.
        found = cSprite();
    }
    if (record) *record = found;
    return found.iTexture != 0;
}

bool cGarden::GetSprite(const vek::string& texture, cSprite* record, const vek::string& area)
{
    return LookUpSprite(texture, area, record);
}
