#include "GltfClipStorage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/ClipFileHost.h"
#include "Formats/GltfClipFile.h"
#include "GltfDocumentWriter.h"
#include "GltfSceneBuilder.h"

namespace Formats {

namespace {

bool IsTransformPath(const std::string& path) { return path == "translation" || path == "rotation" || path == "scale"; }

// Replaces every accessor index in the document through `remap` (-1: removed).
void RemapAccessors(tinygltf::Model& model, const std::vector<int>& remap) {
  auto fix = [&remap](int& index) {
    if (index >= 0 && static_cast<std::size_t>(index) < remap.size()) index = remap[index];
  };
  for (tinygltf::Mesh& mesh : model.meshes) {
    for (tinygltf::Primitive& primitive : mesh.primitives) {
      for (auto& [name, index] : primitive.attributes) fix(index);
      fix(primitive.indices);
      for (auto& target : primitive.targets) {
        for (auto& [name, index] : target) fix(index);
      }
    }
  }
  for (tinygltf::Skin& skin : model.skins) fix(skin.inverseBindMatrices);
  for (tinygltf::Animation& animation : model.animations) {
    for (tinygltf::AnimationSampler& sampler : animation.samplers) {
      fix(sampler.input);
      fix(sampler.output);
    }
  }
}

void RemapBufferViews(tinygltf::Model& model, const std::vector<int>& remap) {
  auto fix = [&remap](int& index) {
    if (index >= 0 && static_cast<std::size_t>(index) < remap.size()) index = remap[index];
  };
  for (tinygltf::Accessor& accessor : model.accessors) {
    fix(accessor.bufferView);
    if (accessor.sparse.isSparse) {
      fix(accessor.sparse.indices.bufferView);
      fix(accessor.sparse.values.bufferView);
    }
  }
  for (tinygltf::Image& image : model.images) fix(image.bufferView);
}

// Accessor indices that anything but the given animation samplers refers to.
std::vector<bool> AccessorsInUse(const tinygltf::Model& model) {
  std::vector<bool> used(model.accessors.size(), false);
  auto mark = [&used](int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < used.size()) used[index] = true;
  };
  for (const tinygltf::Mesh& mesh : model.meshes) {
    for (const tinygltf::Primitive& primitive : mesh.primitives) {
      for (const auto& [name, index] : primitive.attributes) mark(index);
      mark(primitive.indices);
      for (const auto& target : primitive.targets) {
        for (const auto& [name, index] : target) mark(index);
      }
    }
  }
  for (const tinygltf::Skin& skin : model.skins) mark(skin.inverseBindMatrices);
  for (const tinygltf::Animation& animation : model.animations) {
    for (const tinygltf::AnimationSampler& sampler : animation.samplers) {
      mark(sampler.input);
      mark(sampler.output);
    }
  }
  return used;
}

// Drops the accessors in `doomed` that nothing uses any more, then the buffer views only
// they used, and rebuilds the buffers from `source` without the gaps their bytes leave,
// keeping `spare` bytes of room at the end of buffer 0.
void DropUnusedAnimationData(tinygltf::Model& model, const std::vector<int>& doomed, const tinygltf::Model& source,
                             std::size_t spare) {
  const std::vector<bool> used = AccessorsInUse(model);
  std::vector<bool> dropAccessor(model.accessors.size(), false);
  for (int index : doomed) {
    if (index >= 0 && static_cast<std::size_t>(index) < used.size() && !used[index]) dropAccessor[index] = true;
  }
  std::vector<bool> candidateView(model.bufferViews.size(), false);
  std::vector<int> accessorRemap(model.accessors.size(), -1);
  std::vector<tinygltf::Accessor> keptAccessors;
  for (std::size_t i = 0; i < model.accessors.size(); ++i) {
    const tinygltf::Accessor& accessor = model.accessors[i];
    if (dropAccessor[i]) {
      if (accessor.bufferView >= 0 && static_cast<std::size_t>(accessor.bufferView) < candidateView.size()) {
        candidateView[accessor.bufferView] = true;
      }
      continue;
    }
    accessorRemap[i] = static_cast<int>(keptAccessors.size());
    keptAccessors.push_back(accessor);
  }
  model.accessors = std::move(keptAccessors);
  RemapAccessors(model, accessorRemap);

  std::vector<bool> viewUsed(model.bufferViews.size(), false);
  auto markView = [&viewUsed](int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < viewUsed.size()) viewUsed[index] = true;
  };
  for (const tinygltf::Accessor& accessor : model.accessors) {
    markView(accessor.bufferView);
    if (accessor.sparse.isSparse) {
      markView(accessor.sparse.indices.bufferView);
      markView(accessor.sparse.values.bufferView);
    }
  }
  for (const tinygltf::Image& image : model.images) markView(image.bufferView);

  std::vector<int> viewRemap(model.bufferViews.size(), -1);
  std::vector<tinygltf::BufferView> keptViews;
  for (std::size_t i = 0; i < model.bufferViews.size(); ++i) {
    if (candidateView[i] && !viewUsed[i]) continue;
    viewRemap[i] = static_cast<int>(keptViews.size());
    keptViews.push_back(model.bufferViews[i]);
  }
  model.bufferViews = std::move(keptViews);
  RemapBufferViews(model, viewRemap);

  // Rebuild each buffer from the byte ranges its remaining views cover. Overlapping views
  // move together; each group keeps its offset modulo 16 so every accessor stays aligned.
  for (std::size_t b = 0; b < model.buffers.size(); ++b) {
    std::vector<std::size_t> views;
    for (std::size_t v = 0; v < model.bufferViews.size(); ++v) {
      if (model.bufferViews[v].buffer == static_cast<int>(b)) views.push_back(v);
    }
    std::sort(views.begin(), views.end(), [&model](std::size_t a, std::size_t c) {
      return model.bufferViews[a].byteOffset < model.bufferViews[c].byteOffset;
    });
    static const std::vector<unsigned char> kNone;
    const std::vector<unsigned char>& old = b < source.buffers.size() ? source.buffers[b].data : kNone;
    std::vector<unsigned char> data;
    data.reserve(old.size() + (b == 0 ? spare : 0));
    std::size_t groupStart = 0, groupEnd = 0, newGroupStart = 0;
    bool inGroup = false;
    for (std::size_t v : views) {
      tinygltf::BufferView& view = model.bufferViews[v];
      const std::size_t start = std::min(view.byteOffset, old.size());
      const std::size_t end = std::min(view.byteOffset + view.byteLength, old.size());
      if (!inGroup || start >= groupEnd) {
        std::size_t target = data.size();
        while (target % 16 != start % 16) ++target;
        data.resize(target, 0);
        groupStart = start;
        groupEnd = start;
        newGroupStart = target;
        inGroup = true;
      }
      if (end > groupEnd) {
        data.insert(data.end(), old.begin() + static_cast<std::ptrdiff_t>(groupEnd),
                    old.begin() + static_cast<std::ptrdiff_t>(end));
        groupEnd = end;
      }
      view.byteOffset = newGroupStart + (start - groupStart);
    }
    model.buffers[b].data = std::move(data);
  }
}

// Appends bytes as a new buffer view of buffer 0, 4-byte aligned, and returns its index.
int AppendBufferView(tinygltf::Model& model, const void* bytes, std::size_t size) {
  std::vector<unsigned char>& data = model.buffers[0].data;
  data.resize((data.size() + 3) & ~std::size_t{3}, 0);
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = data.size();
  view.byteLength = size;
  const auto* first = static_cast<const unsigned char*>(bytes);
  data.insert(data.end(), first, first + size);
  model.bufferViews.push_back(std::move(view));
  return static_cast<int>(model.bufferViews.size()) - 1;
}

int AppendFloatAccessor(tinygltf::Model& model, const std::vector<float>& values, int type, bool withBounds) {
  const int components = tinygltf::GetNumComponentsInType(type);
  tinygltf::Accessor accessor;
  accessor.bufferView = AppendBufferView(model, values.data(), values.size() * sizeof(float));
  accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
  accessor.type = type;
  accessor.count = values.size() / components;
  if (withBounds) {
    accessor.minValues.assign(components, std::numeric_limits<double>::max());
    accessor.maxValues.assign(components, std::numeric_limits<double>::lowest());
    for (std::size_t i = 0; i < values.size(); ++i) {
      const int c = static_cast<int>(i % components);
      accessor.minValues[c] = std::min(accessor.minValues[c], static_cast<double>(values[i]));
      accessor.maxValues[c] = std::max(accessor.maxValues[c], static_cast<double>(values[i]));
    }
  }
  model.accessors.push_back(std::move(accessor));
  return static_cast<int>(model.accessors.size()) - 1;
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
    default: return nullptr;
  }
}

// Everything of a document but its buffer bytes, which the compaction reads from the
// original instead of a copy.
tinygltf::Model CopyWithoutBufferBytes(tinygltf::Model& source) {
  std::vector<std::vector<unsigned char>> bytes(source.buffers.size());
  for (std::size_t b = 0; b < bytes.size(); ++b) bytes[b].swap(source.buffers[b].data);
  tinygltf::Model copy = source;
  for (std::size_t b = 0; b < bytes.size(); ++b) bytes[b].swap(source.buffers[b].data);
  return copy;
}

// Takes the channels of the clip's nodes out of an animation, with the samplers only they
// used; returns the accessors those samplers read.
std::vector<int> RemoveChannelsOf(tinygltf::Animation& animation, const std::set<int>& clipNodes) {
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
  std::vector<int> doomedAccessors;
  std::vector<int> samplerRemap(animation.samplers.size(), -1);
  std::vector<tinygltf::AnimationSampler> keptSamplers;
  for (std::size_t s = 0; s < animation.samplers.size(); ++s) {
    if (!samplerUsed[s]) {
      doomedAccessors.push_back(animation.samplers[s].input);
      doomedAccessors.push_back(animation.samplers[s].output);
      continue;
    }
    samplerRemap[s] = static_cast<int>(keptSamplers.size());
    keptSamplers.push_back(std::move(animation.samplers[s]));
  }
  animation.samplers = std::move(keptSamplers);
  for (auto& channel : animation.channels) {
    if (channel.sampler >= 0 && static_cast<std::size_t>(channel.sampler) < samplerRemap.size()) {
      channel.sampler = samplerRemap[channel.sampler];
    }
  }
  return doomedAccessors;
}

// Room the clip's keys take in buffer 0 once written.
// Takes the channels of the clip's nodes out of the document's first animation, the clip's,
// with the samplers only they used; returns the accessors those samplers read. A document
// whose first animation is not the clip's is left alone.
std::vector<int> RemoveClipChannels(tinygltf::Model& model, const std::map<std::string, int>& channelNodes) {
  if (model.animations.empty() || GltfClipStorage::HoldsNoClipAnimation(model)) return {};
  std::set<int> clipNodes;
  for (const auto& [name, node] : channelNodes) clipNodes.insert(node);
  return RemoveChannelsOf(model.animations[0], clipNodes);
}

std::size_t KeyBytes(const EngineCore::AnimClip& clip) {
  std::size_t bytes = 0;
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      bytes += channel.GetCurveAt(t)->GetKeyCount() * (sizeof(float) * 5) + 8;
    }
  }
  return bytes;
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

// Appends the clip's tracks to animation 0 as LINEAR samplers with times frame / 60.
class TrackWriter {
 public:
  explicit TrackWriter(tinygltf::Model& model) : model_(model) {}

  void Append(int node, std::uint32_t trackType, const EngineCore::AnimCurve& curve) {
    const char* path = PathOfTrack(trackType);
    const std::uint32_t count = curve.GetKeyCount();
    const bool isVector = curve.GetKeyType() == EngineCore::AnimCurve::KeyVector3;
    const bool isRotation = curve.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion;
    if (!path || count == 0 || (!isVector && !isRotation)) return;
    if (isRotation != (trackType == EngineCore::AnimTrack::Rotation)) return;
    times_.resize(count);
    values_.clear();
    values_.reserve(count * (isRotation ? 4 : 3));
    for (std::uint32_t k = 0; k < count; ++k) {
      times_[k] = static_cast<float>(curve.GetKeyFrame(k)) / 60.0f;
      if (isRotation) {
        // A key already of unit length is written as it is, so that saving twice changes nothing.
        const EngineCore::Quaternion& key = curve.GetQuaternionKey(k);
        const EngineCore::Quaternion q = std::abs(key.Dot(key) - 1.0f) < 1e-6f ? key : key.Normalized();
        values_.insert(values_.end(), {q.x, q.y, q.z, q.w});
      } else {
        const EngineCore::Vector3& v = curve.GetVector3Key(k);
        values_.insert(values_.end(), {v.x, v.y, v.z});
      }
    }
    tinygltf::AnimationSampler sampler;
    sampler.input = AppendFloatAccessor(model_, times_, TINYGLTF_TYPE_SCALAR, true);
    sampler.output = AppendFloatAccessor(model_, values_, isRotation ? TINYGLTF_TYPE_VEC4 : TINYGLTF_TYPE_VEC3, false);
    sampler.interpolation = "LINEAR";
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

}  // namespace

GltfClipStorage::GltfClipStorage(std::string path, tinygltf::Model model, std::map<std::string, int> channelNodes)
    : path_(std::move(path)), model_(std::move(model)), channelNodes_(std::move(channelNodes)) {
  ForgetClipAnimation();
}

void GltfClipStorage::ForgetClipAnimation() {
  tinygltf::Model kept = CopyWithoutBufferBytes(model_);
  const std::vector<int> doomed = RemoveClipChannels(kept, channelNodes_);
  if (doomed.empty()) return;
  DropUnusedAnimationData(kept, doomed, model_, 0);
  for (tinygltf::Buffer& buffer : kept.buffers) buffer.data.shrink_to_fit();
  model_ = std::move(kept);
}

bool GltfClipStorage::Save(const EngineCore::Resource& resource) {
  if (resource.GetKind() != EngineCore::Resource::KindAnimClip) return false;
  std::string message;
  const ClipFileError error = WriteTo(static_cast<const EngineCore::AnimClip&>(resource), path_, message);
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
    channelNodes_ = std::move(read->channelNodes_);
  }
  static_cast<EngineCore::AnimClip&>(resource).TakeContentsOf(*fresh.clip);
  fresh.clip->Release();
  return true;
}

std::unique_ptr<EngineCore::Scene> GltfClipStorage::BuildScene() const { return GltfSceneBuilder::Build(model_); }

ClipFileError GltfClipStorage::WriteTo(const EngineCore::AnimClip& clip, const std::string& path,
                                       std::string& message) {
  try {
    std::map<std::string, int> channelNodes = channelNodes_;
    tinygltf::Model model = BuildModel(clip, channelNodes);
    const ClipFileError error = GltfDocumentWriter::Write(model, path, message);
    if (error == ClipFileError::None && path == path_) {
      model_ = std::move(model);
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

tinygltf::Model GltfClipStorage::BuildModel(const EngineCore::AnimClip& clip,
                                            std::map<std::string, int>& channelNodes) {
  tinygltf::Model model = CopyWithoutBufferBytes(model_);
  const std::vector<int> doomed = RemoveClipChannels(model, channelNodes);
  if (model.animations.empty() || HoldsNoClipAnimation(model)) {
    tinygltf::Animation animation;
    animation.name = clip.GetName().str();
    model.animations.insert(model.animations.begin(), std::move(animation));
  }
  const bool newBuffer = model.buffers.empty();
  if (newBuffer) model.buffers.emplace_back();
  if (model.asset.version.empty()) model.asset.version = "2.0";

  DropUnusedAnimationData(model, doomed, model_, KeyBytes(clip));

  // Nodes that still carry channels of their own (kept above) cannot take the clip's.
  std::set<std::pair<int, std::string>> taken;
  for (const auto& channel : model.animations[0].channels) taken.insert({channel.target_node, channel.target_path});
  TrackWriter writer(model);
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    const int node = NodeOfChannel(model, channel.GetName().str(), channelNodes, taken);
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      writer.Append(node, channel.GetTrackTypeAt(t), *channel.GetCurveAt(t));
    }
  }
  WriteEmptyTracks(model, clip);
  // glTF has no empty animations or buffers: a clip without keys leaves none behind. When
  // other animations follow, the document says so, or the next would be taken for the clip.
  const bool noKeys = model.animations[0].channels.empty() && model.animations[0].samplers.empty();
  const bool othersFollow = model.animations.size() > 1;
  const bool marked =
      SetAssetExtra(model, kNoClipAnimationKey, noKeys && othersFollow ? tinygltf::Value(true) : tinygltf::Value());
  if (noKeys && (!othersFollow || marked)) model.animations.erase(model.animations.begin());
  if (newBuffer && model.buffers[0].data.empty()) model.buffers.clear();
  return model;
}

bool GltfClipStorage::HoldsNoClipAnimation(const tinygltf::Model& model) {
  const tinygltf::Value& extras = model.asset.extras;
  return extras.IsObject() && extras.Has(kNoClipAnimationKey) && extras.Get(kNoClipAnimationKey).IsBool() &&
         extras.Get(kNoClipAnimationKey).Get<bool>();
}

}  // namespace Formats
