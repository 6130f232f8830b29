#include <EditorCore/GUI_DnDManager.h>

namespace EditorCore {

void GUI_DnDManager::AddData(int dataType, const std::string& name) { items.push_back(GUI_DnDData{dataType, name}); }

void GUI_DnDManager::Clear() { items.clear(); }

const GUI_DnDData* GUI_DnDManager::GetDataAt(int index) const {
  return index >= 0 && index < GetDataCount() ? &items[index] : nullptr;
}

}  // namespace EditorCore
