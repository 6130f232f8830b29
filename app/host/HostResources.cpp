#include "HostResources.h"

#include "EditorCore/GUI_ResourceBundle.h"
#include "EditorCore/GUI_ResourceContext.h"

namespace TarvelHost {

namespace {

constexpr const char* kTemplates = R"json([
  {
    "id": 100,
    "size": [200, 62],
    "caption": "Name",
    "controls": [
      {"id": 101, "kind": "static", "text": "Name :", "rect": [7, 8, 186, 10]},
      {"id": 102, "kind": "edit", "rect": [7, 20, 186, 13]},
      {"id": 1, "kind": "defbutton", "text": "OK", "rect": [89, 41, 50, 14]},
      {"id": 2, "kind": "button", "text": "Cancel", "rect": [143, 41, 50, 14]}
    ]
  }
])json";

}  // namespace

bool HostResources::Register() {
  if (EditorCore::GUI_ResourceContext::IsRegistered(kPrefix)) return true;
  EditorCore::GUI_ResourceBundle bundle;
  if (!bundle.AddTemplatesJson(kTemplates)) return false;
  EditorCore::GUI_ResourceContext::Register(kPrefix, bundle);
  return true;
}

}  // namespace TarvelHost
