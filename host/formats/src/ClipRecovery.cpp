#include "Formats/ClipRecovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "ClipFolder.h"
#include "EngineCore/Log.h"

namespace Formats {

namespace {

namespace fs = std::filesystem;

constexpr char kMagic[] = "TARVEL RECOVERY\n";
// Version 3 added curves of morph-target weights, version 4 cubic keys' tangent types; a record
// of version 2 or 3 reads the same.
constexpr std::uint32_t kVersion = 4;
constexpr std::uint32_t kFirstReadVersion = 2;
constexpr char kEnd[] = "END\n";
constexpr const char* kExtension = ".record";

// Keys are copied as they lie in memory.
static_assert(sizeof(EngineCore::Vector3) == 3 * sizeof(float));
static_assert(sizeof(EngineCore::Quaternion) == 4 * sizeof(float));

// Values per key of a key type (of a curve of weights, its weights).
std::uint32_t Components(std::uint32_t keyType, std::uint32_t weights = 0) {
  switch (keyType) {
    case EngineCore::AnimCurve::KeyVector3: return 3;
    case EngineCore::AnimCurve::KeyQuaternion: return 4;
    case EngineCore::AnimCurve::KeyFloat: return 1;
    case EngineCore::AnimCurve::KeyWeights: return weights;
    default: return 0;
  }
}

class Writer {
 public:
  explicit Writer(std::vector<unsigned char>& out) : out_(out) {}
  void Bytes(const void* data, std::size_t size) {
    const auto* first = static_cast<const unsigned char*>(data);
    out_.insert(out_.end(), first, first + size);
  }
  void U32(std::uint32_t value) { Bytes(&value, sizeof value); }
  void Text(const std::string& text) {
    U32(static_cast<std::uint32_t>(text.size()));
    Bytes(text.data(), text.size());
  }

 private:
  std::vector<unsigned char>& out_;
};

// Reads what Writer wrote, refusing anything past the end.
class Reader {
 public:
  Reader(const std::vector<unsigned char>& in) : in_(in) {}
  bool Bytes(void* data, std::size_t size) {
    if (size > in_.size() - at_) return false;
    if (size == 0) return true;
    std::memcpy(data, in_.data() + at_, size);
    at_ += size;
    return true;
  }
  bool U32(std::uint32_t& value) { return Bytes(&value, sizeof value); }
  bool Text(std::string& text) {
    std::uint32_t size = 0;
    if (!U32(size) || size > in_.size() - at_) return false;
    text.assign(reinterpret_cast<const char*>(in_.data()) + at_, size);
    at_ += size;
    return true;
  }
  // Whether `count` items of `size` bytes each can still be read.
  bool Holds(std::uint64_t count, std::size_t size) const { return count <= (in_.size() - at_) / size; }
  bool AtEnd() const { return at_ == in_.size(); }

 private:
  const std::vector<unsigned char>& in_;
  std::size_t at_ = 0;
};

// A curve of weights has, after its key type, its weight count and the names of its targets.
bool ReadWeightNames(Reader& in, std::uint32_t& weights, std::vector<EngineCore::String>& names) {
  if (!in.U32(weights) || weights == 0 || !in.Holds(weights, sizeof(std::uint32_t))) return false;
  for (std::uint32_t w = 0; w < weights; ++w) {
    std::string name;
    if (!in.Text(name)) return false;
    names.emplace_back(name);
  }
  return true;
}

bool ReadCurve(Reader& in, std::uint32_t version, EngineCore::AnimCurve& curve) {
  std::uint32_t keyType = 0, interpolation = 0, count = 0, weights = 0;
  std::vector<EngineCore::String> names;
  if (!in.U32(keyType)) return false;
  if (keyType == EngineCore::AnimCurve::KeyWeights && !ReadWeightNames(in, weights, names)) return false;
  if (!in.U32(interpolation) || !in.U32(count)) return false;
  const std::uint32_t components = Components(keyType, weights);
  if (keyType != EngineCore::AnimCurve::None && components == 0) return false;
  curve.SetKeyType(keyType);
  if (weights > 0) {
    curve.SetWeightCount(weights);
    curve.SetWeightNames(std::move(names));
  }
  curve.SetInterpolation(interpolation);
  if (!in.Holds(count, sizeof(std::uint32_t) + components * sizeof(float))) return false;
  std::vector<std::uint32_t> frames(count);
  std::vector<float> values(static_cast<std::size_t>(count) * components);
  if (!in.Bytes(frames.data(), frames.size() * sizeof(std::uint32_t)) ||
      !in.Bytes(values.data(), values.size() * sizeof(float))) {
    return false;
  }
  // A cubic curve's tangents follow its values: per key the in-tangent, then the out-tangent.
  const bool tangents = curve.IsCubic() && (components > 1 || weights > 0);
  std::vector<float> slopes(tangents ? values.size() * 2 : 0);
  if (!in.Holds(slopes.size(), sizeof(float)) || !in.Bytes(slopes.data(), slopes.size() * sizeof(float))) return false;
  curve.Reserve(count);
  for (std::uint32_t k = 0; k < count; ++k) {
    const float* v = values.data() + static_cast<std::size_t>(k) * components;
    const float* a = slopes.data() + static_cast<std::size_t>(k) * 2 * components;
    const float* b = a + components;
    bool added = false;
    if (weights > 0) {
      added = tangents ? curve.AddWeightKey(frames[k], v, a, b) : curve.AddWeightKey(frames[k], v);
    } else if (components == 3) {
      const EngineCore::Vector3 value(v[0], v[1], v[2]);
      added = tangents ? curve.AddKey(frames[k], value, {a[0], a[1], a[2]}, {b[0], b[1], b[2]})
                       : curve.AddKey(frames[k], value);
    } else if (components == 4) {
      const EngineCore::Quaternion value(v[0], v[1], v[2], v[3]);
      added = tangents ? curve.AddKey(frames[k], value, {a[0], a[1], a[2], a[3]}, {b[0], b[1], b[2], b[3]})
                       : curve.AddKey(frames[k], value);
    } else {
      added = curve.AddKey(frames[k], v[0]);
    }
    if (!added) return false;
  }
  if (version < 4 || !curve.IsCubic()) return true;
  std::uint32_t typeCount = 0;
  if (!in.U32(typeCount) || !in.Holds(typeCount, 1)) return false;
  std::vector<EngineCore::TangentType> types(typeCount);
  if (!in.Bytes(types.data(), typeCount)) return false;
  const bool known = std::all_of(types.begin(), types.end(), [](EngineCore::TangentType type) {
    return static_cast<int>(type) < EngineCore::kTangentTypeCount;
  });
  return known && curve.SetTangentTypes(std::move(types));
}

void WriteTangents(Writer& out, const EngineCore::AnimCurve& curve) {
  if (!curve.IsCubic()) return;
  for (std::uint32_t k = 0; k < curve.GetKeyCount(); ++k) {
    if (curve.GetKeyType() == EngineCore::AnimCurve::KeyVector3) {
      out.Bytes(&curve.GetVector3InTangent(k), sizeof(EngineCore::Vector3));
      out.Bytes(&curve.GetVector3OutTangent(k), sizeof(EngineCore::Vector3));
    } else if (curve.GetKeyType() == EngineCore::AnimCurve::KeyQuaternion) {
      out.Bytes(&curve.GetQuaternionInTangent(k), sizeof(EngineCore::Quaternion));
      out.Bytes(&curve.GetQuaternionOutTangent(k), sizeof(EngineCore::Quaternion));
    } else if (curve.GetKeyType() == EngineCore::AnimCurve::KeyWeights) {
      out.Bytes(curve.GetWeightInTangent(k), curve.GetWeightCount() * sizeof(float));
      out.Bytes(curve.GetWeightOutTangent(k), curve.GetWeightCount() * sizeof(float));
    }
  }
  const std::vector<EngineCore::TangentType>& types = curve.GetTangentTypes();
  out.U32(static_cast<std::uint32_t>(types.size()));
  out.Bytes(types.data(), types.size());
}

bool ReadClip(const std::vector<unsigned char>& bytes, const std::string& clipName, EngineCore::AnimClip& clip) {
  Reader in(bytes);
  char magic[sizeof kMagic - 1];
  std::uint32_t version = 0, channels = 0;
  std::string name;
  float rate = 0.0f;
  if (!in.Bytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 || !in.U32(version) ||
      version < kFirstReadVersion || version > kVersion || !in.Text(name) || name != clipName ||
      !in.Bytes(&rate, sizeof rate) || !clip.SetFrameRate(rate) || !in.U32(channels)) {
    return false;
  }
  for (std::uint32_t c = 0; c < channels; ++c) {
    std::string channelName;
    std::uint32_t tracks = 0;
    if (!in.Text(channelName) || !in.U32(tracks) || !clip.AddChannel(EngineCore::String(channelName))) return false;
    EngineCore::AnimChannel& channel = *clip.GetChannelAt(clip.GetChannelCount() - 1);
    for (std::uint32_t t = 0; t < tracks; ++t) {
      std::uint32_t type = 0;
      if (!in.U32(type) || !channel.AddTrack(type) || !ReadCurve(in, version, *channel.GetCurve(type))) return false;
    }
  }
  char end[sizeof kEnd - 1];
  return in.Bytes(end, sizeof end) && std::memcmp(end, kEnd, sizeof end) == 0 && in.AtEnd();
}

// A clip name as a file name: every byte but letters, digits, '-', '_' and '.' as %XX.
std::string FileNameOf(const std::string& clipName) {
  static const char* kHex = "0123456789ABCDEF";
  std::string name;
  for (const unsigned char c : clipName) {
    if (std::isalnum(c) || c == '-' || c == '_' || (c == '.' && !name.empty())) {
      name += static_cast<char>(c);
    } else {
      name += '%';
      name += kHex[c >> 4];
      name += kHex[c & 15];
    }
  }
  return name + kExtension;
}

bool Newer(const struct stat& a, const struct stat& b) {
  return a.st_mtim.tv_sec != b.st_mtim.tv_sec ? a.st_mtim.tv_sec > b.st_mtim.tv_sec
                                              : a.st_mtim.tv_nsec > b.st_mtim.tv_nsec;
}

}  // namespace

ClipRecovery::ClipRecovery(const std::string& projectFolder)
    : folder_((fs::path(projectFolder) / ".tarvel" / "recovery").string()) {}

std::string ClipRecovery::PathOf(const std::string& clipName) const {
  return (fs::path(folder_) / FileNameOf(clipName)).string();
}

std::vector<unsigned char> ClipRecovery::Snapshot(const EngineCore::AnimClip& clip) {
  std::size_t size = 64 + clip.GetName().GetLength();
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    size += 8 + channel.GetName().GetLength() + 16;
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      size += 16 + curve.GetKeyCount() *
                       (4 + 4 * Components(curve.GetKeyType(), curve.GetWeightCount()) * (curve.IsCubic() ? 3 : 1));
    }
  }
  std::vector<unsigned char> bytes;
  bytes.reserve(size);
  Writer out(bytes);
  out.Bytes(kMagic, sizeof kMagic - 1);
  out.U32(kVersion);
  out.Text(clip.GetName().str());
  const float rate = clip.GetFrameRate();
  out.Bytes(&rate, sizeof rate);
  out.U32(clip.GetChannelCount());
  for (std::uint32_t c = 0; c < clip.GetChannelCount(); ++c) {
    const EngineCore::AnimChannel& channel = *clip.GetChannelAt(c);
    out.Text(channel.GetName().str());
    out.U32(channel.GetTrackCount());
    for (std::uint32_t t = 0; t < channel.GetTrackCount(); ++t) {
      const EngineCore::AnimCurve& curve = *channel.GetCurveAt(t);
      out.U32(channel.GetTrackTypeAt(t));
      out.U32(curve.GetKeyType());
      if (curve.GetKeyType() == EngineCore::AnimCurve::KeyWeights) {
        out.U32(curve.GetWeightCount());
        for (std::uint32_t w = 0; w < curve.GetWeightCount(); ++w) {
          out.Text(w < curve.GetWeightNames().size() ? curve.GetWeightNames()[w].str() : std::string());
        }
      }
      out.U32(curve.GetInterpolation());
      out.U32(curve.GetKeyCount());
      out.Bytes(curve.GetFrames().data(), curve.GetFrames().size() * sizeof(std::uint32_t));
      switch (curve.GetKeyType()) {
        case EngineCore::AnimCurve::KeyVector3:
          out.Bytes(curve.GetVector3Keys().data(), curve.GetVector3Keys().size() * sizeof(EngineCore::Vector3));
          break;
        case EngineCore::AnimCurve::KeyQuaternion:
          out.Bytes(curve.GetQuaternionKeys().data(),
                    curve.GetQuaternionKeys().size() * sizeof(EngineCore::Quaternion));
          break;
        case EngineCore::AnimCurve::KeyFloat:
          out.Bytes(curve.GetFloatKeys().data(), curve.GetFloatKeys().size() * sizeof(float));
          break;
        case EngineCore::AnimCurve::KeyWeights:
          if (curve.GetKeyCount() > 0) {
            out.Bytes(curve.GetWeightKey(0), std::size_t{curve.GetKeyCount()} * curve.GetWeightCount() * sizeof(float));
          }
          break;
        default: break;
      }
      WriteTangents(out, curve);
    }
  }
  out.Bytes(kEnd, sizeof kEnd - 1);
  return bytes;
}

bool ClipRecovery::Write(const std::string& clipName, const std::vector<unsigned char>& bytes,
                         std::string& message) const {
  std::error_code ec;
  fs::create_directories(folder_, ec);
  const std::string path = PathOf(clipName);
  std::string pattern = (fs::path(folder_) / ("." + FileNameOf(clipName) + "-XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    message = "could not create a file in " + folder_ + ": " + std::strerror(errno);
    return false;
  }
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  const int error = errno;
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(pattern.c_str(), path.c_str()) == 0;
  if (!ok) {
    message = "could not write " + path + ": " + std::strerror(error ? error : errno);
    ::unlink(pattern.c_str());
    return false;
  }
  const int folder = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return true;
}

void ClipRecovery::Remove(const std::string& clipName) const { ::unlink(PathOf(clipName).c_str()); }

bool ClipRecovery::Exists(const std::string& clipName) const {
  struct stat info {};
  return ::stat(PathOf(clipName).c_str(), &info) == 0;
}

std::vector<std::string> ClipRecovery::ListRecoverable(
    const std::function<std::string(const std::string&)>& fileOfClip) const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder_, ec)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind('.', 0) == 0) {
      // A record whose writing a crash cut short.
      fs::remove(entry.path(), ec);
      continue;
    }
    if (entry.path().extension() != kExtension) continue;
    std::string name;
    if (!ClipFolder::DecodePercent(entry.path().stem().string(), name)) continue;
    const std::string clipFile = fileOfClip(name);
    struct stat record {
    }, clip{};
    if (::stat(entry.path().c_str(), &record) == 0 && !clipFile.empty() && ::stat(clipFile.c_str(), &clip) == 0 &&
        Newer(record, clip)) {
      names.push_back(name);
      continue;
    }
    EngineCore::Log::Write(EngineCore::Log::Info, "%s: the recovery record of %s is older than its clip and goes",
                           folder_.c_str(), name.c_str());
    fs::remove(entry.path(), ec);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool ClipRecovery::Restore(const std::string& clipName, EngineCore::AnimClip& clip, std::string& message) const {
  std::vector<unsigned char> bytes;
  const std::string path = PathOf(clipName);
  if (ClipFolder::ReadRegularFile(path, 1ull << 31, bytes, message) != ClipFileError::None) return false;
  EngineCore::AnimClip* read = new EngineCore::AnimClip(clip.GetName());
  const bool whole = ReadClip(bytes, clipName, *read);
  if (whole) {
    read->ComputeKeyFrameRange();
    clip.TakeContentsOf(*read);
  } else {
    message = path + " is not a whole recovery record of " + clipName;
  }
  read->Release();
  return whole;
}

}  // namespace Formats
