#pragma once

#include <functional>
#include <string>

#include "EditorCore/GUI_Module.h"

namespace TarvelHost {

class ProjectSession;

// The host's clip creator, module 0x80000000. On framework message 3036 it asks for a clip
// name, writes an empty clip file of that name in the project's clip folder and sends 3524
// with the new clip to every module, so that the editor opens it. A name that is empty,
// holds a path separator or names an existing clip is refused with a message.
class ClipCreatorModule : public EditorCore::GUI_Module {
 public:
  static constexpr EditorCore::UINT kModuleId = 0x80000000u;
  static constexpr EditorCore::UINT kMsgCreateClip = 3036;
  static constexpr EditorCore::UINT kMsgOpenClip = 3524;

  // Runs after a clip file was created (the host lists the clip folder again).
  using CreatedHandler = std::function<void(const std::string& name)>;

  explicit ClipCreatorModule(ProjectSession& session);

  EditorCore::UINT GetModuleID() override { return kModuleId; }
  const char* GetModuleName() override { return "Clip Creator"; }
  bool LoadMenuBar(EditorCore::GUI_MenuBar*, bool) override { return true; }
  EditorCore::LRESULT OnFrameworkMessage(EditorCore::UINT message, EditorCore::WPARAM wParam,
                                         EditorCore::LPARAM lParam) override;

  void SetCreatedHandler(CreatedHandler handler) { onCreated = std::move(handler); }
  // Creates the clip file and tells the modules; false (logged) when it cannot.
  bool CreateClip(const std::string& name);
  // Why a name cannot be a new clip's, or empty when it can.
  std::string CheckName(const std::string& name) const;

 private:
  void AskAndCreate();

  ProjectSession& session;
  CreatedHandler onCreated;
};

}  // namespace TarvelHost
