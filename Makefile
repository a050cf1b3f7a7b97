# Two commands set up a fresh Debian 12 machine: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
JOBS ?= $(shell nproc)
GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build test run asan bench package clean mutate

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/CMakeCache.txt ]; then cmake -S . -B $(BUILD_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo; fi

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

run: build
	@./scripts/run.sh $(BUILD_DIR)

# A Debian package in $(BUILD_DIR): apt install ./$(BUILD_DIR)/quillmar_*.deb
package: build
	cmake --build $(BUILD_DIR) --target package

# The same suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own folder.
asan: deps
	@if [ ! -f $(ASAN_DIR)/CMakeCache.txt ]; then cmake -S . -B $(ASAN_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DQUILLMAR_SANITIZE=ON -DQUILLMAR_BENCHMARKS=OFF; fi
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@./scripts/bench.sh $(BUILD_DIR)

# Faults made in the lines changed since BASE (default: the merge base with main), to see which no
# test notices; in its own folder build-mutate. Not part of test or CI.
#   make mutate BASE=08aac76 MAX=60 MINUTES=40
mutate:
	python3 scripts/mutate.py $(if $(BASE),--base $(BASE)) $(if $(MAX),--max $(MAX)) $(if $(MINUTES),--minutes $(MINUTES)) $(MUTATE_ARGS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) build-mutate
