#include "graph/CurveTrace.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>

#include "EngineCore/Math.h"
#include "curves/CurveEvaluation.h"

namespace Tarvel {

namespace {

// Positions in 1/256 of a pixel as integers: the trace keeps the lowest and highest of them
// at every key, which integers do without branches.
constexpr double kSubpixels = 256.0;
// Farther than any view reaches, in pixels; traced heights are kept within kFarHeight so
// that kNothing stays beyond them.
constexpr double kFar = 1.0e9;
constexpr int kFarHeight = 1'000'000;
constexpr int kNothing = 100'000'000;
// Keys closer than this many columns are followed through the middle of their span (and a
// spline's turning points) only.
constexpr double kFewColumns = 4.0;

std::int64_t Fixed(double position) {
  // Written as the processor's min and max take them, without branches.
  const double above = position > -kFar ? position : -kFar;
  return static_cast<std::int64_t>((above < kFar ? above : kFar) * kSubpixels);
}

int HeightOf(std::int64_t fixed) {
  return static_cast<int>(std::clamp<std::int64_t>((fixed + 128) >> 8, -kFarHeight, kFarHeight));
}

int ColumnOf(std::int64_t fixed) { return static_cast<int>((fixed + 128) >> 8); }

// The spline between two keys in pixels: heights h0 and h1 at its ends, d0 and d1 its slopes
// there in pixels over the whole span (s from 0 to 1).
class PixelSpline {
 public:
  PixelSpline(double h0, double d0, double h1, double d1) : h0_(h0), d0_(d0), h1_(h1), d1_(d1) {}

  double At(double s) const {
    // The slopes are over the whole span already: an interval of one.
    return EngineCore::Math::EvaluateHermite(h0_, d0_, h1_, d1_, 1.0, std::clamp(s, 0.0, 1.0));
  }

  // Where strictly inside the span its slope is zero (s, rising); how many.
  int Turns(double at[2]) const {
    // The slope is a quadratic whose Bernstein coefficients are d0, 3 (h1 - h0) - d0 - d1 and
    // d1: when none of the three has the other's sign it has no zero inside, as most spans of a
    // take, unless all are zero and the span is flat, where no point turns either. Keys at an
    // extreme have flat tangents, so zeros are common.
    const double middle = 3 * (h1_ - h0_) - d0_ - d1_;
    const bool rising = (d0_ >= 0) & (middle >= 0) & (d1_ >= 0);
    const bool falling = (d0_ <= 0) & (middle <= 0) & (d1_ <= 0);
    if (rising | falling) return 0;
    // The slope over s is a s^2 + b s + c.
    const double a = 6 * h0_ + 3 * d0_ - 6 * h1_ + 3 * d1_;
    const double b = -6 * h0_ - 4 * d0_ + 6 * h1_ - 2 * d1_;
    const double c = d0_;
    if (std::abs(a) < 1e-12) {
      if (std::abs(b) <= 1e-12) return 0;
      at[0] = -c / b;
      return at[0] > 0.0 && at[0] < 1.0 ? 1 : 0;
    }
    // Noisy slopes turn often and unpredictably: the roots are sorted and counted without
    // branches.
    const double discriminant = b * b - 4 * a * c;
    const double root = std::sqrt(std::max(discriminant, 0.0));
    const double half = 0.5 / a;
    const double one = (-b - root) * half;
    const double other = (-b + root) * half;
    const double low = std::min(one, other);
    const double high = std::max(one, other);
    const bool real = discriminant >= 0.0;
    const bool lowInside = real & (low > 0.0) & (low < 1.0);
    const bool highInside = real & (high > 0.0) & (high < 1.0);
    at[0] = lowInside ? low : high;
    at[1] = high;
    return static_cast<int>(lowInside) + static_cast<int>(highInside);
  }

 private:
  double h0_;
  double d0_;
  double h1_;
  double d1_;
};

}  // namespace

CurveTrace::Shapers CurveTrace::ShapedBy(const EditorToolkit::Curve2& curve, const CurveInfo* played) {
  if (!played || !CurveEvaluation::FollowsTrack(*played)) return {&curve, nullptr, nullptr};
  // A bending curve's shape follows its siblings' keys too.
  Shapers shapers{};
  for (std::size_t c = 0; c < shapers.size(); ++c)
    shapers[c] = played->track[c] ? played->track[c]->pCurve.get() : nullptr;
  return shapers;
}

void CurveTrace::ReachTrackKeys(const Shapers& shapers, float& firstFrame, float& lastFrame) {
  if (!shapers[1]) return;
  // A bending curve changes up to its track's keys around the edited frames, which may be a
  // sibling's where the edited axis has none (past its last key, say).
  float previous = firstFrame;
  float next = lastFrame;
  for (const EditorToolkit::Curve2* axis : shapers) {
    if (!axis || axis->GetPointCount() == 0) continue;
    const int before = axis->SearchPreviousPoint(std::nextafter(firstFrame, -INFINITY));
    const float beforeFrame = axis->GetPointAt(static_cast<std::uint32_t>(before))->x;
    if (beforeFrame < firstFrame) previous = previous == firstFrame ? beforeFrame : std::max(previous, beforeFrame);
    auto after = static_cast<std::uint32_t>(axis->SearchPreviousPoint(lastFrame));
    if (axis->GetPointAt(after)->x <= lastFrame) ++after;
    if (after < axis->GetPointCount()) {
      const float afterFrame = axis->GetPointAt(after)->x;
      next = next == lastFrame ? afterFrame : std::min(next, afterFrame);
    }
  }
  firstFrame = previous;
  lastFrame = next;
}

CurveTrace::Revisions CurveTrace::RevisionsOf(const Shapers& shapers) {
  Revisions revisions{};
  for (std::size_t c = 0; c < shapers.size(); ++c) revisions[c] = shapers[c] ? shapers[c]->GetRevision() : 0;
  return revisions;
}

bool CurveTrace::Trace(const EditorToolkit::Curve2& curve, const PixelMap& frames, const PixelMap& values,
                       int firstColumn, int endColumn, const KeyEdit* edit, const CurveInfo* playedBy) {
  return Trace(curve, frames, values, firstColumn, endColumn, Edits{edit, nullptr, nullptr}, playedBy);
}

bool CurveTrace::Trace(const EditorToolkit::Curve2& curve, const PixelMap& frames, const PixelMap& values,
                       int firstColumn, int endColumn, const Edits& edits, const CurveInfo* playedBy) {
  const int end = std::max(firstColumn, endColumn);
  const bool sameView = frames == frameMap && values == valueMap && firstColumn == from && end == to;
  const bool sameCurve = curve.GetId() == curveId;
  played = playedBy;
  const Shapers shapers = ShapedBy(curve, played);
  const Revisions now = RevisionsOf(shapers);
  if (sameView && sameCurve && now == revisions) return reachedFirst <= reachedLast;
  const int first = firstColumn - kMargin;
  const int last = end - 1 + kMargin;
  // Whether every change since the trace is told by an edit, and the frames they changed.
  bool told = sameView && sameCurve;
  float firstFrame = std::numeric_limits<float>::infinity();
  float lastFrame = -std::numeric_limits<float>::infinity();
  for (std::size_t c = 0; c < now.size() && told; ++c) {
    if (now[c] == revisions[c]) continue;
    const KeyEdit* edit = edits[c];
    told = edit && shapers[c] && edit->curveId == shapers[c]->GetId() && edit->before == revisions[c] &&
           edit->after == now[c];
    if (!told) break;
    firstFrame = std::min(firstFrame, edit->firstFrame);
    lastFrame = std::max(lastFrame, edit->lastFrame);
  }
  if (told) ReachTrackKeys(shapers, firstFrame, lastFrame);
  if (told) {
    // Only the edited frames' columns change: they are emptied and traced again, so that a
    // column the curve's first or last key has left holds nothing.
    const int low = std::max(first, frames.Pixel(firstFrame));
    const int high = std::min(last, frames.Pixel(lastFrame));
    if (low <= high) {
      const auto slot = static_cast<std::ptrdiff_t>(low - first);
      std::fill(lows.begin() + slot, lows.begin() + slot + (high - low + 1), kNothing);
      std::fill(highs.begin() + slot, highs.begin() + slot + (high - low + 1), -kNothing);
      TraceColumns(curve, low, high);
      const int reachFirst = reachedFirst;
      const int reachLast = reachedLast;
      FindReach();
      for (SpanList& spans : pens) {
        spans.valid = spans.valid && reachFirst == reachedFirst && reachLast == reachedLast;
        spans.dirtyFirst = spans.dirtyFirst <= spans.dirtyLast ? std::min(spans.dirtyFirst, low) : low;
        spans.dirtyLast = std::max(spans.dirtyLast, high);
      }
    }
    revisions = now;
    return reachedFirst <= reachedLast;
  }
  from = firstColumn;
  to = end;
  frameMap = frames;
  valueMap = values;
  curveId = curve.GetId();
  revisions = now;
  lows.assign(static_cast<std::size_t>(last - first) + 1, kNothing);
  highs.assign(static_cast<std::size_t>(last - first) + 1, -kNothing);
  for (SpanList& spans : pens) spans.valid = false;
  TraceColumns(curve, first, last);
  FindReach();
  return reachedFirst <= reachedLast;
}

void CurveTrace::FindReach() {
  const int origin = from - kMargin;
  const int slots = static_cast<int>(lows.size());
  int first = 0;
  while (first < slots && lows[static_cast<std::size_t>(first)] == kNothing) ++first;
  int last = slots - 1;
  while (last >= first && lows[static_cast<std::size_t>(last)] == kNothing) --last;
  reachedFirst = first < slots ? origin + first : 0;
  reachedLast = first < slots ? origin + last : -1;
}

void CurveTrace::TraceColumns(const EditorToolkit::Curve2& curve, int first, int last) {
  const std::uint32_t count = curve.GetPointCount();
  if (count == 0) return;
  const int origin = from - kMargin;
  // From the key at or before the first column's left border to the one after the last
  // column's right border.
  const std::uint32_t begin = static_cast<std::uint32_t>(
      std::max(0, curve.SearchPreviousPoint(static_cast<float>(frameMap.ValueAt(first - 1.0)))));
  const std::uint32_t end = std::min(
      count - 1,
      static_cast<std::uint32_t>(curve.SearchPreviousPoint(static_cast<float>(frameMap.ValueAt(last + 1.0))) + 1));
  const unsigned columns = static_cast<unsigned>(last - first);
  auto keep = [&](int column, std::int64_t lowest, std::int64_t highest) {
    if (static_cast<unsigned>(column - first) > columns) return;
    const std::size_t slot = static_cast<std::size_t>(column - origin);
    lows[slot] = HeightOf(lowest);
    highs[slot] = HeightOf(highest);
  };

  // Keys come in rising frames, so columns are finished one after the other: the column in
  // progress keeps its lowest and highest height here until the polyline leaves it.
  const EditorToolkit::EditablePoint* point = curve.GetPointAt(begin);
  std::int64_t px = Fixed(frameMap.Position(point->x));
  std::int64_t ph = Fixed(valueMap.Position(point->y));
  int current = ColumnOf(px);
  std::int64_t low = ph;
  std::int64_t high = ph;
  // The polyline goes on to (x, h).
  auto reach = [&](std::int64_t x, std::int64_t h) __attribute__((always_inline)) {
    const int c = ColumnOf(x);
    if (c == current + 1) {
      // One border crossed, the common case of dense keys: both columns take both ends of
      // the segment, which the pens' reach covers anyway.
      keep(current, std::min(low, h), std::max(high, h));
      low = std::min(ph, h);
      high = std::max(ph, h);
      current = c;
    } else if (c != current) {
      // The segment crosses the borders of the columns current..c: the columns on both sides
      // reach its height there. Of the columns before the first, only the last counts.
      const int start = std::max(current, first - 1);
      const int stop = std::min(c, last + 1);
      if (h == ph && start < stop) {
        // Flat: the columns after the first all take its one height.
        keep(start, std::min(low, h), std::max(high, h));
        const int fillFrom = std::max(start + 1, first);
        if (fillFrom < stop) {
          const auto slot = static_cast<std::ptrdiff_t>(fillFrom - origin);
          std::fill(lows.begin() + slot, lows.begin() + slot + (stop - fillFrom), HeightOf(h));
          std::fill(highs.begin() + slot, highs.begin() + slot + (stop - fillFrom), HeightOf(h));
        }
        low = high = h;
      } else {
        const double slope = static_cast<double>(h - ph) / static_cast<double>(x - px);
        for (int k = start; k < stop; ++k) {
          const std::int64_t border =
              ph + static_cast<std::int64_t>(static_cast<double>(std::int64_t{k} * 256 + 128 - px) * slope);
          keep(k, std::min(low, border), std::max(high, border));
          low = high = border;
        }
      }
      current = c;
    }
    low = std::min(low, h);
    high = std::max(high, h);
    px = x;
    ph = h;
  };
  const bool step = curve.GetInterpolation() == EditorToolkit::Curve2::Step;
  // A cubic curve follows its own spline unless its record says it follows its track.
  const bool ownSpline = curve.IsCubic() && (!played || !CurveEvaluation::FollowsTrack(*played));
  if (ownSpline || (played && !CurveEvaluation::IsStraight(*played))) {
    // A bending segment is followed every half column within the traced ones. One narrower
    // than a column is drawn straight: its ends' rows already fill the column, and a take
    // keyed on every frame then traces as fast as a straight curve.
    // Samples start a column before the traced ones, so that the first traced column meets the
    // same sample before it as when the whole curve is traced.
    const double firstPosition = first - 2.0;
    const double lastPosition = last + 1.0;
    if (ownSpline) {
      // A spline of the curve's own keys is followed in pixels, from its two keys, through the
      // columns' borders and its turning points: with the keys, they hold each column's true
      // extremes. Where keys lie fewer than kFewColumns apart, its middle and its turning points
      // are enough: the peaks stay exact and the rest of the span is within a fraction of a
      // pixel of straight.
      const double pixelsPerValue = valueMap.Position(1.0) - valueMap.Position(0.0);
      // Tangents are per second: a span of frames scales them into pixels over the span.
      const double pixelsPerValueFrame = pixelsPerValue / curve.GetFrameRate();
      double p0 = frameMap.Position(point->x);
      double h0 = valueMap.Position(point->y);
      for (std::uint32_t i = begin + 1; i <= end; ++i) {
        const EditorToolkit::EditablePoint& earlier = *curve.GetPointAt(i - 1);
        const EditorToolkit::EditablePoint& key = *curve.GetPointAt(i);
        const double p1 = frameMap.Position(key.x);
        const double h1 = valueMap.Position(key.y);
        const double width = p1 - p0;
        if (width > 0.0) {
          const double scale = (static_cast<double>(key.x) - earlier.x) * pixelsPerValueFrame;
          const PixelSpline spline(h0, scale * curve.GetTangentsAt(i - 1)->out[0], h1,
                                   scale * curve.GetTangentsAt(i)->in[0]);
          const double perPixel = 1.0 / width;
          const double start = std::max(p0, firstPosition);
          const double stop = std::min(p1, lastPosition);
          double turns[2];
          const int turnCount = spline.Turns(turns);
          int nextTurn = 0;
          auto reachTurnsBefore = [&](double position) {
            for (; nextTurn < turnCount; ++nextTurn) {
              const double turn = p0 + turns[nextTurn] * width;
              if (turn >= position) break;
              // Even outside the traced columns: the line from it reaches into them.
              reach(Fixed(turn), Fixed(spline.At(turns[nextTurn])));
            }
          };
          if (width < kFewColumns) {
            // Between keys a few columns apart its middle and its turns stand for the borders.
            const double middle = (p0 + p1) * 0.5;
            reachTurnsBefore(middle);
            if (width >= 1.0) reach(Fixed(middle), Fixed(spline.At(0.5)));
          } else {
            for (double at = std::floor(start - 0.5) + 1.5; at < stop; at += 1.0) {
              reachTurnsBefore(at);
              reach(Fixed(at), Fixed(spline.At((at - p0) * perPixel)));
            }
          }
          reachTurnsBefore(p1);
        }
        reach(Fixed(p1), Fixed(h1));
        p0 = p1;
        h0 = h1;
      }
      keep(current, low, high);
      return;
    }
    // A curve that follows its track (a rotation) takes its values from CurveEvaluation.
    CurveEvaluation::Walk walk(*played);
    const double quarterRow = 0.25 / std::abs(valueMap.Position(1.0) - valueMap.Position(0.0));
    double previousPosition = frameMap.Position(point->x);
    curve.ForEachPoint(begin + 1, end, [&](const EditorToolkit::EditablePoint& key) {
      const double keyPosition = frameMap.Position(key.x);
      const double start = std::max(previousPosition, firstPosition);
      const double stop = std::min(keyPosition, lastPosition);
      const bool wide = keyPosition - previousPosition >= 1.0;
      auto sample = [&](double position) {
        float y = 0.0f;
        if (walk.Evaluate(static_cast<float>(frameMap.ValueAt(position)), y)) {
          reach(Fixed(position), Fixed(valueMap.Position(y)));
        }
      };
      // Samples on the columns' borders. Between keys a few columns apart, where its angles
      // cost far more to find than a spline's value, a rotation bends little: its middle
      // stands for it.
      if (keyPosition - previousPosition < kFewColumns) {
        const double middle = (previousPosition + keyPosition) * 0.5;
        // Even outside the traced columns: the line from it reaches into them. Where the
        // rotation strays from the chord by less than a quarter row, the chord stands for it.
        if (wide && walk.Bends(static_cast<float>(frameMap.ValueAt(middle)), quarterRow)) sample(middle);
      } else {
        for (double at = std::floor(start - 0.5) + 1.5; at < stop; at += 1.0) sample(at);
      }
      reach(Fixed(keyPosition), Fixed(valueMap.Position(key.y)));
      previousPosition = keyPosition;
    });
    keep(current, low, high);
    return;
  }
  // Keys of one value in a row (a flat stretch, as a take's scales and fixed offsets have) give
  // what one segment from the first to the last of them gives: every column between takes
  // that height. They are walked as one.
  float lastValue = point->y;
  float flatTo = 0.0f;
  bool flat = false;
  curve.ForEachPoint(
      begin + 1, end, [&](const EditorToolkit::EditablePoint& key) __attribute__((always_inline)) {
        if (key.y == lastValue) {
          flatTo = key.x;
          flat = true;
          return;
        }
        if (flat) reach(Fixed(frameMap.Position(flatTo)), ph);
        flat = false;
        const std::int64_t x = Fixed(frameMap.Position(key.x));
        // A step holds the previous key's value up to the key.
        if (step) reach(x, ph);
        reach(x, Fixed(valueMap.Position(key.y)));
        lastValue = key.y;
      });
  if (flat) reach(Fixed(frameMap.Position(flatTo)), ph);
  keep(current, low, high);
}

const CurveTrace::SpanList& CurveTrace::Spans(int penWidth, int viewHeight) {
  const int pen = std::clamp(penWidth, 1, kWidestPen);
  SpanList* spans = &pens[0];
  for (SpanList& kept : pens) {
    if (kept.pen == pen) spans = &kept;
  }
  if (spans->pen != pen) {
    // The slot of the pen asked for longest ago goes.
    spans = &pens[nextPenSlot];
    nextPenSlot = (nextPenSlot + 1) % pens.size();
    spans->pen = pen;
    spans->valid = false;
  }
  if (!spans->valid || spans->height != viewHeight) {
    const std::size_t columns = static_cast<std::size_t>(to - from);
    const std::size_t bands = (columns + kBandColumns - 1) / kBandColumns;
    spans->tops.resize(columns);
    spans->bottoms.resize(columns);
    spans->bandTops.resize(bands);
    spans->bandBottoms.resize(bands);
    FillSpans(*spans, viewHeight, from, to);
    FindBandRows(*spans, from, to);
  } else if (spans->dirtyFirst <= spans->dirtyLast) {
    // Column c shows the columns c - after .. c + half: those that saw the edited ones.
    const int half = pen / 2;
    const int first = std::max(from, spans->dirtyFirst - half);
    const int end = std::min(to, spans->dirtyLast + (pen - half - 1) + 1);
    // Edited columns beside the view that this pen does not reach from it change nothing.
    if (first < end) {
      FillSpans(*spans, viewHeight, first, end);
      FindBandRows(*spans, first, end);
    }
  }
  spans->valid = true;
  spans->height = viewHeight;
  spans->dirtyFirst = 1;
  spans->dirtyLast = 0;
  return *spans;
}

namespace {

// The spans of a pen reaching `after` columns back and `half` forward, for count columns whose
// traced heights start at low and high.
template <int kHalf, int kAfter>
[[gnu::always_inline]] inline void PenSpans(const int* __restrict low, const int* __restrict high, int* __restrict top,
                                            int* __restrict bottom, int count, int viewHeight) {
  for (int i = 0; i < count; ++i) {
    int penLow = low[i - kAfter];
    int penHigh = high[i - kAfter];
    for (int offset = 1 - kAfter; offset <= kHalf; ++offset) {
      penLow = std::min(penLow, low[i + offset]);
      penHigh = std::max(penHigh, high[i + offset]);
    }
    top[i] = viewHeight - penHigh - kHalf;
    bottom[i] = viewHeight - penLow + kAfter;
  }
}

// The spans of a pen of width pen (1 to kWidestPen).
[[gnu::always_inline]] inline void AnyPenSpans(int pen, const int* low, const int* high, int* top, int* bottom,
                                               int count, int viewHeight) {
  switch (pen) {
    case 1: PenSpans<0, 0>(low, high, top, bottom, count, viewHeight); break;
    case 2: PenSpans<1, 0>(low, high, top, bottom, count, viewHeight); break;
    case 3: PenSpans<1, 1>(low, high, top, bottom, count, viewHeight); break;
    default: PenSpans<2, 1>(low, high, top, bottom, count, viewHeight); break;
  }
}

// The first and last row the spans of count columns reach.
[[gnu::always_inline]] inline std::pair<int, int> AnyReachedRows(const int* tops, const int* bottoms,
                                                                 std::size_t count) {
  // A column without a span has its top far below the view's rows and its bottom far above.
  int top = kNothing;
  int bottom = -kNothing;
  for (std::size_t i = 0; i < count; ++i) {
    top = std::min(top, tops[i]);
    bottom = std::max(bottom, bottoms[i]);
  }
  return {top, bottom};
}

// The same loops built for processors with eight-lane integer vectors, chosen at run time.
// The choice is made in plain code rather than by the loader, which runs before tools such as
// the thread sanitizer are ready.
__attribute__((target("avx2"))) void WidePenSpans(int pen, const int* low, const int* high, int* top, int* bottom,
                                                  int count, int viewHeight) {
  AnyPenSpans(pen, low, high, top, bottom, count, viewHeight);
}

__attribute__((target("avx2"))) std::pair<int, int> WideReachedRows(const int* tops, const int* bottoms,
                                                                    std::size_t count) {
  return AnyReachedRows(tops, bottoms, count);
}

bool HasWideVectors() {
  static const bool wide = __builtin_cpu_supports("avx2");
  return wide;
}

void MakePenSpans(int pen, const int* low, const int* high, int* top, int* bottom, int count, int viewHeight) {
  if (HasWideVectors()) {
    WidePenSpans(pen, low, high, top, bottom, count, viewHeight);
  } else {
    AnyPenSpans(pen, low, high, top, bottom, count, viewHeight);
  }
}

std::pair<int, int> ReachedRows(const int* tops, const int* bottoms, std::size_t count) {
  return HasWideVectors() ? WideReachedRows(tops, bottoms, count) : AnyReachedRows(tops, bottoms, count);
}

}  // namespace

void CurveTrace::FillSpans(SpanList& spans, int viewHeight, int first, int end) const {
  // The pen reaches sideways only between the curve's ends, as along a flat line.
  const int reachBegin = std::clamp(reachedFirst, first, end);
  const int reachEnd = std::clamp(reachedLast + 1, reachBegin, end);
  // Columns without a span lie far above and below the view, as those the pen does not reach.
  auto clear = [&spans, this](int begin, int stop) {
    std::fill(spans.tops.begin() + (begin - from), spans.tops.begin() + (stop - from), kNothing);
    std::fill(spans.bottoms.begin() + (begin - from), spans.bottoms.begin() + (stop - from), -kNothing);
  };
  clear(first, reachBegin);
  clear(reachEnd, end);
  const std::size_t at = static_cast<std::size_t>(reachBegin - from);
  const int* low = lows.data() + kMargin + at;
  const int* high = highs.data() + kMargin + at;
  int* top = spans.tops.data() + at;
  int* bottom = spans.bottoms.data() + at;
  MakePenSpans(spans.pen, low, high, top, bottom, reachEnd - reachBegin, viewHeight);
}

void CurveTrace::FindBandRows(SpanList& spans, int first, int end) const {
  if (first >= end) return;
  const std::size_t columns = spans.tops.size();
  for (std::size_t band = static_cast<std::size_t>(first - from) / kBandColumns;
       band * kBandColumns < static_cast<std::size_t>(end - from); ++band) {
    const std::size_t start = band * kBandColumns;
    const auto [top, bottom] = ReachedRows(spans.tops.data() + start, spans.bottoms.data() + start,
                                           std::min<std::size_t>(columns - start, kBandColumns));
    spans.bandTops[band] = top;
    spans.bandBottoms[band] = bottom;
  }
}

}  // namespace Tarvel
