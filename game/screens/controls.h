#pragma once
// The game's own controls, as the screen scripts create them: each is made
// as Class(parent window or nil, name) and, with a parent, joins that window,
// which owns and deletes it.
//
// They draw the game's own pictures: buttons, check boxes, sliders and
// toolbar tools have hover pictures (a button a pushed one too) and play
// the interface sounds, a link glides to its highlight colour. The ones a
// player clicks tell their window: buttons, links and goal lines with the
// control command (48), tabs and check boxes with 49, sliders with 51,
// toolbars with 53. Each class below says what it draws and sends.
#include <cstdint>

#include "engine/core/anim.h"
#include "engine/core/vekstring.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/sysctrl.h"

// Plays one of the interface sounds ("click", "mouse_in", "typing") once,
// by name; a sound that is not loaded only logs the sound manager's warning.
void PlayInterfaceSound(const vek::string& name);
// Something that wants to know which interface sounds were asked for (the
// tests); null for none. Called before the sound is played.
using InterfaceSoundHook = void (*)(const vek::string& name);
void SetInterfaceSoundHook(InterfaceSoundHook hook);

// The game's push button: a label over four frames (normal, pushed, hover,
// disabled) and a visual state (0 normal, 1 pushed, 2 hover). The normal
// frame is the button's geometry; the other frames follow it, their
// pictures one UV cell height below each other in the texture. Posts the
// control command (48) when released over itself after a press.
class cButtonCtrl : public vek::cCtrl {
public:
    enum eFrame { e_frameNormal = 0, e_framePushed, e_frameHover, e_frameDisabled, e_frameCount };
    enum eVisual { e_stateNormal = 0, e_statePushed = 1, e_stateHover = 2 };

    cButtonCtrl(const vek::string& name, vek::cWindow* parent);
    ~cButtonCtrl() override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    void SetPos(float x, float y, int parts) override;
    void MoveBy(float dx, float dy, int parts) override;
    void SetSize(float w, float h, int parts) override;
    // The UV origin of the normal picture; the others lie below it.
    void SetUVPos(float u, float v, int parts) override;
    // Every frame takes the size; only parts of exactly e_btnNormal set the
    // cell height the other pictures are found by.
    void SetUVSize(float w, float h, int parts) override;
    bool HitTest(float x, float y) const override;
    vek::rect<float> GetRect() const override;
    const char* ClassName() const override;

    // Text, font, colour and alignment of the label part.
    virtual void SetText(const vek::string& text);
    virtual const vek::string& GetText() const;
    virtual void SetFontPrt(const vek::string& name);
    virtual void SetColor(float r, float g, float b);
    virtual void SetAlign(int flags);
    // The texture of all four frames; the part flags are taken for the
    // script binding's signature.
    virtual void SetTexture(const vek::string& name, int parts);

    int32_t GetVisualState() const { return m_iVisualState; }
    const vek::cLabelSysCtrl& GetLabel() const { return m_Label; }
    // Null outside 0 to 3.
    const vek::cFrameCtrl* GetFrame(int which) const;
    vek::vec2 GetUVOrigin() const { return m_UVOrigin; }
    vek::vec2 GetUVCell() const { return m_UVCell; }

protected:
    vek::cLabelSysCtrl m_Label;
    vek::cFrameCtrl m_Frames[e_frameCount];
    int32_t m_iVisualState = e_stateNormal;
    vek::vec2 m_UVOrigin{0.0f, 0.0f};
    vek::vec2 m_UVCell{0.0f, 0.0f};
};

// A button that stays pushed: the visual state 1 means checked. A press on
// an unchecked tab checks it and posts 49 (a = 1); releasing the others of
// its group is the window's work.
class cTabButtonCtrl : public cButtonCtrl {
public:
    cTabButtonCtrl(const vek::string& name, vek::cWindow* parent);
    ~cTabButtonCtrl() override;

    int OnMessage(int message, unsigned a, unsigned b) override;

    // Sets the state to 1 or 0, telling nobody.
    virtual void SetCheck(bool checked);
    virtual bool IsChecked() const;
};

// The engine's check box with a hover picture of the box and of the check,
// each one UV cell height below its normal picture, and the interface
// sounds.
class cCheckBoxCtrl : public vek::cCheckBoxSysCtrl {
public:
    cCheckBoxCtrl(const vek::string& name, vek::cWindow* parent);
    ~cCheckBoxCtrl() override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    void SetUVPos(float u, float v, int parts) override;
    void SetUVSize(float w, float h, int parts) override;
    const char* ClassName() const override;
    void SetTexture(const vek::string& name, int parts) override;

    bool IsHovered() const { return m_iHover != 0; }
    const vek::cImageCtrl& GetHoverBox() const { return m_HoverBox; }
    const vek::cImageCtrl& GetHoverCheck() const { return m_HoverCheck; }

protected:
    vek::cImageCtrl m_HoverBox;
    vek::cImageCtrl m_HoverCheck;
    int32_t m_iHover = 0;
};

// A check box with a row of stars under it (how many, how many filled); it
// keeps the plain game check box's class name.
class cCheckBoxUpCtrl : public cCheckBoxCtrl {
public:
    // A star's side; neighbours overlap by half of it.
    static constexpr float kStarSize = 22.0f;

    cCheckBoxUpCtrl(const vek::string& name, vek::cWindow* parent);

    void Draw() override;

    virtual void SetFilledStars(int count);
    virtual void SetStarCount(int count);
    int32_t GetFilledStars() const { return m_iFilledStars; }
    int32_t GetStarCount() const { return m_iStarCount; }
    // Where star k (1 to the star count) of the row goes: below the box,
    // the row centred on it.
    vek::rect<float> GetStarRect(int k) const;

protected:
    int32_t m_iFilledStars = 0;
    int32_t m_iStarCount = 2;
};

// The engine's slider with a hover picture of the thumb and of the track,
// each one UV cell height below its normal picture.
class cSliderCtrlEx : public vek::cSliderSysCtrl {
public:
    cSliderCtrlEx(const vek::string& name, vek::cWindow* parent);
    ~cSliderCtrlEx() override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    void SetSize(float w, float h, int parts) override;
    void SetUVPos(float u, float v, int parts) override;
    void SetUVSize(float w, float h, int parts) override;
    const char* ClassName() const override;
    void SetTexture(const vek::string& name, int parts) override;

    bool IsHovered() const { return m_iHover != 0; }
    const vek::cImageCtrl& GetHoverThumb() const { return m_HoverThumb; }
    const vek::cFrameCtrl& GetHoverTrack() const { return m_HoverTrack; }

protected:
    vek::cImageCtrl m_HoverThumb;
    vek::cFrameCtrl m_HoverTrack;
    int32_t m_iHover = 0;
};

// The star pictures of the star rows and the animal tools' pictures, looked
// up once they exist; tests that rebuild the sprite registry forget them
// with this.
void ForgetControlSprites();

// One line of a goal list: a frame, an icon with a check mark over it and a
// text. The frame is the line's geometry; the icon sits 40 in from its left
// edge, centred in height, the text right of the icon and the check mark
// centred on it. A left release over the line posts the control command
// (48), whether or not the press began on it.
class cMissionCtrl : public vek::cCtrl {
public:
    // Which part SetTexture means.
    enum ePart { e_itemLabel = 4, e_itemImage = 8, e_itemFrame = 16 };

    cMissionCtrl(const vek::string& name, vek::cWindow* parent);
    ~cMissionCtrl() override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    void SetPos(float x, float y, int parts) override;
    void MoveBy(float dx, float dy, int parts) override;
    // The icon's size with e_itemImage, else the frame's.
    void SetSize(float w, float h, int parts) override;
    // Exactly e_itemImage: the icon; exactly e_itemFrame: the frame.
    void SetUVPos(float u, float v, int parts) override;
    // e_itemFrame or the frame border flag: the frame; else e_itemImage:
    // the icon.
    void SetUVSize(float w, float h, int parts) override;
    bool HitTest(float x, float y) const override;
    vek::rect<float> GetRect() const override;
    const char* ClassName() const override;

    // e_itemImage: the icon's texture; e_itemFrame: the frame's; other
    // values change nothing.
    virtual void SetTexture(const vek::string& name, int part);
    // The icon becomes the first picture of the sprite (texture, area), at
    // the sprite's pixel size. A sprite that does not exist is logged and
    // changes nothing.
    virtual void SetIcon(const vek::string& texture, const vek::string& area);
    // The same for the check mark.
    virtual void SetIconCheck(const vek::string& texture, const vek::string& area);
    virtual void SetCheck(bool checked);
    virtual bool IsChecked() const;
    virtual void SetText(const vek::string& text);
    virtual const vek::string& GetText() const;
    virtual void SetAlign(int flags);
    virtual void SetFontPrt(const vek::string& name);

    // The sprite the icon shows, as last set.
    const vek::string& GetIconTexture() const { return m_strIconTexture; }
    const vek::string& GetIconArea() const { return m_strIconArea; }
    const vek::cLabelSysCtrl& GetLabel() const { return m_Label; }
    const vek::cImageCtrl& GetIcon() const { return m_Icon; }
    const vek::cImageCtrl& GetCheckImage() const { return m_CheckImage; }
    const vek::cFrameCtrl& GetFrame() const { return m_Frame; }

protected:
    vek::cLabelSysCtrl m_Label;
    vek::cImageCtrl m_Icon;
    vek::cImageCtrl m_CheckImage;
    bool m_bChecked = false;
    vek::cFrameCtrl m_Frame;
    vek::string m_strIconTexture;
    vek::string m_strIconArea;
};

// The states of a control that slides between a shown and a hidden
// position (a task line, a factory panel).
struct cSlideStates {
    enum eSlide { e_slideShown = 0, e_slideShowing = 1, e_slideHidden = 2, e_slideHiding = 3 };
};

// A goal line that slides between a shown and a hidden position at 250
// units per second; it keeps the mission line's class name.
class cTaskCtrl : public cMissionCtrl, public cSlideStates {
public:
    static constexpr float kSlideSpeed = 250.0f;

    cTaskCtrl(const vek::string& name, vek::cWindow* parent);

    // Slide toward the shown or hidden position; nothing when already there
    // or on the way.
    void Show();
    void Hide();
    // Jump there and stand.
    void ShowImmediately();
    void HideImmediately();
    // Moves the line along its slide.
    void Update(float seconds);

    int32_t GetSlideState() const { return m_iSlideState; }
    void SetShownPos(const vek::vec2& pos) { m_ShownPos = pos; }
    void SetHiddenPos(const vek::vec2& pos) { m_HiddenPos = pos; }
    const vek::vec2& GetShownPos() const { return m_ShownPos; }
    const vek::vec2& GetHiddenPos() const { return m_HiddenPos; }
    const vek::mover<vek::vec2>& GetSlide() const { return m_Slide; }

private:
    void SlideTo(const vek::vec2& target, int state);

    vek::mover<vek::vec2> m_Slide;
    int32_t m_iSlideState = e_slideShown;
    vek::vec2 m_ShownPos{0.0f, 0.0f};
    vek::vec2 m_HiddenPos{0.0f, 0.0f};
};

class cSort;
class cHouse;
class cToolbarCtrl;

// One tool of a game toolbar: a ware (a plant sort or an animal food), a
// building definition or an animal kind, drawn with its state picture and,
// for wares and animals, its price under it. A tool the player has not
// unlocked draws nothing and ignores input. Made by the toolbar only.
class cToolbarItemCtrl : public vek::cImageCtrl {
public:
    // The pictures of the states, in the toolbar's texture.
    enum eUV { e_uvNormal = 0, e_uvHover, e_uvPushed, e_uvDisabled, e_uvCount };

    explicit cToolbarItemCtrl(cToolbarCtrl* owner);

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    const char* ClassName() const override;

    // The ware manager's sort at that index.
    virtual void SetWare(int index);
    // The game's building definition at that index; none when out of range.
    virtual void SetBuilding(int index);
    virtual void SetAnimal(int kind);
    // Whether the current profile has unlocked it: buildings always; the
    // food "grass" with any animal, "flowers" from the third animal kind;
    // other wares up to the unlocked sort; animals up to the unlocked kind.
    virtual bool IsAvailable() const;
    // The same rule for an unlocked sort index and animal unlock level.
    bool IsAvailableFor(int sorts, int animals) const;

    cSort* GetWare() const { return m_pWare; }
    cHouse* GetBuilding() const { return m_pBuilding; }
    int32_t GetAnimal() const { return m_iAnimal; }
    bool IsHovered() const { return m_uHover != 0; }
    bool IsPressed() const { return m_uPressed != 0; }
    void SetUVs(const vek::rectf uvs[e_uvCount]);
    const vek::rectf& GetStateUV(int which) const { return m_UV[which & 3]; }
    // Gives the owner's price label this item's price and its place under
    // the item, as the item draws it; false for an item without a price (a
    // building).
    bool PlacePrice();

private:
    // The owner's price label, placed by PlacePrice, drawn.
    void DrawPrice();

    cToolbarCtrl* m_pOwner;
    uint8_t m_uHover = 0;
    uint8_t m_uPressed = 0;
    cSort* m_pWare = nullptr;
    int32_t m_iWareIndex = -1;
    cHouse* m_pBuilding = nullptr;
    int32_t m_iAnimal = -1;
    vek::rectf m_UV[e_uvCount];
};

// The game's toolbar: one row of tools along its top edge, 3 apart, with a
// background strip sized to the tools the player can have and two end
// pieces beside it (other controls of the window, linked by the screen).
// A press on an available, enabled tool sends 53 (a = item index, b = the
// toolbar's id) to the window at once; the item data is the ware index, the
// building index or the animal kind.
class cToolbarCtrl : public vek::cToolbarSysCtrl {
public:
    static constexpr float kItemGap = 3.0f;

    cToolbarCtrl(const vek::string& name, vek::cWindow* parent);
    ~cToolbarCtrl() override;

    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    // Also shows, hides, enables or disables the linked pieces.
    void EnableState(int flags) override;
    void DisableState(int flags) override;
    const char* ClassName() const override;
    // Whole items with their gaps that fit the width: (w + 3) / (item w + 3).
    unsigned GetVisibleCount() const override;

    // The texture of the ware items; unknown names give the default (0).
    virtual void SetTexture(const vek::string& name);
    // A ware item with its normal, hover, pushed and disabled pictures.
    virtual void AddWareItem(const vek::rectf uvs[cToolbarItemCtrl::e_uvCount], int wareIndex);
    virtual void AddBuildingItem(int index);
    // Nothing for a negative kind.
    virtual void AddAnimalItem(int kind);
    // Null at or past the item count.
    virtual cHouse* GetItemBuilding(unsigned index) const;
    virtual float GetItemWidth() const;

    // The window's controls that frame the row; each may be null.
    void SetPieces(vek::cCtrl* left, vek::cCtrl* centre, vek::cCtrl* right);
    // The background strip's width for the items the player can have.
    float GetStripWidth() const;
    // The same for an unlocked sort index and animal unlock level.
    float StripWidthFor(int sorts, int animals) const;
    int32_t GetTextureID() const { return m_iTexture; }
    cToolbarItemCtrl* GetItem(unsigned index) const;
    vek::cLabelCtrl& GetPriceLabel() { return m_Price; }

    // The strip's picture scale is taken from the first strip laid out in
    // the run; tests start over with this.
    static void ForgetStripReference();

private:
    friend class cToolbarItemCtrl;
    void Append(cToolbarItemCtrl* item, int data);

    int32_t m_iTexture = 0;
    vek::cLabelCtrl m_Price;
    vek::cCtrl* m_pLeft = nullptr;
    vek::cCtrl* m_pCentre = nullptr;
    vek::cCtrl* m_pRight = nullptr;
};

// A colour (r, g, b, a), with the arithmetic the colour mover needs.
struct vec4 {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;

    constexpr vec4() = default;
    constexpr vec4(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}
    vec4 operator+(const vec4& o) const { return {r + o.r, g + o.g, b + o.b, a + o.a}; }
    vec4 operator-(const vec4& o) const { return {r - o.r, g - o.g, b - o.b, a - o.a}; }
    vec4 operator*(float s) const { return {r * s, g * s, b * s, a * s}; }
    bool operator==(const vec4& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const vec4& o) const { return !(*this == o); }
};
// Euclidean distance over all four components.
float Distance(const vec4& x, const vec4& y);

// A colour moving toward a target at a constant speed (distance per second).
class cColorMover {
public:
    enum eUpdate { e_Idle = 0, e_Moving = 1, e_Arrived = 2 };

    explicit cColorMover(float speed) : m_fSpeed(speed) {}

    // Starts a move from the current value; a target no farther than a
    // float's epsilon is reached at once.
    void MoveTo(const vec4& target);
    // Jumps to the value and stands there.
    void SetValue(const vec4& value);
    // 0 standing, 1 moving, 2 arrived in this call.
    int Update(float seconds);

    const vec4& GetValue() const { return m_Value; }
    const vec4& GetTarget() const { return m_To; }
    float GetDuration() const { return m_fDuration; }

private:
    vec4 m_From{1.0f, 1.0f, 1.0f, 1.0f};
    vec4 m_To{1.0f, 1.0f, 1.0f, 1.0f};
    vec4 m_Value{1.0f, 1.0f, 1.0f, 1.0f};
    float m_fSpeed;
    float m_fTime = 0.0f;
    float m_fDuration = 0.0f;
};

// A text that behaves like a hyperlink: its colour glides to the highlight
// colour while the cursor is over it and back when it leaves, the game is
// asked for the "hand" and "pointer" cursors, and a release over it posts
// the control command (48).
class cLinkCtrl : public vek::cLabelCtrl {
public:
    // Which colour SetColor sets; both may be given together.
    enum eColor : uint32_t { e_lnkNormal = 0x10000000u, e_lnkHighlight = 0x20000000u };
    static constexpr float kGlideSpeed = 2.0f;

    cLinkCtrl(const vek::string& name, vek::cWindow* parent);
    ~cLinkCtrl() override;

    int OnMessage(int message, unsigned a, unsigned b) override;
    const char* ClassName() const override;

    // The normal colour is shown at once; the highlight waits for the cursor.
    virtual void SetColor(float r, float g, float b, int flags);

    // The two colours packed as 0xAARRGGBB.
    uint32_t GetNormalColor() const;
    uint32_t GetHighlightColor() const;
    const cColorMover& GetMover() const { return m_Mover; }

protected:
    cColorMover m_Mover{kGlideSpeed};
    vec4 m_Normal{1.0f, 1.0f, 1.0f, 1.0f};
    vec4 m_Highlight{1.0f, 1.0f, 1.0f, 1.0f};
};

// An image that loops through a grid of pictures in one texture: the frames
// run left to right along a row, the rows from the top of the texture down.
class cAnimationCtrl : public vek::cImageCtrl {
public:
    cAnimationCtrl(const vek::string& name, vek::cWindow* parent);
    ~cAnimationCtrl() override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    const char* ClassName() const override;

    // A grid of columns x rows pictures played in a loop at fps pictures
    // per second. Counts below 1 are taken as 1 (the picture size divides
    // by them); an fps that is not above 0 means 30.
    virtual void SetTileset(int columns, int rows, float fps);

    int32_t GetColumns() const { return m_iColumns; }
    int32_t GetRows() const { return m_iRows; }
    const vek::cAnimCounter& GetCounter() const { return m_Counter; }

protected:
    int32_t m_iColumns = 1;
    int32_t m_iRows = 1;
    vek::cAnimCounter m_Counter;
};

// The level clock's pie, over a frame; it keeps the frame's class name.
class cClockCtrl : public vek::cFrameCtrl {
public:
    cClockCtrl(const vek::string& name, vek::cWindow* parent);

    // A white disc of the "circle_need" picture, and over it a sector from
    // twelve o'clock clockwise over the elapsed share, green through yellow
    // to red. The frame itself is not drawn.
    void Draw() override;
    // The sector's colour for an elapsed share, packed ARGB.
    static uint32_t RampColor(float fraction);
    // Forgets the shared picture (tests that rebuild the sprite registry).
    static void ForgetSprite();

    // The share of the time used up: 0 at start, 1 when it has run out.
    void SetElapsed(float fraction) { m_fElapsed = fraction; }
    float GetElapsed() const { return m_fElapsed; }

protected:
    float m_fElapsed = 0.0f;
};

// An image control whose colour carries an alpha.
class cImageCtrlEx : public vek::cImageCtrl {
public:
    cImageCtrlEx(const vek::string& name, vek::cWindow* parent);

    const char* ClassName() const override;

    using vek::cImageCtrl::SetColor;
    // Channels 0 to 1, packed as the engine packs colours.
    virtual void SetColor(float r, float g, float b, float a);
};

// The control as an image control (cImageCtrl or a class built on it); null
// for any other control and for null, so a script that passes the wrong
// control gets nil instead of a misread object.
vek::cImageCtrl* ToImageCtrl(vek::cCtrl* control);
