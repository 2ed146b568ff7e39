// The results table: one row per stroke, newest at the bottom, the verdict word coloured.
#include <windows.h>

#include "click_race/difference_text.h"
#include "shell/language.h"
#include "shell/main_form.h"
#include "shell/system_language.h"

namespace {
constexpr int kRowsShown = 7;

struct VerdictColor {
  click_race::StrokeVerdict verdict;
  forms::Color color;
};
constexpr VerdictColor kVerdictColors[] = {
    {click_race::StrokeVerdict::LeftFaster, 11447982},
    {click_race::StrokeVerdict::RightFaster, 301739},
    {click_race::StrokeVerdict::CollisionFailed, 1694},
};
}  // namespace

void TMainForm::ClearTable() {
  asg_SpeedAnalysis->SetRowCount(1);
  for (int column = 0; column < 3; ++column) asg_SpeedAnalysis->SetCell(column, 0, L"");
  assb_SpeedAnalysis->SetPosition(0);
  assb_SpeedAnalysis->SetMin(0);
  assb_SpeedAnalysis->SetMax(kRowsShown);
}

void TMainForm::AppendRow(int strokeNumber, click_race::StrokeVerdict verdict, double difference) {
  const int row = strokeNumber - 1;
  asg_SpeedAnalysis->SetRowCount(strokeNumber);
  asg_SpeedAnalysis->SetCell(0, row, std::to_wstring(strokeNumber));
  asg_SpeedAnalysis->SetCell(1, row, std::wstring(shell::VerdictWord(verdict, shell::IsChineseUi())));
  asg_SpeedAnalysis->SetCell(2, row, verdict == click_race::StrokeVerdict::CollisionFailed
                                         ? std::wstring()
                                         : click_race::FormatDifference(difference, shell::DecimalSeparator()) + L" ms");
  if (strokeNumber > kRowsShown) {
    assb_SpeedAnalysis->SetMin(0);
    assb_SpeedAnalysis->SetMax(strokeNumber - 1);
    assb_SpeedAnalysis->SetPosition(strokeNumber - 1);
    asg_SpeedAnalysis->SetRow(assb_SpeedAnalysis->Position());
    asg_SpeedAnalysis->SetColumn(0);
  }
}

void TMainForm::asg_SpeedAnalysisDrawCell(int ACol, int ARow, const RECT& Rect) {
  const bool chinese = shell::IsChineseUi();
  forms::Canvas& canvas = *asg_SpeedAnalysis->DrawingCanvas();
  const std::wstring& text = asg_SpeedAnalysis->Cell(ACol, ARow);
  for (const VerdictColor& entry : kVerdictColors) {
    if (text == shell::VerdictWord(entry.verdict, chinese)) {
      canvas.FontColor = entry.color;
      break;
    }
  }
  canvas.FillRect(Rect);
  RECT textRect = Rect;
  DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &textRect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void TMainForm::assb_SpeedAnalysisPositionChanged(int) {
  if (asg_SpeedAnalysis->RowCount() < 2) return;
  const int position = assb_SpeedAnalysis->Position();
  if (position < asg_SpeedAnalysis->RowCount()) {
    asg_SpeedAnalysis->SetRow(position);
    asg_SpeedAnalysis->SetColumn(0);
  }
}

// Called before the grid takes its own step for the notch: the scroll bar shows the row the
// grid had before the step.
void TMainForm::asg_SpeedAnalysisMouseWheelDown(bool&) { assb_SpeedAnalysis->SetPosition(asg_SpeedAnalysis->Row()); }

std::wstring TMainForm::TableText() const {
  std::wstring text;
  for (int row = 0; row < StrokeCount && row < asg_SpeedAnalysis->RowCount(); ++row) {
    text += asg_SpeedAnalysis->Cell(0, row) + L'\t' + asg_SpeedAnalysis->Cell(1, row) + L'\t' + asg_SpeedAnalysis->Cell(2, row) + L"\r\n";
  }
  return text;
}

void TMainForm::CopyTableToClipboard() const {
  const std::wstring text = TableText();
  if (!OpenClipboard(Handle())) return;
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      // On success the clipboard owns the memory; otherwise it is still ours.
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}
