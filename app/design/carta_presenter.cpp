// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/carta_presenter.h"

#include <cmath>

#include "design/outlet_warnings.h"
#include "shell/csv.h"
#include "shell/number_text.h"

namespace kambrix {
namespace {

constexpr int kDistanceDecimals = 2;
constexpr int kDischargeDecimals = 3;  // the grid's "0.000"
constexpr int kPressureDecimals = 1;

void fillIdeal(OutletRow& row, const quarvex::pivot& p, const quarvex::saida& o, char sep) {
    row.cells[column::Span] = outletSpanLabel(p, row.at.numeroTramo);
    row.cells[column::Outlet] =
        row.at.numeroTramo == -1 ? std::string() : std::to_string(row.at.saida);
    row.cells[column::Distance] = formatDecimals(o.distanciaAoPivot, kDistanceDecimals, sep);
    row.cells[column::IdealDischarge] = formatDecimals(o.caudal, kDischargeDecimals, sep);
    row.cells[column::IdealPressure] = formatDecimals(o.pressao_ideal, kPressureDecimals, sep);
}

void fillSprinkler(OutletRow& row, const quarvex::saida& o, const quarvex::tramo* span,
                   const std::shared_ptr<quarvex::Aspersor>& asp, double discharge, char sep,
                   std::optional<double> variation) {
    if (asp) {
        row.cells[column::Nozzle] = asp->nome();
        row.cells[column::Discharge] = formatDecimals(discharge, kDischargeDecimals, sep);
        row.cells[column::Model] = asp->modelo().nome;
        row.cells[column::Manufacture] = asp->marca().nome;
    } else {
        row.cells[column::Nozzle].clear();
        row.cells[column::Discharge].clear();
        row.cells[column::Model].clear();
        row.cells[column::Manufacture].clear();
    }
    row.warnings = outletWarnings(o, span, asp.get(), variation, discharge);
    row.cells[column::Warnings] = warningText(row.warnings);
}

void fillComputed(OutletRow& row, const quarvex::saida& o, const quarvex::tramo* span, char sep,
                  std::optional<double> variation = std::nullopt) {
    row.cells[column::Pressure] = formatDecimals(o.pressao_real, kPressureDecimals, sep);
    row.cells[column::ActingPressure] = formatDecimals(o.pressao_actuante, kPressureDecimals, sep);
    fillSprinkler(row, o, span, o.obj_aspersor, o.caudal_do_aspersor, sep, variation);
}

}  // namespace

const std::vector<GridColumn>& outletGridColumns() {
    static const std::vector<GridColumn> columns = {
        {"Span", 800, false},       {"Outlet", 600, true},        {"rj (m)", 1000, true},
        {"qj (L s-1)", 1000, true}, {"Pj (kPa)", 1000, true},     {"Paj (kPa)", 1000, true},
        {"PRgj (kPa)", 1000, true}, {"Nozzle", 800, false},       {"qaj (L s-1)", 1000, true},
        {"Model", 1800, false},     {"Manufacture", 1500, false}, {"Warnings", 2200, false},
    };
    return columns;
}

int twipsToPixels(int twips, double logicalDpi) {
    return static_cast<int>(std::lround(twips * logicalDpi / kTwipsPerInch));
}

std::vector<OutletRow> buildOutletRows(const quarvex::pivot& p, char sep) {
    std::vector<OutletRow> rows;
    const auto refs = outletsInOrder(p);
    rows.reserve(refs.size());
    for (const auto& ref : refs) {
        OutletRow row;
        row.at = ref.at;
        fillIdeal(row, p, *ref.outlet, sep);
        fillComputed(row, *ref.outlet, ref.span, sep);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string outletTableCsv(const quarvex::pivot& p) {
    std::string out(kUtf8Bom);
    std::vector<std::string> heading;
    for (const auto& c : outletGridColumns()) {
        heading.push_back(c.heading);
    }
    out += csvLine(heading);
    for (const auto& row : buildOutletRows(p, '.')) {
        out += csvLine(row.cells);
    }
    return out;
}

void CartaAspersorPresenter::init(OutletGridSink* sink, char decimalSeparator) {
    sink_ = sink;
    sep_ = decimalSeparator;
    rows_.clear();
    mapper_.clear();
}

std::optional<quarvex::CoordenadasSaida> CartaAspersorPresenter::translateRowToCoordenadas(
    int row) const {
    if (row < 0 || row >= static_cast<int>(mapper_.size())) {
        return std::nullopt;
    }
    return mapper_[static_cast<std::size_t>(row)];
}

int CartaAspersorPresenter::rowOf(const quarvex::CoordenadasSaida& at) const {
    for (std::size_t i = 0; i < mapper_.size(); ++i) {
        if (mapper_[i] == at) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void CartaAspersorPresenter::buildMapper(const quarvex::pivot& p) {
    mapper_.clear();
    for (const auto& ref : outletsInOrder(p)) {
        mapper_.push_back(ref.at);
    }
    if (sink_) {
        sink_->tableReset(outletGridColumns(), rows_);
    }
}

void CartaAspersorPresenter::mostraPivotIdeal(const quarvex::pivot& p) {
    rows_.clear();
    for (const auto& ref : outletsInOrder(p)) {
        OutletRow row;
        row.at = ref.at;
        fillIdeal(row, p, *ref.outlet, sep_);
        rows_.push_back(std::move(row));
    }
}

void CartaAspersorPresenter::mostraPivotDimesionado(const quarvex::pivot& p) {
    const auto refs = outletsInOrder(p);
    if (rows_.size() != refs.size()) {
        mostraPivotIdeal(p);
    }
    for (std::size_t i = 0; i < refs.size(); ++i) {
        fillComputed(rows_[i], *refs[i].outlet, refs[i].span, sep_, variation_);
    }
}

void CartaAspersorPresenter::redrawComputed(const quarvex::pivot& p) {
    const auto refs = outletsInOrder(p);
    if (rows_.size() != refs.size()) {
        return;
    }
    for (std::size_t i = 0; i < refs.size(); ++i) {
        OutletRow row = rows_[i];
        fillComputed(row, *refs[i].outlet, refs[i].span, sep_, variation_);
        if (row.cells != rows_[i].cells || row.warnings != rows_[i].warnings) {
            rows_[i] = std::move(row);
            tell(static_cast<int>(i));
        }
    }
}

const quarvex::saida* CartaAspersorPresenter::outletAt(const quarvex::pivot& p, int row,
                                                       const quarvex::tramo** span) const {
    const auto at = translateRowToCoordenadas(row);
    if (!at || row >= static_cast<int>(rows_.size())) {
        return nullptr;
    }
    for (const auto& ref : outletsInOrder(p)) {
        if (ref.at == *at) {
            *span = ref.span;
            return ref.outlet;
        }
    }
    return nullptr;
}

void CartaAspersorPresenter::mostraAspersor(int row, const quarvex::pivot& p,
                                            const std::shared_ptr<quarvex::Aspersor>& aspersor) {
    const quarvex::tramo* span = nullptr;
    const quarvex::saida* o = outletAt(p, row, &span);
    if (!o) {
        return;
    }
    const double q = aspersor ? aspersor->calculate(o->pressao_actuante) : 0.0;
    fillSprinkler(rows_[static_cast<std::size_t>(row)], *o, span, aspersor, q, sep_, variation_);
    tell(row);
}

void CartaAspersorPresenter::limpaLinhaDeAspersor(int row, const quarvex::pivot& p) {
    mostraAspersor(row, p, nullptr);
}

void CartaAspersorPresenter::tell(int row) {
    if (sink_) {
        sink_->rowChanged(row, rows_[static_cast<std::size_t>(row)]);
    }
}

}  // namespace kambrix
