// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli design FILE [--csv]: reads a pivot design, computes it with the library and
// the chosen sprinkler strategy and prints the outlets, the end gun and the spans.
#include <quarvex/quarvex.h>
#include <zarede/zarede.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <map>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "design/automatic_package.h"
#include "design/manual_strategy.h"
#include "design/optimizer_strategy.h"
#include "design/outlet_warnings.h"
#include "design/supply.h"
#include "design_input.h"
#include "design_output.h"
#include "evaluation/indicators.h"
#include "evaluation/runoff.h"
#include "input.h"
#include "shell/errors.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;
using ojson = nlohmann::ordered_json;

// ---- reading ---------------------------------------------------------------------------

// The JSON path of a field of the object at `path` (the top level has the path "design").
std::string member(const std::string& path, const std::string& name) {
    return path + "." + name;
}

const json& field(const json& obj, const std::string& name, const std::string& path) {
    if (!obj.is_object()) {
        throw InputError(path + ": must be an object");
    }
    const auto it = obj.find(name);
    if (it == obj.end()) {
        throw InputError(member(path, name) + ": missing field");
    }
    return *it;
}

const json* optionalField(const json& obj, const std::string& name) {
    const auto it = obj.find(name);
    return it == obj.end() || it->is_null() ? nullptr : &*it;
}

double number(const json& v, const std::string& path, const Range& range) {
    if (!v.is_number()) {
        throw InputError(path + ": must be a number");
    }
    return inRange(v.get<double>(), range, path);
}

// A whole number within [lo, hi], checked before it is converted: a JSON integer may be any
// 64-bit signed or unsigned value.
std::int64_t wholeNumber(const json& v, const std::string& path, std::int64_t lo, std::int64_t hi) {
    auto refuse = [&] {
        return InputError(path + ": must be a whole number from " + std::to_string(lo) + " to " +
                          std::to_string(hi));
    };
    if (v.is_number_unsigned()) {
        const auto u = v.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(hi) || (lo > 0 && u < static_cast<std::uint64_t>(lo))) {
            throw refuse();
        }
        return static_cast<std::int64_t>(u);
    }
    if (!v.is_number_integer()) {
        throw refuse();
    }
    const auto x = v.get<std::int64_t>();
    if (x < lo || x > hi) {
        throw refuse();
    }
    return x;
}

int integer(const json& v, const std::string& path, int lo, int hi) {
    return static_cast<int>(wholeNumber(v, path, lo, hi));
}

std::string text(const json& v, const std::string& path) {
    if (!v.is_string()) {
        throw InputError(path + ": must be a text");
    }
    return v.get<std::string>();
}

bool boolean(const json& v, const std::string& path) {
    if (!v.is_boolean()) {
        throw InputError(path + ": must be true or false");
    }
    return v.get<bool>();
}

double numberAt(const json& obj, const std::string& name, const std::string& path,
                const Range& range) {
    return number(field(obj, name, path), member(path, name), range);
}
int integerAt(const json& obj, const std::string& name, const std::string& path, int lo, int hi) {
    return integer(field(obj, name, path), member(path, name), lo, hi);
}
std::string textAt(const json& obj, const std::string& name, const std::string& path) {
    return text(field(obj, name, path), member(path, name));
}
bool booleanAt(const json& obj, const std::string& name, const std::string& path) {
    return boolean(field(obj, name, path), member(path, name));
}

const json& arrayAt(const json& obj, const std::string& name, const std::string& path) {
    const json& v = field(obj, name, path);
    if (!v.is_array()) {
        throw InputError(member(path, name) + ": must be an array");
    }
    return v;
}

std::string item(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

constexpr int kLargestId = 2147483647;

quarvex::tramo readSpan(const json& s, const std::string& path) {
    namespace r = ranges;
    const int id = integerAt(s, "id", path, 0, kLargestId);
    const std::string name = textAt(s, "denominacion", path);
    const double length = numberAt(s, "longitude", path, r::kSpanLength);
    const double diameter = numberAt(s, "diametro", path, r::kPipeDiameter);
    const double spacing = numberAt(s, "separationSaidas_cm", path, r::kOutletSpacing);
    try {
        return quarvex::statics().Tramos().newTramo(id, name, length, diameter, spacing);
    } catch (const quarvex::Error& e) {
        throw InputError(path + ": " + e.what() + " (error " + std::to_string(e.number()) + ")");
    }
}

void readPivot(const json& root, DesignInput& in) {
    namespace r = ranges;
    auto& st = quarvex::statics();
    const json& p = field(root, "pivot", "design");
    const std::string path = "pivot";
    in.pivot = st.newPivot();
    in.pivot.caudal = numberAt(p, "caudal", path, r::kDischarge);
    in.pivot.presion = numberAt(p, "presion", path, r::kPressure);
    in.pivot.rugosidad = numberAt(p, "rugosidad", path, r::kRoughness);
    in.pivot.cota = numberAt(p, "cota", path, r::kElevation);
    quarvex::Array<quarvex::tramo> spans;
    quarvex::Array<double> heights;
    const json& list = arrayAt(p, "spans", path);
    const std::string spansPath = member(path, "spans");
    if (list.empty() || list.size() > static_cast<std::size_t>(quarvex::kMaxSpans)) {
        throw InputError(spansPath + ": a pivot has from 1 to " +
                         std::to_string(quarvex::kMaxSpans) + " spans, not " +
                         std::to_string(list.size()));
    }
    long outlets = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string sp = item(spansPath, i);
        quarvex::tramo t = readSpan(list[i], sp);
        const double end = numberAt(list[i], "endCota", sp, r::kElevation);
        t.cota = end;
        // Counted as the spans come, so that a file of many long spans is refused before
        // all of them are built.
        outlets += t.Saidas.Length();
        if (outlets > quarvex::kMaxOutlets) {
            throw InputError(sp + ": the spans up to here have " + std::to_string(outlets) +
                             " outlets; a pivot has at most " +
                             std::to_string(quarvex::kMaxOutlets));
        }
        spans.Push(std::move(t));
        heights.Push(end);
    }
    st.Pivots().setFixedSpans(in.pivot, spans, heights);
    if (const json* oh = optionalField(p, "overhang")) {
        const std::string op = member(path, "overhang");
        const quarvex::tramo overhang = readSpan(*oh, op);
        try {
            st.Pivots().setOverhangSpan(in.pivot, overhang);
        } catch (const quarvex::Error& e) {
            throw InputError(op + ": " + e.what() + " (error " + std::to_string(e.number()) + ")");
        }
    }
    if (const json* gun = optionalField(p, "endGun")) {
        st.Pivots().setEndGun(
            in.pivot, st.Gun().newGun(numberAt(*gun, "rs", member(path, "endGun"), r::kGunRadius)));
    }
}

void readCatalogue(const json& root, DesignInput& in) {
    namespace r = ranges;
    auto& aspersores = quarvex::statics().Aspersores();
    const json& list = arrayAt(root, "catalogue", "design");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string path = item("catalogue", i);
        const json& c = list[i];
        const int id = integerAt(c, "id", path, 0, kLargestId);
        quarvex::modelo m;
        m.nome = textAt(c, "modelo", path);
        m.marca.nome = textAt(c, "marca", path);
        const std::string nome = textAt(c, "nome", path);
        const double a = numberAt(c, "a", path, r::kNozzleCoefficient);
        const double b = numberAt(c, "b", path, r::kNozzleExponent);
        const double pmin = numberAt(c, "pmin", path, r::kPressure);
        const double pmax = numberAt(c, "pmax", path, r::kPressure);
        const double qmin = numberAt(c, "qmin", path, r::kNozzleDischarge);
        const double qmax = numberAt(c, "qmax", path, r::kNozzleDischarge);
        if (pmin > pmax) {
            throw InputError(member(path, "pmin") + ": must not exceed pmax");
        }
        if (qmin > qmax) {
            throw InputError(member(path, "qmin") + ": must not exceed qmax");
        }
        std::shared_ptr<quarvex::Aspersor> asp;
        try {
            asp = aspersores.newAspersor(nome, a, b, pmin, pmax, qmin, qmax, m);
        } catch (const quarvex::Error& e) {
            throw InputError(path + ": " + e.what() + " (error " + std::to_string(e.number()) +
                             ")");
        }
        if (!in.byId.emplace(id, asp).second) {
            throw InputError(member(path, "id") + ": the id " + std::to_string(id) +
                             " is repeated");
        }
        in.idOf[asp.get()] = id;
        in.catalogue.Add(asp);
    }
}

// The outlet a chart entry names must exist on the pivot: a fixed span's or the overhang's
// outlet, or the end gun (-1, -1) when one is fitted.
quarvex::CoordenadasSaida outletAt(const json& n, const std::string& path,
                                   const quarvex::pivot& p) {
    const int spans = p.Tramos.Length() + (p.p_has_overhang ? 1 : 0);
    const int tramo = integerAt(n, "tramo", path, -1, spans);
    const quarvex::tramo* span = nullptr;
    if (tramo == -1) {
        if (!p.p_has_end_gun) {
            throw InputError(member(path, "tramo") + ": -1 is the end gun, and the pivot has none");
        }
        integerAt(n, "saida", path, -1, -1);
    } else if (tramo == 0) {
        throw InputError(member(path, "tramo") + ": spans are numbered from 1");
    } else {
        span = tramo <= p.Tramos.Length() ? &p.Tramos(tramo) : &p.tramoVOladizo;
        if (span->Saidas.Length() == 0) {
            throw InputError(member(path, "tramo") + ": span " + std::to_string(tramo) +
                             " has no outlets");
        }
    }
    const int saida = span ? integerAt(n, "saida", path, 1, span->Saidas.Length()) : -1;
    return quarvex::statics().CoordenadasSaidas().newTramoCoordenadas(tramo, saida);
}

void readChart(const json& root, DesignInput& in) {
    namespace r = ranges;
    auto& st = quarvex::statics();
    const json* chart = optionalField(root, "chart");
    if (!chart) {
        return;
    }
    const std::string path = "chart";
    if (!chart->is_object()) {
        throw InputError("chart: must be an object");
    }
    if (optionalField(*chart, "nozzles")) {
        const json& list = arrayAt(*chart, "nozzles", path);
        const std::string listPath = member(path, "nozzles");
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string np = item(listPath, i);
            NozzleAt n;
            n.at = outletAt(list[i], np, in.pivot);
            n.id = integerAt(list[i], "id", np, 0, kLargestId);
            n.path = member(np, "id");
            in.nozzles.push_back(n);
        }
    }
    if (const json* b = optionalField(*chart, "endGunBoost")) {
        in.endGunBoost = number(*b, member(path, "endGunBoost"), r::kBoost);
    }
    in.regulators = std::make_shared<quarvex::Reguladores>();
    if (optionalField(*chart, "regulators")) {
        const json& list = arrayAt(*chart, "regulators", path);
        const int spans = in.pivot.Tramos.Length() + (in.pivot.p_has_overhang ? 1 : 0);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string rp = item(member(path, "regulators"), i);
            const json& g = list[i];
            const int tramo = integerAt(g, "tramo", rp, 1, spans);
            const double pression = numberAt(g, "pression", rp, r::kPressure);
            const double qmax = numberAt(g, "caudal_max", rp, r::kRegulatorDischarge);
            const double qmin = numberAt(g, "caudal_min", rp, r::kRegulatorDischarge);
            if (qmin > qmax) {
                throw InputError(member(rp, "caudal_min") + ": must not exceed caudal_max");
            }
            in.regulators->Add(st.newReguladorPression(tramo, pression, qmax, qmin,
                                                       booleanAt(g, "installed", rp)));
        }
    }
    if (const json* d = optionalField(*chart, "drop")) {
        const std::string dp = member(path, "drop");
        quarvex::PipeMaterial material;
        material.id = 1;
        // Range-checked as a number first, so the conversion to int is always defined.
        const double c = numberAt(*d, "rugosidade", dp, r::kDropRoughness);
        if (c != std::floor(c)) {
            throw InputError(member(dp, "rugosidade") + ": must be a whole number");
        }
        material.rugosidade = static_cast<int>(c);
        quarvex::Drop drop =
            st.Drops().newDrop(numberAt(*d, "diametro", dp, r::kDropDiameter),
                               numberAt(*d, "longitud", dp, r::kDropLength), material);
        drop.p_installed = booleanAt(*d, "installed", dp);
        in.drop = drop;
    }
    if (const json* ind = optionalField(*chart, "indicadores")) {
        const std::string ip = member(path, "indicadores");
        in.indicadores = st.newIndicadores(
            numberAt(*ind, "horasRevolucao", ip, r::kRevolutionHours),
            integerAt(*ind, "numeroSaidasObturadas", ip, 0, quarvex::kMaxOutlets));
    }
    if (const json* pl = optionalField(*chart, "pluviometria")) {
        const std::string pp = member(path, "pluviometria");
        auto sample = [&](const char* name, const char* code) {
            const json& s = field(*pl, name, pp);
            const std::string sp = member(pp, name);
            return st.newPivotSample(numberAt(s, "distanceToCenter", sp, r::kPointDistance),
                                     numberAt(s, "wetDiameter", sp, r::kWetDiameter), code);
        };
        quarvex::PluviometryCheck check;
        check.firstSample = sample("first", "first_sample");
        check.secondSample = sample("second", "second_sample");
        check.kostiakov = st.newKostiakovParameters(numberAt(*pl, "k", pp, r::kKostiakovK),
                                                    numberAt(*pl, "a", pp, r::kKostiakovA));
        in.pluviometria = check;
    }
}

void readSupply(const json& root, DesignInput& in) {
    namespace r = ranges;
    const json* node = optionalField(root, "supply");
    if (!node) {
        return;
    }
    const std::string path = "supply";
    if (!node->is_object()) {
        throw InputError(path + ": must be an object");
    }
    Supply s;
    if (optionalField(*node, "pump")) {
        const json& rows = arrayAt(*node, "pump", path);
        const std::string rowsPath = member(path, "pump");
        if (rows.size() > kMaxPumpRows) {
            throw InputError(rowsPath + ": at most " + std::to_string(kMaxPumpRows) +
                             " rows are taken, not " + std::to_string(rows.size()));
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string rp = item(rowsPath, i);
            if (!rows[i].is_array() || rows[i].size() != 2) {
                throw InputError(rp + ": must be a pair [discharge L/s, pressure kPa]");
            }
            s.pump.push_back({number(rows[i][0], rp + "[0]", r::kPumpDischarge),
                              number(rows[i][1], rp + "[1]", r::kPumpPressure)});
        }
    }
    if (const json* lift = optionalField(*node, "lift")) {
        s.line.lift = number(*lift, member(path, "lift"), r::kLift);
    }
    if (const json* line = optionalField(*node, "line")) {
        const std::string lp = member(path, "line");
        s.line.length = numberAt(*line, "length", lp, r::kLineLength);
        s.line.diametro = numberAt(*line, "diametro", lp, r::kLineDiameter);
        s.line.rugosidad = numberAt(*line, "rugosidad", lp, r::kRoughness);
    }
    if (const json* m = optionalField(*node, "measured")) {
        const std::string mp = member(path, "measured");
        s.measured = MeasuredSupply{numberAt(*m, "presion", mp, r::kMeasuredPressure),
                                    numberAt(*m, "caudal", mp, r::kMeasuredDischarge)};
    }
    if (const json* w = optionalField(*node, "nozzleWear")) {
        s.nozzleWear = number(*w, member(path, "nozzleWear"), r::kNozzleWear);
    }
    if (const auto problem = supplyProblem(s)) {
        throw InputError(path + ": " + *problem);
    }
    in.supply = std::move(s);
}

}  // namespace

DesignInput readDesign(const json& root) {
    if (!root.is_object()) {
        throw InputError("the design must be a JSON object");
    }
    DesignInput in;
    readPivot(root, in);
    readCatalogue(root, in);
    const std::string mode = textAt(root, "mode", "design");
    if (mode == "manual") {
        in.manual = true;
    } else if (mode != "auto") {
        throw InputError("design.mode: must be \"auto\" or \"manual\", not \"" + mode + "\"");
    }
    readChart(root, in);
    readSupply(root, in);
    if (!in.regulators) {
        in.regulators = std::make_shared<quarvex::Reguladores>();
    }
    return in;
}

namespace {

// ---- computing -------------------------------------------------------------------------

// The settings of the automatic package from a design input: its catalogue, regulators,
// drop (checked and installed as the manual chart installs it), boost and tab values.
PackageSettings packageSettingsOf(const DesignInput& in) {
    PackageSettings s;
    s.nozzles = in.catalogue;
    s.regulators = in.regulators;
    if (in.drop) {
        quarvex::Drop d = *in.drop;
        if (d.p_installed) {
            d.p_installed = false;
            quarvex::statics().Drops().Install(d);
        }
        s.drop = d;
    }
    s.endGunBoost = in.endGunBoost.value_or(0);
    if (in.indicadores) {
        s.indicadores = *in.indicadores;
    }
    if (in.pluviometria) {
        s.pluviometria = *in.pluviometria;
    }
    return s;
}

std::shared_ptr<quarvex::PivotWrapper> makeWrapper(const DesignInput& in) {
    auto& st = quarvex::statics();
    std::shared_ptr<quarvex::CalculosStrategy> strategy;
    if (in.manual) {
        auto manual = std::make_shared<ManualStrategy>();
        for (const auto& n : in.nozzles) {
            const auto it = in.byId.find(n.id);
            if (it == in.byId.end()) {
                throw InputError(n.path + ": the nozzle id " + std::to_string(n.id) +
                                 " is not in the catalogue");
            }
            manual->addAspersorAt(n.at, it->second);
        }
        strategy = manual;
    } else {
        strategy = std::make_shared<OptimzerStrategy>();
    }
    auto wrapper = st.newPivotWrapper(in.pivot, strategy);
    wrapper->setAvaillableAspersores(in.catalogue);
    wrapper->aplicaReguladores(in.regulators);
    if (in.drop) {
        quarvex::Drop d = *in.drop;
        const bool install = d.p_installed;
        d.p_installed = false;
        wrapper->setDrop(d);
        if (install) {
            wrapper->installDrop();
        }
    }
    if (in.endGunBoost) {
        wrapper->setEndGunBoost(*in.endGunBoost);
    }
    if (in.indicadores) {
        wrapper->setIndicadores(*in.indicadores);
        wrapper->setTimeForCompleteRevolution(in.indicadores->horasRevolucao);
    }
    if (in.pluviometria) {
        wrapper->setPluviometriaCheck(*in.pluviometria);
    }
    return wrapper;
}

// ---- writing ---------------------------------------------------------------------------

const char* convergedBy(quarvex::Convergence c) {
    switch (c) {
        case quarvex::Convergence::Plain:
            return "plain";
        case quarvex::Convergence::Safeguarded:
            return "safeguarded";
        case quarvex::Convergence::None:
            break;
    }
    return "none";
}

ojson pair(const quarvex::ParPressaoCaudal& p) {
    ojson j;
    j["pressao"] = p.pressao;
    j["caudal"] = p.caudal;
    return j;
}

ojson outletJson(const quarvex::saida& o, int tramo, int saida, const DesignInput& in) {
    ojson j;
    j["tramo"] = tramo;
    j["saida"] = saida;
    j["distanciaAoPivot"] = o.distanciaAoPivot;
    j["cota"] = o.cota;
    j["caudal"] = o.caudal;
    j["pressao_ideal"] = o.pressao_ideal;
    j["pressao_real"] = o.pressao_real;
    j["pressao_actuante"] = o.pressao_actuante;
    j["caudal_do_aspersor"] = o.caudal_do_aspersor;
    if (o.obj_aspersor) {
        const auto it = in.idOf.find(o.obj_aspersor.get());
        j["aspersor_id"] = it != in.idOf.end() ? ojson(it->second) : ojson(o.obj_aspersor->id());
        j["aspersor"] = o.obj_aspersor->nome();
    } else {
        j["aspersor_id"] = nullptr;
        j["aspersor"] = "";
    }
    j["over_pressure"] = o.over_pressure;
    return j;
}

template <class F>
void forEachOutlet(const quarvex::pivot& p, F&& f) {
    const int n = p.Tramos.Length();
    for (int i = 1; i <= n; ++i) {
        for (int k = 1; k <= p.Tramos(i).Saidas.Length(); ++k) {
            f(p.Tramos(i).Saidas(k), i, k);
        }
    }
    if (p.p_has_overhang) {
        for (int k = 1; k <= p.tramoVOladizo.Saidas.Length(); ++k) {
            f(p.tramoVOladizo.Saidas(k), n + 1, k);
        }
    }
}

// The result document of a computed design. Further sections (indicators, runoff) are
// added here from the wrapper and the input.
ojson designResult(const quarvex::PivotWrapper& w, const DesignInput& in) {
    const quarvex::pivot& p = w.pivot();
    ojson out;
    ojson outlets = ojson::array();
    forEachOutlet(p, [&](const quarvex::saida& o, int i, int k) {
        outlets.push_back(outletJson(o, i, k, in));
    });
    out["outlets"] = std::move(outlets);
    if (p.p_has_end_gun) {
        out["endGun"] = outletJson(p.endGun.saida, -1, -1, in);
    }
    ojson spans = ojson::array();
    auto span = [&](const quarvex::tramo& t, int number) {
        ojson j;
        j["tramo"] = number;
        j["ideal_entry"] = pair(t.ideal_entry_conditions);
        j["ideal_exit"] = pair(t.ideal_exit_conditions);
        j["entry"] = pair(t.entry_conditions);
        j["exit"] = pair(t.exit_condition);
        j["perdaDeCargaIdeal"] = t.perdaDeCargaIdeal;
        spans.push_back(std::move(j));
    };
    for (int i = 1; i <= p.Tramos.Length(); ++i) {
        span(p.Tramos(i), i);
    }
    if (p.p_has_overhang) {
        span(p.tramoVOladizo, p.Tramos.Length() + 1);
    }
    out["spans"] = std::move(spans);
    out["caudaDaCartaAssociada"] = p.caudaDaCartaAssociada;
    out["iterations"] = w.lastIterations();
    out["converged_by"] = convergedBy(w.lastConvergence());
    return out;
}

// Shortest text that reads back as the same double.
std::string csvNumber(double x) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

std::string csvText(const std::string& s) {
    if (s.find_first_of(",\"\n") == std::string::npos) {
        return s;
    }
    std::string q = "\"";
    for (char c : s) {
        q += c;
        if (c == '"') {
            q += '"';
        }
    }
    return q + "\"";
}

void writeCsv(std::ostream& out, const quarvex::PivotWrapper& w, const DesignInput& in) {
    out << "tramo,saida,distanciaAoPivot,cota,caudal,pressao_ideal,pressao_real,"
           "pressao_actuante,caudal_do_aspersor,aspersor_id,aspersor,over_pressure\n";
    auto row = [&](const quarvex::saida& o, int i, int k) {
        const ojson j = outletJson(o, i, k, in);
        out << i << ',' << k << ',' << csvNumber(o.distanciaAoPivot) << ',' << csvNumber(o.cota)
            << ',' << csvNumber(o.caudal) << ',' << csvNumber(o.pressao_ideal) << ','
            << csvNumber(o.pressao_real) << ',' << csvNumber(o.pressao_actuante) << ','
            << csvNumber(o.caudal_do_aspersor) << ','
            << (j["aspersor_id"].is_null() ? std::string() : j["aspersor_id"].dump()) << ','
            << csvText(j["aspersor"].get<std::string>()) << ','
            << (o.over_pressure ? "true" : "false") << '\n';
    };
    forEachOutlet(w.pivot(), row);
    if (w.pivot().p_has_end_gun) {
        row(w.pivot().endGun.saida, -1, -1);
    }
}

// "indicators" (when the revolution time is above 0) and "runoff" (when a pluviometry check
// is given) of the computed chart. A refused input throws InputError with the message.
ojson evaluationSections(quarvex::PivotWrapper& w, const DesignInput& in, std::ostream& err,
                         const std::string& who) {
    ojson extra = ojson::object();
    const auto nullable = [](const std::optional<double>& v) {
        return v ? ojson(*v) : ojson(nullptr);
    };
    const double hours = in.indicadores ? in.indicadores->horasRevolucao : 0.0;
    if (in.indicadores && hours > 0) {
        const auto r = kambrix::computeIndicators(w, hours, in.indicadores->numeroSaidasObturadas);
        for (const auto& p : r.problems) {
            err << who << ": " << p << '\n';
        }
        extra["indicators"] = ojson{{"UD", nullable(r.UD)},
                                    {"CU", nullable(r.CU)},
                                    {"expectedDepth", r.expectedDepth},
                                    {"averageDepth", r.averageDepth}};
    }
    if (in.pluviometria) {
        const auto r = kambrix::computeRunoff(w, *in.pluviometria, hours);
        if (r.failure) {
            throw InputError(*r.failure);
        }
        for (const auto& p : r.problems) {
            err << who << ": " << p << '\n';
        }
        extra["runoff"] = ojson{{"ellipse1", nullable(r.area1)}, {"ellipse2", nullable(r.area2)}};
    }
    return extra;
}

// "operatingPoint", "cases" and "measured" of a design given with its supply.
ojson supplySections(const SupplyAnalysis& a, const Supply& supply) {
    const auto nullable = [](const std::optional<double>& v) {
        return v ? ojson(*v) : ojson(nullptr);
    };
    const auto point = [](const OperatingPoint& p) {
        ojson j;
        j["caudal"] = p.found ? ojson(p.caudal) : ojson(nullptr);
        j["presion"] = p.found ? ojson(p.presion) : ojson(nullptr);
        j["found"] = p.found;
        if (!p.found) {
            j["reason"] = p.reason;
        }
        return j;
    };
    ojson out = ojson::object();
    if (supply.pump.empty()) {
        out["operatingPoint"] = ojson{{"caudal", nullptr},
                                      {"presion", nullptr},
                                      {"found", false},
                                      {"reason", "no pump curve given"}};
    } else {
        out["operatingPoint"] = point(a.cases.front().point);
    }
    ojson cases = ojson::array();
    for (const SupplyCase& c : a.cases) {
        ojson row;
        row["name"] = c.name;
        row.update(point(c.point));
        row["UD"] = nullable(c.UD);
        row["CU"] = nullable(c.CU);
        row["depth"] = nullable(c.depth);
        row["lowestSprinklerPressure"] = nullable(c.lowestSprinklerPressure);
        row["starvedRegulators"] = c.starvedRegulators;
        row["settled"] = c.settled;
        row["problems"] = c.problems;
        cases.push_back(std::move(row));
    }
    out["cases"] = std::move(cases);
    if (a.measured) {
        const MeasuredCheck& m = *a.measured;
        out["measured"] = ojson{
            {"presion", m.measured.presion},
            {"caudal", m.measured.caudal},
            {"chartDischarge", m.chartDischarge},
            {"differencePercent",
             std::isfinite(m.differencePercent) ? ojson(m.differencePercent) : ojson(nullptr)},
            {"meaning", m.meaning}};
    }
    return out;
}

void write(std::ostream& out, bool csv, const quarvex::PivotWrapper& w, const DesignInput& in,
           const ojson& extra = ojson::object()) {
    if (csv) {
        writeCsv(out, w, in);
    } else {
        ojson doc = designResult(w, in);
        doc.update(extra);
        out << doc.dump(2) << '\n';
    }
}

}  // namespace

int runDesignText(const std::string& text, const std::string& source, bool csv, std::ostream& out,
                  std::ostream& err) {
    auto report = [&](const std::string& message) {
        err << "design: " << oneLine(message) << '\n';
        return kExitBadInput;
    };
    auto numbered = [](const std::exception& e, std::int32_t number) {
        return std::string(e.what()) + " (error " + std::to_string(number) + ")";
    };
    // Nothing is printed until the whole result is ready, so a failure is one line alone.
    std::ostringstream doc;
    std::ostringstream notes;
    try {
        const json root = parseJsonDocument(text, source);
        DesignInput in = readDesign(root);
        std::shared_ptr<quarvex::PivotWrapper> wrapper;
        if (in.manual) {
            wrapper = makeWrapper(in);
            try {
                wrapper->calculate();
            } catch (const quarvex::Error& e) {
                if (e.number() != quarvex::errc::ComputationDidNotConverge) {
                    throw;
                }
                write(doc, csv, *wrapper, in);
                out << doc.str();
                err << "design: " << oneLine(numbered(e, e.number()))
                    << "; the output holds the last pass\n";
                return kExitNotConverged;
            }
        } else {
            // The workbench's and the comparison's automatic package, on one path.
            const PackageResult r = computeAutomaticPackage(in.pivot, packageSettingsOf(in));
            wrapper = r.wrapper;
            if (in.indicadores) {
                wrapper->setTimeForCompleteRevolution(in.indicadores->horasRevolucao);
            }
            if (!r.settled) {
                write(doc, csv, *wrapper, in);
                out << doc.str();
                err << "design: " << oneLine(kNotSettledMessage)
                    << "; the output holds the last pass\n";
                return kExitNotConverged;
            }
        }
        // With a supply, the outlets are those of the machine at its operating point (the
        // first case), the cases and the measured check beside them.
        ojson supplied = ojson::object();
        if (in.supply) {
            ChartSetup setup{in.pivot, wrapper->carta(), packageSettingsOf(in)};
            const SupplyAnalysis a = analyseSupply(setup, *in.supply);
            if (!in.supply->pump.empty() && a.cases.front().wrapper) {
                wrapper = a.cases.front().wrapper;
            }
            supplied = supplySections(a, *in.supply);
        }
        ojson extra = evaluationSections(*wrapper, in, notes, "design");
        extra.update(supplied);
        write(doc, csv, *wrapper, in, extra);
    } catch (const AppError& e) {
        return report(numbered(e, e.number()));
    } catch (const InputError& e) {
        return report(e.what());
    } catch (const quarvex::Error& e) {
        return report(numbered(e, e.number()));
    } catch (const zarede::Error& e) {
        return report(numbered(e, e.number()));
    } catch (const json::exception& e) {
        return report(jsonText(e));
    } catch (const std::bad_alloc&) {
        return report("not enough memory for this design");
    } catch (const std::exception& e) {
        return report(e.what());
    }
    err << notes.str();
    out << doc.str();
    return kExitOk;
}

int runDesign(const std::string& file, bool csv, std::ostream& out, std::ostream& err) {
    std::string text;
    try {
        text = readInputFile(file);
    } catch (const std::exception& e) {
        err << "design: " << oneLine(e.what()) << '\n';
        return kExitBadInput;
    }
    return runDesignText(text, file, csv, out, err);
}

int writeDesignOutput(const ComputedDesign& computed, bool csv, const std::string& who,
                      std::ostream& out, std::ostream& err) {
    DesignInput in;
    in.indicadores = computed.indicadores;
    in.pluviometria = computed.pluviometria;
    std::ostringstream doc;
    if (computed.notSettled) {
        write(doc, csv, *computed.wrapper, in);
        out << doc.str();
        err << who << ": " << oneLine(*computed.notSettled) << "; the output holds the last pass\n";
        return kExitNotConverged;
    }
    // As `design`: nothing is printed until the whole result is ready.
    std::ostringstream notes;
    try {
        const ojson extra = evaluationSections(*computed.wrapper, in, notes, who);
        write(doc, csv, *computed.wrapper, in, extra);
    } catch (const quarvex::Error& e) {
        err << who << ": " << oneLine(e.what()) << " (error " << e.number() << ")\n";
        return kExitBadInput;
    } catch (const std::exception& e) {
        err << who << ": " << oneLine(e.what()) << '\n';
        return kExitBadInput;
    }
    err << notes.str();
    out << doc.str();
    return kExitOk;
}

}  // namespace kambrix::cli
