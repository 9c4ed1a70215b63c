// How the 4GL host reaches the libraries: by file name with LoadLibrary, and
// each export by name with GetProcAddress, called through a pointer of its exact
// type and calling convention.
#pragma once

#include <windows.h>

#include <string>

namespace quorvan::host {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* fileName) : module_(LoadLibraryA(fileName)) {}
  ~LoadedLibrary() {
    if (module_) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Handle() const { return module_; }

  // Null when the library does not export the name.
  template <class Function>
  Function Export(const char* name) const {
    if (!module_) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  // The library's file on disk, or "" when it is not loaded.
  std::string Path() const;
  // "ProductName FileVersion - FileDescription" from the version resource.
  std::string VersionText() const;

 private:
  HMODULE module_;
};

}  // namespace quorvan::host
