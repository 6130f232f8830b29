#include "curves/CurveInfo.h"

#include <cstdio>

namespace Tarvel {

CurveInfo::CurveInfo(std::uint32_t channelKey, std::uint32_t trackType, std::uint32_t component)
    : pCurve(std::make_unique<EditorToolkit::Curve2>()),
      iChannelKey(channelKey),
      iTrackType(trackType),
      iComponent(component) {}

CurveInfo::~CurveInfo() {
  // The curve goes first, then the backups with their copied points.
  pCurve.reset();
  qBackUps.Clear();
}

void CurveInfo::Backup(bool bOnlyIfSelected, const EngineCore::String& label) {
  if (qBackUps.IsFull()) qBackUps.PopBack();
  if (bOnlyIfSelected && !bSelected) return;
  const std::uint32_t current = iCurrentUndo;
  qBackUps.RemoveIf([current](const std::unique_ptr<CurveBackup>& b) { return b->step >= current; });

  auto backup = std::make_unique<CurveBackup>();
  backup->label = label;
  backup->step = iCurrentUndo;
  backup->owner = this;
  backup->points = pCurve->GetCurve();
  qBackUps.PushFront(std::move(backup));
  ++ilBackUpCount;
  ++iCurrentUndo;
  std::printf("CurveInfo::Backup[%d] [ilBackUpCount %d, iCurrentUndo %d (%s)]\n", static_cast<int>(iComponent),
              static_cast<int>(ilBackUpCount), static_cast<int>(iCurrentUndo), label.c_str());
}

void CurveInfo::RestorePrevious() {
  if (qBackUps.IsEmpty() || iCurrentUndo == 0) return;
  for (std::size_t i = 0; i < qBackUps.GetCount(); ++i) {
    const CurveBackup& backup = *qBackUps[i];
    if (backup.step != iCurrentUndo - 1) continue;
    pCurve->SetCurve(backup.points);
    --ilBackUpCount;
    std::printf("CurveInfo::RestorePrevious[%d] [ilBackUpCount %d, iCurrentUndo %d (%s)]\n",
                static_cast<int>(iComponent), static_cast<int>(ilBackUpCount), static_cast<int>(iCurrentUndo),
                backup.label.c_str());
    break;
  }
  --iCurrentUndo;
}

}  // namespace Tarvel
