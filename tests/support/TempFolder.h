#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace TestSupport {

// A folder of its own for one test, removed with it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvel-test-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Copies a test data file and, for a .gltf, its external .bin beside it.
inline void CopyClipFiles(const std::string& dataFile, const std::filesystem::path& folder) {
  const std::filesystem::path source(dataFile);
  std::filesystem::copy_file(source, folder / source.filename(), std::filesystem::copy_options::overwrite_existing);
  std::filesystem::path bin = source;
  bin.replace_extension(".bin");
  if (std::filesystem::exists(bin)) {
    std::filesystem::copy_file(bin, folder / bin.filename(), std::filesystem::copy_options::overwrite_existing);
  }
}

}  // namespace TestSupport
