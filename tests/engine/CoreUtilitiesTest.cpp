#include "EngineCore/Crc32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EngineCore/Log.h"
#include "EngineCore/Math.h"
#include "EngineCore/String.h"
#include "EngineCore/Timer.h"

using EngineCore::Crc32;
using EngineCore::Log;
using EngineCore::Math;
using EngineCore::String;
using EngineCore::Timer;

TEST(Crc32Checksum, MatchesTheStandardCheckValueOverTheGivenLengthOnlyWithBytesAsUnsigned) {
  EXPECT_EQ(Crc32::Compute(9, "123456789"), 0xCBF43926u);
  EXPECT_EQ(Crc32::Compute(9, "123456789 and more"), 0xCBF43926u);
  EXPECT_EQ(Crc32::Compute(43, "The quick brown fox jumps over the lazy dog"), 0x414FA339u);
  EXPECT_EQ(Crc32::Compute(0, "ignored"), 0u);
  const char high[] = {static_cast<char>(0xFF)};
  EXPECT_EQ(Crc32::Compute(1, high), 0xFF000000u);
}

TEST(CatmullRomEvaluation, PassesThroughTheInnerPointsKeepsEvenlySpacedLinesAndGivesTheKnownValues) {
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(-3.0f, 1.5f, 7.0f, 2.0f, 0.0f), 1.5f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(-3.0f, 1.5f, 7.0f, 2.0f, 1.0f), 7.0f);
  for (int i = 0; i <= 10; ++i) {
    const float t = static_cast<float>(i) / 10.0f;
    EXPECT_NEAR(Math::EvaluateCatmullRom(1.0f, 3.0f, 5.0f, 7.0f, t), 3.0f + 2.0f * t, 1e-5f) << "t = " << t;
  }
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(0.0f, 0.0f, 1.0f, 0.0f, 0.5f), 0.5625f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(1.0f, 2.0f, 4.0f, 8.0f, 0.5f), 2.8125f);
  EXPECT_FLOAT_EQ(Math::EvaluateCatmullRom(0.0f, 1.0f, 5.0f, 2.0f, 0.25f), 1.953125f);
}

TEST(EngineString, CountsTheTerminatorInItsStoredLengthLowersJoinsComparesByContentAndFormatsLikePrintfAtAnyLength) {
  EXPECT_EQ(String().GetLength(), 1u);
  EXPECT_EQ(String("Hips").GetLength(), 5u);
  EXPECT_EQ(String("Hips").GetTextLength(), 4u);
  EXPECT_TRUE(String(static_cast<const char*>(nullptr)).IsEmpty());
  EXPECT_FALSE(String(" ").IsEmpty());
  EXPECT_EQ(String("LeftArm_01").ToLower(), "leftarm_01");
  String joined("clip");
  joined += String("_2");
  EXPECT_EQ(joined + String("b"), String("clip_2b"));
  EXPECT_LT(String("abc"), String("abd"));
  EXPECT_FALSE(String("abd") < String("abc"));
  EXPECT_EQ(String::Format("%s_%03d", "Bone", 7), "Bone_007");
  const std::string longText(5000, 'x');
  EXPECT_EQ(String::Format("<%s>", longText.c_str()).str(), "<" + longText + ">");
}

TEST(TimerReadings, StartAtZeroNeverGoBackwardsAndHoldUntilTheNextUpdate) {
  Timer timer;
  timer.Update();
  timer.Reset();
  EXPECT_EQ(timer.GetElapsedSeconds(), 0.0f);
  float previous = 0.0f;
  for (int i = 0; i < 1000; ++i) {
    timer.Update();
    ASSERT_GE(timer.GetElapsedSeconds(), previous);
    previous = timer.GetElapsedSeconds();
  }
  volatile double sink = 0;
  for (int i = 0; i < 100000; ++i) sink = sink + i;
  EXPECT_EQ(timer.GetElapsedSeconds(), previous);
}

TEST(LogSinks, ReceiveEveryLineWithItsLevelUntilRemovedBesideAnEchoToStandardErrorThatCanBeSwitchedOff) {
  Log::SetEchoToStandardError(false);
  std::vector<std::pair<int, std::string>> lines;
  int other = 0;
  const int a = Log::AddSink([&lines](int level, const std::string& line) { lines.push_back({level, line}); });
  const int b = Log::AddSink([&other](int, const std::string&) { ++other; });
  Log::Write(Log::Info, "opened %s with %d channels", "walk", 31);
  Log::Write(Log::Error, "failed");
  Log::RemoveSink(a);
  Log::Write(Log::Warning, "one sink");
  Log::RemoveSink(b);
  Log::Write(Log::Warning, "no sink");
  EXPECT_EQ(lines, (std::vector<std::pair<int, std::string>>{{Log::Info, "opened walk with 31 channels"},
                                                             {Log::Error, "failed"}}));
  EXPECT_EQ(other, 3);
  ::testing::internal::CaptureStderr();
  Log::Write(Log::Error, "quiet line");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  Log::SetEchoToStandardError(true);
  ::testing::internal::CaptureStderr();
  Log::Write(Log::Error, "loud line");
  const std::string echoed = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(echoed.find("loud line"), std::string::npos) << echoed;
}
