// SPDX-License-Identifier: GPL-3.0-or-later
#include <quarvex/quarvex.h>

#include "core/units.h"

namespace quarvex {

using units::kKPaPerMetreOfHead;

bool Drops::isValid(const Drop& self) const {
    return self.diametro > 0 && self.p_pipe_material_id >= 1 && self.longitud > 0;
}

bool Drops::Differs(const Drop& self, const Drop& other) const {
    return !Equals(self, other);
}

bool Drops::Equals(const Drop& self, const Drop& other) const {
    return PipeMaterials().Equals(self.pipe_material, other.pipe_material) &&
           self.diametro == other.diametro && self.p_is_null == other.p_is_null &&
           self.longitud == other.longitud;
}

double Drops::PressureLoss(const Drop& self, double discharge) const {
    if (self.p_is_null) {
        return 0;
    }
    return kKPaPerMetreOfHead *
           hazenWilliamsUnitLoss(discharge, self.pipe_material.rugosidade, self.diametro) *
           self.longitud;
}

Drop Drops::createNull() const {
    Drop d;
    d.p_is_null = true;
    return d;
}

Drop Drops::newDrop(double diameter, double longitud, const PipeMaterial& pipe_material) const {
    Drop d;
    d.diametro = diameter;
    d.longitud = longitud;
    d.pipe_material = pipe_material;
    d.p_pipe_material_id = pipe_material.id;
    d.p_is_null = false;
    d.p_installed = false;
    return d;
}

void Drops::Install(Drop& self) const {
    if (!isValid(self)) {
        self.p_installed = false;
        Exceptions::Throw(errc::DropIncompleteException);
    }
    self.p_installed = true;
}

void Drops::Uninstall(Drop& self) const {
    self.p_installed = false;
}

bool Drops::IsInstalled(const Drop& self) const {
    return self.p_installed;
}

bool Drops::IsEmpty(const Drop& self) const {
    return self.p_is_null || Equals(self, newDrop(0, 0, PipeMaterials().NullPipeMaterial()));
}

const TableSchema& Drops::dropTable() {
    static const TableSchema t(
        "tb_drop", {"longitud", "diametro", "pipe_material_id", "installed", "carta_id"},
        "carta_id");
    return t;
}

void Drops::deleteDrop(Connection& con, int carta_id) const {
    con.Execute(dropTable().deleteSQL(std::nullopt,
                                      bindParameters("carta_id=?", {std::to_string(carta_id)})));
}

void Drops::saveDrop(Connection& con, const Drop& drop, int carta_id) const {
    deleteDrop(con, carta_id);
    if (IsEmpty(drop)) {
        return;
    }
    con.Execute(dropTable().insertSQL({sqlNumber(drop.longitud), sqlNumber(drop.diametro),
                                       std::to_string(drop.p_pipe_material_id),
                                       sqlBool(drop.p_installed), std::to_string(carta_id)}));
}

Drop Drops::loadDrop(Connection& con, int carta_id) const {
    RecordSet rs = con.Execute(dropTable().selectSQL(
        std::nullopt, std::nullopt, bindParameters("carta_id=?", {std::to_string(carta_id)})));
    if (rs.IsEOF()) {
        return createNull();
    }
    Drop d;
    d.diametro = nullToZero(rs.Field("diametro"));
    d.longitud = nullToZero(rs.Field("longitud"));
    d.p_pipe_material_id = static_cast<int>(nullToZero(rs.Field("pipe_material_id")));
    d.p_installed = nullToFalse(rs.Field("installed"));
    d.p_is_null = false;
    d.pipe_material = PipeMaterials().find(con, d.p_pipe_material_id);
    return d;
}

}  // namespace quarvex
