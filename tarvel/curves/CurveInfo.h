#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "EditorToolkit/Curve2.h"

namespace Tarvel {

// One displayed curve: a keyed component (X, Y or Z; for morph-target weights, one target's
// weight) of one track of one channel of the page's clip. Only the curve set creates and destroys these records; the
// lists, the graph and the undo history hold plain pointers to them.
class CurveInfo {
 public:
  enum TrackType : std::uint32_t { Translation = 1, Rotation = 2, Scale = 3, Weights = 4 };
  enum Component : std::uint32_t { X = 0, Y = 1, Z = 2 };

  CurveInfo(std::uint32_t channelKey, std::uint32_t trackType, std::uint32_t component);
  CurveInfo(const CurveInfo&) = delete;
  CurveInfo& operator=(const CurveInfo&) = delete;

  // The points as everyone reads (and selects) them. Changing them takes Write, which only the
  // curve set (building curves) and the clip's core can call: the core hands a curve out to
  // the action in progress (ClipEditCore::Touch), so that no change skips the undo history
  // or the write-back. Tests build their curves through their own CurveWriter.
  class ReadOnlyCurve {
   public:
    const EditorToolkit::Curve2* operator->() const { return curve.get(); }
    const EditorToolkit::Curve2& operator*() const { return *curve; }
    const EditorToolkit::Curve2* get() const { return curve.get(); }
    explicit operator bool() const { return curve != nullptr; }

   private:
    friend class CurveInfo;
    std::unique_ptr<EditorToolkit::Curve2> curve = std::make_unique<EditorToolkit::Curve2>();
  };
  class WriteAccess {
    WriteAccess() = default;
    friend class CurveSet;
    friend class ClipEditCore;
    friend class CurveWriter;
  };
  EditorToolkit::Curve2& Write(WriteAccess) { return *pCurve.curve; }

  ReadOnlyCurve pCurve;
  // The X, Y and Z curves of its track, itself among them; set by the curve set, which
  // creates and destroys the three together. A weight's curve has only itself.
  using Track = std::array<const CurveInfo*, 3>;
  Track track{};
  // The morph target a weight's curve animates; empty for the other curves.
  std::string sTargetName;
  std::uint32_t iChannelKey;
  std::uint32_t iTrackType;
  std::uint32_t iComponent;
  // The curve holds the point selection: tools and undo act on selected curves only.
  bool bSelected = false;
  // Hidden by the page's track-kind and component filter boxes.
  bool bFiltered = false;
};

}  // namespace Tarvel
