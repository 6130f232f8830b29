#include "ResourceBrowser.h"

#include <QDrag>
#include <QMimeData>
#include <QStyle>

#include "EditorCore/GUI_MainFrame.h"

namespace TarvelHost {

ResourceBrowser::ResourceBrowser(QWidget* parent) : QListWidget(parent) {
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setToolTip(QStringLiteral("Clips of the project: drag one onto the editor, or double-click it"));
  connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    if (item && onOpen) onOpen(item->text().toStdString());
  });
}

void ResourceBrowser::SetClips(const std::vector<std::string>& names, const ProblemOf& problemOf) {
  clear();
  for (const std::string& name : names) {
    auto* entry = new QListWidgetItem(QString::fromStdString(name), this);
    const std::string problem = problemOf ? problemOf(name) : std::string();
    if (problem.empty()) continue;
    entry->setIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    entry->setToolTip(QString::fromStdString(name + " does not open: " + problem));
  }
}

std::vector<std::string> ResourceBrowser::GetClips() const {
  std::vector<std::string> names;
  for (int i = 0; i < count(); ++i) names.push_back(item(i)->text().toStdString());
  return names;
}

void ResourceBrowser::startDrag(Qt::DropActions) {
  QListWidgetItem* current = currentItem();
  EditorCore::GUI_MainFrame* frame = EditorCore::GUI_MainFrame::GetMainFrame();
  if (!current || !frame) return;
  const std::string name = current->text().toStdString();
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
