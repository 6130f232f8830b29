#pragma once

#include <EditorCore/GUI_DialogTemplate.h>
#include <EditorCore/WinTypes.h>

#include <map>
#include <string>
#include <string_view>

namespace EditorCore {

// The resources of one library: dialog templates, icons (SVG) and cursors (SVG with a hot
// spot). A module builds one from the bytes compiled into it and registers it with
// GUI_ResourceContext::Register.
class GUI_ResourceBundle {
 public:
  struct CursorData {
    std::string svg;
    int hotX = 0;
    int hotY = 0;
  };

  // JSON text holding one template or an array of templates. False on malformed data.
  bool AddTemplatesJson(std::string_view json);
  void AddTemplate(const GUI_DialogTemplate& dialogTemplate);
  void AddIconSvg(UINT id, std::string_view svg);
  void AddCursorSvg(UINT id, std::string_view svg, int hotX, int hotY);

  const GUI_DialogTemplate* FindTemplate(UINT id) const;
  const std::string* FindIconSvg(UINT id) const;
  const CursorData* FindCursor(UINT id) const;
  std::size_t GetTemplateCount() const { return templates.size(); }

 private:
  std::map<UINT, GUI_DialogTemplate> templates;
  std::map<UINT, std::string> icons;
  std::map<UINT, CursorData> cursors;
};

}  // namespace EditorCore
