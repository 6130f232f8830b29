#include "Formats/GltfClipFile.h"

#include <filesystem>
#include <map>
#include <set>

#include "AccessorReader.h"
#include "AtomicGltfWriter.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "GltfClipStorage.h"
#include "TrackSampler.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Log;

// Images are carried through untouched: they are neither decoded on opening nor rewritten
// on saving.
bool SkipImage(tinygltf::Image*, const int, std::string*, std::string*, int, int, const unsigned char*, int, void*) {
  return true;
}

ClipOpenResult Fail(AnimClip* clip, const std::string& path, ClipFileError error, const std::string& message) {
  if (clip) clip->Release();
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

bool LoadModel(const std::string& path, tinygltf::Model& model, std::string& message) {
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(&SkipImage, nullptr);
  std::string error;
  std::string warning;
  const bool binary = fs::path(path).extension() == ".glb" || fs::path(path).extension() == ".GLB";
  const bool ok = binary ? loader.LoadBinaryFromFile(&model, &error, &warning, path)
                         : loader.LoadASCIIFromFile(&model, &error, &warning, path);
  if (!ok) {
    message = error.empty() ? "the file could not be parsed" : error;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  }
  return ok;
}

}  // namespace

ClipOpenResult GltfClipFile::Open(const std::string& path, const EngineCore::String& name) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return Fail(nullptr, path, ClipFileError::FileNotFound, "no such file");

  tinygltf::Model model;
  std::string message;
  if (!LoadModel(path, model, message)) {
    // tinygltf words a missing or short buffer file in several ways.
    const bool buffer = message.find("buffer") != std::string::npos || message.find("Buffer") != std::string::npos ||
                        message.find("File not found") != std::string::npos;
    return Fail(nullptr, path, buffer ? ClipFileError::MissingBuffer : ClipFileError::NotGltf, message);
  }

  const EngineCore::String clipName = name.IsEmpty() ? EngineCore::String(fs::path(path).stem().string()) : name;
  AnimClip* clip = new AnimClip(clipName);
  std::map<std::string, int> channelNodes;
  bool sampled = false;

  if (!model.animations.empty()) {
    const tinygltf::Animation& animation = model.animations[0];
    const AccessorReader reader(model);
    std::set<int> skippedNodes;
    std::vector<float> times;
    std::vector<float> values;
    TrackSampler::Keys keys;
    for (std::size_t c = 0; c < animation.channels.size(); ++c) {
      const tinygltf::AnimationChannel& channel = animation.channels[c];
      const std::uint32_t trackType = TrackOfPath(channel.target_path);
      if (trackType == 0 || channel.target_node < 0) continue;
      if (static_cast<std::size_t>(channel.target_node) >= model.nodes.size()) {
        return Fail(clip, path, ClipFileError::NotGltf,
                    "animation channel " + std::to_string(c) + " targets a node that does not exist");
      }
      if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= animation.samplers.size()) {
        return Fail(clip, path, ClipFileError::NotGltf,
                    "animation channel " + std::to_string(c) + " uses a sampler that does not exist");
      }
      const std::string& nodeName = model.nodes[channel.target_node].name;
      const auto known = channelNodes.find(nodeName);
      if (nodeName.empty() || (known != channelNodes.end() && known->second != channel.target_node)) {
        // Kept in the file untouched: the editor shows one channel per node name.
        if (skippedNodes.insert(channel.target_node).second) {
          Log::Write(Log::Warning, "%s: node %d is %s; its animation is kept but not shown", path.c_str(),
                     channel.target_node, nodeName.empty() ? "nameless" : "named like another animated node");
        }
        continue;
      }

      const tinygltf::AnimationSampler& sampler = animation.samplers[channel.sampler];
      TrackSampler::Interpolation interpolation;
      if (!ParseInterpolation(sampler.interpolation, interpolation)) {
        return Fail(clip, path, ClipFileError::NotGltf, "unknown interpolation '" + sampler.interpolation + "'");
      }
      const bool rotation = trackType == AnimTrack::Rotation;
      const int components = rotation ? 4 : 3;
      ClipFileError error = reader.Read(sampler.input, 1, times, message);
      if (error == ClipFileError::None) error = reader.Read(sampler.output, components, values, message);
      bool trackSampled = false;
      if (error == ClipFileError::None) {
        error = TrackSampler::ToFrames(times, values, components, interpolation, rotation, keys, trackSampled, message);
      }
      if (error != ClipFileError::None) {
        return Fail(clip, path, error, "animation channel " + std::to_string(c) + ": " + message);
      }
      sampled = sampled || trackSampled;

      const EngineCore::String channelName(nodeName);
      EngineCore::AnimChannel* target = clip->GetChannel(AnimClip::ComputeChannelKey(channelName));
      if (!target) {
        clip->AddChannel(channelName);
        target = clip->GetChannel(AnimClip::ComputeChannelKey(channelName));
        channelNodes[nodeName] = channel.target_node;
      }
      if (!target->AddTrack(trackType)) {
        return Fail(clip, path, ClipFileError::NotGltf,
                    "node '" + nodeName + "' has two " + channel.target_path + " channels");
      }
      AnimCurve* curve = target->GetCurve(trackType);
      curve->SetKeyType(rotation ? AnimCurve::KeyQuaternion : AnimCurve::KeyVector3);
      curve->Reserve(static_cast<std::uint32_t>(keys.frames.size()));
      for (std::size_t k = 0; k < keys.frames.size(); ++k) {
        const float* v = keys.values.data() + k * components;
        if (rotation) {
          curve->AddKey(keys.frames[k], EngineCore::Quaternion(v[0], v[1], v[2], v[3]));
        } else {
          curve->AddKey(keys.frames[k], EngineCore::Vector3(v[0], v[1], v[2]));
        }
      }
    }
  }

  clip->ComputeKeyFrameRange();
  if (sampled) {
    Log::Write(Log::Info, "%s: keys between whole frames were sampled at 60 frames per second", path.c_str());
  }
  clip->SetStorage(std::make_shared<GltfClipStorage>(path, std::move(model), std::move(channelNodes)));
  return {clip, ClipFileError::None, {}};
}

ClipFileError GltfClipFile::SaveAs(const EngineCore::AnimClip& clip, const std::string& path, std::string& message) {
  auto* storage = dynamic_cast<GltfClipStorage*>(clip.GetStorage());
  if (!storage) {
    message = "the clip was not opened from a glTF file";
    return ClipFileError::WriteFailed;
  }
  return storage->WriteTo(clip, path, message);
}

ClipFileError GltfClipFile::CreateEmpty(const std::string& path, std::string& message) {
  tinygltf::Model model;
  model.asset.version = "2.0";
  model.asset.generator = "Tarvel";
  tinygltf::Scene scene;
  scene.name = "Scene";
  model.scenes.push_back(std::move(scene));
  model.defaultScene = 0;
  return AtomicGltfWriter::Write(model, path, message);
}

}  // namespace Formats
