#pragma once

#include <string>

#include "Formats/GltfClipFile.h"

namespace Formats {

// Holds the host's reporter of clip files that a user's action could not open or save.
class FailureReporter {
 public:
  static void Set(GltfClipFile::Reporter reporter);
  // Passes the sentence on when a reporter is installed.
  static void Report(const std::string& sentence);
};

}  // namespace Formats
