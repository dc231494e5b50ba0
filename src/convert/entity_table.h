// The named entities @DEENTITIZE understands, and the short ASCII texts
// it writes for seven of them while the Approximate switch is on.
#pragma once

constexpr int NAMED_ENTITY_COUNT = 233;
constexpr int ENTITY_REPLACEMENT_COUNT = 7;

// Names are NUL-padded fixed fields; the longest name has 8 characters.
constexpr int ENTITY_NAME_FIELD = 10;
constexpr int ENTITY_NAME_MAX = 8;
// A replacement text has at most 3 characters and a terminator.
constexpr int ENTITY_REPLACEMENT_FIELD = 4;

struct NamedEntityRow {
  char16_t name[ENTITY_NAME_FIELD];
  char16_t character;  // one BMP code unit, never 0
};

struct EntityReplacementRow {
  char16_t name[ENTITY_NAME_FIELD];
  char16_t text[ENTITY_REPLACEMENT_FIELD];
};

extern const NamedEntityRow NamedEntityTable[NAMED_ENTITY_COUNT];
extern const EntityReplacementRow EntityReplacementTable[ENTITY_REPLACEMENT_COUNT];

// Exact, case-sensitive lookups of the `length` code units at name
// (without '&' and ';'; need not be terminated).
// The character of the matching row, or 0 when no row has that name.
char16_t LookupNamedEntity(const char16_t* name, int length);
// The replacement text of the matching row, or null.
const char16_t* LookupEntityReplacement(const char16_t* name, int length);
// Both at once, with one search: the character (0 when none) and, in
// *replacement, the replacement text (null when none).
char16_t LookupEntity(const char16_t* name, int length, const char16_t** replacement);
