#include <EditorCore/GUI_Dialog.h>

#include <EditorCore/GUI_CheckBox.h>
#include <EditorCore/GUI_Debug.h>
#include <EditorCore/GUI_DialogTemplate.h>
#include <EditorCore/GUI_RadioButton.h>
#include <EditorCore/GUI_ResourceContext.h>

#include "QtConvert.h"
#include "TemplateControls.h"
#include "WndState.h"
#include "WndWidget.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QFont>
#include <QFontMetrics>
#include <QPointer>

#include <vector>

namespace EditorCore {

namespace {

GUI_Dialog::ModalResponder& Responder() {
  static GUI_Dialog::ModalResponder responder;
  return responder;
}

int MulDiv(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

// Average character width and height of a font, measured as the original platform does.
CSize BaseUnitsOf(const QFont& font) {
  const QFontMetrics fm(font);
  const int width = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return CSize((width / 26 + 1) / 2, fm.height());
}

QFont DialogFont(const std::string& face, int points) { return QFont(detail::ToQString(face), points); }

}  // namespace

struct GUI_Dialog::Controls {
  struct Entry {
    UINT id = 0;
    GUI_ControlKind kind = GUI_ControlKind::Label;
    std::unique_ptr<GUI_Wnd> own;  // the template's object until a caller's is bound
    GUI_Wnd* wnd = nullptr;
  };
  std::vector<Entry> entries;
  QEventLoop* loop = nullptr;

  Entry* Find(UINT id) {
    for (Entry& e : entries) {
      if (e.id == id) return &e;
    }
    return nullptr;
  }
};

GUI_Dialog::GUI_Dialog() : controls(std::make_unique<Controls>()) {}

GUI_Dialog::GUI_Dialog(UINT id, GUI_Wnd* parent)
    : templateId(id), modalParent(parent), controls(std::make_unique<Controls>()) {}

GUI_Dialog::~GUI_Dialog() {
  DestroyWindow();
  controls.reset();
}

bool GUI_Dialog::Create(UINT id, GUI_Wnd* parent) {
  const GUI_DialogTemplate* t = GUI_ResourceContext::FindTemplate(id);
  if (!t) {
    OutputDebugString(("EditorCore: dialog template " + std::to_string(id) + " not found in " +
                       GUI_ResourceContext::GetCurrent() + "\n")
                          .c_str());
    return false;
  }
  templateId = id;
  return CreateFromTemplate(*t, parent, false);
}

bool GUI_Dialog::CreateFromTemplate(const GUI_DialogTemplate& t, GUI_Wnd* parent, bool topLevel) {
  if (IsWindow()) return false;
  QWidget* parentWidget = detail::WidgetOf(parent);
  if (!topLevel && !parentWidget) return false;
  const QFont font = DialogFont(t.fontFace, t.fontPointSize);
  baseUnits = BaseUnitsOf(font);
  CRect size(0, 0, t.size.cx, t.size.cy);
  MapDialogRect(size);
  auto* widget = topLevel ? new detail::WndWidget(parentWidget, Qt::Dialog) : new detail::WndWidget(parentWidget);
  widget->setFont(font);
  widget->resize(size.Width(), size.Height());
  if (topLevel) widget->setWindowTitle(detail::ToQString(t.caption));
  UINT style = WS_CHILD;
  if (!topLevel && !t.hidden) style |= WS_VISIBLE;
  controls->entries.clear();
  ended = false;
  endCode = 0;
  if (!AttachNewWidget(widget, topLevel ? nullptr : parent, 0, topLevel ? 0 : style)) return false;
  for (const GUI_ControlTemplate& c : t.controls) {
    CRect r = c.rect;
    MapDialogRect(r);
    std::unique_ptr<GUI_Wnd> control = detail::MakeTemplateControl(c, this, r);
    if (!control) {
      OutputDebugString(("EditorCore: control " + std::to_string(c.id) + " of template " + std::to_string(t.id) +
                         " could not be made\n")
                            .c_str());
      continue;
    }
    Controls::Entry entry;
    entry.id = c.id;
    entry.kind = c.kind;
    entry.wnd = control.get();
    entry.own = std::move(control);
    controls->entries.push_back(std::move(entry));
  }
  DoDataExchange();
  OnInitDialog();
  return IsWindow();
}

int GUI_Dialog::DoModal() {
  const GUI_DialogTemplate* t = GUI_ResourceContext::FindTemplate(templateId);
  if (!t) {
    OutputDebugString(("EditorCore: dialog template " + std::to_string(templateId) + " not found in " +
                       GUI_ResourceContext::GetCurrent() + "\n")
                          .c_str());
    return -1;
  }
  modal = true;
  if (!CreateFromTemplate(*t, modalParent, true)) {
    modal = false;
    return -1;
  }
  if (!ended) {
    if (Responder()) {
      const int code = Responder()(*this);
      if (!ended) OnAnswer(code);
      if (!ended) {
        ended = true;
        endCode = code;
      }
    } else if (QWidget* widget = detail::WidgetOf(this)) {
      widget->setWindowModality(Qt::ApplicationModal);
      widget->show();
      QEventLoop loop;
      controls->loop = &loop;
      while (!ended && IsWindow()) loop.exec(QEventLoop::DialogExec);
      controls->loop = nullptr;
    }
  }
  const int result = ended ? endCode : IDCANCEL;
  DestroyWindow();
  modal = false;
  return result;
}

void GUI_Dialog::EndDialog(int code) {
  if (!modal) {
    endCode = code;
    return;
  }
  ended = true;
  endCode = code;
  if (controls && controls->loop) controls->loop->quit();
}

bool GUI_Dialog::OnInitDialog() { return true; }
void GUI_Dialog::OnAnswer(int code) {
  if (code == IDOK) OnOK();
  if (!ended && code == IDCANCEL) OnCancel();
}

void GUI_Dialog::OnOK() { EndDialog(IDOK); }
void GUI_Dialog::OnCancel() { EndDialog(IDCANCEL); }

GUI_Wnd* GUI_Dialog::GetDlgItem(UINT id) const {
  Controls::Entry* e = controls ? controls->Find(id) : nullptr;
  return e && e->wnd->IsWindow() ? e->wnd : nullptr;
}

bool GUI_Dialog::BindControl(UINT id, GUI_Wnd& control) {
  Controls::Entry* e = controls ? controls->Find(id) : nullptr;
  if (!e) return false;
  if (e->wnd == &control) return true;
  if (control.IsWindow() || !detail::CanBind(e->kind, control)) return false;
  // An object bound in an earlier run of the dialog still holds its old, dying widget.
  control.DestroyWindow();
  control.AdoptState(e->wnd->ReleaseState());
  e->own.reset();
  e->wnd = &control;
  return true;
}

void GUI_Dialog::SetDlgItemText(UINT id, const std::string& text) {
  if (GUI_Wnd* w = GetDlgItem(id)) w->SetWindowText(text);
}

std::string GUI_Dialog::GetDlgItemText(UINT id) const {
  GUI_Wnd* w = GetDlgItem(id);
  return w ? w->GetWindowText() : std::string();
}

void GUI_Dialog::CheckDlgButton(UINT id, bool checked) {
  GUI_Wnd* w = GetDlgItem(id);
  if (auto* box = dynamic_cast<GUI_CheckBox*>(w))
    box->Check(checked);
  else if (auto* radio = dynamic_cast<GUI_RadioButton*>(w))
    radio->Check(checked);
}

bool GUI_Dialog::IsDlgButtonChecked(UINT id) const {
  auto* button = qobject_cast<QAbstractButton*>(detail::WidgetOf(GetDlgItem(id)));
  return button && button->isChecked();
}

void GUI_Dialog::MapDialogRect(CRect& rect) const {
  const CSize units = baseUnits.cx > 0 ? baseUnits : GetDefaultDialogBaseUnits();
  rect.left = MulDiv(rect.left, units.cx, 4);
  rect.right = MulDiv(rect.right, units.cx, 4);
  rect.top = MulDiv(rect.top, units.cy, 8);
  rect.bottom = MulDiv(rect.bottom, units.cy, 8);
}

CSize GUI_Dialog::GetDialogBaseUnits() const { return baseUnits.cx > 0 ? baseUnits : GetDefaultDialogBaseUnits(); }

CSize GUI_Dialog::GetDefaultDialogBaseUnits() {
  GUI_DialogTemplate defaults;
  return BaseUnitsOf(DialogFont(defaults.fontFace, defaults.fontPointSize));
}

void GUI_Dialog::SetModalResponder(ModalResponder responder) { Responder() = std::move(responder); }

bool GUI_Dialog::HasModalResponder() { return static_cast<bool>(Responder()); }

bool GUI_Dialog::OnCommand(UINT id) {
  if (id == static_cast<UINT>(IDOK)) {
    OnOK();
    return true;
  }
  if (id == static_cast<UINT>(IDCANCEL)) {
    OnCancel();
    return true;
  }
  return false;
}

bool GUI_Dialog::PreTranslateMessage(const GUI_Msg& msg) {
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_RETURN) {
    OnOK();
    return true;
  }
  if (msg.wParam == VK_ESCAPE) {
    OnCancel();
    return true;
  }
  return false;
}

void GUI_Dialog::OnClose() { OnCancel(); }

}  // namespace EditorCore
