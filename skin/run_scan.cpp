#include "skin/run_scan.h"

#include <cstddef>

namespace skin {

std::vector<PixelRect> RunsToBands(const std::vector<PixelRun>& runs) {
  std::vector<PixelRect> bands;
  std::size_t bandBegin = 0;  // first rectangle of the band that rows may still extend
  std::size_t i = 0;
  while (i < runs.size()) {
    const int y = runs[i].Y;
    std::size_t rowEnd = i;
    while (rowEnd < runs.size() && runs[rowEnd].Y == y) ++rowEnd;

    // The row extends the last band when that band ends at this row and has exactly its runs.
    bool extends = bandBegin < bands.size() && bands[bandBegin].Bottom == y &&
                   bands.size() - bandBegin == rowEnd - i;
    for (std::size_t k = 0; extends && k < rowEnd - i; ++k) {
      const PixelRect& band = bands[bandBegin + k];
      extends = band.Left == runs[i + k].Start && band.Right == runs[i + k].End;
    }
    if (extends) {
      for (std::size_t k = bandBegin; k < bands.size(); ++k) bands[k].Bottom = y + 1;
    } else {
      bandBegin = bands.size();
      for (std::size_t k = i; k < rowEnd; ++k) bands.push_back({runs[k].Start, y, runs[k].End, y + 1});
    }
    i = rowEnd;
  }
  return bands;
}

}  // namespace skin
