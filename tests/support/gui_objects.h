// Counting the GDI and USER objects a process holds, for leak tests. Where the
// system does not count them (Wine answers 0 to GetGuiResources), GDI objects are
// counted in the process's GDI handle table and USER objects as this thread's
// windows.
#pragma once

#include <windows.h>

#include <cstddef>

namespace quorvan::testing {

// Live GDI objects of this process. Where the system does not count them (Wine
// answers 0), the objects are counted in the process's GDI handle table, whose
// entries Wine keeps 24 bytes wide with the type byte at offset 14.
inline bool IsWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// The table as Wine publishes it: in the process's own PEB, or for a 32-bit
// process under the 64-bit loader, in the 64-bit PEB that the TEB's GDI batch
// count field points the way to.
inline const BYTE* WineGdiHandleTable() {
  const auto* teb = reinterpret_cast<const BYTE*>(NtCurrentTeb());
#ifdef _WIN64
  const auto* peb = *reinterpret_cast<const BYTE* const*>(teb + 0x60);
  return *reinterpret_cast<const BYTE* const*>(peb + 0xF8);
#else
  const auto* peb = *reinterpret_cast<const BYTE* const*>(teb + 0x30);
  if (const auto* table = *reinterpret_cast<const BYTE* const*>(peb + 0x94)) return table;
  const auto teb64 = *reinterpret_cast<const ULONG*>(teb + 0xF70);
  if (!teb64) return nullptr;
  const auto peb64 = *reinterpret_cast<const ULONGLONG*>(static_cast<ULONG_PTR>(teb64) + 0x60);
  if (!peb64 || peb64 > 0xFFFFFFFFull) return nullptr;
  const auto table = *reinterpret_cast<const ULONGLONG*>(static_cast<ULONG_PTR>(peb64) + 0xF8);
  if (!table || table > 0xFFFFFFFFull) return nullptr;
  return reinterpret_cast<const BYTE*>(static_cast<ULONG_PTR>(table));
#endif
}

inline long WineGdiObjects() {
  const BYTE* table = WineGdiHandleTable();
  if (!table) return -1;
  long live = 0;
  for (size_t entry = 0; entry < 0x10000; ++entry) live += table[entry * 24 + 14] != 0;
  return live;
}

inline long GdiObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted) return static_cast<long>(counted);
  return IsWine() ? WineGdiObjects() : -1;
}

// USER objects of this process; windows of this thread where the system does not
// count them.
inline BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<long*>(count);
  EnumChildWindows(window, CountWindow, count);
  return TRUE;
}

inline long UserObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (counted) return static_cast<long>(counted);
  long windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

}  // namespace quorvan::testing
