#include "ClipCreatorModule.h"

#include <filesystem>

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "EngineCore/AnimClip.h"
#include "EngineCore/Log.h"
#include "EngineCore/ResourceFactory.h"
#include "Formats/ClipFormats.h"
#include "Formats/GltfClipFile.h"
#include "NameDialog.h"
#include "ProjectSession.h"

namespace TarvelHost {

namespace fs = std::filesystem;
using namespace EditorCore;
using EngineCore::Log;

ClipCreatorModule::ClipCreatorModule(ProjectSession& projectSession) : session(projectSession) {}

LRESULT ClipCreatorModule::OnFrameworkMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kMsgCreateClip) return GUI_Module::OnFrameworkMessage(message, wParam, lParam);
  AskAndCreate();
  return 0;
}

std::string ClipCreatorModule::CheckName(const std::string& name) const {
  if (name.empty()) return "A clip needs a name.";
  if (name.find_first_of("/\\") != std::string::npos || name.front() == '.') {
    return "A clip name cannot hold a path.";
  }
  if (session.GetClipFolder().empty()) return "No project is open.";
  if (!session.FindClipFile(name).empty()) return "A clip named " + name + " exists already.";
  return {};
}

void ClipCreatorModule::AskAndCreate() {
  NameDialog dialog("Create an Animation Clip", "Name of the new clip :", GUI_MainFrame::GetMainWnd());
  if (dialog.DoModal() != IDOK) return;
  const std::string problem = CheckName(dialog.GetName());
  if (!problem.empty()) {
    GUI_MessageDialog message(problem, GUI_MessageDialog::TypeOk, GUI_MainFrame::GetMainWnd());
    message.DoModal();
    return;
  }
  CreateClip(dialog.GetName());
}

bool ClipCreatorModule::CreateClip(const std::string& name) {
  const std::string problem = CheckName(name);
  if (!problem.empty()) {
    Log::Write(Log::Error, "Clip not created: %s", problem.c_str());
    return false;
  }
  const std::string path =
      (fs::path(session.GetClipFolder()) / (name + Formats::ClipFormats::Default().extension)).string();
  std::string message;
  const Formats::ClipFileError error = Formats::GltfClipFile::CreateEmpty(path, message);
  if (error != Formats::ClipFileError::None) {
    Log::Write(Log::Error, "Clip %s could not be created: %s", path.c_str(), message.c_str());
    return false;
  }
  EngineCore::AnimClip* clip = EngineCore::ResourceFactory::GetInstance().GetAnimClip(name);
  if (!clip) {
    Log::Write(Log::Error, "Clip %s was written but does not open", path.c_str());
    return false;
  }
  Log::Write(Log::Info, "Clip %s created", path.c_str());
  session.BindClip(clip);
  if (onCreated) onCreated(name);
  SendFrameworkMessageToAll(kMsgOpenClip, reinterpret_cast<WPARAM>(clip), 0);
  clip->Release();
  return true;
}

}  // namespace TarvelHost
