// SPDX-License-Identifier: GPL-3.0-or-later
//
// Corrections and removals in the sprinkler catalogue ("asper.mdb": tables "marca",
// "Modelos", "Boquillas"), the checks of a nozzle's numbers, and the stored sprinkler charts
// of the projects database that mount a nozzle. New entries are stored by the library's
// catalogue service (AspersoresStatic::save); this store changes and removes them.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>
#include <vector>

#include "shell/row_versions.h"

namespace kambrix {

// A nozzle's data as the catalogue editor holds them: q = a·p^b with q in L/s and p in kPa,
// the rated pressures (kPa) and discharges (L/s).
struct NozzleData {
    std::string nome;
    double a = 0;
    double b = 0;
    double pmin = 0;
    double pmax = 0;
    double qmin = 0;
    double qmax = 0;
};

// What is wrong with a nozzle's data: the field ("nome", "a", "b", "pmin", "pmax", "qmin",
// "qmax") and the message.
struct NozzleProblem {
    std::string field;
    std::string message;
};

// The first problem of the data, in the order of the form: a blank name; a value that is
// not a finite number above 0; pmin not below pmax; qmin not below qmax. None when the
// nozzle can be stored.
std::optional<NozzleProblem> checkNozzle(const NozzleData& nozzle);

// The message refusing `name` for a nozzle of the model `model` of the brand `brand` when the
// catalogue already holds a nozzle of that name there (names compared after trimming) other
// than the nozzle `exceptId` (0 for a new nozzle): "The model 'M' already has a nozzle named
// 'N'", as the import of a maker's table refuses it. None when the name is free.
std::optional<std::string> nozzleNameTaken(const quarvex::AspersorList& catalogue,
                                           const std::string& brand, const std::string& model,
                                           const std::string& name, int exceptId);

// A stored sprinkler chart that mounts a nozzle.
struct ChartUse {
    int chartId = 0;
    std::string chart;   // the chart's name
    std::string system;  // the name of the system it belongs to
    friend bool operator==(const ChartUse&, const ChartUse&) = default;
};

// The charts of the projects database that mount any of the nozzles (by catalogue id),
// each once, ordered by system and chart name.
std::vector<ChartUse> chartsUsingNozzles(const std::string& projectsConnectionString,
                                         const std::vector<int>& nozzleIds);
// "'Chart A' (system 'North'), 'Chart B' (system 'South')".
std::string chartUseList(const std::vector<ChartUse>& uses);

// What an import stored: the brand's and the model's ids, whether each was new, and how
// many nozzles were added.
struct CatalogueImport {
    int brandId = 0;
    int modelId = 0;
    bool newBrand = false;
    bool newModel = false;
    int nozzles = 0;
};

class SprinklerCatalogue {
  public:
    explicit SprinklerCatalogue(std::string asperConnectionString);

    // Who saved the nozzle last (version 0 when nobody has since versions were kept).
    RowStamp nozzleStamp(int nozzleId) const;
    // Replaces the nozzle's name and numbers. Data checkNozzle refuses raise
    // errc::ValueOutOfRange with its message; an id without nozzle errc::RecordNotFound.
    // Given the stamp the editor read with the nozzle, a nozzle saved since by someone else
    // is refused (errc::RecordChangedSinceOpened) and left as it is. Returns the new stamp.
    RowStamp updateNozzle(int nozzleId, const NozzleData& nozzle,
                          const RowStamp* seen = nullptr) const;
    // Removes the nozzle; an id without nozzle raises errc::RecordNotFound.
    void deleteNozzle(int nozzleId) const;

    // Adds the nozzles to the model `model` of the brand `brand` (names compared after
    // trimming), creating the brand and the model when the catalogue has none of that name,
    // all in one transaction: either every nozzle is stored or none is. A blank brand or
    // model name raises errc::CatalogueNameMissing; an empty list or a nozzle checkNozzle
    // refuses errc::ValueOutOfRange naming the nozzle; a nozzle name given twice or already
    // in the model errc::CatalogueNameTaken naming it.
    CatalogueImport importNozzles(const std::string& brand, const std::string& model,
                                  const std::vector<NozzleData>& nozzles) const;

    // Renames a brand or a model. A blank name raises errc::CatalogueNameMissing; a name
    // another brand (another model of the same brand) already has errc::CatalogueNameTaken;
    // an id without entry errc::RecordNotFound.
    void renameBrand(int brandId, const std::string& name) const;
    void renameModel(int modelId, const std::string& name) const;
    // Removes a brand with its models and their nozzles, or a model with its nozzles, in
    // one transaction.
    void deleteBrand(int brandId) const;
    void deleteModel(int modelId) const;

    // The nozzles of a brand or a model, by id, for the questions before a removal.
    std::vector<int> nozzlesOfBrand(int brandId) const;
    std::vector<int> nozzlesOfModel(int modelId) const;
    int modelCount(int brandId) const;

  private:
    std::string cs_;
};

}  // namespace kambrix
