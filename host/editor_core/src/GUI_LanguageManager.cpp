#include <EditorCore/GUI_LanguageManager.h>

#include <EditorCore/GUI_Debug.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace EditorCore {

bool GUI_LanguageManager::LoadCatalogJson(std::string_view text) {
  using nlohmann::json;
  const json j = json::parse(text.begin(), text.end(), nullptr, false);
  if (j.is_discarded() || !j.is_object() || !j.contains("modules") || !j["modules"].is_object()) {
    OutputDebugString(
        "EditorCore: translation catalog: expected {\"modules\": {id: {section: {text: translation}}}}\n");
    return false;
  }
  bool ok = true;
  for (const auto& [moduleKey, sections] : j["modules"].items()) {
    char* end = nullptr;
    const unsigned long id = std::strtoul(moduleKey.c_str(), &end, 0);
    if (!end || *end != '\0' || !sections.is_object()) {
      OutputDebugString(("EditorCore: translation catalog: bad module entry \"" + moduleKey + "\"\n").c_str());
      ok = false;
      continue;
    }
    for (const auto& [section, texts] : sections.items()) {
      if (!texts.is_object()) {
        ok = false;
        continue;
      }
      for (const auto& [english, translated] : texts.items()) {
        if (!translated.is_string()) {
          ok = false;
          continue;
        }
        entries[std::make_tuple(static_cast<UINT>(id), section, english)] = translated.get<std::string>();
      }
    }
  }
  if (!ok) OutputDebugString("EditorCore: translation catalog: some entries were skipped\n");
  return ok;
}

bool GUI_LanguageManager::LoadCatalogFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    OutputDebugString(("EditorCore: translation catalog " + path + " cannot be read\n").c_str());
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return LoadCatalogJson(text.str());
}

void GUI_LanguageManager::Clear() { entries.clear(); }

const char* GUI_LanguageManager::GetTranslationFor(UINT moduleId, const char* section, const char* text) const {
  if (!text) return "";
  if (!section || entries.empty()) return text;
  const auto it = entries.find(std::make_tuple(moduleId, std::string(section), std::string(text)));
  return it == entries.end() ? text : it->second.c_str();
}

}  // namespace EditorCore
