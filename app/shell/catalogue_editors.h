// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the two catalogue editors (sprinkler nozzles, reference spans) check before they store
// an entry, and what they tell the user of a failure they expect. The windows read their
// boxes into a form, show the problem's message and put the focus on its field.
//
//     SpanForm form{"Valley", "Valley 8000 54 m", 54.0, 168.0, std::nullopt};
//     checkSpanForm(form);  // {Spacing, "The information for the reference span is
//                           //  incomplete. It must be given the outlet spacing"}
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>

#include "shell/catalogue_store.h"
#include "shell/errors.h"
#include "shell/reference_tramos.h"

#include "shell/row_versions.h"

namespace kambrix {

// A refused form: the message and the first field to correct (an index of the form's fields).
struct FormProblem {
    int field = 0;
    std::string message;
};

// The reference-span form: brand, name, length (m), inside diameter (mm), outlet spacing
// (cm). Blank boxes are "not given".
struct SpanForm {
    std::string brand;
    std::string name;
    std::optional<double> length;
    std::optional<double> diameter;
    std::optional<double> spacing;
    std::optional<double> outsideDiameter = std::nullopt;  // mm; optional
};
enum SpanField : int {
    SpanBrand,
    SpanName,
    SpanLength,
    SpanDiameter,
    SpanSpacing,
    SpanOutsideDiameter
};

// The first problem of the span form: what is not given (all named at once, in the order of
// the form), else what checkReferenceTramo refuses. Brand and name are taken trimmed.
std::optional<FormProblem> checkSpanForm(const SpanForm& form);
// The span of the form (its brand by name only; the caller puts a stored brand in).
ReferenceTramo spanOfForm(const SpanForm& form, int id);

// The nozzle form: brand, model, designation and the six numbers in the form's order
// (a, b, pmin, pmax, qmin, qmax).
struct NozzleForm {
    std::string brand;
    std::string model;
    std::string name;
    std::array<std::optional<double>, 6> values{};
};
enum NozzleField : int {
    NozzleBrand,
    NozzleModel,
    NozzleName,
    NozzleA,
    NozzleB,
    NozzlePmin,
    NozzlePmax,
    NozzleQmin,
    NozzleQmax
};
// What the six number boxes are called in the messages, in the form's order.
const std::array<std::string, 6>& nozzleValueNames();

// The brand and the model need a name (checked before the number boxes are read).
std::optional<FormProblem> checkNozzleNames(const NozzleForm& form);
// The first problem of the nozzle form after the names: what is not given (all named at
// once), else what checkNozzle refuses.
std::optional<FormProblem> checkNozzleForm(const NozzleForm& form);
// The nozzle's data (values not given as 0, the designation trimmed).
NozzleData nozzleOfForm(const NozzleForm& form);

// The sprinkler catalogue as the editor lists it: brands, models and every nozzle.
struct SprinklerCatalogueLists {
    quarvex::Collection<quarvex::marca> brands;
    quarvex::Collection<quarvex::modelo> models;
    quarvex::AspersorList nozzles;
    // Who saved each nozzle last, by nozzle id (as text).
    std::map<std::string, RowStamp> stamps;
};
// Reads the lists from the sprinkler database; raises when it cannot be read.
SprinklerCatalogueLists readSprinklerCatalogue(const std::string& asperConnection);
// The names of the catalogue's brands, and of the models of one brand, in the store's
// order; raises when the catalogue cannot be read.
std::vector<std::string> catalogueBrandNames(const std::string& asperConnection);
std::vector<std::string> catalogueModelNames(const std::string& asperConnection,
                                             const std::string& brand);
// Stores a new nozzle of `model` (its brand and the model are stored first when new; their
// names must be storable). Raises what the store refuses.
void addNozzle(const std::string& asperConnection, const quarvex::modelo& model,
               const NozzleData& nozzle);

// The sprinkler catalogue editor's sentence for a failure it expects (the store's and the
// library's refusals, a value out of range); none for the rest (database failures).
std::optional<std::string> sprinklerCatalogueMessage(const ErrorReport& report);
// The same for the reference-span catalogue editor.
std::optional<std::string> spanCatalogueMessage(const ErrorReport& report);

}  // namespace kambrix
