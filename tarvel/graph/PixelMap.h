#pragma once

#include <algorithm>

#include "EditorCore/GUI_RulerCtrl.h"

namespace Tarvel {

// A ruler's mapping between values and pixels, as GUI_RulerCtrl::ValueToPixel computes it,
// without a call per point: drawing maps every key in view.
class PixelMap {
 public:
  PixelMap(double startValue, double pixelsPerValue) : start(startValue), perValue(pixelsPerValue) {}
  explicit PixelMap(const EditorCore::GUI_RulerCtrl& ruler)
      : PixelMap(ruler.GetStartValue(), ruler.GetPixelPerUnit() * ruler.GetScale()) {}

  // The unrounded pixel position of a value: pixel p covers positions [p - 0.5, p + 0.5).
  double Position(double value) const { return (value - start) * perValue; }
  int Pixel(double value) const { return Round(Position(value)); }
  double ValueAt(double pixel) const { return start + pixel / perValue; }
  friend bool operator==(const PixelMap&, const PixelMap&) = default;
  // floor(position + 0.5) without a library call, clamped far outside any view.
  static int Round(double position) {
    const double t = std::clamp(position, -1.0e9, 1.0e9) + 0.5;
    const int i = static_cast<int>(t);
    return t < i ? i - 1 : i;
  }

 private:
  double start;
  double perValue;
};

}  // namespace Tarvel
