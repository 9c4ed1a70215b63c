#include "host/window_capture.h"

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(WindowCapture, CopiesWhatIsOnScreen) {
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  WNDCLASSA type{};
  type.lpfnWndProc = PlainProc;
  type.hInstance = GetModuleHandleA(nullptr);
  type.hbrBackground = red;
  type.lpszClassName = "QuorvanCaptureProbe";
  ASSERT_TRUE(RegisterClassA(&type));
  HWND window = CreateWindowExA(0, type.lpszClassName, "", WS_POPUP | WS_VISIBLE, 10, 10, 64, 48,
                                nullptr, nullptr, type.hInstance, nullptr);
  ASSERT_TRUE(window);

  quorvan::host::RgbImage image = quorvan::host::CaptureWindow(window);
  ASSERT_EQ(image.width, 64);
  ASSERT_EQ(image.height, 48);
  const size_t centre = (24 * 64 + 32) * 3;
  EXPECT_EQ(image.rgb[centre], 255);
  EXPECT_EQ(image.rgb[centre + 1], 0);
  EXPECT_EQ(image.rgb[centre + 2], 0);

  std::vector<std::uint8_t> png = quorvan::host::EncodePng(image);
  ASSERT_GT(png.size(), 64u * 48u * 3u);
  EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");

  DestroyWindow(window);
  UnregisterClassA(type.lpszClassName, type.hInstance);
  DeleteObject(red);
}

TEST(WindowCapture, HiddenWindowGivesNoImage) {
  HWND hidden =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
  EXPECT_TRUE(quorvan::host::EncodePng(quorvan::host::CaptureWindow(hidden)).empty());
  DestroyWindow(hidden);
}

}  // namespace
