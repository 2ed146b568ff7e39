// A device context with the font and brush a drawing event may change before it draws.
#pragma once

#include <windows.h>

#include "forms/forms.h"

namespace forms {

class Canvas {
 public:
  Canvas(HDC dc, HFONT font, Color fontColor, Color brushColor)
      : FontColor(fontColor), BrushColor(brushColor), dc_(dc), font_(font) {}
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // The device context with the current font, text colour and a transparent background selected.
  HDC Handle();
  // Fills with the current brush colour.
  void FillRect(const RECT& rect);

  Color FontColor;
  Color BrushColor;

 private:
  HDC dc_;
  HFONT font_;
};

}  // namespace forms
