#include "TestApp.h"

#include <EditorCore/GUI_ComboBox.h>
#include <EditorCore/GUI_EditBox.h>
#include <EditorCore/GUI_PushButton.h>
#include <EditorCore/GUI_SplitterControl.h>
#include <EditorCore/GUI_TabCtrl.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

#include <vector>

using namespace EditorCore;
using EditorCoreTest::SendMouse;
using EditorCoreTest::Widget;

namespace {

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(page.CreateTopLevel("page", CRect(0, 0, 600, 400))); }
  EditorCoreTest::NotifyRecorder page;
};

TEST_F(ControlsTest, SplittersReportTheSignedDistanceAlongTheirAxisWithinTheirRangeOnRelease) {
  struct Case {
    UINT style;
    CRect rect;
    QPoint press, release;
    std::vector<long> distances;
  };
  const Case cases[] = {{GUI_SplitterControl::StyleVertical, CRect(200, 1, 204, 399), {2, 50}, {52, 90}, {50}},
                        // Held at the range's top, 80.
                        {GUI_SplitterControl::StyleHorizontal, CRect(1, 100, 199, 104), {50, 2}, {500, -60}, {-20}},
                        // A release where the press was sends nothing.
                        {GUI_SplitterControl::StyleVertical, CRect(200, 1, 204, 399), {2, 50}, {2, 80}, {}}};
  for (const Case& c : cases) {
    page.notes.clear();
    GUI_SplitterControl splitter;
    ASSERT_TRUE(splitter.Create(&page, c.style, c.rect, 7));
    splitter.SetRange(c.style == GUI_SplitterControl::StyleVertical ? 200 : 80, 400);
    SendMouse(splitter, QEvent::MouseButtonPress, c.press, Qt::LeftButton, Qt::LeftButton);
    SendMouse(splitter, QEvent::MouseMove, (c.press + c.release) / 2, Qt::NoButton, Qt::LeftButton);
    SendMouse(splitter, QEvent::MouseButtonRelease, c.release, Qt::LeftButton, Qt::NoButton);
    std::vector<long> distances;
    for (const auto& note : page.notes) {
      EXPECT_EQ(note.header.hwndFrom, &splitter);
      EXPECT_EQ(note.header.idFrom, 7u);
      EXPECT_EQ(note.header.code, GUI_SplitterControl::NotifyMoved);
      distances.push_back(note.payload.distance);
    }
    EXPECT_EQ(distances, c.distances) << c.style;
  }
}

TEST_F(ControlsTest, TabsCountSelectAndReportContextMenus) {
  GUI_TabCtrl tabs;
  ASSERT_TRUE(tabs.Create(&page, 1));
  tabs.MoveWindow(2, 2, 500, 300);
  tabs.SetMargins(0, 1, 0, 0);
  EXPECT_EQ(tabs.GetCurSel(), -1);
  EXPECT_EQ(tabs.InsertItem(0, "Walk"), 0);
  EXPECT_EQ(tabs.InsertItem(1, "Run"), 1);
  tabs.SetCurSel(1);
  EXPECT_EQ(tabs.GetCurSel(), 1);
  EXPECT_EQ(tabs.GetItemCount(), 2);
  EXPECT_EQ(tabs.GetItemText(1), "Run");
  CRect display;
  tabs.GetDisplayRect(display);
  EXPECT_GT(display.top, 1);
  EXPECT_EQ(display.Width(), 500);
  EXPECT_TRUE(page.notes.empty());

  auto* bar = Widget(tabs)->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  const QPoint onFirst = bar->tabRect(0).center();
  QMouseEvent right(QEvent::MouseButtonPress, QPointF(onFirst), QPointF(bar->mapToGlobal(onFirst)), Qt::RightButton,
                    Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &right);
  ASSERT_EQ(page.notes.size(), 1u);
  EXPECT_EQ(page.notes[0].header.code, GUI_TabCtrl::NotifyContextMenu);
  EXPECT_EQ(page.notes[0].payload.item, 0);

  EXPECT_TRUE(tabs.DeleteItem(1));
  EXPECT_EQ(tabs.GetItemCount(), 1);
  EXPECT_TRUE(tabs.DeleteItem(0));
  EXPECT_EQ(tabs.GetCurSel(), -1);
}

TEST_F(ControlsTest, PushButtonSendsPressThenClickCommandAndFloatEditHonoursDecimalsAndMinimum) {
  GUI_PushButton button;
  ASSERT_TRUE(button.Create(&page, CRect(10, 10, 60, 40), 1021, "Play"));
  qobject_cast<QPushButton*>(Widget(button))->click();
  ASSERT_EQ(page.notes.size(), 1u);
  EXPECT_EQ(page.notes[0].header.code, GUI_PushButton::NotifyPressed);
  EXPECT_EQ(page.notes[0].header.idFrom, 1021u);
  EXPECT_EQ(page.commands, std::vector<UINT>{1021u});
  GUI_EditBox edit;
  ASSERT_TRUE(edit.Create(&page, CRect(10, 50, 110, 70), 1042));
  edit.SetTypeAsFloat(3, true);
  edit.SetMinBoundary(0.0);
  edit.SetFloatValue(0.05);
  EXPECT_EQ(edit.GetWindowText(), "0.050");
  EXPECT_DOUBLE_EQ(edit.GetFloatValue(), 0.05);
  ASSERT_FALSE(page.notes.empty());
  EXPECT_EQ(page.notes.back().header.code, GUI_EditBox::NotifyValueChanged);
  EXPECT_DOUBLE_EQ(page.notes.back().payload.value, 0.05);
  edit.SetWindowText("-4");
  EXPECT_DOUBLE_EQ(edit.GetFloatValue(), 0.0);
  auto* line = qobject_cast<QLineEdit*>(Widget(edit));
  line->clear();
  line->insert(QStringLiteral("-"));
  EXPECT_TRUE(line->text().isEmpty());  // a refused minus sign
  edit.SetEmpty();
  EXPECT_TRUE(edit.IsEmpty());
}

TEST_F(ControlsTest, ComboKeepsOrderItemDataAndReportsPicks) {
  GUI_ComboBox combo;
  ASSERT_TRUE(combo.Create(&page, CRect(10, 80, 110, 200), 1023));
  EXPECT_EQ(combo.AddString(" - All animated objects"), 0);
  EXPECT_EQ(combo.AddString(" - Scene selection"), 1);
  EXPECT_EQ(combo.AddString("Hips"), 2);
  combo.SetItemData(2, 0x1234);
  combo.SetCurSel(-1);
  EXPECT_EQ(combo.GetCurSel(), -1);
  combo.SetCurSel(1);
  EXPECT_EQ(combo.GetCurSel(), 1);
  EXPECT_EQ(combo.GetItemData(2), 0x1234);
  EXPECT_EQ(combo.GetLBText(2), "Hips");
  EXPECT_TRUE(page.notes.empty());
  auto* box = qobject_cast<QComboBox*>(Widget(combo));
  box->activated(2);
  ASSERT_EQ(page.notes.size(), 1u);
  EXPECT_EQ(page.notes[0].header.code, GUI_ComboBox::NotifySelChange);
  EXPECT_EQ(page.notes[0].payload.item, 2);
}

}  // namespace
