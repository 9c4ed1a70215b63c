#include "tarvik/frame/fault_guard.h"

#include <windows.h>

#include <cstdint>

namespace tarvik {
namespace {

// The recovery point of one guarded call. A fault is not unwound through: the
// faulting frames may have no unwind data at all (a call through a garbage
// vtable lands nowhere), so the thread is simply put back into the guarded frame
// with the compiler's own non-local jump, which restores only the frame and stack
// pointers and makes the receiver reload every register it needs.
struct Guard {
  void* jump[5];  // the non-local jump's buffer: frame, label, stack and spare
  Guard* outer;
  std::uintptr_t landingStack;
#ifndef _WIN64
  // Frame handlers the abandoned call registered must leave the chain with it.
  EXCEPTION_REGISTRATION_RECORD* handlerChain;
#endif
};

// Thread-local by slot rather than by the compiler's emulation: the exception
// handler must not allocate.
DWORD GuardSlot() {
  struct Slot {
    DWORD index = TlsAlloc();
    ~Slot() {
      if (index != TLS_OUT_OF_INDEXES) TlsFree(index);
    }
  };
  static Slot slot;
  return slot.index;
}

DWORD g_slot = TLS_OUT_OF_INDEXES;

bool IsProcessorFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
      return true;
    default:
      return false;
  }
}

// Runs on a few hundred bytes reserved inside the guarded frame, after the
// system has finished dispatching the fault.
[[noreturn]] __attribute__((noinline)) void LandInGuardedFrame() {
  auto* guard = static_cast<Guard*>(TlsGetValue(g_slot));
#ifndef _WIN64
  reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList = guard->handlerChain;
#endif
  __builtin_longjmp(guard->jump, 1);
}

LONG CALLBACK OnFault(EXCEPTION_POINTERS* pointers) {
  if (g_slot == TLS_OUT_OF_INDEXES || !pointers || !pointers->ExceptionRecord ||
      !pointers->ContextRecord) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const DWORD lastError = GetLastError();
  auto* guard = static_cast<Guard*>(TlsGetValue(g_slot));
  SetLastError(lastError);
  if (!guard || !IsProcessorFault(pointers->ExceptionRecord->ExceptionCode)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  CONTEXT* context = pointers->ContextRecord;
  // As if LandInGuardedFrame had just been called: the return address slot below
  // an aligned stack top.
#ifdef _WIN64
  context->Rsp = guard->landingStack - sizeof(void*);
  context->Rip = reinterpret_cast<DWORD64>(&LandInGuardedFrame);
#else
  context->Esp = static_cast<DWORD>(guard->landingStack - sizeof(void*));
  context->Eip = reinterpret_cast<DWORD>(&LandInGuardedFrame);
#endif
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

__attribute__((noinline)) bool RunFaultGuarded(void (*body)(void*), void* context) noexcept {
  g_slot = GuardSlot();
  if (g_slot == TLS_OUT_OF_INDEXES) {
    body(context);
    return true;
  }
  // The recovery path's stack: part of this frame, so always committed and
  // above everything the abandoned call used.
  volatile char landing[1024];
  landing[0] = 0;
  Guard guard = {};
  guard.outer = static_cast<Guard*>(TlsGetValue(g_slot));
  guard.landingStack =
      (reinterpret_cast<std::uintptr_t>(&landing[sizeof landing - 1]) - 64) & ~std::uintptr_t{15};
#ifndef _WIN64
  guard.handlerChain = reinterpret_cast<NT_TIB*>(NtCurrentTeb())->ExceptionList;
#endif
  // Installed for the call only, first in line, so nothing of it outlives the
  // library.
  void* const handler = AddVectoredExceptionHandler(1, &OnFault);
  if (!handler) {
    body(context);
    return true;
  }
  volatile bool completed = false;
  if (__builtin_setjmp(guard.jump) == 0) {
    TlsSetValue(g_slot, &guard);
    body(context);
    completed = true;
  }
  TlsSetValue(g_slot, guard.outer);
  RemoveVectoredExceptionHandler(handler);
  return completed;
}

}  // namespace tarvik
