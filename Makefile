# Thin wrapper over the CMake presets.
#   make demo   build, read the bundled simulated sensor and decode an example image
#   make test   build and run the whole suite, plain (dev) and under sanitizers (asan)
#   make bench  build the release preset and print the speed table: each figure beside its
#               baseline and target (bench/ratios.py), and plot the scaling curves
#   make bench-all  every benchmark binary in full
#   make test-release, make test-clang  the suite in the optimised build and built by clang (CI runs both)
#   make fuzz   build the libFuzzer targets with clang and run each for FUZZ_SECONDS

PACKAGES := cmake ninja-build g++ make binutils pkgconf libgtest-dev libgmock-dev libusb-1.0-0-dev owserver ow-shell python3 nlohmann-json3-dev python3-pytest libcpp-httplib-dev chromium
BENCH_PACKAGES := libbenchmark-dev
FUZZ_PACKAGES := clang libclang-rt-14-dev
CLANG_PACKAGES := clang
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

.PHONY: all deps node-deps demo test test-dev test-asan test-release test-clang bench bench-all fuzz clean

all: test

# Installs only what is missing, and only when we may; otherwise says what to install.
define ensure_packages
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "Missing packages; install them with: sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi
endef

deps:
	$(call ensure_packages,$(PACKAGES))
	@# A machine may have Node.js with its own npm (not Debian's packages, which would clash).
	@command -v npm >/dev/null 2>&1 || $(MAKE) --no-print-directory node-deps
	@# playwright-core drives the Debian chromium in the page's tests; it brings no browser.
	@[ -d web/tests/node_modules/playwright-core ] || (cd web/tests && npm ci --no-audit --no-fund)

node-deps:
	$(call ensure_packages,nodejs npm)

test: test-dev test-asan

test-dev: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)
	ctest --preset dev -j $(JOBS)

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

test-release: deps
	$(call ensure_packages,$(BENCH_PACKAGES))
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	ctest --preset release -j $(JOBS)

test-clang: deps
	$(call ensure_packages,$(CLANG_PACKAGES))
	cmake --preset clang
	cmake --build --preset clang -j $(JOBS)
	ctest --preset clang -j $(JOBS)

demo: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)
	build/dev/cli/teds read
	build/dev/cli/teds decode --json examples/accelerometer.hex

bench: deps
	$(call ensure_packages,$(BENCH_PACKAGES))
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	python3 bench/ratios.py build/release/bench --json build/release/bench/results.json
	python3 bench/plot_scaling.py build/release/bench/results.json build/release/bench/scaling.svg

# Every benchmark binary, each with all its benchmarks.
bench-all: deps
	$(call ensure_packages,$(BENCH_PACKAGES))
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	for b in build/release/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

fuzz: deps
	$(call ensure_packages,$(FUZZ_PACKAGES))
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)
	for f in build/fuzz/fuzz/fuzz_*; do \
	  [ -x "$$f" ] || continue; name=$$(basename $$f); \
	  mkdir -p build/fuzz/corpus/$$name; \
	  if [ -f fuzz/corpus/$$name.seeds ]; then \
	    grep -v '^#' fuzz/corpus/$$name.seeds | xargs -I{} cp -r {} build/fuzz/corpus/$$name/; \
	  fi; \
	  $$f -max_total_time=$(FUZZ_SECONDS) build/fuzz/corpus/$$name fuzz/corpus/$$name || exit 1; \
	done

clean:
	rm -rf build
