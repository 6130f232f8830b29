// tarvel-clip: a small command line over the engine's clips.
//
//   tarvel-clip info FILE          each clip of FILE (one per animation of a glTF file): its
//                                  channels with their keys and tracks, and the key-frame range
//   tarvel-clip copy IN OUT        opens every clip of IN through the engine and saves each,
//                                  marked modified, into OUT
//   tarvel-clip convert IN OUT     writes the clip of IN (any clip format) as the glTF file OUT
//
// Bad input prints one line on standard error and exits with status 1.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
    case EngineCore::AnimTrack::Weights: return "weights";
    default: return "other";
  }
}

AnimClip* OpenOrComplain(const std::string& path, const std::string& name = {}) {
  const Formats::ClipOpenResult result = Formats::ClipFormats::Open(path, EngineCore::String(name));
  if (!result.clip) {
    std::fprintf(stderr, "tarvel-clip: %s: %s: %s\n", path.c_str(), Formats::Describe(result.error),
                 result.message.c_str());
  }
  return result.clip;
}

void PrintClip(const AnimClip& clip) {
  std::printf("clip %s: %u channels, %u keys, key frames %u to %u\n", clip.GetName().c_str(), clip.GetChannelCount(),
              clip.CountKeys(), clip.GetFirstKeyFrame(), clip.GetLastKeyFrame());
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    std::printf("  %-24s key 0x%08x ", channel.GetName().c_str(), clip.GetChannelKeyAt(c));
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      std::printf(" %s %u", TrackName(channel.GetTrackTypeAt(t)), channel.GetCurveAt(t)->GetKeyCount());
    }
    std::printf("\n");
  }
  if (!clip.GetReadingNote().IsEmpty()) std::printf("  note: %s\n", clip.GetReadingNote().c_str());
}

int Info(const char* path) {
  const std::vector<std::string> names = Formats::ClipFormats::ListClips(path);
  if (names.size() > 1) std::printf("%s holds %zu clips\n", path, names.size());
  int status = 0;
  for (const std::string& name : names) {
    AnimClip* clip = OpenOrComplain(path, names.size() > 1 ? name : std::string());
    if (!clip) {
      status = 1;
      continue;
    }
    PrintClip(*clip);
    clip->Release();
  }
  return status;
}

bool SaveOrComplain(AnimClip& clip, const char* out) {
  std::string message;
  const Formats::ClipFileError error = Formats::GltfClipFile::SaveAs(clip, out, message);
  if (error == Formats::ClipFileError::None) return true;
  std::fprintf(stderr, "tarvel-clip: %s: %s: %s\n", out, Formats::Describe(error), message.c_str());
  return false;
}

int Copy(const char* in, const char* out) {
  const Formats::ClipFormat* format = Formats::ClipFormats::Find(out);
  if (!format || !format->writable) {
    std::fprintf(stderr, "tarvel-clip: %s: clips are written as glTF (.gltf or .glb)\n", out);
    return 1;
  }
  const std::vector<std::string> names = Formats::ClipFormats::ListClips(in);
  AnimClip* first = OpenOrComplain(in, names.size() > 1 ? names.front() : std::string());
  if (!first) return 1;
  first->SetModified(true);
  const bool copied = SaveOrComplain(*first, out);
  first->Release();
  if (!copied) return 1;
  // The copy holds every animation of IN; each further clip is saved into its own.
  const std::vector<std::string> copies = Formats::ClipFormats::ListClips(out);
  for (std::size_t c = 1; c < names.size() && c < copies.size(); ++c) {
    AnimClip* clip = OpenOrComplain(in, names[c]);
    AnimClip* copy = clip ? OpenOrComplain(out, copies[c]) : nullptr;
    bool saved = false;
    if (copy) {
      copy->TakeContentsOf(*clip);
      copy->SetModified(true);
      saved = SaveOrComplain(*copy, out);
      copy->Release();
    }
    if (clip) clip->Release();
    if (!saved) return 1;
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
