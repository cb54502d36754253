# Everything a fresh Debian 12 machine needs: `make run` and `make test`.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
WERROR     ?= ON
CMAKE_ARGS ?=

.PHONY: all deps configure build test run bench sanitize format clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAMBRIX_WERROR=$(WERROR) $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

run: build
	cmake --build $(BUILD) --target demo-db
	QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-} $(BUILD)/app/kambrix --db-path $(abspath $(BUILD))/demo-db

bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKAMBRIX_BUILD_TESTS=OFF $(CMAKE_ARGS)
	cmake --build build-bench -j$(JOBS)
	build-bench/bench/kambrix-bench

sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKAMBRIX_SANITIZE=ON -DKAMBRIX_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j$(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=0 ctest --output-on-failure -j$(JOBS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(SAN_BUILD) build-bench
