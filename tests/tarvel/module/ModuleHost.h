#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include <gtest/gtest.h>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_ComboxEnterDialog.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/GltfClipFile.h"
#include "Formats/Project.h"
#include "RecordingModule.h"
#include "TempFolder.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "graph/GUI_CurvePanelDialog.h"
#include "graph/GUI_GraphCtrl.h"
#include "graph/GraphView.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipEditorFrame.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "module/ModuleExports.h"
#include "module/TarvelModule.h"
#include "resources/ModuleIds.h"

// The module loaded in a host with a main window, a module manager holding it and a recorder
// for the viewer's id, and a project whose clip folder holds the clips Walk (channels Arm and
// Root, keys at frames 0, 5 and 12), Slide and Empty.
class ModuleHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }

  void SetUp() override {
    EngineCore::Log::SetEchoToStandardError(false);
    mainFrame = std::make_unique<EditorCore::GUI_MainFrame>();
    mainFrame->Create("Host", EditorCore::CRect(0, 0, 1200, 800));
    module = static_cast<Tarvel::TarvelModule*>(GetModule());
    ASSERT_NE(module, nullptr);
    mainFrame->GetModuleManager()->RegisterModule(module);
    mainFrame->GetModuleManager()->RegisterModule(&viewer);
    namespace fs = std::filesystem;
    const fs::path clips = folder.Path() / "AnimClips";
    fs::create_directories(clips);
    fs::copy_file(std::string(TARVEL_TEST_DATA) + "/synthetic/whole_frames.gltf", clips / "Walk.gltf");
    fs::copy_file(std::string(TARVEL_TEST_DATA) + "/synthetic/step.gltf", clips / "Slide.gltf");
    std::string message;
    ASSERT_EQ(Formats::GltfClipFile::CreateEmpty((clips / "Empty.gltf").string(), message),
              Formats::ClipFileError::None);
    project = Formats::Project::Open(folder.Path().string(), message);
    ASSERT_TRUE(project) << message;
    mainFrame->ShowWindow(true);
    ASSERT_TRUE(module->CreateModuleWindow());
    module->Show(1);
    module->GetFrame()->MoveWindow(0, 0, 1100, 700);
  }

  void TearDown() override {
    EditorCore::GUI_Dialog::SetModalResponder(nullptr);
    module->DestroyModuleWindow();
    mainFrame->GetModuleManager()->UnregisterModule(module);
    mainFrame->GetModuleManager()->UnregisterModule(&viewer);
    project.reset();
    mainFrame.reset();
    EngineCore::Log::SetEchoToStandardError(true);
  }

  // Opens a clip of the project as the host does, with framework message 3524.
  EngineCore::AnimClip* Open(const char* name) {
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
    EXPECT_NE(clip, nullptr) << name;
    if (!clip) return nullptr;
    module->OnFrameworkMessage(3524, reinterpret_cast<EditorCore::WPARAM>(clip), 0);
    clip->Release();
    return clip;
  }

  Tarvel::GUI_ClipEditorFrame& Frame() { return *module->GetFrame(); }
  Tarvel::GUI_ClipTabsDialog& Tabs() { return Frame().GetTabHost(); }
  Tarvel::AnimClipDialog* Page() { return Tabs().GetCurrentPage(); }
  Tarvel::GUI_ChannelListCtrl& Channels() { return Page()->GetChannelList(); }
  Tarvel::GUI_TrackListCtrl& Tracks() { return Page()->GetTrackList(); }
  Tarvel::GUI_CurvePanelDialog& Panel() { return Page()->GetCurvePanel(); }
  Tarvel::GUI_GraphCtrl& Graph() { return Panel().GetGraph(); }
  // The graph's point of a frame and a value.
  EditorCore::CPoint At(double frame, double value) {
    const Tarvel::GraphView& view = Graph();
    return {view.ColumnOfFrame(frame), view.RowOfValue(value)};
  }
  // A window's descendants of a kind, as the host's widgets hold them.
  template <typename Window>
  static std::vector<Window*> Children(EditorCore::GUI_Wnd& parent) {
    std::vector<Window*> found;
    for (QWidget* widget : static_cast<QWidget*>(parent.GetSafeHwnd())->findChildren<QWidget*>()) {
      if (auto* window = dynamic_cast<Window*>(EditorCore::GUI_Wnd::FromHandle(widget))) found.push_back(window);
    }
    return found;
  }
  std::string TabText(int tab) { return Children<EditorCore::GUI_TabCtrl>(Tabs()).front()->GetItemText(tab); }
  // A control of a dialog's template, by its id.
  template <typename Control>
  static Control& Item(EditorCore::GUI_Dialog& dialog, EditorCore::UINT id) {
    return dynamic_cast<Control&>(*dialog.GetDlgItem(id));
  }
  // A click on a check box: it toggles and tells its dialog.
  static void Click(EditorCore::GUI_Dialog& dialog, EditorCore::UINT id) {
    auto& box = Item<EditorCore::GUI_CheckBox>(dialog, id);
    box.Check(!box.IsChecked());
    dialog.OnCommand(id);
  }
  static void SelectRow(EditorCore::GUI_ListCtrl& list, int row, bool selected = true) {
    list.SetItemState(row, selected ? EditorCore::LVIS_SELECTED : 0, EditorCore::LVIS_SELECTED);
  }
  // The text of every row's first column.
  static std::vector<std::string> Rows(const EditorCore::GUI_ListCtrl& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetItemCount(); ++i) rows.push_back(list.GetItemText(i, 0));
    return rows;
  }
  // A key pressed in `target`, addressed to `hwnd`; true when a window took it.
  static bool KeyDown(EditorCore::GUI_Wnd& target, EditorCore::WPARAM key, EditorCore::GUI_Wnd* hwnd = nullptr) {
    EditorCore::GUI_Msg msg;
    msg.message = EditorCore::WM_KEYDOWN;
    msg.wParam = key;
    msg.hwnd = hwnd;
    return target.PreTranslateMessage(msg);
  }
  // The user drags the time cursor on the frame ruler to `frame`.
  void DragCursor(double frame) {
    Panel().GetFrameRuler().SetMarkerPosition(Tarvel::Ids::kMarkerTimeCursor, frame, false);
    Notify(Panel(), &Panel().GetFrameRuler(), 1, EditorCore::GUI_RulerCtrl::NotifyMarkerMoved);
  }
  // A control's notification to `parent`, as the control sends it; whether the parent handled it.
  static bool Notify(EditorCore::GUI_Wnd& parent, EditorCore::GUI_Wnd* from, EditorCore::UINT id, int code,
                     const EditorCore::GUI_NotifyPayload& payload = {}) {
    EditorCore::LRESULT result = 0;
    return parent.OnNotify({from, id, code}, payload, result);
  }

  TestSupport::TempFolder folder;
  std::unique_ptr<EditorCore::GUI_MainFrame> mainFrame;
  std::unique_ptr<Formats::Project> project;
  Tarvel::TarvelModule* module = nullptr;
  TestSupport::RecordingModule viewer{0x10000000u};
};
