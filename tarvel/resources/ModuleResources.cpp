#include "resources/ModuleResources.h"

#include <EditorCore/GUI_Debug.h>
#include <EditorCore/GUI_ResourceBundle.h>
#include <EditorCore/GUI_ResourceContext.h>
#include <EditorCore/GUI_ResourceScope.h>

#include <string>
#include <string_view>

#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

std::string_view AsText(const unsigned char* bytes, std::size_t size) {
  return {reinterpret_cast<const char*>(bytes), size};
}

}  // namespace

bool ModuleResources::Register() {
  EditorCore::GUI_ResourceBundle bundle;
  if (!BuildBundle(EmbeddedResources::GetTemplateFiles(), EmbeddedResources::GetIconFiles(), bundle)) {
    return false;
  }
  EditorCore::GUI_ResourceContext::Register(kPrefix, bundle);
  return true;
}

void ModuleResources::Unregister() { EditorCore::GUI_ResourceContext::Unregister(kPrefix); }

EditorCore::GUI_Icon* ModuleResources::LoadIcon(unsigned iconId) {
  EditorCore::GUI_ResourceScope scope(kPrefix);
  return EditorCore::GUI_ResourceContext::LoadIcon(iconId, Ids::kIconSize);
}

bool ModuleResources::BuildBundle(std::span<const EmbeddedFile> templateFiles, std::span<const EmbeddedIcon> iconFiles,
                                  EditorCore::GUI_ResourceBundle& bundle) {
  for (const EmbeddedFile& file : templateFiles) {
    // The count tells a file that repeats an id already read, which would hide a template.
    const std::size_t before = bundle.GetTemplateCount();
    if (!bundle.AddTemplatesJson(AsText(file.bytes, file.size))) {
      EditorCore::OutputDebugString(
          (std::string("Tarvel: dialog template file ") + file.name + " does not parse\n").c_str());
      return false;
    }
    if (bundle.GetTemplateCount() == before) {
      EditorCore::OutputDebugString(
          (std::string("Tarvel: dialog template file ") + file.name + " adds no new template\n").c_str());
    }
  }
  for (const EmbeddedIcon& icon : iconFiles) {
    bundle.AddIconSvg(icon.id, AsText(icon.bytes, icon.size));
  }
  return true;
}

}  // namespace Tarvel
