// Takes what the user sees of a window: its rectangle copied from the screen.
#pragma once

#include <windows.h>

#include "host/png_writer.h"

namespace quorvan::host {

// The window as it is on screen now (after its pending paints); an empty image
// when the window is not visible or cannot be read.
RgbImage CaptureWindow(HWND window);

}  // namespace quorvan::host
