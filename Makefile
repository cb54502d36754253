# Everything a fresh Debian 12 machine needs: `make run` and `make test`.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)
WERROR     ?= ON
CMAKE_ARGS ?=

FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
KILLS        ?= 100

.PHONY: all deps configure build test run bench sanitize tsan format clean fuzz crash-test

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
	build-bench/bench/kambrix-bench-memory
	build-bench/bench/kambrix-bench-server
	if [ -x build-bench/bench/kambrix-bench-gui ]; then build-bench/bench/kambrix-bench-gui; fi
	if [ -x build-bench/bench/kambrix-bench-print ]; then build-bench/bench/kambrix-bench-print; fi

# Address and undefined-behaviour sanitizers with leak detection: a test that leaks fails.
sanitize: deps
	cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKAMBRIX_SANITIZE=ON -DKAMBRIX_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j$(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j$(JOBS)

# Thread sanitizer over the computations that run on several threads (the comparison of
# packages, the shared sort), in a build tree of its own without Qt. GCC 12's
# maybe-uninitialized analysis misreads the instrumented code of std::optional<std::string>.
TSAN_FLAGS  = -fsanitize=thread -fno-omit-frame-pointer -Wno-maybe-uninitialized
TSAN_TESTS ?= app_comparison_tests quarvex_core_tests
tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAMBRIX_BUILD_GUI=OFF \
	    -DKAMBRIX_BUILD_BENCH=OFF -DKAMBRIX_WERROR=$(WERROR) -DCMAKE_CXX_FLAGS="$(TSAN_FLAGS)" \
	    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=thread \
	    $(CMAKE_ARGS)
	cmake --build $(TSAN_BUILD) -j$(JOBS) --target $(TSAN_TESTS)
	cd $(TSAN_BUILD) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
	    ctest --output-on-failure -j$(JOBS) -R '^(Comparison|ComparisonRanking|ArraysSort)\.'

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# libFuzzer targets in a clang build tree of their own (address + undefined sanitizers),
# each run for FUZZ_SECONDS seconds from the regression corpus in fuzz/corpus/.
fuzz:
	@bash scripts/install-deps.sh --fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
	    -DKAMBRIX_FUZZ=ON -DKAMBRIX_BUILD_GUI=OFF -DKAMBRIX_BUILD_TESTS=OFF -DKAMBRIX_BUILD_BENCH=OFF \
	    $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz-targets
	scripts/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The chart store killed with SIGKILL at random moments, KILLS times.
crash-test: build
	cmake --build $(BUILD) --target kambrix-crash-test db-template
	$(BUILD)/tools/crash_test/kambrix-crash-test --template $(BUILD)/db-template --kills $(KILLS)

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(TSAN_BUILD) build-bench $(FUZZ_BUILD)
