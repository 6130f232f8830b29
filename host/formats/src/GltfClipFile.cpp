#include "Formats/GltfClipFile.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <set>

#include <nlohmann/json.hpp>

#include "AccessorReader.h"
#include "ClipFileIdentity.h"
#include "ClipFileLock.h"
#include "ClipFileTransaction.h"
#include "ClipReading.h"
#include "ClipTrackLoader.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "GltfClipNames.h"
#include "GltfClipStorage.h"
#include "GltfDocumentReader.h"
#include "GltfDocumentWriter.h"
#include "SkeletonBuilder.h"
#include "TangentTypeCodes.h"
#include "TrackSampler.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Log;

std::uint32_t TrackOfPath(const std::string& path) {
  if (path == "translation") return AnimTrack::Translation;
  if (path == "rotation") return AnimTrack::Rotation;
  if (path == "scale") return AnimTrack::Scale;
  if (path == "weights") return AnimTrack::Weights;
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

// The name of the channel of a node: its own, or "node N" for a node without one.
std::string ChannelNameOf(const tinygltf::Model& model, int node) {
  const std::string& name = model.nodes[node].name;
  return name.empty() ? "node " + std::to_string(node) : name;
}

// Reads one animation of a model into a clip, one track at a time. What the clip cannot hold
// (morph-target weights, targets that are not nodes) stays in the file and is listed for the
// clip's note.
class AnimationReader {
 public:
  AnimationReader(const tinygltf::Model& model, std::size_t animation, const std::string& path, AnimClip& clip)
      : model_(model), animation_(animation), path_(path), reader_(model), clip_(clip), tracks_(clip) {}

  ClipFileError Read(std::string& message) {
    if (animation_ >= model_.animations.size()) return ClipFileError::None;
    const tinygltf::Animation& animation = model_.animations[animation_];
    ChooseFrameRate(animation);
    for (std::size_t c = 0; c < animation.channels.size(); ++c) {
      const ClipFileError error = ReadChannel(animation, c, message);
      if (error != ClipFileError::None) {
        message = "animation channel " + std::to_string(c) + ": " + message;
        return error;
      }
    }
    return ClipFileError::None;
  }

  // Channels the document's JSON holds beyond those tinygltf read: targets that are not nodes.
  void KeepTargetsBeyondNodes(const std::string& document) {
    // Only an extension's channels have no node; parsing the text again is for those files.
    if (document.find("KHR_animation_pointer") == std::string::npos) return;
    const nlohmann::json doc = nlohmann::json::parse(document, nullptr, false);
    for (const nlohmann::json* target : GltfClipStorage::TargetsBeyondNodes(doc, animation_)) {
      tinygltf::AnimationChannel kept;
      const auto extensions = target->find("extensions");
      if (extensions != target->end() && extensions->is_object()) {
        for (const auto& [extension, value] : extensions->items())
          kept.target_extensions[extension] = tinygltf::Value();
      }
      Keep(kept);
    }
  }

  // What the clip's note says: how its keys were read, and what of its animation it does
  // not show.
  std::string Note() const {
    std::string note = tracks_.SamplingNote();
    if (kept_.empty()) return note;
    std::string what;
    for (const auto& [target, count] : kept_) {
      if (!what.empty()) what += ", ";
      what += target;
    }
    const bool nothingElse = clip_.GetChannelCount() == 0;
    const std::string keptNote =
        std::string(nothingElse ? "This animation animates only " : "This animation also animates ") + what +
        ", which this editor does not edit; " + (kept_.size() > 1 ? "they are" : "it is") +
        " kept in the file as it is.";
    return note.empty() ? keptNote : note + " " + keptNote;
  }
  std::map<std::string, int>& ChannelNodes() { return channelNodes_; }

 private:
  ClipFileError ReadChannel(const tinygltf::Animation& animation, std::size_t index, std::string& message) {
    const tinygltf::AnimationChannel& channel = animation.channels[index];
    const std::uint32_t trackType = TrackOfPath(channel.target_path);
    if (channel.target_node >= 0 && static_cast<std::size_t>(channel.target_node) >= model_.nodes.size()) {
      message = "it targets a node that does not exist";
      return ClipFileError::NotGltf;
    }
    if (trackType == 0 || channel.target_node < 0) {
      Keep(channel);
      return ClipFileError::None;
    }
    if (channel.sampler < 0 || static_cast<std::size_t>(channel.sampler) >= animation.samplers.size()) {
      message = "it uses a sampler that does not exist";
      return ClipFileError::NotGltf;
    }
    const std::string nodeName = ChannelNameOf(model_, channel.target_node);
    const ClipFileError nameError = CheckChannelName(channel.target_node, nodeName, message);
    if (nameError != ClipFileError::None) return nameError;

    const tinygltf::AnimationSampler& sampler = animation.samplers[channel.sampler];
    TrackSampler::Interpolation interpolation;
    if (!ParseInterpolation(sampler.interpolation, interpolation)) {
      message = "unknown interpolation '" + sampler.interpolation + "'";
      return ClipFileError::NotGltf;
    }
    const bool morph = trackType == AnimTrack::Weights;
    const int components = trackType == AnimTrack::Rotation ? 4 : morph ? 1 : 3;
    ClipFileError error = ClipFileError::None;
    auto times = times_.find(sampler.input);
    if (times == times_.end()) {
      times = times_.emplace(sampler.input, std::vector<float>()).first;
      error = reader_.Read(sampler.input, 1, times->second, message);
    }
    if (error == ClipFileError::None) error = reader_.Read(sampler.output, components, values_, message);
    std::uint32_t weights = 0;
    if (error == ClipFileError::None && morph) {
      error = CountWeights(channel.target_node, times->second.size(), interpolation, weights, message);
    }
    if (error == ClipFileError::None) {
      error = tracks_.Add(nodeName, trackType, times->second, values_, interpolation, message, weights);
    }
    if (error == ClipFileError::None) {
      channelNodes_.emplace(nodeName, channel.target_node);
      EngineCore::AnimChannel* read = clip_.GetChannel(AnimClip::ComputeChannelKey(EngineCore::String(nodeName)));
      read->SetSourceIndex(channel.target_node);
      if (morph) read->GetCurve(AnimTrack::Weights)->SetWeightNames(TargetNames(channel.target_node, weights));
      ReadTangentTypes(sampler, *read->GetCurve(trackType));
    }
    return error;
  }

  // The tangent types a cubic track's sampler records; a record that does not fit its keys
  // (another program changed them) is ignored, with a line in the log.
  void ReadTangentTypes(const tinygltf::AnimationSampler& sampler, AnimCurve& curve) const {
    if (!sampler.extras.IsObject() || !sampler.extras.Has(TangentTypeCodes::kKey)) return;
    const tinygltf::Value& codes = sampler.extras.Get(TangentTypeCodes::kKey);
    std::vector<EngineCore::TangentType> types;
    if (!codes.IsString() || !TangentTypeCodes::Decode(codes.Get<std::string>(), types) ||
        !curve.SetTangentTypes(std::move(types))) {
      EngineCore::Log::Write(EngineCore::Log::Warning,
                             "%s: tangent types that do not fit their track's keys are ignored",
                             clip_.GetName().c_str());
    }
  }

  // The morph targets a node's weights animate: as many as its mesh has (its default weights,
  // else its first primitive's targets), which must be what the keys hold.
  ClipFileError CountWeights(int node, std::size_t keys, TrackSampler::Interpolation interpolation,
                             std::uint32_t& weights, std::string& message) const {
    const std::size_t perKey = interpolation == TrackSampler::Interpolation::CubicSpline ? 3 : 1;
    const int meshIndex = model_.nodes[node].mesh;
    std::size_t targets = 0;
    if (meshIndex >= 0 && static_cast<std::size_t>(meshIndex) < model_.meshes.size()) {
      const tinygltf::Mesh& mesh = model_.meshes[meshIndex];
      targets = !mesh.weights.empty()      ? mesh.weights.size()
                : !mesh.primitives.empty() ? mesh.primitives.front().targets.size()
                                           : 0;
    }
    if (targets == 0 && keys > 0) targets = values_.size() / (keys * perKey);
    if (targets == 0 || targets > ClipFileLimits::kMaxMorphTargets || values_.size() != keys * perKey * targets) {
      message = "its morph-target weights (" + std::to_string(values_.size()) + " values for " + std::to_string(keys) +
                " keys) do not match the " + std::to_string(targets) + " targets of node " + std::to_string(node) +
                "'s mesh";
      return ClipFileError::BadAccessor;
    }
    weights = static_cast<std::uint32_t>(targets);
    return ClipFileError::None;
  }

  // The names of a node's morph targets: its mesh's `extras.targetNames`, as exporters write
  // them, else "Target 0", "Target 1"...
  std::vector<EngineCore::String> TargetNames(int node, std::uint32_t weights) const {
    std::vector<EngineCore::String> names;
    const int meshIndex = model_.nodes[node].mesh;
    const tinygltf::Value* listed = nullptr;
    if (meshIndex >= 0 && static_cast<std::size_t>(meshIndex) < model_.meshes.size()) {
      const tinygltf::Value& extras = model_.meshes[meshIndex].extras;
      if (extras.IsObject() && extras.Has("targetNames") && extras.Get("targetNames").IsArray()) {
        listed = &extras.Get("targetNames");
      }
    }
    for (std::uint32_t w = 0; w < weights; ++w) {
      const bool named = listed && w < listed->ArrayLen() && listed->Get(static_cast<int>(w)).IsString() &&
                         !listed->Get(static_cast<int>(w)).Get<std::string>().empty();
      names.emplace_back(named ? listed->Get(static_cast<int>(w)).Get<std::string>() : "Target " + std::to_string(w));
    }
    return names;
  }

  // A channel the clip does not show, by what it animates.
  void Keep(const tinygltf::AnimationChannel& channel) {
    std::string target;
    if (channel.target_node < 0) {
      target = channel.target_extensions.empty() ? "a target that is not a node"
                                                 : channel.target_extensions.begin()->first + " targets";
    } else if (channel.target_path == "weights") {
      target = "the morph-target weights of " + ChannelNameOf(model_, channel.target_node);
    } else {
      target = "'" + channel.target_path + "' of " + ChannelNameOf(model_, channel.target_node);
    }
    if (++kept_[target] == 1) {
      Log::Write(Log::Info, "%s: the animation keeps %s in the file, not shown", path_.c_str(), target.c_str());
    }
  }

  // The clip's rate is the one every track's key times fit; the times read for it are kept
  // for the tracks (samplers often share one accessor of times).
  void ChooseFrameRate(const tinygltf::Animation& animation) {
    std::vector<const std::vector<float>*> times;
    for (const tinygltf::AnimationChannel& channel : animation.channels) {
      if (TrackOfPath(channel.target_path) == 0 || channel.sampler < 0 ||
          static_cast<std::size_t>(channel.sampler) >= animation.samplers.size() || channel.target_node < 0 ||
          static_cast<std::size_t>(channel.target_node) >= model_.nodes.size()) {
        continue;
      }
      const int input = animation.samplers[channel.sampler].input;
      if (times_.contains(input)) continue;
      std::vector<float> read;
      std::string ignored;
      // A track whose times do not read is refused when it is loaded.
      if (reader_.Read(input, 1, read, ignored) != ClipFileError::None) continue;
      times.push_back(&times_.emplace(input, std::move(read)).first->second);
    }
    // Extras may be anything, or nothing at all.
    const tinygltf::Value& extras = animation.extras;
    const bool saved = extras.IsObject() && extras.Has(GltfClipStorage::kFrameRateKey) &&
                       extras.Get(GltfClipStorage::kFrameRateKey).IsNumber();
    tracks_.ChooseFrameRate(times, saved ? extras.Get(GltfClipStorage::kFrameRateKey).GetNumberAsDouble() : 0.0);
  }

  // A channel is known by the CRC-32 of its node's name: two animated nodes whose names share
  // it would become one channel, and a save would move one's keys onto the other.
  ClipFileError CheckChannelName(int node, const std::string& name, std::string& message) {
    const std::string which = "node " + std::to_string(node);
    if (name.find('\0') != std::string::npos) {
      message = which + " has a name that holds a NUL character";
      return ClipFileError::NotGltf;
    }
    const std::uint32_t key = AnimClip::ComputeChannelKey(EngineCore::String(name));
    const auto [known, added] = channelKeys_.emplace(key, node);
    if (added || known->second == node) return ClipFileError::None;
    const std::string other = "node " + std::to_string(known->second);
    const std::string& otherName = model_.nodes[known->second].name;
    message = otherName == name ? other + " and " + which + " are both named '" + name + "'"
                                : other + " ('" + otherName + "') and " + which + " ('" + name +
                                      "') have names that share one channel key";
    message += "; rename one of them";
    return ClipFileError::NotGltf;
  }

  const tinygltf::Model& model_;
  const std::size_t animation_;
  const std::string& path_;
  const AccessorReader reader_;
  AnimClip& clip_;
  std::map<std::string, int> channelNodes_;
  std::map<std::uint32_t, int> channelKeys_;
  // What the clip does not show, with how many channels animate it.
  std::map<std::string, int> kept_;
  ClipTrackLoader tracks_;
  // Key times by accessor.
  std::map<int, std::vector<float>> times_;
  std::vector<float> values_;
};

// Channels without tracks and tracks without keys, as a save listed them.
void AddEmptyTracks(const tinygltf::Model& model, std::size_t animation, AnimClip& clip) {
  const tinygltf::Value& extras = GltfClipStorage::EmptyTracksHolder(model, animation);
  if (!extras.IsObject() || !extras.Has(GltfClipStorage::kEmptyTracksKey)) return;
  const tinygltf::Value& entries = extras.Get(GltfClipStorage::kEmptyTracksKey);
  for (std::size_t e = 0; entries.IsArray() && e < entries.ArrayLen(); ++e) {
    const tinygltf::Value& entry = entries.Get(static_cast<int>(e));
    if (!entry.IsObject() || !entry.Get("channel").IsString()) continue;
    const EngineCore::String name(entry.Get("channel").Get<std::string>());
    const std::uint32_t key = AnimClip::ComputeChannelKey(name);
    if (!clip.GetChannel(key) && !clip.AddChannel(name)) continue;
    EngineCore::AnimChannel& channel = *clip.GetChannel(key);
    const tinygltf::Value& tracks = entry.Get("tracks");
    for (std::size_t t = 0; tracks.IsArray() && t < tracks.ArrayLen(); ++t) {
      const tinygltf::Value& path = tracks.Get(static_cast<int>(t));
      const std::uint32_t type = path.IsString() ? TrackOfPath(path.Get<std::string>()) : 0;
      // Weights without keys come back with the targets they name.
      const tinygltf::Value& targets = entry.Get("targets");
      const bool weights = type == AnimTrack::Weights;
      if (weights &&
          (!targets.IsArray() || targets.ArrayLen() == 0 || targets.ArrayLen() > ClipFileLimits::kMaxMorphTargets)) {
        continue;
      }
      if (type == 0 || channel.HasTrack(type) || !channel.AddTrack(type)) continue;
      AnimCurve& curve = *channel.GetCurve(type);
      curve.SetKeyType(type == AnimTrack::Rotation ? AnimCurve::KeyQuaternion
                       : weights                   ? AnimCurve::KeyWeights
                                                   : AnimCurve::KeyVector3);
      if (!weights) continue;
      std::vector<EngineCore::String> names;
      for (std::size_t w = 0; w < targets.ArrayLen(); ++w) {
        const tinygltf::Value& target = targets.Get(static_cast<int>(w));
        names.emplace_back(target.IsString() ? target.Get<std::string>() : "Target " + std::to_string(w));
      }
      curve.SetWeightCount(static_cast<std::uint32_t>(names.size()));
      curve.SetWeightNames(std::move(names));
    }
  }
}

// The first extension the document requires that this editor cannot keep intact, or empty.
// Those it keeps byte for byte change nothing the clip's samplers or its nodes' transforms
// mean.
std::string UnsupportedRequiredExtension(const tinygltf::Model& model) {
  static const std::set<std::string> kKept = {
      "KHR_draco_mesh_compression", "EXT_meshopt_compression", "KHR_mesh_quantization",
      "KHR_texture_transform",      "KHR_texture_basisu",      "EXT_texture_webp",
      "EXT_texture_avif",           "KHR_lights_punctual",     "KHR_xmp_json_ld",
      "EXT_mesh_gpu_instancing",    "EXT_lights_image_based"};
  for (const std::string& extension : model.extensionsRequired) {
    if (!kKept.contains(extension) && extension.rfind("KHR_materials_", 0) != 0) return extension;
  }
  return {};
}

ClipOpenResult OpenClip(const std::string& path, const EngineCore::String& name) {
  tinygltf::Model model;
  std::string document;
  ClipFileIdentity identity;
  std::string message;
  {
    // A save in flight is waited for; one that was interrupted is finished or cleared.
    ClipFileLock lock(path);
    if (!lock.Acquire(message)) return ClipReading::Fail(path, ClipFileError::Busy, message);
    ClipFileTransaction::FinishInterrupted(path);
    const ClipFileError error = GltfDocumentReader::Read(path, model, message, &document);
    if (error != ClipFileError::None) return ClipReading::Fail(path, error, message);
    std::vector<std::string> uris;
    for (const tinygltf::Buffer& buffer : model.buffers) uris.push_back(buffer.uri);
    identity = ClipFileIdentity::Capture(path, uris);
  }
  ClipFileError error = ClipFileError::None;

  const std::string stem = fs::path(path).stem().string();
  const GltfClipNames::AnimationNames animations = GltfClipNames::Of(model);
  const int animation = GltfClipNames::AnimationOf(stem, animations, name.str());
  if (animation < 0) {
    std::string clips;
    for (const std::string& clip : GltfClipNames::ClipNames(stem, animations))
      clips += (clips.empty() ? "" : ", ") + clip;
    return ClipReading::Fail(path, ClipFileError::FileNotFound,
                             "its file holds no animation of that name; its clips are " + clips);
  }
  const EngineCore::String clipName =
      !name.IsEmpty() ? name : EngineCore::String(GltfClipNames::ClipNames(stem, animations).front());
  AnimClip* clip = new AnimClip(clipName);
  AnimationReader reader(model, static_cast<std::size_t>(animation), path, *clip);
  error = reader.Read(message);
  if (error != ClipFileError::None) {
    clip->Release();
    return ClipReading::Fail(path, error, message);
  }
  reader.KeepTargetsBeyondNodes(document);
  AddEmptyTracks(model, static_cast<std::size_t>(animation), *clip);
  const std::string required = UnsupportedRequiredExtension(model);
  auto storage = std::make_shared<GltfClipStorage>(path, std::move(model), std::move(document),
                                                   std::move(reader.ChannelNodes()), animation);
  storage->SetIdentity(std::move(identity));
  if (!required.empty()) {
    const std::string reason = "its file requires the glTF extension " + required +
                               ", which this editor cannot keep intact, so it is opened read-only";
    Log::Write(Log::Warning, "%s: %s", path.c_str(), reason.c_str());
    storage->SetReadOnly(reason);
  }
  return ClipReading::Finish(clip, reader.Note(), path, std::move(storage));
}

}  // namespace

ClipOpenResult GltfClipFile::Open(const std::string& path, const EngineCore::String& name) {
  return ClipReading::Guarded(path, ClipFileError::NotGltf, [&] { return OpenClip(path, name); });
}

bool GltfClipFile::ListClips(const std::string& path, std::vector<std::string>& names) {
  // A project lists its clips whenever the user looks: each file is read again only when
  // it changed.
  struct Listed {
    std::uintmax_t size;
    fs::file_time_type time;
    std::vector<std::string> names;
  };
  static std::mutex mutex;
  static std::map<std::string, Listed> listed;
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  const fs::file_time_type time = ec ? fs::file_time_type() : fs::last_write_time(path, ec);
  const std::string stem = fs::path(path).stem().string();
  names = {stem};
  if (ec) return false;
  std::lock_guard<std::mutex> lock(mutex);
  const auto known = listed.find(path);
  if (known != listed.end() && known->second.size == size && known->second.time == time) {
    names = known->second.names;
    return true;
  }
  GltfClipNames::AnimationNames animations;
  if (!GltfDocumentReader::ListAnimationNames(path, animations)) return false;
  names = GltfClipNames::ClipNames(stem, animations);
  listed[path] = {size, time, names};
  return true;
}

ClipFileError GltfClipFile::SaveAs(const EngineCore::AnimClip& clip, const std::string& path, std::string& message) {
  auto* storage = dynamic_cast<ClipStorage*>(clip.GetStorage());
  if (!storage) {
    message = "the clip was not opened from a file";
    return ClipFileError::WriteFailed;
  }
  return storage->WriteTo(clip, path, message);
}

ClipFileError GltfClipFile::CreateEmpty(const std::string& path, std::string& message) {
  try {
    // An empty clip is an empty skeleton: a document with one scene and nothing in it.
    tinygltf::Model model = SkeletonBuilder().Take();
    DocumentWrite write;
    return GltfDocumentWriter::Write(model, path, write, message);
  } catch (const std::exception& e) {
    message = e.what();
    return ClipFileError::WriteFailed;
  }
}

}  // namespace Formats
