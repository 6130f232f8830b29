#include "EngineCore/Resource.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "LogCapture.h"

using EngineCore::AnimClip;
using EngineCore::Log;
using EngineCore::Resource;
using EngineCore::ResourceFactory;
using EngineCore::String;

namespace {

class FakeStorage : public EngineCore::ResourceStorage {
 public:
  explicit FakeStorage(bool succeeds) : succeeds_(succeeds) {}
  bool Save(Resource& resource) override {
    saved.push_back(resource.GetName().str());
    return succeeds_;
  }
  std::vector<std::string> saved;

 private:
  bool succeeds_;
};

constexpr std::uint32_t kClip = Resource::KindAnimClip;

// A clip that counts its deletions, to see when the last reference went.
class CountedClip : public AnimClip {
 public:
  CountedClip(String name, int& deletions) : AnimClip(std::move(name)), deletions_(deletions) {}

 protected:
  ~CountedClip() override { ++deletions_; }

 private:
  int& deletions_;
};

}  // namespace

class ResourceSave : public ::testing::Test {
 protected:
  void TearDown() override { clip_->Release(); }

  std::shared_ptr<FakeStorage> Store(bool succeeds) {
    auto storage = std::make_shared<FakeStorage>(succeeds);
    clip_->SetStorage(storage);
    return storage;
  }

  AnimClip* clip_ = new AnimClip("walk");
  TestSupport::LogCapture log_;
};

TEST_F(ResourceSave, FailsWithAnErrorWithoutStorage) {
  EXPECT_FALSE(clip_->IsModified());
  EXPECT_EQ(clip_->GetStorage(), nullptr);
  clip_->SetModified(true);
  EXPECT_FALSE(clip_->Save());
  EXPECT_TRUE(clip_->IsModified());
  ASSERT_EQ(log_.Lines().size(), 1u);
  EXPECT_EQ(log_.Count(Log::Error, "walk"), 1);
}

TEST_F(ResourceSave, ClearsTheModifiedFlagOnlyWhenTheStorageSaves) {
  clip_->SetModified(true);
  auto failing = Store(false);
  EXPECT_FALSE(clip_->Save());
  EXPECT_TRUE(clip_->IsModified());
  EXPECT_EQ(failing->saved.size(), 1u);
  auto storage = Store(true);
  EXPECT_EQ(clip_->GetStorage(), storage.get());
  EXPECT_TRUE(clip_->Save());
  EXPECT_FALSE(clip_->IsModified());
  // An unmodified resource is written too.
  EXPECT_TRUE(clip_->Save());
  EXPECT_EQ(storage->saved, (std::vector<std::string>{"walk", "walk"}));
  EXPECT_TRUE(log_.Lines().empty());
}

class SharedResources : public ::testing::Test {
 protected:
  void SetUp() override {
    factory_.Clear();
    factory_.SetLoader(kClip, [this](const String& name) -> Resource* {
      ++loads_;
      return known_.contains(name.str()) ? new CountedClip(name, deletions_) : nullptr;
    });
  }

  void TearDown() override { factory_.Clear(); }

  ResourceFactory& factory_ = ResourceFactory::GetInstance();
  std::set<std::string> known_{"walk", "run"};
  int loads_ = 0;
  int deletions_ = 0;
};

TEST_F(SharedResources, LoadsOnceSharesOneObjectPerNameAndAddsAReferenceForEachCallerBesideItsOwn) {
  AnimClip* first = factory_.GetAnimClip("walk");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetName(), "walk");
  EXPECT_EQ(first->GetReferenceCount(), 2u);
  EXPECT_TRUE(factory_.IsLoaded(kClip, "walk"));
  EXPECT_FALSE(factory_.IsLoaded(kClip, "run"));
  Resource* second = ResourceFactory::GetInstance().GetResource(kClip, "walk");
  EXPECT_EQ(second, first);
  EXPECT_EQ(first->GetReferenceCount(), 3u);
  AnimClip* other = factory_.GetAnimClip("run");
  EXPECT_NE(other, first);
  EXPECT_EQ(loads_, 2);
  second->Release();
  other->Release();
  EXPECT_EQ(first->Release(), 1u);
  EXPECT_EQ(deletions_, 0);
  AnimClip* later = factory_.GetAnimClip("walk");
  EXPECT_EQ(later, first);
  EXPECT_EQ(loads_, 2);
  later->Release();
}

TEST_F(SharedResources, AnswersNullForAnUnknownNameOrKindAndAsksAgainLater) {
  EXPECT_EQ(factory_.GetAnimClip("swim"), nullptr);
  EXPECT_FALSE(factory_.IsLoaded(kClip, "swim"));
  EXPECT_EQ(factory_.GetResource(kClip + 1, "walk"), nullptr);
  EXPECT_EQ(loads_, 1);
  // A name that failed once is asked again: the file may have appeared since.
  known_.insert("swim");
  AnimClip* clip = factory_.GetAnimClip("swim");
  ASSERT_NE(clip, nullptr);
  clip->Release();
}

TEST_F(SharedResources, SharesAResourceMadeElsewhere) {
  auto* made = new CountedClip("new clip", deletions_);
  factory_.AddResource(made);
  factory_.AddResource(made);
  EXPECT_EQ(made->GetReferenceCount(), 2u);
  made->Release();
  AnimClip* found = factory_.GetAnimClip("new clip");
  EXPECT_EQ(found, made);
  EXPECT_EQ(loads_, 0);
  found->Release();
  EXPECT_EQ(deletions_, 0);
}

TEST_F(SharedResources, ClearDropsItsReferencesAndLoaders) {
  AnimClip* kept = factory_.GetAnimClip("walk");
  factory_.GetAnimClip("run")->Release();
  factory_.Clear();
  EXPECT_EQ(deletions_, 1);
  EXPECT_FALSE(factory_.IsLoaded(kClip, "walk"));
  EXPECT_EQ(kept->GetReferenceCount(), 1u);
  EXPECT_EQ(factory_.GetAnimClip("walk"), nullptr);
  kept->Release();
  EXPECT_EQ(deletions_, 2);
}
