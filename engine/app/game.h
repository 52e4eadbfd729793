#pragma once
// The engine object: one per process. It resolves the path macros, owns the
// log root, the GUI, the 2D sprite batch and every widget, keeps the window,
// display and frame-timing state, and creates and destroys the engine's
// managers in a fixed order.
#include <cstdint>
#include <functional>
#include <list>
#include <vector>

#include "engine/core/vekstring.h"
#include "engine/gui/host.h"

namespace vek {

class cWidget;
class cGUI;
class cQuadBatch;

namespace platform {
struct cMessage;
class iClock;
}

// A display mode; lists of them are kept sorted ascending by
// (width, height, bits, frequency).
struct cDisplayMode {
    int32_t iWidth = 0;
    int32_t iHeight = 0;
    int32_t iBits = 0;
    int32_t iFrequency = 0;
};
bool operator<(const cDisplayMode& a, const cDisplayMode& b);
bool operator==(const cDisplayMode& a, const cDisplayMode& b);

class cGame final : public iGuiHost {
public:
    // The application record handed over by the entry routine (copied).
    struct cSettings {
        string strTitle;
        string strName;
        int32_t iBits = 32;
        int32_t iDepthStencil = 1;  // byte 0: depth buffer, byte 1: stencil
        int32_t iAntiAlias = 0;
        int32_t iVSync = 0;
        float fWidth = 1024.0f;
        float fHeight = 768.0f;
    };

    // Handler of a registered window message (ids 0xC000 to 0xFFFF).
    struct cMessageHandler {
        uint32_t uMessage = 0;
        std::function<intptr_t(uintptr_t wParam, intptr_t lParam)> fnHandler;
    };

    enum ePath { e_ExePath = 0, e_StaticPath = 1, e_AppPath = 2, e_UserPath = 3 };

    explicit cGame(const cSettings& settings);
    ~cGame();
    cGame(const cGame&) = delete;
    cGame& operator=(const cGame&) = delete;

    // ---- Lua-visible operations of the engine object ----
    void SetWindowTitle(const string& title);
    void Exit(int code);
    void EnableConsole(bool enable);
    void SetLocale(const string& name);
    bool IsWindowed() const { return bWindowed; }
    // +1 for true, -1 for false; the counter never goes below 0. Returns the step.
    int PauseWidget(bool pause);

    // ---- the GUI layer's host ----
    cGUI* GetHostGUI() override { return pGUI; }
    cQuadBatch* GetHostBatch() override { return pBatch; }
    void AddWidget(cWidget* widget) override;
    void RemoveWidget(cWidget* widget) override;

    // True when the constructor got as far as creating the managers.
    bool HasManagers() const { return m_bManagersCreated; }

    // ---- window, display modes and gamma ----
    // Construction step 9: logs "Enum current display settings: " completed by
    // the desktop mode, which becomes the saved and the current mode.
    void ReadDesktopDisplayMode();
    // Construction step 12: brings the window system up and registers the
    // class named strName. The class atom, 0 on failure (no display).
    unsigned RegisterWindowClass();
    // Full screen in the listed mode nearest below the request (0 keeps a value).
    void ChangeDisplaySettings(int width, int bits, int height);
    // Logs "Restore display settings" and returns to the desktop's mode.
    void RestoreDisplaySettings();
    void DumpResolutions();
    bool CreateWindow(bool windowed, int width, int height, int bits);
    void DestroyWindow();
    void FitWindow(int width, int height);
    // The client size; outputs untouched when neither window nor renderer knows it.
    void GetClientSize(int& width, int& height);
    void ResizeViewport(int width, int height);
    float GetGamma();
    bool SetGamma(float gamma);
    // One message of the window system (the engine's window procedure).
    void WndProc(const platform::cMessage& msg);

    // ---- main loop and frame timing ----
    // Runs until the quit message; returns its code.
    int Run();
    // Measures the turn just finished (after every frame).
    void UpdateFrameTimer();
    // The 500 ms frame-rate tick.
    void TimerProc();
    // Construction step 6: the counter the frame timing reads (the system's
    // steady clock when null; tests pass their own).
    void InitFrameTiming(platform::iClock* clock = nullptr);
    // The next frame works with an elapsed time of 0.
    void RestartFrameTiming();

    // ---- widgets, focus and the frame ----
    void SetFocusWidget(const string& name);
    string GetFocusWidgetName() const;
    // One frame: draw, route input, fixed step, per-frame update, present.
    void UpdateFrame();
    // A typed character (windows-1251 byte).
    void OnChar(int character);

    // Fields, in the engine's declared order.
    bool bActive = true;
    bool bRunInactive = false;
    std::vector<cMessageHandler> vecMessageHandlers;
    bool bWindowed = true;
    string strTitle;
    string strName;
    int32_t iBits = 0;
    int32_t iDepthStencil = 0;
    int32_t iAntiAlias = 0;
    int32_t iVSync = 0;
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    cWidget* pFocusWidget = nullptr;
    int32_t iPause = 0;
    std::list<cWidget*> lstWidgets;
    int32_t bConsoleEnabled = 0;
    cGUI* pGUI = nullptr;
    cQuadBatch* pBatch = nullptr;
    float fFrameTime = 0.0f;
    float fAverageFrameTime = 0.0f;
    std::vector<float> vecFrameTimes;
    uint32_t uFramePos = 0;
    float fTotalTime = 0.0f;
    string strLocale;
    string strUserName;
    int32_t iFps = 0;
    int32_t iFrameCount = 0;
    // Frames are drawn one in this many; the rest only take input and step.
    // Long headless runs raise it, since drawing is most of a frame's cost.
    int32_t iDrawInterval = 1;

private:
    uint32_t m_uDrawCounter = 0;
    // Construction and teardown steps (game.cpp).
    void CreateFrameObjects(float width, float height);
    void DestroyFrameObjects();
    void CreateManagers();
    void DestroyManagers();
    void RegisterLua();
    void DeleteWidgets();

    bool m_bManagersCreated = false;
};

// The engine object while it exists (set by the constructor, cleared by the
// destructor).
extern cGame* g_pGame;

// The engine's GUI; null while there is no engine object.
inline cGUI* GetEngineGUI() { return g_pGame ? g_pGame->pGUI : nullptr; }

// ---- display modes (engine-wide) ----
// Fills and sorts the mode list (construction step 10). Always 0.
int EnumDisplayModes();
const std::vector<cDisplayMode>& GetDisplayModes();
// The mode full screen uses (the desktop's until a switch).
const cDisplayMode& GetCurrentDisplayMode();
// Replaces the request by the largest listed mode not above it: 0. When every
// listed mode is above it (or none is listed) the request stays: 1.
int SnapDisplayMode(const std::vector<cDisplayMode>& sorted, cDisplayMode& request);
int SnapDisplayMode(int& width, int& height, int& bits, int& frequency);

// ---- frame timing (engine-wide) ----
// Local time of day in seconds.
float GetDayTime();
// The fixed logic step: 1/30 s.
constexpr float kFixedStep = 1.0f / 30.0f;
// Adds elapsed to the accumulator; true when a fixed step is due (at most one
// per call), the accumulator then keeping only the remainder below one step.
bool AdvanceFixedStep(float& accumulator, float elapsed);

} // namespace vek
