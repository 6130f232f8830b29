#pragma once

namespace Tarvel {

// What the scale tool asks: a wished length in frames, or a percentage (the starting mode).
struct ScaleSettings {
  // The length the curves share, or -1 when they differ (shown empty).
  int iCurrentLength = -1;
  int iWishLength = 0;
  float fPercentage = 100.0f;
  bool bUseLength = false;
};

}  // namespace Tarvel
