#include "tools/DialogToolQuestions.h"

#include "EditorCore/GUI_MainFrame.h"
#include "EditorCore/GUI_MessageDialog.h"
#include "resources/ModuleText.h"
#include "tools/GUI_FilterNoiseDialog.h"
#include "tools/GUI_FlipToolDialog.h"
#include "tools/GUI_FrameRateDialog.h"
#include "tools/GUI_ScaleToolDialog.h"
#include "tools/GUI_SmoothToolDialog.h"
#include "tools/GUI_SubSampleToolDialog.h"
#include "tools/GUI_SubdiviseToolDialog.h"

namespace Tarvel {

using EditorCore::GUI_MainFrame;

bool DialogToolQuestions::AskFlip(bool& bVertical) {
  GUI_FlipToolDialog dialog(GUI_MainFrame::GetMainWnd());
  dialog.bVertical = bVertical;
  const bool ok = dialog.DoModal() == EditorCore::IDOK;
  bVertical = dialog.bVertical;
  return ok;
}

bool DialogToolQuestions::AskScale(ScaleSettings& settings) {
  GUI_ScaleToolDialog dialog(GUI_MainFrame::GetMainWnd());
  dialog.iCurrentLength = settings.iCurrentLength;
  dialog.iWishLength = settings.iWishLength;
  dialog.fPercentage = settings.fPercentage;
  dialog.bUseLength = settings.bUseLength;
  if (dialog.DoModal() == EditorCore::IDCANCEL) return false;
  settings.iCurrentLength = dialog.iCurrentLength;
  settings.iWishLength = dialog.iWishLength;
  settings.fPercentage = dialog.fPercentage;
  settings.bUseLength = dialog.bUseLength;
  return true;
}

bool DialogToolQuestions::AskSmooth(int& iSubdivision) {
  GUI_SmoothToolDialog dialog(GUI_MainFrame::GetMainWnd());
  const bool ok = dialog.DoModal() == EditorCore::IDOK;
  iSubdivision = dialog.Subdivision();
  return ok;
}

bool DialogToolQuestions::AskSubdivise(int& iSubdivision) {
  GUI_SubdiviseToolDialog dialog(GUI_MainFrame::GetMainWnd());
  const bool ok = dialog.DoModal() == EditorCore::IDOK;
  iSubdivision = dialog.Subdivision();
  return ok;
}

bool DialogToolQuestions::AskSubSample(float& fTolerance) {
  GUI_SubSampleToolDialog dialog(GUI_MainFrame::GetMainWnd());
  const bool ok = dialog.DoModal() == EditorCore::IDOK;
  fTolerance = dialog.Tolerance();
  return ok;
}

bool DialogToolQuestions::AskFrameRate(FrameRateSettings& settings) {
  GUI_FrameRateDialog dialog(settings, GUI_MainFrame::GetMainWnd());
  if (dialog.DoModal() != EditorCore::IDOK) return false;
  settings = dialog.settings;
  return true;
}

bool DialogToolQuestions::AskAffectChannel() {
  EditorCore::GUI_MessageDialog question(
      ModuleText::Translate("This object has no Animation channel. Do you want to affect current to it ?"),
      EditorCore::GUI_MessageDialog::TypeYesNo, GUI_MainFrame::GetMainWnd());
  return question.DoModal() == EditorCore::IDYES;
}

bool DialogToolQuestions::AskFilterNoise(float& fCutoffHz, float highestHz, const std::function<void(float)>& preview) {
  // The cut-off used last comes back, where these curves can take it.
  if (lastCutoff > 0.0f && lastCutoff < highestHz) fCutoffHz = lastCutoff;
  GUI_FilterNoiseDialog dialog(fCutoffHz, highestHz, preview, GUI_MainFrame::GetMainWnd());
  const bool ok = dialog.DoModal() == EditorCore::IDOK;
  fCutoffHz = dialog.Cutoff();
  if (ok) lastCutoff = fCutoffHz;
  return ok;
}

void DialogToolQuestions::Tell(const std::string& sentence) {
  EditorCore::GUI_MessageDialog message(ModuleText::Translate(sentence.c_str()), EditorCore::GUI_MessageDialog::TypeOk,
                                        GUI_MainFrame::GetMainWnd());
  message.DoModal();
}

}  // namespace Tarvel
