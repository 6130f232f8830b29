#pragma once

#include <QWidget>

namespace EditorCore::detail {

// The widget behind painted windows: its paint runs the owner's OnEraseBkgnd and OnPaint,
// and it accepts the input its owner is given so that nothing reaches the parent twice.
class WndWidget : public QWidget {
 public:
  explicit WndWidget(QWidget* parent, Qt::WindowFlags flags = {});

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace EditorCore::detail
