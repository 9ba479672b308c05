# Front door for a fresh machine:
#   make test   installs what is missing, builds everything and runs every test, then
#               builds the engine again with AddressSanitizer and UndefinedBehaviorSanitizer
#               (the asan preset, without the desktop program) and runs its tests
#               (SANITIZE=0 leaves the second run out)
#   make demo   builds and authors the demo disc from the bundled sample photos
#   make build  builds (after installing dependencies)
#   make run    builds and starts the desktop program
#   make package  builds the Debian package build/$(PRESET)/package/tellavine_*.deb (CPack)
#   make package-test  builds it, checks it (lintian, desktop-file-validate, appstreamcli)
#               and runs the programs from an unpacked, read-only copy
JOBS ?= $(shell nproc)
PRESET ?= default
SANITIZE ?= 1

.PHONY: all deps configure build test asan-test demo run package package-test clean

all: build

deps:
	scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)
	@if [ "$(SANITIZE)" = 1 ] && [ "$(PRESET)" != asan ]; then $(MAKE) --no-print-directory asan-test; fi

demo: build
	scripts/make-demo.sh build/$(PRESET)

run: build
	build/$(PRESET)/bin/tellavine

package: build
	cmake --build --preset $(PRESET) --target package

package-test: build
	ctest --preset $(PRESET) -L package

asan-test:
	$(MAKE) --no-print-directory test PRESET=asan SANITIZE=0

clean:
	rm -rf build
