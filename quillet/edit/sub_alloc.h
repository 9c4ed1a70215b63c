// The edit control's storage: a small-block allocator of its own on 32770-byte
// blocks, from which every per-control record, buffer and temporary string of
// the control is taken. Allocation and release in the block used last cost no
// table scan, chunks are always zero-filled, and releasing an unknown pointer is
// harmless, which the control relies on when it frees its buffers.
//
// Process-wide and unlocked: every edit control of a process is driven from the
// thread that owns it, and nothing else uses this storage.
//
// Chunks start on an even address, nearly all on a 4-byte boundary: only the
// chunk next to a block's directory, when it is handed out whole, starts 2 bytes
// past one. Callers must not count on more than 2-byte alignment.
#pragma once

namespace quillet {

// A zero-filled chunk of at least size bytes (sizes are rounded up to 4), or null
// when size <= 0, size > 32766 or no block can be had.
void* SubAlloc(long size);

// Releases the chunk starting at p and returns null. When p is not the start of a
// chunk in use (null, foreign, inside a chunk, or already released) nothing
// changes and p itself is returned. A block whose last chunk is released goes
// back to the system.
void* SubFree(void* p);

// The chunk at p holding at least size bytes, with its contents kept up to
// min(old size, size). A chunk that is large enough stays where it is (its unused
// tail may be given back). Otherwise the contents move to a new chunk, in the
// same block when it has room, and the old chunk is released. Null, with nothing
// changed, when p is not the start of a chunk in use (null included) or when no
// memory is left.
void* SubReAlloc(void* p, long size);

// A copy of s in a new chunk; null for null (or when memory is exhausted).
char* SubStrDup(const char* s);

// A new string as long as s, made only of fill; null for null.
char* SubFillDup(const char* s, char fill);

// Releases *held (when it is a chunk), stores a copy of s there and returns it.
// A null held does nothing and returns null.
char* SubReplaceStr(char** held, const char* s);

// Copies at most capacity - 1 characters of src and a terminator into dest and
// returns the number of characters copied. Capacity 0 copies nothing; a negative
// capacity copies the whole string. A null dest or src copies nothing; the result
// is then 0.
int CopyTextBounded(char* dest, const char* src, int capacity);

// True when p is the start of a chunk in use.
bool SubIsLiveChunk(const void* p);

// Number of blocks currently held.
int SubLiveHeapCount();

// Test seam: after n more successful block requests every further one fails, as
// when the system has no memory left; a negative n lets every request succeed.
void SubSetBlockFailureCountdown(int n);

}  // namespace quillet
