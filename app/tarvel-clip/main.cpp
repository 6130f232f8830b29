// tarvel-clip: a small command line over the engine's clips.
//
//   tarvel-clip info FILE          channels with their keys and tracks, and the key-frame range
//   tarvel-clip copy IN OUT        opens IN through the engine, marks it modified, saves to OUT
//   tarvel-clip convert IN OUT     writes the clip of IN (any clip format) as the glTF file OUT
//
// Bad input prints one line on standard error and exits with status 1.

#include <cstdio>
#include <cstring>
#include <string>

#include "EngineCore/AnimClip.h"
#include "EngineCore/AnimTrack.h"
#include "EngineCore/Log.h"
#include "Formats/ClipFormats.h"
#include "Formats/GltfClipFile.h"

namespace {

using EngineCore::AnimClip;

const char* TrackName(std::uint32_t type) {
  switch (type) {
    case EngineCore::AnimTrack::Translation: return "translation";
    case EngineCore::AnimTrack::Rotation: return "rotation";
    case EngineCore::AnimTrack::Scale: return "scale";
    default: return "other";
  }
}

AnimClip* OpenOrComplain(const char* path) {
  const Formats::ClipOpenResult result = Formats::ClipFormats::Open(path);
  if (!result.clip) {
    std::fprintf(stderr, "tarvel-clip: %s: %s: %s\n", path, Formats::Describe(result.error), result.message.c_str());
  }
  return result.clip;
}

int Info(const char* path) {
  AnimClip* clip = OpenOrComplain(path);
  if (!clip) return 1;
  std::printf("clip %s: %u channels, %u keys, key frames %u to %u\n", clip->GetName().c_str(), clip->GetChannelCount(),
              clip->CountKeys(), clip->GetFirstKeyFrame(), clip->GetLastKeyFrame());
  for (std::uint32_t c = 0; c < clip->GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip->GetChannelAt(c);
    std::printf("  %-24s key 0x%08x ", channel.GetName().c_str(), clip->GetChannelKeyAt(c));
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      std::printf(" %s %u", TrackName(channel.GetTrackTypeAt(t)), channel.GetCurveAt(t)->GetKeyCount());
    }
    std::printf("\n");
  }
  clip->Release();
  return 0;
}

int Copy(const char* in, const char* out) {
  const Formats::ClipFormat* format = Formats::ClipFormats::Find(out);
  if (!format || !format->writable) {
    std::fprintf(stderr, "tarvel-clip: %s: clips are written as glTF (.gltf or .glb)\n", out);
    return 1;
  }
  AnimClip* clip = OpenOrComplain(in);
  if (!clip) return 1;
  clip->SetModified(true);
  std::string message;
  const Formats::ClipFileError error = Formats::GltfClipFile::SaveAs(*clip, out, message);
  clip->Release();
  if (error != Formats::ClipFileError::None) {
    std::fprintf(stderr, "tarvel-clip: %s: %s: %s\n", out, Formats::Describe(error), message.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Errors reach the user as the one line below, not as log lines.
  EngineCore::Log::SetEchoToStandardError(false);
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
  if (argc == 4 && (std::strcmp(argv[1], "copy") == 0 || std::strcmp(argv[1], "convert") == 0)) {
    return Copy(argv[2], argv[3]);
  }
  std::fprintf(stderr, "usage: tarvel-clip info FILE | tarvel-clip copy IN OUT | tarvel-clip convert IN OUT.gltf\n");
  return 1;
}
