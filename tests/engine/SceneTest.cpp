#include "EngineCore/Scene.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "EngineCore/SceneEditionManager.h"

using EngineCore::Quaternion;
using EngineCore::Scene;
using EngineCore::SceneEditionManager;
using EngineCore::SceneObject;
using EngineCore::String;
using EngineCore::Vector3;

namespace {

constexpr std::uint32_t kAllObjects = 0x7FFFFFFF;

void ExpectNear(const Vector3& actual, const Vector3& expected) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "component " << i;
}

}  // namespace

class SceneObjects : public ::testing::Test {
 protected:
  std::vector<SceneObject*> Search(std::uint32_t mask, std::vector<SceneObject*> list = {}) const {
    scene_.SearchAllObjects(mask, list);
    return list;
  }

  Scene scene_;
  SceneObject* root_ = scene_.CreateObject(String("Root"));
  SceneObject* hips_ = scene_.CreateObject(String("Hips"), root_);
  SceneObject* nameless_ = scene_.CreateObject(std::nullopt, hips_);
  SceneObject* head_ = scene_.CreateObject(String("Head"), hips_);
};

TEST_F(SceneObjects, SearchesInCreationOrderFindsTheFirstObjectOfANameAndTellsNamelessFromEmpty) {
  EXPECT_EQ(head_->GetParent(), hips_);
  EXPECT_EQ(Search(kAllObjects), (std::vector<SceneObject*>{root_, hips_, nameless_, head_}));
  EXPECT_EQ(Search(kAllObjects, {nullptr}), (std::vector<SceneObject*>{nullptr, root_, hips_, nameless_, head_}));
  scene_.CreateObject(String("Head"));
  EXPECT_EQ(scene_.FindObject("Head"), head_);
  EXPECT_EQ(scene_.FindObject("Tail"), nullptr);
  EXPECT_EQ(scene_.FindObject(String("")), nullptr);
  SceneObject* empty = scene_.CreateObject(String(""));
  EXPECT_FALSE(nameless_->HasName());
  EXPECT_TRUE(empty->HasName());
  EXPECT_EQ(scene_.FindObject(String("")), empty);
}

TEST_F(SceneObjects, SearchesAnimatedObjectsByTypeFlag0x80) {
  EXPECT_EQ(Search(0x80), std::vector<SceneObject*>{});
  EngineCore::AnimController* controller = head_->CreateController();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->GetObject(), head_);
  EXPECT_EQ(head_->GetTypeFlags() & 0x80u, 0x80u);
  EXPECT_EQ(head_->CreateController(), controller);
  hips_->CreateController();
  EXPECT_EQ(Search(0x80), (std::vector<SceneObject*>{hips_, head_}));
  EXPECT_EQ(Search(kAllObjects).size(), 4u);
}

TEST_F(SceneObjects, KeepsOneTagPerObjectAndAnEditionManagerUntilItIsRemoved) {
  String tag("unchanged");
  EXPECT_FALSE(scene_.FindTag(hips_, tag));
  EXPECT_EQ(tag, "unchanged");
  scene_.SetTag(hips_, "pelvis");
  scene_.SetTag(head_, "skull");
  scene_.SetTag(hips_, "hip bone");
  ASSERT_TRUE(scene_.FindTag(hips_, tag));
  EXPECT_EQ(tag, "hip bone");
  ASSERT_TRUE(scene_.FindTag(head_, tag));
  EXPECT_EQ(tag, "skull");
  EXPECT_FALSE(scene_.FindTag(root_, tag));
  ASSERT_NE(scene_.GetEditionManager(), nullptr);
  scene_.RemoveEditionManager();
  EXPECT_EQ(scene_.GetEditionManager(), nullptr);
}

TEST_F(SceneObjects, PlacesAChildThroughItsParentsTransformsOnly) {
  root_->SetLocalTranslation({10, 0, 0});
  root_->SetLocalRotation(Quaternion::FromAngles(0, 0, std::numbers::pi_v<float> / 2));
  hips_->SetLocalTranslation({1, 0, 0});
  hips_->SetLocalScale({2, 2, 2});
  head_->SetLocalTranslation({0, 3, 0});
  head_->SetLocalRotation(Quaternion::FromAngles(1, 1, 1));
  head_->SetLocalScale({5, 5, 5});
  ExpectNear(root_->GetWorldPosition(), {10, 0, 0});
  // Hips: (1, 0, 0) turned a quarter about Z is (0, 1, 0), moved to (10, 1, 0).
  ExpectNear(hips_->GetWorldPosition(), {10, 1, 0});
  // Head: (0, 3, 0) scaled by Hips to (0, 6, 0), moved to (1, 6, 0), turned by Root to
  // (-6, 1, 0) and moved to (4, 1, 0); its own rotation and scale play no part.
  ExpectNear(head_->GetWorldPosition(), {4, 1, 0});
  // Every object placed at once agrees, turned and scaled unevenly at every level too.
  nameless_->SetLocalTranslation({0.5f, -2, 7});
  nameless_->SetLocalRotation(Quaternion::FromAngles(0.3f, -1.2f, 2));
  hips_->SetLocalScale({1, 3, 0.5f});
  hips_->SetLocalRotation(Quaternion::FromAngles(-0.7f, 0.2f, 0.4f));
  SceneObject* tip = scene_.CreateObject(String("Tip"), nameless_);
  tip->SetLocalTranslation({1, 2, 3});
  std::vector<Vector3> positions;
  scene_.ComputeWorldPositions(positions);
  ASSERT_EQ(positions.size(), scene_.GetObjectCount());
  for (std::uint32_t i = 0; i < scene_.GetObjectCount(); ++i) {
    SCOPED_TRACE("object " + std::to_string(i));
    EXPECT_EQ(scene_.GetObjectAt(i)->GetIndex(), i);
    ExpectNear(positions[i], scene_.GetObjectAt(i)->GetWorldPosition());
  }
}

TEST(SceneHierarchy, PlacesTheEndOfAChainOfTwoHundredThousandObjectsAndFindsItByName) {
  constexpr std::uint32_t kCount = 200'000;
  Scene scene;
  SceneObject* parent = nullptr;
  for (std::uint32_t i = 0; i < kCount; ++i) {
    parent = scene.CreateObject(String("n" + std::to_string(i)), parent);
    parent->SetLocalTranslation({1, 0, 0});
  }
  SceneObject* last = scene.FindObject(String("n" + std::to_string(kCount - 1)));
  ASSERT_EQ(last, scene.GetObjectAt(kCount - 1));
  EXPECT_EQ(last->GetParent(), scene.GetObjectAt(kCount - 2));
  std::vector<Vector3> positions;
  scene.ComputeWorldPositions(positions);
  // Each object stands one unit beyond its parent: the root at x = 1, the last at x = N.
  EXPECT_EQ(positions[0].x, 1.0f);
  EXPECT_EQ(positions[kCount / 2].x, static_cast<float>(kCount / 2 + 1));
  EXPECT_EQ(positions[kCount - 1].x, static_cast<float>(kCount));
  EXPECT_EQ(positions[kCount - 1].y, 0.0f);
  EXPECT_EQ(last->GetWorldPosition().x, static_cast<float>(kCount));
}

class ObjectSelection : public ::testing::Test {
 protected:
  // The selection as the editor walks it: first, then next until null.
  std::vector<SceneObject*> Walk(std::uint32_t mask = kAllObjects) const {
    std::vector<SceneObject*> walked;
    for (SceneObject* o = manager_->GetFirstSelectedObject(mask, false); o;
         o = manager_->GetNextSelectedObject(o, mask, false)) {
      walked.push_back(o);
    }
    return walked;
  }

  void Toggle(std::initializer_list<SceneObject*> objects) {
    for (SceneObject* o : objects) manager_->ToggleObjectSelection(o);
  }

  Scene scene_;
  SceneObject* a_ = scene_.CreateObject(String("A"));
  SceneObject* b_ = scene_.CreateObject(String("B"));
  SceneObject* c_ = scene_.CreateObject(String("C"));
  SceneEditionManager* manager_ = scene_.GetEditionManager();
};

TEST_F(ObjectSelection, WalksObjectsInTheOrderTheyWereSelected) {
  EXPECT_EQ(manager_->GetFirstSelectedObject(kAllObjects, false), nullptr);
  Toggle({c_, a_, b_, nullptr});
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 3u);
  EXPECT_EQ(Walk(), (std::vector<SceneObject*>{c_, a_, b_}));
}

TEST_F(ObjectSelection, ToggleClearAndForgetDeselect) {
  Toggle({a_, b_, a_});
  EXPECT_FALSE(manager_->IsSelected(a_));
  EXPECT_TRUE(manager_->IsSelected(b_));
  EXPECT_EQ(Walk(), (std::vector<SceneObject*>{b_}));
  EXPECT_EQ(manager_->GetNextSelectedObject(a_, kAllObjects, false), nullptr);
  Toggle({a_, c_});
  EXPECT_EQ(Walk(), (std::vector<SceneObject*>{b_, a_, c_}));
  manager_->Forget(a_);
  EXPECT_EQ(Walk(), (std::vector<SceneObject*>{b_, c_}));
  manager_->ClearObjectSelection(true);
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 0u);
  EXPECT_EQ(Walk(), std::vector<SceneObject*>{});
}

TEST_F(ObjectSelection, WalksOnlyObjectsThatMeetTheMask) {
  b_->CreateController();
  Toggle({a_, b_, c_});
  c_->CreateController();
  EXPECT_EQ(Walk(SceneObject::TypeAnimated), (std::vector<SceneObject*>{b_, c_}));
  EXPECT_EQ(manager_->GetNextSelectedObject(a_, SceneObject::TypeAnimated, false), b_);
}
