#include "TestApp.h"

#include <EditorCore/GUI_RulerCtrl.h>

#include <QCoreApplication>
#include <QCursor>

#include <gtest/gtest.h>

using namespace EditorCore;
using EditorCoreTest::SendMouse;

namespace {

class RulerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.CreateTopLevel("rulers", CRect(0, 0, 600, 400)));
    ASSERT_TRUE(ruler.Create(&parent, CRect(0, 0, 500, 30), 1));
    ruler.SetPixelPerUnit(10);
    ruler.SetMinValue(0.0, -5.0);
  }
  EditorCoreTest::NotifyRecorder parent;
  GUI_RulerCtrl ruler;
};

TEST_F(RulerTest, StartsAtScaleOneZoomsAroundAValueAndFitsAnExtentAroundItsCentre) {
  EXPECT_DOUBLE_EQ(ruler.GetScale(), 1.0);
  EXPECT_EQ(ruler.ValueToPixel(-5.0), 0);
  EXPECT_EQ(ruler.ValueToPixel(0.0), 50);
  EXPECT_DOUBLE_EQ(ruler.PixelToValue(150), 10.0);
  EXPECT_DOUBLE_EQ(ruler.GetMinValue(), 0.0);
  ruler.ZoomOnValue(40.0, 3.0);
  EXPECT_DOUBLE_EQ(ruler.GetScale(), 3.0);
  EXPECT_EQ(ruler.ValueToPixel(40.0), 450);
  EXPECT_EQ(ruler.ValueToPixel(41.0), 480);
  ASSERT_TRUE(ruler.Fit(50.0, 100.0));
  EXPECT_DOUBLE_EQ(ruler.GetScale(), 0.5);
  EXPECT_EQ(ruler.ValueToPixel(0.0), 0);
  EXPECT_EQ(ruler.ValueToPixel(50.0), 250);
  EXPECT_EQ(ruler.ValueToPixel(100.0), 500);
  EXPECT_FALSE(ruler.Fit(0.0, 0.0));
  ruler.CenterOnValue(7.0);
  EXPECT_EQ(ruler.ValueToPixel(7.0), 250);
}

TEST_F(RulerTest, AResizedRulerKeepsTheRangeItShowed) {
  GUI_RulerCtrl vertical;
  ASSERT_TRUE(vertical.Create(&parent, CRect(0, 40, 30, 240), 2));
  vertical.SetRulerStyle(GUI_RulerCtrl::StyleVertical);
  parent.ShowWindow(true);
  ASSERT_TRUE(ruler.Fit(50.0, 100.0));
  ASSERT_TRUE(vertical.Fit(-10.0, 40.0));
  ruler.MoveWindow(CRect(0, 0, 250, 30));
  vertical.MoveWindow(CRect(0, 40, 30, 440));
  EXPECT_EQ(ruler.ValueToPixel(0.0), 0);
  EXPECT_EQ(ruler.ValueToPixel(100.0), 250);
  EXPECT_EQ(vertical.ValueToPixel(-30.0), 0);
  EXPECT_EQ(vertical.ValueToPixel(10.0), 400);
  ruler.MoveWindow(CRect(0, 0, 1000, 30));
  EXPECT_EQ(ruler.ValueToPixel(100.0), 1000) << "and back, wider";
  // Hidden, the ruler hears of a size late; a view fitted meanwhile stays as fitted.
  parent.ShowWindow(false);
  ruler.MoveWindow(CRect(0, 0, 400, 30));
  ASSERT_TRUE(ruler.Fit(50.0, 100.0));
  parent.ShowWindow(true);
  QCoreApplication::processEvents();
  EXPECT_EQ(ruler.ValueToPixel(100.0), 400);
}

TEST_F(RulerTest, UnitValueIsANiceStepAtLeastTheMinimumUnit) {
  int step = 0, major = 0, offset = 0;
  EXPECT_DOUBLE_EQ(ruler.GetUnitValue(), 5.0);  // 10 px per unit: 5 units make 50 px
  ruler.GetGraduationDisplayInfo(step, major, offset);
  EXPECT_EQ(major, 50);
  EXPECT_EQ(step, 10);
  EXPECT_EQ(offset, -50);
  ruler.ZoomOnValue(0.0, 0.5);
  EXPECT_DOUBLE_EQ(ruler.GetUnitValue(), 10.0);
  ruler.ZoomOnValue(0.0, 4.0);  // 40 px per unit: 2 units make 80 px, 1 only 40
  EXPECT_DOUBLE_EQ(ruler.GetUnitValue(), 2.0);
  ruler.GetGraduationDisplayInfo(step, major, offset);
  EXPECT_EQ(major, 80);
  EXPECT_EQ(step, 40);
  ruler.SetMinUnitValue(1.0);
  ruler.ZoomOnValue(0.0, 100.0);
  EXPECT_DOUBLE_EQ(ruler.GetUnitValue(), 1.0);
  ruler.GetGraduationDisplayInfo(step, major, offset);
  EXPECT_EQ(major, 1000);
}

// The graph's tests show the markers' colours, flags and positions; here the ruler's own rules.
TEST_F(RulerTest, MarkersAreOnePerIdAndDraggingMarkerFourNotifiesTheParentAtEachMoveAndStopsAtTheMinimumIfAsked) {
  ASSERT_TRUE(ruler.AddMarker(4));
  EXPECT_FALSE(ruler.AddMarker(4));
  EXPECT_EQ(ruler.GetMarkerAt(1), nullptr);
  ruler.SetMarkerPosition(4, 12.5, true);
  EXPECT_TRUE(parent.notes.empty()) << "only a drag tells the parent";
  SendMouse(ruler, QEvent::MouseButtonPress, QPoint(100, 10), Qt::LeftButton, Qt::LeftButton);
  SendMouse(ruler, QEvent::MouseMove, QPoint(160, 12), Qt::NoButton, Qt::LeftButton);
  SendMouse(ruler, QEvent::MouseButtonRelease, QPoint(160, 12), Qt::LeftButton, Qt::NoButton);
  ASSERT_EQ(parent.notes.size(), 2u);
  EXPECT_EQ(parent.notes[0].header.hwndFrom, &ruler);
  EXPECT_EQ(parent.notes[0].header.code, GUI_RulerCtrl::NotifyMarkerMoved);
  EXPECT_DOUBLE_EQ(parent.notes[0].payload.value, 5.0);
  EXPECT_DOUBLE_EQ(parent.notes[1].payload.value, 11.0);
  EXPECT_DOUBLE_EQ(ruler.GetMarkerPosition(4), 11.0);
  EXPECT_FALSE(ruler.HasCapture());
  // Nothing below the minimum holds the dragged marker there.
  ruler.SetRulerStyle(ruler.GetRulerStyle() | GUI_RulerCtrl::StyleNothingBelowMin);
  SendMouse(ruler, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
  EXPECT_DOUBLE_EQ(ruler.GetMarkerPosition(4), 0.0);
}

TEST_F(RulerTest, VerticalRulersIgnoreMarkerDragsAndTheViewFollowsThePointerBetweenStartAndStopMove) {
  GUI_RulerCtrl vertical;
  ASSERT_TRUE(vertical.Create(&parent, CRect(0, 40, 30, 240), 2));
  vertical.SetRulerStyle(0x22);
  EXPECT_TRUE(vertical.IsVertical());
  EXPECT_EQ(vertical.GetLength(), 200);
  vertical.SetPixelPerUnit(10);
  vertical.CenterOnValue(0.0);
  EXPECT_EQ(vertical.ValueToPixel(0.0), 100);
  vertical.AddMarker(4);
  SendMouse(vertical, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(parent.notes.empty());
  QCursor::setPos(300, 300);
  ruler.StartMove(CPoint(10, 10), false);
  EXPECT_TRUE(ruler.IsMoving());
  const double startBefore = ruler.PixelToValue(0);
  QCursor::setPos(350, 310);
  ruler.FollowPointer();
  EXPECT_DOUBLE_EQ(ruler.PixelToValue(0), startBefore - 5.0);
  ASSERT_FALSE(parent.notes.empty());
  EXPECT_EQ(parent.notes.back().header.code, GUI_RulerCtrl::NotifyViewMoved);
  ruler.StopMove();
  EXPECT_FALSE(ruler.IsMoving());
  QCursor::setPos(400, 300);
  ruler.FollowPointer();
  EXPECT_DOUBLE_EQ(ruler.PixelToValue(0), startBefore - 5.0);
}

TEST_F(RulerTest, ItDrawsGraduationsAndLabels) {
  const QImage image = EditorCoreTest::Widget(ruler)->grab().toImage();
  // A major graduation at value 0 (pixel 50) runs across the ruler.
  EXPECT_NE(image.pixelColor(50, 25), image.pixelColor(47, 25));
  int lit = 0;
  for (int x = 51; x < 95; ++x) {
    for (int y = 0; y < 15; ++y) lit += image.pixelColor(x, y).lightness() > 120 ? 1 : 0;
  }
  EXPECT_GT(lit, 3);
}

TEST_F(RulerTest, LabelsAreWholeNumbersAndAVerticalRulerAsksForTheRoomItsLabelsNeed) {
  // 10 px a unit: units of 5, labels without decimals; finer units bring their decimals.
  EXPECT_EQ(ruler.FormatLabel(-3500.0), "-3500");
  EXPECT_EQ(ruler.FormatLabel(1000000.0), "1000000");
  EXPECT_EQ(ruler.FormatLabel(-1e-12), "0");
  ruler.ZoomOnValue(0.0, 40.0);  // 400 px a unit: units of 0.2
  EXPECT_EQ(ruler.FormatLabel(0.4), "0.4");
  ruler.ZoomOnValue(0.0, 400.0);  // units of 0.02
  EXPECT_EQ(ruler.FormatLabel(-0.06), "-0.06");

  GUI_RulerCtrl vertical;
  ASSERT_TRUE(vertical.Create(&parent, CRect(0, 40, 30, 240), 2));
  vertical.SetRulerStyle(GUI_RulerCtrl::StyleVertical | GUI_RulerCtrl::StyleLabels);
  vertical.SetPixelPerUnit(10);
  vertical.SetMinValue(0.0, -3650.0);
  const int narrow = vertical.GetLabelsThickness(200);
  vertical.SetMinValue(0.0, 5.0);
  EXPECT_LT(vertical.GetLabelsThickness(200), narrow) << "\"-3600\" needs more room than \"20\"";
  parent.notes.clear();
  EditorCoreTest::Widget(vertical)->grab();
  ASSERT_FALSE(parent.notes.empty());
  EXPECT_EQ(parent.notes.back().header.code, GUI_RulerCtrl::NotifyLabelsNeedRoom);
  EXPECT_EQ(parent.notes.back().payload.distance, vertical.GetLabelsThickness(200));
  parent.notes.clear();
  EditorCoreTest::Widget(vertical)->grab();
  EXPECT_TRUE(parent.notes.empty()) << "asked once for the same room";
}

}  // namespace
