#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EditorToolkit/EditorKernel.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/ResourceFactory.h"
#include "HostFixture.h"
#include "ModuleWindows.h"
#include "ProjectSession.h"
#include "ScriptParser.h"
#include "ScriptRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace EditorCore;
using TarvelHost::ModuleWindows;
using TarvelHost::ScriptRunner;

class ScriptedHost : public HostTest::HostFixture {
 protected:
  void SetUp() override {
    HostFixture::SetUp();
    runner = std::make_unique<ScriptRunner>(*host);
  }
  void TearDown() override {
    runner.reset();
    HostFixture::TearDown();
  }
  // Runs script text; false with the runner's error.
  bool Run(const std::string& text) {
    std::vector<TarvelHost::ScriptAction> actions;
    std::string error;
    if (!TarvelHost::ScriptParser::Parse(text, actions, error)) {
      ADD_FAILURE() << error;
      return false;
    }
    return runner->Run(actions);
  }
  GUI_ListCtrl* List(UINT id) const { return ModuleWindows::FindCurrentList(Panel()->GetModuleDialog(), id); }
  std::set<std::string> SelectedTexts(UINT id, int column) const {
    std::set<std::string> texts;
    GUI_ListCtrl* list = List(id);
    for (int row = 0; list && row < list->GetItemCount(); ++row) {
      if (list->GetItemState(row, LVIS_SELECTED) & LVIS_SELECTED) {
        texts.insert(list->GetItemText(row, 0) + (column ? "|" + list->GetItemText(row, column) : ""));
      }
    }
    return texts;
  }
  void MarkModified(const std::string& name) {
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
    ASSERT_NE(clip, nullptr);
    clip->SetModified(true);
    clip->Release();
  }

  std::unique_ptr<ScriptRunner> runner;
};

TEST_F(ScriptedHost, OpensAndDropsClipsIntoTabsAndListsTheirChannels) {
  EXPECT_TRUE(
      Run("expect-tabs 0\nexpect-panel visible\nopen 01_01\nexpect-tabs 1\nexpect-channels 31\n"
          "drop Boxing_Toes\nexpect-tabs 2\nopen 01_01\nexpect-tabs 2"))
      << runner->GetError();
}

TEST_F(ScriptedHost, AFailedExpectationStopsAtItsLineAndAnUnknownClipOrChannelFailsClearly) {
  EXPECT_FALSE(Run("open Nowhere"));
  EXPECT_EQ(runner->GetError(), "line 1: no clip named 'Nowhere' in the clip folder");
  EXPECT_FALSE(Run("open 01_01\n\n# two tabs?\nexpect-tabs 2\nopen Boxing_Toes\n"));
  EXPECT_EQ(runner->GetError().rfind("line 4: ", 0), 0u) << runner->GetError();
  EXPECT_NE(runner->GetError().find("shows 1"), std::string::npos);
  EXPECT_TRUE(Run("expect-tabs 1")) << "the line after the failure never ran";
  EXPECT_FALSE(Run("select-channel Hips\nselect-channel Tail"));
  EXPECT_EQ(runner->GetError(), "line 2: the channel list has no channel named 'Tail'");
}

TEST_F(ScriptedHost, SelectChannelAndSelectCurveSelectExactlyThoseRows) {
  ASSERT_TRUE(Run("open 01_01\nselect-channel Hips LeftArm")) << runner->GetError();
  EXPECT_EQ(SelectedTexts(1, 0), (std::set<std::string>{"Hips", "LeftArm"}));
  // The track list shows the curves of the selected channels only.
  GUI_ListCtrl* tracks = List(2);
  ASSERT_NE(tracks, nullptr);
  ASSERT_GT(tracks->GetItemCount(), 0);
  for (int row = 0; row < tracks->GetItemCount(); ++row) {
    const std::string label = tracks->GetItemText(row, 0);
    EXPECT_TRUE(label == "Hips" || label == "LeftArm") << label;
  }
  ASSERT_TRUE(Run("select-channel Neck")) << runner->GetError();
  EXPECT_EQ(SelectedTexts(1, 0), (std::set<std::string>{"Neck"}));
  ASSERT_TRUE(Run("select-channel Hips\nselect-curve Hips rotation Y Hips translation x")) << runner->GetError();
  EXPECT_EQ(SelectedTexts(2, 1), (std::set<std::string>{"Hips|Rotation Y", "Hips|Translation X"}))
      << "track rows say their curve in words";
  EXPECT_FALSE(Run("select-curve Neck scale Z"));
  EXPECT_NE(runner->GetError().find("no row Neck scale Z"), std::string::npos) << runner->GetError();
}

TEST_F(ScriptedHost, KeysNeedAnOpenPageAndReachItAndHeldModifiersReachTheKeyManager) {
  EXPECT_FALSE(Run("key Ctrl+Z"));
  EXPECT_EQ(runner->GetError(), "line 1: no clip page is open");
  EXPECT_TRUE(Run("open 01_01\nkey Ctrl+Z\nkey Ctrl+Shift+Y\nexpect-tabs 1")) << runner->GetError();
  EditorToolkit::KeyManager* keys = EditorToolkit::EditorKernel::GetInstance()->GetKeyManager();
  ASSERT_TRUE(keys->HasModifierSource());
  EXPECT_FALSE(keys->ControlKeyPressed());
  TarvelHost::HostWindow::SetHeldModifiers(EditorToolkit::KeyManager::Control);
  EXPECT_TRUE(keys->ControlKeyPressed());
  EXPECT_FALSE(keys->ShiftKeyPressed());
  TarvelHost::HostWindow::SetHeldModifiers(0);
  EXPECT_FALSE(keys->ControlKeyPressed());
}

TEST_F(ScriptedHost, MouseRubberBandSelectsKeysInTheGraph) {
  EXPECT_FALSE(Run("mouse press 10 0.5 left"));
  EXPECT_EQ(runner->GetError(), "line 1: no clip page is open");
  ASSERT_TRUE(Run("open 01_01\nselect-channel Hips")) << runner->GetError();
  // A band from the view's top-left to its bottom-right corner, in frames and values.
  GUI_Wnd* graph = nullptr;
  GUI_RulerCtrl* frames = nullptr;
  GUI_RulerCtrl* values = nullptr;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(Panel()->GetModuleDialog())) {
    if (wnd->GetWindowText() == "GUI_GraphCtrl" && ModuleWindows::IsShown(wnd)) graph = wnd;
    if (auto* ruler = dynamic_cast<GUI_RulerCtrl*>(wnd); ruler && ModuleWindows::IsShown(wnd)) {
      (ruler->IsVertical() ? values : frames) = ruler;
    }
  }
  ASSERT_TRUE(graph && frames && values);
  CRect client;
  graph->GetClientRect(client);
  const std::string topLeft =
      std::to_string(frames->PixelToValue(2)) + " " + std::to_string(values->PixelToValue(client.Height() - 2));
  const std::string bottomRight =
      std::to_string(frames->PixelToValue(client.Width() - 2)) + " " + std::to_string(values->PixelToValue(2));
  GUI_Menu* menu = GUI_MainFrame::GetMainFrame()->GetMenuBar()->GetInstalledMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->GetMenuState(3, MF_BYPOSITION) & MF_GRAYED) << "no key selected yet";
  ASSERT_TRUE(Run("mouse press " + topLeft + "\nmouse move " + bottomRight + "\nmouse release " + bottomRight))
      << runner->GetError();
  EXPECT_FALSE(menu->GetMenuState(3, MF_BYPOSITION) & MF_GRAYED) << "keys are selected: the Selection menu applies";
}

TEST_F(ScriptedHost, AnsweredDialogsTakeTheQueuedCodesAndTextAndOneWithoutAnAnswerFailsNamingIt) {
  EXPECT_FALSE(Run("command 16655"));
  EXPECT_NE(runner->GetError().find("the dialog \"Open\""), std::string::npos) << runner->GetError();
  EXPECT_NE(runner->GetError().find("answer"), std::string::npos);
  EXPECT_TRUE(Run("dialog-text Boxing_Toes\nanswer 1\ncommand 16655\nexpect-tabs 1\nexpect-channels 21"))
      << runner->GetError();
  EXPECT_EQ(runner->GetAnswers().GetAnsweredCount(), 1);
}

TEST_F(ScriptedHost, QuittingWithAModifiedClipAsksOnceAndCancelKeepsRunning) {
  const int asked = TarvelHost::ProjectSession::GetAskCount();
  ASSERT_TRUE(Run("open 01_01")) << runner->GetError();
  MarkModified("01_01");
  EXPECT_TRUE(Run("answer 2\nquit\nexpect-tabs 1\nexpect-panel visible")) << runner->GetError();
  EXPECT_EQ(TarvelHost::ProjectSession::GetAskCount(), asked + 1);
  EXPECT_EQ(runner->GetAnswers().GetAnsweredCount(), 1);
  EXPECT_FALSE(runner->HasQuit());
  EXPECT_FALSE(host->HasQuit());
  // "Don't Save" goes on, and nothing runs after a quit that went through.
  EXPECT_TRUE(Run("answer 3\nquit\nexpect-tabs 5")) << runner->GetError();
  EXPECT_EQ(TarvelHost::ProjectSession::GetAskCount(), asked + 2);
  EXPECT_TRUE(runner->HasQuit());
  EXPECT_TRUE(host->HasQuit());
  EXPECT_EQ(host->GetLoader().GetModules().front().module->GetModuleDialog(), nullptr)
      << "quitting closes the module's window";
}

TEST_F(ScriptedHost, SaveWritesTheCurrentClipAndAQuitAfterItAsksNothing) {
  EXPECT_FALSE(Run("save"));
  EXPECT_NE(runner->GetError().find("not available"), std::string::npos) << runner->GetError();
  ASSERT_TRUE(Run("open Boxing_Toes")) << runner->GetError();
  MarkModified("Boxing_Toes");
  const fs::path file = fs::path(ProjectPath()) / "AnimClips" / "Boxing_Toes.gltf";
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
  const auto before = fs::last_write_time(file);
  ASSERT_TRUE(Run("save")) << runner->GetError();
  EXPECT_GT(fs::last_write_time(file), before);
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("Boxing_Toes");
  EXPECT_FALSE(clip->IsModified());
  clip->Release();
  const int asked = TarvelHost::ProjectSession::GetAskCount();
  EXPECT_TRUE(Run("quit")) << runner->GetError();
  EXPECT_EQ(TarvelHost::ProjectSession::GetAskCount(), asked) << "nothing left to save: no question";
  EXPECT_TRUE(host->HasQuit());
}

}  // namespace
