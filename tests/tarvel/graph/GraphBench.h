#pragma once

#include <vector>

#include <gtest/gtest.h>

#include "CurveRecords.h"
#include "CurveWriter.h"
#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_RulerCtrl.h"
#include "graph/GUI_GraphCtrl.h"

// Stands for the curve panel: keeps the codes the graph sends it, in order.
class NotifyRecorder : public EditorCore::GUI_Wnd {
 public:
  bool OnNotify(const EditorCore::GUI_NotifyHeader& header, const EditorCore::GUI_NotifyPayload&,
                EditorCore::LRESULT&) override {
    codes.push_back(header.code);
    return true;
  }
  std::vector<int> codes;
};

// A graph laid out as the curve panel lays it out: at the default zoom a frame and a value are
// 10 pixels each, frame f at column (f + 5) * 10 and value v at row 400 - (v + 25) * 10.
class GraphBench : public ::testing::Test, protected CurveRecords {
 protected:
  static constexpr int kW = 600;
  static constexpr int kH = 400;

  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }

  void SetUp() override {
    ASSERT_TRUE(panel.CreateTopLevel("curve panel", EditorCore::CRect(0, 0, kW + 40, kH + 30)));
    ASSERT_TRUE(hRuler.Create(&panel, 2));
    ASSERT_TRUE(vRuler.Create(&panel, 3));
    vRuler.SetRulerStyle(0x22);
    ASSERT_TRUE(graph.Create(&panel, 1));
    vRuler.MoveWindow(0, 0, 40, kH);
    graph.MoveWindow(40, 0, kW, kH);
    hRuler.MoveWindow(40, kH, kW, 30);
    graph.AttachRulers(&hRuler, &vRuler);
    vRuler.SetMinValue(0.0, -25.0);
    // Stands for the clip's core too: every curve of the bench may change at any time.
    graph.SetCurveEdits(
        [this](const Tarvel::CurveInfo& curve) -> EditorToolkit::Curve2* {
          for (auto& record : records) {
            if (record.get() == &curve) return &Tarvel::CurveWriter::Of(*record);
          }
          return nullptr;
        },
        {});
  }
  int Col(double frame) const { return hRuler.ValueToPixel(frame); }
  int Row(double value) const { return kH - vRuler.ValueToPixel(value); }

  NotifyRecorder panel;
  EditorCore::GUI_RulerCtrl hRuler;
  EditorCore::GUI_RulerCtrl vRuler;
  Tarvel::GUI_GraphCtrl graph{shown};
};
