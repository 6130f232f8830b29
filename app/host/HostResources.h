#pragma once

#include "EditorCore/WinTypes.h"

namespace TarvelHost {

// The host application's own dialog templates, registered under their own resource prefix
// so that they never shadow a module's templates.
class HostResources {
 public:
  static constexpr const char* kPrefix = "TarvelHost";
  static constexpr EditorCore::UINT kNameDialog = 100;
  static constexpr EditorCore::UINT kNamePrompt = 101;
  static constexpr EditorCore::UINT kNameEdit = 102;

  // Registers the bundle once; true when it is registered.
  static bool Register();
};

}  // namespace TarvelHost
