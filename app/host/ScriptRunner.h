#pragma once

#include <string>
#include <vector>

#include "ModalAnswers.h"
#include "ScriptParser.h"

namespace EditorCore {
class GUI_Menu;
class GUI_RulerCtrl;
class GUI_Wnd;
}  // namespace EditorCore

namespace TarvelHost {

class HostWindow;

// Runs host script actions against a started host, acting on windows as a user would.
// Contract:
// 1. Actions run in order; the first one that fails stops the run with "line N: reason".
//    A modal dialog or pop-up menu that finds no queued answer fails the action that
//    opened it.
// 2. A quit the user cancels (through the save dialog) lets the script go on; a quit that
//    goes through ends the run successfully.
// 3. The modal and pop-up responders are installed for the length of Run only.
class ScriptRunner {
 public:
  // Asks the panel module for the current page's curves as comma-separated text (wParam: a
  // std::string to fill); 1 when there was a page.
  static constexpr unsigned kMsgExportCurves = 3529;
  // wParam: a std::string "CHANNEL\nTRACK\nAXIS\nFRAME" (TRACK 1 to 4, AXIS 0 to 2 or a morph
  // target's name) that the module replaces by the key's slopes "IN OUT" in value per frame;
  // it returns 1 when the curve has a key on that frame.
  static constexpr unsigned kMsgKeySlopes = 3530;
  // wParam: a std::string naming a row of the current page's dope sheet (summary, CHANNEL, or
  // CHANNEL TRACK), which the module scrolls into view and replaces by its middle pixel row in
  // the sheet's window; 1 when the sheet shows that row.
  static constexpr unsigned kMsgDopeSheetRow = 3531;
  // wParam: a std::string "CHANNEL\nTRACK" (TRACK 1 to 4) that the module replaces by the count
  // of that track's keys in the current page's clip; 1 when the clip has the track.
  static constexpr unsigned kMsgTrackKeys = 3532;
  // The module's Selection > Tangents commands (in the order of ParseTangentType) and
  // Track > Interpolation commands (constant, linear, smooth).
  static constexpr unsigned kCmdSelectionTangents = 16750;
  static constexpr unsigned kCmdInterpolation = 16760;

  explicit ScriptRunner(HostWindow& host);

  // True when every action ran; GetError then is empty.
  bool Run(const std::vector<ScriptAction>& actions);
  // Runs one action; false with the reason (without the line number) in `error`.
  bool RunAction(const ScriptAction& action, std::string& error);

  const std::string& GetError() const { return error; }
  bool HasQuit() const { return quit; }
  ModalAnswers& GetAnswers() { return answers; }
  // Paths of the screenshots written, in order.
  const std::vector<std::string>& GetScreenshots() const { return screenshots; }

 private:
  bool Open(const ScriptAction& action, std::string& error);
  bool Drop(const ScriptAction& action, std::string& error);
  bool Message(const ScriptAction& action, std::string& error);
  bool Command(const ScriptAction& action, std::string& error);
  bool SelectChannels(const ScriptAction& action, std::string& error);
  bool SelectCurves(const ScriptAction& action, std::string& error);
  bool Key(const ScriptAction& action, std::string& error);
  bool Mouse(const ScriptAction& action, std::string& error);
  bool View(const ScriptAction& action, std::string& error);
  bool Dope(const ScriptAction& action, std::string& error);
  bool ExpectKeys(const ScriptAction& action, std::string& error);
  bool Screenshot(const ScriptAction& action, std::string& error);
  bool ExportCurves(const ScriptAction& action, std::string& error);
  // The current clip page's shown control with that id, or null with the reason.
  EditorCore::GUI_Wnd* FindControl(unsigned id, const std::string& name, std::string& error);
  bool Button(const ScriptAction& action, std::string& error);
  bool Check(const ScriptAction& action, std::string& error);
  bool Type(const ScriptAction& action, std::string& error);
  bool Choose(const ScriptAction& action, std::string& error);
  bool Scrub(const ScriptAction& action, std::string& error);
  bool ExpectFrame(const ScriptAction& action, std::string& error);
  bool ExpectPose(const ScriptAction& action, std::string& error);
  bool ExpectTangent(const ScriptAction& action, std::string& error);
  bool SaveCommand(const std::string& label, std::string& error);
  bool ExpectTabs(const ScriptAction& action, std::string& error);
  bool ExpectChannels(const ScriptAction& action, std::string& error);
  bool ExpectPanel(const ScriptAction& action, std::string& error);
  bool Quit(std::string& error);

  HostWindow& host;
  ModalAnswers answers;
  std::string error;
  std::vector<std::string> screenshots;
  bool quit = false;
  // The mouse buttons a script's presses hold down until their release.
  int heldButtons = 0;
  // Control ids of the panel's buttons a script holds down.
  std::vector<unsigned> heldControls;
};

}  // namespace TarvelHost
