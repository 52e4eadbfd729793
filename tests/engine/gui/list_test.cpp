// The list control and its text, image and toolbar forms: selection and its
// notifications, hover across inserts and deletes, scrolling, layout, and
// out-of-range indices and zero sizes.
#include <gtest/gtest.h>

#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "gui_test_helpers.h"

using namespace vek;
using namespace guitest;

namespace {

struct ListFixture : ::testing::Test {
    void SetUp() override
    {
        gui = MakeGUI();
        window = MakeWindow(*gui, "w", &log);
        gui->ShowWindow("w");
        list = new cListSysCtrl("list", window);
        list->SetPos(100, 100, 0);
        list->SetSize(200, 100, 0);
        list->SetSize(0, 16, cCtrl::e_lstItems);
        id = static_cast<unsigned>(list->GetID());
        log.clear();
    }
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i)
            list->InsertItem(list->GetItemCount(), string(1, static_cast<char>('a' + i)),
                             static_cast<unsigned>(100 + i));
    }
    // The GUI y of the middle of a visible row.
    static int RowY(int row) { return 200 - 16 * row - 8; }
    void MoveTo(int gx, int gy) { gui->OnMouseMove(gx, 768 - gy); }
    void ClickRow(int row)
    {
        MoveTo(150, RowY(row));
        gui->OnMouseButton(false, 0, 150, 768 - RowY(row));
        gui->OnMouseButton(true, 0, 150, 768 - RowY(row));
    }
    cLog Selections()
    {
        cLog out = Only(log, {cGUI::e_wndItemSelect});
        log.clear();
        return out;
    }
    cRecord Sel(unsigned index) const { return {window->GetID(), 53, index, id}; }

    cLog log;
    std::unique_ptr<cGUI> gui;
    cWindow* window = nullptr;
    cListSysCtrl* list = nullptr;
    unsigned id = 0;
};

TEST_F(ListFixture, SingleSelectionMovesAndNotifiesBothRows)
{
    Fill(5);
    list->SelectItem(0, true, true);
    EXPECT_EQ(Selections(), (cLog{Sel(0)}));
    list->SelectItem(2, true, true);
    EXPECT_EQ(Selections(), (cLog{Sel(0), Sel(2)}));
    list->SelectItem(2, true, true);
    list->SelectItem(1, false, true);
    EXPECT_TRUE(Selections().empty());
    EXPECT_EQ(list->GetSelectedItem(0), 2u);
    EXPECT_EQ(list->GetSelectedItem(3), 5u);
    list->SelectItem(2, false, false);
    EXPECT_EQ(list->GetSelectedItem(0), 5u);
    EXPECT_TRUE(Selections().empty());
}

TEST_F(ListFixture, ClicksSelectButNeverDisabledRows)
{
    Fill(5);
    ClickRow(1);
    EXPECT_TRUE(list->IsSelectedItem(1));
    EXPECT_EQ(Selections(), (cLog{Sel(1)}));
    ClickRow(1);  // single selection keeps the clicked row selected
    EXPECT_TRUE(list->IsSelectedItem(1));
    EXPECT_TRUE(Selections().empty());

    list->GetItemCtrl(3)->EnableState(cCtrl::e_Disabled);
    ClickRow(3);
    EXPECT_FALSE(list->IsSelectedItem(3));
    EXPECT_TRUE(list->IsSelectedItem(1));
    EXPECT_TRUE(Selections().empty());

    list->SetMultiselect(true);
    ClickRow(2);
    ClickRow(1);
    ClickRow(2);
    EXPECT_EQ(Selections(), (cLog{Sel(2), Sel(1), Sel(2)}));
    EXPECT_FALSE(list->IsSelectedItem(1));
    EXPECT_FALSE(list->IsSelectedItem(2));
}

TEST_F(ListFixture, VisibleRowsScrollAndLayOutFromTheTop)
{
    Fill(10);
    EXPECT_EQ(list->GetVisibleCount(), 6u);
    list->SetFirstVisible(3);
    EXPECT_EQ(list->GetItemCtrl(3)->GetRect(), rect<float>(100, 184, 200, 16));
    EXPECT_EQ(list->GetItemCtrl(8)->GetRect(), rect<float>(100, 104, 200, 16));
    // A row's text keeps clear of the list's left edge.
    EXPECT_EQ(static_cast<cLabelCtrl*>(list->GetItemCtrl(3))->GetTextRect().x, 108.0f);
    EXPECT_TRUE(list->IsVisible(8));
    EXPECT_FALSE(list->IsVisible(9));
    EXPECT_FALSE(list->IsVisible(2));

    list->EnsureVisible(10);  // the item count: nothing changes
    EXPECT_EQ(list->GetFirstVisible(), 3u);
    list->EnsureVisible(9);
    EXPECT_EQ(list->GetFirstVisible(), 4u);
    list->EnsureVisible(1);
    EXPECT_EQ(list->GetFirstVisible(), 1u);
    list->SetFirstVisible(10);
    EXPECT_EQ(list->GetFirstVisible(), 1u);

    // The row under the cursor is counted from the first visible row.
    ClickRow(0);
    EXPECT_TRUE(list->IsSelectedItem(1));
}

TEST_F(ListFixture, HoverFollowsItsRowThroughInsertAndDelete)
{
    list->SetColor(1, 0, 0, cCtrl::e_lstHighlight);
    list->SetColor(0, 0, 1, cCtrl::e_lstNormal);
    Fill(4);
    MoveTo(150, RowY(2));
    ASSERT_EQ(list->GetHoveredItem(), 2);
    cCtrl* hovered = list->GetItemCtrl(2);
    auto colour = [](cCtrl* item) { return static_cast<cLabelCtrl*>(item)->GetColor(); };
    EXPECT_EQ(colour(hovered), 0xFFFF0000u);
    EXPECT_EQ(colour(list->GetItemCtrl(1)), 0xFF0000FFu);

    list->InsertItem(0, "new", 7);
    EXPECT_EQ(list->GetHoveredItem(), 3);
    EXPECT_EQ(list->GetItemCtrl(3), hovered);
    list->InsertItem(99, "end", 8);  // beyond the count: appended, hover unmoved
    EXPECT_EQ(list->GetHoveredItem(), 3);
    EXPECT_EQ(list->GetItemText(5), "end");
    list->DeleteItem(0);
    EXPECT_EQ(list->GetHoveredItem(), 2);
    EXPECT_EQ(list->GetItemCtrl(2), hovered);
    list->DeleteItem(4);
    EXPECT_EQ(list->GetHoveredItem(), 2);

    // Leaving brings the normal colour back.
    MoveTo(150, RowY(0));
    EXPECT_EQ(list->GetHoveredItem(), 0);
    EXPECT_EQ(colour(hovered), 0xFF0000FFu);

    list->DeleteItem(0);
    EXPECT_EQ(list->GetHoveredItem(), -1);
    MoveTo(150, RowY(1));
    EXPECT_EQ(list->GetHoveredItem(), 1);
    list->DeleteAllItems();
    EXPECT_EQ(list->GetHoveredItem(), -1);
    MoveTo(150, RowY(2));
    MoveTo(500, 500);
    EXPECT_EQ(list->GetItemCount(), 0u);
}

TEST_F(ListFixture, OutOfRangeIndicesAndZeroSizesAreHarmless)
{
    Fill(3);
    list->DeleteItem(3);
    list->DeleteItem(0xFFFFFFFFu);
    EXPECT_EQ(list->GetItemCount(), 3u);
    list->SetItemData(3, 5);
    EXPECT_EQ(list->GetItemData(3), 0);
    EXPECT_EQ(list->GetItemData(1), 101);
    EXPECT_FALSE(list->IsSelectedItem(3));
    list->SelectItem(3, true, true);
    list->SetItemText(3, "x");
    EXPECT_EQ(list->GetItemText(3), "");
    EXPECT_EQ(list->GetSelectedItem(0xFFFFFFFFu), 3u);
    EXPECT_TRUE(Selections().empty());

    // Items of no height: no rows, and the mouse finds none.
    list->SetSize(0, 0, cCtrl::e_lstItems);
    EXPECT_EQ(list->GetVisibleCount(), 0u);
    MoveTo(150, RowY(0));
    ClickRow(0);
    list->EnsureVisible(2);
    EXPECT_EQ(list->GetHoveredItem(), -1);
    list->SetSize(0, -16, cCtrl::e_lstItems);
    EXPECT_EQ(list->GetVisibleCount(), 0u);
    list->SetSize(0, 16, cCtrl::e_lstItems);
    list->SetSize(0, 0, 0);
    EXPECT_EQ(list->GetVisibleCount(), 0u);
    EXPECT_TRUE(Selections().empty());
}

TEST_F(ListFixture, SelectedRowsDrawTheSelectionFrameBehindThem)
{
    Fill(3);
    list->SetSize(3, 3, cCtrl::e_lstSelection | cCtrl::e_frmBorder);
    EXPECT_EQ(list->GetSelectionFrame().GetBorderSize(), vec2(3, 3));
    EXPECT_EQ(list->GetSelectionFrame().GetRect().w, 200.0f);
    EXPECT_EQ(list->GetSelectionFrame().GetRect().h, 16.0f);
    list->SelectItem(1, true, false);
    list->Draw();
    EXPECT_EQ(list->GetSelectionFrame().GetRect(), list->GetItemCtrl(1)->GetRect());
    EXPECT_TRUE(Selections().empty());  // no notification asked for

    // Restyling keeps rows sized and hoverable.
    list->SetAlign(cAlign::Center);
    EXPECT_EQ(list->GetItemCtrl(0)->GetRect(), rect<float>(100, 184, 200, 16));
    EXPECT_EQ(static_cast<cLabelCtrl*>(list->GetItemCtrl(0))->GetAlign(), cAlign::Center);
}

TEST_F(ListFixture, ItemsCannotBeHandedToASecondOwner)
{
    auto* probe = new cProbeCtrl("p", window, 0, 0, 1, 1);
    EXPECT_FALSE(list->InsertItemCtrl(0, probe, 0));
    EXPECT_FALSE(list->InsertItemCtrl(0, nullptr, 0));
    auto* item = new cImageCtrl("", nullptr);
    EXPECT_TRUE(list->InsertItemCtrl(0, item, 0));
    EXPECT_EQ(window->AddControl(item), 0);
    EXPECT_EQ(list->GetItemCount(), 1u);
}

TEST(ImageList, GridRowsAndToolbarClicks)
{
    cLog log;
    auto gui = MakeGUI();
    cWindow* window = MakeWindow(*gui, "w", &log);
    gui->ShowWindow("w");
    auto* bar = new cToolbarSysCtrl("tools", window);
    bar->SetPos(0, 0, 0);
    bar->SetSize(100, 50, 0);
    bar->SetSize(25, 25, cCtrl::e_lstItems);
    for (int i = 0; i < 10; ++i) bar->InsertItem(bar->GetItemCount(), "tex", static_cast<unsigned>(i));
    EXPECT_EQ(bar->GetVisibleCount(), 8u);
    EXPECT_EQ(bar->GetItemCtrl(0)->GetRect(), rect<float>(0, 25, 25, 25));
    EXPECT_EQ(bar->GetItemCtrl(3)->GetRect(), rect<float>(75, 25, 25, 25));
    EXPECT_EQ(bar->GetItemCtrl(4)->GetRect(), rect<float>(0, 0, 25, 25));
    EXPECT_EQ(bar->GetItemCtrl(7)->GetRect(), rect<float>(75, 0, 25, 25));
    EXPECT_EQ(bar->GetItemCtrl(8)->GetRect().w, 0.0f);

    const unsigned id = static_cast<unsigned>(bar->GetID());
    log.clear();
    gui->OnMouseMove(60, 768 - 10);  // item 6
    EXPECT_EQ(bar->GetHoveredItem(), 6);
    gui->OnMouseButton(false, 0, 60, 768 - 10);
    EXPECT_EQ(Only(log, {53}), (cLog{{window->GetID(), 53, 6, id}}));
    EXPECT_FALSE(bar->IsSelectedItem(6));

    log.clear();
    bar->GetItemCtrl(6)->EnableState(cCtrl::e_Disabled);
    gui->OnMouseButton(false, 0, 60, 768 - 10);
    EXPECT_TRUE(Only(log, {53}).empty());
    EXPECT_EQ(bar->GetSelectedItem(0), bar->GetItemCount());

    // A layout change finds the item under the cursor again.
    bar->SetFirstVisible(2);
    EXPECT_EQ(bar->GetHoveredItem(), 8);

    // Cells of no width show nothing.
    bar->SetSize(0, 25, cCtrl::e_lstItems);
    EXPECT_EQ(bar->GetVisibleCount(), 0u);
    gui->OnMouseMove(10, 768 - 10);
    gui->OnMouseButton(false, 0, 10, 768 - 10);
}

} // namespace
