#include "WndEvents.h"

#include "QtConvert.h"
#include "WndState.h"

#include <QCloseEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QTimerEvent>
#include <QToolTip>
#include <QWheelEvent>

namespace EditorCore::detail {

namespace {

void DispatchButton(GUI_Wnd& wnd, QMouseEvent& me, bool down) {
  // The flags describe the buttons held after the event, as the platform reports them.
  const UINT flags = MouseFlags(me.buttons(), me.modifiers());
  const CPoint point(static_cast<int>(me.position().x()), static_cast<int>(me.position().y()));
  switch (me.button()) {
    case Qt::LeftButton: down ? wnd.OnLButtonDown(flags, point) : wnd.OnLButtonUp(flags, point); break;
    case Qt::MiddleButton: down ? wnd.OnMButtonDown(flags, point) : wnd.OnMButtonUp(flags, point); break;
    case Qt::RightButton: down ? wnd.OnRButtonDown(flags, point) : wnd.OnRButtonUp(flags, point); break;
    default: break;
  }
}

}  // namespace

bool WndEvents::eventFilter(QObject* watched, QEvent* event) {
  WndState* state = StateOf(watched);
  if (!state || !state->owner || state->widget != watched) return false;
  GUI_Wnd& wnd = *state->owner;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto& me = static_cast<QMouseEvent&>(*event);
      if (event->type() == QEvent::MouseButtonDblClick && me.button() == Qt::LeftButton) {
        wnd.OnLButtonDblClk(MouseFlags(me.buttons(), me.modifiers()),
                            CPoint(static_cast<int>(me.position().x()), static_cast<int>(me.position().y())));
      } else {
        DispatchButton(wnd, me, true);
      }
      return false;
    }
    case QEvent::MouseButtonRelease: DispatchButton(wnd, static_cast<QMouseEvent&>(*event), false); return false;
    case QEvent::MouseMove: {
      auto& me = static_cast<QMouseEvent&>(*event);
      wnd.OnMouseMove(MouseFlags(me.buttons(), me.modifiers()),
                      CPoint(static_cast<int>(me.position().x()), static_cast<int>(me.position().y())));
      return false;
    }
    case QEvent::Wheel: {
      auto& we = static_cast<QWheelEvent&>(*event);
      const QPointF global = we.globalPosition();
      const UINT flags = MouseFlags(we.buttons(), we.modifiers());
      const auto delta = static_cast<short>(we.angleDelta().y());
      const CPoint screen(static_cast<int>(global.x()), static_cast<int>(global.y()));
      if (wnd.OnMouseWheel(flags, delta, screen)) {
        we.accept();
        return true;
      }
      if (!state->painted) return false;
      // Unhandled, the wheel goes up the window chain as the platform's default handling does.
      QWidget* widget = state->widget;
      for (QWidget* w = widget->isWindow() ? nullptr : widget->parentWidget(); w;
           w = w->isWindow() ? nullptr : w->parentWidget()) {
        GUI_Wnd* ancestor = OwnerOf(w);
        if (ancestor && ancestor->OnMouseWheel(flags, delta, screen)) break;
      }
      we.accept();
      return true;
    }
    case QEvent::KeyPress: {
      auto& ke = static_cast<QKeyEvent&>(*event);
      const UINT vk = VirtualKeyOf(ke.key());
      if (vk != 0) wnd.OnKeyDown(vk, ke.isAutoRepeat() ? 2u : 1u, 0);
      return false;
    }
    case QEvent::Timer: {
      auto& te = static_cast<QTimerEvent&>(*event);
      const auto it = state->idByTimer.find(te.timerId());
      if (it == state->idByTimer.end()) return false;
      wnd.OnTimer(it->second);
      return true;
    }
    case QEvent::Resize: {
      auto& re = static_cast<QResizeEvent&>(*event);
      wnd.OnSize(0, re.size().width(), re.size().height());
      return false;
    }
    case QEvent::Close: {
      event->ignore();
      wnd.OnClose();
      return true;
    }
    case QEvent::ToolTip: {
      auto& he = static_cast<QHelpEvent&>(*event);
      const std::string text = wnd.GetToolTipAt(CPoint(he.pos().x(), he.pos().y()));
      if (text.empty()) {
        QToolTip::hideText();
        event->ignore();
      } else {
        QToolTip::showText(he.globalPos(), ToQString(text), state->widget);
      }
      return true;
    }
    case QEvent::FocusIn: wnd.OnSetFocus(); return false;
    case QEvent::FocusOut: wnd.OnKillFocus(); return false;
    default: return false;
  }
}

}  // namespace EditorCore::detail
