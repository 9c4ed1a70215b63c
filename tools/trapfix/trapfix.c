/*
 * LD_PRELOAD shim for the 32-bit Wine loader running under qemu-user.
 *
 * qemu-user delivers SIGSEGV, SIGFPE, SIGILL, SIGBUS and SIGTRAP with the
 * signal context's trap number left at -1. Wine derives the Windows exception
 * code from that number, so without this shim every access violation looks like
 * an illegal instruction, IsBadReadPtr kills the process and divide errors get
 * the wrong code. The shim wraps sigaction, and before the program's own handler
 * runs it fills in the trap number a real i386 kernel would have reported.
 *
 * Built freestanding (no libc headers: the machine has no 32-bit multilib) and
 * linked against the 32-bit libc directly.
 */

typedef unsigned int u32;

#define SIGILL 4
#define SIGTRAP 5
#define SIGBUS 7
#define SIGFPE 8
#define SIGSEGV 11
#define SA_SIGINFO 4
#define MAX_SIGNALS 65

/* glibc's i386 layouts. */
struct k_sigaction {
  void* handler;
  u32 mask[32];
  int flags;
  void (*restorer)(void);
};

struct k_siginfo {
  int signo;
  int err;
  int code;
};

/* ucontext_t: uc_flags, uc_link, uc_stack (12 bytes), then gregs[19]. */
#define UC_GREGS_OFFSET 20
#define REG_TRAPNO 12

typedef void (*info_handler)(int, struct k_siginfo*, void*);
typedef void (*plain_handler)(int);
typedef int (*sigaction_fn)(int, const struct k_sigaction*, struct k_sigaction*);

extern void* dlsym(void* handle, const char* name);
#define RTLD_NEXT ((void*)-1l)

static struct k_sigaction saved[MAX_SIGNALS];
static sigaction_fn real_sigaction;

static int watched(int sig) {
  return sig == SIGSEGV || sig == SIGFPE || sig == SIGILL || sig == SIGBUS || sig == SIGTRAP;
}

static int trap_number(int sig, int code) {
  switch (sig) {
    case SIGSEGV:
      return code == 0x80 /* SI_KERNEL */ ? 13 : 14;
    case SIGBUS:
      return 13;
    case SIGFPE:
      if (code == 1 /* FPE_INTDIV */) return 0;
      if (code == 2 /* FPE_INTOVF */) return 4;
      return 16;
    case SIGILL:
      return 6;
    case SIGTRAP:
      return code == 2 /* TRAP_TRACE */ ? 1 : 3;
  }
  return -1;
}

static void trampoline(int sig, struct k_siginfo* info, void* context) {
  if (context) {
    int* gregs = (int*)((char*)context + UC_GREGS_OFFSET);
    if (gregs[REG_TRAPNO] == -1) gregs[REG_TRAPNO] = trap_number(sig, info ? info->code : 0);
  }
  struct k_sigaction* original = &saved[sig];
  if (original->flags & SA_SIGINFO)
    ((info_handler)original->handler)(sig, info, context);
  else
    ((plain_handler)original->handler)(sig);
}

int sigaction(int sig, const struct k_sigaction* act, struct k_sigaction* old) {
  if (!real_sigaction) real_sigaction = (sigaction_fn)dlsym(RTLD_NEXT, "sigaction");
  if (!real_sigaction) return -1;
  if (sig <= 0 || sig >= MAX_SIGNALS || !watched(sig)) return real_sigaction(sig, act, old);

  struct k_sigaction previous = saved[sig];
  int result;
  if (act && (u32)act->handler > 1u /* not SIG_DFL or SIG_IGN */) {
    struct k_sigaction wrapped = *act;
    wrapped.handler = (void*)trampoline;
    wrapped.flags |= SA_SIGINFO;
    result = real_sigaction(sig, &wrapped, old);
    if (result == 0) saved[sig] = *act;
  } else {
    result = real_sigaction(sig, act, old);
  }
  if (result == 0 && old && old->handler == (void*)trampoline) *old = previous;
  return result;
}
