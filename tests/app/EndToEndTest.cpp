#include <gtest/gtest.h>

#include <QImage>

#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "HostFixture.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

// Whole runs of tarvel-host as a user starts it, offscreen.
class HostRuns : public ::testing::Test {
 protected:
  void SetUp() override { HostTest::CopyDemoProject(temp.Path() / "demo"); }

  // Runs the host with the arguments; returns its exit status and fills `output` with
  // what it printed on standard output and standard error (or on standard error alone). A
  // host that still runs after two minutes is stopped: a hang fails the test, not the suite.
  int RunHost(const std::string& arguments, std::string& output, bool errorsOnly = false, bool demo = true) {
    const std::string project = demo ? "--project '" + (temp.Path() / "demo").string() + "' " : std::string();
    const std::string command = "QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME='" + (temp / "config") +
                                "' timeout -k 5 120 '" + std::string(TARVEL_HOST_BINARY) + "' " + project +
                                "--modules '" + TARVEL_MODULES_DIR + "' " + arguments +
                                (errorsOnly ? " 2>&1 >/dev/null" : " 2>&1");
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

TEST_F(HostRuns, AScriptThatIsNoReadableRegularFileOfAtMostOneMebibyteExitsWithStatusTwoAtOnce) {
  const std::string fifo = temp / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string large = WriteScript(std::string(1 << 20, '#') + "\nquit\n");
  // Each refusal and what its one line says.
  const std::pair<std::string, std::string> refused[] = {
      {temp.Path().string(), "it is a folder"},  {fifo, "it is not a regular file"},
      {"/dev/zero", "it is not a regular file"}, {large, "more than the 1048576 bytes"},
      {temp / "missing.txt", "No such file"},
  };
  for (const auto& [path, reason] : refused) {
    std::string errors;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(RunHost("--script '" + path + "'", errors, true), 2) << path << ": " << errors;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60)) << path;
    EXPECT_EQ(errors.rfind("tarvel-host: cannot read script " + path + ": ", 0), 0u) << errors;
    EXPECT_NE(errors.find(reason), std::string::npos) << errors;
    EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
  }
}

TEST_F(HostRuns, AProjectThatIsNeitherAFolderNorAClipFileExitsWithStatusTwo) {
  std::ofstream(temp / "file.txt") << "not a project\n";
  for (const auto& [project, reason] :
       {std::pair(temp / "nowhere", "no such file or folder"), std::pair(temp / "file.txt", "not a clip file")}) {
    std::string errors;
    EXPECT_EQ(RunHost("--project '" + project + "' --script '" + WriteScript("quit\n") + "'", errors, true, false), 2)
        << errors;
    EXPECT_EQ(errors, "tarvel-host: " + project + ": " + reason + "\n");
  }
}

TEST_F(HostRuns, AClipFileNamedAloneOpensWithItsFolderAsClipFolderAndItsNodesAsScene) {
  // A clip outside any project, beside another clip.
  fs::create_directories(temp.Path() / "loose");
  for (const char* name : {"keyframed", "01_01"}) {
    for (const char* extension : {".gltf", ".bin"}) {
      fs::copy_file(temp.Path() / "demo/AnimClips" / (std::string(name) + extension),
                    temp.Path() / "loose" / (std::string(name) + extension));
    }
  }
  const std::string script = WriteScript("expect-tabs 1\nexpect-channels 2\nopen 01_01\nexpect-tabs 2\nquit\n");
  std::string output;
  ASSERT_EQ(RunHost("'" + (temp / "loose/keyframed.gltf") + "' --script '" + script + "'", output, false, false), 0)
      << output;
  EXPECT_NE(
      output.find("Clip file " + (temp / "loose/keyframed.gltf") + " opened: 2 clips in its folder, 2 scene objects"),
      std::string::npos)
      << output;
  EXPECT_NE(
      RunHost("'" + (temp / "loose/keyframed.gltf") + "' '" + (temp / "loose/01_01.gltf") + "'", output, true, false),
      0)
      << "one file at a time";
}

TEST_F(HostRuns, AScriptMayStartWithAByteOrderMarkAndOutOfRangeNumbersFailTheirLineBeforeAnythingRuns) {
  std::string output;
  std::string script = WriteScript(
      "\xEF\xBB\xBF"
      "expect-tabs 0\r\nopen 01_01\r\nexpect-tabs 1\r\nquit\r\n");
  EXPECT_EQ(RunHost("--script '" + script + "'", output), 0) << output;
  for (const auto& [line, reason] :
       {std::pair("expect-frame nan nan", "line 2: expect-frame: 'nan' is not a number"),
        std::pair("wait 4294967296", "line 2: wait: '4294967296' is longer than an hour (at most 3600000 ms)")}) {
    script = WriteScript("open 01_01\n" + std::string(line) + "\nquit\n");
    EXPECT_EQ(RunHost("--script '" + script + "'", output, true), 1) << output;
    EXPECT_EQ(output, "tarvel-host: " + script + ": " + reason + "\n");
  }
}

}  // namespace
