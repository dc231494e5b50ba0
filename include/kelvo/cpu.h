// Which vector paths the module has, and what the processor offers beyond
// the x86-64 baseline, asked at run time: the module is built for the
// baseline, and its faster block paths run only where the instructions
// they need exist.
#pragma once

// The block paths are compiled where the compiler targets SSE2 (every
// x86-64 build), unless the build switches them off with
// KELVO_NO_VECTOR_PATHS, so that the one-unit paths a 32-bit module runs
// are tested on any machine.
#if defined(__SSE2__) && !defined(KELVO_NO_VECTOR_PATHS)
#define KELVO_VECTOR_SSE2 1
#else
#define KELVO_VECTOR_SSE2 0
#endif

// True when the processor has SSSE3 (byte shuffles) and the module was
// built with the vector paths that use it (x86-64). Inline and cheap: the
// conversions ask on every call. The runtime library fills in what it
// knows of the processor when the module is loaded, before any call.
inline bool CpuHasSsse3(void) {
#if defined(__x86_64__) && KELVO_VECTOR_SSE2
  return __builtin_cpu_supports("ssse3") != 0;
#else
  return false;
#endif
}
