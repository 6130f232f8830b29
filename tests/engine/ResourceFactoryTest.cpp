#include "EngineCore/ResourceFactory.h"

#include <gtest/gtest.h>

#include <set>

#include "EngineCore/AnimClip.h"

using EngineCore::AnimClip;
using EngineCore::Resource;
using EngineCore::ResourceFactory;
using EngineCore::String;

namespace {

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

class SharedResources : public ::testing::Test {
 protected:
  void SetUp() override {
    factory_.Clear();
    factory_.SetLoader(kClip, [this](const String& name) -> Resource* {
      ++loads_;
      if (!known_.contains(name.str())) return nullptr;
      return new CountedClip(name, deletions_);
    });
  }

  void TearDown() override { factory_.Clear(); }

  ResourceFactory& factory_ = ResourceFactory::GetInstance();
  std::set<std::string> known_{"walk", "run"};
  int loads_ = 0;
  int deletions_ = 0;
};

TEST_F(SharedResources, IsOneInstance) { EXPECT_EQ(&ResourceFactory::GetInstance(), &factory_); }

TEST_F(SharedResources, LoadsAClipByName) {
  AnimClip* clip = factory_.GetAnimClip("walk");
  ASSERT_NE(clip, nullptr);
  EXPECT_EQ(clip->GetName(), "walk");
  EXPECT_EQ(clip->GetKind(), kClip);
  EXPECT_TRUE(factory_.IsLoaded(kClip, "walk"));
  EXPECT_FALSE(factory_.IsLoaded(kClip, "run"));
  clip->Release();
}

TEST_F(SharedResources, GivesTheSameObjectForTheSameName) {
  AnimClip* first = factory_.GetAnimClip("walk");
  Resource* second = factory_.GetResource(kClip, "walk");
  EXPECT_EQ(second, first);
  EXPECT_EQ(loads_, 1);
  AnimClip* other = factory_.GetAnimClip("run");
  EXPECT_NE(other, first);
  first->Release();
  second->Release();
  other->Release();
}

TEST_F(SharedResources, AddsAReferenceForEachCaller) {
  AnimClip* clip = factory_.GetAnimClip("walk");
  EXPECT_EQ(clip->GetReferenceCount(), 2u);
  AnimClip* again = factory_.GetAnimClip("walk");
  EXPECT_EQ(clip->GetReferenceCount(), 3u);
  again->Release();
  EXPECT_EQ(clip->Release(), 1u);
  EXPECT_EQ(deletions_, 0);
}

TEST_F(SharedResources, KeepsItsReferenceAfterTheCallerReleases) {
  AnimClip* clip = factory_.GetAnimClip("walk");
  clip->Release();
  EXPECT_EQ(deletions_, 0);
  AnimClip* again = factory_.GetAnimClip("walk");
  EXPECT_EQ(again, clip);
  EXPECT_EQ(again->GetReferenceCount(), 2u);
  EXPECT_EQ(loads_, 1);
  again->Release();
}

TEST_F(SharedResources, AnswersNullForAnUnknownName) {
  EXPECT_EQ(factory_.GetAnimClip("swim"), nullptr);
  EXPECT_FALSE(factory_.IsLoaded(kClip, "swim"));
  // A name that failed once is asked again: the file may have appeared since.
  known_.insert("swim");
  AnimClip* clip = factory_.GetAnimClip("swim");
  ASSERT_NE(clip, nullptr);
  clip->Release();
}

TEST_F(SharedResources, AnswersNullForAKindWithoutALoader) {
  EXPECT_EQ(factory_.GetResource(kClip + 1, "walk"), nullptr);
  EXPECT_EQ(loads_, 0);
  factory_.SetLoader(kClip + 1, nullptr);
  EXPECT_EQ(factory_.GetResource(kClip + 1, "walk"), nullptr);
}

TEST_F(SharedResources, SharesAResourceMadeElsewhere) {
  auto* made = new CountedClip("new clip", deletions_);
  factory_.AddResource(made);
  EXPECT_EQ(made->GetReferenceCount(), 2u);
  EXPECT_TRUE(factory_.IsLoaded(kClip, "new clip"));
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
  AnimClip* dropped = factory_.GetAnimClip("run");
  dropped->Release();
  factory_.Clear();
  EXPECT_EQ(deletions_, 1);
  EXPECT_FALSE(factory_.IsLoaded(kClip, "walk"));
  EXPECT_FALSE(factory_.IsLoaded(kClip, "run"));
  EXPECT_EQ(kept->GetReferenceCount(), 1u);
  EXPECT_EQ(factory_.GetAnimClip("walk"), nullptr);
  kept->Release();
  EXPECT_EQ(deletions_, 2);
}
