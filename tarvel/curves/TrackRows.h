#pragma once

namespace Tarvel {

class CurveInfo;

// The rows of a page's track list as the undo history reads them: one curve per row, or
// none for a row without one.
class TrackRows {
 public:
  virtual ~TrackRows() = default;
  virtual int GetRowCount() const = 0;
  virtual CurveInfo* GetRowCurve(int row) const = 0;
};

}  // namespace Tarvel
