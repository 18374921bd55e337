# SPDX-License-Identifier: MIT
# Thin wrappers around CMake. `make run` and `make test` install what is missing first.
JOBS ?= 2
# ccache keeps repeated builds (both test builds, CI's fresh clones) short.
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CMAKE_FLAGS ?=
override CMAKE_FLAGS += $(LAUNCHER)
# The normal build: optimised, without debug info, which roughly halves compile and link time
# (the sanitizer build keeps -g for its reports).
CONFIGURE_BUILD = cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
	-DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" $(CMAKE_FLAGS) >/dev/null

.PHONY: all deps build asan test run bench fuzz format clean screenshots

all: build

deps:
	@./scripts/install-deps

build: deps
	@$(CONFIGURE_BUILD)
	@cmake --build build -j $(JOBS)

asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCLICKORY_SANITIZE=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-asan -j $(JOBS)

# Unit tests in the normal build, then again under AddressSanitizer + UndefinedBehaviorSanitizer.
test: build asan
	@cd build && ctest --output-on-failure -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure -j $(JOBS)

run: build
	@./scripts/run

bench: deps
	@cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@./scripts/bench build-bench

fuzz: deps
	@./scripts/fuzz

# Every settings tab and a few ripple frames as PNG files in build/screenshots, rendered on Xvfb.
screenshots: deps
	@$(CONFIGURE_BUILD)
	@./scripts/screenshots build

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-bench build-fuzz
