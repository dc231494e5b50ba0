// @MAKEENTITY: one entity, either for a single character (its named
// entity where @ENTITIZE has one, else a decimal reference) or from an
// argument taken as the entity's name.
#include <cstdint>
#include <cstring>

#include "kelvo/host.h"
#include "kelvo/limits.h"
#include "kelvo/markup.h"
#include "kelvo/options.h"
#include "kelvo/plugin.h"
#include "kelvo/services.h"
#include "kelvo/text.h"

namespace {

// U+FF06, the name without one leading '&', and ';' unless the name has
// it, built in place. An entity is useless without its ';', so a name too
// long to get one is refused rather than cut.
int ComposeNamedEntity(char16_t* buffer, int length) {
  const int skipped = buffer[0] == u'&' ? 1 : 0;
  const int nameLength = length - skipped;
  const bool hasSemicolon = buffer[length - 1] == u';';
  const int entityLength = 1 + nameLength + (hasSemicolon ? 0 : 1);
  if (entityLength > MAX_TEXT_LEN) {
    ReportError(u"Entity name too long\r\n", nullptr);
    return -1;
  }
  // The name moves one place right, or stays where the '&' made room.
  if (skipped == 0) {
    std::memmove(buffer + 1, buffer, sizeof(char16_t) * static_cast<size_t>(nameLength));
  }
  buffer[0] = MARK_AMP;
  if (!hasSemicolon) buffer[entityLength - 1] = u';';
  buffer[entityLength] = 0;
  return 0;
}

// The character as @ENTITIZE writes it with quotes, spaces and
// apostrophes always as entities and no dashes; a character that comes
// back unchanged gets its decimal reference.
void MakeCharacterEntity(char16_t* buffer) {
  const char16_t ch = buffer[0];
  const Options saved = PluginOptions;
  PluginOptions.dash = Dash::Never;
  PluginOptions.quotes = Quotes::Always;
  PluginOptions.spaces = Spaces::Always;
  PluginOptions.apos = Apos::Numeric;
  f_entitize(buffer);
  PluginOptions = saved;
  if (buffer[0] != 0 && buffer[1] != 0) return;
  Sprintf(buffer, u"%c#%d;", static_cast<int>(MARK_AMP),
          static_cast<int>(static_cast<uint16_t>(ch)));
}

}  // namespace

PLUGIN_EXPORT int PLUGIN_API f_makeentity(char16_t* buffer) {
  if (buffer == nullptr) return -1;
  if (CheckUnicodeOutput() != 0) return -2;
  const int length = TextLengthBounded(buffer, MAX_TEXT_LEN);
  if (length == 0) {
    ReportError(u"Missing argument\r\n", nullptr);
    return -1;
  }
  if (length >= 2) return ComposeNamedEntity(buffer, length);
  MakeCharacterEntity(buffer);
  return 0;
}
