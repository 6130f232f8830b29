#include "GltfClipStorage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "DocumentSpace.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/ClipFileHost.h"
#include "Formats/GltfClipFile.h"
#include "GltfDocumentReader.h"
#include "GltfDocumentWriter.h"
#include "GltfSceneBuilder.h"
#include "TangentTypeCodes.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

// The paths of the channels a clip reads from a node.
bool IsClipPath(const std::string& path) {
  return path == "translation" || path == "rotation" || path == "scale" || path == "weights";
}

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
    case EngineCore::AnimTrack::Weights: return "weights";
    default: return nullptr;
  }
}

// Takes the channels of the clip's nodes out of an animation, with the samplers only they
// used; the accessors those samplers read are then free (see DocumentSpace).
void RemoveChannelsOf(tinygltf::Animation& animation, const std::set<int>& clipNodes) {
  std::vector<tinygltf::AnimationChannel> keptChannels;
  for (tinygltf::AnimationChannel& channel : animation.channels) {
    if (IsClipPath(channel.target_path) && clipNodes.contains(channel.target_node)) continue;
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

// Takes the channels of the clip's nodes out of the clip's animation, with the samplers only
// they used.
void RemoveClipChannels(tinygltf::Model& model, std::size_t animation, const std::map<std::string, int>& channelNodes) {
  if (animation >= model.animations.size()) return;
  std::set<int> clipNodes;
  for (const auto& [name, node] : channelNodes) clipNodes.insert(node);
  RemoveChannelsOf(model.animations[animation], clipNodes);
}

// The node a channel is written to: the node without a name it was read from (named after
// the channel once the channel is renamed), the one of its name it was read from, else a node
// of its name that carries no animation of its own, else a new one.
int NodeOfChannel(tinygltf::Model& model, const EngineCore::AnimChannel& channel,
                  std::map<std::string, int>& channelNodes, const std::set<std::pair<int, std::string>>& taken) {
  const std::string name = channel.GetName().str();
  const int source = channel.GetSourceIndex();
  if (source >= 0 && static_cast<std::size_t>(source) < model.nodes.size() && model.nodes[source].name.empty()) {
    const bool readFromIt = std::any_of(channelNodes.begin(), channelNodes.end(),
                                        [source](const auto& entry) { return entry.second == source; });
    if (readFromIt) {
      if (name != "node " + std::to_string(source)) model.nodes[source].name = name;
      channelNodes[name] = source;
      return source;
    }
  }
  if (const auto it = channelNodes.find(name);
      it != channelNodes.end() && static_cast<std::size_t>(it->second) < model.nodes.size()) {
    return it->second;
  }
  int node = -1;
  for (std::size_t n = 0; n < model.nodes.size(); ++n) {
    if (model.nodes[n].name != name) continue;
    bool free = true;
    for (const char* path : {"translation", "rotation", "scale", "weights"}) {
      free = free && !taken.contains({static_cast<int>(n), path});
    }
    if (free) node = static_cast<int>(n);
    break;
  }
  if (node < 0) node = AddNodeUnderSceneRoot(model, name);
  channelNodes[name] = node;
  return node;
}

// Appends the clip's tracks to its animation as samplers of their interpolation (STEP, LINEAR,
// or CUBICSPLINE with each key's in-tangent, value and out-tangent) with times frame / rate,
// the float nearest to it, their data in the document's free room of one buffer.
class TrackWriter {
 public:
  TrackWriter(tinygltf::Model& model, std::size_t animation, DocumentSpace& space, int buffer, double rate)
      : model_(model), animation_(animation), space_(space), buffer_(buffer), rate_(rate) {}

  void Append(int node, std::uint32_t trackType, const EngineCore::AnimCurve& curve) {
    const char* path = PathOfTrack(trackType);
    const std::uint32_t count = curve.GetKeyCount();
    const bool isVector = curve.GetKeyType() == EngineCore::AnimCurve::KeyVector3;
    const bool isRotation = curve.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
    const std::uint32_t weights = curve.GetWeightCount();
    if (!path || count == 0 || (!isVector && !isRotation && weights == 0)) return;
    if (isRotation != (trackType == EngineCore::AnimTrack::Rotation)) return;
    if ((weights > 0) != (trackType == EngineCore::AnimTrack::Weights)) return;
    const bool cubic = curve.IsCubic();
    times_.resize(count);
    values_.clear();
    values_.reserve(count * (isRotation ? 4 : weights > 0 ? weights : 3) * (cubic ? 3 : 1));
    for (std::uint32_t k = 0; k < count; ++k) {
      times_[k] = static_cast<float>(static_cast<double>(curve.GetKeyFrame(k)) / rate_);
      if (weights > 0) {
        // glTF keeps a cubic key's weights as all its in-tangents, then its values, then its
        // out-tangents.
        if (cubic) Put(curve.GetWeightInTangent(k), weights);
        Put(curve.GetWeightKey(k), weights);
        if (cubic) Put(curve.GetWeightOutTangent(k), weights);
      } else if (isRotation) {
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
    sampler.output = space_.AddFloatAccessor(buffer_, values_,
                                             isRotation    ? TINYGLTF_TYPE_VEC4
                                             : weights > 0 ? TINYGLTF_TYPE_SCALAR
                                                           : TINYGLTF_TYPE_VEC3,
                                             false);
    sampler.interpolation = cubic                                                     ? "CUBICSPLINE"
                            : curve.GetInterpolation() == EngineCore::AnimCurve::Step ? "STEP"
                                                                                      : "LINEAR";
    if (const std::string types = TangentTypeCodes::Encode(curve); !types.empty()) {
      tinygltf::Value::Object extras;
      extras[TangentTypeCodes::kKey] = tinygltf::Value(types);
      sampler.extras = tinygltf::Value(std::move(extras));
    }
    tinygltf::Animation& animation = model_.animations[animation_];
    animation.samplers.push_back(std::move(sampler));
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(animation.samplers.size()) - 1;
    channel.target_node = node;
    channel.target_path = path;
    animation.channels.push_back(std::move(channel));
  }

 private:
  tinygltf::Model& model_;
  std::size_t animation_;
  DocumentSpace& space_;
  int buffer_;
  double rate_;
  void Put(const EngineCore::Quaternion& q) { values_.insert(values_.end(), {q.x, q.y, q.z, q.w}); }
  void Put(const EngineCore::Vector3& v) { values_.insert(values_.end(), {v.x, v.y, v.z}); }
  void Put(const float* v, std::uint32_t count) { values_.insert(values_.end(), v, v + count); }

  std::vector<float> times_;
  std::vector<float> values_;
};

// Sets or, given a null value, removes one entry of extras. Extras that are not an object
// are left as they are; the result says whether the entry is set.
bool SetExtra(tinygltf::Value& extras, const char* key, tinygltf::Value value) {
  if (!extras.IsObject() && extras.Type() != tinygltf::NULL_TYPE) return value.Type() == tinygltf::NULL_TYPE;
  tinygltf::Value::Object object =
      extras.IsObject() ? extras.Get<tinygltf::Value::Object>() : tinygltf::Value::Object{};
  object.erase(key);
  if (value.Type() != tinygltf::NULL_TYPE) object[key] = std::move(value);
  extras = object.empty() ? tinygltf::Value() : tinygltf::Value(std::move(object));
  return true;
}

// glTF has no track without keys: the clip's channels without tracks and tracks without
// keys are listed in extras (GltfClipStorage::EmptyTracksHolder), so that they come back when
// it opens.
void WriteEmptyTracks(tinygltf::Model& model, std::size_t animation, const EngineCore::AnimClip& clip) {
  tinygltf::Value::Array entries;
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    tinygltf::Value::Array empty;
    // Weights without keys keep the names of their targets, which say how many there are.
    tinygltf::Value::Array targets;
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      const char* path = PathOfTrack(channel.GetTrackTypeAt(t));
      if (!path || curve.GetKeyCount() > 0) continue;
      empty.emplace_back(std::string(path));
      if (channel.GetTrackTypeAt(t) != EngineCore::AnimTrack::Weights) continue;
      for (std::uint32_t w = 0; w < curve.GetWeightCount(); ++w) {
        const std::vector<EngineCore::String>& names = curve.GetWeightNames();
        targets.emplace_back(w < names.size() ? names[w].str() : "Target " + std::to_string(w));
      }
    }
    if (!empty.empty() || channel.GetTrackCount() == 0) {
      tinygltf::Value::Object entry;
      entry["channel"] = tinygltf::Value(channel.GetName().str());
      entry["tracks"] = tinygltf::Value(std::move(empty));
      if (!targets.empty()) entry["targets"] = tinygltf::Value(std::move(targets));
      entries.emplace_back(std::move(entry));
    }
  }
  const bool listed = SetExtra(GltfClipStorage::EmptyTracksHolder(model, animation), GltfClipStorage::kEmptyTracksKey,
                               entries.empty() ? tinygltf::Value() : tinygltf::Value(std::move(entries)));
  if (!listed) {
    EngineCore::Log::Write(EngineCore::Log::Warning,
                           "the channels without keys of %s are not kept: the extras that list them are not an object",
                           clip.GetName().c_str());
  }
}

// The clip's rate in its animation's extras, beside whatever else they hold.
void WriteFrameRate(tinygltf::Animation& animation, float rate) {
  SetExtra(animation.extras, GltfClipStorage::kFrameRateKey, tinygltf::Value(static_cast<double>(rate)));
}

// Channels whose target is not a node (KHR_animation_pointer's) are not read into the model:
// an animation that holds any is kept as the file has it, and cannot be written anew.
void RefuseLosingTargets(const DocumentOrigin& origin, int animation) {
  if (animation < 0 || GltfClipStorage::TargetsBeyondNodes(origin.document, animation).empty()) return;
  throw std::runtime_error(
      "its animation also animates targets that are not nodes (KHR_animation_pointer), which this editor cannot "
      "keep once it writes the animation anew; its keys stay as they are on disk");
}

// The storages of every clip open from each file, so that a save of one clip brings the
// others of its file up to the file it wrote.
struct OpenStorages {
  std::mutex mutex;
  std::multimap<std::string, GltfClipStorage*> byFile;
};

OpenStorages& Open() {
  static OpenStorages storages;
  return storages;
}

std::string FileKey(const std::string& path) {
  std::error_code ec;
  const fs::path canonical = fs::weakly_canonical(path, ec);
  return ec ? path : canonical.string();
}

}  // namespace

GltfClipStorage::GltfClipStorage(std::string path, tinygltf::Model model, std::string documentText,
                                 std::map<std::string, int> channelNodes, int animation)
    : path_(std::move(path)),
      fileKey_(FileKey(path_)),
      animation_(static_cast<std::size_t>(std::max(animation, 0))),
      model_(std::move(model)),
      documentText_(std::move(documentText)),
      channelNodes_(std::move(channelNodes)) {
  ForgetClipAnimation();
  std::lock_guard<std::mutex> lock(Open().mutex);
  Open().byFile.emplace(fileKey_, this);
}

GltfClipStorage::~GltfClipStorage() {
  std::lock_guard<std::mutex> lock(Open().mutex);
  auto [first, last] = Open().byFile.equal_range(fileKey_);
  for (auto it = first; it != last; ++it) {
    if (it->second == this) {
      Open().byFile.erase(it);
      break;
    }
  }
}

std::vector<const nlohmann::json*> GltfClipStorage::TargetsBeyondNodes(const nlohmann::json& document,
                                                                       std::size_t animation) {
  std::vector<const nlohmann::json*> targets;
  const auto animations = document.is_object() ? document.find("animations") : document.end();
  if (!document.is_object() || animations == document.end() || !animations->is_array() ||
      animation >= animations->size() || !(*animations)[animation].is_object()) {
    return targets;
  }
  const nlohmann::json& read = (*animations)[animation];
  const auto channels = read.find("channels");
  if (channels == read.end() || !channels->is_array()) return targets;
  for (const nlohmann::json& channel : *channels) {
    const auto target = channel.is_object() ? channel.find("target") : channel.end();
    // A target without a node and without an extension's own target animates nothing.
    if (channel.is_object() && target != channel.end() && target->is_object() && !target->contains("node") &&
        target->contains("extensions")) {
      targets.push_back(&*target);
    }
  }
  return targets;
}

const tinygltf::Value& GltfClipStorage::EmptyTracksHolder(const tinygltf::Model& model, std::size_t animation) {
  return model.animations.size() > 1 && animation < model.animations.size() ? model.animations[animation].extras
                                                                            : model.asset.extras;
}

tinygltf::Value& GltfClipStorage::EmptyTracksHolder(tinygltf::Model& model, std::size_t animation) {
  return const_cast<tinygltf::Value&>(EmptyTracksHolder(static_cast<const tinygltf::Model&>(model), animation));
}

void GltfClipStorage::ForgetClipAnimation() {
  RemoveClipChannels(model_, animation_, channelNodes_);
  DocumentSpace space(model_);
  if (space.BusiestFreedBuffer() >= 0) keysBuffer_ = space.BusiestFreedBuffer();
  // What the document held of the clip's keys is gone from memory: those buffers differ
  // from their files.
  bufferDirty_ = space.Finish();
}

void GltfClipStorage::Adopt(const tinygltf::Model& model, const std::string& documentText,
                            const ClipFileIdentity& identity) {
  model_ = model;
  documentText_ = documentText;
  identity_ = identity;
  ForgetClipAnimation();
}

bool GltfClipStorage::Save(EngineCore::Resource& resource) { return SaveTogether(resource, {}); }

bool GltfClipStorage::SaveTogether(EngineCore::Resource& resource, const std::vector<EngineCore::Resource*>& others) {
  if (resource.GetKind() != EngineCore::Resource::KindAnimClip) return false;
  std::vector<EngineCore::Resource*> saved = {&resource};
  std::vector<Part> parts = {{static_cast<const EngineCore::AnimClip*>(&resource), this, {}}};
  bool changed = !identity_.Matches();
  for (EngineCore::Resource* other : others) {
    auto* storage = dynamic_cast<GltfClipStorage*>(other->GetStorage());
    if (other->GetKind() != EngineCore::Resource::KindAnimClip || !storage || storage->fileKey_ != fileKey_ ||
        storage->animation_ == animation_) {
      continue;
    }
    saved.push_back(other);
    parts.push_back({static_cast<const EngineCore::AnimClip*>(other), storage, {}});
    changed = changed || !storage->identity_.Matches();
  }
  const std::string name = saved.size() > 1 ? fs::path(path_).filename().string() : resource.GetName().str();
  if (changed) {
    enum { kReload = 1, kOverwrite = 2, kCancel = 3 };
    const int answer = ClipFileHost::Choose(name + " was changed on disk by another program.",
                                            {"Reload", "Overwrite", "Cancel"}, kCancel);
    if (answer == kReload) {
      EngineCore::Log::Write(EngineCore::Log::Info,
                             "%s was changed on disk by another program: read again, its edits dropped", path_.c_str());
      for (EngineCore::Resource* clip : saved) {
        if (clip->Revert()) ClipFileHost::TellReloaded(*clip);
      }
      return false;
    }
    if (answer == kCancel) {
      EngineCore::Log::Write(EngineCore::Log::Warning, "%s was changed on disk by another program: not saved",
                             path_.c_str());
      return false;
    }
  }
  std::string message;
  const ClipFileError error = Write(std::move(parts), path_, changed ? nullptr : &identity_, message);
  if (error != ClipFileError::None) {
    EngineCore::Log::Write(EngineCore::Log::Error, "%s: %s (%s)", path_.c_str(), Describe(error), message.c_str());
    ClipFileHost::Report("Could not save " + name + ": " + message + ".");
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
    animation_ = read->animation_;
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
  return Write({{&clip, this, {}}}, path, path == path_ ? &identity_ : nullptr, message);
}

ClipFileError GltfClipStorage::Write(std::vector<Part> parts, const std::string& path, const ClipFileIdentity* expected,
                                     std::string& message) {
  if (!readOnlyReason_.empty()) {
    message = readOnlyReason_;
    return ClipFileError::ReadOnly;
  }
  try {
    for (Part& part : parts) part.channelNodes = part.storage->channelNodes_;
    DocumentOrigin origin;
    DocumentWrite write;
    write.origin = &origin;
    write.expected = expected;
    tinygltf::Model model = BuildModel(parts, write.changed, origin);
    // A copy elsewhere writes every file anew.
    if (path != path_) write.changed.clear();
    const ClipFileError error = GltfDocumentWriter::Write(model, path, write, message);
    if (error == ClipFileError::None && path == path_) {
      for (Part& part : parts) part.storage->channelNodes_ = std::move(part.channelNodes);
      ShareSave(parts, std::move(model), std::move(write.writtenJson), std::move(write.identity));
    }
    return error;
  } catch (const std::bad_alloc&) {
    message = "there is not enough memory to save it";
  } catch (const std::exception& e) {
    message = e.what();
  }
  return ClipFileError::WriteFailed;
}

void GltfClipStorage::ShareSave(const std::vector<Part>& parts, tinygltf::Model model, std::string documentText,
                                ClipFileIdentity identity) {
  // The other clips of the file that knew it as this storage did take the file as written;
  // one that saw another program's change goes on seeing it.
  std::vector<GltfClipStorage*> siblings;
  {
    std::lock_guard<std::mutex> lock(Open().mutex);
    auto [first, last] = Open().byFile.equal_range(fileKey_);
    for (auto it = first; it != last; ++it) {
      GltfClipStorage* other = it->second;
      const bool saved = std::any_of(parts.begin(), parts.end(), [other](const Part& p) { return p.storage == other; });
      // Another copy of this clip's own animation is another editor's, and hears of the save
      // as of any other program's.
      if (other != this && other->animation_ != animation_ && (saved || other->identity_ == identity_)) {
        siblings.push_back(other);
      }
    }
  }
  for (GltfClipStorage* sibling : siblings) sibling->Adopt(model, documentText, identity);
  model_ = std::move(model);
  documentText_ = std::move(documentText);
  identity_ = std::move(identity);
  ForgetClipAnimation();
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

tinygltf::Model GltfClipStorage::BuildModel(std::vector<Part>& parts, std::vector<bool>& changed,
                                            DocumentOrigin& origin) {
  tinygltf::Model model = model_;
  // Saves are rarer than opens: the file's JSON is kept as text and parsed only here.
  if (!documentText_.empty()) origin.document = nlohmann::json::parse(documentText_, nullptr, false);
  origin.nodeCount = model.nodes.size();
  for (std::size_t a = 0; a < model.animations.size(); ++a) origin.animationOrigin.push_back(static_cast<int>(a));
  for (const Part& part : parts) RemoveClipChannels(model, part.storage->animation_, part.channelNodes);
  if (model.animations.empty()) {
    tinygltf::Animation animation;
    animation.name = parts.front().clip->GetName().str();
    model.animations.push_back(std::move(animation));
    origin.animationOrigin.push_back(-1);
  }
  for (const Part& part : parts) {
    if (part.storage->animation_ >= model.animations.size()) throw std::runtime_error("its animation is gone");
  }
  if (model.asset.version.empty()) model.asset.version = "2.0";

  DocumentSpace space(model);
  origin.keptAccessors = space.KeptAccessors();
  origin.keptViews = space.KeptViews();
  const int buffer = KeysBuffer(model, space);
  for (Part& part : parts) {
    const EngineCore::AnimClip& clip = *part.clip;
    const std::size_t animation = part.storage->animation_;
    // A clip that stood for nothing of its animation (it animates only what the editor does
    // not edit, or nothing at all) and still has no channel leaves the animation as it is.
    if (part.channelNodes.empty() && clip.GetChannelCount() == 0 && origin.animationOrigin[animation] >= 0) {
      continue;
    }
    RefuseLosingTargets(origin, origin.animationOrigin[animation]);
    origin.animationOrigin[animation] = -1;
    // Nodes that still carry channels of their own (kept above) cannot take the clip's.
    std::set<std::pair<int, std::string>> taken;
    for (const auto& channel : model.animations[animation].channels) {
      taken.insert({channel.target_node, channel.target_path});
    }
    TrackWriter writer(model, animation, space, buffer, clip.GetFrameRate());
    for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
      const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
      const int node = NodeOfChannel(model, channel, part.channelNodes, taken);
      for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
        writer.Append(node, channel.GetTrackTypeAt(t), *channel.GetCurveAt(t));
      }
    }
    WriteEmptyTracks(model, animation, clip);
    WriteFrameRate(model.animations[animation], clip.GetFrameRate());
    // glTF has no empty animations: the only animation of a file goes when its clip has no
    // keys, and a clip among others cannot be saved so.
    if (model.animations[animation].channels.empty()) {
      if (model.animations.size() > 1) {
        throw std::runtime_error(
            "it has no keys, and a file of several animations cannot keep one without keys; add a key before saving");
      }
      model.animations.clear();
      origin.animationOrigin.clear();
    }
  }
  changed = space.Finish();
  for (std::size_t b = 0; b < changed.size() && b < bufferDirty_.size(); ++b)
    changed[b] = changed[b] || bufferDirty_[b];
  return model;
}

}  // namespace Formats
