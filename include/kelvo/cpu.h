// What the processor offers beyond the x86-64 baseline, asked at run
// time: the module is built for the baseline, and its faster block paths
// run only where the instructions they need exist.
#pragma once

// True when the processor has SSSE3 (byte shuffles) and the module was
// built with the vector paths that use it (x86-64). Inline and cheap: the
// conversions ask on every call. The runtime library fills in what it
// knows of the processor when the module is loaded, before any call.
inline bool CpuHasSsse3(void) {
#if defined(__x86_64__) && defined(__SSE2__)
  return __builtin_cpu_supports("ssse3") != 0;
#else
  return false;
#endif
}
