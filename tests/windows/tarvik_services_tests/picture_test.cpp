// Picture objects from bitmap files, and giving back any pointer the library
// handed out, dead ones included.
#include <gtest/gtest.h>

#include <windows.h>

#include <olectl.h>

#include <cstdint>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "tests/support/counted_object.h"
#include "tests/support/gui_objects.h"
#include "tests/windows/tarvik_services_tests/services_fixture.h"

namespace services_tests {
namespace {

// A 24-bit bitmap file of `width` x `height` pixels in one colour.
void WriteBitmapFile(const std::string& path, int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(stride * height);
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + info.biSizeImage;
  std::vector<char> pixels(info.biSizeImage, '\x40');
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

LONG HimetricFromPixels(int pixels, int index) {
  HDC screen = GetDC(nullptr);
  const int perInch = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return MulDiv(pixels, 2540, perInch);
}

// A property of the picture read through its IDispatch, as a host would.
LONG IntegerProperty(IDispatch* object, DISPID dispid) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT value;
  VariantInit(&value);
  const HRESULT status = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                        &none, &value, nullptr, nullptr);
  EXPECT_EQ(status, S_OK);
  EXPECT_EQ(VariantChangeType(&value, &value, 0, VT_I4), S_OK);
  return value.lVal;
}

TEST_F(ServicesTest, ABitmapFileBecomesAPictureOfItsSizeForAPictureProperty) {
  ScratchFolder folder;
  HostWindow host;
  ASSERT_EQ(Create(host), 1);
  // What the system keeps once (the screen's device context and the like) is
  // made by a first round that is not counted.
  const std::string warmUp = folder.File("warm.bmp");
  WriteBitmapFile(warmUp, 4, 4);
  IDispatch* first = services_.loadOlePicture(warmUp.c_str());
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(calls_.setAutoClientLPDispatchProperty(handle_, kDispidPicture, first), 1);
  ASSERT_EQ(calls_.setAutoClientLPDispatchProperty(handle_, kDispidPicture, nullptr), 1);
  EXPECT_EQ(services_.releaseComPtr(first), 1);
  container_tests::Pump();
  const long gdiBefore = quorvan::testing::GdiObjects();

  struct Case {
    const char* name;
    int width, height;
  } const cases[] = {{"picture.bmp", 20, 10}, {"PICTURE2.BMP", 33, 7}, {"Mixed.Bmp", 1, 64}};
  for (const Case& test : cases) {
    const std::string path = folder.File(test.name);
    WriteBitmapFile(path, test.width, test.height);
    IDispatch* picture = services_.loadOlePicture(path.c_str());
    ASSERT_NE(picture, nullptr) << test.name;
    EXPECT_EQ(IntegerProperty(picture, DISPID_PICT_WIDTH),
              HimetricFromPixels(test.width, LOGPIXELSX))
        << test.name;
    EXPECT_EQ(IntegerProperty(picture, DISPID_PICT_HEIGHT),
              HimetricFromPixels(test.height, LOGPIXELSY))
        << test.name;
    EXPECT_EQ(IntegerProperty(picture, DISPID_PICT_TYPE), PICTYPE_BITMAP) << test.name;

    // The control takes the picture; what it gives back is the same object.
    EXPECT_EQ(calls_.setAutoClientLPDispatchProperty(handle_, kDispidPicture, picture), 1);
    IDispatch* held = calls_.getAutoClientLPDispatchProperty(handle_, kDispidPicture);
    ASSERT_NE(held, nullptr) << test.name;
    EXPECT_EQ(IntegerProperty(held, DISPID_PICT_WIDTH), HimetricFromPixels(test.width, LOGPIXELSX));
    EXPECT_EQ(services_.releaseComPtr(held), 1);
    // The host's own reference goes back; the control's keeps the picture alive.
    EXPECT_EQ(services_.releaseComPtr(picture), 1) << test.name;
    EXPECT_GT(quorvan::testing::GdiObjects(), gdiBefore) << test.name;
    ASSERT_EQ(calls_.setAutoClientLPDispatchProperty(handle_, kDispidPicture, nullptr), 1);
    // With the last reference gone, so is the bitmap.
    container_tests::Pump();
    EXPECT_EQ(quorvan::testing::GdiObjects(), gdiBefore) << test.name;
  }
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ServicesTest, OnlyReadableBmpFilesMakePictures) {
  ScratchFolder folder;
  const std::string gif = folder.File("picture.gif");
  // Bitmap content under another name is still refused by its name.
  WriteBitmapFile(gif, 8, 8);
  const std::string notABitmap = folder.File("text.bmp");
  std::ofstream(notABitmap) << "not a bitmap";
  const std::string cases[] = {gif, folder.File("x.BMP"), notABitmap, folder.File("bmp"), ""};
  for (const std::string& name : cases) {
    EXPECT_EQ(services_.loadOlePicture(name.c_str()), nullptr) << name;
    EXPECT_EQ(Boxes(), "Quorvan Error - LoadOlePicture: Bad picture format in file " + name + "\n")
        << name;
  }
}

class Plain : public quorvan::testing::CountedObject<IUnknown> {};

// Memory that held an object and is gone: every read of it faults.
IUnknown* FreedObject() {
  void* block = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!block) return nullptr;
  new (block) Plain();
  static_cast<Plain*>(block)->~Plain();
  VirtualFree(block, 0, MEM_RELEASE);
  return static_cast<IUnknown*>(block);
}

// An object whose function table points where no code is.
struct GarbageObject {
  const void* const* table;
};
const void* const kGarbageTable[] = {reinterpret_cast<const void*>(std::uintptr_t{0x10}),
                                     reinterpret_cast<const void*>(std::uintptr_t{0x20}),
                                     reinterpret_cast<const void*>(std::uintptr_t{0x30})};
GarbageObject g_garbage{kGarbageTable};

#if defined(__i386__)
// How far the stack pointer moved across a call of `function(argument)` that
// pushed one argument and did not pop it: -4 when the caller must remove it, 0
// when the function removed it itself.
long StackMovedByCall(void* function, void* argument) {
  long moved = 0;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "pushl %%edi\n\t"
      "call *%%ebx\n\t"
      "movl %%esp, %%eax\n\t"
      "movl %%esi, %%esp\n\t"
      "subl %%esi, %%eax\n\t"
      : "=a"(moved), "+D"(argument), "+b"(function)
      :
      : "ecx", "edx", "esi", "memory", "cc");
  return moved;
}

TEST_F(ServicesTest, ReleaseComPtrLeavesItsArgumentForTheCaller) {
  void* function = reinterpret_cast<void*>(services_.releaseComPtr);
  EXPECT_EQ(StackMovedByCall(function, nullptr), -4);
  // The standard-call exports around it remove theirs.
  EXPECT_EQ(StackMovedByCall(reinterpret_cast<void*>(services_.displayOCXControlProperties),
                             reinterpret_cast<void*>(9999)),
            0);
}
#endif

TEST_F(ServicesTest, ReleaseComPtrReleasesOnceAndSurvivesDeadPointers) {
  EXPECT_EQ(services_.releaseComPtr(nullptr), 0);

  auto* live = new Plain();
  live->AddRef();
  EXPECT_EQ(services_.releaseComPtr(live), 1);
  EXPECT_EQ(live->References(), 1);
  EXPECT_EQ(live->ReleaseCalls(), 1);

  struct Case {
    const char* name;
    IUnknown* pointer;
  } const dead[] = {
      {"freed object", FreedObject()},
      {"garbage function table", reinterpret_cast<IUnknown*>(&g_garbage)},
      {"garbage pointer", reinterpret_cast<IUnknown*>(std::uintptr_t{0x18})},
  };
  for (int round = 0; round < 2; ++round) {
    for (const Case& test : dead) {
      ASSERT_NE(test.pointer, nullptr) << test.name;
      EXPECT_EQ(services_.releaseComPtr(test.pointer), 0) << test.name;
    }
    // Nothing of the failed calls stays behind: a live object is released as before.
    live->AddRef();
    EXPECT_EQ(services_.releaseComPtr(live), 1);
    EXPECT_EQ(live->References(), 1);
  }
  // The library's last release destroys the object.
  EXPECT_EQ(services_.releaseComPtr(live), 1);
  EXPECT_EQ(Boxes(), "");
}

}  // namespace
}  // namespace services_tests
