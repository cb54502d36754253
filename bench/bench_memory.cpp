// SPDX-License-Identifier: GPL-3.0-or-later
// The heap a catch-can evaluation takes per can, for 10,000 and 200,000 cans (half on each
// radius): the readings, the depths, the three results and what the computation holds on
// the way, and the command line's `evaluate` of a CSV and a JSON file from reading the file to
// the last line printed. Every allocation of this program is counted (a replaced operator
// new); the figure is the highest heap in use during one run, above what was in use before.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "commands.h"
#include "evaluation/catch_can_evaluation.h"

namespace {

std::atomic<std::size_t> inUse{0};
std::atomic<std::size_t> highest{0};

void taken(void* p) {
    if (p) {
        const std::size_t now = inUse.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
        std::size_t seen = highest.load();
        while (now > seen && !highest.compare_exchange_weak(seen, now)) {
        }
    }
}

void* allocate(std::size_t n) {
    void* p = std::malloc(n == 0 ? 1 : n);
    if (!p) {
        throw std::bad_alloc();
    }
    taken(p);
    return p;
}

void release(void* p) noexcept {
    if (p) {
        inUse.fetch_sub(malloc_usable_size(p));
        std::free(p);
    }
}

}  // namespace

void* operator new(std::size_t n) {
    return allocate(n);
}
void* operator new[](std::size_t n) {
    return allocate(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    void* p = std::malloc(n == 0 ? 1 : n);
    taken(p);
    return p;
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    void* p = std::malloc(n == 0 ? 1 : n);
    taken(p);
    return p;
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    release(p);
}

namespace {

// Volumes that wander around 80 ml, cans every 5 cm (100,000 cans a radius stay within the
// 10 km a distance may have), both radii at the same distances.
double volumeAt(int i) {
    return 60 + (i * 37) % 41 + 0.25 * (i % 4);
}
double distanceAt(int i) {
    return 0.05 * i;
}

// Starts counting from the heap in use now; the bytes above it at the highest point since.
class HeapWatch {
  public:
    HeapWatch() : base_(inUse.load()) { highest.store(base_); }
    std::size_t peak() const { return highest.load() - base_; }

  private:
    std::size_t base_;
};

class Discard : public std::streambuf {
  protected:
    int overflow(int c) override { return c; }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void BM_EvaluationHeapPerCan(benchmark::State& state) {
    const int cans = static_cast<int>(state.range(0));
    std::size_t peak = 0;
    double cu = 0;
    for (auto _ : state) {
        HeapWatch watch;
        {
            // The readings as the command line holds them, then the three results.
            auto e = quarvex::statics().PivotEvaluations().newEvaluation("bench");
            e.pluviometer = quarvex::statics().Pluviometros().newPluviometro(0.1);
            for (int i = 1; i <= cans / 2; ++i) {
                const auto s =
                    quarvex::statics().FieldSamples().newFieldSample(volumeAt(i), distanceAt(i));
                e.firstSample.Push(s);
                e.secondSample.Push(s);
            }
            const auto results = kambrix::evaluateCatchCans(e);
            cu = results.both->CU.value_or(0);
        }
        peak = watch.peak();
    }
    state.counters["cans"] = cans;
    state.counters["peak_bytes_per_can"] = static_cast<double>(peak) / cans;
    state.counters["CU"] = cu;
}
BENCHMARK(BM_EvaluationHeapPerCan)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);

std::string writeInput(int cans, bool json) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("kambrix-bench-cans-" + std::to_string(getpid()) + "-" +
                               std::to_string(cans) + (json ? ".json" : ".csv")))
                                 .string();
    std::ofstream f(path, std::ios::binary);
    if (json) {
        f << "{\"name\": \"bench\", \"canDiameter_cm\": 10,\n";
        for (int radius = 1; radius <= 2; ++radius) {
            f << (radius == 1 ? " \"firstSample\": [" : ",\n \"secondSample\": [");
            for (int i = 1; i <= cans / 2; ++i) {
                f << (i > 1 ? ", " : "") << "[" << volumeAt(i) << ", " << distanceAt(i) << "]";
            }
            f << "]";
        }
        f << "}\n";
    } else {
        f << "radius,volume_ml,distance_m,canDiameter_cm\r\n";
        for (int radius = 1; radius <= 2; ++radius) {
            for (int i = 1; i <= cans / 2; ++i) {
                f << radius << "," << volumeAt(i) << "," << distanceAt(i) << (i == 1 ? ",10" : "")
                  << "\r\n";
            }
        }
    }
    return path;
}

void cliEvaluate(benchmark::State& state, bool json) {
    const int cans = static_cast<int>(state.range(0));
    const std::string path = writeInput(cans, json);
    const auto fileSize = std::filesystem::file_size(path);
    Discard sink;
    std::ostream out(&sink);
    std::ostringstream err;
    std::size_t peak = 0;
    int status = 0;
    for (auto _ : state) {
        HeapWatch watch;
        status = kambrix::cli::runEvaluate(path, out, err);
        peak = watch.peak();
    }
    std::filesystem::remove(path);
    if (status != 0) {
        state.SkipWithError(("evaluate refused the file: " + err.str()).c_str());
    }
    state.counters["cans"] = cans;
    state.counters["file_bytes_per_can"] = static_cast<double>(fileSize) / cans;
    state.counters["peak_bytes_per_can"] = static_cast<double>(peak) / cans;
}

void BM_CliEvaluateCsvHeapPerCan(benchmark::State& state) {
    cliEvaluate(state, false);
}
void BM_CliEvaluateJsonHeapPerCan(benchmark::State& state) {
    cliEvaluate(state, true);
}
BENCHMARK(BM_CliEvaluateCsvHeapPerCan)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliEvaluateJsonHeapPerCan)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
