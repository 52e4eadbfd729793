#pragma once
// The shell half of the game object: start-up before and after loading, the
// player profiles, the high-score table and its online exchange, and the
// window scheme (every game screen is a GUI window built by a Lua file).
// The game's own object derives from it; exactly one exists, reached through
// g_pMiddle, made after the engine object and destroyed before it.
#include <cstdint>
#include <functional>
#include <list>
#include <vector>

#include "engine/core/filename.h"
#include "engine/core/vekstring.h"
#include "game/shell/settings.h"

namespace vek {
class cTransferHTTP;
class cWindow;
class cWindowFunction;
}

class cMessageBoxWF;
class cMiddle;
class cPlayerBase;
class cScoreRow;


class cMiddle {
public:
    // Sets g_pMiddle to this object.
    cMiddle();
    cMiddle(const cMiddle&) = delete;
    cMiddle& operator=(const cMiddle&) = delete;

    // ---- virtual operations, in the game object's slot order ----

    // Folders, registries, system textures and font; always 0.
    virtual int InitGame();
    // Saves every profile, writes the high scores, destroys the registries.
    virtual ~cMiddle();
    // From the splash to the loading screen.
    virtual void OnSplashEnd();
    // High scores and profiles once loading is done. Runs once; a second
    // call does nothing.
    virtual void FinishInit();
    // A new profile for a profile folder name ("" for a fresh folder).
    virtual cPlayerBase* CreatePlayer(const vek::string& name) = 0;
    virtual int ChangePlayer(const vek::string& name);
    // The current profile is never deleted, nor one whose files cannot be
    // (it stays listed).
    virtual int DeletePlayer(const vek::string& name);
    virtual int AddPlayer(cPlayerBase* player);
    // The first profile whose name matches without regard to case.
    virtual cPlayerBase* FindPlayer(const vek::string& name);
    virtual cPlayerBase* GetFirstPlayer();
    // Null at the end, and on every call after it.
    virtual cPlayerBase* GetNextPlayer();
    virtual int GetPlayerCount();
    virtual cPlayerBase* GetPlayerAt(int index);
    // The current profile's name; "" while there is none.
    virtual const vek::string& GetPlayerName();
    virtual cScoreRow* CreateScoreRow() = 0;
    // Takes the row; its position in the table, or -1 when it fell out.
    virtual int AddScore(cScoreRow* row);
    virtual int GetLastScorePosition();
    virtual std::vector<vek::string> GetScoreTexts();
    virtual std::vector<vek::string> ReceiveScores();
    virtual bool SendScores();
    virtual bool IsTransferStarted();
    virtual bool IsTransferFinished();
    virtual bool ResetTransfer();
    virtual int GetWindowParam();
    virtual bool ShowGameWindow(const vek::string& name, int param);
    // A window has left the screen; acts on the message box's answer.
    virtual void OnWindowClose(const vek::string& name);
    // Asks every shown window but "dump" to hide.
    virtual void HideAllWindows();
    virtual void SetCursor(const vek::string& name);
    // Builds a window of the GUI from a Lua file; never null while the engine
    // has a GUI. The GUI owns the window and, through it, the function.
    virtual vek::cWindow* FillWindow(const vek::string& name, const vek::filename& file,
                                     vek::cWindowFunction* function);
    virtual const vek::string& GetMessageText(int kind) = 0;

    // ---- not virtual ----

    // Removes and deletes this profile when it is listed and not current; 0.
    // The profile screen deletes by the object it picked.
    int DeleteProfile(cPlayerBase* player);
    cPlayerBase* GetCurrentPlayer() const { return m_pPlayer; }
    cMessageBoxWF* GetMessageBox() const { return m_pMessageBox; }
    bool IsInitFinished() const { return m_bInitFinished; }
    int GetStartTime() const { return m_iStartTime; }
    vek::cTransferHTTP* GetTransfer() const { return m_pTransfer; }
    size_t GetScoreCount() const { return m_Scores.size(); }

    cSettings m_Settings;
    // Called at a first start once its fresh profile is current and before
    // anything of it is on disk: the game writes its settings there.
    std::function<void()> fnFreshProfileChosen;
    // The colour the splash and loading screens clear to: red, green, blue,
    // alpha. Opaque black until the splash script sets it.
    float m_afBackColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};

protected:
    // Reads "highscore.dat" into the table (when it exists) and logs.
    void LoadScores();
    // Writes the table to "highscore.dat" and frees the rows.
    void SaveScores();
    // The game in play of the current profile, then every profile; once.
    // The game object runs it while everything the saves reach still
    // exists; the destructor saves what it did not.
    void SaveProfiles();

    cMessageBoxWF* m_pMessageBox = nullptr;
    cPlayerBase* m_pPlayer = nullptr;
    std::list<cPlayerBase*> m_Players;
    std::list<cPlayerBase*>::iterator m_PlayerIter;
    std::list<cScoreRow*> m_Scores;
    int32_t m_iLastScorePos = -1;
    // How much of "highscore.dat" the table holds: a file read only in part
    // is kept as "highscore.dat.bad" before the table is written over it.
    enum eScoreFile { e_scoreFileWhole, e_scoreFileCut, e_scoreFileUnreadable };
    eScoreFile m_eScoreFile = e_scoreFileWhole;
    // Profiles were found on disk at the start (none: a first run).
    bool m_bProfilesFound = false;
    int32_t m_iWindowParam = 0;
    int32_t m_iStartTime = 0;
    vek::cTransferHTTP* m_pTransfer = nullptr;

private:
    // Of the profiles listed under one name, the one whose progress file is
    // surely its own keeps it; every other one holds a copy of that file (or
    // a link to it) and is read again without it.
    void SettleSharedNames();
    // Deletes the files of a listed profile, then unlists and frees it;
    // false (the profile stays listed) when its files cannot be deleted.
    bool RemoveProfile(cPlayerBase* player);

    // The iteration cursor stands on the node after an erased one: the next
    // GetNextPlayer returns that node instead of stepping past it.
    bool m_bIterPending = false;
    bool m_bInitFinished = false;
    bool m_bProfilesSaved = false;
};

// The game object while it exists.
extern cMiddle* g_pMiddle;
