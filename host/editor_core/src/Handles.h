#pragma once

// Definitions of the opaque handles of the public headers, for the layer's own sources.
#include <QCursor>
#include <QFont>
#include <QPixmap>

namespace EditorCore {

class GUI_Icon {
 public:
  QPixmap pixmap;
};

class GUI_Bitmap {
 public:
  QPixmap pixmap;
};

class GUI_Cursor {
 public:
  QCursor cursor;
};

class GUI_Font {
 public:
  QFont font;
};

}  // namespace EditorCore
