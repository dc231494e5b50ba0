// The seven operations the plugin imports from the host library
// (TakeCmd.dll on Windows, libtakecmd.so for the stand-in host on Linux).
// All text is NUL-terminated UTF-16.
#pragma once

#if defined(_WIN32)
#define HOST_API __stdcall
#define HOST_API_VARARGS __cdecl
#if defined(KELVO_BUILDING_HOST)
#define HOST_IMPORT __declspec(dllexport)
#else
#define HOST_IMPORT __declspec(dllimport)
#endif
#else
#define HOST_API
#define HOST_API_VARARGS
#define HOST_IMPORT __attribute__((visibility("default")))
#endif

// An output handle as the host's Qprintf takes it (a Windows HANDLE).
typedef void* HostHandle;

extern "C" {

// Replaces the text in place by its expansion. The caller owns the
// buffer's capacity; the host is trusted not to overrun it.
HOST_IMPORT int HOST_API ExpandVariables(char16_t* text, int recurse);

// printf-style output. Formats understand %s (UTF-16 string), %d, %u,
// %c (one UTF-16 unit) and %%.
HOST_IMPORT int HOST_API_VARARGS Qprintf(HostHandle handle, const char16_t* format, ...);
HOST_IMPORT int HOST_API_VARARGS Printf(const char16_t* format, ...);
HOST_IMPORT int HOST_API_VARARGS Sprintf(char16_t* dest, const char16_t* format, ...);

// Writes the text to standard output unchanged, without a line end.
HOST_IMPORT int HOST_API QPuts(const char16_t* text);

// Writes one line end to standard output.
HOST_IMPORT int HOST_API CrLf(void);

// Exactly 1 when the host writes Unicode output.
HOST_IMPORT int HOST_API QueryUnicodeOutput(void);

}  // extern "C"
