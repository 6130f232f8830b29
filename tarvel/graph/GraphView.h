#pragma once

#include <cstdint>

#include "EditorToolkit/Curve2.h"
#include "curves/CurveInfo.h"

namespace Tarvel {

// What graph editing needs of the view it edits in: the mapping between client pixels and
// frames or values (rows count from the top, values upwards), the rulers' markers, and the
// panel it reports to. The graph control is one; tests provide their own.
class GraphView {
 public:
  virtual ~GraphView() = default;

  // False until both rulers exist: nothing can be hit then.
  virtual bool CanMap() const = 0;
  virtual double FrameAtColumn(int x) const = 0;
  virtual double ValueAtRow(int y) const = 0;
  virtual int ColumnOfFrame(double frame) const = 0;
  virtual int RowOfValue(double value) const = 0;
  // The value ruler's graduation unit: moved values snap to a tenth of it.
  virtual double GetValueUnit() const = 0;
  // Markers 1 and 2 of the frame ruler at the selection's ends, or hidden.
  virtual void ShowSelectionMarkers(bool shown, float begin, float end) = 0;
  // Marker 3 of both rulers, the current key's cross-hair.
  virtual void ShowCrossHair(bool shown) = 0;
  virtual void PlaceCrossHair(float frame, float value) = 0;
  // Tells the panel one of the GraphNotify_ codes; the view repaints afterwards.
  virtual void Notify(int code) = 0;
  // A move changed the curve's keys only within the frames firstFrame to lastFrame (the moved
  // keys' places before and after, and their neighbours), since its revision `before`: a
  // view that keeps what it drew may draw those frames alone again.
  // The curve as the action in progress may change it (the clip's core hands it out to the
  // action that touched it); null for a curve no action touched, which then stays as it is.
  virtual EditorToolkit::Curve2* Writable(const CurveInfo& curve) = 0;
  // Puts the curve back as it was when the gesture's action began: the record of the action
  // in progress, which the clip's core keeps, is the only record of it.
  virtual void TakeBack(CurveInfo& curve) = 0;
  virtual void NoteKeyEdit(const EditorToolkit::Curve2& /*curve*/, std::uint64_t /*before*/, float /*firstFrame*/,
                           float /*lastFrame*/) {}
};

}  // namespace Tarvel
