#include "EngineCore/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using EngineCore::Log;

class LogSinks : public ::testing::Test {
 protected:
  void SetUp() override { Log::SetEchoToStandardError(false); }
  void TearDown() override { Log::SetEchoToStandardError(true); }
};

TEST_F(LogSinks, ReceiveEveryLineWithItsLevel) {
  std::vector<std::pair<int, std::string>> lines;
  const int id = Log::AddSink([&lines](int level, const std::string& line) { lines.push_back({level, line}); });
  Log::Write(Log::Info, "opened %s with %d channels", "walk", 31);
  Log::Write(Log::Error, "failed");
  Log::RemoveSink(id);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].first, 1);
  EXPECT_EQ(lines[0].second, "opened walk with 31 channels");
  EXPECT_EQ(lines[1].first, 3);
  EXPECT_EQ(lines[1].second, "failed");
}

TEST_F(LogSinks, StopReceivingOnceRemoved) {
  int first = 0, second = 0;
  const int a = Log::AddSink([&first](int, const std::string&) { ++first; });
  const int b = Log::AddSink([&second](int, const std::string&) { ++second; });
  EXPECT_NE(a, b);
  Log::Write(Log::Warning, "one");
  Log::RemoveSink(a);
  Log::Write(Log::Warning, "two");
  Log::RemoveSink(b);
  Log::Write(Log::Warning, "three");
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
}

TEST_F(LogSinks, EchoToStandardErrorCanBeSwitchedOff) {
  ::testing::internal::CaptureStderr();
  Log::Write(Log::Error, "quiet line");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  Log::SetEchoToStandardError(true);
  ::testing::internal::CaptureStderr();
  Log::Write(Log::Error, "loud line");
  const std::string echoed = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(echoed.find("loud line"), std::string::npos) << echoed;
}
