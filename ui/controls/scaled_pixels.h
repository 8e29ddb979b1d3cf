// Pixel sizes that the windows set themselves, written for 96 DPI and scaled to the display's.
#pragma once

#include <windows.h>

namespace calbrin {

// `pixels` at 96 DPI as pixels at the DPI that `window` is drawn at: the same at 96 DPI, half as
// many again at 144 DPI (150 %). The dialog layouts scale by themselves through their dialog
// units; this is for the sizes given in pixels, such as the device list's column widths.
int ScaledPixels(HWND window, int pixels);

}  // namespace calbrin
