#include "engine/gui/listctrl.h"

#include <cmath>

#include "engine/core/numeric.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"

namespace vek {

namespace {


} // namespace

cListCtrl::cListCtrl(const string& name, cWindow* parent) : cCtrl(name, parent) {}

cListCtrl::~cListCtrl()
{
    for (cItem& item : m_Items) {
        delete item.pCtrl;
        item.pCtrl = nullptr;
    }
    m_Items.clear();
}

unsigned cListCtrl::VisibleEnd() const
{
    const unsigned long long end =
        static_cast<unsigned long long>(m_uFirstVisible) + GetVisibleCount();
    return end < m_Items.size() ? static_cast<unsigned>(end)
                                : static_cast<unsigned>(m_Items.size());
}

bool cListCtrl::IsHoveredValid() const
{
    return m_iHovered >= 0 && static_cast<size_t>(m_iHovered) < m_Items.size();
}

cCtrl* cListCtrl::GetItemCtrl(unsigned index) const
{
    return index < m_Items.size() ? m_Items[index].pCtrl : nullptr;
}

void cListCtrl::ChangeHover(int index)
{
    if (index == m_iHovered) return;
    if (IsHoveredValid()) {
        if (cCtrl* old = m_Items[static_cast<size_t>(m_iHovered)].pCtrl)
            old->OnMessage(cGUI::e_wndMouseLeave, 0, 0);
    }
    m_iHovered = index;
    if (IsHoveredValid()) {
        if (cCtrl* now = m_Items[static_cast<size_t>(m_iHovered)].pCtrl)
            now->OnMessage(cGUI::e_wndMouseEnter, 0, 0);
    }
}

void cListCtrl::Draw()
{
    const unsigned end = VisibleEnd();
    for (unsigned i = m_uFirstVisible; i < end && i < m_Items.size(); ++i)
        if (m_Items[i].pCtrl) m_Items[i].pCtrl->Draw();
}

int cListCtrl::OnMessage(int message, unsigned a, unsigned b)
{
    switch (message) {
    case cGUI::e_wndMouseMove: {
        const float x = static_cast<float>(GUIPointX(b));
        const float y = static_cast<float>(GUIPointY(b));
        int candidate = -1;
        const unsigned end = VisibleEnd();
        for (unsigned i = m_uFirstVisible; i < end; ++i) {
            const cCtrl* item = m_Items[i].pCtrl;
            if (item && item->HitTest(x, y)) candidate = static_cast<int>(i);
        }
        ChangeHover(candidate);
        if (IsHoveredValid()) {
            if (cCtrl* item = m_Items[static_cast<size_t>(m_iHovered)].pCtrl)
                item->OnMessage(cGUI::e_wndMouseMove, a, b);
        }
        break;
    }
    case cGUI::e_wndLButtonDown:
        if (IsHoveredValid() && static_cast<unsigned>(m_iHovered) < VisibleEnd()) {
            const unsigned index = static_cast<unsigned>(m_iHovered);
            const bool selected = IsSelectedItem(index);
            // In single selection a click on the selected row keeps it.
            if (m_bMultiselect || !selected) SelectItem(index, !selected, true);
        }
        break;
    case cGUI::e_wndMouseLeave:
        ChangeHover(-1);
        break;
    default: break;
    }
    return cCtrl::OnMessage(message, a, b);
}

void cListCtrl::UpdateLayout()
{
    float top = m_Rect.y + m_Rect.h;
    const unsigned end = VisibleEnd();
    for (unsigned i = m_uFirstVisible; i < end; ++i) {
        cCtrl* item = m_Items[i].pCtrl;
        if (!item) continue;
        item->SetPos(m_Rect.x, top - m_ItemSize.y, 0);
        item->SetSize(m_Rect.w, m_ItemSize.y, 0);
        top -= m_ItemSize.y;
    }
}

void cListCtrl::SetPos(float x, float y, int)
{
    m_Rect.x = x;
    m_Rect.y = y;
    UpdateLayout();
}

void cListCtrl::MoveBy(float dx, float dy, int)
{
    m_Rect.x += dx;
    m_Rect.y += dy;
    UpdateLayout();
}

void cListCtrl::SetSize(float w, float h, int flags)
{
    if (flags & e_lstItems) {
        m_ItemSize = vec2(w, h);
    } else {
        m_Rect.w = w;
        m_Rect.h = h;
    }
    UpdateLayout();
}

bool cListCtrl::HitTest(float x, float y) const { return RectHit(m_Rect, x, y); }

rect<float> cListCtrl::GetRect() const { return m_Rect; }

const char* cListCtrl::ClassName() const { return "cListCtrl"; }

bool cListCtrl::InsertItemCtrl(unsigned index, cCtrl* item, int data)
{
    if (!item) return false;
    if (item->m_bOwned) {
        LogWarning("cListCtrl", "Item '%s' already belongs to another owner\n", item->GetName());
        return false;
    }
    item->m_bOwned = true;
    if (index >= m_Items.size()) {
        index = static_cast<unsigned>(m_Items.size());
        m_Items.push_back(cItem{item, data});
    } else {
        m_Items.insert(m_Items.begin() + index, cItem{item, data});
    }
    // The hovered row keeps its item: its index moves with it.
    if (m_iHovered >= 0 && static_cast<unsigned>(m_iHovered) >= index) ++m_iHovered;
    UpdateLayout();
    return true;
}

void cListCtrl::DeleteItem(unsigned index)
{
    if (index >= m_Items.size()) return;
    if (m_iHovered >= 0) {
        const unsigned hovered = static_cast<unsigned>(m_iHovered);
        if (hovered == index)
            m_iHovered = -1;
        else if (hovered > index)
            --m_iHovered;
    }
    cCtrl* item = m_Items[index].pCtrl;
    m_Items.erase(m_Items.begin() + index);
    delete item;
    UpdateLayout();
}

void cListCtrl::DeleteAllItems()
{
    m_iHovered = -1;
    std::vector<cItem> items;
    items.swap(m_Items);
    for (cItem& item : items) delete item.pCtrl;
    UpdateLayout();
}

unsigned cListCtrl::GetItemCount() const { return static_cast<unsigned>(m_Items.size()); }

void cListCtrl::SetItemData(unsigned index, int data)
{
    if (index < m_Items.size()) m_Items[index].iData = data;
}

int cListCtrl::GetItemData(unsigned index) const
{
    return index < m_Items.size() ? m_Items[index].iData : 0;
}

unsigned cListCtrl::GetSelectedItem(unsigned start) const
{
    for (size_t i = start; i < m_Items.size(); ++i)
        if (m_Items[i].pCtrl && m_Items[i].pCtrl->GetState(e_Ignorable))
            return static_cast<unsigned>(i);
    return static_cast<unsigned>(m_Items.size());
}

bool cListCtrl::IsSelectedItem(unsigned index) const
{
    return index < m_Items.size() && m_Items[index].pCtrl &&
           m_Items[index].pCtrl->GetState(e_Ignorable);
}

void cListCtrl::SelectItem(unsigned index, bool select, bool notify)
{
    if (index >= m_Items.size()) return;
    cCtrl* item = m_Items[index].pCtrl;
    if (!item || item->GetState(e_Disabled)) return;
    const unsigned id = static_cast<unsigned>(GetID());

    if (m_bMultiselect) {
        if (IsSelectedItem(index) == select) return;
        if (select)
            item->EnableState(e_Ignorable);
        else
            item->DisableState(e_Ignorable);
    } else if (select) {
        const unsigned selected = GetSelectedItem(0);
        if (selected == index) return;
        if (selected < m_Items.size()) {
            m_Items[selected].pCtrl->DisableState(e_Ignorable);
            if (notify) SendToWindow(cGUI::e_wndItemSelect, selected, id);
        }
        // The notification may have changed the list: find the item again.
        if (index >= m_Items.size() || m_Items[index].pCtrl != item) return;
        item->EnableState(e_Ignorable);
    } else {
        if (!IsSelectedItem(index)) return;
        item->DisableState(e_Ignorable);
    }
    if (notify) SendToWindow(cGUI::e_wndItemSelect, index, id);
}

void cListCtrl::SetMultiselect(bool multiselect) { m_bMultiselect = multiselect; }

bool cListCtrl::IsMultiselect() const { return m_bMultiselect; }

unsigned cListCtrl::GetVisibleCount() const { return WholeCount(m_Rect.h, m_ItemSize.y); }

void cListCtrl::SetFirstVisible(unsigned index)
{
    if (index >= m_Items.size()) return;
    m_uFirstVisible = index;
    UpdateLayout();
}

unsigned cListCtrl::GetFirstVisible() const { return m_uFirstVisible; }

void cListCtrl::EnsureVisible(unsigned index)
{
    if (index >= m_Items.size()) return;
    const unsigned count = GetVisibleCount();
    unsigned first = m_uFirstVisible;
    if (index < first)
        first = index;
    else if (static_cast<unsigned long long>(index) >=
             static_cast<unsigned long long>(first) + count)
        first = count > 0 ? index - count + 1 : index;
    if (first != m_uFirstVisible) {
        m_uFirstVisible = first;
        UpdateLayout();
    }
}

bool cListCtrl::IsVisible(unsigned index) const
{
    return m_uFirstVisible <= index && static_cast<unsigned long long>(index) <
                                           static_cast<unsigned long long>(m_uFirstVisible) +
                                               GetVisibleCount();
}

} // namespace vek
