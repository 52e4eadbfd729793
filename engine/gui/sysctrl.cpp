#include "engine/gui/sysctrl.h"

#include <cmath>

#include "engine/core/numeric.h"
#include "engine/gui/gui.h"
#include "engine/gui/guidraw.h"
#include "engine/gui/window.h"

namespace vek {

namespace {

constexpr int kAlignLeftMiddle = cAlign::Left | cAlign::Middle;
constexpr int kAlignCenterMiddle = cAlign::Center | cAlign::Middle;

// Rows of text of this height that fit; 0 for a font with no line height.
unsigned LineLimit(float height, float lineHeight) { return WholeCount(height, lineHeight); }

} // namespace

// ---- cLabelSysCtrl ----

cLabelSysCtrl::cLabelSysCtrl(const string& name, cWindow* parent) : cLabelCtrl(name, parent) {}

const char* cLabelSysCtrl::ClassName() const { return "cLabelSysCtrl"; }

void cLabelSysCtrl::SetColor(const vec3& rgb) { SetColor(rgb.x, rgb.y, rgb.z); }

void cLabelSysCtrl::SetColor(float r, float g, float b) { m_uColor = PackColor(r, g, b, 1.0f); }

std::array<float, 4> cLabelSysCtrl::GetColorRGBA() const
{
    std::array<float, 4> out{};
    for (int i = 0; i < 4; ++i)
        out[static_cast<size_t>(i)] = static_cast<float>((m_uColor >> (8 * i)) & 0xFFu) / 255.0f;
    return out;
}

// ---- cTextBoxSysCtrl ----

cTextBoxSysCtrl::cTextBoxSysCtrl(const string& name, cWindow* parent)
    : cLabelSysCtrl(name, parent)
{
}

const char* cTextBoxSysCtrl::ClassName() const { return "cTextBoxSysCtrl"; }

void cTextBoxSysCtrl::Draw()
{
    // A colour set inside one line carries on into the next.
    uint32_t colour = m_uColor;
    for (size_t i = 0; i < m_Lines.size() && i < m_LinePos.size(); ++i)
        guidraw::ColorText(m_iFont, m_Lines[i], m_LinePos[i], &colour);
}

void cTextBoxSysCtrl::UpdateLayout()
{
    // Every word ends at a separator, the last one included.
    if (!m_strText.empty() && m_strText.back() != ' ' && m_strText.back() != '\n')
        m_strText += ' ';

    m_Lines.clear();
    m_LinePos.clear();
    std::vector<float> widths;

    const float lineHeight = guidraw::LineHeight(m_iFont);
    const float spacing = guidraw::Spacing(m_iFont);
    // A font that was never given a line height shows no rows at all.
    if (lineHeight > 0.0f) {
        const size_t limit = LineLimit(m_Rect.h, lineHeight);
        const float spaceWidth = guidraw::Advance(m_iFont, ' ') + spacing;
        m_Lines.emplace_back();
        widths.push_back(0.0f);

        string word;
        float wordWidth = 0.0f;
        const size_t n = m_strText.size();
        for (size_t i = 0; i < n; ++i) {
            const char c = m_strText[i];
            if (c == '^' && i + 1 < n && m_strText[i + 1] == '^') {
                word += "^^";
                ++i;
                continue;
            }
            if (c == '^' && i + 8 < n) {
                // A colour code: drawn invisibly, no width.
                word.append(m_strText, i, 9);
                i += 8;
                continue;
            }
            if (c != ' ' && c != '\n') {
                word += c;
                wordWidth += guidraw::Advance(m_iFont, static_cast<unsigned char>(c)) + spacing;
                continue;
            }
            const bool lineEmpty = m_Lines.back().empty();
            const float separator = lineEmpty ? 0.0f : spaceWidth;
            if (widths.back() + wordWidth + separator >= m_Rect.w) {
                if (m_Lines.size() >= limit) break;
                m_Lines.push_back(word);
                widths.push_back(wordWidth);
            } else {
                if (!lineEmpty) m_Lines.back() += ' ';
                m_Lines.back() += word;
                widths.back() += separator + wordWidth;
            }
            if (c == '\n') {
                if (m_Lines.size() >= limit) break;
                m_Lines.emplace_back();
                widths.push_back(0.0f);
            }
            word.clear();
            wordWidth = 0.0f;
        }
    }

    // The block of lines is placed by the alignment; each line is placed
    // horizontally on its own, the last line at the bottom.
    const size_t count = m_Lines.size();
    rect<float> block(0.0f, 0.0f, m_Rect.w, static_cast<float>(count) * lineHeight);
    AlignRect(m_Rect, block, m_iAlign);
    m_TextRect = rect<float>(m_Rect.x, block.y, 0.0f, block.h);
    m_LinePos.resize(count);
    bool first = true;
    for (size_t k = count; k-- > 0;) {
        rect<float> line(0.0f, 0.0f, widths[k] - spacing, lineHeight);
        AlignRect(m_Rect, line, m_iAlign);
        m_LinePos[k] = vec2(line.x, block.y + static_cast<float>(count - 1 - k) * lineHeight);
        if (first) {
            m_TextRect.x = line.x;
            m_TextRect.w = line.w;
            first = false;
        } else {
            const float left = std::fmin(m_TextRect.x, line.x);
            const float right = std::fmax(m_TextRect.x + m_TextRect.w, line.x + line.w);
            m_TextRect.x = left;
            m_TextRect.w = right - left;
        }
    }
}

void cTextBoxSysCtrl::SetPos(float x, float y, int)
{
    const float dx = x - m_Rect.x;
    const float dy = y - m_Rect.y;
    m_Rect.x = x;
    m_Rect.y = y;
    m_TextRect.x += dx;
    m_TextRect.y += dy;
    for (vec2& pos : m_LinePos) pos += vec2(dx, dy);
}

bool cTextBoxSysCtrl::HitTest(float x, float y) const { return RectHit(m_Rect, x, y); }

// ---- cListItemSysCtrl ----

cListItemSysCtrl::cListItemSysCtrl(const string& name, cWindow* parent)
    : cLabelSysCtrl(name, parent)
{
    m_iAlign = kAlignLeftMiddle;
}

const char* cListItemSysCtrl::ClassName() const { return "cListItemSysCtrl"; }

void cListItemSysCtrl::Draw()
{
    if (GetState(e_Ignorable) && m_pOwner) {
        cFrameCtrl& frame = m_pOwner->GetSelectionFrame();
        frame.SetPos(m_Rect.x, m_Rect.y, 0);
        frame.Draw();
    }
    cLabelSysCtrl::Draw();
}

void cListItemSysCtrl::UpdateLayout()
{
    cLabelSysCtrl::UpdateLayout();
    if (m_iAlign & cAlign::Left)
        m_TextRect.x += kTextPadding;
    else if (m_iAlign & cAlign::Right)
        m_TextRect.x -= kTextPadding;
}

int cListItemSysCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    if (m_pOwner) {
        if (message == cGUI::e_wndMouseEnter) m_uColor = m_pOwner->GetHighlightColor();
        if (message == cGUI::e_wndMouseLeave) m_uColor = m_pOwner->GetNormalColor();
    }
    return cLabelSysCtrl::OnMessage(message, a, b);
}

bool cListItemSysCtrl::HitTest(float x, float y) const { return RectHit(m_Rect, x, y); }

void cListItemSysCtrl::CopyStyle(const cLabelCtrl& label)
{
    const rect<float> r = label.GetRect();
    m_Rect.w = r.w;
    m_Rect.h = r.h;
    m_iFont = label.GetFont();
    m_uColor = label.GetColor();
    m_iAlign = label.GetAlign();
    UpdateLayout();
}

void cListItemSysCtrl::SetOwner(cListSysCtrl* owner)
{
    if (!owner) return;
    m_pOwner = owner;
    m_uColor = owner->GetNormalColor();
}

// ---- cProgressBarSysCtrl ----

cProgressBarSysCtrl::cProgressBarSysCtrl(const string& name, cWindow* parent)
    : cCtrl(name, parent), m_Bar("", nullptr)
{
    m_Bar.MarkOwned();
}

const char* cProgressBarSysCtrl::ClassName() const { return "cProgressBarSysCtrl"; }

void cProgressBarSysCtrl::Draw() { m_Bar.Draw(); }

void cProgressBarSysCtrl::UpdateLayout()
{
    m_Bar.SetSize(m_Size.x * m_fValue, m_Size.y, 0);
    const rect<float> uv = m_Bar.GetUV();
    m_Bar.SetUVSize(m_fFullUVWidth * m_fValue, uv.h, 0);
}

void cProgressBarSysCtrl::SetPos(float x, float y, int)
{
    m_Bar.SetPos(x, y, 0);
    UpdateLayout();
}

void cProgressBarSysCtrl::MoveBy(float dx, float dy, int)
{
    m_Bar.MoveBy(dx, dy, 0);
    UpdateLayout();
}

void cProgressBarSysCtrl::SetSize(float w, float h, int)
{
    m_Size = vec2(w, h);
    UpdateLayout();
}

void cProgressBarSysCtrl::SetUVPos(float u, float v, int) { m_Bar.SetUVPos(u, v, 0); }

void cProgressBarSysCtrl::SetUVSize(float w, float h, int)
{
    m_Bar.SetUVSize(w, h, 0);
    m_fFullUVWidth = w;
    UpdateLayout();
}

bool cProgressBarSysCtrl::HitTest(float x, float y) const
{
    const rect<float> bar = m_Bar.GetRect();
    return RectHit(rect<float>(bar.x, bar.y, m_Size.x, m_Size.y), x, y);
}

rect<float> cProgressBarSysCtrl::GetRect() const { return m_Bar.GetRect(); }

void cProgressBarSysCtrl::SetTexture(const string& name) { m_Bar.SetTexture(name); }

void cProgressBarSysCtrl::SetValue(float value)
{
    if (!(value > 0.0f)) value = 0.0f;  // also a value that is not a number
    if (value > 1.0f) value = 1.0f;
    m_fValue = value;
    UpdateLayout();
}

float cProgressBarSysCtrl::GetValue() const { return m_fValue; }

// ---- cSliderSysCtrl ----

cSliderSysCtrl::cSliderSysCtrl(const string& name, cWindow* parent)
    : cSliderCtrl(name, parent), m_Thumb("", nullptr), m_Track("", nullptr)
{
    m_Thumb.MarkOwned();
    m_Track.MarkOwned();
}

const char* cSliderSysCtrl::ClassName() const { return "cSliderSysCtrl"; }

void cSliderSysCtrl::Draw()
{
    m_Track.Draw();
    m_Thumb.Draw();
}

void cSliderSysCtrl::SetPos(float x, float y, int flags)
{
    if (flags & e_sldImage)
        m_Thumb.SetPos(x, y, 0);
    else
        m_Track.SetPos(x, y, 0);
    UpdateLayout();
}

void cSliderSysCtrl::MoveBy(float dx, float dy, int flags)
{
    if (flags & e_sldImage)
        m_Thumb.MoveBy(dx, dy, 0);
    else
        m_Track.MoveBy(dx, dy, 0);
    UpdateLayout();
}

void cSliderSysCtrl::SetSize(float w, float h, int flags)
{
    if (flags & e_sldImage)
        m_Thumb.SetSize(w, h, 0);
    else
        m_Track.SetSize(w, h, flags);
    UpdateLayout();
}

void cSliderSysCtrl::SetUVPos(float u, float v, int flags)
{
    if (flags & e_sldImage)
        m_Thumb.SetUVPos(u, v, 0);
    else
        m_Track.SetUVPos(u, v, flags);
}

void cSliderSysCtrl::SetUVSize(float w, float h, int flags)
{
    if (flags & e_sldImage)
        m_Thumb.SetUVSize(w, h, 0);
    else
        m_Track.SetUVSize(w, h, flags);
}

rect<float> cSliderSysCtrl::GetTrackRect() const { return m_Track.GetRect(); }

rect<float> cSliderSysCtrl::GetThumbRect() const { return m_Thumb.GetRect(); }

void cSliderSysCtrl::SetTexture(const string& name, int flags)
{
    if (flags & e_sldImage)
        m_Thumb.SetTexture(name);
    else
        m_Track.SetTexture(name);
}

// ---- cEditSysCtrl ----

cEditSysCtrl::cEditSysCtrl(const string& name, cWindow* parent)
    : cEditCtrl(name, parent), m_Label("", nullptr), m_Frame("", nullptr)
{
    m_Label.MarkOwned();
    m_Frame.MarkOwned();
    m_Label.SetAlign(kAlignLeftMiddle);
}

const char* cEditSysCtrl::ClassName() const { return "cEditSysCtrl"; }

void cEditSysCtrl::Draw()
{
    m_Frame.Draw();
    m_Label.Draw();
    if (m_pGUI && m_pGUI->GetBlink() && m_pParent && m_pParent->GetActiveControl() == this) {
        const rect<float> text = m_Label.GetTextRect();
        guidraw::Caret(m_Label.GetFont(), vec2(text.x + text.w, text.y), m_Label.GetColor());
    }
}

void cEditSysCtrl::UpdateLayout()
{
    const rect<float> r = m_Frame.GetRect();
    const vec2 border = m_Frame.GetBorderSize();
    m_Label.SetPos(r.x + border.x, r.y + border.y, 0);
    m_Label.SetSize(r.w - 2.0f * border.x, r.h - 2.0f * border.y, 0);
}

void cEditSysCtrl::SetPos(float x, float y, int flags)
{
    m_Frame.SetPos(x, y, flags);
    UpdateLayout();
}

void cEditSysCtrl::MoveBy(float dx, float dy, int flags)
{
    m_Frame.MoveBy(dx, dy, flags);
    UpdateLayout();
}

void cEditSysCtrl::SetSize(float w, float h, int flags)
{
    m_Frame.SetSize(w, h, flags);
    UpdateLayout();
}

void cEditSysCtrl::SetUVPos(float u, float v, int flags) { m_Frame.SetUVPos(u, v, flags); }

void cEditSysCtrl::SetUVSize(float w, float h, int flags) { m_Frame.SetUVSize(w, h, flags); }

bool cEditSysCtrl::HitTest(float x, float y) const { return m_Frame.HitTest(x, y); }

rect<float> cEditSysCtrl::GetRect() const { return m_Frame.GetRect(); }

void cEditSysCtrl::SetText(const string& text) { m_Label.SetText(text); }

const string& cEditSysCtrl::GetText() const { return m_Label.GetText(); }

void cEditSysCtrl::SetAlign(int flags) { m_Label.SetAlign(flags); }

void cEditSysCtrl::SetFontPrt(const string& name) { m_Label.SetFontPrt(name); }

void cEditSysCtrl::SetColor(float r, float g, float b) { m_Label.SetColor(r, g, b); }

void cEditSysCtrl::SetTexture(const string& name, int) { m_Frame.SetTexture(name); }

// ---- cButtonSysCtrl ----

cButtonSysCtrl::cButtonSysCtrl(const string& name, cWindow* parent)
    : cCtrl(name, parent), m_Label("", nullptr), m_Normal("", nullptr), m_Pushed("", nullptr)
{
    m_Label.MarkOwned();
    m_Normal.MarkOwned();
    m_Pushed.MarkOwned();
    m_Label.SetAlign(kAlignCenterMiddle);
}

const char* cButtonSysCtrl::ClassName() const { return "cButtonSysCtrl"; }

void cButtonSysCtrl::Draw()
{
    if (m_bPushed)
        m_Pushed.Draw();
    else
        m_Normal.Draw();
    m_Label.Draw();
}

int cButtonSysCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case cGUI::e_wndLButtonDown:
        m_bPushed = true;
        break;
    case cGUI::e_wndLButtonUp:
        if (m_bPushed) {
            m_bPushed = false;
            PostToWindow(cGUI::e_wndCommand, 0, static_cast<unsigned>(GetID()));
        }
        break;
    case cGUI::e_wndMouseLeave:
        // Leaving the button cancels the click.
        m_bPushed = false;
        break;
    default: break;
    }
    return cCtrl::OnMessage(message, a, b);
}

void cButtonSysCtrl::UpdateLayout()
{
    const rect<float> r = m_Normal.GetRect();
    const vec2 border = m_Normal.GetBorderSize();
    m_Label.SetPos(r.x, r.y, 0);
    m_Label.SetSize(r.w, r.h, 0);
    m_Pushed.SetPos(r.x, r.y, 0);
    m_Pushed.SetSize(r.w, r.h, 0);
    m_Pushed.SetSize(border.x, border.y, e_frmBorder);
}

void cButtonSysCtrl::SetPos(float x, float y, int flags)
{
    m_Normal.SetPos(x, y, flags);
    UpdateLayout();
}

void cButtonSysCtrl::MoveBy(float dx, float dy, int flags)
{
    m_Normal.MoveBy(dx, dy, flags);
    UpdateLayout();
}

void cButtonSysCtrl::SetSize(float w, float h, int flags)
{
    m_Normal.SetSize(w, h, flags);
    UpdateLayout();
}

void cButtonSysCtrl::SetUVPos(float u, float v, int flags)
{
    if (flags & e_btnNormal) m_Normal.SetUVPos(u, v, flags);
    if (flags & e_btnPush) m_Pushed.SetUVPos(u, v, flags);
}

void cButtonSysCtrl::SetUVSize(float w, float h, int flags)
{
    if (flags & e_btnNormal) m_Normal.SetUVSize(w, h, flags);
    if (flags & e_btnPush) m_Pushed.SetUVSize(w, h, flags);
}

bool cButtonSysCtrl::HitTest(float x, float y) const { return m_Normal.HitTest(x, y); }

rect<float> cButtonSysCtrl::GetRect() const { return m_Normal.GetRect(); }

void cButtonSysCtrl::SetText(const string& text) { m_Label.SetText(text); }

const string& cButtonSysCtrl::GetText() const { return m_Label.GetText(); }

void cButtonSysCtrl::SetFontPrt(const string& name) { m_Label.SetFontPrt(name); }

void cButtonSysCtrl::SetColor(float r, float g, float b) { m_Label.SetColor(r, g, b); }

void cButtonSysCtrl::SetTexture(const string& name, int flags)
{
    if (flags & e_btnNormal) m_Normal.SetTexture(name);
    if (flags & e_btnPush) m_Pushed.SetTexture(name);
}

// ---- cCheckBoxSysCtrl ----

cCheckBoxSysCtrl::cCheckBoxSysCtrl(const string& name, cWindow* parent)
    : cCtrl(name, parent), m_Label("", nullptr), m_Box("", nullptr), m_Check("", nullptr)
{
    m_Label.MarkOwned();
    m_Box.MarkOwned();
    m_Check.MarkOwned();
    m_Label.SetAlign(kAlignLeftMiddle);
}

const char* cCheckBoxSysCtrl::ClassName() const { return "cCheckBoxSysCtrl"; }

void cCheckBoxSysCtrl::Draw()
{
    if (m_bChecked)
        m_Check.Draw();
    else
        m_Box.Draw();
    m_Label.Draw();
}

int cCheckBoxSysCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    if (message == cGUI::e_wndLButtonDown) {
        SetCheck(!m_bChecked);
        PostToWindow(cGUI::e_wndCheck, m_bChecked ? 1u : 0u, static_cast<unsigned>(GetID()));
    }
    return cCtrl::OnMessage(message, a, b);
}

void cCheckBoxSysCtrl::UpdateLayout()
{
    const rect<float> box = m_Box.GetRect();
    m_Check.SetPos(box.x, box.y, 0);
    m_Check.SetSize(box.h, box.h, 0);
    m_Label.SetPos(box.x + box.h, box.y, 0);
    m_Label.SetSize(box.w - box.h, box.h, 0);
    m_Box.SetSize(box.h, box.h, 0);
}

void cCheckBoxSysCtrl::SetPos(float x, float y, int)
{
    m_Box.SetPos(x, y, 0);
    UpdateLayout();
}

void cCheckBoxSysCtrl::MoveBy(float dx, float dy, int)
{
    m_Box.MoveBy(dx, dy, 0);
    UpdateLayout();
}

void cCheckBoxSysCtrl::SetSize(float, float h, int)
{
    m_Box.SetSize(h, h, 0);
    UpdateLayout();
}

void cCheckBoxSysCtrl::SetUVPos(float u, float v, int flags)
{
    if (flags & e_cbNormal) m_Box.SetUVPos(u, v, 0);
    if (flags & e_cbPush) m_Check.SetUVPos(u, v, 0);
}

void cCheckBoxSysCtrl::SetUVSize(float w, float h, int flags)
{
    if (flags & e_cbNormal) m_Box.SetUVSize(w, h, 0);
    if (flags & e_cbPush) m_Check.SetUVSize(w, h, 0);
}

bool cCheckBoxSysCtrl::HitTest(float x, float y) const
{
    return m_Box.HitTest(x, y) || RectHit(m_Label.GetTextRect(), x, y);
}

rect<float> cCheckBoxSysCtrl::GetRect() const { return m_Box.GetRect(); }

void cCheckBoxSysCtrl::SetText(const string& text) { m_Label.SetText(text); }

void cCheckBoxSysCtrl::SetAlign(int flags) { m_Label.SetAlign(flags); }

void cCheckBoxSysCtrl::SetFontPrt(const string& name) { m_Label.SetFontPrt(name); }

void cCheckBoxSysCtrl::SetColor(float r, float g, float b) { m_Label.SetColor(r, g, b); }

void cCheckBoxSysCtrl::SetTexture(const string& name, int flags)
{
    if (flags & e_cbNormal) m_Box.SetTexture(name);
    if (flags & e_cbPush) m_Check.SetTexture(name);
}

void cCheckBoxSysCtrl::SetCheck(bool checked) { m_bChecked = checked; }

bool cCheckBoxSysCtrl::IsChecked() const { return m_bChecked; }

// ---- cListSysCtrl ----

cListSysCtrl::cListSysCtrl(const string& name, cWindow* parent)
    : cListCtrl(name, parent), m_Selection("", nullptr), m_Template("", nullptr)
{
    m_Selection.MarkOwned();
    m_Template.MarkOwned();
    m_Template.SetOwner(this);
}

const char* cListSysCtrl::ClassName() const { return "cListSysCtrl"; }

void cListSysCtrl::UpdateLayout()
{
    m_Selection.SetSize(m_Rect.w, m_ItemSize.y, 0);
    cListCtrl::UpdateLayout();
}

void cListSysCtrl::SetSize(float w, float h, int flags)
{
    if ((flags & e_lstSelection) && (flags & e_frmBorder))
        m_Selection.SetSize(w, h, e_frmBorder);
    else
        cListCtrl::SetSize(w, h, flags);
}

void cListSysCtrl::SetUVPos(float u, float v, int flags) { m_Selection.SetUVPos(u, v, flags); }

void cListSysCtrl::SetUVSize(float w, float h, int flags) { m_Selection.SetUVSize(w, h, flags); }

void cListSysCtrl::ApplyStyle()
{
    for (cItem& item : m_Items)
        if (auto* row = dynamic_cast<cListItemSysCtrl*>(item.pCtrl)) row->CopyStyle(m_Template);
    // The template's own size is not the rows' size: the list gives the
    // visible rows theirs back, so they stay hoverable.
    UpdateLayout();
}

void cListSysCtrl::SetTexture(const string& name, int flags)
{
    if (flags & e_lstSelection) m_Selection.SetTexture(name);
}

void cListSysCtrl::SetFontPrt(const string& name)
{
    m_Template.SetFontPrt(name);
    ApplyStyle();
}

void cListSysCtrl::SetAlign(int flags)
{
    m_Template.SetAlign(flags);
    ApplyStyle();
}

void cListSysCtrl::SetColor(float r, float g, float b, int flags)
{
    const uint32_t colour = PackColor(r, g, b, 1.0f);
    if (flags & e_lstNormal) {
        m_uNormal = colour;
        m_Template.SetColorARGB(colour);
    }
    if (flags & e_lstHighlight) m_uHighlight = colour;
}

void cListSysCtrl::InsertItem(unsigned index, const string& text, unsigned data)
{
    auto* item = new cListItemSysCtrl("", nullptr);
    item->SetOwner(this);
    item->CopyStyle(m_Template);
    item->SetText(text);
    if (!InsertItemCtrl(index, item, static_cast<int>(data))) delete item;
}

void cListSysCtrl::SetItemText(unsigned index, const string& text)
{
    if (auto* label = dynamic_cast<cLabelCtrl*>(GetItemCtrl(index))) label->SetText(text);
}

string cListSysCtrl::GetItemText(unsigned index) const
{
    if (const auto* label = dynamic_cast<const cLabelCtrl*>(GetItemCtrl(index)))
        return label->GetText();
    return string();
}

// ---- cImageListSysCtrl ----

cImageListSysCtrl::cImageListSysCtrl(const string& name, cWindow* parent)
    : cListCtrl(name, parent)
{
}

const char* cImageListSysCtrl::ClassName() const { return "cImageListSysCtrl"; }

void cImageListSysCtrl::UpdateLayout()
{
    const float iw = m_ItemSize.x;
    const float ih = m_ItemSize.y;
    vec2 cell(m_Rect.x, m_Rect.y + m_Rect.h - ih);

    bool haveCursor = false;
    float cx = 0.0f;
    float cy = 0.0f;
    if (m_pGUI) {
        int x = 0;
        int y = 0;
        m_pGUI->GetCursorClientPos(x, y);
        m_pGUI->ScreenToGUI(x, y);
        cx = static_cast<float>(x);
        cy = static_cast<float>(y);
        haveCursor = true;
    }

    const unsigned end = VisibleEnd();
    for (unsigned i = m_uFirstVisible; i < end && i < m_Items.size(); ++i) {
        cCtrl* item = m_Items[i].pCtrl;
        if (!item) continue;
        item->SetPos(cell.x, cell.y, 0);
        item->SetSize(iw, ih, 0);
        vec2 next(cell.x + iw, cell.y);
        if (m_Rect.x + m_Rect.w < next.x + iw) next = vec2(m_Rect.x, cell.y - ih);
        cell = next;

        if (!haveCursor) continue;
        const int index = static_cast<int>(i);
        if (item->HitTest(cx, cy)) {
            if (index != m_iHovered) ChangeHover(index);
        } else if (index == m_iHovered) {
            ChangeHover(-1);
        }
    }
}

unsigned cImageListSysCtrl::GetVisibleCount() const
{
    const uint64_t count = static_cast<uint64_t>(WholeCount(m_Rect.h, m_ItemSize.y)) *
                           WholeCount(m_Rect.w, m_ItemSize.x);
    return count < UINT32_MAX ? static_cast<unsigned>(count) : UINT32_MAX;
}

void cImageListSysCtrl::InsertItem(unsigned index, const string& texture, const rect<float>& uv,
                                   unsigned data)
{
    auto* item = new cImageCtrl("", nullptr);
    item->SetTexture(texture);
    item->SetUVPos(uv.x, uv.y, 0);
    item->SetUVSize(uv.w, uv.h, 0);
    if (!InsertItemCtrl(index, item, static_cast<int>(data))) delete item;
}

void cImageListSysCtrl::InsertItem(unsigned index, const string& texture, unsigned data)
{
    InsertItem(index, texture, rect<float>(0.0f, 0.0f, 1.0f, 1.0f), data);
}

// ---- cToolbarSysCtrl ----

cToolbarSysCtrl::cToolbarSysCtrl(const string& name, cWindow* parent)
    : cImageListSysCtrl(name, parent)
{
}

const char* cToolbarSysCtrl::ClassName() const { return "cToolbarSysCtrl"; }

int cToolbarSysCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    if (message == cGUI::e_wndLButtonDown && IsHoveredValid() &&
        static_cast<unsigned>(m_iHovered) < VisibleEnd()) {
        // A click on a tool reports it; tools are never selected.
        const cCtrl* item = m_Items[static_cast<size_t>(m_iHovered)].pCtrl;
        if (item && !item->GetState(e_Disabled))
            SendToWindow(cGUI::e_wndItemSelect, static_cast<unsigned>(m_iHovered),
                         static_cast<unsigned>(GetID()));
        return cCtrl::OnMessage(message, a, b);
    }
    return cImageListSysCtrl::OnMessage(message, a, b);
}

} // namespace vek
