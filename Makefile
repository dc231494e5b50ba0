# Kelvo: the two commands a newcomer needs are `make demo` and `make test`.
JOBS ?= 2
# Sub-makes (the CMake build) keep quiet about the directories they enter.
MAKEFLAGS += --no-print-directory
BUILD_TYPE ?= RelWithDebInfo
WINDOWS_BUILD_TYPE ?= Release

.PHONY: all deps deps-windows deps-fuzz deps-bench build build-asan build-scalar windows dist dist-check demo test fuzz bench clean

all: build

deps:
	@tools/install-deps.sh base unicode

deps-windows:
	@tools/install-deps.sh base windows

# clang and libFuzzer for the fuzz targets, html5lib for the HTML test.
deps-fuzz:
	@tools/install-deps.sh base fuzz

build: deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build build -j$(JOBS)

build-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKELVO_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j$(JOBS)

# The plugin with its vector paths compiled out, as the 32-bit module
# runs it, under the sanitizers: the one-unit paths tested on any machine.
build-scalar: deps
	@cmake -S . -B build-scalar -DCMAKE_BUILD_TYPE=Debug -DKELVO_SANITIZE=ON \
	  -DKELVO_VECTOR_PATHS=OFF -DKELVO_FUZZ_REPLAY=ON >/dev/null
	@cmake --build build-scalar -j$(JOBS)

# kelvo.dll for 32-bit and 64-bit Windows (with the stand-in host and
# shell beside each), cross-built with mingw-w64.
windows: deps-windows
	@cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
	  -DCMAKE_BUILD_TYPE=$(WINDOWS_BUILD_TYPE) >/dev/null
	@cmake --build build-win32 -j$(JOBS)
	@cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=$(WINDOWS_BUILD_TYPE) >/dev/null
	@cmake --build build-win64 -j$(JOBS)

# The release archives dist/kelvo-VERSION-x86.zip and -x64.zip with
# dist/SHA256SUMS, built in Release. SOURCE_DATE_EPOCH (default: the time
# of the last commit) makes them the same bytes on every build.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null)
dist: deps-windows
	@SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) /usr/bin/python3 tools/make_dist.py \
	  --build-root build-dist --out dist --jobs $(JOBS)

# The archives built twice, elsewhere and later, must be the same bytes.
dist-check: deps-windows
	@SOURCE_DATE_EPOCH=$(SOURCE_DATE_EPOCH) /usr/bin/python3 tests/windows/dist_reproducible.py \
	  --work build-dist-check --jobs $(JOBS)

# Only the page goes to standard output, so `make demo > page.html` gives
# a valid page; installing and building report on standard error. A
# second run only checks that everything is up to date.
demo:
	@tools/install-deps.sh base >&2
	@test -f build/CMakeCache.txt || cmake -S . -B build -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >&2
	@cmake --build build -j$(JOBS) --target kelvo_shell >&2
	@build/kelvo examples/demo.btm

test: deps-fuzz build build-asan build-scalar windows
	@ctest --test-dir build --output-on-failure -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-scalar --output-on-failure -j$(JOBS)
	@/usr/bin/python3 tests/windows/wine_run.py --explain \
	  --i386-loader "$$(sed -n 's/^WINE32:FILEPATH=//p' build-win32/CMakeCache.txt)"
	@ctest --test-dir build-win32 --output-on-failure -j$(JOBS)
	@ctest --test-dir build-win64 --output-on-failure -j$(JOBS)
	@$(MAKE) --no-print-directory dist-check
	@FUZZ_TIME=$(FUZZ_TEST_TIME) FUZZ_JOBS=$(JOBS) fuzz/run.sh

# Every fuzz target for FUZZ_TIME seconds (default 60); fails on any
# finding. `make test` runs each for FUZZ_TEST_TIME seconds.
FUZZ_TIME ?= 60
FUZZ_TEST_TIME ?= 10
fuzz: deps-fuzz
	@FUZZ_TIME=$(FUZZ_TIME) fuzz/run.sh

# The benchmark, side by side with the libraries users would reach for
# (Node.js, Python, GLib, libcurl), on the text of Debian's fortunes;
# ends with "targets met: N of M". Not part of `make test`.
deps-bench:
	@tools/install-deps.sh base bench

bench: deps-bench
	@cd bench/node && npm ci --no-audit --no-fund --loglevel=error >/dev/null
	@cmake -S bench -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench -j$(JOBS)
	@/usr/bin/python3 bench/run.py --build-dir build-bench --markdown build-bench/results.md

clean:
	rm -rf build build-asan build-scalar build-win32 build-win64 build-fuzz build-bench \
	  build-dist build-dist-check dist
