#include "curves/EulerAngles.h"

#include <cmath>
#include <limits>

namespace Tarvel {

namespace {

// The angle moved by whole turns to lie nearest the reference.
double NearestTurn(double angle, double reference) {
  const double apart = reference - angle;
  return std::abs(apart) <= 180.0 ? angle : angle + 360.0 * std::round(apart / 360.0);
}

}  // namespace

EulerAngles::Triple EulerAngles::Nearest(const Triple& angles, const Triple& previous) {
  // Within 60 degrees on every axis the triple is the nearest already: it lies at most 180
  // degrees away in all, and the flipped solution at least 240 (180 less each of X's and Z's
  // differences). Takes keyed on every frame nearly always are.
  if (std::abs(angles[0] - previous[0]) <= 60.0 && std::abs(angles[1] - previous[1]) <= 60.0 &&
      std::abs(angles[2] - previous[2]) <= 60.0) {
    return angles;
  }
  Triple best = angles;
  double bestDistance = std::numeric_limits<double>::infinity();
  const Triple flipped = {angles[0] + 180.0, 180.0 - angles[1], angles[2] + 180.0};
  for (const Triple& candidate : {angles, flipped}) {
    Triple moved{};
    double distance = 0.0;
    for (int c = 0; c < 3; ++c) {
      moved[c] = NearestTurn(candidate[c], previous[c]);
      distance += std::abs(moved[c] - previous[c]);
    }
    if (distance < bestDistance) {
      bestDistance = distance;
      best = moved;
    }
  }
  return best;
}

}  // namespace Tarvel
