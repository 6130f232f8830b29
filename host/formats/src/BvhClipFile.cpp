#include "BvhClipFile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <string_view>
#include <vector>

#include "ClipFolder.h"
#include "ClipReading.h"
#include "ClipTrackLoader.h"
#include "ConvertedClipStorage.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/ClipFileLimits.h"
#include "SkeletonBuilder.h"
#include "TextEncoding.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimTrack;
using EngineCore::Log;

// Beyond any real skeleton; a longer list is a corrupt or hostile file.
constexpr std::size_t kMaxJoints = 10'000;

struct BvhChannel {
  bool rotation = false;
  int axis = 0;  // 0 x, 1 y, 2 z
};

struct BvhJoint {
  std::string name;
  int parent = -1;
  std::array<double, 3> offset{0, 0, 0};
  std::vector<BvhChannel> channels;
  std::size_t firstColumn = 0;
  bool endSite = false;
};

struct BvhTake {
  std::vector<BvhJoint> joints;
  std::size_t columns = 0;
  std::size_t frames = 0;
  double frameTime = 0.0;
  std::vector<float> motion;  // `columns` values per frame
};

bool ChannelOf(std::string_view word, BvhChannel& channel) {
  if (word.size() != 9) return false;
  const char axis = word[0];
  if (axis != 'X' && axis != 'Y' && axis != 'Z' && axis != 'x' && axis != 'y' && axis != 'z') return false;
  const std::string_view kind = word.substr(1);
  if (kind == "position") {
    channel.rotation = false;
  } else if (kind == "rotation") {
    channel.rotation = true;
  } else {
    return false;
  }
  channel.axis = (axis | 0x20) - 'x';
  return true;
}

// Reads a BVH text front to back, counting lines for its messages.
class BvhParser {
 public:
  explicit BvhParser(std::string_view text) : text_(text) {}

  ClipFileError Parse(BvhTake& take, std::string& message) {
    ClipFileError error = ParseHierarchy(take, message);
    if (error == ClipFileError::None) error = ParseMotion(take, message);
    if (error != ClipFileError::None && error != ClipFileError::TooLarge) {
      message = "line " + std::to_string(line_) + ": " + message;
    }
    return error;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) {
      if (text_[pos_] == '\n') ++line_;
      ++pos_;
    }
  }

  std::string_view Word() {
    SkipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // A joint's name is the rest of its line: names may hold spaces.
  std::string RestOfLine() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\n' && text_[pos_] != '\r') ++pos_;
    std::string_view name = text_.substr(start, pos_ - start);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.remove_suffix(1);
    return TextEncoding::FromLegacy(std::string(name));
  }

  template <typename Number>
  bool Read(Number& value) {
    std::string_view word = Word();
    if (!word.empty() && word[0] == '+') word.remove_prefix(1);
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
  }

  bool Expect(std::string_view expected, std::string& message) {
    const std::string_view word = Word();
    if (word == expected) return true;
    message = "'" + std::string(expected) + "' expected, '" + std::string(word) + "' found";
    return false;
  }

  ClipFileError ParseHierarchy(BvhTake& take, std::string& message) {
    if (!Expect("HIERARCHY", message)) return ClipFileError::NotReadable;
    std::vector<int> open;
    for (;;) {
      const std::string_view word = Word();
      if (word == "ROOT" || word == "JOINT" || word == "End") {
        if ((word == "ROOT") != open.empty()) {
          message = std::string(word) + (open.empty() ? " outside any joint" : " inside a joint");
          return ClipFileError::NotReadable;
        }
        BvhJoint joint;
        joint.parent = open.empty() ? -1 : open.back();
        if (word == "End") {
          if (!Expect("Site", message)) return ClipFileError::NotReadable;
          joint.endSite = true;
          joint.name = take.joints[joint.parent].name + "_End";
        } else {
          joint.name = RestOfLine();
          if (joint.name.empty()) {
            message = "a joint has no name";
            return ClipFileError::NotReadable;
          }
        }
        if (!Expect("{", message)) return ClipFileError::NotReadable;
        if (take.joints.size() >= kMaxJoints) {
          message = "the skeleton has more than " + std::to_string(kMaxJoints) + " joints";
          return ClipFileError::TooLarge;
        }
        take.joints.push_back(std::move(joint));
        open.push_back(static_cast<int>(take.joints.size()) - 1);
      } else if (word == "OFFSET" && !open.empty()) {
        for (double& value : take.joints[open.back()].offset) {
          if (!Read(value) || !std::isfinite(value)) {
            message = "an OFFSET needs three numbers";
            return ClipFileError::NotReadable;
          }
        }
      } else if (word == "CHANNELS" && !open.empty() && !take.joints[open.back()].endSite) {
        BvhJoint& joint = take.joints[open.back()];
        int count = 0;
        if (!Read(count) || count < 0 || count > 6 || !joint.channels.empty()) {
          message = "a joint has CHANNELS twice, or not 0 to 6 of them";
          return ClipFileError::NotReadable;
        }
        joint.firstColumn = take.columns;
        for (int c = 0; c < count; ++c) {
          const std::string_view name = Word();
          BvhChannel channel;
          if (!ChannelOf(name, channel)) {
            message = "unknown channel '" + std::string(name) + "'";
            return ClipFileError::NotReadable;
          }
          joint.channels.push_back(channel);
        }
        take.columns += static_cast<std::size_t>(count);
      } else if (word == "}" && !open.empty()) {
        open.pop_back();
      } else if (word == "MOTION" && open.empty() && !take.joints.empty()) {
        return ClipFileError::None;
      } else {
        message = word.empty() ? "the file ends inside its HIERARCHY" : "unexpected '" + std::string(word) + "'";
        return ClipFileError::NotReadable;
      }
    }
  }

  ClipFileError ParseMotion(BvhTake& take, std::string& message) {
    if (!Expect("Frames:", message) || !Read(take.frames)) {
      if (message.empty()) message = "'Frames:' needs a whole number";
      return ClipFileError::NotReadable;
    }
    if (!Expect("Frame", message) || !Expect("Time:", message) || !Read(take.frameTime) || !(take.frameTime > 0.0) ||
        !std::isfinite(take.frameTime)) {
      if (message.empty()) message = "'Frame Time:' needs a positive number of seconds";
      return ClipFileError::NotReadable;
    }
    if (take.frames > 0 && take.frames - 1 > ClipFileLimits::kMaxFrame) {
      message = std::to_string(take.frames) + " frames reach past frame " + std::to_string(ClipFileLimits::kMaxFrame) +
                ", the last frame a clip can hold";
      return ClipFileError::TooLarge;
    }
    // Each value takes two characters at least: a larger count cannot be in the text.
    const std::size_t values = take.frames * take.columns;
    if (take.columns > 0 && (values / take.columns != take.frames || values > text_.size() / 2 + 1)) {
      message = std::to_string(take.frames) + " frames of " + std::to_string(take.columns) +
                " channels are more values than the file holds";
      return ClipFileError::NotReadable;
    }
    take.motion.resize(values);
    for (std::size_t v = 0; v < values; ++v) {
      if (!Read(take.motion[v]) || !std::isfinite(take.motion[v])) {
        message = "motion value " + std::to_string(v + 1) + " of " + std::to_string(values) +
                  (pos_ >= text_.size() ? " is missing" : " is not a finite number");
        return ClipFileError::NotReadable;
      }
    }
    return ClipFileError::None;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t line_ = 1;
};

using Quat = std::array<double, 4>;  // x, y, z, w

Quat Multiply(const Quat& a, const Quat& b) {
  return {a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1], a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
          a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3], a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

Quat AboutAxis(int axis, double degrees) {
  const double half = degrees * M_PI / 360.0;
  Quat q{0, 0, 0, std::cos(half)};
  q[axis] = std::sin(half);
  return q;
}

// The take's frame rate: one over its frame time, or the common rate it stands for when it
// was written rounded (0.0083333 s is 120 frames per second).
double FrameRateOf(const BvhTake& take) {
  const double rate = 1.0 / take.frameTime;
  for (const double common : TrackSampler::kFrameRates) {
    if (std::abs(rate - common) <= common * 1e-3) return common;
  }
  return rate;
}

// The joints' tracks, as the clip's channels: one key on every frame of the take's rate.
ClipFileError LoadTracks(const BvhTake& take, const std::string& path, ClipTrackLoader& tracks, std::string& message) {
  const double rate = FrameRateOf(take);
  tracks.SetFrameRate(rate);
  std::vector<float> times(take.frames);
  for (std::size_t i = 0; i < take.frames; ++i) times[i] = static_cast<float>(static_cast<double>(i) / rate);
  std::vector<float> values;
  std::set<std::string> seen;
  for (const BvhJoint& joint : take.joints) {
    if (joint.endSite || joint.channels.empty()) continue;
    if (!seen.insert(joint.name).second) {
      Log::Write(Log::Warning, "%s: a second joint named %s is not shown", path.c_str(), joint.name.c_str());
      continue;
    }
    bool positions = false;
    bool rotations = false;
    for (const BvhChannel& channel : joint.channels) (channel.rotation ? rotations : positions) = true;
    if (positions) {
      values.assign(take.frames * 3, 0.0f);
      for (std::size_t i = 0; i < take.frames; ++i) {
        float* v = values.data() + i * 3;
        for (int a = 0; a < 3; ++a) v[a] = static_cast<float>(joint.offset[a]);
        const float* row = take.motion.data() + i * take.columns + joint.firstColumn;
        for (std::size_t c = 0; c < joint.channels.size(); ++c) {
          if (!joint.channels[c].rotation) v[joint.channels[c].axis] = row[c];
        }
      }
      const ClipFileError error =
          tracks.Add(joint.name, AnimTrack::Translation, times, values, TrackSampler::Interpolation::Linear, message);
      if (error != ClipFileError::None) return error;
    }
    if (rotations) {
      values.resize(take.frames * 4);
      for (std::size_t i = 0; i < take.frames; ++i) {
        const float* row = take.motion.data() + i * take.columns + joint.firstColumn;
        Quat q{0, 0, 0, 1};
        for (std::size_t c = 0; c < joint.channels.size(); ++c) {
          if (joint.channels[c].rotation) q = Multiply(q, AboutAxis(joint.channels[c].axis, row[c]));
        }
        for (int a = 0; a < 4; ++a) values[i * 4 + a] = static_cast<float>(q[a]);
      }
      const ClipFileError error =
          tracks.Add(joint.name, AnimTrack::Rotation, times, values, TrackSampler::Interpolation::Linear, message);
      if (error != ClipFileError::None) return error;
    }
  }
  return ClipFileError::None;
}

tinygltf::Model SkeletonOf(const BvhTake& take) {
  SkeletonBuilder skeleton;
  std::vector<int> nodes(take.joints.size(), -1);
  for (std::size_t j = 0; j < take.joints.size(); ++j) {
    const BvhJoint& joint = take.joints[j];
    nodes[j] = skeleton.AddNode(joint.name, joint.parent < 0 ? -1 : nodes[joint.parent], joint.offset);
  }
  return skeleton.Take();
}

ClipOpenResult OpenBvh(const std::string& path, const EngineCore::String& name) {
  std::vector<unsigned char> bytes;
  std::string message;
  ClipFileError error = ClipFolder::ReadRegularFile(path, ClipFileLimits::kMaxDocumentBytes, bytes, message);
  if (error == ClipFileError::UnsafeUri) error = ClipFileError::FileNotFound;
  if (error != ClipFileError::None) return ClipReading::Fail(path, error, message);
  BvhTake take;
  error = BvhParser(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())).Parse(take, message);
  if (error != ClipFileError::None) return ClipReading::Fail(path, error, message);

  const EngineCore::String clipName = name.IsEmpty() ? EngineCore::String(fs::path(path).stem().string()) : name;
  AnimClip* clip = new AnimClip(clipName);
  ClipTrackLoader tracks(*clip);
  error = LoadTracks(take, path, tracks, message);
  if (error != ClipFileError::None) {
    clip->Release();
    return ClipReading::Fail(path, error, message);
  }
  return ClipReading::Finish(clip, tracks.SamplingNote(), path,
                             std::make_shared<ConvertedClipStorage>(path, SkeletonOf(take)));
}

}  // namespace

ClipOpenResult BvhClipFile::Open(const std::string& path, const EngineCore::String& name) {
  return ClipReading::Guarded(path, ClipFileError::NotReadable, [&] { return OpenBvh(path, name); });
}

}  // namespace Formats
