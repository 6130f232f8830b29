#pragma once

#include <functional>
#include <string>

#include "Formats/FormatsApi.h"

namespace Formats {

// A seam for tests over the steps of a clip save (see ClipFileTransaction): before each
// step that changes the disk, the hook is told the step's number (from 1, in the order of
// the save) and what it is about to do. A hook that returns false makes that step fail as
// an I/O error would; a hook may also end the process there, as a crash would.
class FORMATS_API SaveStepHook {
 public:
  using Hook = std::function<bool(int step, const std::string& what)>;

  // Installs a hook for every later save; an empty hook restores plain saving.
  static void Set(Hook hook);

  // Called by the save: true to go on with the step.
  static bool Reached(int step, const std::string& what);
};

}  // namespace Formats
