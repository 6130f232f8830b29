#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_ThemeManager.h>

#include <QColor>
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
    CurveInfo& info = GraphBench::AddCurve(keys);
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

TEST_F(GraphRendering, RulersGetUnitsAndMarkersWhenAttached) {
  EXPECT_DOUBLE_EQ(hRuler.GetMinUnitValue(), 1.0);
  EXPECT_DOUBLE_EQ(vRuler.GetMinUnitValue(), 0.1);
  EXPECT_DOUBLE_EQ(hRuler.GetMinValue(), 0.0);
  EXPECT_EQ(Col(-5.0), 0);
  ASSERT_EQ(hRuler.GetMarkerCount(), 4);
  ASSERT_EQ(vRuler.GetMarkerCount(), 1);
  const COLORREF colours[] = {0x0096C8, 0x0096C8, 0x1E1E1E, 0xDCDCDC};
  for (int i = 0; i < 4; ++i) {
    const EditorCore::GUI_RulerMarker* m = hRuler.GetMarkerAt(i);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->id, i + 1);
    EXPECT_EQ(m->color, colours[i]);
    EXPECT_EQ(m->flags, i == 3 ? 3u : 0u) << "marker " << m->id;
  }
  EXPECT_EQ(vRuler.GetMarkerAt(0)->id, 3);
  EXPECT_EQ(vRuler.GetMarkerAt(0)->color, 0x1E1E1Eu);
  EXPECT_EQ(vRuler.GetMarkerAt(0)->flags & 1u, 0u);
}

TEST_F(GraphRendering, StartsWithTheDocumentedState) {
  Tarvel::GUI_GraphCtrl fresh;
  EXPECT_TRUE(fresh.bSnap);
  EXPECT_TRUE(fresh.bFalloff);
  EXPECT_FALSE(fresh.bPanning);
  EXPECT_FALSE(fresh.HasSelectionRange());
  EXPECT_EQ(fresh.fCurrentPointX, -1.0e11f);
  EXPECT_EQ(fresh.pColumnPoints, nullptr);
  EXPECT_EQ(fresh.iColumnPointCount, 0);
  EXPECT_EQ(graph.oClientRect, CRect());  // created with an empty rectangle
  fresh.fSelectionBegin = 3.0f;
  EXPECT_TRUE(fresh.HasSelectionRange());
  fresh.ClearSelectionRange();
  EXPECT_EQ(fresh.fSelectionEnd, -1.0f);
}

TEST_F(GraphRendering, FillsWithTheGraphBackgroundWithoutASelection) {
  graph.fSelectionBegin = 10.0f;  // one bound alone is no range
  Draw();
  EXPECT_EQ(At(5, 5), base);
  EXPECT_EQ(At(345, 255), base);
  EXPECT_EQ(At(kW - 5, kH - 5), base);
}

TEST_F(GraphRendering, SingleSelectedFrameShowsABandFromOneFrameBeforeToOneAfter) {
  graph.fSelectionBegin = graph.fSelectionEnd = 20.0f;
  Draw();
  EXPECT_EQ(At(Col(19) - 1, 105), base);
  EXPECT_EQ(At(Col(19) + 1, 105), light);
  EXPECT_EQ(At(Col(21) - 1, 105), light);
  EXPECT_EQ(At(Col(21) + 1, 105), base);
}

TEST_F(GraphRendering, FalloffWithZeroWidthsDrawsNoGradient) {
  graph.fSelectionBegin = 20.0f;
  graph.fSelectionEnd = 30.0f;
  Draw();
  EXPECT_EQ(At(Col(20) - 5, 105), base);
  EXPECT_EQ(At(Col(20) + 5, 105), light);
  EXPECT_EQ(At(Col(30) + 5, 105), base);

  graph.fFalloffBefore = graph.fFalloffAfter = 3.0f;
  Draw();
  EXPECT_NE(At(Col(20) - 5, 105), base);
  EXPECT_NE(At(Col(30) + 5, 105), base);
  EXPECT_EQ(At(Col(17) - 5, 105), base);

  graph.bFalloff = false;
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
    records.clear();
    graph.ClearCurves();
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
  EXPECT_EQ(graph.GetCurveAt(0), nullptr);
  EXPECT_EQ(graph.GetCurveAt(1), records[1]->pCurve.get());
  EXPECT_EQ(graph.GetCurveAt(2), nullptr);
  EXPECT_EQ(graph.GetSelectedCurveCount(), 0);
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

TEST_F(GraphRendering, ColumnBufferFollowsTheWidthAtTheNextPaint) {
  Draw();
  ASSERT_EQ(graph.iColumnPointCount, kW);
  const EditorCore::CPoint* kept = graph.pColumnPoints;
  Draw();
  EXPECT_EQ(graph.pColumnPoints, kept);
  EditorCore::GUI_BackBuffer narrow;
  ASSERT_TRUE(narrow.CreateOffscreen(kW / 2, kH));
  graph.Paint(narrow, kW / 2, kH);
  EXPECT_EQ(graph.iColumnPointCount, kW / 2);
  ASSERT_NE(graph.pColumnPoints, nullptr);
}

TEST_F(GraphRendering, WindowPresentsItsLayersAtItsOwnWidth) {
  auto* widget = static_cast<QWidget*>(graph.GetSafeHwnd());
  ASSERT_NE(widget, nullptr);
  graph.fSelectionBegin = graph.fSelectionEnd = 20.0f;
  const QImage shown = widget->grab().toImage();
  EXPECT_EQ(graph.iColumnPointCount, kW);
  EXPECT_EQ(shown.pixel(Col(20) + 5, 105) & 0xFFFFFFu,
            QColor(EditorCore::GetRValue(light), EditorCore::GetGValue(light), EditorCore::GetBValue(light)).rgb() &
                0xFFFFFFu);
  EXPECT_EQ(
      shown.pixel(5, 5) & 0xFFFFFFu,
      QColor(EditorCore::GetRValue(base), EditorCore::GetGValue(base), EditorCore::GetBValue(base)).rgb() & 0xFFFFFFu);
  graph.MoveWindow(40, 0, kW - 100, kH);
  widget->grab();
  EXPECT_EQ(graph.iColumnPointCount, kW - 100);
}

TEST_F(GraphRendering, RubberBandOnlyWhileCapturedAndBanding) {
  graph.iDragState = 1;
  graph.oRubberBand = CRect(103, 103, 203, 153);
  Draw();
  EXPECT_EQ(CountInRect(CRect(103, 103, 203, 104), kBlack), 0);
  graph.SetCapture();
  ASSERT_TRUE(graph.HasCapture());
  Draw();
  const int dots = CountInRect(CRect(104, 103, 203, 104), kBlack);
  EXPECT_GT(dots, 30);
  EXPECT_LT(dots, 70);
  EXPECT_EQ(graph.aRubberBandOutline[2], EditorCore::CPoint(203, 153));
  graph.iDragState = 2;
  Draw();
  EXPECT_EQ(CountInRect(CRect(104, 103, 203, 104), kBlack), 0);
  EditorCore::GUI_Wnd::ReleaseCapture();
}

TEST_F(GraphRendering, CurrentKeyIsOutlinedOnlyWhileItsMarkerShows) {
  EditorToolkit::EditablePoint current;
  current.x = 10.0f;
  current.y = 2.0f;
  graph.pCurrentPoint = &current;
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

TEST_F(GraphRendering, RemovingCurvesMovesLaterEntriesDownAndKeepsTheRecords) {
  CurveInfo& a = AddCurve({{0.0f, 0.0f}});
  CurveInfo& b = AddCurve({{0.0f, 0.0f}});
  CurveInfo& c = AddCurve({{0.0f, 0.0f}});
  CurveInfo& d = AddCurve({{0.0f, 0.0f}});
  d.iChannelKey = b.iChannelKey;
  graph.RemoveCurves(0, 1);
  ASSERT_EQ(graph.GetCurveCount(), 3);
  EXPECT_EQ(graph.aCurves[0], &b);
  graph.RemoveChannelCurves(b.iChannelKey);
  ASSERT_EQ(graph.GetCurveCount(), 1);
  EXPECT_EQ(graph.aCurves[0], &c);
  {
    Tarvel::GUI_GraphCtrl shortLived;
    shortLived.aCurves = {&a, &c};
  }
  EXPECT_EQ(a.pCurve->GetPointCount(), 1u);
  EXPECT_EQ(c.pCurve->GetPointCount(), 1u);
}

}  // namespace
