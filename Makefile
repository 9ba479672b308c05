# Front door for a fresh machine:
#   make test   installs what is missing, builds everything and runs every test
#   make build  builds (after installing dependencies)
JOBS ?= $(shell nproc)
PRESET ?= default

.PHONY: all deps configure build test asan-test clean

all: build

deps:
	scripts/install-deps.sh

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: build
	ctest --preset $(PRESET) -j $(JOBS)

asan-test:
	$(MAKE) test PRESET=asan

clean:
	rm -rf build
