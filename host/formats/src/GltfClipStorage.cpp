#include "GltfClipStorage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include "DocumentSpace.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/ClipFileHost.h"
#include "Formats/GltfClipFile.h"
#include "GltfDocumentReader.h"
#include "GltfDocumentWriter.h"
#include "GltfSceneBuilder.h"

namespace Formats {

namespace {

bool IsTransformPath(const std::string& path) { return path == "translation" || path == "rotation" || path == "scale"; }

int AddNodeUnderSceneRoot(tinygltf::Model& model, const std::string& name) {
  tinygltf::Node node;
  node.name = name;
  model.nodes.push_back(std::move(node));
  const int index = static_cast<int>(model.nodes.size()) - 1;
  if (model.scenes.empty()) {
    tinygltf::Scene scene;
    scene.name = "Scene";
    model.scenes.push_back(std::move(scene));
    model.defaultScene = 0;
  }
  const int scene = model.defaultScene >= 0 && static_cast<std::size_t>(model.defaultScene) < model.scenes.size()
                        ? model.defaultScene
                        : 0;
  model.scenes[scene].nodes.push_back(index);
  return index;
}

const char* PathOfTrack(std::uint32_t type) {
  switch (type) {
    case EngineCore::AnimTrack::Translation: return "translation";
    case EngineCore::AnimTrack::Rotation: return "rotation";
    case EngineCore::AnimTrack::Scale: return "scale";
    default: return nullptr;
  }
}

// Takes the channels of the clip's nodes out of an animation, with the samplers only they
// used; the accessors those samplers read are then free (see DocumentSpace).
void RemoveChannelsOf(tinygltf::Animation& animation, const std::set<int>& clipNodes) {
  std::vector<tinygltf::AnimationChannel> keptChannels;
  for (tinygltf::AnimationChannel& channel : animation.channels) {
    if (IsTransformPath(channel.target_path) && clipNodes.contains(channel.target_node)) continue;
    keptChannels.push_back(std::move(channel));
  }
  animation.channels = std::move(keptChannels);
  std::vector<bool> samplerUsed(animation.samplers.size(), false);
  for (const auto& channel : animation.channels) {
    if (channel.sampler >= 0 && static_cast<std::size_t>(channel.sampler) < samplerUsed.size()) {
      samplerUsed[channel.sampler] = true;
    }
  }
  std::vector<int> samplerRemap(animation.samplers.size(), -1);
  std::vector<tinygltf::AnimationSampler> keptSamplers;
  for (std::size_t s = 0; s < animation.samplers.size(); ++s) {
    if (!samplerUsed[s]) continue;
    samplerRemap[s] = static_cast<int>(keptSamplers.size());
    keptSamplers.push_back(std::move(animation.samplers[s]));
  }
  animation.samplers = std::move(keptSamplers);
  for (auto& channel : animation.channels) {
    if (channel.sampler >= 0 && static_cast<std::size_t>(channel.sampler) < samplerRemap.size()) {
      channel.sampler = samplerRemap[channel.sampler];
    }
  }
}

// Takes the channels of the clip's nodes out of the document's first animation, the clip's,
// with the samplers only they used. A document whose first animation is not the clip's is
// left alone.
void RemoveClipChannels(tinygltf::Model& model, const std::map<std::string, int>& channelNodes) {
  if (model.animations.empty() || GltfClipStorage::HoldsNoClipAnimation(model)) return;
  std::set<int> clipNodes;
  for (const auto& [name, node] : channelNodes) clipNodes.insert(node);
  RemoveChannelsOf(model.animations[0], clipNodes);
}

// The node a channel is written to: the one it was read from, else a node of its name
// that carries no animation of its own, else a new one.
int NodeOfChannel(tinygltf::Model& model, const std::string& name, std::map<std::string, int>& channelNodes,
                  const std::set<std::pair<int, std::string>>& taken) {
  if (const auto it = channelNodes.find(name);
      it != channelNodes.end() && static_cast<std::size_t>(it->second) < model.nodes.size()) {
    return it->second;
  }
  int node = -1;
  for (std::size_t n = 0; n < model.nodes.size(); ++n) {
    if (model.nodes[n].name != name) continue;
    bool free = true;
    for (const char* path : {"translation", "rotation", "scale"}) {
      free = free && !taken.contains({static_cast<int>(n), path});
    }
    if (free) node = static_cast<int>(n);
    break;
  }
  if (node < 0) node = AddNodeUnderSceneRoot(model, name);
  channelNodes[name] = node;
  return node;
}

// Appends the clip's tracks to animation 0 as samplers of their interpolation (STEP, LINEAR,
// or CUBICSPLINE with each key's in-tangent, value and out-tangent) with times frame / rate,
// the float nearest to it, their data in the document's free room of one buffer.
class TrackWriter {
 public:
  TrackWriter(tinygltf::Model& model, DocumentSpace& space, int buffer, double rate)
      : model_(model), space_(space), buffer_(buffer), rate_(rate) {}

  void Append(int node, std::uint32_t trackType, const EngineCore::AnimCurve& curve) {
    const char* path = PathOfTrack(trackType);
    const std::uint32_t count = curve.GetKeyCount();
    const bool isVector = curve.GetKeyType() == EngineCore::AnimCurve::KeyVector3;
    const bool isRotation = curve.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
    if (!path || count == 0 || (!isVector && !isRotation)) return;
    if (isRotation != (trackType == EngineCore::AnimTrack::Rotation)) return;
    const bool cubic = curve.IsCubic();
    times_.resize(count);
    values_.clear();
    values_.reserve(count * (isRotation ? 4 : 3) * (cubic ? 3 : 1));
    for (std::uint32_t k = 0; k < count; ++k) {
      times_[k] = static_cast<float>(static_cast<double>(curve.GetKeyFrame(k)) / rate_);
      if (isRotation) {
        if (cubic) Put(curve.GetQuaternionInTangent(k));
        // A key already of unit length is written as it is, so that saving twice changes nothing.
        const EngineCore::Quaternion& key = curve.GetQuaternionKey(k);
        Put(std::abs(key.Dot(key) - 1.0f) < 1e-6f ? key : key.Normalized());
        if (cubic) Put(curve.GetQuaternionOutTangent(k));
      } else {
        if (cubic) Put(curve.GetVector3InTangent(k));
        Put(curve.GetVector3Key(k));
        if (cubic) Put(curve.GetVector3OutTangent(k));
      }
    }
    tinygltf::AnimationSampler sampler;
    sampler.input = space_.AddFloatAccessor(buffer_, times_, TINYGLTF_TYPE_SCALAR, true);
    sampler.output =
        space_.AddFloatAccessor(buffer_, values_, isRotation ? TINYGLTF_TYPE_VEC4 : TINYGLTF_TYPE_VEC3, false);
    sampler.interpolation = cubic                                                     ? "CUBICSPLINE"
                            : curve.GetInterpolation() == EngineCore::AnimCurve::Step ? "STEP"
                                                                                      : "LINEAR";
    tinygltf::Animation& animation = model_.animations[0];
    animation.samplers.push_back(std::move(sampler));
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(animation.samplers.size()) - 1;
    channel.target_node = node;
    channel.target_path = path;
    animation.channels.push_back(std::move(channel));
  }

 private:
  tinygltf::Model& model_;
  DocumentSpace& space_;
  int buffer_;
  double rate_;
  void Put(const EngineCore::Quaternion& q) { values_.insert(values_.end(), {q.x, q.y, q.z, q.w}); }
  void Put(const EngineCore::Vector3& v) { values_.insert(values_.end(), {v.x, v.y, v.z}); }

  std::vector<float> times_;
  std::vector<float> values_;
};

// Sets or, given a null value, removes one entry of the document's asset extras. Extras
// that are not an object are left as they are; the result says whether the entry is set.
bool SetAssetExtra(tinygltf::Model& model, const char* key, tinygltf::Value value) {
  tinygltf::Value& extras = model.asset.extras;
  if (!extras.IsObject() && extras.Type() != tinygltf::NULL_TYPE) return value.Type() == tinygltf::NULL_TYPE;
  tinygltf::Value::Object object =
      extras.IsObject() ? extras.Get<tinygltf::Value::Object>() : tinygltf::Value::Object{};
  object.erase(key);
  if (value.Type() != tinygltf::NULL_TYPE) object[key] = std::move(value);
  extras = object.empty() ? tinygltf::Value() : tinygltf::Value(std::move(object));
  return true;
}

// glTF has no track without keys: the clip's channels without tracks and tracks without
// keys are listed in the document's asset extras, so that they come back when it opens.
void WriteEmptyTracks(tinygltf::Model& model, const EngineCore::AnimClip& clip) {
  tinygltf::Value::Array entries;
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    tinygltf::Value::Array empty;
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const char* path = PathOfTrack(channel.GetTrackTypeAt(t));
      if (path && channel.GetCurveAt(t)->GetKeyCount() == 0) empty.emplace_back(std::string(path));
    }
    if (!empty.empty() || channel.GetTrackCount() == 0) {
      tinygltf::Value::Object entry;
      entry["channel"] = tinygltf::Value(channel.GetName().str());
      entry["tracks"] = tinygltf::Value(std::move(empty));
      entries.emplace_back(std::move(entry));
    }
  }
  const bool listed = SetAssetExtra(model, GltfClipStorage::kEmptyTracksKey,
                                    entries.empty() ? tinygltf::Value() : tinygltf::Value(std::move(entries)));
  if (!listed) {
    EngineCore::Log::Write(EngineCore::Log::Warning,
                           "the channels without keys of %s are not kept: its asset extras are not an object",
                           clip.GetName().c_str());
  }
}

// The clip's rate in its animation's extras, beside whatever else they hold.
void WriteFrameRate(tinygltf::Animation& animation, float rate) {
  tinygltf::Value& extras = animation.extras;
  if (!extras.IsObject() && extras.Type() != tinygltf::NULL_TYPE) return;
  tinygltf::Value::Object object =
      extras.IsObject() ? extras.Get<tinygltf::Value::Object>() : tinygltf::Value::Object{};
  object[GltfClipStorage::kFrameRateKey] = tinygltf::Value(static_cast<double>(rate));
  extras = tinygltf::Value(std::move(object));
}

}  // namespace

GltfClipStorage::GltfClipStorage(std::string path, tinygltf::Model model, std::string documentText,
                                 std::map<std::string, int> channelNodes)
    : path_(std::move(path)),
      model_(std::move(model)),
      documentText_(std::move(documentText)),
      channelNodes_(std::move(channelNodes)) {
  ForgetClipAnimation();
}

void GltfClipStorage::ForgetClipAnimation() {
  RemoveClipChannels(model_, channelNodes_);
  DocumentSpace space(model_);
  if (space.BusiestFreedBuffer() >= 0) keysBuffer_ = space.BusiestFreedBuffer();
  // What the document held of the clip's keys is gone from memory: those buffers differ
  // from their files.
  bufferDirty_ = space.Finish();
}

bool GltfClipStorage::Save(EngineCore::Resource& resource) {
  if (resource.GetKind() != EngineCore::Resource::KindAnimClip) return false;
  const std::string name = resource.GetName().str();
  const bool changed = !identity_.Matches();
  if (changed) {
    enum { kReload = 1, kOverwrite = 2, kCancel = 3 };
    const int answer = ClipFileHost::Choose(name + " was changed on disk by another program.",
                                            {"Reload", "Overwrite", "Cancel"}, kCancel);
    if (answer == kReload) {
      EngineCore::Log::Write(EngineCore::Log::Info,
                             "%s was changed on disk by another program: read again, its edits dropped", path_.c_str());
      if (resource.Revert()) ClipFileHost::TellReloaded(resource);
      return false;
    }
    if (answer == kCancel) {
      EngineCore::Log::Write(EngineCore::Log::Warning, "%s was changed on disk by another program: not saved",
                             path_.c_str());
      return false;
    }
  }
  std::string message;
  const ClipFileError error =
      Write(static_cast<const EngineCore::AnimClip&>(resource), path_, changed ? nullptr : &identity_, message);
  if (error != ClipFileError::None) {
    EngineCore::Log::Write(EngineCore::Log::Error, "%s: %s (%s)", path_.c_str(), Describe(error), message.c_str());
    ClipFileHost::Report("Could not save " + resource.GetName().str() + ": " + message + ".");
    return false;
  }
  return true;
}

bool GltfClipStorage::Revert(EngineCore::Resource& resource) {
  if (resource.GetKind() != EngineCore::Resource::KindAnimClip) return false;
  const ClipOpenResult fresh = GltfClipFile::Open(path_, resource.GetName());
  if (!fresh.clip) return false;
  auto* read = dynamic_cast<GltfClipStorage*>(fresh.clip->GetStorage());
  if (read) {
    model_ = std::move(read->model_);
    documentText_ = std::move(read->documentText_);
    channelNodes_ = std::move(read->channelNodes_);
    keysBuffer_ = read->keysBuffer_;
    bufferDirty_ = std::move(read->bufferDirty_);
    readOnlyReason_ = std::move(read->readOnlyReason_);
    identity_ = std::move(read->identity_);
  }
  static_cast<EngineCore::AnimClip&>(resource).TakeContentsOf(*fresh.clip);
  fresh.clip->Release();
  return true;
}

std::unique_ptr<EngineCore::Scene> GltfClipStorage::BuildScene() const { return GltfSceneBuilder::Build(model_); }

ClipFileError GltfClipStorage::WriteTo(const EngineCore::AnimClip& clip, const std::string& path,
                                       std::string& message) {
  return Write(clip, path, path == path_ ? &identity_ : nullptr, message);
}

ClipFileError GltfClipStorage::Write(const EngineCore::AnimClip& clip, const std::string& path,
                                     const ClipFileIdentity* expected, std::string& message) {
  if (!readOnlyReason_.empty()) {
    message = readOnlyReason_;
    return ClipFileError::ReadOnly;
  }
  try {
    std::map<std::string, int> channelNodes = channelNodes_;
    DocumentOrigin origin;
    DocumentWrite write;
    write.origin = &origin;
    write.expected = expected;
    tinygltf::Model model = BuildModel(clip, channelNodes, write.changed, origin);
    // A copy elsewhere writes every file anew.
    if (path != path_) write.changed.clear();
    const ClipFileError error = GltfDocumentWriter::Write(model, path, write, message);
    if (error == ClipFileError::None && path == path_) {
      model_ = std::move(model);
      documentText_ = std::move(write.writtenJson);
      identity_ = std::move(write.identity);
      channelNodes_ = std::move(channelNodes);
      ForgetClipAnimation();
    }
    return error;
  } catch (const std::bad_alloc&) {
    message = "there is not enough memory to save it";
  } catch (const std::exception& e) {
    message = e.what();
  }
  return ClipFileError::WriteFailed;
}

int GltfClipStorage::KeysBuffer(tinygltf::Model& model, const DocumentSpace& space) const {
  auto usable = [&model](int b) {
    return b >= 0 && static_cast<std::size_t>(b) < model.buffers.size() &&
           !GltfDocumentReader::IsAbsentBuffer(model.buffers[b]);
  };
  if (usable(keysBuffer_)) return keysBuffer_;
  if (usable(space.BusiestFreedBuffer())) return space.BusiestFreedBuffer();
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    if (usable(static_cast<int>(b))) return static_cast<int>(b);
  }
  model.buffers.emplace_back();
  return static_cast<int>(model.buffers.size()) - 1;
}

tinygltf::Model GltfClipStorage::BuildModel(const EngineCore::AnimClip& clip, std::map<std::string, int>& channelNodes,
                                            std::vector<bool>& changed, DocumentOrigin& origin) {
  tinygltf::Model model = model_;
  // Saves are rarer than opens: the file's JSON is kept as text and parsed only here.
  if (!documentText_.empty()) origin.document = nlohmann::json::parse(documentText_, nullptr, false);
  origin.nodeCount = model.nodes.size();
  for (std::size_t a = 0; a < model.animations.size(); ++a) origin.animationOrigin.push_back(static_cast<int>(a));
  RemoveClipChannels(model, channelNodes);
  if (model.animations.empty() || HoldsNoClipAnimation(model)) {
    tinygltf::Animation animation;
    animation.name = clip.GetName().str();
    model.animations.insert(model.animations.begin(), std::move(animation));
    origin.animationOrigin.insert(origin.animationOrigin.begin(), -1);
  }
  origin.animationOrigin[0] = -1;
  if (model.asset.version.empty()) model.asset.version = "2.0";

  DocumentSpace space(model);
  origin.keptAccessors = space.KeptAccessors();
  origin.keptViews = space.KeptViews();
  // Nodes that still carry channels of their own (kept above) cannot take the clip's.
  std::set<std::pair<int, std::string>> taken;
  for (const auto& channel : model.animations[0].channels) taken.insert({channel.target_node, channel.target_path});
  TrackWriter writer(model, space, KeysBuffer(model, space), clip.GetFrameRate());
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    const int node = NodeOfChannel(model, channel.GetName().str(), channelNodes, taken);
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      writer.Append(node, channel.GetTrackTypeAt(t), *channel.GetCurveAt(t));
    }
  }
  WriteEmptyTracks(model, clip);
  WriteFrameRate(model.animations[0], clip.GetFrameRate());
  // glTF has no empty animations: a clip without keys leaves none behind. When other
  // animations follow, the document says so, or the next would be taken for the clip.
  const bool noKeys = model.animations[0].channels.empty() && model.animations[0].samplers.empty();
  const bool othersFollow = model.animations.size() > 1;
  const bool marked =
      SetAssetExtra(model, kNoClipAnimationKey, noKeys && othersFollow ? tinygltf::Value(true) : tinygltf::Value());
  if (noKeys && (!othersFollow || marked)) {
    model.animations.erase(model.animations.begin());
    origin.animationOrigin.erase(origin.animationOrigin.begin());
  }
  changed = space.Finish();
  for (std::size_t b = 0; b < changed.size() && b < bufferDirty_.size(); ++b)
    changed[b] = changed[b] || bufferDirty_[b];
  return model;
}

bool GltfClipStorage::HoldsNoClipAnimation(const tinygltf::Model& model) {
  const tinygltf::Value& extras = model.asset.extras;
  return extras.IsObject() && extras.Has(kNoClipAnimationKey) && extras.Get(kNoClipAnimationKey).IsBool() &&
         extras.Get(kNoClipAnimationKey).Get<bool>();
}

}  // namespace Formats
