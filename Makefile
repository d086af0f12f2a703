# The two commands of the README, `make test` and `make demo`, work on a fresh
# Debian machine: each first installs what is missing, then builds.
BUILD ?= build
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build test demo bench package clean format

all: build

deps:
	@bash .ci/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 600

demo: build
	@bash tools/demo.sh $(BUILD)

# zamvex_<version>_<arch>.deb from the build folder, copied here.
package: build
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/zamvex_*.deb .

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@set -e; for b in $$(find $(BENCH_BUILD) -type f -name 'bench_*' -perm -u+x | sort); do \
	  echo "== $$(basename $$b)"; $$b; done

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) build-asan build-tsan build-fuzz

# Lays out every C++ file as .clang-format says (CI checks it: .ci/format-check).
format: deps
	git ls-files '*.cpp' '*.h' | xargs $$(command -v clang-format-14 || command -v clang-format) -i
