// The plugin's settings: how @ENTITIZE renders quotes, spaces, dashes and
// apostrophes (the KELVO command sets these four), and two switches that
// no command changes. One value of this type is stored for the life of
// the module (options/plugin_options.h); the boundary hands each call a
// copy, and the conversions take it as a parameter.
#pragma once

#include <cstdint>

// The numbers are the ones KELVO shows and takes.
enum class Quotes : int32_t { Never = 0, Always = 1, BestGuess = 2 };    // '"' as is, "quot;", curly
enum class Spaces : int32_t { Never = 0, Always = 1, BestGuess = 2 };    // as is, "nbsp;", one per run
enum class Dash : int32_t { Never = 0, EmDash = 1 };                     // "--" as is, "mdash;"
enum class Apos : int32_t { Never = 0, Numeric = 1, Named = 2, BestGuess = 3 };  // as is, "#39;", "apos;", curly

struct Options {
  Quotes quotes = Quotes::BestGuess;
  Spaces spaces = Spaces::BestGuess;
  Dash dash = Dash::EmDash;
  Apos apos = Apos::BestGuess;
  bool approximate = true;   // @DEENTITIZE writes ASCII texts for seven entities
  bool unicodeCheck = true;  // conversions that write markup refuse Unicode output
};
