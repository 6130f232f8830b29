#include "TestApp.h"

#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ListCtrl.h>
#include <EditorCore/GUI_ThemeManager.h>

#include <QImage>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace EditorCore;
using EditorCoreTest::SendMouse;
using EditorCoreTest::Widget;
using Texts = std::vector<std::string>;

namespace {

constexpr UINT kListStyle = 0x50008459;  // child, visible, report, owner draw, sorted, show selection

// A list as the module writes them: owner-drawn rows, and item changes ignored while it
// rebuilds its rows.
class CurveList : public GUI_ListCtrl {
 public:
  struct Drawn {
    int row;
    UINT state;
    CRect rect;
  };
  std::vector<Drawn> drawn;
  bool refilling = false;
  int selectionChanges = 0;

  void DrawItem(const GUI_DrawItem& di) override {
    drawn.push_back({di.itemID, di.itemState, di.rcItem});
    di.dc.FillSolidRect(di.rcItem, (di.itemState & LVIS_SELECTED) ? RGB(0, 0, 255) : RGB(0, 255, 0));
  }
  void OnItemChanged(int item, UINT oldState, UINT newState, UINT) override {
    if (refilling || item < 0 || GetItemData(item) == 0) return;
    if ((oldState ^ newState) & LVIS_SELECTED) ++selectionChanges;
  }
  void Refill(const std::vector<std::pair<std::string, bool>>& rows) {
    refilling = true;
    DeleteAllItems();
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const int row = InsertItem(GetItemCount(), rows[i].first, -1, rows[i].second ? LVIS_SELECTED : 0, LVIS_SELECTED);
      SetItemData(row, static_cast<LPARAM>(i + 1));
      SetItemText(row, 1, "\xFF\x01");
    }
    refilling = false;
  }
};

Texts Column(const GUI_ListCtrl& list) {
  Texts texts;
  for (int row = 0; row < list.GetItemCount(); ++row) texts.push_back(list.GetItemText(row, 0));
  return texts;
}

// A sorted owner-drawn list and a plain one below it, each with a 200 and a 54 pixel column.
class ListCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateTopLevel("lists", CRect(0, 0, 400, 300)));
    ASSERT_TRUE(list.Create(&parent, kListStyle, CRect(0, 0, 300, 200), 1));
    ASSERT_TRUE(plain.Create(&parent, WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 200, 300, 300), 3));
    for (GUI_ListCtrl* each : {static_cast<GUI_ListCtrl*>(&list), &plain}) {
      each->InsertColumn(0, "Channel", 200);
      each->InsertColumn(1, "Tracks", 54);
    }
  }
  CPoint RowPoint(int row) const { return CPoint(30, GUI_ListCtrl::HeaderHeight + row * GUI_ListCtrl::RowHeight + 5); }
  void Press(int row, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    SendMouse(list, QEvent::MouseButtonPress, QPoint(RowPoint(row).x, RowPoint(row).y), button, button, modifiers);
  }
  EditorCoreTest::NotifyRecorder parent;
  CurveList list;
  GUI_ListCtrl plain;
};

TEST_F(ListCtrlTest, ASortedListKeepsAscendingCaseInsensitiveOrderAndAPlainOneInsertsWhereAsked) {
  EXPECT_EQ(list.InsertItem(0, "Spine"), 0);
  EXPECT_EQ(list.InsertItem(0, "arm"), 0);
  EXPECT_EQ(list.InsertItem(5, "Legs"), 1);
  EXPECT_EQ(list.InsertItem(0, "Arm2"), 1);
  EXPECT_EQ(Column(list), (Texts{"arm", "Arm2", "Legs", "Spine"}));
  plain.InsertItem(0, "b");
  plain.InsertItem(0, "c");
  plain.InsertItem(1, "a");
  EXPECT_EQ(Column(plain), (Texts{"c", "a", "b"}));
}

TEST_F(ListCtrlTest, PaintingCallsDrawItemForEachVisibleRowWithItsState) {
  list.InsertItem(0, "b");
  list.InsertItem(0, "a");
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  const QImage image = Widget(list)->grab().toImage();
  ASSERT_EQ(list.drawn.size(), 2u);
  EXPECT_EQ(list.drawn[0].row, 0);
  EXPECT_EQ(list.drawn[0].state & LVIS_SELECTED, 0u);
  EXPECT_EQ(list.drawn[1].row, 1);
  EXPECT_EQ(list.drawn[1].state & LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.drawn[1].rect.top, GUI_ListCtrl::HeaderHeight + GUI_ListCtrl::RowHeight);
  EXPECT_EQ(image.pixelColor(10, GUI_ListCtrl::HeaderHeight + 5), QColor(0, 255, 0));
  EXPECT_EQ(image.pixelColor(10, GUI_ListCtrl::HeaderHeight + GUI_ListCtrl::RowHeight + 5), QColor(0, 0, 255));
}

TEST_F(ListCtrlTest, SelectedRowsAreWalkedInListOrderAndAPartialFindIgnoresCaseAndStartsAfterTheGivenRow) {
  for (const char* name : {"d", "c", "b", "a"}) list.InsertItem(0, name);
  for (int i = 0; i < 4; ++i) list.SetItemData(i, 100 + i);
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  GUI_ListItem item;
  ASSERT_TRUE(list.GetSelectedItem(item, 0));
  EXPECT_EQ(item.iItem, 1);
  EXPECT_EQ(item.text, "b");
  EXPECT_EQ(item.lParam, 101);
  ASSERT_TRUE(list.GetSelectedItem(item, 1));
  EXPECT_EQ(item.iItem, 3);
  EXPECT_FALSE(list.GetSelectedItem(item, 2));
  EXPECT_EQ(list.GetSelectedCount(), 2);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(list.GetNextItem(1, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetNextItem(3, LVNI_SELECTED), -1);
  list.DeleteAllItems();
  for (const char* name : {"Legs", "leg", "LegLeft", "Arm"}) list.InsertItem(0, name);
  // Sorted: Arm, leg, LegLeft, Legs.
  EXPECT_EQ(list.FindItem("LEG", -1, true), 1);
  EXPECT_EQ(list.FindItem("leg", 1, true), 2);
  EXPECT_EQ(list.FindItem("leg", 2, true), 3);
  EXPECT_EQ(list.FindItem("leg", 3, true), -1);
  EXPECT_EQ(list.FindItem("LEG", -1, false), 1);
  EXPECT_EQ(list.FindItem("Le", -1, false), -1);
  EXPECT_EQ(list.FindItem("x", -1, true), -1);
}

TEST_F(ListCtrlTest, RebuildingRowsRaisesItemChangesTheCallerCanIgnore) {
  list.Refill({{"a", true}, {"b", false}, {"c", true}});
  bool sawSelection = false;
  for (const auto& note : parent.With(LVN_ITEMCHANGED)) {
    sawSelection |= (note.payload.newState & LVIS_SELECTED) && note.payload.changed == LVIF_STATE;
  }
  EXPECT_TRUE(sawSelection);
  EXPECT_EQ(list.selectionChanges, 0);
  EXPECT_EQ(list.GetItemState(0, LVIS_SELECTED), LVIS_SELECTED);
  EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), LVIS_SELECTED);

  parent.notes.clear();
  Press(1);
  // The click selects row 1 and deselects rows 0 and 2: three selection changes.
  EXPECT_EQ(list.selectionChanges, 3);
  EXPECT_EQ(list.GetSelectedCount(), 1);
  ASSERT_FALSE(parent.notes.empty());
  const auto last = parent.notes.back();
  EXPECT_EQ(last.header.code, LVN_ITEMCHANGED);
  EXPECT_EQ(last.payload.item, 1);
  EXPECT_EQ(last.payload.oldState, 0u);
  EXPECT_EQ(last.payload.newState, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(last.payload.param, 2);
}

TEST_F(ListCtrlTest, TheRightButtonSelectsTheRowAndNotifiesTheParentAndControlClickAddsToTheSelection) {
  list.Refill({{"a", false}, {"b", false}, {"c", false}});
  Press(1, Qt::RightButton);
  EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), LVIS_SELECTED);
  ASSERT_EQ(parent.With(NM_RCLICK).size(), 1u);
  EXPECT_EQ(parent.With(NM_RCLICK)[0].payload.item, 1);
  Press(0);
  Press(2, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(list.GetSelectedCount(), 2);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 2);
}

TEST_F(ListCtrlTest, EnsureVisibleScrollsTheRowIntoView) {
  for (int i = 0; i < 30; ++i) list.InsertItem(i, "row" + std::to_string(100 + i));
  const int visible = (200 - GUI_ListCtrl::HeaderHeight) / GUI_ListCtrl::RowHeight;
  ASSERT_TRUE(list.EnsureVisible(20, false));
  EXPECT_EQ(list.GetTopIndex(), 20 - visible + 1);
  ASSERT_TRUE(list.EnsureVisible(3, false));
  EXPECT_EQ(list.GetTopIndex(), 3);
  EXPECT_EQ(list.HitTest(RowPoint(0)), 3);
}

TEST_F(ListCtrlTest, SubItemsKeepTextImageAndIconsAndDefaultDrawingShowsIconCodesAsImages) {
  list.InsertItem(0, "a");
  GUI_ListItem item;
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = 0;
  item.iSubItem = 1;
  item.text = "\xFF\x01\x03";
  item.iImage = 2;
  ASSERT_TRUE(list.SetItem(item));
  EXPECT_EQ(list.GetItemText(0, 1), "\xFF\x01\x03");
  EXPECT_EQ(list.GetItemImage(0, 1), 2);
  EXPECT_EQ(list.AddIcon(nullptr), 0);
  EXPECT_EQ(list.AddIcon(GUI_ThemeManager::GetIcon(0)), 1);
  EXPECT_EQ(list.GetIconCount(), 2);
  EXPECT_EQ(list.GetIcon(1), GUI_ThemeManager::GetIcon(0));
  CRect cell;
  ASSERT_TRUE(list.GetSubItemRect(0, 1, cell));
  EXPECT_EQ(cell.left, 200);
  EXPECT_EQ(cell.right, 254);
  plain.AddIcon(nullptr);
  plain.AddIcon(GUI_ThemeManager::GetIcon(23));  // a filled square
  plain.InsertItem(0, "row");
  plain.SetItemText(0, 1, "\xFF\x01");
  const QImage image = Widget(plain)->grab().toImage();
  const QColor inIcon = image.pixelColor(200 + 9, GUI_ListCtrl::HeaderHeight + 10);
  const QColor background = image.pixelColor(200 + 40, GUI_ListCtrl::HeaderHeight + 10);
  EXPECT_NE(inIcon, background);
}

}  // namespace
