#include "EditorToolkit/GUI_SaveDialog.h"

#include <algorithm>

#include "EditorCore/GUI_ResourceContext.h"
#include "EditorCore/GUI_ResourceScope.h"
#include "EngineCore/Log.h"

namespace EditorToolkit {

namespace {

constexpr const char* kPrefix = "EditorToolkit";
constexpr int kRowHeight = 12;
constexpr int kListTop = 22;
constexpr int kMaxRows = 12;

// The dialog's template; the rows of check boxes are added when it opens.
constexpr const char* kTemplate = R"({
  "id": 1, "size": [220, 210], "caption": "Unsaved changes",
  "controls": [
    {"id": 100, "kind": "static", "text": "Save changes to these resources?", "rect": [8, 6, 204, 12]},
    {"id": 1, "kind": "defbutton", "text": "Save", "rect": [8, 188, 60, 14]},
    {"id": 3, "kind": "button", "text": "Don't Save", "rect": [80, 188, 60, 14]},
    {"id": 2, "kind": "button", "text": "Cancel", "rect": [152, 188, 60, 14]}
  ]
})";

void RegisterTemplate() {
  if (EditorCore::GUI_ResourceContext::IsRegistered(kPrefix)) return;
  EditorCore::GUI_ResourceBundle bundle;
  bundle.AddTemplatesJson(kTemplate);
  EditorCore::GUI_ResourceContext::Register(kPrefix, bundle);
}

}  // namespace

GUI_SaveDialog::GUI_SaveDialog(EditorCore::GUI_Wnd* parent) : EditorCore::GUI_Dialog(TemplateId, parent) {}

GUI_SaveDialog::~GUI_SaveDialog() = default;

int GUI_SaveDialog::DoModal() {
  RegisterTemplate();
  EditorCore::GUI_ResourceScope scope(kPrefix);
  saveFailed = false;
  const int result = GUI_Dialog::DoModal();
  // A scripted answer cannot keep the dialog open: a failed save stops whatever was closing.
  if (saveFailed) return EditorCore::IDCANCEL;
  // A scripted "Don't Save" answers with the button's id.
  return result == static_cast<int>(DontSaveId) ? EditorCore::IDOK : result;
}

bool GUI_SaveDialog::OnInitDialog() {
  shown.clear();
  boxes.clear();
  for (std::size_t i = 0; i < saveList.GetCount(); ++i) {
    if (saveList.GetAt(i)->IsModified()) shown.push_back(saveList.GetAt(i));
  }
  // Rows past those that fit have no box: they are saved with "Save".
  const std::size_t rows = std::min<std::size_t>(shown.size(), kMaxRows);
  for (std::size_t row = 0; row < rows; ++row) {
    const int top = kListTop + static_cast<int>(row) * kRowHeight;
    EditorCore::CRect rect(8, top, 212, top + 10);
    MapDialogRect(rect);
    auto box = std::make_unique<EditorCore::GUI_CheckBox>();
    box->Create(this, rect, FirstResourceId + static_cast<EditorCore::UINT>(row), shown[row]->GetName().str());
    box->Check(true);
    boxes.push_back(std::move(box));
  }
  if (shown.size() > rows) {
    SetDlgItemText(MessageId, "Save changes to these " + std::to_string(shown.size()) + " resources (" +
                                  std::to_string(shown.size() - rows) + " not listed)?");
  }
  return true;
}

void GUI_SaveDialog::OnOK() {
  std::vector<EngineCore::Resource*> chosen;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const bool checked = i < boxes.size() ? boxes[i]->IsChecked() : true;
    if (checked) chosen.push_back(shown[i]);
  }
  // Resources of one file go out with one write of it. A resource read again instead of
  // saved (its file changed, the user chose to reload) has nothing left to save.
  std::string failed;
  for (const EngineCore::Resource* resource : EngineCore::Resource::SaveAll(chosen)) {
    EngineCore::Log::Write(EngineCore::Log::Error, "%s could not be saved", resource->GetName().c_str());
    failed += failed.empty() ? resource->GetName().str() : ", " + resource->GetName().str();
  }
  saveFailed = !failed.empty();
  if (saveFailed) {
    SetDlgItemText(MessageId, "Could not save " + failed + ". Nothing was closed.");
    return;
  }
  EndDialog(EditorCore::IDOK);
}

bool GUI_SaveDialog::OnCommand(EditorCore::UINT id) {
  if (id == DontSaveId) {
    EndDialog(EditorCore::IDOK);
    return true;
  }
  return GUI_Dialog::OnCommand(id);
}

}  // namespace EditorToolkit
