#pragma once
// The engine's ready-made controls, composed of the plain controls and the
// list: coloured label, word-wrapping text box, progress bar, slider with
// thumb and track, edit field, push button, check box, text list with a
// selection frame, image list and toolbar.
//
// Each embeds its parts as member controls with no parent and no name, so
// the window sees, hovers and focuses only the composed control, which hands
// drawing, placement and texture settings to its parts by the part flags.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/gui/ctrl.h"
#include "engine/gui/listctrl.h"

namespace vek {

class cListSysCtrl;

class cLabelSysCtrl : public cLabelCtrl {
public:
    cLabelSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    virtual void SetColor(const vec3& rgb);
    virtual void SetColor(float r, float g, float b);
    // The colour's bytes from the lowest to the highest (blue, green, red,
    // alpha), each divided by 255.
    virtual std::array<float, 4> GetColorRGBA() const;

    void SetColorARGB(uint32_t colour) { m_uColor = colour; }
};

// Word-wrapped text: as many lines as fit in the rectangle, colour codes
// taking no width and carrying from line to line.
class cTextBoxSysCtrl : public cLabelSysCtrl {
public:
    cTextBoxSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    void Draw() override;
    void UpdateLayout() override;
    // Moves the laid-out text along without wrapping it again.
    void SetPos(float x, float y, int flags) override;
    bool HitTest(float x, float y) const override;

    const std::vector<string>& GetLines() const { return m_Lines; }
    const std::vector<vec2>& GetLinePositions() const { return m_LinePos; }

protected:
    std::vector<string> m_Lines;
    std::vector<vec2> m_LinePos;
};

// A row of a text list; its colour follows the owner's normal and highlight
// colours as the cursor enters and leaves it.
class cListItemSysCtrl : public cLabelSysCtrl {
public:
    cListItemSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    // Pixels between the row's edge and a left- or right-aligned text, so
    // the text never touches the list's border or the selection's rim.
    static constexpr float kTextPadding = 8.0f;

    void Draw() override;
    void UpdateLayout() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    bool HitTest(float x, float y) const override;

    // Takes the rect size, font, colour and align of the label.
    virtual void CopyStyle(const cLabelCtrl& label);
    // Null is ignored; otherwise the item takes the owner's normal colour.
    virtual void SetOwner(cListSysCtrl* owner);

    cListSysCtrl* GetOwner() const { return m_pOwner; }

protected:
    cListSysCtrl* m_pOwner = nullptr;
};

class cProgressBarSysCtrl : public cCtrl {
public:
    cProgressBarSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    void Draw() override;
    // The bar shows the value's share of the size and of the full UV width.
    void UpdateLayout() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;

    virtual void SetTexture(const string& name);
    // Clamped to [0, 1].
    virtual void SetValue(float value);
    virtual float GetValue() const;

    const cImageCtrl& GetBar() const { return m_Bar; }

protected:
    cImageCtrl m_Bar;
    vec2 m_Size{0.0f, 0.0f};
    float m_fValue = 0.0f;
    float m_fFullUVWidth = 1.0f;
};

class cSliderSysCtrl : public cSliderCtrl {
public:
    cSliderSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    void Draw() override;
    // With e_sldImage on the thumb, else on the track.
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;
    rect<float> GetTrackRect() const override;
    rect<float> GetThumbRect() const override;

    virtual void SetTexture(const string& name, int flags);

protected:
    cImageCtrl m_Thumb;
    cFrameCtrl m_Track;
};

class cEditSysCtrl : public cEditCtrl {
public:
    cEditSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    // Frame, text, and the blinking caret while focused.
    void Draw() override;
    // The text fills the frame inside its border.
    void UpdateLayout() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;

    void SetText(const string& text) override;
    const string& GetText() const override;
    virtual void SetAlign(int flags);
    virtual void SetFontPrt(const string& name);
    virtual void SetColor(float r, float g, float b);
    // The frame's texture; the part flags are accepted for the script
    // binding's signature and not needed.
    virtual void SetTexture(const string& name, int flags);

    const cLabelSysCtrl& GetLabel() const { return m_Label; }
    const cFrameCtrl& GetFrame() const { return m_Frame; }

protected:
    cLabelSysCtrl m_Label;
    cFrameCtrl m_Frame;
};

// A push button: it fires (e_wndCommand, posted) when released over itself
// after being pressed; leaving it cancels the click.
class cButtonSysCtrl : public cCtrl {
public:
    cButtonSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    // e_btnNormal: the normal frame, e_btnPush: the pushed frame (or both).
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;

    virtual void SetText(const string& text);
    virtual const string& GetText() const;
    virtual void SetFontPrt(const string& name);
    virtual void SetColor(float r, float g, float b);
    virtual void SetTexture(const string& name, int flags);

    bool IsPushed() const { return m_bPushed; }
    const cLabelSysCtrl& GetLabel() const { return m_Label; }
    const cFrameCtrl& GetNormalFrame() const { return m_Normal; }
    const cFrameCtrl& GetPushedFrame() const { return m_Pushed; }

protected:
    cLabelSysCtrl m_Label;
    cFrameCtrl m_Normal;
    cFrameCtrl m_Pushed;
    bool m_bPushed = false;
};

// A check box: it toggles on the press and posts e_wndCheck with its state.
class cCheckBoxSysCtrl : public cCtrl {
public:
    cCheckBoxSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    // A square box of the rect's height, the text to its right.
    void UpdateLayout() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    void SetSize(float w, float h, int flags) override;
    // e_cbNormal: the box image, e_cbPush: the check image.
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;

    virtual void SetText(const string& text);
    virtual void SetAlign(int flags);
    virtual void SetFontPrt(const string& name);
    virtual void SetColor(float r, float g, float b);
    virtual void SetTexture(const string& name, int flags);
    virtual void SetCheck(bool checked);
    virtual bool IsChecked() const;

    const cLabelSysCtrl& GetLabel() const { return m_Label; }
    const cImageCtrl& GetBox() const { return m_Box; }
    const cImageCtrl& GetCheckImage() const { return m_Check; }

protected:
    cLabelSysCtrl m_Label;
    cImageCtrl m_Box;
    cImageCtrl m_Check;
    bool m_bChecked = false;
};

// A list of text rows with a selection frame behind the selected rows.
class cListSysCtrl : public cListCtrl {
public:
    cListSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    void UpdateLayout() override;
    // With e_lstSelection and e_frmBorder: the selection frame's border.
    void SetSize(float w, float h, int flags) override;
    void SetUVPos(float u, float v, int flags) override;
    void SetUVSize(float w, float h, int flags) override;

    // Every item takes the template item's style.
    virtual void ApplyStyle();
    // With e_lstSelection: the selection frame's texture.
    virtual void SetTexture(const string& name, int flags);
    virtual void SetFontPrt(const string& name);
    virtual void SetAlign(int flags);
    // e_lstNormal: the normal colour (new rows, rows left by the cursor);
    // e_lstHighlight: the hovered colour.
    virtual void SetColor(float r, float g, float b, int flags);
    virtual void InsertItem(unsigned index, const string& text, unsigned data);
    virtual void SetItemText(unsigned index, const string& text);
    virtual string GetItemText(unsigned index) const;

    uint32_t GetNormalColor() const { return m_uNormal; }
    uint32_t GetHighlightColor() const { return m_uHighlight; }
    cFrameCtrl& GetSelectionFrame() { return m_Selection; }
    const cListItemSysCtrl& GetTemplateItem() const { return m_Template; }

protected:
    cFrameCtrl m_Selection;
    cListItemSysCtrl m_Template;
    uint32_t m_uNormal = 0xFFFFFFFFu;
    uint32_t m_uHighlight = 0xFFFFFFFFu;
};

// Image items laid out in rows of cells, left to right, top to bottom.
class cImageListSysCtrl : public cListCtrl {
public:
    cImageListSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    // Grid layout; also moves the hover to the item under the cursor.
    void UpdateLayout() override;
    // Whole rows times whole columns.
    unsigned GetVisibleCount() const override;

    virtual void InsertItem(unsigned index, const string& texture, const rect<float>& uv,
                            unsigned data);
    // The whole texture as the item's picture.
    void InsertItem(unsigned index, const string& texture, unsigned data);
};

// An image list whose click on an enabled item sends e_wndItemSelect without
// selecting it.
class cToolbarSysCtrl : public cImageListSysCtrl {
public:
    cToolbarSysCtrl(const string& name, cWindow* parent);
    const char* ClassName() const override;

    int OnMessage(int message, unsigned a, unsigned b) override;
};

} // namespace vek
