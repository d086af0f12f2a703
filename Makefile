# The two commands of the README, `make test` and `make demo`, work on a fresh
# Debian machine: each first installs what is missing, then builds. apt-get's
# and CMake's reports go to logs in the build folder; the terminal gets one
# line per step, and the end of the log when a step fails.
BUILD ?= build
BENCH_BUILD ?= build-bench
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps build test demo bench package clean format

# $(call configure,FOLDER,BUILD_TYPE)
define configure
	@mkdir -p $(1)
	@echo "configuring $(1)/ (log: $(1)/cmake.log)"
	@cmake -S . -B $(1) -G Ninja -DCMAKE_BUILD_TYPE=$(2) $(CMAKE_FLAGS) >$(1)/cmake.log 2>&1 || \
	  { tail -n 20 $(1)/cmake.log | sed 's/^/  /' >&2; echo "cmake failed; the whole log: $(1)/cmake.log" >&2; exit 1; }
endef

all: build

deps:
	@bash .ci/install-deps --log $(BUILD)/apt.log

build: deps
	$(call configure,$(BUILD),RelWithDebInfo)
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
	$(call configure,$(BENCH_BUILD),Release)
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@set -e; for b in $$(find $(BENCH_BUILD) -type f -name 'bench_*' -perm -u+x | sort); do \
	  echo "== $$(basename $$b)"; $$b; done

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) build-asan build-tsan build-fuzz

# Lays out every C++ file as .clang-format says (CI checks it: .ci/format-check).
format: deps
	git ls-files '*.cpp' '*.h' | xargs $$(command -v clang-format-14 || command -v clang-format) -i
