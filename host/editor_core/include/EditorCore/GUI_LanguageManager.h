#pragma once

#include <EditorCore/WinTypes.h>

#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace EditorCore {

// Translations of user-visible texts, by module id, section and English text.
// Catalogs are JSON: {"language": "fr", "modules": {"32": {"Tarvel": {"Open": "Ouvrir"}}}}.
class GUI_LanguageManager {
 public:
  // False (and a log line) on malformed data; entries read before stay.
  bool LoadCatalogJson(std::string_view json);
  bool LoadCatalogFile(const std::string& path);
  void Clear();
  // The translation, or text itself when no catalog has one. The pointer stays valid while
  // the catalog entry lives (for text itself: as long as the caller's text).
  const char* GetTranslationFor(UINT moduleId, const char* section, const char* text) const;

 private:
  std::map<std::tuple<UINT, std::string, std::string>, std::string> entries;
};

}  // namespace EditorCore
