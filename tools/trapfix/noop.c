/* 64-bit twin of the trap-number shim: LD_PRELOAD names "$LIB/…", so 64-bit
 * processes load this empty library and are left undisturbed. */
int quorvan_trapfix_noop;
