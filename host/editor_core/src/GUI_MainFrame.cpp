#include <EditorCore/GUI_MainFrame.h>

#include <EditorCore/GUI_MenuBar.h>

#include "WndState.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <algorithm>
#include <cassert>

namespace EditorCore {

namespace {
GUI_MainFrame* theFrame = nullptr;
}

GUI_MainFrame::GUI_MainFrame() {
  assert(!theFrame && "one main frame per process");
  theFrame = this;
}

GUI_MainFrame::~GUI_MainFrame() {
  pleaseWait.reset();
  menuBar.reset();
  DestroyWindow();
  if (theFrame == this) theFrame = nullptr;
}

GUI_MainFrame* GUI_MainFrame::GetMainFrame() { return theFrame; }

GUI_Wnd* GUI_MainFrame::GetMainWnd() { return theFrame && theFrame->IsWindow() ? theFrame : nullptr; }

bool GUI_MainFrame::Create(const std::string& title, const CRect& rect) {
  if (!CreateTopLevel(title, rect)) return false;
  menuBar = std::make_unique<GUI_MenuBar>();
  menuBar->Create(this);
  menuBar->Layout(rect.Width());
  return true;
}

void GUI_MainFrame::ShowPleaseWaitDialog(bool show) {
  if (show) {
    if (pleaseWaitDepth++ > 0) return;
    CRect at(0, 0, 220, 60);
    if (IsWindow()) {
      GetWindowRect(at);
      const int cx = (at.left + at.right) / 2;
      const int cy = (at.top + at.bottom) / 2;
      at = CRect(cx - 110, cy - 30, cx + 110, cy + 30);
    }
    pleaseWait = std::make_unique<GUI_Wnd>();
    if (pleaseWait->CreateTopLevel("Please wait", at, IsWindow() ? this : nullptr)) {
      auto* label = new QLabel(QStringLiteral("Please wait..."), detail::WidgetOf(pleaseWait.get()));
      label->setAlignment(Qt::AlignCenter);
      label->setGeometry(0, 0, at.Width(), at.Height());
      pleaseWait->ShowWindow(true);
      pleaseWait->UpdateWindow();
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return;
  }
  if (pleaseWaitDepth == 0) return;
  if (--pleaseWaitDepth == 0) pleaseWait.reset();
}

void GUI_MainFrame::GetPanelRect(CRect& rect) const {
  GetClientRect(rect);
  if (menuBar) rect.top = std::min(rect.bottom, rect.top + menuBar->Layout(rect.Width()));
}

void GUI_MainFrame::OnSize(UINT, int cx, int) {
  if (menuBar) menuBar->Layout(cx);
}

bool GUI_MainFrame::PreTranslateMessage(const GUI_Msg& msg) {
  if (msg.message != WM_KEYDOWN || !menuBar) return GUI_Wnd::PreTranslateMessage(msg);
  const QWidget* focus = QApplication::focusWidget();
  const bool typing = qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QTextEdit*>(focus) ||
                      qobject_cast<const QPlainTextEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus);
  if (!typing && menuBar->TranslateAccelerator(static_cast<UINT>(msg.wParam), msg.keyFlags)) return true;
  return GUI_Wnd::PreTranslateMessage(msg);
}

bool GUI_MainFrame::IsPleaseWaitShown() const { return pleaseWait && pleaseWait->IsWindowVisible(); }

}  // namespace EditorCore
