// SPDX-License-Identifier: GPL-3.0-or-later
//
// The reference-span catalogue in "tramos.mdb": spans (table "Valley") and their brands
// (table "tb_marcas"). Each operation takes an open connection to that database.
#pragma once

#include <quarvex/quarvex.h>

#include <optional>
#include <string>

#include "shell/row_versions.h"

namespace kambrix {

struct TramoMarca {
    std::string name;
    int id = 0;
};

struct ReferenceTramo {
    int id = 0;
    std::string denominacion;
    double diametro = 0;           // mm
    double longitud = 0;           // m
    double separacion_saidas = 0;  // cm
    TramoMarca marca;
    int id_marca = 0;
    // The outside diameter of the pipe, mm; none where it is not known (and in a file made
    // before it was kept).
    std::optional<double> diametroExterior = std::nullopt;
};

// What is wrong with a reference span's data: the field ("denominacion", "longitud",
// "diametro", "separacion_saidas") and the message.
struct ReferenceTramoProblem {
    std::string field;
    std::string message;
};

// The first problem in the order of the form: a blank name; a length (m), diameter (mm) or
// outlet spacing (cm) that is not a finite number above 0; an outlet spacing not shorter
// than the span; an outside diameter, when given, that is not a finite number above the
// inside diameter. None when the span can be stored.
std::optional<ReferenceTramoProblem> checkReferenceTramo(const ReferenceTramo& tramo);

class ReferenceTramos {
  public:
    // Every brand, keyed by its name, in the order the database returns them.
    quarvex::Collection<TramoMarca> allBrands(quarvex::Connection& con) const;
    // Every reference span (with its brand name) ordered by name.
    quarvex::Collection<ReferenceTramo> allReferenceTramos(quarvex::Connection& con) const;
    // The span of that name ("SELECT * FROM Valley WHERE Denominacion='<name>'", quotes in
    // the name doubled), or an incomplete span with id 0 when there is none.
    ReferenceTramo findByName(quarvex::Connection& con, const std::string& name) const;
    // A blank name raises errc::TramoMarcaMissingName (0x80040BBB); else inserts it and writes
    // the new key into `marca.id`.
    void saveBrand(quarvex::Connection& con, TramoMarca& marca) const;
    // The outside diameter is written only into a file that keeps it (see diametroExterior).
    // Saves a new brand first (id <= 0). A blank name or a length, diameter or outlet spacing
    // of 0 raises errc::ReferenceTramoIncomplete (0x80040BB9); a span of the same name
    // errc::ReferenceTramoExists (0x80040BBA). Brand and span are stored in one transaction.
    void saveReferenceTramo(quarvex::Connection& con, ReferenceTramo& tramo) const;
    // Replaces the stored span `tramo.id` with the data of `tramo` (a new brand, id <= 0, is
    // saved first), in one transaction. Data checkReferenceTramo refuses raise
    // errc::ValueOutOfRange with its message; another span of the same name
    // errc::ReferenceTramoExists; an id without span errc::RecordNotFound.
    // Given the stamp the editor read with the span, a span saved since by someone else is
    // refused (errc::RecordChangedSinceOpened) and left as it is. Returns the new stamp.
    RowStamp updateReferenceTramo(quarvex::Connection& con, ReferenceTramo& tramo,
                                  const RowStamp* seen = nullptr) const;
    // Who saved the span last (version 0 when nobody has since versions were kept).
    RowStamp spanStamp(quarvex::Connection& con, int id) const;
    // Removes the span; an id without span raises errc::RecordNotFound. The systems keep
    // their own copies of the spans they were designed with.
    void deleteReferenceTramo(quarvex::Connection& con, int id) const;
    // Renames a brand: a blank name raises errc::TramoMarcaMissingName, a name another brand
    // has errc::CatalogueNameTaken, an id without brand errc::RecordNotFound.
    void renameBrand(quarvex::Connection& con, int brandId, const std::string& name) const;
    // Removes a brand with its spans, in one transaction.
    void deleteBrand(quarvex::Connection& con, int brandId) const;
    // The number of spans of a brand.
    int spanCount(quarvex::Connection& con, int brandId) const;
    // A quarvex span built from the reference span (its id, name, length, diameter, spacing)
    // with the given end elevation.
    quarvex::tramo toTramo(const ReferenceTramo& ref, double cota) const;
};

}  // namespace kambrix
