#pragma once
// The game object: the shell's profiles, scores and windows (cMiddle) plus
// everything the garden keeps for the whole run: the island and level field,
// the effects, the building registry, the tutorial, the balance record, the
// bed layouts and the table from the game's sound ids to loaded sounds.
// Exactly one exists, made by the entry routine after the engine object.
#include <cstdint>
#include <functional>
#include <vector>

#include "game/shell/bed_layout.h"
#include "game/shell/middle.h"
#include "game/world/balance.h"
#include "game/world/building.h"
#include "game/world/rules.h"
#include "game/world/training.h"
#include "game/shell/texture_info.h"
#include "engine/core/anim.h"

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
class cSpriteAnimations;
class cTextPopups;

namespace vek {
class cWindowFunction;
}

// The game's windows in the order the game object makes them at start-up:
// the window of each name is filled by "gui/<name>.lua" and answered by the
// window function `make` returns.
struct cGameWindowRow {
    const char* name;
    vek::cWindowFunction* (*make)();
};
const std::vector<cGameWindowRow>& GetGameWindowTable();

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
    // Writes "{AppPath}/conf/settings.lua" (the settings script writes a
    // temporary file and renames it over the old one): at exit, and when
    // the profile screens make, choose or delete a profile, so that the
    // current profile is on disk as soon as it changes.
    void WriteSettings();
    // What the settings script wrote, put at the path whole: a temporary
    // file of its own, on disk before it is renamed over the old one. False
    // (and a warning) when it could not be written.
    bool WriteSettingsFile(const vek::string& path, const vek::string& text);
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
    // The same for a box asked for while the box itself leaves the screen
    // (an answer's consequence, from OnWindowClose): it shows once the GUI
    // has taken the old one off.
    void ShowMessageBoxAfterClose(int icon, int buttons, const vek::string& text, const vek::string& command);
    // Maps the game's 31 sound ids to the loaded sounds of those names.
    void ParseResources();

    // Wares (game/world/ware.cpp). CollectWare appends a ware of the table
    // to the list (the car load) and always counts it against the level's
    // tasks; the reader and writer are the saved ware-list form.
    void CollectWare(std::vector<int32_t>& list, int32_t ware);
    bool ReadWareList(std::vector<int32_t>& list, vek::cBitStream* stream);
    bool WriteWareList(const std::vector<int32_t>& list, vek::cBitStream* stream);
    // Counts a delivered ware against the level's tasks: each active task
    // for it wants one less, and its panel line shows it.
    virtual void CountTaskWare(int32_t ware);

    // Sounds and sprites (game/world/game_sound.cpp). PlayGameSound plays
    // the game sound of that id (0 to 30) once; an unknown id or an unloaded
    // sound is silent. GetSprite fills the record with the area of the
    // texture (frames, their count, pixel size of the first, frame time);
    // a missing texture, texture info or area, or an area without frames,
    // leaves it empty (texture 0) and gives false.
    void PlayGameSound(unsigned id);
    bool GetSprite(const vek::string& texture, cSprite* record, const vek::string& area);

    // The rules' steps the level field runs (game/world/rules.cpp).
    // UpdateSession is one fixed step of the rules (the level clock, the
    // task panel, joining tasks, the won test, the timers, the empty
    // ships), UpdateTraining the tutorial's triggers (inert until the
    // lessons exist), UpdateShips moves the ships and drops those that left
    // their route, ClearShips drops them all.
    virtual void UpdateSession();
    // The level waits for the player: a lesson runs, or a screen hint waits
    // for its "OK". The level clock stands still meanwhile, and so does
    // everything on the field that waits for the player (a plant's care, a
    // hungry animal's patience, a product's life, the goat's milk, the
    // hive's honey and its bee's search for flowers): nothing is lost for
    // a hint he is still reading.
    bool LevelWaitsForPlayer() const;
    virtual void UpdateTraining();
    virtual void UpdateShips();
    virtual void ClearShips();

    // Screen hints (game/world/hints.cpp). ShowHint shows hint `kind` (0 to
    // 9; `index` is the active task of kind 4) unless a mission screen is
    // open, a lesson runs or the hint is done for good; HideHint hides the
    // shown hint when it is of that kind (-1: any) and forgets it.
    void ShowHint(int index, unsigned kind);
    void HideHint(int kind);
    // The island building of a level (null when none); the level spot of a
    // building (-1 when none); what buying it would take from the funds.
    cHouse* GetLevelHouse(int level) const;
    int FindLevelSpot(const cBuild* building) const;
    int GetHintCost(const cHouse* building) const;
    // The profile's event flags, one per lesson (eLesson): entry i set;
    // e_lessonPlantInstead's entry set (the gardener sowed over a plant, so
    // that lesson is no longer needed).
    bool IsEventSeen(unsigned i) const;
    void SetEventSeen11();
    // Tutorial (game/world/training.cpp): shows the active lesson's step.
    void ShowTrainingStep();
    // The object of the field the shown step points at (a tool, a plant,
    // the car, an animal); null while no step shows or it points at a
    // control or a cell. The field draws it above the others.
    cObject* TrainingTarget() const;

    // The level of a "start_level" command: -1 continues the level in play,
    // 0 to 44 start that level; anything else is refused with a warning.
    // False when refused.
    virtual bool StartLevel(int level);
    // The game in play goes on: a won level with its finish, its upgrade
    // offer or its result sequence, any other level where it was left.
    void ContinueGame();
    virtual void FinishLevel();
    void ClearIslandWalkers();
    int GetMoney() const;
    // The current profile as the game's own profile type, or null.
    cPlayer* GetPlayer() const;

    // Rules of play (game/world/rules.cpp). SetupLevel applies a level's
    // definition: a level >= 0 starts it afresh (clock 0, no active tasks,
    // its start money, "mission_start" shown); a negative one rebuilds the
    // saved level's definition over the loaded game. Always true.
    bool SetupLevel(int level);
    // The medal on the running clock (0 gold, 1 silver, 2 bronze) and how
    // far the clock has run toward the end of that medal's span.
    int GetMedal() const;
    float GetMedalProgress() const;
    // The picture of a medal ("houses05": "gold", "silver", "bronze"): 1
    // silver, 2 bronze, any other value gold. False when the sprite is
    // missing (the record is then empty).
    bool GetMedalSprite(int medal, cSprite* record);
    // Money never goes below 0; spending more than there is changes nothing.
    void SetMoney(int value);
    void SpendMoney(int amount);
    void SpendIslandMoney(int amount);
    // The awards of a finished level; false when there is nothing left to
    // give (then nothing changes).
    bool UnlockNextSort();
    bool UnlockNextAnimal();
    bool ExpandGarden();
    // Up to three upgrade indices, cheapest first.
    std::vector<int> GetUpgradeOffers() const;
    // The player's rating by gold medals: the text (`Rate0` to `Rate4`) and
    // stars; either pointer may be null. False above 20 gold medals.
    bool GetRate(vek::string* text, int* stars) const;
    // The island's rating by buildings standing or going up: the text
    // (`IslandRate0` to `IslandRate4`) and house icons; either pointer may
    // be null. False above 40 buildings.
    bool GetIslandRate(vek::string* text, int* stars) const;
    // A bought animal of that kind counts against the active tasks.
    void CountTaskKind(int kind);
    // Statistics: one more of that ware (a ware of the table) or animal
    // kind (0 to 3); anything else is not counted.
    void CountWare(int ware);
    void CountAnimal(int kind);
    bool CanScrollIsland() const;
    bool IsLevelContext() const;
    // The island's next level is reached: the progress rises by one and the
    // saved game is kept as that level's snapshot slot; the level to
    // continue is cleared. True when the snapshot was written.
    bool AdvanceProgress();
    // Set while the level in play lets animals range over the whole field.
    uint8_t m_bFreeRange = 0;

    // ---- the level in play: stock, sales, ships (game/world/rules.cpp) ----
    // The active task a ware serves, directly or through the island's
    // factories; null when none.
    cLevelTask* FindTaskForWare(int32_t ware);
    // What the factory chain of a plant sort already holds toward its task:
    // the stock of its factory and the products in flight, and the same one
    // factory further on.
    int CountWareInChain(int32_t ware);
    // Drops from the car the wares no task or factory still wants (they fly
    // off); true when the car still holds any.
    bool CheckCarLoad();
    // Sells the car load: the price of every ware a task wants, the rest
    // delivered to its factory; closes the tasks that are met. The sum.
    int32_t SellCarLoad();
    // The sprite of a medal (1 silver, 2 bronze, else gold).
    const cSprite& GetMedalSprite(int medal);
    void AddShip(int people);
    // One ship with the people the island still has room for, when none
    // sails.
    void RenewShips();
    // A unit of a plant sort reached its factory: once the chain holds what
    // the sort's task asks, its plants on the field are no longer needed.
    void OnFactoryInput(int32_t inputWare);
    // Once: the watering can and the pump are shown to the player.
    void ShowWaterReminder();
    // Whether the water event (can and pump shown) happened.
    bool IsWaterEventSet() const;
    // Marks the holes the garden gained with the new bed layout; the field
    // sets it to the holes' own mark.
    std::function<void()> fnShowNewHoles;
    // What the rules ask of the gardener, set by the field's code: a level
    // ends (his jobs go, the bin is emptied); the tool he carries, and
    // handing it back after the progress snapshot (0: none).
    std::function<void()> fnEndGardenWork;
    std::function<uint32_t()> fnCarriedTool;
    std::function<void(uint32_t tool)> fnGiveTool;

    std::vector<cShip> m_Ships;
    // Hides the task hint; a target of N is N seconds.
    vek::mover<float> m_HintTimer;
    // Shows the new beds a second after the level.
    vek::mover<float> m_BedTimer;
    // A second after the level starts, new tasks bring their hint.
    vek::mover<float> m_StartTimer;
    vek::mover<float> m_ReminderTimer;
    uint8_t m_bTaskHint = 1;
    float m_fShipClock = 0.0f;
    cSprite m_aMedalSprites[3];
    bool m_bMedalsLooked = false;

    const std::vector<int32_t>& GetSoundTable() const { return m_SoundTable; }
    // The tutorial switch, the rule counter, the flow state, the profile
    // counter and the balance record live in the record the profiles share
    // (GetProfileHost), so that a profile reads the same values.
    cGameBalance& GetBalance();
    // The price of an animal of that kind (0 ostrich, 1 goat, 2 hive,
    // 3 peacock) from the balance record; 0 for any other kind.
    int GetAnimalPrice(int kind) const;
    int GetTraining() const;
    void SetTraining(int on);
    // The play mode (ePlayMode): e_playLevel while a level runs; any other
    // while the mission start, mission finish or upgrades screen is open,
    // which freezes the field's rules and objects.
    enum ePlayMode : int {
        e_playLevel = 0,
        e_playMissionStart = 1,
        e_playMissionFinish = 2,
        e_playUpgrades = 3,
    };
    int GetFlowState() const;
    void SetFlowState(int state);
    cLevel* GetLevel() const { return m_pLevel; }
    vek::cMusic* GetMenuMusic() const { return m_pMenuMusic; }
    const cBedLayouts& GetBedLayouts() const { return m_BedLayouts; }
    const cBuildingRegistry& GetBuildings() const { return m_Buildings; }
    // The building catalogue: the definitions by index and by name, and a
    // copy of one for the island (null for a bad index).
    int RegisterBuilding(cHouse* definition);
    cHouse* GetBuilding(unsigned index) const;
    cHouse* FindBuilding(const vek::string& name) const;
    cHouse* CreateBuilding(unsigned index, cIsland* island);

    cBedLayouts m_BedLayouts;
    cBuildingRegistry m_Buildings;
    cTraining m_Training;
    // The level's award flags, indexed by eAward (game/world/rules.h).
    int32_t m_aiCounters[4] = {0, 0, 0, 0};
    cParticleSystem* m_pParticles = nullptr;
    cFlyingItems* m_pFlyingItems = nullptr;
    cTextPopups* m_pTextPopups = nullptr;
    // The game's one-shot sprite animations, drawn over the focused view.
    cSpriteAnimations* m_pSpriteAnimations = nullptr;
    cGardenComics* m_pComics = nullptr;
    cLevel* m_pLevel = nullptr;
    cIsland* m_pIsland = nullptr;
    cHintGDWF* m_pHint = nullptr;
    int32_t m_iShownHint = -1;
    int32_t m_iLastMedal = -1;
    std::vector<cObject*> m_IslandWalkers;
    vek::cMusic* m_pMenuMusic = nullptr;
    cFlyingItems* m_pSecondList = nullptr;
    std::vector<int32_t> m_SoundTable;
    vek::string m_strLinkFinishBeta;
    // The seed of the game's random numbers (RandomInt, RandomRange).
    uint32_t m_uSeed = 0;
    // The music of the level field, one of "music0" and "music1"; the
    // finish screen pauses it.
    vek::cMusic* m_pGameMusic = nullptr;

private:
    // Tells the player, once per profile and run, that the current
    // profile's saved game could not be read or was damaged; with a slot,
    // once per slot that a level started from. After a message box's
    // command, the box shows once the closing one has gone.
    void TellLoadNotice(int slot = -1, bool afterClose = false);
    // Once per run, with the first main menu: settings that could not be
    // read, then every other profile whose files could not be read whole,
    // named to the player.
    void TellProfileNotices();
    // A notice (button "Ok", no command) shows at once, or after the
    // notices shown before it when the box is on the screen.
    void ShowNotice(int icon, const vek::string& text);
    struct cNotice {
        int icon;
        vek::string text;
    };
    std::vector<cNotice> m_QueuedNotices;
    bool m_bProfileNoticesTold = false;
    // A won level whose finish the profile already holds (its awards are in
    // the game) goes on with the upgrade offer still waiting, then with the
    // island's result sequence: the newest level once its medal is
    // recorded, a replayed one only for its offer. False for any other.
    bool ResumeResultSequence(int level);
    // Text, icon, buttons and command of the message box; false without one.
    bool FillMessageBox(int icon, int buttons, const vek::string& text, const vek::string& command);
    // A folder at the settings' old temporary name was told of.
    bool m_bSettingsFolderTold = false;
    // What the start found of "settings.lua" (vek::cScript's
    // eValuesResult): one damaged, or missing beside profiles, is told with
    // the first main menu.
    int m_iSettingsFound = 1;
};

// The game object while it exists.
extern cGarden* g_pGarden;

// The game's Lua classes and free functions; true when all registered.
bool RegisterGameClasses(vek::cScript* script);
