#include "tools/DopeSheetClipboard.h"

#include <algorithm>

namespace Tarvel {

float DopeSheetClipboard::GetSpan() const {
  float span = 0.0f;
  for (const Entry& entry : entries) {
    if (!entry.points.empty()) span = std::max(span, entry.points.back().x);
  }
  return span;
}

}  // namespace Tarvel
