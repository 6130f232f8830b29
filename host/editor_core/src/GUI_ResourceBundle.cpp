#include <EditorCore/GUI_ResourceBundle.h>

namespace EditorCore {

bool GUI_ResourceBundle::AddTemplatesJson(std::string_view json) {
  std::vector<GUI_DialogTemplate> read;
  const bool ok = GUI_DialogTemplate::ParseJson(json, read);
  for (auto& t : read) templates[t.id] = std::move(t);
  return ok;
}

void GUI_ResourceBundle::AddTemplate(const GUI_DialogTemplate& dialogTemplate) {
  templates[dialogTemplate.id] = dialogTemplate;
}

void GUI_ResourceBundle::AddIconSvg(UINT id, std::string_view svg) { icons[id] = std::string(svg); }

void GUI_ResourceBundle::AddCursorSvg(UINT id, std::string_view svg, int hotX, int hotY) {
  cursors[id] = CursorData{std::string(svg), hotX, hotY};
}

const GUI_DialogTemplate* GUI_ResourceBundle::FindTemplate(UINT id) const {
  const auto it = templates.find(id);
  return it == templates.end() ? nullptr : &it->second;
}

const std::string* GUI_ResourceBundle::FindIconSvg(UINT id) const {
  const auto it = icons.find(id);
  return it == icons.end() ? nullptr : &it->second;
}

const GUI_ResourceBundle::CursorData* GUI_ResourceBundle::FindCursor(UINT id) const {
  const auto it = cursors.find(id);
  return it == cursors.end() ? nullptr : &it->second;
}

}  // namespace EditorCore
