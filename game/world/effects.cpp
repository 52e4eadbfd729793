#include "game/world/effects.h"

#include <algorithm>

#include "engine/app/game.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/sound/sound.h"
#include "game/shell/texture_info.h"

namespace {

vek::cQuadBatch* EngineBatch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

void Flush(vek::cQuadBatch& batch)
{
    batch.Draw();
    batch.uRunCount = 0;
}

uint32_t WhiteWithAlpha(float alpha) { return vek::PackColor(1.0f, 1.0f, 1.0f, vek::Clamp(alpha, 0.0f, 1.0f)); }

// The sprite's frames copied out of the registry, so that an entry never
// points into it; false when the sprite is missing.
bool LookUp(const vek::string& texture, const vek::string& area, cSprite& sprite, std::vector<vek::rectf>& frames)
{
    frames.clear();
    if (FindSprite(texture, area, &sprite) != e_spriteFound || !sprite.pFrames || sprite.iFrameCount <= 0) {
        sprite = cSprite();
        return false;
    }
    frames.assign(sprite.pFrames, sprite.pFrames + sprite.iFrameCount);
    return true;
}

} // namespace

vek::cFontManager* GetFontManager() { return vek::g_pFontManager; }

vek::cSoundManager* GetSoundManager() { return vek::g_pSoundManager; }

// ---- flying items ----

void cFlyingItem::AddPoint(const vek::vec2& point, float t)
{
    const bool first = path.GetCount() == 0;
    path.AddPoint(point, t);
    if (first)
        for (vek::vec2& p : trail) p = point;
}

cFlyingItem* cFlyingItems::AddItem(const vek::string& texture, const vek::string& area, float spacing,
                                   int trailCount)
{
    auto* item = new cFlyingItem;
    cSprite sprite;
    if (LookUp(texture, area, sprite, item->frames)) {
        item->uTexture = static_cast<uint32_t>(sprite.iTexture);
        item->iFrameCount = static_cast<int32_t>(item->frames.size());
        item->fWidth = sprite.fWidth;
        item->fHeight = sprite.fHeight;
        item->fFrameTime = sprite.fFrameTime;
    }
    item->fSpacing = spacing;
    item->trail.assign(static_cast<size_t>(std::max(trailCount, 0)), vek::vec2());
    if (m_bEmitters)
        if (cParticleSystem* ps = GetParticleSystem()) item->emitter = ps->EmitTrail();
    m_Items.push_back(item);
    return item;
}

void cFlyingItems::Update(float elapsed)
{
    cParticleSystem* ps = GetParticleSystem();
    for (auto it = m_Items.begin(); it != m_Items.end();) {
        cFlyingItem& item = **it;
        item.fTime += elapsed;
        const float n = static_cast<float>(item.trail.size());
        if (item.path.IsEnd(item.fTime + item.fSpacing * n)) {
            if (ps && item.emitter.IsSet()) {
                ps->FinishEmitter(item.emitter);
                const vek::vec2 head = item.trail.empty() ? vek::vec2() : item.trail[0];
                ps->EmitBurst(50, 15.0f, vek::vec3(head.x, head.y, 0.0f));
            }
            delete *it;
            it = m_Items.erase(it);
            continue;
        }
        const float last = item.path.m_Params.back();
        for (size_t i = 0; i < item.trail.size(); ++i) {
            const float u = item.fTime + item.fSpacing * static_cast<float>(i);
            if (u < 0.0f)
                item.trail[i] = item.path.m_Points.front();
            else if (u >= last)
                item.trail[i] = item.path.m_Points.back();
            else
                item.trail[i] = item.path.GetValue(u);
        }
        if (ps && !item.trail.empty())
            ps->MoveEmitter(item.emitter, vek::vec3(item.trail[0].x, item.trail[0].y, 0.0f));
        item.fFrameTimer += elapsed;
        if (item.fFrameTimer > item.fFrameTime) {
            item.fFrameTimer -= item.fFrameTime;
            if (++item.iFrame >= item.iFrameCount) item.iFrame = 0;
        }
        ++it;
    }
}

void cFlyingItems::Draw()
{
    if (vek::cQuadBatch* batch = EngineBatch()) Draw(*batch);
}

void cFlyingItems::Draw(vek::cQuadBatch& batch)
{
    for (const cFlyingItem* item : m_Items) {
        if (item->frames.empty() || item->trail.empty()) continue;
        const int n = static_cast<int>(item->trail.size());
        const int step = 255 / n;
        const int frame = std::min(std::max(item->iFrame, 0), static_cast<int>(item->frames.size()) - 1);
        for (int i = n - 1; i >= 0; --i) {
            const vek::vec2& p = item->trail[static_cast<size_t>(i)];
            const uint32_t alpha = static_cast<uint32_t>(std::max(255 - step * i, 0));
            batch.AddQuad(item->uTexture,
                          vek::rectf(p.x - item->fWidth / 2.0f, p.y - item->fHeight / 2.0f, item->fWidth,
                                     item->fHeight),
                          (alpha << 24) | 0x00FFFFFFu, item->frames[static_cast<size_t>(frame)]);
        }
    }
}

void cFlyingItems::Clear()
{
    cParticleSystem* ps = GetParticleSystem();
    for (cFlyingItem* item : m_Items) {
        if (ps) ps->FinishEmitter(item->emitter);
        delete item;
    }
    m_Items.clear();
}

// ---- text popups ----

cTextPopups::cTextPopups(vek::cRender* render, const vek::string& fontName) : m_pRender(render)
{
    if (vek::cFontManager* fonts = GetFontManager()) m_uFontId = fonts->Find(fontName);
}

void cTextPopups::AddPopup(const vek::string& text, const vek::vec2& position)
{
    const vek::vec2 size = vek::MeasureText(m_uFontId, text);
    cEntry entry;
    entry.strText = text;
    entry.x = position.x - size.x / 2.0f;
    entry.y = position.y - size.y / 2.0f;
    m_Entries.push_back(entry);
}

void cTextPopups::Update(float elapsed)
{
    for (auto it = m_Entries.begin(); it != m_Entries.end();) {
        it->fLife -= elapsed;
        if (it->fLife <= 0.0f) {
            it = m_Entries.erase(it);
            continue;
        }
        it->y += 12.0f * elapsed;
        if (it->fLife < 1.0f) it->uColor = WhiteWithAlpha(it->fLife);
        ++it;
    }
}

void cTextPopups::Draw()
{
    if (vek::cQuadBatch* batch = EngineBatch()) Draw(*batch);
}

void cTextPopups::Draw(vek::cQuadBatch& batch)
{
    for (const cEntry& e : m_Entries) batch.AddText(m_uFontId, e.uColor, e.strText, vek::vec2(e.x, e.y));
    Flush(batch);
}

// ---- frame animations ----

bool cFadeAnimation::Init(const vek::string& texture, const vek::string& area, float interval, float life,
                          float fadeIn, float fadeOut, float x, float y)
{
    cSprite sprite;
    const bool found = LookUp(texture, area, sprite, frames);
    uTexture = static_cast<uint32_t>(sprite.iTexture);
    fInterval = interval;
    fImageLife = life;
    fFadeIn = fadeIn;
    fFadeOut = fadeOut;
    spawn = vek::rectf(x, y, sprite.fWidth, sprite.fHeight);
    // Images of an earlier sprite would show frames that are no longer held.
    m_Images.clear();
    fCountdown = 0.0f;
    iFrame = 0;
    return found;
}

void cFadeAnimation::Update(float elapsed)
{
    if (frames.empty() || !iEnabled) return;
    fCountdown -= elapsed;
    if (fCountdown <= 0.0f) {
        fCountdown = fInterval;
        if (++iFrame >= static_cast<int32_t>(frames.size()) || iFrame < 0) iFrame = 0;
        m_Images.push_back({fImageLife, spawn, frames[static_cast<size_t>(iFrame)]});
    }
    for (auto it = m_Images.begin(); it != m_Images.end();) {
        it->fLife -= elapsed;
        if (it->fLife <= 0.0f)
            it = m_Images.erase(it);
        else
            ++it;
    }
}

void cFadeAnimation::Draw()
{
    if (vek::cQuadBatch* batch = EngineBatch()) Draw(*batch);
}

void cFadeAnimation::Draw(vek::cQuadBatch& batch)
{
    for (const cImage& image : m_Images) {
        const float L = fImageLife, l = image.fLife;
        float alpha = 1.0f;
        if (fFadeIn != 0.0f && l >= L - fFadeIn)
            alpha = (L - l) / fFadeIn;
        else if (fFadeOut != 0.0f && l < fFadeOut)
            alpha = l / fFadeOut;
        batch.AddQuad(uTexture, image.rect, WhiteWithAlpha(alpha), image.source);
    }
}

// ---- one-shot animations ----

void cSpriteAnimations::Add(const vek::string& texture, const vek::string& area, const vek::vec2& centre)
{
    cEntry entry;
    cSprite sprite;
    if (!LookUp(texture, area, sprite, entry.frames)) return;
    entry.uTexture = static_cast<uint32_t>(sprite.iTexture);
    entry.rect = vek::rectf(centre.x - sprite.fWidth / 2.0f, centre.y - sprite.fHeight / 2.0f, sprite.fWidth,
                            sprite.fHeight);
    entry.fFrameTime = sprite.fFrameTime;
    m_Entries.push_back(std::move(entry));
}

void cSpriteAnimations::Update(float elapsed)
{
    for (auto it = m_Entries.begin(); it != m_Entries.end();) {
        it->fTime += elapsed;
        // A frame time of 0 would never end: such an entry plays no frame.
        if (it->fFrameTime <= 0.0f ||
            it->fTime / it->fFrameTime >= static_cast<float>(it->frames.size()))
            it = m_Entries.erase(it);
        else
            ++it;
    }
}

void cSpriteAnimations::Draw()
{
    if (vek::cQuadBatch* batch = EngineBatch()) Draw(*batch);
}

void cSpriteAnimations::Draw(vek::cQuadBatch& batch)
{
    for (const cEntry& e : m_Entries) {
        if (e.frames.empty() || e.fFrameTime <= 0.0f) continue;
        const size_t frame = std::min(static_cast<size_t>(e.fTime / e.fFrameTime), e.frames.size() - 1);
        batch.AddQuad(e.uTexture, e.rect, 0xFFFFFFFFu, e.frames[frame]);
    }
}
