#include "curves/EditStep.h"

namespace Tarvel {

std::size_t EditStep::GetHeldBytes() const {
  std::size_t bytes = sizeof(EditStep) + label.capacity();
  for (const CurveChange& change : curveChanges) bytes += sizeof(CurveChange) + change.delta.GetHeldBytes();
  for (const ChannelChange& change : channelChanges) {
    bytes += sizeof(ChannelChange) + change.data.GetHeldBytes() + change.built.GetHeldBytes();
    for (const auto& [id, points] : change.curves) bytes += sizeof(id) + points.capacity() * 16;
  }
  return bytes;
}

}  // namespace Tarvel
