# Front door. `make demo` and `make test` set up a fresh Debian machine
# themselves (as root); CMake does the building.
.PHONY: all deps build native fuzz-build test test-emulated test-debian13 demo dist fuzz bench clean

WINE_ENV := tests/win32/wine-env.sh
JOBS ?= 2
FUZZ_SECONDS ?= 60

all: build

deps:
	@tools/install-deps.sh

build: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j$(JOBS)

fuzz-build: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j$(JOBS)

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native -j$(JOBS)

# Native unit tests, short fuzz runs, checks of the binary and the Wine tests
# against build/bin/Tarvix.dll, in one CTest run.
test: build fuzz-build native
	@status=0; ctest --preset native || status=$$?; $(WINE_ENV) stop; exit $$status

# The same tests with every 32-bit program emulated by qemu-i386, as on a
# machine that runs none itself (not part of make test or CI).
test-emulated: deps
	@tools/test-emulated.sh

# make demo and make test in a fresh minimal Debian 13 root under build/, as
# a new user runs them (as root; not part of make test or CI).
test-debian13:
	@tools/test-debian13.sh

demo: build
	@tools/demo.sh

dist: build
	@tools/make-dist.sh

fuzz: fuzz-build
	@tools/run-fuzz.sh $(FUZZ_SECONDS)

bench: build
	@tools/bench.sh

clean:
	rm -rf build
