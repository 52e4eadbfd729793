// The island as a view: drawing, the steps, input, scrolling, placing a
// building, the level map and the result sequence after a level.
#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/input.h"
#include "engine/core/log.h"
#include "engine/core/format.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/sound/sound.h"
#include "game/screens/controls.h"
#include "game/screens/window_functions.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/shell/window_message.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/hints.h"
#include "game/world/island.h"
#include "game/world/level.h"
#include "game/world/level_defs.h"
#include "game/world/particles.h"
#include "game/world/rules.h"
#include "game/world/training.h"

namespace {

constexpr const char* kSender = "cIsland";
constexpr float kViewWidth = 1024.0f;
constexpr float kViewHeight = 768.0f;
constexpr float kSilentStep = -1.0f / 30.0f;
constexpr float kTiny = 1.1920929e-7f;
constexpr float kEdgeSpeed = 330.0f;
constexpr float kEdge = 10.0f;
constexpr int kMedals = 3;
constexpr float kFullTurn = 6.2831855f;
constexpr float kHaloTurn = kFullTurn / 300.0f;  // per fixed step

enum { A = 0, B, C, D, E, F };

vek::cQuadBatch* Batch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

void Flush(vek::cQuadBatch& batch)
{
    batch.Draw();
    batch.uRunCount = 0;
}

uint32_t FindTexture(const char* name, float* width = nullptr, float* height = nullptr)
{
    const uint32_t id = vek::g_pTextureManager ? vek::g_pTextureManager->Find(name) : 0;
    if (id != 0) {
        const vek::cTexture* texture = vek::g_pTextureManager->Get(id);
        if (width) *width = static_cast<float>(texture->GetWidth());
        if (height) *height = static_cast<float>(texture->GetHeight());
    }
    return id;
}

cPlayer* Player() { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }

// The sprites shared by every island: looked up once per run.
struct cSharedSprites {
    bool shipLooked = false, pointLooked = false, mpLooked = false;
    cSprite ship, point, mp;
} g_Shared;

void Quad(vek::cQuadBatch& batch, const cSprite& s, float x, float y, uint32_t color = vek::kOpaqueWhite)
{
    if (s.iTexture != 0 && s.pFrames && s.iFrameCount > 0)
        batch.AddQuad(static_cast<uint32_t>(s.iTexture), vek::rectf(x, y, s.fWidth, s.fHeight), color, s.pFrames[0]);
}

// The window "island" and its control of that name; null when either is
// missing. `logged` goes through the GUI's warning for a missing control.
vek::cCtrl* IslandControl(const vek::string& name, bool logged)
{
    if (logged) return FindControl("island", name);
    vek::cGUI* gui = vek::GetEngineGUI();
    return gui ? GetWindowControl(gui->GetWindow("island"), name) : nullptr;
}

bool ControlCentre(const vek::string& name, bool logged, vek::vec2* centre)
{
    const vek::cCtrl* control = IslandControl(name, logged);
    if (!control) return false;
    const vek::rectf r = control->GetRect();
    *centre = vek::vec2(r.x + r.w * 0.5f, r.y + r.h * 0.5f);
    return true;
}

void Sound(unsigned id)
{
    if (g_pGarden) g_pGarden->PlayGameSound(id);
}

void Burst(const vek::vec2& at)
{
    if (cParticleSystem* particles = GetParticleSystem()) particles->EmitBurst(10, 5.0f, vek::vec3(at.x, at.y, 0.0f));
}

// An icon flying from one point of the screen to another over `duration`
// seconds, straight (keys at its ends) or zigzagging.
void Fly(const char* area, const vek::vec2& from, const vek::vec2& to, bool zigzag, float duration)
{
    if (!g_pGarden || !g_pGarden->m_pFlyingItems) return;
    cFlyingItem* item = g_pGarden->m_pFlyingItems->AddItem("icons00", area, 0.0f, 1);
    if (!item) return;
    if (zigzag) {
        MakeZigzagPath(item->path, from, to, 2, 30.0f, duration);
        for (vek::vec2& p : item->trail) p = from;
    } else {
        item->AddPoint(from, 0.0f);
        item->AddPoint(to, duration);
    }
}

// Starts a stage timer: a positive time does the stage's work on arrival,
// a negative one passes it silently; 0 stops it.
void Start(vek::mover<float>& stage, float target)
{
    const float speed = stage.m_fSpeed;
    stage = vek::mover<float>();
    stage.m_fSpeed = speed;
    stage.SetTarget(target);
}

bool HideHint3()
{
    // A shown hint gives way; the window goes only for the level-point hint.
    if (!g_pGarden || g_pGarden->m_iShownHint == -1) return false;
    if (g_pGarden->m_iShownHint == e_hintStartLevel) {
        if (vek::cGUI* gui = vek::GetEngineGUI()) gui->HideWindow("hint");
    }
    g_pGarden->m_iShownHint = -1;
    return true;
}

bool Paused() { return g_pGarden && g_pGarden->GetFlowState() != cGarden::e_playLevel; }

} // namespace

void cIsland::ForgetSharedSprites()
{
    g_Shared = cSharedSprites();
    cHouse::ForgetHalo();
}

void cIsland::InitView()
{
    waveCounter = vek::cAnimCounter();
    fallCounter = vek::cAnimCounter();
    cSprite waves;
    if (LookUpSprite("island01", "total", &waves)) {
        uWaveTexture = static_cast<uint32_t>(waves.iTexture);
        waveFrames.assign(waves.pFrames, waves.pFrames + waves.iFrameCount);
        waveTile = vek::vec2(waves.fWidth, waves.fHeight);
        waveCounter.Init(waves.iFrameCount, waves.fFrameTime > 0.0f ? 1.0f / waves.fFrameTime : 0.0f,
                         vek::cAnimCounter::e_Loop);
        waveCounter.iMode = vek::cAnimCounter::e_Loop;
    } else {
        vek::LogWarning(kSender, "Texture for ocean waves not found.\n");
    }
    cSprite fall;
    const uint32_t second = FindTexture("island02_1");
    if (LookUpSprite("island02_0", "total", &fall) && second != 0) {
        uFallTextures[0] = uFallTexture = static_cast<uint32_t>(fall.iTexture);
        uFallTextures[1] = second;
        fallFrames.assign(fall.pFrames, fall.pFrames + fall.iFrameCount);
        fallCounter.Init(fall.iFrameCount, fall.fFrameTime > 0.0f ? 1.0f / fall.fFrameTime : 0.0f,
                         vek::cAnimCounter::e_Loop);
        fallCounter.iMode = vek::cAnimCounter::e_Loop;
        fallRect = vek::rectf(568.0f, 1666.0f, fall.fWidth, fall.fHeight);
    } else {
        vek::LogWarning(kSender, "Texture for waterfall not found.\n");
    }
    float w0 = 0.0f, h0 = 0.0f, w1 = 0.0f, h1 = 0.0f;
    uPictureTop = FindTexture("island00_0", &w0, &h0);
    uPictureBottom = FindTexture("island00_1", &w1, &h1);
    pictureTopRect = vek::rectf(0.0f, h1, w0, h0);
    pictureBottomRect = vek::rectf(0.0f, 0.0f, w1, h1);
    if (!g_Shared.shipLooked && g_pGarden) {
        g_Shared.shipLooked = true;
        g_pGarden->GetSprite("icons00", &g_Shared.ship, "ship");
    }
}

// ---- the view position ----

void cIsland::ClampScroll()
{
    // The lower limit first: a picture smaller than the view stays at its
    // far edge.
    fScrollX = std::min(std::max(fScrollX, 0.0f), fPictureWidth - kViewWidth);
    fScrollY = std::min(std::max(fScrollY, 0.0f), fPictureHeight - kViewHeight);
}

void cIsland::CenterView(float x, float y)
{
    fScrollX = x - kViewWidth / 2.0f;
    fScrollY = y - kViewHeight / 2.0f;
    ClampScroll();
}

bool cIsland::ReadCursor(int* x, int* y) const
{
    if (viewHooks.cursor) return viewHooks.cursor(x, y);
    return vek::g_pInput && vek::g_pInput->GetCursorPosition(x, y);
}

vek::vec2 cIsland::GetCursorPoint() const
{
    int x = 0, y = 0;
    if (!ReadCursor(&x, &y)) x = y = 0;
    return vek::vec2(fScrollX + static_cast<float>(x), fScrollY + kViewHeight - static_cast<float>(y));
}

int cIsland::LevelPointAt(const vek::vec2& p) const
{
    const cPlayer* player = Player();
    const int progress = player ? player->m_iProgress : 0;
    for (int i = 0; i <= progress && static_cast<size_t>(i) < vecLevelPoints.size(); ++i) {
        const vek::vec2& q = vecLevelPoints[static_cast<size_t>(i)];
        if (q.x - 18.0f < p.x && p.x < q.x + 18.0f && q.y - 30.0f < p.y && p.y < q.y + 30.0f) return i;
    }
    return -1;
}

// ---- placing a building ----

void cIsland::StartPlacement(cHouse* building)
{
    if (!building) return;
    vek::vec2 p = GetCursorPoint();
    p.y += 400.0f;
    building->SetPos(p.x - building->rect.w / 2.0f, p.y - building->rect.h / 2.0f);
    pSelected = building;
    uPlaceArea = FindAreaForRect(building->rect);
    iPlacing = 1;
    placePoint = p;
}

bool cIsland::CancelPlacement()
{
    if (iPlacing != 1 || !pSelected) return false;
    iPlacing = 0;
    cHouse* building = pSelected;
    pSelected = nullptr;
    delete building;
    return true;
}

// ---- drawing ----

void cIsland::Draw()
{
    vek::cQuadBatch* batch = Batch();
    if (!batch) {
        vek::cWidget::Draw();
        return;
    }
    vek::Begin2D(kViewWidth, kViewHeight);
    if (vek::g_pRender)
        vek::g_pRender->SetTransform(vek::cRender::e_World,
                                     vek::MatrixTranslation(-std::trunc(fScrollX), -std::trunc(fScrollY), 0.0f));
    batch->uRunCount = 0;
    const float totalHeight = pictureTopRect.h + pictureBottomRect.h;
    if (uWaveTexture != 0 && !waveFrames.empty() && waveTile.x > 0.0f && waveTile.y > 0.0f) {
        const vek::rectf& uv = waveFrames[static_cast<size_t>(std::clamp<int32_t>(waveCounter.iFrame, 0,
                                                                                   static_cast<int32_t>(waveFrames.size()) - 1))];
        for (int c = 0; static_cast<float>(c) < pictureTopRect.w / waveTile.x + 1.0f; ++c)
            for (int r = 0; static_cast<float>(r) < totalHeight / waveTile.y + 1.0f; ++r)
                batch->AddQuad(uWaveTexture,
                               vek::rectf(static_cast<float>(c) * waveTile.x, static_cast<float>(r) * waveTile.y,
                                          waveTile.x, waveTile.y),
                               vek::kOpaqueWhite, uv);
        Flush(*batch);
    }
    vek::SetBlendMode(1);
    if (uFallTexture != 0 && !fallFrames.empty()) {
        const size_t frame = static_cast<size_t>(std::clamp<int32_t>(fallCounter.iFrame, 0,
                                                                     static_cast<int32_t>(fallFrames.size()) - 1));
        batch->AddQuad(uFallTexture, fallRect, vek::kOpaqueWhite, fallFrames[frame]);
    }
    const vek::rectf whole(0.0f, 0.0f, 1.0f, 1.0f);
    if (uPictureTop != 0) batch->AddQuad(uPictureTop, pictureTopRect, vek::kOpaqueWhite, whole);
    if (uPictureBottom != 0) batch->AddQuad(uPictureBottom, pictureBottomRect, vek::kOpaqueWhite, whole);
    for (cHouse* b : m_Buildings) b->DrawHighlight(*batch);
    for (cHouse* b : m_Buildings) b->Draw(*batch);

    const std::vector<cShip>* ships = viewHooks.ships ? viewHooks.ships() : nullptr;
    if (ships && route.GetCount() > 0 && g_Shared.ship.iTexture != 0) {
        for (const cShip& ship : *ships) {
            const vek::vec2 at = route.GetValue(ship.fProgress);
            vek::vec2 d = route.GetDerivative(ship.fProgress);
            const float length = d.Length();
            d = length <= kTiny ? vek::vec2() : d * (1.0f / length);
            const float angle = std::atan2(d.y, d.x) + 1.5707964f;
            batch->AddRotatedQuad(static_cast<uint32_t>(g_Shared.ship.iTexture),
                                  vek::rectf(at.x, at.y, g_Shared.ship.fWidth, g_Shared.ship.fHeight),
                                  vek::kOpaqueWhite, g_Shared.ship.pFrames[0], angle);
        }
    }
    Flush(*batch);
    m_pWalkMap->DrawFollowers();
    m_pAnimations->Draw(*batch);
    for (cHouse* b : m_Buildings) b->DrawOver(*batch);
    DrawLevelMap(*batch);
    Flush(*batch);
    if (cParticleSystem* particles = GetParticleSystem()) particles->DrawLayer(3);
    vek::SetBlendMode(1);
    m_pPopups->Draw(*batch);
    Flush(*batch);
    if (vek::g_pRender) vek::g_pRender->SetTransform(vek::cRender::e_World, vek::matrix4());
    vek::End2D();

    vek::cWidget::Draw();  // the GUI

    vek::Begin2D(kViewWidth, kViewHeight);
    batch->uRunCount = 0;
    vek::SetBlendMode(1);
    if (g_pGarden && g_pGarden->m_pFlyingItems) g_pGarden->m_pFlyingItems->Draw(*batch);
    Flush(*batch);
    if (cParticleSystem* particles = GetParticleSystem()) particles->DrawLayer(4);
    vek::SetBlendMode(1);
    vek::End2D();
}

void cIsland::DrawLevelMap(vek::cQuadBatch& batch)
{
    if (iMode == e_modeNone || vecLevelPoints.size() < 2 || vecPathDots.size() < 2) return;
    const cPlayer* player = Player();
    const int progress = player ? player->m_iProgress : 0;
    if (!g_Shared.pointLooked) {
        g_Shared.pointLooked = true;
        LookUpSprite("houses05", "point", &g_Shared.point);
    }
    if (!g_Shared.mpLooked) {
        g_Shared.mpLooked = true;
        LookUpSprite("houses05", "mp", &g_Shared.mp);
    }
    const size_t perLevel = std::max<size_t>(1, vecPathDots.size() / (vecLevelPoints.size() - 1));
    // Both lists end the map, however far the progress has gone.
    for (size_t i = 0; i < vecPathDots.size() && static_cast<int>(i / perLevel) + 1 <= progress; ++i)
        Quad(batch, g_Shared.point, vecPathDots[i].x - g_Shared.point.fWidth / 2.0f,
             vecPathDots[i].y - g_Shared.point.fHeight / 2.0f);
    bool held = false;
    if (vek::g_pInput && !vek::g_pInput->vecMice.empty() && vek::g_pInput->vecMice[0])
        held = vek::g_pInput->vecMice[0]->byButtons[0] != 0;
    for (int j = 0; j <= progress && static_cast<size_t>(j) < vecLevelPoints.size(); ++j) {
        const vek::vec2& p = vecLevelPoints[static_cast<size_t>(j)];
        const float lift = (j == iHoveredPoint && j == iPressedPoint && iMode == e_modeIsland && held) ? 3.0f : 0.0f;
        if (j == iHoveredPoint) {
            cSprite select;
            if (LookUpSprite("houses05", "mp_select", &select))
                Quad(batch, select, p.x - select.fWidth / 2.0f, p.y - select.fHeight / 2.0f + 15.0f);
        }
        const int medal = player && static_cast<size_t>(j) < player->m_Results.size()
                              ? player->m_Results[static_cast<size_t>(j)]
                              : -1;
        if (medal >= 0 && medal < kMedals) {
            static const char* const kMedalAreas[kMedals] = {"gold", "silver", "bronze"};
            cSprite s;
            if (LookUpSprite("houses05", kMedalAreas[medal], &s))
                Quad(batch, s, p.x - s.fWidth / 2.0f, p.y - s.fHeight / 2.0f - lift + 15.0f);
        } else {
            const float a = iMode == e_modeIsland ? blinkTimer.m_Value * 0.9f + 0.1f : 1.0f;
            Quad(batch, g_Shared.mp, p.x - g_Shared.mp.fWidth / 2.0f, p.y - g_Shared.mp.fHeight / 2.0f - lift + 15.0f,
                 vek::PackColor(1.0f, 1.0f, 1.0f, a));
        }
    }
}

// ---- the steps ----

void cIsland::Tick()
{
    cGarden* game = g_pGarden;
    if (game) {
        game->UpdateTraining();
        if (game->m_iShownHint != e_hintNewPeople) game->UpdateShips();
        if (game->m_pFlyingItems) game->m_pFlyingItems->Update(vek::kFixedStep);
    }
    if (Paused()) return;
    waveCounter.Update(vek::kFixedStep);
    if (fallCounter.Update(vek::kFixedStep) > 0 && fallCounter.iFrame == 0 && uFallTextures[1] != 0)
        uFallTexture = uFallTexture == uFallTextures[0] ? uFallTextures[1] : uFallTextures[0];
    TickWorld();
    if (iMode == e_modeLevel) UpdateResultSequence();
    if (iMode == e_modeIsland && (!game || game->m_iShownHint != e_hintNewPeople)) {
        const bool due = hintTimer.Update(vek::kFixedStep) == vek::mover<float>::e_Arrived;
        if (due && viewHooks.showHint) viewHooks.showHint(e_hintStartLevel);
    }
    AdvancePulse();
    // The selection halo turns slowly, once in about ten seconds.
    fHaloAngle += kHaloTurn;
    if (fHaloAngle >= kFullTurn) fHaloAngle -= kFullTurn;
    if (iMode != e_modeNone && game && game->CanScrollIsland() && viewHooks.trainingStart) viewHooks.trainingStart(e_lessonScrolling);
    if (blinkTimer.Update(vek::kFixedStep) == vek::mover<float>::e_Arrived) {
        const float back = blinkTimer.m_From;  // SetTarget overwrites the start
        blinkTimer.SetTarget(back);
    }
}

void cIsland::Update(float elapsed)
{
    if (cParticleSystem* particles = GetParticleSystem()) {
        particles->UpdateLayer(3, elapsed);
        particles->UpdateLayer(4, elapsed);
    }
    if (Paused()) return;
    if (iMode != e_modeNone && g_pGarden && g_pGarden->CanScrollIsland()) {
        const float oldX = fScrollX, oldY = fScrollY;
        int x = 0, y = 0;
        if (ReadCursor(&x, &y)) {
            const float step = kEdgeSpeed * elapsed;
            if (static_cast<float>(x) < kEdge) fScrollX -= step;
            if (static_cast<float>(x) > kViewWidth - kEdge) fScrollX += step;
            if (static_cast<float>(y) < kEdge) fScrollY += step;
            if (static_cast<float>(y) > kViewHeight - kEdge) {
                fScrollY -= step;
                if (hooks.trainingStep) hooks.trainingStep(e_lessonScrolling, e_stepScrollIsland);
            }
        }
        fScrollY += fScrollSpeed * elapsed;
        fScrollSpeed = fScrollSpeed / (elapsed * 5.0f + 1.0f);
        ClampScroll();
        if (std::fabs(fScrollX - oldX) > kTiny || std::fabs(fScrollY - oldY) > kTiny) HideHint3();
    }
    m_pPopups->Update(elapsed);
    if (g_pGarden && g_pGarden->GetLevel()) g_pGarden->GetLevel()->MoveObjects(elapsed);
}

// ---- activation ----

void cIsland::OnActivate()
{
    cGarden* game = g_pGarden;
    if (iMode != e_modeNone && game) {
        game->HideAllWindows();
        game->ShowGameWindow("score", 2);
        game->ShowGameWindow("island", 2);
    }
    if (iHoveredPoint >= 0 && game) game->SetCursor("pointer");
    iHoveredPoint = -1;
    pSelected = nullptr;
    pHovered = nullptr;
    if (iMode == e_modeIsland) UpdateHouses();
    if (iMode == e_modeLevel) StartResultSequence();
    if (game) {
        if (game->m_pGameMusic && game->m_pGameMusic->IsPlaying()) {
            game->m_pGameMusic->Fade(false, 1.0f);
            game->m_pGameMusic = nullptr;
        }
        if (vek::cMusic* music = game->GetMenuMusic())
            if (!music->IsPlaying()) {
                music->Fade(true, 1.0f);
                music->Play();
            }
    }
}

void cIsland::OnDeactivate()
{
    // The hand of a level point does not follow the player into the level.
    if (iHoveredPoint >= 0 && g_pGarden) g_pGarden->SetCursor("pointer");
    iHoveredPoint = -1;
    pSelected = nullptr;
    pHovered = nullptr;
    if (vek::cGUI* gui = vek::GetEngineGUI()) {
        gui->HideWindow("island");
        const int score = gui->FindWindow("score");
        if (score != 0 && gui->IsWindowShown(static_cast<unsigned>(score)))
            gui->HideWindowImmediately(static_cast<unsigned>(score));
    }
    if (cGarden* game = g_pGarden) {
        game->m_Training.Stop();
        if (game->m_pFlyingItems) game->m_pFlyingItems->Clear();
        if (game->m_pParticles) {
            game->m_pParticles->poolC.Clear();
            game->m_pParticles->poolD.Clear();
        }
    }
}

// ---- input ----

void cIsland::OnInput(int kind, int code)
{
    if (iMode != e_modeIsland && iMode != e_modeLevel) return;
    cGarden* game = g_pGarden;
    switch (kind) {
    case vek::e_inKeyDown:
        if (code == 1 && game) game->ShowGameWindow("escape", 2);
        break;
    case vek::e_inMouseDown:
        if (code != 0) break;
        if (pHovered) pHovered->OnMessage(48, 1);
        iPressedPoint = iHoveredPoint;
        if (iPressedPoint >= 0) PlayInterfaceSound("click");
        break;
    case vek::e_inMouseUp:
        if (code != 0) break;
        if (iMode == e_modeIsland && iHoveredPoint >= 0 && static_cast<size_t>(iHoveredPoint) < vecLevelPoints.size() &&
            iHoveredPoint == iPressedPoint && game) {
            HideHint3();
            game->ShowMessageBox(3, 2, GetLocaleGD().MessageStartLevel, vek::Formatted("start_level%i", iHoveredPoint));
            // The question's buttons take the pointer: the arrow, until the
            // pointer moves over the point again.
            game->SetCursor("pointer");
        }
        iPressedPoint = -1;
        break;
    case vek::e_inMouseMove: {
        const vek::vec2 p = GetCursorPoint();
        if (iMode == e_modeIsland) {
            const int point = LevelPointAt(p);
            const cPlayer* player = Player();
            // The hand over a point that opens its level (again after a
            // question over it gave the arrow), the arrow once it leaves.
            if (game && (point >= 0 || iHoveredPoint >= 0)) game->SetCursor(point >= 0 ? "hand" : "pointer");
            if (point != iHoveredPoint) {
                iHoveredPoint = point;
                if (point >= 0 && player && static_cast<size_t>(point) < player->m_Times.size() && game) {
                    game->SendWindowMessage("hint_mp", static_cast<unsigned>(point), 0);
                    game->ShowGameWindow("hint_mp", 2);
                } else if (vek::cGUI* gui = vek::GetEngineGUI()) {
                    // A point never played has no pop-up: the one of the
                    // point left last must not stay over it.
                    if (gui->IsWindowShown("hint_mp")) gui->HideWindow("hint_mp");
                }
            }
        }
        if (iPlacing == 0) {
            cHouse* hit = nullptr;
            int value = 0;
            for (cHouse* b : m_Buildings)
                if ((value = b->HitTest(p)) != 0) {
                    hit = b;
                    break;
                }
            if (hit != pHovered) {
                if (pHovered) pHovered->OnMessage(33, 0);
                pHovered = hit;
                if (hit) hit->OnMessage(32, value);
            }
        }
        break;
    }
    case vek::e_inWheel:
        if (!game || !game->CanScrollIsland()) break;
        fScrollSpeed = static_cast<float>(code) * 10.0f;
        if (fScrollSpeed < 0.0f && hooks.trainingStep) hooks.trainingStep(e_lessonScrolling, e_stepScrollIsland);
        HideHint3();
        if (vek::cGUI* gui = vek::GetEngineGUI()) gui->HideWindow("hint_mp");
        break;
    case 33:
        if (pHovered) pHovered->OnMessage(33, 0);
        pHovered = nullptr;
        break;
    default:
        break;
    }
}

// ---- the result sequence ----

bool cIsland::FlyHouse(const vek::vec2& from, int star)
{
    // Its arrival is what stage E waits for: the same two seconds.
    vek::vec2 to;
    if (!g_pGarden || !g_pGarden->m_pFlyingItems) return false;
    if (!ControlCentre(vek::Formatted("island_star%i", star), true, &to)) return false;
    Fly("house", from, to, true, 2.0f);
    return true;
}

void cIsland::StartResultSequence()
{
    const cPlayer* player = Player();
    if (player && player->m_iProgress >= 7)
        // Most building names come back at several levels: the level's
        // own is the one standing at its level spot.
        if (const cHouse* house = GetLevelHouse(player->m_iLevel))
            if (house->iState == cHouse::e_stateNone) CenterView(house->rect.x, house->rect.y);
    for (vek::mover<float>& stage : stages) Start(stage, 0.0f);
    Start(stages[A], 1.0f);
}

bool cIsland::RecordLevelMedal()
{
    cGarden* game = g_pGarden;
    cPlayer* player = Player();
    if (!game || !player) return false;
    const int level = player->m_iLevel;
    // Only a medal is recorded: a second pass over a taken medal must not
    // wipe the level's entry.
    const int medal = game->m_iLastMedal;
    game->m_iLastMedal = -1;
    if (level < 0 || medal < 0 || medal >= kMedals) return false;
    if (static_cast<size_t>(level) < player->m_Results.size()) player->m_Results[static_cast<size_t>(level)] = medal;
    else player->m_Results.push_back(medal);
    return true;
}

void cIsland::UpdateResultSequence()
{
    cGarden* game = g_pGarden;
    cPlayer* player = Player();
    const int level = player ? player->m_iLevel : -1;
    const int progress = player ? player->m_iProgress : 0;
    const vek::vec2 scroll(fScrollX, fScrollY);
    // Read afresh at each use: stage C starts the rating lesson within the
    // very pass that must then wait for it.
    const auto trainingKind = [game] { return game ? game->m_Training.iKind : -1; };

    for (int s = A; s <= F; ++s) {
        vek::mover<float>& stage = stages[s];
        if (std::fabs(stage.m_To) <= kTiny) return;
        if (s == D && trainingKind() == e_lessonRate) return;
        const int state = stage.Update(vek::kFixedStep);
        if (state == vek::mover<float>::e_Moving) return;
        if (state == vek::mover<float>::e_Standing) {
            // Arrived on an earlier pass: F keeps handing back to the map
            // until the lesson that holds it ends.
            if (s == F && trainingKind() != e_lessonIslandRate) {
                SetMode(e_modeIsland);
                if (viewHooks.renewShips) viewHooks.renewShips();
                return;
            }
            continue;
        }
        const bool work = stage.m_To > 0.0f;
        switch (s) {
        case A: {
            Start(stages[B], kSilentStep);
            if (!work || !player || !game) break;
            int before = 0;
            game->GetRate(nullptr, &before);
            RecordLevelMedal();
            vek::vec2 from;
            const bool hasPoint = level >= 0 && static_cast<size_t>(level) < vecLevelPoints.size();
            if (hasPoint) {
                from = vecLevelPoints[static_cast<size_t>(level)] - scroll;
                Burst(from);
                Sound(e_sndGood);
            }
            int after = 0;
            game->GetRate(nullptr, &after);
            if (game->IsLevelContext() && after != before) {
                Start(stages[B], 2.0f);
                vek::vec2 to;
                const int star = after > 0 ? after - 1 : 4;
                if (hasPoint && ControlCentre(vek::Formatted("star%i", star), true, &to)) Fly("star", from, to, true, 2.0f);
                Sound(e_sndSalute);
            }
            break;
        }
        case B: {
            Start(stages[C], kSilentStep);
            UpdateHouses();
            if (!work || !game) break;
            Sound(e_sndNewSort);
            int n = 0;
            game->GetRate(nullptr, &n);
            if (n != 0 && n != 5) {
                SendWindowMessage("island", 0, 0);
                break;
            }
            Start(stages[C], 1.2f);
            vek::vec2 rate;
            if (ControlCentre("rate", false, &rate))
                for (int i = 0; i < 5; ++i) {
                    vek::vec2 star;
                    if (ControlCentre(vek::Formatted("star%i", i), false, &star))
                        Fly("star", star, vek::vec2(star.x, rate.y), false, 1.2f);
                }
            Sound(e_sndSalute);
            break;
        }
        case C: {
            Start(stages[D], level < progress ? kSilentStep : 1.2f);
            if (work) {
                SendWindowMessage("island", 0, 0);
                vek::vec2 rate;
                if (ControlCentre("rate", false, &rate)) Burst(rate);
                Sound(e_sndLevelSuccess);
            }
            if (viewHooks.trainingStart) viewHooks.trainingStart(e_lessonRate);
            break;
        }
        case D:
            if (work) {
                const cHouse* house = GetLevelHouse(level);
                if (house && house->iState == cHouse::e_stateNone && viewHooks.showHint) viewHooks.showHint(e_hintConstruct);
            } else {
                Start(stages[E], kSilentStep);
            }
            break;
        case E: {
            Start(stages[F], kSilentStep);
            if (!work) break;
            Sound(e_sndNewSort);
            int n = 0;
            GetIslandRate(nullptr, &n);
            if (n != 0 && n != 10) {
                SendWindowMessage("island", 0, 0);
                break;
            }
            Start(stages[F], 1.2f);
            vek::vec2 rate;
            if (ControlCentre("island_rate", false, &rate))
                for (int i = 0; i < 10; ++i) {
                    vek::vec2 house;
                    if (ControlCentre(vek::Formatted("island_star%i", i), false, &house))
                        Fly("house", house, vek::vec2(house.x, rate.y), false, 1.2f);
                }
            Sound(e_sndSalute);
            break;
        }
        case F: {
            Start(stages[D], kSilentStep);
            if (level >= progress && game) {
                game->AdvanceProgress();
                // The purchase the step follows from, and the funds left,
                // are kept at once.
                if (player) player->SaveGame(-1);
            }
            if (work) {
                SendWindowMessage("island", 0, 0);
                vek::vec2 rate;
                if (ControlCentre("island_rate", false, &rate)) Burst(rate);
                Sound(e_sndLevelSuccess);
            }
            if (viewHooks.trainingStart) viewHooks.trainingStart(e_lessonIslandRate);
            if (trainingKind() != e_lessonIslandRate) {
                SetMode(e_modeIsland);
                if (viewHooks.renewShips) viewHooks.renewShips();
                return;
            }
            break;
        }
        default:
            break;
        }
    }
}
