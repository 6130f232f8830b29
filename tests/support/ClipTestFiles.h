#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "ClipKeys.h"
#include "EngineCore/AnimClip.h"
#include "Formats/ClipFormats.h"
#include "Formats/GltfClipFile.h"

// Paths of the repository's test data and helpers shared by the clip file tests.
namespace ClipTestFiles {

inline std::string Data(const std::string& name) { return std::string(TARVEL_TEST_DATA) + "/" + name; }

// Runs the Khronos validator on a saved file; true when it reports no error.
inline bool PassesValidator(const std::string& path) {
  const std::string command = std::string(TARVEL_GLTF_VALIDATOR) + " '" + path + "' > /dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

inline nlohmann::json ReadJson(const std::string& path) {
  std::ifstream in(path);
  return nlohmann::json::parse(in);
}

// Releases an opened clip at the end of a test.
struct ClipHolder {
  EngineCore::AnimClip* clip = nullptr;
  explicit ClipHolder(EngineCore::AnimClip* c) : clip(c) {}
  ~ClipHolder() {
    if (clip) clip->Release();
  }
  ClipHolder(const ClipHolder&) = delete;
  ClipHolder& operator=(const ClipHolder&) = delete;
  EngineCore::AnimClip* operator->() const { return clip; }
  EngineCore::AnimClip& operator*() const { return *clip; }
};

// A channel's curve of one track type, or null.
inline const EngineCore::AnimCurve* Track(const EngineCore::AnimClip& clip, const char* channel, std::uint32_t type) {
  const EngineCore::AnimChannel* found = clip.GetChannel(EngineCore::AnimClip::ComputeChannelKey(channel));
  return found ? found->GetCurve(type) : nullptr;
}

// Opens a clip file of any format.
inline EngineCore::AnimClip* OpenOrFail(const std::string& path) {
  const Formats::ClipOpenResult result = Formats::ClipFormats::Open(path);
  EXPECT_NE(result.clip, nullptr) << path << ": " << result.message;
  return result.clip;
}

using TestSupport::SameKeys;

// Whether the file at `path` opens with the same keys as `clip`, vector components within
// `tolerance`.
inline ::testing::AssertionResult ReopensAs(const EngineCore::AnimClip& clip, const std::string& path,
                                            float tolerance = 1e-5f) {
  ClipHolder again(OpenOrFail(path));
  return again.clip ? SameKeys(clip, *again.clip, tolerance)
                    : ::testing::AssertionFailure() << path << " does not open";
}

// Whether the file at `path`, saved from `clip`, passes the validator and opens with the same
// keys.
inline ::testing::AssertionResult SavedAs(const EngineCore::AnimClip& clip, const std::string& path) {
  if (!PassesValidator(path)) return ::testing::AssertionFailure() << path << " does not pass the validator";
  return ReopensAs(clip, path);
}

}  // namespace ClipTestFiles

// Opens a clip file into a holder named `name`, ending the test when it does not open.
#define ASSERT_OPENS(name, path)                                       \
  ::ClipTestFiles::ClipHolder name(::ClipTestFiles::OpenOrFail(path)); \
  ASSERT_TRUE(name.clip)
