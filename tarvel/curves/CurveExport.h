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
};

}  // namespace Tarvel
