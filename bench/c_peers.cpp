// The C libraries a program would link instead: GLib's markup escaper
// and libcurl's percent-encoder and decoder. They take UTF-8; each call
// gets the piece's UTF-8 text (prepared once) and frees its result, as a
// caller must. Characters are counted in UTF-16 units of the same piece,
// as for every other subject.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <glib.h>

#include <memory>

#include "corpus.h"
#include "registry.h"
#include "timed_loop.h"

namespace {

CURL* CurlHandle() {
  static CURL* handle = [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    return curl_easy_init();
  }();
  return handle;
}

template <class Call>
void Register(const std::string& subject, const std::string& form, const std::string& workload,
              const PieceSet& pieces, Call call) {
  if (!Selected(BenchmarkName(subject, form, workload))) return;
  const PieceSet* set = &pieces;
  benchmark::RegisterBenchmark(
      BenchmarkName(subject, form, workload).c_str(), [set, call](benchmark::State& state) {
        const int batch = BatchFor(set->characters / set->size());
        TimedBatches(
            state, set->size(), batch, [](size_t, int) {},
            [&](size_t first, int n) {
              uint64_t characters = 0;
              WrappingIndex i{first, set->size()};
              for (int k = 0; k < n; ++k, ++i) {
                call(set->utf8[*i]);
                characters += uint64_t(set->length[*i]);
              }
              return characters;
            });
      })->UseManualTime();
}

}  // namespace

void RegisterCPeers(const std::string& dir) {
  for (const char* workload : {"chunks", "lines"}) {
    const std::string w = workload;
    const PieceSet& plain = LoadPieceSet(dir, "plain." + w);
    const PieceSet& percent = LoadPieceSet(dir, "percent." + w);
    Register("g_markup_escape_text", "plain", w, plain, [](const std::string& s) {
      gchar* out = g_markup_escape_text(s.data(), gssize(s.size()));
      benchmark::DoNotOptimize(out);
      g_free(out);
    });
    Register("curl_easy_escape", "plain", w, plain, [](const std::string& s) {
      char* out = curl_easy_escape(CurlHandle(), s.data(), int(s.size()));
      benchmark::DoNotOptimize(out);
      curl_free(out);
    });
    Register("curl_easy_unescape", "percent", w, percent, [](const std::string& s) {
      int length = 0;
      char* out = curl_easy_unescape(CurlHandle(), s.data(), int(s.size()), &length);
      benchmark::DoNotOptimize(out);
      curl_free(out);
    });
  }
}
