# Front door: `make run` builds and starts the program, `make test` builds and
# runs every test. Both install the Debian packages they need first.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps configure build run test bench format clean

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DXELT_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/xelt-ombrel-astrology

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/bench_lookup

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
