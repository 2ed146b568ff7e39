// The main window's stored outline as a Win32 region.
#pragma once

#include <windows.h>

#include "forms/unique_handle.h"

namespace skin {

// The 55 stored rectangles as one region, ready for SetWindowRgn (which then owns it). Empty owner on failure.
forms::UniqueRegion CreateWindowOutlineRegion();

}  // namespace skin
