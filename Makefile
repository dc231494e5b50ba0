# Kelvo: the two commands a newcomer needs are `make demo` and `make test`.
JOBS ?= 2
BUILD_TYPE ?= RelWithDebInfo

.PHONY: all deps build build-asan demo test clean

all: build

deps:
	@tools/install-deps.sh base

build: deps
	@cmake -S . -B build -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null
	@cmake --build build -j$(JOBS)

build-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKELVO_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j$(JOBS)

demo: build
	@build/kelvo examples/demo.btm

test: build build-asan
	@ctest --test-dir build --output-on-failure -j$(JOBS)
	@ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir build-asan --output-on-failure -j$(JOBS)

clean:
	rm -rf build build-asan
