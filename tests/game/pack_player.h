#pragma once
// The whole game on the real data pack, played the way a player plays it:
// every action is an injected mouse or keyboard event that goes through
// SDL's queue, the window's event pump, the engine's input devices and the
// GUI or the focused widget, exactly as a real click does. The helpers
// only look (control rectangles, object rectangles, the island's level
// points) to know where to click.
//
// Runs on SDL's offscreen driver with a fake clock; frames are stepped by
// the test, and drawing can be thinned out for long runs
// (m_pGame->iDrawInterval).
//
// A text field keeps what it held: clear it with Key(SDL_SCANCODE_BACKSPACE)
// before Type(). The island's view scrolls, so look a level point up
// (LevelPointClient) just before clicking it.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/listctrl.h"
#include "engine/gui/window.h"
#include "game/objects/object.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game_fixture.h"

namespace gametest {

class cLevelBot;

class PackGame : public GameFixture {
    // The scripted player of the play tests acts through these helpers.
    friend class cLevelBot;

protected:
    // The game as the entry routine starts it, on the repository's pack,
    // with its own profile folder.
    void StartOnPack()
    {
        const char* repo = std::getenv("VEK_REPO_DIR");
        ASSERT_TRUE(repo && *repo) << "VEK_REPO_DIR names the repository";
        StartWith(std::string(repo) + "/data");
    }

    // ---- frames ----

    // One frame: the window's messages go to the engine (as its main loop
    // hands them over), then the engine runs its frame a thirtieth of a
    // second after the last.
    void Frame()
    {
        vek::platform::cMessage m;
        while (vek::platform::WindowSystem().PeekMessage(m)) {
            // The main loop would end here with this exit code.
            if (m.type == vek::platform::e_msgQuit) {
                if (m_iQuitCode < 0) m_iQuitCode = m.a;
                continue;
            }
            m_pGame->WndProc(m);
        }
        m_Clock.iTicks += 33;
        m_pGame->UpdateFrame();
        m_pGame->UpdateFrameTimer();
        ++m_iFrames;
        if (fnAfterFrame) fnAfterFrame();
    }
    // Called after every frame (a test's watch over a whole play).
    std::function<void()> fnAfterFrame;
    void Run(int count)
    {
        for (int i = 0; i < count; ++i) Frame();
    }
    // Frames until `done` holds (checked before each frame); false after
    // `limit` frames.
    bool RunUntil(const std::function<bool()>& done, int limit = 3000)
    {
        for (int i = 0; i < limit; ++i) {
            if (done()) return true;
            Frame();
        }
        return done();
    }

    // ---- what the player sees ----

    vek::cGUI* Gui() const { return m_pGame->pGUI; }
    vek::cWindow* Window(const char* name) const { return Gui()->GetWindow(name); }
    vek::cCtrl* Control(const char* window, const char* name) const
    {
        vek::cWindow* w = Window(window);
        if (!w) return nullptr;
        const int index = w->FindControl(name);
        return index < 0 ? nullptr : w->GetControl(static_cast<unsigned>(index));
    }
    bool Shown(const char* name) const { return Gui()->IsWindowShown(name); }
    // The text of a label (or of a control built on one); "<none>" when
    // there is no such label.
    std::string Text(const char* window, const char* name) const
    {
        auto* label = dynamic_cast<vek::cLabelCtrl*>(Control(window, name));
        return label ? std::string(label->GetText().c_str()) : std::string("<none>");
    }
    std::string Focus() const { return m_pGame->GetFocusWidgetName(); }

    // ---- injected input ----

    static SDL_Window* SdlWindow() { return SDL_GL_GetCurrentWindow(); }

    // The cursor moves to the client point (pixels, y down). One frame
    // lets the engine see the motion. SDL places the cursor but sends no
    // motion for a warp, so the motion is queued as the device reports it.
    void MoveTo(int x, int y)
    {
        SDL_WarpMouseInWindow(SdlWindow(), x, y);
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(SdlWindow());
        e.motion.x = x;
        e.motion.y = y;
        e.motion.xrel = x - m_iCursorX;
        e.motion.yrel = y - m_iCursorY;
        m_iCursorX = x;
        m_iCursorY = y;
        SDL_PushEvent(&e);
        Frame();
    }
    // The window's close button, as the window manager reports it.
    void CloseWindow()
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        e.window.windowID = SDL_GetWindowID(SdlWindow());
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
    // The pointer leaves the window and comes back in at the client point:
    // SDL takes the entry point as its last position, so the motion it
    // reports there has no distance.
    void LeaveAndEnterAt(int x, int y)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = SDL_GetWindowID(SdlWindow());
        e.window.event = SDL_WINDOWEVENT_LEAVE;
        SDL_PushEvent(&e);
        Frame();
        e.window.event = SDL_WINDOWEVENT_ENTER;
        SDL_PushEvent(&e);
        SDL_WarpMouseInWindow(SdlWindow(), x, y);
        std::memset(&e, 0, sizeof e);
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(SdlWindow());
        e.motion.x = x;
        e.motion.y = y;
        m_iCursorX = x;
        m_iCursorY = y;
        SDL_PushEvent(&e);
        Frame();
    }
    void Button(int x, int y, bool down, Uint8 button = SDL_BUTTON_LEFT)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = SDL_GetWindowID(SdlWindow());
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
        Frame();
    }
    // Move, press and release, a frame for each.
    void ClickAt(int x, int y, Uint8 button = SDL_BUTTON_LEFT)
    {
        MoveTo(x, y);
        Button(x, y, true, button);
        Button(x, y, false, button);
    }
    void Key(SDL_Scancode code)
    {
        SDL_Event e;
        std::memset(&e, 0, sizeof e);
        e.type = SDL_KEYDOWN;
        e.key.windowID = SDL_GetWindowID(SdlWindow());
        e.key.state = SDL_PRESSED;
        e.key.keysym.scancode = code;
        e.key.keysym.sym = SDL_GetKeyFromScancode(code);
        SDL_PushEvent(&e);
        Frame();
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        SDL_PushEvent(&e);
        Frame();
    }
    void Type(const std::string& text)
    {
        for (char c : text) {
            SDL_Event e;
            std::memset(&e, 0, sizeof e);
            e.type = SDL_TEXTINPUT;
            e.text.windowID = SDL_GetWindowID(SdlWindow());
            e.text.text[0] = c;
            SDL_PushEvent(&e);
            Frame();
        }
    }

    // The client point (y down) of a GUI point (y up).
    static void GuiToClient(float gx, float gy, int& x, int& y)
    {
        x = static_cast<int>(gx);
        y = static_cast<int>(768.0f - gy);
    }
    // A click in the middle of the named control of a shown window. False
    // when the window or the control is missing or the control has no
    // area.
    bool ClickControl(const char* window, const char* name)
    {
        vek::cCtrl* ctrl = Control(window, name);
        if (!ctrl) return false;
        const vek::rect<float> r = ctrl->GetRect();
        if (r.w <= 0.0f || r.h <= 0.0f) return false;
        int x = 0, y = 0;
        GuiToClient(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
        ClickAt(x, y);
        return true;
    }
    // A click on a point of the level field (field pixels, y up).
    void ClickField(const vek::vec2& point, Uint8 button = SDL_BUTTON_LEFT)
    {
        int x = 0, y = 0;
        GuiToClient(point.x, point.y, x, y);
        ClickAt(x, y, button);
    }
    // A click in the middle of an object of the field.
    void ClickObject(const cObject* object)
    {
        const vek::rectf r = object->GetRect();
        ClickField(vek::vec2(r.x + r.w / 2.0f, r.y + r.h / 2.0f));
    }
    // The client point of an island level point as the view shows it now.
    bool LevelPointClient(int index, int& x, int& y) const
    {
        const cIsland* island = g_pGarden ? g_pGarden->m_pIsland : nullptr;
        if (!island || index < 0 || static_cast<size_t>(index) >= island->vecLevelPoints.size()) return false;
        const vek::vec2& q = island->vecLevelPoints[static_cast<size_t>(index)];
        x = static_cast<int>(q.x - island->fScrollX);
        y = static_cast<int>(768.0f - (q.y - island->fScrollY));
        return x >= 0 && x < 1024 && y >= 0 && y < 768;
    }

    // Press at one client point, move to the other in `steps` motions,
    // release there (a slider's thumb, a scroll).
    void Drag(int x0, int y0, int x1, int y1, int steps = 4)
    {
        MoveTo(x0, y0);
        Button(x0, y0, true);
        for (int i = 1; i <= steps; ++i) MoveTo(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
        Button(x1, y1, false);
    }
    // Drags the thumb of the named slider to the fraction `f` (0 left or
    // bottom, 1 right or top) of its track. False when there is no such
    // slider.
    bool DragSlider(const char* window, const char* name, float f)
    {
        auto* slider = dynamic_cast<vek::cSliderCtrl*>(Control(window, name));
        if (!slider) return false;
        const vek::rect<float> thumb = slider->GetThumbRect();
        const vek::rect<float> track = slider->GetTrackRect();
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        GuiToClient(thumb.x + thumb.w / 2.0f, thumb.y + thumb.h / 2.0f, x0, y0);
        if (slider->IsVertical())
            GuiToClient(track.x + track.w / 2.0f, track.y + f * track.h, x1, y1);
        else
            GuiToClient(track.x + f * track.w, track.y + track.h / 2.0f, x1, y1);
        Drag(x0, y0, x1, y1);
        return true;
    }
    // A click on the item of a list or toolbar whose data is `data`. False
    // when the control, the item or its area is missing.
    bool ClickListItem(const char* window, const char* name, int data)
    {
        auto* list = dynamic_cast<vek::cListCtrl*>(Control(window, name));
        if (!list) return false;
        for (unsigned i = 0; i < list->GetItemCount(); ++i) {
            if (list->GetItemData(i) != data) continue;
            const vek::cCtrl* item = list->GetItemCtrl(i);
            if (!item) return false;
            const vek::rect<float> r = item->GetRect();
            if (r.w <= 0.0f || r.h <= 0.0f) return false;
            int x = 0, y = 0;
            GuiToClient(r.x + r.w / 2.0f, r.y + r.h / 2.0f, x, y);
            ClickAt(x, y);
            return true;
        }
        return false;
    }

    int m_iFrames = 0;
    int m_iCursorX = -1, m_iCursorY = -1;
    // The code of the first quit message the game posted; -1 while none.
    int m_iQuitCode = -1;
};

} // namespace gametest
