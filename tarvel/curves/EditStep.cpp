#include "curves/EditStep.h"

#include <cctype>

namespace Tarvel {

std::size_t EditStep::GetHeldBytes() const {
  std::size_t bytes = sizeof(EditStep) + label.capacity();
  for (const CurveChange& change : curveChanges) bytes += sizeof(CurveChange) + change.delta.GetHeldBytes();
  for (const ChannelChange& change : channelChanges) {
    bytes += sizeof(ChannelChange) + change.data.GetHeldBytes() + change.built.GetHeldBytes();
    if (change.rotationSigns) bytes += ChannelData::CurveBytes(*change.rotationSigns);
    for (const CurveState& state : change.curves) {
      bytes += sizeof(state) + state.points.capacity() * sizeof(EditorToolkit::EditablePoint) +
               state.tangents.capacity() * sizeof(EditorToolkit::KeyTangents);
    }
  }
  return bytes;
}

std::string EditStep::Describe(const std::string& label) {
  std::string words;
  for (std::size_t i = 0; i < label.size(); ++i) {
    const bool startsWord = i > 0 && std::isupper(static_cast<unsigned char>(label[i])) &&
                            !std::isupper(static_cast<unsigned char>(label[i - 1]));
    if (startsWord) words += ' ';
    words += label[i];
  }
  return words;
}

}  // namespace Tarvel
