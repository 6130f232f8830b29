#include "Formats/GltfClipFile.h"

#include <filesystem>
#include <map>
#include <new>
#include <set>

#include "AccessorReader.h"
#include "ClipFileTransaction.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "FailureReporter.h"
#include "GltfClipStorage.h"
#include "GltfDocumentReader.h"
#include "GltfDocumentWriter.h"
#include "TrackSampler.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Log;

ClipOpenResult Fail(const std::string& path, ClipFileError error, const std::string& message) {
  Log::Write(Log::Error, "%s: %s: %s", path.c_str(), Describe(error), message.c_str());
  return {nullptr, error, message};
}

std::uint32_t TrackOfPath(const std::string& path) {
  if (path == "translation") return AnimTrack::Translation;
  if (path == "rotation") return AnimTrack::Rotation;
  if (path == "scale") return AnimTrack::Scale;
  return 0;
}

bool ParseInterpolation(const std::string& text, TrackSampler::Interpolation& interpolation) {
  if (text.empty() || text == "LINEAR") {
    interpolation = TrackSampler::Interpolation::Linear;
  } else if (text == "STEP") {
    interpolation = TrackSampler::Interpolation::Step;
  } else if (text == "CUBICSPLINE") {
    interpolation = TrackSampler::Interpolation::CubicSpline;
  } else {
    return false;
  }
  return true;
}

// Reads the first animation of a model into a clip, one track at a time.
class AnimationReader {
 public:
  AnimationReader(const tinygltf::Model& model, const std::string& path, AnimClip& clip)
      : model_(model), path_(path), clip_(clip), reader_(model) {}

  ClipFileError Read(std::string& message) {
    if (model_.animations.empty()) return ClipFileError::None;
    const tinygltf::Animation& animation = model_.animations[0];
    for (std::size_t c = 0; c < animation.channels.size(); ++c) {
      const ClipFileError error = ReadChannel(animation, c, message);
      if (error != ClipFileError::None) {
        message = "animation channel " + std::to_string(c) + ": " + message;
        return error;
      }
    }
    return ClipFileError::None;
  }

  bool Sampled() const { return sampled_; }
  std::map<std::string, int>& ChannelNodes() { return channelNodes_; }

 private:
  ClipFileError ReadChannel(const tinygltf::Animation& animation, std::size_t index, std::string& message) {
    const tinygltf::AnimationChannel& channel = animation.channels[index];
    const std::uint32_t trackType = TrackOfPath(channel.target_path);
    if (trackType == 0 || channel.target_node < 0) return ClipFileError::None;
    if (static_cast<std::size_t>(channel.target_node) >= model_.nodes.size()) {
      message = "it targets a node that does not exist";
      return ClipFileError::NotGltf;
    }
    if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= animation.samplers.size()) {
      message = "it uses a sampler that does not exist";
      return ClipFileError::NotGltf;
    }
    const std::string& nodeName = model_.nodes[channel.target_node].name;
    const auto known = channelNodes_.find(nodeName);
    if (nodeName.empty() || (known != channelNodes_.end() && known->second != channel.target_node)) {
      // Kept in the file untouched: the editor shows one channel per node name.
      if (skippedNodes_.insert(channel.target_node).second) {
        Log::Write(Log::Warning, "%s: node %d is %s; its animation is kept but not shown", path_.c_str(),
                   channel.target_node, nodeName.empty() ? "nameless" : "named like another animated node");
      }
      return ClipFileError::None;
    }

    const tinygltf::AnimationSampler& sampler = animation.samplers[channel.sampler];
    TrackSampler::Interpolation interpolation;
    if (!ParseInterpolation(sampler.interpolation, interpolation)) {
      message = "unknown interpolation '" + sampler.interpolation + "'";
      return ClipFileError::NotGltf;
    }
    const bool rotation = trackType == AnimTrack::Rotation;
    const int components = rotation ? 4 : 3;
    ClipFileError error = reader_.Read(sampler.input, 1, times_, message);
    std::uint64_t count = 0;
    if (error == ClipFileError::None) error = TrackSampler::CountKeys(times_, interpolation, count, message);
    if (error == ClipFileError::None && totalKeys_ + count > ClipFileLimits::kMaxClipKeys) {
      message = "the clip would hold more than " + std::to_string(ClipFileLimits::kMaxClipKeys) + " keys";
      error = ClipFileError::TooLarge;
    }
    if (error == ClipFileError::None) error = reader_.Read(sampler.output, components, values_, message);
    bool trackSampled = false;
    if (error == ClipFileError::None) {
      error =
          TrackSampler::ToFrames(times_, values_, components, interpolation, rotation, keys_, trackSampled, message);
    }
    if (error != ClipFileError::None) return error;
    totalKeys_ += keys_.frames.size();
    sampled_ = sampled_ || trackSampled;
    return AddTrack(nodeName, channel.target_node, trackType, channel.target_path, message);
  }

  ClipFileError AddTrack(const std::string& nodeName, int node, std::uint32_t trackType, const std::string& path,
                         std::string& message) {
    const EngineCore::String channelName(nodeName);
    EngineCore::AnimChannel* target = clip_.GetChannel(AnimClip::ComputeChannelKey(channelName));
    if (!target) {
      if (!clip_.AddChannel(channelName)) {
        message = "node '" + nodeName + "' cannot become a channel";
        return ClipFileError::NotGltf;
      }
      target = clip_.GetChannel(AnimClip::ComputeChannelKey(channelName));
      channelNodes_[nodeName] = node;
    }
    if (!target->AddTrack(trackType)) {
      message = "node '" + nodeName + "' has two " + path + " channels";
      return ClipFileError::NotGltf;
    }
    const bool rotation = trackType == AnimTrack::Rotation;
    AnimCurve* curve = target->GetCurve(trackType);
    curve->SetKeyType(rotation ? AnimCurve::KeyQuaternion : AnimCurve::KeyVector3);
    curve->Reserve(static_cast<std::uint32_t>(keys_.frames.size()));
    for (std::size_t k = 0; k < keys_.frames.size(); ++k) {
      const float* v = keys_.values.data() + k * (rotation ? 4 : 3);
      const bool added = rotation ? curve->AddKey(keys_.frames[k], EngineCore::Quaternion(v[0], v[1], v[2], v[3]))
                                  : curve->AddKey(keys_.frames[k], EngineCore::Vector3(v[0], v[1], v[2]));
      if (!added) {
        message = "key " + std::to_string(k) + " of node '" + nodeName + "' is not after the one before it";
        return ClipFileError::BadTimes;
      }
    }
    return ClipFileError::None;
  }

  const tinygltf::Model& model_;
  const std::string& path_;
  AnimClip& clip_;
  const AccessorReader reader_;
  std::map<std::string, int> channelNodes_;
  std::set<int> skippedNodes_;
  std::vector<float> times_;
  std::vector<float> values_;
  TrackSampler::Keys keys_;
  std::uint64_t totalKeys_ = 0;
  bool sampled_ = false;
};

ClipOpenResult OpenClip(const std::string& path, const EngineCore::String& name) {
  // A save that was interrupted may have left files beside the clip; they go first.
  ClipFileTransaction::Recover(path);
  tinygltf::Model model;
  std::string message;
  ClipFileError error = GltfDocumentReader::Read(path, model, message);
  if (error != ClipFileError::None) return Fail(path, error, message);

  const EngineCore::String clipName = name.IsEmpty() ? EngineCore::String(fs::path(path).stem().string()) : name;
  AnimClip* clip = new AnimClip(clipName);
  AnimationReader reader(model, path, *clip);
  error = reader.Read(message);
  if (error != ClipFileError::None) {
    clip->Release();
    return Fail(path, error, message);
  }
  clip->ComputeKeyFrameRange();
  if (reader.Sampled()) {
    Log::Write(Log::Info, "%s: keys between whole frames were sampled at 60 frames per second", path.c_str());
  }
  clip->SetStorage(std::make_shared<GltfClipStorage>(path, std::move(model), std::move(reader.ChannelNodes())));
  return {clip, ClipFileError::None, {}};
}

}  // namespace

ClipOpenResult GltfClipFile::Open(const std::string& path, const EngineCore::String& name) {
  try {
    return OpenClip(path, name);
  } catch (const std::bad_alloc&) {
    return Fail(path, ClipFileError::TooLarge, "there is not enough memory to open it");
  } catch (const std::exception& e) {
    return Fail(path, ClipFileError::NotGltf, e.what());
  }
}

ClipFileError GltfClipFile::SaveAs(const EngineCore::AnimClip& clip, const std::string& path, std::string& message) {
  auto* storage = dynamic_cast<GltfClipStorage*>(clip.GetStorage());
  if (!storage) {
    message = "the clip was not opened from a glTF file";
    return ClipFileError::WriteFailed;
  }
  return storage->WriteTo(clip, path, message);
}

void GltfClipFile::SetReporter(Reporter reporter) { FailureReporter::Set(std::move(reporter)); }

ClipFileError GltfClipFile::CreateEmpty(const std::string& path, std::string& message) {
  try {
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "Tarvel";
    tinygltf::Scene scene;
    scene.name = "Scene";
    model.scenes.push_back(std::move(scene));
    model.defaultScene = 0;
    return GltfDocumentWriter::Write(model, path, message);
  } catch (const std::exception& e) {
    message = e.what();
    return ClipFileError::WriteFailed;
  }
}

}  // namespace Formats
