// The physical bounds: copying the text as it is (memcpy), and copying it
// through a 256-entry table in one pass, the least a table-driven
// converter does per character. Both work on the same 16384-unit buffers
// as the plugin's functions, filled the same way and untimed, and write a
// terminated copy as a result.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "corpus.h"
#include "kelvo/limits.h"
#include "registry.h"
#include "timed_loop.h"

namespace {

// Filled at run time, so the compiler cannot fold the lookup away.
char16_t MapTable[256];

void FillMapTable() {
  for (int c = 0; c < 256; ++c) MapTable[c] = char16_t(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

void CopyWithMemcpy(const char16_t* in, int length, char16_t* out) {
  std::memcpy(out, in, sizeof(char16_t) * size_t(length));
  out[length] = 0;
}

void CopyThroughTable(const char16_t* in, int length, char16_t* out) {
  for (int i = 0; i < length; ++i) {
    const char16_t c = in[i];
    out[i] = c < 256 ? MapTable[c] : c;
  }
  out[length] = 0;
}

void Register(const std::string& subject, const std::string& workload, const PieceSet& pieces,
              void (*copy)(const char16_t*, int, char16_t*)) {
  if (!Selected(BenchmarkName(subject, "plain", workload))) return;
  const PieceSet* set = &pieces;
  benchmark::RegisterBenchmark(
      BenchmarkName(subject, "plain", workload).c_str(), [set, copy](benchmark::State& state) {
        const int batch = BatchFor(set->characters / set->size());
        std::vector<char16_t> buffers(size_t(batch) * BUFFER_STRIDE);
        std::vector<char16_t> result(MAX_ARG_LEN);
        TimedBatches(
            state, set->size(), batch,
            [&](size_t first, int n) {
              WrappingIndex i{first, set->size()};
              for (int k = 0; k < n; ++k, ++i)
                std::memcpy(&buffers[size_t(k) * BUFFER_STRIDE], set->piece(*i),
                            sizeof(char16_t) * size_t(set->length[*i] + 1));
            },
            [&](size_t first, int n) {
              uint64_t characters = 0;
              WrappingIndex i{first, set->size()};
              for (int k = 0; k < n; ++k, ++i) {
                copy(&buffers[size_t(k) * BUFFER_STRIDE], set->length[*i], result.data());
                benchmark::ClobberMemory();
                characters += uint64_t(set->length[*i]);
              }
              return characters;
            });
      })->UseManualTime();
}

}  // namespace

void RegisterBounds(const std::string& dir) {
  FillMapTable();
  for (const char* workload : {"chunks", "lines"}) {
    const PieceSet& plain = LoadPieceSet(dir, std::string("plain.") + workload);
    Register("memcpy", workload, plain, CopyWithMemcpy);
    Register("table copy", workload, plain, CopyThroughTable);
  }
}
