#pragma once

#include <memory>

#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_Label.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_Module.h"
#include "EditorCore/GUI_PushButton.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EngineCore/SceneObject.h"
#include "EngineCore/Timer.h"

#include <vector>

namespace Tarvel {

class AnimClipDialog;
class GUI_GraphCtrl;

// The curve area of a clip page: the graph over its frame and value rulers, with a tool bar
// of edit settings above it and a fit button in the corner. The time cursor is marker 4 of
// the frame ruler; the panel keeps its frame in `timeCursor`.
//
// The panel also previews its clip on the scene: it plays it through the animation
// controllers of the chosen objects (every animated object, the scene selection, or one
// object, as the object list says), poses them at the time cursor when it moves, and records
// keys at the cursor on request or automatically.
class GUI_CurvePanelDialog : public EditorCore::GUI_Dialog {
 public:
  static constexpr EditorCore::UINT kTemplate = 1114;
  static constexpr int kNarrowWidth = 700;

  explicit GUI_CurvePanelDialog(AnimClipDialog* owner);
  ~GUI_CurvePanelDialog() override;

  // Creates the panel as a child of the page; false when its template is missing.
  bool Create(EditorCore::GUI_Wnd* parent);

  void InvalidateViews();
  // Repaints both rulers and the graph at once (the graph only within `rect`, in the graph's
  // own coordinates, when one is given).
  void RedrawViews(const EditorCore::CRect* rect = nullptr);
  // Moves the time cursor to a frame and shows it.
  void SetTimeCursor(float frame);

  // Rounding to a whole frame: exact halves go down.
  static float WholeFrame(float frame);

  // Preview playback over the graph's selected frames, else the clip's key-frame range.
  void StartPlayback();
  void StopPlayback();
  // Poses the chosen objects at a frame (scrubbing, key stepping).
  void ApplyFrame(float frame);
  // The record button can be used exactly while automatic recording is off.
  void UpdateRecordingControls();

  // The object list: every object animated by the clip, after two entries for all of them
  // and for the scene selection.
  void FillObjectList();
  // Shows `chosenObjects` in the list.
  void ShowObjectChoice();
  // The scene's selected objects animated by the clip become the chosen ones; returns how many.
  int CollectSelectedObjects();
  // Follows the scene selection: chosen objects, the list's entry and the channels shown.
  void SyncObjectChoice(bool bShowChannels);
  void OnObjectChoiceChanged();
  // Whether an object carries a controller that holds the page's clip (its key in `clipKey`).
  bool IsAnimatedByClip(const EngineCore::SceneObject* object, std::uint32_t* clipKey = nullptr) const;

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

  AnimClipDialog* page;
  std::unique_ptr<EditorCore::GUI_RulerCtrl> horizontalRuler;
  std::unique_ptr<EditorCore::GUI_RulerCtrl> verticalRuler;
  std::unique_ptr<GUI_GraphCtrl> graph;
  EditorCore::GUI_CheckBox snapBox;
  EditorCore::GUI_CheckBox valuesModeBox;
  EditorCore::GUI_CheckBox framesModeBox;
  EditorCore::GUI_EditBox falloffBeforeEdit;
  EditorCore::GUI_CheckBox falloffBox;
  EditorCore::GUI_EditBox falloffAfterEdit;
  EditorCore::GUI_Label keyLabel;
  EditorCore::GUI_EditBox keyEdit;
  EditorCore::GUI_Label valueLabel;
  EditorCore::GUI_EditBox valueEdit;
  EditorCore::GUI_PushButton previousKeyButton;
  EditorCore::GUI_PushButton playButton;
  EditorCore::GUI_PushButton recordButton;
  EditorCore::GUI_PushButton nextKeyButton;
  EditorCore::GUI_CheckBox loopBox;
  EditorCore::GUI_ComboBox objectCombo;
  EditorCore::GUI_PushButton fitButton;
  EditorCore::GUI_CheckBox autoRecordBox;
  // Set while the panel writes into the frame and value edits, whose change notices it then
  // ignores.
  bool updatingEdits = false;
  std::unique_ptr<EditorCore::GUI_Menu> speedMenu;
  // Playback speed and direction: -2, -1, -0.5, 0.5, 1 or 2.
  float speed = 1.0f;
  bool playing = false;
  bool autoRecord = false;
  EditorCore::GUI_Module* viewerModule = nullptr;
  EngineCore::Timer stepTimer;
  float elapsed = 0.0f;
  float timeCursor = 0.0f;
  std::vector<EngineCore::SceneObject*> chosenObjects;
  float playBegin = 0.0f;
  float playEnd = 0.0f;

 private:
  void CreateViews();
  void SetValuesMode();
  void SetFramesMode();
  void LayOut(int cx, int cy);
  void OnRulerMoved();
  // The graph's notices: undo steps and write-back around edits, the lists after a new
  // selection, the frame and value edits following the current key.
  void OnGraphNotify(int code);
  void PlaybackStep();
  // The preview's buttons and speed commands; false for any other id or button.
  bool OnPreviewCommand(EditorCore::UINT id);
  bool OnPreviewPressed(const EditorCore::GUI_Wnd* button);
  void ShowSpeedMenu();
  void SetPlayIcon(int themeIcon);
  // The objects the preview drives now, and the frames it plays.
  void BuildTargets();
  void BuildRange();
  bool ZoomRuler(EditorCore::GUI_RulerCtrl& ruler, double centre, double step);
};

}  // namespace Tarvel
