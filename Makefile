# Front door for a fresh machine:
#   make test   installs what is missing, builds everything and runs every test
#   make demo   builds and authors the demo disc from the bundled sample photos
#   make build  builds (after installing dependencies)
#   make run    builds and starts the desktop program
JOBS ?= $(shell nproc)
PRESET ?= default

.PHONY: all deps configure build test asan-test demo run clean

all: build

deps:
	scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

demo: build
	scripts/make-demo.sh build/$(PRESET)

run: build
	build/$(PRESET)/bin/tellavine

asan-test:
	$(MAKE) test PRESET=asan

clean:
	rm -rf build
