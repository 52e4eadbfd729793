#pragma once
// The message box: every question and error of the game goes through it, and
// its answer comes back to the game object as a command string and a result
// once the box has left the screen (cMiddle::OnWindowClose). While it is
// shown the engine's pause counter is raised by one.
#include "game/screens/window_functions.h"

// Posted to the box (cGUI::PostMessage): it shows itself with the game
// object's window rules. A box asked for while the box is leaving the
// screen comes this way, once the GUI has taken it off.
constexpr int kMsgShowMessageBox = 0x9002;

class cMessageBoxWF : public cBaseWF {
public:
    cMessageBoxWF() = default;

    int Call(vek::cWindow* window, int message, unsigned a, unsigned b) override;

    // The textures of the controls "image" and "icon" (each when present).
    // 1 before the box knows its window, else 0.
    virtual int SetImage(const vek::string& image, const vek::string& icon);
    // "title" gets the title; "text" the text, or without it the lines of
    // the text go to "line0", "line1", ... and the labels left over are
    // cleared. 1 before the box knows its window, else 0.
    virtual int SetText(const vek::string& text, const vek::string& title);
    // "ok" gets the first caption; "cancel" the second, or is hidden when it
    // is empty. 1 before the box knows its window, else 0.
    virtual int SetButtons(const vek::string& first, const vek::string& second);
    virtual void SetCommand(const vek::string& command);
    virtual const vek::string& GetCommand();
    // 0 after "ok", 1 after "cancel", and 1 for a box that left the screen
    // without a button press.
    virtual int GetResult();

    vek::cWindow* GetWindow() const { return m_pWindow; }

private:
    int m_iResult = 1;
    vek::string m_strCommand;
    vek::cWindow* m_pWindow = nullptr;
    // This box holds one step of the pause counter.
    bool m_bPauseRaised = false;
};
