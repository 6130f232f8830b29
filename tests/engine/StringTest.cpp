#include "EngineCore/String.h"

#include <gtest/gtest.h>

#include <map>

using EngineCore::String;

TEST(EngineString, CountsTheTerminatorInItsStoredLength) {
  EXPECT_EQ(String().GetLength(), 1u);
  EXPECT_EQ(String("").GetLength(), 1u);
  EXPECT_EQ(String("Hips").GetLength(), 5u);
  EXPECT_EQ(String("Hips").GetTextLength(), 4u);
}

TEST(EngineString, IsEmptyOnlyWithoutCharacters) {
  EXPECT_TRUE(String().IsEmpty());
  EXPECT_TRUE(String(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_FALSE(String(" ").IsEmpty());
}

TEST(EngineString, FormatsLikePrintf) {
  EXPECT_EQ(String::Format("%s_%03d", "Bone", 7), "Bone_007");
  EXPECT_EQ(String::Format("%.2f", 1.5), "1.50");
  EXPECT_TRUE(String::Format("%s", "").IsEmpty());
}

TEST(EngineString, FormatsTextLongerThanASmallBuffer) {
  const std::string longText(5000, 'x');
  const String formatted = String::Format("<%s>", longText.c_str());
  EXPECT_EQ(formatted.GetTextLength(), 5002u);
  EXPECT_EQ(formatted.str(), "<" + longText + ">");
}

TEST(EngineString, LowersOnlyLetters) {
  EXPECT_EQ(String("LeftArm_01").ToLower(), "leftarm_01");
  EXPECT_EQ(String("LeftArm_01"), "LeftArm_01");
}

TEST(EngineString, ComparesAndJoinsByContent) {
  EXPECT_EQ(String("a") + String("bc"), String("abc"));
  EXPECT_NE(String("abc"), String("abd"));
  EXPECT_LT(String("abc"), String("abd"));
  String joined("clip");
  joined += String("_2");
  EXPECT_EQ(joined, "clip_2");
}

TEST(EngineString, ServesAsAMapKey) {
  std::map<String, int> byName;
  byName[String("b")] = 2;
  byName[String("a")] = 1;
  byName[String("b")] = 3;
  ASSERT_EQ(byName.size(), 2u);
  EXPECT_EQ(byName.begin()->first, "a");
  EXPECT_EQ(byName[String("b")], 3);
}
