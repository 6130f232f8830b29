#include "graph/ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace Tarvel {

double ColourContrast::Luminance(EditorCore::COLORREF colour) {
  auto linear = [](int byte) {
    const double c = byte / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(EditorCore::GetRValue(colour)) + 0.7152 * linear(EditorCore::GetGValue(colour)) +
         0.0722 * linear(EditorCore::GetBValue(colour));
}

double ColourContrast::Ratio(EditorCore::COLORREF a, EditorCore::COLORREF b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

EditorCore::COLORREF ColourContrast::Readable(EditorCore::COLORREF colour, EditorCore::COLORREF ground,
                                              EditorCore::COLORREF otherGround, double ratio) {
  auto blend = [colour](int towards, double amount) {
    auto channel = [&](int byte) { return static_cast<int>(std::lround(byte + (towards - byte) * amount)); };
    return EditorCore::RGB(channel(EditorCore::GetRValue(colour)), channel(EditorCore::GetGValue(colour)),
                           channel(EditorCore::GetBValue(colour)));
  };
  auto reaches = [&](EditorCore::COLORREF c) { return Ratio(c, ground) >= ratio && Ratio(c, otherGround) >= ratio; };
  for (int step = 0; step <= 20; ++step) {
    for (const int towards : {255, 0}) {
      const EditorCore::COLORREF candidate = blend(towards, step / 20.0);
      if (reaches(candidate)) return candidate;
    }
  }
  return Ratio(EditorCore::RGB(255, 255, 255), ground) > Ratio(0, ground) ? EditorCore::RGB(255, 255, 255) : 0;
}

}  // namespace Tarvel
