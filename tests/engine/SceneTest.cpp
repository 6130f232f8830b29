#include "EngineCore/Scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using EngineCore::Quaternion;
using EngineCore::Scene;
using EngineCore::SceneObject;
using EngineCore::String;
using EngineCore::Vector3;

namespace {

constexpr std::uint32_t kAllObjects = 0x7FFFFFFF;

void ExpectVectorNear(const Vector3& actual, const Vector3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f);
  EXPECT_NEAR(actual.y, expected.y, 1e-5f);
  EXPECT_NEAR(actual.z, expected.z, 1e-5f);
}

}  // namespace

class SceneObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = scene_.CreateObject(String("Root"));
    hips_ = scene_.CreateObject(String("Hips"), root_);
    nameless_ = scene_.CreateObject(std::nullopt, hips_);
    head_ = scene_.CreateObject(String("Head"), hips_);
  }

  Scene scene_;
  SceneObject* root_ = nullptr;
  SceneObject* hips_ = nullptr;
  SceneObject* nameless_ = nullptr;
  SceneObject* head_ = nullptr;
};

TEST_F(SceneObjects, KeepsObjectsInCreationOrderWithTheirParents) {
  ASSERT_EQ(scene_.GetObjectCount(), 4u);
  EXPECT_EQ(scene_.GetObjectAt(0), root_);
  EXPECT_EQ(scene_.GetObjectAt(3), head_);
  EXPECT_EQ(root_->GetParent(), nullptr);
  EXPECT_EQ(head_->GetParent(), hips_);
  EXPECT_EQ(nameless_->GetParent(), hips_);
}

TEST_F(SceneObjects, TellsANamelessObjectFromAnEmptyName) {
  SceneObject* empty = scene_.CreateObject(String(""));
  EXPECT_FALSE(nameless_->HasName());
  EXPECT_TRUE(nameless_->GetName().IsEmpty());
  EXPECT_TRUE(empty->HasName());
  EXPECT_TRUE(empty->GetName().IsEmpty());
  EXPECT_EQ(scene_.FindObject(String("")), empty);
}

TEST_F(SceneObjects, FindsTheFirstObjectOfAName) {
  SceneObject* secondHead = scene_.CreateObject(String("Head"));
  EXPECT_EQ(scene_.FindObject("Head"), head_);
  EXPECT_NE(secondHead, head_);
  EXPECT_EQ(scene_.FindObject("Hips"), hips_);
  EXPECT_EQ(scene_.FindObject("Tail"), nullptr);
}

TEST_F(SceneObjects, SearchesAllObjectsInCreationOrder) {
  std::vector<SceneObject*> list;
  scene_.SearchAllObjects(kAllObjects, list);
  EXPECT_EQ(list, (std::vector<SceneObject*>{root_, hips_, nameless_, head_}));
}

TEST_F(SceneObjects, AppendsToTheListItIsGiven) {
  std::vector<SceneObject*> list{nullptr};
  scene_.SearchAllObjects(kAllObjects, list);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0], nullptr);
  EXPECT_EQ(list[1], root_);
}

TEST_F(SceneObjects, SearchesAnimatedObjectsByTheirTypeFlag) {
  EXPECT_EQ(hips_->GetTypeFlags() & SceneObject::TypeAnimated, 0u);
  EXPECT_EQ(hips_->GetController(), nullptr);
  EngineCore::AnimController* controller = head_->CreateController();
  ASSERT_NE(controller, nullptr);
  EXPECT_EQ(controller->GetObject(), head_);
  EXPECT_EQ(head_->GetController(), controller);
  EXPECT_EQ(head_->GetTypeFlags() & 0x80u, 0x80u);
  EXPECT_EQ(head_->CreateController(), controller);
  hips_->CreateController();
  std::vector<SceneObject*> animated;
  scene_.SearchAllObjects(0x80, animated);
  EXPECT_EQ(animated, (std::vector<SceneObject*>{hips_, head_}));
  std::vector<SceneObject*> all;
  scene_.SearchAllObjects(kAllObjects, all);
  EXPECT_EQ(all.size(), 4u);
}

TEST_F(SceneObjects, KeepsOneTagPerObject) {
  String tag("unchanged");
  EXPECT_FALSE(scene_.FindTag(hips_, tag));
  EXPECT_EQ(tag, "unchanged");
  scene_.SetTag(hips_, "pelvis");
  scene_.SetTag(head_, "skull");
  ASSERT_TRUE(scene_.FindTag(hips_, tag));
  EXPECT_EQ(tag, "pelvis");
  scene_.SetTag(hips_, "hip bone");
  ASSERT_TRUE(scene_.FindTag(hips_, tag));
  EXPECT_EQ(tag, "hip bone");
  ASSERT_TRUE(scene_.FindTag(head_, tag));
  EXPECT_EQ(tag, "skull");
  EXPECT_FALSE(scene_.FindTag(root_, tag));
}

TEST_F(SceneObjects, HasAnEditionManagerUntilItIsRemoved) {
  ASSERT_NE(scene_.GetEditionManager(), nullptr);
  EXPECT_EQ(scene_.GetEditionManager()->GetSelectedObjectCount(), 0u);
  scene_.RemoveEditionManager();
  EXPECT_EQ(scene_.GetEditionManager(), nullptr);
}

TEST_F(SceneObjects, PlacesARootObjectAtItsTranslation) {
  root_->SetLocalTranslation({1, 2, 3});
  root_->SetLocalRotation(Quaternion::FromAngles(0.3f, 0.2f, 0.1f));
  ExpectVectorNear(root_->GetWorldPosition(), {1, 2, 3});
}

TEST_F(SceneObjects, PlacesAChildThroughItsParentsTransforms) {
  root_->SetLocalTranslation({10, 0, 0});
  root_->SetLocalRotation(Quaternion::FromAngles(0, 0, std::numbers::pi_v<float> / 2));
  hips_->SetLocalTranslation({1, 0, 0});
  hips_->SetLocalScale({2, 2, 2});
  head_->SetLocalTranslation({0, 3, 0});
  // Hips: (1, 0, 0) turned a quarter about Z is (0, 1, 0), moved to (10, 1, 0).
  ExpectVectorNear(hips_->GetWorldPosition(), {10, 1, 0});
  // Head: (0, 3, 0) scaled by Hips to (0, 6, 0), moved to (1, 6, 0), then turned by Root to
  // (-6, 1, 0) and moved to (4, 1, 0).
  ExpectVectorNear(head_->GetWorldPosition(), {4, 1, 0});
}

TEST_F(SceneObjects, IgnoresAnObjectsOwnRotationAndScaleForItsPosition) {
  hips_->SetLocalTranslation({0, 1, 0});
  head_->SetLocalTranslation({0, 0, 2});
  head_->SetLocalRotation(Quaternion::FromAngles(1, 1, 1));
  head_->SetLocalScale({5, 5, 5});
  ExpectVectorNear(head_->GetWorldPosition(), {0, 1, 2});
}

TEST_F(SceneObjects, ObjectsStartUnlockedForKeying) {
  EXPECT_FALSE(head_->IsKeyingLocked());
  head_->SetKeyingLocked(true);
  EXPECT_TRUE(head_->IsKeyingLocked());
  EXPECT_FALSE(hips_->IsKeyingLocked());
}
