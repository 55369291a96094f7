# Two entry points for a newcomer: `make run` builds and starts the engine,
# `make test` builds everything and runs the whole test suite.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all build run test bench clean

all: build

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS) --target pbrain-velmor
	./$(BUILD)/pbrain-velmor

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	./$(BUILD)/bench/velmor_microbench && ./$(BUILD)/bench/bench

clean:
	rm -rf $(BUILD)
