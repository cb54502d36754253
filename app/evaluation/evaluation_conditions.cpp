// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluation/evaluation_conditions.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "evaluation/catch_can_evaluation.h"
#include "shell/errors.h"
#include "shell/number_text.h"
#include "shell/services.h"
#include "shell/store_support.h"

namespace kambrix {

using quarvex::Connection;
using quarvex::RecordSet;

namespace {

constexpr const char* kTable = "tb_evaluation_conditions";
// Texts of one line are kept to this length (notes are free).
constexpr std::size_t kShortTextLimit = 200;
constexpr std::size_t kNotesLimit = 10000;

bool tableExists(Connection& con) {
    return hasTable(con, kTable);
}

std::string intOrNull(const std::optional<int>& v) {
    return v ? std::to_string(*v) : std::string("NULL");
}

// An identifier; a stored value that is no whole number within the range of identifiers
// reads as none (the link is then not followed).
std::optional<int> nullableInt(const quarvex::FieldValue& v) {
    if (v.IsNull()) {
        return std::nullopt;
    }
    const double x = v.AsDouble();
    if (!std::isfinite(x) || x < 1 || x > std::numeric_limits<int>::max() || x != std::floor(x)) {
        return std::nullopt;
    }
    return static_cast<int>(x);
}

std::optional<std::string> rangeProblem(const std::optional<double>& v, const NumberRange& range,
                                        const std::string& what) {
    if (!v) {
        return std::nullopt;
    }
    if (!std::isfinite(*v)) {
        return "The " + what + " must be a number";
    }
    return checkNumberText(roundTripText(*v), '.', range, "the " + what);
}

std::optional<std::string> lineProblem(const std::string& value, const std::string& what,
                                       std::size_t limit, bool oneLine) {
    if (value.size() > limit) {
        return "The " + what + " may hold at most " + std::to_string(limit) + " characters";
    }
    if (oneLine && value.find_first_of("\r\n\t") != std::string::npos) {
        return "The " + what + " must be one line";
    }
    for (const char ch : value) {
        const auto u = static_cast<unsigned char>(ch);
        if ((u < 0x20 && ch != '\n' && ch != '\r' && ch != '\t') || u == 0x7F) {
            return "The " + what + " holds a control character";
        }
    }
    return std::nullopt;
}

}  // namespace

bool EvaluationConditions::empty() const {
    return *this == EvaluationConditions{};
}

std::optional<std::string> conditionsProblem(const EvaluationConditions& c) {
    namespace r = condition_ranges;
    if (c.chartId && !c.systemId) {
        return std::string("A chart is linked without its system");
    }
    for (const auto& [value, range, what] :
         {std::tuple{c.duration_h, r::kDuration, "duration of the test (h)"},
          std::tuple{c.timer_percent, r::kTimer, "timer setting (%)"},
          std::tuple{c.windSpeed_ms, r::kWindSpeed, "wind speed (m/s)"},
          std::tuple{c.airTemperature_C, r::kAirTemperature, "air temperature (°C)"},
          std::tuple{c.pivotPressure_kPa, r::kPivotPressure, "pressure at the pivot (kPa)"},
          std::tuple{c.pivotDischarge_Ls, r::kPivotDischarge, "discharge at the pivot (L/s)"},
          std::tuple{c.canSpacing_m, r::kCanSpacing, "can spacing (m)"}}) {
        if (auto problem = rangeProblem(value, range, what)) {
            return problem;
        }
    }
    for (const auto& [value, what] :
         {std::pair{&c.date, "date of the test"}, std::pair{&c.startTime, "start time"},
          std::pair{&c.windDirection, "wind direction"}}) {
        if (auto problem = lineProblem(*value, what, kShortTextLimit, true)) {
            return problem;
        }
    }
    return lineProblem(c.notes, "notes", kNotesLimit, false);
}

EvaluationConditions loadConditions(Connection& con, const std::string& evaluationName) {
    EvaluationConditions c;
    if (!tableExists(con)) {
        return c;
    }
    RecordSet row = con.Execute(quarvex::bindParameters(
        "SELECT id_sistema, id_carta, fecha, hora, duracion, temporizador, viento, "
        "viento_direccion, temperatura, presion, caudal, espaciado, notas FROM "
        "tb_evaluation_conditions WHERE nombre=?",
        {quarvex::sqlQuote(evaluationName)}));
    if (row.IsEOF()) {
        return c;
    }
    c.systemId = nullableInt(row["id_sistema"]);
    c.chartId = nullableInt(row["id_carta"]);
    c.date = quarvex::nullToText(row["fecha"]);
    c.startTime = quarvex::nullToText(row["hora"]);
    c.duration_h = optionalNumber(row["duracion"]);
    c.timer_percent = optionalNumber(row["temporizador"]);
    c.windSpeed_ms = optionalNumber(row["viento"]);
    c.windDirection = quarvex::nullToText(row["viento_direccion"]);
    c.airTemperature_C = optionalNumber(row["temperatura"]);
    c.pivotPressure_kPa = optionalNumber(row["presion"]);
    c.pivotDischarge_Ls = optionalNumber(row["caudal"]);
    c.canSpacing_m = optionalNumber(row["espaciado"]);
    c.notes = quarvex::nullToText(row["notas"]);
    if (!c.systemId) {
        c.chartId.reset();
    }
    return c;
}

void deleteConditions(Connection& con, const std::string& evaluationName) {
    if (!tableExists(con)) {
        return;
    }
    con.Execute(quarvex::bindParameters("DELETE FROM tb_evaluation_conditions WHERE nombre=?",
                                        {quarvex::sqlQuote(evaluationName)}));
}

void saveConditions(Connection& con, const std::string& evaluationName,
                    const EvaluationConditions& c) {
    if (const auto problem = conditionsProblem(c)) {
        raiseError(errc::ValueOutOfRange, *problem);
    }
    inOneTransaction(con, [&] {
        deleteConditions(con, evaluationName);
        if (c.empty()) {
            return;
        }
        con.Execute(quarvex::bindParameters(
            "INSERT INTO tb_evaluation_conditions (nombre, id_sistema, id_carta, fecha, hora, "
            "duracion, temporizador, viento, viento_direccion, temperatura, presion, caudal, "
            "espaciado, notas) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {quarvex::sqlQuote(evaluationName), intOrNull(c.systemId), intOrNull(c.chartId),
             quarvex::sqlQuote(c.date), quarvex::sqlQuote(c.startTime), numberOrNull(c.duration_h),
             numberOrNull(c.timer_percent), numberOrNull(c.windSpeed_ms),
             quarvex::sqlQuote(c.windDirection), numberOrNull(c.airTemperature_C),
             numberOrNull(c.pivotPressure_kPa), numberOrNull(c.pivotDischarge_Ls),
             numberOrNull(c.canSpacing_m), quarvex::sqlQuote(c.notes)}));
    });
}

std::vector<std::pair<std::string, int>> linkedEvaluations(Connection& con) {
    std::vector<std::pair<std::string, int>> out;
    if (!tableExists(con)) {
        return out;
    }
    RecordSet rs = con.Execute(
        "SELECT nombre, id_sistema FROM tb_evaluation_conditions WHERE id_sistema IS NOT NULL");
    for (; !rs.IsEOF(); rs.MoveNext()) {
        if (const auto id = nullableInt(rs["id_sistema"])) {
            out.emplace_back(quarvex::nullToText(rs["nombre"]), *id);
        }
    }
    return out;
}

std::string MeasuredTest::label(char sep) const {
    return evaluation + (date.empty() ? std::string() : " (" + date + ")") + ": " +
           toLocaleText(roundTripText(pressure_kPa), sep) + " kPa, " +
           toLocaleText(roundTripText(discharge_Ls), sep) + " L/s";
}

std::vector<MeasuredTest> measuredTests(Connection& con, int systemId) {
    std::vector<MeasuredTest> out;
    if (!tableExists(con)) {
        return out;
    }
    RecordSet rs = con.Execute(quarvex::bindParameters(
        "SELECT nombre, fecha, presion, caudal FROM tb_evaluation_conditions WHERE id_sistema=? "
        "AND presion IS NOT NULL AND caudal IS NOT NULL ORDER BY nombre",
        {std::to_string(systemId)}));
    for (; !rs.IsEOF(); rs.MoveNext()) {
        const auto p = optionalNumber(rs["presion"]);
        const auto q = optionalNumber(rs["caudal"]);
        if (p && q && *p > 0 && *q > 0) {
            out.push_back(
                {quarvex::nullToText(rs["nombre"]), quarvex::nullToText(rs["fecha"]), *p, *q});
        }
    }
    return out;
}

SystemRowsParticipant conditionRowsParticipant() {
    return {[](Connection&, int, int) {},
            [](Connection& con, int systemId) {
                if (tableExists(con)) {
                    con.Execute(quarvex::bindParameters(
                        "UPDATE tb_evaluation_conditions SET id_sistema=NULL, id_carta=NULL "
                        "WHERE id_sistema=?",
                        {std::to_string(systemId)}));
                }
            }};
}

std::vector<CanDepth> diagnosisCans(const quarvex::PivotEvaluation& evaluation) {
    quarvex::PivotEvaluation e = evaluation;
    if (!quarvex::statics().Pluviometros().Valid(e.pluviometer)) {
        return {};
    }
    const CatchCanEvaluation results = evaluateCatchCans(e);
    // Cans of both radii at one distance (to the millimetre) are averaged.
    std::map<long long, std::pair<double, int>> byDistance;  // key: mm → (sum of depths, n)
    std::map<long long, double> distanceOf;
    for (const auto* radius : {&results.first, &results.second}) {
        if (!*radius) {
            continue;
        }
        for (const auto& s : (*radius)->depths) {
            const auto key = std::llround(s.distanceFromCenter * 1000.0);
            auto& [sum, n] = byDistance[key];
            if (n == 0) {
                distanceOf[key] = s.distanceFromCenter;
            }
            sum += s.depth;
            ++n;
        }
    }
    std::vector<CanDepth> cans;
    cans.reserve(byDistance.size());
    for (const auto& [key, sumN] : byDistance) {
        cans.push_back({distanceOf[key], sumN.first / sumN.second});
    }
    return cans;
}

DiagnosisInput diagnosisInputOf(const quarvex::PivotEvaluation& evaluation,
                                const EvaluationConditions& conditions) {
    DiagnosisInput in;
    in.cans = diagnosisCans(evaluation);
    in.measuredPressure = conditions.pivotPressure_kPa;
    in.measuredDischarge = conditions.pivotDischarge_Ls;
    in.windSpeed = conditions.windSpeed_ms;
    return in;
}

std::vector<std::pair<std::string, std::string>> conditionLines(const EvaluationConditions& c,
                                                                const std::string& chartLabel,
                                                                char sep) {
    std::vector<std::pair<std::string, std::string>> out;
    auto number = [&](const std::optional<double>& v, const char* label, const char* unit) {
        if (v) {
            out.emplace_back(label, toLocaleText(roundTripText(*v), sep) + " " + unit);
        }
    };
    if (!chartLabel.empty()) {
        out.emplace_back("Sprinkler chart tested", chartLabel);
    }
    if (!c.date.empty() || !c.startTime.empty()) {
        out.emplace_back("Date and start time",
                         c.date + (c.date.empty() || c.startTime.empty() ? "" : " ") + c.startTime);
    }
    number(c.duration_h, "Duration", "h");
    number(c.timer_percent, "Timer setting", "%");
    if (c.windSpeed_ms || !c.windDirection.empty()) {
        std::string wind = c.windSpeed_ms
                               ? toLocaleText(roundTripText(*c.windSpeed_ms), sep) + " m/s"
                               : std::string();
        if (!c.windDirection.empty()) {
            wind += (wind.empty() ? "" : " ") + c.windDirection;
        }
        out.emplace_back("Wind", wind);
    }
    number(c.airTemperature_C, "Air temperature", "\u00b0C");
    number(c.pivotPressure_kPa, "Pressure measured at the pivot", "kPa");
    number(c.pivotDischarge_Ls, "Discharge measured at the pivot", "L/s");
    number(c.canSpacing_m, "Can spacing", "m");
    if (!c.notes.empty()) {
        out.emplace_back("Notes", c.notes);
    }
    return out;
}

}  // namespace kambrix
