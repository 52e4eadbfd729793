#include "game/shell/splash.h"

#include <cmath>

#include "engine/app/game.h"
#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "engine/core/input.h"
#include "engine/core/script.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/gui.h"
#include "game/shell/loading.h"
#include "game/shell/middle.h"

namespace {

constexpr float kFadeSpeed = 2.0f;
constexpr float kFadeOutTime = 0.5f;
// The splash space, whatever the window size.
constexpr float kWidth = 800.0f;
constexpr float kHeight = 600.0f;

} // namespace

void cSplashWidget::cNode::AddImage(const vek::string& texture, float x, float y, float w, float h)
{
    vecImages.push_back(vek::g_pTextureManager ? static_cast<int32_t>(vek::g_pTextureManager->Find(texture)) : 0);
    vecRects.push_back(vek::rectf(x, y, w, h));
}

cSplashWidget::cSplashWidget(cMiddle* game) : vek::cWidget("splash"), pGame(game)
{
    fade.m_fSpeed = kFadeSpeed;
    fade.Reset(0.0f);

    // Every entry of the folder is tried as an image; others fail quietly.
    vek::cFileSystem fs;
    const vek::filename folder("{StaticPath}/texture/splash/");
    for (vek::filename entry = fs.GetFirst(folder); !entry.empty(); entry = fs.GetNext())
        LoadTextureFile(entry);

    if (vek::cScript* script = vek::GetScript())
        if (script->LoadFile(vek::filename("{StaticPath}/conf/splash.lua")))
            script->CallFunction("FillSplash", this);

    fade.SetTarget(1.0f);
}

void cSplashWidget::SetBackColor(float red, float green, float blue)
{
    if (!pGame) return;
    pGame->m_afBackColor[0] = red;
    pGame->m_afBackColor[1] = green;
    pGame->m_afBackColor[2] = blue;
    pGame->m_afBackColor[3] = 1.0f;
}

cSplashWidget::cNode& cSplashWidget::AddNode(float seconds)
{
    nodes.emplace_back();
    nodes.back().fTime = seconds;
    return nodes.back();
}

void cSplashWidget::Tick()
{
    if (uCurrent >= nodes.size()) {
        // While the splash keeps the focus (the loading screen could not
        // take it) the end must not open the loading screen again and again.
        if (!bEnded && pGame) {
            bEnded = true;
            pGame->OnSplashEnd();
        }
        return;
    }
    fade.Update(vek::kFixedStep);
    cNode& node = nodes[uCurrent];
    node.fTime -= vek::kFixedStep;
    if (!bFadingOut && node.fTime <= kFadeOutTime) {
        fade.SetTarget(0.0f);
        bFadingOut = true;
    }
    if (node.fTime <= 0.0f) {
        ++uCurrent;
        fade.SetTarget(1.0f);
        bFadingOut = false;
    }
}

void cSplashWidget::OnInput(int kind, int)
{
    // A key or a mouse button pressed cuts the node short.
    const bool press = kind == vek::e_inKeyDown || kind == vek::e_inMouseDown;
    if (press && uCurrent < nodes.size()) nodes[uCurrent].fTime = 0.0f;
}

void cSplashWidget::Draw()
{
    vek::cRender* render = vek::g_pRender;
    if (render) {
        const float* colour = pGame ? pGame->m_afBackColor : nullptr;
        render->SetClearColor(colour ? colour[0] : 0.0f, colour ? colour[1] : 0.0f, colour ? colour[2] : 0.0f,
                              1.0f);
        render->Clear();
    }
    if (render && uCurrent < nodes.size()) {
        vek::Begin2D(kWidth, kHeight);
        render->SetTransform(vek::cRender::e_Projection,
                             vek::MatrixOrtho(0.0f, kWidth, 0.0f, kHeight, -10.0f, 10.0f));
        render->SetTransform(vek::cRender::e_View, vek::matrix4());
        vek::SetBlendMode(1);
        // The images fade through their colour: white with the fade's alpha.
        const float alpha = fade.m_Value < 0.0f ? 0.0f : (fade.m_Value > 1.0f ? 1.0f : fade.m_Value);
        const uint32_t colour = (static_cast<uint32_t>(std::lround(alpha * 255.0f)) << 24) | 0x00FFFFFFu;
        const cNode& node = nodes[uCurrent];
        for (size_t i = 0; i < node.vecImages.size(); ++i) {
            vek::cTexture* texture =
                vek::g_pTextureManager ? vek::g_pTextureManager->Get(static_cast<uint32_t>(node.vecImages[i])) : nullptr;
            render->SetTexture(texture ? texture->GetDeviceTexture() : nullptr);
            const vek::rectf& r = node.vecRects[i];
            const float x0 = r.x, y0 = r.y, x1 = r.x + r.w, y1 = r.y + r.h;
            // Two triangles; v = 0 at the bottom of the picture.
            const vek::cVertex2D quad[6] = {
                {x0, y0, 0.0f, colour, 0.0f, 0.0f}, {x1, y0, 0.0f, colour, 1.0f, 0.0f},
                {x0, y1, 0.0f, colour, 0.0f, 1.0f}, {x0, y1, 0.0f, colour, 0.0f, 1.0f},
                {x1, y0, 0.0f, colour, 1.0f, 0.0f}, {x1, y1, 0.0f, colour, 1.0f, 1.0f},
            };
            render->DrawPrimitives(quad, 2, vek::cRender::e_TriangleList, 6, nullptr);
        }
        vek::SetBlendMode(0);
        vek::End2D();
    }
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->Draw();
}
