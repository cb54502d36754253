// SPDX-License-Identifier: GPL-3.0-or-later
//
// Running a program of the project from a test: its standard output, its standard error
// (through a file, since popen reads one stream) and its exit status.
#pragma once

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kambrix::test {

struct ProcessRun {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string out;
    std::string err;
};

inline std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs `command` (a shell command line, arguments already quoted) with its standard error
// written to `stderrFile`, whose folder is made when missing.
inline ProcessRun runCommand(const std::string& command, const std::filesystem::path& stderrFile) {
    ProcessRun r;
    std::filesystem::create_directories(stderrFile.parent_path());
    const std::string cmd = command + " 2>'" + stderrFile.string() + "'";
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
        return r;
    }
    std::array<char, 4096> buf{};
    while (std::size_t n = std::fread(buf.data(), 1, buf.size(), p)) {
        r.out.append(buf.data(), n);
    }
    const int rc = pclose(p);
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.err = readWholeFile(stderrFile);
    return r;
}

// The text of pages first..last of a PDF (all pages when first is 0), through pdftotext of
// poppler-utils; `status` tells whether it could be read.
inline ProcessRun pdfText(const std::filesystem::path& pdf, int first = 0, int last = 0) {
    std::string cmd = "pdftotext";
    if (first > 0) {
        cmd += " -f " + std::to_string(first) + " -l " + std::to_string(last);
    }
    cmd += " '" + pdf.string() + "' -";
    return runCommand(cmd, pdf.string() + ".pdftotext-stderr.txt");
}

}  // namespace kambrix::test
