#pragma once

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

namespace TarvelHost {

// The resource browser pane: the clips of the project's clip folder by resource name.
// Dragging an entry puts one item of data type 10 with its name in the main frame's
// drag-and-drop manager for the length of the drag; double-clicking opens it.
class ResourceBrowser : public QListWidget {
 public:
  static constexpr int kResourceDataType = 10;
  static constexpr const char* kMimeType = "application/x-tarvel-resource";

  using OpenHandler = std::function<void(const std::string& name)>;

  explicit ResourceBrowser(QWidget* parent = nullptr);

  // A clip with a problem (why it does not open) shows a warning icon and says why when the
  // pointer rests on it.
  using ProblemOf = std::function<std::string(const std::string& name)>;
  void SetClips(const std::vector<std::string>& names, const ProblemOf& problemOf = {});
  std::vector<std::string> GetClips() const;
  void SetOpenHandler(OpenHandler handler) { onOpen = std::move(handler); }

 protected:
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  OpenHandler onOpen;
};

}  // namespace TarvelHost
