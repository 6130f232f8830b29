#include "EngineCore/SceneEditionManager.h"

#include <gtest/gtest.h>

#include "EngineCore/Scene.h"

using EngineCore::Scene;
using EngineCore::SceneEditionManager;
using EngineCore::SceneObject;
using EngineCore::String;

namespace {

constexpr std::uint32_t kAllObjects = 0x7FFFFFFF;

}  // namespace

class ObjectSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = scene_.CreateObject(String("A"));
    b_ = scene_.CreateObject(String("B"));
    c_ = scene_.CreateObject(String("C"));
    manager_ = scene_.GetEditionManager();
  }

  // The selection as the editor walks it: first, then next until null.
  std::vector<SceneObject*> Walk(std::uint32_t mask) const {
    std::vector<SceneObject*> walked;
    for (SceneObject* o = manager_->GetFirstSelectedObject(mask, false); o;
         o = manager_->GetNextSelectedObject(o, mask, false)) {
      walked.push_back(o);
    }
    return walked;
  }

  Scene scene_;
  SceneObject* a_ = nullptr;
  SceneObject* b_ = nullptr;
  SceneObject* c_ = nullptr;
  SceneEditionManager* manager_ = nullptr;
};

TEST_F(ObjectSelection, StartsEmpty) {
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 0u);
  EXPECT_EQ(manager_->GetFirstSelectedObject(kAllObjects, false), nullptr);
  EXPECT_FALSE(manager_->IsSelected(a_));
}

TEST_F(ObjectSelection, WalksObjectsInTheOrderTheyWereSelected) {
  manager_->ToggleObjectSelection(c_);
  manager_->ToggleObjectSelection(a_);
  manager_->ToggleObjectSelection(b_);
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 3u);
  EXPECT_EQ(Walk(kAllObjects), (std::vector<SceneObject*>{c_, a_, b_}));
  EXPECT_EQ(manager_->GetNextSelectedObject(b_, kAllObjects, false), nullptr);
}

TEST_F(ObjectSelection, ToggleDeselectsASelectedObject) {
  manager_->ToggleObjectSelection(a_);
  manager_->ToggleObjectSelection(b_);
  manager_->ToggleObjectSelection(a_);
  EXPECT_FALSE(manager_->IsSelected(a_));
  EXPECT_TRUE(manager_->IsSelected(b_));
  EXPECT_EQ(Walk(kAllObjects), (std::vector<SceneObject*>{b_}));
  manager_->ToggleObjectSelection(a_);
  EXPECT_EQ(Walk(kAllObjects), (std::vector<SceneObject*>{b_, a_}));
}

TEST_F(ObjectSelection, ToggleOfNothingChangesNothing) {
  manager_->ToggleObjectSelection(a_);
  manager_->ToggleObjectSelection(nullptr);
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 1u);
}

TEST_F(ObjectSelection, ClearDeselectsEverything) {
  manager_->ToggleObjectSelection(a_);
  manager_->ToggleObjectSelection(b_);
  manager_->ClearObjectSelection(true);
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 0u);
  EXPECT_FALSE(manager_->IsSelected(a_));
  EXPECT_EQ(manager_->GetFirstSelectedObject(kAllObjects, false), nullptr);
}

TEST_F(ObjectSelection, WalksOnlyObjectsThatMeetTheMask) {
  b_->CreateController();
  manager_->ToggleObjectSelection(a_);
  manager_->ToggleObjectSelection(b_);
  manager_->ToggleObjectSelection(c_);
  c_->CreateController();
  EXPECT_EQ(Walk(SceneObject::TypeAnimated), (std::vector<SceneObject*>{b_, c_}));
  EXPECT_EQ(manager_->GetFirstSelectedObject(SceneObject::TypeAnimated, true), b_);
  EXPECT_EQ(manager_->GetNextSelectedObject(a_, SceneObject::TypeAnimated, false), b_);
}

TEST_F(ObjectSelection, HasNoNextAfterAnUnselectedObject) {
  manager_->ToggleObjectSelection(a_);
  EXPECT_EQ(manager_->GetNextSelectedObject(b_, kAllObjects, false), nullptr);
}

TEST_F(ObjectSelection, ForgetsAnObjectThatLeaves) {
  manager_->ToggleObjectSelection(a_);
  manager_->ToggleObjectSelection(b_);
  manager_->Forget(a_);
  EXPECT_EQ(Walk(kAllObjects), (std::vector<SceneObject*>{b_}));
  manager_->Forget(c_);
  EXPECT_EQ(manager_->GetSelectedObjectCount(), 1u);
}
