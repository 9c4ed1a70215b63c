#include "quillet/edit/sub_alloc.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif
#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The native test build checks every block's bookkeeping after each change and
// the accelerated searches against plain scans of the directory.
#ifndef QUILLET_STORAGE_CHECKS
#define QUILLET_STORAGE_CHECKS 0
#endif

namespace quillet {
namespace {

constexpr bool kSelfChecks = QUILLET_STORAGE_CHECKS != 0;

// Block layout: a directory of 4-byte entries at the start, one per chunk,
// ordered from the chunk at the highest address down to the chunk that touches
// the directory; the chunks fill the rest. The directory grows by taking the
// first 4 bytes of that lowest chunk. Free chunks are never merged: the
// control's allocations are small and short-lived, and a block is returned
// whole as soon as its last chunk is released.
constexpr long kBlockSize = 32770;
constexpr long kLargestChunk = kBlockSize - 4;
constexpr int kSlotsPerGrowth = 8;

// The block sits this far into the memory taken for it. A chunk cut from the back
// of a free chunk lies a multiple of 4 below the block's end, at an offset 2 more
// than a multiple of 4; this lead puts such chunks on 4-byte boundaries.
constexpr std::size_t kBlockLead = 6;

// Beside each block, out of the callers' reach, a summary of its directory: for
// every group of kGroup entries, a bound on its largest free chunk (as twice its
// size, the way entries hold it) that is never below the truth. First fit then
// skips whole groups that cannot serve a request, which keeps a block fragmented
// by many small free chunks cheap to search while choosing exactly the chunk a
// plain scan would. Keeping a bound rather than the exact figure is what makes
// the upkeep cheap: taking a chunk costs the summary nothing, and a group whose
// bound promised too much is corrected by the search that finds out.
constexpr long kGroup = 16;
constexpr long kMostEntries = (kBlockSize + 3) / 4;
constexpr long kGroups = (kMostEntries + kGroup - 1) / kGroup;
// The searches read the summary sixteen groups at a time and the directory a
// whole group at a time, possibly past the last ones; the slack keeps those
// reads inside the block's memory. Bounds past the last group stay 0.
constexpr long kSummarySlots = kGroups + 15;
constexpr std::size_t kBlockMemory =
    kBlockLead + kBlockSize + kSummarySlots * sizeof(std::uint16_t);
static_assert(kGroups * kGroup * 4 <= kBlockSize + kSummarySlots * sizeof(std::uint16_t),
              "reading the last group whole stays inside the block's memory");
static_assert((kBlockLead + kBlockSize) % alignof(std::uint16_t) == 0, "summary alignment");

struct SubHeapEntry {
  std::uint16_t sizeAndUse;  // bit 0: in use; bits 1-15: chunk size in bytes
  std::uint16_t offset;      // chunk start, from the start of the block
};
static_assert(sizeof(SubHeapEntry) == 4, "the directory is made of 4-byte entries");

struct SubHeap {
  std::uint16_t largest;  // size of largestEntry's chunk, or 0 when it is in use
  std::int16_t count;     // chunks in use
  char* block;            // null: free slot
  SubHeapEntry* firstFree;
  SubHeapEntry* largestEntry;
  SubHeapEntry* lastEntry;
};

SubHeap* g_heaps = nullptr;
int g_slots = 0;
int g_liveHeaps = 0;
SubHeap* g_current = nullptr;
int g_blockFailureCountdown = -1;
// The entry of the chunk handed out last: most chunks of the control are
// temporaries released right after, and this spares their release the directory
// search. Checked before use, as entries move when the directory grows.
const void* g_lastTaken = nullptr;

// --- Where the memory comes from --------------------------------------------

#ifdef _WIN32
void* AcquireFixedZeroed(std::size_t bytes) {
  return reinterpret_cast<void*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes));
}
void ReleaseFixed(void* memory) { GlobalFree(reinterpret_cast<HGLOBAL>(memory)); }
void* AcquireTable(std::size_t bytes) {
  return reinterpret_cast<void*>(GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT, bytes));
}
void* ResizeTable(void* table, std::size_t bytes) {
  return reinterpret_cast<void*>(
      GlobalReAlloc(reinterpret_cast<HGLOBAL>(table), bytes, GMEM_MOVEABLE | GMEM_ZEROINIT));
}
#else
void* AcquireFixedZeroed(std::size_t bytes) { return std::calloc(1, bytes); }
void ReleaseFixed(void* memory) { std::free(memory); }
void* AcquireTable(std::size_t bytes) { return std::calloc(1, bytes); }
void* ResizeTable(void* table, std::size_t bytes) { return std::realloc(table, bytes); }
#endif

char* AcquireBlock() {
  if (g_blockFailureCountdown == 0) return nullptr;
  void* memory = AcquireFixedZeroed(kBlockMemory);
  if (!memory) return nullptr;
  if (g_blockFailureCountdown > 0) --g_blockFailureCountdown;
  return static_cast<char*>(memory) + kBlockLead;
}

void ReleaseBlock(char* block) { ReleaseFixed(block - kBlockLead); }

// --- Directory entries --------------------------------------------------------

inline long SizeOf(const SubHeapEntry* entry) { return entry->sizeAndUse >> 1; }
inline bool InUse(const SubHeapEntry* entry) { return (entry->sizeAndUse & 1) != 0; }
inline void SetSize(SubHeapEntry* entry, long size, bool inUse) {
  entry->sizeAndUse = static_cast<std::uint16_t>((size << 1) | (inUse ? 1 : 0));
}
inline SubHeapEntry* FirstEntry(char* block) { return reinterpret_cast<SubHeapEntry*>(block); }
inline long IndexOf(const SubHeap& heap, const SubHeapEntry* entry) {
  return entry - FirstEntry(heap.block);
}
inline std::uint16_t* Summary(const SubHeap& heap) {
  return reinterpret_cast<std::uint16_t*>(heap.block + kBlockSize);
}
// Twice the size of a free chunk, 0 for one in use.
inline unsigned FreeKey(std::uint16_t sizeAndUse) { return (sizeAndUse & 1) ? 0u : sizeAndUse; }

// The largest FreeKey among the entries begin..end - 1.
unsigned LargestKey(const SubHeapEntry* first, long begin, long end) {
  unsigned largest = 0;
  long i = begin;
#ifdef __SSE2__
  if (end - begin >= 4) {
    // Four entries at a time; the keys are compared as signed after moving them
    // down by 0x8000, which is all SSE2 offers for 16-bit maxima.
    const __m128i sizeHalves = _mm_set1_epi32(0xFFFF);
    const __m128i useBits = _mm_set1_epi32(1);
    const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
    __m128i best = bias;
    for (; i + 4 <= end; i += 4) {
      const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first + i));
      const __m128i free = _mm_cmpeq_epi32(_mm_and_si128(entries, useBits), _mm_setzero_si128());
      const __m128i keys = _mm_and_si128(entries, _mm_and_si128(free, sizeHalves));
      best = _mm_max_epi16(best, _mm_xor_si128(keys, bias));
    }
    best = _mm_max_epi16(best, _mm_shuffle_epi32(best, 0x4E));
    best = _mm_max_epi16(best, _mm_shuffle_epi32(best, 0xB1));
    best = _mm_max_epi16(best, _mm_shufflelo_epi16(best, 0xB1));
    largest = (static_cast<unsigned>(_mm_cvtsi128_si32(best)) & 0xFFFF) ^ 0x8000;
  }
#endif
  for (; i < end; ++i) {
    const unsigned key = FreeKey(first[i].sizeAndUse);
    largest = key > largest ? key : largest;
  }
  return largest;
}

// Lets the summary cover the entry at index (its group's bound rises to its key).
inline void Cover(const SubHeap& heap, long index) {
  const unsigned key = FreeKey(FirstEntry(heap.block)[index].sizeAndUse);
  std::uint16_t& bound = Summary(heap)[index / kGroup];
  if (key > bound) bound = static_cast<std::uint16_t>(key);
}

// After the entries from index `at` + 1 on have moved up one slot, each group
// past that point holds one entry that came from the group before it: the first.
// Covering it is all the bounds need, as everything else in a group was there
// before or left it.
void CoverShift(const SubHeap& heap, long at) {
  const long last = IndexOf(heap, heap.lastEntry);
  Cover(heap, at + 1);
  for (long begin = ((at + 1) / kGroup + 1) * kGroup; begin <= last; begin += kGroup)
    Cover(heap, begin);
}

// The first group from `group` to `lastGroup` whose bound is at least need
// (need >= 8), or lastGroup + 1. Where the match lies is anybody's guess, so the
// vector code tests sixteen bounds at a time and picks the match from a mask
// instead of branching bound by bound.
inline long NextGroupWithRoom(const std::uint16_t* summary, long group, long lastGroup,
                              unsigned need) {
  // The group searched from is often the one that serves, and its bound may
  // have been written just now, which a wide load would have to wait for.
  if (group > lastGroup || summary[group] >= need) return group;
#ifdef __SSE2__
  const __m128i shortOf = _mm_set1_epi16(static_cast<short>(need - 1));
  const __m128i zero = _mm_setzero_si128();
  // A few groups are looked at one by one; more, sixteen at a time, the last
  // read reaching past the last group into bounds that stay 0.
  for (++group; group + 4 <= lastGroup; group += 16) {
    const __m128i* bounds = reinterpret_cast<const __m128i*>(summary + group);
    // Zero in the groups whose bound exceeds need - 1.
    const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(shortOf, _mm_loadu_si128(bounds)), zero);
    const __m128i high =
        _mm_cmpeq_epi16(_mm_subs_epu16(shortOf, _mm_loadu_si128(bounds + 1)), zero);
    const unsigned room = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
    if (room) {
      const long found = group + __builtin_ctz(room);
      return found <= lastGroup ? found : lastGroup + 1;
    }
  }
  if (group > lastGroup) return lastGroup + 1;
#endif
  while (group <= lastGroup && summary[group] < need) ++group;
  return group;
}

// The first entry among begin..end - 1, all of one group, whose FreeKey is at
// least need (need >= 8).
inline SubHeapEntry* FirstWithRoom(SubHeapEntry* first, long begin, long end, unsigned need,
                                   bool wholeGroups) {
#ifdef __SSE2__
  const __m128i shortOf = _mm_set1_epi32(static_cast<int>(need - 1));
  const __m128i sizeHalves = _mm_set1_epi32(0xFFFF);
  const auto roomIn = [&](const SubHeapEntry* four) {
    const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(four));
    const __m128i inUse = _mm_srai_epi32(_mm_slli_epi32(entries, 31), 31);
    const __m128i keys = _mm_andnot_si128(inUse, _mm_and_si128(entries, sizeHalves));
    return _mm_cmpgt_epi32(keys, shortOf);
  };
  if (!wholeGroups) {
    // A short directory: four entries at a time, stopping at the first match.
    for (; begin < end; begin += 4) {
      const int room = _mm_movemask_ps(_mm_castsi128_ps(roomIn(first + begin)));
      if (room) {
        // Entries are tested in order, so a match past end means none before it.
        const long found = begin + __builtin_ctz(static_cast<unsigned>(room));
        return found < end ? first + found : nullptr;
      }
    }
    return nullptr;
  }
  // A long directory: where the match lies in the group is anybody's guess, so
  // the whole group is tested at once (past end too, into the lowest chunk,
  // still inside the block) and the match picked from one mask.
  static_assert(kGroup == 16, "a group is tested as four vectors of four entries");
  const long base = begin - begin % kGroup;
  const __m128i low = _mm_packs_epi32(roomIn(first + base), roomIn(first + base + 4));
  const __m128i high = _mm_packs_epi32(roomIn(first + base + 8), roomIn(first + base + 12));
  const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
  const unsigned wanted = (~0u << (begin - base)) & ((1u << (end - base)) - 1);
  return mask & wanted ? first + base + __builtin_ctz(mask & wanted) : nullptr;
#else
  (void)wholeGroups;
  for (; begin < end; ++begin)
    if (FreeKey(first[begin].sizeAndUse) >= need) return first + begin;
  return nullptr;
#endif
}

// The first free entry at or after firstFree holding at least size bytes.
SubHeapEntry* FirstFit(const SubHeap& heap, long size) {
  SubHeapEntry* first = FirstEntry(heap.block);
  const long start = IndexOf(heap, heap.firstFree);
  const long last = IndexOf(heap, heap.lastEntry);
  const long lastGroup = last / kGroup;
  const unsigned need = static_cast<unsigned>(size) << 1;
  std::uint16_t* summary = Summary(heap);
  const bool wholeGroups = last >= 4 * kGroup;
  for (long group = NextGroupWithRoom(summary, start / kGroup, lastGroup, need); group <= lastGroup;
       group = NextGroupWithRoom(summary, group + 1, lastGroup, need)) {
    const long begin = group * kGroup > start ? group * kGroup : start;
    const long end = group * kGroup + kGroup < last + 1 ? group * kGroup + kGroup : last + 1;
    if (SubHeapEntry* entry = FirstWithRoom(first, begin, end, need, wholeGroups)) return entry;
    // Every free chunk of the group is below need; keys are even, so this is
    // still a bound, and the next search for as much skips the group.
    summary[group] = static_cast<std::uint16_t>(need - 2);
  }
  return nullptr;
}

// Requests are kept to multiples of 4 except at the very top, where the largest
// chunk a block has (32766 bytes) must still serve a request for 32765 or 32766.
inline long RoundedRequest(long size) {
  const long rounded = (size + 3) & ~3L;
  return rounded > kLargestChunk ? kLargestChunk : rounded;
}

inline bool BlockContains(const SubHeap& heap, const void* p) {
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(heap.block);
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(p);
  return heap.block && address > start && address < start + kBlockSize;
}

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "control storage: %s\n", what);
  std::abort();
}

SubHeapEntry* PlainFirstFit(const SubHeap& heap, long size) {
  for (SubHeapEntry* entry = heap.firstFree; entry <= heap.lastEntry; ++entry)
    if (!InUse(entry) && SizeOf(entry) >= size) return entry;
  return nullptr;
}

SubHeapEntry* PlainLargestFree(const SubHeap& heap) {
  SubHeapEntry* best = nullptr;
  for (SubHeapEntry* entry = heap.firstFree; entry <= heap.lastEntry; ++entry)
    if (!InUse(entry) && SizeOf(entry) > 0 && (!best || SizeOf(entry) > SizeOf(best))) best = entry;
  return best;
}

void CheckHeap(const SubHeap& heap) {
  const SubHeapEntry* first = FirstEntry(heap.block);
  const long last = IndexOf(heap, heap.lastEntry);
  if (heap.firstFree < first || heap.firstFree > heap.lastEntry || heap.largestEntry < first ||
      heap.largestEntry > heap.lastEntry)
    Broken("an entry hint lies outside the directory");
  long end = kBlockSize, inUse = 0;
  for (long i = 0; i <= last; ++i) {
    if (first[i].offset + SizeOf(first + i) != end) Broken("the chunks do not tile the block");
    end = first[i].offset;
    if (InUse(first + i))
      ++inUse;
    else if (first + i < heap.firstFree)
      Broken("a free entry lies before firstFree");
  }
  if (end != 4 * (last + 1)) Broken("the lowest chunk does not touch the directory");
  if (inUse != heap.count) Broken("count differs from the chunks in use");
  if (heap.largest != (InUse(heap.largestEntry) ? 0 : SizeOf(heap.largestEntry)))
    Broken("largest does not describe largestEntry");
  for (long group = 0; group <= last / kGroup; ++group) {
    unsigned largest = 0;
    for (long i = group * kGroup; i <= last && i < (group + 1) * kGroup; ++i)
      if (FreeKey(first[i].sizeAndUse) > largest) largest = FreeKey(first[i].sizeAndUse);
    if (Summary(heap)[group] < largest) Broken("the directory summary understates a group");
  }
  for (long group = last / kGroup + 1; group < kSummarySlots; ++group)
    if (Summary(heap)[group] != 0) Broken("a group past the directory has a bound");
}

// The first group from `from` to `to` with the highest bound, or -1 when every
// bound there is 0; *best receives that bound.
long HighestBound(const std::uint16_t* summary, long from, long to, unsigned* best) {
  unsigned highest = 0;
  long group = from;
#ifdef __SSE2__
  // Eight bounds at a time (past `to` too, where bounds stay 0), compared as
  // signed after moving them down by 0x8000, which is all SSE2 offers for
  // 16-bit maxima. A few bounds are looked at one by one.
  const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
  __m128i most = bias;
  for (; group + 4 <= to; group += 8)
    most = _mm_max_epi16(
        most,
        _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(summary + group)), bias));
  most = _mm_max_epi16(most, _mm_shuffle_epi32(most, 0x4E));
  most = _mm_max_epi16(most, _mm_shuffle_epi32(most, 0xB1));
  most = _mm_max_epi16(most, _mm_shufflelo_epi16(most, 0xB1));
  highest = (static_cast<unsigned>(_mm_cvtsi128_si32(most)) & 0xFFFF) ^ 0x8000;
#endif
  for (; group <= to; ++group) highest = summary[group] > highest ? summary[group] : highest;
  *best = highest;
  if (highest == 0) return -1;
  group = from;
  while (summary[group] != highest) ++group;
  return group;
}

// The first of the largest free chunks, once largestEntry has been taken: no
// free entry lies before firstFree, so the groups from its own on cover them
// all. The group with the highest bound (the first of equals) holds it when its
// bound is exact; otherwise the bound comes down to the truth and the next
// highest is tried.
void RescanLargest(SubHeap& heap) {
  std::uint16_t* summary = Summary(heap);
  SubHeapEntry* first = FirstEntry(heap.block);
  const long start = IndexOf(heap, heap.firstFree);
  const long last = IndexOf(heap, heap.lastEntry);
  for (;;) {
    unsigned best = 0;
    const long group = HighestBound(summary, start / kGroup, last / kGroup, &best);
    if (group < 0) return;
    const long begin = group * kGroup > start ? group * kGroup : start;
    const long end = group * kGroup + kGroup < last + 1 ? group * kGroup + kGroup : last + 1;
    const unsigned exact = LargestKey(first, begin, end);
    if (exact != best) {
      summary[group] = static_cast<std::uint16_t>(exact);
      continue;
    }
    SubHeapEntry* entry = first + begin;
    while (FreeKey(entry->sizeAndUse) != best) ++entry;
    if (kSelfChecks && entry != PlainLargestFree(heap)) Broken("rescan chose another chunk");
    heap.largestEntry = entry;
    return;
  }
}

// Sets largest from largestEntry, rescanning the free entries when the one it
// names has just been taken.
inline void RefreshLargest(SubHeap& heap) {
  if (InUse(heap.largestEntry)) RescanLargest(heap);
  heap.largest =
      static_cast<std::uint16_t>(InUse(heap.largestEntry) ? 0 : SizeOf(heap.largestEntry));
}

// Makes room for one more entry right after `at`: the entries from `at` to the
// last move up one slot and the lowest chunk gives its first 4 bytes to the
// directory. The caller has checked that the last entry is free and holds at
// least 4 bytes.
void OpenSlotAfter(SubHeap& heap, SubHeapEntry* at) {
  SubHeapEntry* last = heap.lastEntry;
  std::memmove(at + 1, at, static_cast<std::size_t>(last - at + 1) * sizeof(SubHeapEntry));
  SubHeapEntry* newLast = last + 1;
  SetSize(newLast, SizeOf(newLast) - 4, false);
  newLast->offset = static_cast<std::uint16_t>(newLast->offset + 4);
  if (heap.largestEntry >= at) ++heap.largestEntry;
  heap.lastEntry = newLast;
}

inline bool CanOpenSlot(const SubHeap& heap) {
  return !InUse(heap.lastEntry) && SizeOf(heap.lastEntry) >= 4;
}

// Steps of an allocation within one heap: first fit from firstFree, the back end
// of the chunk found is taken and the front end stays free when it is worth a
// directory entry. Null when no free chunk of the heap holds size bytes.
void* AllocateIn(SubHeap& heap, long size) {
  SubHeapEntry* entry = FirstFit(heap, size);
  if (kSelfChecks && entry != PlainFirstFit(heap, size)) Broken("first fit chose another chunk");
  if (!entry) return nullptr;

  const long chunk = SizeOf(entry);
  const long remainder = chunk - size;
  const std::uint16_t offset = entry->offset;
  long taken = chunk;
  bool shifted = false;
  if (entry == heap.lastEntry) {
    if (remainder >= 8) {
      // The new last entry lies on the first 4 bytes of this chunk's front part.
      SubHeapEntry* newLast = entry + 1;
      SetSize(newLast, remainder - 4, false);
      newLast->offset = static_cast<std::uint16_t>(offset + 4);
      heap.lastEntry = newLast;
      taken = size;
    }
  } else if (remainder >= 4 && CanOpenSlot(heap)) {
    OpenSlotAfter(heap, entry);
    shifted = true;
    SetSize(entry + 1, remainder, false);  // the front part, same offset
    taken = size;
  }
  if (taken != chunk) entry->offset = static_cast<std::uint16_t>(offset + remainder);
  SetSize(entry, taken, true);
  const long index = IndexOf(heap, entry);
  if (shifted)
    CoverShift(heap, index);
  else if (taken != chunk)
    Cover(heap, IndexOf(heap, heap.lastEntry));
  while (heap.firstFree < heap.lastEntry && InUse(heap.firstFree)) ++heap.firstFree;
  RefreshLargest(heap);
  ++heap.count;

  if (kSelfChecks) CheckHeap(heap);
  g_lastTaken = entry;
  char* start = heap.block + entry->offset;
  std::memset(start, 0, static_cast<std::size_t>(taken));
  return start;
}

SubHeap* SearchHeaps(const void* p) {
  for (int i = 0; i < g_slots; ++i)
    if (BlockContains(g_heaps[i], p)) return &g_heaps[i];
  return nullptr;
}

inline SubHeap* FindHeap(const void* p) {
  if (g_current && BlockContains(*g_current, p)) return g_current;
  return SearchHeaps(p);
}

// The directory lists the chunks from the highest address down, so offsets fall
// from entry to entry; only an empty last chunk shares its offset with the chunk
// above it. A binary search keeps releases in a well-filled block cheap.
SubHeapEntry* SearchDirectory(const SubHeap& heap, std::uint16_t offset) {
  SubHeapEntry* low = FirstEntry(heap.block);
  SubHeapEntry* high = heap.lastEntry + 1;
  while (low < high) {
    SubHeapEntry* middle = low + (high - low) / 2;
    if (middle->offset > offset)
      low = middle + 1;
    else
      high = middle;
  }
  for (; low <= heap.lastEntry && low->offset == offset; ++low)
    if (InUse(low)) return low;
  return nullptr;
}

inline SubHeapEntry* FindLiveEntry(const SubHeap& heap, std::uint16_t offset) {
  const std::uintptr_t hint = reinterpret_cast<std::uintptr_t>(g_lastTaken);
  if (hint >= reinterpret_cast<std::uintptr_t>(heap.block) &&
      hint <= reinterpret_cast<std::uintptr_t>(heap.lastEntry)) {
    SubHeapEntry* entry =
        FirstEntry(heap.block) +
        (hint - reinterpret_cast<std::uintptr_t>(heap.block)) / sizeof(SubHeapEntry);
    if (entry->offset == offset && InUse(entry)) return entry;
  }
  return SearchDirectory(heap, offset);
}

inline std::uint16_t OffsetIn(const SubHeap& heap, const void* p) {
  return static_cast<std::uint16_t>(static_cast<const char*>(p) - heap.block);
}

void ReleaseHeap(SubHeap& heap) {
  ReleaseBlock(heap.block);
  heap = SubHeap{};
  g_current = nullptr;
  --g_liveHeaps;
}

inline void ReleaseEntry(SubHeap& heap, SubHeapEntry* entry) {
  entry->sizeAndUse = static_cast<std::uint16_t>(entry->sizeAndUse & ~1u);
  Cover(heap, IndexOf(heap, entry));
  if (entry < heap.firstFree) heap.firstFree = entry;
  if (SizeOf(entry) > heap.largest) {
    heap.largestEntry = entry;
    heap.largest = static_cast<std::uint16_t>(SizeOf(entry));
  }
  if (--heap.count == 0)
    ReleaseHeap(heap);
  else if (kSelfChecks)
    CheckHeap(heap);
}

SubHeap* NewHeap() {
  int slot = 0;
  while (slot < g_slots && g_heaps[slot].block) ++slot;
  if (slot == g_slots) {
    const std::size_t bytes = static_cast<std::size_t>(g_slots + kSlotsPerGrowth) * sizeof(SubHeap);
    void* table = g_heaps ? ResizeTable(g_heaps, bytes) : AcquireTable(bytes);
    if (!table) return nullptr;
    const std::ptrdiff_t current = g_current ? g_current - g_heaps : -1;
    g_heaps = static_cast<SubHeap*>(table);
    std::memset(g_heaps + g_slots, 0, kSlotsPerGrowth * sizeof(SubHeap));
    g_slots += kSlotsPerGrowth;
    g_current = current >= 0 ? g_heaps + current : nullptr;
  }
  char* block = AcquireBlock();
  if (!block) return nullptr;
  SubHeap& heap = g_heaps[slot];
  SubHeapEntry* first = FirstEntry(block);
  SetSize(first, kLargestChunk, false);
  first->offset = 4;
  heap.largest = static_cast<std::uint16_t>(kLargestChunk);
  heap.count = 0;
  heap.block = block;
  heap.firstFree = heap.largestEntry = heap.lastEntry = first;
  Cover(heap, 0);
  ++g_liveHeaps;
  return &heap;
}

SubHeap* SearchHeapsForRoom(long size) {
  for (int i = 0; i < g_slots; ++i)
    if (g_heaps[i].block && g_heaps[i].largest >= size) return &g_heaps[i];
  return NewHeap();
}

// A released heap is never current, so the current one has a block.
inline SubHeap* ChooseHeap(long size) {
  if (g_current && g_current->largest >= size) return g_current;
  return SearchHeapsForRoom(size);
}

// Gives the tail of a chunk in use back as a free chunk, keeping its first `kept`
// bytes in place. Only an entry above the last one can be split this way: the
// last chunk touches the directory, which could only grow into the kept bytes.
void ShrinkInPlace(SubHeap& heap, SubHeapEntry* entry, long kept) {
  const long remainder = SizeOf(entry) - kept;
  if (entry == heap.lastEntry || remainder < 4 || !CanOpenSlot(heap)) return;
  OpenSlotAfter(heap, entry);
  const std::uint16_t offset = entry->offset;
  SetSize(entry + 1, kept, true);  // the kept front part, same offset
  entry->offset = static_cast<std::uint16_t>(offset + kept);
  SetSize(entry, remainder, false);
  Cover(heap, IndexOf(heap, entry));
  CoverShift(heap, IndexOf(heap, entry));
  if (entry < heap.firstFree) heap.firstFree = entry;
  heap.largest =
      static_cast<std::uint16_t>(InUse(heap.largestEntry) ? 0 : SizeOf(heap.largestEntry));
  if (remainder > heap.largest) {
    heap.largestEntry = entry;
    heap.largest = static_cast<std::uint16_t>(remainder);
  }
  if (kSelfChecks) CheckHeap(heap);
}

}  // namespace

void* SubAlloc(long size) {
  if (size <= 0 || size > kLargestChunk) return nullptr;
  const long request = RoundedRequest(size);
  SubHeap* heap = ChooseHeap(request);
  if (!heap) return nullptr;
  g_current = heap;
  return AllocateIn(*heap, request);
}

void* SubFree(void* p) {
  SubHeap* heap = FindHeap(p);
  if (!heap) return p;
  g_current = heap;
  SubHeapEntry* entry = FindLiveEntry(*heap, OffsetIn(*heap, p));
  if (!entry) return p;
  ReleaseEntry(*heap, entry);
  return nullptr;
}

void* SubReAlloc(void* p, long size) {
  SubHeap* heap = FindHeap(p);
  if (!heap) return nullptr;
  g_current = heap;
  const std::uint16_t offset = OffsetIn(*heap, p);
  SubHeapEntry* entry = FindLiveEntry(*heap, offset);
  if (!entry) return nullptr;
  const long held = SizeOf(entry);
  if (size <= held) {
    if (size > 0) ShrinkInPlace(*heap, entry, RoundedRequest(size));
    return p;
  }
  if (size > kLargestChunk) return nullptr;

  // Same block first: the directory may shift under the new chunk, but chunks
  // never move, so the old one is found again by its offset.
  if (void* moved = AllocateIn(*heap, RoundedRequest(size))) {
    std::memcpy(moved, p, static_cast<std::size_t>(held));
    ReleaseEntry(*heap, FindLiveEntry(*heap, offset));
    return moved;
  }
  void* moved = SubAlloc(size);  // may grow and move the heap table
  if (!moved) return nullptr;
  std::memcpy(moved, p, static_cast<std::size_t>(held));
  SubFree(p);
  return moved;
}

char* SubStrDup(const char* s) {
  if (!s) return nullptr;
  const std::size_t length = std::strlen(s);
  if (length >= static_cast<std::size_t>(kLargestChunk)) return nullptr;
  char* copy = static_cast<char*>(SubAlloc(static_cast<long>(length) + 1));
  if (copy) std::memcpy(copy, s, length + 1);
  return copy;
}

char* SubFillDup(const char* s, char fill) {
  if (!s) return nullptr;
  const std::size_t length = std::strlen(s);
  if (length >= static_cast<std::size_t>(kLargestChunk)) return nullptr;
  char* copy = static_cast<char*>(SubAlloc(static_cast<long>(length) + 1));
  if (copy) std::memset(copy, fill, length);  // the terminator is already there
  return copy;
}

char* SubReplaceStr(char** held, const char* s) {
  if (!held) return nullptr;
  if (*held) SubFree(*held);
  *held = SubStrDup(s);
  return *held;
}

int CopyTextBounded(char* dest, const char* src, int capacity) {
  if (!dest || !src || capacity == 0) return 0;
  std::size_t length = std::strlen(src);
  if (capacity > 0 && length > static_cast<std::size_t>(capacity - 1))
    length = static_cast<std::size_t>(capacity - 1);
  std::memcpy(dest, src, length);
  dest[length] = '\0';
  return static_cast<int>(length);
}

bool SubIsLiveChunk(const void* p) {
  SubHeap* heap = FindHeap(p);
  return heap && FindLiveEntry(*heap, OffsetIn(*heap, p)) != nullptr;
}

int SubLiveHeapCount() { return g_liveHeaps; }

void SubSetBlockFailureCountdown(int n) { g_blockFailureCountdown = n; }

}  // namespace quillet
