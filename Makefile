# Thin wrapper over the CMake presets.
#   make test           build and run every test, with the sanitizers and as a release build
#   make test-sanitize  only the sanitizer configuration
#   make test-release   only the release configuration
#   make test-tsan      the tests that use threads, under ThreadSanitizer (clang)
#   make test-valgrind  the release tests under valgrind's memcheck, but for the slowest
#   make test-windows   the 32-bit Windows DLL, cross-compiled with MinGW-w64, and its tests
#                       under Wine
#   make test-windows64 the 64-bit Windows DLL and its tests under 64-bit Wine
#   make dist           the release archives of build/dist, each checked by building the
#                       example against it
#   make fuzz           each libFuzzer target for FUZZ_SECONDS (default 60) from its seeds
#   make run            build the command-line host and run the tour, examples/tour.regs
#   make bench          build and run the benchmarks, the comparison with Lua and muparser and
#                       the heap both engines take
#                       (QUICK=1: a short run, as CI does)
#   make profile        instructions of W1a, W2 and their prepared runs by function, counted by
#                       callgrind

.PHONY: all test test-sanitize test-release test-tsan test-valgrind test-windows test-windows64 dist fuzz \
	prerequisites clean run bench bench-build profile

all: test

prerequisites:
	@scripts/prerequisites.sh

test: test-sanitize test-release test-tsan test-valgrind test-windows test-windows64 dist

test-sanitize test-release: test-%: prerequisites
	cmake --preset $* >/dev/null
	cmake --build --preset $*
	ctest --preset $*

test-tsan: prerequisites
	@scripts/prerequisites.sh clang
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan
	ctest --preset tsan

test-windows test-windows64: test-%: prerequisites
	@scripts/windows-prerequisites.sh
	cmake --preset $* >/dev/null
	cmake --build --preset $*
	ctest --preset $*

# The archives are made from the release builds, which are built first if need be.
dist: prerequisites
	@scripts/windows-prerequisites.sh
	for preset in release windows windows64; do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset || exit 1; \
	done
	scripts/dist.sh

# Valgrind runs a test ~50 times slower: the differential tests over millions of values, the
# stress test and the giant scripts, already run under the sanitizers, are left out here. So is
# the fork test: its child lacks the parent's threads, whose memory it reports lost as it exits.
VALGRIND_SKIPS = *MatchesPrintf*:*MatchPrintf*:*LongDigit*:Stress*:HostileInput.AMillion*:HostileInput.AHundred*:ForkedProcess*
test-valgrind: test-release
	@scripts/prerequisites.sh valgrind
	valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite -q \
	  --suppressions=tests/valgrind.supp \
	  build/release/tests/regscript_tests --gtest_brief=1 --gtest_filter='-$(VALGRIND_SKIPS)'

FUZZ_SECONDS ?= 60
fuzz: prerequisites
	@scripts/prerequisites.sh clang
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/fuzz.sh $(FUZZ_SECONDS)

bench-build:
	@scripts/prerequisites.sh libbenchmark-dev liblua5.4-dev libmuparser-dev pkg-config
	cmake --preset bench >/dev/null
	cmake --build --preset bench

bench: bench-build
	build/bench/bench/regscript_benchmarks $(if $(QUICK),--benchmark_min_time=0.01)
	build/bench/bench/regscript_compare $(if $(QUICK),--quick)

profile: bench-build
	@scripts/prerequisites.sh valgrind
	bench/profile.sh build/bench

run: prerequisites
	cmake --preset release >/dev/null
	cmake --build --preset release --target regscript_cli
	build/release/tools/regscript/regscript examples/tour.regs --expand-file examples/template.txt

clean:
	rm -rf build
