#pragma once

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
  static bool Smooth(ClipEditCore& core, ToolQuestions& questions, bool selection);
  static bool Subdivise(ClipEditCore& core, ToolQuestions& questions, bool selection);
  static bool SubSample(ClipEditCore& core, ToolQuestions& questions, bool selection);
  // Asks nothing. Works on every rotation track with a selected curve, on all three of its
  // curves, so that the rotation at every key stays the same (see KeyTransforms::FilterEuler);
  // with selection, from the first to the last selected key of the track's curves.
  static bool EulerFilter(ClipEditCore& core, bool selection);
  // Asks for the clip's new frame rate and changes it (ClipEditCore::ChangeFrameRate).
  static bool FrameRate(ClipEditCore& core, ToolQuestions& questions);
};

}  // namespace Tarvel
