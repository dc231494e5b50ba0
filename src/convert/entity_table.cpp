// The entity tables as data, and their lookups. A lookup hashes the name
// into a small open-addressed index built at compile time, so it costs
// one or two name comparisons instead of a scan of all rows; results are
// those of a full scan because every probe ends in an exact comparison.
#include "convert/entity_table.h"

#include <cstdint>

// The character entity references of HTML 4.01 (special, Latin-1 and
// symbol sets), with the markup characters quot, amp, lt and gt mapped
// to their fullwidth forms so that a decoded text never carries markup,
// apos added, and the symbol names after "ge" left out.
constexpr NamedEntityRow NamedEntityTable[NAMED_ENTITY_COUNT] = {
    // Markup and special characters.
    {u"quot", 0xFF02}, {u"amp", 0xFF06}, {u"apos", 0x0027}, {u"lt", 0xFF1C},
    {u"gt", 0xFF1E}, {u"nbsp", 0x00A0}, {u"OElig", 0x0152}, {u"oelig", 0x0153},
    {u"Scaron", 0x0160}, {u"scaron", 0x0161}, {u"Yuml", 0x0178}, {u"circ", 0x02C6},
    {u"tilde", 0x02DC}, {u"ensp", 0x2002}, {u"emsp", 0x2003}, {u"thinsp", 0x2009},
    {u"zwnj", 0x200C}, {u"zwj", 0x200D}, {u"lrm", 0x200E}, {u"rlm", 0x200F},
    {u"ndash", 0x2013}, {u"mdash", 0x2014}, {u"lsquo", 0x2018}, {u"rsquo", 0x2019},
    {u"sbquo", 0x201A}, {u"ldquo", 0x201C}, {u"rdquo", 0x201D}, {u"bdquo", 0x201E},
    {u"dagger", 0x2020}, {u"Dagger", 0x2021}, {u"permil", 0x2030}, {u"lsaquo", 0x2039},
    {u"rsaquo", 0x203A}, {u"euro", 0x20AC},
    // Latin-1, U+00A1 to U+00FF in code-point order.
    {u"iexcl", 0x00A1}, {u"cent", 0x00A2}, {u"pound", 0x00A3}, {u"curren", 0x00A4},
    {u"yen", 0x00A5}, {u"brvbar", 0x00A6}, {u"sect", 0x00A7}, {u"uml", 0x00A8},
    {u"copy", 0x00A9}, {u"ordf", 0x00AA}, {u"laquo", 0x00AB}, {u"not", 0x00AC},
    {u"shy", 0x00AD}, {u"reg", 0x00AE}, {u"macr", 0x00AF}, {u"deg", 0x00B0},
    {u"plusmn", 0x00B1}, {u"sup2", 0x00B2}, {u"sup3", 0x00B3}, {u"acute", 0x00B4},
    {u"micro", 0x00B5}, {u"para", 0x00B6}, {u"middot", 0x00B7}, {u"cedil", 0x00B8},
    {u"sup1", 0x00B9}, {u"ordm", 0x00BA}, {u"raquo", 0x00BB}, {u"frac14", 0x00BC},
    {u"frac12", 0x00BD}, {u"frac34", 0x00BE}, {u"iquest", 0x00BF}, {u"Agrave", 0x00C0},
    {u"Aacute", 0x00C1}, {u"Acirc", 0x00C2}, {u"Atilde", 0x00C3}, {u"Auml", 0x00C4},
    {u"Aring", 0x00C5}, {u"AElig", 0x00C6}, {u"Ccedil", 0x00C7}, {u"Egrave", 0x00C8},
    {u"Eacute", 0x00C9}, {u"Ecirc", 0x00CA}, {u"Euml", 0x00CB}, {u"Igrave", 0x00CC},
    {u"Iacute", 0x00CD}, {u"Icirc", 0x00CE}, {u"Iuml", 0x00CF}, {u"ETH", 0x00D0},
    {u"Ntilde", 0x00D1}, {u"Ograve", 0x00D2}, {u"Oacute", 0x00D3}, {u"Ocirc", 0x00D4},
    {u"Otilde", 0x00D5}, {u"Ouml", 0x00D6}, {u"times", 0x00D7}, {u"Oslash", 0x00D8},
    {u"Ugrave", 0x00D9}, {u"Uacute", 0x00DA}, {u"Ucirc", 0x00DB}, {u"Uuml", 0x00DC},
    {u"Yacute", 0x00DD}, {u"THORN", 0x00DE}, {u"szlig", 0x00DF}, {u"agrave", 0x00E0},
    {u"aacute", 0x00E1}, {u"acirc", 0x00E2}, {u"atilde", 0x00E3}, {u"auml", 0x00E4},
    {u"aring", 0x00E5}, {u"aelig", 0x00E6}, {u"ccedil", 0x00E7}, {u"egrave", 0x00E8},
    {u"eacute", 0x00E9}, {u"ecirc", 0x00EA}, {u"euml", 0x00EB}, {u"igrave", 0x00EC},
    {u"iacute", 0x00ED}, {u"icirc", 0x00EE}, {u"iuml", 0x00EF}, {u"eth", 0x00F0},
    {u"ntilde", 0x00F1}, {u"ograve", 0x00F2}, {u"oacute", 0x00F3}, {u"ocirc", 0x00F4},
    {u"otilde", 0x00F5}, {u"ouml", 0x00F6}, {u"divide", 0x00F7}, {u"oslash", 0x00F8},
    {u"ugrave", 0x00F9}, {u"uacute", 0x00FA}, {u"ucirc", 0x00FB}, {u"uuml", 0x00FC},
    {u"yacute", 0x00FD}, {u"thorn", 0x00FE}, {u"yuml", 0x00FF},
    // Symbols, Greek letters and operators, in HTML 4.01's order.
    {u"fnof", 0x0192}, {u"Alpha", 0x0391}, {u"Beta", 0x0392}, {u"Gamma", 0x0393},
    {u"Delta", 0x0394}, {u"Epsilon", 0x0395}, {u"Zeta", 0x0396}, {u"Eta", 0x0397},
    {u"Theta", 0x0398}, {u"Iota", 0x0399}, {u"Kappa", 0x039A}, {u"Lambda", 0x039B},
    {u"Mu", 0x039C}, {u"Nu", 0x039D}, {u"Xi", 0x039E}, {u"Omicron", 0x039F},
    {u"Pi", 0x03A0}, {u"Rho", 0x03A1}, {u"Sigma", 0x03A3}, {u"Tau", 0x03A4},
    {u"Upsilon", 0x03A5}, {u"Phi", 0x03A6}, {u"Chi", 0x03A7}, {u"Psi", 0x03A8},
    {u"Omega", 0x03A9}, {u"alpha", 0x03B1}, {u"beta", 0x03B2}, {u"gamma", 0x03B3},
    {u"delta", 0x03B4}, {u"epsilon", 0x03B5}, {u"zeta", 0x03B6}, {u"eta", 0x03B7},
    {u"theta", 0x03B8}, {u"iota", 0x03B9}, {u"kappa", 0x03BA}, {u"lambda", 0x03BB},
    {u"mu", 0x03BC}, {u"nu", 0x03BD}, {u"xi", 0x03BE}, {u"omicron", 0x03BF},
    {u"pi", 0x03C0}, {u"rho", 0x03C1}, {u"sigmaf", 0x03C2}, {u"sigma", 0x03C3},
    {u"tau", 0x03C4}, {u"upsilon", 0x03C5}, {u"phi", 0x03C6}, {u"chi", 0x03C7},
    {u"psi", 0x03C8}, {u"omega", 0x03C9}, {u"thetasym", 0x03D1}, {u"upsih", 0x03D2},
    {u"piv", 0x03D6}, {u"bull", 0x2022}, {u"hellip", 0x2026}, {u"prime", 0x2032},
    {u"Prime", 0x2033}, {u"oline", 0x203E}, {u"frasl", 0x2044}, {u"weierp", 0x2118},
    {u"image", 0x2111}, {u"real", 0x211C}, {u"trade", 0x2122}, {u"alefsym", 0x2135},
    {u"larr", 0x2190}, {u"uarr", 0x2191}, {u"rarr", 0x2192}, {u"darr", 0x2193},
    {u"harr", 0x2194}, {u"crarr", 0x21B5}, {u"lArr", 0x21D0}, {u"uArr", 0x21D1},
    {u"rArr", 0x21D2}, {u"dArr", 0x21D3}, {u"hArr", 0x21D4}, {u"forall", 0x2200},
    {u"part", 0x2202}, {u"exist", 0x2203}, {u"empty", 0x2205}, {u"nabla", 0x2207},
    {u"isin", 0x2208}, {u"notin", 0x2209}, {u"ni", 0x220B}, {u"prod", 0x220F},
    {u"sum", 0x2211}, {u"minus", 0x2212}, {u"lowast", 0x2217}, {u"radic", 0x221A},
    {u"prop", 0x221D}, {u"infin", 0x221E}, {u"ang", 0x2220}, {u"and", 0x2227},
    {u"or", 0x2228}, {u"cap", 0x2229}, {u"cup", 0x222A}, {u"int", 0x222B},
    {u"there4", 0x2234}, {u"sim", 0x223C}, {u"cong", 0x2245}, {u"asymp", 0x2248},
    {u"ne", 0x2260}, {u"equiv", 0x2261}, {u"le", 0x2264}, {u"ge", 0x2265},
};

constexpr EntityReplacementRow EntityReplacementTable[ENTITY_REPLACEMENT_COUNT] = {
    {u"hellip", u"..."}, {u"copy", u"(C)"}, {u"reg", u"(R)"}, {u"trade", u"TM"},
    {u"mdash", u"--"},   {u"OElig", u"OE"}, {u"oelig", u"oe"},
};

namespace {

constexpr int INDEX_BITS = 9;
constexpr int INDEX_SLOTS = 1 << INDEX_BITS;  // load below one half
constexpr uint8_t EMPTY_SLOT = 0xFF;
static_assert(NAMED_ENTITY_COUNT < EMPTY_SLOT);

constexpr uint32_t NameHash(const char16_t* name, int length) {
  uint32_t h = static_cast<uint32_t>(length);
  for (int i = 0; i < length; ++i) h = (h ^ name[i]) * 0x01000193u;
  // The multiplier was searched for the shortest probe chains over the
  // names in the table (at most 3 probes for any row).
  return (h * 0xF2F2079Du) >> (32 - INDEX_BITS);
}

constexpr int RowNameLength(const NamedEntityRow& row) {
  int n = 0;
  while (n < ENTITY_NAME_FIELD && row.name[n] != 0) ++n;
  return n;
}

// Whether the NUL-padded field holds exactly the given name; a name with
// a NUL inside never matches.
constexpr bool SameName(const char16_t* field, const char16_t* name, int length) {
  for (int i = 0; i < length; ++i)
    if (field[i] != name[i] || name[i] == 0) return false;
  return field[length] == 0;  // length <= ENTITY_NAME_MAX < field size
}

struct EntityIndex {
  uint8_t slot[INDEX_SLOTS];       // row number, or EMPTY_SLOT
  int8_t replacement[NAMED_ENTITY_COUNT];  // row of the replacement table, or -1
  int longestProbe;
};

constexpr EntityIndex BuildIndex() {
  EntityIndex index{};
  for (auto& s : index.slot) s = EMPTY_SLOT;
  index.longestProbe = 0;
  for (int row = 0; row < NAMED_ENTITY_COUNT; ++row) {
    int length = RowNameLength(NamedEntityTable[row]);
    uint32_t s = NameHash(NamedEntityTable[row].name, length);
    int probes = 1;
    while (index.slot[s] != EMPTY_SLOT) {
      s = (s + 1) & (INDEX_SLOTS - 1);
      ++probes;
    }
    index.slot[s] = static_cast<uint8_t>(row);
    if (probes > index.longestProbe) index.longestProbe = probes;

    index.replacement[row] = -1;
    for (int r = 0; r < ENTITY_REPLACEMENT_COUNT; ++r)
      if (SameName(EntityReplacementTable[r].name, NamedEntityTable[row].name, length))
        index.replacement[row] = static_cast<int8_t>(r);
  }
  return index;
}

constexpr EntityIndex Index = BuildIndex();

constexpr bool TableIsSound() {
  // Names 2..8 characters, all distinct, characters nonzero.
  for (int a = 0; a < NAMED_ENTITY_COUNT; ++a) {
    int length = RowNameLength(NamedEntityTable[a]);
    if (length < 2 || length > ENTITY_NAME_MAX || NamedEntityTable[a].character == 0) return false;
    for (int b = a + 1; b < NAMED_ENTITY_COUNT; ++b)
      if (SameName(NamedEntityTable[b].name, NamedEntityTable[a].name, length)) return false;
  }
  // Every replacement name is also a named entity, so the replacement
  // lookup can go through the same index.
  int found = 0;
  for (int row = 0; row < NAMED_ENTITY_COUNT; ++row)
    if (Index.replacement[row] >= 0) ++found;
  return found == ENTITY_REPLACEMENT_COUNT;
}

static_assert(TableIsSound());
static_assert(Index.longestProbe <= 3, "pick another hash: probe chains too long");

int FindRow(const char16_t* name, int length) {
  if (length <= 0 || length > ENTITY_NAME_MAX) return -1;
  uint32_t s = NameHash(name, length);
  for (;;) {
    uint8_t row = Index.slot[s];
    if (row == EMPTY_SLOT) return -1;
    if (SameName(NamedEntityTable[row].name, name, length)) return row;
    s = (s + 1) & (INDEX_SLOTS - 1);
  }
}

}  // namespace

char16_t LookupNamedEntity(const char16_t* name, int length) {
  int row = FindRow(name, length);
  return row < 0 ? char16_t(0) : NamedEntityTable[row].character;
}

const char16_t* LookupEntityReplacement(const char16_t* name, int length) {
  int row = FindRow(name, length);
  if (row < 0 || Index.replacement[row] < 0) return nullptr;
  return EntityReplacementTable[Index.replacement[row]].text;
}

char16_t LookupEntity(const char16_t* name, int length, const char16_t** replacement) {
  int row = FindRow(name, length);
  if (row < 0) {
    *replacement = nullptr;
    return 0;
  }
  int r = Index.replacement[row];
  *replacement = r < 0 ? nullptr : EntityReplacementTable[r].text;
  return NamedEntityTable[row].character;
}
