#include "host/loaded_library.h"

#include <vector>

namespace quorvan::host {
namespace {

std::string VersionString(const std::vector<char>& block, const char* name) {
  std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) ||
      !value)
    return "";
  return std::string(value, strnlen(value, length));
}

}  // namespace

std::string LoadedLibrary::Path() const {
  char path[MAX_PATH] = {};
  if (!module_ || !GetModuleFileNameA(module_, path, MAX_PATH)) return "";
  return path;
}

std::string LoadedLibrary::VersionText() const {
  std::string path = Path();
  DWORD ignored = 0;
  DWORD size = path.empty() ? 0 : GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return "";
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return "";
  return VersionString(block, "ProductName") + " " + VersionString(block, "FileVersion") + " - " +
         VersionString(block, "FileDescription");
}

}  // namespace quorvan::host
