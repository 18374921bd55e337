# SPDX-License-Identifier: MIT
# Thin wrappers around CMake. `make run` and `make test` install what is missing first.
JOBS ?= 2
# ccache keeps repeated builds (both test builds, CI's fresh clones) short.
LAUNCHER := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CMAKE_FLAGS ?=
override CMAKE_FLAGS += $(LAUNCHER)

.PHONY: all deps build asan test run bench fuzz format clean screenshots

all: build

deps:
	@./scripts/install-deps

build: deps
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
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
	@cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@./scripts/screenshots build

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-bench build-fuzz
