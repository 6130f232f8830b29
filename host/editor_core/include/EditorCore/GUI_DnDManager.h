#pragma once

#include <string>
#include <vector>

namespace EditorCore {

// One dragged item: its data type (10: an engine resource) and the resource name.
struct GUI_DnDData {
  int dataType = 0;
  std::string name;
};

// The items of the drag in progress.
class GUI_DnDManager {
 public:
  void AddData(int dataType, const std::string& name);
  void Clear();
  int GetDataCount() const { return static_cast<int>(items.size()); }
  // Null outside 0 .. count - 1.
  const GUI_DnDData* GetDataAt(int index) const;

 private:
  std::vector<GUI_DnDData> items;
};

}  // namespace EditorCore
