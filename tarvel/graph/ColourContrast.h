#pragma once

#include "EditorCore/Color.h"

namespace Tarvel {

// Contrast between colours as the web's accessibility guidelines measure it: relative
// luminance of sRGB, ratio (lighter + 0.05) / (darker + 0.05), from 1 to 21.
class ColourContrast {
 public:
  static double Luminance(EditorCore::COLORREF colour);
  static double Ratio(EditorCore::COLORREF a, EditorCore::COLORREF b);
  // The colour itself when it reaches ratio against both grounds; else the least blend of it
  // towards white or black that does, so that a text keeps its hue and stays readable.
  static EditorCore::COLORREF Readable(EditorCore::COLORREF colour, EditorCore::COLORREF ground,
                                       EditorCore::COLORREF otherGround, double ratio);
};

}  // namespace Tarvel
