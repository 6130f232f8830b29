#pragma once

#include "EditorToolkit/Curve2.h"
#include "curves/CurveInfo.h"

namespace Tarvel {

// Tests build and change their curves directly, as the curve set does; the module's own code
// changes them only through an action of the clip's core.
class CurveWriter {
 public:
  static EditorToolkit::Curve2& Of(CurveInfo& info) { return info.Write({}); }
};

}  // namespace Tarvel
