#include "module/AnimClipDialog.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/EditorKernel.h"
#include "EditorToolkit/GUI_SaveDialog.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "channels/GUI_CreateChannelDialog.h"
#include "channels/GUI_EditChannelDialog.h"
#include "curves/ChannelTracks.h"
#include "curves/FrameworkMessages.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_DopeSheetCtrl.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/GUI_ClipEditorFrame.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "module/ModuleExports.h"
#include "resources/KeyBindings.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"
#include "tools/DopeSheet.h"
#include "tools/KeyTools.h"
#include "tools/PointOperations.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr UINT kFilterBoxIds[7] = {
    Ids::kCtlFilterTranslation, Ids::kCtlFilterRotation, Ids::kCtlFilterScale, Ids::kCtlFilterWeights,
    Ids::kCtlFilterX,           Ids::kCtlFilterY,        Ids::kCtlFilterZ};
constexpr UINT kFilterBoxIcons[7] = {Ids::kIconTranslation, Ids::kIconRotation, Ids::kIconScale, Ids::kIconWeights,
                                     Ids::kIconX,           Ids::kIconY,        Ids::kIconZ};
constexpr const char* kFilterBoxTips[7] = {
    "Show translation curves", "Show rotation curves", "Show scale curves", "Show morph-target weight curves",
    "Show X curves",           "Show Y curves",        "Show Z curves"};

CRect At(int left, int top, int width, int height) { return CRect(left, top, left + width, top + height); }

}  // namespace

AnimClipDialog::AnimClipDialog(GUI_ClipTabsDialog* owner)
    : tabHost(owner),
      channelList(std::make_unique<GUI_ChannelListCtrl>(core)),
      trackList(std::make_unique<GUI_TrackListCtrl>(core.GetSelection())),
      curvePanel(std::make_unique<GUI_CurvePanelDialog>(core, previewObjects, playback)),
      verticalSplitter(std::make_unique<GUI_SplitterControl>()),
      horizontalSplitter(std::make_unique<GUI_SplitterControl>()) {
  if (tabHost) core.SetClipboard(&tabHost->GetClipboard());
  core.SetRefusalSink([](const std::string& sentence) {
    GUI_MessageDialog message(sentence, GUI_MessageDialog::TypeOk, GUI_MainFrame::GetMainWnd());
    message.DoModal();
  });
  // The dope sheet shows the channels the channel list shows, in its order.
  curvePanel->SetDopeSheetChannels([this] {
    std::vector<std::uint32_t> keys;
    for (int row = 0; channelList->GetSafeHwnd() && row < channelList->GetItemCount(); ++row) {
      if (const ChannelRow* record = channelList->GetRowRecord(row)) keys.push_back(record->key);
    }
    return keys;
  });
  curvePanel->GetDopeSheet().SetTeller([this](const std::string& sentence) { questions.Tell(sentence); });
}

AnimClipDialog::~AnimClipDialog() = default;

bool AnimClipDialog::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(Ids::kTplPage, parent);
}

void AnimClipDialog::DoDataExchange() {
  bool bound = BindControl(Ids::kCtlFilterLabel, filterLabel) && BindControl(Ids::kCtlFilterEdit, filterEdit);
  for (std::size_t i = 0; i < filterBoxes.size(); ++i) bound = BindControl(kFilterBoxIds[i], filterBoxes[i]) && bound;
  if (!bound) EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the clip page's template lacks a control");
}

bool AnimClipDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  CRect client;
  GetClientRect(client);
  // The panes, in this order, then the splitters with their ranges.
  bool created = channelList->Create(this);
  channelList->Refill();
  created = trackList->Create(this) && created;
  created = curvePanel->Create(this) && created;
  created =
      verticalSplitter->Create(this, GUI_SplitterControl::StyleVertical, CRect(), Ids::kCtlVerticalSplitter) && created;
  created =
      horizontalSplitter->Create(this, GUI_SplitterControl::StyleHorizontal, CRect(), Ids::kCtlHorizontalSplitter) &&
      created;
  if (!created) EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: a pane of the clip page could not be made");
  SetSplitterRanges(client.Width(), client.Height());
  chosenLeftWidth = kInitialLeftWidth;
  FitChosenSizes(client.Width(), client.Height());

  filterLabel.SetWindowText(ModuleText::Translate("Fast Filter :", "Tarvel_EditChannel"));
  for (std::size_t i = 0; i < filterBoxes.size(); ++i) {
    filterBoxes[i].SetIcon(LoadIconInModule(static_cast<unsigned short>(kFilterBoxIcons[i])));
    filterBoxes[i].SetToolTip(ModuleText::Translate(kFilterBoxTips[i]));
    filterBoxes[i].Check(true);
  }
  LayOut(client.Width(), client.Height());
  channelList->Invalidate();
  trackList->Invalidate();
  RedrawCurvePanel();
  return true;
}

void AnimClipDialog::LayOut(int cx, int cy) {
  const int w = leftWidth;
  const int h = topHeight;
  filterLabel.MoveWindow(At(1, 1, 60, 30));
  filterEdit.MoveWindow(At(61, 6, w - 64, 20));
  channelList->MoveWindow(At(1, 32, w - 1, h - 33));
  horizontalSplitter->MoveWindow(At(1, h, w - 1, 4));
  trackList->MoveWindow(At(1, h + 5, w - 1, cy - kFilterBarHeight - 5 - h));
  verticalSplitter->MoveWindow(At(w, 1, 4, cy - 2));
  curvePanel->MoveWindow(At(w + 4, 1, cx - w - 5, cy - 2));
  // Boxes 4 and 5 (weights and X) stand 12 pixels apart to part the kinds from the axes.
  const int b = std::min((w - 33) / 8, 30);
  const int lefts[7] = {1, b + 4, 2 * b + 7, 3 * b + 10, 4 * b + 22, 5 * b + 25, 6 * b + 28};
  for (std::size_t i = 0; i < filterBoxes.size(); ++i) filterBoxes[i].MoveWindow(At(lefts[i], cy - 31, b, 30));
}

void AnimClipDialog::SetSplitterRanges(int cx, int cy) {
  horizontalSplitter->SetRange(std::min(cy - 100, 100), cy - 100);
  verticalSplitter->SetRange(std::min(cx - 200, 200), cx - 200);
}

void AnimClipDialog::FitChosenSizes(int cx, int cy) {
  // The lists keep a usable width and height whatever the page's size; the panel gives way.
  constexpr int kMinimumLeft = 120;
  constexpr int kMinimumTop = 100;
  const int panelRoom = GUI_CurvePanelDialog::kMinimumWidth + 10;
  leftWidth = std::clamp(chosenLeftWidth, kMinimumLeft, std::max(kMinimumLeft, cx - panelRoom));
  int wanted = chosenTopHeight;
  if (wanted == kFollowTracks) {
    // The track list's header, its rows (three at least) and its frame, above the filter boxes.
    const int rows = std::max(3, trackList ? trackList->GetItemCount() : 0);
    const int tracks = GUI_ListCtrl::HeaderHeight + rows * GUI_ListCtrl::RowHeight + 2;
    wanted = std::max(cy / 2, cy - kFilterBarHeight - 5 - tracks);
  }
  topHeight = std::clamp(wanted, kMinimumTop, std::max(kMinimumTop, cy - 100));
}

void AnimClipDialog::RefillTrackList() {
  trackList->Refill();
  if (chosenTopHeight != kFollowTracks) return;
  CRect client;
  GetClientRect(client);
  const int before = topHeight;
  FitChosenSizes(client.Width(), client.Height());
  if (topHeight != before) LayOut(client.Width(), client.Height());
}

void AnimClipDialog::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  FitChosenSizes(cx, cy);
  SetSplitterRanges(cx, cy);
  LayOut(cx, cy);
}

bool AnimClipDialog::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  dc.FillSolidRect(client, GUI_ThemeManager::GetColor(Ids::kThemeBackground));
  const int w = leftWidth;
  const int cy = client.Height();
  dc.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBackground), CRect(1, 1, w, 31));
  dc.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBottomBand), CRect(1, cy - 31, w, cy - 1));
  dc.SetPen(RGB(0, 0, 0), 1, PS_SOLID);
  dc.MoveTo(1, 32);
  dc.LineTo(w, 32);
  dc.MoveTo(1, cy - 32);
  dc.LineTo(w, cy - 32);
  return true;
}

bool AnimClipDialog::SetClip(EngineCore::AnimClip* newClip, bool ask) {
  EngineCore::AnimClip* clip = core.GetClip();
  if (newClip == clip) return true;
  if (clip && ask && clip->IsModified()) {
    EditorToolkit::GUI_SaveDialog dialog(GUI_MainFrame::GetMainWnd());
    EditorToolkit::SaveList::AddResource(dialog.GetSaveList(), clip);
    if (dialog.GetUnsavedCount() > 0 && dialog.DoModal() != IDOK) return false;
    RevertUnsaved(*clip);
  }
  DestroyAllCurves();
  GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame();
  if (newClip && mainFrame) mainFrame->ShowPleaseWaitDialog(true);
  core.AttachClip(newClip);
  // The channel rows follow the clip's channel order.
  for (std::uint32_t i = 0; newClip && i < newClip->GetChannelCount(); ++i) {
    channelList->AddChannelRow(newClip->GetChannelKeyAt(i));
  }
  if (newClip && mainFrame) mainFrame->ShowPleaseWaitDialog(false);
  return true;
}

void AnimClipDialog::DestroyAllCurves() {
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  channelList->ClearRows();
  core.DestroyAllCurves();
  RefillTrackList();
  RedrawCurvePanel();
}

void AnimClipDialog::OnSceneChanged(bool refillObjects) {
  if (refillObjects) {
    RefillObjectList();
  } else {
    SyncObjectChoice(false);
  }
  curvePanel->UpdateRecordingControls();
  RedrawCurvePanel();
}

void AnimClipDialog::RefillObjectList() {
  curvePanel->FillObjectList();
  SyncObjectChoice(true);
}

void AnimClipDialog::OnPageOpened() {
  OnSceneChanged(true);
  if (channelList->GetItemCount() == 0) {
    ChannelDesc desc;
    desc.name = ModuleText::Translate("Default");
    CreateChannel(desc);
  }
  if (ChannelRow* first = channelList->GetRowRecord(0)) {
    // Marked shown before the row turns selected, so that the list does not react itself.
    first->bShown = true;
    channelList->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  ShowSelectedChannels(false);
}

void AnimClipDialog::BuildChannelCurves(std::uint32_t channelKey, const EngineCore::AnimChannel& channel) {
  core.BuildChannelCurves(channelKey, channel);
  channelList->AddChannelRow(channelKey);
}

void AnimClipDialog::RemoveChannelCurves(std::uint32_t channelKey) {
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  channelList->RemoveChannelRow(channelKey);
  core.RemoveChannelCurves(channelKey);
  RefillTrackList();
  RedrawCurvePanel();
}

void AnimClipDialog::ShowSelectedChannels(bool bSyncScene) {
  core.GetSelection().Clear();
  for (int n = 0; ChannelRow* row = channelList->GetSelectedRow(n); ++n) {
    core.ShowChannel(row->key);
    row->bShown = true;
  }
  curvePanel->GetGraph().FitAll();
  ApplyFilterBoxes();
  UpdateMenus();
  if (bSyncScene) SelectChannelObjects();
  curvePanel->UpdateRecordingControls();
  curvePanel->ShowObjectChoice();
  RedrawCurvePanel();
  FrameworkMessages::SendTo(FrameworkMessages::FindModule(Ids::kViewerModule), Ids::kMsgSceneSelection,
                            reinterpret_cast<WPARAM>(core.GetScene()), 0);
}

void AnimClipDialog::SelectChannelObjects() {
  previewObjects.SelectChannelObjects([this](std::uint32_t channelKey) {
    const ChannelRow* row = channelList->GetChannelRow(channelKey);
    return row && row->bShown;
  });
}

void AnimClipDialog::ApplyFilterBoxes() {
  core.GetSelection().ApplyFilter(
      {filterBoxes[0].IsChecked(), filterBoxes[1].IsChecked(), filterBoxes[2].IsChecked(), filterBoxes[3].IsChecked()},
      {filterBoxes[4].IsChecked(), filterBoxes[5].IsChecked(), filterBoxes[6].IsChecked()});
  UpdateMenus();
  RefillTrackList();
  RedrawCurvePanel();
}

bool AnimClipDialog::ShowOnlyChannel(std::uint32_t channelKey) {
  if (!channelList->SelectChannel(channelKey)) return false;
  ShowSelectedChannels(false);
  return true;
}

void AnimClipDialog::OnObjectChannelChanged() { RefillObjectList(); }

void AnimClipDialog::SyncObjectChoice(bool bShowChannels) {
  if (!core.GetSceneSelection()) return;
  previewObjects.CollectSelectedObjects();
  const std::vector<EngineCore::SceneObject*>& chosen = previewObjects.chosenObjects;
  if (!chosen.empty()) {
    const std::uint32_t key = ClipEditCore::GetObjectChannel(chosen.front());
    if (key != 0) {
      // The channel the track list shows: its first selected row's, else its first row's.
      const CurveSelection& shown = core.GetSelection();
      const std::vector<CurveInfo*> selectedRows = shown.GetSelectedRows();
      const CurveInfo* current = selectedRows.empty() ? shown.GetRowCurve(0) : selectedRows.front();
      if (!current || current->iChannelKey != key) ShowOnlyChannel(key);
    }
    if (chosen.size() == 1) {
      curvePanel->ShowObjectChoice();
    } else {
      previewObjects.SetCurrentEntry(PreviewObjects::kSelectionEntry);
      curvePanel->ShowObjectChoice();
      for (EngineCore::SceneObject* object : chosen) {
        const int row = channelList->FindChannelRow(ClipEditCore::GetObjectChannel(object));
        if (row >= 0) channelList->SetRowSelected(row, true);
      }
    }
  } else {
    channelList->DeselectAll();
    curvePanel->ShowObjectChoice();
  }
  if (bShowChannels) ShowSelectedChannels(false);
  RedrawCurvePanel();
}

void AnimClipDialog::CreateChannel(const ChannelDesc& desc) {
  if (!core.GetClip() || desc.name.GetLength() < 2) return;
  const std::uint32_t key = core.CreateChannel(desc);
  if (key != 0) {
    channelList->AddChannelRow(key);
    RefreshDocument();
    OnClipChanged();
  } else {
    EngineCore::Log::Write(EngineCore::Log::Warning, "Tarvel: the clip refused a channel named %s", desc.name.c_str());
  }
  if (core.GetScene())
    FrameworkMessages::Broadcast(Ids::kMsgChannelCreated, reinterpret_cast<WPARAM>(core.GetScene()), 0);
}

void AnimClipDialog::RemoveSelectedChannels() {
  if (!core.GetClip()) return;
  std::vector<std::uint32_t> keys;
  for (int n = 0; const ChannelRow* row = channelList->GetSelectedRow(n); ++n) keys.push_back(row->key);
  if (keys.empty()) return;
  std::reverse(keys.begin(), keys.end());
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  core.RemoveChannels(keys);
  for (std::uint32_t key : keys) channelList->RemoveChannelRow(key);
  RefreshDocument();
  OnClipChanged();
}

void AnimClipDialog::RefreshDocument() {
  channelList->Refill();
  RefillTrackList();
  RedrawCurvePanel();
}

void AnimClipDialog::OnCreateChannel() {
  if (!core.GetClip()) return;
  GUI_CreateChannelDialog dialog(GUI_MainFrame::GetMainWnd());
  if (dialog.DoModal() != IDOK) return;
  ChannelDesc desc = dialog.desc;
  if (desc.name.GetLength() < 2) {
    const std::string stem = ModuleText::Translate(channelList->GetNameStem().c_str());
    desc.name = EngineCore::String::Format("%s%d", stem.c_str(), channelList->GetHighestUnnamedNumber() + 1);
  }
  CreateChannel(desc);
}

void AnimClipDialog::OnEditChannel() {
  if (const ChannelRow* row = channelList->GetSelectedRow(0)) EditChannel(row->key);
}

void AnimClipDialog::EditChannel(std::uint32_t channelKey) {
  EngineCore::AnimClip* clip = core.GetClip();
  EngineCore::AnimChannel* channel = clip ? clip->GetChannel(channelKey) : nullptr;
  if (!channel) return;
  GUI_EditChannelDialog dialog(GUI_MainFrame::GetMainWnd());
  dialog.desc.name = channel->GetName();
  dialog.desc.bTranslation = channel->HasTrack(EngineCore::AnimTrack::Translation);
  dialog.desc.bRotation = channel->HasTrack(EngineCore::AnimTrack::Rotation);
  dialog.desc.bScale = channel->HasTrack(EngineCore::AnimTrack::Scale);
  if (dialog.DoModal() != IDOK || dialog.desc.name.GetLength() < 2) return;
  const ChannelDesc& desc = dialog.desc;
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  // A name another channel has is refused, and the channel stays as it was.
  const std::uint32_t key = core.EditChannel(channelKey, desc);
  if (key == 0) return;
  channelList->RemoveChannelRow(channelKey);
  channelList->AddChannelRow(key);
  RefreshDocument();
  const int row = channelList->FindItem(desc.name.str(), -1, true);
  if (row >= 0) {
    channelList->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (ChannelRow* record = channelList->GetRowRecord(row)) record->bShown = true;
  }
  ShowSelectedChannels(false);
  OnClipChanged();
}

void AnimClipDialog::CreatePoint(bool bRoundFrame) {
  if (PointOperations::CreatePoint(core, questions, *this, bRoundFrame)) OnClipChanged();
  RedrawCurvePanel();
}

void AnimClipDialog::RemovePoints() {
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  if (PointOperations::RemovePoints(core)) OnClipChanged();
  RedrawCurvePanel();
}

void AnimClipDialog::RemoveTrackPoints() {
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  if (PointOperations::RemoveTrackPoints(core)) OnClipChanged();
  RedrawCurvePanel();
}

void AnimClipDialog::CopyPoints() {
  if (curvePanel->IsDopeSheetShown() && tabHost) {
    curvePanel->GetDopeSheet().Copy(tabHost->GetKeyClipboard());
    return;
  }
  PointOperations::CopyPoints(core);
}

void AnimClipDialog::PastePoints() {
  const bool changed = curvePanel->IsDopeSheetShown() && tabHost
                           ? curvePanel->GetDopeSheet().Paste(tabHost->GetKeyClipboard(), core.GetCursorFrame())
                           : PointOperations::PastePoints(core);
  if (changed) OnClipChanged();
  RedrawCurvePanel();
}

bool AnimClipDialog::RunDopeSheetCommand(UINT commandId) {
  DopeSheet& sheet = curvePanel->GetDopeSheet();
  const bool sheetShown = curvePanel->IsDopeSheetShown();
  bool changed = false;
  switch (commandId) {
    case Ids::kCmdDopeSheet:
      curvePanel->ShowDopeSheet(!sheetShown);
      OnViewChanged();
      return true;
    case Ids::kCmdDuplicateKeys: changed = sheet.Duplicate(); break;
    case Ids::kCmdScaleKeysInTime: {
      float first = 0.0f;
      float last = 0.0f;
      if (!sheet.GetSelectedSpan(first, last)) return true;
      ScaleSettings settings;
      settings.iCurrentLength = static_cast<int>(std::lround(last - first));
      settings.iWishLength = settings.iCurrentLength;
      if (!questions.AskScale(settings)) return true;
      const float factor = settings.bUseLength && settings.iCurrentLength > 0
                               ? static_cast<float>(settings.iWishLength) / static_cast<float>(settings.iCurrentLength)
                               : settings.fPercentage / 100.0f;
      // About the time cursor, as animators scale a block.
      changed = sheet.Scale(factor, core.GetCursorFrame());
      break;
    }
    case Ids::kCmdRemovePoints:
      if (!sheetShown) return false;
      changed = sheet.Delete();
      break;
    case Ids::kCmdSelectAll:
    case Ids::kCmdDeselect:
      if (!sheetShown) return false;
      sheet.SelectAll(commandId == Ids::kCmdSelectAll);
      curvePanel->GetGraph().GetEditor().UpdateSelectionRange();
      RefillTrackList();
      UpdateMenus();
      RedrawCurvePanel();
      return true;
    default: return false;
  }
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  curvePanel->GetGraph().GetEditor().UpdateSelectionRange();
  if (changed) OnClipChanged();
  RefillTrackList();
  UpdateMenus();
  RedrawCurvePanel();
  return true;
}

void AnimClipDialog::Undo() {
  if (core.Undo()) AfterHistoryMove();
}

void AnimClipDialog::Redo() {
  if (core.Redo()) AfterHistoryMove();
}

void AnimClipDialog::RevertUnsaved(EngineCore::AnimClip& clip) {
  // Still modified after the user answered: not saved, so it becomes its file again.
  if (clip.IsModified() && !clip.Revert()) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: %s could not be read back from its file",
                           clip.GetName().c_str());
  }
}

void AnimClipDialog::AfterHistoryMove() {
  // The curves got back other points: the current key's address may be gone.
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  if (core.LastStepChangedChannels()) {
    channelList->RebuildRows();
    ShowSelectedChannels(false);
  } else {
    RefillTrackList();
  }
  OnClipChanged();
  RedrawCurvePanel();
}

void AnimClipDialog::ReloadClip() {
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  core.ReloadClip();
  channelList->RebuildRows();
  ShowSelectedChannels(false);
  OnClipChanged();
  RedrawCurvePanel();
}

void AnimClipDialog::OnClipChanged() {
  tabHost->RefreshTitle(*this);
  UpdateMenus();
}

bool AnimClipDialog::RunCommand(UINT commandId) {
  if (RunDopeSheetCommand(commandId)) return true;
  const bool selection = commandId >= Ids::kCmdSelectionScale;
  switch (commandId) {
    case Ids::kCmdChannelCreate: OnCreateChannel(); return true;
    case Ids::kCmdChannelEdit: OnEditChannel(); return true;
    case Ids::kCmdChannelRemove: RemoveSelectedChannels(); return true;
    case Ids::kCmdAddPoint: CreatePoint(true); return true;
    case Ids::kCmdRemoveAllPoints: RemoveTrackPoints(); return true;
    case Ids::kCmdCopyPoints: CopyPoints(); return true;
    case Ids::kCmdPastePoints: PastePoints(); return true;
    case Ids::kCmdRemovePoints: RemovePoints(); return true;
    case Ids::kCmdUndo: Undo(); return true;
    case Ids::kCmdRedo: Redo(); return true;
    case Ids::kCmdSelectAll:
    case Ids::kCmdDeselect:
      curvePanel->GetGraph().GetEditor().SelectAll(commandId == Ids::kCmdSelectAll);
      RedrawCurvePanel();
      return true;
    case Ids::kCmdTrackScale:
    case Ids::kCmdSelectionScale: KeyTools::Scale(core, questions, selection); break;
    case Ids::kCmdTrackSubdivise:
    case Ids::kCmdSelectionSubdivise: KeyTools::Subdivise(core, questions, selection); break;
    case Ids::kCmdTrackSmooth:
    case Ids::kCmdSelectionSmooth: KeyTools::Smooth(core, questions, selection); break;
    case Ids::kCmdTrackFlip:
    case Ids::kCmdSelectionFlip: KeyTools::Flip(core, questions, selection); break;
    case Ids::kCmdTrackSubSample:
    case Ids::kCmdSelectionSubSample: KeyTools::SubSample(core, questions, selection); break;
    case Ids::kCmdTrackEulerFilter:
    case Ids::kCmdSelectionEulerFilter: KeyTools::EulerFilter(core, selection); break;
    case Ids::kCmdTrackFilterNoise:
    case Ids::kCmdSelectionFilterNoise:
      KeyTools::FilterNoise(core, questions, selection, [this] { RedrawCurvePanel(); });
      break;
    case Ids::kCmdClipFrameRate: KeyTools::FrameRate(core, questions); break;
    case Ids::kCmdInterpolationConstant: KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Step); break;
    case Ids::kCmdInterpolationLinear: KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Linear); break;
    case Ids::kCmdInterpolationSmooth: KeyTools::SetInterpolation(core, EditorToolkit::Curve2::Cubic); break;
    default:
      if (!RunTangentCommand(commandId)) return false;
  }
  // A tool changes the selected curves; the graph's current key may have been moved or gone.
  curvePanel->GetGraph().GetEditor().ForgetCurrentPoint();
  OnClipChanged();
  RedrawCurvePanel();
  return true;
}

bool AnimClipDialog::RunTangentCommand(UINT commandId) {
  for (const UINT first : {Ids::kCmdTrackTangents, Ids::kCmdSelectionTangents}) {
    if (commandId < first || commandId >= first + EngineCore::kTangentTypeCount) continue;
    KeyTools::SetTangents(core, static_cast<EngineCore::TangentType>(commandId - first),
                          first == Ids::kCmdSelectionTangents);
    return true;
  }
  return false;
}

void AnimClipDialog::OnResourcesSaved() {
  channelList->Invalidate();
  RefillTrackList();
  tabHost->RefreshTitle(*this);
  RedrawCurvePanel();
}

void AnimClipDialog::UpdateMenus() {
  if (tabHost) tabHost->UpdateMenus();
}

bool AnimClipDialog::HasEditableCurves() const { return core.GetSelection().GetSelectedCurveCount() > 0; }

void AnimClipDialog::OnViewChanged() {
  if (!curvePanel->IsDopeSheetShown()) {
    // Back in the graph, the channels of the keys selected in the sheet are shown: no selected
    // key is out of sight.
    bool added = false;
    for (const CurveInfo* curve : curvePanel->GetDopeSheet().SelectedCurves()) {
      const int row = channelList->FindChannelRow(curve->iChannelKey);
      const ChannelRow* record = channelList->GetRowRecord(row);
      if (!record || record->bShown) continue;
      channelList->SetRowSelected(row, true);
      added = true;
    }
    if (added) ShowSelectedChannels(false);
    curvePanel->GetGraph().GetEditor().UpdateSelectionRange();
    RefillTrackList();
  }
  UpdateMenus();
  RedrawCurvePanel();
}

bool AnimClipDialog::AnswerDopeSheetRow(std::string& query) {
  if (!curvePanel->IsDopeSheetShown()) return false;
  const int row = curvePanel->GetDopeSheet().FindRow(query);
  const int y = curvePanel->GetDopeSheetCtrl().ShowRow(row);
  if (y < 0) return false;
  query = std::to_string(y);
  return true;
}

bool AnimClipDialog::AnswerTrackKeys(std::string& query) const {
  const EngineCore::AnimClip* clip = core.GetClip();
  const std::size_t newline = query.find('\n');
  if (!clip || newline == std::string::npos) return false;
  const EngineCore::AnimChannel* channel =
      clip->GetChannel(EngineCore::AnimClip::ComputeChannelKey(query.substr(0, newline).c_str()));
  const std::uint32_t track = static_cast<std::uint32_t>(std::atoi(query.c_str() + newline + 1));
  const EngineCore::AnimCurve* curve = channel && channel->HasTrack(track) ? channel->GetCurve(track) : nullptr;
  if (!curve) return false;
  query = std::to_string(curve->GetKeyCount());
  return true;
}

bool AnimClipDialog::IsDopeSheetShown() const { return curvePanel->IsDopeSheetShown(); }

bool AnimClipDialog::HasPointSelection() const {
  return core.GetSelection().HasSelectionRange() ||
         (curvePanel->IsDopeSheetShown() && curvePanel->GetDopeSheet().HasSelection());
}

void AnimClipDialog::RedrawCurvePanel() { curvePanel->InvalidateViews(); }

bool AnimClipDialog::RunKey(UINT command) {
  const EngineCore::AnimClip* clip = core.GetClip();
  switch (command) {
    case Ids::kKeyNextFrame: MoveTimeCursor(1.0f); return true;
    case Ids::kKeyPreviousFrame: MoveTimeCursor(-1.0f); return true;
    case Ids::kKeyFirstKey:
    case Ids::kKeyLastKey:
      if (clip) {
        curvePanel->GoToFrame(
            static_cast<float>(command == Ids::kKeyFirstKey ? clip->GetFirstKeyFrame() : clip->GetLastKeyFrame()));
      }
      return true;
    case Ids::kKeyFitAll: curvePanel->FitAll(); return true;
    case Ids::kKeyFrameSelection: curvePanel->FrameSelection(); return true;
    case Ids::kKeyPlay: curvePanel->OnCommand(Ids::kCtlPlayButton); return true;
    default: break;
  }
  // The tangent types' keys act on selected keys only; without any they go on as typed.
  if (command >= Ids::kCmdSelectionTangents && command < Ids::kCmdSelectionTangents + EngineCore::kTangentTypeCount &&
      !HasPointSelection()) {
    return false;
  }
  return RunCommand(command);
}

void AnimClipDialog::MoveTimeCursor(float delta) {
  curvePanel->GoToFrame(std::max(0.0f, core.GetTimeCursor() + delta));
}

bool AnimClipDialog::IsFilterBox(UINT id) const {
  return std::find(std::begin(kFilterBoxIds), std::end(kFilterBoxIds), id) != std::end(kFilterBoxIds);
}

bool AnimClipDialog::OnCommand(UINT id) {
  if (IsFilterBox(id)) {
    ApplyFilterBoxes();
    return true;
  }
  // The graph's key menu sends the Selection menu's tangent commands up here, the dope sheet's
  // menu its edits.
  if ((id >= Ids::kCmdSelectionTangents && id < Ids::kCmdSelectionTangents + EngineCore::kTangentTypeCount) ||
      id == Ids::kCmdCopyPoints || id == Ids::kCmdPastePoints || id == Ids::kCmdRemovePoints ||
      id == Ids::kCmdDuplicateKeys || id == Ids::kCmdScaleKeysInTime) {
    return RunCommand(id);
  }
  return GUI_Dialog::OnCommand(id);
}

bool AnimClipDialog::OnPaneNotify(const GUI_NotifyHeader& header) {
  switch (header.code) {
    case Ids::PanelNotify_RecordKey: CreatePoint(true); return true;
    case Ids::PanelNotify_ClipChanged: OnClipChanged(); return true;
    case Ids::PanelNotify_SelectionChanged:
      RefillTrackList();
      UpdateMenus();
      return true;
    case Ids::PanelNotify_ViewChanged: OnViewChanged(); return true;
    case Ids::PanelNotify_ObjectChosen:
      SyncObjectChoice(true);
      RedrawCurvePanel();
      return true;
    case Ids::ChannelNotify_SelectionChanged: ShowSelectedChannels(true); return true;
    case Ids::ChannelNotify_Create: OnCreateChannel(); return true;
    case Ids::ChannelNotify_Edit: OnEditChannel(); return true;
    case Ids::ChannelNotify_Remove: RemoveSelectedChannels(); return true;
    case Ids::TrackNotify_CurveSelected:
      RedrawCurvePanel();
      UpdateMenus();
      return true;
    case Ids::TrackNotify_RowChanged: UpdateMenus(); return true;
    default: return false;
  }
}

bool AnimClipDialog::OnFilterNotify(int code) {
  if (code == GUI_EditBox::NotifyValueChanged || code == GUI_EditBox::NotifyEnter) {
    channelList->SetFilter(EngineCore::String(filterEdit.GetWindowText()));
    return true;
  }
  if (code == GUI_EditBox::NotifyEscape) {
    filterEdit.SetWindowText("");
    channelList->SetFilter(EngineCore::String());
    return true;
  }
  return false;
}

void AnimClipDialog::OnSplitterMoved(const GUI_Wnd* splitter, long distance) {
  if (splitter == horizontalSplitter.get()) {
    chosenTopHeight = topHeight + static_cast<int>(distance);
  } else {
    chosenLeftWidth = leftWidth + static_cast<int>(distance);
  }
  Invalidate(true);
  CRect client;
  GetClientRect(client);
  FitChosenSizes(client.Width(), client.Height());
  LayOut(client.Width(), client.Height());
  UpdateWindow();
}

bool AnimClipDialog::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) {
  const GUI_Wnd* from = header.hwndFrom;
  if ((from == curvePanel.get() || from == channelList.get() || from == trackList.get()) && OnPaneNotify(header)) {
    return true;
  }
  if (from == &filterEdit && OnFilterNotify(header.code)) return true;
  if (header.code == GUI_SplitterControl::NotifyMoved &&
      (from == horizontalSplitter.get() || from == verticalSplitter.get())) {
    OnSplitterMoved(from, payload.distance);
    return true;
  }
  return GUI_Dialog::OnNotify(header, payload, result);
}

bool AnimClipDialog::PreTranslateMessage(const GUI_Msg& msg) {
  // Keys typed into an edit box edit its text.
  if (msg.message != WM_KEYDOWN || GUI_Wnd::GetFocus() == &filterEdit || dynamic_cast<const GUI_EditBox*>(msg.hwnd)) {
    return GUI_Dialog::PreTranslateMessage(msg);
  }
  const EditorToolkit::KeyManager* keys = EditorToolkit::EditorKernel::GetInstance()->GetKeyManager();
  const KeyBinding* binding =
      KeyBindings::Find(static_cast<UINT>(msg.wParam), keys->ControlKeyPressed(), keys->ShiftKeyPressed());
  if (binding && RunKey(binding->command)) return true;
  return GUI_Dialog::PreTranslateMessage(msg);
}

}  // namespace Tarvel
