#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EditorToolkit/Curve2.h"

namespace Tarvel {

// Keys copied in the dope sheet, shared by every clip page: per curve, where it belongs (its
// channel's name, track type, component, or weight target) and its selected keys, their
// frames counted from the first selected frame of the whole copy. Pasting finds each curve
// again by those names, in any clip.
class DopeSheetClipboard {
 public:
  struct Entry {
    std::string channel;
    std::uint32_t trackType = 0;
    std::uint32_t component = 0;
    std::string target;
    std::uint32_t interpolation = EditorToolkit::Curve2::Linear;
    EditorToolkit::Curve2::PointList points;
    // Point for point when the curve was cubic, else empty.
    EditorToolkit::Curve2::TangentList tangents;
  };

  void Clear() { entries.clear(); }
  bool IsEmpty() const { return entries.empty(); }
  const std::vector<Entry>& GetEntries() const { return entries; }
  void Add(Entry entry) { entries.push_back(std::move(entry)); }
  // The frames from the first copied key to the last.
  float GetSpan() const;

 private:
  std::vector<Entry> entries;
};

}  // namespace Tarvel
