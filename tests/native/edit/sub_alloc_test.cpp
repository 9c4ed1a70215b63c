// The edit control's storage: limits, layout within a block (first fit, where a
// chunk is split and where it is not), the hints that steer allocations to room
// that exists, release of blocks, tolerance of bad pointers, reallocation, the
// string helpers, exhaustion, and a long randomized run against a shadow model.
#include "quillet/edit/sub_alloc.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace quillet {
namespace {

// Every test starts and ends with no block held, so that "a fresh block" below
// is what the test sees.
class SubAllocTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SubLiveHeapCount(), 0) << "an earlier test leaked"; }
  void TearDown() override {
    SubSetBlockFailureCountdown(-1);
    EXPECT_EQ(SubLiveHeapCount(), 0) << "chunks left behind";
  }
};

char* Bytes(void* p) { return static_cast<char*>(p); }
std::ptrdiff_t Distance(void* higher, void* lower) { return Bytes(higher) - Bytes(lower); }

void Fill(void* p, long size, unsigned char seed) {
  for (long i = 0; i < size; ++i) Bytes(p)[i] = static_cast<char>(seed + i);
}
bool HasPattern(const void* p, long size, unsigned char seed) {
  for (long i = 0; i < size; ++i)
    if (static_cast<const unsigned char*>(p)[i] != static_cast<unsigned char>(seed + i))
      return false;
  return true;
}
bool IsZero(const void* p, long size) {
  for (long i = 0; i < size; ++i)
    if (static_cast<const unsigned char*>(p)[i] != 0) return false;
  return true;
}

void FreeAll(const std::vector<void*>& chunks) {
  for (void* p : chunks) EXPECT_EQ(SubFree(p), nullptr);
}

// --- Limits ---------------------------------------------------------------------

TEST_F(SubAllocTest, RejectsSizesOutsideOneToTheLargestChunk) {
  for (long size : {0L, -1L, -32766L, 32767L, 32768L, 100000L}) {
    EXPECT_EQ(SubAlloc(size), nullptr) << size;
  }
  EXPECT_EQ(SubLiveHeapCount(), 0) << "a refused request must not take a block";
}

TEST_F(SubAllocTest, LargestRequestsTakeAWholeBlockEach) {
  for (long size : {32766L, 32765L, 32761L}) {
    void* whole = SubAlloc(size);
    ASSERT_NE(whole, nullptr) << size;
    EXPECT_TRUE(IsZero(whole, size));
    EXPECT_EQ(SubLiveHeapCount(), 1);
    void* next = SubAlloc(4);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(SubLiveHeapCount(), 2) << "no room may be left beside a request of " << size;
    SubFree(next);
    SubFree(whole);
  }
}

// --- Layout within a block --------------------------------------------------------

TEST_F(SubAllocTest, RequestsAreRoundedUpToFourBytesAndChunksAreFourByteAligned) {
  struct Case {
    long size, rounded;
  } cases[] = {{1, 4}, {2, 4}, {3, 4}, {4, 4}, {5, 8}, {7, 8}, {8, 8}, {9, 12}, {101, 104}};
  for (const Case& c : cases) {
    void* anchor = SubAlloc(4);
    void* chunk = SubAlloc(c.size);
    void* below = SubAlloc(4);
    ASSERT_TRUE(anchor && chunk && below);
    // Chunks are cut from the top of a fresh block down, one after another.
    EXPECT_EQ(Distance(anchor, chunk), c.rounded) << c.size;
    EXPECT_EQ(Distance(chunk, below), 4) << c.size;
    for (void* p : {anchor, chunk, below})
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 4, 0u) << c.size;
    FreeAll({anchor, chunk, below});
  }
}

// The tail of a fresh block after a first request of `first` bytes decides whether
// the next small request shares the block and how much of the tail it takes.
TEST_F(SubAllocTest, TheLowestChunkIsSplitOnlyWhenEightBytesOrMoreRemain) {
  struct Case {
    long first;
    bool sameBlock;
    std::ptrdiff_t distance;  // first chunk minus second chunk, when in the same block
    long secondHolds;         // bytes the second chunk holds
  } cases[] = {
      {32766, false, 0, 4},   // no tail at all
      {32760, false, 0, 4},   // tail of 6: kept with the first chunk
      {32757, false, 0, 4},   // rounds to 32760
      {32756, true, 6, 6},    // tail of 10: split; the 6 left are taken whole
      {32752, true, 10, 10},  // tail of 14: split; 10 left, 6 over is too little
      {32748, true, 4, 4},    // tail of 18: split; 14 left, split again
  };
  for (const Case& c : cases) {
    void* first = SubAlloc(c.first);
    void* second = SubAlloc(4);
    ASSERT_TRUE(first && second) << c.first;
    EXPECT_EQ(SubLiveHeapCount(), c.sameBlock ? 1 : 2) << c.first;
    if (c.sameBlock) {
      EXPECT_EQ(Distance(first, second), c.distance) << c.first;
      // The whole chunk is the caller's: it grows in place, and it is zeroed.
      EXPECT_EQ(SubReAlloc(second, c.secondHolds), second) << c.first;
      EXPECT_TRUE(IsZero(second, c.secondHolds));
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(second) % 2, 0u);
    }
    if (!c.sameBlock) {
      // A first chunk that kept the small tail holds it.
      EXPECT_EQ(SubReAlloc(first, 32766), first) << c.first;
    }
    FreeAll({second, first});
  }
}

TEST_F(SubAllocTest, FirstFitTakesTheBackOfTheFirstFreeChunkThatIsLargeEnough) {
  void* top = SubAlloc(40);
  void* small = SubAlloc(40);
  void* sep1 = SubAlloc(40);
  void* big = SubAlloc(100);
  void* sep2 = SubAlloc(40);
  ASSERT_TRUE(top && small && sep1 && big && sep2);
  SubFree(small);
  SubFree(big);

  void* a = SubAlloc(80);  // too big for `small`; the back 80 of `big`
  EXPECT_EQ(a, Bytes(big) + 20);
  void* b = SubAlloc(40);  // fits `small` exactly
  EXPECT_EQ(b, small);
  void* c = SubAlloc(20);  // the 20 bytes left at the front of `big`
  EXPECT_EQ(c, big);
  void* d = SubAlloc(4);  // no hole left above the tail
  EXPECT_EQ(Distance(sep2, d), 4);
  EXPECT_EQ(SubLiveHeapCount(), 1);
  FreeAll({top, sep1, sep2, a, b, c, d});
}

TEST_F(SubAllocTest, AHoleAboveTheLowestChunkIsSplitWhenFourBytesOrMoreRemain) {
  struct Case {
    long request;
    std::ptrdiff_t offset;  // where in the 100-byte hole the chunk starts
  } cases[] = {{40, 60}, {96, 4}, {97, 0}, {100, 0}};
  for (const Case& c : cases) {
    void* top = SubAlloc(4);
    void* hole = SubAlloc(100);
    void* below = SubAlloc(4);
    ASSERT_TRUE(top && hole && below);
    std::memset(hole, 0x5A, 100);
    SubFree(hole);
    void* taken = SubAlloc(c.request);
    EXPECT_EQ(taken, Bytes(hole) + c.offset) << c.request;
    EXPECT_TRUE(IsZero(taken, 100 - c.offset)) << "a reused chunk is zeroed";
    std::vector<void*> chunks{top, taken, below};
    if (c.offset > 0) {
      // The front part stayed free and is found by the next request that fits.
      void* front = SubAlloc(c.offset);
      EXPECT_EQ(front, hole) << c.request;
      EXPECT_TRUE(IsZero(front, c.offset));
      chunks.push_back(front);
    }
    EXPECT_EQ(SubLiveHeapCount(), 1);
    FreeAll(chunks);
  }
}

TEST_F(SubAllocTest, AHoleIsTakenWholeWhenTheDirectoryCannotGrow) {
  // The lowest chunk is in use: the directory has nowhere to grow.
  {
    void* a = SubAlloc(100);
    void* b = SubAlloc(100);
    void* rest = SubAlloc(32556);  // the rest of the block but 2 bytes, too few to split off
    ASSERT_TRUE(a && b && rest);
    ASSERT_EQ(SubLiveHeapCount(), 1);
    SubFree(a);
    void* taken = SubAlloc(40);
    EXPECT_EQ(taken, a);
    EXPECT_EQ(SubReAlloc(taken, 100), taken) << "the whole hole was handed out";
    void* more = SubAlloc(4);
    EXPECT_EQ(SubLiveHeapCount(), 2) << "no free byte was left in the first block";
    FreeAll({taken, b, rest, more});
  }
  // The lowest chunk is free but smaller than a directory entry.
  {
    void* a = SubAlloc(100);
    void* fill = SubAlloc(32652);  // leaves a lowest chunk of 6 bytes
    ASSERT_TRUE(a && fill);
    SubFree(a);
    void* back = SubAlloc(40);  // split: the lowest chunk shrinks to 2 bytes
    EXPECT_EQ(back, Bytes(a) + 60);
    void* front = SubAlloc(40);  // 20 would remain, but no entry can be added
    EXPECT_EQ(front, a);
    EXPECT_EQ(SubReAlloc(front, 60), front);
    EXPECT_EQ(SubLiveHeapCount(), 1);
    FreeAll({back, front, fill});
  }
}

TEST_F(SubAllocTest, FreedChunksAreZeroedWhenHandedOutAgain) {
  void* anchor = SubAlloc(16);
  void* chunk = SubAlloc(64);
  ASSERT_TRUE(anchor && chunk);
  std::memset(chunk, 0xFF, 64);
  SubFree(chunk);
  void* again = SubAlloc(64);
  EXPECT_EQ(again, chunk);
  EXPECT_TRUE(IsZero(again, 64));
  FreeAll({anchor, again});
}

// --- Hints --------------------------------------------------------------------------

// A block filled with 1000-byte chunks until one more would need a second block.
std::vector<void*> FillBlockWith1000s() {
  std::vector<void*> chunks;
  for (;;) {
    void* p = SubAlloc(1000);
    if (!p) break;
    if (SubLiveHeapCount() == 2) {
      SubFree(p);
      break;
    }
    chunks.push_back(p);
  }
  return chunks;
}

TEST_F(SubAllocTest, FreedRoomIsFoundAgainBeforeANewBlockIsTaken) {
  std::vector<void*> chunks = FillBlockWith1000s();
  ASSERT_GE(chunks.size(), 30u);
  ASSERT_EQ(SubLiveHeapCount(), 1);

  // Whatever the order of release, the hole earlier in the block is used first,
  // and the other is still known once the first is taken.
  for (bool earlierFirst : {true, false}) {
    SubFree(chunks[earlierFirst ? 3 : 20]);
    SubFree(chunks[earlierFirst ? 20 : 3]);
    void* first = SubAlloc(1000);
    void* second = SubAlloc(1000);
    EXPECT_EQ(first, chunks[3]) << earlierFirst;
    EXPECT_EQ(second, chunks[20]) << earlierFirst;
    EXPECT_EQ(SubLiveHeapCount(), 1) << earlierFirst;
    chunks[3] = first;
    chunks[20] = second;
  }

  // A smaller request also goes to the hole, not to a new block.
  SubFree(chunks[10]);
  void* small = SubAlloc(200);
  EXPECT_EQ(small, Bytes(chunks[10]) + 800);
  EXPECT_EQ(SubLiveHeapCount(), 1);
  chunks[10] = small;
  FreeAll(chunks);
}

TEST_F(SubAllocTest, SplittingAHoleKeepsTrackOfTheLargestFreeChunk) {
  void* top = SubAlloc(4);
  void* hole = SubAlloc(100);
  void* smallHole = SubAlloc(40);
  ASSERT_TRUE(top && hole && smallHole);
  SubFree(hole);
  SubFree(smallHole);
  // Splitting `hole` moves the entries below it, the largest free chunk's among them.
  void* split = SubAlloc(40);
  EXPECT_EQ(split, Bytes(hole) + 60);
  void* large = SubAlloc(20000);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(SubLiveHeapCount(), 1) << "the block's own large free chunk was overlooked";
  FreeAll({top, split, large});
}

TEST_F(SubAllocTest, AnotherBlockWithRoomIsUsedBeforeANewOne) {
  std::vector<void*> first = FillBlockWith1000s();
  void* second = SubAlloc(32766);  // a second block, now the one used last
  ASSERT_EQ(SubLiveHeapCount(), 2);
  SubFree(first[5]);              // the first block has room again
  void* spare = SubAlloc(32766);  // a third block becomes the one used last
  ASSERT_EQ(SubLiveHeapCount(), 3);
  void* p = SubAlloc(1000);
  EXPECT_EQ(p, first[5]);
  EXPECT_EQ(SubLiveHeapCount(), 3);
  first[5] = p;
  FreeAll(first);
  FreeAll({second, spare});
}

// --- Release of blocks ---------------------------------------------------------------

TEST_F(SubAllocTest, ABlockIsReleasedWithItsLastChunkAndANewOneTakenAfterwards) {
  void* a = SubAlloc(10);
  void* b = SubAlloc(20);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(SubLiveHeapCount(), 1);
  EXPECT_EQ(SubFree(a), nullptr);
  EXPECT_EQ(SubLiveHeapCount(), 1);
  EXPECT_EQ(SubFree(b), nullptr);
  EXPECT_EQ(SubLiveHeapCount(), 0);
  EXPECT_FALSE(SubIsLiveChunk(b));
  void* c = SubAlloc(10);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(SubLiveHeapCount(), 1);
  EXPECT_TRUE(IsZero(c, 10));
  SubFree(c);
}

TEST_F(SubAllocTest, ManyBlocksCanBeHeldAtOnce) {
  std::vector<void*> blocks;
  for (int i = 0; i < 27; ++i) {
    void* p = SubAlloc(32766);
    ASSERT_NE(p, nullptr);
    Fill(p, 32766, static_cast<unsigned char>(i));
    blocks.push_back(p);
  }
  EXPECT_EQ(SubLiveHeapCount(), 27);
  for (int i = 0; i < 27; ++i)
    EXPECT_TRUE(HasPattern(blocks[i], 32766, static_cast<unsigned char>(i))) << i;
  // Release every other block, then take as many again: the free slots are reused.
  for (int i = 0; i < 27; i += 2) SubFree(blocks[i]);
  EXPECT_EQ(SubLiveHeapCount(), 13);
  for (int i = 0; i < 27; i += 2) blocks[i] = SubAlloc(32766);
  EXPECT_EQ(SubLiveHeapCount(), 27);
  for (int i = 1; i < 27; i += 2)
    EXPECT_TRUE(HasPattern(blocks[i], 32766, static_cast<unsigned char>(i))) << i;
  FreeAll(blocks);
}

// --- Pointers that are not live chunks ----------------------------------------------

TEST_F(SubAllocTest, PointersThatAreNotLiveChunksAreLeftAlone) {
  void* top = SubAlloc(32);
  void* live = SubAlloc(32);
  void* freed = SubAlloc(32);
  void* low = SubAlloc(32);
  ASSERT_TRUE(top && live && freed && low);
  Fill(top, 32, 1);
  Fill(live, 32, 2);
  Fill(low, 32, 4);
  SubFree(freed);
  int local = 0;
  void* foreign = std::malloc(16);
  struct Case {
    const char* what;
    void* p;
  } cases[] = {
      {"null", nullptr},
      {"a local", &local},
      {"foreign memory", foreign},
      {"inside a chunk", Bytes(live) + 4},
      {"one byte into a chunk", Bytes(live) + 1},
      {"just past the block", Bytes(top) + 32},
      {"the freed chunk", freed},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(SubIsLiveChunk(c.p)) << c.what;
    EXPECT_EQ(SubFree(c.p), c.p) << c.what;
    EXPECT_EQ(SubReAlloc(c.p, 64), nullptr) << c.what;
    EXPECT_EQ(SubReAlloc(c.p, 8), nullptr) << c.what;
  }
  std::free(foreign);
  EXPECT_TRUE(HasPattern(top, 32, 1));
  EXPECT_TRUE(HasPattern(live, 32, 2));
  EXPECT_TRUE(HasPattern(low, 32, 4));
  EXPECT_EQ(SubLiveHeapCount(), 1);
  // The count of live chunks was not disturbed: the block goes only with the last.
  SubFree(top);
  SubFree(live);
  EXPECT_EQ(SubLiveHeapCount(), 1);
  EXPECT_TRUE(HasPattern(low, 32, 4));
  // And the freed chunk is handed out once, not twice.
  void* again = SubAlloc(32);
  void* other = SubAlloc(32);
  EXPECT_NE(again, other);
  FreeAll({low, again, other});
}

// --- Reallocation ---------------------------------------------------------------------

TEST_F(SubAllocTest, ReAllocStaysInPlaceWhenTheChunkIsLargeEnough) {
  void* p = SubAlloc(98);  // holds 100
  void* below = SubAlloc(8);
  ASSERT_TRUE(p && below);
  Fill(p, 98, 7);
  EXPECT_EQ(SubReAlloc(p, 100), p);
  EXPECT_TRUE(HasPattern(p, 98, 7));
  EXPECT_EQ(SubReAlloc(p, 0), p);
  EXPECT_EQ(SubReAlloc(p, 30), p);
  EXPECT_TRUE(HasPattern(p, 30, 7));
  EXPECT_EQ(SubLiveHeapCount(), 1);
  FreeAll({p, below});
}

TEST_F(SubAllocTest, ShrinkingGivesTheUnusedTailBack) {
  void* top = SubAlloc(100);
  void* p = SubAlloc(200);
  ASSERT_TRUE(top && p);
  Fill(p, 200, 9);
  EXPECT_EQ(SubReAlloc(p, 50), p);
  EXPECT_TRUE(HasPattern(p, 50, 9));
  void* tail = SubAlloc(148);  // 200 - 52
  EXPECT_EQ(tail, Bytes(p) + 52);
  EXPECT_TRUE(IsZero(tail, 148));
  EXPECT_TRUE(HasPattern(p, 50, 9));
  EXPECT_EQ(SubLiveHeapCount(), 1);
  FreeAll({top, p, tail});
}

TEST_F(SubAllocTest, GrowingMovesTheContentsAndReleasesTheOldChunk) {
  void* p = SubAlloc(40);
  void* below = SubAlloc(40);  // p cannot grow into its neighbour
  ASSERT_TRUE(p && below);
  Fill(p, 40, 3);
  void* q = SubReAlloc(p, 72);
  ASSERT_NE(q, nullptr);
  EXPECT_NE(q, p);
  EXPECT_TRUE(HasPattern(q, 40, 3));
  EXPECT_TRUE(IsZero(Bytes(q) + 40, 32));
  EXPECT_FALSE(SubIsLiveChunk(p));
  EXPECT_TRUE(SubIsLiveChunk(q));
  EXPECT_EQ(SubLiveHeapCount(), 1) << "the block had room";
  // The old chunk is free again.
  void* r = SubAlloc(40);
  EXPECT_EQ(r, p);
  FreeAll({q, below, r});
}

TEST_F(SubAllocTest, GrowingInAFullBlockMovesToAnotherBlock) {
  void* p = SubAlloc(100);
  void* rest = SubAlloc(32660);  // the rest of the block but 2 bytes
  ASSERT_TRUE(p && rest);
  ASSERT_EQ(SubLiveHeapCount(), 1);
  Fill(p, 100, 11);

  // With no block to be had, the old chunk stays as it was.
  SubSetBlockFailureCountdown(0);
  EXPECT_EQ(SubReAlloc(p, 300), nullptr);
  EXPECT_TRUE(SubIsLiveChunk(p));
  EXPECT_TRUE(HasPattern(p, 100, 11));
  EXPECT_EQ(SubLiveHeapCount(), 1);
  SubSetBlockFailureCountdown(-1);

  void* q = SubReAlloc(p, 300);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(SubLiveHeapCount(), 2);
  EXPECT_TRUE(HasPattern(q, 100, 11));
  EXPECT_TRUE(IsZero(Bytes(q) + 100, 200));
  EXPECT_FALSE(SubIsLiveChunk(p));
  FreeAll({q, rest});
}

TEST_F(SubAllocTest, ReAllocBeyondTheLargestChunkFailsAndKeepsTheChunk) {
  void* p = SubAlloc(16);
  ASSERT_NE(p, nullptr);
  Fill(p, 16, 5);
  EXPECT_EQ(SubReAlloc(p, 32767), nullptr);
  EXPECT_TRUE(HasPattern(p, 16, 5));
  EXPECT_EQ(SubLiveHeapCount(), 1);
  void* q = SubReAlloc(p, 32766);
  ASSERT_NE(q, nullptr);
  EXPECT_TRUE(HasPattern(q, 16, 5));
  EXPECT_EQ(SubLiveHeapCount(), 1) << "the first block was released with its only chunk";
  SubFree(q);
}

// --- Exhaustion -------------------------------------------------------------------------

TEST_F(SubAllocTest, WithoutMemoryRequestsFailAndNothingIsLost) {
  SubSetBlockFailureCountdown(0);
  EXPECT_EQ(SubAlloc(10), nullptr);
  EXPECT_EQ(SubStrDup("text"), nullptr);
  EXPECT_EQ(SubFillDup("text", '*'), nullptr);
  EXPECT_EQ(SubLiveHeapCount(), 0);

  SubSetBlockFailureCountdown(1);
  void* whole = SubAlloc(32766);
  ASSERT_NE(whole, nullptr);
  Fill(whole, 32766, 13);
  EXPECT_EQ(SubAlloc(4), nullptr);
  EXPECT_EQ(SubAlloc(4), nullptr) << "failures go on until the seam is reset";
  EXPECT_EQ(SubLiveHeapCount(), 1);
  EXPECT_TRUE(HasPattern(whole, 32766, 13));

  // Room inside a block that is already held needs no new block.
  SubFree(whole);
  SubSetBlockFailureCountdown(1);
  void* a = SubAlloc(100);
  void* b = SubAlloc(100);
  EXPECT_TRUE(a && b);
  FreeAll({a, b});
}

// --- Strings ------------------------------------------------------------------------------

TEST_F(SubAllocTest, StringCopies) {
  EXPECT_EQ(SubStrDup(nullptr), nullptr);
  EXPECT_EQ(SubFillDup(nullptr, '*'), nullptr);
  for (const char* s : {"", "x", "hello world", "0123456789012345678901234567890123456789"}) {
    char* copy = SubStrDup(s);
    ASSERT_NE(copy, nullptr) << s;
    EXPECT_NE(copy, s);
    EXPECT_STREQ(copy, s);
    EXPECT_TRUE(SubIsLiveChunk(copy));
    char* filled = SubFillDup(s, '*');
    ASSERT_NE(filled, nullptr) << s;
    EXPECT_EQ(std::string(filled), std::string(std::strlen(s), '*'));
    FreeAll({copy, filled});
  }
  std::string longest(32765, 'q');
  char* copy = SubStrDup(longest.c_str());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(longest, copy);
  SubFree(copy);
  longest.push_back('q');
  EXPECT_EQ(SubStrDup(longest.c_str()), nullptr);
  EXPECT_EQ(SubFillDup(longest.c_str(), '*'), nullptr);
}

TEST_F(SubAllocTest, ReplacingAHeldString) {
  char* held = nullptr;
  EXPECT_EQ(SubReplaceStr(&held, "first"), held);
  EXPECT_STREQ(held, "first");
  char* old = held;
  char* anchor = SubStrDup("keeps the block");
  EXPECT_EQ(SubReplaceStr(&held, "second, longer"), held);
  EXPECT_STREQ(held, "second, longer");
  EXPECT_FALSE(SubIsLiveChunk(old));
  EXPECT_EQ(SubReplaceStr(&held, nullptr), nullptr);
  EXPECT_EQ(held, nullptr);
  EXPECT_EQ(SubReplaceStr(nullptr, "x"), nullptr);
  // A held string that is not a chunk of ours is not released, only replaced.
  char own[] = "not ours";
  held = own;
  EXPECT_STREQ(SubReplaceStr(&held, "ours"), "ours");
  EXPECT_STREQ(own, "not ours");
  FreeAll({held, anchor});
}

TEST(CopyTextBoundedTest, CopiesAtMostCapacityLessOneCharacters) {
  struct Case {
    const char* source;
    int capacity;
    int copied;
    const char* result;
  } cases[] = {
      {"hello", 0, 0, "untouched"}, {"hello", -1, 5, "hello"}, {"hello", -100, 5, "hello"},
      {"hello", 1, 0, ""},          {"hello", 2, 1, "h"},      {"hello", 5, 4, "hell"},
      {"hello", 6, 5, "hello"},     {"hello", 50, 5, "hello"}, {"", 10, 0, ""},
  };
  for (const Case& c : cases) {
    char dest[16] = "untouched";
    EXPECT_EQ(CopyTextBounded(dest, c.source, c.capacity), c.copied) << c.capacity;
    EXPECT_STREQ(dest, c.result) << c.capacity;
  }
  char dest[4] = "abc";
  EXPECT_EQ(CopyTextBounded(nullptr, "x", 10), 0);
  EXPECT_EQ(CopyTextBounded(dest, nullptr, 10), 0);
  EXPECT_STREQ(dest, "abc");
}

// --- Soak -------------------------------------------------------------------------------

// Random allocations, releases and reallocations checked against a model of what
// must be true: every live chunk keeps its contents, new chunks are zeroed, live
// chunks never overlap, and nothing is left once everything is released.
TEST_F(SubAllocTest, SoakAgainstAShadowModel) {
  struct Live {
    long size;
    unsigned char seed;
  };
  std::map<std::uintptr_t, Live> live;
  std::mt19937 random(20261208u);
  auto uniform = [&](long low, long high) {
    return std::uniform_int_distribution<long>(low, high)(random);
  };
  auto randomSize = [&]() -> long {
    const long kind = uniform(0, 99);
    if (kind < 70) return uniform(1, 64);
    if (kind < 95) return uniform(65, 600);
    if (kind < 99) return uniform(601, 6000);
    return uniform(6001, 32766);
  };
  auto address = [](void* p) { return reinterpret_cast<std::uintptr_t>(p); };
  auto pick = [&]() {
    auto it = live.begin();
    std::advance(it, uniform(0, static_cast<long>(live.size()) - 1));
    return it;
  };
  auto checkPlace = [&](void* p, long size) {
    // Only a chunk taken whole at the directory's end may start off a 4-byte boundary.
    EXPECT_EQ(address(p) % 2, 0u);
    auto next = live.lower_bound(address(p));
    if (next != live.end()) EXPECT_LE(address(p) + size, next->first) << "overlaps the next chunk";
    if (next != live.begin()) {
      auto previous = std::prev(next);
      EXPECT_LE(previous->first + previous->second.size, address(p)) << "overlaps the previous";
    }
  };

  unsigned char nextSeed = 1;
  long failedOnPurpose = 0;
  int starvedUntil = -1;
  for (int step = 0; step < 400000 && !HasFailure(); ++step) {
    // Now and then the system has no block to give for a stretch of steps.
    if (step % 1000 == 0) starvedUntil = uniform(0, 3) == 0 ? step + 200 : -1;
    const bool starved = step < starvedUntil;
    SubSetBlockFailureCountdown(starved ? 0 : -1);
    const long action = uniform(0, 99);
    const bool crowded = live.size() > 1200;
    if (live.empty() || (!crowded && action < 45)) {
      const long size = randomSize();
      void* p = SubAlloc(size);
      if (!p) {
        ASSERT_TRUE(starved) << "allocation of " << size << " failed";
        ++failedOnPurpose;
      } else {
        ASSERT_FALSE(live.count(address(p))) << "handed out twice";
        EXPECT_TRUE(IsZero(p, size)) << size;
        checkPlace(p, size);
        const unsigned char seed = nextSeed++;
        Fill(p, size, seed);
        live[address(p)] = {size, seed};
      }
    } else if (action < 80 || crowded) {
      auto it = pick();
      void* p = reinterpret_cast<void*>(it->first);
      ASSERT_TRUE(HasPattern(p, it->second.size, it->second.seed));
      if (it->second.size > 1) EXPECT_EQ(SubFree(Bytes(p) + 1), Bytes(p) + 1);
      ASSERT_EQ(SubFree(p), nullptr);
      EXPECT_FALSE(SubIsLiveChunk(p));
      live.erase(it);
    } else {
      auto it = pick();
      void* p = reinterpret_cast<void*>(it->first);
      const Live old = it->second;
      const long size = uniform(0, 3) == 0 ? uniform(1, old.size) : randomSize();
      void* q = SubReAlloc(p, size);
      if (!q) {
        ASSERT_TRUE(starved) << "reallocation to " << size << " failed";
        ++failedOnPurpose;
        EXPECT_TRUE(SubIsLiveChunk(p));
        EXPECT_TRUE(HasPattern(p, old.size, old.seed));
        continue;
      }
      const long kept = std::min(old.size, size);
      EXPECT_TRUE(HasPattern(q, kept, old.seed));
      live.erase(it);
      // Past the kept bytes a moved chunk holds what the old chunk held beyond
      // them, then zeros: nothing the caller may count on.
      if (q != p) EXPECT_FALSE(SubIsLiveChunk(p));
      checkPlace(q, size);
      Fill(q, size, old.seed);
      live[address(q)] = {size, old.seed};
    }
    if (step % 5000 == 0) {
      for (const auto& [at, chunk] : live) {
        void* p = reinterpret_cast<void*>(at);
        ASSERT_TRUE(SubIsLiveChunk(p));
        ASSERT_TRUE(HasPattern(p, chunk.size, chunk.seed));
      }
    }
  }
  SubSetBlockFailureCountdown(-1);
  EXPECT_GT(failedOnPurpose, 0) << "the run never met an exhausted system";
  for (const auto& [at, chunk] : live) {
    void* p = reinterpret_cast<void*>(at);
    EXPECT_TRUE(HasPattern(p, chunk.size, chunk.seed));
    EXPECT_EQ(SubFree(p), nullptr);
  }
  EXPECT_EQ(SubLiveHeapCount(), 0);
}

}  // namespace
}  // namespace quillet
