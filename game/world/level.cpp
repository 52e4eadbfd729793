#include "game/world/level.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/app/game.h"
#include "engine/core/input.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/render.h"
#include "engine/gui/gui.h"
#include "engine/sound/sound.h"
#include "game/objects/gardener.h"
#include "game/objects/object.h"
#include "game/shell/garden.h"
#include "game/shell/player.h"
#include "game/world/effects.h"
#include "game/world/game_sound.h"
#include "game/world/island.h"
#include "game/world/particles.h"
#include "game/world/rules.h"

namespace {

// The field's grid: 8 rows by 10 columns over this rectangle.
constexpr int32_t kRows = 8;
constexpr int32_t kColumns = 10;

constexpr float kViewWidth = 1024.0f;
constexpr float kViewHeight = 768.0f;
constexpr float kPi = 3.14159265358979f;

// Game sounds the field plays.

vek::cQuadBatch* Batch() { return vek::g_pGame ? vek::g_pGame->pBatch : nullptr; }

// Draws what the batch holds and starts it afresh.
void Flush(vek::cQuadBatch& batch)
{
    batch.Draw();
    batch.uRunCount = 0;
}

void AddBackdrop(vek::cQuadBatch& batch, const cLevel::cBackdrop& sprite)
{
    if (sprite.iTexture != 0)
        batch.AddQuad(static_cast<uint32_t>(sprite.iTexture), sprite.target, vek::kOpaqueWhite, sprite.source);
}

// "music0" and "music1" take turns, over the whole run.
bool g_bSecondMusic = false;

} // namespace

cLevel::cLevel(const vek::string& name) : vek::cWidget(name)
{
    BuildGrid(kColumns, kRows);
    m_pPopups = new cTextPopups(vek::g_pRender, "header24x24");
    LoadBackdrop();
    new cObject(this);  // registers itself as element 0
}

cLevel::~cLevel()
{
    // The objects leave the draw list as they go; emptied first, nothing is
    // searched for each of them. The registry then deletes them.
    m_DrawList.clear();
    m_Removed.clear();
    delete m_pPopups;
    m_pPopups = nullptr;
    for (cFadeAnimation*& sea : m_apSea) {
        delete sea;
        sea = nullptr;
    }
}

void cLevel::LoadBackdrop()
{
    const auto load = [](const char* area, float x, float y, cBackdrop& out) {
        cSprite sprite;
        if (!LookUpSprite("back", area, &sprite)) return;
        out.iTexture = sprite.iTexture;
        out.source = sprite.pFrames[0];
        out.target = vek::rectf(x, y, sprite.fWidth, sprite.fHeight);
    };
    cBackdrop* b = m_aBackdrop;
    load("base", 0.0f, 0.0f, b[e_bdBase]);
    load("top", 0.0f, b[e_bdBase].target.h, b[e_bdTop]);
    load("sky", 0.0f, 0.0f, b[e_bdSky]);
    b[e_bdSky].target.y = kViewHeight - b[e_bdSky].target.h;
    load("lighthouse", 560.0f, 688.0f, b[e_bdLighthouse]);
    load("ship", 0.0f, 701.0f, b[e_bdShip]);
    // The ship sails both ways: its picture is kept mirrored too.
    b[e_bdShipMirrored] = b[e_bdShip];
    b[e_bdShipMirrored].source.x += b[e_bdShip].source.w;
    b[e_bdShipMirrored].source.w = -b[e_bdShip].source.w;
    for (cFadeAnimation*& sea : m_apSea) sea = new cFadeAnimation(vek::g_pRender);
    m_apSea[0]->Init("back", "ocean", 2.0f, 3.0f, 1.0f, 0.0f, 0.0f, kViewHeight - b[e_bdSky].target.h - 32.0f);
    m_apSea[1]->Init("back", "wave", 1.0f, 2.5f, 1.0f, 1.0f, 520.0f, 688.0f);
    m_apSea[2]->Init("back", "light", 1.0f, 1.5f, 0.25f, 0.25f, 520.0f, 728.0f);
}

uint32_t cLevel::AddObject(cObject* object)
{
    m_DrawList.push_back(object);
    return m_Objects.Add(object);
}

void cLevel::ForgetObject(cObject* object, uint32_t id)
{
    // Only a registered object leaves the registry: an id the object no
    // longer holds (the registry was cleared under it) names someone else.
    if (m_Objects.Get(id) == object) m_Objects.Remove(id);
    m_DrawList.remove(object);
}

bool cLevel::HasObject(uint32_t id) const { return id != 0 && m_Objects.IsValid(id); }

cObject* cLevel::GetNullObject() const { return m_Objects.Get(0); }

cObject* cLevel::FindObject(const cell& at, uint32_t mask) const
{
    cObject* none = GetNullObject();
    if (!none) return nullptr;
    const bool anywhere = at == cell();
    if (static_cast<int32_t>(mask) < 0) {
        if (!HasObject(m_uGardenerId)) return none;
        cObject* gardener = GetObject(m_uGardenerId);
        return anywhere || gardener->GetCell() == at ? gardener : none;
    }
    for (cObject* object : m_Objects)
        if (object->IsType(mask) && (anywhere || object->GetCell() == at)) return object;
    return none;
}

std::vector<cObject*> cLevel::GetObjectsAt(const cell& at) const
{
    std::vector<cObject*> found;
    for (cObject* object : m_Objects)
        if (object->GetCell() == at) found.push_back(object);
    return found;
}

void cLevel::RemoveObject(uint32_t id) { m_Removed.push_back(id); }

void cLevel::FlushRemoved()
{
    // A destructor may queue further objects (a hive its bee): they are
    // taken in the same loop. A queued id that names no live object, or
    // names the null object, is dropped; an id queued twice is deleted once.
    while (!m_Removed.empty()) {
        const uint32_t id = m_Removed.front();
        m_Removed.pop_front();
        if (HasObject(id)) delete GetObject(id);
    }
}

void cLevel::ClearObjects()
{
    m_DrawList.clear();
    m_Removed.clear();
    m_Objects.Clear();
    m_uGardenerId = m_uPumpId = m_uCarId = m_uCarBackId = 0;
}

const cSprite& cLevel::GetTargetSprite()
{
    if (!m_bTargetLooked) {
        m_bTargetLooked = true;
        LookUpSprite("icons00", "target", &m_TargetSprite);
    }
    return m_TargetSprite;
}

// ---- the widget ----

void cLevel::Draw()
{
    vek::cQuadBatch* batch = Batch();
    if (!batch) {
        vek::cWidget::Draw();
        return;
    }
    vek::Begin2D(kViewWidth, kViewHeight);
    batch->uRunCount = 0;
    if (m_aBackdrop[e_bdBase].iTexture != 0) {
        AddBackdrop(*batch, m_aBackdrop[e_bdBase]);
        Flush(*batch);
    }
    vek::SetBlendMode(1);
    AddBackdrop(*batch, m_aBackdrop[e_bdSky]);
    m_apSea[0]->Draw(*batch);
    cGarden* game = g_pGarden;
    if (game) {
        for (const cShip& ship : game->m_Ships) {
            cBackdrop sprite = m_aBackdrop[ship.fSpeed >= 0.0f ? e_bdShipMirrored : e_bdShip];
            const vek::vec2 at = ShipPosition(ship);
            sprite.target.x = at.x;
            sprite.target.y = at.y;
            AddBackdrop(*batch, sprite);
        }
    }
    AddBackdrop(*batch, m_aBackdrop[e_bdLighthouse]);
    m_apSea[1]->Draw(*batch);
    m_apSea[2]->Draw(*batch);
    Flush(*batch);
    if (game && game->m_pParticles) {
        game->m_pParticles->DrawLayer(0);
        vek::SetBlendMode(1);
    }
    AddBackdrop(*batch, m_aBackdrop[e_bdTop]);
    Flush(*batch);

    if (IsValidCell(m_HoverCell)) {
        if (!m_bHighlightLooked) {
            m_bHighlightLooked = true;
            LookUpSprite("images00", "highlight", &m_Highlight);
        }
        if (m_Highlight.iTexture != 0) {
            const vek::vec2 at = GetCellPos(m_HoverCell);
            batch->AddQuad(static_cast<uint32_t>(m_Highlight.iTexture),
                           vek::rectf(at.x - m_Highlight.fWidth / 2.0f, at.y, m_Highlight.fWidth, m_Highlight.fHeight),
                           vek::kOpaqueWhite, m_Highlight.pFrames[0]);
        }
    }
    DrawCellMarks(*batch);
    for (cObject* object : m_DrawList) object->Draw();
    Flush(*batch);
    if (game && game->m_pParticles) {
        game->m_pParticles->DrawLayer(1);
        vek::SetBlendMode(1);
    }
    if (m_pPopups) m_pPopups->Draw(*batch);
    Flush(*batch);

    vek::cWidget::Draw();  // the GUI
    vek::Begin2D(kViewWidth, kViewHeight);
    batch->uRunCount = 0;
    // The GUI leaves blending off behind it: the flying items would show
    // their sprites' transparent corners as black squares.
    vek::SetBlendMode(1);
    if (game && game->m_pFlyingItems) game->m_pFlyingItems->Draw(*batch);
    if (game && game->m_pSpriteAnimations) game->m_pSpriteAnimations->Draw(*batch);
    Flush(*batch);
    if (game && game->m_pParticles) game->m_pParticles->DrawLayer(2);
    vek::SetBlendMode(1);
    vek::End2D();
}

void cLevel::Tick()
{
    cGarden* game = g_pGarden;
    if (game) {
        game->UpdateTraining();
        game->UpdateShips();
        if (game->m_pFlyingItems) game->m_pFlyingItems->Update(kRuleStep);
        if (game->GetFlowState() != cGarden::e_playLevel) return;
        game->UpdateSession();
    }
    if (!m_DrawList.empty() && m_uSortCounter % 3 == 0) {
        SortDrawList();
        m_uSortCounter = 0;
    }
    ++m_uSortCounter;
    UpdateObjects();
    if (game && game->m_pIsland) game->m_pIsland->TickWorld();
}

void cLevel::Update(float elapsed)
{
    cGarden* game = g_pGarden;
    if (game && game->m_pParticles)
        for (int layer = 0; layer < 3; ++layer) game->m_pParticles->UpdateLayer(layer, elapsed);
    if (game && game->m_pSpriteAnimations) game->m_pSpriteAnimations->Update(elapsed);
    cBackdrop& sky = m_aBackdrop[e_bdSky];
    sky.source.x += elapsed / 100.0f;
    if (sky.source.x > 100.0f) sky.source.x = 0.0f;
    for (cFadeAnimation* sea : m_apSea) sea->Update(elapsed);
    if (game && game->GetFlowState() != cGarden::e_playLevel) return;
    MoveObjects(elapsed);
    if (game && game->m_pIsland && game->m_pIsland->GetPopups()) game->m_pIsland->GetPopups()->Update(elapsed);
}

void cLevel::UpdateObjects()
{
    for (cObject* object : m_Objects) object->Update();
    FlushRemoved();
}

void cLevel::MoveObjects(float elapsed)
{
    if (m_pPopups) m_pPopups->Update(elapsed);
    for (cObject* object : m_Objects) object->Move(elapsed);
    MoveWareFlights(elapsed);
    FlushRemoved();
}

void cLevel::SortDrawList()
{
    // The object a lesson's step points at is drawn last, above the others:
    // the gardener standing on a tool would hide it from the player.
    const cObject* pointed = g_pGarden ? g_pGarden->TrainingTarget() : nullptr;
    const auto depth = [pointed](const cObject* object) {
        return object == pointed ? -std::numeric_limits<float>::infinity() : object->GetDepth();
    };
    // Nearly sorted between sorts: a few passes of neighbour swaps. Equal
    // keys never swap, so equal objects keep their order.
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (auto it = m_DrawList.begin(); it != m_DrawList.end(); ++it) {
            const auto next = std::next(it);
            if (next == m_DrawList.end()) break;
            if (depth(*it) < depth(*next)) {
                std::iter_swap(it, next);
                swapped = true;
            }
        }
    }
}

void cLevel::OnActivate()
{
    if (cGarden* game = g_pGarden) {
        game->HideAllWindows();
        game->ShowGameWindow("garden", 2);
        game->ShowGameWindow("score", 2);
        if (game->m_pMenuMusic && game->m_pMenuMusic->IsPlaying()) game->m_pMenuMusic->Fade(false, 1.0f);
        if (game->m_pGameMusic && game->m_pGameMusic->IsPlaying()) game->m_pGameMusic->Pause();
        const char* name = g_bSecondMusic ? "music1" : "music0";
        g_bSecondMusic = !g_bSecondMusic;
        if (GetSoundManager()) {
            const auto& musics = GetSoundManager()->m_Musics;
            // A name missing from the list gives the first music.
            const uint32_t index = static_cast<uint32_t>(FindMusicIndex(name));
            game->m_pGameMusic = index < musics.Count() ? musics.At(index) : musics.At(0);
            if (vek::cMusic* music = game->m_pGameMusic) {
                music->Fade(true, 1.0f);
                music->SetLoop();
                music->Play();
            }
        }
    }
}

void cLevel::OnDeactivate()
{
    if (vek::cGUI* gui = vek::GetEngineGUI()) {
        gui->HideWindow("garden");
        gui->HideWindow("score");
    }
    if (cGarden* game = g_pGarden) {
        game->m_Training.Stop();
        game->ClearShips();
        if (game->m_pFlyingItems) game->m_pFlyingItems->Clear();
        if (game->m_pParticles)
            for (int layer = 0; layer < 3; ++layer) game->m_pParticles->ClearLayer(layer);
    }
}

bool cLevel::ReadMouse(vek::vec2* point) const
{
    int x = 0, y = 0;
    if (fnCursor) {
        if (!fnCursor(&x, &y)) return false;
    } else if (!vek::g_pInput || !vek::g_pInput->GetCursorPosition(&x, &y)) {
        return false;
    }
    *point = vek::vec2(static_cast<float>(x), kViewHeight - static_cast<float>(y));
    return true;
}

bool cLevel::HighlightAt(const vek::vec2& point)
{
    bool any = false;
    for (cObject* object : m_Objects) {
        const bool hit = object->HitTest(point);
        if (!hit) object->SetHighlight(false);
        else if (!object->IsHighlighted()) object->SetHighlight(true);
        any = any || hit;
    }
    return any;
}

void cLevel::OnInput(int kind, int code)
{
    cGarden* game = g_pGarden;
    if (kind == vek::e_inKeyDown && code == 1) {
        if (game) game->ShowGameWindow("escape", 2);
        return;
    }
    if (kind == vek::e_inMouseMove) {
        m_HoverCell = cell();
        vek::vec2 point;
        // With nothing under the mouse, the cell is marked while the
        // gardener is about to sow grass or flowers.
        if (ReadMouse(&point)) m_HoverCell = GardenHoverCell(point, HighlightAt(point));
        return;
    }
    if (kind != vek::e_inMouseDown) return;
    if (code == 1) {
        GardenRightClick();
        return;
    }
    if (code != 0) return;
    m_bClickTaken = false;
    // A tutorial step whose delay still runs also takes the click. The
    // click road itself ignores the first two seconds of the first level
    // and a field without a gardener.
    if (game && game->GetTraining() != 0 && game->m_Training.IsWaiting()) return;
    vek::vec2 point;
    if (ReadMouse(&point)) m_bClickTaken = GardenClick(point);
}

cObject* cLevel::PickObject(const vek::vec2& point) const
{
    cObject* best = nullptr;
    for (cObject* object : m_Objects)
        if (object->HitTest(point) && (!best || object->GetDepth() < best->GetDepth())) best = object;
    return best;
}

cLevel::cTarget cLevel::PickTarget(const vek::vec2& point) const
{
    cTarget target;
    target.at = PosToCell(point);
    target.point = point;
    if (HasObject(m_uCarId) && GetObject(m_uCarId)->HitTest(point)) {
        target.kind = cTarget::e_Car;
        target.object = GetObject(m_uCarId);
        return target;
    }
    if (HasObject(m_uPumpId) && GetObject(m_uPumpId)->HitTest(point)) {
        target.kind = cTarget::e_Pump;
        target.object = GetObject(m_uPumpId);
        return target;
    }
    if (cObject* object = PickObject(point)) {
        target.kind = cTarget::e_Object;
        target.object = object;
        return target;
    }
    // Nothing under the point: the cell, where the gardener's own rules
    // look for a hole, a tool, a plant or a product on it.
    if (IsValidCell(target.at)) target.kind = cTarget::e_Cell;
    return target;
}

void cLevel::QueueTarget(const cTarget& target)
{
    cObject* object = GetGardenerObject();
    if (!object || target.kind == cTarget::e_None) return;
    auto* gardener = static_cast<cGardener*>(object);
    if (target.kind == cTarget::e_Car) gardener->QueueType(OBJ_CAR);
    else if (target.kind == cTarget::e_Pump) gardener->QueueObject(m_uPumpId);
    else QueueGardenTarget(target.object, target.at, target.point);
}

void cLevel::Reset()
{
    ResetField();
    m_HoverCell = cell();
    m_vCarPoint = vek::vec2();
    // The animal counts go back to 0 with the animals' own block.
    if (g_pGarden) {
        g_pGarden->ClearIslandWalkers();
        if (g_pGarden->m_pParticles)
            for (int layer = 0; layer < 3; ++layer) g_pGarden->m_pParticles->ClearLayer(layer);
    }
}

namespace {

// A fraction of the ring kept within 0..1; a NaN (a timer without a length)
// counts as nothing done.
float RingFraction(float fraction)
{
    if (!(fraction > 0.0f)) return 0.0f;
    return std::min(fraction, 1.0f);
}

} // namespace

uint32_t cLevel::ProgressColor(float fraction)
{
    fraction = RingFraction(fraction);
    float red = 1.0f, green = 1.0f;
    if (fraction < 0.5f) red = 2.0f * fraction;
    else green = 2.0f * (1.0f - fraction);
    return vek::PackColor(red, green, 0.0f, 1.0f);
}

void cLevel::DrawProgressCircle(const vek::vec2& position, float radius, float fraction)
{
    if (vek::cQuadBatch* batch = Batch()) DrawProgressCircle(*batch, position, radius, fraction);
}

void cLevel::DrawProgressCircle(vek::cQuadBatch& batch, const vek::vec2& position, float radius, float fraction)
{
    if (!m_bCircleLooked) {
        m_bCircleLooked = true;
        LookUpSprite("icons00", "circle_need", &m_CircleNeed);
    }
    const uint32_t texture = static_cast<uint32_t>(m_CircleNeed.iTexture);
    const vek::rectf uv = m_CircleNeed.pFrames ? m_CircleNeed.pFrames[0] : vek::rectf(0.0f, 0.0f, 1.0f, 1.0f);
    // Beyond the ends the sector would sweep backwards or lap itself.
    fraction = RingFraction(fraction);
    const float top = kPi / 2.0f;
    batch.AddSector(texture, uv, position, radius, 32, top, top - 2.0f * kPi, vek::kOpaqueWhite);
    batch.AddSector(texture, uv, position, radius - 1.0f, 32, top, top - 2.0f * kPi * fraction, ProgressColor(fraction));
}
