#pragma once

#include <cstdint>

#include "EngineCore/String.h"

namespace Tarvel {

// One row of the channel list: a channel of the page's clip.
struct ChannelRow {
  // Column 0: the channel's name, or "ID :0x<key>" when it has none.
  EngineCore::String text;
  // Column 1: the byte 255, then one code per track in track order (1 translation,
  // 2 rotation, 3 scale, 4 morph-target weights), drawn as the matching icons.
  EngineCore::String tracks;
  std::uint32_t key = 0;
  // Always 4126; a row without it is not drawn.
  std::uint32_t tag = 0;
  // The page shows this channel's curves.
  bool bShown = false;
};

}  // namespace Tarvel
