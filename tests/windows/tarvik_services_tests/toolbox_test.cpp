// Toolbox pictures: a class's bitmap, its module's icon or the library's own
// picture, centred on grey in a 32 x 32, 16-colour bitmap file of 630 bytes.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/windows/tarvik_services_tests/services_fixture.h"

namespace services_tests {
namespace {

constexpr int kSide = 32;
constexpr size_t kFileSize = 630;
constexpr size_t kTableOffset = 54;
constexpr size_t kPixelOffset = 118;

std::vector<BYTE> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <class T>
T At(const std::vector<BYTE>& bytes, size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

// The colour index of (x, y), counted from the top left, in the file's
// bottom-up rows of 16 bytes.
int PixelIndex(const std::vector<BYTE>& file, int x, int y) {
  const BYTE pair = file[kPixelOffset + static_cast<size_t>(kSide - 1 - y) * 16 + x / 2];
  return x % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

COLORREF TableColour(const std::vector<BYTE>& file, int index) {
  const auto entry = At<RGBQUAD>(file, kTableOffset + static_cast<size_t>(index) * 4);
  return RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue);
}

// A picture as the test knows it: its pixels' colours, top-down, and for a
// 16-colour picture its own colour table.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> colours;
  std::vector<RGBQUAD> table;  // empty unless the picture has 4 bits per pixel
  COLORREF At(int x, int y) const { return colours[static_cast<size_t>(y * width + x)]; }
};

Picture ReadPicture(HBITMAP bitmap) {
  Picture picture;
  BITMAP shape = {};
  if (!bitmap || !GetObjectA(bitmap, sizeof shape, &shape)) return picture;
  picture.width = shape.bmWidth;
  picture.height = shape.bmHeight;
  HDC screen = GetDC(nullptr);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info = {};
  info.header.biSize = sizeof info.header;
  info.header.biWidth = picture.width;
  info.header.biHeight = -picture.height;
  info.header.biPlanes = 1;
  info.header.biBitCount = 32;
  std::vector<DWORD> pixels(static_cast<size_t>(picture.width * picture.height));
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(picture.height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  for (DWORD pixel : pixels) {
    picture.colours.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
  }
  if (shape.bmBitsPixel == 4) {
    info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = picture.width;
    info.header.biHeight = picture.height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 4;
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(picture.height), nullptr,
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    picture.table.assign(info.colours, info.colours + 16);
  }
  ReleaseDC(nullptr, screen);
  return picture;
}

Picture BitmapResource(const char* module, int number) {
  HMODULE handle = GetModuleHandleA(module);
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageA(handle, MAKEINTRESOURCEA(number), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  Picture picture = ReadPicture(bitmap);
  if (bitmap) DeleteObject(bitmap);
  return picture;
}

// The probe's icon as drawn: a black frame around dark red, 16 x 16.
Picture ProbeIcon() {
  Picture picture;
  picture.width = picture.height = 16;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool frame = x == 0 || y == 0 || x == 15 || y == 15;
      picture.colours.push_back(frame ? RGB(0, 0, 0) : RGB(128, 0, 0));
    }
  }
  return picture;
}

// The 16-colour table the file must carry for `picture`.
std::vector<RGBQUAD> ExpectedTable(const Picture& picture) {
  if (!picture.table.empty()) return picture.table;
  PALETTEENTRY entries[16] = {};
  GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 16, entries);
  std::vector<RGBQUAD> table;
  for (const PALETTEENTRY& entry : entries) {
    table.push_back(RGBQUAD{entry.peBlue, entry.peGreen, entry.peRed, entry.peFlags});
  }
  return table;
}

int IndexOf(const std::vector<BYTE>& file, COLORREF colour) {
  for (int i = 0; i < 16; ++i) {
    if (TableColour(file, i) == colour) return i;
  }
  return -1;
}

// Every byte of the file that follows from `picture` placed at (left, top).
void CheckToolboxFile(const std::string& path, const Picture& picture, int left, int top) {
  SCOPED_TRACE(path);
  const std::vector<BYTE> file = ReadAll(path);
  ASSERT_EQ(file.size(), kFileSize);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(At<DWORD>(file, 2), kFileSize);
  EXPECT_EQ(At<WORD>(file, 6), 0);
  EXPECT_EQ(At<WORD>(file, 8), 0);
  EXPECT_EQ(At<DWORD>(file, 10), kPixelOffset);
  const auto info = At<BITMAPINFOHEADER>(file, 14);
  EXPECT_EQ(info.biSize, 40u);
  EXPECT_EQ(info.biWidth, kSide);
  EXPECT_EQ(info.biHeight, kSide);
  EXPECT_EQ(info.biPlanes, 1);
  EXPECT_EQ(info.biBitCount, 4);
  EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(info.biSizeImage, 512u);
  EXPECT_EQ(info.biXPelsPerMeter, 0);
  EXPECT_EQ(info.biYPelsPerMeter, 0);
  EXPECT_EQ(info.biClrUsed, 16u);
  EXPECT_EQ(info.biClrImportant, 0u);
  const std::vector<RGBQUAD> table = ExpectedTable(picture);
  ASSERT_EQ(table.size(), 16u);
  EXPECT_EQ(std::memcmp(file.data() + kTableOffset, table.data(), 64), 0) << "colour table";

  const int grey = IndexOf(file, RGB(192, 192, 192));
  ASSERT_GE(grey, 0);
  int pictureMarks = 0;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const int px = x - left;
      const int py = y - top;
      const bool inside = px >= 0 && py >= 0 && px < picture.width && py < picture.height;
      if (!inside) {
        EXPECT_EQ(PixelIndex(file, x, y), grey) << "ground at " << x << ", " << y;
        continue;
      }
      // A colour the table has exactly is kept; others are the system's to match.
      const int expected = IndexOf(file, picture.At(px, py));
      if (expected < 0) continue;
      EXPECT_EQ(PixelIndex(file, x, y), expected) << "picture at " << x << ", " << y;
      if (expected != grey) ++pictureMarks;
    }
  }
  EXPECT_GT(pictureMarks, 0) << "no pixel of the picture was found";
}

// A class entry of the test's own, removed with its key.
class FakeClass {
 public:
  FakeClass(const char* clsid, const std::string& value) : path_(std::string("CLSID\\") + clsid) {
    HKEY key = nullptr;
    created_ = RegCreateKeyExA(HKEY_CLASSES_ROOT, (path_ + "\\ToolboxBitmap32").c_str(), 0, nullptr,
                               0, KEY_WRITE, nullptr, &key, nullptr) == ERROR_SUCCESS &&
               RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
  }
  ~FakeClass() { RegDeleteTreeA(HKEY_CLASSES_ROOT, path_.c_str()); }
  FakeClass(const FakeClass&) = delete;
  FakeClass& operator=(const FakeClass&) = delete;
  bool Created() const { return created_; }

 private:
  std::string path_;
  bool created_ = false;
};

std::string ProbeModulePath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("ProbeControl.dll"), path, MAX_PATH);
  return path;
}

constexpr char kNoCommaClass[] = "{5B0F1E6A-7C1D-4E52-9F0B-1A2B3C4D5E01}";
constexpr char kIconClass[] = "{5B0F1E6A-7C1D-4E52-9F0B-1A2B3C4D5E02}";
constexpr char kMissingModuleClass[] = "{5B0F1E6A-7C1D-4E52-9F0B-1A2B3C4D5E03}";
constexpr char kWidePictureClass[] = "{5B0F1E6A-7C1D-4E52-9F0B-1A2B3C4D5E04}";
constexpr char kUnregisteredClass[] = "{5B0F1E6A-7C1D-4E52-9F0B-1A2B3C4D5E05}";

TEST_F(ServicesTest, ToolboxPicturesComeFromTheClassItsModuleOrTheLibrary) {
  ScratchFolder folder;
  const std::string module = ProbeModulePath();
  ASSERT_FALSE(module.empty());
  FakeClass noComma(kNoCommaClass, module);
  FakeClass icon(kIconClass, module + ", 77");
  FakeClass missing(kMissingModuleClass, "C:\\no such folder\\control.ocx, 1");
  ASSERT_TRUE(noComma.Created() && icon.Created() && missing.Created());

  const Picture fallback = BitmapResource("Tarvik.dll", 133);
  ASSERT_EQ(fallback.width, 16);
  ASSERT_EQ(fallback.height, 15);
  ASSERT_EQ(fallback.table.size(), 16u) << "the library's picture has 16 colours";
  const Picture probe = BitmapResource("ProbeControl.dll", kProbeToolboxBitmapId);
  ASSERT_EQ(probe.width, kProbeToolboxBitmapWidth);
  ASSERT_EQ(probe.height, kProbeToolboxBitmapHeight);
  const Picture probeIcon = ProbeIcon();

  struct Case {
    const char* name;
    const char* classText;
    const Picture& picture;
  } const cases[] = {
      {"unregistered ProgID", "QuorvanTest.NoSuchControl", fallback},
      {"unregistered class", kUnregisteredClass, fallback},
      {"registered ProgID", kProbeControlProgId, probe},
      {"registered class", kProbeControlClsidText, probe},
      {"value without a comma", kNoCommaClass, fallback},
      {"module without the bitmap", kIconClass, probeIcon},
      {"module that is not there", kMissingModuleClass, fallback},
  };
  int number = 0;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::string out = folder.File("toolbox" + std::to_string(++number) + ".bmp");
    ASSERT_EQ(services_.extractToolboxBitmap32(out.c_str(), test.classText), 1);
    // Integer halves of what is left of 32: 16 wide lands at 8, 15 high at 8.
    CheckToolboxFile(out, test.picture, (32 - test.picture.width) / 2,
                     (32 - test.picture.height) / 2);
  }
  // An existing file is replaced.
  const std::string again = folder.File("toolbox1.bmp");
  ASSERT_EQ(services_.extractToolboxBitmap32(again.c_str(), kProbeControlProgId), 1);
  CheckToolboxFile(again, probe, 8, 8);
  EXPECT_EQ(Boxes(), "");
}

TEST_F(ServicesTest, APictureWiderThanTheToolboxShowsItsLeftPart) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string library = std::string(system) + "\\comctl32.dll";
  HMODULE loaded = LoadLibraryA(library.c_str());
  // The standard small toolbar strip, many buttons wide and one high.
  const Picture strip = loaded ? BitmapResource("comctl32.dll", 120) : Picture{};
  if (loaded) FreeLibrary(loaded);
  if (strip.width <= kSide || strip.height >= kSide) GTEST_SKIP() << "no wide picture here";
  FakeClass wide(kWidePictureClass, library + ", 120");
  ASSERT_TRUE(wide.Created());
  ScratchFolder folder;
  const std::string out = folder.File("wide.bmp");
  ASSERT_EQ(services_.extractToolboxBitmap32(out.c_str(), kWidePictureClass), 1);
  CheckToolboxFile(out, strip, 0, (32 - strip.height) / 2);
}

TEST_F(ServicesTest, AToolboxFileThatCannotBeCreatedGivesZero) {
  ScratchFolder folder;
  const std::string out = folder.File("missing\\toolbox.bmp");
  EXPECT_EQ(services_.extractToolboxBitmap32(out.c_str(), kProbeControlProgId), 0);
  EXPECT_EQ(services_.extractToolboxBitmap32(out.c_str(), "QuorvanTest.NoSuchControl"), 0);
  EXPECT_FALSE(FileExists(out));
  EXPECT_EQ(Boxes(), "");
}

}  // namespace
}  // namespace services_tests
