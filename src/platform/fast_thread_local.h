// A thread-local variable that a call reads on its every path. In an ELF shared library the
// initial-exec model makes such a read one instruction instead of a call; the process reserves
// room for a few bytes of such variables of libraries loaded later, so keep them small.
#pragma once

#if defined(__ELF__)
#define FAST_THREAD_LOCAL [[gnu::tls_model("initial-exec")]] thread_local
#else
#define FAST_THREAD_LOCAL thread_local
#endif
