#include "game/shell/comics.h"

#include <algorithm>
#include <cstring>

#include "engine/app/game.h"
#include "engine/core/format.h"
#include "engine/core/input.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/shell/middle.h"
#include "game/world/island.h"

namespace {

int32_t TextureId(const char* name)
{
    return vek::g_pTextureManager ? static_cast<int32_t>(vek::g_pTextureManager->Find(name)) : 0;
}

struct cEpisode {
    std::vector<const char*> pages;
    const char* top;
    const char* bottom;
};

const cEpisode* Episode(int episode)
{
    static const cEpisode episodes[2] = {
        {{"comics00", "comics01"}, "comicsb0", "comicsb1"},
        {{"comics02"}, "comicsb2", "comicsb3"},
    };
    return episode == 0 || episode == 1 ? &episodes[episode] : nullptr;
}

} // namespace

// ---- cComics ----

cComics::cComics() : vek::cWidget("comics") {}

cComics::~cComics() { ClearPages(); }

void cComics::ClearPages() { pages.clear(); }

void cComics::BuildPage(const vek::string& name)
{
    vek::cGUI* gui = vek::GetEngineGUI();
    const int index = gui ? gui->FindWindow(name) : 0;
    if (index == 0) return;
    const vek::cWindow* window = gui->GetWindow(static_cast<unsigned>(index));
    if (!window) return;
    cPage page;
    float delay = 0.0f;
    for (unsigned i = 0; i < window->GetControlCount(); ++i) {
        const vek::cCtrl* control = window->GetControl(i);
        if (!control || std::strcmp(control->ClassName(), "cImageCtrl") != 0) continue;
        const auto* image = static_cast<const vek::cImageCtrl*>(control);
        cItem item;
        item.iTexture = image->GetTexture();
        item.uv = image->GetUV();
        item.rect = image->GetRect();
        vek::string text = control->GetName();
        if (!text.empty()) {
            if (text[0] == '#') {
                item.bFixed = true;
                text.erase(0, 1);
            }
            delay += vek::StringToFloat(text);
            item.fCountdown = delay;
        }
        page.push_back(item);
    }
    pages.push_back(std::move(page));
}

void cComics::NextPage()
{
    // No page to remove (an episode without windows) still ends it.
    if (!pages.empty()) pages.pop_front();
    if (pages.empty()) Finish();
}

void cComics::OnActivate()
{
    ClearPages();
    Start();
}

void cComics::Tick()
{
    if (pages.empty()) return;
    for (cItem& item : pages.front()) item.fCountdown = std::max(0.0f, item.fCountdown - vek::kFixedStep);
}

void cComics::OnInput(int kind, int)
{
    if (kind != vek::e_inKeyDown && kind != vek::e_inMouseDown) return;
    if (!pages.empty()) {
        bool arriving = false;
        for (cItem& item : pages.front()) {
            if (item.fCountdown > 0.0f) {
                item.fCountdown = 0.0f;
                arriving = true;
            }
        }
        if (arriving) return;
    }
    NextPage();
}

void cComics::DrawPages(vek::cQuadBatch& batch, float width, float height)
{
    vek::SetBlendMode(1);
    batch.uRunCount = 0;
    if (!pages.empty()) {
        for (const cItem& item : pages.front()) {
            if (item.fCountdown > 1.0f) continue;
            const float t = item.fCountdown;
            const uint32_t colour = vek::PackColor(1.0f, 1.0f, 1.0f, 1.0f - t);
            vek::rectf r = item.rect;
            if (!item.bFixed) {
                const float scale = t + 1.0f;
                const float w = r.w * scale, h = r.h * scale;
                const float cx = (width - w) / 2.0f, cy = (height - h) / 2.0f;
                r = vek::rectf(r.x + (cx - r.x) * t, r.y + (cy - r.y) * t, w, h);
            }
            batch.AddQuad(static_cast<uint32_t>(item.iTexture), r, colour, item.uv);
        }
    }
    batch.Draw();
    batch.uRunCount = 0;
    vek::SetBlendMode(0);
}

void cComics::Draw()
{
    if (!vek::g_pGame || !vek::g_pGame->pBatch) return;
    const float w = vek::g_pGame->fWidth, h = vek::g_pGame->fHeight;
    vek::cQuadBatch& batch = *vek::g_pGame->pBatch;
    vek::Begin2D(w, h);
    batch.uRunCount = 0;
    batch.AddQuad(0, vek::rectf(0.0f, 0.0f, w, h), 0xFFFFFFFFu, vek::rectf(0.0f, 0.0f, 1.0f, 1.0f));
    batch.Draw();
    DrawPages(batch, w, h);
    vek::End2D();
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->Draw();
}

// ---- cGardenComics ----

void cGardenComics::Tick()
{
    cComics::Tick();
    fDimming = std::min(1.0f, fDimming + vek::kFixedStep);
}

void cGardenComics::Draw()
{
    if (!vek::g_pGame || !vek::g_pGame->pBatch) return;
    const float w = vek::g_pGame->fWidth, h = vek::g_pGame->fHeight;
    vek::cQuadBatch& batch = *vek::g_pGame->pBatch;
    vek::Begin2D(w, h);
    const uint32_t g = static_cast<uint32_t>(255.0f - fDimming * 155.0f);
    const uint32_t grey = 0xFF000000u | (g << 16) | (g << 8) | g;
    batch.uRunCount = 0;
    const vek::rectf whole(0.0f, 0.0f, 1.0f, 1.0f);
    batch.AddQuad(static_cast<uint32_t>(iTopBackground), vek::rectf(0.0f, 256.0f, 1024.0f, 512.0f), grey, whole);
    batch.AddQuad(static_cast<uint32_t>(iBottomBackground), vek::rectf(0.0f, 0.0f, 1024.0f, 256.0f), grey, whole);
    batch.Draw();
    DrawPages(batch, w, h);
    vek::End2D();
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->Draw();
}

void cGardenComics::Start()
{
    fDimming = 0.0f;
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->ShowWindow("comics");
    const cEpisode* episode = Episode(iEpisode);
    if (!episode) return;
    for (const char* page : episode->pages) BuildPage(page);
    iTopBackground = TextureId(episode->top);
    iBottomBackground = TextureId(episode->bottom);
}

void cGardenComics::Finish()
{
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->HideWindow("comics");
    if (iEpisode == 0) {
        if (vek::g_pGame) vek::g_pGame->SetFocusWidget("island");
        if (cIsland* island = GetIsland()) island->SetMode(cIsland::e_modeIsland);
    } else if (iEpisode == 1) {
        if (g_pMiddle) g_pMiddle->ShowGameWindow("main", 1);
    }
}
