#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "EditorToolkit/Curve2.h"
#include "curves/ChannelData.h"
#include "curves/CurveDelta.h"
#include "curves/CurveId.h"

namespace Tarvel {

// One action of the user as it changed a clip page, to be undone and redone whole: the
// channels it added or removed (a channel edit is the old channel removed and the new one
// added in its place) and the curves it changed. Redo makes the channel changes in order,
// then the curve changes; undo takes them back in the opposite order.
class EditStep {
 public:
  struct CurveChange {
    CurveId id;
    CurveDelta delta;
  };
  // A curve's points, with a cubic curve's tangents.
  struct CurveState {
    CurveId id;
    EditorToolkit::Curve2::PointList points;
    EditorToolkit::Curve2::TangentList tangents;
  };
  // A channel that came into the clip or left it, with all it takes to put it back exactly:
  // its place in the clip's channel table, its tracks and keys, its curves' points, and the
  // keys it had when its curves were built (see ClipEditCore on exact undo).
  struct ChannelChange {
    bool added = false;
    std::uint32_t position = 0;
    std::uint32_t key = 0;
    ChannelData data;
    std::vector<CurveState> curves;
    ChannelData built;
    int depth = 0;
    // The rotation signs its write-backs give its keys (see ClipEditCore), when it had them.
    std::optional<EngineCore::AnimCurve> rotationSigns;
  };

  explicit EditStep(std::string name) : label(std::move(name)) {}

  const std::string label;
  // A label as a menu names its step: "FlipTrack" reads "Flip Track".
  static std::string Describe(const std::string& label);
  // Tells the step apart from every other of its page, for the saved state.
  std::uint64_t serial = 0;
  std::vector<ChannelChange> channelChanges;
  std::vector<CurveChange> curveChanges;
  // The clip's frame rate before and after the step; equal when the step kept it.
  float rateBefore = 0.0f;
  float rateAfter = 0.0f;

  bool IsEmpty() const { return channelChanges.empty() && curveChanges.empty() && rateBefore == rateAfter; }
  std::size_t GetHeldBytes() const;
};

}  // namespace Tarvel
