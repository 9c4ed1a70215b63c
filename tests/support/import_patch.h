// Replaces one imported function of a loaded module for the life of the patch,
// so that a test can make the system refuse what the module asks of it (memory,
// above all) without the module knowing.
#pragma once

#include <windows.h>

#include <cstring>

namespace quorvan::testing {

class ImportPatch {
 public:
  ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
    slot_ = FindSlot(module, dll, function);
    if (!slot_) return;
    original_ = *slot_;
    Write(replacement);
  }
  ~ImportPatch() {
    if (slot_) Write(original_);
  }
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  bool Active() const { return slot_ != nullptr; }
  void* Original() const { return original_; }

 private:
  static void** FindSlot(HMODULE module, const char* dll, const char* function) {
    if (!module) return nullptr;
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return nullptr;
    for (auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
      if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
      const DWORD names = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
      auto* name = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + names);
      auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
      for (; name->u1.AddressOfData; ++name, ++slot) {
        if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
        const auto* byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
          return reinterpret_cast<void**>(&slot->u1.Function);
        }
      }
    }
    return nullptr;
  }

  void Write(void* value) {
    DWORD was = 0;
    VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &was);
    *slot_ = value;
    VirtualProtect(slot_, sizeof(void*), was, &was);
  }

  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace quorvan::testing
