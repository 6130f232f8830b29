#pragma once

#include <array>
#include <memory>
#include <vector>

#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_Label.h"
#include "EditorCore/GUI_SplitterControl.h"
#include "EngineCore/Scene.h"
#include "channels/ChannelDesc.h"
#include "curves/ClipDocument.h"

namespace Tarvel {

class GUI_ChannelListCtrl;
class GUI_ClipTabsDialog;
class GUI_CurvePanelDialog;
class GUI_TrackListCtrl;

// The page of one open clip: the channel list over the track list on the left, with the
// fast filter above and the six filter boxes below, and the curve area on the right; the
// two splitters move the column and the row between them. The model side (curves, write-
// back, undo) is the ClipDocument it derives from.
class AnimClipDialog : public EditorCore::GUI_Dialog, public ClipDocument {
 public:
  static constexpr int kInitialLeftWidth = 200;
  static constexpr int kInitialTopHeight = 100;
  static constexpr std::uint32_t kAllObjectTypes = 0x7FFFFFFF;

  explicit AnimClipDialog(GUI_ClipTabsDialog* owner);
  ~AnimClipDialog() override;

  // Creates the page window from the module's page template, as a child of the tab control.
  bool Create(EditorCore::GUI_Wnd* parent);

  // Replaces the page's clip. With `ask`, unsaved changes of the current clip are offered to
  // be saved first; false, and nothing changes, when the user cancels.
  bool SetClip(EngineCore::AnimClip* newClip, bool ask);
  void SetScene(EngineCore::Scene* newScene) { scene = newScene; }
  // The host named a scene or changed its selection: the preview's object list follows (refilled
  // first when the scene itself may be new).
  void OnSceneChanged(bool refillObjects);
  // Objects may have gained controllers (a new channel): the list is built again.
  void RefillObjectList();
  bool IsAutoRecording() const;
  // The rest of opening a page once its tab exists: the "Default" channel of an empty clip,
  // and the first channel shown.
  void OnPageOpened();

  // Lists the curves of the selected channels and shows them.
  void ShowSelectedChannels(bool bSyncScene);
  // Selects in the scene the clip's animated objects whose channels are shown.
  void SelectChannelObjects();
  // Hides the curves whose track kind or component box is unticked.
  void ApplyFilterBoxes();
  // Adds a channel with the chosen tracks to the clip and to the page.
  void CreateChannel(const ChannelDesc& desc);
  // Removes the channels of the selected rows of the channel list.
  void RemoveSelectedChannels();
  // Asks for a new channel's name and tracks; an empty name gets the next unnamed number.
  void OnCreateChannel();
  // Edits the channel of the first selected row.
  void OnEditChannel();
  // Asks for a channel's new name and tracks and applies them; tracks that stay keep their keys.
  void EditChannel(std::uint32_t channelKey);

  // Keys at the time cursor: on the selected scene objects animated by the clip (their
  // channel's every track, from the object's pose) or else on the curves of the selected
  // track rows (repeating each curve's last value).
  void CreatePoint(bool bRoundFrame);
  // Removes the selected keys of the selected curves; without selected keys, their curves'
  // every key.
  void RemovePoints();
  void RemoveTrackPoints();
  // The first selected curve's selected keys go to the clipboard shared by every page,
  // their frames counted from the first of them.
  void CopyPoints();
  // The clipboard's keys go in at the time cursor, pushing the following keys back.
  void PastePoints();

  // The key transform tools, each asking its settings in a dialog first.
  void ScaleTrack();
  void ScaleSelection();
  void FlipTrack();
  void FlipSelection();
  void SmoothTrack();
  void SmoothSelection();
  void SubdiviseTrack();
  void SubdiviseSelection();
  void SubSampleTrack();
  void SubSampleSelection();

  // Workers of the tools on one curve's index range first..last.
  // Stretches or shrinks the range in time by `factor` from its first key, which stays; the
  // keys after the range move by the same amount as its last key.
  static void ScaleKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, float factor);
  // The same keys in reverse time order over the same span.
  static void MirrorTime(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last);
  // Values mirrored about the middle of the first and last values.
  static void MirrorValues(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last);
  // `count` keys between each pair of keys of the range; returns the range's new last index.
  static std::uint32_t SubdiviseKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, int count,
                                     bool markNew);
  // Inserted keys laid on the Catmull-Rom spline through the old keys.
  static void SmoothKeys(EditorToolkit::Curve2& curve, std::uint32_t first, std::uint32_t last, int count);

  // Commands of the module menu that act on the current page; false when the id is not one.
  bool RunCommand(EditorCore::UINT commandId);
  // Commands of the channel list's context menu.
  void RunChannelCommand(EditorCore::UINT commandId);
  // The host saved clips: the lists show their state again.
  void OnResourcesSaved();
  void UpdateMenus();
  // Whether the menus that act on selected curves or selected points apply.
  bool HasEditableCurves() const;
  bool HasPointSelection() const;
  // The graph selected other keys (and so other curves): the track rows and the menus follow.
  void OnGraphSelectionChanged();
  // The graph's point selection is gone with the rows it came from.
  void ClearGraphSelectionRange();
  void RedrawCurvePanel() override;
  // The latest key before a frame on the curves the user works on (the selected ones, else
  // all listed ones), never earlier than the clip's first key frame; 0 without a track list.
  float GetPreviousKeyFrame(float frame) const;
  // The earliest key after a frame, never later than the clip's last key frame.
  float GetNextKeyFrame(float frame) const;

  // Layout of the panes for a client size (exposed for the layout's own checks).
  struct Layout {
    EditorCore::CRect filterLabel, filterEdit, channelList, horizontalSplitter, trackList, verticalSplitter, curveArea;
    std::array<EditorCore::CRect, 6> filterBoxes;
  };
  static Layout ComputeLayout(int cx, int cy, int leftWidth, int topHeight);

  bool OnInitDialog() override;
  void DoDataExchange() override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  bool OnCommand(EditorCore::UINT id) override;
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT& result) override;
  bool PreTranslateMessage(const EditorCore::GUI_Msg& msg) override;

  GUI_ClipTabsDialog* tabHost;
  EngineCore::Scene* scene = nullptr;
  // Width of the left column and height of the channel area, in pixels.
  int leftWidth = kInitialLeftWidth;
  int topHeight = kInitialTopHeight;
  std::unique_ptr<GUI_ChannelListCtrl> channelList;
  std::unique_ptr<GUI_TrackListCtrl> trackList;
  std::unique_ptr<GUI_CurvePanelDialog> curvePanel;
  std::unique_ptr<EditorCore::GUI_SplitterControl> verticalSplitter;
  std::unique_ptr<EditorCore::GUI_SplitterControl> horizontalSplitter;
  EditorCore::GUI_Label filterLabel;
  EditorCore::GUI_EditBox filterEdit;
  // Translation, rotation, scale, then X, Y, Z.
  std::array<EditorCore::GUI_CheckBox, 6> filterBoxes;

 protected:
  void OnChannelCurvesBuilt(const CurveSet::Curves& curves) override;
  void OnChannelCurvesRemoving(std::uint32_t channelKey) override;
  void OnAllCurvesDestroyed() override;
  const TrackRows* GetTrackRows() const override;
  void ShowPleaseWait(bool show) override;

 private:
  void LayOut(int cx, int cy);
  void SetSplitterRanges(int cx, int cy);
  void RefreshDocument();
  // The curves the key stepping searches.
  std::vector<const CurveInfo*> SteppingCurves() const;
  void MoveTimeCursor(float delta);

  enum class Tool { Scale, Flip, Smooth, Subdivise, SubSample };
  void RunTool(Tool tool, bool selection, const char* label);

  enum class ObjectKeying { NoObjectKeyed, Keyed, Stop };
  ObjectKeying KeyObjects(float frame);
  // The time cursor's frame, 0 below zero.
  float CursorFrame() const;
  std::vector<CurveInfo*> SelectedRowCurves() const;
  bool GraphHoldsEditableCurves() const;
  // What every point operation and tool ends with: the key-frame range check, the undo step
  // under its label, a redraw.
  void CloseOperation(const char* label);
  bool IsFilterBox(EditorCore::UINT id) const;
};

}  // namespace Tarvel
