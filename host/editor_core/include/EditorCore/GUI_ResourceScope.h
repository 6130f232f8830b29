#pragma once

#include <string>

namespace EditorCore {

// Makes a resource context current for the lifetime of the object, then restores the one
// that was current before.
class GUI_ResourceScope {
 public:
  explicit GUI_ResourceScope(const std::string& prefix);
  ~GUI_ResourceScope();
  GUI_ResourceScope(const GUI_ResourceScope&) = delete;
  GUI_ResourceScope& operator=(const GUI_ResourceScope&) = delete;

 private:
  std::string previous;
};

}  // namespace EditorCore
