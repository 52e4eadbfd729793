#pragma once
// Comic strips: full-screen picture stories. Each page is laid out as a GUI
// window whose image controls give the pictures, their places and their
// timing (a control's name is its delay in seconds after the previous
// picture; "#" in front keeps it from zooming). Pictures fade in while they
// shrink from double size at the screen centre to their place; a key or a
// mouse button first completes the page, then turns it.
#include <cstdint>
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "engine/gui/widget.h"

namespace vek {
class cQuadBatch;
}

class cComics : public vek::cWidget {
public:
    struct cItem {
        float fCountdown = 0.0f;  // seconds until the picture is in place
        int32_t iTexture = 0;
        vek::rectf uv;
        vek::rectf rect;  // in the GUI's 1024 x 768 space, y up
        bool bFixed = false;
    };
    using cPage = std::vector<cItem>;

    cComics();
    ~cComics() override;

    void Draw() override;
    void Tick() override;
    void OnActivate() override;
    void OnInput(int kind, int code) override;

    // Draws the first page's pictures that have begun to appear.
    virtual void DrawPages(vek::cQuadBatch& batch, float width, float height);
    virtual void ClearPages();
    // Appends a page built from the GUI window of that name; nothing when
    // there is no such window.
    virtual void BuildPage(const vek::string& window);
    // Drops the first page, if any; with none left, the episode ends.
    virtual void NextPage();
    virtual void Start() {}
    virtual void Finish() {}

    std::list<cPage> pages;
};

// The game's comics: two episodes over a dimming two-part background.
class cGardenComics : public cComics {
public:
    void Draw() override;
    void Tick() override;
    void Start() override;
    // Hides "comics"; episode 0 then focuses the island in mode 1, episode 1
    // shows the main menu.
    void Finish() override;
    // The episode the next activation starts.
    virtual void SetEpisode(int episode) { iEpisode = episode; }

    int32_t iEpisode = 0;
    int32_t iTopBackground = 0;
    int32_t iBottomBackground = 0;
    float fDimming = 0.0f;
};
