#pragma once
// The splash screen: the first view after start-up. It loads every image of
// "{StaticPath}/texture/splash/", lets "{StaticPath}/conf/splash.lua"
// describe timed nodes (each a set of images shown together) through its
// global function "FillSplash", fades each node in and out on the fixed
// 1/30 s step over the game's background colour, lets a key or a mouse
// button cut a node short, and after the last node hands over to the game
// object's OnSplashEnd, once.
#include <cstdint>
#include <deque>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "engine/gui/widget.h"

class cMiddle;

namespace vek {
class cScript;
}

class cSplashWidget : public vek::cWidget {
public:
    class cNode {
    public:
        // Appends the texture of that name (the default texture when none
        // is loaded) drawn over (x, y, w, h) of the 800 x 600 splash space.
        void AddImage(const vek::string& texture, float x, float y, float w, float h);

        float fTime = 0.0f;  // seconds left on show
        std::vector<int32_t> vecImages;
        std::vector<vek::rectf> vecRects;
    };

    // Loads the splash images, runs splash.lua and its "FillSplash", and
    // starts fading the first node in.
    explicit cSplashWidget(cMiddle* game);

    void Draw() override;
    void Tick() override;
    void OnInput(int kind, int code) override;
    // The game's background colour, opaque; the loading screen clears to it too.
    virtual void SetBackColor(float red, float green, float blue);
    // A node shown for that many seconds, without images yet. The node stays
    // where it is for the widget's life, so the reference stays valid.
    virtual cNode& AddNode(float seconds);

    cMiddle* pGame = nullptr;
    // A deque never moves its elements when it grows at the end.
    std::deque<cNode> nodes;
    uint32_t uCurrent = 0;
    vek::mover<float> fade;
    bool bFadingOut = false;
    // OnSplashEnd is called once, however long the splash keeps the focus.
    bool bEnded = false;
};

// Registers the Lua classes "cSplashWidget" and "cIsland" (both derived from
// "vek::cWidget") and "cNode".
bool RegisterSplashClasses(vek::cScript* script);
