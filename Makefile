# The two set-up commands: `make run` and `make test`. Each installs what its purpose
# needs and is missing (scripts/install-deps.sh), configures when there is nothing
# configured yet, and builds first.
BUILD_DIR ?= build
SANITIZED_DIR ?= build-sanitized
PACKAGE_DIR ?= build-package
BUILD_TYPE ?= Release
ARGS ?=

CONFIGURE = cmake -S . -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

.PHONY: all build run test test-sanitized package bench fuzz soak clean

all: build

# Only the two programs: no test or benchmark libraries are needed to run them. An existing
# configuration is kept (cmake configures again by itself when a CMakeLists.txt changed).
run:
	bash scripts/install-deps.sh run
	test -f $(BUILD_DIR)/CMakeCache.txt || \
	  $(CONFIGURE) -B $(BUILD_DIR) -DBUILD_TESTING=OFF -DVELMORA_BUILD_BENCH=OFF
	cmake --build $(BUILD_DIR) --target velmora corvix
	$(BUILD_DIR)/receiver/app/velmora $(ARGS)

# Everything: programs, tests, benchmarks. A configuration made by `make run` gets the
# tests and benchmarks switched on.
build:
	bash scripts/install-deps.sh test
	grep -qs -e '^BUILD_TESTING:BOOL=ON' $(BUILD_DIR)/CMakeCache.txt && \
	  grep -qs -e '^VELMORA_BUILD_BENCH:BOOL=ON' $(BUILD_DIR)/CMakeCache.txt || \
	  $(CONFIGURE) -B $(BUILD_DIR) -DBUILD_TESTING=ON -DVELMORA_BUILD_BENCH=ON
	cmake --build $(BUILD_DIR)

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j 2

# Every test again on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
# The end-to-end tests preload the clock library, which the sanitizer must allow.
test-sanitized:
	bash scripts/install-deps.sh sanitize
	test -f $(SANITIZED_DIR)/CMakeCache.txt || \
	  cmake -S . -B $(SANITIZED_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_SANITIZE=ON \
	    -DVELMORA_BUILD_BENCH=OFF
	cmake --build $(SANITIZED_DIR)
	ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1:abort_on_error=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(SANITIZED_DIR) --output-on-failure -j 2

# A Debian package of both programs, built for /usr in a directory of its own and then
# unpacked and checked file by file.
package:
	bash scripts/install-deps.sh run
	test -f $(PACKAGE_DIR)/CMakeCache.txt || \
	  cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DVELMORA_BUILD_BENCH=OFF
	cmake --build $(PACKAGE_DIR)
	cd $(PACKAGE_DIR) && cpack -G DEB
	bash packaging/tests/deb_test.sh $(PACKAGE_DIR)

# Figures, not pass or fail: receivers against their peers, corvix against grep, awk and
# lnav; written to $(BUILD_DIR)/bench-results.md. bench.sh makes the private network
# namespace, scripts/bench/driver.py measures in it.
bench:
	bash scripts/install-deps.sh bench
	BUILD_DIR=$(BUILD_DIR) bash scripts/bench.sh

# Each fuzz target for FUZZ_SECONDS (default 60) on a clang build of its own.
FUZZ_SECONDS ?= 60
fuzz:
	bash scripts/install-deps.sh fuzz
	bash scripts/fuzz.sh $(FUZZ_SECONDS)

# Ten million datagrams through headless velmora: logged, lost, memory and descriptors.
soak:
	bash scripts/install-deps.sh bench
	BUILD_DIR=$(BUILD_DIR) bash scripts/soak.sh

clean:
	rm -rf $(BUILD_DIR) $(SANITIZED_DIR) $(PACKAGE_DIR)
