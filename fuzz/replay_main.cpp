// SPDX-License-Identifier: GPL-3.0-or-later
//
// Replays the regression corpus without libFuzzer: every file of fuzz/corpus/<target>/ is
// given to that target (files ending in .gz are decompressed first). Prints each failure
// with its file and exits 1 when any input fails.
//   kambrix-fuzz-replay <corpus folder>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "targets.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> readFile(const fs::path& file) {
    std::vector<std::uint8_t> bytes;
    if (file.extension() == ".gz") {
        gzFile gz = gzopen(file.string().c_str(), "rb");
        if (gz == nullptr) {
            throw std::runtime_error("cannot open " + file.string());
        }
        std::uint8_t buffer[65536];
        int n = 0;
        while ((n = gzread(gz, buffer, sizeof buffer)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        const bool failed = n < 0;
        gzclose(gz);
        if (failed) {
            throw std::runtime_error("cannot decompress " + file.string());
        }
        return bytes;
    }
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kambrix-fuzz-replay <corpus folder>\n";
        return 2;
    }
    const fs::path root = argv[1];
    int inputs = 0;
    int failures = 0;
    for (const auto& target : kambrix::fuzz::allTargets()) {
        const fs::path folder = root / target.name;
        if (!fs::is_directory(folder)) {
            std::cerr << "no corpus folder " << folder << "\n";
            ++failures;
            continue;
        }
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const auto& file : files) {
            ++inputs;
            const auto started = std::chrono::steady_clock::now();
            try {
                const auto bytes = readFile(file);
                target.run(bytes.data(), bytes.size());
            } catch (const std::exception& e) {
                std::cerr << "FAILED " << target.name << " " << file.string() << ": " << e.what()
                          << "\n";
                ++failures;
                continue;
            }
            const double seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            if (seconds > 1.0) {
                std::cout << "slow " << target.name << " " << file.filename().string() << ": "
                          << seconds << " s\n";
            }
        }
    }
    std::cout << "replayed " << inputs << " inputs, " << failures << " failed\n";
    return failures == 0 ? 0 : 1;
}
