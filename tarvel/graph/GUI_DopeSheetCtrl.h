#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EditorCore/GUI_Wnd.h"
#include "EditorCore/Geometry.h"
#include "tools/DopeSheet.h"

namespace Tarvel {

class ClipEditCore;

// The dope sheet's keys: one band of kRowHeight pixels per row of the sheet, scrolled by
// GetScroll pixels, a mark at the column of every frame that holds a key against the frame
// ruler the graph uses (frame f at its ValueToPixel), and the time cursor. What callers may
// rely on:
// 1. A mark's look tells its keys' interpolation: a square for steps, a circle for cubic
//    curves, a diamond for linear ones or a mix; selected marks are filled in the selection
//    colour. Marks closer than their width merge into a band; a paint walks the keys in view
//    once, whatever the zoom.
// 2. The left button: a press on a mark (within kPickReach pixels) selects its keys unless
//    they were, and dragging then moves the selection in time, the pressed mark landing on
//    whole frames; a click on a mark of a larger selection keeps only that mark. Shift
//    toggles the mark and adds it. A press elsewhere draws a rubber band that selects the
//    marks it covers on release (Shift: besides the selection).
// 3. The wheel scrolls the rows; with Ctrl it is left to the panel (zoom in frames).
// 4. The right button opens the menu of the sheet's edits, whose commands go to the parent.
// 5. The parent hears each change through the notifier: kNotifySelection, kNotifyClipChanged
//    (an edit ended), kNotifyScrolled.
class GUI_DopeSheetCtrl : public EditorCore::GUI_Wnd {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kMarkRadius = 5;
  static constexpr int kPickReach = 6;
  static constexpr int kNotifySelection = 1;
  static constexpr int kNotifyClipChanged = 2;
  static constexpr int kNotifyScrolled = 3;

  GUI_DopeSheetCtrl(DopeSheet& dopeSheet, const ClipEditCore& editCore);
  ~GUI_DopeSheetCtrl() override;

  // A child window with an empty rectangle, hidden until the panel shows it.
  bool Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id);
  void AttachRuler(EditorCore::GUI_RulerCtrl* frames) { ruler = frames; }
  void SetNotifier(std::function<void(int)> notifier) { notify = std::move(notifier); }
  // Who makes the sheet's rows again from the page's channels: before each paint and press.
  void SetRowSource(std::function<void()> source) { rowSource = std::move(source); }
  void RefreshRows() const {
    if (rowSource) rowSource();
  }

  int GetScroll() const { return scroll; }
  // Keeps the scroll within the rows; true when it changed.
  bool SetScroll(int pixels);
  // The sheet's row under a client row, -1 below the last.
  int RowAt(int y) const;
  // Scrolls the row into view and gives its middle client row; -1 for no such row.
  int ShowRow(int row);

  void Paint(EditorCore::GUI_BackBuffer& buffer, int width, int height);

  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  void OnLButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMouseMove(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnLButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnRButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  bool OnMouseWheel(EditorCore::UINT flags, short delta, EditorCore::CPoint screenPoint) override;
  bool OnCommand(EditorCore::UINT id) override;

 private:
  enum class Gesture { None, Mark, Band };
  // Per pixel column of a row (kMarkRadius columns of margin on each side): what its keys are.
  enum ColumnFlags : std::uint8_t { HasKey = 1, HasSelected = 2, Step = 4, Linear = 8, Cubic = 16 };
  using Columns = std::vector<std::uint8_t>;
  void CollectColumns(const DopeSheet::Row& row, int width, Columns& columns) const;
  void PaintMarks(EditorCore::GUI_BackBuffer& buffer, const Columns& columns, int middle, int width,
                  const EditorCore::CRect& area) const;
  double FrameAt(int x) const;
  // Frames per pixel of the ruler: how far kPickReach reaches.
  double FramesPerPixel() const;
  void Tell(int code) const {
    if (notify) notify(code);
  }

  DopeSheet& sheet;
  const ClipEditCore& core;
  EditorCore::GUI_RulerCtrl* ruler = nullptr;
  std::function<void(int)> notify;
  std::function<void()> rowSource;
  EditorCore::GUI_BackBuffer backBuffer;
  std::unique_ptr<EditorCore::GUI_Menu> menu;
  int scroll = 0;

  Gesture gesture = Gesture::None;
  EditorCore::CPoint pressPoint;
  EditorCore::CPoint pointer;
  int pressRow = -1;
  float pressFrame = 0.0f;
  float grabbedFrame = 0.0f;
  bool shiftPressed = false;
  // A press on a mark of a larger selection: a click without a move keeps only the mark.
  bool keepOnlyOnClick = false;
  // Row and column buffers kept from paint to paint.
  std::vector<Columns> rowColumns;
};

}  // namespace Tarvel
