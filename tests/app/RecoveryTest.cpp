#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "EngineCore/AnimClip.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/ClipFormats.h"
#include "HostFixture.h"
#include "RecoveryKeeper.h"

namespace {

namespace fs = std::filesystem;
using Clock = TarvelHost::RecoveryKeeper::Clock;

bool HasRecord(const std::string& project, const std::string& clip) {
  return fs::exists(fs::path(project) / ".tarvel/recovery" / (clip + ".record"));
}

class Recovery : public HostTest::HostFixture {
 protected:
  EngineCore::AnimClip* Clip(const char* name) {
    EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
    clip->Release();  // the factory keeps it
    return clip;
  }
};

}  // namespace

TEST_F(Recovery, EditsAreRecordedOnceTheyRestAndTheRecordGoesWithTheUnsavedEdits) {
  TarvelHost::RecoveryKeeper& keeper = host->GetRecoveryKeeper();
  EngineCore::AnimClip* clip = Clip("01_01");
  const Clock::time_point start = Clock::now();
  clip->SetModified(true);
  keeper.Tick(start);
  // Edits that go on keep the record waiting, but never longer than kLongest.
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kQuiet / 2);
  clip->SetModified(true);
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kQuiet);
  keeper.Flush();
  EXPECT_FALSE(HasRecord(ProjectPath(), "01_01")) << "the edits have not rested yet";
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kQuiet * 2);
  keeper.Flush();
  EXPECT_TRUE(HasRecord(ProjectPath(), "01_01"));
  EXPECT_FALSE(HasRecord(ProjectPath(), "Boxing_Toes"));
  // A save leaves nothing to recover.
  ASSERT_TRUE(clip->Save());
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kQuiet * 3);
  keeper.Flush();
  EXPECT_FALSE(HasRecord(ProjectPath(), "01_01"));
  // Still-unsaved edits of a session that ends here are the user's choice, not a crash's.
  clip->SetModified(true);
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kLongest * 4);
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kLongest * 5);
  keeper.Flush();
  EXPECT_TRUE(HasRecord(ProjectPath(), "01_01"));
  host.reset();
  EXPECT_FALSE(HasRecord(ProjectPath(), "01_01"));
}

TEST_F(Recovery, ASaveOfOneClipOfAFileKeepsTheRecordOfAnotherOfItsClipsOfUse) {
  TarvelHost::RecoveryKeeper& keeper = host->GetRecoveryKeeper();
  const Clock::time_point start = Clock::now();
  Clip("animations:Idle")->SetModified(true);
  Clip("animations:Walk")->SetModified(true);
  keeper.Tick(start);
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kQuiet);
  keeper.Flush();
  const auto recoverable = [&] {
    return keeper.GetRecovery()->ListRecoverable(
        [&](const std::string& name) { return host->GetSession().FindClipFile(name); });
  };
  ASSERT_EQ(recoverable(), (std::vector<std::string>{"animations:Idle", "animations:Walk"}));
  // Walk's save rewrites the file that Idle's unsaved edits belong to.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(Clip("animations:Walk")->Save());
  keeper.Tick(start + TarvelHost::RecoveryKeeper::kQuiet * 2);
  keeper.Flush();
  EXPECT_EQ(recoverable(), std::vector<std::string>{"animations:Idle"});
}

// tarvel-host killed in the middle of a session, then started again on the project.
class RecoveryAfterAKill : public ::testing::Test {
 protected:
  void SetUp() override { HostTest::CopyDemoProject(project); }

  std::string Command(const std::string& script) {
    const std::string path = (temp.Path() / ("script" + std::to_string(++scripts) + ".txt")).string();
    std::ofstream(path) << script;
    return "exec env QT_QPA_PLATFORM=offscreen '" + std::string(TARVEL_HOST_BINARY) + "' --project '" +
           project.string() + "' --modules '" + TARVEL_MODULES_DIR + "' --script '" + path + "' >/dev/null 2>&1";
  }
  // Runs a session and kills it with SIGKILL once the record of `clip` is on disk.
  bool RunUntilRecorded(const std::string& script, const std::string& clip) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::execl("/bin/sh", "sh", "-c", Command(script).c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!HasRecord(project.string(), clip) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return HasRecord(project.string(), clip);
  }
  int Run(const std::string& script) { return WEXITSTATUS(std::system(Command(script).c_str())); }
  std::uint32_t ChannelsOnDisk() {
    const Formats::ClipOpenResult opened = Formats::ClipFormats::Open((project / "AnimClips/01_01.gltf").string());
    const std::uint32_t count = opened.clip ? opened.clip->GetChannelCount() : 0;
    if (opened.clip) opened.clip->Release();
    return count;
  }

  TestSupport::TempFolder temp;
  fs::path project = temp.Path() / "demo";
  int scripts = 0;
};

TEST_F(RecoveryAfterAKill, TheNextStartOffersTheUnsavedEditsAndRecoverOrDiscardDoWhatTheySay) {
  const std::string edit = "open 01_01\ndialog-text Tail\nanswer 1\ncommand 16664\nexpect-channels 32\nwait 60000\n";
  ASSERT_TRUE(RunUntilRecorded(edit, "01_01"));
  EXPECT_EQ(ChannelsOnDisk(), 31u);
  // Discard: the edits go, nothing opens.
  EXPECT_EQ(Run("answer 2\nwait 1000\nexpect-tabs 0\nquit\n"), 0);
  EXPECT_FALSE(HasRecord(project.string(), "01_01"));
  EXPECT_EQ(Run("wait 1000\nexpect-tabs 0\nquit\n"), 0) << "nothing is offered twice";

  // Recover: the clip opens with the edits, modified, and a save keeps them.
  ASSERT_TRUE(RunUntilRecorded(edit, "01_01"));
  EXPECT_EQ(Run("answer 1\nwait 1000\nexpect-tabs 1\nexpect-channels 32\nsave\nquit\n"), 0);
  EXPECT_EQ(ChannelsOnDisk(), 32u);
  EXPECT_FALSE(HasRecord(project.string(), "01_01"));
}
