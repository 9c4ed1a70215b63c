// The 32 x 32 toolbox picture of a control class, as a form designer shows it:
// found through the class's registry entry in the control's module, and written
// to a 16-colour bitmap file.
#pragma once

#include <windows.h>

#include <string>

namespace tarvik {

// The library's own picture for a class that names none.
constexpr int IDB_DEFAULT_TOOLBOX = 133;

// The class's ToolboxBitmap32 value ("module path, resource number"); false when
// the class or the value cannot be found. `classText` is a ProgID or a braced
// class identifier.
bool ReadToolboxValue(const char* classText, std::string* value);
// The module the class's value names, loaded; null when there is none.
HMODULE LoadToolboxModule(const char* classText);
// The class's picture from `module` or its file's first small icon; null when
// neither gives one.
HBITMAP LoadToolboxBitmap(const char* classText, HMODULE module);
// Writes `picture` centred on a grey 32 x 32, 4-bit ground; false when the file
// could not be written.
bool WriteToolboxBitmapFile(HBITMAP picture, const char* outputFile);

// The whole service: 1 when the file was written, else 0.
int ExtractToolboxBitmap32(const char* outputFile, const char* classText);

}  // namespace tarvik
