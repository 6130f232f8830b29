#pragma once

namespace Tarvel {

class TarvelModule;

// The library's start and stop. The start runs when the host loads the library: it makes
// the one module object (however often it runs), makes sure the editor kernel exists and
// hands the module's resources to the host. The stop deletes the module object; unloading the
// library stops it.
class TarvelLibrary {
 public:
  static bool Start();
  static void Stop();
  // Null before the start and after the stop.
  static TarvelModule* GetModule();
};

}  // namespace Tarvel
