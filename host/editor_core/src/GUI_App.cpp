#include <EditorCore/GUI_App.h>

#include "HostApplication.h"

#include <QElapsedTimer>
#include <QEventLoop>

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
  QElapsedTimer timer;
  timer.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  } while (timer.elapsed() < milliseconds);
}

bool GUI_App::Exists() { return QCoreApplication::instance() != nullptr; }

void GUI_App::EnsureForTests() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "tarvel-tests";
  static char* argv[] = {name, nullptr};
  static GUI_App* app = new GUI_App(argc, argv);
  (void)app;
}

}  // namespace EditorCore
