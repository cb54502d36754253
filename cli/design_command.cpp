// SPDX-License-Identifier: GPL-3.0-or-later
//
// kambrix-cli design FILE [--csv]: reads a pivot design, computes it with the library and
// the chosen sprinkler strategy and prints the outlets, the end gun and the spans.
#include <quarvex/quarvex.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "design/manual_strategy.h"
#include "design/optimizer_strategy.h"
#include "design_output.h"
#include "evaluation/indicators.h"
#include "evaluation/runoff.h"

namespace kambrix::cli {
namespace {

using json = nlohmann::json;
using ojson = nlohmann::ordered_json;

// A problem with the input, named by the field it concerns.
class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// ---- reading ---------------------------------------------------------------------------

const json& field(const json& obj, const std::string& name, const std::string& path) {
    if (!obj.is_object()) {
        throw InputError(path + ": must be an object");
    }
    const auto it = obj.find(name);
    if (it == obj.end()) {
        throw InputError(path + "." + name + ": missing field");
    }
    return *it;
}

const json* optionalField(const json& obj, const std::string& name) {
    const auto it = obj.find(name);
    return it == obj.end() || it->is_null() ? nullptr : &*it;
}

double number(const json& v, const std::string& path) {
    if (!v.is_number()) {
        throw InputError(path + ": must be a number");
    }
    return v.get<double>();
}

int integer(const json& v, const std::string& path) {
    if (!v.is_number_integer()) {
        throw InputError(path + ": must be an integer");
    }
    const auto x = v.get<std::int64_t>();
    if (x < -32768 || x > 2147483647) {
        throw InputError(path + ": out of range");
    }
    return static_cast<int>(x);
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

double numberAt(const json& obj, const std::string& name, const std::string& path) {
    return number(field(obj, name, path), path + "." + name);
}
int integerAt(const json& obj, const std::string& name, const std::string& path) {
    return integer(field(obj, name, path), path + "." + name);
}
std::string textAt(const json& obj, const std::string& name, const std::string& path) {
    return text(field(obj, name, path), path + "." + name);
}
bool booleanAt(const json& obj, const std::string& name, const std::string& path) {
    return boolean(field(obj, name, path), path + "." + name);
}

const json& arrayAt(const json& obj, const std::string& name, const std::string& path) {
    const json& v = field(obj, name, path);
    if (!v.is_array()) {
        throw InputError(path + "." + name + ": must be an array");
    }
    return v;
}

struct NozzleAt {
    quarvex::CoordenadasSaida at;
    int id = 0;
    std::string path;
};

// Everything a design file holds.
struct DesignInput {
    quarvex::pivot pivot;
    quarvex::AspersorList catalogue;
    std::map<int, std::shared_ptr<quarvex::Aspersor>> byId;
    std::map<const quarvex::Aspersor*, int> idOf;
    bool manual = false;
    std::vector<NozzleAt> nozzles;
    std::optional<double> endGunBoost;
    std::shared_ptr<quarvex::Reguladores> regulators;
    std::optional<quarvex::Drop> drop;
    std::optional<quarvex::indicadores> indicadores;
    std::optional<quarvex::PluviometryCheck> pluviometria;
};

quarvex::tramo readSpan(const json& s, const std::string& path) {
    return quarvex::statics().Tramos().newTramo(
        integerAt(s, "id", path), textAt(s, "denominacion", path), numberAt(s, "longitude", path),
        numberAt(s, "diametro", path), numberAt(s, "separationSaidas_cm", path));
}

void readPivot(const json& root, DesignInput& in) {
    auto& st = quarvex::statics();
    const json& p = field(root, "pivot", "design");
    const std::string path = "pivot";
    in.pivot = st.newPivot();
    in.pivot.caudal = numberAt(p, "caudal", path);
    in.pivot.presion = numberAt(p, "presion", path);
    in.pivot.rugosidad = numberAt(p, "rugosidad", path);
    in.pivot.cota = numberAt(p, "cota", path);
    quarvex::Array<quarvex::tramo> spans;
    quarvex::Array<double> heights;
    const json& list = arrayAt(p, "spans", path);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string sp = path + ".spans[" + std::to_string(i) + "]";
        quarvex::tramo t = readSpan(list[i], sp);
        const double end = numberAt(list[i], "endCota", sp);
        t.cota = end;
        spans.Push(t);
        heights.Push(end);
    }
    st.Pivots().setFixedSpans(in.pivot, spans, heights);
    if (const json* oh = optionalField(p, "overhang")) {
        st.Pivots().setOverhangSpan(in.pivot, readSpan(*oh, path + ".overhang"));
    }
    if (const json* gun = optionalField(p, "endGun")) {
        st.Pivots().setEndGun(in.pivot, st.Gun().newGun(numberAt(*gun, "rs", path + ".endGun")));
    }
}

void readCatalogue(const json& root, DesignInput& in) {
    auto& aspersores = quarvex::statics().Aspersores();
    const json& list = arrayAt(root, "catalogue", "design");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string path = "catalogue[" + std::to_string(i) + "]";
        const json& c = list[i];
        const int id = integerAt(c, "id", path);
        quarvex::modelo m;
        m.nome = textAt(c, "modelo", path);
        m.marca.nome = textAt(c, "marca", path);
        std::shared_ptr<quarvex::Aspersor> asp;
        try {
            asp = aspersores.newAspersor(textAt(c, "nome", path), numberAt(c, "a", path),
                                         numberAt(c, "b", path), numberAt(c, "pmin", path),
                                         numberAt(c, "pmax", path), numberAt(c, "qmin", path),
                                         numberAt(c, "qmax", path), m);
        } catch (const quarvex::Error& e) {
            throw InputError(path + ": " + e.what() + " (error " + std::to_string(e.number()) +
                             ")");
        }
        if (!in.byId.emplace(id, asp).second) {
            throw InputError(path + ".id: the id " + std::to_string(id) + " is repeated");
        }
        in.idOf[asp.get()] = id;
        in.catalogue.Add(asp);
    }
}

void readChart(const json& root, DesignInput& in) {
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
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string np = path + ".nozzles[" + std::to_string(i) + "]";
            NozzleAt n;
            n.at = st.CoordenadasSaidas().newTramoCoordenadas(integerAt(list[i], "tramo", np),
                                                              integerAt(list[i], "saida", np));
            n.id = integerAt(list[i], "id", np);
            n.path = np + ".id";
            in.nozzles.push_back(n);
        }
    }
    if (const json* b = optionalField(*chart, "endGunBoost")) {
        in.endGunBoost = number(*b, path + ".endGunBoost");
    }
    in.regulators = std::make_shared<quarvex::Reguladores>();
    if (optionalField(*chart, "regulators")) {
        const json& list = arrayAt(*chart, "regulators", path);
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string rp = path + ".regulators[" + std::to_string(i) + "]";
            const json& r = list[i];
            in.regulators->Add(st.newReguladorPression(
                integerAt(r, "tramo", rp), numberAt(r, "pression", rp),
                numberAt(r, "caudal_max", rp), numberAt(r, "caudal_min", rp),
                booleanAt(r, "installed", rp)));
        }
    }
    if (const json* d = optionalField(*chart, "drop")) {
        const std::string dp = path + ".drop";
        quarvex::PipeMaterial material;
        material.id = 1;
        const double c = numberAt(*d, "rugosidade", dp);
        material.rugosidade = static_cast<int>(c);
        if (material.rugosidade != c) {
            throw InputError(dp + ".rugosidade: must be a whole number");
        }
        quarvex::Drop drop = st.Drops().newDrop(numberAt(*d, "diametro", dp),
                                                numberAt(*d, "longitud", dp), material);
        drop.p_installed = booleanAt(*d, "installed", dp);
        in.drop = drop;
    }
    if (const json* ind = optionalField(*chart, "indicadores")) {
        const std::string ip = path + ".indicadores";
        in.indicadores = st.newIndicadores(numberAt(*ind, "horasRevolucao", ip),
                                           integerAt(*ind, "numeroSaidasObturadas", ip));
    }
    if (const json* pl = optionalField(*chart, "pluviometria")) {
        const std::string pp = path + ".pluviometria";
        auto sample = [&](const char* name, const char* code) {
            const json& s = field(*pl, name, pp);
            const std::string sp = pp + "." + name;
            return st.newPivotSample(numberAt(s, "distanceToCenter", sp),
                                     numberAt(s, "wetDiameter", sp), code);
        };
        quarvex::PluviometryCheck check;
        check.firstSample = sample("first", "first_sample");
        check.secondSample = sample("second", "second_sample");
        check.kostiakov = st.newKostiakovParameters(numberAt(*pl, "k", pp), numberAt(*pl, "a", pp));
        in.pluviometria = check;
    }
}

DesignInput readDesign(const json& root) {
    if (!root.is_object()) {
        throw InputError("design: must be a JSON object");
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
    if (!in.regulators) {
        in.regulators = std::make_shared<quarvex::Reguladores>();
    }
    return in;
}

// ---- computing -------------------------------------------------------------------------

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

// The indicator and runoff sections, then the document (or the CSV table).
int writeComputed(quarvex::PivotWrapper& w, const DesignInput& in, bool csv, const std::string& who,
                  std::ostream& out, std::ostream& err) {
    ojson extra;
    try {
        extra = evaluationSections(w, in, err, who);
    } catch (const InputError& e) {
        err << who << ": " << e.what() << '\n';
        return kExitBadInput;
    } catch (const quarvex::Error& e) {
        err << who << ": " << e.what() << " (error " << e.number() << ")\n";
        return kExitBadInput;
    }
    write(out, csv, w, in, extra);
    return kExitOk;
}

}  // namespace

int runDesign(const std::string& file, bool csv, std::ostream& out, std::ostream& err) {
    std::ifstream f(file);
    if (!f) {
        err << "design: cannot read the file " << file << '\n';
        return kExitBadInput;
    }
    json root;
    try {
        root = json::parse(f);
    } catch (const json::parse_error& e) {
        err << "design: " << file << " is not valid JSON: " << e.what() << '\n';
        return kExitBadInput;
    }
    std::shared_ptr<quarvex::PivotWrapper> wrapper;
    DesignInput in;
    try {
        in = readDesign(root);
        wrapper = makeWrapper(in);
        wrapper->calculate();
    } catch (const InputError& e) {
        err << "design: " << e.what() << '\n';
        return kExitBadInput;
    } catch (const quarvex::Error& e) {
        if (e.number() == quarvex::errc::ComputationDidNotConverge && wrapper) {
            write(out, csv, *wrapper, in);
            err << "design: " << e.what() << " (error " << e.number()
                << "); the output holds the last pass\n";
            return kExitNotConverged;
        }
        err << "design: " << e.what() << " (error " << e.number() << ")\n";
        return kExitBadInput;
    } catch (const json::exception& e) {
        err << "design: " << e.what() << '\n';
        return kExitBadInput;
    }
    return writeComputed(*wrapper, in, csv, "design", out, err);
}

int writeDesignOutput(const ComputedDesign& computed, bool csv, const std::string& who,
                      std::ostream& out, std::ostream& err) {
    DesignInput in;
    in.indicadores = computed.indicadores;
    in.pluviometria = computed.pluviometria;
    if (computed.notSettled) {
        write(out, csv, *computed.wrapper, in);
        err << who << ": " << *computed.notSettled << "; the output holds the last pass\n";
        return kExitNotConverged;
    }
    return writeComputed(*computed.wrapper, in, csv, who, out, err);
}

}  // namespace kambrix::cli
