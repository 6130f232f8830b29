#include "Formats/ClipFormats.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "AssimpClipFile.h"
#include "BvhClipFile.h"
#include "EngineCore/Log.h"

namespace Formats {

namespace {

ClipOpenResult OpenGltf(const std::string& path, const EngineCore::String& name) {
  return GltfClipFile::Open(path, name);
}

ClipOpenResult OpenBvh(const std::string& path, const EngineCore::String& name) {
  return BvhClipFile::Open(path, name);
}

ClipOpenResult OpenWithAssimp(const std::string& path, const EngineCore::String& name) {
  return AssimpClipFile::Open(path, name);
}

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

const std::vector<ClipFormat>& ClipFormats::All() {
  static const std::vector<ClipFormat> formats = [] {
    std::vector<ClipFormat> all{{".gltf", true, &OpenGltf}, {".glb", true, &OpenGltf}, {".bvh", false, &OpenBvh}};
    for (const std::string& extension : AssimpClipFile::Extensions())
      all.push_back({extension, false, &OpenWithAssimp});
    return all;
  }();
  return formats;
}

const ClipFormat* ClipFormats::Find(const std::string& path) {
  const std::string extension = LowerExtension(path);
  for (const ClipFormat& format : All()) {
    if (format.extension == extension) return &format;
  }
  return nullptr;
}

std::vector<std::string> ClipFormats::Extensions() {
  std::vector<std::string> extensions;
  for (const ClipFormat& format : All()) extensions.push_back(format.extension);
  return extensions;
}

std::vector<std::string> ClipFormats::ListClips(const std::string& path) {
  std::vector<std::string> names;
  const ClipFormat* format = Find(path);
  // A glTF file that does not parse lists under its own name, so that opening it says why.
  if (format && format->open == &OpenGltf && GltfClipFile::ListClips(path, names)) return names;
  return {std::filesystem::path(path).stem().string()};
}

ClipOpenResult ClipFormats::Open(const std::string& path, const EngineCore::String& name) {
  const ClipFormat* format = Find(path);
  if (!format) {
    const std::string message = "no clip format reads files named *" + std::filesystem::path(path).extension().string();
    EngineCore::Log::Write(EngineCore::Log::Error, "%s: %s", path.c_str(), message.c_str());
    return {nullptr, ClipFileError::NotReadable, message};
  }
  return format->open(path, name);
}

}  // namespace Formats
