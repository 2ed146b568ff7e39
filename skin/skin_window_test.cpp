// The region builder and the button skin on real windows: real push buttons, real messages, real
// input through SendInput, and the resulting window regions read back with GetWindowRgn.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/unique_handle.h"
#include "skin/Classtsyntaxgraphicsengine.h"
#include "skin/Classtsyntaxmodelsbar.h"
#include "skin/run_scan.h"
#include "skin/skin_bitmap.h"
#include "skin/window_outline.h"
#include "skin/window_outline_region.h"

namespace skin {
namespace {

using Rects = std::vector<PixelRect>;

Rects RegionRects(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<unsigned char> data(size);
  if (size == 0 || GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) != size) return {};
  const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
  const auto* rects = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
  Rects out;
  for (DWORD i = 0; i < header->nCount; ++i) {
    out.push_back({rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
  }
  return out;
}

// nullopt while the window has no region at all.
std::optional<Rects> WindowRegion(HWND window) {
  forms::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
  if (GetWindowRgn(window, region.get()) == ERROR) return std::nullopt;
  return RegionRects(region.get());
}

void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Handles messages until the condition holds or the time is up; true when it held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 2000) {
  const DWORD start = GetTickCount();
  for (;;) {
    Pump();
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void SendMouse(DWORD flags, POINT screen = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  SendInput(1, &input, sizeof(input));
}

void MoveMouseTo(POINT screen) { SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen); }

// A 24-bit strip whose pixel colours (0xRRGGBB) come from a function, as LoadBitmapW would hand one over.
HBITMAP MakeStrip(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const int stride = (width * 3 + 3) / 4 * 4;
  for (int y = 0; y < height; ++y) {
    auto* row = static_cast<unsigned char*>(bits) + y * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t c = colour(x, y);
      row[x * 3] = c & 0xFF;
      row[x * 3 + 1] = (c >> 8) & 0xFF;
      row[x * 3 + 2] = (c >> 16) & 0xFF;
    }
  }
  return bitmap;
}

// Four 40 x 16 frames on black, each a plate inset by one more column than the last; frame 0 has a
// black hole at (4, 3) and a white pixel inside. Three red columns at the end belong to no frame.
constexpr int FrameWidth = 40;
constexpr int FrameHeight = 16;
HBITMAP MakeTestStrip() {
  return MakeStrip(4 * FrameWidth + 3, FrameHeight, [](int x, int y) -> std::uint32_t {
    const int k = x / FrameWidth;
    const int fx = x % FrameWidth;
    if (k == 4) return 0xFF0000;
    if (k == 0 && fx == 4 && y == 3) return 0x000000;
    if (k == 0 && fx == 20 && y == 8) return 0xFFFFFF;
    const bool plate = fx >= k + 1 && fx < FrameWidth - 1 - k && y >= 1 && y < FrameHeight - 1;
    return plate ? 0x203040 + 0x300000 * k : 0x000000;
  });
}

// Worked out by hand from the strip above.
const Rects NormalShape = {{1, 1, 39, 3}, {1, 3, 4, 4}, {5, 3, 39, 4}, {1, 4, 39, 15}};
const Rects HoverShape = {{2, 1, 38, 15}};
const Rects PressedShape = {{3, 1, 37, 15}};
const Rects DisabledShape = {{4, 1, 36, 15}};

class SkinWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"SkinTestHost";
    RegisterClassW(&windowClass);
  }

  // One host for the whole suite: a visible top-level window takes Wine about 2 s to take down.
  static void TearDownTestSuite() {
    host_.reset();
    Pump();
  }

  void SetUp() override {
    if (!host_) {
      host_.reset(CreateWindowExW(0, L"SkinTestHost", L"skin test", WS_POPUP | WS_VISIBLE, 100, 100, 400, 200,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    }
    ASSERT_TRUE(host_);
    button_ = CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 20, 20, 80, 30, host_.get(),
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button_, nullptr);
    SetForegroundWindow(host_.get());
    MoveMouseTo(Away());
    PumpUntil([] { return false; }, 100);
  }

  void TearDown() override {
    if (IsWindow(button_)) DestroyWindow(button_);
    Pump();
  }

  POINT ButtonPoint(int x, int y) const {
    POINT p{x, y};
    ClientToScreen(button_, &p);
    return p;
  }
  static POINT Away() { return POINT{1000, 900}; }

  SIZE ButtonSize() const {
    RECT r{};
    GetWindowRect(button_, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  }

  bool ShapeIs(const Rects& expected) const {
    const auto region = WindowRegion(button_);
    return region && *region == expected;
  }

  static inline forms::UniqueWindow host_;
  HWND button_ = nullptr;
};

TEST_F(SkinWindowTest, FrameFollowsHoverPressAndDisable) {
  classTSyntaxModelsbar skin(button_);
  skin.SetPicture(MakeTestStrip());
  EXPECT_EQ(ButtonSize().cx, FrameWidth);  // 163 / 4
  EXPECT_EQ(ButtonSize().cy, FrameHeight);
  RedrawWindow(button_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(PumpUntil([&] { return ShapeIs(NormalShape); })) << "first paint";

  MoveMouseTo(ButtonPoint(20, 8));
  EXPECT_TRUE(PumpUntil([&] { return ShapeIs(HoverShape); })) << "mouse over";

  SendMessageW(button_, BM_SETSTATE, TRUE, 0);
  EXPECT_TRUE(ShapeIs(PressedShape)) << "pressed wins over hover";

  EnableWindow(button_, FALSE);
  EXPECT_TRUE(ShapeIs(DisabledShape)) << "disabled wins over pressed and hover";

  EnableWindow(button_, TRUE);
  EXPECT_TRUE(ShapeIs(PressedShape)) << "enabled again, still pressed";

  SendMessageW(button_, BM_SETSTATE, FALSE, 0);
  EXPECT_TRUE(ShapeIs(HoverShape)) << "released under the mouse";

  MoveMouseTo(Away());
  EXPECT_TRUE(PumpUntil([&] { return ShapeIs(NormalShape); })) << "mouse left";
}

TEST_F(SkinWindowTest, RealClickShowsThePressedFrameWhileHeld) {
  classTSyntaxModelsbar skin(button_);
  skin.SetPicture(MakeTestStrip());
  MoveMouseTo(ButtonPoint(20, 8));
  ASSERT_TRUE(PumpUntil([&] { return ShapeIs(HoverShape); }));

  SendMouse(MOUSEEVENTF_LEFTDOWN);
  EXPECT_TRUE(PumpUntil([&] { return ShapeIs(PressedShape); })) << "held down";
  EXPECT_TRUE(skin.Pressed);
  SendMouse(MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(PumpUntil([&] { return ShapeIs(HoverShape); })) << "released";
  EXPECT_FALSE(skin.Pressed);
  MoveMouseTo(Away());
  PumpUntil([&] { return !skin.Hover; });
}

TEST_F(SkinWindowTest, MessagesOutsideTheTableDoNotRepaint) {
  classTSyntaxModelsbar skin(button_);
  skin.SetPicture(MakeTestStrip());
  RedrawWindow(button_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(PumpUntil([&] { return ShapeIs(NormalShape); }));

  // The state changes behind the skin's back; only a message of the table may show it.
  skin.Pressed = true;
  SendMessageW(button_, WM_TIMER, 77, 0);
  SendMessageW(button_, WM_CHAR, 'x', 0);
  SendMessageW(button_, WM_GETTEXTLENGTH, 0, 0);
  EXPECT_TRUE(ShapeIs(NormalShape));
  SendMessageW(button_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Go!"));
  EXPECT_TRUE(ShapeIs(PressedShape));
}

TEST_F(SkinWindowTest, DestructionRestoresTheHandlerFromBeforeTheFirstPicture) {
  const LONG_PTR original = GetWindowLongPtrW(button_, GWLP_WNDPROC);
  {
    classTSyntaxModelsbar skin(button_);
    EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_WNDPROC), original) << "nothing installed before SetPicture";
    skin.SetPicture(MakeTestStrip());
    EXPECT_NE(GetWindowLongPtrW(button_, GWLP_WNDPROC), original);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(skin.OldWindowProc), original);

    // A second picture changes the size and the look but installs nothing more.
    skin.SetPicture(MakeStrip(200, 10, [](int x, int y) -> std::uint32_t { return x % 50 && y ? 0x808080 : 0; }));
    EXPECT_EQ(ButtonSize().cx, 50);
    EXPECT_EQ(ButtonSize().cy, 10);
    RedrawWindow(button_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(PumpUntil([&] { return ShapeIs(Rects{{1, 1, 50, 10}}); }));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(skin.OldWindowProc), original);
  }
  EXPECT_EQ(GetWindowLongPtrW(button_, GWLP_WNDPROC), original);
  // The region set last stays, and the button keeps working on its own.
  EXPECT_TRUE(ShapeIs(Rects{{1, 1, 50, 10}}));
  SendMessageW(button_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"plain"));
  wchar_t text[16] = {};
  GetWindowTextW(button_, text, 16);
  EXPECT_EQ(std::wstring(text), L"plain");
}

TEST_F(SkinWindowTest, ButtonDestroyedBeforeItsSkin) {
  auto skin = std::make_unique<classTSyntaxModelsbar>(button_);
  skin->SetPicture(MakeTestStrip());
  DestroyWindow(button_);
  EXPECT_EQ(skin->Button, nullptr);
  skin->RepaintSkin();
  skin.reset();  // must not touch the dead handle
}

TEST_F(SkinWindowTest, ProgramStripsSizeTheButtonsAndCutTheirCorners) {
  struct StripCase {
    const wchar_t* Name;
    int Width, Height;
  };
  for (const StripCase& c : {StripCase{L"Bitmap_Cancel", 103, 34}, StripCase{L"Bitmap_Cancel2", 103, 34},
                             StripCase{L"Bitmap_WebIcon", 234, 22}}) {
    SCOPED_TRACE(testing::Message() << "strip of " << c.Width << " x " << c.Height);
    classTSyntaxModelsbar skin(button_);
    HBITMAP strip = LoadBitmapW(GetModuleHandleW(nullptr), c.Name);
    ASSERT_NE(strip, nullptr);
    skin.SetPicture(strip);
    EXPECT_EQ(ButtonSize().cx, c.Width);
    EXPECT_EQ(ButtonSize().cy, c.Height);
    RedrawWindow(button_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    forms::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(button_, region.get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0)) << "black corner";
    EXPECT_FALSE(PtInRegion(region.get(), c.Width - 1, c.Height - 1)) << "black corner";
    EXPECT_TRUE(PtInRegion(region.get(), c.Width / 2, c.Height / 2));
    RECT box{};
    GetRgnBox(region.get(), &box);
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, c.Width);
    EXPECT_LE(box.bottom, c.Height);
  }
}

// A canvas of the given size: black, with red rectangles where asked.
void Paint(SkinBitmap& canvas, int width, int height, const std::vector<RECT>& red) {
  ASSERT_TRUE(canvas.SetSize(width, height));
  forms::UniqueBrush brush(CreateSolidBrush(RGB(255, 0, 0)));
  for (const RECT& r : red) FillRect(canvas.Dc(), &r, brush.get());
}

TEST_F(SkinWindowTest, SameShapeTwiceSetsTheRegionOnce) {
  classTSyntaxGraphicsEngine engine;
  forms::UniqueRegion applied(CreateRectRgn(0, 0, 0, 0));
  SkinBitmap canvas;
  Paint(canvas, 8, 4, {RECT{2, 1, 6, 3}});

  engine.ApplyRegionFromCanvas(button_, applied.get(), canvas);
  EXPECT_TRUE(ShapeIs(Rects{{2, 1, 6, 3}}));
  EXPECT_EQ(RegionRects(applied.get()), (Rects{{2, 1, 6, 3}}));

  // A marker region: a second call on the same picture must leave it in place.
  SetWindowRgn(button_, CreateRectRgn(0, 0, 1, 1), TRUE);
  engine.ApplyRegionFromCanvas(button_, applied.get(), canvas);
  EXPECT_TRUE(ShapeIs(Rects{{0, 0, 1, 1}}));
  EXPECT_EQ(RegionRects(applied.get()), (Rects{{2, 1, 6, 3}}));

  // A changed picture is set again.
  Paint(canvas, 8, 4, {RECT{2, 1, 6, 3}, RECT{7, 3, 8, 4}});
  engine.ApplyRegionFromCanvas(button_, applied.get(), canvas);
  EXPECT_TRUE(ShapeIs(Rects{{2, 1, 6, 3}, {7, 3, 8, 4}}));
}

TEST_F(SkinWindowTest, AllKeyPictureKeepsTheWindowShape) {
  classTSyntaxGraphicsEngine engine;
  forms::UniqueRegion applied(CreateRectRgn(0, 0, 0, 0));
  SetWindowRgn(button_, CreateRectRgn(0, 0, 5, 5), TRUE);
  SkinBitmap canvas;
  Paint(canvas, 8, 4, {});
  engine.ApplyRegionFromCanvas(button_, applied.get(), canvas);
  EXPECT_TRUE(ShapeIs(Rects{{0, 0, 5, 5}}));
  EXPECT_EQ(RegionRects(applied.get()), Rects{});
}

TEST_F(SkinWindowTest, CutFrameCopiesTheFrameColumns) {
  classTSyntaxGraphicsEngine engine;
  SkinBitmap strip;
  // Column x of the strip is grey level x: the frame shows which columns it came from.
  ASSERT_TRUE(strip.Adopt(MakeStrip(937, 2, [](int x, int) -> std::uint32_t { return (x & 0xFF) * 0x010101; })));
  SkinBitmap frame;
  ASSERT_TRUE(engine.CutFrame(frame, strip, 4, 2));
  EXPECT_EQ(frame.Width(), 234);
  EXPECT_EQ(frame.Height(), 2);
  GdiFlush();
  EXPECT_EQ(frame.Pixel(0, 0), (468u & 0xFF) * 0x010101);
  EXPECT_EQ(frame.Pixel(233, 1), (701u & 0xFF) * 0x010101);
  EXPECT_FALSE(engine.CutFrame(frame, strip, 4, 4));
  EXPECT_FALSE(engine.CutFrame(frame, strip, 0, 0));
  EXPECT_EQ(frame.Width(), 234) << "a failed cut leaves the target alone";
}

TEST(RegionBuilds, OneCallAndRunByRunGiveIdenticalRegions) {
  classTSyntaxGraphicsEngine engine;
  struct PictureCase {
    const wchar_t* Name;
    int Frames;
  };
  for (const auto& [name, frames] : {PictureCase{L"Bitmap_Cancel", 4}, PictureCase{L"Bitmap_Cancel2", 4},
                                     PictureCase{L"Bitmap_WebIcon", 4}, PictureCase{L"Bitmap_English", 1}}) {
    SkinBitmap strip;
    ASSERT_TRUE(strip.Adopt(LoadBitmapW(GetModuleHandleW(nullptr), name)));
    for (int k = 0; k < frames; ++k) {
      SkinBitmap frame;
      ASSERT_TRUE(engine.CutFrame(frame, strip, frames, k));
      SkinBitmap canvas;  // a DIB section, as the skin's back buffer is
      ASSERT_TRUE(canvas.SetSize(frame.Width(), frame.Height()));
      BitBlt(canvas.Dc(), 0, 0, frame.Width(), frame.Height(), frame.Dc(), 0, 0, SRCCOPY);

      engine.BuildShape(canvas, classTSyntaxGraphicsEngine::RegionBuild::RunByRun);
      const Rects runByRun = RegionRects(engine.ShapeRegion.get());
      forms::UniqueRegion kept(CreateRectRgn(0, 0, 0, 0));
      CombineRgn(kept.get(), engine.ShapeRegion.get(), nullptr, RGN_COPY);
      engine.BuildShape(canvas, classTSyntaxGraphicsEngine::RegionBuild::OneCall);
      EXPECT_TRUE(EqualRgn(kept.get(), engine.ShapeRegion.get()));
      EXPECT_EQ(RegionRects(engine.ShapeRegion.get()), runByRun);
      EXPECT_FALSE(runByRun.empty());
    }
  }
}

TEST(WindowOutline, StoredOutlineBecomesTheWindowRegion) {
  forms::UniqueWindow window(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                             MainWindowWidth, MainWindowHeight, nullptr, nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(window);
  forms::UniqueRegion outline = CreateWindowOutlineRegion();
  ASSERT_TRUE(outline);
  ASSERT_NE(SetWindowRgn(window.get(), outline.release(), TRUE), 0);
  const auto region = WindowRegion(window.get());
  ASSERT_TRUE(region);
  const auto stored = WindowOutline();
  EXPECT_EQ(*region, Rects(stored.begin(), stored.end()));
}


// --- A preview of the skinned window: stored outline, background picture, two skinned buttons ---

LRESULT CALLBACK PictureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  } else if (message == WM_ERASEBKGND) {
    return 1;
  } else if (message == WM_PAINT) {
    forms::PaintGuard paint(window);
    const auto* picture = reinterpret_cast<const SkinBitmap*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (picture) BitBlt(paint.dc(), 0, 0, picture->Width(), picture->Height(), picture->Dc(), 0, 0, SRCCOPY);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Writes a 24-bit BMP of the bitmap, for a person to look at after the run.
void SaveBmp(const SkinBitmap& image, const char* path) {
  const int stride = (image.Width() * 3 + 3) / 4 * 4;
  std::vector<unsigned char> file(54 + static_cast<std::size_t>(stride) * image.Height());
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<std::uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, image.Width());
  put32(22, image.Height());
  file[26] = 1;
  file[28] = 24;
  GdiFlush();
  for (int y = 0; y < image.Height(); ++y) {
    unsigned char* row = file.data() + 54 + static_cast<std::size_t>(image.Height() - 1 - y) * stride;
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint32_t c = image.Pixel(x, y);
      row[x * 3] = c & 0xFF;
      row[x * 3 + 1] = (c >> 8) & 0xFF;
      row[x * 3 + 2] = (c >> 16) & 0xFF;
    }
  }
  forms::UniqueFile out(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  if (out) WriteFile(out.get(), file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
}

struct PreviewCase {
  const wchar_t* Background;
  const wchar_t* ExitStrip;
  const char* Screenshot;
};

class SkinnedWindowPreview : public testing::TestWithParam<PreviewCase> {};

TEST_P(SkinnedWindowPreview, OutlineCutsTheWindowAndButtonsShowTheirFrames) {
  const PreviewCase& c = GetParam();
  const HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSW pictureClass{};
  pictureClass.lpfnWndProc = PictureWindowProc;
  pictureClass.hInstance = module;
  pictureClass.lpszClassName = L"SkinPreview";
  RegisterClassW(&pictureClass);
  WNDCLASSW behindClass{};
  behindClass.lpfnWndProc = DefWindowProcW;
  behindClass.hInstance = module;
  behindClass.hbrBackground = CreateSolidBrush(RGB(0, 200, 0));
  behindClass.lpszClassName = L"SkinPreviewBehind";
  RegisterClassW(&behindClass);

  // A green window behind, and the skinned window over it at (60, 60).
  const POINT origin{60, 60};
  forms::UniqueWindow behind(CreateWindowExW(0, L"SkinPreviewBehind", L"", WS_POPUP | WS_VISIBLE, 40, 40, 860, 600,
                                             nullptr, nullptr, module, nullptr));
  SkinBitmap background;
  ASSERT_TRUE(background.Adopt(LoadBitmapW(module, c.Background)));
  forms::UniqueWindow window(CreateWindowExW(0, L"SkinPreview", L"", WS_POPUP, origin.x, origin.y, MainWindowWidth,
                                             MainWindowHeight, nullptr, nullptr, module, &background));
  ASSERT_TRUE(window);
  SetWindowRgn(window.get(), CreateWindowOutlineRegion().release(), FALSE);
  HWND exitButton = CreateWindowExW(0, L"BUTTON", L"exit", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 712, 519, 103, 38,
                                    window.get(), nullptr, module, nullptr);
  HWND webButton = CreateWindowExW(0, L"BUTTON", L"web", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 289, 522, 259, 34,
                                   window.get(), nullptr, module, nullptr);
  classTSyntaxModelsbar exitSkin(exitButton);
  exitSkin.SetPicture(LoadBitmapW(module, c.ExitStrip));
  classTSyntaxModelsbar webSkin(webButton);
  webSkin.SetPicture(LoadBitmapW(module, L"Bitmap_WebIcon"));
  ShowWindow(window.get(), SW_SHOW);
  SetForegroundWindow(window.get());
  MoveMouseTo(POINT{1200, 1000});
  PumpUntil([] { return false; }, 700);

  SkinBitmap screen;
  ASSERT_TRUE(screen.SetSize(900, 640));
  {
    HDC desktop = GetDC(nullptr);
    BitBlt(screen.Dc(), 0, 0, 900, 640, desktop, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, desktop);
  }
  SaveBmp(screen, c.Screenshot);
  GdiFlush();
  const auto shot = [&](int x, int y) { return screen.Pixel(origin.x + x, origin.y + y); };
  const auto picture = [&](int x, int y) { return background.Pixel(x, y); };
  const std::uint32_t green = 0x00C800;

  // Outside the outline: what lies behind.
  for (const POINT p : {POINT{400, 0}, POINT{400, 1}, POINT{100, 10}, POINT{700, 20}, POINT{5, 30}, POINT{810, 30},
                        POINT{120, 36}, POINT{812, 300}, POINT{812, 552}}) {
    EXPECT_EQ(shot(p.x, p.y), green) << "outside at " << p.x << "," << p.y;
  }
  // Inside: the picture, in the tab, on the shoulders and in the body.
  for (const POINT p : {POINT{400, 2}, POINT{274, 2}, POINT{50, 30}, POINT{760, 30}, POINT{0, 37}, POINT{811, 300},
                        POINT{100, 300}, POINT{600, 420}}) {
    EXPECT_EQ(shot(p.x, p.y), picture(p.x, p.y)) << "inside at " << p.x << "," << p.y;
  }
  // The buttons: their black corners show the picture, their middles show their normal frames.
  EXPECT_EQ(shot(712, 519), picture(712, 519));
  EXPECT_EQ(shot(289, 522), picture(289, 522));
  SkinBitmap exitStrip, webStrip;
  ASSERT_TRUE(exitStrip.Adopt(LoadBitmapW(module, c.ExitStrip)));
  ASSERT_TRUE(webStrip.Adopt(LoadBitmapW(module, L"Bitmap_WebIcon")));
  EXPECT_EQ(shot(712 + 20, 519 + 17), exitStrip.Pixel(20, 17));
  EXPECT_EQ(shot(289 + 117, 522 + 11), webStrip.Pixel(117, 11));
}

INSTANTIATE_TEST_SUITE_P(Languages, SkinnedWindowPreview,
                         testing::Values(PreviewCase{L"Bitmap_Chinese", L"Bitmap_Cancel", "skin_preview_chinese.bmp"},
                                         PreviewCase{L"Bitmap_English", L"Bitmap_Cancel2", "skin_preview_english.bmp"}),
                         [](const testing::TestParamInfo<PreviewCase>& info) {
                           return std::string(info.param.Screenshot).find("chinese") != std::string::npos
                                      ? "Chinese"
                                      : "English";
                         });

}  // namespace
}  // namespace skin
