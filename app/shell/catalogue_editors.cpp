// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/catalogue_editors.h"

#include <map>
#include <vector>

#include "shell/services.h"
#include "shell/stored_names.h"
#include "shell/unit_of_work.h"

namespace kambrix {

namespace {

// Collects what a form lacks, remembering the first field.
class Missing {
  public:
    void need(bool blank, const std::string& what, int field) {
        if (blank) {
            if (texts_.empty()) {
                first_ = field;
            }
            texts_.push_back(what);
        }
    }
    std::optional<FormProblem> problem(const std::string& item) const {
        if (texts_.empty()) {
            return std::nullopt;
        }
        return FormProblem{first_, incompleteMessage(item) + ". " + requirementMessage(texts_)};
    }

  private:
    std::vector<std::string> texts_;
    int first_ = 0;
};

std::optional<std::string> expectedText(const ErrorReport& r, std::int32_t number) {
    if (number != 0) {
        return errorText(number);
    }
    // A value the store refuses as out of range is explained by its own message.
    if (r.source == ErrorSource::Program && r.number == errc::ValueOutOfRange) {
        return r.message;
    }
    return std::nullopt;
}

}  // namespace

std::optional<FormProblem> checkSpanForm(const SpanForm& form) {
    Missing missing;
    missing.need(trim(form.brand).empty(), "the brand", SpanBrand);
    missing.need(trim(form.name).empty(), "the name", SpanName);
    missing.need(!form.length, "the length", SpanLength);
    missing.need(!form.diameter, "the inside diameter", SpanDiameter);
    missing.need(!form.spacing, "the outlet spacing", SpanSpacing);
    if (auto p = missing.problem("the reference span")) {
        return p;
    }
    if (const auto problem = checkReferenceTramo(spanOfForm(form, 0))) {
        static const std::map<std::string, int> fields = {
            {"denominacion", SpanName},
            {"longitud", SpanLength},
            {"diametro", SpanDiameter},
            {"separacion_saidas", SpanSpacing},
            {"diametro_exterior", SpanOutsideDiameter}};
        const auto f = fields.find(problem->field);
        return FormProblem{f == fields.end() ? SpanName : f->second, problem->message};
    }
    return std::nullopt;
}

ReferenceTramo spanOfForm(const SpanForm& form, int id) {
    ReferenceTramo t;
    t.id = id;
    t.denominacion = trim(form.name);
    t.longitud = form.length.value_or(0);
    t.diametro = form.diameter.value_or(0);
    t.separacion_saidas = form.spacing.value_or(0);
    t.diametroExterior = form.outsideDiameter;
    t.marca.name = trim(form.brand);
    return t;
}

const std::array<std::string, 6>& nozzleValueNames() {
    static const std::array<std::string, 6> names = {
        "the coefficient a",    "the exponent b",        "the minimum pressure",
        "the maximum pressure", "the minimum discharge", "the maximum discharge"};
    return names;
}

std::optional<FormProblem> checkNozzleNames(const NozzleForm& form) {
    if (trim(form.brand).empty()) {
        return FormProblem{NozzleBrand, errorText(errc::CatalogueBrandNeedsName)};
    }
    if (trim(form.model).empty()) {
        return FormProblem{NozzleModel, errorText(errc::CatalogueModelNeedsName)};
    }
    return std::nullopt;
}

std::optional<FormProblem> checkNozzleForm(const NozzleForm& form) {
    Missing missing;
    missing.need(isBlank(form.name), "the designation", NozzleName);
    for (std::size_t i = 0; i < form.values.size(); ++i) {
        missing.need(!form.values[i], nozzleValueNames()[i], NozzleA + static_cast<int>(i));
    }
    if (auto p = missing.problem("the nozzle")) {
        return p;
    }
    if (const auto problem = checkNozzle(nozzleOfForm(form))) {
        static const std::map<std::string, int> fields = {
            {"nome", NozzleName}, {"a", NozzleA},       {"b", NozzleB},      {"pmin", NozzlePmin},
            {"pmax", NozzlePmax}, {"qmin", NozzleQmin}, {"qmax", NozzleQmax}};
        const auto f = fields.find(problem->field);
        return FormProblem{f == fields.end() ? NozzleName : f->second, problem->message};
    }
    return std::nullopt;
}

NozzleData nozzleOfForm(const NozzleForm& form) {
    return NozzleData{trim(form.name),
                      form.values[0].value_or(0),
                      form.values[1].value_or(0),
                      form.values[2].value_or(0),
                      form.values[3].value_or(0),
                      form.values[4].value_or(0),
                      form.values[5].value_or(0)};
}

SprinklerCatalogueLists readSprinklerCatalogue(const std::string& asperConnection) {
    auto& catalogue = quarvex::statics().Aspersores();
    SprinklerCatalogueLists lists;
    // The stamps before the nozzles: a save in between makes a stamp older than the values
    // read, which refuses the next save rather than letting it overwrite unseen.
    lists.stamps = readFrom(asperConnection, [](quarvex::Connection& con) {
        return readRowStamps(con, row_kind::Nozzle);
    });
    lists.brands = catalogue.MarcasAll(asperConnection);
    lists.models = catalogue.ModelosAll(asperConnection);
    lists.nozzles = catalogue.find(asperConnection);
    return lists;
}

std::vector<std::string> catalogueBrandNames(const std::string& asperConnection) {
    std::vector<std::string> names;
    quarvex::statics()
        .Aspersores()
        .MarcasAll(asperConnection)
        .ForEach([&](const quarvex::marca& b) { names.push_back(b.nome); });
    return names;
}

std::vector<std::string> catalogueModelNames(const std::string& asperConnection,
                                             const std::string& brand) {
    std::vector<std::string> names;
    quarvex::statics()
        .Aspersores()
        .ModelosAll(asperConnection)
        .ForEach([&](const quarvex::modelo& m) {
            if (m.marca.nome == brand) {
                names.push_back(m.nome);
            }
        });
    return names;
}

void addNozzle(const std::string& asperConnection, const quarvex::modelo& model,
               const NozzleData& data) {
    requireStorableName(StoredNameKind::SprinklerBrand, model.marca.nome);
    requireStorableName(StoredNameKind::SprinklerModel, model.nome);
    auto& catalogue = quarvex::statics().Aspersores();
    auto nozzle = catalogue.newAspersor(data.nome, data.a, data.b, data.pmin, data.pmax, data.qmin,
                                        data.qmax, model);
    catalogue.save(asperConnection, *nozzle);
}

std::optional<std::string> sprinklerCatalogueMessage(const ErrorReport& r) {
    std::int32_t number = 0;
    if (r.source == ErrorSource::Library) {
        using namespace quarvex::errc;
        if (r.number == MissingAsperorDataException) {
            number = errc::CatalogueNozzleIncomplete;
        } else if (r.number == ModeloMissingNameException) {
            number = errc::CatalogueModelNeedsName;
        } else if (r.number == MarcaIsNewRecordException) {
            number = errc::CatalogueBrandNotStored;
        } else if (r.number == MarcaMissingNameException) {
            number = errc::CatalogueBrandNeedsName;
        }
    } else if (r.source == ErrorSource::Program) {
        if (r.number == errc::CatalogueNameTaken) {
            number = errc::CatalogueEntryNameTaken;
        } else if (r.number == errc::CatalogueNameMissing) {
            number = errc::CatalogueNewNameBlank;
        } else if (r.number == errc::RecordNotFound) {
            number = errc::CatalogueEntryGone;
        }
    }
    return expectedText(r, number);
}

std::optional<std::string> spanCatalogueMessage(const ErrorReport& r) {
    std::int32_t number = 0;
    if (r.source == ErrorSource::Program) {
        switch (r.number) {
            case errc::ReferenceTramoIncomplete:
                number = errc::CatalogueSpanIncomplete;
                break;
            case errc::ReferenceTramoExists:
                number = errc::CatalogueSpanNameTaken;
                break;
            case errc::TramoMarcaMissingName:
                number = errc::CatalogueBrandNeedsName;
                break;
            case errc::CatalogueNameTaken:
                number = errc::CatalogueBrandNameTaken;
                break;
            case errc::RecordNotFound:
                number = errc::CatalogueEntryGone;
                break;
            default:
                break;
        }
    }
    return expectedText(r, number);
}

}  // namespace kambrix
