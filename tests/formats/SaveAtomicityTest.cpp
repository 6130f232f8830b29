#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ChildProcess.h"
#include "ClipTestFiles.h"
#include "EngineCore/AnimTrack.h"
#include "Formats/ClipFileHost.h"
#include "Formats/SaveStepHook.h"
#include "LogCapture.h"
#include "TempFolder.h"

namespace fs = std::filesystem;
using ClipTestFiles::ClipHolder;
using ClipTestFiles::Data;
using ClipTestFiles::OpenOrFail;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Vector3;
using TestSupport::ReadBytes;

namespace {

AnimCurve* HipsTranslation(AnimClip& clip) {
  return clip.GetChannel(AnimClip::ComputeChannelKey("Hips"))->GetCurve(AnimTrack::Translation);
}

// Gives the first key of the hips a recognisable value, as an edit would.
void MarkHips(AnimClip& clip, float value) {
  AnimCurve* hips = HipsTranslation(clip);
  std::vector<std::pair<std::uint32_t, Vector3>> keys;
  for (std::uint32_t k = 0; k < hips->GetKeyCount(); ++k)
    keys.emplace_back(hips->GetKeyFrame(k), hips->GetVector3Key(k));
  keys[0].second = Vector3(value, value, value);
  hips->Empty();
  for (const auto& [frame, key] : keys) hips->AddKey(frame, key);
  clip.SetModified(true);
}

std::set<std::string> FolderEntries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// The document and the buffer files it names: what a folder holding one clip should hold.
std::set<std::string> ClipFiles(const fs::path& document) {
  std::set<std::string> names{document.filename().string()};
  const nlohmann::json doc = nlohmann::json::parse(ReadBytes(document.string()));
  for (const auto& buffer : doc.value("buffers", nlohmann::json::array())) {
    const std::string uri = buffer.value("uri", "");
    if (!uri.empty() && uri.rfind("data:", 0) != 0) names.insert(uri);
  }
  return names;
}

class SaveAtomicity : public ::testing::Test {
 protected:
  void SetUp() override {
    TestSupport::CopyClipFiles(Data("01_01.gltf"), folder.Path());
    path = folder / "01_01.gltf";
  }
  void TearDown() override { Formats::SaveStepHook::Set({}); }

  // Puts the unedited reference clip back in the folder, alone.
  void Reset() {
    for (const auto& entry : fs::directory_iterator(folder.Path())) fs::remove_all(entry.path());
    TestSupport::CopyClipFiles(Data("01_01.gltf"), folder.Path());
  }

  // The hips' first key as the clip on disk has it, once opened.
  float HipsOnDisk() {
    ClipHolder reopened(OpenOrFail(path));
    return reopened.clip ? HipsTranslation(*reopened.clip)->GetVector3Key(0).x : -1.0f;
  }

  TestSupport::TempFolder folder;
  TestSupport::LogCapture log;
  std::string path;
};

}  // namespace

TEST_F(SaveAtomicity, ASaveOntoAFullDiskFailsAndLeavesTheClipAsItWas) {
  const std::string document = ReadBytes(path);
  const std::string buffer = ReadBytes(folder / "01_01.bin");
  ASSERT_OPENS(clip, path);
  MarkHips(*clip, 7.0f);

  // A file size limit stands in for a full disk: writes past it fail as they would there.
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit small = before;
  small.rlim_cur = 64 * 1024;
  const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = clip->Save();
  ::setrlimit(RLIMIT_FSIZE, &before);
  ::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_TRUE(clip->IsModified());
  EXPECT_GE(log.Count(EngineCore::Log::Error, "01_01.gltf"), 1);
  EXPECT_EQ(ReadBytes(path), document);
  EXPECT_EQ(ReadBytes(folder / "01_01.bin"), buffer);
  EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"01_01.gltf", "01_01.bin"}));

  ASSERT_TRUE(clip->Save()) << "with room again the same save goes through";
  EXPECT_EQ(HipsOnDisk(), 7.0f);
}

TEST_F(SaveAtomicity, OpensWhileAnotherProcessSavesFindTheOldOrTheNewClipWhole) {
  const float original = HipsOnDisk();
  ASSERT_OPENS(clip, path);
  // One process saves two takes in turn, as fast as it can, while this one opens the clip.
  const pid_t writer = ::fork();
  if (writer == 0) {
    for (int save = 0; save < 80; ++save) {
      MarkHips(*clip, save % 2 ? 11.0f : 12.0f);
      if (!clip->Save()) ::_exit(1);
    }
    ::_exit(0);
  }
  int opens = 0;
  std::vector<std::string> failures;
  int status = 0;
  while (::waitpid(writer, &status, WNOHANG) == 0) {
    const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(path);
    if (!opened.clip) {
      failures.push_back(opened.message);
      continue;
    }
    const float found = HipsTranslation(*opened.clip)->GetVector3Key(0).x;
    opened.clip->Release();
    EXPECT_TRUE(found == original || found == 11.0f || found == 12.0f) << found;
    ++opens;
  }
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save of the writer failed";
  EXPECT_TRUE(failures.empty()) << failures.size() << " of " << opens + failures.size()
                                << " opens failed, the first: " << failures.front();
  EXPECT_GT(opens, 0);
  EXPECT_EQ(HipsOnDisk(), 11.0f);
  EXPECT_EQ(FolderEntries(folder.Path()), (std::set<std::string>{"01_01.gltf", "01_01.bin"}));
}

TEST_F(SaveAtomicity, SavesKeepTheNamesOfTheClipsFiles) {
  const std::set<std::string> before = FolderEntries(folder.Path());
  ASSERT_OPENS(clip, path);
  for (const float value : {1.0f, 2.0f, 3.0f}) {
    MarkHips(*clip, value);
    ASSERT_TRUE(clip->Save());
    EXPECT_EQ(FolderEntries(folder.Path()), before) << "after the save of " << value;
  }
  EXPECT_EQ(ClipTestFiles::ReadJson(path)["buffers"][0]["uri"], "01_01.bin");
  EXPECT_EQ(HipsOnDisk(), 3.0f);
}

TEST_F(SaveAtomicity, AClipChangedOnDiskIsSavedOnlyWhenTheUserSaysOverwrite) {
  // The answers' codes; 0: no one to ask, as in a command-line tool.
  constexpr int kReload = 1, kOverwrite = 2, kCancel = 3;
  for (const int answer : {kReload, kOverwrite, kCancel, 0}) {
    Reset();
    ASSERT_OPENS(mine, path);
    EXPECT_FALSE(mine->IsChangedElsewhere());
    // Another editor saves its own edit meanwhile.
    {
      ASSERT_OPENS(theirs, path);
      MarkHips(*theirs, 20.0f);
      ASSERT_TRUE(theirs->Save());
    }
    EXPECT_TRUE(mine->IsChangedElsewhere());
    MarkHips(*mine, 30.0f);
    std::vector<std::string> questions;
    int reloads = 0;
    if (answer != 0) {
      Formats::ClipFileHost::SetChooser([&](const std::string& question, const std::vector<std::string>& answers) {
        questions.push_back(question);
        EXPECT_EQ(answers, (std::vector<std::string>{"Reload", "Overwrite", "Cancel"}));
        return answer;
      });
    }
    Formats::ClipFileHost::SetReloadListener([&](EngineCore::Resource&) { ++reloads; });
    const bool saved = mine->Save();
    Formats::ClipFileHost::SetChooser({});
    Formats::ClipFileHost::SetReloadListener({});

    EXPECT_EQ(saved, answer == kOverwrite) << answer;
    EXPECT_EQ(questions, answer ? std::vector<std::string>{"01_01 was changed on disk by another program."}
                                : std::vector<std::string>{});
    EXPECT_EQ(HipsOnDisk(), answer == kOverwrite ? 30.0f : 20.0f) << answer;
    EXPECT_EQ(HipsTranslation(*mine)->GetVector3Key(0).x, answer == kReload ? 20.0f : 30.0f) << answer;
    EXPECT_EQ(mine->IsModified(), answer != kOverwrite && answer != kReload) << answer;
    EXPECT_EQ(reloads, answer == kReload ? 1 : 0);
    EXPECT_EQ(mine->IsChangedElsewhere(), answer == kCancel || answer == 0) << answer;
  }
}

TEST_F(SaveAtomicity, SavesKilledAtRandomMomentsLeaveTheOldOrTheNewClip) {
  const char* runsText = std::getenv("TARVEL_KILL_RUNS");
  const int runs = runsText ? std::atoi(runsText) : 25;
  ASSERT_OPENS(clip, path);
  // Kills fall anywhere from before the save starts to after it ends.
  MarkHips(*clip, 100.0f);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(clip->Save());
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  float onDisk = 100.0f;
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> delay(0, static_cast<int>(took.count() * 3 / 2) + 1000);
  int killedBefore = 0;
  int killedAfter = 0;
  for (int run = 1; run <= runs; ++run) {
    const float value = 100.0f + static_cast<float>(run);
    MarkHips(*clip, value);
    const bool killed =
        TestSupport::ChildProcess::KillAfter([&] { (void)clip->Save(); }, std::chrono::microseconds(delay(random)));
    const float found = HipsOnDisk();
    ASSERT_TRUE(found == onDisk || found == value) << "run " << run << ": " << found;
    killedBefore += killed && found == onDisk ? 1 : 0;
    killedAfter += killed && found == value ? 1 : 0;
    onDisk = found;
    ASSERT_EQ(FolderEntries(folder.Path()), ClipFiles(path)) << "run " << run << " left files behind";
  }
  // How the kills fell, for the record: the rest ran to their end.
  RecordProperty("killed_before_the_rename", killedBefore);
  RecordProperty("killed_after_the_rename", killedAfter);
}

TEST_F(SaveAtomicity, AWriteProtectedClipIsNotSavedAndASavedOneKeepsTheFilesPermissions) {
  const std::string document = ReadBytes(path);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ASSERT_OPENS(clip, path);
  MarkHips(*clip, 5.0f);
  EXPECT_FALSE(clip->Save());
  EXPECT_TRUE(clip->IsModified());
  EXPECT_EQ(log.Count(EngineCore::Log::Error, "write-protected"), 1);
  EXPECT_EQ(ReadBytes(path), document);
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0444));
  // Writable again, the clip saves and keeps the files' permissions.
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_EQ(::chmod((folder / "01_01.bin").c_str(), 0640), 0);
  ASSERT_TRUE(clip->Save());
  for (const std::string& name : ClipFiles(path)) {
    EXPECT_EQ(fs::status(folder.Path() / name).permissions(), fs::perms(0640)) << name;
  }
}

TEST_F(SaveAtomicity, ALinkedDocumentIsWrittenThroughToItsTarget) {
  fs::create_directories(folder.Path() / "store");
  fs::rename(path, folder.Path() / "store/01_01.gltf");
  fs::create_symlink("store/01_01.gltf", path);
  ASSERT_OPENS(clip, path);
  MarkHips(*clip, 6.0f);
  ASSERT_TRUE(clip->Save());
  EXPECT_TRUE(fs::is_symlink(path)) << "the link stays a link";
  EXPECT_EQ(fs::read_symlink(path), "store/01_01.gltf");
  EXPECT_EQ(HipsOnDisk(), 6.0f);
  EXPECT_NE(ReadBytes(folder / "store/01_01.gltf").find("\"Hips\""), std::string::npos);
}

TEST_F(SaveAtomicity, ALinkedBufferIsWrittenThroughToWhereItsLinkLeads) {
  fs::create_directories(folder.Path() / "store");
  fs::rename(folder.Path() / "01_01.bin", folder.Path() / "store/01_01.bin");
  fs::create_symlink("store/01_01.bin", folder.Path() / "01_01.bin");
  ASSERT_OPENS(clip, path);
  MarkHips(*clip, 8.0f);
  ASSERT_TRUE(clip->Save());
  for (const std::string& name : ClipFiles(path)) {
    if (name == "01_01.gltf") continue;
    EXPECT_TRUE(fs::is_symlink(folder.Path() / name)) << name << " became a plain file beside the clip";
    EXPECT_TRUE(fs::is_regular_file(folder.Path() / "store" / name)) << name;
  }
  EXPECT_EQ(HipsOnDisk(), 8.0f);
}

TEST_F(SaveAtomicity, ASaveStoppedBeforeAnyStepLeavesTheOldClipAndAfterItsCommitRecordTheNew) {
  const float original = HipsOnDisk();
  bool finished = false;
  bool replaced = false;
  for (int stop = 1; !finished && stop < 40; ++stop) {
    Reset();
    // Files of the user's that look like a save's leftovers, and are not.
    std::ofstream(folder / "keep.txt") << "notes";
    std::ofstream(folder / ".01_01.gltf.tarvel-new.backup") << "mine";
    ASSERT_OPENS(clip, path);
    MarkHips(*clip, 42.0f);
    const int status = TestSupport::ChildProcess::Run(
        [&] {
          Formats::SaveStepHook::Set([stop](int step, const std::string& what) {
            // The process ends as a crash would, before the step is taken.
            if (step == stop) ::_exit(what == "write the commit record" ? 20 : 10);
            return true;
          });
          return clip->Save() ? 0 : 1;
        },
        std::chrono::seconds(30));
    ASSERT_TRUE(status == 0 || status == 10 || status == 20) << "step " << stop << ": " << status;
    finished = status == 0;
    const float found = HipsOnDisk();
    EXPECT_EQ(found, replaced || finished ? 42.0f : original) << "stopped before step " << stop;
    // Every step after the commit record finds the new clip in place, the renames finished.
    replaced = replaced || status == 20;
    std::set<std::string> expected = ClipFiles(path);
    expected.insert({"keep.txt", ".01_01.gltf.tarvel-new.backup"});
    EXPECT_EQ(FolderEntries(folder.Path()), expected) << "stopped before step " << stop;
  }
  EXPECT_TRUE(finished) << "the save never ran to its end";
  EXPECT_TRUE(replaced) << "no step wrote the commit record";
}

TEST_F(SaveAtomicity, AFailureAtAnyStepBeforeTheCommitKeepsTheOldClipAndReportsIt) {
  const float original = HipsOnDisk();
  bool pastCommit = false;
  for (int failing = 1; failing < 40; ++failing) {
    Reset();
    ASSERT_OPENS(clip, path);
    MarkHips(*clip, 43.0f);
    bool reached = false;
    Formats::SaveStepHook::Set([&](int step, const std::string& what) {
      if (step != failing) return true;
      reached = true;
      pastCommit = pastCommit || what.rfind("rename", 0) == 0 || what.rfind("remove", 0) == 0;
      return false;
    });
    const bool saved = clip->Save();
    Formats::SaveStepHook::Set({});
    if (!reached) break;
    EXPECT_EQ(saved, pastCommit) << "failure at step " << failing;
    EXPECT_EQ(clip->IsModified(), !saved);
    EXPECT_EQ(HipsOnDisk(), saved ? 43.0f : original) << "failure at step " << failing;
    EXPECT_EQ(FolderEntries(folder.Path()), ClipFiles(path)) << "failure at step " << failing;
  }
  EXPECT_TRUE(pastCommit) << "no step after the commit record was tried";
}
