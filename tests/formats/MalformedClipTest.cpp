#include <filesystem>

#include <gtest/gtest.h>

#include "ClipTestFiles.h"
#include "LogCapture.h"
#include "TempFolder.h"

namespace {

struct BadFile {
  const char* name;
  Formats::ClipFileError error;
};

class MalformedClip : public ::testing::TestWithParam<BadFile> {};

}  // namespace

TEST_P(MalformedClip, IsRefusedWithALoggedMessageAndLeftUnchanged) {
  const BadFile bad = GetParam();
  const std::string path = ClipTestFiles::Data(std::string("bad/") + bad.name);
  const std::string before = TestSupport::ReadBytes(path);
  TestSupport::LogCapture log;
  const Formats::ClipOpenResult result = Formats::GltfClipFile::Open(path);
  EXPECT_EQ(result.clip, nullptr);
  EXPECT_EQ(result.error, bad.error) << result.message;
  EXPECT_FALSE(result.message.empty());
  EXPECT_EQ(log.Count(EngineCore::Log::Error, bad.name), 1);
  EXPECT_EQ(TestSupport::ReadBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(BadFiles, MalformedClip,
                         ::testing::Values(BadFile{"truncated.gltf", Formats::ClipFileError::NotGltf},
                                           BadFile{"not_json.gltf", Formats::ClipFileError::NotGltf},
                                           BadFile{"missing_buffer.gltf", Formats::ClipFileError::MissingBuffer},
                                           BadFile{"view_past_buffer.gltf", Formats::ClipFileError::MissingBuffer},
                                           BadFile{"rotation_as_vec3.gltf", Formats::ClipFileError::BadAccessor},
                                           BadFile{"count_mismatch.gltf", Formats::ClipFileError::BadAccessor},
                                           BadFile{"absurd_count.gltf", Formats::ClipFileError::TooLarge},
                                           BadFile{"accessor_past_view.gltf", Formats::ClipFileError::BadAccessor},
                                           BadFile{"times_not_increasing.gltf", Formats::ClipFileError::BadTimes},
                                           BadFile{"negative_time.gltf", Formats::ClipFileError::BadTimes},
                                           BadFile{"infinite_time.gltf", Formats::ClipFileError::NonFiniteValue},
                                           BadFile{"nan_value.gltf", Formats::ClipFileError::NonFiniteValue},
                                           BadFile{"missing_node.gltf", Formats::ClipFileError::NotGltf},
                                           BadFile{"missing_sampler.gltf", Formats::ClipFileError::NotGltf},
                                           BadFile{"unknown_interpolation.gltf", Formats::ClipFileError::NotGltf},
                                           BadFile{"integer_translation.gltf", Formats::ClipFileError::BadAccessor}),
                         [](const ::testing::TestParamInfo<BadFile>& param) {
                           std::string name = std::filesystem::path(param.param.name).stem().string();
                           for (char& c : name) c = (c == '_') ? 'X' : c;
                           return name;
                         });

TEST(MalformedClipFiles, EveryFileOfTheBadFolderIsCoveredAndAMissingFileIsReportedAsSuch) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ClipTestFiles::Data("bad"))) {
    // Inputs the fuzzer found open, and have a test of their own.
    const bool found = entry.path().filename().string().rfind("fuzz-", 0) == 0;
    files += entry.path().extension() == ".gltf" && !found ? 1 : 0;
  }
  EXPECT_EQ(files, 16);
  TestSupport::LogCapture log;
  const Formats::ClipOpenResult result = Formats::GltfClipFile::Open("/no/such/clip.gltf");
  EXPECT_EQ(result.clip, nullptr);
  EXPECT_EQ(result.error, Formats::ClipFileError::FileNotFound);
}
