#pragma once

#include "resources/EmbeddedResources.h"

#include <span>

namespace EditorCore {
class GUI_ResourceBundle;
class GUI_Icon;
}  // namespace EditorCore

namespace Tarvel {

// The module's dialog templates and icons, handed to the host's resource context under the
// module's own prefix. Contract:
// 1. Register builds one bundle from every file compiled into the library and registers it
//    under kPrefix, replacing an earlier registration; look-ups then need a
//    EditorCore::GUI_ResourceScope(kPrefix), as every host call into the module makes.
// 2. A template file that does not parse registers nothing: Register returns false and the
//    host log names the file.
// 3. Unregister removes the bundle; icons loaded from it become invalid.
class ModuleResources {
 public:
  static constexpr const char* kPrefix = "Tarvel";

  [[nodiscard]] static bool Register();
  static void Unregister();
  // An icon of the module's own at 18 x 18, shared (never freed by the caller); null when the
  // module has no icon of that number. The exported LoadIconInModule answers with it.
  static EditorCore::GUI_Icon* LoadIcon(unsigned iconId);

  // Fills bundle from the given files; false (and a log line naming the file) at the first
  // template file that does not parse. Register uses it with the compiled files.
  [[nodiscard]] static bool BuildBundle(std::span<const EmbeddedFile> templateFiles,
                                        std::span<const EmbeddedIcon> iconFiles,
                                        EditorCore::GUI_ResourceBundle& bundle);
};

}  // namespace Tarvel
