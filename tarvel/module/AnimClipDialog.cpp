#include "module/AnimClipDialog.h"

#include <algorithm>
#include <vector>

#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Module.h"
#include "EditorCore/GUI_ModuleManager.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/EditorKernel.h"
#include "EditorToolkit/GUI_SaveDialog.h"
#include "EngineCore/AnimTrack.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "channels/GUI_CreateChannelDialog.h"
#include "channels/GUI_EditChannelDialog.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/GUI_ClipEditorFrame.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "module/ModuleExports.h"
#include "module/ModuleIds.h"
#include "module/ModuleText.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

constexpr UINT kFilterBoxIds[6] = {Ids::kCtlFilterTranslation, Ids::kCtlFilterRotation, Ids::kCtlFilterScale,
                                   Ids::kCtlFilterX,           Ids::kCtlFilterY,        Ids::kCtlFilterZ};
constexpr UINT kFilterBoxIcons[6] = {Ids::kIconTranslation, Ids::kIconRotation, Ids::kIconScale,
                                     Ids::kIconX,           Ids::kIconY,        Ids::kIconZ};

CRect At(int left, int top, int width, int height) { return CRect(left, top, left + width, top + height); }

}  // namespace

AnimClipDialog::AnimClipDialog(GUI_ClipTabsDialog* owner)
    : tabHost(owner),
      channelList(std::make_unique<GUI_ChannelListCtrl>(this)),
      trackList(std::make_unique<GUI_TrackListCtrl>(this)),
      curvePanel(std::make_unique<GUI_CurvePanelDialog>(this)),
      verticalSplitter(std::make_unique<GUI_SplitterControl>()),
      horizontalSplitter(std::make_unique<GUI_SplitterControl>()) {}

AnimClipDialog::~AnimClipDialog() {
  // The lists and the graph point at the curves: they go before the document destroys them.
  curvePanel.reset();
  channelList.reset();
  trackList.reset();
  verticalSplitter.reset();
  horizontalSplitter.reset();
}

bool AnimClipDialog::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(Ids::kTplPage, parent);
}

void AnimClipDialog::DoDataExchange() {
  BindControl(Ids::kCtlFilterLabel, filterLabel);
  BindControl(Ids::kCtlFilterEdit, filterEdit);
  for (std::size_t i = 0; i < filterBoxes.size(); ++i) BindControl(kFilterBoxIds[i], filterBoxes[i]);
}

bool AnimClipDialog::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  CRect client;
  GetClientRect(client);
  // The panes, in this order, then the splitters with their ranges.
  channelList->Create(this);
  channelList->Refill();
  trackList->Create(this);
  curvePanel->Create(this);
  verticalSplitter->Create(this, GUI_SplitterControl::StyleVertical, CRect(), Ids::kCtlVerticalSplitter);
  horizontalSplitter->Create(this, GUI_SplitterControl::StyleHorizontal, CRect(), Ids::kCtlHorizontalSplitter);
  SetSplitterRanges(client.Width(), client.Height());
  leftWidth = kInitialLeftWidth;
  topHeight = client.Height() * 3 / 4;

  filterLabel.SetWindowText(ModuleText::Translate("Fast Filter :", "Tarvel_EditChannel"));
  for (std::size_t i = 0; i < filterBoxes.size(); ++i) {
    filterBoxes[i].SetIcon(LoadIconInModule(static_cast<unsigned short>(kFilterBoxIcons[i])));
    filterBoxes[i].Check(true);
  }
  LayOut(client.Width(), client.Height());
  channelList->Invalidate();
  trackList->Invalidate();
  RedrawCurvePanel();
  return true;
}

AnimClipDialog::Layout AnimClipDialog::ComputeLayout(int cx, int cy, int leftWidth, int topHeight) {
  const int w = leftWidth;
  const int h = topHeight;
  Layout layout;
  layout.filterLabel = At(1, 1, 60, 30);
  layout.filterEdit = At(61, 6, w - 64, 20);
  layout.channelList = At(1, 32, w - 1, h - 33);
  layout.horizontalSplitter = At(1, h, w - 1, 4);
  layout.trackList = At(1, h + 5, w - 1, cy - 37 - h);
  layout.verticalSplitter = At(w, 1, 4, cy - 2);
  layout.curveArea = At(w + 4, 1, cx - w - 5, cy - 2);
  // Boxes 3 and 4 (scale and X) stand 12 pixels apart to part the kinds from the axes.
  const int b = std::min((w - 30) / 7, 30);
  const int lefts[6] = {1, b + 4, 2 * b + 7, 3 * b + 19, 4 * b + 22, 5 * b + 25};
  for (std::size_t i = 0; i < 6; ++i) layout.filterBoxes[i] = At(lefts[i], cy - 31, b, 30);
  return layout;
}

void AnimClipDialog::LayOut(int cx, int cy) {
  const Layout layout = ComputeLayout(cx, cy, leftWidth, topHeight);
  auto place = [](GUI_Wnd& window, const CRect& rect) {
    if (window.IsWindow()) window.MoveWindow(rect);
  };
  place(filterLabel, layout.filterLabel);
  place(filterEdit, layout.filterEdit);
  place(*channelList, layout.channelList);
  place(*horizontalSplitter, layout.horizontalSplitter);
  place(*trackList, layout.trackList);
  for (std::size_t i = 0; i < filterBoxes.size(); ++i) place(filterBoxes[i], layout.filterBoxes[i]);
  place(*verticalSplitter, layout.verticalSplitter);
  place(*curvePanel, layout.curveArea);
}

void AnimClipDialog::SetSplitterRanges(int cx, int cy) {
  if (horizontalSplitter->IsWindow()) horizontalSplitter->SetRange(std::min(cy - 100, 100), cy - 100);
  if (verticalSplitter->IsWindow()) verticalSplitter->SetRange(std::min(cx - 200, 200), cx - 200);
}

void AnimClipDialog::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  if (topHeight > cy) topHeight = cy - 100;
  if (leftWidth > cx) leftWidth = std::min(cx - 200, 200);
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
  if (newClip == clip) return true;
  if (clip) {
    if (ask && clip->IsModified()) {
      EditorToolkit::GUI_SaveDialog dialog(GUI_MainFrame::GetMainWnd());
      EditorToolkit::SaveList::AddResource(dialog.GetSaveList(), clip);
      if (dialog.GetUnsavedCount() > 0 && dialog.DoModal() != IDOK) return false;
    }
    DetachClip();
  }
  AttachClip(newClip);
  return true;
}

void AnimClipDialog::OnSceneChanged(bool refillObjects) {
  if (!curvePanel->IsWindow()) return;
  if (refillObjects) {
    curvePanel->FillObjectList();
    curvePanel->SyncObjectChoice(true);
  } else {
    curvePanel->SyncObjectChoice(false);
  }
  curvePanel->UpdateRecordingControls();
  RedrawCurvePanel();
}

void AnimClipDialog::RefillObjectList() {
  if (!curvePanel->IsWindow()) return;
  curvePanel->FillObjectList();
  curvePanel->SyncObjectChoice(true);
}

bool AnimClipDialog::IsAutoRecording() const { return curvePanel->IsWindow() && curvePanel->autoRecord; }

void AnimClipDialog::OnPageOpened() {
  OnSceneChanged(true);
  if (channelList->GetItemCount() == 0) {
    ChannelDesc desc;
    desc.name = ModuleText::Translate("Default");
    CreateChannel(desc);
  }
  if (ChannelRow* first =
          channelList->GetItemCount() > 0 ? reinterpret_cast<ChannelRow*>(channelList->GetItemData(0)) : nullptr) {
    // Marked shown before the row turns selected, so that the list does not react itself.
    first->bShown = true;
    channelList->SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  ShowSelectedChannels(false);
}

void AnimClipDialog::ShowSelectedChannels(bool bSyncScene) {
  GUI_GraphCtrl& graph = *curvePanel->graph;
  graph.ClearCurves();
  trackList->ClearEntries();
  for (int n = 0; ChannelRow* row = channelList->GetSelectedRow(n); ++n) {
    if (const CurveSet::Curves* curves = GetChannelCurves(row->key)) {
      trackList->AddCurves(*curves);
      graph.aCurves.insert(graph.aCurves.end(), curves->begin(), curves->end());
    }
    row->bShown = true;
  }
  if (graph.IsWindow()) graph.FitAll();
  ApplyFilterBoxes();
  UpdateMenus();
  if (bSyncScene) SelectChannelObjects();
  if (curvePanel->IsWindow()) {
    curvePanel->UpdateRecordingControls();
    curvePanel->ShowObjectChoice();
  }
  RedrawCurvePanel();
  GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame();
  GUI_ModuleManager* modules = mainFrame ? mainFrame->GetModuleManager() : nullptr;
  if (GUI_Module* viewer = modules ? modules->GetModuleWithID(Ids::kViewerModule) : nullptr) {
    modules->SendFrameworkMessage(viewer, Ids::kMsgSceneSelection, reinterpret_cast<WPARAM>(scene), 0);
  }
}

void AnimClipDialog::SelectChannelObjects() {
  EngineCore::SceneEditionManager* selection = scene ? scene->GetEditionManager() : nullptr;
  if (!selection || !clip) return;
  curvePanel->chosenObjects.clear();
  selection->ClearObjectSelection(false);
  std::vector<EngineCore::SceneObject*> objects;
  scene->SearchAllObjects(kAllObjectTypes, objects);
  for (EngineCore::SceneObject* object : objects) {
    const EngineCore::AnimController* controller = object->GetController();
    if (!(object->GetTypeFlags() & EngineCore::SceneObject::TypeAnimated) || !controller ||
        !controller->HasClip(clip)) {
      continue;
    }
    const ChannelRow* row = channelList->GetChannelRow(controller->GetChannelKey());
    if (row && row->bShown) {
      curvePanel->chosenObjects.push_back(object);
      selection->ToggleObjectSelection(object);
    }
  }
}

void AnimClipDialog::ApplyFilterBoxes() {
  for (const auto& entry : trackList->entries) {
    CurveInfo& curve = *entry->curve;
    bool filtered = true;
    if (curve.iTrackType >= 1 && curve.iTrackType <= 3) filtered = !filterBoxes[curve.iTrackType - 1].IsChecked();
    if (curve.iComponent <= 2 && !filterBoxes[3 + curve.iComponent].IsChecked()) filtered = true;
    curve.bFiltered = filtered;
  }
  UpdateMenus();
  if (trackList->IsWindow()) trackList->Refill();
  RedrawCurvePanel();
}

void AnimClipDialog::CreateChannel(const ChannelDesc& desc) {
  if (!clip || desc.name.GetLength() < 2) return;
  if (clip->AddChannel(desc.name)) {
    int index = -1;
    for (std::uint32_t i = 0; i < clip->GetChannelCount() && index < 0; ++i) {
      if (clip->GetChannelAt(i)->GetName() == desc.name) index = static_cast<int>(i);
    }
    if (index >= 0) {
      EngineCore::AnimChannel& channel = *clip->GetChannelAt(static_cast<std::uint32_t>(index));
      const bool wanted[3] = {desc.bTranslation, desc.bRotation, desc.bScale};
      for (std::uint32_t type = EngineCore::AnimTrack::Translation; type <= EngineCore::AnimTrack::Scale; ++type) {
        if (!wanted[type - 1]) continue;
        channel.AddTrack(type);
        channel.GetCurve(type)->SetKeyType(type == EngineCore::AnimTrack::Rotation
                                               ? EngineCore::AnimCurve::KeyQuaternion
                                               : EngineCore::AnimCurve::KeyVector3);
      }
      BuildChannelCurves(clip->GetChannelKeyAt(static_cast<std::uint32_t>(index)), channel);
      RefreshDocument();
    }
    clip->SetModified(true);
  }
  if (scene) {
    if (GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame()) {
      mainFrame->GetModuleManager()->SendFrameworkMessageToAll(Ids::kMsgChannelCreated, reinterpret_cast<WPARAM>(scene),
                                                               0);
    }
  }
}

void AnimClipDialog::RemoveSelectedChannels() {
  if (!channelList->IsWindow() || !clip) return;
  std::vector<std::uint32_t> keys;
  for (int n = 0; const ChannelRow* row = channelList->GetSelectedRow(n); ++n) keys.push_back(row->key);
  for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
    clip->RemoveChannel(*it);
    clip->SetModified(true);
    RemoveChannelCurves(*it);
  }
  RefreshDocument();
}

void AnimClipDialog::RefreshDocument() {
  if (channelList->IsWindow()) channelList->Refill();
  if (trackList->IsWindow()) trackList->Refill();
  RedrawCurvePanel();
}

void AnimClipDialog::OnCreateChannel() {
  if (!clip) return;
  GUI_CreateChannelDialog dialog(GUI_MainFrame::GetMainWnd());
  if (dialog.DoModal() != IDOK) return;
  ChannelDesc desc = dialog.desc;
  if (desc.name.GetLength() < 2) {
    const std::string stem = ModuleText::Translate(channelList->nameStem.c_str());
    desc.name = EngineCore::String::Format("%s%d", stem.c_str(), channelList->GetHighestUnnamedNumber() + 1);
  }
  CreateChannel(desc);
}

void AnimClipDialog::OnEditChannel() {
  if (const ChannelRow* row = channelList->GetSelectedRow(0)) EditChannel(row->key);
}

void AnimClipDialog::EditChannel(std::uint32_t channelKey) {
  if (!clip) return;
  const int position = clip->FindChannelIndex(channelKey);
  if (position < 0) return;
  EngineCore::AnimChannel* channel = clip->GetChannelAt(static_cast<std::uint32_t>(position));
  GUI_EditChannelDialog dialog(GUI_MainFrame::GetMainWnd());
  dialog.desc.name = channel->GetName();
  dialog.desc.bTranslation = channel->HasTrack(EngineCore::AnimTrack::Translation);
  dialog.desc.bRotation = channel->HasTrack(EngineCore::AnimTrack::Rotation);
  dialog.desc.bScale = channel->HasTrack(EngineCore::AnimTrack::Scale);
  if (dialog.DoModal() != IDOK || dialog.desc.name.GetLength() < 2) return;
  const ChannelDesc& desc = dialog.desc;

  RemoveChannelCurves(channelKey);
  if (!clip->ChangeChannelNameAt(static_cast<std::uint32_t>(position), desc.name)) {
    // Another channel has that name: the channel keeps its own, and its curves come back.
    BuildChannelCurves(channelKey, *channel);
    RefreshDocument();
    return;
  }
  const std::uint32_t newKey = clip->GetChannelKeyAt(static_cast<std::uint32_t>(position));
  const bool wanted[3] = {desc.bTranslation, desc.bRotation, desc.bScale};
  for (std::uint32_t type = EngineCore::AnimTrack::Translation; type <= EngineCore::AnimTrack::Scale; ++type) {
    if (wanted[type - 1] && !channel->HasTrack(type)) {
      channel->AddTrack(type);
      channel->GetCurve(type)->SetKeyType(type == EngineCore::AnimTrack::Rotation ? EngineCore::AnimCurve::KeyQuaternion
                                                                                  : EngineCore::AnimCurve::KeyVector3);
    } else if (!wanted[type - 1] && channel->HasTrack(type)) {
      channel->RemoveTrack(type);
    }
  }
  BuildChannelCurves(newKey, *channel);
  RefreshDocument();
  const int row = channelList->FindItem(desc.name.str(), -1, true);
  if (row >= 0) {
    channelList->SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    if (ChannelRow* record = reinterpret_cast<ChannelRow*>(channelList->GetItemData(row))) record->bShown = true;
  }
}

bool AnimClipDialog::RunCommand(UINT commandId) {
  switch (commandId) {
    case Ids::kCmdChannelCreate: OnCreateChannel(); return true;
    case Ids::kCmdChannelEdit: OnEditChannel(); return true;
    case Ids::kCmdChannelRemove: RemoveSelectedChannels(); return true;
    case Ids::kCmdAddPoint: CreatePoint(true); return true;
    case Ids::kCmdRemoveAllPoints: RemoveTrackPoints(); return true;
    case Ids::kCmdCopyPoints: CopyPoints(); return true;
    case Ids::kCmdPastePoints: PastePoints(); return true;
    case Ids::kCmdRemovePoints: RemovePoints(); return true;
    case Ids::kCmdTrackScale: ScaleTrack(); return true;
    case Ids::kCmdTrackSubdivise: SubdiviseTrack(); return true;
    case Ids::kCmdTrackSmooth: SmoothTrack(); return true;
    case Ids::kCmdTrackFlip: FlipTrack(); return true;
    case Ids::kCmdTrackSubSample: SubSampleTrack(); return true;
    case Ids::kCmdSelectionScale: ScaleSelection(); return true;
    case Ids::kCmdSelectionSubdivise: SubdiviseSelection(); return true;
    case Ids::kCmdSelectionSubSample: SubSampleSelection(); return true;
    case Ids::kCmdSelectionSmooth: SmoothSelection(); return true;
    case Ids::kCmdSelectionFlip: FlipSelection(); return true;
    default: return false;
  }
}

void AnimClipDialog::RunChannelCommand(UINT commandId) {
  switch (commandId) {
    case Ids::kCmdListChannelCreate: OnCreateChannel(); break;
    case Ids::kCmdListChannelEdit: OnEditChannel(); break;
    case Ids::kCmdListChannelRemove: RemoveSelectedChannels(); break;
    default: break;
  }
}

void AnimClipDialog::OnResourcesSaved() {
  if (channelList->IsWindow()) channelList->Invalidate();
  if (trackList->IsWindow()) trackList->Refill();
  RedrawCurvePanel();
}

void AnimClipDialog::UpdateMenus() {
  if (tabHost && tabHost->frame) tabHost->frame->UpdateMenus();
}

bool AnimClipDialog::HasEditableCurves() const {
  return curvePanel->IsWindow() && curvePanel->graph->IsWindow() && curvePanel->graph->GetSelectedCurveCount() > 0;
}

bool AnimClipDialog::HasPointSelection() const {
  return curvePanel->IsWindow() && curvePanel->graph->IsWindow() && curvePanel->graph->HasSelectionRange();
}

void AnimClipDialog::OnGraphSelectionChanged() {
  if (trackList->IsWindow()) trackList->Refill();
  UpdateMenus();
}

void AnimClipDialog::ClearGraphSelectionRange() {
  if (!curvePanel->IsWindow() || !curvePanel->graph->IsWindow()) return;
  curvePanel->graph->ClearSelectionRange();
  curvePanel->graph->Invalidate();
}

void AnimClipDialog::RedrawCurvePanel() {
  if (curvePanel->IsWindow()) curvePanel->InvalidateViews();
}

std::vector<const CurveInfo*> AnimClipDialog::SteppingCurves() const {
  std::vector<const CurveInfo*> curves;
  const bool selection = curvePanel->graph->GetSelectedCurveCount() > 0;
  if (selection) {
    TrackEntry* entry = nullptr;
    for (int n = 0; trackList->GetSelectedEntry(n, entry); ++n) {
      if (entry->curve && entry->curve->bSelected) curves.push_back(entry->curve);
    }
  } else {
    for (int row = 0; row < trackList->GetItemCount(); ++row) {
      if (const CurveInfo* curve = trackList->GetRowCurve(row)) curves.push_back(curve);
    }
  }
  std::erase_if(curves, [](const CurveInfo* c) { return c->pCurve->GetPointCount() == 0; });
  return curves;
}

float AnimClipDialog::GetPreviousKeyFrame(float frame) const {
  if (!trackList->IsWindow() || !clip) return 0.0f;
  float result = static_cast<float>(clip->GetFirstKeyFrame());
  for (const CurveInfo* curve : SteppingCurves()) {
    const EditorToolkit::Curve2& points = *curve->pCurve;
    if (points.GetPointAt(0)->x >= frame) continue;
    int i = std::min<int>(points.SearchPreviousPoint(frame), static_cast<int>(points.GetPointCount()) - 1);
    if (points.GetPointAt(static_cast<std::uint32_t>(i))->x >= frame) --i;
    result = std::max(result, points.GetPointAt(static_cast<std::uint32_t>(i))->x);
  }
  return result;
}

float AnimClipDialog::GetNextKeyFrame(float frame) const {
  if (!trackList->IsWindow() || !clip) return 0.0f;
  float result = static_cast<float>(clip->GetLastKeyFrame());
  for (const CurveInfo* curve : SteppingCurves()) {
    const EditorToolkit::Curve2& points = *curve->pCurve;
    const int last = static_cast<int>(points.GetPointCount()) - 1;
    if (points.GetPointAt(static_cast<std::uint32_t>(last))->x <= frame) continue;
    int i = std::min(points.SearchPreviousPoint(frame), last);
    if (points.GetPointAt(static_cast<std::uint32_t>(i))->x <= frame) i = std::min(i + 1, last);
    result = std::min(result, points.GetPointAt(static_cast<std::uint32_t>(i))->x);
  }
  return result;
}

void AnimClipDialog::MoveTimeCursor(float delta) {
  if (!curvePanel->IsWindow()) return;
  curvePanel->SetTimeCursor(std::max(0.0f, curvePanel->timeCursor + delta));
}

bool AnimClipDialog::IsFilterBox(UINT id) const {
  return std::find(std::begin(kFilterBoxIds), std::end(kFilterBoxIds), id) != std::end(kFilterBoxIds);
}

bool AnimClipDialog::OnCommand(UINT id) {
  if (IsFilterBox(id)) {
    ApplyFilterBoxes();
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

bool AnimClipDialog::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) {
  if (header.hwndFrom == &filterEdit) {
    if (header.code == GUI_EditBox::NotifyValueChanged || header.code == GUI_EditBox::NotifyEnter) {
      channelList->SetFilter(EngineCore::String(filterEdit.GetWindowText()));
      return true;
    }
    if (header.code == GUI_EditBox::NotifyEscape) {
      filterEdit.SetWindowText("");
      channelList->SetFilter(EngineCore::String());
      return true;
    }
  }
  if (header.code == GUI_SplitterControl::NotifyMoved &&
      (header.hwndFrom == horizontalSplitter.get() || header.hwndFrom == verticalSplitter.get())) {
    if (header.hwndFrom == horizontalSplitter.get()) {
      topHeight += static_cast<int>(payload.distance);
    } else {
      leftWidth += static_cast<int>(payload.distance);
    }
    Invalidate(true);
    CRect client;
    GetClientRect(client);
    LayOut(client.Width(), client.Height());
    UpdateWindow();
    return true;
  }
  return GUI_Dialog::OnNotify(header, payload, result);
}

bool AnimClipDialog::PreTranslateMessage(const GUI_Msg& msg) {
  if (msg.message == WM_KEYDOWN && GUI_Wnd::GetFocus() != &filterEdit) {
    const bool control = EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->ControlKeyPressed();
    if (control && msg.wParam == 'Z') {
      Undo();
      return true;
    }
    if (control && msg.wParam == 'Y') {
      Redo();
      return true;
    }
    if (msg.wParam == 'K') {
      CreatePoint(true);
      return true;
    }
    if (msg.wParam == VK_DELETE) {
      RemovePoints();
      return true;
    }
    if (control && msg.wParam == 'C') {
      CopyPoints();
      return true;
    }
    if (control && msg.wParam == 'V') {
      PastePoints();
      return true;
    }
    if (msg.wParam == VK_RIGHT || msg.wParam == VK_LEFT) {
      MoveTimeCursor(msg.wParam == VK_RIGHT ? 1.0f : -1.0f);
      return true;
    }
  }
  return GUI_Dialog::PreTranslateMessage(msg);
}

void AnimClipDialog::OnChannelCurvesBuilt(const CurveSet::Curves& curves) { channelList->AddChannelRow(curves); }

void AnimClipDialog::OnChannelCurvesRemoving(std::uint32_t channelKey) {
  channelList->RemoveChannelRow(channelKey);
  trackList->RemoveChannelEntries(channelKey);
  curvePanel->graph->RemoveChannelCurves(channelKey);
  RedrawCurvePanel();
}

void AnimClipDialog::OnAllCurvesDestroyed() {
  channelList->ClearRows();
  trackList->ClearEntries();
  curvePanel->graph->ClearCurves();
}

const TrackRows* AnimClipDialog::GetTrackRows() const { return trackList.get(); }

void AnimClipDialog::ShowPleaseWait(bool show) {
  if (GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame()) mainFrame->ShowPleaseWaitDialog(show);
}

}  // namespace Tarvel
