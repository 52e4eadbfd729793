#pragma once
// The game's visual feedback over the views: icons flying along curved
// paths (with a fading trail and a particle trail on the head), text popups
// that rise and fade, cross-fading frame animations (the sea, the waves, the
// lighthouse light) and one-shot sprite animations.
//
// Each list is advanced by its owner and draws into a quad batch: Draw()
// uses the engine's batch (nothing without an engine), Draw(batch) a given
// one. Sprites are looked up by texture and area name in the texture-info
// registry; a missing sprite leaves an entry that is never drawn.
#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "engine/graphics/curve.h"
#include "game/world/particles.h"

namespace vek {
class cFontManager;
class cQuadBatch;
class cRender;
class cSoundManager;
}

// The engine's font and sound managers, as the game reaches them; null
// before the engine has made them.
vek::cFontManager* GetFontManager();
vek::cSoundManager* GetSoundManager();

// One icon flying along a path. The trail's point 0 is the head; the other
// points follow at spacing seconds of path parameter each (negative: behind).
class cFlyingItem {
public:
    // Adds a key (point, parameter in seconds) to the path; the first key
    // also puts every trail point on it.
    void AddPoint(const vek::vec2& point, float t);

    float fTime = 0.0f;
    vek::curve_CatmullRomSpline<vek::vec2> path;
    std::vector<vek::vec2> trail;
    float fSpacing = 0.0f;
    uint32_t uTexture = 0;
    std::vector<vek::rectf> frames;  // uv rectangles; empty: never drawn
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    int32_t iFrame = 0;
    int32_t iFrameCount = 0;
    float fFrameTimer = 0.0f;
    float fFrameTime = 0.0f;
    cEmitterHandle emitter;  // the particle trail on the head, or none
};

class cFlyingItems {
public:
    // With emitters set, every new item gets a particle trail from the
    // process-wide particle system.
    cFlyingItems(vek::cRender* render, bool emitters) : m_pRender(render), m_bEmitters(emitters) {}
    ~cFlyingItems() { Clear(); }
    cFlyingItems(const cFlyingItems&) = delete;
    cFlyingItems& operator=(const cFlyingItems&) = delete;

    // Appends an item showing the sprite; trailCount points (at least one
    // is needed to draw it). The list keeps the item.
    cFlyingItem* AddItem(const vek::string& texture, const vek::string& area, float spacing, int trailCount);
    // Moves every item; an item whose last trail point has passed the
    // path's end is dropped with a particle burst where its head was.
    void Update(float elapsed);
    void Draw();
    void Draw(vek::cQuadBatch& batch);
    // Finishes every particle trail, then drops every item.
    void Clear();

    size_t Count() const { return m_Items.size(); }
    bool HasEmitters() const { return m_bEmitters; }
    vek::cRender* GetRender() const { return m_pRender; }
    const std::list<cFlyingItem*>& GetItems() const { return m_Items; }

private:
    vek::cRender* m_pRender;
    std::list<cFlyingItem*> m_Items;
    bool m_bEmitters;
};

// Short texts that rise 12 units a second for 2 s and fade in their last
// second.
class cTextPopups {
public:
    struct cEntry {
        float fLife = 2.0f;
        vek::string strText;
        float x = 0.0f, y = 0.0f;  // lower-left corner of the text
        uint32_t uColor = 0xFFFFFFFFu;
    };

    // The font is looked up by name once, here; 0 (draws nothing) when the
    // font manager has none of that name.
    cTextPopups(vek::cRender* render, const vek::string& fontName);

    // The text centred on the position.
    void AddPopup(const vek::string& text, const vek::vec2& position);
    void Update(float elapsed);
    void Draw();
    void Draw(vek::cQuadBatch& batch);

    void Clear() { m_Entries.clear(); }
    size_t Count() const { return m_Entries.size(); }
    const std::list<cEntry>& GetEntries() const { return m_Entries; }
    uint32_t GetFontId() const { return m_uFontId; }
    vek::cRender* GetRender() const { return m_pRender; }

private:
    vek::cRender* m_pRender;
    std::list<cEntry> m_Entries;
    uint32_t m_uFontId = 0;
};

// The frames of a sprite shown one after another at one place, each image
// fading in and out over the one before.
class cFadeAnimation {
public:
    struct cImage {
        float fLife = 0.0f;  // seconds left
        vek::rectf rect;
        vek::rectf source;
    };

    explicit cFadeAnimation(vek::cRender* render) : m_pRender(render) {}

    // Takes the sprite's frames and places the images at (x, y) with the
    // sprite's size, starting over; false (and nothing shown) when the
    // sprite is missing.
    bool Init(const vek::string& texture, const vek::string& area, float interval, float life, float fadeIn,
              float fadeOut, float x, float y);
    void Update(float elapsed);
    void Draw();
    void Draw(vek::cQuadBatch& batch);

    const std::list<cImage>& GetImages() const { return m_Images; }
    vek::cRender* GetRender() const { return m_pRender; }

    uint32_t uTexture = 0;
    std::vector<vek::rectf> frames;
    float fCountdown = 0.0f;
    float fInterval = 0.0f;
    float fImageLife = 0.0f;
    float fFadeIn = 0.0f;
    float fFadeOut = 0.0f;
    vek::rectf spawn;
    int32_t iFrame = 0;
    int32_t iEnabled = 1;

private:
    vek::cRender* m_pRender;
    std::list<cImage> m_Images;
};

// Sprite animations played once at a point, then dropped.
class cSpriteAnimations {
public:
    struct cEntry {
        float fTime = 0.0f;
        vek::rectf rect;
        uint32_t uTexture = 0;
        std::vector<vek::rectf> frames;
        float fFrameTime = 0.0f;
    };

    explicit cSpriteAnimations(vek::cRender* render) : m_pRender(render) {}

    // Plays the sprite centred on the point; nothing when it is missing.
    void Add(const vek::string& texture, const vek::string& area, const vek::vec2& centre);
    void Update(float elapsed);
    void Draw();
    void Draw(vek::cQuadBatch& batch);

    void Clear() { m_Entries.clear(); }
    size_t Count() const { return m_Entries.size(); }
    const std::list<cEntry>& GetEntries() const { return m_Entries; }

private:
    vek::cRender* m_pRender;
    std::list<cEntry> m_Entries;
};
