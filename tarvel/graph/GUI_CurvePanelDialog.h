#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_Label.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_PushButton.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "tools/DopeSheet.h"

namespace Tarvel {

class ClipEditCore;
class GUI_DopeSheetCtrl;
class GUI_DopeSheetLabels;
class GUI_GraphCtrl;
class PreviewObjects;
class PreviewPlayback;

// The curve area of a clip page: the graph over its frame and value rulers, a tool bar of
// edit settings and preview buttons above it, and a fit button in the corner. It shows the
// page's core (curves, selection, the time cursor as marker 4 of the frame ruler) and its
// preview, and turns the tool bar into settings of the graph's editor and of the playback.
// What it cannot do alone it tells its parent, the page, with PanelNotify_ codes: a key to
// record, a new selection of curves, a new choice of preview objects.
// In place of the graph and its value ruler the panel may show the dope sheet (the toolbar's
// switch): its row names where the value ruler was, its keys against the same frame ruler,
// time cursor and preview. Each page's panel keeps its own choice.
class GUI_CurvePanelDialog : public EditorCore::GUI_Dialog {
 public:
  // Below this width the playback group takes a second row: both groups need 908 pixels.
  static constexpr int kNarrowWidth = 968;
  static constexpr int kComboWidth = 170;
  // Below this the falloff group takes a row of its own: the editing group needs 528 pixels.
  static constexpr int kTwoRowWidth = 535;
  // The playback group, the widest row left, needs this much.
  static constexpr int kMinimumWidth = 375;
  static int ToolbarRows(int cx);
  // The dope sheet's column of row names.
  static constexpr int kDopeSheetLabelWidth = 160;

  GUI_CurvePanelDialog(ClipEditCore& editCore, PreviewObjects& previewObjects, PreviewPlayback& previewPlayback);
  ~GUI_CurvePanelDialog() override;

  // Creates the panel as a child of the page; false when its template is missing.
  bool Create(EditorCore::GUI_Wnd* parent);

  GUI_GraphCtrl& GetGraph() { return *graph; }
  // The dope sheet or the graph; the other hides.
  void ShowDopeSheet(bool show);
  bool IsDopeSheetShown() const { return dopeSheetShown; }
  // The dope sheet's rows made again from the page's channels, then the sheet.
  DopeSheet& GetDopeSheet();
  GUI_DopeSheetCtrl& GetDopeSheetCtrl() { return *dopeSheetCtrl; }
  // Where the dope sheet gets its channels: those the channel list shows, in its order.
  void SetDopeSheetChannels(std::function<std::vector<std::uint32_t>()> source) { channelSource = std::move(source); }
  // The frame ruler, whose marker 4 shows the time cursor and lets the user drag it.
  EditorCore::GUI_RulerCtrl& GetFrameRuler() { return *horizontalRuler; }
  EditorCore::GUI_RulerCtrl& GetValueRuler() { return *verticalRuler; }
  void InvalidateViews();
  // Home: every shown curve in view. F: the selected keys, or without them the selected
  // curves, in view; both axes, with the fit's margins.
  void FitAll();
  void FrameSelection();
  // Repaints both rulers and the graph at once (the graph only within rect, in the graph's
  // own coordinates, when one is given).
  void RedrawViews(const EditorCore::CRect* rect = nullptr);
  // The label shows the clip's frame rate ("120 fps").
  void ShowFrameRate();
  // Moves the page's time cursor and shows it.
  void SetTimeCursor(float frame);
  // The same, and poses the preview's objects at that frame, as scrubbing does: how the user
  // steps the cursor (keys, the key buttons).
  void GoToFrame(float frame);

  void StartPlayback();
  void StopPlayback();
  // The record button can be used exactly while automatic recording is off.
  void UpdateRecordingControls();
  // The object list again, from the scene.
  void FillObjectList();
  // The list's current entry shows the chosen objects.
  void ShowObjectChoice();

  void DoDataExchange() override;
  bool OnInitDialog() override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  bool OnCommand(EditorCore::UINT id) override;
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT& result) override;
  bool OnMouseWheel(EditorCore::UINT flags, short delta, EditorCore::CPoint screenPoint) override;
  bool PreTranslateMessage(const EditorCore::GUI_Msg& msg) override;
  void OnTimer(EditorCore::UINT id) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  void CreateViews();
  void SetValuesMode();
  void SetFramesMode();
  void ApplyTypedNumber(const EditorCore::GUI_EditBox& box);
  // The key and value boxes show the current key again.
  void ShowCurrentKey();
  void LayOut(int cx, int cy);
  void OnRulerMoved();
  // The graph's notices: undo steps and write-back around edits, the lists after a new
  // selection, the frame and value edits following the current key.
  void OnGraphNotify(int code);
  // The dope sheet's notices (GUI_DopeSheetCtrl, GUI_DopeSheetLabels).
  void OnDopeSheetNotify(int code);
  // Frames of the keys of the sheet's rows, or of their selected keys, fill the frame ruler.
  void FitDopeSheet(bool selectedOnly);
  // The preview's buttons and speed commands; false for any other id.
  bool OnPreviewCommand(EditorCore::UINT id);
  // The selected keys' tangent types, under the Tangents button.
  void ShowTangentsMenu();
  void ShowSpeedMenu();
  void SetPlayIcon(int themeIcon);
  // Stepping from key to key waits for the playback to stop.
  void EnableKeyStepping(bool enable);
  void StartTimer(EditorCore::UINT id, EditorCore::UINT milliseconds);
  // Multiplies the ruler's scale by factor about anchor; false past the scale's limits.
  bool ZoomRuler(EditorCore::GUI_RulerCtrl& ruler, double anchor, double factor);
  // A notch of the wheel; the limits let a clip of a million frames fit the view and a frame
  // fill many screens.
  static constexpr double kWheelZoomFactor = 1.25;
  static constexpr double kMinimumScale = 1e-5;
  static constexpr double kMaximumScale = 1e3;

  ClipEditCore& core;
  PreviewObjects& objects;
  PreviewPlayback& playback;
  std::unique_ptr<EditorCore::GUI_RulerCtrl> horizontalRuler;
  std::unique_ptr<EditorCore::GUI_RulerCtrl> verticalRuler;
  std::unique_ptr<GUI_GraphCtrl> graph;
  DopeSheet dopeSheet;
  std::unique_ptr<GUI_DopeSheetCtrl> dopeSheetCtrl;
  std::unique_ptr<GUI_DopeSheetLabels> dopeSheetLabels;
  EditorCore::GUI_CheckBox dopeSheetBox;
  bool dopeSheetShown = false;
  std::function<std::vector<std::uint32_t>()> channelSource;
  EditorCore::GUI_CheckBox snapBox;
  EditorCore::GUI_CheckBox valuesModeBox;
  EditorCore::GUI_CheckBox framesModeBox;
  EditorCore::GUI_EditBox falloffBeforeEdit;
  EditorCore::GUI_CheckBox falloffBox;
  EditorCore::GUI_EditBox falloffAfterEdit;
  EditorCore::GUI_Label keyLabel;
  EditorCore::GUI_EditBox keyEdit;
  EditorCore::GUI_Label valueLabel;
  EditorCore::GUI_Label frameRateLabel;
  EditorCore::GUI_EditBox valueEdit;
  EditorCore::GUI_PushButton previousKeyButton;
  EditorCore::GUI_PushButton playButton;
  EditorCore::GUI_PushButton recordButton;
  EditorCore::GUI_PushButton nextKeyButton;
  EditorCore::GUI_CheckBox loopBox;
  EditorCore::GUI_ComboBox objectCombo;
  EditorCore::GUI_PushButton fitButton;
  EditorCore::GUI_PushButton tangentsButton;
  std::unique_ptr<EditorCore::GUI_Menu> tangentsMenu;
  EditorCore::GUI_CheckBox autoRecordBox;
  // Set while the panel writes into the frame and value edits, whose change notices it then
  // ignores.
  bool updatingEdits = false;
  std::unique_ptr<EditorCore::GUI_Menu> speedMenu;
  // The play button's press opened the speed menu: its release must not stop the speed the
  // user just chose.
  bool pressOpenedSpeedMenu = false;
  // The value ruler's width: its labels' widest, and no less than the frame ruler is high.
  int valueRulerWidth = 0;
};

}  // namespace Tarvel
