#include "ScriptRunner.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QWheelEvent>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_PushButton.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/KeyManager.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineCore/Scene.h"
#include "HostWindow.h"
#include "ModuleWindows.h"

namespace TarvelHost {

namespace fs = std::filesystem;
using namespace EditorCore;
using EngineCore::Log;

namespace {

// The id of the menu item shown with that label (shortcut suffix aside), searching
// sub-menus; 0 when none. `grayed` tells whether the item is disabled.
UINT FindCommandByLabel(const GUI_Menu* menu, const std::string& label, bool& grayed) {
  if (!menu) return 0;
  for (int position = 0; position < menu->GetMenuItemCount(); ++position) {
    if (const GUI_Menu* sub = menu->GetSubMenu(position)) {
      const UINT id = FindCommandByLabel(sub, label, grayed);
      if (id != 0) return id;
      continue;
    }
    const UINT id = menu->GetMenuItemID(position);
    if (id == 0 || id == 0xFFFFFFFFu) continue;
    std::string text = menu->GetMenuString(static_cast<UINT>(position), MF_BYPOSITION);
    text = text.substr(0, text.find('\t'));
    if (text == label) {
      grayed = (menu->GetMenuState(static_cast<UINT>(position), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0;
      return id;
    }
  }
  return 0;
}

// The Play button shows the theme's icon 23 while the preview plays.
constexpr int kThemeIconStop = 23;
constexpr double kDegrees = 180.0 / 3.14159265358979323846;

QWidget* WidgetOf(const GUI_Wnd* wnd) { return wnd ? static_cast<QWidget*>(wnd->GetSafeHwnd()) : nullptr; }

// A left-button press or release at the middle of the widget, as the user's.
void SendButton(QWidget* widget, QEvent::Type type) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The icon of a track list row: one per component of translations, rotations and scales, one
// for every weight.
std::string TrackRowIcon(int track, int axis) {
  std::string icon(1, static_cast<char>(0xFF));
  icon.push_back(static_cast<char>(track == 4 ? 10 : (track - 1) * 3 + axis + 1));
  return icon;
}

}  // namespace

ScriptRunner::ScriptRunner(HostWindow& hostWindow) : host(hostWindow) {}

bool ScriptRunner::Run(const std::vector<ScriptAction>& actions) {
  error.clear();
  answers.Install();
  for (const ScriptAction& action : actions) {
    GUI_App::ProcessEvents(0);
    std::string reason;
    answers.ClearFailure();
    bool ok = RunAction(action, reason);
    if (ok && answers.GetFailure()) {
      ok = false;
      reason = *answers.GetFailure();
    }
    if (!ok) {
      error = "line " + std::to_string(action.line) + ": " + reason;
      Log::Write(Log::Error, "Script stopped at %s", error.c_str());
      break;
    }
    if (quit) break;
  }
  GUI_App::ProcessEvents(0);
  answers.Uninstall();
  return error.empty();
}

bool ScriptRunner::RunAction(const ScriptAction& action, std::string& reason) {
  const std::string& verb = action.verb;
  if (verb == "open") return Open(action, reason);
  if (verb == "drop") return Drop(action, reason);
  if (verb == "message" || verb == "broadcast") return Message(action, reason);
  if (verb == "command") return Command(action, reason);
  if (verb == "answer") {
    for (const std::string& word : action.words) answers.Queue(static_cast<int>(*ScriptParser::ParseInteger(word)));
    return true;
  }
  if (verb == "dialog-text") {
    if (action.words.size() == 2) {
      answers.QueueField(static_cast<UINT>(*ScriptParser::ParseInteger(action.words[0])), action.words[1]);
    } else {
      answers.QueueField(0, action.words.at(0));
    }
    return true;
  }
  if (verb == "popup") {
    answers.QueueMenuText(action.words.at(0));
    return true;
  }
  if (verb == "button") return Button(action, reason);
  if (verb == "check") return Check(action, reason);
  if (verb == "type") return Type(action, reason);
  if (verb == "choose") return Choose(action, reason);
  if (verb == "scrub") return Scrub(action, reason);
  if (verb == "expect-frame") return ExpectFrame(action, reason);
  if (verb == "expect-pose") return ExpectPose(action, reason);
  if (verb == "select-channel") return SelectChannels(action, reason);
  if (verb == "select-curve") return SelectCurves(action, reason);
  if (verb == "key") return Key(action, reason);
  if (verb == "mouse") return Mouse(action, reason);
  if (verb == "wait") {
    // The check kept it within an hour, which an int's milliseconds hold. Waiting, the script
    // lets the host offer what a crash left.
    host.HoldRecoveryOffer(false);
    GUI_App::ProcessEvents(static_cast<int>(*ScriptParser::ParseInteger(action.words.at(0))));
    return true;
  }
  if (verb == "window-size") {
    host.SetWindowSize(static_cast<int>(*ScriptParser::ParseInteger(action.words.at(0))),
                       static_cast<int>(*ScriptParser::ParseInteger(action.words.at(1))));
    return true;
  }
  if (verb == "screenshot") return Screenshot(action, reason);
  if (verb == "export-curves") return ExportCurves(action, reason);
  if (verb == "tangent" || verb == "interpolation") {
    const bool tangent = verb == "tangent";
    const int index = tangent ? ScriptParser::ParseTangentType(action.words.at(0))
                              : ScriptParser::ParseInterpolation(action.words.at(0));
    const unsigned first = tangent ? kCmdSelectionTangents : kCmdInterpolation;
    if (!host.RouteCommand(first + static_cast<unsigned>(index))) {
      reason = "no clip page has a " + std::string(tangent ? "Tangents" : "Interpolation") + " command";
      return false;
    }
    return true;
  }
  if (verb == "expect-tangent") return ExpectTangent(action, reason);
  if (verb == "view") return View(action, reason);
  if (verb == "dope") return Dope(action, reason);
  if (verb == "expect-keys") return ExpectKeys(action, reason);
  if (verb == "save") return SaveCommand("Save", reason);
  if (verb == "save-all") return SaveCommand("Save All", reason);
  if (verb == "expect-tabs") return ExpectTabs(action, reason);
  if (verb == "expect-channels") return ExpectChannels(action, reason);
  if (verb == "expect-panel") return ExpectPanel(action, reason);
  if (verb == "quit") return Quit(reason);
  reason = "unknown action '" + verb + "'";
  return false;
}

bool ScriptRunner::Open(const ScriptAction& action, std::string& reason) {
  const std::string& name = action.words.at(0);
  if (!host.GetPanelModule()) {
    reason = "no module with a panel is loaded";
    return false;
  }
  if (!host.OpenClip(name)) {
    reason = "no clip named '" + name + "' in the clip folder";
    return false;
  }
  return true;
}

bool ScriptRunner::Drop(const ScriptAction& action, std::string& reason) {
  const std::string& name = action.words.at(0);
  const auto clips = host.GetSession().ListClips();
  if (std::find(clips.begin(), clips.end(), name) == clips.end()) {
    reason = "the resource browser holds no clip named '" + name + "'";
    return false;
  }
  if (!host.GetPanelModule()) {
    reason = "no module with a panel is loaded";
    return false;
  }
  if (!host.DropResource(name)) {
    reason = "the panel refused the drop of '" + name + "'";
    return false;
  }
  return true;
}

bool ScriptRunner::Message(const ScriptAction& action, std::string& reason) {
  const UINT message = static_cast<UINT>(*ScriptParser::ParseInteger(action.words.at(0)));
  std::vector<EngineCore::AnimClip*> clips;
  std::intptr_t values[2] = {0, 0};
  bool ok = true;
  for (std::size_t i = 1; i < action.words.size() && ok; ++i) {
    const std::string& word = action.words[i];
    if (word == "scene") {
      values[i - 1] = reinterpret_cast<std::intptr_t>(host.GetSession().GetScene());
      if (!values[i - 1]) {
        reason = "the project has no scene";
        ok = false;
      }
    } else if (word.rfind("clip:", 0) == 0) {
      EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(word.substr(5));
      if (!clip) {
        reason = "no clip named '" + word.substr(5) + "' in the clip folder";
        ok = false;
      } else {
        clips.push_back(clip);
        values[i - 1] = reinterpret_cast<std::intptr_t>(clip);
      }
    } else {
      values[i - 1] = static_cast<std::intptr_t>(*ScriptParser::ParseInteger(word));
    }
  }
  if (ok) {
    GUI_ModuleManager* modules = host.GetModuleManager();
    const auto wParam = static_cast<WPARAM>(values[0]);
    const auto lParam = static_cast<LPARAM>(values[1]);
    if (action.verb == "broadcast") {
      modules->SendFrameworkMessageToAll(message, wParam, lParam);
    } else if (GUI_Module* panel = host.GetPanelModule()) {
      modules->SendFrameworkMessage(panel, message, wParam, lParam);
    } else {
      reason = "no module with a panel is loaded";
      ok = false;
    }
  }
  for (EngineCore::AnimClip* clip : clips) clip->Release();
  return ok;
}

bool ScriptRunner::Command(const ScriptAction& action, std::string& reason) {
  if (!host.RouteCommand(static_cast<UINT>(*ScriptParser::ParseInteger(action.words.at(0))))) {
    reason = "no menu of the host or of a module has command " + action.words.at(0);
    return false;
  }
  return true;
}

GUI_Wnd* ScriptRunner::FindControl(unsigned id, const std::string& name, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_Wnd* page = panel ? ModuleWindows::FindCurrentPage(panel->GetModuleDialog()) : nullptr;
  if (!page) {
    reason = "no clip page is open";
    return nullptr;
  }
  std::vector<GUI_Wnd*> shown;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(page)) {
    if (wnd->GetDlgCtrlID() == id && ModuleWindows::IsShown(wnd)) shown.push_back(wnd);
  }
  if (shown.empty()) {
    reason = "the clip page shows no " + name;
    return nullptr;
  }
  // Two controls under one id: the script cannot tell which one it would act on.
  if (shown.size() > 1) {
    reason = "the clip page shows " + std::to_string(shown.size()) + " controls with the id " + std::to_string(id) +
             " of its " + name;
    return nullptr;
  }
  if (!WidgetOf(shown.front())->isEnabled()) {
    reason = "the panel's " + name + " is greyed out";
    return nullptr;
  }
  return shown.front();
}

bool ScriptRunner::Button(const ScriptAction& action, std::string& reason) {
  const std::string gesture = action.words.size() == 2 ? action.words[0] : "click";
  const std::string& name = action.words.back();
  const unsigned id = ScriptParser::ControlId(ScriptParser::Control::Button, name);
  GUI_Wnd* button = FindControl(id, name + " button", reason);
  if (!button) return false;
  const auto* push = dynamic_cast<const GUI_PushButton*>(button);
  if (name == "stop" && (!push || push->GetIcon() != GUI_ThemeManager::GetIcon(kThemeIconStop))) {
    reason = "the play button shows no stop: nothing is playing";
    return false;
  }
  const auto held = std::find(heldControls.begin(), heldControls.end(), id);
  if (gesture == "release" && held == heldControls.end()) {
    reason = "the " + name + " button is not held";
    return false;
  }
  if (gesture != "release") SendButton(WidgetOf(button), QEvent::MouseButtonPress);
  if (gesture == "press") {
    heldControls.push_back(id);
    return true;
  }
  if (held != heldControls.end()) heldControls.erase(held);
  // The press may have run a while (a menu, a dialog): the button may be gone since.
  if (GUI_Wnd* still = FindControl(id, name + " button", reason))
    SendButton(WidgetOf(still), QEvent::MouseButtonRelease);
  reason.clear();
  return true;
}

bool ScriptRunner::Check(const ScriptAction& action, std::string& reason) {
  const std::string& name = action.words.at(0);
  const bool wanted = action.words.at(1) == "on";
  GUI_Wnd* control = FindControl(ScriptParser::ControlId(ScriptParser::Control::CheckBox, name), name + " box", reason);
  if (!control) return false;
  auto* box = dynamic_cast<GUI_CheckBox*>(control);
  if (!box) {
    reason = "the panel's " + name + " box is not a check box";
    return false;
  }
  if (box->IsChecked() == wanted) return true;
  SendButton(WidgetOf(box), QEvent::MouseButtonPress);
  SendButton(WidgetOf(box), QEvent::MouseButtonRelease);
  if (box->IsChecked() != wanted) {
    reason = "the " + name + " box stays " + (wanted ? "off" : "on");
    return false;
  }
  return true;
}

bool ScriptRunner::Type(const ScriptAction& action, std::string& reason) {
  const std::string& name = action.words.at(0);
  GUI_Wnd* box = FindControl(ScriptParser::ControlId(ScriptParser::Control::Edit, name), name + " box", reason);
  if (!box) return false;
  auto* edit = qobject_cast<QLineEdit*>(WidgetOf(box));
  if (!edit) {
    reason = "the panel's " + name + " box is not an edit box";
    return false;
  }
  if (edit->isReadOnly()) {
    reason = "the " + name + " box takes no typing in this mode";
    return false;
  }
  edit->setFocus();
  edit->selectAll();
  edit->insert(QString::fromStdString(action.words.at(1)));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(edit, &enter);
  return true;
}

bool ScriptRunner::Choose(const ScriptAction& action, std::string& reason) {
  const std::string& name = action.words.at(0);
  GUI_Wnd* list = FindControl(ScriptParser::ControlId(ScriptParser::Control::Combo, name), name + " list", reason);
  auto* combo = qobject_cast<QComboBox*>(WidgetOf(list));
  if (!combo) return false;
  const std::string wanted = Trimmed(action.words.at(1));
  for (int index = 0; index < combo->count(); ++index) {
    const std::string text = Trimmed(combo->itemText(index).toStdString());
    // A tagged object is named without its " [ tag ]" too.
    const auto tag = text.rfind(" [ ");
    const bool named = tag != std::string::npos && text.back() == ']' && text.substr(0, tag) == wanted;
    if (text != wanted && !named) continue;
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return true;
  }
  reason = "the " + name + " list has no entry '" + wanted + "'";
  return false;
}

namespace {

GUI_RulerCtrl* FrameRuler(HostWindow& host) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_Wnd* page = panel ? ModuleWindows::FindCurrentPage(panel->GetModuleDialog()) : nullptr;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(page)) {
    auto* ruler = dynamic_cast<GUI_RulerCtrl*>(wnd);
    if (ruler && !ruler->IsVertical() && ModuleWindows::IsShown(ruler)) return ruler;
  }
  return nullptr;
}

// Pixels further than this from a ruler's start are no place a mouse can be.
constexpr double kMaxPixelReach = 1'000'000.0;

// The ruler's pixel of a value, unless it lies beyond any window's coordinates.
std::optional<int> PixelOf(const GUI_RulerCtrl& ruler, double value) {
  const double start = ruler.PixelToValue(0);
  const double pixel = (value - start) / (ruler.PixelToValue(1) - start);
  if (!std::isfinite(pixel) || std::abs(pixel) > kMaxPixelReach) return std::nullopt;
  return ruler.ValueToPixel(value);
}

// A press, move, release or wheel notch of a button at a place of a window; heldButtons
// follows the buttons the script holds.
void SendMouse(int& heldButtons, QWidget& widget, const std::string& gesture, QPoint at, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers, unsigned held) {
  const QPointF global = widget.mapToGlobal(QPointF(at));
  HostWindow::SetHeldModifiers(held);
  if (gesture == "press") {
    heldButtons |= button;
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), global, button, Qt::MouseButtons(heldButtons), modifiers);
    QApplication::sendEvent(&widget, &event);
  } else if (gesture == "release") {
    heldButtons &= ~static_cast<int>(button);
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::MouseButtons(heldButtons),
                      modifiers);
    QApplication::sendEvent(&widget, &event);
  } else if (gesture == "move") {
    QMouseEvent event(QEvent::MouseMove, QPointF(at), global, Qt::NoButton, Qt::MouseButtons(heldButtons), modifiers);
    QApplication::sendEvent(&widget, &event);
  } else {
    // One notch towards the user: the graph zooms in on that place.
    QWheelEvent event(QPointF(at), global, QPoint(), QPoint(0, -120), Qt::MouseButtons(heldButtons), modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
  }
  HostWindow::SetHeldModifiers(0);
}

}  // namespace

bool ScriptRunner::Scrub(const ScriptAction& action, std::string& reason) {
  GUI_RulerCtrl* ruler = FrameRuler(host);
  QWidget* widget = WidgetOf(ruler);
  if (!widget) {
    reason = "no clip page is open";
    return false;
  }
  const double frame = *ScriptParser::ParseNumber(action.words.at(0));
  // The user scrolls the frame into view, then drags the cursor onto it; the ruler is moved
  // so that the pixel clicked stands exactly for the frame.
  ruler->CenterOnValue(frame);
  const int pixel = ruler->ValueToPixel(frame);
  ruler->CenterOnValue(frame + (frame - ruler->PixelToValue(pixel)));
  const QPointF at(pixel, widget->height() / 2.0);
  for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
  return true;
}

bool ScriptRunner::ExpectFrame(const ScriptAction& action, std::string& reason) {
  const GUI_RulerCtrl* ruler = FrameRuler(host);
  if (!ruler) {
    reason = "no clip page is open";
    return false;
  }
  const double frame = ruler->GetMarkerPosition(4);
  const double low = *ScriptParser::ParseNumber(action.words.at(0));
  const double high = *ScriptParser::ParseNumber(action.words.at(1));
  if (frame < low || frame > high) {
    reason = "the time cursor is at " + std::to_string(frame) + ", not between " + action.words[0] + " and " +
             action.words[1];
    return false;
  }
  return true;
}

bool ScriptRunner::ExpectPose(const ScriptAction& action, std::string& reason) {
  EngineCore::Scene* scene = host.GetSession().GetScene();
  EngineCore::SceneObject* object = scene ? scene->FindObject(EngineCore::String(action.words.at(0))) : nullptr;
  if (!object) {
    reason = "the scene has no object named '" + action.words.at(0) + "'";
    return false;
  }
  double expected[7];
  for (int i = 0; i < 7; ++i)
    expected[i] = *ScriptParser::ParseNumber(action.words.at(static_cast<std::size_t>(i + 1)));
  EngineCore::Vector3 angles;
  object->GetLocalRotation().GetAngles(angles);
  const EngineCore::Vector3& t = object->GetLocalTranslation();
  const double actual[6] = {t.x, t.y, t.z, angles.x * kDegrees, angles.y * kDegrees, angles.z * kDegrees};
  bool within = true;
  for (int i = 0; i < 6; ++i) {
    double difference = actual[i] - expected[i];
    // Angles a whole turn apart are the same rotation.
    if (i >= 3) difference = std::remainder(difference, 360.0);
    within = within && std::abs(difference) <= expected[6];
  }
  if (!within) {
    char text[256];
    std::snprintf(text, sizeof text, "%s is at (%.6g, %.6g, %.6g) turned (%.6g, %.6g, %.6g), more than %g away",
                  action.words[0].c_str(), actual[0], actual[1], actual[2], actual[3], actual[4], actual[5],
                  expected[6]);
    reason = text;
    return false;
  }
  return true;
}

bool ScriptRunner::SelectChannels(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_ListCtrl* list =
      panel ? ModuleWindows::FindCurrentList(panel->GetModuleDialog(), ModuleWindows::kChannelListId) : nullptr;
  if (!list) {
    reason = "no clip page is open";
    return false;
  }
  const std::set<std::string> wanted(action.words.begin(), action.words.end());
  std::set<std::string> found;
  for (int row = 0; row < list->GetItemCount(); ++row) found.insert(list->GetItemText(row, 0));
  for (const std::string& name : wanted) {
    if (!found.count(name)) {
      reason = "the channel list has no channel named '" + name + "'";
      return false;
    }
  }
  // Rows are read again after each change: a selection change may rebuild the list.
  for (int row = 0; row < list->GetItemCount(); ++row) {
    const bool select = wanted.count(list->GetItemText(row, 0)) != 0;
    if (((list->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0) != select) {
      list->SetItemState(row, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
  }
  return true;
}

bool ScriptRunner::SelectCurves(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_ListCtrl* list =
      panel ? ModuleWindows::FindCurrentList(panel->GetModuleDialog(), ModuleWindows::kTrackListId) : nullptr;
  if (!list) {
    reason = "no clip page is open";
    return false;
  }
  // A row is its channel's name and the icon of its curve, in the last column, and for a
  // weight its target's name, in the second.
  const int icons = list->GetColumnCount() - 1;
  using RowKey = std::tuple<std::string, std::string, std::string>;
  const auto keyOf = [&](int row) {
    const std::string icon = list->GetItemText(row, icons);
    return RowKey{list->GetItemText(row, 0), icon, icon == TrackRowIcon(4, 0) ? list->GetItemText(row, 1) : ""};
  };
  std::set<RowKey> wanted;
  for (std::size_t i = 0; i + 2 < action.words.size(); i += 3) {
    const int track = ScriptParser::ParseTrack(action.words[i + 1]);
    const int axis = track == 4 ? 0 : ScriptParser::ParseAxis(action.words[i + 2]);
    const RowKey key{action.words[i], TrackRowIcon(track, axis), track == 4 ? action.words[i + 2] : ""};
    bool present = false;
    for (int row = 0; row < list->GetItemCount() && !present; ++row) present = keyOf(row) == key;
    if (!present) {
      reason = "the track list has no row " + action.words[i] + " " + action.words[i + 1] + " " + action.words[i + 2];
      return false;
    }
    wanted.insert(key);
  }
  for (int row = 0; row < list->GetItemCount(); ++row) {
    const bool select = wanted.count(keyOf(row)) != 0;
    if (((list->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) != 0) != select) {
      list->SetItemState(row, select ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
  }
  return true;
}

bool ScriptRunner::Key(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_Wnd* page = panel ? ModuleWindows::FindCurrentPage(panel->GetModuleDialog()) : nullptr;
  auto* widget = page ? static_cast<QWidget*>(page->GetSafeHwnd()) : nullptr;
  if (!widget) {
    reason = "no clip page is open";
    return false;
  }
  const ScriptKey key = *ScriptParser::ParseKey(action.words.at(0));
  using EditorToolkit::KeyManager;
  unsigned held = 0;
  Qt::KeyboardModifiers modifiers;
  if (key.control) {
    held |= KeyManager::Control;
    modifiers |= Qt::ControlModifier;
  }
  if (key.shift) {
    held |= KeyManager::Shift;
    modifiers |= Qt::ShiftModifier;
  }
  if (key.alt) {
    held |= KeyManager::Alt;
    modifiers |= Qt::AltModifier;
  }
  HostWindow::SetHeldModifiers(held);
  QKeyEvent press(QEvent::KeyPress, key.qtKey, modifiers);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key.qtKey, modifiers);
  QApplication::sendEvent(widget, &release);
  HostWindow::SetHeldModifiers(0);
  return true;
}

bool ScriptRunner::Mouse(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_Wnd* page = panel ? ModuleWindows::FindCurrentPage(panel->GetModuleDialog()) : nullptr;
  if (!page) {
    reason = "no clip page is open";
    return false;
  }
  // The graph is the page's shown window named "GUI_GraphCtrl"; its rulers stand beside it.
  GUI_Wnd* graph = nullptr;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(page)) {
    if (wnd->GetWindowText() == "GUI_GraphCtrl" && ModuleWindows::IsShown(wnd)) graph = wnd;
  }
  GUI_RulerCtrl* frames = nullptr;
  GUI_RulerCtrl* values = nullptr;
  if (graph && graph->GetParent()) {
    for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(graph->GetParent())) {
      if (auto* ruler = dynamic_cast<GUI_RulerCtrl*>(wnd)) (ruler->IsVertical() ? values : frames) = ruler;
    }
  }
  auto* widget = graph ? static_cast<QWidget*>(graph->GetSafeHwnd()) : nullptr;
  if (!widget || !frames || !values) {
    reason = "the clip page shows no curve graph";
    return false;
  }
  const std::string& gesture = action.words.at(0);
  const double frame = *ScriptParser::ParseNumber(action.words.at(1));
  const double value = *ScriptParser::ParseNumber(action.words.at(2));
  Qt::MouseButton button = Qt::LeftButton;
  Qt::KeyboardModifiers modifiers;
  unsigned held = 0;
  for (std::size_t i = 3; i < action.words.size(); ++i) {
    std::string option = action.words[i];
    for (char& c : option) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (option == "middle") button = Qt::MiddleButton;
    if (option == "right") button = Qt::RightButton;
    if (option == "shift") {
      modifiers |= Qt::ShiftModifier;
      held |= EditorToolkit::KeyManager::Shift;
    }
    if (option == "ctrl") {
      modifiers |= Qt::ControlModifier;
      held |= EditorToolkit::KeyManager::Control;
    }
  }
  CRect client;
  graph->GetClientRect(client);
  const auto column = PixelOf(*frames, frame);
  const auto row = PixelOf(*values, value);
  if (!column || !row) {
    reason = "frame " + action.words[1] + ", value " + action.words[2] + " lies too far outside the graph at this zoom";
    return false;
  }
  SendMouse(heldButtons, *widget, gesture, QPoint(*column, client.Height() - *row), button, modifiers, held);
  return true;
}

bool ScriptRunner::View(const ScriptAction& action, std::string& reason) {
  const ScriptAction check{action.line, "check", {"dope-sheet", action.words.at(0) == "dope-sheet" ? "on" : "off"}};
  return Check(check, reason);
}

bool ScriptRunner::Dope(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  GUI_Wnd* page = panel ? ModuleWindows::FindCurrentPage(panel->GetModuleDialog()) : nullptr;
  GUI_Wnd* sheet = nullptr;
  for (GUI_Wnd* wnd : page ? ModuleWindows::GetDescendants(page) : std::vector<GUI_Wnd*>()) {
    if (wnd->GetWindowText() == "GUI_DopeSheetCtrl" && ModuleWindows::IsShown(wnd)) sheet = wnd;
  }
  GUI_RulerCtrl* frames = nullptr;
  for (GUI_Wnd* wnd :
       sheet && sheet->GetParent() ? ModuleWindows::GetDescendants(sheet->GetParent()) : std::vector<GUI_Wnd*>()) {
    if (auto* ruler = dynamic_cast<GUI_RulerCtrl*>(wnd); ruler && !ruler->IsVertical()) frames = ruler;
  }
  QWidget* widget = WidgetOf(sheet);
  if (!widget || !frames) {
    reason = page ? "the clip page shows no dope sheet (view dope-sheet shows it)" : "no clip page is open";
    return false;
  }
  std::vector<std::string> rowWords(action.words.begin() + 2, action.words.end());
  unsigned held = 0;
  Qt::KeyboardModifiers modifiers;
  if (rowWords.size() > 1 && QString::fromStdString(rowWords.back()).toLower() == "shift") {
    rowWords.pop_back();
    held = EditorToolkit::KeyManager::Shift;
    modifiers = Qt::ShiftModifier;
  }
  std::string row;
  for (const std::string& word : rowWords) row += (row.empty() ? "" : " ") + word;
  std::string query = row;
  if (panel->OnFrameworkMessage(kMsgDopeSheetRow, reinterpret_cast<WPARAM>(&query), 0) != 1) {
    reason = "the dope sheet has no row " + row;
    return false;
  }
  const auto column = PixelOf(*frames, *ScriptParser::ParseNumber(action.words[1]));
  if (!column) {
    reason = "frame " + action.words[1] + " lies too far outside the dope sheet at this zoom";
    return false;
  }
  SendMouse(heldButtons, *widget, action.words[0], QPoint(*column, std::stoi(query)), Qt::LeftButton, modifiers, held);
  return true;
}

bool ScriptRunner::ExpectKeys(const ScriptAction& action, std::string& reason) {
  const std::vector<std::string>& words = action.words;
  std::string query = words[0] + "\n" + std::to_string(ScriptParser::ParseTrack(words[1]));
  GUI_Module* panel = host.GetPanelModule();
  if (!panel || panel->OnFrameworkMessage(kMsgTrackKeys, reinterpret_cast<WPARAM>(&query), 0) != 1) {
    reason = "the current page's clip has no track " + words[0] + " " + words[1];
    return false;
  }
  if (query != words[2]) {
    reason = words[0] + " " + words[1] + " has " + query + " keys, not " + words[2];
    return false;
  }
  return true;
}

bool ScriptRunner::ExportCurves(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  std::string csv;
  if (!panel || panel->OnFrameworkMessage(kMsgExportCurves, reinterpret_cast<WPARAM>(&csv), 0) != 1) {
    reason = "no clip page is open";
    return false;
  }
  const fs::path path = fs::absolute(action.words.at(0));
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  std::ofstream out(path, std::ios::binary);
  out << csv;
  if (!out.flush()) {
    reason = "the curves could not be written to " + path.string();
    return false;
  }
  Log::Write(Log::Info, "Curves written to %s", path.string().c_str());
  return true;
}

bool ScriptRunner::ExpectTangent(const ScriptAction& action, std::string& reason) {
  const std::vector<std::string>& words = action.words;
  const int track = ScriptParser::ParseTrack(words[1]);
  std::string query = words[0] + "\n" + std::to_string(track) + "\n" +
                      (track == 4 ? words[2] : std::to_string(ScriptParser::ParseAxis(words[2]))) + "\n" + words[3];
  GUI_Module* panel = host.GetPanelModule();
  if (!panel || panel->OnFrameworkMessage(kMsgKeySlopes, reinterpret_cast<WPARAM>(&query), 0) != 1) {
    reason = "no curve " + words[0] + " " + words[1] + " " + words[2] + " of the current page has a key on frame " +
             words[3];
    return false;
  }
  std::istringstream slopes(query);
  double in = 0.0;
  double out = 0.0;
  slopes >> in >> out;
  const double tolerance = *ScriptParser::ParseNumber(words[6]);
  if (!slopes || std::abs(in - *ScriptParser::ParseNumber(words[4])) > tolerance ||
      std::abs(out - *ScriptParser::ParseNumber(words[5])) > tolerance) {
    reason = "the key's slopes are " + query + " (in out, value per frame), not " + words[4] + " " + words[5];
    return false;
  }
  return true;
}

bool ScriptRunner::Screenshot(const ScriptAction& action, std::string& reason) {
  const bool panelOnly = action.words.at(0) == "panel";
  const GUI_Wnd* target = &host;
  if (panelOnly) {
    GUI_Module* panel = host.GetPanelModule();
    target = panel ? panel->GetModuleDialog() : nullptr;
    if (!target) {
      reason = "no module with a panel is loaded";
      return false;
    }
  }
  auto* widget = static_cast<QWidget*>(target->GetSafeHwnd());
  if (!widget) {
    reason = "the window to take is not there";
    return false;
  }
  const fs::path path = fs::absolute(action.words.at(1));
  std::error_code ec;
  if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
  GUI_App::ProcessEvents(0);
  const QImage image = widget->grab().toImage();
  if (image.isNull() || !image.save(QString::fromStdString(path.string()), "PNG")) {
    reason = "the screenshot could not be written to " + path.string();
    return false;
  }
  screenshots.push_back(path.string());
  Log::Write(Log::Info, "Screenshot written to %s", path.string().c_str());
  std::cout << "tarvel-host: screenshot written to " << path.string() << std::endl;
  return true;
}

bool ScriptRunner::SaveCommand(const std::string& label, std::string& reason) {
  const GUI_Menu* menu = nullptr;
  for (const HostWindow::HostedModule& entry : host.GetHostedModules()) {
    if (entry.module == host.GetPanelModule()) menu = entry.menu;
  }
  bool grayed = false;
  const UINT id = FindCommandByLabel(menu, label, grayed);
  if (id == 0) {
    reason = "the panel's menu has no '" + label + "' item";
    return false;
  }
  if (grayed) {
    reason = "'" + label + "' is not available now (no clip is open)";
    return false;
  }
  host.RouteCommand(id);
  return true;
}

bool ScriptRunner::ExpectTabs(const ScriptAction& action, std::string& reason) {
  const auto expected = *ScriptParser::ParseInteger(action.words.at(0));
  GUI_Module* panel = host.GetPanelModule();
  const GUI_TabCtrl* tabs = panel ? ModuleWindows::FindFirst<GUI_TabCtrl>(panel->GetModuleDialog()) : nullptr;
  if (!tabs) {
    reason = "the panel has no tabs";
    return false;
  }
  if (tabs->GetItemCount() != expected) {
    reason = "expected " + std::to_string(expected) + " tabs, the panel shows " + std::to_string(tabs->GetItemCount());
    return false;
  }
  return true;
}

bool ScriptRunner::ExpectChannels(const ScriptAction& action, std::string& reason) {
  const auto expected = *ScriptParser::ParseInteger(action.words.at(0));
  GUI_Module* panel = host.GetPanelModule();
  const GUI_ListCtrl* list =
      panel ? ModuleWindows::FindCurrentList(panel->GetModuleDialog(), ModuleWindows::kChannelListId) : nullptr;
  const int count = list ? list->GetItemCount() : 0;
  if (count != expected) {
    reason = "expected " + std::to_string(expected) + " channels, the channel list shows " + std::to_string(count) +
             (list ? "" : " (no clip page is open)");
    return false;
  }
  return true;
}

bool ScriptRunner::ExpectPanel(const ScriptAction& action, std::string& reason) {
  GUI_Module* panel = host.GetPanelModule();
  const bool visible = panel && ModuleWindows::IsShown(panel->GetModuleDialog());
  const bool wanted = action.words.at(0) == "visible";
  if (visible != wanted) {
    reason = std::string("expected the panel ") + (wanted ? "visible" : "hidden") + ", it is " +
             (visible ? "visible" : "hidden");
    return false;
  }
  return true;
}

bool ScriptRunner::Quit(std::string&) {
  quit = host.RequestQuit();
  return true;
}

}  // namespace TarvelHost
