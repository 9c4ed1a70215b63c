#include "tarvik/automation/guarded_add_ref.h"

#include <windows.h>

#include "tarvik/frame/fault_guard.h"

namespace tarvik {
namespace {

constexpr DWORD kReadable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                            PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
constexpr DWORD kExecutable =
    PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

bool Accessible(const void* address, size_t size, DWORD wanted) {
  if (!address) return false;
  MEMORY_BASIC_INFORMATION region = {};
  if (VirtualQuery(address, &region, sizeof region) != sizeof region) return false;
  if (region.State != MEM_COMMIT || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS))) return false;
  if (!(region.Protect & wanted)) return false;
  const auto start = reinterpret_cast<ULONG_PTR>(address);
  const auto end = reinterpret_cast<ULONG_PTR>(region.BaseAddress) + region.RegionSize;
  return start + size <= end ||
         Accessible(reinterpret_cast<const char*>(end), start + size - end, wanted);
}

}  // namespace

bool GuardedAddRef(IUnknown* object) noexcept {
  // A released object usually fails here, before any call: its memory, its
  // function table or the code AddRef points to is gone. What these checks
  // cannot see (a table that still reads but leads astray) the guard catches.
  if (!Accessible(object, sizeof(void*), kReadable)) return false;
  const auto table = *reinterpret_cast<void* const* const*>(object);
  if (!Accessible(table, 3 * sizeof(void*), kReadable)) return false;
  if (!Accessible(table[1], 1, kExecutable)) return false;
  bool thrown = false;
  const bool completed = RunFaultGuarded([&] {
    try {
      object->AddRef();
    } catch (...) {
      thrown = true;
    }
  });
  return completed && !thrown;
}

}  // namespace tarvik
