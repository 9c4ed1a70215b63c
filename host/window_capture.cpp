#include "host/window_capture.h"

#include <memory>

namespace quorvan::host {
namespace {

struct ScreenDc {
  HDC dc = GetDC(nullptr);
  ~ScreenDc() {
    if (dc) ReleaseDC(nullptr, dc);
  }
};

struct MemoryDc {
  HDC dc;
  explicit MemoryDc(HDC compatible) : dc(CreateCompatibleDC(compatible)) {}
  ~MemoryDc() {
    if (dc) DeleteDC(dc);
  }
};

struct Bitmap {
  HBITMAP bitmap = nullptr;
  ~Bitmap() {
    if (bitmap) DeleteObject(bitmap);
  }
};

}  // namespace

RgbImage CaptureWindow(HWND window) {
  RgbImage image;
  RECT rect;
  if (!IsWindowVisible(window) || !GetWindowRect(window, &rect)) return image;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  // Under Wine the drawing reaches the display asynchronously: the copy below
  // reads the screen, so what was drawn must be there first.
  GdiFlush();
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return image;

  ScreenDc screen;
  MemoryDc memory(screen.dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap dib;
  dib.bitmap = CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!screen.dc || !memory.dc || !dib.bitmap || !bits) return image;

  HGDIOBJ previous = SelectObject(memory.dc, dib.bitmap);
  BOOL copied = BitBlt(memory.dc, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY);
  SelectObject(memory.dc, previous);
  if (!copied) return image;

  image.width = width;
  image.height = height;
  image.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  const auto* bgrx = static_cast<const std::uint8_t*>(bits);
  for (size_t pixel = 0, count = static_cast<size_t>(width) * height; pixel < count; ++pixel) {
    image.rgb[pixel * 3 + 0] = bgrx[pixel * 4 + 2];
    image.rgb[pixel * 3 + 1] = bgrx[pixel * 4 + 1];
    image.rgb[pixel * 3 + 2] = bgrx[pixel * 4 + 0];
  }
  return image;
}

}  // namespace quorvan::host
