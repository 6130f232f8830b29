#pragma once

#include <algorithm>
#include <cmath>

// Relative luminance and contrast ratio of sRGB colours as the accessibility guidelines
// define them, written out here so that the tests do not take the editor's word for it.
inline double ContrastRatio(int r1, int g1, int b1, int r2, int g2, int b2) {
  auto luminance = [](int r, int g, int b) {
    auto linear = [](int byte) {
      const double v = byte / 255.0;
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
  };
  const double la = luminance(r1, g1, b1), lb = luminance(r2, g2, b2);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
