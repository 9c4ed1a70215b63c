#include "tarvik/container/ole_picture.h"

#include <windows.h>

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <string>

#include "tarvik/frame/warning_box.h"

namespace tarvik {
namespace {

void ReportBadPicture(const char* fileName) {
  ShowWarningBox(nullptr, "Quorvan Error - LoadOlePicture",
                 std::string("Bad picture format in file ") + (fileName ? fileName : ""));
}

bool HasBitmapExtension(const char* fileName) {
  const size_t length = fileName ? std::strlen(fileName) : 0;
  return length >= 4 && lstrcmpiA(fileName + length - 4, ".BMP") == 0;
}

struct OwnedBitmap {
  HBITMAP handle;
  ~OwnedBitmap() {
    if (handle) DeleteObject(handle);
  }
};

}  // namespace

IDispatch* LoadOlePicture(const char* fileName) {
  if (!HasBitmapExtension(fileName)) {
    ReportBadPicture(fileName);
    return nullptr;
  }
  OwnedBitmap bitmap{static_cast<HBITMAP>(
      LoadImageA(nullptr, fileName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE))};
  if (!bitmap.handle) {
    ReportBadPicture(fileName);
    return nullptr;
  }
  PICTDESC description = {};
  // The description's own size, which the picture object checks, is that of
  // the platform's layout: 20 bytes on 32-bit Windows.
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.handle;
  description.bmp.hpal = nullptr;
  IDispatch* picture = nullptr;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IDispatch, TRUE,
                                      reinterpret_cast<void**>(&picture))) ||
      !picture) {
    ReportBadPicture(fileName);
    return nullptr;
  }
  // The picture owns the bitmap now.
  bitmap.handle = nullptr;
  return picture;
}

}  // namespace tarvik
