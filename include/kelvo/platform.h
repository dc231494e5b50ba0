// The three services the plugin needs from the operating system besides
// the host: the standard-error handle, the environment, a message box.
#pragma once

#include "kelvo/host.h"

HostHandle PlatformStdErrHandle(void);

// Reads an environment variable into buffer (capacity slots, terminator
// included). Returns its length; 0 when absent or empty; -1 when the
// value does not fit (the buffer is then left empty).
int PlatformGetEnvironment(const char16_t* name, char16_t* buffer, int capacity);

// Shows text in a modal box with an OK button.
void PlatformShowMessage(const char16_t* text, const char16_t* caption);
