#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/ClipFormats.h"
#include "HostFixture.h"

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimTrack;

const EngineCore::AnimCurve& HipsTranslation(const AnimClip& clip) {
  return *clip.GetChannel(AnimClip::ComputeChannelKey("Hips"))->GetCurve(AnimTrack::Translation);
}

// A host on the demo project while other programs write its clip 01_01.
class ClipFilesShared : public HostTest::ScriptedHostFixture {
 protected:
  void SetUp() override {
    ScriptedHostFixture::SetUp();
    path = (fs::path(ProjectPath()) / "AnimClips" / "01_01.gltf").string();
  }
  // Another program opens the file, sets the hips' first key and saves it.
  void EditElsewhere(float x) {
    const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(path);
    ASSERT_NE(opened.clip, nullptr) << opened.message;
    EngineCore::AnimCurve& hips = const_cast<EngineCore::AnimCurve&>(HipsTranslation(*opened.clip));
    std::vector<std::pair<std::uint32_t, EngineCore::Vector3>> keys;
    for (std::uint32_t k = 0; k < hips.GetKeyCount(); ++k)
      keys.emplace_back(hips.GetKeyFrame(k), hips.GetVector3Key(k));
    keys[0].second.x = x;
    hips.Empty();
    for (const auto& [frame, value] : keys) hips.AddKey(frame, value);
    opened.clip->SetModified(true);
    EXPECT_TRUE(opened.clip->Save());
    opened.clip->Release();
  }
  std::vector<float> HipsXOnDisk() const {
    const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(path);
    std::vector<float> x;
    for (std::uint32_t k = 0; opened.clip && k < HipsTranslation(*opened.clip).GetKeyCount(); ++k) {
      x.push_back(HipsTranslation(*opened.clip).GetVector3Key(k).x);
    }
    if (opened.clip) opened.clip->Release();
    return x;
  }
  float FirstHipsKeyOnDisk() const { return HipsXOnDisk().at(0); }
  AnimClip* Clip() {
    AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip("01_01");
    clip->Release();  // the factory keeps it
    return clip;
  }

  std::string path;
};

}  // namespace

TEST_F(ClipFilesShared, AnUneditedClipChangedOnDiskIsReadAgainAndItsPageShowsWhatTheFileHolds) {
  ASSERT_TRUE(Run("open 01_01"));
  EditElsewhere(55.0f);
  EXPECT_EQ(host->GetFileWatch().Check(), 1);
  EXPECT_EQ(host->GetFileWatch().Check(), 0) << "read once";
  EXPECT_FALSE(Clip()->IsModified());
  EXPECT_EQ(HipsTranslation(*Clip()).GetVector3Key(0).x, 55.0f);
  // An edit of the hips in the page writes the hips back from its curves: they must be the
  // ones read again, or the key of the other program would go.
  const std::vector<float> before = HipsXOnDisk();
  const std::string frame = std::to_string(HipsTranslation(*Clip()).GetKeyFrame(100));
  const std::string at = frame + " " + std::to_string(HipsTranslation(*Clip()).GetVector3Key(100).x);
  ASSERT_TRUE(Run("select-channel Hips\nselect-curve Hips translation X\nmouse press " + at + "\nmouse release " + at +
                  "\nkey Delete\nsave"))
      << runner->GetError();
  const std::vector<float> after = HipsXOnDisk();
  EXPECT_NE(after, before) << "a key of the hips went";
  EXPECT_EQ(after.front(), 55.0f);
}

TEST_F(ClipFilesShared, SavingAClipChangedOnDiskAsksAndReloadOverwriteAndCancelDoWhatTheySay) {
  ASSERT_TRUE(Run("open 01_01"));
  const float mine = HipsTranslation(*Clip()).GetVector3Key(0).x;
  // Cancel: nothing written, the edits stay.
  Clip()->SetModified(true);
  EditElsewhere(66.0f);
  EXPECT_EQ(host->GetFileWatch().Check(), 0) << "edits are never dropped unasked";
  ASSERT_TRUE(Run("answer 3\nsave")) << runner->GetError();
  EXPECT_EQ(FirstHipsKeyOnDisk(), 66.0f);
  EXPECT_TRUE(Clip()->IsModified());
  // Overwrite: the editor's clip goes to disk.
  ASSERT_TRUE(Run("answer 2\nsave")) << runner->GetError();
  EXPECT_EQ(FirstHipsKeyOnDisk(), mine);
  EXPECT_FALSE(Clip()->IsModified());
  // Reload: the edits go, the file's clip comes.
  Clip()->SetModified(true);
  EditElsewhere(77.0f);
  ASSERT_TRUE(Run("answer 1\nsave")) << runner->GetError();
  EXPECT_EQ(FirstHipsKeyOnDisk(), 77.0f);
  EXPECT_FALSE(Clip()->IsModified());
  EXPECT_EQ(HipsTranslation(*Clip()).GetVector3Key(0).x, 77.0f);
  EXPECT_TRUE(Run("quit"));
  EXPECT_TRUE(host->HasQuit()) << "nothing left unsaved";
}

TEST_F(ClipFilesShared, AClipLeavesMemoryOnceItsPageClosesAndOpensAgainFromItsFile) {
  const auto loaded = [] {
    return EngineCore::ResourceFactory::GetInstance().IsLoaded(EngineCore::Resource::KindAnimClip, "01_01");
  };
  ASSERT_TRUE(Run("open 01_01"));
  host->OnTimer(TarvelHost::HostWindow::kFileWatchTimer);
  EXPECT_TRUE(loaded()) << "its page holds it";
  ASSERT_TRUE(Run("command 16659"));  // Close
  ASSERT_EQ(TabCount(), 0);
  EXPECT_TRUE(loaded()) << "let go by the file watch's round, not at once";
  host->OnTimer(TarvelHost::HostWindow::kFileWatchTimer);
  EXPECT_FALSE(loaded());

  EditElsewhere(7.0f);
  ASSERT_TRUE(Run("open 01_01"));
  EXPECT_FLOAT_EQ(HipsTranslation(*Clip()).GetVector3Key(0).x, 7.0f) << "read again from its file";
}
