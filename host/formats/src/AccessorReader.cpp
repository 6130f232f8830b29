#include "AccessorReader.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "Formats/ClipFileLimits.h"
#include "GltfDocumentReader.h"

namespace Formats {

namespace {

float ReadComponent(const unsigned char* p, int componentType, bool normalized) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: {
      float f;
      std::memcpy(&f, p, sizeof f);
      return f;
    }
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
      const float v = static_cast<float>(*reinterpret_cast<const std::int8_t*>(p));
      return normalized ? std::max(v / 127.0f, -1.0f) : v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: {
      const float v = static_cast<float>(*p);
      return normalized ? v / 255.0f : v;
    }
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
      std::int16_t s;
      std::memcpy(&s, p, sizeof s);
      return normalized ? std::max(static_cast<float>(s) / 32767.0f, -1.0f) : static_cast<float>(s);
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
      std::uint16_t s;
      std::memcpy(&s, p, sizeof s);
      return normalized ? static_cast<float>(s) / 65535.0f : static_cast<float>(s);
    }
    default: return 0.0f;
  }
}

int ComponentSize(int componentType) {
  switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: return 4;
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return 2;
    default: return 0;
  }
}

}  // namespace

ClipFileError AccessorReader::Read(int accessorIndex, int components, std::vector<float>& values,
                                   std::string& message) const {
  values.clear();
  if (accessorIndex < 0 || static_cast<std::size_t>(accessorIndex) >= model_.accessors.size()) {
    message = "accessor " + std::to_string(accessorIndex) + " does not exist";
    return ClipFileError::BadAccessor;
  }
  const tinygltf::Accessor& accessor = model_.accessors[accessorIndex];
  const std::string name = "accessor " + std::to_string(accessorIndex);
  const int componentSize = ComponentSize(accessor.componentType);
  if (componentSize == 0 || (componentSize != 4 && !accessor.normalized)) {
    message = name + " has an unsupported component type";
    return ClipFileError::BadAccessor;
  }
  if (tinygltf::GetNumComponentsInType(accessor.type) != components) {
    message = name + " has " + std::to_string(tinygltf::GetNumComponentsInType(accessor.type)) + " components, " +
              std::to_string(components) + " expected";
    return ClipFileError::BadAccessor;
  }
  if (accessor.sparse.isSparse) {
    message = name + " is sparse, which animation data does not support here";
    return ClipFileError::BadAccessor;
  }
  if (accessor.count == 0 || accessor.count > ClipFileLimits::kMaxAccessorElements) {
    message = name + " has " + std::to_string(accessor.count) + " elements; at most " +
              std::to_string(ClipFileLimits::kMaxAccessorElements) + " are read";
    return accessor.count == 0 ? ClipFileError::BadAccessor : ClipFileError::TooLarge;
  }
  if (accessor.bufferView < 0 || static_cast<std::size_t>(accessor.bufferView) >= model_.bufferViews.size()) {
    message = name + " has no buffer view";
    return ClipFileError::BadAccessor;
  }
  const tinygltf::BufferView& view = model_.bufferViews[accessor.bufferView];
  if (view.buffer < 0 || static_cast<std::size_t>(view.buffer) >= model_.buffers.size()) {
    message = name + " refers to a missing buffer";
    return ClipFileError::MissingBuffer;
  }
  const tinygltf::Buffer& buffer = model_.buffers[view.buffer];
  if (view.extensions.contains("EXT_meshopt_compression")) {
    message = name + " is compressed with EXT_meshopt_compression, which animation keys cannot be read from here";
    return ClipFileError::BadAccessor;
  }
  if (GltfDocumentReader::IsAbsentBuffer(buffer)) {
    message = name + " lies in buffer " + std::to_string(view.buffer) + ", whose bytes no file holds";
    return ClipFileError::MissingBuffer;
  }
  if (view.byteOffset > buffer.data.size() || view.byteLength > buffer.data.size() - view.byteOffset) {
    message = "buffer view " + std::to_string(accessor.bufferView) + " runs past the end of its buffer";
    return ClipFileError::MissingBuffer;
  }
  const std::size_t elementSize = static_cast<std::size_t>(componentSize) * components;
  const std::size_t stride = view.byteStride ? view.byteStride : elementSize;
  if (stride < elementSize) {
    message = name + " has a stride shorter than its element";
    return ClipFileError::BadAccessor;
  }
  const std::size_t needed = accessor.byteOffset + (accessor.count - 1) * stride + elementSize;
  if (accessor.byteOffset > view.byteLength || needed > view.byteLength) {
    message = name + " runs past the end of its buffer view";
    return ClipFileError::BadAccessor;
  }

  values.resize(accessor.count * components);
  const unsigned char* base = buffer.data.data() + view.byteOffset + accessor.byteOffset;
  float* out = values.data();
  if (accessor.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT && stride == elementSize) {
    std::memcpy(out, base, values.size() * sizeof(float));
  } else {
    for (std::size_t e = 0; e < accessor.count; ++e) {
      const unsigned char* element = base + e * stride;
      for (int c = 0; c < components; ++c) {
        *out++ = ReadComponent(element + c * componentSize, accessor.componentType, accessor.normalized);
      }
    }
  }
  for (float v : values) {
    if (!std::isfinite(v)) {
      message = name + " holds a value that is not a finite number";
      return ClipFileError::NonFiniteValue;
    }
  }
  return ClipFileError::None;
}

}  // namespace Formats
