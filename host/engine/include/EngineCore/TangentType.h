#pragma once

#include <cstdint>

namespace EngineCore {

// How a cubic key's tangents are made. The engine plays the tangents alone; the editor keeps
// the type with each key and remakes the tangents of the first four when the key or its
// neighbours move, and the clip file records it.
enum class TangentType : std::uint8_t {
  // The mean of the slopes to the neighbours, flat at a local extreme and never steep enough
  // to leave the neighbours' values: the type of every new key.
  AutoClamped = 0,
  // The mean of the slopes to the neighbours.
  Auto = 1,
  // Zero on both sides.
  Flat = 2,
  // Each side points at its neighbour.
  Linear = 3,
  // Set by hand, in and out along one line.
  Free = 4,
  // Set by hand, in and out apart.
  Broken = 5,
};

inline constexpr int kTangentTypeCount = 6;

}  // namespace EngineCore
