#pragma once

#include <QTreeWidget>

#include <functional>
#include <string>
#include <vector>

namespace TarvelHost {

// The resource browser pane: the clips of the project's clip folder by resource name. The
// clips of a file of several animations are grouped under the file, each shown by its
// animation's part of the name. Dragging a clip puts one item of data type 10 with its name
// in the main frame's drag-and-drop manager for the length of the drag; double-clicking
// opens it. A file's own row neither drags nor opens.
class ResourceBrowser : public QTreeWidget {
 public:
  static constexpr int kResourceDataType = 10;
  static constexpr const char* kMimeType = "application/x-tarvel-resource";

  struct Clip {
    std::string name;
    // The file's name without extension when it holds several clips; else empty.
    std::string file;
  };

  using OpenHandler = std::function<void(const std::string& name)>;

  explicit ResourceBrowser(QWidget* parent = nullptr);

  // A clip with a problem (why it does not open) shows a warning icon and says why when the
  // pointer rests on it.
  using ProblemOf = std::function<std::string(const std::string& name)>;
  void SetClips(const std::vector<Clip>& clips, const ProblemOf& problemOf = {});
  // The clips' resource names, in the order shown.
  std::vector<std::string> GetClips() const;
  // The row of a clip, null when none has that name.
  QTreeWidgetItem* FindClip(const std::string& name) const;
  void SetOpenHandler(OpenHandler handler) { onOpen = std::move(handler); }

 protected:
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  static std::string NameOf(const QTreeWidgetItem* item);
  // Every clip's row, in the order shown.
  std::vector<QTreeWidgetItem*> ClipRows() const;

  OpenHandler onOpen;
};

}  // namespace TarvelHost
