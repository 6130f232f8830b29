#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_CheckBox.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorCore/GUI_PushButton.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EditorToolkit/EditorKernel.h"
#include "EngineCore/AnimChannel.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Crc32.h"
#include "EngineCore/Quaternion.h"
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

class ScriptedHost : public HostTest::ScriptedHostFixture {
 protected:
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
  GUI_Wnd* CurrentPage() const { return ModuleWindows::FindCurrentPage(Panel()->GetModuleDialog()); }
  // The current page's rulers: the frame ruler, then the value ruler.
  std::pair<GUI_RulerCtrl*, GUI_RulerCtrl*> Rulers() const {
    std::pair<GUI_RulerCtrl*, GUI_RulerCtrl*> rulers{nullptr, nullptr};
    for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(CurrentPage())) {
      if (auto* ruler = dynamic_cast<GUI_RulerCtrl*>(wnd); ruler && ModuleWindows::IsShown(wnd)) {
        (ruler->IsVertical() ? rulers.second : rulers.first) = ruler;
      }
    }
    return rulers;
  }
  // X of the hips' translation key at that frame, as the clip holds it.
  float HipsX(std::uint32_t frame) const {
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
    const EngineCore::AnimCurve* curve =
        clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"))->GetCurve(EngineCore::AnimTrack::Translation);
    float x = NAN;
    for (std::uint32_t k = 0; k < curve->GetKeyCount(); ++k) {
      if (curve->GetKeyFrame(k) == frame) x = curve->GetVector3Key(k).x;
    }
    clip->Release();
    return x;
  }
  // The first and last key frames of the hips' translation, as the clip holds them.
  std::pair<std::uint32_t, std::uint32_t> HipsTranslationFrames() const {
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
    const EngineCore::AnimCurve* curve =
        clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"))->GetCurve(EngineCore::AnimTrack::Translation);
    const auto frames = std::pair(curve->GetKeyFrame(0), curve->GetKeyFrame(curve->GetKeyCount() - 1));
    clip->Release();
    return frames;
  }
  // The states of the check boxes the page itself holds (the track list's filters).
  std::map<UINT, bool> PageBoxes() const {
    std::map<UINT, bool> boxes;
    for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(CurrentPage())) {
      if (auto* box = dynamic_cast<GUI_CheckBox*>(wnd); box && box->GetParent() == CurrentPage()) {
        boxes[box->GetDlgCtrlID()] = box->IsChecked();
      }
    }
    return boxes;
  }
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

TEST_F(ScriptedHost, AWaitSleepsOnTheEventLoopInsteadOfSpinning) {
  auto processorSeconds = [] {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  };
  const double before = processorSeconds();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Run("wait 600")) << runner->GetError();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
  EXPECT_LT(processorSeconds() - before, 0.2) << "seconds of processor time for an idle wait of 0.6 s";
}

TEST_F(ScriptedHost, KeysNeedAnOpenPageAndReachItAndHeldModifiersReachTheKeyManager) {
  EXPECT_EQ(Failure("key Ctrl+Z"), "line 1: no clip page is open");
  EXPECT_TRUE(Run("open 01_01\nkey Ctrl+Z\nkey Ctrl+Shift+Z\nexpect-tabs 1")) << runner->GetError();
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
  EXPECT_TRUE(menu->GetMenuState(4, MF_BYPOSITION) & MF_GRAYED) << "no key selected yet";
  ASSERT_TRUE(Run("mouse press " + topLeft + "\nmouse move " + bottomRight + "\nmouse release " + bottomRight))
      << runner->GetError();
  EXPECT_FALSE(menu->GetMenuState(4, MF_BYPOSITION) & MF_GRAYED) << "keys are selected: the Selection menu applies";
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
  EXPECT_TRUE(view.IsFollowing()) << "the viewer follows the animated objects from the start";
  EXPECT_TRUE(Run("command 40014\ncommand 40015\ncommand 40016")) << runner->GetError();
  EXPECT_FALSE(view.IsFollowing());
  EXPECT_EQ(Failure("command 49999"), "line 1: no menu of the host or of a module has command 49999");
  // The choice outlives the session: the next start follows no more, and says so in its menu.
  runner.reset();
  host.reset();  // one main frame at a time
  host = std::make_unique<TarvelHost::HostWindow>();
  ASSERT_TRUE(host->Start(TARVEL_MODULES_DIR, ProjectPath()));
  EXPECT_FALSE(host->GetViewer().GetView()->IsFollowing());
  GUI_Menu* bar = GUI_MainFrame::GetMainFrame()->GetMenuBar()->GetHostMenu();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetSubMenu(1)->GetMenuState(40016, MF_BYCOMMAND) & MF_CHECKED, 0u) << "View > Follow is unchecked";
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

TEST_F(ScriptedHost, PlaybackAdvancesTheClipsFrameRateEverySecondAndScrubbedOrSteppedPosesAreTheClipsOwn) {
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
  const EngineCore::AnimChannel* hips = clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"));
  ASSERT_NE(hips, nullptr);
  std::string script = "open 01_01\n";
  for (const float frame : {100.0f, 600.0f, 1200.0f}) {
    EngineCore::Vector3 t;
    EngineCore::Quaternion q;
    ASSERT_TRUE(hips->GetCurve(EngineCore::AnimTrack::Translation)->Evaluate(frame, 60.0f, t));
    ASSERT_TRUE(hips->GetCurve(EngineCore::AnimTrack::Rotation)->Evaluate(frame, 60.0f, q));
    EngineCore::Vector3 r;
    q.GetAngles(r);
    const double deg = 180.0 / 3.14159265358979323846;
    char line[200];
    // Frame 600 is reached with the arrow keys from three frames before, as animators step.
    const bool stepped = frame == 600.0f;
    std::snprintf(line, sizeof line, "scrub %g\n%sexpect-pose Hips %.6f %.6f %.6f %.5f %.5f %.5f 0.0001\n",
                  stepped ? frame - 3.0f : frame,
                  stepped ? "key Left\nkey Right\nkey Right\nkey Right\nkey Right\n" : "", t.x, t.y, t.z, r.x * deg,
                  r.y * deg, r.z * deg);
    script += line;
  }
  clip->Release();
  ASSERT_TRUE(Run(script)) << runner->GetError();
  EXPECT_FALSE(Run("expect-pose Hips 0 0 0 0 0 0 0.0001"));
  EXPECT_EQ(Failure("expect-pose Nobody 0 0 0 0 0 0 1"), "line 1: the scene has no object named 'Nobody'");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Run("button click play\nwait 1000\nbutton click play")) << runner->GetError();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_NEAR(Cursor() / seconds, 120.0, 6.0) << Cursor() << " frames of 01_01's 120 in " << seconds << " s";
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

TEST_F(ScriptedHost, EveryWindowOfAClipPageHasAnIdOfItsOwnAndEachNamedControlIsThePanelsOwn) {
  ASSERT_TRUE(Run("open 01_01")) << runner->GetError();
  GUI_Wnd* page = CurrentPage();
  ASSERT_NE(page, nullptr);
  // The page, the curve panel it holds and the panel's graph and rulers.
  std::map<UINT, int> uses;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(page)) {
    if (wnd->GetDlgCtrlID() != 0) ++uses[wnd->GetDlgCtrlID()];
  }
  EXPECT_GT(uses.size(), 25u) << "the page's and the panel's controls were all found";
  for (const auto& [id, count] : uses) EXPECT_EQ(count, 1) << "id " << id << " is used " << count << " times";

  using Control = TarvelHost::ScriptParser::Control;
  const std::pair<Control, const char*> named[] = {
      {Control::Button, "play"},        {Control::Button, "previous-key"}, {Control::Button, "next-key"},
      {Control::Button, "record"},      {Control::Button, "fit"},          {Control::CheckBox, "auto-record"},
      {Control::CheckBox, "loop"},      {Control::CheckBox, "snap"},       {Control::CheckBox, "values"},
      {Control::CheckBox, "frames"},    {Control::CheckBox, "falloff"},    {Control::Edit, "falloff-before"},
      {Control::Edit, "falloff-after"}, {Control::Edit, "frame"},          {Control::Edit, "value"},
      {Control::Combo, "objects"}};
  for (const auto& [kind, name] : named) {
    const UINT id = TarvelHost::ScriptParser::ControlId(kind, name);
    std::vector<GUI_Wnd*> found;
    for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(page)) {
      if (wnd->GetDlgCtrlID() == id) found.push_back(wnd);
    }
    ASSERT_EQ(found.size(), 1u) << name << " (" << id << ")";
    EXPECT_NE(found[0]->GetParent(), page) << name << " is a control of the page, not of its curve panel";
    const bool rightKind = kind == Control::Button     ? dynamic_cast<GUI_PushButton*>(found[0]) != nullptr
                           : kind == Control::CheckBox ? dynamic_cast<GUI_CheckBox*>(found[0]) != nullptr
                           : kind == Control::Edit     ? dynamic_cast<GUI_EditBox*>(found[0]) != nullptr
                                                       : dynamic_cast<GUI_ComboBox*>(found[0]) != nullptr;
    EXPECT_TRUE(rightKind) << name;
  }
}

TEST_F(ScriptedHost, CheckSnapOffTurnsSnappingOffAndLeavesTheTrackFiltersAsTheyWere) {
  constexpr std::uint32_t kFrame = 100;
  const float start = HipsX(kFrame);
  ASSERT_FALSE(std::isnan(start));
  const std::string key = std::to_string(kFrame) + " " + std::to_string(start);
  // Only the hips' X curve is selected, zoomed in on the key until keys stand far apart; no
  // falloff, so the drag moves that one key.
  std::string script = "open 01_01\nselect-channel Hips\nselect-curve Hips translation X\ncheck falloff off\n";
  for (int notch = 0; notch < 24; ++notch) script += "mouse wheel " + key + "\n";
  ASSERT_TRUE(Run(script)) << runner->GetError();
  const auto [frames, values] = Rulers();
  ASSERT_TRUE(frames && values);
  ASSERT_GT(frames->ValueToPixel(kFrame + 1) - frames->ValueToPixel(kFrame), 25) << "keys lie far apart";
  // A place above the key whose value lies well between two steps of the snap.
  const double step = values->GetUnitValue() * 0.1;
  const int keyRow = values->ValueToPixel(start);
  double target = NAN;
  for (int row = keyRow + 20; row < keyRow + 80 && std::isnan(target); ++row) {
    const double value = values->PixelToValue(row);
    if (std::abs(value - std::round(value / step) * step) > 0.3 * step) target = value;
  }
  ASSERT_FALSE(std::isnan(target)) << "a pixel is coarser than the snap";
  const double snapped = std::round(target / step) * step;
  char drag[200];
  std::snprintf(drag, sizeof drag, "mouse press %s\nmouse move %u %.17g\nmouse release %u %.17g\n", key.c_str(), kFrame,
                target, kFrame, target);

  ASSERT_TRUE(Run(drag)) << runner->GetError();
  EXPECT_NEAR(HipsX(kFrame), snapped, 1e-4 * step) << "snapping is on when a clip opens";
  ASSERT_TRUE(Run("key Ctrl+Z")) << runner->GetError();
  ASSERT_EQ(HipsX(kFrame), start);

  const std::map<UINT, bool> filters = PageBoxes();
  ASSERT_EQ(filters.size(), 7u) << "the track list's seven filter boxes";
  ASSERT_TRUE(Run("check snap off")) << runner->GetError();
  EXPECT_EQ(PageBoxes(), filters) << "no filter box of the track list was clicked";
  ASSERT_TRUE(Run(drag)) << runner->GetError();
  EXPECT_NEAR(HipsX(kFrame), target, 1e-4 * step) << "the key lands where it was dragged, off the snap";
  EXPECT_GT(std::abs(HipsX(kFrame) - snapped), 0.2 * step);
}

TEST_F(ScriptedHost, AMousePlaceNoWindowCoordinateReachesFailsItsLine) {
  ASSERT_TRUE(Run("open 01_01\nselect-channel Hips")) << runner->GetError();
  EXPECT_EQ(Failure("mouse move 100 -1e300"),
            "line 1: frame 100, value -1e300 lies too far outside the graph at this zoom");
  EXPECT_TRUE(Run("mouse move 100 0")) << runner->GetError();
}

TEST_F(ScriptedHost, DialogTextFillsTheFirstEnabledBoxOrTheFieldItNamesSoTheScaleDialogScalesToATypedLength) {
  ASSERT_TRUE(
      Run("open 01_01\nselect-channel Hips\nselect-curve Hips translation X Hips translation Y Hips translation Z"))
      << runner->GetError();
  const auto [first, last] = HipsTranslationFrames();
  ASSERT_GT(last, first + 1000);
  // The dialog opens on a percentage; the greyed-out current length comes first and is passed over.
  ASSERT_TRUE(Run("dialog-text 50\nanswer 1\ncommand 16676")) << runner->GetError();
  EXPECT_EQ(HipsTranslationFrames().first, first);
  EXPECT_NEAR(HipsTranslationFrames().second, first + (last - first) * 0.5, 0.5) << "scaled to half its length";
  ASSERT_TRUE(Run("key Ctrl+Z")) << runner->GetError();
  ASSERT_EQ(HipsTranslationFrames(), std::pair(first, last));

  // The Length choice enables its box, which then takes the new length.
  ASSERT_TRUE(Run("dialog-text 1064=on\ndialog-text 1003=600\nanswer 1\ncommand 16676")) << runner->GetError();
  EXPECT_EQ(HipsTranslationFrames(), std::pair(first, first + 600));
  ASSERT_TRUE(Run("key Ctrl+Z")) << runner->GetError();

  // A box the user could not type in, or one the dialog does not have, fails the line and the
  // dialog changes nothing.
  EXPECT_NE(Failure("dialog-text 1052=5\nanswer 1\ncommand 16676").find("control 1052 is greyed out"),
            std::string::npos)
      << runner->GetError();
  EXPECT_NE(Failure("dialog-text 4242=5\nanswer 1\ncommand 16676").find("has no control 4242"), std::string::npos)
      << runner->GetError();
  EXPECT_NE(Failure("dialog-text 1116=off\nanswer 1\ncommand 16676").find("choose another"), std::string::npos)
      << runner->GetError();
  EXPECT_EQ(HipsTranslationFrames(), std::pair(first, last));
}

}  // namespace

TEST_F(ScriptedHost, ExportCurvesWritesEveryCurveOnEveryFrameWithItsKeys) {
  const std::string path = (temp.Path() / "out" / "curves.csv").string();
  EXPECT_EQ(Failure("export-curves " + path), "line 1: no clip page is open");
  ASSERT_TRUE(Run("open 01_01\nexport-curves " + path)) << runner->GetError();
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
  clip->Release();
  const EngineCore::AnimCurve& hips =
      *clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"))->GetCurve(EngineCore::AnimTrack::Translation);
  std::ifstream in(path);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  EXPECT_EQ(line, "channel,track,axis,frame,value,key");
  std::size_t lines = 0;
  std::size_t hipsX = 0;
  while (std::getline(in, line)) {
    ++lines;
    if (line.rfind("Hips,translation,X,", 0) != 0) continue;
    unsigned frame = 0;
    float value = 0.0f;
    int key = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "Hips,translation,X,%u,%f,%d", &frame, &value, &key), 3) << line;
    ASSERT_LT(hipsX, hips.GetKeyCount());
    EXPECT_EQ(frame, hips.GetKeyFrame(static_cast<std::uint32_t>(hipsX)));
    EXPECT_EQ(value, hips.GetVector3Key(static_cast<std::uint32_t>(hipsX)).x) << line;
    EXPECT_EQ(key, 1);
    ++hipsX;
  }
  EXPECT_EQ(hipsX, hips.GetKeyCount()) << "a key on every frame of the take";
  const std::size_t frames = clip->GetLastKeyFrame() - clip->GetFirstKeyFrame() + 1;
  EXPECT_EQ(lines, 279 * frames);
}

TEST_F(ScriptedHost, ARotationRampsCurvesExportedAreThePosesThePreviewShowsOnEveryFrame) {
  // Hips turned from (0, 0, 0) to (60, 60, 0) degrees over 100 frames with two linear keys: as
  // it plays, Z leaves 0 between them although both keys hold 0 there.
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
  EngineCore::AnimChannel* hips = clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"));
  ASSERT_NE(hips, nullptr);
  EngineCore::AnimCurve& rotation = *hips->GetCurve(EngineCore::AnimTrack::Rotation);
  const std::uint32_t first = rotation.GetKeyFrame(0);
  const float radians = 60.0f * 3.14159265f / 180.0f;
  rotation.Empty();
  ASSERT_TRUE(rotation.AddKey(first, EngineCore::Quaternion::FromAngles(0.0f, 0.0f, 0.0f)));
  ASSERT_TRUE(rotation.AddKey(first + 100, EngineCore::Quaternion::FromAngles(radians, radians, 0.0f)));
  const std::string path = (temp.Path() / "ramp.csv").string();
  ASSERT_TRUE(Run("open 01_01\nexport-curves " + path)) << runner->GetError();

  std::map<std::uint32_t, EngineCore::Vector3> shown;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    char axis = 0;
    unsigned frame = 0;
    float value = 0.0f;
    if (std::sscanf(line.c_str(), "Hips,rotation,%c,%u,%f", &axis, &frame, &value) != 3) continue;
    if (frame > first + 100) continue;
    EngineCore::Vector3& angles = shown[frame];
    (axis == 'X' ? angles.x : axis == 'Y' ? angles.y : angles.z) = value;
  }
  ASSERT_EQ(shown.size(), 101u);
  EXPECT_GT(std::abs(shown[first + 50].z), 5.0f) << "the curve shows the bend of the slerp";
  std::string script;
  for (const auto& [frame, angles] : shown) {
    EngineCore::Vector3 t;
    ASSERT_TRUE(hips->GetCurve(EngineCore::AnimTrack::Translation)->Evaluate(static_cast<float>(frame), 60.0f, t));
    char step[200];
    std::snprintf(step, sizeof step, "scrub %u\nexpect-pose Hips %.6f %.6f %.6f %.5f %.5f %.5f 0.05\n", frame, t.x, t.y,
                  t.z, angles.x, angles.y, angles.z);
    script += step;
  }
  clip->Release();
  ASSERT_TRUE(Run(script)) << runner->GetError();
}

TEST_F(ScriptedHost, FrameRateChangesTheClipsRateFromItsDialogAndTheCurvePanelSaysSo) {
  ASSERT_TRUE(Run("open 01_01")) << runner->GetError();
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
  clip->Release();
  const EngineCore::AnimCurve& hips =
      *clip->GetChannel(EngineCore::Crc32::Compute(4, "Hips"))->GetCurve(EngineCore::AnimTrack::Translation);
  const std::uint32_t last = hips.GetKeyFrame(hips.GetKeyCount() - 1);
  ASSERT_EQ(clip->GetFrameRate(), 120.0f);
  // Re-timed to 60: every key keeps its frame number, and the take lasts twice as long.
  ASSERT_TRUE(Run("dialog-text 1118=60\ndialog-text 1120=on\nanswer 1\ncommand 16661")) << runner->GetError();
  EXPECT_EQ(clip->GetFrameRate(), 60.0f);
  EXPECT_EQ(hips.GetKeyFrame(hips.GetKeyCount() - 1), last);
  bool shown = false;
  for (GUI_Wnd* wnd : ModuleWindows::GetDescendants(CurrentPage())) {
    shown = shown || (wnd->GetDlgCtrlID() == 1068 && wnd->GetWindowText() == "60 fps");
  }
  EXPECT_TRUE(shown) << "the curve panel shows the new rate";
  EXPECT_NE(
      Failure("dialog-text 1120=on\ndialog-text 1122=0.5\nanswer 1\ncommand 16661").find("control 1122 is greyed out"),
      std::string::npos)
      << "the tolerance is for resampling only";
  ASSERT_TRUE(Run("key Ctrl+Z")) << runner->GetError();
  EXPECT_EQ(clip->GetFrameRate(), 120.0f);
  // Resampled to 240, every key keeps its time on a frame twice its number.
  ASSERT_TRUE(Run("dialog-text 1118=240\nanswer 1\ncommand 16661")) << runner->GetError();
  EXPECT_EQ(clip->GetFrameRate(), 240.0f);
  EXPECT_EQ(hips.GetKeyFrame(hips.GetKeyCount() - 1), 2 * last);
}

TEST_F(ScriptedHost, TangentAndInterpolationActionsShapeTheChosenKeysAndTheSavedFileKeepsTheirTypes) {
  // Blender's key at frame 12 (X 2, between 0 and 3) leaves with 4 per second: 1/6 a frame.
  const std::string chooseKey =
      "select-channel Box\nselect-curve Box translation X\nmouse press 11 2.3\nmouse move 13 1.7\n"
      "mouse release 13 1.7\n";
  ASSERT_TRUE(Run("open keyframed\n" + chooseKey +
                  "expect-tangent Box translation X 12 0.166667 0.166667 1e-5\n"
                  // Auto Clamped: the mean of 24/11 and 4/3 a second, within three times the gentler.
                  "tangent auto-clamped\nexpect-tangent Box translation X 12 0.118687 0.118687 1e-5\n"
                  "tangent flat\nexpect-tangent Box translation X 12 0 0 0\nsave"))
      << runner->GetError();
  std::ifstream file(ProjectPath() + "/AnimClips/keyframed.gltf");
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\"uuufuuuuuuuu\""), std::string::npos)
      << "the second key's X is Flat, the rest as Blender made them";

  // Reopened, the key is still Flat, and the Selection menu checks its type.
  ASSERT_TRUE(Run("command 16659\nopen keyframed\n" + chooseKey + "expect-tangent Box translation X 12 0 0 0"))
      << runner->GetError();
  GUI_Menu* menu = GUI_MainFrame::GetMainFrame()->GetMenuBar()->GetInstalledMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->GetMenuState(16750 + 2, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_FALSE(menu->GetMenuState(16750, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_NE(menu->GetMenuItemToolTip(16762).find("changes it on the track's other axes"), std::string::npos);

  // A linear track's key has the slopes of its two segments: 2 over 11 frames, 1 over 18.
  ASSERT_TRUE(Run("interpolation linear\nexpect-tangent Box translation X 12 0.181818 0.0555556 1e-4"))
      << runner->GetError();
  EXPECT_TRUE(menu->GetMenuState(16761, MF_BYCOMMAND) & MF_CHECKED);
  EXPECT_EQ(Failure("expect-tangent Box translation X 13 0 0 0"),
            "line 1: no curve Box translation X of the current page has a key on frame 13");

  // Smooth again, the key's menu (a right click on it) and the keys 1 to 6 set its type.
  ASSERT_TRUE(
      Run("interpolation smooth\npopup Auto\nmouse press 12 2 right\nmouse release 12 2 right\n"
          "expect-tangent Box translation X 12 0.118687 0.118687 1e-5\nkey 3\n"
          "expect-tangent Box translation X 12 0 0 0"))
      << runner->GetError();
  // Auto Clamped again; dragging the next key (frame 30) down to 1 makes frame 12 a peak, flat;
  // an undo brings back the tangent it had.
  ASSERT_TRUE(
      Run("key 1\nexpect-tangent Box translation X 12 0.118687 0.118687 1e-5\n"
          "mouse press 30 3\nmouse move 30 1\nmouse release 30 1\n"
          "expect-tangent Box translation X 12 0 0 0\nkey Ctrl+Z\n"
          "expect-tangent Box translation X 12 0.118687 0.118687 1e-5"))
      << runner->GetError();
  // The panel's Tangents button opens the same menu.
  ASSERT_TRUE(
      Run(chooseKey + "popup Linear\nbutton tangents\nexpect-tangent Box translation X 12 0.181818 0.0555556 1e-5"))
      << runner->GetError();
}

TEST_F(ScriptedHost, EditMenuAndKeysSelectAllUndoSaveAndPlayAsTheMenusSay) {
  const std::string path = ProjectPath() + "/AnimClips/keyframed.gltf";
  const auto written = fs::last_write_time(path);
  // Ctrl+A takes every key of the shown curves; 3 makes them Flat; Ctrl+S saves the clip.
  ASSERT_TRUE(Run("open keyframed\nselect-channel Box\nkey Ctrl+A\nkey 3\nkey Ctrl+S")) << runner->GetError();
  EXPECT_NE(fs::last_write_time(path), written) << "Ctrl+S saved the clip";
  const std::string status = host->GetStatusText();
  EXPECT_EQ(status.rfind("Saved keyframed (", 0), 0u) << status;
  EXPECT_NE(status.find(" KB) at "), std::string::npos) << status;
  std::ifstream file(path);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\"ffffffffffff\""), std::string::npos) << "every key of the Box's translation is Flat";
  GUI_Menu* menu = GUI_MainFrame::GetMainFrame()->GetMenuBar()->GetInstalledMenu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetMenuString(16770, MF_BYCOMMAND), "Undo Tangents Selection\tCtrl+Z");
  EXPECT_TRUE(menu->GetMenuState(16771, MF_BYCOMMAND) & MF_GRAYED) << "nothing to redo";
  // Delete after Select All leaves the shown curves without keys; Undo from the menu brings them back.
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("keyframed");
  const EngineCore::AnimCurve& moves =
      *clip->GetChannel(EngineCore::Crc32::Compute(3, "Box"))->GetCurve(EngineCore::AnimTrack::Translation);
  ASSERT_TRUE(Run("key Ctrl+A\nkey Delete")) << runner->GetError();
  EXPECT_EQ(moves.GetKeyCount(), 0u);
  ASSERT_TRUE(Run("command 16770")) << runner->GetError();
  EXPECT_EQ(moves.GetKeyCount(), 4u);
  clip->Release();
  // Space plays and stops.
  ASSERT_TRUE(Run("key Space\nwait 300\nkey Space")) << runner->GetError();
  EXPECT_GT(Cursor(), 1.0);
}
