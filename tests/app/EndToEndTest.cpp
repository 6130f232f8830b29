#include <gtest/gtest.h>

#include <QImage>

#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <thread>

#include "HostFixture.h"
#include "TempFolder.h"

namespace {

namespace fs = std::filesystem;

// Whole runs of tarvel-host as a user starts it, offscreen.
class HostRuns : public ::testing::Test {
 protected:
  void SetUp() override { HostTest::CopyDemoProject(temp.Path() / "demo"); }

  // Runs the host with the arguments; returns its exit status and fills `output` with
  // what it printed on standard output and standard error.
  int RunHost(const std::string& arguments, std::string& output) {
    const std::string command = "QT_QPA_PLATFORM=offscreen '" + std::string(TARVEL_HOST_BINARY) + "' --project '" +
                                (temp.Path() / "demo").string() + "' --modules '" + TARVEL_MODULES_DIR + "' " +
                                arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char buffer[4096];
    output.clear();
    while (const std::size_t n = fread(buffer, 1, sizeof(buffer), pipe)) output.append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string WriteScript(const std::string& text) {
    const std::string path = temp / "script.txt";
    std::ofstream(path) << text;
    return path;
  }
  static std::size_t CountColours(const QImage& image, int step) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += step) {
      for (int x = 0; x < image.width(); x += step) colours.insert(image.pixel(x, y));
    }
    return colours.size();
  }

  TestSupport::TempFolder temp;
};

TEST_F(HostRuns, AScriptOpensAClipAndTakesPicturesOfTheWindowAndThePanel) {
  const std::string shot = temp / "out/editor.png";
  const std::string panelShot = temp / "out/panel.png";
  const std::string script = WriteScript(
      "expect-tabs 0\nopen 01_01\nexpect-tabs 1\nexpect-panel visible\nexpect-channels 31\nselect-channel Hips\n"
      "screenshot window " +
      shot + "\nscreenshot panel " + panelShot + "\nquit\n");
  std::string output;
  ASSERT_EQ(RunHost("--script '" + script + "'", output), 0) << output;
  EXPECT_NE(output.find("screenshot written to " + shot), std::string::npos) << output;
  EXPECT_NE(output.find("Tarvel Created !"), std::string::npos);
  EXPECT_NE(output.find("Tarvel Destroyed !"), std::string::npos);
  const QImage image(QString::fromStdString(shot));
  const QImage panel(QString::fromStdString(panelShot));
  ASSERT_FALSE(image.isNull() || panel.isNull());
  EXPECT_GE(image.width(), 800);
  EXPECT_GE(image.height(), 600);
  EXPECT_GT(CountColours(image, 4), 50u) << "the picture is blank";
  EXPECT_LT(panel.width(), image.width());
  EXPECT_GT(CountColours(panel, 3), 20u) << "the panel picture is blank";
}

TEST_F(HostRuns, TheScreenshotOptionTakesOnePictureAndQuits) {
  const std::string shot = temp / "start.png";
  std::string output;
  ASSERT_EQ(RunHost("--screenshot '" + shot + "'", output), 0) << output;
  const QImage image(QString::fromStdString(shot));
  ASSERT_FALSE(image.isNull());
  EXPECT_GT(CountColours(image, 4), 20u);
}

TEST_F(HostRuns, AnUnknownLineOrAFailedExpectationStopsWithItsNumberAndBadOptionsShowTheUsage) {
  std::string output;
  std::string script = WriteScript("# start\nopen 01_01\nfrobnicate\nquit\n");
  EXPECT_NE(RunHost("--script '" + script + "'", output), 0);
  EXPECT_NE(output.find(script + ": line 3: unknown action 'frobnicate'"), std::string::npos) << output;
  script = WriteScript("open 01_01\n\nexpect-tabs 2\nquit\n");
  EXPECT_EQ(RunHost("--script '" + script + "'", output), 1);
  EXPECT_NE(output.find(script + ": line 3: expected 2 tabs, the panel shows 1"), std::string::npos) << output;
  EXPECT_EQ(RunHost("--frobnicate", output), 2);
  EXPECT_NE(output.find("usage: tarvel-host"), std::string::npos) << output;
}

// What the running host with that script sees in its environment, read from /proc while it
// runs: GLIBC_TUNABLES, or "" when it ends first.
std::string TunablesOfHostRunning(const std::string& script, const std::function<bool()>& ended) {
  while (!ended()) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
      std::ifstream cmdline(entry.path() / "cmdline");
      const std::string words((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
      if (words.rfind(TARVEL_HOST_BINARY, 0) != 0 || words.find(script) == std::string::npos) continue;
      std::ifstream environ(entry.path() / "environ");
      std::string variable;
      while (std::getline(environ, variable, '\0')) {
        if (variable.rfind("GLIBC_TUNABLES=", 0) == 0) return variable;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return "";
}

}  // namespace

TEST_F(HostRuns, TheHostStartsAgainOnceWithLargePagesForMallocAndKeepsItsArguments) {
  const std::string script = WriteScript("open 01_01\nexpect-tabs 1\nwait 2000\nquit\n");
  std::string output;
  std::atomic<bool> ended{false};
  int status = -1;
  std::thread host([&] {
    status = RunHost("--script '" + script + "'", output);
    ended = true;
  });
  const std::string tunables = TunablesOfHostRunning(script, [&ended] { return ended.load(); });
  host.join();
  EXPECT_EQ(status, 0) << output;
  EXPECT_NE(tunables.find("glibc.malloc.hugetlb=1"), std::string::npos) << "'" << tunables << "'";
  EXPECT_EQ(output.find("Tarvel Created !"), output.rfind("Tarvel Created !")) << "the module started once";
}
