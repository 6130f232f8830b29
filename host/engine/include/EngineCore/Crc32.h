#pragma once

#include <cstdint>

namespace EngineCore {

// Standard CRC-32 (polynomial 0xEDB88320, initial and final value 0xFFFFFFFF), the
// checksum the engine stores beside names: a channel's key is Compute of its name.
class Crc32 {
 public:
  static std::uint32_t Compute(std::uint32_t length, const char* data);
};

}  // namespace EngineCore
