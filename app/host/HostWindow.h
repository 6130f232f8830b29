#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ClipCreatorModule.h"
#include "ClipFileWatch.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_SplitterControl.h"
#include "ModuleLoader.h"
#include "ProjectSession.h"
#include "RecoveryKeeper.h"
#include "ViewerModule.h"

class QLabel;

namespace TarvelHost {

class LogPane;
class PanelDropTarget;
class ResourceBrowser;

// The host's main window and the owner of everything the host runs: the loaded modules and
// its own (viewer, clip creator), the project, the menus and the panes. Contract:
// 1. Start makes the window, loads the module libraries of the modules folder, registers
//    every module with the module manager, creates their windows, installs their menus
//    after the host's own with LoadMenuBar(bar, true), lays the panels out with
//    SetWindowRect / Show / Redraw, then opens the project and tells every module with 2249.
// 2. A command goes to the host when it is one of its own, otherwise to the module whose
//    installed menu holds the id; an id that no menu holds is refused (RouteCommand false).
// 3. Quitting and opening another project first ask to save (ProjectSession::AskToSave);
//    a refusal leaves everything as it was.
// 4. Panes: resource browser (left), module panel (centre), viewer (right), log (bottom),
//    status bar; the View menu shows and hides the three side panes, frames the viewer on
//    every object or on the selected ones, and makes it follow the animated objects.
// 5. The side panes start at a share of the window's width (the browser 12%, the viewer
//    22%, each within its own limits) and bars between them move them; the centre never gets
//    narrower than kMinimumCentre, the side panes give way first, and the window is never
//    smaller than kMinimumWidth x kMinimumHeight.
// 6. Clips and files stay in step (ClipFileWatch, checked every second): a clip another
//    program changed is read again when it has no unsaved edits, every module hearing of it
//    through kMsgClipReloaded; saving a clip whose file changed asks Reload, Overwrite or
//    Cancel.
// 7. Unsaved edits are kept in recovery records (RecoveryKeeper) while a project is open; a
//    session that ends here (quit, another project) removes them, and records left by one
//    that did not are offered at the first tick after the project opens (OfferRecovery).
class HostWindow : public EditorCore::GUI_MainFrame {
 public:
  // Host menu commands.
  static constexpr EditorCore::UINT kCmdOpenProject = 40001;
  static constexpr EditorCore::UINT kCmdQuit = 40002;
  static constexpr EditorCore::UINT kCmdOpenClipFile = 40003;
  static constexpr EditorCore::UINT kCmdViewResources = 40011;
  static constexpr EditorCore::UINT kCmdViewViewer = 40012;
  static constexpr EditorCore::UINT kCmdViewLog = 40013;
  static constexpr EditorCore::UINT kCmdFrameAll = 40014;
  static constexpr EditorCore::UINT kCmdFrameSelected = 40015;
  static constexpr EditorCore::UINT kCmdFollowAnimated = 40016;
  static constexpr EditorCore::UINT kMsgSceneOpened = 2249;
  static constexpr EditorCore::UINT kMsgOpenClip = 3524;
  // wParam: a clip whose contents were read again from its file.
  static constexpr EditorCore::UINT kMsgClipReloaded = 3528;
  // How often the host looks for clips that other programs changed on disk, and lets go of
  // the clips nothing uses.
  static constexpr EditorCore::UINT kFileWatchTimer = 1;
  static constexpr EditorCore::UINT kFileWatchMilliseconds = 1000;
  // How often the host looks for unsaved edits to keep in recovery records.
  static constexpr EditorCore::UINT kRecoveryTimer = 2;
  static constexpr EditorCore::UINT kRecoveryMilliseconds = 250;

  // One module the host drives.
  struct HostedModule {
    EditorCore::GUI_Module* module = nullptr;
    std::string name;
    EditorCore::UINT id = 0;
    bool fromLibrary = false;
    // The menu the module installed in the bar, or null.
    EditorCore::GUI_Menu* menu = nullptr;
    PanelDropTarget* dropTarget = nullptr;
  };

  HostWindow();
  ~HostWindow() override;

  // False when the window cannot be made; a project that does not open is logged and
  // leaves the host running without one.
  bool Start(const std::string& modulesFolder, const std::string& projectFolder);
  // Asks to save, then closes the old project and opens the folder, or a clip file as a
  // project of its own, whose first clip opens in the panel (File > Open Clip..., the command
  // line's FILE, a file dropped on the window); false when the user kept the old project or
  // the path is neither.
  bool OpenProject(const std::string& path);
  // Asks to save, then ends the application; false when the user cancelled.
  bool RequestQuit();
  bool HasQuit() const { return quit; }

  // False when neither the host nor any module's menu has the command.
  bool RouteCommand(EditorCore::UINT id);
  // Opens a clip of the project by resource name in the panel module (3524); false when no
  // clip has that name or there is no panel module.
  bool OpenClip(const std::string& name);
  // Drops a resource on the panel module as the browser does; false when it refuses it.
  bool DropResource(const std::string& name);

  // The module whose window is the central panel: the first library module with a window.
  EditorCore::GUI_Module* GetPanelModule() const;
  const std::vector<HostedModule>& GetHostedModules() const { return hosted; }
  const ModuleLoader& GetLoader() const { return loader; }
  ProjectSession& GetSession() { return session; }
  ViewerModule& GetViewer() { return viewer; }
  ClipCreatorModule& GetClipCreator() { return clipCreator; }
  ResourceBrowser* GetResourceBrowser() const { return browser; }
  LogPane* GetLogPane() const { return logPane; }
  // The project, its clips and objects, the modules; after a save, first, what it wrote
  // ("Saved 01_01 (2.3 MB) at 14:02").
  std::string GetStatusText() const;
  // The line a save of a clip of that file shows: its name, the file's size, the time.
  static std::string SavedLine(const std::string& name, const std::string& path);
  void RefreshClips();

  // Where the host keeps the user's choices between sessions: tarvel/host.ini in the user's
  // configuration folder ($XDG_CONFIG_HOME, else ~/.config).
  static std::string SettingsPath();

  // Modifiers the script holds down, on top of the keyboard's.
  static void SetHeldModifiers(unsigned modifiers);

  void OnSize(EditorCore::UINT type, int cx, int cy) override;
  void OnClose() override;
  void OnTimer(EditorCore::UINT id) override;
  ClipFileWatch& GetFileWatch() { return fileWatch; }
  RecoveryKeeper& GetRecoveryKeeper() { return recovery; }
  // Offers the unsaved edits that records of the project keep from a session that did not
  // end cleanly ("Recover unsaved changes": Recover 1, Discard 2); how many clips came back.
  // The host offers them once, at the first tick after a project opens and the offer is not
  // held.
  int OfferRecovery();
  // A scripted run holds the offer until its first wait, so that the script's `answer`
  // reaches it however slowly the host started.
  void HoldRecoveryOffer(bool hold) { recoveryOfferHeld = hold; }
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload& payload,
                EditorCore::LRESULT& result) override;

  static constexpr int kMinimumWidth = 800;
  static constexpr int kMinimumHeight = 560;
  static constexpr int kMinimumCentre = 500;
  // Resizes the window (not below the minimum) and lays it out before returning.
  void SetWindowSize(int width, int height);
  // The widths the side panes have now (0 while hidden).
  int GetBrowserWidth() const;
  int GetViewerWidth() const;

 private:
  void BuildMenus();
  void AddModule(EditorCore::GUI_Module* module, const std::string& name, bool fromLibrary);
  void CreateModuleWindows();
  void DestroyModuleWindows();
  void LayOut();
  void UpdateStatus();
  void TogglePane(EditorCore::UINT command);
  void RunViewerCommand(EditorCore::UINT command);
  void Shutdown();
  bool RunHostCommand(EditorCore::UINT id);
  void TellClipReloaded(EngineCore::Resource& clip);

  ModuleLoader loader;
  ProjectSession session;
  ViewerModule viewer;
  ClipCreatorModule clipCreator;
  ClipFileWatch fileWatch{[this](EngineCore::AnimClip& clip) { TellClipReloaded(clip); }};
  RecoveryKeeper recovery;
  bool offerRecovery = false;
  bool recoveryOfferHeld = false;
  std::vector<HostedModule> hosted;
  EditorCore::GUI_Menu hostMenu;
  EditorCore::GUI_Menu fileMenu;
  EditorCore::GUI_Menu viewMenu;
  ResourceBrowser* browser = nullptr;
  LogPane* logPane = nullptr;
  QLabel* statusBar = nullptr;
  std::string lastSaved;
  // Follow Animated Objects, as the user left it last time (on at first).
  bool followAnimated = true;
  void ApplyFollow();
  // Widths the user gave the side panes with the bars; 0 until then (a share of the window).
  int browserWidth = 0;
  int viewerWidth = 0;
  int laidBrowser = 0;
  int laidViewer = 0;
  std::unique_ptr<EditorCore::GUI_SplitterControl> browserBar;
  std::unique_ptr<EditorCore::GUI_SplitterControl> viewerBar;
  bool showResources = true;
  bool showViewer = true;
  bool showLog = true;
  bool started = false;
  bool quit = false;
};

}  // namespace TarvelHost
