#include <utility>

#include <gtest/gtest.h>

#include "HostOptions.h"

namespace {

using TarvelHost::HostOptions;

TEST(HostCommandLine, ReadsEveryOptionAndRefusesUnknownOptionsMissingValuesAndAScriptWithAScreenshot) {
  HostOptions options;
  std::string error;
  ASSERT_TRUE(options.Parse({"--project", "p", "--modules", "m", "--script", "s.txt"}, error)) << error;
  EXPECT_EQ(options.project, "p");
  EXPECT_EQ(options.modules, "m");
  EXPECT_EQ(options.script, "s.txt");
  EXPECT_TRUE(options.screenshot.empty());
  EXPECT_FALSE(HostOptions().Parse({"--fast"}, error));
  EXPECT_EQ(error, "unknown option '--fast'");
  EXPECT_FALSE(HostOptions().Parse({"--project"}, error));
  EXPECT_EQ(error, "--project needs a value");
  EXPECT_FALSE(HostOptions().Parse({"--script", "a", "--screenshot", "b.png"}, error));
  HostOptions alone;
  ASSERT_TRUE(alone.Parse({"clip.gltf", "--size", "900x600"}, error)) << error;
  EXPECT_EQ(alone.project, "clip.gltf") << "a clip file named alone";
  EXPECT_FALSE(HostOptions().Parse({"--project", "p", "clip.gltf"}, error));
  EXPECT_EQ(error, "only one clip file or project can be opened");
  ASSERT_TRUE(options.Parse({"--size", "1024x700"}, error)) << error;
  EXPECT_EQ(std::pair(options.width, options.height), std::pair(1024, 700));
  for (const char* bad : {"1024", "1024x", "0x700", "1024x700px"}) {
    EXPECT_FALSE(HostOptions().Parse({"--size", bad}, error)) << bad;
  }
}

TEST(HostCommandLine, FindsTheModulesFolderBesideTheBinariesFolderAndDefaultsToTheDemoProject) {
  EXPECT_EQ(HostOptions::DefaultModulesFolder("/opt/tarvel/bin/tarvel-host"), "/opt/tarvel/modules");
  EXPECT_EQ(HostOptions::DefaultProjectFolder(), TARVEL_DEMO_PROJECT);
}

}  // namespace
