#pragma once

#include "tools/KeyingPage.h"
#include "tools/ToolQuestions.h"

namespace Tarvel {

class ClipEditCore;

// The point operations over a clip page's core: keys at the time cursor, removing keys,
// copying and pasting them through the shared point clipboard. Each records the curves it is
// about to change, writes the changed channels back into the clip and ends with the core's
// closing sequence under its label; each returns whether a curve changed.
class PointOperations {
 public:
  // Keys at the time cursor (rounded to a whole frame with bRoundFrame, halves down): on the
  // channels of the selected scene objects animated by the clip, from their pose. With no
  // scene object selected, on the selected rows with the value each curve has there, so the
  // pose stays; with selected objects none of which is keyed, on the selected rows repeating
  // each curve's last value. An empty curve gets 1 on a scale track, else 0. A key already at
  // that frame takes the value instead of getting a twin.
  static bool CreatePoint(ClipEditCore& core, ToolQuestions& questions, KeyingPage& page, bool bRoundFrame);
  // The selected keys of the selected curves; without selected keys, their every key.
  static bool RemovePoints(ClipEditCore& core);
  static bool RemoveTrackPoints(ClipEditCore& core);
  // The first selected curve's selected keys go to the clipboard, their frames counted from
  // the first of them; true when the clipboard holds keys afterwards.
  static bool CopyPoints(ClipEditCore& core);
  // The clipboard's keys go in at the time cursor on the first selected curve; the keys the
  // block lands on from the cursor's key on are covered when selected, and the rest move to
  // one frame after the block.
  static bool PastePoints(ClipEditCore& core);

 private:
  enum class ObjectKeying { NoObjectSelected, NoObjectKeyed, Keyed, Stop };
  static ObjectKeying KeyObjects(ClipEditCore& core, ToolQuestions& questions, KeyingPage& page, float frame);
};

}  // namespace Tarvel
