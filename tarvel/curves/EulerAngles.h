#pragma once

#include <array>

namespace Tarvel {

// The editor's Euler angles of a rotation, in degrees: X, then Y, then Z about fixed axes.
// One rotation has many triples: each angle moved by whole turns, and the flipped solution
// (x + 180, 180 - y, z + 180) moved likewise.
class EulerAngles {
 public:
  using Triple = std::array<double, 3>;

  // Of the triples that give the rotation of `angles`, the one nearest to `previous` (the
  // least sum of distances), so that a curve of angles never jumps where the rotation turns
  // a little. Both the curve set and the Euler filter keep keys continuous by it.
  static Triple Nearest(const Triple& angles, const Triple& previous);
};

}  // namespace Tarvel
