#pragma once

#include "EngineCore/String.h"

namespace Tarvel {

// The settings of a channel to create or of a channel being edited.
struct ChannelDesc {
  EngineCore::String name;
  bool bTranslation = true;
  bool bRotation = true;
  bool bScale = true;
};

}  // namespace Tarvel
