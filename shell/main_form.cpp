#include "shell/main_form.h"

#include <shellapi.h>

#include "device_bridge/library_loader.h"
#include "shell/language.h"
#include "shell/system_language.h"
#include "skin/window_outline_region.h"

TMainForm* MainForm = nullptr;

namespace {

constexpr forms::Color kIdleF1 = 64767, kRunF1 = 255;
constexpr int kClientWidth = 813, kClientHeight = 553;

struct Hotkey {
  const wchar_t* atomName;
  UINT virtualKey;
};
constexpr Hotkey kStartHotkey{L"OpenMouseHook", VK_F1};
constexpr Hotkey kStopHotkey{L"StopTest", VK_F2};
constexpr Hotkey kCloseHotkey{L"Close", VK_ESCAPE};
constexpr Hotkey kHotkeys[] = {kStartHotkey, kStopHotkey, kCloseHotkey};

forms::FontSpec LabelFont(forms::Color color, bool bold) { return {L"Tahoma", -13, bold, color}; }

// The scroll bar's thumb: a 10 × 28 red bar, lit along its left edge.
forms::UniqueBitmap MakeThumbPicture() {
  const forms::WindowDc screen;
  forms::UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 10, 28));
  forms::UniqueDc dc(CreateCompatibleDC(screen.get()));
  forms::SelectionGuard select(dc.get(), bitmap.get());
  for (int x = 0; x < 10; ++x) {
    const int red = 230 - x * 12;
    forms::UniqueBrush brush(CreateSolidBrush(RGB(red, 16 + x, 24)));
    const RECT column{x, 0, x + 1, 28};
    FillRect(dc.get(), &column, brush.get());
  }
  return bitmap;
}

}  // namespace

TMainForm::TMainForm() {
  CreateComponents();
  // An exception in the creation steps ends them there; the window still opens.
  try {
    FormCreate();
  } catch (const std::exception& error) {
    forms::TheApplication().ShowException(forms::Widen(error.what()));
  } catch (...) {
    forms::TheApplication().ShowException(L"");
  }
}

TMainForm::~TMainForm() {
  if (MainForm == this) MainForm = nullptr;
}

// The window description: graphic controls in painting order, then the windowed controls in
// tab order.
void TMainForm::CreateComponents() {
  CreateWindowFor(L"TMainForm", kClientWidth, kClientHeight);
  // The stored outline, the same in every language; the system owns the region from here on.
  if (forms::UniqueRegion outline = skin::CreateWindowOutlineRegion()) {
    if (SetWindowRgn(Handle(), outline.get(), FALSE)) (void)outline.release();
  }
  OnClose = [this] { FormClose(); };
  OnShortcut = [this](const MSG& message) { return HandleShortcut(message); };

  AdvShaper1 = std::make_unique<forms::Shaper>(*this);
  AdvShaper1->Width = kClientWidth, AdvShaper1->Height = kClientHeight;

  auto label = [this](int left, int top, int width, const wchar_t* caption, forms::FontSpec font, bool autoSize = false) {
    auto control = std::make_unique<forms::Label>(*this);
    control->Left = left, control->Top = top, control->Width = width, control->Height = 16;
    control->AutoSize = autoSize;
    control->SetCaption(caption);
    control->SetFont(font);
    return control;
  };
  le_Version = label(40, 529, 71, L"版本：V1.3", LabelFont(forms::clWhite, false), true);
  Shape1 = std::make_unique<forms::Shape>(*this);
  Shape1->Left = 277, Shape1->Top = 332, Shape1->Width = 260, Shape1->Height = 56;
  Shape1->BrushColor = forms::clBtnText;
  lb_F1 = label(289, 340, 119, L"F1键：开始测试", LabelFont(kIdleF1, true));
  lb_F2 = label(427, 340, 110, L"F2键：停止测试", LabelFont(forms::clRed, true));
  lb_ESC = label(289, 362, 156, L"ESC键：离开测试程式", LabelFont(kIdleF1, true));

  asg_SpeedAnalysis = std::make_unique<forms::StringGrid>(*this, 553, 347, 208, 157, std::vector<int>{71, 73, 65}, 22);
  asg_SpeedAnalysis->BackgroundColor = 524698951 & 0xFFFFFF;
  asg_SpeedAnalysis->CellColor = forms::clBlack;
  asg_SpeedAnalysis->GridLineColor = 4408131;
  asg_SpeedAnalysis->SetFont({L"Tahoma", -11, false, 13290185});
  asg_SpeedAnalysis->OnDrawCell = [this](int column, int row, const RECT& rect) { asg_SpeedAnalysisDrawCell(column, row, rect); };
  asg_SpeedAnalysis->OnMouseWheelDown = [this](bool& handled) { asg_SpeedAnalysisMouseWheelDown(handled); };
  asg_SpeedAnalysis->OnMouseWheelUp = [this](bool& handled) { asg_SpeedAnalysisMouseWheelDown(handled); };

  assb_SpeedAnalysis = std::make_unique<forms::SmoothScrollBar>(*this, 765, 356, 8, 139, 7, 2, 3);
  assb_SpeedAnalysis->SetThumbPicture(MakeThumbPicture().release());
  assb_SpeedAnalysis->OnPositionChanged = [this](int position) { assb_SpeedAnalysisPositionChanged(position); };

  btn_Cancel = std::make_unique<forms::Button>(*this, 712, 519, 103, 38, L"離開");
  btn_Cancel->OnClick = [this] { btn_CancelClick(); };
  btn_Web = std::make_unique<forms::Button>(*this, 289, 522, 259, 34, L"網址");
  btn_Web->OnClick = [this] { btn_WebClick(); };

  tm_LeftDown = std::make_unique<forms::Timer>(50);
  tm_LeftDown->OnTimer = [this] { tm_LeftDownTimer(); };
  tm_RightDown = std::make_unique<forms::Timer>(50);
  tm_RightDown->OnTimer = [this] { tm_RightDownTimer(); };
}

void TMainForm::FormCreate() {
  DllPath = device_bridge::DeployDeviceLibrary();
  device_bridge::OpenDeviceLibrary(Handle(), DllPath);
  PreviousWindowProc = WindowProc;
  WindowProc = [this](forms::Message& message) { HotkeyWindowProc(message); };
  MouseHook.reset();
  SetCaption(shell::TextsFor(true).Caption);

  const bool chinese = shell::IsChineseUi();
  const shell::UiTexts& texts = shell::TextsFor(chinese);
  if (!chinese) {
    SetCaption(texts.Caption);
    lb_F1->SetCaption(texts.F1Hint);
    lb_F2->SetCaption(texts.F2Hint);
    lb_ESC->SetCaption(texts.EscHint);
    le_Version->SetCaption(texts.Version);
  }
  const HINSTANCE module = GetModuleHandleW(nullptr);
  AdvShaper1->SetPicture(LoadBitmapW(module, texts.BackgroundPicture));
  CancelButtonSkin = std::make_unique<skin::classTSyntaxModelsbar>(btn_Cancel->Handle());
  CancelButtonSkin->SetPicture(LoadBitmapW(module, texts.ExitPicture));
  HBITMAP webStrip = LoadBitmapW(module, L"Bitmap_WebIcon");
  WebButtonSkin = std::make_unique<skin::classTSyntaxModelsbar>(btn_Web->Handle());
  WebButtonSkin->SetPicture(webStrip);

  for (const Hotkey& hotkey : kHotkeys) {
    RegisterHotKey(Handle(), GlobalAddAtomW(hotkey.atomName), 0, hotkey.virtualKey);
  }
}

void TMainForm::HotkeyWindowProc(forms::Message& message) {
  if (message.Msg == WM_HOTKEY) {
    // Looked up, not added: a lookup must not raise the atom's reference count.
    const ATOM id = static_cast<ATOM>(message.WParam);
    if (id == GlobalFindAtomW(kStartHotkey.atomName)) StartRun();
    else if (id == GlobalFindAtomW(kStopHotkey.atomName)) StopRun();
    else if (id == GlobalFindAtomW(kCloseHotkey.atomName)) ExitSequence();
  }
  PreviousWindowProc(message);
}

void TMainForm::ExitSequence() {
  StopRun();
  device_bridge::CloseDeviceLibrary();
  DeleteFileW(DllPath.c_str());
  Close();
}

void TMainForm::btn_CancelClick() { ExitSequence(); }

void TMainForm::btn_WebClick() {
  ShellExecuteW(nullptr, nullptr, shell::TextsFor(shell::IsChineseUi()).WebPage, nullptr, nullptr, SW_SHOW);
}

void TMainForm::FormClose() {
  for (const Hotkey& hotkey : kHotkeys) {
    if (const ATOM atom = GlobalFindAtomW(hotkey.atomName)) {
      UnregisterHotKey(Handle(), atom);
      GlobalDeleteAtom(atom);  // the one reference registration added
    }
  }
  CancelButtonSkin.reset();
  WebButtonSkin.reset();
  MouseHook.reset();
}

bool TMainForm::HandleShortcut(const MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == 'C' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
    CopyTableToClipboard();
    return true;
  }
  return false;
}
