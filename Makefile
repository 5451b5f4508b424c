# Setup Mate: `make run` builds everything and runs the setup under Wine;
# `make test` builds everything and runs all three test layers.
JOBS ?= $(shell nproc)

.PHONY: all deps build host win32 win64 run screenshots test test-host test-windows test-e2e fuzz bench clean

all: build

deps:
	@tools/install-deps.sh

build: deps host win32 win64

host:
	@cmake --preset host >/dev/null
	@cmake --build --preset host -j $(JOBS)

win32: host
	@cmake --preset win32 >/dev/null
	@cmake --build --preset win32 -j $(JOBS)

win64: host
	@cmake --preset win64 >/dev/null
	@cmake --build --preset win64 -j $(JOBS)

run: build
	@tools/run.sh

# The headless tour again, its pictures copied in 256 colours to docs/screenshots/.
screenshots: build
	@env -u DISPLAY tools/run.sh
	@rm -rf docs/screenshots && mkdir -p docs/screenshots
	@for picture in build/run/tour/*.png; do \
	    convert "$$picture" -strip -dither None -colors 256 "PNG8:docs/screenshots/$${picture##*/}"; \
	done

test: build
	@$(MAKE) --no-print-directory test-host test-windows test-e2e

test-host:
	@ctest --preset host -j $(JOBS)

test-windows:
	@ctest --preset win64

test-e2e:
	@tests/e2e/run.sh

fuzz: host
	@ctest --preset host -R '_fuzz$$'

bench: host
	@build/host/bin/lzhuf_bench

clean:
	rm -rf build
