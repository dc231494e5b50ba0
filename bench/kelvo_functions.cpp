// The nine variable functions, each called as the host calls it: on a
// 16384-unit buffer that holds the argument and receives the result.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "corpus.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "registry.h"
#include "standin.h"
#include "timed_loop.h"

namespace {

using VariableFunction = int(PLUGIN_API*)(char16_t*);

// The argument of each call, and the characters of corpus text it
// carries (an argument may add a few of its own, as @ENTAG's "p,").
struct Arguments {
  PieceSet set;
  std::vector<int> counted;
};

// An entity is at most 8 units, so a result cut because it outgrew the
// buffer is longer than this.
constexpr int LONGEST_UNCUT = MAX_TEXT_LEN - 8;

// Every call must succeed, say nothing and return its whole result:
// otherwise the benchmark would time less work than it counts.
void CheckArguments(const char* name, VariableFunction function, const Arguments& args) {
  std::vector<char16_t> buffer(MAX_ARG_LEN);
  StandInClearCaptured();
  for (size_t i = 0; i < args.set.size(); ++i) {
    std::memcpy(buffer.data(), args.set.piece(i), sizeof(char16_t) * size_t(args.set.length[i] + 1));
    const int result = function(buffer.data());
    int length = 0;
    while (buffer[length] != 0) ++length;
    const char16_t* err = StandInCaptured(2);
    if (result != 0 || length > LONGEST_UNCUT || (err != nullptr && err[0] != 0)) {
      std::fprintf(stderr, "kelvo_bench: %s fails on piece %zu (result %d, length %d)\n", name, i,
                   result, length);
      std::exit(3);
    }
  }
}

void Register(const std::string& subject, const std::string& form, const std::string& workload,
              VariableFunction function, Arguments args) {
  const std::string name = BenchmarkName(subject, form, workload);
  if (!Selected(name)) return;
  CheckArguments(name.c_str(), function, args);
  auto shared = std::make_shared<Arguments>(std::move(args));
  benchmark::RegisterBenchmark(name.c_str(), [shared, function](benchmark::State& state) {
    const Arguments& a = *shared;
    const int batch = BatchFor(a.set.characters / a.set.size());
    std::vector<char16_t> buffers(size_t(batch) * BUFFER_STRIDE);
    TimedBatches(
        state, a.set.size(), batch,
        [&](size_t first, int n) {
          WrappingIndex i{first, a.set.size()};
          for (int k = 0; k < n; ++k, ++i) {
            std::memcpy(&buffers[size_t(k) * BUFFER_STRIDE], a.set.piece(*i),
                        sizeof(char16_t) * size_t(a.set.length[*i] + 1));
          }
        },
        [&](size_t first, int n) {
          uint64_t characters = 0;
          WrappingIndex i{first, a.set.size()};
          for (int k = 0; k < n; ++k, ++i) {
            function(&buffers[size_t(k) * BUFFER_STRIDE]);
            characters += uint64_t(a.counted[*i]);
          }
          return characters;
        });
  })->UseManualTime();
}

// The pieces themselves, or each with a prefix.
Arguments FromPieces(const PieceSet& pieces, const std::u16string& prefix = u"") {
  std::vector<std::u16string> texts;
  Arguments args;
  for (size_t i = 0; i < pieces.size(); ++i) {
    texts.push_back(prefix + std::u16string(pieces.piece(i), size_t(pieces.length[i])));
    args.counted.push_back(pieces.length[i]);
  }
  args.set = MakePieceSet(texts);
  return args;
}

// @MAKEENTITY's other form: one character per call, the characters of
// the first lines of the corpus.
Arguments SingleCharacters(const PieceSet& lines, size_t howMany) {
  std::vector<std::u16string> texts;
  for (size_t i = 0; i < lines.size() && texts.size() < howMany; ++i) {
    for (int k = 0; k < lines.length[i] && texts.size() < howMany; ++k)
      texts.push_back(std::u16string(1, lines.piece(i)[k]));
  }
  Arguments args;
  args.set = MakePieceSet(texts);
  args.counted.assign(texts.size(), 1);
  return args;
}

// @DOCTYPE takes a number: the lines workload cycles through the table.
Arguments DocTypeNumbers(size_t howMany) {
  static const char16_t* const numbers[] = {u"0",  u"1",  u"2",  u"3",  u"4", u"5",
                                            u"16", u"17", u"18", u"19", u"20"};
  std::vector<std::u16string> texts;
  Arguments args;
  for (size_t i = 0; i < howMany; ++i) {
    texts.push_back(numbers[i % (sizeof numbers / sizeof numbers[0])]);
    args.counted.push_back(int(texts.back().size()));
  }
  args.set = MakePieceSet(texts);
  return args;
}

}  // namespace

void RegisterKelvoFunctions(const std::string& dir) {
  for (const char* workload : {"chunks", "lines"}) {
    const std::string w = workload;
    const PieceSet& plain = LoadPieceSet(dir, "plain." + w);
    Register("@ENTITIZE", "plain", w, f_entitize, FromPieces(plain));
    Register("@MAKEENTITY", "plain", w, f_makeentity, FromPieces(plain));
    Register("@ENTAG", "plain", w, f_entag, FromPieces(plain, u"p,"));
    for (const char* form : {"escaped", "typographic"})
      Register("@DEENTITIZE", form, w, f_deentitize, FromPieces(LoadPieceSet(dir, std::string(form) + "." + w)));
    Register("@TAG", "plain", w, f_tag, FromPieces(plain));
    Register("@HCOMMENT", "plain", w, f_hcomment, FromPieces(plain));
    Register("@HEXENC", "plain", w, f_hexenc, FromPieces(plain));
    Register("@HEXDEC", "percent", w, f_hexdec, FromPieces(LoadPieceSet(dir, "percent." + w)));
  }
  const PieceSet& lines = LoadPieceSet(dir, "plain.lines");
  Register("@DOCTYPE", "number", "lines", f_doctype, DocTypeNumbers(lines.size()));
  Register("@MAKEENTITY", "character", "characters", f_makeentity, SingleCharacters(lines, 1 << 16));
}
