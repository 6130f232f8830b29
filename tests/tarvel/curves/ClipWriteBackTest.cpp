#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "ClipBuilder.h"
#include "ClipKeys.h"
#include "EngineCore/AnimTrack.h"
#include "curves/ClipWriteBack.h"
#include "curves/CurveDelta.h"
#include "curves/CurveSet.h"
#include "resources/ModuleIds.h"

using EngineCore::AnimCurve;
using EngineCore::AnimTrack;
using EngineCore::Vector3;
using Tarvel::ClipWriteBack;
using Tarvel::CurveInfo;
using Tarvel::CurveSet;

namespace {

// A channel with one track whose three curves the test fills point by point.
class WriteBack : public ::testing::Test {
 protected:
  void MakeTrack(std::uint32_t type) {
    type_ = type;
    const std::uint32_t keyType = type == AnimTrack::Rotation ? AnimCurve::KeyQuaternion : AnimCurve::KeyVector3;
    builder.Track("Bone", type, keyType);
    const CurveSet::Curves& loaded = curves.LoadChannel(ClipBuilder::Key("Bone"), builder.Channel("Bone"));
    ASSERT_EQ(loaded.size(), 3u);
    triple.clear();
    for (const auto& curve : loaded) triple.push_back(curve.get());
  }
  void Add(int component, float x, float y) { triple[component]->pCurve->AddPoint({x, y}, false); }
  AnimCurve& Keys() { return *builder.Channel("Bone").GetCurve(type_); }
  bool Write() { return ClipWriteBack::WriteBackChannel(builder.Clip(), curves, ClipBuilder::Key("Bone")); }
  std::vector<std::uint32_t> Frames() {
    std::vector<std::uint32_t> frames;
    for (std::uint32_t i = 0; i < Keys().GetKeyCount(); ++i) frames.push_back(Keys().GetKeyFrame(i));
    return frames;
  }

  ClipBuilder builder;
  CurveSet curves;
  std::vector<CurveInfo*> triple;
  std::uint32_t type_ = AnimTrack::Translation;
};

}  // namespace

TEST_F(WriteBack, EmptyCurvesLeaveNoKeysAndConstantOnesEveryKeyShown) {
  builder.Vectors("Bone", AnimTrack::Translation, {{0, {1, 1, 1}}});
  MakeTrack(AnimTrack::Translation);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Keys().GetKeyCount(), 1u) << "a pose written back keeps its key";
  for (const auto* curve : triple) curve->pCurve->RemoveAllPoints();
  ASSERT_TRUE(Write());
  EXPECT_EQ(Keys().GetKeyCount(), 0u);
  EXPECT_TRUE(builder.Clip().IsModified());
  for (int c = 0; c < 3; ++c) {
    for (int x = 0; x <= 100; x += 10) Add(c, static_cast<float>(x), 2.0f + c);
  }
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}))
      << "every key the graph shows is kept, even on a straight line";
  EXPECT_EQ(Keys().GetVector3Key(1), Vector3(2, 3, 4));
}

TEST_F(WriteBack, ARampKeepsItsEndsAndABendTheKeyWhereTheSlopeChanges) {
  MakeTrack(AnimTrack::Translation);
  Add(0, 0, 0);
  Add(0, 10, 10);
  Add(1, 0, 5);
  Add(2, 0, 7);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 10}));
  EXPECT_EQ(Keys().GetVector3Key(1), Vector3(10, 5, 7));
  Add(0, 20, 10);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 10, 20}));
}

TEST_F(WriteBack, FractionalStartIsSampledUnroundedAndTruncated) {
  MakeTrack(AnimTrack::Translation);
  Add(0, 7.9f, 0);
  Add(0, 9.9f, 1);
  Add(0, 10.9f, 5);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{7, 9, 10}));
}

TEST_F(WriteBack, TripleIsSampledOverTheUnionOfItsCurves) {
  MakeTrack(AnimTrack::Translation);
  Add(0, 5, 1);
  Add(0, 20, 4);
  Add(1, 0, 0);
  Add(1, 10, 10);
  ASSERT_TRUE(Write());
  ASSERT_GE(Keys().GetKeyCount(), 2u);
  EXPECT_EQ(Keys().GetKeyFrame(0), 0u);
  EXPECT_EQ(Keys().GetKeyFrame(Keys().GetKeyCount() - 1), 20u);
  EXPECT_FLOAT_EQ(Keys().GetVector3Key(0).x, 1.0f) << "X holds its first value before its points";
  EXPECT_FLOAT_EQ(Keys().GetVector3Key(Keys().GetKeyCount() - 1).y, 10.0f) << "Y holds its last value";
}

TEST_F(WriteBack, AComponentWithoutPointsContributesOneToScalesAndZeroElsewhere) {
  MakeTrack(AnimTrack::Scale);
  Add(0, 0, 2);
  Add(0, 4, 3);
  ASSERT_TRUE(Write());
  ASSERT_EQ(Keys().GetKeyCount(), 2u);
  EXPECT_EQ(Keys().GetVector3Key(0), Vector3(2, 1, 1));
  builder.Channel("Bone").RemoveTrack(AnimTrack::Scale);
  MakeTrack(AnimTrack::Translation);
  Add(2, 0, 2);
  Add(2, 4, 3);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Keys().GetVector3Key(0), Vector3(0, 0, 2));
}

TEST_F(WriteBack, RotationDegreesBecomeContinuousQuaternionsOfTheirRadians) {
  MakeTrack(AnimTrack::Rotation);
  Add(0, 0, 90);
  Add(0, 10, 90);
  Add(1, 0, 0);
  Add(2, 0, 0);
  ASSERT_TRUE(Write());
  ASSERT_EQ(Keys().GetKeyCount(), 2u);
  const EngineCore::Quaternion expected = EngineCore::Quaternion::FromAngles(static_cast<float>(M_PI / 2), 0, 0);
  EXPECT_NEAR(std::abs(Keys().GetQuaternionKey(0).Dot(expected)), 1.0f, 1e-6f);
  // 170 to 190 degrees crosses the point where the quaternion's sign would flip.
  triple[0]->pCurve->RemoveAllPoints();
  Add(0, 0, 170);
  Add(0, 1, 190);
  Add(0, 2, 250);
  ASSERT_TRUE(Write());
  ASSERT_EQ(Keys().GetKeyCount(), 3u);
  for (std::uint32_t i = 1; i < 3; ++i) EXPECT_GE(Keys().GetQuaternionKey(i).Dot(Keys().GetQuaternionKey(i - 1)), 0.0f);
}

TEST_F(WriteBack, CurvesWithAPointOnEveryFrameKeyEveryFrameWithTheirPointsValues) {
  for (const std::uint32_t type : {AnimTrack::Translation, AnimTrack::Rotation}) {
    SCOPED_TRACE(type);
    MakeTrack(type);
    // A straight run on X, which between points would collapse to its ends.
    for (int f = 3; f <= 40; ++f) {
      Add(0, static_cast<float>(f), static_cast<float>(f) * 2.0f);
      Add(1, static_cast<float>(f), std::sin(static_cast<float>(f)) * 30.0f);
      Add(2, static_cast<float>(f), -5.0f);
    }
    ASSERT_TRUE(Write());
    ASSERT_EQ(Keys().GetKeyCount(), 38u);
    for (std::uint32_t i = 0; i < 38; ++i) {
      const float f = static_cast<float>(i + 3);
      const float values[3] = {f * 2.0f, std::sin(f) * 30.0f, -5.0f};
      EXPECT_EQ(Keys().GetKeyFrame(i), i + 3);
      if (type == AnimTrack::Rotation) {
        const float r = Tarvel::Ids::kRadiansPerDegree;
        EXPECT_EQ(Keys().GetQuaternionKey(i),
                  EngineCore::Quaternion::FromAngles(values[0] * r, values[1] * r, values[2] * r));
      } else {
        EXPECT_EQ(Keys().GetVector3Key(i), Vector3(values[0], values[1], values[2]));
      }
    }
    // Without the point of frame 20 on Y, frames 19 to 21 of Y are a straight line: frame 20
    // is still keyed, for the points X and Z have there.
    triple[1]->pCurve->RemovePointAt(17);
    ASSERT_TRUE(Write());
    ASSERT_EQ(Keys().GetKeyCount(), 38u);
    builder.Channel("Bone").RemoveTrack(type);
  }
}

TEST_F(WriteBack, UnknownChannelsChangeNothingBareOnesOnlyTheFlagAndLoadedKeysComeBackUnchanged) {
  MakeTrack(AnimTrack::Translation);
  EXPECT_FALSE(ClipWriteBack::WriteBackChannel(builder.Clip(), curves, 12345));
  EXPECT_FALSE(builder.Clip().IsModified());
  builder.Channel("Empty");
  curves.LoadChannel(ClipBuilder::Key("Empty"), builder.Channel("Empty"));
  EXPECT_TRUE(ClipWriteBack::WriteBackChannel(builder.Clip(), curves, ClipBuilder::Key("Empty")));
  EXPECT_TRUE(builder.Clip().IsModified());
  builder.Vectors("Bone", AnimTrack::Translation, {{0, {0, 0, 0}}, {5, {1, 2, 3}}, {7, {1, 2, 3}}, {12, {-4, 0, 9}}});
  MakeTrack(AnimTrack::Translation);
  ASSERT_TRUE(Write());
  EXPECT_EQ(Frames(), (std::vector<std::uint32_t>{0, 5, 7, 12}));
  EXPECT_EQ(Keys().GetVector3Key(3), Vector3(-4, 0, 9));
}

TEST(WriteBackChannels, ManyChannelsTogetherGiveTheKeysOfOneAtATimeAndMarkTheClipOnce) {
  // Two equal clips of channels of unequal lengths; their curves are moved, then written back
  // together or one channel at a time.
  ClipBuilder together;
  ClipBuilder alone;
  std::vector<std::uint32_t> keys;
  for (int c = 0; c < 9; ++c) {
    const std::string name = "Bone" + std::to_string(c);
    for (ClipBuilder* builder : {&together, &alone}) {
      AnimCurve& turns = builder->Track(name.c_str(), AnimTrack::Rotation);
      AnimCurve& moves = builder->Track(name.c_str(), AnimTrack::Translation);
      for (std::uint32_t f = 0; f < 400u + 300u * static_cast<std::uint32_t>(c); ++f) {
        const float t = static_cast<float>(f) * 0.05f + static_cast<float>(c);
        ASSERT_TRUE(turns.AddKey(f, EngineCore::Quaternion::FromAngles(std::sin(t), std::cos(t), t * 0.1f)));
        ASSERT_TRUE(moves.AddKey(f, Vector3(t, -t, static_cast<float>(c))));
      }
    }
    keys.push_back(ClipBuilder::Key(name.c_str()));
  }
  CurveSet togetherCurves;
  CurveSet aloneCurves;
  for (const std::uint32_t key : keys) {
    for (auto [builder, set] : {std::pair{&together, &togetherCurves}, std::pair{&alone, &aloneCurves}}) {
      for (const auto& curve : set->LoadChannel(key, *builder->Clip().GetChannel(key))) {
        curve->pCurve->ForEachPoint(0, curve->pCurve->GetPointCount(), [](auto& point) { point.y += 2.5f; });
      }
    }
  }
  EXPECT_FALSE(together.Clip().IsModified());
  EXPECT_EQ(ClipWriteBack::WriteBackChannels(together.Clip(), togetherCurves, keys), keys.size());
  EXPECT_TRUE(together.Clip().IsModified());
  for (const std::uint32_t key : keys) ASSERT_TRUE(ClipWriteBack::WriteBackChannel(alone.Clip(), aloneCurves, key));
  EXPECT_EQ(TestSupport::DescribeKeys(together.Clip()), TestSupport::DescribeKeys(alone.Clip()));
  EXPECT_NEAR(together.Clip().GetChannel(keys[3])->GetCurve(AnimTrack::Translation)->GetVector3Key(10).z, 5.5f, 1e-5f)
      << "the moved values reached the clip";
}

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

// Two equal clips with their curves: one gets the changes of its curves written back by their
// frames, the other written back whole. Channel Dense has a key on every frame (a rotation
// that turns round twice, so that its quaternions change sign, and a translation); channel
// Sparse has keys every few frames on straight runs, so that the write-back drops samples.
class WriteBackOfChanges : public ::testing::Test {
 protected:
  void SetUp() override {
    for (ClipBuilder* builder : {&changed, &whole}) {
      AnimCurve& turns = builder->Track("Dense", AnimTrack::Rotation);
      AnimCurve& moves = builder->Track("Dense", AnimTrack::Translation);
      for (std::uint32_t f = 0; f < 400; ++f) {
        const float t = static_cast<float>(f);
        ASSERT_TRUE(turns.AddKey(f, EngineCore::Quaternion::FromAngles(t * 0.0314f, std::sin(t * 0.02f), 0.3f)));
        ASSERT_TRUE(moves.AddKey(f, Vector3(std::sin(t * 0.05f), t * 0.1f, 2.0f)));
      }
      AnimCurve& sparse = builder->Track("Sparse", AnimTrack::Translation);
      for (std::uint32_t f = 0; f <= 300; f += 6) {
        const float t = static_cast<float>(f);
        ASSERT_TRUE(sparse.AddKey(f, Vector3(f % 30 == 0 ? 1.0f : t * 0.01f, 0.0f, -t)));
      }
    }
    for (const char* name : {"Dense", "Sparse"}) {
      changedCurves.LoadChannel(ClipBuilder::Key(name), changed.Channel(name));
      wholeCurves.LoadChannel(ClipBuilder::Key(name), whole.Channel(name));
      // The tracks then hold what the write-back makes of the curves.
      ASSERT_TRUE(ClipWriteBack::WriteBackChannel(changed.Clip(), changedCurves, ClipBuilder::Key(name)));
      ASSERT_TRUE(ClipWriteBack::WriteBackChannel(whole.Clip(), wholeCurves, ClipBuilder::Key(name)));
    }
    ASSERT_EQ(TestSupport::DescribeKeys(changed.Clip()), TestSupport::DescribeKeys(whole.Clip()));
  }

  static EditorToolkit::Curve2& CurveOf(CurveSet& set, const char* channel, std::uint32_t track, int component) {
    for (const auto& curve : *set.GetChannelCurves(ClipBuilder::Key(channel))) {
      if (curve->iTrackType == track && curve->iComponent == static_cast<std::uint32_t>(component)) {
        return *curve->pCurve;
      }
    }
    throw std::logic_error("no such curve");
  }

  // Makes the same edit on a curve of both sets, then writes it back into both clips: by its
  // frames into one, whole into the other.
  template <typename Edit>
  void EditAndWrite(const char* channel, std::uint32_t track, int component, Edit edit) {
    EditorToolkit::Curve2& curve = CurveOf(changedCurves, channel, track, component);
    const EditorToolkit::Curve2::PointList before = curve.GetCurve();
    edit(curve);
    edit(CurveOf(wholeCurves, channel, track, component));
    Tarvel::CurveDelta delta;
    ClipWriteBack::TrackChange change{track, -kInfinity, kInfinity};
    if (delta.Take(before, curve)) delta.GetChangedFrames(curve, change.from, change.to);
    ASSERT_TRUE(ClipWriteBack::WriteBackChanges(changed.Clip(), changedCurves, ClipBuilder::Key(channel), {change}));
    ASSERT_TRUE(ClipWriteBack::WriteBackChannel(whole.Clip(), wholeCurves, ClipBuilder::Key(channel)));
  }

  ClipBuilder changed;
  ClipBuilder whole;
  CurveSet changedCurves;
  CurveSet wholeCurves;
};

// Key `index` of a track replaced by value, the others kept: keys the write-back would not
// make, to see which ones a write-back leaves.
void MarkKey(AnimCurve& keys, std::uint32_t index, const Vector3& value) {
  const std::vector<std::uint32_t> frames = keys.GetFrames();
  std::vector<Vector3> values = keys.GetVector3Keys();
  values[index] = value;
  keys.Empty();
  for (std::size_t i = 0; i < frames.size(); ++i) ASSERT_TRUE(keys.AddKey(frames[i], values[i]));
}

}  // namespace

TEST_F(WriteBackOfChanges, AChangeInTheMiddleOfATrackWritesOnlyTheKeysAroundIt) {
  AnimCurve& keys = *changed.Channel("Dense").GetCurve(AnimTrack::Translation);
  const Vector3 mark(123.0f, 456.0f, 789.0f);
  MarkKey(keys, 20, mark);
  MarkKey(keys, 380, mark);
  EditAndWrite("Dense", AnimTrack::Translation, 1, [](EditorToolkit::Curve2& curve) {
    curve.ForEachPoint(200, 210, [](EditorToolkit::EditablePoint& point) { point.y += 3.0f; });
  });
  EXPECT_EQ(keys.GetVector3Key(20), mark) << "a key far before the change stays as it was";
  EXPECT_EQ(keys.GetVector3Key(380), mark) << "a key far after the change stays as it was";
  EXPECT_FLOAT_EQ(keys.GetVector3Key(205).y, 20.5f + 3.0f) << "the changed frames got their keys again";
  // Changes that reach the first or the last key write the track whole.
  EditAndWrite("Dense", AnimTrack::Translation, 0,
               [](EditorToolkit::Curve2& curve) { curve.GetPointAt(399)->y = 7.0f; });
  EXPECT_EQ(TestSupport::DescribeKeys(changed.Clip()), TestSupport::DescribeKeys(whole.Clip()));
}

TEST_F(WriteBackOfChanges, ChangesWrittenByTheirFramesGiveTheKeysOfAWholeWriteBack) {
  std::mt19937 random(20261207);
  auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
  struct Track {
    const char* channel;
    std::uint32_t type;
  };
  const Track tracks[] = {
      {"Dense", AnimTrack::Rotation}, {"Dense", AnimTrack::Translation}, {"Sparse", AnimTrack::Translation}};
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    const Track& track = tracks[pick(0, 2)];
    const int component = pick(0, 2);
    const int kind = pick(0, 4);
    const std::uint32_t count = CurveOf(changedCurves, track.channel, track.type, component).GetPointCount();
    if (count < 4) continue;
    const std::uint32_t first = static_cast<std::uint32_t>(pick(0, static_cast<int>(count) - 1));
    const std::uint32_t last = std::min(count - 1, first + static_cast<std::uint32_t>(pick(0, 30)));
    // Values moved (by half a turn or more now and then, which flips the quaternions' signs), a run
    // of points put on a straight line, a point removed, a point added between frames or on
    // one, and a block of points moved to other frames.
    const float turns[] = {360.0f, 180.0f, -200.0f, 270.0f};
    const float shift = pick(0, 3) == 0 ? turns[pick(0, 3)] : static_cast<float>(pick(-40, 40)) * 0.25f;
    const float frame = static_cast<float>(pick(0, 420)) + (pick(0, 1) ? 0.5f : 0.0f);
    const float along = static_cast<float>(pick(-3, 3));
    EditAndWrite(track.channel, track.type, component, [&](EditorToolkit::Curve2& curve) {
      switch (kind) {
        case 0: curve.ForEachPoint(first, last, [shift](EditorToolkit::EditablePoint& p) { p.y += shift; }); break;
        case 1: {
          const float y = curve.GetPointAt(first)->y;
          curve.ForEachPoint(first, last, [y](EditorToolkit::EditablePoint& p) { p.y = y; });
          break;
        }
        case 2: curve.RemovePointAt(first); break;
        case 3: curve.AddPoint({frame, shift}, false); break;
        default:
          if (first > 0 && last + 1 < count && curve.GetPointAt(first - 1)->x < curve.GetPointAt(first)->x + along &&
              curve.GetPointAt(last)->x + along < curve.GetPointAt(last + 1)->x) {
            curve.MovePointsAt(first, last, along);
          }
          break;
      }
    });
    ASSERT_EQ(TestSupport::DescribeKeys(changed.Clip()), TestSupport::DescribeKeys(whole.Clip()));
  }
}
