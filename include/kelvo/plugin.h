// The plugin's exports, under the exact names the host looks up.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define PLUGIN_API __stdcall
#define PLUGIN_EXPORT extern "C"
#else
#define PLUGIN_API
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The identity record handed to the host; field order and types are
// the host's.
struct PluginInfoRecord {
  const char16_t* Name;
  const char16_t* Author;
  const char16_t* Email;
  const char16_t* WebPage;
  const char16_t* Description;
  const char16_t* Implements;
  int32_t Major;
  int32_t Minor;
  int32_t Build;
  uintptr_t Reserved1;
  uintptr_t Reserved2;
};

PLUGIN_EXPORT PluginInfoRecord* PLUGIN_API GetPluginInfo(void);
PLUGIN_EXPORT int PLUGIN_API InitializePlugin(void);
PLUGIN_EXPORT int PLUGIN_API ShutdownPlugin(int endProcess);

PLUGIN_EXPORT int PLUGIN_API Help(const char16_t* topic);
PLUGIN_EXPORT int PLUGIN_API Usage(const char16_t* topic, char16_t* out);

// Commands: the argument text; 0 success, 1 error, -1 null pointer.
PLUGIN_EXPORT int PLUGIN_API kelvo(char16_t* arguments);
PLUGIN_EXPORT int PLUGIN_API arraytable(char16_t* arguments);

// Variable functions: the ArgBuffer is overwritten with the result on
// success; 0 success, -1 null pointer or bad argument, -2 refused
// because the host writes Unicode output.
PLUGIN_EXPORT int PLUGIN_API f_entitize(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_makeentity(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_entag(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_deentitize(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_tag(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_hcomment(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_doctype(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_hexenc(char16_t* buffer);
PLUGIN_EXPORT int PLUGIN_API f_hexdec(char16_t* buffer);
