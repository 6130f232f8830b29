#include <EditorCore/GUI_App.h>

#include "HostApplication.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cassert>
#include <cstdlib>

namespace EditorCore {

namespace {
detail::HostApplication* application = nullptr;

void ChooseOffscreenWithoutDisplay() {
  if (std::getenv("QT_QPA_PLATFORM")) return;
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
}
}  // namespace

GUI_App::GUI_App(int& argc, char** argv) {
  assert(!QCoreApplication::instance() && "one application per process");
  ChooseOffscreenWithoutDisplay();
  application = new detail::HostApplication(argc, argv);
}

GUI_App::~GUI_App() {
  delete application;
  application = nullptr;
}

int GUI_App::Run() { return application ? application->exec() : -1; }

void GUI_App::Quit(int code) {
  if (QCoreApplication::instance()) QCoreApplication::exit(code);
}

void GUI_App::ProcessEvents(int milliseconds) {
  if (!QCoreApplication::instance()) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (milliseconds > 0) {
    // The wait sleeps on the event loop, woken by events and timers: it costs no processor
    // time of its own.
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool GUI_App::Exists() { return QCoreApplication::instance() != nullptr; }

double GUI_App::GetDisplayRefreshRate() {
  const QScreen* screen =
      qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
  const double rate = screen ? screen->refreshRate() : 0.0;
  return rate >= 1.0 ? rate : 60.0;
}

void GUI_App::EnsureForTests() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "tarvel-tests";
  static char* argv[] = {name, nullptr};
  static GUI_App* app = new GUI_App(argc, argv);
  (void)app;
}

}  // namespace EditorCore
