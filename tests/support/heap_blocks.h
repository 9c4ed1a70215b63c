// Leak counting in the process heap, where BSTRs and the texts the libraries
// hand to the host live.
#pragma once

#include <windows.h>

#include <cstddef>

namespace quorvan::testing {

// Blocks in use in the process heap.
inline std::size_t BusyHeapBlocks() {
  HANDLE heap = GetProcessHeap();
  std::size_t busy = 0;
  HeapLock(heap);
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry)) {
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++busy;
  }
  HeapUnlock(heap);
  return busy;
}

// Runs `step` many times and gives how many heap blocks were left behind. The
// system's BSTR cache keeps a bounded number of blocks, so a leak of one block
// per step shows as at least `times` blocks.
template <class Step>
long HeapGrowth(int times, Step&& step) {
  step();  // warm caches first
  const std::size_t before = BusyHeapBlocks();
  for (int i = 0; i < times; ++i) step();
  return static_cast<long>(BusyHeapBlocks()) - static_cast<long>(before);
}

}  // namespace quorvan::testing
