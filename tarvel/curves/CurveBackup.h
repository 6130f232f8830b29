#pragma once

#include <cstdint>

#include "EditorToolkit/Curve2.h"
#include "EngineCore/String.h"

namespace Tarvel {

class CurveInfo;

// One per-curve backup: the curve's points when a point drag started.
struct CurveBackup {
  EngineCore::String label;
  // The curve's iCurrentUndo when the backup was taken.
  std::uint32_t step = 0;
  CurveInfo* owner = nullptr;
  EditorToolkit::Curve2::_Curve points;
};

}  // namespace Tarvel
