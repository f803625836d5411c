# The two commands of the README: `make run` and `make test`. Both install the
# Debian packages that are missing (scripts/deps.sh), configure with CMake and
# Ninja, and build. Configuring and building themselves (`make build`) never
# touch apt: on other systems CMake's own checks say what is missing.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# Where `cmake --install` and the Debian package put the program; the program
# finds its JPEG library relative to it.
PREFIX ?= /usr

.PHONY: all deps configure build run test deb format clean sanitize fuzz soak bench screenshots

# Hardening: the suite under sanitizers, the fuzzers and the long session, each
# in a build folder of its own.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
SOAK_CYCLES ?= 2000
# No leak suppressions: the suite runs with LeakSanitizer clean.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

all: build

# What `deps` installs: build for `make run` and `make deb`, test for everything else.
DEPS ?= test

deps:
	@scripts/deps.sh $(DEPS)

# Targets that install packages first run the rest in a second make, so that
# nothing needs a tool before apt has put it there.
AFTER_DEPS = $(MAKE) --no-print-directory

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and its JPEG library: no tests, benchmark or tools.
run: DEPS = build
run: deps
	@$(AFTER_DEPS) configure
	cmake --build $(BUILD) -j $(JOBS) --target snipwell savejpg
	@scripts/run.sh $(BUILD)/snipwell

test: deps
	@$(AFTER_DEPS) build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The Debian package, $(BUILD)/snipwell_<version>-1_<arch>.deb, with the
# dependencies dpkg-shlibdeps computes. Configured again so that a build folder
# made for another prefix still gives a package for /usr. Install it with
# `sudo apt install ./$(BUILD)/snipwell_*.deb`.
deb: DEPS = build
deb: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build $(BUILD) -j $(JOBS) --target snipwell savejpg snipwell_compressed_docs
	cd $(BUILD) && cpack -G DEB

sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSNIPWELL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE e2e

fuzz: DEPS = fuzz
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNIPWELL_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_settingsfile fuzz_pictureloader fuzz_savejpg
	scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

soak: deps
	@$(AFTER_DEPS) configure
	cmake --build $(BUILD) -j $(JOBS) --target snipwell_soak savejpg
	SOAK_CYCLES=$(SOAK_CYCLES) QT_QPA_PLATFORM=offscreen $(BUILD)/tests/snipwell_soak

# The benchmark: Snipwell side by side with libjpeg-turbo; prints one table.
# BENCH_ARGS passes options on, e.g. BENCH_ARGS="--runs 9 --only open".
bench: DEPS = bench
bench: deps
	@$(AFTER_DEPS) configure
	cmake --build $(BUILD) -j $(JOBS) --target snipwell_bench savejpg
	$(BUILD)/bench/snipwell_bench $(BENCH_ARGS)

# The README's screenshots, made with the real program on a private X server.
screenshots: deps
	@$(AFTER_DEPS) configure
	scripts/screenshots.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' '*.c' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
