#include "HostWindow.h"

#include <algorithm>

#include <QFileDialog>
#include <QLabel>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "EditorToolkit/EditorKernel.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "FileDropTarget.h"
#include "Formats/ClipFileHost.h"
#include "Formats/ClipFormats.h"
#include "LogPane.h"
#include "PanelDropTarget.h"
#include "ResourceBrowser.h"

namespace TarvelHost {

namespace fs = std::filesystem;
using namespace EditorCore;
using EngineCore::Log;

namespace {

constexpr int kBarWidth = 5;
constexpr UINT kBrowserBarId = 0x7F01;
constexpr UINT kViewerBarId = 0x7F02;

// A side pane's width: the user's, or a share of the window's, within the pane's limits.
int PaneWidth(int chosen, int windowWidth, double share, int minimum, int maximum) {
  return std::clamp(chosen > 0 ? chosen : static_cast<int>(windowWidth * share), minimum, maximum);
}
constexpr int kLogHeight = 130;
constexpr int kStatusHeight = 22;
constexpr int kResourceDataType = 10;

std::atomic<unsigned> heldModifiers{0};

unsigned CurrentModifiers() {
  using EditorToolkit::KeyManager;
  unsigned modifiers = heldModifiers.load();
  if (GUI_Wnd::IsKeyDown(VK_CONTROL)) modifiers |= KeyManager::Control;
  if (GUI_Wnd::IsKeyDown(VK_SHIFT)) modifiers |= KeyManager::Shift;
  if (GUI_Wnd::IsKeyDown(VK_MENU)) modifiers |= KeyManager::Alt;
  return modifiers;
}

QWidget* WidgetOf(const GUI_Wnd* wnd) { return wnd ? static_cast<QWidget*>(wnd->GetSafeHwnd()) : nullptr; }

}  // namespace

HostWindow::HostWindow() : clipCreator(session) {}

HostWindow::~HostWindow() { Shutdown(); }

void HostWindow::SetHeldModifiers(unsigned modifiers) { heldModifiers = modifiers; }

bool HostWindow::Start(const std::string& modulesFolder, const std::string& projectFolder) {
  if (started) return false;
  if (!Create("Tarvel", CRect(60, 40, 60 + 1280, 40 + 800))) return false;
  started = true;
  EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource(CurrentModifiers);
  // A clip the user's own action could not open or save is worth more than a log line.
  Formats::ClipFileHost::SetReporter([this](const std::string& sentence) {
    GUI_MessageDialog message(sentence, GUI_MessageDialog::TypeOk, this);
    message.DoModal();
  });
  Formats::ClipFileHost::SetAsker([this](const std::string& question) {
    GUI_MessageDialog message(question, GUI_MessageDialog::TypeYesNo, this);
    return message.DoModal() == IDYES;
  });
  // The last answer of a choice is the one that changes nothing.
  Formats::ClipFileHost::SetChooser([this](const std::string& question, const std::vector<std::string>& answers) {
    GUI_MessageDialog message(question, answers, static_cast<int>(answers.size()), this);
    return message.DoModal();
  });
  Formats::ClipFileHost::SetReloadListener([this](EngineCore::Resource& clip) { TellClipReloaded(clip); });
  SetTimer(kFileWatchTimer, kFileWatchMilliseconds);
  SetTimer(kRecoveryTimer, kRecoveryMilliseconds);

  QWidget* main = WidgetOf(this);
  main->setMinimumSize(kMinimumWidth, kMinimumHeight);
  browserBar = std::make_unique<GUI_SplitterControl>();
  viewerBar = std::make_unique<GUI_SplitterControl>();
  if (!browserBar->Create(this, GUI_SplitterControl::StyleVertical, CRect(), kBrowserBarId) ||
      !viewerBar->Create(this, GUI_SplitterControl::StyleVertical, CRect(), kViewerBarId)) {
    Log::Write(Log::Warning, "The pane bars could not be made: the panes keep their widths");
  }
  logPane = new LogPane(main);
  browser = new ResourceBrowser(main);
  browser->SetOpenHandler([this](const std::string& name) { OpenClip(name); });
  new FileDropTarget(main, [this](const std::string& path) { OpenProject(path); });
  statusBar = new QLabel(main);
  statusBar->setContentsMargins(6, 0, 6, 0);
  statusBar->setAutoFillBackground(true);

  BuildMenus();
  clipCreator.SetCreatedHandler([this](const std::string&) { RefreshClips(); });
  EngineCore::Resource::SetSavedListener([this](const EngineCore::Resource& resource) {
    const EngineCore::ResourceStorage* storage = resource.GetStorage();
    lastSaved = SavedLine(resource.GetName().str(), storage ? storage->GetFilePath() : std::string());
    Log::Write(Log::Info, "%s", lastSaved.c_str());
    UpdateStatus();
  });

  loader.LoadFolder(modulesFolder);
  for (const ModuleLoader::LoadedModule& loaded : loader.GetModules()) AddModule(loaded.module, loaded.name, true);
  AddModule(&viewer, viewer.GetModuleName(), false);
  AddModule(&clipCreator, clipCreator.GetModuleName(), false);
  CreateModuleWindows();
  followAnimated = QSettings(QString::fromStdString(SettingsPath()), QSettings::IniFormat)
                       .value(QStringLiteral("viewer/followAnimated"), true)
                       .toBool();
  ApplyFollow();

  ShowWindow(true);
  if (!projectFolder.empty()) OpenProject(projectFolder);
  UpdateStatus();
  return true;
}

void HostWindow::BuildMenus() {
  hostMenu.CreateMenu();
  fileMenu.CreatePopupMenu();
  fileMenu.AppendMenu(MF_STRING, kCmdOpenClipFile, "Open Clip...\tCtrl+O");
  fileMenu.AppendMenu(MF_STRING, kCmdOpenProject, "Open Project...");
  fileMenu.AppendSeparator();
  fileMenu.AppendMenu(MF_STRING, kCmdQuit, "Quit\tCtrl+Q");
  viewMenu.CreatePopupMenu();
  viewMenu.AppendMenu(MF_STRING | MF_CHECKED, kCmdViewResources, "Resource Browser");
  viewMenu.AppendMenu(MF_STRING | MF_CHECKED, kCmdViewViewer, "Viewer");
  viewMenu.AppendMenu(MF_STRING | MF_CHECKED, kCmdViewLog, "Log");
  viewMenu.AppendSeparator();
  viewMenu.AppendMenu(MF_STRING, kCmdFrameAll, "Frame All\tA");
  viewMenu.AppendMenu(MF_STRING, kCmdFrameSelected, "Frame Selected\tF");
  viewMenu.AppendMenu(MF_STRING | MF_CHECKED, kCmdFollowAnimated, "Follow Animated Objects");
  hostMenu.AppendMenu(MF_POPUP, &fileMenu, "File");
  hostMenu.AppendMenu(MF_POPUP, &viewMenu, "View");
  GetMenuBar()->SetHostMenu(&hostMenu);
  GetMenuBar()->SetCommandHandler([this](UINT id) { RouteCommand(id); });
}

void HostWindow::AddModule(GUI_Module* module, const std::string& name, bool fromLibrary) {
  if (!GetModuleManager()->RegisterModule(module)) return;
  HostedModule entry;
  entry.module = module;
  entry.name = name;
  entry.id = module->GetModuleID();
  entry.fromLibrary = fromLibrary;
  hosted.push_back(entry);
}

void HostWindow::CreateModuleWindows() {
  for (HostedModule& entry : hosted) {
    GUI_Module* module = entry.module;
    if (module == &clipCreator) continue;
    if (!module->CreateModuleWindow()) {
      if (entry.fromLibrary) Log::Write(Log::Warning, "Module %s made no window", entry.name.c_str());
      continue;
    }
    GUI_Menu* before = GetMenuBar()->GetInstalledMenu();
    module->LoadMenuBar(GetMenuBar(), true);
    GUI_Menu* after = GetMenuBar()->GetInstalledMenu();
    entry.menu = after != before ? after : nullptr;
    if (entry.fromLibrary && module->GetModuleDialog()) {
      entry.dropTarget = new PanelDropTarget(module, WidgetOf(this));
    }
  }
  LayOut();
}

void HostWindow::DestroyModuleWindows() {
  for (HostedModule& entry : hosted) {
    delete entry.dropTarget;
    entry.dropTarget = nullptr;
    entry.menu = nullptr;
    entry.module->DestroyModuleWindow();
  }
}

void HostWindow::Shutdown() {
  EngineCore::Resource::SetSavedListener(nullptr);
  // Records outlive only a session that did not end here.
  recovery.Stop(true);
  DestroyModuleWindows();
  if (session.IsOpen()) GetModuleManager()->SendFrameworkMessageToAll(kMsgSceneOpened, 0, 0);
  for (const HostedModule& entry : hosted) GetModuleManager()->UnregisterModule(entry.module);
  hosted.clear();
  session.Close();
  if (started) {
    EditorToolkit::EditorKernel::GetInstance()->GetKeyManager()->SetModifierSource({});
    Formats::ClipFileHost::SetReporter({});
    Formats::ClipFileHost::SetAsker({});
    Formats::ClipFileHost::SetChooser({});
    Formats::ClipFileHost::SetReloadListener({});
    KillTimer(kFileWatchTimer);
    KillTimer(kRecoveryTimer);
  }
  started = false;
}

void HostWindow::TellClipReloaded(EngineCore::Resource& clip) {
  // A clip read again may animate objects it did not before.
  session.BindClip(static_cast<EngineCore::AnimClip*>(&clip));
  GetModuleManager()->SendFrameworkMessageToAll(kMsgClipReloaded, reinterpret_cast<WPARAM>(&clip), 0);
}

void HostWindow::OnTimer(UINT id) {
  if (id == kFileWatchTimer) {
    fileWatch.Check();
    session.ReleaseUnusedClips();
  } else if (id == kRecoveryTimer) {
    recovery.Tick();
    if (offerRecovery && !recoveryOfferHeld) {
      offerRecovery = false;
      OfferRecovery();
    }
  } else {
    GUI_MainFrame::OnTimer(id);
  }
}

int HostWindow::OfferRecovery() {
  const Formats::ClipRecovery* records = recovery.GetRecovery();
  if (!records || !session.IsOpen()) return 0;
  const std::vector<std::string> names =
      records->ListRecoverable([this](const std::string& name) { return session.FindClipFile(name); });
  if (names.empty()) return 0;
  std::string text = "These clips have edits that were not saved when Tarvel last stopped:\n";
  for (const std::string& name : names) text += "\n    " + name;
  text += "\n\nRecover opens them with those edits, not saved yet; Discard drops the edits.";
  enum { kRecover = 1, kDiscard = 2, kLater = 0 };
  GUI_MessageDialog dialog(text, {"Recover", "Discard"}, kLater, this);
  dialog.SetCaption("Recover unsaved changes");
  const int answer = dialog.DoModal();
  if (answer == kDiscard) {
    for (const std::string& name : names) records->Remove(name);
    Log::Write(Log::Info, "Unsaved edits of %zu clips discarded", names.size());
    return 0;
  }
  if (answer != kRecover) return 0;
  int recovered = 0;
  for (const std::string& name : names) {
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
    if (!clip) continue;
    std::string message;
    if (records->Restore(name, *clip, message)) {
      clip->SetModified(true);
      session.BindClip(clip);
      OpenClip(name);
      Log::Write(Log::Info, "%s: unsaved edits recovered; save the clip to keep them", name.c_str());
      ++recovered;
    } else {
      Formats::ClipFileHost::Report("Could not recover " + name + ": " + message + ".");
    }
    clip->Release();
  }
  return recovered;
}

GUI_Module* HostWindow::GetPanelModule() const {
  for (const HostedModule& entry : hosted) {
    if (entry.fromLibrary && entry.module->GetModuleDialog()) return entry.module;
  }
  return nullptr;
}

bool HostWindow::OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result) {
  if (header.code != GUI_SplitterControl::NotifyMoved) return GUI_MainFrame::OnNotify(header, payload, result);
  if (header.hwndFrom == browserBar.get()) {
    browserWidth = laidBrowser + payload.distance;
  } else if (header.hwndFrom == viewerBar.get()) {
    viewerWidth = laidViewer - payload.distance;
  } else {
    return GUI_MainFrame::OnNotify(header, payload, result);
  }
  LayOut();
  return true;
}

void HostWindow::SetWindowSize(int width, int height) {
  CRect frame;
  GetWindowRect(frame);
  MoveWindow(frame.left, frame.top, std::max(width, kMinimumWidth), std::max(height, kMinimumHeight));
  GUI_App::ProcessEvents(0);
}

int HostWindow::GetBrowserWidth() const { return showResources ? laidBrowser : 0; }

int HostWindow::GetViewerWidth() const { return showViewer ? laidViewer : 0; }

void HostWindow::OnSize(UINT type, int cx, int cy) {
  GUI_MainFrame::OnSize(type, cx, cy);
  LayOut();
}

void HostWindow::LayOut() {
  if (!IsWindow() || !statusBar) return;
  CRect area;
  GetPanelRect(area);
  statusBar->setGeometry(area.left, area.bottom - kStatusHeight, area.Width(), kStatusHeight);
  area.bottom -= kStatusHeight;
  logPane->setVisible(showLog);
  if (showLog) {
    logPane->setGeometry(area.left, area.bottom - kLogHeight, area.Width(), kLogHeight);
    area.bottom -= kLogHeight;
  }
  // The side panes give way to the centre, the viewer first.
  const int width = area.Width();
  int left = showResources ? PaneWidth(browserWidth, width, 0.12, 100, 400) : 0;
  int right = showViewer && viewer.GetModuleDialog() ? PaneWidth(viewerWidth, width, 0.22, 150, 700) : 0;
  const int bars = (left > 0 ? kBarWidth : 0) + (right > 0 ? kBarWidth : 0);
  const int spare = width - bars - kMinimumCentre;
  if (left + right > spare) right = std::max(right > 0 ? 120 : 0, spare - left);
  if (left + right > spare) left = std::max(left > 0 ? 80 : 0, spare - right);
  laidBrowser = left;
  laidViewer = right;
  browser->setVisible(showResources);
  if (browserBar && browserBar->IsWindow()) browserBar->ShowWindow(showResources);
  if (showResources) {
    browser->setGeometry(area.left, area.top, left, area.Height());
    area.left += left;
    if (browserBar && browserBar->IsWindow()) {
      browserBar->MoveWindow(CRect(area.left, area.top, area.left + kBarWidth, area.bottom));
      browserBar->SetRange(area.left - left + 80, area.right - right - kMinimumCentre);
    }
    area.left += kBarWidth;
  }
  if (viewerBar && viewerBar->IsWindow()) viewerBar->ShowWindow(right > 0);
  if (viewer.GetModuleDialog()) {
    viewer.Show(showViewer ? 1 : 0);
    if (showViewer) {
      CRect rect(area.right - right, area.top, area.right, area.bottom);
      ClientToScreen(rect);
      viewer.SetWindowRect(rect);
      area.right -= right;
      if (viewerBar && viewerBar->IsWindow()) {
        viewerBar->MoveWindow(CRect(area.right - kBarWidth, area.top, area.right, area.bottom));
        viewerBar->SetRange(area.left + kMinimumCentre, area.right + right - 120);
      }
      area.right -= kBarWidth;
    }
  }
  // Library modules with a window share the centre, one row each.
  std::vector<GUI_Module*> panels;
  for (const HostedModule& entry : hosted) {
    if (entry.fromLibrary && entry.module->GetModuleDialog()) panels.push_back(entry.module);
  }
  for (std::size_t i = 0; i < panels.size(); ++i) {
    const int top = area.top + area.Height() * static_cast<int>(i) / static_cast<int>(panels.size());
    const int bottom = area.top + area.Height() * static_cast<int>(i + 1) / static_cast<int>(panels.size());
    CRect rect(area.left, top, area.right, bottom);
    ClientToScreen(rect);
    panels[i]->SetWindowRect(rect);
    panels[i]->Show(1);
    panels[i]->Redraw();
  }
  viewer.Redraw();
}

bool HostWindow::OpenProject(const std::string& path) {
  std::error_code ec;
  if (!fs::is_directory(path, ec) && !(fs::is_regular_file(path, ec) && Formats::ClipFormats::Find(path))) {
    Log::Write(Log::Error, "%s is neither a project folder nor a clip file", path.c_str());
    return false;
  }
  const bool replacing = session.IsOpen();
  if (replacing) {
    if (!ProjectSession::AskToSave(*GetModuleManager(), this)) return false;
    // The user chose about every unsaved clip: the old project's records are of no use.
    recovery.Stop(true);
    // Pages hold the old project's clips; the modules let them go with their windows.
    DestroyModuleWindows();
  }
  // Modules must not keep the old scene: they hear that there is none until the new one.
  if (replacing) GetModuleManager()->SendFrameworkMessageToAll(kMsgSceneOpened, 0, 0);
  std::string message;
  const bool opened = session.Open(path, message);
  if (replacing) {
    CreateModuleWindows();
    ApplyFollow();
  }
  RefreshClips();
  if (opened) {
    recovery.Start(session.GetFolder());
    offerRecovery = true;
    const std::string file = session.GetClipFile();
    SetWindowText("Tarvel - " + (file.empty() ? session.GetFolder() : file));
    GetModuleManager()->SendFrameworkMessageToAll(kMsgSceneOpened, reinterpret_cast<WPARAM>(session.GetScene()), 0);
    if (const std::string first = session.FirstClipOfFile(); !first.empty()) OpenClip(first);
  }
  UpdateStatus();
  return opened;
}

bool HostWindow::RequestQuit() {
  if (quit) return true;
  if (!ProjectSession::AskToSave(*GetModuleManager(), this)) {
    Log::Write(Log::Info, "Quit cancelled");
    return false;
  }
  quit = true;
  Shutdown();
  GUI_App::Quit(0);
  return true;
}

void HostWindow::OnClose() { RequestQuit(); }

bool HostWindow::RouteCommand(UINT id) {
  if (RunHostCommand(id)) return true;
  for (const HostedModule& entry : hosted) {
    if (entry.menu && entry.menu->GetMenuState(id, MF_BYCOMMAND) != 0xFFFFFFFFu) {
      entry.module->OnMenuCommand(id);
      return true;
    }
  }
  Log::Write(Log::Warning, "No menu has command %u", id);
  return false;
}

bool HostWindow::RunHostCommand(UINT id) {
  switch (id) {
    case kCmdOpenProject: {
      const QString folder = QFileDialog::getExistingDirectory(WidgetOf(this), QStringLiteral("Open Project"),
                                                               QString::fromStdString(session.GetFolder()));
      if (!folder.isEmpty()) OpenProject(folder.toStdString());
      return true;
    }
    case kCmdOpenClipFile: {
      QStringList patterns;
      for (const std::string& extension : Formats::ClipFormats::Extensions()) {
        patterns << QStringLiteral("*") + QString::fromStdString(extension);
      }
      const QString file = QFileDialog::getOpenFileName(WidgetOf(this), QStringLiteral("Open Clip"),
                                                        QString::fromStdString(session.GetFolder()),
                                                        QStringLiteral("Clips (%1)").arg(patterns.join(' ')));
      if (!file.isEmpty()) OpenProject(file.toStdString());
      return true;
    }
    case kCmdQuit: RequestQuit(); return true;
    case kCmdViewResources:
    case kCmdViewViewer:
    case kCmdViewLog: TogglePane(id); return true;
    case kCmdFrameAll:
    case kCmdFrameSelected:
    case kCmdFollowAnimated: RunViewerCommand(id); return true;
    default: return false;
  }
}

void HostWindow::TogglePane(UINT command) {
  bool* shown = command == kCmdViewResources ? &showResources : command == kCmdViewViewer ? &showViewer : &showLog;
  *shown = !*shown;
  viewMenu.CheckMenuItem(command, MF_BYCOMMAND | (*shown ? MF_CHECKED : MF_UNCHECKED));
  LayOut();
}

std::string HostWindow::SettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString() + "/tarvel/host.ini";
}

void HostWindow::ApplyFollow() {
  if (ViewerWnd* view = viewer.GetView()) view->SetFollow(followAnimated);
  viewMenu.CheckMenuItem(kCmdFollowAnimated, MF_BYCOMMAND | (followAnimated ? MF_CHECKED : MF_UNCHECKED));
}

void HostWindow::RunViewerCommand(UINT command) {
  ViewerWnd* view = viewer.GetView();
  if (!view) return;
  if (command == kCmdFollowAnimated) {
    followAnimated = !followAnimated;
    ApplyFollow();
    QSettings(QString::fromStdString(SettingsPath()), QSettings::IniFormat)
        .setValue(QStringLiteral("viewer/followAnimated"), followAnimated);
  } else if (command == kCmdFrameAll) {
    view->FrameAll();
  } else {
    view->FrameSelected();
  }
  view->RequestRedraw();
}

bool HostWindow::OpenClip(const std::string& name) {
  GUI_Module* panel = GetPanelModule();
  if (!panel) return false;
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
  if (!clip) {
    Log::Write(Log::Error, "No clip named %s in the clip folder", name.c_str());
    // The browser now knows why, when the file is there but does not open.
    RefreshClips();
    return false;
  }
  GetModuleManager()->SendFrameworkMessage(panel, kMsgOpenClip, reinterpret_cast<WPARAM>(clip), 0);
  clip->Release();
  return true;
}

bool HostWindow::DropResource(const std::string& name) {
  GUI_Module* panel = GetPanelModule();
  if (!panel) return false;
  GUI_DnDManager* dnd = GetDnDManager();
  dnd->Clear();
  dnd->AddData(kResourceDataType, name);
  CRect client;
  panel->GetModuleDialog()->GetClientRect(client);
  const CPoint centre(client.Width() / 2, client.Height() / 2);
  const bool accepted = panel->CanDnD(centre);
  if (accepted) panel->ProcessDnD(centre);
  dnd->Clear();
  return accepted;
}

void HostWindow::RefreshClips() {
  if (browser) {
    browser->SetClips(session.ListClipsByFile(),
                      [this](const std::string& name) { return session.GetClipProblem(name); });
  }
  UpdateStatus();
}

std::string HostWindow::SavedLine(const std::string& name, const std::string& path) {
  std::error_code ec;
  const std::uintmax_t bytes = path.empty() ? 0 : fs::file_size(path, ec);
  char size[32] = "";
  if (!path.empty() && !ec) {
    if (bytes >= 1024 * 1024) {
      std::snprintf(size, sizeof size, " (%.1f MB)", static_cast<double>(bytes) / (1024.0 * 1024.0));
    } else if (bytes >= 1024) {
      std::snprintf(size, sizeof size, " (%.0f KB)", static_cast<double>(bytes) / 1024.0);
    } else {
      std::snprintf(size, sizeof size, " (%ju bytes)", bytes);
    }
  }
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char time[16];
  std::strftime(time, sizeof time, "%H:%M", &local);
  return "Saved " + name + size + " at " + time;
}

std::string HostWindow::GetStatusText() const {
  std::string text = lastSaved.empty() ? std::string() : lastSaved + "  |  ";
  const std::string file = session.GetClipFile();
  text += !session.IsOpen() ? std::string("No project")
          : file.empty()    ? "Project " + session.GetFolder()
                            : "Clip file " + file;
  text += "  |  " + std::to_string(session.ListClips().size()) + " clips";
  const EngineCore::Scene* scene = session.GetScene();
  text += "  |  " + std::to_string(scene ? scene->GetObjectCount() : 0u) + " scene objects";
  for (const ModuleLoader::LoadedModule& loaded : loader.GetModules()) {
    text += "  |  " + loaded.name + " " + loaded.version;
  }
  return text;
}

void HostWindow::UpdateStatus() {
  if (statusBar) statusBar->setText(QString::fromStdString(GetStatusText()));
}

}  // namespace TarvelHost
