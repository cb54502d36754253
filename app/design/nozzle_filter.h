// SPDX-License-Identifier: GPL-3.0-or-later
//
// The brand and model filter of the sprinkler catalogue: the brands, the models of a brand,
// and the nozzles of the whole catalogue, of one brand or of one model of a brand.
#pragma once

#include <quarvex/quarvex.h>

#include <string>
#include <vector>

namespace kambrix {

struct NozzleFilter {
    enum class Kind { All, Brand, Model };
    Kind kind = Kind::All;
    std::string brand;  // Brand and Model
    std::string model;  // Model
    friend bool operator==(const NozzleFilter&, const NozzleFilter&) = default;
};

// The statement that lists the model names of a brand (the name quoted, quotes doubled).
std::string modelsOfBrandSQL(const std::string& brand);

// Reads of the catalogue database; each opens its own connection from the connection string.
class NozzleCatalogue {
  public:
    explicit NozzleCatalogue(std::string connectionString)
        : connectionString_(std::move(connectionString)) {}
    // The names of every brand, in the order the database returns them.
    std::vector<std::string> brandNames() const;
    // The model names of the brand.
    std::vector<std::string> modelNames(const std::string& brand) const;
    // The nozzles the filter lets through, in the order the database returns them: the whole
    // catalogue, find_by_marca, or find_by_modelo kept to the filter's brand (model names are
    // not unique across brands).
    quarvex::AspersorList nozzles(const NozzleFilter& filter) const;

  private:
    std::string connectionString_;
};

}  // namespace kambrix
