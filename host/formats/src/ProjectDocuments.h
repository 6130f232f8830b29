#pragma once

#include <filesystem>

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
  // True when a document of the project of `document`, other than it, names `file` (both
  // as they lie on disk, links followed) as one of its buffers.
  static bool NameFile(const std::filesystem::path& document, const std::filesystem::path& file);
};

}  // namespace Formats
