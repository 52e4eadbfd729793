#pragma once
// The list control: a vertical run of item controls inside a rectangle,
// scrolled by a first-visible index, with hover tracking, single or multiple
// selection and a 32-bit data value per item. The list owns its items; they
// have no parent window and never appear in the window's control vector. An
// item is selected while it carries e_Ignorable.
#include <cstdint>
#include <vector>

#include "engine/gui/ctrl.h"

namespace vek {

class cListCtrl : public cCtrl {
public:
    struct cItem {
        cCtrl* pCtrl = nullptr;
        int32_t iData = 0;
    };

    cListCtrl(const string& name, cWindow* parent);
    ~cListCtrl() override;

    void Draw() override;
    int OnMessage(int message, unsigned a, unsigned b) override;
    void UpdateLayout() override;
    void SetPos(float x, float y, int flags) override;
    void MoveBy(float dx, float dy, int flags) override;
    // With e_lstItems: the item size; else the list's own size.
    void SetSize(float w, float h, int flags) override;
    bool HitTest(float x, float y) const override;
    rect<float> GetRect() const override;
    const char* ClassName() const override;

    // Takes ownership of the item and inserts it before index (appends at or
    // beyond the count). An item already owned elsewhere is refused (false).
    virtual bool InsertItemCtrl(unsigned index, cCtrl* item, int data);
    virtual void DeleteItem(unsigned index);
    virtual void DeleteAllItems();
    virtual unsigned GetItemCount() const;
    virtual void SetItemData(unsigned index, int data);
    virtual int GetItemData(unsigned index) const;
    // First selected index at or after start; the item count when none.
    virtual unsigned GetSelectedItem(unsigned start) const;
    virtual bool IsSelectedItem(unsigned index) const;
    virtual void SelectItem(unsigned index, bool select, bool notify);
    virtual void SetMultiselect(bool multiselect);
    virtual bool IsMultiselect() const;
    // Rows that fit; 0 while the item height is 0.
    virtual unsigned GetVisibleCount() const;
    virtual void SetFirstVisible(unsigned index);
    virtual unsigned GetFirstVisible() const;
    virtual void EnsureVisible(unsigned index);
    virtual bool IsVisible(unsigned index) const;

    // The item control at an index; null at or beyond the count.
    cCtrl* GetItemCtrl(unsigned index) const;
    // -1 when no item is hovered.
    int GetHoveredItem() const { return m_iHovered; }
    vec2 GetItemSize() const { return m_ItemSize; }

protected:
    // The end of the visible range: min(first visible + visible count, count).
    unsigned VisibleEnd() const;
    bool IsHoveredValid() const;
    // Moves the hover to a new index (or -1), sending leave and enter.
    void ChangeHover(int index);

    rect<float> m_Rect;
    vec2 m_ItemSize{16.0f, 16.0f};
    std::vector<cItem> m_Items;
    int32_t m_iHovered = -1;
    bool m_bMultiselect = false;
    uint32_t m_uFirstVisible = 0;
};

} // namespace vek
