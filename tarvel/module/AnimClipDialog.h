#pragma once

#include <array>
#include <memory>

#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_EditBox.h"
#include "EditorCore/GUI_Label.h"
#include "EditorCore/GUI_SplitterControl.h"
#include "EngineCore/Scene.h"
#include "curves/ChannelDesc.h"
#include "curves/ClipEditCore.h"
#include "objects/PreviewObjects.h"
#include "objects/PreviewPlayback.h"
#include "tools/DialogToolQuestions.h"
#include "tools/KeyingPage.h"

namespace Tarvel {

class GUI_ChannelListCtrl;
class GUI_ClipTabsDialog;
class GUI_CurvePanelDialog;
class GUI_TrackListCtrl;

// The page of one open clip: the channel list over the track list on the left, with the
// fast filter above and the six filter boxes below, and the curve panel on the right; the
// two splitters move the column and the row between them. The page owns the clip's core and
// preview and puts them together with its panes: the panes show the core, the page turns
// their notices and the module's commands into operations over it.
class AnimClipDialog : public EditorCore::GUI_Dialog, private KeyingPage {
 public:
  static constexpr int kInitialLeftWidth = 200;
  static constexpr int kInitialTopHeight = 100;
  // The filter boxes' row below the track list.
  static constexpr int kFilterBarHeight = 32;

  explicit AnimClipDialog(GUI_ClipTabsDialog* owner);
  ~AnimClipDialog() override;

  // Creates the page window from the module's page template, as a child of the tab control.
  bool Create(EditorCore::GUI_Wnd* parent);

  // Replaces the page's clip. With ask, unsaved changes of the current clip are offered to
  // be saved first; false, and nothing changes, when the user cancels.
  bool SetClip(EngineCore::AnimClip* newClip, bool ask);
  EngineCore::AnimClip* GetClip() const { return core.GetClip(); }
  void SetScene(EngineCore::Scene* newScene) { core.SetScene(newScene); }
  EngineCore::Scene* GetScene() const { return core.GetScene(); }
  // Lets go of every curve (the module window is going away).
  void DestroyAllCurves();
  // The host named a scene or changed its selection: the preview's object list follows (refilled
  // first when the scene itself may be new).
  void OnSceneChanged(bool refillObjects);
  // Objects may have gained controllers (a new channel): the list is built again.
  void RefillObjectList();
  bool IsAutoRecording() const { return playback.autoRecord; }
  // The rest of opening a page once its tab exists: the "Default" channel of an empty clip,
  // and the first channel shown.
  void OnPageOpened();

  // (Re)creates a channel's curves and lists the channel.
  void BuildChannelCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel);
  // Drops a channel's curves, rows and undo snapshots.
  void RemoveChannelCurves(std::uint32_t channelKey);
  // Shows the curves of the selected channels.
  void ShowSelectedChannels(bool bSyncScene);
  // Selects in the scene the clip's animated objects whose channels are shown.
  void SelectChannelObjects();
  // Hides the curves whose track kind or component box is unticked.
  void ApplyFilterBoxes();
  // Follows the scene selection: chosen objects, the list's entry and the channels shown.
  void SyncObjectChoice(bool bShowChannels);
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

  // The point operations and the undo history, each followed by a redraw of the curve panel.
  void CreatePoint(bool bRoundFrame);
  void RemovePoints();
  void RemoveTrackPoints();
  void CopyPoints();
  void PastePoints();
  void Undo();
  void Redo();
  // An action changed the clip or took a change back: the tab and the menus follow.
  void OnClipChanged();
  // A clip the user chose not to save goes back to what its file holds.
  static void RevertUnsaved(EngineCore::AnimClip& clip);

  // Commands of the module menu that act on the current page; false when the id is not one.
  bool RunCommand(EditorCore::UINT commandId);
  // Runs what a key of the page's table (KeyBindings) stands for; false when it does nothing
  // here, so that the key goes on (a menu key the frame's menus run, a digit without keys).
  bool RunKey(EditorCore::UINT command);
  // The host saved clips: the lists show their state again.
  void OnResourcesSaved();
  // The clip was read again from its file: its curves, lists and graph show what it holds
  // now, the channels shown before staying shown; the undo history starts over.
  void ReloadClip();
  void UpdateMenus();
  // Whether the menus that act on selected curves or selected points apply.
  bool HasEditableCurves() const;
  bool HasPointSelection() const;
  // Script queries: a dope sheet row's middle pixel row in the sheet's window (scrolled into
  // view), and the count of a track's keys ("CHANNEL\nTRACK"), each written over the query;
  // false when the sheet is hidden or has no such row, or the clip no such track.
  bool AnswerDopeSheetRow(std::string& query);
  bool AnswerTrackKeys(std::string& query) const;
  // The curve panel shows the dope sheet rather than the graph.
  bool IsDopeSheetShown() const;
  void RedrawCurvePanel();

  ClipEditCore& GetCore() { return core; }
  const ClipEditCore& GetCore() const { return core; }
  GUI_ChannelListCtrl& GetChannelList() { return *channelList; }
  GUI_TrackListCtrl& GetTrackList() { return *trackList; }
  GUI_CurvePanelDialog& GetCurvePanel() { return *curvePanel; }
  const PreviewObjects& GetPreviewObjects() const { return previewObjects; }
  PreviewObjects& GetPreviewObjects() { return previewObjects; }
  const PreviewPlayback& GetPlayback() const { return playback; }
  PreviewPlayback& GetPlayback() { return playback; }

  bool OnInitDialog() override;
  void DoDataExchange() override;
  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  bool OnCommand(EditorCore::UINT id) override;
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT& result) override;
  bool PreTranslateMessage(const EditorCore::GUI_Msg& msg) override;

 private:
  bool ShowOnlyChannel(std::uint32_t channelKey) override;
  void OnObjectChannelChanged() override;

  void AfterHistoryMove();
  // The panel switched views: back in the graph, it shows the channels of the keys the
  // dope sheet selected.
  void OnViewChanged();
  // The view switch and the edits of keys in time (the dope sheet's, and Duplicate and Scale
  // Keys in Time in both views); false for another id, or one the graph's view handles.
  bool RunDopeSheetCommand(EditorCore::UINT commandId);
  // The Tangents commands of the Track and Selection menus; false for another id.
  bool RunTangentCommand(EditorCore::UINT commandId);
  void LayOut(int cx, int cy);
  void SetSplitterRanges(int cx, int cy);
  void RefreshDocument();
  void MoveTimeCursor(float delta);
  bool OnPaneNotify(const EditorCore::GUI_NotifyHeader& header);
  bool OnFilterNotify(int code);
  void OnSplitterMoved(const EditorCore::GUI_Wnd* splitter, long distance);
  bool IsFilterBox(EditorCore::UINT id) const;

  GUI_ClipTabsDialog* tabHost;
  // Width of the left column and height of the channel area, in pixels.
  // The column and list sizes as laid out, and as the user last chose them with the bars:
  // a page too small for the choice lays out less, and gets the choice back when it grows.
  int leftWidth = kInitialLeftWidth;
  int topHeight = kInitialTopHeight;
  int chosenLeftWidth = kInitialLeftWidth;
  // Until the user moves the bar between the lists (kFollowTracks), the track list takes the
  // height its rows need, up to half the page, and the channel list the rest.
  static constexpr int kFollowTracks = -1;
  int chosenTopHeight = kFollowTracks;
  void FitChosenSizes(int cx, int cy);
  // Refills the track list and gives the lists the heights its rows ask for.
  void RefillTrackList();
  ClipEditCore core;
  PreviewObjects previewObjects{core};
  PreviewPlayback playback{core, previewObjects};
  DialogToolQuestions questions;
  std::unique_ptr<GUI_ChannelListCtrl> channelList;
  std::unique_ptr<GUI_TrackListCtrl> trackList;
  std::unique_ptr<GUI_CurvePanelDialog> curvePanel;
  std::unique_ptr<EditorCore::GUI_SplitterControl> verticalSplitter;
  std::unique_ptr<EditorCore::GUI_SplitterControl> horizontalSplitter;
  EditorCore::GUI_Label filterLabel;
  EditorCore::GUI_EditBox filterEdit;
  // Translation, rotation, scale, then X, Y, Z.
  std::array<EditorCore::GUI_CheckBox, 7> filterBoxes;
};

}  // namespace Tarvel
