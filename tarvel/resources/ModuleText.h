#pragma once

#include <string>

namespace Tarvel {

// The module's user-visible texts, translated through the host's language manager with the
// module id and a section ("Tarvel" or a dialog's own); the English text is the default.
class ModuleText {
 public:
  static std::string Translate(const char* text, const char* section = "Tarvel");
};

}  // namespace Tarvel
