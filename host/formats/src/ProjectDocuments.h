#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace Formats {

// The glTF documents of a project, as far as a save needs them: whether one of them names a
// file as a buffer. Other programs' documents may name files with "..", which clips of our own
// never do, so every document under the project is asked, at any depth.
//
// 1. The project is the folder above the clip folder when the document lies in the clip
//    folder, else the document's own folder. Hidden folders (".git", ".tarvel") are skipped.
// 2. What each document names is kept between calls and read again only when the document's
//    identity, size or time changes, so a save in a project of many clips reads few of them.
class ProjectDocuments {
 public:
  using BufferUris = std::vector<std::pair<std::size_t, std::string>>;

  // The external buffer URIs a document on disk names (GltfDocumentReader::ListBufferUris),
  // read again only when the document changed since it was last read or remembered.
  static bool ListBufferUris(const std::filesystem::path& document, BufferUris& uris);
  // What a save just wrote into the document, so that the next save need not read it.
  static void Remember(const std::filesystem::path& document, const BufferUris& uris);

  // True when a document of the project of `document`, other than it, names `file` (both
  // as they lie on disk, links followed) as one of its buffers.
  static bool NameFile(const std::filesystem::path& document, const std::filesystem::path& file);
};

}  // namespace Formats
