// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/nozzle_filter.h"

#include "shell/unit_of_work.h"

namespace kambrix {

std::string modelsOfBrandSQL(const std::string& brand) {
    return "SELECT mo.modelo FROM modelos AS mo INNER JOIN marca AS ma ON "
           "mo.id_marca=ma.id_marca WHERE ma.nome=" +
           quarvex::sqlQuote(brand);
}

std::vector<std::string> NozzleCatalogue::brandNames() const {
    std::vector<std::string> out;
    quarvex::statics()
        .Aspersores()
        .MarcasAll(connectionString_)
        .ForEach([&](const quarvex::marca& m) { out.push_back(m.nome); });
    return out;
}

std::vector<std::string> NozzleCatalogue::modelNames(const std::string& brand) const {
    return readFrom(connectionString_, [&](quarvex::Connection& con) {
        std::vector<std::string> out;
        auto rs = con.Execute(modelsOfBrandSQL(brand));
        for (; !rs.IsEOF(); rs.MoveNext()) {
            out.push_back(quarvex::nullToText(rs.Field("modelo")));
        }
        return out;
    });
}

quarvex::AspersorList NozzleCatalogue::nozzles(const NozzleFilter& filter) const {
    auto& aspersores = quarvex::statics().Aspersores();
    switch (filter.kind) {
        case NozzleFilter::Kind::Brand:
            return aspersores.find_by_marca(connectionString_, filter.brand);
        case NozzleFilter::Kind::Model: {
            const auto all = aspersores.find_by_modelo(connectionString_, filter.model);
            if (filter.brand.empty()) {
                return all;
            }
            quarvex::AspersorList mine;
            all.ForEach([&](const std::shared_ptr<quarvex::Aspersor>& a) {
                if (a->marca().nome == filter.brand) {
                    mine.Add(a);
                }
            });
            return mine;
        }
        case NozzleFilter::Kind::All:
            break;
    }
    return aspersores.find(connectionString_);
}

}  // namespace kambrix
