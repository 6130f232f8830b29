#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_Menu.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "EditorCore/GUI_Wnd.h"
#include "EditorCore/Geometry.h"
#include "EditorToolkit/Curve2.h"
#include "curves/CurveSelection.h"
#include "graph/CurveTrace.h"
#include "graph/GraphEditor.h"
#include "graph/GraphView.h"
#include "graph/PixelMap.h"

namespace EditorCore {
class GUI_DC;
}  // namespace EditorCore

namespace Tarvel {

// The curve graph: the shown curves of a clip page drawn against a horizontal ruler in
// frames and a vertical ruler in values. The control translates mouse events into its
// GraphEditor and paints; what callers may rely on:
// 1. The control never owns curves: it draws the selection's shown curves in their order.
// 2. A frame f lies at column px(f) (the horizontal ruler's ValueToPixel) and a value v at
//    row H - py(v) (the vertical ruler counts pixels upwards from its bottom edge).
// 3. Painting happens only through invalidation, into one back buffer (kept from paint to
//    paint) presented once, in five layers: background and selection band, grid and ruler
//    markers, curves, key points, overlays. Paint draws the same layers into any buffer
//    (tests, pictures). The window paints with PaintChanges: while a drag moves values only,
//    it draws again the moved frames' columns, the value cross-hair's rows and the current
//    key's box alone, and the picture is the one Paint draws.
// 4. Filtered curves are skipped by drawing. A curve is drawn between its first and last key
//    as one span of rows per pixel column (the rows its polyline reaches there), so that a
//    paint costs the same for a take of any length. Key boxes are drawn where a curve's keys
//    in view lie at least kKeyBoxSpacing pixels apart on average; closer, they would merge
//    into a band over the curve: the selected keys' stretches of the curve are drawn in a
//    sleeve of the selection colour instead, and the falloff's keys in a fainter one.
// 5. Each curve's trace (CurveTrace) is kept from paint to paint while the curve and the view
//    stay; after a move of keys the editor reports, in value or in frame, only the frames it
//    changed are traced again. While a drag moves frames, the window also draws again only the
//    moved frames' columns, those the selection band and the frame ruler's markers left or
//    reached, the cross-hair's rows and the current key's box.
// 6. Every notification to the parent is followed by an invalidation of the control.
class GUI_GraphCtrl : public EditorCore::GUI_Wnd, public GraphView {
 public:
  static constexpr int kKeyBoxSpacing = 4;

  explicit GUI_GraphCtrl(CurveSelection& shownCurves);
  ~GUI_GraphCtrl() override;

  // A visible child window with an empty rectangle (the panel lays it out); false when the
  // window cannot be made.
  bool Create(EditorCore::GUI_Wnd* parent, EditorCore::UINT id);
  // Keeps the two rulers (owned by the panel) and sets their units and markers: markers 1 and
  // 2 of the horizontal ruler bound the selected keys, marker 3 of both is the current key's
  // cross-hair, marker 4 of the horizontal ruler is the time cursor. Call once.
  void AttachRulers(EditorCore::GUI_RulerCtrl* horizontal, EditorCore::GUI_RulerCtrl* vertical);

  // Where the graph's gestures get the curves they change, and have a gesture taken back on
  // a curve: the panel's clip core, which records the action. Without them a gesture changes
  // no curve.
  void SetCurveEdits(std::function<EditorToolkit::Curve2*(const CurveInfo&)> writableCurve,
                     std::function<void(CurveInfo&)> takeBackCurve) {
    writable = std::move(writableCurve);
    takeBack = std::move(takeBackCurve);
  }

  GraphEditor& GetEditor() { return editor; }
  const GraphEditor& GetEditor() const { return editor; }
  // Union of the boxes of the curves that are not filtered, in curve units, as the last
  // ComputeCurvesBounds (or FitAll) found it.
  const EditorCore::CRect& GetCurvesBounds() const { return oCurvesBounds; }
  // Computes each shown curve's box, which nothing else keeps up to date, and their union.
  void ComputeCurvesBounds();
  // Fits both rulers to the curves, with 10 frames and 20 values of margin in all.
  void FitAll();
  // The selected keys of the selected curves in view, or the selected curves without them,
  // or all curves without either.
  void FrameSelection();

  void OnLButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMouseMove(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnLButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  // The six tangent types as items of a menu, commands from firstCommand on in their order;
  // withKeys shows the keys 1 to 6 that set the selected keys' types.
  static void AppendTangentTypes(EditorCore::GUI_Menu& menu, EditorCore::UINT firstCommand, bool withKeys);
  // On a key: the menu of the selected keys' tangent types, whose commands go up to the page.
  void OnRButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  bool OnCommand(EditorCore::UINT id) override;
  void OnMButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;

  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  // Draws the five layers into buffer, which covers a client area of width x height.
  void Paint(EditorCore::GUI_BackBuffer& buffer, int width, int height);
  // Brings buffer, which holds the picture of this control's last PaintChanges, up to date:
  // when only key moves the editor reported, the value cross-hair and the current key's box
  // changed since, it draws the areas they touch again and returns true; otherwise it paints
  // everything and returns false.
  bool PaintChanges(EditorCore::GUI_BackBuffer& buffer, int width, int height);

 private:
  void FitBox(double firstFrame, double lastFrame, double lowest, double highest);
  bool CanMap() const override;
  double FrameAtColumn(int x) const override;
  double ValueAtRow(int y) const override;
  int ColumnOfFrame(double frame) const override;
  int RowOfValue(double value) const override;
  double GetValueUnit() const override;
  void ShowSelectionMarkers(bool shown, float begin, float end) override;
  void ShowCrossHair(bool shown) override;
  void PlaceCrossHair(float frame, float value) override;
  void Notify(int code) override;
  void NoteKeyEdit(const EditorToolkit::Curve2& curve, std::uint64_t before, float firstFrame,
                   float lastFrame) override;
  EditorToolkit::Curve2* Writable(const CurveInfo& curve) override { return writable ? writable(curve) : nullptr; }
  void TakeBack(CurveInfo& curve) override {
    if (takeBack) takeBack(curve);
  }

  // What a picture shows, but for the curves' keys, the value cross-hair's row and the current
  // key's box: two pictures of one scene differ only where those differ.
  struct Scene {
    struct ShownCurve {
      const EditorToolkit::Curve2* curve = nullptr;
      const CurveInfo* info = nullptr;
      std::uint64_t id = 0;
      // Selection calls leave the revision: key boxes show the selected keys.
      std::uint64_t selectionRevision = 0;
      bool selected = false;
      EditorCore::COLORREF colour = 0;
      EditorCore::COLORREF selectionColour = 0;
      friend bool operator==(const ShownCurve&, const ShownCurve&) = default;
    };
    std::uint64_t imageId = 0;
    int width = 0;
    int height = 0;
    PixelMap frames{0.0, 1.0};
    PixelMap values{0.0, 1.0};
    std::array<EditorCore::COLORREF, 2> grounds{};
    // Selection begin and end, falloff before and after (0 without falloff).
    std::array<float, 4> selectionBand{};
    std::vector<EditorCore::GUI_RulerGraduation> frameGrid;
    std::vector<EditorCore::GUI_RulerGraduation> valueGrid;
    // The value ruler's cross-hair marker is kept without its position.
    std::vector<EditorCore::GUI_RulerMarker> frameMarkers;
    std::vector<EditorCore::GUI_RulerMarker> valueMarkers;
    int keyOutline = 0;
    std::vector<ShownCurve> shown;
    bool rubberBandShown = false;
    EditorCore::CRect rubberBand;
    friend bool operator==(const Scene&, const Scene&) = default;
  };
  struct Picture {
    Scene scene;
    // One per shown curve.
    std::vector<std::uint64_t> revisions;
    // One per shown curve: the columns its dense selection's sleeve covers, empty without one.
    std::vector<std::pair<int, int>> sleeveColumns;
    // -1 while the value cross-hair is hidden.
    int crossHairRow = -1;
    EditorCore::CRect currentKeyBox;
  };
  Picture Capture(const EditorCore::GUI_BackBuffer& buffer, int width, int height) const;
  // The areas where now differs from the painted picture; false when more than the keys of
  // reported key moves, the selection band, the frame ruler's marker places, the value
  // cross-hair and the current key's box changed.
  bool FindChanges(const Picture& now, std::vector<EditorCore::CRect>& areas) const;
  // Whole-height areas that overlap or touch become one.
  static void MergeColumnAreas(std::vector<EditorCore::CRect>& areas, int height);
  // The selection band as drawn: selection begin and end, falloff before and after (0 without
  // falloff).
  std::array<float, 4> SelectionBand() const;
  // The columns of the selection band and its ramps: rampLeft <= left <= right <= rampRight,
  // within the view; false when there is no band.
  struct BandColumns {
    int rampLeft = 0;
    int left = 0;
    int right = 0;
    int rampRight = 0;
  };
  bool FindBandColumns(const std::array<float, 4>& band, int width, BandColumns& columns) const;
  // The keys of a curve in view (first to last, with a key on each side), and whether they lie
  // too close for boxes; false for a curve without keys.
  bool KeysInView(const EditorToolkit::Curve2& curve, int width, int& first, int& last, bool& dense) const;
  // Where keys lie too close for boxes, the selected keys' stretches of a selected curve are
  // drawn as a sleeve in the selection colour, kSleeveReach rows above and below the curve's
  // line, and the falloff's keys as a fainter one. Each key owns the columns from halfway to
  // the key before it to halfway to the key after it, in a shade from 1 to kShades (by its
  // weight; kShades when selected; 0 for no sleeve).
  static constexpr int kShades = 8;
  static constexpr int kSleeveReach = 3;
  static int SleeveShade(const EditorToolkit::EditablePoint& key);
  // Narrows first..last to the keys a sleeve may cover: the selected ones and the falloff's;
  // false without selected keys.
  bool SleeveKeys(const EditorToolkit::Curve2& curve, int& first, int& last) const;
  // The columns a curve's sleeve covers; empty (second < first) without one.
  std::pair<int, int> SleeveColumns(const CurveInfo& info, int width) const;
  // Each area draws the sleeve of the keys whose columns reach it, with the curve's line over it.
  void PaintDenseSelection(EditorCore::GUI_BackBuffer& buffer, const CurveInfo& info, int first, int last,
                           const std::vector<EditorCore::CRect>& areas) const;
  // How far from its key a selected key's outline lies, in pixels.
  int KeyOutline() const;
  // Where the current key's box is drawn; empty while it is not.
  EditorCore::CRect CurrentKeyBox(int height) const;

  int ClientHeight() const;
  void SetDragCursor();

  // Background and grid, in each area.
  void PaintGround(EditorCore::GUI_BackBuffer& buffer, int width, int height,
                   const std::vector<EditorCore::CRect>& areas) const;
  void PaintBackground(EditorCore::GUI_BackBuffer& buffer, int width, int height) const;
  void PaintGrid(EditorCore::GUI_BackBuffer& buffer, int width, int height) const;
  // The layers within the areas only (each within the image).
  void PaintAreas(EditorCore::GUI_BackBuffer& buffer, int width, int height,
                  const std::vector<EditorCore::CRect>& areas);
  void PaintCurves(EditorCore::GUI_BackBuffer& buffer, int width, int height,
                   const std::vector<EditorCore::CRect>& areas);
  // A curve to draw, in drawing order, with its pen, and once traced, its spans.
  struct Stroke {
    const EditorToolkit::Curve2* curve = nullptr;
    // Its record, which tells how the curve goes between keys.
    const CurveInfo* info = nullptr;
    EditorCore::COLORREF colour = 0;
    bool cased = false;
    CurveTrace* trace = nullptr;
    const CurveTrace::SpanList* casing = nullptr;
    const CurveTrace::SpanList* line = nullptr;
  };
  // Traces every stroke over the whole view.
  void TraceStrokes(int width, int height);
  // Draws every traced stroke into the areas, within the view's width, but those a later
  // stroke hides in a band of columns.
  void FillStrokes(EditorCore::GUI_BackBuffer& buffer, int width, const std::vector<EditorCore::CRect>& areas);
  // Marks in `hidden` the strokes that a stroke drawn after them covers in the band of columns
  // at..at + count - 1 (band number `band`): the later one spans the same rows in each of those
  // columns, so it draws over every pixel the earlier one would. Flat curves on one value, as
  // a take's scales and fixed offsets, hide each other so.
  void FindHiddenStrokes(std::size_t band, std::size_t at, int count);
  void PaintPoints(EditorCore::GUI_BackBuffer& buffer, int width, int height,
                   const std::vector<EditorCore::CRect>& areas) const;
  // The handles of the selected keys first..last of a cubic curve that shows them (KeyHandles):
  // a line from the key to each end, and a box there.
  void PaintHandles(EditorCore::GUI_BackBuffer& buffer, const CurveInfo& info, int first, int last, int height) const;
  void PaintOverlays(EditorCore::GUI_BackBuffer& buffer, int height);

  CurveSelection& curves;
  GraphEditor editor;
  std::function<EditorToolkit::Curve2*(const CurveInfo&)> writable;
  std::function<void(CurveInfo&)> takeBack;
  // The middle button is down and the rulers follow the pointer.
  bool bPanning = false;
  EditorCore::GUI_RulerCtrl* pHRuler = nullptr;
  EditorCore::GUI_RulerCtrl* pVRuler = nullptr;
  // In curve units: left/right frames, top the lowest value, bottom the highest.
  EditorCore::CRect oCurvesBounds;
  EditorCore::CRect oClientRect;
  EditorCore::GUI_BackBuffer backBuffer;
  std::vector<Stroke> strokes;
  // Each drawn curve's stroke, by record, for the layers drawn over the curves.
  std::unordered_map<const CurveInfo*, const Stroke*> strokeOf;
  // Per stroke, whether a later one hides it in the band being drawn.
  std::vector<char> hidden;
  // The rows a band's strokes reach, the latest stroke with each, looked up by the rows.
  struct BandRows {
    std::uint64_t rows = 0;
    std::uint32_t stroke = 0;
    std::uint32_t generation = 0;
  };
  std::vector<BandRows> bandRows;
  std::uint32_t bandGeneration = 0;
  // Kept from paint to paint for the curves drawn.
  std::unordered_map<const EditorToolkit::Curve2*, CurveTrace> traces;
  // Key moves since the last paint, per curve, merged while they follow each other.
  std::unordered_map<const EditorToolkit::Curve2*, CurveTrace::KeyEdit> keyEdits;
  // The key menu while it is open.
  std::unique_ptr<EditorCore::GUI_Menu> keyMenu;
  // What the back buffer of the last PaintChanges shows.
  Picture painted;
  // Closed outline of the rubber band, rebuilt at each paint.
  std::array<EditorCore::CPoint, 5> aRubberBandOutline{};
};

}  // namespace Tarvel
