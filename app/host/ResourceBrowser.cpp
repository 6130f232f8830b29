#include "ResourceBrowser.h"

#include <QDrag>
#include <QMimeData>
#include <QStyle>

#include "EditorCore/GUI_MainFrame.h"

namespace TarvelHost {

namespace {
// Where a clip's row keeps its resource name; a file's row keeps none.
constexpr int kNameRole = Qt::UserRole;
}  // namespace

ResourceBrowser::ResourceBrowser(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setRootIsDecorated(true);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setToolTip(QStringLiteral("Clips of the project: drag one onto the editor, or double-click it"));
  connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    const std::string name = NameOf(item);
    if (!name.empty() && onOpen) onOpen(name);
  });
}

void ResourceBrowser::SetClips(const std::vector<Clip>& clips, const ProblemOf& problemOf) {
  clear();
  QTreeWidgetItem* group = nullptr;
  for (const Clip& clip : clips) {
    QTreeWidgetItem* entry = nullptr;
    if (clip.file.empty()) {
      entry = new QTreeWidgetItem(this, {QString::fromStdString(clip.name)});
    } else {
      if (!group || group->text(0).toStdString() != clip.file) {
        group = new QTreeWidgetItem(this, {QString::fromStdString(clip.file)});
        group->setFlags(Qt::ItemIsEnabled);
        group->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        group->setToolTip(0, QString::fromStdString(clip.file + " holds several clips, one per animation"));
        group->setExpanded(true);
      }
      const std::string shown =
          clip.name.rfind(clip.file + ":", 0) == 0 ? clip.name.substr(clip.file.size() + 1) : clip.name;
      entry = new QTreeWidgetItem(group, {QString::fromStdString(shown)});
    }
    entry->setData(0, kNameRole, QString::fromStdString(clip.name));
    const std::string problem = problemOf ? problemOf(clip.name) : std::string();
    if (problem.empty()) continue;
    entry->setIcon(0, style()->standardIcon(QStyle::SP_MessageBoxWarning));
    entry->setToolTip(0, QString::fromStdString(clip.name + " does not open: " + problem));
  }
}

std::string ResourceBrowser::NameOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kNameRole).toString().toStdString() : std::string();
}

std::vector<QTreeWidgetItem*> ResourceBrowser::ClipRows() const {
  std::vector<QTreeWidgetItem*> rows;
  for (int i = 0; i < topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = topLevelItem(i);
    if (!NameOf(row).empty()) rows.push_back(row);
    for (int c = 0; c < row->childCount(); ++c) rows.push_back(row->child(c));
  }
  return rows;
}

std::vector<std::string> ResourceBrowser::GetClips() const {
  std::vector<std::string> names;
  for (const QTreeWidgetItem* row : ClipRows()) names.push_back(NameOf(row));
  return names;
}

QTreeWidgetItem* ResourceBrowser::FindClip(const std::string& name) const {
  for (QTreeWidgetItem* row : ClipRows()) {
    if (NameOf(row) == name) return row;
  }
  return nullptr;
}

void ResourceBrowser::startDrag(Qt::DropActions) {
  const std::string name = NameOf(currentItem());
  EditorCore::GUI_MainFrame* frame = EditorCore::GUI_MainFrame::GetMainFrame();
  if (name.empty() || !frame) return;
  EditorCore::GUI_DnDManager* dnd = frame->GetDnDManager();
  dnd->Clear();
  dnd->AddData(kResourceDataType, name);
  auto* mime = new QMimeData();
  mime->setData(kMimeType, QByteArray::fromStdString(name));
  mime->setText(QString::fromStdString(name));
  auto* drag = new QDrag(this);
  drag->setMimeData(mime);
  drag->exec(Qt::CopyAction);
  // The manager holds the drag in progress only; the frame may be gone after a long drag.
  if (EditorCore::GUI_MainFrame::GetMainFrame() == frame) dnd->Clear();
}

}  // namespace TarvelHost
