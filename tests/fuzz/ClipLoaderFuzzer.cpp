// libFuzzer target for the clip reader and writer.
//
// An input is a .glb file when it starts with the binary glTF magic, and a .bvh file when it
// starts with a BVH hierarchy. Otherwise the bytes up to the first NUL are a .gltf document
// and the bytes after it are the file `clip.bin` beside it. Every clip of the file that opens
// (one per animation, the first four) is saved as a copy (.gltf and .glb by turns) and the
// copy's clip of that animation reopened: it must open and hold the same channels, tracks and
// keys, exactly.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "Formats/ClipFormats.h"
#include "Formats/GltfClipFile.h"

namespace {

namespace fs = std::filesystem;
using EngineCore::AnimClip;
using EngineCore::AnimCurve;

const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "tarvel-fuzz-XXXXXX").string();
    return fs::path(::mkdtemp(pattern.data()));
  }();
  return folder;
}

void WriteFile(const fs::path& path, const std::uint8_t* data, std::size_t size) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "clip loader fuzzer: %s: %s\n", what, detail.c_str());
  std::abort();
}

bool SameKey(const AnimCurve& a, const AnimCurve& b, std::uint32_t k) {
  if (a.GetKeyFrame(k) != b.GetKeyFrame(k)) return false;
  if (a.GetKeyType() == AnimCurve::KeyQuaternion) {
    const auto& p = a.GetQuaternionKey(k);
    const auto& q = b.GetQuaternionKey(k);
    return p.x == q.x && p.y == q.y && p.z == q.z && p.w == q.w;
  }
  if (a.GetKeyType() == AnimCurve::KeyWeights) {
    return a.GetWeightCount() == b.GetWeightCount() &&
           std::equal(a.GetWeightKey(k), a.GetWeightKey(k) + a.GetWeightCount(), b.GetWeightKey(k));
  }
  return a.GetVector3Key(k) == b.GetVector3Key(k);
}

void ExpectSameClip(const AnimClip& original, const AnimClip& copy) {
  if (original.GetChannelCount() != copy.GetChannelCount()) Fail("the copy's channels differ", "");
  for (std::uint32_t c = 0; c < original.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& a = *original.GetChannelAt(c);
    const EngineCore::AnimChannel* b = copy.GetChannel(original.GetChannelKeyAt(c));
    if (!b || b->GetTrackCount() != a.GetTrackCount()) Fail("a channel of the copy differs", a.GetName().str());
    for (std::uint32_t t = 0; t < a.GetTrackCount(); ++t) {
      const AnimCurve& ka = *a.GetCurveAt(t);
      const AnimCurve* kb = b->GetCurve(a.GetTrackTypeAt(t));
      if (!kb || kb->GetKeyCount() != ka.GetKeyCount()) Fail("a track of the copy differs", a.GetName().str());
      for (std::uint32_t k = 0; k < ka.GetKeyCount(); ++k) {
        if (!SameKey(ka, *kb, k)) Fail("a key of the copy differs", a.GetName().str());
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = (EngineCore::Log::SetEchoToStandardError(false), true);
  (void)quiet;
  static unsigned runs = 0;
  const fs::path& folder = Folder();
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) fs::remove_all(entry.path(), ec);

  const bool binary = size >= 4 && std::memcmp(data, "glTF", 4) == 0;
  const bool bvh = size >= 9 && std::memcmp(data, "HIERARCHY", 9) == 0;
  fs::path path = folder / (binary ? "clip.glb" : bvh ? "clip.bvh" : "clip.gltf");
  if (binary || bvh) {
    WriteFile(path, data, size);
  } else {
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t documentSize = nul ? static_cast<std::size_t>(nul - data) : size;
    WriteFile(path, data, documentSize);
    if (nul) WriteFile(folder / "clip.bin", nul + 1, size - documentSize - 1);
  }

  // Every clip of the file (one per animation of a glTF file of several), a few at most.
  const std::vector<std::string> names = Formats::ClipFormats::ListClips(path.string());
  const fs::path copyPath = folder / ((++runs % 2) ? "copy.gltf" : "copy.glb");
  for (std::size_t c = 0; c < names.size() && c < 4; ++c) {
    const std::string name = names.size() > 1 ? names[c] : std::string();
    const Formats::ClipOpenResult opened = Formats::ClipFormats::Open(path.string(), EngineCore::String(name));
    if (!opened.clip) continue;
    std::string message;
    const Formats::ClipFileError saved = Formats::GltfClipFile::SaveAs(*opened.clip, copyPath.string(), message);
    if (saved != Formats::ClipFileError::None) Fail("a clip that opens could not be saved", message);
    const std::vector<std::string> copies = Formats::ClipFormats::ListClips(copyPath.string());
    if (copies.size() != names.size()) Fail("the saved copy holds another number of clips", name);
    const std::string copyName = copies.size() > 1 ? copies[c] : std::string();
    const Formats::ClipOpenResult copy = Formats::GltfClipFile::Open(copyPath.string(), EngineCore::String(copyName));
    if (!copy.clip) Fail("the saved copy does not open", copy.message);
    ExpectSameClip(*opened.clip, *copy.clip);
    copy.clip->Release();
    opened.clip->Release();
  }
  return 0;
}
