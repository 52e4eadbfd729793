#include "game/screens/controls.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/core/geometry.h"
#include "engine/graphics/draw2d.h"
#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"
#include "engine/gui/window.h"
#include "engine/sound/sound.h"
#include "engine/core/format.h"
#include "game/shell/garden.h"
#include "game/shell/middle.h"
#include "game/shell/player.h"
#include "game/shell/texture_info.h"
#include "game/world/building.h"
#include "game/world/effects.h"
#include "game/world/ware.h"

namespace {

constexpr int kButtonLabelAlign = vek::cAlign::Center | vek::cAlign::Middle;
constexpr float kDefaultFps = 30.0f;
// Below this a move takes no time (a float's epsilon).
constexpr float kMoverEpsilon = 1.1920929e-7f;

} // namespace

namespace {
InterfaceSoundHook g_pSoundHook = nullptr;
} // namespace

void PlayInterfaceSound(const vek::string& name)
{
    if (g_pSoundHook) g_pSoundHook(name);
    // Without sound there is nothing to play and nothing to warn about.
    if (!GetSoundManager()) return;
    // Not looping: the sound plays to its end after the instance is gone.
    vek::cSound sound(name);
    sound.Play(true);
}

void SetInterfaceSoundHook(InterfaceSoundHook hook) { g_pSoundHook = hook; }

// ---- sprites shared by the controls ----

namespace {

// The first picture of a sprite, kept by value: the registry's frame lists
// are not held beyond the lookup.
struct cPicture {
    int32_t iTexture = 0;
    vek::rectf uv;
    bool bFound = false;
};

// Looks the sprite up; found only when it has at least one picture.
cPicture LookupPicture(const char* texture, const char* area)
{
    cPicture picture;
    cSprite sprite;
    if (FindSprite(texture, area, &sprite) == e_spriteFound && sprite.iFrameCount > 0 && sprite.pFrames) {
        picture.iTexture = sprite.iTexture;
        picture.uv = sprite.pFrames[0];
        picture.bFound = true;
    }
    return picture;
}

// The star pictures, shared by every star row. A sheet that is not loaded
// yet is asked again on a later draw.
cPicture g_StarFull;
cPicture g_StarEmpty;

// The pictures of the animal tools (normal, hover, pushed, disabled), in
// the order of the animal kinds; shared by every toolbar.
struct cAnimalPictures {
    int32_t iTexture = 0;
    vek::rectf uv[4];
    bool bFound = false;
};
cAnimalPictures g_Animals[kAnimalKinds];

void LookupStars()
{
    if (!g_StarFull.bFound) g_StarFull = LookupPicture("icons00", "star");
    if (!g_StarEmpty.bFound) g_StarEmpty = LookupPicture("icons00", "star_empty");
}

// The picture one UV cell below: the next state in the texture's column.
vek::vec2 CellBelow(const vek::rectf& uv) { return vek::vec2(uv.x, uv.y - uv.h); }

// Lays a state's copy of a picture over the picture's rectangle `r`, with
// the copy's own UV position.
template <class Copy>
void PlaceCopy(Copy& copy, const vek::rectf& r, const vek::vec2& uv)
{
    copy.SetPos(r.x, r.y, 0);
    copy.SetSize(r.w, r.h, 0);
    copy.SetUVPos(uv.x, uv.y, 0);
}

// Lays a hover picture over its normal picture: the same place and size,
// its UV one cell below the normal one's.
template <class Hover, class Normal>
void PlaceHoverCopy(Hover& hover, const Normal& normal)
{
    PlaceCopy(hover, normal.GetRect(), CellBelow(normal.GetUV()));
}

} // namespace

void ForgetControlSprites()
{
    g_StarFull = cPicture();
    g_StarEmpty = cPicture();
    for (cAnimalPictures& animal : g_Animals) animal = cAnimalPictures();
}

// ---- cButtonCtrl ----

cButtonCtrl::cButtonCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cCtrl(name, parent),
      m_Label("", nullptr),
      m_Frames{{"", nullptr}, {"", nullptr}, {"", nullptr}, {"", nullptr}}
{
    m_Label.MarkOwned();
    for (vek::cFrameCtrl& frame : m_Frames) frame.MarkOwned();
    m_Label.SetAlign(kButtonLabelAlign);
}

cButtonCtrl::~cButtonCtrl() = default;

void cButtonCtrl::Draw()
{
    // Disabled overrides the picture, not the state.
    const int frame = GetState(e_Disabled) ? e_frameDisabled : m_iVisualState;
    if (frame >= 0 && frame < e_frameCount) m_Frames[frame].Draw();
    if (!m_Label.GetText().empty()) m_Label.Draw();
}

int cButtonCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        m_iVisualState = e_statePushed;
        PlayInterfaceSound("click");
        break;
    case vek::cGUI::e_wndLButtonUp:
        if (m_iVisualState != e_statePushed) break;
        PostToWindow(vek::cGUI::e_wndCommand, 0, static_cast<unsigned>(GetID()));
        // The cursor is still over the button.
        m_iVisualState = e_stateHover;
        PlayInterfaceSound("mouse_in");
        break;
    case vek::cGUI::e_wndMouseEnter:
        m_iVisualState = e_stateHover;
        PlayInterfaceSound("mouse_in");
        break;
    case vek::cGUI::e_wndMouseLeave:
        m_iVisualState = e_stateNormal;
        break;
    default:
        break;
    }
    // Enter and leave go on to the window.
    return vek::cCtrl::OnMessage(message, a, b);
}

void cButtonCtrl::UpdateLayout()
{
    const vek::rectf r = m_Frames[e_frameNormal].GetRect();
    const vek::vec2 border = m_Frames[e_frameNormal].GetBorderSize();
    m_Label.SetPos(r.x, r.y, 0);
    m_Label.SetSize(r.w, r.h, 0);
    // The pushed, hover and disabled frames: the normal frame's place and
    // borders, each its own cell further down the texture's column.
    for (int i = e_framePushed; i < e_frameCount; ++i) {
        vek::cFrameCtrl& frame = m_Frames[i];
        PlaceCopy(frame, r, vek::vec2(m_UVOrigin.x, m_UVOrigin.y - static_cast<float>(i) * m_UVCell.y));
        frame.SetSize(border.x, border.y, e_frmBorder);
    }
}

void cButtonCtrl::SetPos(float x, float y, int parts)
{
    m_Frames[e_frameNormal].SetPos(x, y, parts);
    UpdateLayout();
}

void cButtonCtrl::MoveBy(float dx, float dy, int parts)
{
    m_Frames[e_frameNormal].MoveBy(dx, dy, parts);
    UpdateLayout();
}

void cButtonCtrl::SetSize(float w, float h, int parts)
{
    m_Frames[e_frameNormal].SetSize(w, h, parts);
    UpdateLayout();
}

void cButtonCtrl::SetUVPos(float u, float v, int parts)
{
    m_UVOrigin = vek::vec2(u, v);
    m_Frames[e_frameNormal].SetUVPos(u, v, parts);
    UpdateLayout();
}

void cButtonCtrl::SetUVSize(float w, float h, int parts)
{
    if (parts == e_btnNormal) m_UVCell = vek::vec2(w, h);
    for (vek::cFrameCtrl& frame : m_Frames) frame.SetUVSize(w, h, parts);
    UpdateLayout();
}

bool cButtonCtrl::HitTest(float x, float y) const { return m_Frames[e_frameNormal].HitTest(x, y); }

vek::rect<float> cButtonCtrl::GetRect() const { return m_Frames[e_frameNormal].GetRect(); }

const char* cButtonCtrl::ClassName() const { return "cButtonCtrl"; }

void cButtonCtrl::SetText(const vek::string& text) { m_Label.SetText(text); }

const vek::string& cButtonCtrl::GetText() const { return m_Label.GetText(); }

void cButtonCtrl::SetFontPrt(const vek::string& name) { m_Label.SetFontPrt(name); }

void cButtonCtrl::SetColor(float r, float g, float b) { m_Label.SetColor(r, g, b); }

void cButtonCtrl::SetAlign(int flags) { m_Label.SetAlign(flags); }

void cButtonCtrl::SetTexture(const vek::string& name, int)
{
    for (vek::cFrameCtrl& frame : m_Frames) frame.SetTexture(name);
}

const vek::cFrameCtrl* cButtonCtrl::GetFrame(int which) const
{
    return which >= 0 && which < e_frameCount ? &m_Frames[which] : nullptr;
}

// ---- cTabButtonCtrl ----

cTabButtonCtrl::cTabButtonCtrl(const vek::string& name, vek::cWindow* parent)
    : cButtonCtrl(name, parent)
{
}

cTabButtonCtrl::~cTabButtonCtrl() = default;

int cTabButtonCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        if (IsChecked()) break;
        SetCheck(true);
        PostToWindow(vek::cGUI::e_wndCheck, 1, static_cast<unsigned>(GetID()));
        break;
    case vek::cGUI::e_wndMouseEnter:
        if (!IsChecked()) m_iVisualState = e_stateHover;
        break;
    case vek::cGUI::e_wndMouseLeave:
        if (!IsChecked()) m_iVisualState = e_stateNormal;
        break;
    default:
        break;
    }
    return vek::cCtrl::OnMessage(message, a, b);
}

void cTabButtonCtrl::SetCheck(bool checked) { m_iVisualState = checked ? e_statePushed : e_stateNormal; }

bool cTabButtonCtrl::IsChecked() const { return m_iVisualState == e_statePushed; }

// ---- cCheckBoxCtrl, cCheckBoxUpCtrl ----

cCheckBoxCtrl::cCheckBoxCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cCheckBoxSysCtrl(name, parent), m_HoverBox("", nullptr), m_HoverCheck("", nullptr)
{
    m_HoverBox.MarkOwned();
    m_HoverCheck.MarkOwned();
}

cCheckBoxCtrl::~cCheckBoxCtrl() = default;

void cCheckBoxCtrl::Draw()
{
    if (m_iHover)
        (m_bChecked ? m_HoverCheck : m_HoverBox).Draw();
    else
        (m_bChecked ? m_Check : m_Box).Draw();
    m_Label.Draw();
}

int cCheckBoxCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        PlayInterfaceSound("click");
        break;
    case vek::cGUI::e_wndMouseEnter:
        m_iHover = 1;
        PlayInterfaceSound("mouse_in");
        break;
    case vek::cGUI::e_wndMouseLeave:
        m_iHover = 0;
        break;
    default:
        break;
    }
    return vek::cCheckBoxSysCtrl::OnMessage(message, a, b);
}

void cCheckBoxCtrl::UpdateLayout()
{
    vek::cCheckBoxSysCtrl::UpdateLayout();
    PlaceHoverCopy(m_HoverBox, m_Box);
    PlaceHoverCopy(m_HoverCheck, m_Check);
}

void cCheckBoxCtrl::SetUVPos(float u, float v, int parts)
{
    vek::cCheckBoxSysCtrl::SetUVPos(u, v, parts);
    UpdateLayout();
}

void cCheckBoxCtrl::SetUVSize(float w, float h, int parts)
{
    vek::cCheckBoxSysCtrl::SetUVSize(w, h, parts);
    if (parts & e_cbNormal) m_HoverBox.SetUVSize(w, h, 0);
    if (parts & e_cbPush) m_HoverCheck.SetUVSize(w, h, 0);
    UpdateLayout();
}

const char* cCheckBoxCtrl::ClassName() const { return "cCheckBoxCtrl"; }

void cCheckBoxCtrl::SetTexture(const vek::string& name, int parts)
{
    vek::cCheckBoxSysCtrl::SetTexture(name, parts);
    if (parts & e_cbNormal) m_HoverBox.SetTexture(name);
    if (parts & e_cbPush) m_HoverCheck.SetTexture(name);
}

cCheckBoxUpCtrl::cCheckBoxUpCtrl(const vek::string& name, vek::cWindow* parent)
    : cCheckBoxCtrl(name, parent)
{
}

vek::rect<float> cCheckBoxUpCtrl::GetStarRect(int k) const
{
    const vek::rectf r = GetRect();
    const float n = static_cast<float>(m_iStarCount);
    const float base = r.x + (r.w - (n * 0.5f + 1.0f) * kStarSize) * 0.5f;
    return vek::rectf(base + kStarSize * 0.5f * static_cast<float>(k), r.y - kStarSize, kStarSize, kStarSize);
}

void cCheckBoxUpCtrl::Draw()
{
    cCheckBoxCtrl::Draw();
    LookupStars();
    for (int k = 1; k <= m_iStarCount; ++k) {
        const cPicture& star = k <= m_iFilledStars ? g_StarFull : g_StarEmpty;
        if (star.bFound) vek::guidraw::Quad(star.iTexture, GetStarRect(k), 0xFFFFFFFFu, star.uv);
    }
}

void cCheckBoxUpCtrl::SetFilledStars(int count) { m_iFilledStars = count; }

void cCheckBoxUpCtrl::SetStarCount(int count) { m_iStarCount = count; }

// ---- cSliderCtrlEx ----

cSliderCtrlEx::cSliderCtrlEx(const vek::string& name, vek::cWindow* parent)
    : vek::cSliderSysCtrl(name, parent), m_HoverThumb("", nullptr), m_HoverTrack("", nullptr)
{
    m_HoverThumb.MarkOwned();
    m_HoverTrack.MarkOwned();
}

cSliderCtrlEx::~cSliderCtrlEx() = default;

void cSliderCtrlEx::Draw()
{
    if (m_iHover) {
        m_HoverTrack.Draw();
        m_HoverThumb.Draw();
    } else {
        m_Track.Draw();
        m_Thumb.Draw();
    }
}

int cSliderCtrlEx::OnMessage(int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndMouseEnter) {
        m_iHover = 1;
        PlayInterfaceSound("mouse_in");
    } else if (message == vek::cGUI::e_wndMouseLeave) {
        m_iHover = 0;
    }
    return vek::cSliderSysCtrl::OnMessage(message, a, b);
}

void cSliderCtrlEx::UpdateLayout()
{
    // Places the thumb along the track for the value (which lays out again).
    vek::cSliderSysCtrl::UpdateLayout();
    PlaceHoverCopy(m_HoverTrack, m_Track);
    PlaceHoverCopy(m_HoverThumb, m_Thumb);
}

void cSliderCtrlEx::SetSize(float w, float h, int parts)
{
    if (parts & e_sldImage) {
        m_HoverThumb.SetSize(w, h, 0);
        m_Thumb.SetSize(w, h, 0);
    } else {
        m_HoverTrack.SetSize(w, h, parts);
        m_Track.SetSize(w, h, parts);
    }
    UpdateLayout();
}

void cSliderCtrlEx::SetUVPos(float u, float v, int parts)
{
    vek::cSliderSysCtrl::SetUVPos(u, v, parts);
    UpdateLayout();
}

void cSliderCtrlEx::SetUVSize(float w, float h, int parts)
{
    vek::cSliderSysCtrl::SetUVSize(w, h, parts);
    if (parts & e_sldImage)
        m_HoverThumb.SetUVSize(w, h, 0);
    else
        m_HoverTrack.SetUVSize(w, h, parts);
    UpdateLayout();
}

const char* cSliderCtrlEx::ClassName() const { return "cSliderCtrlEx"; }

void cSliderCtrlEx::SetTexture(const vek::string& name, int parts)
{
    vek::cSliderSysCtrl::SetTexture(name, parts);
    if (parts & e_sldImage)
        m_HoverThumb.SetTexture(name);
    else
        m_HoverTrack.SetTexture(name);
}

// ---- cToolbarItemCtrl ----

namespace {

// The picture of a finished building among its sprite's pictures.
constexpr int kFinishedBuildingFrame = 4;
// The price stands this far below the item's bottom edge.
constexpr float kPriceDrop = 26.0f;
constexpr int kPriceAlign = vek::cAlign::Center | vek::cAlign::Bottom;

const cAnimalPictures& AnimalPictures(int kind)
{
    static const char* const kNames[kAnimalKinds] = {"ostrich", "goat", "hive", "peacock"};
    cAnimalPictures& entry = g_Animals[kind];
    if (!entry.bFound) {
        cSprite sprite;
        if (FindSprite("gui_plants", kNames[kind], &sprite) == e_spriteFound && sprite.pFrames &&
            sprite.iFrameCount >= 4) {
            entry.iTexture = sprite.iTexture;
            for (int i = 0; i < 4; ++i) entry.uv[i] = sprite.pFrames[i];
            entry.bFound = true;
        }
    }
    return entry;
}

// The unlocked plant sort and animal kind of the current profile; a new
// profile's values while there is none.
void CurrentUnlocks(int& sorts, int& animals)
{
    const cPlayer* player = g_pGarden ? g_pGarden->GetPlayer() : nullptr;
    sorts = player ? player->m_iSorts : 0;
    animals = player ? player->m_iAnimals : -1;
}

} // namespace

cToolbarItemCtrl::cToolbarItemCtrl(cToolbarCtrl* owner) : vek::cImageCtrl("", nullptr), m_pOwner(owner) {}

const char* cToolbarItemCtrl::ClassName() const { return "cToolbarItemCtrl"; }

void cToolbarItemCtrl::SetWare(int index)
{
    m_pWare = g_pWareManager ? g_pWareManager->GetSort(static_cast<uint32_t>(index)) : nullptr;
    m_iWareIndex = index;
}

void cToolbarItemCtrl::SetBuilding(int index)
{
    const cBuild* found = nullptr;
    if (g_pGarden && index >= 0) found = g_pGarden->GetBuildings().Get(static_cast<uint32_t>(index));
    m_pBuilding = const_cast<cHouse*>(dynamic_cast<const cHouse*>(found));
}

void cToolbarItemCtrl::SetAnimal(int kind) { m_iAnimal = kind; }

void cToolbarItemCtrl::SetUVs(const vek::rectf uvs[e_uvCount])
{
    for (int i = 0; i < e_uvCount; ++i) m_UV[i] = uvs[i];
}

bool cToolbarItemCtrl::IsAvailableFor(int sorts, int animals) const
{
    if (m_pBuilding) return true;
    if (m_pWare) {
        if (IsGrass(*m_pWare)) return animals != -1;
        if (IsFlowers(*m_pWare)) return animals >= 2;
        // By the item's own ware index: a product's index gives the default
        // sort, whose own index of 0 would offer it at once.
        return m_iWareIndex >= 0 && m_iWareIndex <= sorts;
    }
    return m_iAnimal <= animals;
}

bool cToolbarItemCtrl::IsAvailable() const
{
    int sorts = 0;
    int animals = -1;
    CurrentUnlocks(sorts, animals);
    return IsAvailableFor(sorts, animals);
}

bool cToolbarItemCtrl::PlacePrice()
{
    if (!m_pOwner || m_pBuilding) return false;
    int price = 0;
    if (m_pWare)
        price = m_pWare->iPrice;
    else if (m_iAnimal >= 0 && m_iAnimal < kAnimalKinds)
        price = g_pGarden ? g_pGarden->GetBalance().GetAnimalPrice(m_iAnimal) : 0;
    else
        return false;
    vek::cLabelCtrl& label = m_pOwner->m_Price;
    label.SetText(vek::Formatted("$%i", price));
    label.SetPos(m_Rect.x, m_Rect.y - kPriceDrop, 0);
    return true;
}

void cToolbarItemCtrl::DrawPrice()
{
    if (PlacePrice()) m_pOwner->m_Price.Draw();
}

void cToolbarItemCtrl::Draw()
{
    if (!IsAvailable()) return;
    // The state picture: disabled, else pressed, else hovered, else normal.
    const int state = GetState(e_Disabled) ? e_uvDisabled
                      : m_uPressed         ? e_uvPushed
                      : m_uHover           ? e_uvHover
                                           : e_uvNormal;
    if (m_pBuilding) {
        if (m_pBuilding->vecSprites.empty()) return;
        cSprite sprite;
        const auto& first = m_pBuilding->vecSprites.front();
        if (FindSprite(first.strTexture, first.strArea, &sprite) == e_spriteFound && sprite.pFrames &&
            kFinishedBuildingFrame < sprite.iFrameCount)
            vek::guidraw::Quad(sprite.iTexture, m_Rect, vek::kOpaqueWhite, sprite.pFrames[kFinishedBuildingFrame]);
        return;
    }
    if (m_pWare) {
        vek::guidraw::Quad(m_pOwner ? m_pOwner->GetTextureID() : 0, m_Rect, vek::kOpaqueWhite, m_UV[state]);
        DrawPrice();
        return;
    }
    if (m_iAnimal < 0 || m_iAnimal >= kAnimalKinds) return;
    const cAnimalPictures& pictures = AnimalPictures(m_iAnimal);
    if (pictures.bFound) vek::guidraw::Quad(pictures.iTexture, m_Rect, vek::kOpaqueWhite, pictures.uv[state]);
    DrawPrice();
}

int cToolbarItemCtrl::OnMessage(int message, unsigned, unsigned)
{
    if (!IsAvailable()) return 0;
    switch (message) {
    case vek::cGUI::e_wndLButtonDown:
        m_uPressed = 1;
        break;
    case vek::cGUI::e_wndLButtonUp:
        m_uPressed = 0;
        break;
    case vek::cGUI::e_wndMouseEnter:
        if (!GetState(e_Disabled)) {
            PlayInterfaceSound("mouse_in");
            m_uHover = 1;
        }
        if (m_pOwner)
            m_pOwner->SendToWindow(message, static_cast<unsigned>(m_pOwner->GetHoveredItem()),
                                   static_cast<unsigned>(m_pOwner->GetID()));
        break;
    case vek::cGUI::e_wndMouseLeave:
        m_uHover = 0;
        m_uPressed = 0;
        if (m_pOwner)
            m_pOwner->SendToWindow(message, static_cast<unsigned>(m_pOwner->GetHoveredItem()),
                                   static_cast<unsigned>(m_pOwner->GetID()));
        break;
    default:
        break;
    }
    return message == vek::cGUI::e_wndChar ? 1 : 0;
}

// ---- cToolbarCtrl ----

namespace {

// The first centre strip laid out in the run gives the picture's scale for
// every strip: the texture repeats instead of stretching.
struct cStripReference {
    bool bTaken = false;
    vek::rectf rect;
    vek::rectf uv;
};
cStripReference g_Strip;

bool GetPieceUV(vek::cCtrl* piece, vek::rectf& uv)
{
    if (const auto* frame = dynamic_cast<const vek::cFrameCtrl*>(piece)) {
        uv = frame->GetUV();
        return true;
    }
    if (const auto* image = dynamic_cast<const vek::cImageCtrl*>(piece)) {
        uv = image->GetUV();
        return true;
    }
    return false;
}

} // namespace

void cToolbarCtrl::ForgetStripReference() { g_Strip = cStripReference(); }

cToolbarCtrl::cToolbarCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cToolbarSysCtrl(name, parent), m_Price("", nullptr)
{
    m_Price.MarkOwned();
    m_Price.SetAlign(kPriceAlign);
    m_Price.SetFontPrt("header24x24");
}

cToolbarCtrl::~cToolbarCtrl() = default;

const char* cToolbarCtrl::ClassName() const { return "cToolbarCtrl"; }

void cToolbarCtrl::SetTexture(const vek::string& name) { m_iTexture = vek::guidraw::FindTexture(name); }

cToolbarItemCtrl* cToolbarCtrl::GetItem(unsigned index) const
{
    return dynamic_cast<cToolbarItemCtrl*>(GetItemCtrl(index));
}

int cToolbarCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    const bool press = message == vek::cGUI::e_wndLButtonDown;
    if ((press || message == vek::cGUI::e_wndLButtonUp) && IsHoveredValid()) {
        if (vek::cCtrl* item = m_Items[static_cast<size_t>(m_iHovered)].pCtrl) item->OnMessage(message, a, b);
    }
    if (press && IsHoveredValid() && static_cast<unsigned>(m_iHovered) < VisibleEnd()) {
        // A tool the player has not unlocked is not drawn: a click on its
        // empty place must not choose it.
        const cToolbarItemCtrl* item = GetItem(static_cast<unsigned>(m_iHovered));
        if (item && !item->GetState(e_Disabled) && item->IsAvailable())
            SendToWindow(vek::cGUI::e_wndItemSelect, static_cast<unsigned>(m_iHovered),
                         static_cast<unsigned>(GetID()));
        return vek::cCtrl::OnMessage(message, a, b);
    }
    return vek::cToolbarSysCtrl::OnMessage(message, a, b);
}

unsigned cToolbarCtrl::GetVisibleCount() const
{
    const float step = m_ItemSize.x + kItemGap;
    if (!(step > 0.0f)) return 0;
    const float count = (m_Rect.w + kItemGap) / step;
    if (!(count >= 1.0f)) return 0;
    return count < 4294967295.0f ? static_cast<unsigned>(count) : 4294967295u;
}

float cToolbarCtrl::GetItemWidth() const { return m_ItemSize.x; }

float cToolbarCtrl::StripWidthFor(int sorts, int animals) const
{
    if (m_Items.empty()) return 0.0f;
    long long n = 20;
    if (const cToolbarItemCtrl* first = GetItem(0); first && first->GetWare()) {
        if (IsAnimalFood(*first->GetWare()))
            n = (animals >= 0 ? 1 : 0) + (animals > 1 ? 1 : 0);
        else
            n = static_cast<long long>(sorts) + 1;
    }
    const long long visible = GetVisibleCount();
    if (n > visible) n = visible;
    return (m_ItemSize.x + kItemGap) * static_cast<float>(n) - kItemGap;
}

float cToolbarCtrl::GetStripWidth() const
{
    int sorts = 0;
    int animals = -1;
    CurrentUnlocks(sorts, animals);
    return StripWidthFor(sorts, animals);
}

void cToolbarCtrl::UpdateLayout()
{
    m_Price.SetSize(m_ItemSize.x, m_ItemSize.y, 0);

    float x = m_Rect.x;
    const float y = m_Rect.y + m_Rect.h - m_ItemSize.y;
    const unsigned end = VisibleEnd();
    for (unsigned i = m_uFirstVisible; i < end; ++i) {
        vek::cCtrl* item = m_Items[i].pCtrl;
        if (!item) continue;
        item->SetPos(x, y, 0);
        item->SetSize(m_ItemSize.x, m_ItemSize.y, 0);
        x += m_ItemSize.x + kItemGap;
    }

    if (m_pLeft) {
        const vek::rectf left = m_pLeft->GetRect();
        m_pLeft->SetPos(m_Rect.x - left.w, left.y, 0);
    }
    if (m_pCentre) {
        const vek::rectf centre = m_pCentre->GetRect();
        vek::rectf uv;
        const bool hasUV = GetPieceUV(m_pCentre, uv);
        if (!g_Strip.bTaken) {
            g_Strip.bTaken = true;
            g_Strip.rect = centre;
            g_Strip.uv = uv;
        }
        const float width = GetStripWidth();
        m_pCentre->SetSize(width, centre.h, 0);
        // A reference of no width gives no scale: the picture is left as it is.
        if (hasUV && g_Strip.rect.w != 0.0f)
            m_pCentre->SetUVSize(g_Strip.uv.w * width / g_Strip.rect.w, g_Strip.uv.h, 0);
        if (m_pRight) {
            const vek::rectf now = m_pCentre->GetRect();
            m_pRight->SetPos(now.x + now.w, m_pRight->GetRect().y, 0);
        }
    }
}

void cToolbarCtrl::EnableState(int flags)
{
    vek::cToolbarSysCtrl::EnableState(flags);
    for (vek::cCtrl* piece : {m_pLeft, m_pCentre, m_pRight})
        if (piece) piece->EnableState(flags);
}

void cToolbarCtrl::DisableState(int flags)
{
    vek::cToolbarSysCtrl::DisableState(flags);
    for (vek::cCtrl* piece : {m_pLeft, m_pCentre, m_pRight})
        if (piece) piece->DisableState(flags);
}

void cToolbarCtrl::SetPieces(vek::cCtrl* left, vek::cCtrl* centre, vek::cCtrl* right)
{
    m_pLeft = left;
    m_pCentre = centre;
    m_pRight = right;
    UpdateLayout();
}

void cToolbarCtrl::Append(cToolbarItemCtrl* item, int data)
{
    if (!InsertItemCtrl(GetItemCount(), item, data)) delete item;
}

void cToolbarCtrl::AddWareItem(const vek::rectf uvs[cToolbarItemCtrl::e_uvCount], int wareIndex)
{
    auto* item = new cToolbarItemCtrl(this);
    item->SetUVs(uvs);
    item->SetWare(wareIndex);
    Append(item, wareIndex);
}

void cToolbarCtrl::AddBuildingItem(int index)
{
    auto* item = new cToolbarItemCtrl(this);
    item->SetBuilding(index);
    Append(item, index);
}

void cToolbarCtrl::AddAnimalItem(int kind)
{
    if (kind < 0) return;
    auto* item = new cToolbarItemCtrl(this);
    item->SetAnimal(kind);
    Append(item, kind);
}

cHouse* cToolbarCtrl::GetItemBuilding(unsigned index) const
{
    const cToolbarItemCtrl* item = GetItem(index);
    return item ? item->GetBuilding() : nullptr;
}

// ---- vec4, cColorMover ----

float Distance(const vec4& x, const vec4& y)
{
    const vec4 d = y - x;
    return std::sqrt(d.r * d.r + d.g * d.g + d.b * d.b + d.a * d.a);
}

void cColorMover::MoveTo(const vec4& target)
{
    m_From = m_Value;
    m_To = target;
    m_fTime = 0.0f;
    m_fDuration = m_fSpeed > 0.0f ? Distance(m_To, m_From) / m_fSpeed : 0.0f;
    // Also a distance that is not a number: the colour is set at once
    // rather than glide through undefined values.
    if (!(m_fDuration >= kMoverEpsilon)) {
        m_fDuration = 0.0f;
        m_Value = m_To;
    }
}

void cColorMover::SetValue(const vec4& value)
{
    m_From = m_To = m_Value = value;
    m_fTime = m_fDuration = 0.0f;
}

int cColorMover::Update(float seconds)
{
    if (m_fTime == m_fDuration) return e_Idle;
    if (seconds > 0.0f) m_fTime += seconds;
    if (m_fTime >= m_fDuration) {
        m_fTime = m_fDuration;
        m_Value = m_To;
        return e_Arrived;
    }
    m_Value = m_From + (m_To - m_From) * (m_fTime / m_fDuration);
    return e_Moving;
}

// ---- cLinkCtrl ----

cLinkCtrl::cLinkCtrl(const vek::string& name, vek::cWindow* parent) : vek::cLabelCtrl(name, parent) {}

cLinkCtrl::~cLinkCtrl() = default;

const char* cLinkCtrl::ClassName() const { return "cLinkCtrl"; }

int cLinkCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case vek::cGUI::e_wndTimer: {
        m_Mover.Update(static_cast<float>(a) / 1000.0f);
        const vec4& c = m_Mover.GetValue();
        m_uColor = vek::PackColor(c.r, c.g, c.b, 1.0f);
        break;
    }
    case vek::cGUI::e_wndLButtonUp:
        // The window also hands the release to the control pressed last;
        // only a release over the link follows it.
        if (m_pParent && m_pParent->GetHoveredControl() == this)
            PostToWindow(vek::cGUI::e_wndCommand, 0, static_cast<unsigned>(GetID()));
        break;
    case vek::cGUI::e_wndMouseEnter:
        m_Mover.MoveTo(m_Highlight);
        if (g_pMiddle) g_pMiddle->SetCursor("hand");
        break;
    case vek::cGUI::e_wndMouseLeave:
        m_Mover.MoveTo(m_Normal);
        if (g_pMiddle) g_pMiddle->SetCursor("pointer");
        break;
    default:
        break;
    }
    return vek::cCtrl::OnMessage(message, a, b);
}

void cLinkCtrl::SetColor(float r, float g, float b, int flags)
{
    const vec4 colour(r, g, b, 1.0f);
    const auto which = static_cast<uint32_t>(flags);
    if (which & e_lnkNormal) {
        m_Normal = colour;
        m_Mover.SetValue(colour);
        m_uColor = vek::PackColor(r, g, b, 1.0f);
    }
    if (which & e_lnkHighlight) m_Highlight = colour;
}

uint32_t cLinkCtrl::GetNormalColor() const { return vek::PackColor(m_Normal.r, m_Normal.g, m_Normal.b, 1.0f); }

uint32_t cLinkCtrl::GetHighlightColor() const
{
    return vek::PackColor(m_Highlight.r, m_Highlight.g, m_Highlight.b, 1.0f);
}

// ---- cAnimationCtrl ----

cAnimationCtrl::cAnimationCtrl(const vek::string& name, vek::cWindow* parent)
    : vek::cImageCtrl(name, parent)
{
    m_Counter.iMode = vek::cAnimCounter::e_Loop;
    m_Counter.iFrameCount = 1;
    m_Counter.fFrameTime = 1.0f / kDefaultFps;
}

cAnimationCtrl::~cAnimationCtrl() = default;

const char* cAnimationCtrl::ClassName() const { return "cAnimationCtrl"; }

void cAnimationCtrl::Draw() { vek::guidraw::Quad(m_iTexture, m_Rect, m_uColor, GetUV()); }

int cAnimationCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    if (message == vek::cGUI::e_wndTimer && m_Counter.Update(static_cast<float>(a) / 1000.0f) > 0) {
        const int f = m_Counter.iFrame;
        const float c = static_cast<float>(m_iColumns);
        const float r = static_cast<float>(m_iRows);
        m_UVSize = vek::vec2(1.0f / c, 1.0f / r);
        m_UVPos.x = static_cast<float>(f % m_iColumns) / c;
        m_UVPos.y = 1.0f - (1.0f / r + static_cast<float>(f / m_iColumns) / r);
    }
    return vek::cCtrl::OnMessage(message, a, b);
}

void cAnimationCtrl::SetTileset(int columns, int rows, float fps)
{
    // The picture size is 1 / columns by 1 / rows of the texture.
    m_iColumns = std::max(columns, 1);
    m_iRows = std::max(rows, 1);
    // A grid too large for the frame counter plays its first frames only.
    const int64_t frames = static_cast<int64_t>(m_iColumns) * m_iRows;
    m_Counter.iFrameCount =
        static_cast<int32_t>(std::min<int64_t>(frames, std::numeric_limits<int32_t>::max()));
    m_Counter.iFrame = 0;
    m_Counter.fElapsed = 0.0f;
    m_Counter.iDirection = 1;
    m_Counter.iMode = vek::cAnimCounter::e_Loop;
    m_Counter.fFrameTime = 1.0f / (fps > 0.0f ? fps : kDefaultFps);
    m_Counter.ApplyMode(m_Counter.iMode, true);
}

// ---- cImageCtrlEx ----

cImageCtrlEx::cImageCtrlEx(const vek::string& name, vek::cWindow* parent)
    : vek::cImageCtrl(name, parent)
{
}

const char* cImageCtrlEx::ClassName() const { return "cImageCtrlEx"; }

void cImageCtrlEx::SetColor(float r, float g, float b, float a) { m_uColor = vek::PackColor(r, g, b, a); }

vek::cImageCtrl* ToImageCtrl(vek::cCtrl* control) { return dynamic_cast<vek::cImageCtrl*>(control); }
