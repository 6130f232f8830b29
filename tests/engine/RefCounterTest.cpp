#include "EngineCore/RefCounter.h"

#include <gtest/gtest.h>

using EngineCore::RefCounter;

namespace {

class Counted : public RefCounter {
 public:
  explicit Counted(bool& deleted) : deleted_(deleted) {}

 protected:
  ~Counted() override { deleted_ = true; }

 private:
  bool& deleted_;
};

}  // namespace

TEST(ReferenceCounting, StartsWithTheCreatorsReference) {
  bool deleted = false;
  auto* object = new Counted(deleted);
  EXPECT_EQ(object->GetReferenceCount(), 1u);
  object->Release();
  EXPECT_TRUE(deleted);
}

TEST(ReferenceCounting, DeletesOnTheLastReleaseOnly) {
  bool deleted = false;
  auto* object = new Counted(deleted);
  object->AddRef();
  object->AddRef();
  EXPECT_EQ(object->GetReferenceCount(), 3u);
  EXPECT_EQ(object->Release(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_FALSE(deleted);
  EXPECT_EQ(object->Release(), 0u);
  EXPECT_TRUE(deleted);
}
