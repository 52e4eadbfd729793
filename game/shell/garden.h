#pragma once
// The game object: the shell's profiles, scores and windows (cMiddle) plus
// everything the garden keeps for the whole run: the island and level field,
// the effects, the building registry, the tutorial, the balance record, the
// bed layouts and the table from the game's sound ids to loaded sounds.
// Exactly one exists, made by the entry routine after the engine object.
#include <cstdint>
#include <vector>

#include "game/shell/bed_layout.h"
#include "game/shell/middle.h"
#include "game/world/balance.h"
#include "game/world/building.h"
#include "game/world/training.h"

namespace vek {
class cBitStream;
class cMusic;
class cScript;
}

class cFlyingItems;
class cGardenComics;
class cHintGDWF;
class cIsland;
class cLevel;
class cObject;
class cParticleSystem;
class cPlayer;
struct cSprite;
class cTextPopups;

class cGarden : public cMiddle {
public:
    cGarden();
    ~cGarden() override;

    // Before the splash: Lua classes, "theGame", the configuration scripts,
    // the splash widget. 0 on success.
    int InitGame() override;
    // After loading: sounds, wares, buildings, widgets, profiles, the 22
    // game windows, the bed layouts, the main menu. Runs once.
    void FinishInit() override;
    cPlayerBase* CreatePlayer(const vek::string& name) override;
    // Puts the island's view back to its start when the name differs from
    // the current profile's, whether or not such a profile exists.
    int ChangePlayer(const vek::string& name) override;
    cScoreRow* CreateScoreRow() override { return nullptr; }
    bool ShowGameWindow(const vek::string& name, int param) override;
    // Acts on the message box's command after "ok", then on the shell's.
    void OnWindowClose(const vek::string& name) override;
    void SetCursor(const vek::string& name) override;
    const vek::string& GetMessageText(int kind) override;
    virtual void SetPlayerCounter(int counter);
    virtual int GetPlayerCounter();
    // Message 100000 to the function of the named window, if there is one.
    virtual void SendWindowMessage(const vek::string& name, unsigned a, int b);

    // Icon kind 0 error, 1 info, 2 warning, 3 question; button set 0 "Ok",
    // 1 "Ok"/"Cancel", 2 "Yes"/"No". The command comes back to
    // OnWindowClose.
    void ShowMessageBox(int icon, int buttons, const vek::string& text, const vek::string& command);
    // Maps the game's 31 sound ids to the loaded sounds of those names.
    void ParseResources();

    // Wares (game/world/ware.cpp). CollectWare appends a ware of the table
    // to the list (the car load) and always counts it against the level's
    // tasks; the reader and writer are the saved ware-list form.
    void CollectWare(std::vector<int32_t>& list, int32_t ware);
    bool ReadWareList(std::vector<int32_t>& list, vek::cBitStream* stream);
    bool WriteWareList(const std::vector<int32_t>& list, vek::cBitStream* stream);
    // Counts a delivered ware against the level's tasks; inert until the
    // tasks count.
    virtual void CountTaskWare(int32_t ware);

    // Sounds and sprites (game/world/game_sound.cpp). PlayGameSound plays
    // the game sound of that id (0 to 30) once; an unknown id or an unloaded
    // sound is silent. GetSprite fills the record with the area of the
    // texture (frames, their count, pixel size of the first, frame time);
    // a missing texture, texture info or area, or an area without frames,
    // leaves it empty (texture 0) and gives false.
    void PlayGameSound(unsigned id);
    bool GetSprite(const vek::string& texture, cSprite* record, const vek::string& area);

    // The rules' steps the level field runs; inert until the rules, the
    // tutorial and the ships exist. UpdateSession is one fixed step of the
    // rules, UpdateTraining the tutorial's triggers, UpdateShips moves the
    // ships and drops those that left their route, ClearShips drops them
    // all.
    virtual void UpdateSession();
    virtual void UpdateTraining();
    virtual void UpdateShips();
    virtual void ClearShips();

    // The level of a "start_level" command: -1 continues the level in play,
    // 0 to 44 start that level; anything else is refused with a warning.
    // False when refused.
    virtual bool StartLevel(int level);
    virtual void FinishLevel();
    void ClearIslandWalkers();
    int GetMoney() const;
    // The current profile as the game's own profile type, or null.
    cPlayer* GetPlayer() const;

    const std::vector<int32_t>& GetSoundTable() const { return m_SoundTable; }
    // The tutorial switch, the rule counter, the flow state, the profile
    // counter and the balance record live in the record the profiles share
    // (GetProfileHost), so that a profile reads the same values.
    cGameBalance& GetBalance();
    int GetTraining() const;
    void SetTraining(int on);
    int GetFlowState() const;
    void SetFlowState(int state);
    cLevel* GetLevel() const { return m_pLevel; }
    vek::cMusic* GetMenuMusic() const { return m_pMenuMusic; }
    const cBedLayouts& GetBedLayouts() const { return m_BedLayouts; }
    const cBuildingRegistry& GetBuildings() const { return m_Buildings; }

    cBedLayouts m_BedLayouts;
    cBuildingRegistry m_Buildings;
    cTraining m_Training;
    // The game world's counters after the first (which is the profiles').
    int32_t m_aiCounters[4] = {0, 0, 0, 0};
    cParticleSystem* m_pParticles = nullptr;
    cFlyingItems* m_pFlyingItems = nullptr;
    cTextPopups* m_pTextPopups = nullptr;
    cGardenComics* m_pComics = nullptr;
    cLevel* m_pLevel = nullptr;
    cIsland* m_pIsland = nullptr;
    cHintGDWF* m_pHint = nullptr;
    int32_t m_iShownHint = -1;
    int32_t m_iLastMedal = -1;
    std::vector<cObject*> m_IslandWalkers;
    void* m_pWorld = nullptr;
    vek::cMusic* m_pMenuMusic = nullptr;
    cFlyingItems* m_pSecondList = nullptr;
    int32_t m_iSecondValue = 0;
    std::vector<int32_t> m_SoundTable;
    vek::string m_strLinkFinishBeta;
    // The seed of the game's random numbers (RandomInt, RandomRange).
    uint32_t m_uSeed = 0;
    // 0 while a level runs; 1, 2 and 3 while the mission start, mission
    // finish and upgrades screens are open, which freezes the field's rules
    // and objects.
    int32_t m_iPlayMode = 0;
    // The music of the level field, one of "music0" and "music1".
    vek::cMusic* m_pGameMusic = nullptr;
};

// The game object while it exists.
extern cGarden* g_pGarden;

// The game's Lua classes and free functions; true when all registered.
bool RegisterGameClasses(vek::cScript* script);
