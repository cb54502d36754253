// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

namespace zarede {

std::shared_ptr<ZaredeFunction> Factory::newEclipseFunction(double centroX, double centroY,
                                                            std::optional<std::string> name) const {
    auto function = std::make_shared<ZaredeFunction>();
    function->init(centroX, centroY, std::move(name));
    return function;
}

std::shared_ptr<SerieBuilder> Factory::newSerieBuilder(std::shared_ptr<IFunction> aFunction,
                                                       int32_t numberOfPoints) const {
    auto builder = std::make_shared<SerieBuilder>();
    builder->init(std::move(aFunction), numberOfPoints);
    return builder;
}

std::shared_ptr<KostiakovFunction> Factory::newKostiakovFunction(
    double Min, double Max, double k, double a, std::optional<std::string> name) const {
    return std::make_shared<KostiakovFunction>(Min, Max, k, a, std::move(name));
}

std::shared_ptr<SerieSource> Factory::newSerieSource(
    const std::optional<std::vector<std::shared_ptr<IFunction>>>& funcs,
    std::optional<int32_t> numberOfPoints) const {
    auto source = std::make_shared<SerieSource>();
    if (funcs) {
        if (!numberOfPoints) {
            detail::raise(ErrorNumber::InvalidArgument, "functions given without a point count");
        }
        source->init(*funcs, *numberOfPoints);
    }
    return source;
}

}  // namespace zarede
