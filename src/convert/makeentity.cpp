// @MAKEENTITY: one entity, either for a single code unit (its named entity
// where @ENTITIZE has one, else a decimal reference) or from an argument
// taken as the entity's name.
#include "convert/conversion.h"
#include "kelvo/markup.h"
#include "kelvo/result_buffer.h"
#include "kelvo/text.h"

namespace {

// How @ENTITIZE is asked for a single unit's entity: quotes, spaces and
// apostrophes always as entities, and no dashes.
constexpr Options ENTITY_OPTIONS = {.quotes = Quotes::Always,
                                    .spaces = Spaces::Always,
                                    .dash = Dash::Never,
                                    .apos = Apos::Numeric};

// U+FF06, the name without one leading '&', and ';' unless the name has
// it. An entity is useless without its ';', so a name too long to get one
// is refused rather than cut.
Status ComposeNamedEntity(const char16_t* name, int length, ResultBuffer* out) {
  const int skipped = name[0] == u'&' ? 1 : 0;
  const bool hasSemicolon = name[length - 1] == u';';
  const int nameLength = length - skipped;
  if (1 + nameLength + (hasSemicolon ? 0 : 1) > ResultRoom(out)) return Status::EntityNameTooLong;
  ResultAppendUnit(out, MARK_AMP);
  ResultAppendRun(out, name + skipped, nameLength);
  if (!hasSemicolon) ResultAppendUnit(out, u';');
  return Status::Converted;
}

// The unit as @ENTITIZE writes it; one that comes back as it was gets its
// decimal reference instead.
Status MakeCharacterEntity(char16_t c, ResultBuffer* out) {
  const char16_t single[2] = {c, 0};
  Entitize({single, single + 2}, ENTITY_OPTIONS, out);
  return out->length > 1 ? Status::Converted : Status::DecimalReference;
}

}  // namespace

Status MakeEntity(const Argument& argument, const Options&, ResultBuffer* out) {
  const int length = TextLength(argument.text);
  if (length == 0) return Status::MissingArgument;
  if (length >= 2) return ComposeNamedEntity(argument.text, length, out);
  return MakeCharacterEntity(argument.text[0], out);
}
