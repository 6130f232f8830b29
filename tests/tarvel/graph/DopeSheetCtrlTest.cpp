#include <gtest/gtest.h>

#include "CurveRecords.h"
#include "EditorCore/GUI_BackBuffer.h"
#include "ModuleHost.h"
#include "graph/GUI_DopeSheetCtrl.h"
#include "graph/GUI_DopeSheetLabels.h"
#include "resources/ModuleIds.h"

using EditorCore::COLORREF;
using EditorCore::CPoint;
using EditorCore::RGB;
using Tarvel::GUI_DopeSheetCtrl;

namespace {

// The dope sheet of the page of Walk (Root's translation and Arm's rotation keyed on frames 0,
// 5 and 12), fitted to its keys.
class DopeSheetView : public ModuleHost {
 protected:
  void SetUp() override {
    ModuleHost::SetUp();
    Open("Walk");
    Panel().ShowDopeSheet(true);
    Panel().FitAll();
  }
  GUI_DopeSheetCtrl& Sheet() { return Panel().GetDopeSheetCtrl(); }
  Tarvel::DopeSheet& Model() { return Panel().GetDopeSheet(); }
  // The middle of a row's mark at a frame, in the sheet's window.
  CPoint Mark(const char* row, double frame) {
    return {Panel().GetFrameRuler().ValueToPixel(frame),
            Model().FindRow(row) * GUI_DopeSheetCtrl::kRowHeight + GUI_DopeSheetCtrl::kRowHeight / 2 - 1};
  }
  void Drag(CPoint from, CPoint to) {
    Sheet().OnLButtonDown(0, from);
    Sheet().OnMouseMove(EditorCore::MK_LBUTTON, to);
    Sheet().OnLButtonUp(0, to);
  }
  std::vector<float> RootFrames() {
    return CurveRecords::Frames(*core().GetChannelCurves(ClipBuilderKey("Root"))->front());
  }
  Tarvel::ClipEditCore& core() { return Page()->GetCore(); }
  static std::uint32_t ClipBuilderKey(const char* name) { return EngineCore::AnimClip::ComputeChannelKey(name); }
};

}  // namespace

TEST_F(DopeSheetView, AMarksLookTellsTheInterpolationAndItsFillTheSelection) {
  EditorCore::CRect client;
  Sheet().GetClientRect(client);
  EditorCore::GUI_BackBuffer buffer;
  ASSERT_TRUE(buffer.CreateOffscreen(client.Width(), client.Height()));
  const auto painted = [&](CPoint at) {
    Sheet().Paint(buffer, client.Width(), client.Height());
    return buffer.GetPixel(at.x, at.y);
  };
  const CPoint mark = Mark("Root", 5.0);
  const COLORREF ground = painted({mark.x, mark.y - 8});
  // Off the middle: inside a square, a circle's rim, outside a diamond.
  const CPoint corner{mark.x + 3, mark.y - 3};
  const CPoint side{mark.x + 5, mark.y - 2};
  EXPECT_EQ(painted(corner), ground) << "linear keys: a diamond";
  EXPECT_EQ(painted(mark), RGB(150, 150, 150)) << "filled grey";
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> rootTranslation{{ClipBuilderKey("Root"), 1}};
  ASSERT_TRUE(core().ChangeInterpolation(rootTranslation, EditorToolkit::Curve2::Step));
  EXPECT_NE(painted(corner), ground) << "steps: a square";
  EXPECT_NE(painted(side), ground);
  ASSERT_TRUE(core().ChangeInterpolation(rootTranslation, EditorToolkit::Curve2::Cubic));
  EXPECT_NE(painted(corner), ground) << "smooth: a circle";
  EXPECT_EQ(painted(side), ground);

  Sheet().OnLButtonDown(0, mark);
  Sheet().OnLButtonUp(0, mark);
  EXPECT_EQ(painted(mark), RGB(255, 166, 0)) << "selected";
  EXPECT_EQ(painted(Mark("summary", 5.0)), RGB(255, 166, 0)) << "the summary shows it too";
  EXPECT_EQ(painted(Mark("Arm", 5.0)), RGB(150, 150, 150));
}

TEST_F(DopeSheetView, PressDragAndBandEditThroughTheCoreAndTheGraphShowsTheSelection) {
  Drag(Mark("Root", 5.0), Mark("Root", 5.0));
  EXPECT_EQ(CurveRecords::Selected(*core().GetChannelCurves(ClipBuilderKey("Root"))->front()),
            (std::vector<bool>{false, true, false}));
  Drag(Mark("Root", 5.0), Mark("Root", 8.2));
  EXPECT_EQ(RootFrames(), (std::vector<float>{0, 8, 12})) << "the pressed mark lands on a whole frame";
  EXPECT_EQ(Page()->GetClip()->GetChannel(ClipBuilderKey("Root"))->GetCurve(1)->GetKeyFrame(1), 8u) << "written back";
  EXPECT_EQ(core().GetHistory().GetStepCount(), 1u);

  // A band from the summary to Arm over frames 7 to 13.
  const CPoint from = Mark("summary", 7.0);
  const CPoint to = Mark("Arm", 13.0);
  Drag({from.x, from.y - 5}, {to.x, to.y + 5});
  EXPECT_TRUE(Model().IsMarkSelected(Model().FindRow("Arm"), 12.0f));
  EXPECT_TRUE(Model().IsMarkSelected(Model().FindRow("Root"), 8.0f));
  EXPECT_FALSE(Model().IsMarkSelected(Model().FindRow("Arm"), 5.0f));
  Click(Panel(), Tarvel::Ids::kCtlDopeSheetBox);
  EXPECT_FALSE(Panel().IsDopeSheetShown());
  EXPECT_EQ(core().GetSelection().GetCurves().size(), 6u) << "Root's curves are shown beside Arm's";
  EXPECT_TRUE(core().GetSelection().HasSelectionRange()) << "the graph's markers show the sheet's keys";
  EXPECT_EQ(core().GetSelection().fSelectionBegin, 8.0f);
  EXPECT_EQ(core().GetSelection().fSelectionEnd, 12.0f);
}

TEST_F(DopeSheetView, TheNamesColumnOpensAChannelIntoItsTracksAndSelectsARowsKeys) {
  auto& labels = *Children<Tarvel::GUI_DopeSheetLabels>(Panel()).front();
  EditorCore::CRect client;
  labels.GetClientRect(client);
  EditorCore::GUI_BackBuffer buffer;
  ASSERT_TRUE(buffer.CreateOffscreen(client.Width(), client.Height()));
  labels.Paint(buffer, client.Width(), client.Height());
  EXPECT_EQ(buffer.GetPixel(client.Width() - 2, Mark("Arm", 0).y), RGB(62, 95, 138))
      << "the graph shows Arm: highlighted as in the channel list";
  EXPECT_NE(buffer.GetPixel(client.Width() - 2, Mark("Root", 0).y), RGB(62, 95, 138));
  const int rows = static_cast<int>(Model().GetRows().size());
  labels.OnLButtonDown(0, {4, Mark("Arm", 0).y});
  EXPECT_EQ(static_cast<int>(Model().GetRows().size()), rows + 1) << "Arm's rotation";
  EXPECT_GE(Model().FindRow("Arm rotation"), 0);
  labels.OnLButtonDown(0, {60, Mark("Arm rotation", 0).y});
  EXPECT_EQ(Model().SelectedCurves().size(), 3u);
  EXPECT_TRUE(Model().IsMarkSelected(Model().FindRow("Arm"), 0.0f));
  EXPECT_FALSE(Model().IsMarkSelected(Model().FindRow("Root"), 0.0f));
}
