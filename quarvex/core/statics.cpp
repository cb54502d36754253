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

KostiakovParameters Statics::newKostiakovParameters(double k, double a) const { return {k, a}; }

pivot Statics::newPivot() const { return pivot{}; }

::quarvex::Pivots& Statics::Pivots() { return services_->pivots; }
::quarvex::Tramos& Statics::Tramos() { return services_->tramos; }
::quarvex::Arrays& Statics::Arrays() { return services_->arrays; }
::quarvex::Types& Statics::Gun() { return services_->guns; }
::quarvex::CoordenadasSaidas& Statics::CoordenadasSaidas() { return services_->coordenadas; }
::quarvex::Types& Statics::Placements() { return services_->placements; }
::quarvex::Doubles& Statics::Doubles() { return services_->doubles; }
::quarvex::Types& Statics::Saidas() { return services_->saidas; }
::quarvex::FieldSamples& Statics::FieldSamples() { return services_->fieldSamples; }
::quarvex::WaterDepths& Statics::WaterDepths() { return services_->waterDepths; }
::quarvex::Pluviometros& Statics::Pluviometros() { return services_->pluviometros; }
::quarvex::PivotEvaluations& Statics::PivotEvaluations() { return services_->pivotEvaluations; }

Statics& statics() {
    static Statics instance;
    return instance;
}

}  // namespace quarvex
