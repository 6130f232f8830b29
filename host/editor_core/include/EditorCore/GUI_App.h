#pragma once

namespace EditorCore {

// The application object of the windowing layer. It must exist before any window: it makes
// the platform's application (offscreen when there is no display) and routes key-down
// messages through PreTranslateMessage. One per process.
class GUI_App {
 public:
  GUI_App(int& argc, char** argv);
  ~GUI_App();
  GUI_App(const GUI_App&) = delete;
  GUI_App& operator=(const GUI_App&) = delete;

  // Runs the event loop until Quit; returns its exit code.
  int Run();
  static void Quit(int code = 0);
  // Handles pending events, then waits on the event loop for the given time, handling events
  // as they come (no spinning).
  static void ProcessEvents(int milliseconds = 0);
  static bool Exists();
  // Pictures per second of the main display (60 when it does not say).
  static double GetDisplayRefreshRate();
  // Makes the application once for test programs (kept until exit).
  static void EnsureForTests();
};

}  // namespace EditorCore
