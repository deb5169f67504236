# The two set-up commands: `make run` and `make test`. Both install what is
# missing, configure and build first.
BUILD_DIR ?= build
SANITIZED_DIR ?= build-sanitized
BUILD_TYPE ?= Release
ARGS ?=

.PHONY: all deps configure build run test test-sanitized bench fuzz soak clean

all: build

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/receiver/app/velmora $(ARGS)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j 2

# Every test again on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
# The end-to-end tests preload the clock library, which the sanitizer must allow.
test-sanitized: deps
	cmake -S . -B $(SANITIZED_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON
	cmake --build $(SANITIZED_DIR)
	ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SANITIZED_DIR) --output-on-failure -j 2

# Figures, not pass or fail: receivers against their peers, corvix against grep, awk and
# lnav; written to bench/results.md.
bench: build
	bash scripts/bench.sh

# Each fuzz target for FUZZ_SECONDS (default 60) on a clang build of its own.
FUZZ_SECONDS ?= 60
fuzz: deps
	bash scripts/fuzz.sh $(FUZZ_SECONDS)

# Ten million datagrams through headless velmora: logged, lost, memory and descriptors.
soak: build
	bash scripts/soak.sh

clean:
	rm -rf $(BUILD_DIR) $(SANITIZED_DIR)
