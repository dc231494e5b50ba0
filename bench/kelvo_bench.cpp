// The Kelvo benchmark: the plugin's nine variable functions and
// ARRAYTABLE, the C libraries a caller might use instead, and the copy
// bounds, all on the corpus that bench/build_corpus.py writes.
//   kelvo_bench --corpus=DIR [--only=TEXT] [Google Benchmark flags]
// The JavaScript and Python peers run in their own runners; bench/run.py
// runs everything and compares.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "kelvo/plugin.h"
#include "options/plugin_options.h"
#include "registry.h"
#include "standin.h"

namespace {
std::string only;
}

std::string BenchmarkName(const std::string& subject, const std::string& form, const std::string& workload) {
  return subject + ":" + form + ":" + workload;
}

bool Selected(const std::string& name) { return name.find(only) != std::string::npos; }

int main(int argc, char** argv) {
  std::string corpus = "corpus";
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--corpus=", 9) == 0) {
      corpus = argv[i] + 9;
    } else if (std::strncmp(argv[i], "--only=", 7) == 0) {
      only = argv[i] + 7;
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restCount = int(rest.size());

  // The host as a user's batch file finds it: defaults, no keep-set of
  // its own for @HEXENC, and output kept in memory.
  StandInReset();
  StandInSetEnvironment("HEXENC_KEEP", nullptr);
  PluginOptions = Options{};
  InitializePlugin();
  StandInCapture(1);

  RegisterKelvoFunctions(corpus);
  RegisterArrayTable(corpus);
  RegisterCPeers(corpus);
  RegisterBounds(corpus);

  benchmark::Initialize(&restCount, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
