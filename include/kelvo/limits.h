// Buffer sizes shared by the host boundary and every subsystem.
#pragma once

// Capacity of the host's argument buffer, terminator included:
// at most 16383 characters of text.
constexpr int MAX_ARG_LEN = 16384;
constexpr int MAX_TEXT_LEN = MAX_ARG_LEN - 1;

// Capacity of the small work buffers (host queries, keep-set, words).
constexpr int SMALL_BUF_LEN = 1024;
