# The two set-up commands: `make run` and `make test`. Both install what is
# missing, configure and build first.
BUILD_DIR ?= build
BUILD_TYPE ?= Release
ARGS ?=

.PHONY: all deps configure build run test clean

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

clean:
	rm -rf $(BUILD_DIR)
