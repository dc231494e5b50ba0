// Registration internals, reachable by tests.
#pragma once

// True when the host's version lies in 10..255 and it is not the LE edition.
bool HostSupportsArrayTable(void);

// Removes the first entry equal to name (ASCII case ignored) from a
// ','/';'-separated list, with its separator; then drops a trailing
// separator.
void RemoveListEntry(char16_t* list, const char16_t* name);

// Restores the full list of implemented names, as at load.
void ResetImplementedNames(void);
