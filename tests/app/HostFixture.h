#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "HostWindow.h"
#include "ScriptRunner.h"
#include "TempFolder.h"

namespace HostTest {

// Copies the demo project into a folder of the test's own, so saves never touch the
// repository's copy.
void CopyDemoProject(const std::filesystem::path& to);

// A started host on a copy of the demo project, with the real module library loaded from
// the build's modules folder.
class HostFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The module loaded from libtarvel.so.
  EditorCore::GUI_Module* Panel() const { return host->GetPanelModule(); }
  EditorCore::GUI_DnDManager* GetDnD() const { return host->GetDnDManager(); }
  std::string ProjectPath() const { return (temp.Path() / "demo").string(); }
  // The clip tabs of the module's panel; -1 while it shows none.
  int TabCount() const;

  TestSupport::TempFolder temp;
  std::unique_ptr<TarvelHost::HostWindow> host;
};

// The same host with a script runner: tests run script text as `tarvel-host --script` would.
class ScriptedHostFixture : public HostFixture {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Runs script text; false with the runner's error (a text that does not parse fails the test).
  bool Run(const std::string& text);

  std::unique_ptr<TarvelHost::ScriptRunner> runner;
};

}  // namespace HostTest
