# The project's two entry points on a fresh Debian 12 machine:
#   make run   builds the library and the tool and runs the tool's demonstration (kesmar demo)
#   make test  runs the test suite in the default build, under Address/UB sanitizers, and the
#              threaded tests under ThreadSanitizer, and again built with Clang
#   make bench runs the benchmarks, which print ratios against baselines of the same run
# WERROR=ON turns compiler warnings into errors (CI sets it).

PACKAGES := cmake ninja-build g++ clang-14 make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpcre2-dev rapidjson-dev libxerces-c-dev libcli11-dev libclang-rt-14-dev nlohmann-json3-dev libmimalloc-dev
WERROR ?= OFF
# Seconds that make fuzz runs each fuzz harness.
FUZZ_SECONDS ?= 60
CONFIGURE_FLAGS := -DKESMAR_WERROR=$(WERROR)

.PHONY: run test bench deps build-default

deps:
	@bash scripts/ensure-packages.sh $(PACKAGES)

build-default: deps
	cmake --preset default $(CONFIGURE_FLAGS)
	cmake --build --preset default

run: build-default
	./build/default/tools/kesmar demo

test: build-default
	ctest --preset default
	cmake --preset asan $(CONFIGURE_FLAGS)
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset tsan $(CONFIGURE_FLAGS)
	cmake --build --preset tsan
	ctest --preset tsan
	cmake --preset clang $(CONFIGURE_FLAGS)
	cmake --build --preset clang
	ctest --preset clang

bench: build-default
	@for b in build/default/bench/*_benchmark; do echo "== $$b"; $$b || exit 1; done

# Builds the fuzz harnesses (clang, sanitizers) and runs each for FUZZ_SECONDS from its seed
# corpus; fails on any finding.
.PHONY: fuzz
fuzz: deps
	cmake --preset fuzz $(CONFIGURE_FLAGS)
	cmake --build --preset fuzz
	bash fuzz/run.sh build/fuzz $(FUZZ_SECONDS)
