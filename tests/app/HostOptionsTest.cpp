#include <gtest/gtest.h>

#include "HostOptions.h"

namespace {

using TarvelHost::HostOptions;

TEST(HostCommandLine, ReadsEveryOption) {
  HostOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse({"--project", "p", "--modules", "m", "--script", "s.txt"}, error)) << error;
  EXPECT_EQ(options.project, "p");
  EXPECT_EQ(options.modules, "m");
  EXPECT_EQ(options.script, "s.txt");
  EXPECT_TRUE(options.screenshot.empty());
}

TEST(HostCommandLine, RefusesUnknownOptionsAndMissingValues) {
  std::string error;
  HostOptions unknown;
  EXPECT_FALSE(unknown.Parse({"--fast"}, error));
  EXPECT_EQ(error, "unknown option '--fast'");
  HostOptions missing;
  EXPECT_FALSE(missing.Parse({"--project"}, error));
  EXPECT_EQ(error, "--project needs a value");
  HostOptions both;
  EXPECT_FALSE(both.Parse({"--script", "a", "--screenshot", "b.png"}, error));
}

TEST(HostCommandLine, FindsTheModulesFolderBesideTheBinariesFolderAndDefaultsToTheDemoProject) {
  EXPECT_EQ(HostOptions::DefaultModulesFolder("/opt/tarvel/bin/tarvel-host"), "/opt/tarvel/modules");
  EXPECT_EQ(HostOptions::DefaultProjectFolder(), TARVEL_DEMO_PROJECT);
}

}  // namespace
