#include "game/world/building.h"

#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/bitstream.h"
#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/texture.h"
#include "engine/gui/gui.h"
#include "game/shell/comics.h"
#include "game/shell/garden.h"
#include "game/shell/locale_gd.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/shell/window_message.h"
#include "game/world/game_sound.h"
#include "game/world/hints.h"
#include "game/world/island.h"
#include "game/world/training.h"
#include "game/world/walk_map.h"

namespace {

constexpr const char* kDecor = "cDecor";

bool StartsWith(const vek::string& s, const char* prefix)
{
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

int32_t HouseCategory(const vek::string& name)
{
    if (StartsWith(name, "house")) return cBuild::e_catHouse;
    if (StartsWith(name, "market")) return cBuild::e_catMarket;
    if (StartsWith(name, "institute")) return cBuild::e_catInstitute;
    if (StartsWith(name, "animals")) return cBuild::e_catAnimals;
    if (StartsWith(name, "statue")) return cBuild::e_catStatue;
    return cBuild::e_catOther;
}

int32_t WareIndex(const vek::string& name)
{
    return g_pWareManager ? g_pWareManager->FindWare(name) : NO_WARE;
}

cPlayer* Player() { return g_pGarden ? g_pGarden->GetPlayer() : nullptr; }

void Sound(int id)
{
    if (g_pGarden) PlayGameSound(g_pGarden->GetSoundTable(), id);
}

void TellGarden(unsigned message)
{
    if (g_pGarden) g_pGarden->SendWindowMessage("garden", message, 0);
}

int ModeOf(const cIsland* owner) { return owner ? owner->iMode : 0; }

} // namespace

// ---- cBuild ----

cBuild::cBuild(const vek::string& name, cIsland* owner) : strName(name), m_pOwner(owner) {}

cBuild::~cBuild()
{
    if (!m_pOwner) return;
    m_pOwner->GetWalkMap().RemoveObstacle(pObstacle);
    m_pOwner->DetachBuilding(this);
}

void cBuild::Tick()
{
    if (ModeOf(m_pOwner) != 0) Process();
}

void cBuild::LoadDef(vek::cBitStream& stream)
{
    rect.x = stream.ReadFloat();
    rect.y = stream.ReadFloat();
    // The obstacle is a copy of the rectangle at this moment.
    if (m_pOwner) {
        m_pOwner->GetWalkMap().RemoveObstacle(pObstacle);
        pObstacle = m_pOwner->GetWalkMap().AddObstacle(rect);
    }
}

void cBuild::SaveDef(vek::cBitStream& stream) const
{
    stream.WriteFloat(rect.x);
    stream.WriteFloat(rect.y);
}

void cBuild::CopyDef(const cBuild& other)
{
    strName = other.strName;
    iCategory = other.iCategory;
}

void cBuild::SetPos(float x, float y)
{
    rect.x = x;
    rect.y = y;
}

void cBuild::MoveBy(float dx, float dy)
{
    rect.x += dx;
    rect.y += dy;
}

int cBuild::HitTest(float x, float y) const { return rect.Contains(x, y) ? 1 : 0; }

bool cBuild::Overlaps(const vek::rectf& other) const { return rect.Intersects(other); }

bool cBuild::IsNear(const vek::vec2& p, float radius) const
{
    const float r2 = radius * radius;
    const vek::vec2 corners[4] = {{rect.x, rect.y}, {rect.x + rect.w, rect.y},
                                  {rect.x + rect.w, rect.y + rect.h}, {rect.x, rect.y + rect.h}};
    for (const vek::vec2& c : corners) {
        const vek::vec2 d = c - p;
        if (d.x * d.x + d.y * d.y > r2) return false;
    }
    return true;
}

// ---- cDecor ----

void cDecor::DrawSprite(vek::cQuadBatch& batch, const cSpriteRec& sprite, bool wholeWithoutFrames) const
{
    if (sprite.frames.empty()) {
        if (wholeWithoutFrames) batch.AddQuad(sprite.uTexture, rect, GetColor(), vek::rectf(0, 0, 1, 1));
        return;
    }
    const int32_t frame = sprite.counter.iFrame;
    const size_t index = frame >= 0 && static_cast<size_t>(frame) < sprite.frames.size() ? static_cast<size_t>(frame) : 0;
    batch.AddQuad(sprite.uTexture, rect, GetColor(), sprite.frames[index]);
}

void cDecor::Draw(vek::cQuadBatch& batch)
{
    if (uCurrentSprite < vecSprites.size()) DrawSprite(batch, vecSprites[uCurrentSprite], true);
}

void cDecor::Tick()
{
    cBuild::Tick();
    GetCurrentSprite().counter.Update(vek::kFixedStep);
}

void cDecor::CopyDef(const cBuild& other)
{
    cBuild::CopyDef(other);
    const auto* decor = dynamic_cast<const cDecor*>(&other);
    if (!decor) return;
    vecSprites.clear();
    for (const cSpriteRec& s : decor->vecSprites) AddSprite(s.strTexture, s.strArea);
    SetSprite(decor->uCurrentSprite);
}

bool cDecor::AddSprite(const vek::string& texture, const vek::string& area)
{
    cSprite found;
    switch (FindSprite(texture, area, &found)) {
    case e_spriteNoTexture:
        vek::LogWarning(kDecor, "AddSprite: texture %s not found\n", texture);
        return false;
    case e_spriteNoInfo:
        vek::LogWarning(kDecor, "AddSprite: texinfo for texture %s not found\n", texture);
        return false;
    case e_spriteNoArea:
        vek::LogWarning(kDecor, "AddSprite: texture %s not containes area %s\n", texture, area);
        return false;
    default: break;
    }
    if (found.iFrameCount <= 0 || !found.pFrames) {
        vek::LogWarning(kDecor, "AddSprite: texture %s area %s - invalid\n", texture, area);
        return false;
    }
    cSpriteRec rec;
    rec.uTexture = static_cast<uint32_t>(found.iTexture);
    rec.frames.assign(found.pFrames, found.pFrames + found.iFrameCount);
    rec.iFrameCount = found.iFrameCount;
    const cTextureInfo* info = FindTextureInfo(texture);
    const float rate = info ? info->GetNode(info->FindNode(area)).fRate : 0.0f;
    rec.counter.Init(found.iFrameCount, rate < vek::kEpsilon ? 2.0f : rate, vek::cAnimCounter::e_Stop);
    rec.strTexture = texture;
    rec.strArea = area;
    vecSprites.push_back(std::move(rec));
    return true;
}

bool cDecor::SetSprite(uint32_t index)
{
    if (index >= vecSprites.size()) return false;
    uCurrentSprite = index;
    const cSpriteRec& s = vecSprites[index];
    if (s.frames.empty()) return false;
    const vek::cTexture* texture = vek::g_pTextureManager ? vek::g_pTextureManager->Get(s.uTexture) : nullptr;
    const float tw = texture ? static_cast<float>(texture->GetWidth()) : 0.0f;
    const float th = texture ? static_cast<float>(texture->GetHeight()) : 0.0f;
    rect.w = s.frames[0].w * tw;
    rect.h = s.frames[0].h * th;
    return true;
}

cDecor::cSpriteRec& cDecor::GetCurrentSprite()
{
    static cSpriteRec empty;
    if (uCurrentSprite < vecSprites.size()) return vecSprites[uCurrentSprite];
    empty = cSpriteRec();
    return empty;
}

// ---- cHouse ----

cHouse::cHouse(const vek::string& name, const vek::string& title, cIsland* owner)
    : cDecor(name, owner), strTitle(title)
{
    iCategory = HouseCategory(name);
    if (owner) owner->AttachBuilding(this);
}

uint32_t cHouse::GetColor() const
{
    if (ModeOf(m_pOwner) == cIsland::e_modeEdit || iState != e_stateNone) return 0xFFFFFFFFu;
    if (!bAvailable) return 0x50FFFFFFu;
    const float alpha = std::floor(cIsland::GetPulse() * 175.0f + 80.0f);
    const uint32_t a = static_cast<uint32_t>(vek::Clamp(alpha, 0.0f, 255.0f));
    return (a << 24) | 0x00FFFFFFu;
}

namespace {
// The halo behind a building on offer, looked up once per game: it points
// into the sprite registry, which goes with the game.
struct cHalo {
    cSprite sprite;
    bool bFetched = false;
};
cHalo g_Halo;
} // namespace

void cHouse::ForgetHalo() { g_Halo = cHalo(); }

void cHouse::DrawHighlight(vek::cQuadBatch& batch)
{
    if (!g_Halo.bFetched) {
        g_Halo.bFetched = true;
        FindSprite("peacock02", "hl", &g_Halo.sprite);
    }
    const cSprite& halo = g_Halo.sprite;
    if (iState != e_stateNone || !(fGlow > 0.0f) || !halo.pFrames || halo.iFrameCount <= 0) return;
    const float side = std::max(rect.w, rect.h) + 8.0f;
    const vek::vec2 c = GetCenter();
    const float angle = m_pOwner ? m_pOwner->fHaloAngle : 0.0f;
    batch.AddRotatedQuad(static_cast<uint32_t>(halo.iTexture),
                         vek::rectf(c.x - side * 0.5f, c.y - side * 0.5f, side, side),
                         vek::PackColor(1.0f, 1.0f, 1.0f, fGlow), halo.pFrames[0], angle);
}

void cHouse::Draw(vek::cQuadBatch& batch)
{
    if (uCurrentSprite < vecSprites.size()) DrawSprite(batch, vecSprites[uCurrentSprite], false);
}

void cHouse::Tick()
{
    cDecor::Tick();
    if (fFireworkDelay > 0.0f) fFireworkDelay -= vek::kFixedStep;
    if (iFireworks > 0 && !(fFireworkDelay > 0.0f)) {
        const vek::vec2 c = GetCenter();
        // Two statements: the offsets draw x first, then y, on every compiler.
        const float dx = IslandRandomRange(-rect.w / 3.0f, rect.w / 3.0f);
        const float dy = IslandRandomRange(-rect.h / 3.0f, rect.h / 3.0f);
        const vek::vec2 at(c.x + dx, c.y + dy);
        if (m_pOwner && m_pOwner->hooks.playOnce) m_pOwner->hooks.playOnce("firework", "total", at);
        --iFireworks;
        fFireworkDelay = IslandRandomRange(0.5f, 0.8f);
        Sound(e_sndSalute);
        if (strName == "statue00" && iFireworks == 0 && iState == e_stateBuilt) bClosingPending = true;
    }
    // The closing comics start once, after the island has recorded the
    // level that the statue finished (the result sequence has left mode 2).
    if (bClosingPending && ModeOf(m_pOwner) != cIsland::e_modeLevel) {
        bClosingPending = false;
        if (g_pGarden && g_pGarden->m_pComics) g_pGarden->m_pComics->SetEpisode(1);
        if (vek::g_pGame) vek::g_pGame->SetFocusWidget("comics");
    }
    if (bAvailable) {
        if (m_pOwner && m_pOwner->pSelected == this) {
            fGlow = std::min(1.0f, fGlow + 0.1f);
        } else if (fGlow > 0.0f) {
            fGlow = std::max(0.0f, fGlow - 0.1f);
            if (m_pOwner && m_pOwner->pHovered == this) fGlow = std::max(0.0f, fGlow - 0.05f);
        }
    }
}

void cHouse::Process()
{
    if (iState != e_stateBuilding) return;
    const cSpriteRec& s = GetCurrentSprite();
    // A sprite with fewer frames than the finished frame would otherwise
    // stay under construction for ever.
    const int32_t finished = std::min(GetSpriteIndex(1), s.iFrameCount - 1);
    if (s.iFrameCount > 1 && s.counter.iFrame < finished) return;
    SetState(e_stateBuilt);
}

void cHouse::OnMessage(int message, int argument)
{
    if (!bAvailable || message != 48 || argument != 1) return;
    if (g_pGarden && g_pGarden->m_iShownHint != -1) {
        if (g_pGarden->m_iShownHint == e_hintConstruct) {
            vek::cGUI* gui = vek::GetEngineGUI();
            if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
        }
        g_pGarden->m_iShownHint = -1;
    }
    Sound(e_sndAreaClick);
    if (iState == e_stateNone && bAvailable && ModeOf(m_pOwner) == cIsland::e_modeLevel) Buy();
}

void cHouse::CopyDef(const cBuild& other)
{
    cDecor::CopyDef(other);
    if (const auto* house = dynamic_cast<const cHouse*>(&other)) {
        strTitle = house->strTitle;
        iPrice = house->iPrice;
        iIncrease = house->iIncrease;
    }
}

vek::vec2 cHouse::GetScreenCenter() const
{
    const vek::vec2 c = GetCenter();
    return m_pOwner ? vek::vec2(c.x - m_pOwner->fScrollX, c.y - m_pOwner->fScrollY) : c;
}

void cHouse::SetTimer(int32_t fireworks)
{
    fFireworkDelay = 0.0f;
    iFireworks = fireworks;
}

void cHouse::Buy()
{
    cPlayer* player = Player();
    const int32_t funds = player ? player->m_iIslandMoney : 0;
    int32_t cost = iPrice;
    if (funds < iPrice) cost = funds < 5 ? funds : funds - 5;
    if (iState != e_stateBuilding) SetState(e_stateBuilding);
    if (player) player->m_iIslandMoney -= cost;
    // The island draws its popups with the view's scroll, so they stand in
    // island coordinates and rise from the building wherever the view is.
    if (m_pOwner && m_pOwner->hooks.popup) m_pOwner->hooks.popup(vek::Formatted("-$%i", cost), GetCenter());
    // The purchase and the funds it took are kept at once. During the
    // result sequence the save holds the step to the next level the
    // purchase leads to, while the sequence takes that step itself.
    if (player) {
        if (m_pOwner && m_pOwner->iMode == cIsland::e_modeLevel)
            player->SaveGameDuringResults();
        else
            player->SaveGame(-1);
    }
}

int cHouse::GetSpriteIndex(int which) const
{
    if (which == 0) return strName == "statue00" ? 3 : 6;
    if (which == 1) return 4;
    return 0;
}

void cHouse::ShowFrame(int which)
{
    cSpriteRec& s = GetCurrentSprite();
    s.counter.iMode = vek::cAnimCounter::e_Stop;
    s.counter.ApplyMode(vek::cAnimCounter::e_Stop, true);
    const int32_t frame = GetSpriteIndex(which);
    s.counter.iFrame = frame < s.iFrameCount ? frame : std::max(0, s.iFrameCount - 1);
}

bool cHouse::ChangeState(int from, int to)
{
    if (from == e_stateBuilding && to == e_stateBuilt) {
        if (m_pOwner && m_pOwner->pHovered == this) m_pOwner->pHovered = nullptr;
        cPlayer* player = Player();
        if (player) player->m_iContinueLevel = -1;
        if (m_pOwner && player && m_pOwner->FindLevelSpot(*this) == player->m_iProgress) {
            const int level = player->m_iLevel;
            if (level >= 0 && static_cast<size_t>(level) < m_pOwner->vecLevelPoints.size()) {
                m_pOwner->stages[4].Reset(0.0f);
                m_pOwner->stages[4].m_fSpeed = 1.0f;
                m_pOwner->stages[4].SetTarget(2.0f);
                int count = 0, stars = 0;
                if (m_pOwner->GetIslandRate(&count, &stars)) {
                    if (m_pOwner->hooks.flyHouse) m_pOwner->hooks.flyHouse(GetScreenCenter(), stars > 0 ? stars - 1 : 9);
                    Sound(e_sndSalute);
                }
            } else {
                m_pOwner->stages[4].Reset(0.0f);
                m_pOwner->stages[4].m_fSpeed = 1.0f;
                m_pOwner->stages[4].SetTarget(-1.0f / 30.0f);
            }
            const cLocaleGD& texts = GetLocaleGD();
            vek::string text;
            if (iCategory == e_catHouse) text = vek::Formatted(texts.IncPeople.c_str(), iIncrease);
            else if (iCategory == e_catMarket) text = vek::Formatted(texts.IncMarket.c_str(), iIncrease);
            if (!text.empty() && m_pOwner->hooks.popup) m_pOwner->hooks.popup(text, GetCenter());
        }
        SetTimer(strName == "statue00" ? 6 : 3);
        if (strName == "animals00") TellGarden(e_refreshToolbars);
    }
    cSpriteRec& s = GetCurrentSprite();
    switch (to) {
    case e_stateBuilding:
        s.counter.ApplyMode(vek::cAnimCounter::e_Stop, true);
        s.counter.iMode = vek::cAnimCounter::e_Once;
        s.counter.ApplyMode(vek::cAnimCounter::e_Once, false);
        Sound(e_sndConstruction);
        break;
    case e_stateBuilt: ShowFrame(1); break;
    case e_stateNone: ShowFrame(0); break;
    default: break;
    }
    return true;
}

bool cHouse::SetState(int to)
{
    if (!ChangeState(iState, to)) return false;
    iState = to;
    return true;
}

// ---- cFactory ----

cFactory::cFactory(const vek::string& name, const vek::string& title, cIsland* owner)
    : cHouse(name, title, owner)
{
    iCategory = e_catFactory;
    processTimer.m_fSpeed = 1.0f;
}

bool cFactory::IsMill() const { return strName == "factory02" && vecSprites.size() >= 2; }

void cFactory::Draw(vek::cQuadBatch& batch)
{
    if (IsMill() && (iState == e_stateBuilt || iState == e_stateWorking)) {
        DrawSprite(batch, vecSprites[1], false);
        return;
    }
    cHouse::Draw(batch);
}

void cFactory::Process()
{
    cHouse::Process();
    if (IsMill() && (iState == e_stateBuilt || iState == e_stateWorking)) {
        vek::cAnimCounter& c = vecSprites[1].counter;
        if (c.iMode == vek::cAnimCounter::e_Stop) {
            c.iMode = vek::cAnimCounter::e_Loop;
            c.ApplyMode(vek::cAnimCounter::e_Loop, false);
        }
        c.Update(vek::kFixedStep);
    }
    if (iState != e_stateWorking) return;
    processTimer.Update(vek::kFixedStep);
    if (processTimer.IsMoving()) return;
    --iUnits;
    if (iUnits < 0) iUnits = 0;
    if (m_pOwner && m_pOwner->hooks.countWare) m_pOwner->hooks.countWare(iOutputWare);
    cFactory* next = m_pOwner ? m_pOwner->FindFactoryByInput(iOutputWare) : nullptr;
    int mode = 0;
    if (next) {
        bool wanted = false;
        if (const cPlayer* player = Player())
            for (const cLevelTask& task : player->m_Tasks)
                if (!task.IsEmpty() && task.iWare == next->iOutputWare) wanted = true;
        if (wanted) mode = 2;
        else next = nullptr;
    }
    if (m_pOwner && m_pOwner->hooks.sendWare) m_pOwner->hooks.sendWare(iOutputWare, this, mode, next);
    SetState(e_stateBuilt);
    TellGarden(e_refreshPanels);
}

void cFactory::LoadState(vek::cBitStream& stream)
{
    iUnits = stream.ReadInt();
    if (iUnits < 0) iUnits = 0;
}

void cFactory::SaveState(vek::cBitStream& stream) const { stream.WriteInt(iUnits); }

void cFactory::CopyDef(const cBuild& other)
{
    cHouse::CopyDef(other);
    if (const auto* factory = dynamic_cast<const cFactory*>(&other)) {
        iInputWare = factory->iInputWare;
        const vek::string output =
            g_pWareManager && factory->iOutputWare != NO_WARE ? g_pWareManager->GetWare(factory->iOutputWare)->strName : "";
        SetOutput(output, factory->fProcessTime);
    }
}

bool cFactory::ChangeState(int from, int to)
{
    if (to == e_stateNone || to == e_stateBuilt) {
        processTimer.Reset(0.0f);
    } else if (to == e_stateWorking) {
        processTimer.Reset(0.0f);
        processTimer.SetTarget(fProcessTime);
        ShowFrame(1);
    }
    return cHouse::ChangeState(from, to);
}

void cFactory::SetInputWare(const vek::string& ware) { iInputWare = WareIndex(ware); }

void cFactory::SetOutput(const vek::string& ware, float processTime)
{
    iOutputWare = WareIndex(ware);
    fProcessTime = processTime > vek::kEpsilon ? processTime : 1.0f;
    cSprite icon;
    uIconTexture = 0;
    iconUV = vek::rectf();
    fIconWidth = fIconHeight = 0.0f;
    if (!ware.empty() && FindSprite("icons00", ware, &icon) == e_spriteFound && icon.iFrameCount > 0) {
        uIconTexture = static_cast<uint32_t>(icon.iTexture);
        iconUV = icon.pFrames[0];
        fIconWidth = icon.fWidth;
        fIconHeight = icon.fHeight;
    }
}

void cFactory::AddInput()
{
    if (m_pOwner && m_pOwner->hooks.trainingStep) m_pOwner->hooks.trainingStep(e_lessonFactory, e_stepFactoryCar);
    ++iUnits;
    TellGarden(e_refreshPanels);
    if (!g_pWareManager || g_pWareManager->GetWare(static_cast<uint32_t>(iInputWare))->GetType() != 0x80000001u) return;
    if (m_pOwner && m_pOwner->hooks.inputAdded) m_pOwner->hooks.inputAdded(this);
}

void cFactory::StartProcessing()
{
    if (iState != e_stateBuilt || iUnits <= 0) return;
    if (m_pOwner && m_pOwner->hooks.trainingStep) m_pOwner->hooks.trainingStep(e_lessonFactory, e_stepFactoryStart);
    SetState(e_stateWorking);
    TellGarden(e_refreshPanels);
}

void cFactory::StopProcessing()
{
    if (iState != e_stateWorking) return;
    SetState(e_stateBuilt);
    TellGarden(e_refreshPanels);
}

// ---- the registry ----

int cBuildingRegistry::Register(cHouse* building)
{
    m_Buildings.push_back(building);
    return static_cast<int>(m_Buildings.size()) - 1;
}

cHouse* cBuildingRegistry::Get(uint32_t index) const
{
    return index < m_Buildings.size() ? m_Buildings[index] : nullptr;
}

cHouse* cBuildingRegistry::Find(const vek::string& name) const
{
    for (cHouse* b : m_Buildings)
        if (b->strName == name) return b;
    return nullptr;
}

cHouse* cBuildingRegistry::Create(uint32_t index, cIsland* island) const
{
    const cHouse* def = Get(index);
    if (!def) return nullptr;
    // The highest value before the new building joins the list.
    const int highest = island ? island->GetMaxIslandValue() : -1;
    cHouse* made = nullptr;
    if (def->GetType() == cBuild::e_typeFactory) made = new cFactory("", "", island);
    else if (def->GetType() == cBuild::e_typeHouse) made = new cHouse("", "", island);
    else return nullptr;
    made->CopyDef(*def);
    if (island && island->iMode == cIsland::e_modeEdit) made->SetState(cHouse::e_stateNone);
    made->iIslandValue = highest + 1 >= 1000000 ? 0 : highest + 1;
    return made;
}

void cBuildingRegistry::Clear()
{
    for (cHouse* b : m_Buildings) delete b;
    m_Buildings.clear();
}

namespace {
void House(cBuildingRegistry& r, const char* name, const vek::string& title, const char* texture,
           int32_t price, int32_t increase)
{
    cHouse* h = new cHouse(name, title);
    h->AddSprite(texture, name);
    h->iIncrease = increase;
    h->iPrice = price;
    r.Register(h);
}

cFactory* Factory(cBuildingRegistry& r, const char* name, const vek::string& title, const char* texture,
                  const char* area, int32_t price, const char* input, const char* output, float time)
{
    cFactory* f = new cFactory(name, title);
    f->AddSprite(texture, area);
    f->SetInputWare(input);
    f->SetOutput(output, time);
    f->iPrice = price;
    r.Register(f);
    return f;
}
} // namespace

void CreateBuildings(cBuildingRegistry& r)
{
    const cLocaleGD& t = GetLocaleGD();
    House(r, "market00", t.Market00, "houses01", 50, 2);
    House(r, "house00", t.House00, "houses00", 50, 1);
    Factory(r, "factory00", t.FactoryOliveOil, "houses03", "factory00", 60, "plant01", "product00", 7.0f);
    House(r, "institute00", t.Institute00, "houses05", 70, 0);
    Factory(r, "factory01", t.FactoryOrangeJuice, "houses04", "factory01", 200, "plant02", "product01", 7.0f);
    House(r, "animals00", t.Animals00, "houses05", 200, 0);
    House(r, "market01", t.Market01, "houses01", 100, 2);
    House(r, "house01", t.House01, "houses00", 250, 1);
    House(r, "market02", t.Market02, "houses01", 450, 2);
    Factory(r, "factory01_1", t.FactoryLemonade, "houses08", "factory01_1", 200, "product01", "product01_1", 5.0f);
    House(r, "house02", t.House02, "houses00", 200, 2);
    House(r, "market03", t.Market03, "houses01", 350, 2);
    // The mill's second sprite is its working animation.
    Factory(r, "factory02", t.Mill, "houses07", "factory02", 500, "plant04", "product02", 6.0f)
        ->AddSprite("houses07", "factory02_life");
    Factory(r, "factory02_1", t.Bakery, "houses08", "factory02_1", 400, "product02", "product02_1", 4.0f);
    House(r, "house03", t.House03, "houses00", 300, 2);
    House(r, "market04", t.Market04, "houses02", 350, 2);
    House(r, "house04", t.House04, "houses00", 350, 3);
    House(r, "market05", t.Market05, "houses03", 500, 2);
    Factory(r, "factory03", t.FactoryGrapeJuice, "houses09", "factory03", 500, "plant06", "product03", 6.0f);
    Factory(r, "factory03_1", t.FactoryWine, "houses04", "factory03", 500, "product03", "product03_1", 3.0f);
    House(r, "house05", t.House05, "houses02", 500, 3);
    House(r, "statue00", t.Statue00, "peacock02", 2000, 0);
}

// ---- the game object's catalogue ----

int cGarden::RegisterBuilding(cHouse* definition) { return m_Buildings.Register(definition); }
cHouse* cGarden::GetBuilding(unsigned index) const { return m_Buildings.Get(index); }
cHouse* cGarden::FindBuilding(const vek::string& name) const { return m_Buildings.Find(name); }
cHouse* cGarden::CreateBuilding(unsigned index, cIsland* island) { return m_Buildings.Create(index, island); }
