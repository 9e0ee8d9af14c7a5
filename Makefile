# Thin wrapper over the CMake presets.
#   make test           build and run every test, with the sanitizers and as a release build
#   make test-sanitize  only the sanitizer configuration
#   make test-release   only the release configuration

.PHONY: all test test-sanitize test-release prerequisites clean

all: test

prerequisites:
	@scripts/prerequisites.sh

test: test-sanitize test-release

test-sanitize test-release: test-%: prerequisites
	cmake --preset $* >/dev/null
	cmake --build --preset $*
	ctest --preset $*

clean:
	rm -rf build
