#include "curves/EditStep.h"

namespace Tarvel {

std::size_t EditStep::GetHeldBytes() const {
  std::size_t bytes = sizeof(EditStep) + label.capacity();
  for (const CurveChange& change : curveChanges) bytes += sizeof(CurveChange) + change.delta.GetHeldBytes();
  for (const ChannelChange& change : channelChanges) {
    bytes += sizeof(ChannelChange) + change.data.GetHeldBytes() + change.built.GetHeldBytes();
    for (const CurveState& state : change.curves) {
      bytes += sizeof(state) + state.points.capacity() * sizeof(EditorToolkit::EditablePoint) +
               state.tangents.capacity() * sizeof(EditorToolkit::KeyTangents);
    }
  }
  return bytes;
}

}  // namespace Tarvel
