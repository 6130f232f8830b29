#include "EngineCore/Resource.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"

using EngineCore::AnimClip;
using EngineCore::Log;
using EngineCore::Resource;
using EngineCore::ResourceStorage;

namespace {

class FakeStorage : public ResourceStorage {
 public:
  explicit FakeStorage(bool succeeds) : succeeds_(succeeds) {}
  bool Save(const Resource& resource) override {
    saved_.push_back(resource.GetName().str());
    return succeeds_;
  }
  const std::vector<std::string>& Saved() const { return saved_; }

 private:
  bool succeeds_;
  std::vector<std::string> saved_;
};

}  // namespace

class ResourceSave : public ::testing::Test {
 protected:
  void SetUp() override {
    Log::SetEchoToStandardError(false);
    sink_ = Log::AddSink([this](int level, const std::string& line) { lines_.push_back({level, line}); });
    clip_->SetModified(true);
  }

  void TearDown() override {
    Log::RemoveSink(sink_);
    Log::SetEchoToStandardError(true);
    clip_->Release();
  }

  AnimClip* clip_ = new AnimClip("walk");
  int sink_ = 0;
  std::vector<std::pair<int, std::string>> lines_;
};

TEST_F(ResourceSave, FailsWithAnErrorWithoutStorage) {
  EXPECT_FALSE(clip_->Save());
  EXPECT_TRUE(clip_->IsModified());
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0].first, Log::Error);
  EXPECT_NE(lines_[0].second.find("walk"), std::string::npos) << lines_[0].second;
}

TEST_F(ResourceSave, ClearsTheModifiedFlagWhenTheStorageSaves) {
  auto storage = std::make_shared<FakeStorage>(true);
  clip_->SetStorage(storage);
  EXPECT_EQ(clip_->GetStorage(), storage.get());
  EXPECT_TRUE(clip_->Save());
  EXPECT_FALSE(clip_->IsModified());
  EXPECT_EQ(storage->Saved(), std::vector<std::string>{"walk"});
  EXPECT_TRUE(lines_.empty());
}

TEST_F(ResourceSave, KeepsTheModifiedFlagWhenTheStorageFails) {
  auto storage = std::make_shared<FakeStorage>(false);
  clip_->SetStorage(storage);
  EXPECT_FALSE(clip_->Save());
  EXPECT_TRUE(clip_->IsModified());
  EXPECT_EQ(storage->Saved().size(), 1u);
}

TEST_F(ResourceSave, SavesAnUnmodifiedResourceToo) {
  auto storage = std::make_shared<FakeStorage>(true);
  clip_->SetStorage(storage);
  clip_->SetModified(false);
  EXPECT_TRUE(clip_->Save());
  EXPECT_EQ(storage->Saved().size(), 1u);
  EXPECT_FALSE(clip_->IsModified());
}

TEST(ResourceState, StartsUnmodifiedWithoutStorage) {
  auto* clip = new AnimClip("idle");
  EXPECT_FALSE(clip->IsModified());
  EXPECT_EQ(clip->GetStorage(), nullptr);
  clip->SetModified(true);
  EXPECT_TRUE(clip->IsModified());
  clip->Release();
}
