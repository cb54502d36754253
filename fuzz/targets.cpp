// SPDX-License-Identifier: GPL-3.0-or-later
#include "targets.h"

#include <quarvex/quarvex.h>
#include <zarede/zarede.h>

#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "commands.h"
#include "design/frequencial_data.h"
#include "design/nozzle_fit.h"
#include "evaluation/sample_exchange.h"
#include "shell/errors.h"
#include "shell/language_file.h"
#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/text.h"

namespace kambrix::fuzz {
namespace {

std::string asText(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

void expect(bool holds, const std::string& what) {
    if (!holds) {
        throw FuzzFailure(what);
    }
}

std::vector<NozzleFit> fitNozzles_(const std::string& text, bool usUnits) {
    MakerTableOptions options;
    options.usUnits = usUnits;
    return kambrix::fitNozzles(readMakerTable(text, options));
}

int lineCount(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

// A command's promise: 0 (a result), 2 (refused: one line, no result) or 3 (did not
// converge: the last pass and one line).
void checkCommand(int rc, const std::string& out, const std::string& err, const char* command) {
    const std::string where = std::string(command) + ": ";
    expect(rc == cli::kExitOk || rc == cli::kExitBadInput || rc == cli::kExitNotConverged,
           where + "exit status " + std::to_string(rc));
    if (rc == cli::kExitOk) {
        expect(!out.empty(), where + "success without a result");
    } else {
        expect(lineCount(err) == 1,
               where + "status " + std::to_string(rc) + " must come with one line, got: " + err);
    }
    if (rc == cli::kExitBadInput) {
        expect(out.empty(), where + "a refused input printed a result");
    }
}

// Up to n doubles taken from the bytes (8 at a time; missing ones are 0).
std::vector<double> doubles(const std::uint8_t* data, std::size_t size, std::size_t n) {
    std::vector<double> out(n, 0.0);
    for (std::size_t i = 0; i < n && (i + 1) * 8 <= size; ++i) {
        std::memcpy(&out[i], data + i * 8, 8);
    }
    return out;
}

}  // namespace

void design(const std::uint8_t* data, std::size_t size) {
    std::ostringstream out, err;
    const int rc = cli::runDesignText(asText(data, size), "the input", false, out, err);
    checkCommand(rc, out.str(), err.str(), "design");
}

void evaluate(const std::uint8_t* data, std::size_t size) {
    std::ostringstream out, err;
    const int rc = cli::runEvaluateText(asText(data, size), "the input", out, err);
    checkCommand(rc, out.str(), err.str(), "evaluate");
}

void languageFile(const std::uint8_t* data, std::size_t size) {
    const std::string text = asText(data, size);
    const std::size_t eol = text.find('\n');
    const std::string window = text.substr(0, eol);
    std::istringstream in(eol == std::string::npos ? std::string() : text.substr(eol + 1));
    const auto entries = readLanguageSection(in, window);
    for (const auto& e : entries) {
        for (const std::string* part : {&e.target, &e.property, &e.value}) {
            expect(part->find('|') == std::string::npos, "a field holds the separator |");
            expect(part->find('\n') == std::string::npos, "a field holds a line break");
        }
    }
}

void samples(const std::uint8_t* data, std::size_t size) {
    const std::string text = asText(data, size);
    const quarvex::FieldSamples fs;
    const quarvex::FieldSample s = fs.Parse(text);
    expect(std::isfinite(s.collectedAmount) && std::isfinite(s.distanceFromCenter),
           "a sample read as a number that is not finite");
    // What is read is stored again as text (15 significant digits), which reads back finite
    // and that close; stored once more it reads back exactly.
    const quarvex::FieldSample back = fs.Parse(fs.serialize(s));
    auto close = [](double a, double b) { return std::fabs(a - b) <= 1e-14 * std::fabs(b); };
    expect(close(back.collectedAmount, s.collectedAmount) &&
               close(back.distanceFromCenter, s.distanceFromCenter),
           "the stored text of a sample reads back as another value: " + fs.serialize(s));
    expect(fs.Parse(fs.serialize(back)) == back,
           "a stored sample does not read back exactly: " + fs.serialize(back));

    const quarvex::PivotEvaluations store;
    const auto list = store.samplesFromText(text);
    const auto once = store.samplesFromText(store.samplesText(list));
    expect(once.Length() == list.Length(), "a sample list reads back with another length");
    expect(store.samplesFromText(store.samplesText(once)) == once,
           "a stored sample list does not read back exactly");

    const quarvex::CoordenadasSaidas coordinates;
    try {
        const quarvex::CoordenadasSaida c = coordinates.Parse(text);
        if (c.numeroTramo >= 0 && c.saida >= 0) {
            expect(coordinates.Parse(coordinates.ToString(c)) == c,
                   "an outlet address reads back differently");
        }
    } catch (const quarvex::Error& e) {
        expect(e.number() == quarvex::errc::TypeMismatch || e.number() == quarvex::errc::Overflow,
               std::string("an outlet address raised ") + e.what());
    }
}

void number(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const char separator = (data[0] & 1) != 0 ? ',' : '.';
    const std::string text = asText(data + 1, size - 1);
    const double value = parseNumber(text, separator);
    if (isNumberText(text, separator)) {
        expect(!std::isnan(value), "a number text read as NaN: " + text);
    }
    (void)toLocaleText(text, separator);
}

void sql(const std::uint8_t* data, std::size_t size) {
    // One scratch database for the whole run, created empty (SQLite takes an empty file as
    // an empty database) and removed at exit.
    static const std::string path = [] {
        char name[] = "/tmp/kambrix-fuzz-sql-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) {
            ::close(fd);
        }
        static const std::string kept = name;
        std::atexit([] { std::filesystem::remove(kept); });
        return kept;
    }();
    static quarvex::Connection con(quarvex::makeConnectionString(path));
    if (!con.IsOpen()) {
        con.Open();
    }
    const std::string text = asText(data, size);
    const bool hasNul = text.find('\0') != std::string::npos;

    // Any statement text returns. Only compiled (EXPLAIN), one statement, so the input can
    // neither write files nor change the scratch database; no "[file]." names, which the
    // connection would attach.
    if (text.find(';') == std::string::npos && text.find("].") == std::string::npos) {
        try {
            con.Execute("EXPLAIN SELECT " + text);
            expect(!hasNul, "a statement text with a NUL byte was accepted");
        } catch (const quarvex::Error& e) {
            expect(!hasNul || e.number() == quarvex::errc::DatabaseStatementFailed,
                   std::string("a NUL byte raised ") + e.what());
        }
    }

    // A quoted text reads back exactly; a number text reads back as the number it states.
    const double x = doubles(data, size, 1)[0];
    std::string numberText = "0";
    if (std::isfinite(x)) {
        numberText = quarvex::sqlNumber(x);
    } else {
        try {
            (void)quarvex::sqlNumber(x);
            throw FuzzFailure("a number that is not finite became SQL text");
        } catch (const quarvex::Error& e) {
            expect(e.number() == quarvex::errc::NumberNotFinite,
                   std::string("a number that is not finite raised ") + e.what());
        }
    }
    try {
        quarvex::RecordSet rs = con.Execute(quarvex::bindParameters(
            "SELECT ? AS v, ? AS n",
            {quarvex::sqlQuote(text), std::isfinite(x) ? numberText : std::string("0")}));
        expect(!hasNul, "a quoted text with a NUL byte was accepted");
        expect(rs.Field("v").AsString() == text, "a quoted text read back differently");
        if (std::isfinite(x)) {
            const double n = rs.Field("n").AsDouble();
            expect(std::isfinite(n), "the number text " + numberText + " read back as infinite");
            // 15 significant digits: within 5e-15 of the number (denormals: absolutely).
            expect(std::fabs(n - x) <= 1e-14 * std::fabs(x) + 1e-300,
                   "the number text " + numberText + " read back as another number");
        }
    } catch (const quarvex::Error& e) {
        expect(hasNul, std::string("a quoted text or number failed: ") + e.what());
    }
    (void)quarvex::sqlNumberOrNull(text);
    (void)quarvex::sqlTextOrNull(text);
    (void)quarvex::bindParameters(text, {quarvex::sqlQuote(text), numberText});
}

void curves(const std::uint8_t* data, std::size_t size) {
    const auto v = doubles(data, size, 8);
    const zarede::Factory factory;
    const zarede::Integrador integrador;
    try {
        const auto ellipse = factory.newEclipseFunction(v[0], v[1], "ellipse");
        const auto soil = factory.newKostiakovFunction(v[2], v[3], v[4], v[5], "soil");
        const double cx = ellipse->centro_X();
        (void)integrador.AreaIntersecao(*soil, *ellipse, cx, 0, 2 * cx, 0.001);
        (void)integrador.calcula(*soil, v[6], v[7], std::fabs(v[6] - v[7]) / 1000 + 1e-3);
        (void)integrador.Encontra2PontosDeCruzamento(*ellipse, *soil, v[6], v[2], v[3]);
    } catch (const zarede::Error&) {
        // A numbered refusal is an answer.
    }
}

// A refusal of the readers below: one of the program's numbered file errors, in one line of
// the user's words (no raw control character).
void checkRefusal(const AppError& e, const char* reader) {
    const std::string what = e.what();
    expect(e.number() == errc::CsvFormat || e.number() == errc::InputTooLarge ||
               e.number() == errc::SchedulingFileFormat,
           std::string(reader) + " raised error " + std::to_string(e.number()) + ": " + what);
    // A quoted name may hold any text, but never a raw control character beyond line breaks
    // between the listed lines.
    for (char c : what) {
        const auto u = static_cast<unsigned char>(c);
        expect(c == '\n' || (u >= 0x20 && u != 0x7f),
               std::string(reader) + ": a raw control character in " + printableText(what));
    }
}

void agronomic(const std::uint8_t* data, std::size_t size) {
    std::ostringstream out, err;
    const int rc = cli::runAgronomicText(asText(data, size), "the input", out, err);
    expect(rc == cli::kExitOk || rc == cli::kExitBadInput,
           "agronomic: exit status " + std::to_string(rc));
    for (char c : err.str()) {
        const auto u = static_cast<unsigned char>(c);
        expect(c == '\n' || (u >= 0x20 && u != 0x7f), "agronomic: a raw control character");
    }
}

void compare(const std::uint8_t* data, std::size_t size) {
    std::ostringstream out, err;
    const int rc = cli::runCompareText(asText(data, size), "the input", out, err);
    expect(rc == cli::kExitOk || rc == cli::kExitBadInput,
           "compare: exit status " + std::to_string(rc));
    if (rc == cli::kExitBadInput) {
        expect(lineCount(err.str()) == 1 && out.str().empty(),
               "compare: a refusal must be one line and no result, got: " + err.str());
    } else {
        expect(lineCount(err.str()) <= 1, "compare: more than one summary line: " + err.str());
    }
}

void fitNozzles(const std::uint8_t* data, std::size_t size) {
    std::ostringstream out, err;
    cli::FitNozzlesOptions options;
    options.file = "the table";
    options.usUnits = size > 0 && (data[0] & 1) != 0;
    const int rc = cli::runFitNozzlesText(asText(data, size), options, out, err);
    checkCommand(rc, out.str(), err.str(), "fit-nozzles");
    if (rc == cli::kExitOk) {
        // Every fit the command prints lies in the catalogue's ranges.
        const auto fits = fitNozzles_(asText(data, size), options.usUnits);
        for (const auto& f : fits) {
            expect(
                f.a > 0 && f.a <= 100 && f.b > 0 && f.b <= 2 && std::isfinite(f.maxRelativeError),
                "fit-nozzles: a fit outside the catalogue's ranges was accepted");
        }
    }
}

void makerTable(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    MakerTableOptions options;
    options.separator = (data[0] % 3) == 0 ? ',' : (data[0] % 3) == 1 ? ';' : '\t';
    options.usUnits = (data[0] & 4) != 0;
    const std::string text = asText(data + 1, size - 1);
    try {
        for (const auto& row : readMakerTable(text, options)) {
            expect(row.point.pressure > 0 && row.point.discharge > 0 &&
                       std::isfinite(row.point.pressure) && std::isfinite(row.point.discharge),
                   "a table row was read with a pressure or discharge that is not positive");
            expect(!storedNameProblem(StoredNameKind::Nozzle, row.nozzle),
                   "a bad nozzle name was read");
        }
    } catch (const AppError& e) {
        checkRefusal(e, "the maker's table");
    }
}

void schedulingModel(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const char separator = (data[0] & 1) != 0 ? ',' : '.';
    try {
        for (const auto& r : parseFrequencialData(asText(data + 1, size - 1), separator)) {
            expect(std::isfinite(r.ano) && std::isfinite(r.Qfc) && std::isfinite(r.frequencia),
                   "a scheduling-model row was read with a value that is not finite");
        }
    } catch (const AppError& e) {
        checkRefusal(e, "the scheduling-model file");
    }
}

void catchCanCsv(const std::uint8_t* data, std::size_t size) {
    const std::string text = asText(data, size);
    try {
        const CatchCanFile file = readCatchCanCsv(text);
        expect(static_cast<std::size_t>(file.first.Length() + file.second.Length()) <=
                   kMaxReadingsPerEvaluation,
               "more readings than an evaluation takes were read");
        expect(std::isfinite(file.canDiameter_cm) && file.canDiameter_cm > 0,
               "a catch-can file was read without a usable can diameter");
        // What is read is written back and reads back the same.
        const CatchCanFile again = readCatchCanCsv(catchCanCsvText(file));
        expect(again.first == file.first && again.second == file.second &&
                   again.canDiameter_cm == file.canDiameter_cm,
               "a catch-can file does not read back as it was written");
    } catch (const AppError& e) {
        checkRefusal(e, "the catch-can file");
    }
}

void pastedReadings(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return;
    }
    const char separator = (data[0] & 1) != 0 ? ',' : '.';
    const auto pasted = parsePastedReadings(asText(data + 1, size - 1), separator);
    expect(pasted.rows.size() <= kMaxReadingsPerEvaluation + 1,
           "more pasted readings than an evaluation takes were read");
    for (const auto& r : pasted.rows) {
        expect((!r.volume_ml || std::isfinite(*r.volume_ml)) &&
                   (!r.distance_m || std::isfinite(*r.distance_m)),
               "a pasted reading is not finite");
    }
}

const std::vector<NamedTarget>& allTargets() {
    static const std::vector<NamedTarget> targets = {
        {"design", &design},
        {"evaluate", &evaluate},
        {"language-file", &languageFile},
        {"samples", &samples},
        {"number", &number},
        {"sql", &sql},
        {"curves", &curves},
        {"agronomic", &agronomic},
        {"compare", &compare},
        {"fit-nozzles", &fitNozzles},
        {"maker-table", &makerTable},
        {"scheduling-model", &schedulingModel},
        {"catch-can-csv", &catchCanCsv},
        {"pasted-readings", &pastedReadings},
    };
    return targets;
}

}  // namespace kambrix::fuzz
