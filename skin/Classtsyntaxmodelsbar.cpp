#include "skin/Classtsyntaxmodelsbar.h"

#include <commctrl.h>

namespace skin {

namespace {

constexpr int FrameCount = 4;
constexpr int NormalFrame = 0;
constexpr int HoverFrame = 1;
constexpr int PressedFrame = 2;
constexpr int DisabledFrame = 3;

}  // namespace

classTSyntaxModelsbar::classTSyntaxModelsbar(HWND button)
    : AppliedRegion(CreateRectRgn(0, 0, 0, 0)), ButtonCanvas(button), Button(button) {}

classTSyntaxModelsbar::~classTSyntaxModelsbar() {
  Uninstall();
  BackBuffer.Release();
  FrameBitmap.Release();
  ButtonCanvas.Release();
  Picture.Release();
}

void classTSyntaxModelsbar::Uninstall() {
  if (OldWindowProc && Button) {
    // Removing the last subclass puts the original window procedure back.
    RemoveWindowSubclass(Button, SkinWindowProc, reinterpret_cast<UINT_PTR>(this));
  }
  OldWindowProc = nullptr;
}

void classTSyntaxModelsbar::SetPicture(HBITMAP strip) {
  if (strip) Picture.Adopt(strip);
  if (!Button) return;
  SetWindowPos(Button, nullptr, 0, 0, Picture.Width() / FrameCount, Picture.Height(),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (OldWindowProc) return;
  // Subclassing through comctl32 stacks with any other subclass of the button and unlinks only
  // ours on removal, whatever the order; the procedure it had is recorded to show it was taken over.
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Button, GWLP_WNDPROC));
  if (SetWindowSubclass(Button, SkinWindowProc, reinterpret_cast<UINT_PTR>(this),
                        reinterpret_cast<DWORD_PTR>(this))) {
    OldWindowProc = previous;
  }
}

LRESULT CALLBACK classTSyntaxModelsbar::SkinWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                       UINT_PTR, DWORD_PTR self) {
  return reinterpret_cast<classTSyntaxModelsbar*>(self)->HandleMessage(window, message, wParam, lParam);
}

LRESULT classTSyntaxModelsbar::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The button handles every message first and keeps its own behaviour.
  const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window is going away before the skin: never touch its handle again.
    Uninstall();
    Button = nullptr;
    ButtonCanvas.Release();
    return result;
  }

  RepaintPending = false;
  switch (message) {
    case WM_SIZE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case WM_PAINT:
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      RepaintPending = true;
      break;
    case BM_SETSTATE:
      Pressed = wParam != 0;
      RepaintPending = true;
      break;
    case WM_MOUSEMOVE:
      if (!Hover) {
        // Ask for the leave message ourselves too, so hover also ends on buttons without visual styles.
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
        TrackMouseEvent(&track);
      }
      Hover = true;
      RepaintPending = true;
      break;
    case WM_MOUSELEAVE:
      Hover = false;
      RepaintPending = true;
      break;
    default:
      break;
  }
  if (RepaintPending) RepaintSkin();
  return result;
}

void classTSyntaxModelsbar::RepaintSkin() {
  if (!Button || !BackBuffer.IsValid() || !FrameBitmap.IsValid()) return;
  RECT bounds{};
  GetWindowRect(Button, &bounds);
  const int width = bounds.right - bounds.left;
  const int height = bounds.bottom - bounds.top;
  if (BackBuffer.Width() != width || BackBuffer.Height() != height) BackBuffer.SetSize(width, height);

  const int frame = !IsWindowEnabled(Button) ? DisabledFrame
                    : Pressed                ? PressedFrame
                    : Hover                  ? HoverFrame
                                             : NormalFrame;
  Engine.CutFrame(FrameBitmap, Picture, FrameCount, frame);
  BitBlt(BackBuffer.Dc(), 0, 0, FrameBitmap.Width(), FrameBitmap.Height(), FrameBitmap.Dc(), 0, 0, SRCCOPY);
  {
    const WindowCanvas::Dc buttonDc = ButtonCanvas.Acquire();
    if (buttonDc.get()) BitBlt(buttonDc.get(), 0, 0, width, height, BackBuffer.Dc(), 0, 0, SRCCOPY);
  }
  Engine.ApplyRegionFromCanvas(Button, AppliedRegion.get(), BackBuffer);
}

}  // namespace skin
