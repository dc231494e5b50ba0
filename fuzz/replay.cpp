// Runs a fuzz target without libFuzzer, so that builds libFuzzer does not
// make (gcc, the vector paths switched off) still check every target's
// models and invariants: each input file given (the seed corpus), then a
// fixed number of inputs made from them by seeded random changes. The
// same arguments give the same inputs, so a failure repeats.
//
//   replay_TARGET [-runs=N] [-seed=S] FILE_OR_DIRECTORY...
//
// A failing input is written to replay-failure-TARGET in the working
// directory before the run stops.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace {

// The largest input fuzz/run.sh gives libFuzzer: two header bytes and up
// to 16383 units of three bytes.
constexpr size_t MAX_INPUT = 50000;

using Bytes = std::vector<uint8_t>;

// The input being run, for the failure handlers.
const Bytes* gCurrent = nullptr;
char gFailurePath[256];

void SaveCurrentInput() {
  if (gCurrent == nullptr) return;
  const int fd = open(gFailurePath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return;
  const uint8_t* data = gCurrent->data();
  size_t left = gCurrent->size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written <= 0) break;
    data += written;
    left -= static_cast<size_t>(written);
  }
  close(fd);
  static const char note[] = "\nreplay: the failing input is in ";
  (void)!write(2, note, sizeof note - 1);
  (void)!write(2, gFailurePath, strlen(gFailurePath));
  (void)!write(2, "\n", 1);
}

void OnAbort(int signal) {
  SaveCurrentInput();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// splitmix64: small, and the same sequence on every platform.
struct Random {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
};

// Code units the conversions treat specially, as the three-byte form the
// harness decodes to that unit: fullwidth markup, no-break space, dashes
// and quotes, surrogates, the last unit.
constexpr uint16_t InterestingUnits[] = {0x00A0, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D,
                                          0xD800, 0xDBFF, 0xDC00, 0xDFFF, 0xFF01, 0xFF05,
                                          0xFF06, 0xFF1C, 0xFF1E, 0xFF1F, 0xFF20, 0xFFFF};
// ASCII pieces the rules look at.
const char* const InterestingText[] = {"&", "&amp;", "&#x41;", "&#65;", "&nbsp;", "%2",
                                        "%20", "%%", "--", " - ", "'", "\"", "<", ">",
                                        ",", "\"a,b\"", ":", "=", "/", "0x", "\x1e"};

void Mutate(Bytes& input, const std::vector<Bytes>& pool, Random& random) {
  const int changes = 1 + static_cast<int>(random.Below(4));
  for (int i = 0; i < changes; ++i) {
    const size_t at = random.Below(input.size() + 1);
    switch (random.Below(8)) {
      case 0:  // one byte changed
        if (!input.empty()) input[random.Below(input.size())] = static_cast<uint8_t>(random.Next());
        break;
      case 1:  // a header byte: host settings, padding or options
        if (input.size() >= 2) input[random.Below(2)] = static_cast<uint8_t>(random.Next());
        break;
      case 2: {  // a range removed
        const size_t length = std::min(input.size() - std::min(at, input.size()), random.Below(16));
        input.erase(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(at + length));
        break;
      }
      case 3: {  // a special unit inserted
        const uint16_t unit = InterestingUnits[random.Below(std::size(InterestingUnits))];
        const uint8_t form[] = {static_cast<uint8_t>(0xE0 | unit >> 12),
                                static_cast<uint8_t>(0x80 | ((unit >> 6) & 0x3F)),
                                static_cast<uint8_t>(0x80 | (unit & 0x3F))};
        input.insert(input.begin() + static_cast<long>(at), std::begin(form), std::end(form));
        break;
      }
      case 4: {  // a piece of ASCII the rules look at
        const char* text = InterestingText[random.Below(std::size(InterestingText))];
        input.insert(input.begin() + static_cast<long>(at), text, text + std::strlen(text));
        break;
      }
      case 5: {  // a piece of another input spliced in
        const Bytes& other = pool[random.Below(pool.size())];
        if (other.size() <= 2) break;
        const size_t from = 2 + random.Below(other.size() - 2);
        const size_t length = std::min(other.size() - from, 1 + random.Below(64));
        input.insert(input.begin() + static_cast<long>(at), other.begin() + static_cast<long>(from),
                     other.begin() + static_cast<long>(from + length));
        break;
      }
      case 6: {  // a run repeated, for long texts and runs across blocks
        if (input.size() <= 2) break;
        const size_t from = 2 + random.Below(input.size() - 2);
        const size_t length = std::min(input.size() - from, 1 + random.Below(24));
        const Bytes piece(input.begin() + static_cast<long>(from),
                          input.begin() + static_cast<long>(from + length));
        const size_t times = 1 + random.Below(random.Below(4) == 0 ? 2000 : 16);
        for (size_t t = 0; t < times && input.size() + piece.size() <= MAX_INPUT; ++t) {
          input.insert(input.begin() + static_cast<long>(std::min(at, input.size())), piece.begin(),
                       piece.end());
        }
        break;
      }
      default:  // a random byte inserted
        input.insert(input.begin() + static_cast<long>(at), static_cast<uint8_t>(random.Next()));
        break;
    }
  }
  if (input.size() > MAX_INPUT) input.resize(MAX_INPUT);
}

bool ReadFile(const std::filesystem::path& path, Bytes& out) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return true;
}

void Run(const Bytes& input) {
  gCurrent = &input;
  LLVMFuzzerTestOneInput(input.data(), input.size());
  gCurrent = nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 1000;
  uint64_t seed = 1;
  std::vector<Bytes> inputs;
  std::string target = std::filesystem::path(argv[0]).filename().string();
  if (target.rfind("replay_", 0) == 0) target.erase(0, 7);
  std::snprintf(gFailurePath, sizeof gFailurePath, "replay-failure-%s", target.c_str());
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("-runs=", 0) == 0) {
      runs = std::strtol(argument.c_str() + 6, nullptr, 10);
    } else if (argument.rfind("-seed=", 0) == 0) {
      seed = std::strtoull(argument.c_str() + 6, nullptr, 10);
    } else {
      std::vector<std::filesystem::path> files;
      std::error_code error;
      if (std::filesystem::is_directory(argument, error)) {
        for (const auto& entry : std::filesystem::directory_iterator(argument)) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
      } else {
        files.push_back(argument);
      }
      for (const auto& file : files) {
        Bytes bytes;
        if (!ReadFile(file, bytes)) {
          std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
          return 2;
        }
        inputs.push_back(std::move(bytes));
      }
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s [-runs=N] [-seed=S] FILE_OR_DIRECTORY...\n", argv[0]);
    return 2;
  }
  std::signal(SIGABRT, OnAbort);
  if (__sanitizer_set_death_callback != nullptr) __sanitizer_set_death_callback(SaveCurrentInput);
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);

  for (const Bytes& input : inputs) Run(input);
  Random random{seed};
  for (long i = 0; i < runs; ++i) {
    Bytes input = inputs[random.Below(inputs.size())];
    Mutate(input, inputs, random);
    Run(input);
  }
  std::printf("replay: %zu inputs and %ld changed ones, seed %llu: every check held\n",
              inputs.size(), runs, static_cast<unsigned long long>(seed));
  return 0;
}
