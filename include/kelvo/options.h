// The plugin-wide settings that steer the text conversions.
#pragma once

#include <cstdint>

struct PluginOptionsRecord {
  int32_t Quotes;        // 0 never, 1 &quot; always, 2 best guess
  int32_t Spaces;        // 0 never, 1 &nbsp; always, 2 best guess
  int32_t Dash;          // 0 no, 1 "--" becomes &mdash;
  int32_t Apos;          // 0 never, 1 &#39;, 2 &apos;, 3 best guess
  int32_t Approximate;   // @DEENTITIZE writes ASCII approximations
  int32_t UnicodeCheck;  // conversions refuse Unicode output
};

extern PluginOptionsRecord PluginOptions;

// Sets all six fields to their initial values.
void ResetPluginOptions(void);
