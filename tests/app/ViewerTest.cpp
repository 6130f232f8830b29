#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "EditorCore/GUI_App.h"
#include "EngineCore/Scene.h"
#include "ViewerCamera.h"
#include "ViewerWnd.h"

namespace {

using EngineCore::Vector3;
using TarvelHost::ViewerCamera;
using TarvelHost::ViewerWnd;

constexpr int kWidth = 200;
constexpr int kHeight = 160;

TEST(ViewerCameraProjection, PutsTheTargetAtTheCentrePlusXRightPlusYUpAndHidesWhatIsBehind) {
  ViewerCamera camera;
  camera.Fit(Vector3(-1, -1, -1), Vector3(1, 3, 1));
  const Vector3 target = camera.GetTarget();
  EXPECT_NEAR(target.y, 1.0f, 1e-6f);
  const auto p = camera.Project(target, kWidth, kHeight);
  ASSERT_TRUE(p.visible);
  EXPECT_NEAR(p.x, kWidth / 2.0f, 1e-3f);
  EXPECT_NEAR(p.y, kHeight / 2.0f, 1e-3f);
  const auto right = camera.Project(target + Vector3(1, 0, 0), kWidth, kHeight);
  EXPECT_GT(right.x, kWidth / 2.0f + 5.0f);
  EXPECT_NEAR(right.y, kHeight / 2.0f, 1.0f);
  EXPECT_LT(camera.Project(target + Vector3(0, 1, 0), kWidth, kHeight).y, kHeight / 2.0f - 5.0f);
  const Vector3 behind = camera.GetPosition() + (camera.GetPosition() - target);
  EXPECT_FALSE(camera.Project(behind, kWidth, kHeight).visible);
}

TEST(ViewerCameraMoves, PanFollowsThePointerZoomReturnsOrbitTurnsPitchStopsBeforeTheViewFlipsAndAFitShowsEveryCorner) {
  ViewerCamera camera;
  const Vector3 target = camera.GetTarget();
  camera.Pan(12.0f, -7.0f, kHeight);
  const auto panned = camera.Project(target, kWidth, kHeight);
  EXPECT_NEAR(panned.x, kWidth / 2.0f + 12.0f, 0.5f);
  EXPECT_NEAR(panned.y, kHeight / 2.0f - 7.0f, 0.5f);
  const float distance = camera.GetDistance();
  camera.Zoom(2.0f);
  EXPECT_LT(camera.GetDistance(), distance);
  camera.Zoom(-2.0f);
  EXPECT_NEAR(camera.GetDistance(), distance, 1e-4f);
  ViewerCamera turned;
  const Vector3 point = turned.GetTarget() + Vector3(1, 0, 0);
  turned.Orbit(-static_cast<float>(M_PI) / 0.01f, 0.0f);
  EXPECT_LT(turned.Project(point, kWidth, kHeight).x, kWidth / 2.0f - 5.0f) << "a half turn shows the other side";
  for (const float drag : {10000.0f, -20000.0f}) {
    turned.Orbit(0.0f, drag);
    EXPECT_LT(std::abs(turned.GetPitch()), static_cast<float>(M_PI) / 2.0f);
    EXPECT_GT(std::abs(turned.GetPitch()), 1.0f);
  }
  for (const float aspect : {0.5f, 1.0f, 2.0f}) {
    ViewerCamera fitted;
    const Vector3 low(-3, 0, -1);
    const Vector3 high(3, 2, 1);
    fitted.Fit(low, high, aspect);
    const int width = static_cast<int>(kHeight * aspect);
    for (int corner = 0; corner < 8; ++corner) {
      const Vector3 p((corner & 1) ? high.x : low.x, (corner & 2) ? high.y : low.y, (corner & 4) ? high.z : low.z);
      const auto at = fitted.Project(p, width, kHeight);
      ASSERT_TRUE(at.visible);
      EXPECT_GE(at.x, 0.0f) << aspect;
      EXPECT_LE(at.x, static_cast<float>(width)) << aspect;
      EXPECT_GE(at.y, 0.0f) << aspect;
      EXPECT_LE(at.y, static_cast<float>(kHeight)) << aspect;
    }
  }
}

class ViewerDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    EditorCore::GUI_App::EnsureForTests();
    root = scene.CreateObject(EngineCore::String("Root"));
    child = scene.CreateObject(EngineCore::String("Child"), root);
    child->SetLocalTranslation(Vector3(0, 1, 0));
    view.SetScene(&scene);
    view.GetCamera().Fit(Vector3(-1, 0, -1), Vector3(1, 1, 1));
    ASSERT_TRUE(buffer.CreateOffscreen(kWidth, kHeight));
  }
  EditorCore::CPoint At(const EngineCore::SceneObject* object) {
    const auto p = view.GetCamera().Project(object->GetWorldPosition(), kWidth, kHeight);
    return EditorCore::CPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
  }

  EngineCore::Scene scene;
  EngineCore::SceneObject* root = nullptr;
  EngineCore::SceneObject* child = nullptr;
  ViewerWnd view;
  EditorCore::GUI_BackBuffer buffer;
};

TEST_F(ViewerDrawing, DrawsJointsAndBonesFromJointsOnlyHighlightsSelectedObjectsAndMarksAnimatedOnes) {
  view.Render(buffer);
  const auto a = At(root);
  const auto b = At(child);
  EXPECT_EQ(buffer.GetPixel(a.x, a.y), ViewerWnd::kJoint);
  EXPECT_EQ(buffer.GetPixel(b.x, b.y), ViewerWnd::kJoint);
  EXPECT_EQ(buffer.GetPixel((a.x + b.x) / 2, (a.y + b.y) / 2), ViewerWnd::kBackground) << "Root is no joint";
  root->SetJoint(true);
  view.Render(buffer);
  EXPECT_EQ(buffer.GetPixel((a.x + b.x) / 2, (a.y + b.y) / 2), ViewerWnd::kBone);
  EXPECT_EQ(buffer.GetPixel(kWidth - 2, kHeight - 2), ViewerWnd::kBackground);
  root->SetJoint(false);
  scene.GetEditionManager()->ToggleObjectSelection(child);
  root->CreateController();
  view.Render(buffer);
  EXPECT_EQ(buffer.GetPixel(b.x, b.y), ViewerWnd::kSelected);
  EXPECT_EQ(buffer.GetPixel((a.x + b.x) / 2, (a.y + b.y) / 2), ViewerWnd::kSelected);
  EXPECT_EQ(buffer.GetPixel(a.x, a.y), ViewerWnd::kAnimatedJoint);
}

TEST_F(ViewerDrawing, AJointThatEndsItsChainShowsItsOwnTurnAsAShortBone) {
  root->SetJoint(true);
  child->SetJoint(true);
  auto pixelAt = [&](const Vector3& place) {
    view.Render(buffer);
    const auto p = view.GetCamera().Project(place, kWidth, kHeight);
    return buffer.GetPixel(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
  };
  // Half as long as the bone to it, along the child's own offset (up) turned by its rotation.
  EXPECT_EQ(pixelAt(Vector3(0, 1.25f, 0)), ViewerWnd::kBone);
  // Turned a quarter about Z, the short bone points along -X.
  child->SetLocalRotation(EngineCore::Quaternion::FromAngles(0.0f, 0.0f, 1.5707964f));
  EXPECT_EQ(pixelAt(Vector3(-0.25f, 1.0f, 0)), ViewerWnd::kBone);
  EXPECT_EQ(pixelAt(Vector3(0, 1.25f, 0)), ViewerWnd::kBackground);
}

TEST_F(ViewerDrawing, PicksTheObjectUnderThePointerAndWithoutASceneDrawsOnlyTheBackgroundAndPicksNothing) {
  const auto b = At(child);
  EXPECT_EQ(view.PickObject(EditorCore::CPoint(b.x + 3, b.y - 3), kWidth, kHeight), child);
  EXPECT_EQ(view.PickObject(At(root), kWidth, kHeight), root);
  EXPECT_EQ(view.PickObject(EditorCore::CPoint(b.x + ViewerWnd::kPickRadius + 2, b.y), kWidth, kHeight), nullptr);
  view.SetScene(nullptr);
  view.Render(buffer);
  EXPECT_EQ(buffer.GetPixel(1, 1), ViewerWnd::kBackground);
  EXPECT_EQ(view.PickObject(EditorCore::CPoint(kWidth / 2, kHeight / 2), kWidth, kHeight), nullptr);
}

TEST_F(ViewerDrawing, FrameAllFrameSelectedAndFollowingBringTheObjectsBackIntoView) {
  auto inView = [&](const EngineCore::SceneObject* object) {
    const auto p = view.GetCamera().Project(object->GetWorldPosition(), kWidth, kHeight);
    return p.visible && p.x >= 0 && p.x <= kWidth && p.y >= 0 && p.y <= kHeight;
  };
  auto atCentre = [&](const EngineCore::SceneObject* object) {
    const auto p = view.GetCamera().Project(object->GetWorldPosition(), kWidth, kHeight);
    return p.visible && std::abs(p.x - kWidth / 2.0f) < 1.0f && std::abs(p.y - kHeight / 2.0f) < 1.0f;
  };
  view.SetFollow(false);
  child->SetLocalTranslation(Vector3(40, 0, 0));
  ASSERT_FALSE(inView(child));
  view.OnKeyDown('A', 1, 0);
  EXPECT_TRUE(inView(root) && inView(child)) << "A frames every object";
  scene.GetEditionManager()->ToggleObjectSelection(child);
  view.OnKeyDown('F', 1, 0);
  EXPECT_TRUE(atCentre(child)) << "F frames the selection";
  EXPECT_FALSE(atCentre(root));
  root->CreateController();
  root->SetLocalTranslation(Vector3(0, 0, -30));
  view.RequestRedraw();
  EXPECT_FALSE(atCentre(root)) << "not following yet";
  view.SetFollow(true);
  view.RequestRedraw();
  EXPECT_TRUE(atCentre(root)) << "the view follows the animated objects";
}

TEST(ViewerChain, FramesDrawsAndFramesTheDeepestJointOfAChainOfTwoHundredThousand) {
  EditorCore::GUI_App::EnsureForTests();
  constexpr int kCount = 200'000;
  EngineCore::Scene chain;
  EngineCore::SceneObject* deepest = nullptr;
  for (int i = 0; i < kCount; ++i) {
    deepest = chain.CreateObject(EngineCore::String("n" + std::to_string(i)), deepest);
    if (i > 0) deepest->SetLocalTranslation(Vector3(1, 0, 0));
    deepest->SetJoint(true);
  }
  ViewerWnd view;
  view.SetScene(&chain);
  EXPECT_NEAR(view.GetCamera().GetTarget().x, (kCount - 1) / 2.0f, 1.0f) << "framed from n0 at 0 to the last at N - 1";
  EditorCore::GUI_BackBuffer buffer;
  ASSERT_TRUE(buffer.CreateOffscreen(kWidth, kHeight));
  view.Render(buffer);
  EXPECT_EQ(buffer.GetPixel(kWidth / 2, kHeight / 2), ViewerWnd::kJoint) << "the chain runs through the middle";
  chain.GetEditionManager()->ToggleObjectSelection(deepest);
  view.OnKeyDown('F', 1, 0);
  const auto p = view.GetCamera().Project(deepest->GetWorldPosition(), kWidth, kHeight);
  EXPECT_TRUE(p.visible);
  EXPECT_NEAR(p.x, kWidth / 2.0f, 1.0f) << "F frames the deepest joint";
  EXPECT_NEAR(p.y, kHeight / 2.0f, 1.0f);
}

}  // namespace

TEST_F(ViewerDrawing, AnObjectWithMorphWeightsShowsThemBelowItAsNumbers) {
  const auto b = At(child);
  // The text's box, right of the joint and below it.
  auto inked = [&] {
    int count = 0;
    for (int y = b.y + 8; y < b.y + 24; ++y) {
      for (int x = b.x + 6; x < b.x + 120 && x < kWidth; ++x)
        count += buffer.GetPixel(x, y) == ViewerWnd::kAnimatedJoint;
    }
    return count;
  };
  view.Render(buffer);
  EXPECT_EQ(inked(), 0);
  child->SetMorphWeights({0.25f, 1.0f});
  view.Render(buffer);
  EXPECT_GT(inked(), 10) << "the weights are written beside the object";
}
