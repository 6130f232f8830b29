#include "TestApp.h"

#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_DC.h>
#include <EditorCore/GUI_ThemeManager.h>

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace EditorCore;

namespace {

constexpr COLORREF kBack = RGB(58, 58, 60);

class BackBufferTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(buffer.CreateOffscreen(100, 80));
    buffer.Fill(kBack);
  }
  void ExpectPixels(std::initializer_list<CPoint> points, COLORREF colour) const {
    for (const CPoint& p : points) EXPECT_EQ(buffer.GetPixel(p.x, p.y), colour) << p.x << ", " << p.y;
  }
  GUI_BackBuffer buffer;
};

TEST_F(BackBufferTest, FillsCoverLeftTopButNotRightBottomAndGradientsRunLeftToRight) {
  buffer.FillRect(CRect(10, 20, 30, 25), RGB(200, 150, 0));
  ExpectPixels({{10, 20}, {29, 24}}, RGB(200, 150, 0));
  ExpectPixels({{30, 24}, {29, 25}, {9, 20}}, kBack);
  EXPECT_EQ(buffer.GetPixel(100, 0), 0xFFFFFFFFu);
  buffer.FillHGradient(CRect(10, 0, 60, 10), RGB(0, 0, 0), RGB(200, 100, 50));
  ExpectPixels({{10, 5}}, RGB(0, 0, 0));
  ExpectPixels({{59, 5}}, RGB(200, 100, 50));
  ExpectPixels({{60, 5}}, kBack);
  EXPECT_NEAR(GetRValue(buffer.GetPixel(35, 5)), 102, 3);
  EXPECT_NEAR(GetGValue(buffer.GetPixel(35, 5)), 51, 3);
}

TEST_F(BackBufferTest, TwoPixelPolylineCoversTwoRowsAlongAFlatRun) {
  const CPoint points[] = {{5, 40}, {50, 40}, {50, 60}};
  buffer.SetPen(RGB(255, 0, 0), 2, PS_SOLID);
  buffer.Polyline(points, 3);
  for (int x = 5; x <= 50; ++x) {
    EXPECT_EQ(buffer.GetPixel(x, 39), RGB(255, 0, 0)) << x;
    EXPECT_EQ(buffer.GetPixel(x, 40), RGB(255, 0, 0)) << x;
  }
  // The vertical run is two columns wide.
  ExpectPixels({{49, 55}, {50, 55}}, RGB(255, 0, 0));
  ExpectPixels({{20, 38}, {20, 41}, {4, 40}, {51, 55}, {48, 55}}, kBack);
}

TEST_F(BackBufferTest, SlopedPolylinesLeaveNoGapBetweenColumnsAndDottedPensLeaveGaps) {
  const CPoint points[] = {{0, 0}, {60, 30}};
  buffer.SetPen(RGB(0, 0, 255), 2, PS_SOLID);
  buffer.Polyline(points, 2);
  // Column 0 holds only the lower half of the pen: its upper row is above the image.
  for (int x = 1; x <= 60; ++x) {
    int hits = 0;
    for (int y = 0; y < 80; ++y) hits += buffer.GetPixel(x, y) == RGB(0, 0, 255) ? 1 : 0;
    EXPECT_EQ(hits, 2) << x;
  }
  buffer.SetPen(RGB(0, 0, 0), 1, PS_DOT);
  buffer.MoveTo(0, 10);
  buffer.LineTo(40, 10);
  int on = 0;
  for (int x = 0; x <= 40; ++x) on += buffer.GetPixel(x, 10) == RGB(0, 0, 0) ? 1 : 0;
  EXPECT_GT(on, 15);
  EXPECT_LT(on, 26);
}

TEST_F(BackBufferTest, RectangleOutlineLeavesTheInsideAlone) {
  buffer.SetPen(RGB(10, 20, 30), 1, PS_SOLID);
  buffer.DrawRectangle(CRect(20, 20, 27, 27));
  ExpectPixels({{20, 20}, {26, 26}, {23, 20}}, RGB(10, 20, 30));
  ExpectPixels({{23, 23}, {27, 23}}, kBack);
}

TEST_F(BackBufferTest, TextAndIconsMixWithRasterDrawing) {
  buffer.DrawIcon(GUI_ThemeManager::GetIcon(23), 0, 0, 18);
  buffer.FillRect(CRect(50, 50, 52, 52), RGB(1, 2, 3));
  EXPECT_EQ(buffer.GetPixel(50, 50), RGB(1, 2, 3));
  EXPECT_NE(buffer.GetPixel(9, 9), kBack);
  buffer.SetTextColor(RGB(255, 255, 255));
  buffer.DrawText("Wide text", CRect(0, 60, 100, 80), DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  int white = 0;
  for (int y = 60; y < 80; ++y) {
    for (int x = 0; x < 100; ++x) white += buffer.GetPixel(x, y) != kBack ? 1 : 0;
  }
  EXPECT_GT(white, 20);
}

}  // namespace

TEST_F(BackBufferTest, ColumnSpansAreClippedAndABufferMadeAgainAtItsSizeKeepsItsImage) {
  const int tops[] = {-5, 10, 12, 70};
  const int bottoms[] = {2, 9, 12, 200};
  const CRect image(0, 0, 100, 80);
  buffer.FillColumnSpans(-1, tops, bottoms, 4, RGB(0, 0, 250), image);
  ExpectPixels({{1, 12}, {2, 70}, {2, 79}}, RGB(0, 0, 250));
  ExpectPixels({{0, 0}, {0, 10}, {1, 11}, {1, 13}, {2, 69}, {3, 70}}, kBack);
  // A line over its casing, inside it or beside it, and a column without a line.
  const int lineTops[] = {3, 1};
  const int lineBottoms[] = {5, 0};
  buffer.FillColumnSpans(80, tops + 1, bottoms + 3, 1, RGB(0, 0, 0), image, lineTops, lineBottoms, RGB(0, 250, 0));
  ExpectPixels({{80, 10}, {80, 79}}, RGB(0, 0, 0));
  ExpectPixels({{80, 3}, {80, 5}}, RGB(0, 250, 0));
  ExpectPixels({{80, 2}, {80, 6}, {80, 9}}, kBack);
  buffer.FillColumnSpans(90, tops, bottoms + 2, 2, RGB(0, 0, 0), image, lineTops, lineBottoms, RGB(0, 250, 0));
  ExpectPixels({{90, 0}, {90, 2}, {90, 6}, {90, 12}, {91, 10}, {91, 79}}, RGB(0, 0, 0));
  ExpectPixels({{90, 3}, {90, 5}}, RGB(0, 250, 0));
  ExpectPixels({{90, 13}, {91, 9}}, kBack);
  // Along a single row, as a cross-hair row is drawn again.
  buffer.FillColumnSpans(90, tops, bottoms + 2, 2, RGB(250, 0, 0), CRect(0, 4, 100, 5), lineTops, lineBottoms,
                         RGB(250, 250, 0));
  ExpectPixels({{90, 4}}, RGB(250, 250, 0));
  ExpectPixels({{91, 4}}, kBack);
  buffer.SetPen(RGB(250, 0, 0), 3);
  ASSERT_TRUE(buffer.CreateOffscreen(100, 80));
  EXPECT_EQ(buffer.GetPixel(1, 12), RGB(0, 0, 250)) << "the image is kept";
  EXPECT_EQ(buffer.GetPixel(50, 50), kBack);
  buffer.MoveTo(0, 40);
  buffer.LineTo(99, 40);
  EXPECT_EQ(buffer.GetPixel(50, 40), RGB(0, 0, 0)) << "the pen starts again";
  EXPECT_EQ(buffer.GetPixel(50, 41), kBack) << "one pixel wide";
  ASSERT_TRUE(buffer.CreateOffscreen(100, 81));
  EXPECT_EQ(buffer.GetPixel(50, 50), RGB(0, 0, 0)) << "a new size takes a new, clear image";
}

TEST_F(BackBufferTest, AClipKeepsEveryDrawingInsideItAndDrawsThereWhatAWholePaintDraws) {
  auto draw = [](GUI_BackBuffer& target) {
    target.FillRect(CRect(5, 5, 90, 30), RGB(200, 150, 0));
    target.FillHGradient(CRect(0, 60, 100, 70), RGB(0, 0, 0), RGB(250, 250, 250));
    target.SetPen(RGB(0, 120, 0), 3);
    target.MoveTo(2, 75);
    target.LineTo(97, 3);
    target.SetPen(RGB(250, 0, 0), 1, PS_DOT);
    const CPoint outline[] = {{1, 40}, {98, 40}, {98, 45}, {1, 45}, {1, 40}};
    target.Polyline(outline, 5);
    const int tops[] = {0, 20, 44};
    const int bottoms[] = {79, 30, 44};
    target.FillColumnSpans(25, tops, bottoms, 3, RGB(0, 0, 250), CRect(0, 0, 100, 80));
    target.SetTextColor(RGB(255, 255, 255));
    target.DrawText("Clipped", CRect(0, 45, 100, 60), DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  };
  GUI_BackBuffer whole;
  ASSERT_TRUE(whole.CreateOffscreen(100, 80));
  whole.Fill(kBack);
  draw(whole);
  const CRect clip(20, 10, 70, 50);
  buffer.SetClipRect(clip);
  EXPECT_EQ(buffer.GetClipRect(), clip);
  draw(buffer);
  int inside = 0;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 100; ++x) {
      const bool in = clip.PtInRect(CPoint(x, y));
      inside += in && buffer.GetPixel(x, y) != kBack ? 1 : 0;
      ASSERT_EQ(buffer.GetPixel(x, y), in ? whole.GetPixel(x, y) : kBack) << x << ", " << y;
    }
  }
  EXPECT_GT(inside, 500) << "the clip drew something";
  buffer.ClearClipRect();
  buffer.FillRect(CRect(0, 0, 5, 5), RGB(1, 2, 3));
  ExpectPixels({{0, 0}}, RGB(1, 2, 3));
}

TEST_F(BackBufferTest, AnImageKeepsItsIdWhileItsBufferIsMadeAgainAtItsSize) {
  const std::uint64_t id = buffer.GetImageId();
  EXPECT_NE(id, 0u);
  // The second row starts a stride after the first.
  buffer.FillRect(CRect(0, 1, 1, 2), RGB(9, 8, 7));
  ASSERT_GE(buffer.GetStride(), 100);
  EXPECT_EQ(buffer.GetBits()[buffer.GetStride()] & 0xFFFFFFu, 0x090807u);
  buffer.SetClipRect(CRect(0, 0, 10, 10));
  ASSERT_TRUE(buffer.CreateOffscreen(100, 80));
  EXPECT_EQ(buffer.GetImageId(), id);
  EXPECT_EQ(buffer.GetClipRect(), CRect(0, 0, 100, 80)) << "a buffer made again draws everywhere";
  ASSERT_TRUE(buffer.CreateOffscreen(100, 81));
  EXPECT_NE(buffer.GetImageId(), id);
  GUI_BackBuffer other;
  ASSERT_TRUE(other.CreateOffscreen(100, 81));
  EXPECT_NE(other.GetImageId(), buffer.GetImageId());
}

// Spans of many columns are drawn eight columns at a time along rows where they are flat, and
// column by column where they are steep; either way each pixel is what its column's spans say.
TEST_F(BackBufferTest, ColumnSpansDrawWhatEachColumnSaysWhereverTheyLieAndHoweverSteep) {
  std::mt19937 random(11);
  auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  constexpr COLORREF kOuter = RGB(0, 0, 250);
  constexpr COLORREF kInner = RGB(0, 250, 0);
  for (int round = 0; round < 300; ++round) {
    buffer.Fill(kBack);
    const int count = pick(1, 40);
    const int first = pick(-10, 90);
    const int steep = pick(0, 2) == 0 ? 60 : 5;
    std::vector<int> tops, bottoms, innerTops, innerBottoms;
    for (int i = 0, row = pick(-10, 90); i < count; ++i, row += pick(-2, 2)) {
      tops.push_back(row + pick(0, steep));
      bottoms.push_back(tops.back() + pick(-1, steep));
      innerTops.push_back(tops.back() + pick(-2, 3));
      innerBottoms.push_back(innerTops.back() + pick(-1, 2));
    }
    const CRect area(pick(0, 40), pick(0, 40), pick(40, 110), pick(40, 90));
    const bool inner = pick(0, 1) == 1;
    if (inner) {
      buffer.FillColumnSpans(first, tops.data(), bottoms.data(), count, kOuter, area, innerTops.data(),
                             innerBottoms.data(), kInner);
    } else {
      buffer.FillColumnSpans(first, tops.data(), bottoms.data(), count, kOuter, area);
    }
    for (int x = 0; x < 100; ++x) {
      for (int y = 0; y < 80; ++y) {
        const std::size_t i = static_cast<std::size_t>(x - first);
        COLORREF expected = kBack;
        if (x >= first && x < first + count && area.PtInRect(CPoint(x, y))) {
          if (inner && innerTops[i] <= y && y <= innerBottoms[i]) {
            expected = kInner;
          } else if (tops[i] <= y && y <= bottoms[i]) {
            expected = kOuter;
          }
        }
        ASSERT_EQ(buffer.GetPixel(x, y), expected) << "round " << round << " at " << x << ", " << y;
      }
    }
  }
}
