// Our thin form layer over Win32: a form with a replaceable message procedure, graphic controls
// the form paints (label, shape, shaper), push buttons and window timers.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/unique_handle.h"

namespace forms {

// Colours are COLORREF values (red in the low byte); system colours are kSystemColor | index.
using Color = DWORD;
constexpr Color kSystemColor = 0x80000000u;
constexpr Color clBtnFace = kSystemColor | COLOR_BTNFACE;
constexpr Color clBtnText = kSystemColor | COLOR_BTNTEXT;
constexpr Color clWindowText = kSystemColor | COLOR_WINDOWTEXT;
constexpr Color clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF;
COLORREF ColorToRgb(Color color);

struct Message {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result = 0;
};

// A message procedure as code and object: replaceable, and callable from its replacement.
using WindowMethod = std::function<void(Message&)>;

struct FontSpec {
  std::wstring Name = L"Tahoma";
  int Height = -11;  // character height in pixels, as LOGFONT
  bool Bold = false;
  Color FontColor = clWindowText;
};

// Creates the font a spec describes; the caller owns it.
UniqueFont CreateFontFor(const FontSpec& spec);

class Form;

// Anything placed on a form, at client coordinates.
class Control {
 public:
  explicit Control(Form& owner) : owner_(owner) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  Form& Owner() const { return owner_; }
  RECT BoundsRect() const { return {Left, Top, Left + Width, Top + Height}; }
  int Left = 0, Top = 0, Width = 0, Height = 0;

 private:
  Form& owner_;
};

// Drawn by its form, beneath every windowed control; hit-tested by the form, topmost first.
class GraphicControl : public Control {
 public:
  explicit GraphicControl(Form& owner);
  virtual void Paint(HDC dc) = 0;
  // A left press on this control drags the whole window.
  virtual bool MovesWindow() const { return false; }
  void Invalidate();
};

// Draws only its text, left-aligned on one line: what lies beneath shows around the letters.
class Label : public GraphicControl {
 public:
  using GraphicControl::GraphicControl;
  void SetCaption(std::wstring caption);
  const std::wstring& Caption() const { return caption_; }
  void SetFont(const FontSpec& font);
  const FontSpec& Font() const { return font_; }
  void SetFontColor(Color color);
  void Paint(HDC dc) override;
  // Fits the label's size to its text whenever the text or the font changes.
  bool AutoSize = true;

 private:
  void FitToText();
  std::wstring caption_;
  FontSpec font_;
  UniqueFont fontHandle_;
};

// A filled rectangle with a one-pixel black outline.
class Shape : public GraphicControl {
 public:
  using GraphicControl::GraphicControl;
  Color BrushColor = clWhite;
  void Paint(HDC dc) override;
};

// Paints its picture at its origin and drags the window on a left press.
class Shaper : public GraphicControl {
 public:
  using GraphicControl::GraphicControl;
  // Takes ownership of the bitmap; null keeps the current picture.
  void SetPicture(HBITMAP picture);
  HBITMAP Picture() const { return picture_.get(); }
  bool MovesWindow() const override { return DragsWindow; }
  void Paint(HDC dc) override;
  bool DragsWindow = true;

 private:
  UniqueBitmap picture_;
};

// A control with a window of its own. Every message of the window goes through WindowProc,
// which starts as the control's own WndProc and can be replaced.
class WinControl : public Control {
 public:
  explicit WinControl(Form& owner);
  ~WinControl() override;
  HWND Handle() const { return handle_; }
  WindowMethod WindowProc;
  void SetBounds(int left, int top, int width, int height);
  void SetFocus() { ::SetFocus(handle_); }

 protected:
  // Creates a child window of the form (or, for the form itself, a top-level window) and routes
  // its messages through WindowProc. A window of a system class (BUTTON) is subclassed.
  void CreateHandle(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, HWND parent);
  virtual void WndProc(Message& message);
  // Registers a window class whose windows route their messages through WindowProc.
  static void RegisterWindowClass(const wchar_t* className, UINT style = 0);
  // The window's own procedure: DefWindowProcW, or the system class's procedure.
  LRESULT DefaultHandler(const Message& message);
  // For windows that paint all of themselves: WM_PAINT goes to Paint() and the background is never
  // erased. True when the message was one of those.
  bool HandleOwnPainting(Message& message);
  virtual void Paint() {}
  // Asks for one repaint of the whole window: further requests before it is painted cost nothing
  // (under Wine every invalidation is a round trip to the server).
  void InvalidateOnce();

 private:
  static LRESULT CALLBACK StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND handle_ = nullptr;  // destroyed with its parent, or by the destructor when top-level
  WNDPROC classProc_ = nullptr;
  bool repaintPending_ = false;
};

class Button : public WinControl {
 public:
  // Windowed controls are created in tab order, which is also their z-order.
  Button(Form& owner, int left, int top, int width, int height, const wchar_t* caption);
  std::function<void()> OnClick;
};

// A window timer on the user-interface thread. Enabling an enabled timer changes nothing; enabling
// a disabled one starts a fresh interval.
class Timer {
 public:
  explicit Timer(UINT interval);
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  ~Timer();
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::function<void()> OnTimer;

 private:
  static LRESULT CALLBACK StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  UINT interval_;
  bool enabled_ = false;
  UniqueWindow window_;  // message-only window that receives WM_TIMER
};

// A borderless top-level window. Graphic controls are painted in the order they were created.
class Form : public WinControl {
 public:
  Form();
  ~Form() override;
  // Creates the window: client size, centred on the screen, hidden until Show.
  void CreateWindowFor(const wchar_t* className, int clientWidth, int clientHeight);
  void Show();
  void SetCaption(const std::wstring& caption);
  std::wstring Caption() const;
  // Runs OnClose, then destroys the window; the main form's destruction ends the message loop.
  void Close();
  // Client origin in screen coordinates.
  POINT ClientOrigin() const;
  // Paints the form's background and graphic controls over `area` (client coordinates) into a
  // device context whose origin is the area's top-left corner.
  void PaintBackground(HDC dc, const RECT& area);

  Color FormColor = clBtnFace;
  std::function<void()> OnClose;
  // A key down that reached any window of this form, before that window handles it; return true
  // to consume it.
  std::function<bool(const MSG&)> OnShortcut;

 protected:
  void WndProc(Message& message) override;

 private:
  friend class GraphicControl;
  friend class WinControl;
  void Paint() override;
  GraphicControl* GraphicControlAt(POINT clientPoint) const;
  std::vector<GraphicControl*> graphicControls_;  // creation order
  std::vector<WinControl*> windowedControls_;
  bool closing_ = false;
};

// The application object: the main form, the message loop and the standard exception box.
class Application {
 public:
  bool MainFormOnTaskBar = false;
  void Initialize();
  // Creates the main form; its window is shown by Run.
  template <typename F>
  F* CreateForm() {
    auto form = std::make_unique<F>();
    F* raw = form.get();
    mainForm_ = std::move(form);
    return raw;
  }
  Form* MainForm() const { return mainForm_.get(); }
  void Run();
  // Hands one message to its window, after the shortcuts of the form it belongs to.
  static void Dispatch(MSG& message);
  // Shows an exception's message in a stop box captioned with the program's name.
  void ShowException(const std::wstring& message);
  void Terminate() { PostQuitMessage(0); }
  ~Application();

 private:
  std::unique_ptr<Form> mainForm_;
};

extern Application& TheApplication();

// UTF-8 (an exception's what()) to UTF-16.
std::wstring Widen(const char* text);

}  // namespace forms
