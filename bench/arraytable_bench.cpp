// ARRAYTABLE on a 1000 x 10 array of the stand-in host, its cells the
// first 10,000 lines of the corpus. Standard output is captured in memory
// and cleared between tables, untimed, so the console costs nothing; the
// host's expansion of every cell reference is timed, as it is part of
// every cell a user's table costs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "corpus.h"
#include "kelvo/limits.h"
#include "kelvo/plugin.h"
#include "registry.h"
#include "standin.h"
#include "timed_loop.h"

namespace {

constexpr int ROWS = 1000;
constexpr int COLUMNS = 10;
constexpr char16_t TableCommand[] = u"BENCHTABLE";

void DefineTable(const PieceSet& lines) {
  StandInDefineArray("BENCHTABLE", 2, ROWS, COLUMNS);
  size_t next = 0;
  for (int r = 0; r < ROWS; ++r) {
    for (int c = 0; c < COLUMNS; ++c) {
      StandInSetElement("BENCHTABLE", r, c, lines.utf8[next].c_str());
      next = (next + 1) % lines.size();
    }
  }
}

int CountOf(const char16_t* text, const char16_t* what) {
  const size_t n = std::char_traits<char16_t>::length(what);
  int count = 0;
  for (const char16_t* p = text; *p != 0; ++p)
    if (std::char_traits<char16_t>::compare(p, what, n) == 0) ++count;
  return count;
}

// One table, written whole and without a message.
void CheckTable() {
  char16_t arguments[MAX_ARG_LEN];
  std::memcpy(arguments, TableCommand, sizeof TableCommand);
  StandInClearCaptured();
  const int result = arraytable(arguments);
  const char16_t* out = StandInCaptured(1);
  const char16_t* err = StandInCaptured(2);
  if (result != 0 || err[0] != 0 || CountOf(out, u"<td>") != ROWS * COLUMNS ||
      CountOf(out, u"</tr>") != ROWS) {
    std::fprintf(stderr, "kelvo_bench: ARRAYTABLE did not write the whole table (result %d)\n", result);
    std::exit(3);
  }
  StandInClearCaptured();
}

}  // namespace

void RegisterArrayTable(const std::string& dir) {
  if (!Selected(BenchmarkName("ARRAYTABLE", "1000x10", "cells"))) return;
  DefineTable(LoadPieceSet(dir, "plain.lines"));
  CheckTable();
  benchmark::RegisterBenchmark(BenchmarkName("ARRAYTABLE", "1000x10", "cells").c_str(), [](benchmark::State& state) {
    char16_t arguments[MAX_ARG_LEN];
    uint64_t cells = 0;
    for (auto _ : state) {
      std::memcpy(arguments, TableCommand, sizeof TableCommand);
      StandInClearCaptured();
      const auto start = std::chrono::steady_clock::now();
      arraytable(arguments);
      const auto stop = std::chrono::steady_clock::now();
      state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
      cells += ROWS * COLUMNS;
    }
    // A cell is the unit here: "chars" counts cells, "ns/call" is per cell.
    ReportRates(state, cells, cells);
  })->UseManualTime()->Unit(benchmark::kMillisecond);
}
