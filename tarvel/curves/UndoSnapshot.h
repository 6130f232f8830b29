#pragma once

#include <cstdint>

#include "EditorToolkit/Curve2.h"
#include "EngineCore/String.h"

namespace Tarvel {

class CurveInfo;

// One curve's points as they were at one recorded step of the clip's history.
struct UndoSnapshot {
  std::uint32_t step = 0;
  // Set when the curve's channel was removed: the snapshot keeps its step but is never
  // restored.
  bool stale = false;
  // Null once stale: the curve itself is gone.
  CurveInfo* curve = nullptr;
  EditorToolkit::Curve2::_Curve points;
  // Name of the operation that recorded it; kept for debugging, shown nowhere.
  EngineCore::String label;
};

}  // namespace Tarvel
