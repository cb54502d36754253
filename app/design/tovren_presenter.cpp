// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/tovren_presenter.h"

#include <algorithm>
#include <cmath>

#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

using In = AgronomicInput;

std::string boxOf(const TovrenBoxes& b, In input) {
    switch (input) {
        case In::Qfc:
            return b.Qfc;
        case In::FieldArea:
            return b.area;
        case In::HoursPerDay:
            return b.hours;
        case In::kf:
        case In::Etc:
        case In::Pe:
            return {};
        default:
            return efficiencyBoxOf(b.epa, input);
    }
}

// The decimals a value of the file needs on screen: as many as it has, at most four.
int decimalsOf(double value) {
    constexpr int kMostDecimals = 4;
    int d = 0;
    double scaled = value;
    while (d < kMostDecimals &&
           std::abs(scaled - std::round(scaled)) > 1e-9 * std::max(1.0, std::abs(scaled))) {
        scaled *= 10;
        ++d;
    }
    return d;
}

}  // namespace

const std::array<std::string, 3>& TovrenPresenter::gridHeadings() {
    static const std::array<std::string, 3> headings = {"Frequency", "Qfc(L/s/ha)", "Year"};
    return headings;
}

TovrenPresenter::TovrenPresenter(char decimalSeparator)
    : AgronomicScreenPresenter(decimalSeparator) {}

TovrenScreen TovrenPresenter::open(const std::string& connectionString, const Projecto& project) {
    TovrenAgronomics record;
    if (project.id > 0) {
        record = readFrom(connectionString, [&](quarvex::Connection& con) {
            return loadTovrenAgronomics(con, project.id);
        });
    }
    return open(project, record);
}

TovrenScreen TovrenPresenter::open(const Projecto& project, const TovrenAgronomics& record) {
    record_ = record;
    TovrenScreen s;
    s.boxes.epa = efficiencyBoxes(record.epa, separator_);
    s.boxes.Qfc = boxText(record.Qfc, separator_);
    s.boxes.area = boxText(project.areaParcela, separator_, 0.0);
    s.boxes.hours = project.horas_de_operacao_diaria != 0
                        ? boxText(project.horas_de_operacao_diaria, separator_, 0.0)
                        : boxText(record.hours_per_day, separator_);
    s.discharge = dischargeText(project.q);
    return s;
}

ImportOutcome TovrenPresenter::importFile(const std::filesystem::path& path) {
    ImportOutcome out;
    try {
        records_ = readFrequencialFile(path, separator_);
        out.imported = true;
    } catch (const AppError& e) {
        out.message = e.what();
        out.detail = e.detail();
    }
    return out;
}

std::vector<std::array<std::string, 3>> TovrenPresenter::gridRows() const {
    std::vector<std::array<std::string, 3>> rows;
    rows.reserve(records_.size());
    for (const auto& d : records_) {
        rows.push_back({formatLong(d.frequencia, separator_), formatLong(d.Qfc, separator_),
                        formatLong(d.ano, separator_)});
    }
    return rows;
}

TableData TovrenPresenter::gridTable() const {
    TableData t;
    t.columns = {"frequency", "Qfc", "year"};
    for (const auto& d : records_) {
        TableRow row;
        for (double v : {d.frequencia, d.Qfc, d.ano}) {
            row.cells.push_back(TableCell::ofNumber(v, decimalsOf(v)));
        }
        t.rows.push_back(std::move(row));
    }
    return t;
}

FrequencyPlot TovrenPresenter::frequencyPlot(const std::string& qfcBox) const {
    FrequencyPlot plot;
    for (const auto& d : curve()) {
        plot.curve.push_back({d.frequencia, d.Qfc});
    }
    const double qfc = boxValue(qfcBox, separator_);
    if (qfc == kMissing || !std::isfinite(qfc)) {
        return plot;
    }
    plot.qfc = qfc;
    for (const XYPoint& p : plot.curve) {
        if (p.y == qfc) {
            plot.chosen.push_back(p);
        }
    }
    return plot;
}

std::optional<std::string> TovrenPresenter::qfcOfRow(std::size_t row) const {
    if (row >= records_.size()) {
        return std::nullopt;
    }
    return boxText(records_[row].Qfc, separator_);
}

ResultTexts TovrenPresenter::calculateEfficiency(const EfficiencyBoxes& boxes) const {
    return efficiencyResults(readEfficiencyBoxes(boxes, separator_, record_.epa), separator_);
}

ResultTexts TovrenPresenter::computeDischarge(const TovrenBoxes& boxes) const {
    const AgronomicResult q = evaluateDischargeFromQfc(
        boxValue(boxes.Qfc, separator_), boxValue(boxes.area, separator_),
        boxValue(boxes.hours, separator_), kSchedulingFieldAreaText, separator_);
    return dischargeResults(
        q, [&](In input) { return boxOf(boxes, input); }, kSchedulingFieldAreaText);
}

SaveOutcome TovrenPresenter::save(const std::string& connectionString, SystemDocument& document,
                                  const TovrenBoxes& boxes) {
    const auto boxMessage = firstBoxMessage(
        {In::Pa, In::CU, In::Eto, In::U, In::CI, In::Oe, In::Qfc, In::FieldArea, In::HoursPerDay},
        [&](In input) { return boxOf(boxes, input); });
    TovrenAgronomics record = record_;
    record.epa = readEfficiencyBoxes(boxes.epa, separator_, record_.epa);
    record.Qfc = boxValue(boxes.Qfc, separator_);
    record.hours_per_day = boxValue(boxes.hours, separator_);
    return saveProject(
        document, boxMessage, boxValue(boxes.area, separator_), record.hours_per_day,
        [&](const Projecto& project) {
            return evaluateDischargeFromQfc(record.Qfc, project.areaParcela,
                                            project.horas_de_operacao_diaria,
                                            kSchedulingFieldAreaText, separator_);
        },
        [&](Projecto& project) {
            saveProjectWithTovren(connectionString, project, record);
            record_ = record;
        });
}

}  // namespace kambrix
