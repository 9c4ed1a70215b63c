// The edit control's storage driven by arbitrary sequences of allocations,
// releases and resizes, with the system refusing blocks at a moment the input
// chooses. The allocator checks its own bookkeeping after every change; this
// target checks what callers see: fresh chunks are zero-filled, contents
// survive until released and across resizes, live chunks never overlap, foreign
// and inner pointers change nothing, and every block is returned at the end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "quillet/edit/sub_alloc.h"

namespace {

using fuzzsupport::Check;

struct Live {
  char* start;
  long size;
  std::uint8_t fill;
};

// Compared a page at a time: whole blocks are common inputs, and a byte loop
// under the sanitizers would spend the run there.
bool AllBytesAre(const char* start, long size, std::uint8_t value) {
  static char page[4096];
  if (static_cast<std::uint8_t>(page[0]) != value) std::memset(page, value, sizeof page);
  for (long done = 0; done < size;) {
    const long part = size - done < 4096 ? size - done : 4096;
    if (std::memcmp(start + done, page, static_cast<std::size_t>(part)) != 0) return false;
    done += part;
  }
  return true;
}

bool HoldsFill(const Live& chunk, long bytes) {
  return AllBytesAre(chunk.start, bytes, chunk.fill);
}

bool ZeroFilled(const char* start, long size) { return AllBytesAre(start, size, 0); }

// Chunks ordered by address: a new one must not reach into its neighbours.
void CheckNoOverlap(const std::map<char*, long>& byAddress, char* start, long size) {
  auto next = byAddress.lower_bound(start);
  if (next != byAddress.end()) Check(start + size <= next->first);
  if (next != byAddress.begin()) {
    auto previous = std::prev(next);
    Check(previous->first + previous->second <= start);
  }
}

long SizeFrom(fuzzsupport::Reader& in) {
  const std::uint8_t kind = in.Byte();
  const long low = in.Byte() | (in.Byte() << 8);
  switch (kind % 8) {
    case 0:
      return low % 33000 - 100;  // edges, zero, negative and too large included
    case 1:
      return 32766 - (low % 8);
    default:
      return low % 256;  // the control's usual sizes
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzsupport::Reader in(data, size);
  const int failAfter = in.Byte() % 16;
  quillet::SubSetBlockFailureCountdown(failAfter == 0 ? -1 : failAfter);

  std::vector<Live> live;
  std::map<char*, long> byAddress;
  char foreign[16] = {};
  std::uint8_t nextFill = 1;
  while (in.Remaining() > 0 && live.size() < 4000) {
    const std::uint8_t op = in.Byte() % 5;
    if (op <= 1 || live.empty()) {
      const long request = SizeFrom(in);
      char* p = static_cast<char*>(quillet::SubAlloc(request));
      if (request <= 0 || request > 32766) Check(p == nullptr);
      if (!p) continue;
      Check(ZeroFilled(p, request));
      CheckNoOverlap(byAddress, p, request);
      const Live chunk{p, request, nextFill++};
      std::memset(p, chunk.fill, static_cast<std::size_t>(request));
      live.push_back(chunk);
      byAddress[p] = request;
      if (nextFill == 0) nextFill = 1;
    } else if (op == 2) {
      const std::size_t at = in.Byte() % live.size();
      Check(HoldsFill(live[at], live[at].size));
      Check(quillet::SubFree(live[at].start) == nullptr);
      Check(!quillet::SubIsLiveChunk(live[at].start));
      byAddress.erase(live[at].start);
      live[at] = live.back();
      live.pop_back();
    } else if (op == 3) {
      const std::size_t at = in.Byte() % live.size();
      Live& chunk = live[at];
      const long request = SizeFrom(in);
      char* moved = static_cast<char*>(quillet::SubReAlloc(chunk.start, request));
      if (request <= 0) {
        // Nothing to resize to: the chunk stays as it is.
        Check(moved == chunk.start);
        Check(HoldsFill(chunk, chunk.size));
        continue;
      }
      if (!moved) {
        // Refused: the old chunk is kept, whole.
        Check(quillet::SubIsLiveChunk(chunk.start));
        Check(HoldsFill(chunk, chunk.size));
        continue;
      }
      const long kept = request < chunk.size ? request : chunk.size;
      byAddress.erase(chunk.start);
      chunk.start = moved;
      Check(HoldsFill(chunk, kept));
      // The allocator may hand out more than asked; only what was asked for is
      // the caller's.
      chunk.size = request;
      CheckNoOverlap(byAddress, moved, chunk.size);
      std::memset(moved, chunk.fill, static_cast<std::size_t>(chunk.size));
      byAddress[moved] = chunk.size;
    } else {
      // Pointers that start no live chunk: nothing may change.
      const std::size_t at = in.Byte() % live.size();
      char* inner = live[at].size > 1 ? live[at].start + 1 : foreign;
      for (char* p : {inner, foreign, static_cast<char*>(nullptr)}) {
        Check(quillet::SubFree(p) == p);
        Check(quillet::SubReAlloc(p, 8) == nullptr);
      }
      Check(HoldsFill(live[at], live[at].size));
    }
  }
  for (const Live& chunk : live) {
    Check(HoldsFill(chunk, chunk.size));
    Check(quillet::SubFree(chunk.start) == nullptr);
  }
  Check(quillet::SubLiveHeapCount() == 0);
  quillet::SubSetBlockFailureCountdown(-1);
  return 0;
}
