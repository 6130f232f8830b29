#include <EditorCore/GUI_Label.h>

#include "QtConvert.h"
#include "WndState.h"

#include <QLabel>

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
  return AttachNewWidget(label, parent, id, style);
}

}  // namespace EditorCore
