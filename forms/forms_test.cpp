// The form layer under Wine: real windows, timers and input.
#include "forms/forms.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "forms/message_pump.h"
#include "forms/string_grid.h"

namespace forms {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(Timer, EnablingAnEnabledTimerDoesNotRestartIt) {
  Timer timer(50);
  std::vector<Clock::time_point> fired;
  timer.OnTimer = [&] {
    fired.push_back(Clock::now());
    timer.SetEnabled(false);
  };
  const auto start = Clock::now();
  timer.SetEnabled(true);
  Pump(30ms);
  timer.SetEnabled(true);  // already enabled: the 50 ms keep running from the start
  Pump(60ms);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_LT(fired[0] - start, 75ms);
}

TEST(Timer, DisabledTimerNeverFiresAndReenablingStartsAfresh) {
  Timer timer(50);
  int fired = 0;
  Clock::time_point firedAt;
  timer.OnTimer = [&] {
    ++fired;
    firedAt = Clock::now();
    timer.SetEnabled(false);
  };
  timer.SetEnabled(true);
  Pump(30ms);
  timer.SetEnabled(false);
  Pump(80ms);
  EXPECT_EQ(fired, 0);
  const auto restart = Clock::now();
  timer.SetEnabled(true);
  Pump(30ms);
  timer.SetEnabled(false);
  timer.SetEnabled(true);  // off and on again: a fresh 50 ms
  const auto fresh = Clock::now();
  Pump(100ms);
  ASSERT_EQ(fired, 1);
  EXPECT_GE(firedAt - fresh, 40ms);
  EXPECT_GE(firedAt - restart, 70ms);
}

class TestForm : public Form {
 public:
  TestForm() {
    CreateWindowFor(L"FormsTestForm", 400, 300);
    background = std::make_unique<Shaper>(*this);
    background->Width = 400, background->Height = 300;
    label = std::make_unique<Label>(*this);
    label->Left = 20, label->Top = 20, label->Width = 100, label->Height = 16;
    label->AutoSize = false;
    label->SetCaption(L"label");
    plate = std::make_unique<Shape>(*this);
    plate->Left = 20, plate->Top = 60, plate->Width = 100, plate->Height = 40;
    plate->BrushColor = clBlack;
    grid = std::make_unique<StringGrid>(*this, 200, 100, 150, 100, std::vector<int>{50, 50, 50}, 22);
    bar = std::make_unique<SmoothScrollBar>(*this, 360, 100, 8, 100, 7, 2, 3);
    button = std::make_unique<Button>(*this, 20, 200, 100, 30, L"button");
    Show();
  }
  std::unique_ptr<Shaper> background;
  std::unique_ptr<Label> label;
  std::unique_ptr<Shape> plate;
  std::unique_ptr<StringGrid> grid;
  std::unique_ptr<SmoothScrollBar> bar;
  std::unique_ptr<Button> button;
};

// A left drag from a client point by (30, 20), injected as real input.
void Drag(const Form& form, POINT start) {
  const POINT origin = form.ClientOrigin();
  SetCursorPos(origin.x + start.x, origin.y + start.y);
  bool done = false;
  std::thread injector([&] {
    auto send = [](DWORD flags, int dx = 0, int dy = 0) {
      INPUT input{};
      input.type = INPUT_MOUSE;
      input.mi.dwFlags = flags;
      input.mi.dx = dx;
      input.mi.dy = dy;
      SendInput(1, &input, sizeof input);
      std::this_thread::sleep_for(30ms);
    };
    send(MOUSEEVENTF_LEFTDOWN);
    for (int i = 0; i < 5; ++i) send(MOUSEEVENTF_MOVE, 6, 4);
    send(MOUSEEVENTF_LEFTUP);
    done = true;
  });
  while (!done) Pump(5ms);
  injector.join();
  Pump(100ms);
}

TEST(Form, DraggingTheBackgroundMovesTheWindowButNotALabelTheShapeTheGridOrAButton) {
  TestForm form;
  Pump(100ms);
  const struct {
    const char* what;
    POINT at;
    bool moves;
  } cases[] = {{"label", {30, 25}, false}, {"shape", {50, 80}, false}, {"grid", {250, 150}, false}, {"button", {60, 215}, false},
                 {"background", {150, 250}, true}};
  for (const auto& c : cases) {
    RECT before, after;
    GetWindowRect(form.Handle(), &before);
    Drag(form, c.at);
    GetWindowRect(form.Handle(), &after);
    const bool moved = after.left != before.left || after.top != before.top;
    EXPECT_EQ(moved, c.moves) << c.what;
    if (c.moves) {
      EXPECT_EQ(after.left - before.left, 30) << c.what;
      EXPECT_EQ(after.top - before.top, 20) << c.what;
    }
  }
  form.background->DragsWindow = false;
  RECT before, after;
  GetWindowRect(form.Handle(), &before);
  Drag(form, {150, 250});
  GetWindowRect(form.Handle(), &after);
  EXPECT_EQ(after.left, before.left) << "a background that does not drag";
}

TEST(Form, GraphicControlsPaintInCreationOrderBeneathWindowedControls) {
  TestForm form;
  form.FormColor = RGB(10, 200, 10);
  form.plate->Left = 10, form.plate->Top = 10;  // over the label, created after it
  InvalidateRect(form.Handle(), nullptr, FALSE);
  Pump(100ms);
  HDC screen = GetDC(nullptr);
  const POINT origin = form.ClientOrigin();
  EXPECT_EQ(GetPixel(screen, origin.x + 40, origin.y + 28), RGB(0, 0, 0)) << "the shape covers the label";
  EXPECT_EQ(GetPixel(screen, origin.x + 150, origin.y + 250), RGB(10, 200, 10)) << "form colour";
  EXPECT_EQ(GetPixel(screen, origin.x + 230, origin.y + 180), RGB(0x47, 0x45, 0x46)) << "the grid's own background";
  ReleaseDC(nullptr, screen);
}

TEST(SmoothScrollBar, PositionIsClampedAndEveryChangeIsReported) {
  TestForm form;
  std::vector<int> reported;
  form.bar->OnPositionChanged = [&](int position) { reported.push_back(position); };
  form.bar->SetPosition(3);
  form.bar->SetPosition(3);
  form.bar->SetPosition(99);
  form.bar->SetMax(4);
  form.bar->SetPosition(-1);
  EXPECT_EQ(reported, (std::vector<int>{3, 7, 4, 0}));
}

TEST(StringGrid, PreparesTheCanvasOfEveryVisibleCellAndFollowsTheWheel) {
  TestForm form;
  StringGrid& grid = *form.grid;
  grid.SetFont({L"Tahoma", -11, false, RGB(201, 202, 202)});
  grid.SetRowCount(30);
  std::vector<std::pair<int, int>> drawn;
  grid.OnDrawCell = [&](int column, int row, const RECT& rect) {
    Canvas& canvas = *grid.DrawingCanvas();
    EXPECT_EQ(canvas.FontColor, RGB(201, 202, 202));
    EXPECT_EQ(canvas.BrushColor, clBlack);
    EXPECT_EQ(rect.bottom - rect.top, 21);
    drawn.emplace_back(column, row);
  };
  grid.SetRow(20);
  UpdateWindow(grid.Handle());
  ASSERT_FALSE(drawn.empty());
  // Four whole rows fit (100 / 22) and a part of a fifth: rows 17 to 21.
  EXPECT_EQ(drawn.front(), (std::pair{0, 17}));
  EXPECT_EQ(drawn.back(), (std::pair{2, 21}));
  EXPECT_EQ(drawn.size(), 15u);

  int wheelDowns = 0;
  grid.OnMouseWheelDown = [&](bool&) { ++wheelDowns; };
  SendMessageW(grid.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)), 0);
  EXPECT_EQ(wheelDowns, 2);
  EXPECT_EQ(grid.Row(), 22);
  SendMessageW(grid.Handle(), WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(grid.Row(), 0);
  EXPECT_EQ(grid.TopRow(), 0);
}

}  // namespace
}  // namespace forms
