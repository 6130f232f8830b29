#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_ThemeManager.h>
#include <EditorToolkit/EditorKernel.h>
#include <EditorToolkit/KeyManager.h>
#include <algorithm>
#include <cmath>
#include <utility>

#include <QCursor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include "ContrastRatio.h"
#include "CurveWriter.h"
#include "GraphBench.h"
#include "curves/CurveSet.h"
#include "graph/CurveTrace.h"
#include "resources/ModuleIds.h"

using EditorCore::COLORREF;
using EditorCore::CPoint;
using EditorCore::CRect;
using EditorCore::RGB;
using Tarvel::CurveInfo;

namespace {

constexpr COLORREF kMajor = RGB(120, 120, 120);
constexpr COLORREF kMinor = RGB(132, 132, 132);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kCurve = RGB(200, 40, 40);
constexpr COLORREF kSelection = RGB(40, 220, 40);

// The graph painted into a buffer of its size. Grid lines fall on columns and rows that are
// multiples of 10, so pixels ending in 5 show the background; row 105 crosses no curve.
class GraphCtrl : public GraphBench {
 protected:
  void SetUp() override {
    GraphBench::SetUp();
    hRuler.SetMarkerPosition(4, 33.5, false);  // the time cursor would hide the frame 0 line
    ASSERT_TRUE(buffer.CreateOffscreen(kW, kH));
    base = EditorCore::GUI_ThemeManager::GetColor(161);
    light = EditorCore::GUI_ThemeManager::GetColor(162);
    keys()->SetModifierSource([this] { return shift ? EditorToolkit::KeyManager::Shift : 0u; });
  }
  void TearDown() override {
    keys()->SetModifierSource({});
    if (graph.HasCapture()) EditorCore::GUI_Wnd::ReleaseCapture();
  }
  static EditorToolkit::KeyManager* keys() { return EditorToolkit::EditorKernel::GetInstance()->GetKeyManager(); }
  CurveInfo& AddCurve(std::vector<std::pair<float, float>> keys, bool selected = false, COLORREF colour = kCurve) {
    CurveInfo& info = Add(keys);
    Tarvel::CurveWriter::Of(info).SetColor(colour);
    Tarvel::CurveWriter::Of(info).SetSelectionColor(kSelection);
    info.bSelected = selected;
    return info;
  }
  void Draw() { graph.Paint(buffer, kW, kH); }
  COLORREF At(int x, int y) const { return buffer.GetPixel(x, y); }
  int Count(const CRect& r, COLORREF colour) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == colour ? 1 : 0;
    return n;
  }
  CPoint Point(double frame, double value) const { return {Col(frame), Row(value)}; }
  Qt::CursorShape Cursor() const { return static_cast<QWidget*>(graph.GetSafeHwnd())->cursor().shape(); }
  static bool Visible(const EditorCore::GUI_RulerCtrl& ruler, int id) {
    for (int i = 0; i < ruler.GetMarkerCount(); ++i) {
      if (ruler.GetMarkerAt(i)->id == id) return (ruler.GetMarkerAt(i)->flags & 1u) != 0;
    }
    return false;
  }

  EditorCore::GUI_BackBuffer buffer;
  COLORREF base = 0;
  COLORREF light = 0;
  bool shift = false;
};

TEST_F(GraphCtrl, TheSelectionBandSpansTheSelectedFramesWithTheFalloffBesideIt) {
  shown.fSelectionBegin = 10.0f;
  Draw();
  EXPECT_EQ(At(Col(10) + 5, 105), base) << "one bound alone is no range";
  shown.fSelectionBegin = shown.fSelectionEnd = 20.0f;
  Draw();
  EXPECT_EQ(At(Col(19) - 1, 105), base) << "a single frame shows one frame before to one after";
  EXPECT_EQ(At(Col(19) + 1, 105), light);
  EXPECT_EQ(At(Col(21) - 1, 105), light);
  EXPECT_EQ(At(Col(21) + 1, 105), base);
  shown.fSelectionEnd = 30.0f;
  Draw();
  EXPECT_EQ(At(Col(20) - 5, 105), base) << "zero falloff widths draw no gradient";
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

TEST_F(GraphCtrl, GridLinesAndMarkersFollowTheRulers) {
  Draw();
  EXPECT_EQ(At(Col(0), 105), kBlack);
  EXPECT_EQ(At(Col(5), 105), kMajor);
  EXPECT_EQ(At(Col(1), 105), kMinor);
  EXPECT_EQ(At(205, Row(0)), kBlack);
  EXPECT_EQ(At(205, Row(5)), kMajor);
  EXPECT_EQ(At(205, Row(1)), kMinor);
  EXPECT_EQ(Count(CRect(Col(33.5), 1, Col(33.5) + 1, kH - 1), 0x464646), kH - 2) << "the time cursor, solid";
  EXPECT_EQ(At(Col(33.5), 0), base);
  hRuler.ShowMarker(1, true);
  hRuler.SetMarkerPosition(1, 12.3, false);
  hRuler.SetMinUnitValue(hRuler.GetUnitValue());
  Draw();
  const int dotted = Count(CRect(Col(12.3), 1, Col(12.3) + 1, kH - 1), 0x0064A0);
  EXPECT_GT(dotted, kH / 4);
  EXPECT_LT(dotted, 3 * kH / 4);
  EXPECT_EQ(At(Col(1), 105), base) << "no minor lines when the minimum unit is not finer";
  EXPECT_EQ(At(205, Row(1)), kMinor) << "the vertical ruler keeps its own rule";
  hRuler.SetMinUnitValue(1.0);
  ASSERT_EQ(At(0, 105), kMajor);
  hRuler.SetRulerStyle(hRuler.GetRulerStyle() | EditorCore::GUI_RulerCtrl::StyleNothingBelowMin);
  Draw();
  EXPECT_EQ(Count(CRect(0, 105, Col(0), 106), base), Col(0)) << "nothing left of the minimum";
  EXPECT_EQ(At(Col(1), 105), kMinor);
}

TEST_F(GraphCtrl, GridLinesSitOnTheRulersTicksAtEveryZoom) {
  hRuler.ShowMarker(4, false);
  for (double scale : {0.137, 0.87, 1.0, 2.3, 7.9, 31.0}) {
    hRuler.SetScale(scale);
    Draw();
    const QImage ruler = static_cast<QWidget*>(hRuler.GetSafeHwnd())->grab().toImage();
    const double unit = hRuler.GetUnitValue();
    std::vector<int> majors, gridMajors, tickMajors, grid, ticks;
    for (int n = static_cast<int>(std::floor(hRuler.PixelToValue(0) / unit)); Col(n * unit) < kW; ++n) {
      if (Col(n * unit) >= 0) majors.push_back(Col(n * unit));
    }
    for (int x = 0; x < kW; ++x) {
      const COLORREF c = At(x, 105);
      if (c == kMajor || c == kBlack) gridMajors.push_back(x);
      if (c == kMajor || c == kBlack || c == kMinor) grid.push_back(x);
      // Major ticks run across the ruler, minor ones along its lower third.
      if (ruler.pixelColor(x, 18) == QColor(160, 160, 160)) tickMajors.push_back(x);
      if (ruler.pixelColor(x, 28) == QColor(160, 160, 160)) ticks.push_back(x);
    }
    EXPECT_EQ(gridMajors, majors) << "scale " << scale;
    EXPECT_EQ(tickMajors, majors) << "scale " << scale;
    const bool minor = hRuler.GetMinUnitValue() < unit;
    EXPECT_EQ(grid.size() > majors.size(), minor) << "minor lines at scale " << scale;
    EXPECT_TRUE(std::includes(ticks.begin(), ticks.end(), grid.begin(), grid.end())) << "scale " << scale;
  }
}

double Contrast(COLORREF a, COLORREF b) {
  using EditorCore::GetBValue, EditorCore::GetGValue, EditorCore::GetRValue;
  return ContrastRatio(GetRValue(a), GetGValue(a), GetBValue(a), GetRValue(b), GetGValue(b), GetBValue(b));
}

TEST_F(GraphCtrl, EveryCurveColourAndMarkReachesThreeToOneOnWhatItIsDrawnOnAndTheGridStaysQuieter) {
  hRuler.ShowMarker(4, false);
  shown.fSelectionBegin = 30.0f;
  shown.fSelectionEnd = 40.0f;
  double quietestCurve = 21.0;
  // Every colour of the curve colour rule, normal and selected, flat at value 2, read where
  // the stroke crosses the plain ground (frame 12.5) and the selection band (frame 35.5).
  for (std::uint32_t track = 1; track <= 3; ++track) {
    for (std::uint32_t component = 0; component < 3; ++component) {
      COLORREF colours[2];
      Tarvel::CurveSet::ComputeColors(track, track == 2 ? 2 : 1, component, colours[0], colours[1]);
      for (const COLORREF colour : colours) {
        CurveInfo& curve = AddCurve({{0.0f, 2.0f}, {50.0f, 2.0f}}, false, colour);
        Draw();
        for (const double frame : {12.5, 35.5}) {
          int top = Row(2) - 6;
          while (top < Row(2) + 6 && At(Col(frame), top) != colour) ++top;
          int bottom = top;
          while (At(Col(frame), bottom + 1) == colour) ++bottom;
          ASSERT_EQ(At(Col(frame), top), colour) << "track " << track << " axis " << component;
          for (const COLORREF beside : {At(Col(frame), top - 1), At(Col(frame), bottom + 1)}) {
            EXPECT_GE(Contrast(colour, beside), 3.0) << "track " << track << " axis " << component;
            quietestCurve = std::min(quietestCurve, Contrast(colour, beside));
          }
        }
        curve.bFiltered = true;
      }
    }
  }
  for (const COLORREF ground : {base, light}) {
    for (const COLORREF mark : {kMajor, kMinor, kBlack, RGB(30, 30, 30), RGB(70, 70, 70), RGB(160, 100, 0)}) {
      EXPECT_GE(Contrast(mark, ground), 3.0) << "grid, zero line, keys, current key, time cursor, selection";
    }
    EXPECT_LT(Contrast(kMajor, ground), quietestCurve) << "the grid is quieter than every curve";
    EXPECT_LT(Contrast(kMinor, ground), Contrast(kMajor, ground));
  }
}

TEST_F(GraphCtrl, CurvesAreClippedAtTheEdgesSelectedOnTopFilteredNotAtAll) {
  // Out of view (value above 15) between frames 3.75 and 16.25.
  AddCurve({{0.0f, 0.0f}, {10.0f, 40.0f}, {20.0f, 0.0f}});
  Draw();
  EXPECT_GT(Count(CRect(Col(3.6), 0, Col(3.9), 2), kCurve), 0) << "the curve reaches the edge";
  EXPECT_EQ(Count(CRect(Col(4.5), 0, Col(15.5), kH), kCurve), 0) << "and draws no stroke along it";
  EXPECT_GT(Count(CRect(Col(19), 0, Col(19) + 1, kH), kCurve), 0);
  for (const bool selectedFirst : {true, false}) {
    shown.Clear();
    records.clear();
    AddCurve({{0.0f, 5.0f}, {30.0f, 5.0f}}, selectedFirst);
    AddCurve({{0.0f, 5.0f}, {30.0f, 5.0f}}, !selectedFirst);
    AddCurve({{0.0f, 8.0f}, {30.0f, 8.0f}}, true, RGB(10, 10, 250)).bFiltered = true;
    Draw();
    const CRect stroke(Col(15), Row(5) - 2, Col(15) + 1, Row(5) + 2);
    EXPECT_EQ(Count(stroke, kSelection), 2) << "selected first: " << selectedFirst;
    EXPECT_EQ(Count(stroke, kCurve), 0) << "selected first: " << selectedFirst;
    EXPECT_EQ(Count(CRect(0, Row(8) - 3, kW, Row(8) + 3), kSelection), 0);
  }
}

TEST_F(GraphCtrl, CurvesOnOneValueShowTheOneDrawnLastWhereTheyMeetAndEachWhereTheyPart) {
  // Drawn in order: the red curve, then the blue one, on value 5 up to frame 10; past it the
  // blue one climbs to 12 while the red one stays.
  constexpr COLORREF kBlue = RGB(30, 30, 230);
  AddCurve({{0.0f, 5.0f}, {60.0f, 5.0f}});
  AddCurve({{0.0f, 5.0f}, {10.0f, 5.0f}, {60.0f, 12.0f}}, false, kBlue);
  ASSERT_GT(Col(60), 2 * Tarvel::CurveTrace::kBandColumns) << "the curves cross more than one band of columns";
  Draw();
  const CRect met(Col(0) + 1, Row(5) - 3, Col(10) - 3, Row(5) + 3);
  EXPECT_GT(Count(met, kBlue), 0);
  EXPECT_EQ(Count(met, kCurve), 0) << "the blue curve lies over the red one";
  const CRect parted(Col(40), Row(5) - 3, Col(50), Row(5) + 3);
  EXPECT_GT(Count(parted, kCurve), 0) << "the red curve shows where the blue one has left it";
  EXPECT_GT(Count(CRect(Col(40), Row(12) - 3, Col(50), Row(9)), kBlue), 0);
}

TEST_F(GraphCtrl, KeysAreShadedByWeightOutlinedWhenSelectedAndHiddenWhenCovered) {
  CurveInfo& info = AddCurve({{10.0f, 2.0f}, {20.0f, 2.0f}, {30.0f, 2.0f}}, true, RGB(100, 60, 200));
  CurveInfo& plain = AddCurve({{10.0f, -6.0f}});
  info.pCurve->GetPointAt(1)->weight = 0.0f;
  info.pCurve->GetPointAt(2)->weight = 0.5f;
  info.pCurve->SelectPointAt(0, true);
  Draw();
  const int y = Row(2);
  EXPECT_EQ(At(Col(10) - 1, y + 1), RGB(150, 90, 255)) << "weight 1 lightens by half";
  EXPECT_EQ(At(Col(20) - 1, y + 1), RGB(50, 30, 100));
  EXPECT_EQ(At(Col(30) - 1, y + 1), RGB(75, 45, 150)) << "the weight counts squared";
  EXPECT_EQ(At(Col(10) - 3, y + 2), kBlack) << "fine graduations: 3 pixels out";
  EXPECT_NE(At(Col(20) - 3, y + 2), kBlack) << "an unselected key has no outline";
  EXPECT_EQ(At(Col(10) - 1, Row(-6) + 1), kCurve);
  Tarvel::CurveWriter::Of(info).GetPointAt(0)->bHidden = true;
  Tarvel::CurveWriter::Of(plain).GetPointAt(0)->bHidden = true;
  Draw();
  EXPECT_EQ(Count(CRect(Col(10) - 3, y - 3, Col(10), y + 3), kBlack), 0) << "covered keys are skipped";
  EXPECT_EQ(At(Col(10) - 1, Row(-6) + 1), base);
  Tarvel::CurveWriter::Of(info).GetPointAt(0)->bHidden = false;
  hRuler.SetScale(0.25);  // a unit of 20 frames
  Draw();
  EXPECT_EQ(At(Col(10) - 2, y + 1), kBlack) << "coarse graduations: 2 pixels out";
  EXPECT_NE(At(Col(10) - 3, y + 1), kBlack);
  AddCurve({{static_cast<float>(hRuler.PixelToValue(kW)), 2.0f}});
  AddCurve({{20.0f, static_cast<float>(vRuler.PixelToValue(0))}});
  AddCurve({{static_cast<float>(hRuler.PixelToValue(kW + 1)), 8.0f}});
  Draw();
  EXPECT_EQ(At(kW - 1, Row(2) + 1), kCurve) << "keys on the right and bottom edges are drawn";
  EXPECT_EQ(At(Col(20) - 1, kH - 1), kCurve);
  EXPECT_NE(At(kW - 1, Row(8) + 1), kCurve) << "one pixel past the edge is out";
}

TEST_F(GraphCtrl, KeyBoxesShowWhereKeysLieFourPixelsApartAndCurvesCrossTheViewWithoutAGap) {
  const double perFrame = (Col(20) - Col(0)) / 20.0;
  for (const double pixels : {2.0, 6.0}) {
    shown.Clear();
    records.clear();
    std::vector<std::pair<float, float>> keys;
    for (double x = 0.0; x <= 30.0; x += pixels / perFrame) keys.emplace_back(static_cast<float>(x), 2.0f);
    AddCurve(keys);
    Draw();
    // The line covers the key's row and the one above; a box reaches two rows higher.
    const int boxPixels = Count(CRect(Col(1), Row(2) - 2, Col(29), Row(2) - 1), kCurve);
    if (pixels < Tarvel::GUI_GraphCtrl::kKeyBoxSpacing) {
      EXPECT_EQ(boxPixels, 0) << "keys 2 pixels apart would merge into a band";
    } else {
      EXPECT_GT(boxPixels, 0) << "keys 6 pixels apart";
    }
  }
  // The two halves of the view are drawn apart: a slope across the middle has no gap.
  shown.Clear();
  records.clear();
  AddCurve({{0.0f, -10.0f}, {static_cast<float>(hRuler.PixelToValue(kW)), 10.0f}});
  Draw();
  for (int x = kW / 2 - 3; x <= kW / 2 + 3; ++x) EXPECT_GT(Count(CRect(x, 0, x + 1, kH), kCurve), 0) << x;
}

TEST_F(GraphCtrl, SelectedKeysTooDenseForBoxesShowAsASleeveAndTheFalloffAsAFainterOne) {
  // Keys on a flat line about 2 pixels apart: no boxes, so the selection shows along the curve.
  std::vector<std::pair<float, float>> keys;
  for (int i = 0; i <= 300; ++i) keys.emplace_back(i * 0.1f, 2.0f);
  CurveInfo& info = AddCurve(keys, true);
  CurveInfo& other = AddCurve(keys, false);
  Tarvel::CurveWriter::Of(other).SetColor(kCurve);
  for (CurveInfo* curve : {&info, &other}) {
    for (std::uint32_t k = 100; k <= 150; ++k) curve->pCurve->SelectPointAt(k, true);
    // Falloff over frames 5 to 10: weights fall from 1 to 0 towards the selection.
    for (std::uint32_t k = 50; k < 100; ++k) curve->pCurve->GetPointAt(k)->weight = (100 - k) / 50.0f;
  }
  graph.GetEditor().SetFalloff(true);
  graph.GetEditor().SetFalloffBefore(5.0f);
  // The second curve lies under the first: it is drawn first and hidden, so move it away.
  for (std::uint32_t k = 0; k < other.pCurve->GetPointCount(); ++k)
    Tarvel::CurveWriter::Of(other).GetPointAt(k)->y = -6.0f;
  Draw();
  const COLORREF stretch = Tarvel::Ids::kColourSelectedStretch;
  const int y = Row(2);
  auto sleeveRows = [&](double frame) { return Count(CRect(Col(frame), y - 6, Col(frame) + 1, y + 6), stretch); };
  for (const double frame : {10.5, 12.5, 14.5}) EXPECT_GE(sleeveRows(frame), 5) << "selected, frame " << frame;
  EXPECT_EQ(sleeveRows(20.0), 0) << "past the selection";
  EXPECT_EQ(sleeveRows(2.0), 0) << "before the falloff";
  EXPECT_EQ(At(Col(12.5), y), kSelection) << "the curve runs through the sleeve";
  // The falloff shows between ground and selection colour, deeper nearer the selection.
  auto shadeAt = [&](double frame) { return EditorCore::GetGValue(At(Col(frame), y - 2)); };
  const int groundG = EditorCore::GetGValue(base);
  const int stretchG = EditorCore::GetGValue(stretch);
  EXPECT_LT(shadeAt(9.0), shadeAt(6.5));
  EXPECT_LT(shadeAt(6.5), groundG);
  EXPECT_GT(shadeAt(9.0), stretchG);
  EXPECT_EQ(Count(CRect(Col(10), Row(-6) - 6, Col(15), Row(-6) + 6), stretch), 0)
      << "a curve that is not selected shows no sleeve";
}

TEST_F(GraphCtrl, OverlaysShowTheRubberBandWhileBandingAndTheCurrentKeyWhileItsMarkerShows) {
  graph.GetEditor().iDragState = 1;
  graph.GetEditor().oRubberBand = CRect(103, 103, 203, 153);
  Draw();
  EXPECT_EQ(Count(CRect(103, 103, 203, 104), kBlack), 0) << "not without the capture";
  graph.SetCapture();
  Draw();
  const int dots = Count(CRect(104, 103, 203, 104), kBlack);
  EXPECT_GT(dots, 30);
  EXPECT_LT(dots, 70);
  graph.GetEditor().iDragState = 2;
  Draw();
  EXPECT_EQ(Count(CRect(104, 103, 203, 104), kBlack), 0);
  Tarvel::CurveInfo current(99, Tarvel::CurveInfo::Translation, Tarvel::CurveInfo::X);
  Tarvel::CurveWriter::Of(current).AddPoint({10.0f, 2.0f}, false);
  graph.GetEditor().pCurrentCurve = &current;
  graph.GetEditor().iCurrentIndex = 0;
  Draw();
  EXPECT_EQ(At(Col(10) - 3, Row(2) + 2), base);
  hRuler.ShowMarker(3, true);
  Draw();
  EXPECT_EQ(At(Col(10) - 3, Row(2) + 2), 0x1E1E1Eu);
  EXPECT_EQ(At(Col(10) + 2, Row(2) + 2), 0x1E1E1Eu);
}

TEST_F(GraphCtrl, AValueDragRepaintsOnlyWhatItChangedAndLeavesTheWholePicture) {
  // Keys far apart with boxes, a dense curve on a casing (drawn in the ground's colour), and an
  // unselected flat line under both.
  std::vector<std::pair<float, float>> sparse;
  std::vector<std::pair<float, float>> dense;
  for (int f = 0; f <= 55; ++f) sparse.emplace_back(static_cast<float>(f), 8.0f * std::sin(f * 0.4f));
  for (int i = 0; i <= 550; ++i) dense.emplace_back(i * 0.1f, 3.0f + 4.0f * std::cos(i * 0.05f));
  AddCurve(sparse, true);
  AddCurve(dense, true, base);
  AddCurve({{0.0f, -5.0f}, {55.0f, -5.0f}});
  Tarvel::GraphEditor& editor = graph.GetEditor();
  // Frames 20 to 30 of the selected curves, moved with three frames of falloff on each side.
  editor.Press(Point(19.5, 15.0), false, false);
  editor.Move(Point(30.5, -15.0), false);
  editor.Release(Point(30.5, -15.0), true);
  editor.iEditMode = Tarvel::GraphEditor::kDragValues;
  editor.SetFalloff(true);
  editor.SetFalloffBefore(3.0f);
  editor.SetFalloffAfter(3.0f);
  EditorCore::GUI_BackBuffer kept;
  ASSERT_TRUE(kept.CreateOffscreen(kW, kH));
  EXPECT_FALSE(graph.PaintChanges(kept, kW, kH)) << "a first paint draws everything";
  auto expectWholePicture = [&](const char* when) {
    Draw();
    int differ = 0;
    CPoint first(-1, -1);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        if (kept.GetPixel(x, y) == At(x, y)) continue;
        if (differ++ == 0) first = CPoint(x, y);
      }
    }
    EXPECT_EQ(differ, 0) << when << ": first at " << first.x << ", " << first.y;
  };
  const CPoint key = Point(25.0, 8.0f * std::sin(25 * 0.4f));
  editor.Press(key, false, false);
  ASSERT_TRUE(editor.IsMoving());
  graph.PaintChanges(kept, kW, kH);
  for (const int rows : {7, -13, 22, -40, 3}) {
    editor.Move(CPoint(key.x, key.y + rows), false);
    EXPECT_TRUE(graph.PaintChanges(kept, kW, kH)) << "a value move draws its frames again";
    expectWholePicture("value move");
  }
  editor.Move(CPoint(key.x, key.y - 5), false);
  editor.Move(CPoint(key.x, key.y + 9), false);
  EXPECT_TRUE(graph.PaintChanges(kept, kW, kH)) << "two moves before a paint";
  expectWholePicture("two value moves");
  // Without falloff the run's ends jump, and the pens reach beside them.
  editor.SetFalloff(false);
  EXPECT_FALSE(graph.PaintChanges(kept, kW, kH)) << "the selection band lost its ramps";
  editor.Move(CPoint(key.x, key.y + 30), false);
  EXPECT_TRUE(graph.PaintChanges(kept, kW, kH));
  expectWholePicture("value move without falloff");
  editor.Release(CPoint(key.x, key.y + 30), true);
  graph.PaintChanges(kept, kW, kH);
  expectWholePicture("release");
  hRuler.SetMarkerPosition(4, 40.0, false);
  EXPECT_TRUE(graph.PaintChanges(kept, kW, kH)) << "the time cursor moved: its two columns are drawn again";
  expectWholePicture("time cursor");
  // A key let go inside the selection keeps the selected frames, and loses its outline.
  EditorToolkit::Curve2& boxed = Tarvel::CurveWriter::Of(*records[0]);
  ASSERT_TRUE(std::as_const(boxed).GetPointAt(25)->bSelected);
  boxed.SelectPointAt(25, false);
  EXPECT_FALSE(graph.PaintChanges(kept, kW, kH)) << "a key's selection changed";
  expectWholePicture("selection");
  // The current key's box follows its key alone.
  Tarvel::CurveInfo loose(99, Tarvel::CurveInfo::Translation, Tarvel::CurveInfo::X);
  Tarvel::CurveWriter::Of(loose).AddPoint({45.0f, 12.0f}, false);
  editor.pCurrentCurve = &loose;
  editor.iCurrentIndex = 0;
  hRuler.ShowMarker(3, true);
  graph.PaintChanges(kept, kW, kH);
  Tarvel::CurveWriter::Of(loose).GetPointAt(0)->y = 14.0f;
  EXPECT_TRUE(graph.PaintChanges(kept, kW, kH));
  expectWholePicture("current key's box");
  editor.pCurrentCurve = nullptr;
  editor.iEditMode = Tarvel::GraphEditor::kDragFrames;
  editor.Press(key, false, false);
  editor.Move(CPoint(key.x + 20, key.y), false);
  EXPECT_FALSE(graph.PaintChanges(kept, kW, kH)) << "a rubber band beside the moved key draws everything";
  expectWholePicture("rubber band");
  editor.Release(CPoint(key.x + 20, key.y), true);
  // Moves of frames carry the selection band, its markers and the cross-hair along.
  boxed.SelectPointAt(25, true);
  const EditorToolkit::EditablePoint& moved = *std::as_const(boxed).GetPointAt(25);
  const CPoint pressed = Point(moved.x, moved.y);
  editor.Press(pressed, false, false);
  ASSERT_EQ(editor.iDragState, Tarvel::GraphEditor::kDragFrames);
  graph.PaintChanges(kept, kW, kH);
  for (const int columns : {-35, 12, 60, -4}) {
    editor.Move(CPoint(pressed.x + columns, pressed.y), false);
    EXPECT_TRUE(graph.PaintChanges(kept, kW, kH)) << "a frame move draws its frames and the band's again";
    expectWholePicture("frame move");
  }
  editor.Release(CPoint(pressed.x - 4, pressed.y), true);
  graph.PaintChanges(kept, kW, kH);
  expectWholePicture("frame move released");
}

TEST_F(GraphCtrl, TheWindowPaintsAtItsOwnWidthAndFitsTheRulersToTheCurves) {
  auto* widget = static_cast<QWidget*>(graph.GetSafeHwnd());
  auto rgb = [](COLORREF c) {
    return qRgb(EditorCore::GetRValue(c), EditorCore::GetGValue(c), EditorCore::GetBValue(c));
  };
  shown.fSelectionBegin = shown.fSelectionEnd = 20.0f;
  graph.MoveWindow(40, 0, kW / 2, kH);
  EXPECT_EQ(widget->grab().toImage().pixel(Col(20) + 5, 105) | 0xFF000000u, rgb(light));
  AddCurve({{0.0f, 5.0f}, {80.0f, 5.0f}});
  graph.MoveWindow(40, 0, kW, kH);
  EXPECT_EQ(widget->grab().toImage().pixel(kW - 3, Row(5)) | 0xFF000000u, rgb(kCurve)) << "wider again";
  AddCurve({{10.0f, -3.0f}, {50.0f, 7.0f}});
  AddCurve({{200.0f, 90.0f}}).bFiltered = true;
  records[0]->bFiltered = true;
  graph.FitAll();
  EXPECT_EQ(graph.GetCurvesBounds(), CRect(10, -3, 50, 7));
  EXPECT_NEAR(hRuler.PixelToValue(0), 5.0, 1e-9) << "10 frames and 20 values of margin in all";
  EXPECT_NEAR(hRuler.PixelToValue(kW), 55.0, 1e-9);
  EXPECT_NEAR(vRuler.PixelToValue(0), -13.0, 1e-9);
  EXPECT_NEAR(vRuler.PixelToValue(kH), 17.0, 1e-9);
  records[1]->bFiltered = true;
  graph.ComputeCurvesBounds();
  EXPECT_EQ(graph.GetCurvesBounds(), CRect()) << "no curve left";
}

TEST_F(GraphCtrl, APressCapturesTellsThePanelAndPlacesTheRulersCrossHairAndCursor) {
  CurveInfo& c = Add({{0, 0}, {10, 5}});
  graph.GetEditor().iEditMode = 2;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, Point(10, 5));
  EXPECT_TRUE(graph.HasCapture() && c.pCurve->GetPointAt(1)->bSelected);
  EXPECT_EQ(panel.codes.size(), 4u);
  EXPECT_DOUBLE_EQ(hRuler.GetMarkerPosition(3), 10.0);
  EXPECT_DOUBLE_EQ(vRuler.GetMarkerPosition(3), 5.0);
  EXPECT_TRUE(Visible(hRuler, 3) && Visible(vRuler, 3) && Visible(hRuler, 1));
  EXPECT_EQ(Cursor(), Qt::SizeVerCursor);
  graph.OnLButtonUp(0, Point(10, 5));
  EXPECT_FALSE(graph.HasCapture());
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  graph.GetEditor().iEditMode = 3;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, Point(0, 0));
  EXPECT_EQ(Cursor(), Qt::SizeHorCursor);
  shift = true;
  graph.OnMouseMove(EditorCore::MK_LBUTTON, Point(1, 0));
  EXPECT_EQ(Cursor(), Qt::SizeAllCursor);
  graph.OnLButtonUp(0, Point(1, 0));
  shift = false;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, Point(30, -20));
  EXPECT_EQ(Cursor(), Qt::ArrowCursor);
  EXPECT_FALSE(Visible(hRuler, 3)) << "no cross-hair during a rubber band";
  graph.OnLButtonUp(0, Point(30, -20));
  panel.codes.clear();
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, CPoint(kW + 5, 10));
  EXPECT_FALSE(graph.HasCapture()) << "a press outside the client area does nothing";
  EXPECT_TRUE(panel.codes.empty());
}

TEST_F(GraphCtrl, TheMiddleButtonPansBothRulersAndLeavesTheKeysAlone) {
  CurveInfo& c = Add({{0, 0}, {10, 0}});
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, CPoint(-3, 100));
  EXPECT_FALSE(hRuler.IsMoving()) << "not from outside the view";
  graph.GetEditor().iEditMode = 3;
  graph.OnLButtonDown(EditorCore::MK_LBUTTON, Point(10, 0));
  graph.OnMButtonDown(EditorCore::MK_MBUTTON, CPoint(100, 100));
  EXPECT_TRUE(hRuler.IsMoving() && vRuler.IsMoving());
  EXPECT_EQ(graph.GetEditor().iDragState, 0);
  graph.GetEditor().iDragState = 3;
  graph.OnMouseMove(EditorCore::MK_LBUTTON, Point(15, 0));
  EXPECT_FLOAT_EQ(c.pCurve->GetPointAt(1)->x, 10.0f);
  graph.OnMButtonUp(0, CPoint(120, 90));
  EXPECT_FALSE(hRuler.IsMoving() || vRuler.IsMoving() || graph.HasCapture());
}

}  // namespace
