// What every conversion of this folder is: the argument text and the
// options in, a status and the result out. A conversion makes no host
// call, no platform call and reads or writes no global state, so it can be
// tested and measured on its own; the boundary (src/frame/boundary.cpp)
// does everything that concerns the host and the platform.
#pragma once

#include "kelvo/options.h"
#include "kelvo/result_buffer.h"

// The argument as the boundary hands it over: the text, NUL-terminated
// after at most MAX_TEXT_LEN units. The units from text up to end lie in
// the argument's storage and may be read ahead of the terminator (the
// block paths do), but nothing after the terminator changes a result.
// A function that reads an environment variable on every call (@HEXENC,
// HEXENC_KEEP) gets its value here: null when it is unset, empty or too
// long to read.
struct Argument {
  const char16_t* text;
  const char16_t* end;
  const char16_t* variable = nullptr;
};

// How a conversion ended. Every status but the first two is a refusal,
// which the boundary reports with its message.
enum class Status {
  Converted,
  DecimalReference,   // @MAKEENTITY of a unit without a named entity: the
                      // result holds the unit, and the host writes its
                      // decimal reference (the plugin formats with the
                      // host's Sprintf)
  MissingArgument,    // @MAKEENTITY of an empty argument
  MissingTagName,     // @TAG and @ENTAG without a tag
  TagNameTooLong,     // a tag that would not fit the result
  CommentTooLong,     // @HCOMMENT of a text whose comment would not fit
  EntityNameTooLong,  // @MAKEENTITY of a name whose entity would not fit
  BadValue,           // @DOCTYPE of no number in its table; the result is the
                      // argument upper-cased, and the message quotes it
};

using Conversion = Status (*)(const Argument& argument, const Options& options, ResultBuffer* out);

// The nine conversions, one file each.
Status Entitize(const Argument& argument, const Options& options, ResultBuffer* out);
Status MakeEntity(const Argument& argument, const Options& options, ResultBuffer* out);
Status Entag(const Argument& argument, const Options& options, ResultBuffer* out);
Status Deentitize(const Argument& argument, const Options& options, ResultBuffer* out);
Status Tag(const Argument& argument, const Options& options, ResultBuffer* out);
Status Comment(const Argument& argument, const Options& options, ResultBuffer* out);
Status DocType(const Argument& argument, const Options& options, ResultBuffer* out);
Status HexEncode(const Argument& argument, const Options& options, ResultBuffer* out);
Status HexDecode(const Argument& argument, const Options& options, ResultBuffer* out);
