// The one main window: a borderless, skinned form with the results table, the key hints and two
// skinned buttons, driven by three global hotkeys (F1 start, F2 stop, ESC exit).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "click_race/stroke_judge.h"
#include "forms/forms.h"
#include "forms/string_grid.h"
#include "skin/Classtsyntaxmodelsbar.h"

class TMainForm : public forms::Form {
 public:
  TMainForm();
  ~TMainForm() override;

  // Components, as the window description declares them.
  std::unique_ptr<forms::Shaper> AdvShaper1;
  std::unique_ptr<forms::StringGrid> asg_SpeedAnalysis;
  std::unique_ptr<forms::Timer> tm_LeftDown;
  std::unique_ptr<forms::Timer> tm_RightDown;
  std::unique_ptr<forms::SmoothScrollBar> assb_SpeedAnalysis;
  std::unique_ptr<forms::Button> btn_Cancel;
  std::unique_ptr<forms::Label> le_Version;
  std::unique_ptr<forms::Label> lb_F1;
  std::unique_ptr<forms::Label> lb_F2;
  std::unique_ptr<forms::Label> lb_ESC;
  std::unique_ptr<forms::Shape> Shape1;
  std::unique_ptr<forms::Button> btn_Web;

  // Event handlers.
  void FormCreate();
  void FormClose();
  void asg_SpeedAnalysisDrawCell(int ACol, int ARow, const RECT& Rect);
  void tm_LeftDownTimer();
  void tm_RightDownTimer();
  void assb_SpeedAnalysisPositionChanged(int Position);
  void asg_SpeedAnalysisMouseWheelDown(bool& Handled);
  void btn_CancelClick();
  void btn_WebClick();

  // The run (click race engine).
  void StartRun();
  void StopRun();
  static LRESULT CALLBACK MouseHookProc(int code, WPARAM message, LPARAM event);
  void HandleButtonDown(UINT message, std::int64_t counter);
  void RecordStroke(bool collided);

  // The results table.
  void ClearTable();
  void AppendRow(int strokeNumber, click_race::StrokeVerdict verdict, double difference);
  // The filled rows as text, one line a row, cells separated by tabs.
  std::wstring TableText() const;
  void CopyTableToClipboard() const;

  void HotkeyWindowProc(forms::Message& message);
  void ExitSequence();

  // Fields.
  std::int64_t LeftQuery = 0, RightQuery = 0;
  std::int64_t LeftCounter = 0, RightCounter = 0;
  double LeftFrequency = 0, RightFrequency = 0;
  double LeftMs = 0, RightMs = 0;
  std::int32_t StrokeCount = 0;
  forms::UniqueHook MouseHook;
  std::unique_ptr<skin::classTSyntaxModelsbar> CancelButtonSkin, WebButtonSkin;
  forms::WindowMethod PreviousWindowProc;
  std::wstring DllPath;

 private:
  void CreateComponents();
  bool HandleShortcut(const MSG& message);
};

// The one main window, program-wide; the mouse hook reaches the form through it.
extern TMainForm* MainForm;
