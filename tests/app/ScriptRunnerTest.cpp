#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EditorToolkit/EditorKernel.h"
#include "EngineCore/AnimChannel.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
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
  // Runs script text that must fail; the runner's error.
  std::string Failure(const std::string& text) {
    EXPECT_FALSE(Run(text)) << text;
    return runner->GetError();
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

  // The time cursor: marker 4 of the current page's frame ruler.
  double Cursor() const {
    const GUI_Wnd* page = ModuleWindows::FindCurrentPage(Panel()->GetModuleDialog());
    for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(page)) {
      if (auto* ruler = dynamic_cast<GUI_RulerCtrl*>(wnd); ruler && !ruler->IsVertical()) {
        return ruler->GetMarkerPosition(4);
      }
    }
    return -1.0;
  }
  EngineCore::SceneObject* Object(const char* name) const {
    return host->GetSession().GetScene()->FindObject(EngineCore::String(name));
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
  EXPECT_EQ(Failure("open Nowhere"), "line 1: no clip named 'Nowhere' in the clip folder");
  EXPECT_FALSE(Run("open 01_01\n\n# two tabs?\nexpect-tabs 2\nopen Boxing_Toes\n"));
  EXPECT_EQ(runner->GetError().rfind("line 4: ", 0), 0u) << runner->GetError();
  EXPECT_NE(runner->GetError().find("shows 1"), std::string::npos);
  EXPECT_TRUE(Run("expect-tabs 1")) << "the line after the failure never ran";
  EXPECT_EQ(Failure("select-channel Hips\nselect-channel Tail"),
            "line 2: the channel list has no channel named 'Tail'");
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
  EXPECT_NE(Failure("select-curve Neck scale Z").find("no row Neck scale Z"), std::string::npos) << runner->GetError();
}

TEST_F(ScriptedHost, KeysNeedAnOpenPageAndReachItAndHeldModifiersReachTheKeyManager) {
  EXPECT_EQ(Failure("key Ctrl+Z"), "line 1: no clip page is open");
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
  EXPECT_EQ(Failure("mouse press 10 0.5 left"), "line 1: no clip page is open");
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
  EXPECT_NE(Failure("command 16655").find("the dialog \"Open\""), std::string::npos) << runner->GetError();
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
  EXPECT_NE(Failure("save").find("not available"), std::string::npos) << runner->GetError();
  ASSERT_TRUE(Run("open Boxing_Toes")) << runner->GetError();
  MarkModified("Boxing_Toes");
  const fs::path file = fs::path(ProjectPath()) / "AnimClips" / "Boxing_Toes.gltf";
  // A save replaces the document with a new file of the same name.
  auto inode = [&file] {
    struct stat info {};
    return ::stat(file.c_str(), &info) == 0 ? info.st_ino : 0;
  };
  const auto before = inode();
  ASSERT_TRUE(Run("save")) << runner->GetError();
  EXPECT_NE(inode(), before);
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("Boxing_Toes");
  EXPECT_FALSE(clip->IsModified());
  clip->Release();
  const int asked = TarvelHost::ProjectSession::GetAskCount();
  EXPECT_TRUE(Run("quit")) << runner->GetError();
  EXPECT_EQ(TarvelHost::ProjectSession::GetAskCount(), asked) << "nothing left to save: no question";
  EXPECT_TRUE(host->HasQuit());
}

TEST_F(ScriptedHost, TheViewMenuFramesAndFollowsAndACommandNoMenuHoldsFails) {
  const TarvelHost::ViewerWnd& view = *host->GetViewer().GetView();
  EXPECT_FALSE(view.IsFollowing());
  EXPECT_TRUE(Run("command 40014\ncommand 40015\ncommand 40016")) << runner->GetError();
  EXPECT_TRUE(view.IsFollowing());
  EXPECT_EQ(Failure("command 49999"), "line 1: no menu of the host or of a module has command 49999");
}

TEST_F(ScriptedHost, ScriptsPressAndHoldTheButtonsFillTheBoxesPickObjectsAndSpeedsAndReadTheCursor) {
  EXPECT_EQ(Failure("button click play"), "line 1: no clip page is open");
  ASSERT_TRUE(
      Run("open 01_01\nscrub 100\nexpect-frame 100 100\nbutton click next-key\nexpect-frame 101 101\n"
          "check loop off\ncheck loop off\ncheck frames on\ncheck values on\ntype falloff-before 4\n"
          "choose objects Hips\nbutton click fit"))
      << runner->GetError();
  EXPECT_TRUE(host->GetSession().GetScene()->GetEditionManager()->IsSelected(Object("Hips")));
  const GUI_EditBox* falloff = nullptr;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(ModuleWindows::FindCurrentPage(Panel()->GetModuleDialog()))) {
    if (wnd->GetDlgCtrlID() == 1042) falloff = dynamic_cast<GUI_EditBox*>(wnd);
  }
  ASSERT_NE(falloff, nullptr);
  EXPECT_EQ(falloff->GetFloatValue(), 4.0);
  // Held for the speed menu, released after the choice: playing on at 2x until the stop.
  ASSERT_TRUE(
      Run("check loop on\nchoose objects - All animated objects\npopup Forwards 2x\nbutton press play\nwait 600\n"
          "button release play\nwait 100\nbutton stop"))
      << runner->GetError();
  EXPECT_GT(Cursor(), 10.0) << "played from the start of the clip on";
  EXPECT_EQ(Failure("button stop"), "line 1: the play button shows no stop: nothing is playing");
  EXPECT_NE(Failure("expect-frame 2000 2100").find("the time cursor is at"), std::string::npos) << runner->GetError();
}

TEST_F(ScriptedHost, PlaybackAdvancesSixtyFramesASecondAndScrubbedPosesAreTheClipsOwn) {
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
  const EngineCore::AnimChannel* hips = clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"));
  ASSERT_NE(hips, nullptr);
  std::string script = "open 01_01\n";
  for (const float frame : {100.0f, 600.0f, 1200.0f}) {
    EngineCore::Vector3 t;
    EngineCore::Quaternion q;
    ASSERT_TRUE(hips->GetCurve(EngineCore::AnimTrack::Translation)->Evaluate(frame, t));
    ASSERT_TRUE(hips->GetCurve(EngineCore::AnimTrack::Rotation)->Evaluate(frame, q));
    EngineCore::Vector3 r;
    q.GetAngles(r);
    const double deg = 180.0 / 3.14159265358979323846;
    char line[200];
    std::snprintf(line, sizeof line, "scrub %g\nexpect-pose Hips %.6f %.6f %.6f %.5f %.5f %.5f 0.0001\n", frame, t.x,
                  t.y, t.z, r.x * deg, r.y * deg, r.z * deg);
    script += line;
  }
  clip->Release();
  ASSERT_TRUE(Run(script)) << runner->GetError();
  EXPECT_FALSE(Run("expect-pose Hips 0 0 0 0 0 0 0.0001"));
  EXPECT_EQ(Failure("expect-pose Nobody 0 0 0 0 0 0 1"), "line 1: the scene has no object named 'Nobody'");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Run("button click play\nwait 1000\nbutton click play")) << runner->GetError();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_NEAR(Cursor() / seconds, 60.0, 3.0) << Cursor() << " frames in " << seconds << " s";
}

TEST_F(ScriptedHost, ARealSpeedMenuChosenWhileHoldingPlayKeepsPlayingAfterTheRelease) {
  ASSERT_TRUE(Run("open 01_01")) << runner->GetError();
  QWidget* play = nullptr;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(ModuleWindows::FindCurrentPage(Panel()->GetModuleDialog()))) {
    if (wnd->GetDlgCtrlID() == 1021) play = static_cast<QWidget*>(wnd->GetSafeHwnd());
  }
  ASSERT_NE(play, nullptr);
  // The user picks "Forwards 2x" in the real pop-up menu, or closes it when it lacks the item.
  QTimer chooser;
  QObject::connect(&chooser, &QTimer::timeout, [&chooser] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    chooser.stop();
    for (QAction* action : menu->actions()) {
      if (action->text().simplified() == "Forwards 2x") menu->setActiveAction(action);
    }
    if (!menu->activeAction()) menu->close();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(menu, &enter);
  });
  chooser.start(50);
  const QPointF at(play->width() / 2.0, play->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, play->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(play, &press);
  GUI_App::ProcessEvents(700);
  EXPECT_FALSE(chooser.isActive()) << "no speed menu opened";
  QMouseEvent release(QEvent::MouseButtonRelease, at, play->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(play, &release);
  GUI_App::ProcessEvents(50);
  EXPECT_TRUE(Run("button stop")) << runner->GetError();
}

}  // namespace
