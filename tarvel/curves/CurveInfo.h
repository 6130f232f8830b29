#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "EditorToolkit/Curve2.h"
#include "EngineCore/RingQueue.h"
#include "EngineCore/String.h"
#include "curves/CurveBackup.h"

namespace Tarvel {

// One displayed curve: a keyed component (X, Y or Z) of one track of one channel of the
// page's clip. Only the curve set creates and destroys these records; the lists, the graph
// and the undo history hold plain pointers to them.
class CurveInfo {
 public:
  enum TrackType : std::uint32_t { Translation = 1, Rotation = 2, Scale = 3 };
  enum Component : std::uint32_t { X = 0, Y = 1, Z = 2 };
  static constexpr std::size_t kBackupCapacity = 2000;

  CurveInfo(std::uint32_t channelKey, std::uint32_t trackType, std::uint32_t component);
  ~CurveInfo();
  CurveInfo(const CurveInfo&) = delete;
  CurveInfo& operator=(const CurveInfo&) = delete;

  // Pushes a backup of the points (a point drag is about to move them). With bOnlyIfSelected
  // an unselected curve only makes room in a full ring. Backups left over from taken-back
  // drags (step >= iCurrentUndo) are dropped first.
  void Backup(bool bOnlyIfSelected, const EngineCore::String& label);
  // Puts the newest reachable backup back into the curve (the drag is taken back). It does
  // not write the channel back and records nothing in the clip's undo history.
  void RestorePrevious();
  // Frees every backup's points; the counters stay. A drag that ended can no longer be taken
  // back, and on a long take each frame drag's backup of the selection holds megabytes.
  void ForgetBackups() { qBackUps.Clear(); }

  std::unique_ptr<EditorToolkit::Curve2> pCurve;
  // The X, Y and Z curves of its track, itself among them; set by the curve set, which
  // creates and destroys the three together.
  std::array<const CurveInfo*, 3> track{};
  std::uint32_t iChannelKey;
  std::uint32_t iTrackType;
  std::uint32_t iComponent;
  // The curve holds the point selection: tools and undo act on selected curves only.
  bool bSelected = false;
  // Hidden by the page's track-kind and component filter boxes.
  bool bFiltered = false;
  // Per-curve backups, newest at the front.
  EngineCore::RingQueue<std::unique_ptr<CurveBackup>> qBackUps{kBackupCapacity};
  // Backups minus restores.
  std::uint32_t iCurrentUndo = 0;
  // Diagnostic counter: +1 per backup, -1 per restore.
  std::uint32_t ilBackUpCount = 0;
};

}  // namespace Tarvel
