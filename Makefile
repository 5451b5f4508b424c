# Setup Mate: `make run` builds everything and runs the setup under Wine;
# `make test` builds everything and runs all the test layers, the example product included;
# `make test ALL=1` runs the whole example-product and 32-bit sets (before a release).
# `make run WIN32=1` tours the shipped 32-bit program on the 32-bit Wine bench.
# `make setup PRODUCT=path/to/product.ini` builds the setup of another product.
JOBS ?= $(shell nproc)
# Windows tests and scenarios under Wine spend most of their time waiting (for
# windows, for the product's pauses): one more runs at a time than there are cores.
TEST_JOBS ?= $(shell echo $$(($$(nproc) + 1)))

.PHONY: all deps build host win32 win64 run setup screenshots test test-host test-windows test-e2e test-product test-win32 fuzz fuzz-engine bench clean clean-wine32

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
	@WIN32="$(WIN32)" tools/run.sh

# The setup of the product a description file describes, built under
# build/products/<the description's folder>/.
setup: deps host
	@tools/build-product.sh "$(PRODUCT)" $(JOBS)

# The headless tour again, its pictures copied in 256 colours to docs/screenshots/.
screenshots: build
	@env -u DISPLAY tools/run.sh
	@rm -rf docs/screenshots && mkdir -p docs/screenshots
	@for picture in build/run/tour/*.png; do \
	    convert "$$picture" -strip -dither None -colors 256 "PNG8:docs/screenshots/$${picture##*/}"; \
	done

# The 32-bit bench is prepared in the background from the start, while the
# build and the other layers run; the 32-bit layer waits for it if need be.
test: deps
	@tools/wine32/prepare-early.sh
	@$(MAKE) --no-print-directory build
	@$(MAKE) --no-print-directory test-host test-windows test-e2e test-product test-win32

test-host:
	@ctest --preset host -j $(JOBS)

test-windows:
	@ctest --preset win64 -j $(TEST_JOBS)

test-e2e:
	@E2E_JOBS=$(TEST_JOBS) tests/e2e/run.sh

# The example product's setup, built from its description alone, signed, toured
# and built again; ALL=1 builds and runs the Windows tests against it as well.
test-product: host
	@TEST_JOBS=$(TEST_JOBS) E2E_JOBS=$(TEST_JOBS) tools/test-product.sh $(JOBS) $(if $(ALL),--all)

# The shipped 32-bit program under 32-bit Wine (tools/wine32); needs root.
# ALL=1 runs every Windows test and scenario of its list, not only those that
# show what the 32-bit build alone can get wrong.
test-win32:
	@tools/wine32/test.sh $(if $(ALL),--all)

fuzz: host
	@ctest --preset host -R '_fuzz$$'

# The engine's fuzz of machine states, a long run under wine64 in a fresh
# prefix: `make fuzz-engine CASES=10000 SEED=7`; non-zero on any violation.
CASES ?= 1000
SEED ?= 1
fuzz-engine: win64
	@tools/wine/run-in-prefix.sh build/win64/bin/engine_fuzz.exe --seed $(SEED) --cases $(CASES)

bench: host
	@build/host/bin/lzhuf_bench

# Nothing is ever mounted below build/ (the 32-bit bench mounts only inside
# its own namespace); were something mounted there, deleting stops short.
clean:
	@if awk -v dir="$(CURDIR)/build" '$$5 == dir || index($$5, dir "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then \
	    echo "clean: something is mounted below build/; unmount it first" >&2; exit 1; fi
	rm -rf --one-file-system build

# The 32-bit bench's cache (about 1.5 GB outside the project); made again on the next run.
clean-wine32:
	@tools/wine32/clean.sh
