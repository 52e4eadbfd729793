#pragma once
// The game's small effects: the wares flying across the screen and the
// rising text pop-ups. Here they are containers that their owners make,
// clear and release; what fills and draws them builds on this.
#include <cstddef>
#include <cstdint>
#include <list>

#include "engine/core/vekstring.h"
#include "game/world/particles.h"

namespace vek {
class cRender;
}

struct cFlyingItem {
    virtual ~cFlyingItem() = default;
};

// The wares flying across the screen.
class cFlyingItems {
public:
    // With emitters set, every item trails particles.
    cFlyingItems(vek::cRender* render, bool emitters) : m_pRender(render), m_bEmitters(emitters) {}
    ~cFlyingItems() { Clear(); }
    cFlyingItems(const cFlyingItems&) = delete;
    cFlyingItems& operator=(const cFlyingItems&) = delete;

    // Takes ownership.
    void Add(cFlyingItem* item) { m_Items.push_back(item); }
    void Clear();
    size_t Count() const { return m_Items.size(); }
    bool HasEmitters() const { return m_bEmitters; }
    vek::cRender* GetRender() const { return m_pRender; }

private:
    vek::cRender* m_pRender;
    std::list<cFlyingItem*> m_Items;
    bool m_bEmitters;
};

// Short texts that rise and fade over the field.
class cTextPopups {
public:
    struct cEntry {
        float fLife = 2.0f;
        vek::string strText;
        float x = 0.0f, y = 0.0f;
        uint32_t uColor = 0xFFFFFFFFu;
    };

    // The font is looked up by name once, here; 0 (the default font) when
    // the font manager has none of that name.
    cTextPopups(vek::cRender* render, const vek::string& fontName);

    void Clear() { m_Entries.clear(); }
    size_t Count() const { return m_Entries.size(); }
    uint32_t GetFontId() const { return m_uFontId; }
    vek::cRender* GetRender() const { return m_pRender; }

private:
    vek::cRender* m_pRender;
    std::list<cEntry> m_Entries;
    uint32_t m_uFontId = 0;
};
