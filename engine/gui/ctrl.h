#pragma once
// GUI controls: the base class with its state and part flags, and the plain
// controls built directly on it (image, label, nine-part frame, the value
// logic of a slider and the typing logic of an edit field). Controls draw
// through the engine's shared sprite batch in GUI coordinates (origin
// bottom-left, y up).
//
// A control made with a parent window joins that window's control vector and
// is owned by it; parts of composed controls and list items have no parent
// and are owned by the control that made them.
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "engine/gui/gui.h"

namespace vek {

class cGUI;
class cWindow;

// The shared hit test: strictly inside on all four sides.
inline bool RectHit(const rect<float>& r, float x, float y)
{
    return r.x < x && x < r.x + r.w && r.y < y && y < r.y + r.h;
}

class cCtrl {
public:
    // State flags.
    enum eState {
        e_None = 0,
        e_Visibility = 2,  // drawn, hit-tested and given messages
        e_Disabled = 4,    // cannot be clicked; list items cannot be selected
        e_Ignorable = 8,   // skipped by hovering and delivery; a selected list item
        e_All = -1,
    };
    // Part flags: which sub-part of a composed control an operation means.
    enum ePart {
        e_frmBorder = 0x2,
        e_sldImage = 0x4,
        e_lstItems = 0x8,
        e_edtFont = 0x400,
        e_btnFont = 0x800,
        e_btnNormal = 0x1000,
        e_btnPush = 0x2000,
        e_cbFont = 0x4000,
        e_cbNormal = 0x8000,
        e_cbPush = 0x10000,
        e_liFont = 0x20000,
        e_lstNormal = 0x40000,
        e_lstHighlight = 0x80000,
        e_lstSelection = 0x100000,
    };

    // With a parent the control appends itself to the parent's controls and
    // takes its index as id.
    cCtrl(const string& name, cWindow* parent);
    virtual ~cCtrl();
    cCtrl(const cCtrl&) = delete;
    cCtrl& operator=(const cCtrl&) = delete;

    virtual void Draw();
    // 0 when the message was handled. The base passes mouse enter and leave
    // on to the window function and declines characters.
    virtual int OnMessage(int message, unsigned a, unsigned b);
    virtual void UpdateLayout();
    virtual const string& GetName() const;
    virtual int GetID() const;
    virtual void SetPos(float x, float y, int flags);
    virtual void MoveBy(float dx, float dy, int flags);
    virtual void SetSize(float w, float h, int flags);
    virtual void SetUVPos(float u, float v, int flags);
    virtual void SetUVSize(float w, float h, int flags);
    virtual bool HitTest(float x, float y) const;
    virtual rect<float> GetRect() const;
    virtual void EnableState(int flags);
    virtual void DisableState(int flags);
    virtual bool GetState(int flags) const;
    virtual const char* ClassName() const;

    cWindow* GetParent() const { return m_pParent; }
    cGUI* GetGUI() const { return m_pGUI; }
    // True while a window or a list holds the control (it must not be
    // handed to a second owner).
    bool IsOwned() const { return m_bOwned; }
    // Called by a control on the parts it embeds: they belong to it for good.
    void MarkOwned() { m_bOwned = true; }

protected:
    // Delivers to the parent window's function at once; 0 without a parent.
    int SendToWindow(int message, unsigned a, unsigned b);
    // Queues for the parent window's function; nothing without a parent.
    void PostToWindow(int message, unsigned a, unsigned b);
    cWindow* m_pParent = nullptr;
    cGUI* m_pGUI = nullptr;
    string m_strName;
    int32_t m_iState = e_Visibility;
    int32_t m_iID = 0;

private:
    friend class cWindow;
    friend class cListCtrl;
    bool m_bOwned = false;
};

// A textured rectangle.
class cImageCtrl : public cCtrl {
public:
    cImageCtrl(const string& name, cWindow* parent);

    void Draw() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;
    const char* ClassName() const override;

    // Unknown names give the texture manager's default texture (id 0).
    virtual void SetTexture(const string& name);
    virtual void SetColor(float r, float g, float b);
    virtual int GetTexture() const;
    virtual rect<float> GetUV() const;

    // Direct settings for code that already holds the ids.
    void SetTextureID(int id) { m_iTexture = id; }
    uint32_t GetColor() const { return m_uColor; }

protected:
    rect<float> m_Rect;
    vec2 m_UVPos{0.0f, 0.0f};
    vec2 m_UVSize{1.0f, 1.0f};
    int32_t m_iTexture = 0;
    uint32_t m_uColor = 0xFFFFFFFFu;
};

// One line of text with colour codes, placed in its rectangle by the
// alignment flags.
class cLabelCtrl : public cCtrl {
public:
    cLabelCtrl(const string& name, cWindow* parent);

    void Draw() override;
    void UpdateLayout() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;
    const char* ClassName() const override;

    virtual void SetText(const string& text);
    virtual const string& GetText() const;
    virtual void SetAlign(int flags);
    // Unknown names give the default font (id 0).
    virtual void SetFontPrt(const string& name);
    virtual rect<float> GetTextRect() const;
    virtual int GetFont() const;
    virtual uint32_t GetColor() const;

    int GetAlign() const { return m_iAlign; }
    void SetFontID(int id);

protected:
    rect<float> m_Rect;
    string m_strText;
    int32_t m_iFont = 0;
    uint32_t m_uColor = 0xFFFFFFFFu;
    int32_t m_iAlign = cAlign::Left | cAlign::Bottom;
    rect<float> m_TextRect;
};

// A rectangle drawn from a texture as nine parts: corners, edges and body.
class cFrameCtrl : public cCtrl {
public:
    cFrameCtrl(const string& name, cWindow* parent);

    void Draw() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    // With e_frmBorder: the border size; else the rect size.
    void SetSize(float w, float h, int flags) override;
    void SetUVPos(float u, float v, int flags) override;
    // With e_frmBorder: the border size in the texture; else the UV size.
    void SetUVSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;
    const char* ClassName() const override;

    virtual void SetTexture(const string& name);
    virtual void DrawInnerRect(bool draw);
    virtual void SetColor(float r, float g, float b);
    virtual vec2 GetBorderSize() const;
    virtual rect<float> GetUV() const;

    int GetTexture() const { return m_iTexture; }
    uint32_t GetColor() const { return m_uColor; }

protected:
    int32_t m_iTexture = 0;
    bool m_bDrawInner = true;
    rect<float> m_Rect;
    vec2 m_UVPos{0.0f, 0.0f};
    vec2 m_UVSize{1.0f, 1.0f};
    vec2 m_BorderSize{0.0f, 0.0f};
    vec2 m_BorderUV{0.0f, 0.0f};
    uint32_t m_uColor = 0xFFFFFFFFu;
};

// The value logic of a slider; the track and thumb rectangles come from a
// subclass. Dragging needs the focus, which the window gives only after the
// press, so the first press on an unfocused slider does not move it.
class cSliderCtrl : public cCtrl {
public:
    cSliderCtrl(const string& name, cWindow* parent);

    int OnMessage(int message, unsigned a, unsigned b) override;
    // Places the thumb on the track for the value.
    void UpdateLayout() override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;
    const char* ClassName() const override;

    virtual rect<float> GetTrackRect() const;
    virtual rect<float> GetThumbRect() const;
    // Clamped to [min, max]; a value that is not a number becomes min.
    virtual void SetValue(float value);
    virtual float GetValue() const;
    // When min > max, max becomes min; the value is clamped again.
    virtual void SetMinMax(float min, float max);
    virtual float GetMin() const;
    virtual float GetMax() const;
    virtual void SetVertical(bool vertical);
    virtual bool IsVertical() const;

    bool IsPressed() const { return m_bPressed; }

protected:
    float m_fMin = 0.0f;
    float m_fMax = 100.0f;
    float m_fValue = 50.0f;
    bool m_bVertical = false;
    bool m_bFocused = false;
    bool m_bPressed = false;
};

// The typing logic of an edit field; the text lives in a subclass.
class cEditCtrl : public cCtrl {
public:
    cEditCtrl(const string& name, cWindow* parent);

    // Takes every message (0): backspace, Enter, printable characters up to
    // the maximum length.
    int OnMessage(int message, unsigned a, unsigned b) override;
    const char* ClassName() const override;

    virtual void SetText(const string& text);
    virtual const string& GetText() const;
    virtual void SetMaxLength(int length);
    virtual int GetMaxLength() const;

protected:
    int32_t m_iMaxLength = 256;
};

} // namespace vek
