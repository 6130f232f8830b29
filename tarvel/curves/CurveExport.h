#pragma once

#include <string>

#include "curves/ClipEditCore.h"

namespace Tarvel {

// A clip page's curves as comma-separated text, for scripts and users who compare what the
// graph shows with what a file plays:
//   channel,track,axis,frame,value,key
// one line for every whole frame of the clip's key-frame range, for every curve of every
// channel in the clip's order (tracks translation, rotation, scale; axes X, Y, Z): the value
// the curve draws there (degrees for rotations), and key 1 where the curve has a key on that
// frame. A channel's name that holds a comma, a quote or a line break is quoted.
class CurveExport {
 public:
  // Empty without a clip.
  static std::string ToCsv(const ClipEditCore& core);
  // The slopes of the curve on each side of its key at frame, in value per frame (degrees for
  // rotations): a cubic key's tangents, else those of the lines or splines to its neighbours as
  // the curve draws them (zero beyond its ends). The curve is the channel's track's axis
  // (component, or a morph target's name for weights). False without such a key.
  static bool KeySlopes(const ClipEditCore& core, const std::string& channel, std::uint32_t trackType,
                        const std::string& axis, float frame, double& in, double& out);
  // A script's question "CHANNEL\nTRACK\nAXIS\nFRAME" (TRACK a track type number) replaced by
  // its answer "IN OUT"; false, the question left as it is, without such a key.
  static bool AnswerSlopeQuery(const ClipEditCore& core, std::string& query);
};

}  // namespace Tarvel
