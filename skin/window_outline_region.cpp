#include "skin/window_outline_region.h"

#include <cstring>
#include <vector>

#include "skin/window_outline.h"

namespace skin {

forms::UniqueRegion CreateWindowOutlineRegion() {
  const auto outline = WindowOutline();
  std::vector<unsigned char> data(sizeof(RGNDATAHEADER) + outline.size() * sizeof(RECT));
  RGNDATAHEADER header{};
  header.dwSize = sizeof(header);
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(outline.size());
  header.nRgnSize = static_cast<DWORD>(outline.size() * sizeof(RECT));
  header.rcBound = RECT{0, 0, MainWindowWidth, MainWindowHeight};
  std::memcpy(data.data(), &header, sizeof(header));
  unsigned char* at = data.data() + sizeof(header);
  for (const PixelRect& r : outline) {
    const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
    std::memcpy(at, &rect, sizeof(rect));
    at += sizeof(rect);
  }
  return forms::UniqueRegion(
      ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
}

}  // namespace skin
