#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "HostFixture.h"
#include "ResourceBrowser.h"

namespace {

using namespace EditorCore;
using TarvelHost::ResourceBrowser;

class PanelDrops : public HostTest::HostFixture {
 protected:
  // Delivers a drag event to the panel's widget as the platform does while the pointer is over it.
  bool Deliver(QEvent::Type type, const char* mimeType, const std::string& name) {
    QMimeData mime;
    mime.setData(mimeType, QByteArray::fromStdString(name));
    auto* widget = static_cast<QWidget*>(Panel()->GetModuleDialog()->GetSafeHwnd());
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    if (type == QEvent::Drop) {
      QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(widget, &event);
      return event.isAccepted();
    }
    QDragEnterEvent event(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    return event.isAccepted();
  }
};

TEST_F(PanelDrops, TheBrowsersClipOpensOnDropOrDoubleClickButForeignDragsAndOtherDataTypesAreRefused) {
  GetDnD()->AddData(3, "Boxing_Toes");
  EXPECT_FALSE(Deliver(QEvent::DragEnter, ResourceBrowser::kMimeType, "Boxing_Toes"));
  GetDnD()->Clear();
  // The browser fills the manager for the length of its drag.
  GetDnD()->AddData(ResourceBrowser::kResourceDataType, "Boxing_Toes");
  EXPECT_FALSE(Deliver(QEvent::DragEnter, "text/plain", "Boxing_Toes"));
  EXPECT_FALSE(Deliver(QEvent::Drop, "text/plain", "Boxing_Toes"));
  EXPECT_EQ(TabCount(), 0);
  EXPECT_TRUE(Deliver(QEvent::DragEnter, ResourceBrowser::kMimeType, "Boxing_Toes"));
  EXPECT_TRUE(Deliver(QEvent::Drop, ResourceBrowser::kMimeType, "Boxing_Toes"));
  GetDnD()->Clear();
  EXPECT_EQ(TabCount(), 1);
  ResourceBrowser* browser = host->GetResourceBrowser();
  ASSERT_EQ(browser->GetClips(), (std::vector<std::string>{"01_01", "Boxing_Toes", "animations:Blink",
                                                           "animations:Idle", "animations:Walk", "keyframed"}));
  emit browser->itemDoubleClicked(browser->topLevelItem(0), 0);
  EXPECT_EQ(TabCount(), 2);
}

TEST_F(PanelDrops, AClipFileDroppedFromTheDesktopOpensAloneAndOtherDropsAreLeftAlone) {
  auto* window = static_cast<QWidget*>(host->GetSafeHwnd());
  auto drop = [window](const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    // The platform enters the window first: the drop goes where the enter was taken.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
    QApplication::processEvents();
    return enter.isAccepted() && event.isAccepted();
  };
  const std::string file = ProjectPath() + "/AnimClips/keyframed.gltf";
  EXPECT_FALSE(drop({QUrl("https://example.com/clip.gltf")})) << "not a local file";
  EXPECT_FALSE(drop({QUrl::fromLocalFile(QString::fromStdString(file)), QUrl::fromLocalFile("/tmp")}))
      << "one file at a time";
  EXPECT_EQ(TabCount(), 0);
  EXPECT_TRUE(drop({QUrl::fromLocalFile(QString::fromStdString(file))}));
  EXPECT_EQ(host->GetSession().GetClipFile(), file);
  EXPECT_EQ(TabCount(), 1) << "its clip opens";
  EXPECT_NE(host->GetStatusText().find("Clip file " + file), std::string::npos);
  // A file that is no clip leaves the open one alone.
  EXPECT_TRUE(drop({QUrl::fromLocalFile(QString::fromStdString(ProjectPath() + "/AnimClips/keyframed.bin"))}));
  EXPECT_EQ(host->GetSession().GetClipFile(), file);
}

}  // namespace
