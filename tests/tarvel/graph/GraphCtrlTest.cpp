#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_ThemeManager.h>
#include <EditorToolkit/EditorKernel.h>
#include <EditorToolkit/KeyManager.h>

#include <QColor>
#include <QCursor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "GraphBench.h"

using EditorCore::COLORREF;
using EditorCore::CRect;
using EditorCore::RGB;
using Tarvel::CurveInfo;

namespace {

constexpr COLORREF kMajor = RGB(100, 100, 100);
constexpr COLORREF kMinor = RGB(150, 150, 150);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kCurve = RGB(200, 40, 40);
constexpr COLORREF kSelection = RGB(40, 220, 40);

COLORREF Light(COLORREF c) {
  auto up = [](int b) { return std::min(255, static_cast<int>(b * 1.1)); };
  return RGB(up(EditorCore::GetRValue(c)), up(EditorCore::GetGValue(c)), up(EditorCore::GetBValue(c)));
}

// At the default zoom a frame and a value are 10 pixels each: frame f at column (f + 5) * 10,
// value v at row 400 - (v + 25) * 10. Grid lines fall on columns and rows that are multiples
// of 10, so pixels ending in 5 show the background.
class GraphRendering : public GraphBench {
 protected:
  void SetUp() override {
    GraphBench::SetUp();
    // The time cursor would hide the frame 0 line.
    hRuler.SetMarkerPosition(4, 33.5, false);
    ASSERT_TRUE(buffer.CreateOffscreen(kW, kH));
    base = EditorCore::GUI_ThemeManager::GetColor(161);
    light = Light(base);
    ASSERT_NE(base, light);
  }

  CurveInfo& AddCurve(std::vector<std::pair<float, float>> keys, bool selected = false, COLORREF colour = kCurve) {
    CurveInfo& info = Add(keys);
    info.pCurve->SetColor(colour);
    info.pCurve->SetSelectionColor(kSelection);
    info.bSelected = selected;
    return info;
  }

  void Draw() { graph.Paint(buffer, kW, kH); }
  COLORREF At(int x, int y) const { return buffer.GetPixel(x, y); }
  int CountInRect(const CRect& r, COLORREF colour) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == colour ? 1 : 0;
    return n;
  }

  EditorCore::GUI_BackBuffer buffer;
  COLORREF base = 0;
  COLORREF light = 0;
};

TEST_F(GraphRendering, FillsWithTheGraphBackgroundWithoutASelection) {
  shown.fSelectionBegin = 10.0f;  // one bound alone is no range
  Draw();
  EXPECT_EQ(At(5, 5), base);
  EXPECT_EQ(At(345, 255), base);
  EXPECT_EQ(At(kW - 5, kH - 5), base);
}

TEST_F(GraphRendering, SingleSelectedFrameShowsABandFromOneFrameBeforeToOneAfter) {
  shown.fSelectionBegin = shown.fSelectionEnd = 20.0f;
  Draw();
  EXPECT_EQ(At(Col(19) - 1, 105), base);
  EXPECT_EQ(At(Col(19) + 1, 105), light);
  EXPECT_EQ(At(Col(21) - 1, 105), light);
  EXPECT_EQ(At(Col(21) + 1, 105), base);
}

TEST_F(GraphRendering, FalloffWithZeroWidthsDrawsNoGradient) {
  shown.fSelectionBegin = 20.0f;
  shown.fSelectionEnd = 30.0f;
  Draw();
  EXPECT_EQ(At(Col(20) - 5, 105), base);
  EXPECT_EQ(At(Col(20) + 5, 105), light);
  EXPECT_EQ(At(Col(30) + 5, 105), base);

  graph.GetEditor().fFalloffBefore = graph.GetEditor().fFalloffAfter = 3.0f;
  Draw();
  EXPECT_NE(At(Col(20) - 5, 105), base);
  EXPECT_NE(At(Col(30) + 5, 105), base);
  EXPECT_EQ(At(Col(17) - 5, 105), base);

  graph.GetEditor().bFalloff = false;
  Draw();
  EXPECT_EQ(At(Col(20) - 5, 105), base);
}

TEST_F(GraphRendering, ZeroLinesAreBlackAndOtherMajorLinesGrey) {
  Draw();
  EXPECT_EQ(At(Col(0), 105), kBlack);
  EXPECT_EQ(At(Col(5), 105), kMajor);
  EXPECT_EQ(At(Col(-5), 105), kMajor);
  EXPECT_EQ(At(Col(1), 105), kMinor);
  EXPECT_EQ(At(205, Row(0)), kBlack);
  EXPECT_EQ(At(205, Row(5)), kMajor);
  EXPECT_EQ(At(205, Row(1)), kMinor);
}

TEST_F(GraphRendering, MinorLinesOnlyWhenTheMinimumUnitIsFiner) {
  hRuler.SetMinUnitValue(hRuler.GetUnitValue());
  Draw();
  EXPECT_EQ(At(Col(1), 105), base);
  EXPECT_EQ(At(Col(5), 105), kMajor);
  EXPECT_EQ(At(205, Row(1)), kMinor);  // the vertical ruler keeps its own rule
}

TEST_F(GraphRendering, NothingBelowMinStyleLeavesNoGridLeftOfTheMinimum) {
  Draw();
  ASSERT_EQ(At(0, 105), kMajor);
  hRuler.SetRulerStyle(hRuler.GetRulerStyle() | EditorCore::GUI_RulerCtrl::StyleNothingBelowMin);
  Draw();
  for (int x = 0; x < Col(0); ++x) EXPECT_EQ(At(x, 105), base) << "column " << x;
  EXPECT_EQ(At(Col(0), 105), kBlack);
  EXPECT_EQ(At(Col(1), 105), kMinor);
}

TEST_F(GraphRendering, MarkersAreSolidOrDottedByTheirFlag) {
  hRuler.ShowMarker(1, true);
  hRuler.SetMarkerPosition(1, 12.3, false);
  Draw();
  const int cursor = Col(33.5);
  EXPECT_EQ(CountInRect(CRect(cursor, 1, cursor + 1, kH - 1), 0xDCDCDC), kH - 2);
  EXPECT_EQ(At(cursor, 0), base);
  const int dotted = CountInRect(CRect(Col(12.3), 1, Col(12.3) + 1, kH - 1), 0x0096C8);
  EXPECT_GT(dotted, kH / 4);
  EXPECT_LT(dotted, 3 * kH / 4);
}

TEST_F(GraphRendering, CurveLeavingTheTopIsClippedWithoutAStrokeAlongTheEdge) {
  // Out of view (value above 15) between frames 3.75 and 16.25.
  AddCurve({{0.0f, 0.0f}, {10.0f, 40.0f}, {20.0f, 0.0f}});
  Draw();
  EXPECT_GT(CountInRect(CRect(Col(1), 0, Col(1) + 1, kH), kCurve), 0);
  EXPECT_GT(CountInRect(CRect(Col(3.6), 0, Col(3.9), 2), kCurve), 0) << "the curve reaches the edge";
  EXPECT_EQ(CountInRect(CRect(Col(4.5), 0, Col(15.5), kH), kCurve), 0);
  EXPECT_GT(CountInRect(CRect(Col(19), 0, Col(19) + 1, kH), kCurve), 0);
}

TEST_F(GraphRendering, SelectedCurvesLieOverUnselectedOnesInAnyOrder) {
  for (const bool selectedFirst : {true, false}) {
    shown.Clear();
    records.clear();
    if (selectedFirst) AddCurve({{0.0f, 5.0f}, {30.0f, 5.0f}}, true);
    AddCurve({{0.0f, 5.0f}, {30.0f, 5.0f}}, false);
    if (!selectedFirst) AddCurve({{0.0f, 5.0f}, {30.0f, 5.0f}}, true);
    Draw();
    const CRect stroke(Col(15), Row(5) - 2, Col(15) + 1, Row(5) + 2);
    EXPECT_EQ(CountInRect(stroke, kSelection), 2) << "selected first: " << selectedFirst;
    EXPECT_EQ(CountInRect(stroke, kCurve), 0) << "selected first: " << selectedFirst;
  }
}

TEST_F(GraphRendering, FilteredCurvesAreSkipped) {
  CurveInfo& hidden = AddCurve({{0.0f, 5.0f}, {30.0f, 2.0f}});
  hidden.bFiltered = true;
  hidden.bSelected = true;
  AddCurve({{0.0f, 0.0f}, {30.0f, 1.0f}}, false, RGB(10, 10, 250));
  Draw();
  EXPECT_EQ(CountInRect(CRect(0, 0, kW, kH), kCurve), 0);
  EXPECT_EQ(CountInRect(CRect(0, 0, kW, kH), kSelection), 0);
  EXPECT_GT(CountInRect(CRect(0, 0, kW, kH), RGB(10, 10, 250)), 0);
}

TEST_F(GraphRendering, KeysOfASelectedCurveAreShadedByWeightAndSelectedOnesOutlined) {
  CurveInfo& info = AddCurve({{10.0f, 2.0f}, {20.0f, 2.0f}, {30.0f, 2.0f}}, true, RGB(100, 60, 200));
  info.pCurve->GetPointAt(1)->weight = 0.0f;
  info.pCurve->GetPointAt(2)->weight = 0.5f;
  info.pCurve->SelectPointAt(0, true);
  Draw();
  const int x = Col(10);
  const int y = Row(2);
  EXPECT_EQ(At(x - 1, y + 1), RGB(150, 90, 255));
  EXPECT_EQ(At(Col(20) - 1, y + 1), RGB(50, 30, 100));
  EXPECT_EQ(At(Col(30) - 1, y + 1), RGB(75, 45, 150)) << "the weight counts squared";
  EXPECT_EQ(At(x - 3, y + 2), kSelection) << "fine graduations: 3 pixels out";
  EXPECT_NE(At(Col(20) - 3, y + 2), kSelection) << "an unselected key has no outline";

  hRuler.SetScale(0.25);  // a unit of 20 frames
  ASSERT_GT(hRuler.GetUnitValue(), 10.0);
  Draw();
  const int zx = Col(10);
  EXPECT_EQ(At(zx - 2, y + 1), kSelection);
  EXPECT_NE(At(zx - 3, y + 1), kSelection);
}

TEST_F(GraphRendering, CoveredKeysAreNeitherDrawnNorOutlined) {
  CurveInfo& plain = AddCurve({{10.0f, 2.0f}});
  CurveInfo& selected = AddCurve({{30.0f, 2.0f}}, true);
  selected.pCurve->SelectPointAt(0, true);
  Draw();
  ASSERT_EQ(At(Col(10) - 1, Row(2) + 1), kCurve);
  ASSERT_EQ(At(Col(30) - 3, Row(2)), kSelection);
  ASSERT_EQ(At(Col(30) - 1, Row(2) + 1), RGB(255, 60, 60)) << "weight 1 lightens the key by half";
  plain.pCurve->GetPointAt(0)->bHidden = true;
  selected.pCurve->GetPointAt(0)->bHidden = true;
  Draw();
  EXPECT_EQ(At(Col(10) - 1, Row(2) + 1), base);
  EXPECT_EQ(CountInRect(CRect(Col(30) - 3, Row(2) - 3, Col(30) + 3, Row(2) + 3), kSelection), 0);
  EXPECT_EQ(CountInRect(CRect(Col(30) - 3, Row(2) - 3, Col(30) + 3, Row(2) + 3), RGB(255, 60, 60)), 0);
}

TEST_F(GraphRendering, KeysOnTheRightAndBottomEdgesAreStillDrawn) {
  const float rightEdge = static_cast<float>(hRuler.PixelToValue(kW));
  const float bottomEdge = static_cast<float>(vRuler.PixelToValue(0));
  AddCurve({{rightEdge, 2.0f}});
  AddCurve({{20.0f, bottomEdge}});
  AddCurve({{static_cast<float>(hRuler.PixelToValue(kW + 1)), 8.0f}});
  Draw();
  EXPECT_EQ(At(kW - 1, Row(2) + 1), kCurve);
  EXPECT_EQ(At(Col(20) - 1, kH - 1), kCurve);
  EXPECT_NE(At(kW - 1, Row(8) + 1), kCurve) << "one pixel past the edge is out";
}

TEST_F(GraphRendering, WindowPresentsItsLayersAtItsOwnWidth) {
  auto* widget = static_cast<QWidget*>(graph.GetSafeHwnd());
  ASSERT_NE(widget, nullptr);
  shown.fSelectionBegin = shown.fSelectionEnd = 20.0f;
  auto rgb = [](COLORREF c) {
    return QColor(EditorCore::GetRValue(c), EditorCore::GetGValue(c), EditorCore::GetBValue(c)).rgb() & 0xFFFFFFu;
  };
  graph.MoveWindow(40, 0, kW / 2, kH);
  EXPECT_EQ(widget->grab().toImage().pixel(Col(20) + 5, 105) & 0xFFFFFFu, rgb(light));
  // Wider again, the curve layer reaches the new right edge.
  AddCurve({{0.0f, 5.0f}, {80.0f, 5.0f}});
  graph.MoveWindow(40, 0, kW, kH);
  const QImage wide = widget->grab().toImage();
  EXPECT_EQ(wide.pixel(kW - 3, Row(5)) & 0xFFFFFFu, rgb(kCurve));
  EXPECT_EQ(wide.pixel(5, 5) & 0xFFFFFFu, rgb(base));
}

TEST_F(GraphRendering, RubberBandOnlyWhileCapturedAndBanding) {
  graph.GetEditor().iDragState = 1;
  graph.GetEditor().oRubberBand = CRect(103, 103, 203, 153);
  Draw();
  EXPECT_EQ(CountInRect(CRect(103, 103, 203, 104), kBlack), 0);
  graph.SetCapture();
  ASSERT_TRUE(graph.HasCapture());
  Draw();
  const int dots = CountInRect(CRect(104, 103, 203, 104), kBlack);
  EXPECT_GT(dots, 30);
  EXPECT_LT(dots, 70);
  graph.GetEditor().iDragState = 2;
  Draw();
  EXPECT_EQ(CountInRect(CRect(104, 103, 203, 104), kBlack), 0);
  EditorCore::GUI_Wnd::ReleaseCapture();
}

TEST_F(GraphRendering, CurrentKeyIsOutlinedOnlyWhileItsMarkerShows) {
  EditorToolkit::EditablePoint current;
  current.x = 10.0f;
  current.y = 2.0f;
  graph.GetEditor().pCurrentPoint = &current;
  Draw();
  EXPECT_EQ(At(Col(10) - 3, Row(2) + 2), base);
  hRuler.ShowMarker(3, true);
  Draw();
  EXPECT_EQ(At(Col(10) - 3, Row(2) + 2), 0x1E1E1Eu);
  EXPECT_EQ(At(Col(10) + 2, Row(2) + 2), 0x1E1E1Eu);
}

TEST_F(GraphRendering, FitAllLeavesTenFramesAndTwentyValuesOfMargin) {
  AddCurve({{10.0f, -3.0f}, {50.0f, 7.0f}});
  AddCurve({{200.0f, 90.0f}}).bFiltered = true;
  graph.FitAll();
  EXPECT_EQ(graph.GetCurvesBounds(), CRect(10, -3, 50, 7));
  EXPECT_NEAR(hRuler.PixelToValue(0), 5.0, 1e-9);
  EXPECT_NEAR(hRuler.PixelToValue(kW), 55.0, 1e-9);
  EXPECT_NEAR(vRuler.PixelToValue(0), -13.0, 1e-9);
  EXPECT_NEAR(vRuler.PixelToValue(kH), 17.0, 1e-9);
  records[0]->bFiltered = true;
  graph.ComputeCurvesBounds();
  EXPECT_EQ(graph.GetCurvesBounds(), CRect());
}

// The control's own part of a gesture: the client area, the capture, the cursor, the rulers
// and the notices to its parent.
class GraphControl : public GraphBench {
 protected:
  void SetUp() override {
    GraphBench::SetUp();
    graph.GetEditor().iEditMode = 3;
    keys()->SetModifierSource([this] { return shift ? EditorToolkit::KeyManager::Shift : 0u; });
  }
  void TearDown() override {
    keys()->SetModifierSource({});
    if (graph.HasCapture()) EditorCore::GUI_Wnd::ReleaseCapture();
  }
  static EditorToolkit::KeyManager* keys() { return EditorToolkit::EditorKernel::GetInstance()->GetKeyManager(); }
  EditorCore::CPoint At(double frame, double value) const { return {Col(frame), Row(value)}; }
  Qt::CursorShape Cursor() const { return static_cast<QWidget*>(graph.GetSafeHwnd())->cursor().shape(); }
  bool MarkerVisible(const EditorCore::GUI_RulerCtrl& ruler, int id) const {
    for (int i = 0; i < ruler.GetMarkerCount(); ++i) {
      if (ruler.GetMarkerAt(i)->id == id) return (ruler.GetMarkerAt(i)->flags & 1u) != 0;
    }
    return false;
  }
  bool shift = false;
};

TEST_F(GraphControl, APressOnAKeyCapturesTellsThePanelAndPlacesTheCrossHair) {
  CurveInfo& c = Add({{0, 0}, {10, 5}});
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, At(10, 5));
  EXPECT_TRUE(graph.HasCapture());
  EXPECT_EQ(panel.codes, (std::vector<int>{2076, 2077, 2078, 2075}));
  EXPECT_TRUE(c.pCurve->GetPointAt(1)->bSelected);
  EXPECT_DOUBLE_EQ(hRuler.GetMarkerPosition(3), 10.0);
  EXPECT_DOUBLE_EQ(vRuler.GetMarkerPosition(3), 5.0);
  EXPECT_TRUE(MarkerVisible(hRuler, 3) && MarkerVisible(vRuler, 3) && MarkerVisible(hRuler, 1));
  graph.OnLButtonUp(0, At(10, 5));
  EXPECT_FALSE(graph.HasCapture());
  panel.codes.clear();
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, EditorCore::CPoint(kW + 5, 10));
  EXPECT_FALSE(graph.HasCapture()) << "a press outside the client area does nothing";
  EXPECT_TRUE(panel.codes.empty());
}

TEST_F(GraphControl, TheCursorFollowsTheGesture) {
  Add({{0, 0}, {10, 5}});
  graph.GetEditor().iEditMode = 2;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, At(10, 5));
  EXPECT_EQ(Cursor(), Qt::SizeVerCursor);
  graph.OnLButtonUp(0, At(10, 5));
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  graph.GetEditor().iEditMode = 3;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, At(0, 0));
  EXPECT_EQ(Cursor(), Qt::SizeHorCursor);
  shift = true;
  graph.OnMouseMove(EditorCore::MK_LBUTTON, At(1, 0));
  EXPECT_EQ(Cursor(), Qt::SizeAllCursor);
  graph.OnLButtonUp(0, At(1, 0));
  shift = false;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, At(30, -20));
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  EXPECT_FALSE(MarkerVisible(hRuler, 3)) << "no cross-hair during a rubber band";
}

TEST_F(GraphControl, TheMiddleButtonPansBothRulersAndLeavesTheKeysAlone) {
  CurveInfo& c = Add({{0, 0}, {10, 0}});
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, EditorCore::CPoint(-3, 100));
  EXPECT_FALSE(hRuler.IsMoving()) << "not from outside the view";
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, At(10, 0));
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, EditorCore::CPoint(100, 100));
  EXPECT_TRUE(hRuler.IsMoving() && vRuler.IsMoving());
  EXPECT_EQ(graph.GetEditor().iDragState, 0);
  graph.GetEditor().iDragState = 3;
  graph.OnMouseMove(EditorCore::MK_LBUTTON, At(15, 0));
  EXPECT_FLOAT_EQ(c.pCurve->GetPointAt(1)->x, 10.0f);
  graph.OnMButtonUp(0, EditorCore::CPoint(120, 90));
  EXPECT_FALSE(hRuler.IsMoving() || vRuler.IsMoving());
  EXPECT_FALSE(graph.HasCapture());
}

}  // namespace
