# The two commands of the README, and what they stand on.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_GEN  = cmake -G Ninja -Wno-dev

# Clones in other folders (CI) share the compiler cache: paths are taken
# relative to the checkout.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: setup build build-asan test test-release test-asan demo clean

setup:
	@bash scripts/setup.sh

# Configuring every time is cheap and picks up subsystem folders as they appear.
# Both builds treat warnings as errors.
build: setup
	$(CMAKE_GEN) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELM24_WERROR=ON >/dev/null
	ninja -C $(BUILD) -j $(JOBS)

build-asan: setup
	$(CMAKE_GEN) -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKELM24_SANITIZE=ON -DKELM24_BENCH=OFF -DKELM24_WERROR=ON >/dev/null
	ninja -C $(ASAN_BUILD) -j $(JOBS)

test-release: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-release test-asan

demo: build
	bash demo/run-demo.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
