#include "module/TarvelModule.h"

#include "EditorCore/GUI_Debug.h"
#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_MenuBar.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EditorToolkit/SaveList.h"
#include "curves/CurveExport.h"
#include "module/AnimClipDialog.h"
#include "module/GUI_ClipEditorFrame.h"
#include "module/GUI_ClipTabsDialog.h"
#include "module/ModuleExports.h"
#include "resources/ModuleIds.h"
#include "resources/ModuleResources.h"

namespace Tarvel {

using namespace EditorCore;

TarvelModule::TarvelModule() { OutputDebugString("Tarvel Created !\n"); }

TarvelModule::~TarvelModule() = default;

bool TarvelModule::CanDnD(CPoint) {
  GUI_MainFrame* mainFrame = GUI_MainFrame::GetMainFrame();
  if (!mainFrame) return false;
  const GUI_DnDData* first = mainFrame->GetDnDManager()->GetDataAt(0);
  return first && first->dataType == Ids::kResourceDataType;
}

void TarvelModule::ProcessDnD(CPoint point) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (frame) frame->ProcessDnD(point);
}

bool TarvelModule::CreateModuleWindow() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  frame.reset(new (std::nothrow) GUI_ClipEditorFrame());
  if (!frame) return false;
  return frame->Create(GUI_MainFrame::GetMainWnd());
}

void TarvelModule::DestroyModuleWindow() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (frame) {
    frame->ReleasePages();
    frame.reset();
  }
  OutputDebugString("Tarvel Destroyed !\n");
}

UINT TarvelModule::GetModuleID() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return Ids::kModuleId;
}

const char* TarvelModule::GetModuleName() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  return Ids::kModuleName;
}

GUI_Wnd* TarvelModule::GetModuleDialog() { return frame.get(); }

GUI_Icon* TarvelModule::GetModuleIcon() { return LoadIconInModule(static_cast<unsigned short>(Ids::kIconModule)); }

bool TarvelModule::LoadMenuBar(GUI_MenuBar* menuBar, bool install) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (frame && install && frame->GetMenu()) GUI_MenuBar::SetMenu(menuBar, frame->GetMenu());
  return true;
}

void TarvelModule::OnMenuCommand(UINT commandId) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (frame) frame->OnMenuCommand(commandId);
}

void TarvelModule::Redraw() {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (frame) frame->Invalidate(true);
}

void TarvelModule::Show(int show) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (frame) frame->ShowWindow(show != 0 ? SW_SHOWNORMAL : SW_HIDE);
}

void TarvelModule::SetWindowRect(CRect& rect) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  if (!frame) return;
  if (GUI_Wnd* parent = frame->GetParent()) parent->ScreenToClient(rect);
  frame->MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, false);
}

void TarvelModule::OnSceneMessage(WPARAM scene, bool refillObjects) {
  if (frame) frame->GetTabHost().SetScene(reinterpret_cast<EngineCore::Scene*>(scene), refillObjects);
}

AnimClipDialog* TarvelModule::GetCurrentPage() const { return frame ? frame->GetCurrentPage() : nullptr; }

LRESULT TarvelModule::OnFrameworkMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  switch (message) {
    case Ids::kMsgNothing: return 0;
    case Ids::kMsgCloseAll:
      if (frame) frame->OnMenuCommand(Ids::kCmdClipCloseAll);
      return 0;
    case Ids::kMsgCollectUnsaved:
      if (frame) frame->CollectUnsavedClips(reinterpret_cast<EditorToolkit::SaveList*>(wParam));
      return 0;
    case Ids::kMsgSceneSelection: OnSceneMessage(wParam, false); return 0;
    case Ids::kMsgSceneOpened:
    case Ids::kMsgSceneChanged: OnSceneMessage(wParam, true); return 0;
    case Ids::kMsgPoseApplied:
      if (AnimClipDialog* page = GetCurrentPage(); page && page->IsAutoRecording()) page->CreatePoint(true);
      return 0;
    case Ids::kMsgChannelCreated:
      if (frame) {
        for (const auto& page : frame->GetTabHost().GetPages()) page->RefillObjectList();
      }
      return 0;
    case Ids::kMsgRecordKey:
      if (AnimClipDialog* page = GetCurrentPage()) page->CreatePoint(true);
      return 0;
    case Ids::kMsgResourcesSaved:
      if (wParam == Ids::kAnimClipKind && frame) {
        for (const auto& page : frame->GetTabHost().GetPages()) page->OnResourcesSaved();
      }
      return 0;
    case Ids::kMsgClipReloaded:
      if (frame) {
        for (const auto& page : frame->GetTabHost().GetPages()) {
          if (page->GetClip() == reinterpret_cast<EngineCore::AnimClip*>(wParam)) page->ReloadClip();
        }
      }
      return 0;
    case Ids::kMsgExportCurves: {
      AnimClipDialog* page = GetCurrentPage();
      if (!page || !wParam) return 0;
      *reinterpret_cast<std::string*>(wParam) = CurveExport::ToCsv(page->GetCore());
      return 1;
    }
    case Ids::kMsgKeySlopes: {
      AnimClipDialog* page = GetCurrentPage();
      return page && wParam && CurveExport::AnswerSlopeQuery(page->GetCore(), *reinterpret_cast<std::string*>(wParam))
                 ? 1
                 : 0;
    }
    case Ids::kMsgDopeSheetRow: {
      AnimClipDialog* page = GetCurrentPage();
      return page && wParam && page->AnswerDopeSheetRow(*reinterpret_cast<std::string*>(wParam)) ? 1 : 0;
    }
    case Ids::kMsgTrackKeys: {
      AnimClipDialog* page = GetCurrentPage();
      return page && wParam && page->AnswerTrackKeys(*reinterpret_cast<std::string*>(wParam)) ? 1 : 0;
    }
    case Ids::kMsgOpenClip:
      if (frame) frame->OpenClip(reinterpret_cast<EngineCore::AnimClip*>(wParam));
      return 0;
    default: return GUI_Module::OnFrameworkMessage(message, wParam, lParam);
  }
}

}  // namespace Tarvel
