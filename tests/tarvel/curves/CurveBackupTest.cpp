#include <gtest/gtest.h>

#include "curves/CurveInfo.h"

using Tarvel::CurveInfo;

namespace {

// A selected curve whose points the test drags, backs up and takes back as the graph does.
class CurveBackups : public ::testing::Test {
 protected:
  CurveBackups() : curve(7, 1, 2) {
    curve.bSelected = true;
    curve.pCurve->AddPoint({0, 0}, false);
    curve.pCurve->AddPoint({10, 5}, false);
  }
  float X(std::uint32_t i) const { return curve.pCurve->GetPointAt(i)->x; }

  CurveInfo curve;
};

}  // namespace

TEST_F(CurveBackups, TwoTakenBackDragsEachRestoreTheirOwnStartOnlySelectedCurvesAreBackedUp) {
  testing::internal::CaptureStdout();
  curve.Backup(true, "");
  curve.pCurve->MovePointsAt(1, 1, 5.0f);  // 15
  curve.RestorePrevious();
  EXPECT_EQ(X(1), 10.0f);
  curve.pCurve->MovePointsAt(1, 1, 2.0f);  // a move that stays: 12
  curve.Backup(true, "");
  curve.pCurve->MovePointsAt(1, 1, 8.0f);  // 20
  curve.RestorePrevious();
  EXPECT_EQ(X(1), 12.0f) << "the second restore puts back the start of the second drag";
  EXPECT_EQ(curve.iCurrentUndo, 0u);
  EXPECT_EQ(curve.qBackUps.GetCount(), 1u) << "the first drag's backup made way for the second";
  curve.RestorePrevious();
  EXPECT_EQ(X(1), 12.0f) << "a restore needs a backup";
  curve.bSelected = false;
  curve.Backup(true, "");
  EXPECT_EQ(curve.qBackUps.GetCount(), 1u) << "only selected curves are backed up";
  testing::internal::GetCapturedStdout();
}

TEST_F(CurveBackups, PrintTheirDiagnosticLinesAndKeepTheNewest2000) {
  testing::internal::CaptureStdout();
  curve.Backup(false, "drag");
  curve.RestorePrevious();
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "CurveInfo::Backup[2] [ilBackUpCount 1, iCurrentUndo 1 (drag)]\n"
            "CurveInfo::RestorePrevious[2] [ilBackUpCount 0, iCurrentUndo 1 (drag)]\n");
  testing::internal::CaptureStdout();
  for (std::size_t i = 0; i < CurveInfo::kBackupCapacity + 5; ++i) curve.Backup(false, "");
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(curve.qBackUps.GetCount(), CurveInfo::kBackupCapacity);
  EXPECT_EQ(curve.qBackUps.Back()->step, 5u);
}
