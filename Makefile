# Front door: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install the Debian packages they need first: `run` only
# what building and running need, `test` the test tools too.
BUILD ?= build
JOBS ?= $(shell nproc)
# Warnings as errors: CI and the developer's own builds (WERROR=ON). A user's
# build never stops on a warning that a newer compiler or Qt brings.
WERROR ?= OFF

.PHONY: deps deps-run configure-run configure build run test fuzz test-dates test-sanitize test-debian bench bench-speed bench-startup package packages check-deb format check-format check-layers windows test-windows rebuild-windows-qt clean

deps:
	scripts/install-deps test

deps-run:
	scripts/install-deps run

configure-run: deps-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXELT_WERROR=$(WERROR)

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXELT_WERROR=$(WERROR)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: configure-run
	cmake --build $(BUILD) -j $(JOBS) --target xelt-ombrel-astrology
	$(BUILD)/src/xelt-ombrel-astrology

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# libFuzzer on the settings store from a random seed, for FUZZ_TIME seconds,
# starting from the corpus; an input that fails joins tests/fuzz/corpus, which
# every build replays from then on. Needs clang and libclang-rt-dev.
FUZZ_TIME ?= 3600
fuzz: build
	@test -x $(BUILD)/tests/fuzz_settings || { echo "fuzz: no libFuzzer build (clang, libclang-rt-dev)" >&2; exit 1; }
	mkdir -p $(BUILD)/tests/home/fuzz/long $(BUILD)/tests/home/fuzz/failed
	TMPDIR=$(BUILD)/tests/home/fuzz $(BUILD)/tests/fuzz_settings -max_total_time=$(FUZZ_TIME) \
	  -timeout=10 -max_len=1100000 -dict=tests/fuzz/settings.dict \
	  -artifact_prefix=$(BUILD)/tests/home/fuzz/failed/ $(BUILD)/tests/home/fuzz/long tests/fuzz/corpus; \
	  status=$$?; for f in $(BUILD)/tests/home/fuzz/failed/*; do \
	    [ -f "$$f" ] && cp -n "$$f" tests/fuzz/corpus/ && echo "fuzz: added $${f##*/} to tests/fuzz/corpus"; \
	  done; exit $$status

# The README's test command in a clean Debian 13 system, and the quick tests
# and the Orca walk in Debian testing (scripts/debian-container); then each
# one's package, from the build its tests made, checked as check-deb does.
test-debian:
	scripts/debian-container --install-tools
	scripts/debian-container trixie 'make test BUILD=build-trixie'
	scripts/check-deb --suite trixie build-trixie
	scripts/debian-container testing 'make build BUILD=build-testing && ctest --test-dir build-testing --output-on-failure -j $(JOBS) -L quick && ctest --test-dir build-testing --output-on-failure -R orca_walk'
	scripts/check-deb --suite testing build-testing

# The quick tests again with the clock moved to a few telling days (faketime).
test-dates: build
	JOBS=$(JOBS) scripts/test-dates $(BUILD)

bench: build
	$(BUILD)/bench/bench_lookup
	$(BUILD)/bench/bench_store
	$(BUILD)/bench/bench_startup

# Alt+O and a click to the result window against a prebuilt one, start-up
# time and peak memory against a replica of the main window, and idle CPU.
bench-speed: build
	$(BUILD)/bench/bench_startup

bench-startup: bench-speed

# The Debian package for the release this machine runs (built against its Qt).
package: build
	cd $(BUILD) && cpack -G DEB

# One for each release, from a Debian 12 machine: 12 here, 13 and testing in
# their containers, all three into $(BUILD)/packages.
packages: package
	scripts/debian-container --install-tools
	scripts/debian-container trixie 'make package BUILD=build-trixie'
	scripts/debian-container testing 'make package BUILD=build-testing'
	mkdir -p $(BUILD)/packages
	for b in $(BUILD) build-trixie build-testing; do \
	  cp "$$(ls -t $$b/xelt-ombrel-astrology_*.deb | head -n1)" $(BUILD)/packages/ || exit 1; \
	done

# lintian and hardening-check on this machine's package, then installed,
# walked and purged in a fresh system of this release.
check-deb: build
	scripts/check-deb $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails on code that `make format` would change; installs clang-format alone.
check-format:
	scripts/install-deps format
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

# Fails on an include that points up the layers; needs nothing beyond bash,
# grep and sed.
check-layers:
	scripts/check-layers

# The Windows program, cross-built with MinGW-w64 (Qt for Windows is built once
# into the user's cache): build-windows/ gets the installer and a portable zip.
# SIGN_CERT=... SIGN_KEY=... (SIGN_TIMESTAMP, SIGN_PKCS11_MODULE, SIGN_PASS_FILE)
# sign them with Authenticode (docs/windows.md).
windows: deps
	SIGN_CERT="$(SIGN_CERT)" SIGN_KEY="$(SIGN_KEY)" SIGN_TIMESTAMP="$(SIGN_TIMESTAMP)" \
	  SIGN_PKCS11_MODULE="$(SIGN_PKCS11_MODULE)" SIGN_PASS_FILE="$(SIGN_PASS_FILE)" scripts/build-windows $(BUILD)

# Qt for Windows built again from the published Qt source archive alone, in a
# clean folder, and compared with the shipped Qt byte for byte (as long as a Qt build).
rebuild-windows-qt:
	scripts/install-windows-deps
	scripts/rebuild-windows-qt

# The same, with the Qt Test suites run under Wine and the installed program
# driven from the keyboard.
test-windows: deps
	scripts/test-windows $(BUILD)

clean:
	rm -rf $(BUILD) build-windows

# The same suite under the address and undefined-behaviour sanitizers.
test-sanitize: deps
	cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=Debug -DXELT_SANITIZE=ON -DXELT_BUILD_BENCH=OFF -DXELT_WERROR=$(WERROR)
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(BUILD)-sanitize --output-on-failure -j $(JOBS)
