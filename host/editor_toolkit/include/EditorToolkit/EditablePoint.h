#pragma once

namespace EditorToolkit {

// One key of an editable curve. Callers may write every field through the pointer the curve
// hands out, with two exceptions the curve cannot see:
// 1. Selection goes through Curve2::SelectPointAt / SelectAllPoints, which keep the curve's
//    selected count; writing bSelected directly leaves that count stale.
// 2. A caller that rewrites x must leave the curve in x order before it adds, searches or
//    moves points again (a flip swaps points, then rewrites their frames in order).
// Flags come first so that the point packs tight; it may grow (more fields per key).
struct EditablePoint {
  // Selection and falloff weights are the editor's state, not the key's: a curve handed out
  // read only still takes them.
  mutable bool bSelected = false;
  // Covered by another key at the same place (a block of keys moved over it); not drawn.
  bool bHidden = false;
  // Inserted by Curve2::Subdivise when asked to; the smoothing tool clears it.
  bool bNew = false;
  float x = 0.0f;  // frame
  float y = 0.0f;  // value
  // Falloff weight: 0 follows the selection fully, 1 does not move.
  mutable float weight = 1.0f;
};

}  // namespace EditorToolkit
