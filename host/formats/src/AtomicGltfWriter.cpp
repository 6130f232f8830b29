#include "AtomicGltfWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace Formats {

namespace {

namespace fs = std::filesystem;

bool KeepImageAsIs(const std::string*, const std::string*, const tinygltf::Image*, bool, std::string*, void*) {
  return false;
}

bool FlushFile(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

bool HasExtension(const std::string& path, const char* extension) {
  const std::string ext = fs::path(path).extension().string();
  return ext.size() == std::char_traits<char>::length(extension) &&
         std::equal(ext.begin(), ext.end(), extension, [](char a, char b) { return std::tolower(a) == b; });
}

}  // namespace

ClipFileError AtomicGltfWriter::Write(const tinygltf::Model& model, const std::string& path, std::string& message) {
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    message = folder.string() + " is not a folder";
    return ClipFileError::WriteFailed;
  }
  std::string pattern = (folder / ".tarvel-save-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) {
    message = "cannot create a temporary folder in " + folder.string();
    return ClipFileError::WriteFailed;
  }
  const fs::path staging(buffer.data());

  tinygltf::TinyGLTF writer;
  writer.SetImageWriter(&KeepImageAsIs, nullptr);
  const bool binary = HasExtension(path, ".glb");
  const fs::path staged = staging / target.filename();
  // A document whose buffers were all embedded stays self-contained.
  bool embedded = !model.buffers.empty();
  for (const tinygltf::Buffer& each : model.buffers) embedded = embedded && each.uri.rfind("data:", 0) == 0;
  const bool written =
      writer.WriteGltfSceneToFile(&model, staged.string(), false, embedded && !binary, !binary, binary);

  std::vector<fs::path> files;
  bool flushed = written;
  for (const auto& entry : fs::directory_iterator(staging, ec)) {
    files.push_back(entry.path());
    flushed = flushed && FlushFile(entry.path());
  }
  if (!written || !flushed) {
    fs::remove_all(staging, ec);
    message = "could not write " + staged.filename().string();
    return ClipFileError::WriteFailed;
  }

  // Buffers first: the document that names them replaces the old one only at the end.
  std::stable_partition(files.begin(), files.end(), [&staged](const fs::path& f) { return f != staged; });
  for (const fs::path& file : files) {
    fs::rename(file, folder / file.filename(), ec);
    if (ec) {
      message = "could not replace " + (folder / file.filename()).string() + ": " + ec.message();
      fs::remove_all(staging, ec);
      return ClipFileError::WriteFailed;
    }
  }
  FlushFile(folder);
  fs::remove_all(staging, ec);
  return ClipFileError::None;
}

}  // namespace Formats
