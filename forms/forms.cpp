#include "forms/forms.h"

#include <algorithm>

namespace forms {

COLORREF ColorToRgb(Color color) {
  return (color & kSystemColor) ? GetSysColor(static_cast<int>(color & 0xFF)) : (color & 0xFFFFFF);
}

UniqueFont CreateFontFor(const FontSpec& spec) {
  LOGFONTW font{};
  font.lfHeight = spec.Height;
  font.lfWeight = spec.Bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(font.lfFaceName, spec.Name.c_str(), LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&font));
}

std::wstring Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 1) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.pop_back();
  return wide;
}

namespace {
constexpr wchar_t kTimerClass[] = L"FormsTimerWindow";
constexpr UINT_PTR kTimerId = 1;
// Marks a top-level window as a form, for the keyboard shortcuts of its child windows.
constexpr wchar_t kFormProperty[] = L"FormsForm";

void RegisterClassOnce(const wchar_t* name, WNDPROC procedure, UINT style = 0) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &windowClass)) return;
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  RegisterClassExW(&windowClass);
}
}  // namespace

// ---- graphic controls

GraphicControl::GraphicControl(Form& owner) : Control(owner) { owner.graphicControls_.push_back(this); }

void GraphicControl::Invalidate() {
  if (!Owner().Handle()) return;
  const RECT bounds = BoundsRect();
  InvalidateRect(Owner().Handle(), &bounds, FALSE);
}

void Label::SetCaption(std::wstring caption) {
  Invalidate();
  caption_ = std::move(caption);
  FitToText();
  Invalidate();
}

void Label::SetFont(const FontSpec& font) {
  Invalidate();
  font_ = font;
  fontHandle_ = CreateFontFor(font_);
  FitToText();
  Invalidate();
}

void Label::FitToText() {
  if (!AutoSize || !fontHandle_) return;
  const WindowDc screen;
  SelectionGuard font(screen.get(), fontHandle_.get());
  SIZE extent{};
  if (GetTextExtentPoint32W(screen.get(), caption_.c_str(), static_cast<int>(caption_.size()), &extent)) {
    Width = extent.cx;
    Height = extent.cy;
  }
}

void Label::SetFontColor(Color color) {
  if (font_.FontColor == color) return;
  font_.FontColor = color;
  Invalidate();
}

void Label::Paint(HDC dc) {
  if (!fontHandle_) fontHandle_ = CreateFontFor(font_);
  SelectionGuard font(dc, fontHandle_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRgb(font_.FontColor));
  RECT bounds = BoundsRect();
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &bounds, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void Shape::Paint(HDC dc) {
  UniqueBrush brush(CreateSolidBrush(ColorToRgb(BrushColor)));
  SelectionGuard selectBrush(dc, brush.get());
  SelectionGuard selectPen(dc, GetStockObject(BLACK_PEN));
  Rectangle(dc, Left, Top, Left + Width, Top + Height);
}

void Shaper::SetPicture(HBITMAP picture) {
  if (!picture) return;
  picture_.reset(picture);
  Invalidate();
}

void Shaper::Paint(HDC dc) {
  if (!picture_) return;
  UniqueDc source(CreateCompatibleDC(dc));
  SelectionGuard select(source.get(), picture_.get());
  BITMAP info{};
  GetObjectW(picture_.get(), sizeof info, &info);
  BitBlt(dc, Left, Top, std::min<int>(Width, info.bmWidth), std::min<int>(Height, info.bmHeight), source.get(), 0, 0, SRCCOPY);
}

// ---- windowed controls

WinControl::WinControl(Form& owner) : Control(owner) {
  WindowProc = [this](Message& message) { WndProc(message); };
  if (&owner != this) owner.windowedControls_.push_back(this);
}

WinControl::~WinControl() {
  if (!handle_) return;
  // Detach first: the window must not call back into a half-destroyed object.
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  if (classProc_) SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc_));
  DestroyWindow(handle_);
}

void WinControl::CreateHandle(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, HWND parent) {
  const bool systemClass = lstrcmpiW(className, L"BUTTON") == 0;
  handle_ = CreateWindowExW(exStyle, className, text, style, Left, Top, Width, Height, parent, nullptr,
                            GetModuleHandleW(nullptr), systemClass ? nullptr : this);
  if (!handle_) return;
  if (systemClass) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    classProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WinControl::StaticProc)));
  }
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

LRESULT CALLBACK WinControl::StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<WinControl*>(create->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<WinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == WM_PAINT) self->repaintPending_ = false;
  Message message{msg, wParam, lParam};
  self->WindowProc(message);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return message.Result;
}

void WinControl::RegisterWindowClass(const wchar_t* className, UINT style) {
  RegisterClassOnce(className, &WinControl::StaticProc, style);
}

void WinControl::WndProc(Message& message) { message.Result = DefaultHandler(message); }

bool WinControl::HandleOwnPainting(Message& message) {
  if (message.Msg == WM_PAINT) {
    Paint();
    return true;
  }
  if (message.Msg == WM_ERASEBKGND) {
    message.Result = 1;
    return true;
  }
  return false;
}

void WinControl::InvalidateOnce() {
  if (repaintPending_ || !handle_) return;
  repaintPending_ = InvalidateRect(handle_, nullptr, FALSE) != FALSE;
}

LRESULT WinControl::DefaultHandler(const Message& message) {
  if (classProc_) return CallWindowProcW(classProc_, handle_, message.Msg, message.WParam, message.LParam);
  return DefWindowProcW(handle_, message.Msg, message.WParam, message.LParam);
}

void WinControl::SetBounds(int left, int top, int width, int height) {
  Left = left, Top = top, Width = width, Height = height;
  if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Button::Button(Form& owner, int left, int top, int width, int height, const wchar_t* caption) : WinControl(owner) {
  Left = left, Top = top, Width = width, Height = height;
  CreateHandle(L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, owner.Handle());
}

// ---- timer


Timer::Timer(UINT interval) : interval_(interval) {
  RegisterClassOnce(kTimerClass, &Timer::StaticProc);
  window_.reset(CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr));
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Timer::~Timer() {
  if (window_) {
    KillTimer(window_.get(), kTimerId);
    SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
  }
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  // SetTimer on a running id starts its interval afresh. Stopping is left to the next WM_TIMER,
  // which finds the timer disabled: that keeps a server round trip out of the mouse hook.
  if (enabled) SetTimer(window_.get(), kTimerId, interval_, nullptr);
}

LRESULT CALLBACK Timer::StaticProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == kTimerId) {
    auto* self = reinterpret_cast<Timer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self || !self->enabled_) {
      KillTimer(window, kTimerId);
    } else if (self->OnTimer) {
      self->OnTimer();
    }
    return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

// ---- form

Form::Form() : WinControl(*this) {}

Form::~Form() {
  closing_ = true;
  graphicControls_.clear();
  windowedControls_.clear();
}

void Form::CreateWindowFor(const wchar_t* className, int clientWidth, int clientHeight) {
  RegisterWindowClass(className);
  // Borderless: the client area is the whole window.
  Width = clientWidth;
  Height = clientHeight;
  Left = (GetSystemMetrics(SM_CXSCREEN) - clientWidth) / 2;
  Top = (GetSystemMetrics(SM_CYSCREEN) - clientHeight) / 2;
  const DWORD exStyle = TheApplication().MainFormOnTaskBar ? WS_EX_APPWINDOW : 0;
  CreateHandle(className, L"", WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, exStyle, nullptr);
  SetPropW(Handle(), kFormProperty, this);
}

void Form::Show() {
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
}

void Form::SetCaption(const std::wstring& caption) { SetWindowTextW(Handle(), caption.c_str()); }

std::wstring Form::Caption() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return text;
}

void Form::Close() {
  if (closing_ || !Handle()) return;
  closing_ = true;
  if (OnClose) OnClose();
  DestroyWindow(Handle());
}

POINT Form::ClientOrigin() const {
  POINT origin{0, 0};
  ClientToScreen(Handle(), &origin);
  return origin;
}

GraphicControl* Form::GraphicControlAt(POINT point) const {
  for (auto it = graphicControls_.rbegin(); it != graphicControls_.rend(); ++it) {
    const RECT bounds = (*it)->BoundsRect();
    if (PtInRect(&bounds, point)) return *it;
  }
  return nullptr;
}

void Form::PaintBackground(HDC dc, const RECT& area) {
  POINT oldOrigin;
  SetWindowOrgEx(dc, area.left, area.top, &oldOrigin);
  UniqueBrush background(CreateSolidBrush(ColorToRgb(FormColor)));
  FillRect(dc, &area, background.get());
  for (GraphicControl* control : graphicControls_) {
    RECT bounds = control->BoundsRect(), overlap;
    if (IntersectRect(&overlap, &bounds, &area)) control->Paint(dc);
  }
  SetWindowOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
}

void Form::Paint() {
  PaintGuard paint(Handle());
  const RECT area = paint.area();
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  // Double buffered: the controls are drawn into a bitmap of the damaged area, then copied at once.
  UniqueDc buffer(CreateCompatibleDC(paint.dc()));
  UniqueBitmap bitmap(CreateCompatibleBitmap(paint.dc(), width, height));
  SelectionGuard select(buffer.get(), bitmap.get());
  PaintBackground(buffer.get(), area);
  BitBlt(paint.dc(), area.left, area.top, width, height, buffer.get(), 0, 0, SRCCOPY);
}

void Form::WndProc(Message& message) {
  if (HandleOwnPainting(message)) return;
  switch (message.Msg) {
    case WM_LBUTTONDOWN: {
      const POINT point{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
      if (GraphicControl* control = GraphicControlAt(point); control && control->MovesWindow()) {
        // As a press on a title bar would: the system's move loop, which keeps dispatching messages.
        ReleaseCapture();
        SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
        return;
      }
      break;
    }
    case WM_COMMAND:
      if (HIWORD(message.WParam) == BN_CLICKED) {
        for (WinControl* control : windowedControls_) {
          if (control->Handle() == reinterpret_cast<HWND>(message.LParam)) {
            if (auto* button = dynamic_cast<Button*>(control); button && button->OnClick) button->OnClick();
            return;
          }
        }
      }
      break;
    case WM_CLOSE:
      Close();
      return;
    case WM_DESTROY:
      RemovePropW(Handle(), kFormProperty);
      if (TheApplication().MainForm() == this) PostQuitMessage(0);
      break;
  }
  WinControl::WndProc(message);
}

// ---- application

Application& TheApplication() {
  static Application application;
  return application;
}

Application::~Application() = default;

void Application::Initialize() {
  SetProcessDPIAware();
}

void Application::Run() {
  if (!mainForm_ || !mainForm_->Handle()) return;
  mainForm_->Show();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
}

void Application::Dispatch(MSG& message) {
  if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) && message.hwnd) {
    auto* form = static_cast<Form*>(GetPropW(GetAncestor(message.hwnd, GA_ROOT), kFormProperty));
    if (form && form->OnShortcut && form->OnShortcut(message)) return;
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

void Application::ShowException(const std::wstring& message) {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring title = path;
  title = title.substr(title.find_last_of(L"\\/") + 1);
  if (const auto dot = title.find_last_of(L'.'); dot != std::wstring::npos) title.resize(dot);
  MessageBoxW(nullptr, message.c_str(), title.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace forms
