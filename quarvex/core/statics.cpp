// SPDX-License-Identifier: GPL-3.0-or-later
//
// The process-wide factory and the shared service instances it hands out.
#include <quarvex/quarvex.h>

namespace quarvex {

struct Statics::Services {
    ::quarvex::Pivots pivots;
    ::quarvex::Tramos tramos;
    ::quarvex::Arrays arrays;
    ::quarvex::Types guns;
    ::quarvex::CoordenadasSaidas coordenadas;
    ::quarvex::Types placements;
    ::quarvex::Doubles doubles;
    ::quarvex::Types saidas;
    // Made with the factory, not on first use: threads computing side by side reach them.
    std::unique_ptr<AspersoresStatic> aspersores = std::make_unique<AspersoresStatic>();
    std::unique_ptr<CartaAspersoresStatic> cartas = std::make_unique<CartaAspersoresStatic>();
    ::quarvex::Drops drops;
    ::quarvex::PipeMaterials pipeMaterials;
    ::quarvex::FieldSamples fieldSamples;
    ::quarvex::WaterDepths waterDepths;
    ::quarvex::Pluviometros pluviometros;
    ::quarvex::PivotEvaluations pivotEvaluations;
};

Statics::Statics() : services_(std::make_unique<Services>()) {}

Statics::~Statics() = default;

indicadores Statics::newIndicadores(double horas, int nsaidas) const {
    indicadores i;
    i.horasRevolucao = horas;
    i.numeroSaidasObturadas = nsaidas;
    i.id = 0;
    return i;
}

PivotSample Statics::newPivotSample(double centerDistance, double wetDiameter,
                                    const std::string& code) const {
    return {centerDistance, wetDiameter, code};
}

KostiakovParameters Statics::newKostiakovParameters(double k, double a) const {
    return {k, a};
}

pivot Statics::newPivot() const {
    return pivot{};
}

::quarvex::Pivots& Statics::Pivots() {
    return services_->pivots;
}
::quarvex::Tramos& Statics::Tramos() {
    return services_->tramos;
}
::quarvex::Arrays& Statics::Arrays() {
    return services_->arrays;
}
::quarvex::Types& Statics::Gun() {
    return services_->guns;
}
::quarvex::CoordenadasSaidas& Statics::CoordenadasSaidas() {
    return services_->coordenadas;
}
::quarvex::Types& Statics::Placements() {
    return services_->placements;
}
::quarvex::Doubles& Statics::Doubles() {
    return services_->doubles;
}
::quarvex::Types& Statics::Saidas() {
    return services_->saidas;
}

AspersoresStatic& Statics::Aspersores() {
    return *services_->aspersores;
}

CartaAspersoresStatic& Statics::CartaAspersor() {
    return *services_->cartas;
}

std::shared_ptr<CartaAspersores> Statics::newCartaAspersores() const {
    auto c = std::make_shared<CartaAspersores>();
    c->init();
    return c;
}

std::shared_ptr<PivotWrapper> Statics::newPivotWrapper(
    const pivot& apivot_dt, std::shared_ptr<CalculosStrategy> strategy) const {
    return std::make_shared<PivotWrapper>(apivot_dt, std::move(strategy));
}

std::shared_ptr<ReguladorPression> Statics::newReguladorPression(int tramo, double pression,
                                                                 double caudal_max,
                                                                 double caudal_min,
                                                                 bool installed) const {
    return std::make_shared<ReguladorPression>(tramo, pression, caudal_max, caudal_min, installed);
}

::quarvex::Drops& Statics::Drops() {
    return services_->drops;
}
::quarvex::PipeMaterials& Statics::PipeMaterials() {
    return services_->pipeMaterials;
}
::quarvex::FieldSamples& Statics::FieldSamples() {
    return services_->fieldSamples;
}
::quarvex::WaterDepths& Statics::WaterDepths() {
    return services_->waterDepths;
}
::quarvex::Pluviometros& Statics::Pluviometros() {
    return services_->pluviometros;
}
::quarvex::PivotEvaluations& Statics::PivotEvaluations() {
    return services_->pivotEvaluations;
}

Statics& statics() {
    static Statics instance;
    return instance;
}

}  // namespace quarvex
