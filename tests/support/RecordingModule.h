#pragma once

#include <vector>

#include "EditorCore/GUI_Module.h"

namespace TestSupport {

// A module that only writes down the framework messages it gets.
class RecordingModule : public EditorCore::GUI_Module {
 public:
  struct Received {
    EditorCore::UINT message;
    EditorCore::WPARAM wParam;
    EditorCore::LPARAM lParam;
  };

  explicit RecordingModule(EditorCore::UINT moduleId = 0x7000) : id(moduleId) {}
  EditorCore::UINT GetModuleID() override { return id; }
  const char* GetModuleName() override { return "Recorder"; }
  EditorCore::LRESULT OnFrameworkMessage(EditorCore::UINT message, EditorCore::WPARAM wParam,
                                         EditorCore::LPARAM lParam) override {
    received.push_back({message, wParam, lParam});
    return 0;
  }
  int Count(EditorCore::UINT message) const {
    int n = 0;
    for (const Received& r : received) n += r.message == message ? 1 : 0;
    return n;
  }
  const Received* Last(EditorCore::UINT message) const {
    for (auto it = received.rbegin(); it != received.rend(); ++it) {
      if (it->message == message) return &*it;
    }
    return nullptr;
  }

  std::vector<Received> received;

 private:
  EditorCore::UINT id;
};

}  // namespace TestSupport
