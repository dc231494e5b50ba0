// The groups of benchmarks the program registers. Names have three
// fields separated by ':': subject, input form, workload (for example
// "@ENTITIZE:plain:chunks"); the driver matches them with the peers'.
#pragma once

#include <string>

void RegisterKelvoFunctions(const std::string& corpusDirectory);
void RegisterArrayTable(const std::string& corpusDirectory);
void RegisterCPeers(const std::string& corpusDirectory);
void RegisterBounds(const std::string& corpusDirectory);

std::string BenchmarkName(const std::string& subject, const std::string& form, const std::string& workload);

// --only=TEXT registers only the benchmarks whose name holds TEXT, and so
// sets up and checks only those: with --benchmark_filter=NONE that runs
// each selected function once over its pieces, which is what a profiler
// wants to see.
bool Selected(const std::string& name);
