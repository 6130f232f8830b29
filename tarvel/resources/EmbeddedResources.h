#pragma once

#include <cstddef>
#include <span>

namespace Tarvel {

// One dialog template file compiled into the module library, by its file name.
struct EmbeddedFile {
  const char* name;
  const unsigned char* bytes;
  std::size_t size;
};

// One icon compiled into the module library: the SVG text of icons/<id>.svg.
struct EmbeddedIcon {
  unsigned id;
  const unsigned char* bytes;
  std::size_t size;
};

// The resource files of tarvel/resources as the build compiled them (EmbedResources.cmake
// writes the definitions). Files are in name order; icon ids are unique by construction.
class EmbeddedResources {
 public:
  static std::span<const EmbeddedFile> GetTemplateFiles();
  static std::span<const EmbeddedIcon> GetIconFiles();
};

}  // namespace Tarvel
