// Four-state bitmap skin for a push button: normal, mouse over, pressed and disabled frames of one
// strip, drawn over the button after each message that can change its look, with the button's
// window cut to the frame's shape.
#pragma once

#include <windows.h>

#include "forms/unique_handle.h"
#include "skin/Classtsyntaxgraphicsengine.h"
#include "skin/skin_bitmap.h"

namespace skin {

class classTSyntaxModelsbar {
 public:
  // Nothing is installed on the button until the first SetPicture.
  explicit classTSyntaxModelsbar(HWND button);
  // Gives the button back its own message handling; the window region stays the one set last.
  ~classTSyntaxModelsbar();
  classTSyntaxModelsbar(const classTSyntaxModelsbar&) = delete;
  classTSyntaxModelsbar& operator=(const classTSyntaxModelsbar&) = delete;

  // Takes ownership of a non-null strip (null keeps the current one), sizes the button to one
  // frame and, the first time only, starts handling the button's messages.
  void SetPicture(HBITMAP strip);
  // Draws the frame for the button's state over it and reshapes the button.
  void RepaintSkin();

  // The button's window procedure before the skin took over; null until then.
  WNDPROC OldWindowProc = nullptr;
  classTSyntaxGraphicsEngine Engine;
  forms::UniqueRegion AppliedRegion;  // the shape last given to the button
  SkinBitmap Picture;                 // the four-frame strip
  SkinBitmap BackBuffer;              // button-sized, the frame is drawn on it
  SkinBitmap FrameBitmap;             // the frame cut last
  WindowCanvas ButtonCanvas;
  bool Hover = false;
  bool Pressed = false;
  bool RepaintPending = false;
  HWND Button;  // not owned; null once the button window is gone

 private:
  static LRESULT CALLBACK SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR subclassId, DWORD_PTR self);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Uninstall();
};

}  // namespace skin
