#include "AssimpClipFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <assimp/config.h>
#include <assimp/scene.h>
#include <algorithm>
#include <assimp/Importer.hpp>
#include <filesystem>
#include <limits>
#include <set>
#include <vector>

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

// assimp opens the file itself: only a regular file of a bounded size is handed over.
ClipFileError CheckFile(const std::string& path, std::string& message) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    message = "no such file";
    return ClipFileError::FileNotFound;
  }
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  ::close(fd);
  if (!regular) {
    message = "not a regular file";
    return ClipFileError::FileNotFound;
  }
  if (static_cast<std::uint64_t>(info.st_size) > ClipFileLimits::kMaxBufferBytes) {
    message = "the file holds " + std::to_string(info.st_size) + " bytes, more than the " +
              std::to_string(ClipFileLimits::kMaxBufferBytes) + " a clip may read";
    return ClipFileError::TooLarge;
  }
  return ClipFileError::None;
}

// The node an importer's pivot helper ("Hips_$AssimpFbx$_Rotation") stands for.
std::string NodeNameOf(const std::string& name) {
  const std::size_t helper = name.find("_$AssimpFbx$_");
  return TextEncoding::FromLegacy(helper == std::string::npos ? name : name.substr(0, helper));
}

// Times in seconds from zero, strictly increasing: repeated times keep their first key.
template <typename Key, typename Emit>
void CollectKeys(const Key* keys, unsigned count, double ticksPerSecond, double start, std::vector<float>& times,
                 Emit emit) {
  times.clear();
  for (unsigned k = 0; k < count; ++k) {
    const float time = static_cast<float>((keys[k].mTime - start) / ticksPerSecond);
    if (!times.empty() && !(time > times.back())) continue;
    times.push_back(time);
    emit(keys[k].mValue);
  }
}

// One track as the file gives it, before the clip's rate is known.
struct SourceTrack {
  std::string channel;
  std::uint32_t type = 0;
  std::vector<float> times;
  std::vector<float> values;
};

ClipFileError LoadAnimation(const aiAnimation& animation, ClipTrackLoader& tracks, const std::string& path,
                            std::string& message) {
  const double ticksPerSecond = animation.mTicksPerSecond > 0.0 ? animation.mTicksPerSecond : 25.0;
  double start = 0.0;
  for (unsigned c = 0; c < animation.mNumChannels; ++c) {
    const aiNodeAnim& channel = *animation.mChannels[c];
    if (channel.mNumPositionKeys) start = std::min(start, channel.mPositionKeys[0].mTime);
    if (channel.mNumRotationKeys) start = std::min(start, channel.mRotationKeys[0].mTime);
    if (channel.mNumScalingKeys) start = std::min(start, channel.mScalingKeys[0].mTime);
  }
  if (start < 0.0)
    Log::Write(Log::Info, "%s: the take starts before zero and was moved to start at zero", path.c_str());
  std::vector<SourceTrack> source;
  std::set<std::string> seen;
  for (unsigned c = 0; c < animation.mNumChannels; ++c) {
    const aiNodeAnim& channel = *animation.mChannels[c];
    const std::string name = NodeNameOf(channel.mNodeName.C_Str());
    if (name.empty()) continue;
    if (!seen.insert(std::string(channel.mNodeName.C_Str())).second) continue;
    auto track = [&](std::uint32_t type) -> SourceTrack& {
      source.push_back({name, type, {}, {}});
      return source.back();
    };
    SourceTrack& position = track(AnimTrack::Translation);
    CollectKeys(channel.mPositionKeys, channel.mNumPositionKeys, ticksPerSecond, start, position.times,
                [&position](const aiVector3D& v) { position.values.insert(position.values.end(), {v.x, v.y, v.z}); });
    SourceTrack& rotation = track(AnimTrack::Rotation);
    CollectKeys(channel.mRotationKeys, channel.mNumRotationKeys, ticksPerSecond, start, rotation.times,
                [&rotation](const aiQuaternion& q) {
                  rotation.values.insert(rotation.values.end(), {q.x, q.y, q.z, q.w});
                });
    SourceTrack& scaling = track(AnimTrack::Scale);
    CollectKeys(channel.mScalingKeys, channel.mNumScalingKeys, ticksPerSecond, start, scaling.times,
                [&scaling](const aiVector3D& v) { scaling.values.insert(scaling.values.end(), {v.x, v.y, v.z}); });
  }
  // The source's rate is the one its key times fit, as for a glTF file.
  std::vector<const std::vector<float>*> times;
  for (const SourceTrack& track : source) {
    if (!track.times.empty()) times.push_back(&track.times);
  }
  tracks.ChooseFrameRate(times);
  for (const SourceTrack& track : source) {
    if (track.times.empty()) continue;
    const ClipFileError error =
        tracks.Add(track.channel, track.type, track.times, track.values, TrackSampler::Interpolation::Linear, message);
    // A pivot helper and its node may both carry a track of one kind: the first is shown.
    if (error == ClipFileError::NotGltf) {
      Log::Write(Log::Warning, "%s: a second %s track of %s is not shown", path.c_str(),
                 track.type == AnimTrack::Rotation ? "rotation" : "translation or scale", track.channel.c_str());
      continue;
    }
    if (error != ClipFileError::None) return error;
  }
  return ClipFileError::None;
}

// The node tree, parents first, walked without recursion.
tinygltf::Model SkeletonOf(const aiNode* root) {
  SkeletonBuilder skeleton;
  std::vector<std::pair<const aiNode*, int>> pending{{root, -1}};
  while (!pending.empty()) {
    const auto [node, parent] = pending.back();
    pending.pop_back();
    if (!node) continue;
    aiVector3D scaling;
    aiQuaternion rotation;
    aiVector3D position;
    node->mTransformation.Decompose(scaling, rotation, position);
    const int index =
        skeleton.AddNode(TextEncoding::FromLegacy(node->mName.C_Str()), parent, {position.x, position.y, position.z},
                         {rotation.x, rotation.y, rotation.z, rotation.w}, {scaling.x, scaling.y, scaling.z});
    for (unsigned c = node->mNumChildren; c-- > 0;) pending.emplace_back(node->mChildren[c], index);
  }
  return skeleton.Take();
}

ClipOpenResult OpenWithAssimp(const std::string& path, const EngineCore::String& name) {
  std::string message;
  ClipFileError error = CheckFile(path, message);
  if (error != ClipFileError::None) return ClipReading::Fail(path, error, message);
  Assimp::Importer importer;
  importer.SetPropertyBool(AI_CONFIG_IMPORT_FBX_PRESERVE_PIVOTS, false);
  const aiScene* scene = importer.ReadFile(path, 0);
  if (!scene) return ClipReading::Fail(path, ClipFileError::NotReadable, importer.GetErrorString());

  const EngineCore::String clipName = name.IsEmpty() ? EngineCore::String(fs::path(path).stem().string()) : name;
  AnimClip* clip = new AnimClip(clipName);
  ClipTrackLoader tracks(*clip);
  if (scene->mNumAnimations > 0) {
    error = LoadAnimation(*scene->mAnimations[0], tracks, path, message);
    if (error != ClipFileError::None) {
      clip->Release();
      return ClipReading::Fail(path, error, message);
    }
  }
  return ClipReading::Finish(clip, tracks.SamplingNote(), path,
                             std::make_shared<ConvertedClipStorage>(path, SkeletonOf(scene->mRootNode)));
}

}  // namespace

ClipOpenResult AssimpClipFile::Open(const std::string& path, const EngineCore::String& name) {
  return ClipReading::Guarded(path, ClipFileError::NotReadable, [&] { return OpenWithAssimp(path, name); });
}

std::vector<std::string> AssimpClipFile::Extensions() {
  // The formats of assimp's that carry node animation.
  static const std::vector<std::string> extensions = [] {
    std::vector<std::string> supported;
    const Assimp::Importer importer;
    for (const char* extension : {".fbx", ".dae", ".x", ".smd", ".ms3d", ".b3d", ".md5anim", ".ogex"}) {
      if (importer.IsExtensionSupported(extension)) supported.emplace_back(extension);
    }
    return supported;
  }();
  return extensions;
}

}  // namespace Formats
