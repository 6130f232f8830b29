#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CurveWriter.h"
#include "curves/CurveInfo.h"
#include "curves/CurveSelection.h"

// Curves made for a test and shown in a selection, as a page shows its channels' curves.
class CurveRecords {
 public:
  // A translation X curve through these keys, in its own channel.
  Tarvel::CurveInfo& Add(const std::vector<std::pair<float, float>>& keys, const std::string& label = "Bone") {
    records.push_back(std::make_unique<Tarvel::CurveInfo>(static_cast<std::uint32_t>(records.size() + 1),
                                                          Tarvel::CurveInfo::Translation, Tarvel::CurveInfo::X));
    Tarvel::CurveInfo& info = *records.back();
    for (const auto& [x, y] : keys) Tarvel::CurveWriter::Of(info).AddPoint({x, y}, false);
    shown.AddCurve(&info, label);
    return info;
  }
  // Selects keys directly, as a previous gesture would have left them.
  static void Select(Tarvel::CurveInfo& info, std::initializer_list<std::uint32_t> indices) {
    info.bSelected = true;
    for (std::uint32_t i : indices) info.pCurve->SelectPointAt(i, true);
  }
  static std::vector<float> Frames(const Tarvel::CurveInfo& info) {
    return Column(info, &EditorToolkit::EditablePoint::x);
  }
  static std::vector<float> Values(const Tarvel::CurveInfo& info) {
    return Column(info, &EditorToolkit::EditablePoint::y);
  }
  static std::vector<bool> Selected(const Tarvel::CurveInfo& info) {
    std::vector<bool> selected;
    for (const auto& p : info.pCurve->GetCurve()) selected.push_back(p.bSelected);
    return selected;
  }

  Tarvel::CurveSelection shown;
  std::vector<std::unique_ptr<Tarvel::CurveInfo>> records;

 private:
  template <typename Field>
  static std::vector<Field> Column(const Tarvel::CurveInfo& info, Field EditorToolkit::EditablePoint::*field) {
    std::vector<Field> values;
    for (const auto& p : info.pCurve->GetCurve()) values.push_back(p.*field);
    return values;
  }
};
