#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "EngineCore/TangentType.h"
#include "tools/ToolQuestions.h"

namespace Tarvel {

class ClipEditCore;

// The key transform tools over a clip page's core: each asks its settings, then reshapes the
// selected curves (curves of selected rows that hold the selection), all their keys
// (selection false) or from their first to their last selected key (selection true).
//
// Every tool follows the same frame:
// 1. Without a selected curve in the graph nothing is asked and nothing changes.
// 2. A curve about to change is recorded for undo first; channels are written back once
//    each, as the walk leaves them.
// 3. It ends with the core's closing sequence under the tool's label ("FlipTrack",
//    "ScaleSelection", ...), also when the user declined; only a cancelled scale leaves no
//    trace at all.
// Each returns whether a curve was reshaped.
class KeyTools {
 public:
  static bool Flip(ClipEditCore& core, ToolQuestions& questions, bool selection);
  static bool Scale(ClipEditCore& core, ToolQuestions& questions, bool selection);
  // Smooth tells the user why it did nothing when the keys lie too close to add keys between.
  static bool Smooth(ClipEditCore& core, ToolQuestions& questions, bool selection);
  static bool Subdivise(ClipEditCore& core, ToolQuestions& questions, bool selection);
  static bool SubSample(ClipEditCore& core, ToolQuestions& questions, bool selection);
  // Asks nothing. Works on every rotation track with a selected curve, on all three of its
  // curves, so that the rotation at every key stays the same (see KeyTransforms::FilterEuler);
  // with selection, from the first to the last selected key of the track's curves.
  static bool EulerFilter(ClipEditCore& core, bool selection);
  // Asks for a cut-off and takes the motion faster than it out of the selected curves (all
  // their keys, or from their first to their last selected key) with a zero-phase low-pass
  // filter (NoiseFilter), rotations on their continuous angles (as EulerFilter leaves them).
  // While it asks, each cut-off tried is shown on the curves and shown is called to draw
  // them; cancelled, the curves are as they were and nothing is recorded. A curve of fewer
  // than three keys in its range is left, and when every curve is, the user is told why.
  static bool FilterNoise(ClipEditCore& core, ToolQuestions& questions, bool selection,
                          const std::function<void()>& shown = {});
  // Asks for the clip's new frame rate and changes it (ClipEditCore::ChangeFrameRate).
  static bool FrameRate(ClipEditCore& core, ToolQuestions& questions);
  // Asks nothing. Gives the keys of the selected cubic curves (selection: their selected keys)
  // the tangent type (TangentShaper); a rotation key chosen on one axis takes it on all three,
  // which share its tangent. Curves of other interpolations have no tangents and keep theirs.
  static bool SetTangents(ClipEditCore& core, EngineCore::TangentType type, bool selection);
  // Asks nothing. Gives the tracks of the selected curves an interpolation (Curve2::Linear,
  // Step or Cubic), all their axes together (ClipEditCore::ChangeInterpolation).
  static bool SetInterpolation(ClipEditCore& core, std::uint32_t how);
  // The type all keys of the selected cubic curves have (selection: their selected keys), which
  // the menus check; none when they differ or there are none.
  static std::optional<EngineCore::TangentType> SharedTangentType(const ClipEditCore& core, bool selection);
  // The name a menu gives a tangent type ("Auto Clamped", "Flat", ...).
  static const char* TangentTypeName(EngineCore::TangentType type);
  // The interpolation all selected curves have; none when they differ or none is selected.
  static std::optional<std::uint32_t> SharedInterpolation(const ClipEditCore& core);
};

}  // namespace Tarvel
