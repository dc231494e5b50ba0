// Fixed user-facing texts shared between commands and help.
#pragma once

extern const char16_t PluginName[];  // "Kelvo"

extern const char16_t KelvoHelpTitle[];
extern const char16_t KelvoUsageText[];
extern const char16_t ArrayTableHelpTitle[];
extern const char16_t ArrayTableUsageText[];
