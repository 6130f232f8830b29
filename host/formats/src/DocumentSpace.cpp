#include "DocumentSpace.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <set>

#include "GltfDocumentReader.h"

namespace Formats {

namespace {

using Range = std::pair<std::size_t, std::size_t>;

// What the `extensions` of a document may point at: any integer, and byte ranges given as
// objects with `buffer`, `byteOffset` and `byteLength`.
struct ExtensionUses {
  std::set<long long> indices;
  std::vector<std::pair<long long, Range>> ranges;

  void FromValue(const tinygltf::Value& value) {
    if (value.IsInt() || value.IsReal()) {
      const double number = value.GetNumberAsDouble();
      if (number >= 0 && number < 1e15 && std::floor(number) == number) indices.insert(static_cast<long long>(number));
    } else if (value.IsArray()) {
      for (std::size_t i = 0; i < value.ArrayLen(); ++i) FromValue(value.Get(static_cast<int>(i)));
    } else if (value.IsObject()) {
      for (const std::string& key : value.Keys()) FromValue(value.Get(key));
      const tinygltf::Value& buffer = value.Get("buffer");
      const tinygltf::Value& length = value.Get("byteLength");
      if (buffer.IsNumber() && length.IsNumber()) {
        const tinygltf::Value& offset = value.Get("byteOffset");
        const auto begin =
            static_cast<std::size_t>(std::max(0.0, offset.IsNumber() ? offset.GetNumberAsDouble() : 0.0));
        const auto size = static_cast<std::size_t>(std::max(0.0, length.GetNumberAsDouble()));
        ranges.push_back({static_cast<long long>(buffer.GetNumberAsDouble()), {begin, begin + size}});
      }
    }
  }
  void From(const tinygltf::ExtensionMap& extensions) {
    for (const auto& [name, value] : extensions) FromValue(value);
  }
  template <typename T>
  void FromAll(const std::vector<T>& objects) {
    for (const T& object : objects) From(object.extensions);
  }

  explicit ExtensionUses(const tinygltf::Model& model) {
    From(model.extensions);
    From(model.asset.extensions);
    FromAll(model.accessors);
    FromAll(model.bufferViews);
    FromAll(model.buffers);
    FromAll(model.nodes);
    FromAll(model.skins);
    FromAll(model.samplers);
    FromAll(model.images);
    FromAll(model.textures);
    FromAll(model.cameras);
    FromAll(model.scenes);
    FromAll(model.lights);
    for (const tinygltf::Mesh& mesh : model.meshes) {
      From(mesh.extensions);
      FromAll(mesh.primitives);
    }
    for (const tinygltf::Animation& animation : model.animations) {
      From(animation.extensions);
      FromAll(animation.channels);
      FromAll(animation.samplers);
    }
    for (const tinygltf::Material& material : model.materials) {
      From(material.extensions);
      From(material.pbrMetallicRoughness.extensions);
      From(material.pbrMetallicRoughness.baseColorTexture.extensions);
      From(material.pbrMetallicRoughness.metallicRoughnessTexture.extensions);
      From(material.normalTexture.extensions);
      From(material.occlusionTexture.extensions);
      From(material.emissiveTexture.extensions);
    }
  }
};

void Mark(std::vector<bool>& used, int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < used.size()) used[index] = true;
}

// Accessors that a property of the document names.
std::vector<bool> NamedAccessors(const tinygltf::Model& model) {
  std::vector<bool> used(model.accessors.size(), false);
  for (const tinygltf::Mesh& mesh : model.meshes) {
    for (const tinygltf::Primitive& primitive : mesh.primitives) {
      for (const auto& [name, index] : primitive.attributes) Mark(used, index);
      Mark(used, primitive.indices);
      for (const auto& target : primitive.targets) {
        for (const auto& [name, index] : target) Mark(used, index);
      }
    }
  }
  for (const tinygltf::Skin& skin : model.skins) Mark(used, skin.inverseBindMatrices);
  for (const tinygltf::Animation& animation : model.animations) {
    for (const tinygltf::AnimationSampler& sampler : animation.samplers) {
      Mark(used, sampler.input);
      Mark(used, sampler.output);
    }
  }
  return used;
}

// The lowest free slot, now taken, or a new one at the end.
template <typename T>
int TakeSlot(std::vector<bool>& free, std::vector<T>& items) {
  const auto slot = std::find(free.begin(), free.end(), true);
  if (slot != free.end()) {
    *slot = false;
    return static_cast<int>(slot - free.begin());
  }
  items.emplace_back();
  free.push_back(false);
  return static_cast<int>(items.size()) - 1;
}

// The ranges of [0, size) that none of `used` covers, in order.
std::vector<Range> Gaps(std::vector<Range> used, std::size_t size) {
  std::sort(used.begin(), used.end());
  std::vector<Range> gaps;
  std::size_t at = 0;
  for (const auto& [begin, end] : used) {
    if (begin > at) gaps.push_back({at, std::min(begin, size)});
    at = std::max(at, end);
    if (at >= size) break;
  }
  if (at < size) gaps.push_back({at, size});
  gaps.erase(std::remove_if(gaps.begin(), gaps.end(), [](const Range& r) { return r.first >= r.second; }), gaps.end());
  return gaps;
}

}  // namespace

DocumentSpace::DocumentSpace(tinygltf::Model& model) : model_(model) {
  const ExtensionUses extensions(model);
  auto named = [&extensions](std::size_t index) { return extensions.indices.contains(static_cast<long long>(index)); };

  std::vector<bool> accessorUsed = NamedAccessors(model);
  for (std::size_t a = 0; a < accessorUsed.size(); ++a) accessorUsed[a] = accessorUsed[a] || named(a);
  std::vector<bool> viewUsed(model.bufferViews.size(), false);
  for (std::size_t v = 0; v < viewUsed.size(); ++v) viewUsed[v] = named(v);
  for (std::size_t a = 0; a < model.accessors.size(); ++a) {
    if (!accessorUsed[a]) continue;
    const tinygltf::Accessor& accessor = model.accessors[a];
    Mark(viewUsed, accessor.bufferView);
    if (accessor.sparse.isSparse) {
      Mark(viewUsed, accessor.sparse.indices.bufferView);
      Mark(viewUsed, accessor.sparse.values.bufferView);
    }
  }
  for (const tinygltf::Image& image : model.images) Mark(viewUsed, image.bufferView);

  const std::size_t buffers = model.buffers.size();
  std::vector<std::vector<Range>> used(buffers);
  std::vector<std::size_t> freedBytes(buffers, 0);
  for (std::size_t v = 0; v < model.bufferViews.size(); ++v) {
    const tinygltf::BufferView& view = model.bufferViews[v];
    if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= buffers) continue;
    if (viewUsed[v]) {
      used[view.buffer].push_back({view.byteOffset, view.byteOffset + view.byteLength});
    } else {
      freedBytes[view.buffer] += view.byteLength;
    }
  }
  for (const auto& [buffer, range] : extensions.ranges) {
    if (buffer >= 0 && static_cast<std::size_t>(buffer) < buffers) used[buffer].push_back(range);
  }

  accessorKept_ = accessorUsed;
  viewKept_ = viewUsed;
  accessorFree_.resize(accessorUsed.size());
  for (std::size_t a = 0; a < accessorUsed.size(); ++a) accessorFree_[a] = !accessorUsed[a];
  viewFree_.resize(viewUsed.size());
  for (std::size_t v = 0; v < viewUsed.size(); ++v) viewFree_[v] = !viewUsed[v];
  freeBytes_.resize(buffers);
  usedEnd_.assign(buffers, 0);
  changed_.assign(buffers, false);
  std::size_t busiest = 0;
  for (std::size_t b = 0; b < buffers; ++b) {
    const std::size_t size = model.buffers[b].data.size();
    for (const Range& range : used[b]) usedEnd_[b] = std::max(usedEnd_[b], std::min(range.second, size));
    if (GltfDocumentReader::IsAbsentBuffer(model.buffers[b])) continue;
    freeBytes_[b] = Gaps(used[b], size);
    if (freedBytes[b] > busiest) {
      busiest = freedBytes[b];
      busiestFreed_ = static_cast<int>(b);
    }
  }
}

void DocumentSpace::FollowBuffers() {
  // Buffers added since (a new one for the keys) start without used bytes.
  const std::size_t buffers = model_.buffers.size();
  if (freeBytes_.size() >= buffers) return;
  freeBytes_.resize(buffers);
  usedEnd_.resize(buffers, 0);
  changed_.resize(buffers, true);
}

std::size_t DocumentSpace::PlaceBytes(int buffer, std::size_t size) {
  FollowBuffers();
  std::vector<Range>& gaps = freeBytes_[buffer];
  for (auto gap = gaps.begin(); gap != gaps.end(); ++gap) {
    const std::size_t start = (gap->first + 3) & ~std::size_t{3};
    if (start + size > gap->second) continue;
    const Range after{start + size, gap->second};
    const bool keepBefore = start > gap->first;
    if (keepBefore) {
      gap->second = start;
      if (after.first < after.second) gaps.insert(gap + 1, after);
    } else if (after.first < after.second) {
      *gap = after;
    } else {
      gaps.erase(gap);
    }
    usedEnd_[buffer] = std::max(usedEnd_[buffer], start + size);
    return start;
  }
  // Past the end: what lies between the last used byte and the end is free anyway.
  std::vector<unsigned char>& data = model_.buffers[buffer].data;
  const std::size_t start =
      (std::max(usedEnd_[buffer], gaps.empty() ? data.size() : gaps.back().first) + 3) & ~std::size_t{3};
  if (!gaps.empty() && gaps.back().second == data.size()) gaps.pop_back();
  data.resize(std::max(data.size(), start + size), 0);
  usedEnd_[buffer] = start + size;
  return start;
}

int DocumentSpace::AddFloatAccessor(int buffer, const std::vector<float>& values, int type, bool withBounds) {
  const std::size_t size = values.size() * sizeof(float);
  const std::size_t offset = PlaceBytes(buffer, size);
  std::memcpy(model_.buffers[buffer].data.data() + offset, values.data(), size);
  changed_[buffer] = true;

  const int viewIndex = TakeSlot(viewFree_, model_.bufferViews);
  tinygltf::BufferView view;
  view.buffer = buffer;
  view.byteOffset = offset;
  view.byteLength = size;
  model_.bufferViews[viewIndex] = std::move(view);

  const int components = tinygltf::GetNumComponentsInType(type);
  tinygltf::Accessor accessor;
  accessor.bufferView = viewIndex;
  accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
  accessor.type = type;
  accessor.count = values.size() / components;
  if (withBounds) {
    accessor.minValues.assign(components, std::numeric_limits<double>::max());
    accessor.maxValues.assign(components, std::numeric_limits<double>::lowest());
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::size_t c = i % components;
      accessor.minValues[c] = std::min(accessor.minValues[c], static_cast<double>(values[i]));
      accessor.maxValues[c] = std::max(accessor.maxValues[c], static_cast<double>(values[i]));
    }
  }
  const int index = TakeSlot(accessorFree_, model_.accessors);
  model_.accessors[index] = std::move(accessor);
  return index;
}

std::vector<bool> DocumentSpace::Finish() {
  FollowBuffers();
  while (!accessorFree_.empty() && accessorFree_.back()) {
    accessorFree_.pop_back();
    model_.accessors.pop_back();
  }
  for (std::size_t a = 0; a < accessorFree_.size(); ++a) {
    if (!accessorFree_[a]) continue;
    tinygltf::Accessor placeholder;
    placeholder.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    placeholder.type = TINYGLTF_TYPE_SCALAR;
    placeholder.count = 1;
    model_.accessors[a] = std::move(placeholder);
  }
  while (!viewFree_.empty() && viewFree_.back()) {
    viewFree_.pop_back();
    model_.bufferViews.pop_back();
  }
  if (std::find(viewFree_.begin(), viewFree_.end(), true) != viewFree_.end()) {
    // A placeholder view needs a buffer of at least one byte: the first one with bytes.
    std::size_t holder = 0;
    while (holder < model_.buffers.size() &&
           (GltfDocumentReader::IsAbsentBuffer(model_.buffers[holder]) || usedEnd_[holder] == 0)) {
      ++holder;
    }
    if (holder == model_.buffers.size()) holder = 0;
    for (std::size_t v = 0; v < viewFree_.size(); ++v) {
      if (!viewFree_[v]) continue;
      tinygltf::BufferView placeholder;
      placeholder.buffer = static_cast<int>(holder);
      placeholder.byteLength = 1;
      model_.bufferViews[v] = std::move(placeholder);
    }
    if (holder < usedEnd_.size()) usedEnd_[holder] = std::max<std::size_t>(usedEnd_[holder], 1);
  }
  for (std::size_t b = 0; b < model_.buffers.size(); ++b) {
    std::vector<unsigned char>& data = model_.buffers[b].data;
    if (GltfDocumentReader::IsAbsentBuffer(model_.buffers[b]) || usedEnd_[b] >= data.size()) continue;
    data.resize(usedEnd_[b]);
    data.shrink_to_fit();
    changed_[b] = true;
  }
  return changed_;
}

}  // namespace Formats
