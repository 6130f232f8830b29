#include <EditorCore/GUI_Label.h>
#include <EditorCore/GUI_ThemeManager.h>

#include "QtConvert.h"
#include "WndState.h"

#include <QLabel>
#include <QPalette>

namespace EditorCore {

bool GUI_Label::Create(GUI_Wnd* parent, const CRect& rect, UINT id, const std::string& text, UINT style) {
  QWidget* parentWidget = detail::ParentWidgetOf(parent);
  if (!parentWidget || IsWindow()) return false;
  auto* label = new QLabel(detail::ToQString(text), parentWidget);
  label->setGeometry(detail::ToQRect(rect));
  label->setTextFormat(Qt::PlainText);
  Qt::Alignment align = Qt::AlignVCenter;
  if (style & SS_CENTER)
    align |= Qt::AlignHCenter;
  else if (style & SS_RIGHT)
    align |= Qt::AlignRight;
  else
    align |= Qt::AlignLeft;
  label->setAlignment(align);
  // Labels stand on the theme's dark dialog ground: they take the theme's text colour, in
  // every state, rather than the platform's dark default.
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, detail::ToQColor(GUI_ThemeManager::GetColor(74)));
  label->setPalette(palette);
  return AttachNewWidget(label, parent, id, style);
}

}  // namespace EditorCore
