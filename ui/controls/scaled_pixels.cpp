// Scaling of pixel sizes to a window's DPI.
#include "ui/controls/scaled_pixels.h"

namespace calbrin {
namespace {

constexpr int kDesignDpi = 96;

}  // namespace

int ScaledPixels(HWND window, int pixels) {
  // The program is aware of the system's DPI (its manifest says so), and every window is drawn at
  // that DPI: the DPI of the window's device context, which older systems report too.
  HDC dc = GetDC(window);
  if (dc == nullptr) return pixels;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(window, dc);
  return dpi > 0 ? MulDiv(pixels, dpi, kDesignDpi) : pixels;
}

}  // namespace calbrin
