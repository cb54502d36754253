// SPDX-License-Identifier: GPL-3.0-or-later
//
// The fuzz targets: each takes any bytes, drives one reader or routine of the program with
// them and checks what must hold whatever the input. A broken expectation throws
// FuzzFailure; under libFuzzer it ends the run as a crash, in the corpus replay it is
// reported with the file that caused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kambrix::fuzz {

class FuzzFailure : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

using Target = void (*)(const std::uint8_t* data, std::size_t size);

struct NamedTarget {
    const char* name;  // also the name of its folder in fuzz/corpus
    Target run;
};

// kambrix-cli design on the bytes as a design file: status 0, 2 or 3; a refusal is one line.
void design(const std::uint8_t* data, std::size_t size);
// kambrix-cli evaluate on the bytes as a JSON or CSV evaluation file.
void evaluate(const std::uint8_t* data, std::size_t size);
// The language-file reader: first line the window's name, the rest the file.
void languageFile(const std::uint8_t* data, std::size_t size);
// Catch-can sample text, sample lists and outlet addresses: never a crash, and what reads
// back is finite and reads back again the same.
void samples(const std::uint8_t* data, std::size_t size);
// The program's number reader: first byte the decimal separator choice, the rest the text.
void number(const std::uint8_t* data, std::size_t size);
// The SQL text routines through SQLite: quoted texts and number texts read back as given,
// any statement text returns (a NUL byte is a numbered error).
void sql(const std::uint8_t* data, std::size_t size);
// Integration of curve pairs: ellipse and Kostiakov curves and bounds from the bytes.
void curves(const std::uint8_t* data, std::size_t size);

// kambrix-cli agronomic on the bytes: status 0 or 2, no raw control character in a message.
void agronomic(const std::uint8_t* data, std::size_t size);
// kambrix-cli compare on the bytes: a refusal is one line; a ranking at most one summary line.
void compare(const std::uint8_t* data, std::size_t size);
// kambrix-cli fit-nozzles on the bytes: every printed fit lies in the catalogue's ranges.
void fitNozzles(const std::uint8_t* data, std::size_t size);
// The maker's-table reader (first byte: separator and units).
void makerTable(const std::uint8_t* data, std::size_t size);
// The scheduling-model reader (first byte: the decimal mark).
void schedulingModel(const std::uint8_t* data, std::size_t size);
// The catch-can file reader: what it reads writes back and reads back the same.
void catchCanCsv(const std::uint8_t* data, std::size_t size);
// Readings pasted from a spreadsheet (first byte: the decimal mark).
void pastedReadings(const std::uint8_t* data, std::size_t size);

// Every target, by name.
const std::vector<NamedTarget>& allTargets();

}  // namespace kambrix::fuzz
