#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_ComboBox.h"
#include "EditorCore/GUI_ComboxEnterDialog.h"
#include "EditorCore/GUI_Dialog.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Module.h"
#include "EditorToolkit/EditorKernel.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/GltfClipFile.h"
#include "Formats/Project.h"
#include "TempFolder.h"
#include "channels/GUI_ChannelListCtrl.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipEditorFrame.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/GUI_TrackListCtrl.h"
#include "module/ModuleExports.h"
#include "module/TarvelModule.h"

// A module that only listens: it records the framework messages it receives.
class ProbeModule : public EditorCore::GUI_Module {
 public:
  explicit ProbeModule(EditorCore::UINT id) : id_(id) {}
  EditorCore::UINT GetModuleID() override { return id_; }
  EditorCore::LRESULT OnFrameworkMessage(EditorCore::UINT message, EditorCore::WPARAM wParam,
                                         EditorCore::LPARAM lParam) override {
    received.push_back({message, wParam, lParam});
    return 0;
  }
  int Count(EditorCore::UINT message) const {
    int n = 0;
    for (const Message& m : received) n += m.message == message ? 1 : 0;
    return n;
  }

  struct Message {
    EditorCore::UINT message;
    EditorCore::WPARAM wParam;
    EditorCore::LPARAM lParam;
  };
  std::vector<Message> received;

 private:
  EditorCore::UINT id_;
};

// The module loaded in a host with a main window, a module manager holding it and a probe
// for the viewer's id, and a project whose clip folder holds small clips.
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
    MakeProject();
    mainFrame->ShowWindow(true);
    ASSERT_TRUE(module->CreateModuleWindow());
    module->Show(1);
    module->frame->MoveWindow(0, 0, 1100, 700);
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

  void MakeProject() {
    namespace fs = std::filesystem;
    const fs::path clips = folder.Path() / "AnimClips";
    fs::create_directories(clips);
    const std::string data = TARVEL_TEST_DATA;
    fs::copy_file(data + "/synthetic/whole_frames.gltf", clips / "Walk.gltf");
    fs::copy_file(data + "/synthetic/step.gltf", clips / "Slide.gltf");
    std::string message;
    ASSERT_EQ(Formats::GltfClipFile::CreateEmpty((clips / "Empty.gltf").string(), message),
              Formats::ClipFileError::None);
    project = Formats::Project::Open(folder.Path().string(), message);
    ASSERT_TRUE(project) << message;
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

  Tarvel::GUI_ClipEditorFrame& Frame() { return *module->frame; }
  Tarvel::GUI_ClipTabsDialog& Tabs() { return *module->frame->tabHost; }
  Tarvel::AnimClipDialog* Page() { return Tabs().GetCurrentPage(); }

  TestSupport::TempFolder folder;
  std::unique_ptr<EditorCore::GUI_MainFrame> mainFrame;
  std::unique_ptr<Formats::Project> project;
  Tarvel::TarvelModule* module = nullptr;
  ProbeModule viewer{0x10000000u};
};
