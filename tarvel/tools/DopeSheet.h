#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "EditorToolkit/Curve2.h"
#include "curves/CurveInfo.h"
#include "tools/DopeSheetClipboard.h"

namespace Tarvel {

class ClipEditCore;

// The dope sheet of a clip page without its window: rows of keys over time, their selection
// and the edits that move keys in time without touching their values. What callers may rely
// on:
// 1. Rows: the summary (every curve of the sheet's channels), then one row per channel in
//    the order given, each followed, while it is expanded, by one row per track (X, Y and Z
//    together, or the weights of every target). A row's marks are the distinct frames of its
//    curves' keys; keys less than kSameFrame apart share a mark.
// 2. A key is selected when its point is selected and its curve too, as the graph reads it:
//    the sheet and the graph share one selection. A selection the sheet makes leaves every
//    other curve of the clip without selected keys, and selects exactly the curves that have
//    selected keys.
// 3. Every edit is one action of the clip's core (one undo step, written back when it ends)
//    and moves, scales, removes or adds keys with their values and tangents as they are. A
//    move or scale that would put a selected key on the frame of another key of its curve is
//    taken back on that curve, as the graph takes back a move of frames; the sheet tells why.
//    Keys never leave frames 0 to AnimCurve::kMaxKeyFrame.
class DopeSheet {
 public:
  enum class RowKind { Summary, Channel, Track };
  struct Row {
    RowKind kind = RowKind::Summary;
    std::uint32_t channelKey = 0;
    std::uint32_t trackType = 0;
    std::string label;
    std::vector<CurveInfo*> curves;
  };
  static constexpr float kSameFrame = 1.0e-3f;

  explicit DopeSheet(ClipEditCore& editCore) : core(editCore) {}

  // The channels the sheet shows, in order; the rows are made again from the core's curves
  // (also after any change of them: SetChannels with the same keys).
  void SetChannels(const std::vector<std::uint32_t>& channelKeys);
  const std::vector<std::uint32_t>& GetChannels() const { return channels; }
  const std::vector<Row>& GetRows() const { return rows; }
  // Opens or closes a channel row's tracks; false for a row that is not a channel's.
  bool ToggleExpanded(int row);
  bool IsExpanded(std::uint32_t channelKey) const { return expanded.contains(channelKey); }
  // The row named "summary", CHANNEL, or CHANNEL TRACK (translation, rotation, scale,
  // weights); -1 when there is none.
  int FindRow(const std::string& name) const;
  static const char* TrackWord(std::uint32_t trackType);
  // Whether the graph shows the channel's curves (its row is selected in the channel list).
  bool IsChannelShown(std::uint32_t channelKey) const;

  // The frame of the row's mark nearest to `frame` within `reach` frames; false without one.
  bool FindMark(int row, float frame, float reach, float& markFrame) const;
  // Whether a key of the row's mark at that frame is selected.
  bool IsMarkSelected(int row, float markFrame) const;
  // Selects the keys of the row's mark; without `add`, only them. With `toggle` the mark's
  // keys are deselected when one of them was selected.
  void SelectMark(int row, float markFrame, bool add, bool toggle = false);
  // Selects the marks of rows first..last between two frames; with `add` besides the others.
  void SelectBox(int firstRow, int lastRow, float firstFrame, float lastFrame, bool add);
  // Every key of the sheet's channels, or none.
  void SelectAll(bool select);
  // The curves of the sheet's channels with selected keys.
  std::vector<CurveInfo*> SelectedCurves() const;
  bool HasSelection() const { return !SelectedCurves().empty(); }
  // First and last frame of the selected keys; false without any.
  bool GetSelectedSpan(float& first, float& last) const;

  // A drag of the selected keys in time: Begin opens the action, MoveBy shifts every selected
  // key by `frames` from where it began (clamped to the frames a clip holds; true when the
  // keys moved), End ends it (true when the clip changed). Cancel takes it back whole.
  bool BeginMove();
  bool MoveBy(float frames);
  bool EndMove();
  void CancelMove();
  bool IsMoving() const { return !moving.empty(); }
  float GetMovedFrames() const { return movedBy; }
  // The selected keys' frames scaled about a pivot frame (keys on whole frames stay on
  // whole frames); false, with why, for a factor that is not a finite positive number or
  // keys that would leave the frames a clip holds.
  bool Scale(float factor, float pivot);
  bool Delete();
  // The selected keys go to the clipboard; false when none is selected.
  bool Copy(DopeSheetClipboard& clipboard) const;
  // The clipboard's keys go in from `frame` on, each curve's into the curve of the same
  // channel name, track and component of this clip; keys on the frames they land on are
  // replaced. The pasted keys become the selection. False when no curve took keys.
  bool Paste(const DopeSheetClipboard& clipboard, float frame);
  // The selected keys again, right after the last of them, selected in their place.
  bool Duplicate();
  // Who tells the user why an edit did less than asked (the page's message).
  void SetTeller(std::function<void(const std::string&)> teller) { tell = std::move(teller); }

 private:
  struct Moving {
    CurveInfo* curve = nullptr;
    EditorToolkit::Curve2::PointList points;
    EditorToolkit::Curve2::TangentList tangents;
  };
  // Every curve of the clip, in channel order: selections leave no key selected elsewhere.
  std::vector<CurveInfo*> AllCurves() const;
  // A curve that is not selected holds no selected keys, whatever its points say.
  void SettleCurveFlags() const;
  // Exactly the curves with selected keys are selected.
  void SelectCurvesWithKeys() const;
  bool PasteAs(const DopeSheetClipboard& clipboard, float frame, const char* label);
  // Calls visit(curve, index) for every key of the row's mark.
  template <typename Visit>
  void ForEachMarkKey(int row, float markFrame, Visit visit) const;
  // The selected keys of the curve (points and tangents as `moving` holds them) shifted by
  // `frames`, merged in frame order with the rest.
  static void ShiftSelected(const Moving& from, float frames, EditorToolkit::Curve2& to);
  // Curves of the action in progress whose selected keys share a frame with another key are
  // put back, and the user is told how many (`action` names the edit: "move", "scale").
  void TakeBackCollisions(const std::vector<CurveInfo*>& curves, const char* action);
  void Tell(const std::string& sentence) const;

  ClipEditCore& core;
  std::vector<std::uint32_t> channels;
  std::set<std::uint32_t> expanded;
  std::vector<Row> rows;
  std::vector<Moving> moving;
  float movedBy = 0.0f;
  float movableBefore = 0.0f;
  float movableAfter = 0.0f;
  std::function<void(const std::string&)> tell;
};

}  // namespace Tarvel
