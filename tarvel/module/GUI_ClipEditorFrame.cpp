#include "module/GUI_ClipEditorFrame.h"

#include <algorithm>

#include "EditorCore/GUI_ComboxEnterDialog.h"
#include "EditorCore/GUI_DC.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "EditorCore/GUI_Module.h"
#include "EditorCore/GUI_ModuleManager.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorCore/GUI_ThemeManager.h"
#include "EditorToolkit/GUI_SaveDialog.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "EngineToolkit/FileSystem.h"
#include "curves/EditHistory.h"
#include "curves/EditStep.h"
#include "curves/FrameworkMessages.h"
#include "graph/GUI_GraphCtrl.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/GUI_KeyboardShortcutsDialog.h"
#include "module/GUI_OpenClipPane.h"
#include "module/ModuleExports.h"
#include "resources/KeyBindings.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"
#include "resources/ModuleText.h"
#include "tools/KeyTools.h"

namespace Tarvel {

using namespace EditorCore;

namespace {

struct MenuItem {
  int popup;
  UINT id;  // 0: separator
  const char* text;
  int themeIcon;     // -1: none
  UINT moduleIcon;   // 0: none
  int submenu = -1;  // the popup this item opens, which holds id 0
};

// The menus, then the submenus of Track and Selection; the bar shows kBarOrder.
constexpr const char* kPopupTexts[9] = {"Animation Clip", "Channel",  "Track", "Selection", "Tangents",
                                        "Interpolation",  "Tangents", "Edit",  "Help"};
constexpr int kTrackTangents = 4;
constexpr int kInterpolation = 5;
constexpr int kSelectionTangents = 6;
constexpr int kEdit = 7;
constexpr int kHelp = 8;
constexpr int kBarOrder[] = {0, kEdit, 1, 2, 3, kHelp};
// Positions on the bar of the Channel, Track and Selection menus.
constexpr UINT kChannelPosition = 2;
constexpr UINT kTrackPosition = 3;
constexpr UINT kSelectionPosition = 4;
constexpr const char* kAboutText =
    "An animation curve editor: every keyed component of a clip's tracks as a curve of its own, each key at its "
    "own time with its own interpolation, written back into the clip at once. Clips are glTF 2.0 files.";
constexpr const char* kInterpolationTip =
    "A track has one interpolation: changing it on one axis changes it on the track's other axes too";

constexpr MenuItem kMenuItems[] = {
    {0, Ids::kCmdClipCreate, "Create", Ids::kThemeIconNew, 0},
    {0, Ids::kCmdClipOpen, "Open", Ids::kThemeIconOpen, 0},
    {0, Ids::kCmdClipSave, "Save", Ids::kThemeIconSave, 0},
    {0, Ids::kCmdClipSaveAll, "Save All", Ids::kThemeIconSaveAll, 0},
    {0, 0, nullptr, -1, 0},
    {0, Ids::kCmdClipFrameRate, "Frame Rate...", -1, 0},
    {0, 0, nullptr, -1, 0},
    {0, Ids::kCmdClipClose, "Close", Ids::kThemeIconClose, 0},
    {0, Ids::kCmdClipCloseAll, "Close All", Ids::kThemeIconCloseAll, 0},
    {kEdit, Ids::kCmdUndo, "Undo", -1, 0},
    {kEdit, Ids::kCmdRedo, "Redo", -1, 0},
    {kEdit, 0, nullptr, -1, 0},
    {kEdit, Ids::kCmdSelectAll, "Select All", -1, 0},
    {kEdit, Ids::kCmdDeselect, "Deselect", -1, 0},
    {kEdit, 0, nullptr, -1, 0},
    {kEdit, Ids::kCmdDopeSheet, "Dope Sheet", -1, Ids::kIconDopeSheet},
    {1, Ids::kCmdChannelCreate, "Create", Ids::kThemeIconNew, 0},
    {1, Ids::kCmdChannelEdit, "Edit", Ids::kThemeIconEdit, 0},
    {1, Ids::kCmdChannelRemove, "Remove", Ids::kThemeIconRemove, 0},
    {2, Ids::kCmdAddPoint, "Add Point at cursor", Ids::kThemeIconNew, 0},
    {2, Ids::kCmdRemoveAllPoints, "Remove All Points", Ids::kThemeIconRemove, 0},
    {2, 0, nullptr, -1, 0},
    {2, Ids::kCmdTrackScale, "Scale", Ids::kThemeIconScale, 0},
    {2, Ids::kCmdTrackSubdivise, "Subdivise", -1, Ids::kIconSubdivise},
    {2, Ids::kCmdTrackSmooth, "Smooth", -1, Ids::kIconSubdivise},
    {2, Ids::kCmdTrackFlip, "Flip", -1, Ids::kIconFlip},
    {2, Ids::kCmdTrackSubSample, "Subsample", -1, Ids::kIconSubdivise},
    {2, Ids::kCmdTrackEulerFilter, "Euler Filter", -1, 0},
    {2, Ids::kCmdTrackFilterNoise, "Filter Noise...", -1, 0},
    {2, 0, nullptr, -1, 0},
    {2, 0, nullptr, -1, 0, kTrackTangents},
    {2, 0, nullptr, -1, 0, kInterpolation},
    {kInterpolation, Ids::kCmdInterpolationConstant, "Constant", -1, 0},
    {kInterpolation, Ids::kCmdInterpolationLinear, "Linear", -1, 0},
    {kInterpolation, Ids::kCmdInterpolationSmooth, "Smooth", -1, 0},
    {3, Ids::kCmdCopyPoints, "Copy Points", Ids::kThemeIconCopy, 0},
    {3, Ids::kCmdPastePoints, "Paste Points", Ids::kThemeIconPaste, 0},
    {3, Ids::kCmdRemovePoints, "Remove Points", Ids::kThemeIconRemove, 0},
    {3, Ids::kCmdDuplicateKeys, "Duplicate Keys", -1, 0},
    {3, Ids::kCmdScaleKeysInTime, "Scale Keys in Time...", -1, 0},
    {3, 0, nullptr, -1, 0},
    {3, Ids::kCmdSelectionScale, "Scale", Ids::kThemeIconScale, 0},
    {3, Ids::kCmdSelectionSubdivise, "Subdivise", -1, Ids::kIconSubdivise},
    {3, Ids::kCmdSelectionSmooth, "Smooth", -1, Ids::kIconSubdivise},
    {3, Ids::kCmdSelectionFlip, "Flip", -1, Ids::kIconFlip},
    {3, Ids::kCmdSelectionSubSample, "Subsample", -1, Ids::kIconSubdivise},
    {3, Ids::kCmdSelectionEulerFilter, "Euler Filter", -1, 0},
    {3, Ids::kCmdSelectionFilterNoise, "Filter Noise...", -1, 0},
    {3, 0, nullptr, -1, 0},
    {3, 0, nullptr, -1, 0, kSelectionTangents},
    {kHelp, Ids::kCmdKeyboardShortcuts, "Keyboard Shortcuts", -1, 0},
    {kHelp, Ids::kCmdAbout, "About Tarvel", -1, 0},
};

void EnableItem(GUI_Menu* menu, UINT idOrPosition, UINT by, bool enable) {
  if (menu) menu->EnableMenuItem(idOrPosition, by | (enable ? MF_ENABLED : (MF_GRAYED | MF_DISABLED)));
}

}  // namespace

GUI_ClipEditorFrame::GUI_ClipEditorFrame()
    : openPane(std::make_unique<GUI_OpenClipPane>(this)), tabHost(std::make_unique<GUI_ClipTabsDialog>(this)) {}

GUI_ClipEditorFrame::~GUI_ClipEditorFrame() {
  // The tab host's pages release their clips as they go.
  tabHost.reset();
  openPane.reset();
  for (auto& popup : popups) popup.reset();
  menu.reset();
}

bool GUI_ClipEditorFrame::Create(GUI_Wnd* parent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return GUI_Dialog::Create(Ids::kTplFrame, parent);
}

bool GUI_ClipEditorFrame::OnInitDialog() {
  GUI_Dialog::OnInitDialog();
  BuildMenu();
  if (!tabHost->Create(this) || !openPane->Create(this)) {
    EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the editor's panes could not be made");
  }
  CRect client;
  GetClientRect(client);
  OnSize(0, client.Width(), client.Height());
  UpdateMenus();
  return true;
}

void GUI_ClipEditorFrame::BuildMenu() {
  menu = std::make_unique<GUI_Menu>();
  bool made = menu->CreateMenu();
  for (auto& popup : popups) {
    popup = std::make_unique<GUI_Menu>();
    made = popup->CreatePopupMenu() && made;
  }
  if (!made) EngineCore::Log::Write(EngineCore::Log::Error, "Tarvel: the module's menu could not be made");
  // The tangent types fill both Tangents submenus; the selected keys' types have the keys 1 to 6.
  GUI_GraphCtrl::AppendTangentTypes(*popups[kTrackTangents], Ids::kCmdTrackTangents, false);
  GUI_GraphCtrl::AppendTangentTypes(*popups[kSelectionTangents], Ids::kCmdSelectionTangents, true);
  for (const MenuItem& item : kMenuItems) {
    GUI_Menu& popup = *popups[static_cast<std::size_t>(item.popup)];
    if (item.submenu >= 0) {
      const auto sub = static_cast<std::size_t>(item.submenu);
      popup.AppendMenu(MF_POPUP, popups[sub].get(), ModuleText::Translate(kPopupTexts[sub]));
      continue;
    }
    if (item.id == 0) {
      popup.AppendSeparator();
      continue;
    }
    GUI_Icon* icon = item.moduleIcon ? LoadIconInModule(static_cast<unsigned short>(item.moduleIcon))
                                     : GUI_ThemeManager::GetIcon(item.themeIcon);
    popup.AppendMenu(MF_STRING, item.id, ModuleText::Translate(item.text) + KeyBindings::MenuSuffix(item.id), icon);
  }
  for (UINT id : {Ids::kCmdInterpolationConstant, Ids::kCmdInterpolationLinear, Ids::kCmdInterpolationSmooth}) {
    popups[kInterpolation]->SetMenuItemToolTip(id, ModuleText::Translate(kInterpolationTip));
  }
  for (const int popup : kBarOrder) {
    const auto index = static_cast<std::size_t>(popup);
    menu->AppendMenu(MF_POPUP, popups[index].get(), ModuleText::Translate(kPopupTexts[index]));
  }
}

void GUI_ClipEditorFrame::OnSize(UINT type, int cx, int cy) {
  GUI_Dialog::OnSize(type, cx, cy);
  openPane->MoveWindow(0, 0, cx, cy);
  tabHost->MoveWindow(0, 0, cx, cy);
}

bool GUI_ClipEditorFrame::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  dc.DrawBitmap(GUI_ThemeManager::GetBitmap(Ids::kThemeBackground), client);
  return true;
}

void GUI_ClipEditorFrame::OnClose() {
  CloseAllClips(false);
  GUI_Dialog::OnClose();
}

void GUI_ClipEditorFrame::OnSetFocus() {
  if (AnimClipDialog* page = GetCurrentPage()) page->SetFocus();
}

AnimClipDialog* GUI_ClipEditorFrame::GetCurrentPage() const { return tabHost ? tabHost->GetCurrentPage() : nullptr; }

EngineCore::AnimClip* GUI_ClipEditorFrame::GetCurrentClip() const {
  const AnimClipDialog* page = GetCurrentPage();
  return page ? page->GetClip() : nullptr;
}

void GUI_ClipEditorFrame::OpenClip(EngineCore::AnimClip* clip) {
  if (!clip) return;
  if (std::find(openClips.begin(), openClips.end(), clip) == openClips.end()) {
    openClips.push_back(clip);
    UpdateMenus();
  }
  tabHost->SendMessage(Ids::kWndOpenClip, reinterpret_cast<WPARAM>(clip), 0);
}

bool GUI_ClipEditorFrame::CloseClip(EngineCore::AnimClip* clip, bool ask) {
  if (!clip) return false;
  const auto it = std::find(openClips.begin(), openClips.end(), clip);
  if (it == openClips.end()) return true;
  tabHost->SendMessage(Ids::kWndCloseClip, reinterpret_cast<WPARAM>(clip), ask ? 1 : 0);
  // The tab host handles the message before SendMessage returns: a tab still there for every
  // open clip means the page refused to close.
  if (tabHost->GetTabCount() == static_cast<int>(openClips.size())) return false;
  openClips.erase(std::find(openClips.begin(), openClips.end(), clip));
  UpdateMenus();
  RedrawNow();
  return true;
}

bool GUI_ClipEditorFrame::CloseAllClips(bool ask) {
  if (ask) {
    EditorToolkit::GUI_SaveDialog dialog(GUI_MainFrame::GetMainWnd());
    CollectUnsavedClips(dialog.GetSaveList());
    if (dialog.GetUnsavedCount() > 0 && dialog.DoModal() != IDOK) return false;
    for (EngineCore::AnimClip* clip : openClips) AnimClipDialog::RevertUnsaved(*clip);
  }
  while (!openClips.empty()) {
    EngineCore::AnimClip* clip = openClips.front();
    tabHost->SendMessage(Ids::kWndCloseClip, reinterpret_cast<WPARAM>(clip), 0);
    openClips.erase(openClips.begin());
    UpdateMenus();
    RedrawNow();
  }
  return true;
}

void GUI_ClipEditorFrame::CollectUnsavedClips(EditorToolkit::SaveList* saveList) {
  for (EngineCore::AnimClip* clip : openClips) {
    if (clip->IsModified()) EditorToolkit::SaveList::AddResource(saveList, clip);
  }
}

void GUI_ClipEditorFrame::ReleasePages() {
  if (tabHost) tabHost->ReleasePages();
}

void GUI_ClipEditorFrame::RedrawNow() {
  Invalidate(true);
  UpdateWindow();
}

void GUI_ClipEditorFrame::UpdateMenus() {
  const bool anyOpen = !openClips.empty();
  if (menu) {
    for (UINT id :
         {Ids::kCmdClipSave, Ids::kCmdClipSaveAll, Ids::kCmdClipFrameRate, Ids::kCmdClipClose, Ids::kCmdClipCloseAll}) {
      EnableItem(menu.get(), id, MF_BYCOMMAND, anyOpen);
    }
    AnimClipDialog* page = GetCurrentPage();
    EnableItem(menu.get(), kChannelPosition, MF_BYPOSITION, tabHost && page && page->GetClip());
    EnableItem(menu.get(), kTrackPosition, MF_BYPOSITION, page && page->HasEditableCurves());
    EnableItem(menu.get(), kSelectionPosition, MF_BYPOSITION, page && page->HasPointSelection());
    CheckTangentsAndInterpolation(page);
    ShowHistorySteps(page);
  }
  tabHost->ShowWindow(anyOpen);
  openPane->ShowWindow(!anyOpen);
}

void GUI_ClipEditorFrame::ShowHistorySteps(const AnimClipDialog* page) {
  // Undo and Redo name the step they take back or make again, and are greyed without one.
  const EditHistory* history = page ? &page->GetCore().GetHistory() : nullptr;
  const EditStep* undo = history ? history->GetStepToUndo() : nullptr;
  const EditStep* redo = history ? history->GetStepToRedo() : nullptr;
  auto show = [this](UINT id, const char* verb, const EditStep* step, const char* key) {
    const std::string text = ModuleText::Translate(verb);
    menu->SetMenuItemText(id, (step ? text + " " + EditStep::Describe(step->label) : text) + key);
    EnableItem(menu.get(), id, MF_BYCOMMAND, step != nullptr);
  };
  show(Ids::kCmdUndo, "Undo", undo, "\tCtrl+Z");
  show(Ids::kCmdRedo, "Redo", redo, "\tCtrl+Y");
  EnableItem(menu.get(), Ids::kCmdSelectAll, MF_BYCOMMAND, page != nullptr);
  EnableItem(menu.get(), Ids::kCmdDeselect, MF_BYCOMMAND, page && page->HasPointSelection());
  EnableItem(menu.get(), Ids::kCmdDopeSheet, MF_BYCOMMAND, page != nullptr);
  menu->CheckMenuItem(Ids::kCmdDopeSheet,
                      MF_BYCOMMAND | (page && page->IsDopeSheetShown() ? MF_CHECKED : MF_UNCHECKED));
}

void GUI_ClipEditorFrame::CheckTangentsAndInterpolation(const AnimClipDialog* page) {
  // The marks show what the selected curves (and keys) share, nothing where they differ.
  auto check = [this](UINT id, bool on) { menu->CheckMenuItem(id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
  for (const bool selection : {false, true}) {
    const auto shared = page ? KeyTools::SharedTangentType(page->GetCore(), selection) : std::nullopt;
    const UINT first = selection ? Ids::kCmdSelectionTangents : Ids::kCmdTrackTangents;
    for (int type = 0; type < EngineCore::kTangentTypeCount; ++type) {
      check(first + static_cast<UINT>(type), shared && static_cast<int>(*shared) == type);
    }
  }
  const auto how = page ? KeyTools::SharedInterpolation(page->GetCore()) : std::nullopt;
  check(Ids::kCmdInterpolationConstant, how == EditorToolkit::Curve2::Step);
  check(Ids::kCmdInterpolationLinear, how == EditorToolkit::Curve2::Linear);
  check(Ids::kCmdInterpolationSmooth, how == EditorToolkit::Curve2::Cubic);
}

void GUI_ClipEditorFrame::ProcessDnD(CPoint point) {
  EnableWindow(false);
  GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame();
  GUI_DnDManager* dnd = mainFrame ? mainFrame->GetDnDManager() : nullptr;
  for (int i = 0; dnd && i < dnd->GetDataCount(); ++i) {
    const GUI_DnDData* item = dnd->GetDataAt(i);
    if (item->dataType != Ids::kResourceDataType) {
      tabHost->ProcessDnD(point);
      continue;
    }
    std::string name = item->name;
    // "Walk.gltf" names the clip Walk; a leading dot (".hidden", ".") is part of the name.
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    if (name.empty()) continue;
    if (EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name)) {
      OpenClip(clip);
      clip->Release();
    }
  }
  EnableWindow(true);
}

void GUI_ClipEditorFrame::OnMenuCommand(UINT commandId) {
  AnimClipDialog* page = GetCurrentPage();
  switch (commandId) {
    case Ids::kCmdClipCreate:
      FrameworkMessages::SendTo(FrameworkMessages::FindModule(Ids::kClipCreatorModule), Ids::kMsgCreateClip, 1, 0);
      UpdateMenus();
      return;
    case Ids::kCmdClipOpen: OpenFromClipFolder(); return;
    case Ids::kCmdClipSave: SaveCurrentClip(); return;
    case Ids::kCmdKeyboardShortcuts: {
      GUI_KeyboardShortcutsDialog shortcuts(GUI_MainFrame::GetMainWnd());
      shortcuts.DoModal();
      return;
    }
    case Ids::kCmdAbout: {
      GUI_MessageDialog about(
          std::string(Ids::kModuleName) + " " + Ids::kModuleVersion + "\n\n" + ModuleText::Translate(kAboutText),
          GUI_MessageDialog::TypeOk, GUI_MainFrame::GetMainWnd());
      about.DoModal();
      return;
    }
    case Ids::kCmdClipSaveAll: SaveAllClips(); return;
    case Ids::kCmdClipClose: CloseClip(GetCurrentClip(), true); return;
    case Ids::kCmdClipCloseAll: CloseAllClips(true); return;
    default: break;
  }
  if (page && page->RunCommand(commandId)) return;
  tabHost->OnCommand(commandId);
}

void GUI_ClipEditorFrame::OpenFromClipFolder() {
  auto folder = EngineToolkit::FileSystem::GetInstance().GetFolder(EngineToolkit::FileSystem::AnimClipFolder);
  if (!folder || folder->GetFileCount() == 0) {
    GUI_MessageDialog message(ModuleText::Translate("No Animation Clip found. Please create one."),
                              GUI_MessageDialog::TypeOk, GUI_MainFrame::GetMainWnd());
    message.DoModal();
    OnMenuCommand(Ids::kCmdClipCreate);
    return;
  }
  GUI_ComboxEnterDialog dialog(GUI_MainFrame::GetMainWnd());
  dialog.SetTitle(ModuleText::Translate("Open"));
  dialog.SetPrompt(ModuleText::Translate("Select an Animation Clip :"));
  dialog.SetIcon(GUI_ThemeManager::GetIcon(Ids::kThemeOpenIcon));
  EngineCore::String name;
  for (std::uint32_t i = 0; i < folder->GetFileCount(); ++i) {
    if (folder->GetFileName(i, name)) dialog.AddEntry(name.str());
  }
  if (dialog.DoModal() == IDOK) {
    if (EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(dialog.GetString())) {
      OpenClip(clip);
      clip->Release();
    }
  }
  UpdateMenus();
}

void GUI_ClipEditorFrame::SaveCurrentClip() {
  EngineCore::AnimClip* clip = GetCurrentClip();
  if (!clip) return;
  // A clip read again instead (its file changed on disk) was not saved, and did not fail.
  if (!clip->Save() && clip->IsModified()) {
    EngineCore::Log::Write(EngineCore::Log::Error, "AnimClip could not be saved");
  }
  FrameworkMessages::Broadcast(Ids::kMsgResourcesSaved, Ids::kAnimClipKind, 0);
  UpdateMenus();
}

void GUI_ClipEditorFrame::SaveAllClips() {
  // Clips of one file go out with one write of it.
  const std::vector<EngineCore::Resource*> clips(openClips.begin(), openClips.end());
  for (const EngineCore::Resource* clip : EngineCore::Resource::SaveAll(clips)) {
    EngineCore::Log::Write(EngineCore::Log::Error, "AnimClip %s could not be saved", clip->GetName().c_str());
  }
  FrameworkMessages::Broadcast(Ids::kMsgResourcesSaved, Ids::kAnimClipKind, 0);
  UpdateMenus();
}

}  // namespace Tarvel
