#pragma once

#include <cstdint>

#include "EngineCore/String.h"

namespace Tarvel {

class CurveInfo;

// One row of the track list: a curve of a shown channel.
struct TrackEntry {
  // Column 0: the channel's name, or "0x<key>" when it has none.
  EngineCore::String label;
  // Column 1: the byte 0xFF and the index of the track-and-component icon (0xFF alone when
  // the curve has no icon).
  EngineCore::String iconText;
  CurveInfo* curve = nullptr;
  // Always 4126; a row without it is not drawn.
  std::uint32_t tag = 0;
};

}  // namespace Tarvel
