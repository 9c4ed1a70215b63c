#include "tarvik/container/toolbox_bitmap.h"

#include <ole2.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "tarvik/frame/ansi_text.h"

namespace tarvik {
namespace {

constexpr int kSide = 32;
constexpr int kColours = 16;
constexpr DWORD kPixelBytes = kSide * kSide / 2;
constexpr DWORD kPixelOffset =
    sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + kColours * sizeof(RGBQUAD);
constexpr DWORD kFileSize = kPixelOffset + kPixelBytes;
static_assert(kPixelOffset == 118 && kFileSize == 630, "the file layout the designer reads");

struct RegistryKey {
  HKEY handle = nullptr;
  ~RegistryKey() {
    if (handle) RegCloseKey(handle);
  }
};

struct ScreenDc {
  HDC handle = GetDC(nullptr);
  ~ScreenDc() {
    if (handle) ReleaseDC(nullptr, handle);
  }
};

struct MemoryDc {
  HDC handle;
  HGDIOBJ previous = nullptr;
  explicit MemoryDc(HDC screen) : handle(CreateCompatibleDC(screen)) {}
  ~MemoryDc() {
    if (handle && previous) SelectObject(handle, previous);
    if (handle) DeleteDC(handle);
  }
  void Select(HGDIOBJ object) {
    HGDIOBJ old = SelectObject(handle, object);
    if (!previous) previous = old;
  }
};

struct GdiObject {
  HGDIOBJ handle = nullptr;
  ~GdiObject() {
    if (handle) DeleteObject(handle);
  }
};

struct Module {
  HMODULE handle;
  ~Module() {
    if (handle) FreeLibrary(handle);
  }
};

struct FileHandle {
  HANDLE handle;
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

// A bitmap description with room for the largest colour table.
struct Description {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// The text after the last comma of the value, read as a resource number the way
// the registry's writers mean it: decimal, leading spaces allowed.
int ResourceNumber(const std::string& value) {
  const size_t comma = value.rfind(',');
  return comma == std::string::npos ? 0 : std::atoi(value.c_str() + comma + 1);
}

std::string ModulePath(const std::string& value) {
  const size_t comma = value.rfind(',');
  return comma == std::string::npos ? std::string() : value.substr(0, comma);
}

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<const char*>(&ThisModule), &module);
  return module;
}

HBITMAP LoadBitmapResource(HMODULE module, int number) {
  // As a section, so that a 16-colour picture keeps its own colours.
  return static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(number & 0xFFFF), IMAGE_BITMAP, 0,
                                         0, LR_CREATEDIBSECTION));
}

HBITMAP SmallIconBitmap(const std::string& file) {
  HICON small = nullptr;
  if (file.empty() || ExtractIconExA(file.c_str(), 0, nullptr, &small, 1) == 0 || !small) {
    return nullptr;
  }
  ICONINFO parts = {};
  const BOOL got = GetIconInfo(small, &parts);
  DestroyIcon(small);
  if (!got) return nullptr;
  if (parts.hbmMask) DeleteObject(parts.hbmMask);
  return parts.hbmColor;
}

bool WriteAll(HANDLE file, const void* bytes, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, bytes, size, &written, nullptr) && written == size;
}

}  // namespace

bool ReadToolboxValue(const char* classText, std::string* value) {
  if (!classText) return false;
  std::string clsidText = classText;
  if (classText[0] != '{') {
    CLSID clsid = CLSID_NULL;
    if (FAILED(CLSIDFromProgID(WideFromAnsi(classText).c_str(), &clsid))) return false;
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(clsid, &text)) || !text) return false;
    clsidText = AnsiFromWide(text, wcslen(text));
    CoTaskMemFree(text);
  }
  RegistryKey key;
  const std::string path = "CLSID\\" + clsidText + "\\ToolboxBitmap32";
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key.handle) != ERROR_SUCCESS) {
    return false;
  }
  char buffer[256] = {};
  DWORD size = sizeof buffer - 1;
  if (RegQueryValueExA(key.handle, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  *value = buffer;
  return true;
}

HMODULE LoadToolboxModule(const char* classText) {
  std::string value;
  if (!ReadToolboxValue(classText, &value)) return nullptr;
  const std::string path = ModulePath(value);
  return path.empty() ? nullptr : LoadLibraryA(path.c_str());
}

HBITMAP LoadToolboxBitmap(const char* classText, HMODULE module) {
  std::string value;
  if (!ReadToolboxValue(classText, &value)) return nullptr;
  // Without a module there is nothing to look in: a null module would name the
  // system's own bitmaps.
  if (module) {
    if (HBITMAP bitmap = LoadBitmapResource(module, ResourceNumber(value))) return bitmap;
  }
  return SmallIconBitmap(ModulePath(value));
}

bool WriteToolboxBitmapFile(HBITMAP picture, const char* outputFile) {
  BITMAP shape = {};
  if (!picture || !GetObjectA(picture, sizeof shape, &shape)) shape = BITMAP{};
  const int width = shape.bmWidth;
  const int height = shape.bmHeight;
  const WORD depth = static_cast<WORD>(shape.bmBitsPixel * (shape.bmPlanes ? shape.bmPlanes : 1));

  ScreenDc screen;
  Description source = {};
  source.header.biSize = sizeof source.header;
  source.header.biWidth = width;
  source.header.biHeight = height;
  source.header.biPlanes = 1;
  source.header.biBitCount = depth;
  source.header.biCompression = BI_RGB;
  if (picture && depth <= 8 && width > 0 && height > 0) {
    // With no buffer for the pixels, this fills in the colour table only.
    GetDIBits(screen.handle, picture, 0, static_cast<UINT>(height), nullptr, source.Info(),
              DIB_RGB_COLORS);
    source.header.biCompression = BI_RGB;
  }

  Description target = {};
  target.header.biSize = sizeof target.header;
  target.header.biWidth = kSide;
  target.header.biHeight = kSide;
  target.header.biPlanes = 1;
  target.header.biBitCount = 4;
  target.header.biCompression = BI_RGB;
  target.header.biSizeImage = kPixelBytes;
  target.header.biClrUsed = kColours;
  if (depth == 4) {
    std::memcpy(target.colours, source.colours, kColours * sizeof(RGBQUAD));
  } else {
    PALETTEENTRY entries[kColours] = {};
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, kColours, entries);
    for (int i = 0; i < kColours; ++i) {
      target.colours[i] =
          RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, entries[i].peFlags};
    }
  }

  MemoryDc sourceDc(screen.handle);
  MemoryDc targetDc(screen.handle);
  if (!sourceDc.handle || !targetDc.handle) return false;
  void* targetBits = nullptr;
  GdiObject targetSection{
      CreateDIBSection(screen.handle, target.Info(), DIB_RGB_COLORS, &targetBits, nullptr, 0)};
  if (!targetSection.handle || !targetBits) return false;
  targetDc.Select(targetSection.handle);

  // The ground: grey, matched to the table's nearest colour rather than dithered.
  const RECT all{0, 0, kSide, kSide};
  SetBkColor(targetDc.handle, RGB(192, 192, 192));
  ExtTextOutA(targetDc.handle, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);

  GdiObject sourceSection;
  void* sourceBits = nullptr;
  if (picture && width > 0 && height > 0 && depth > 0) {
    sourceSection.handle =
        CreateDIBSection(screen.handle, source.Info(), DIB_RGB_COLORS, &sourceBits, nullptr, 0);
  }
  if (sourceSection.handle && sourceBits &&
      GetDIBits(screen.handle, picture, 0, static_cast<UINT>(height), sourceBits, source.Info(),
                DIB_RGB_COLORS)) {
    sourceDc.Select(sourceSection.handle);
    const int x = width < kSide ? (kSide - width) / 2 : 0;
    const int y = height < kSide ? (kSide - height) / 2 : 0;
    BitBlt(targetDc.handle, x, y, width, height, sourceDc.handle, 0, 0, SRCCOPY);
  }
  GdiFlush();

  FileHandle file{CreateFileA(outputFile ? outputFile : "", GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return false;
  BITMAPFILEHEADER fileHeader = {};
  fileHeader.bfType = 0x4D42;  // "BM"
  fileHeader.bfSize = kFileSize;
  fileHeader.bfOffBits = kPixelOffset;
  return WriteAll(file.handle, &fileHeader, sizeof fileHeader) &&
         WriteAll(file.handle, &target.header, sizeof target.header) &&
         WriteAll(file.handle, target.colours, kColours * sizeof(RGBQUAD)) &&
         WriteAll(file.handle, targetBits, kPixelBytes);
}

int ExtractToolboxBitmap32(const char* outputFile, const char* classText) {
  Module module{LoadToolboxModule(classText)};
  GdiObject picture{LoadToolboxBitmap(classText, module.handle)};
  if (!picture.handle) picture.handle = LoadBitmapResource(ThisModule(), IDB_DEFAULT_TOOLBOX);
  return WriteToolboxBitmapFile(static_cast<HBITMAP>(picture.handle), outputFile) ? 1 : 0;
}

}  // namespace tarvik
