// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include <charconv>
#include <cmath>

namespace quarvex {
namespace {

constexpr const char* kSampleSeparator = "\r\n";

// The shortest text that reads back as the same double (the can's diameter decides every
// depth); a NaN or an infinity is refused as sqlNumber refuses it.
std::string exactNumberText(double x) {
    if (!std::isfinite(x)) {
        Exceptions::Throw(errc::NumberNotFinite, std::isnan(x) ? "NaN" : "infinity");
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

bool isBlankText(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

// The samples of a stored list, each piece read by `parse`.
template <class Parse>
Array<FieldSample> splitSamples(const std::string& text, Parse&& parse) {
    Array<FieldSample> samples;
    if (isBlankText(text)) {
        return samples;
    }
    const std::string separator = kSampleSeparator;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        samples.Push(parse(text.substr(from, at - from)));
        if (at == std::string::npos) {
            break;
        }
        from = at + separator.size();
    }
    return samples;
}

// A stored evaluation's list: a number beyond the double range raises
// errc::StoredNumberOutOfRange instead of reading as no reading.
Array<FieldSample> storedSamples(const std::string& text) {
    const FieldSamples fieldSamples;
    return splitSamples(text,
                        [&](const std::string& piece) { return fieldSamples.ParseStored(piece); });
}

}  // namespace

PivotEvaluation PivotEvaluations::newEvaluation(const std::string& name) const {
    PivotEvaluation e;
    e.id = 0;
    e.name = name;
    e.pluviometer.diameter = 0;
    e.pluviometer.p_area = 0;
    return e;
}

const TableSchema& PivotEvaluations::schema() const {
    static const TableSchema table(
        "pivot_evaluations",
        std::vector<std::string>{"name", "pluviometer_diameter", "first_samples", "second_samples"},
        "id");
    return table;
}

std::string PivotEvaluations::samplesText(const Array<FieldSample>& samples) const {
    const FieldSamples fieldSamples;
    std::string text;
    for (int i = 1; i <= samples.Length(); ++i) {
        if (i > 1) {
            text += kSampleSeparator;
        }
        text += fieldSamples.serialize(samples(i));
    }
    return text;
}

Array<FieldSample> PivotEvaluations::samplesFromText(const std::string& text) const {
    const FieldSamples fieldSamples;
    return splitSamples(text, [&](const std::string& piece) { return fieldSamples.Parse(piece); });
}

Array<std::string> PivotEvaluations::Enumerate(Connection& con) {
    RecordSet rs = con.Execute(schema().selectSQL(std::nullopt, std::vector<std::string>{"name"}));
    Array<std::string> names;
    for (; !rs.IsEOF(); rs.MoveNext()) {
        names.Push(nullToText(rs.Field("name")));
    }
    return names;
}

void PivotEvaluations::save(Connection& con, PivotEvaluation& self) {
    const auto listValue = [this](const Array<FieldSample>& samples) {
        return samples.IsEmpty() ? std::string("null") : sqlQuote(samplesText(samples));
    };
    const std::vector<std::string> values{
        sqlQuote(self.name),
        self.pluviometer.diameter == 0.0 ? std::string("null")
                                         : exactNumberText(self.pluviometer.diameter),
        listValue(self.firstSample),
        listValue(self.secondSample),
    };
    if (self.id <= 0) {
        con.Execute(schema().insertSQL(values));
        self.id = lastIdentity(con);
    } else {
        con.Execute(schema().updateSQL(values, std::to_string(self.id)));
    }
}

bool PivotEvaluations::exists(Connection& con, const std::string& conditions) {
    RecordSet rs = con.Execute(schema().countSQL(conditions));
    return nullToZero(rs.Field("result")) > 0;
}

PivotEvaluation PivotEvaluations::find(Connection& con, const std::string& conditions) {
    RecordSet rs = con.Execute(schema().selectSQL(std::nullopt, std::nullopt, conditions));
    if (rs.IsEOF()) {
        Exceptions::Throw(errc::EvaluationNotFound, conditions);
    }
    PivotEvaluation e;
    e.id = static_cast<int>(rs.Field("id").AsLong());
    e.name = nullToText(rs.Field("name"));
    e.pluviometer = Pluviometros().newPluviometro(nullToZero(rs.Field("pluviometer_diameter")));
    e.firstSample = storedSamples(nullToText(rs.Field("first_samples")));
    e.secondSample = storedSamples(nullToText(rs.Field("second_samples")));
    return e;
}

void PivotEvaluations::destroy(Connection& con, const PivotEvaluation& self) {
    con.Execute(schema().deleteSQL(std::to_string(self.id)));
}

}  // namespace quarvex
