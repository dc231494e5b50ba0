// The measuring loop shared by every benchmark of the C++ program. Calls
// run in batches: setting up a batch (the host's copy of each argument
// into its buffer) is not timed, the calls are, with one clock reading on
// each side of the batch, so the clock costs a fraction of a nanosecond
// per call even for calls on short lines.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

// Lines are short: a batch of them keeps the clock's share small.
// A chunk takes microseconds and is a batch of its own.
constexpr int LINE_BATCH = 64;
constexpr int CHUNK_BATCH = 1;

inline int BatchFor(size_t averageLength) { return averageLength < 1024 ? LINE_BATCH : CHUNK_BATCH; }

// The buffers of a batch lie this many units apart: one cache line more
// than a buffer, so that their starts do not all fall into the same cache
// set (a power-of-two stride would make every call of a batch miss).
constexpr size_t BUFFER_STRIDE = 16384 + 32;

// Reports what the driver reads: characters per second, nanoseconds per
// call, and per-iteration tallies from which both can be checked.
inline void ReportRates(benchmark::State& state, uint64_t characters, uint64_t calls) {
  state.counters["Mchar/s"] = benchmark::Counter(double(characters) / 1e6, benchmark::Counter::kIsRate);
  state.counters["ns/call"] = benchmark::Counter(double(calls) / 1e9,
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["chars"] = benchmark::Counter(double(characters), benchmark::Counter::kAvgIterations);
  state.counters["calls"] = benchmark::Counter(double(calls), benchmark::Counter::kAvgIterations);
}

// prepare(first, n) sets up calls first .. first+n-1 (indices wrap at
// count) untimed; run(first, n) makes them and returns the characters
// they processed.
template <class Prepare, class Run>
void TimedBatches(benchmark::State& state, size_t count, int batch, Prepare prepare, Run run) {
  size_t next = 0;
  uint64_t characters = 0;
  uint64_t calls = 0;
  for (auto _ : state) {
    prepare(next, batch);
    const auto start = std::chrono::steady_clock::now();
    const uint64_t processed = run(next, batch);
    const auto stop = std::chrono::steady_clock::now();
    benchmark::ClobberMemory();
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    characters += processed;
    calls += uint64_t(batch);
    next = (next + size_t(batch)) % count;
  }
  ReportRates(state, characters, calls);
}

// Walks indices first, first+1, ... wrapping at count, without a
// division per step.
struct WrappingIndex {
  size_t i;
  size_t count;
  size_t operator*() const { return i; }
  void operator++() {
    if (++i == count) i = 0;
  }
};
