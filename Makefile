# The two commands of the README: `make run` and `make test`. Both install what
# is missing, configure with CMake and Ninja, and build.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test format clean sanitize fuzz soak bench

# Hardening: the suite under sanitizers, the fuzzers and the long session, each
# in a build folder of its own.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_CYCLES ?= 2000
# No leak suppressions: the suite runs with LeakSanitizer clean.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

all: build

# What `deps` installs: build for `make run`, test for everything else.
DEPS ?= test

deps:
	@scripts/deps.sh $(DEPS)

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: DEPS = build
run: build
	@scripts/run.sh $(BUILD)/snipwell

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSNIPWELL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE e2e

fuzz: DEPS = fuzz
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNIPWELL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_settingsfile fuzz_pictureloader fuzz_savejpg
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

soak: configure
	cmake --build $(BUILD) -j $(JOBS) --target snipwell_soak savejpg
	SOAK_CYCLES=$(SOAK_CYCLES) QT_QPA_PLATFORM=offscreen $(BUILD)/tests/snipwell_soak

# The benchmark: Snipwell side by side with libjpeg-turbo; prints one table.
# BENCH_ARGS passes options on, e.g. BENCH_ARGS="--runs 9 --only open".
bench: DEPS = bench
bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target snipwell_bench savejpg
	$(BUILD)/bench/snipwell_bench $(BENCH_ARGS)

# The README's screenshots, made with the real program on a private X server.
.PHONY: screenshots
screenshots: configure
	scripts/screenshots.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
