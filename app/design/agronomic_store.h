// SPDX-License-Identifier: GPL-3.0-or-later
//
// The agronomic rows of a system in the projects database: the crop data ("tb_agronomico"),
// the scheduling model's continuous discharge ("tovren_agronomics") and the system's one
// application-efficiency row ("epa_datas"), which both screens load and save. Rows are found
// with "id_sistema=?" bound to the system id; a system has at most one row in each table and
// loading takes the first (lowest id). A number that is not given (kMissing) is stored as
// SQL null and a null reads back as kMissing.
//
// Every operation takes an open connection; the saves run inside the caller's transaction
// when it holds one, else inside one of their own.
#pragma once

#include <quarvex/quarvex.h>

#include <string>

#include "design/agronomics.h"
#include "shell/projectos.h"

namespace kambrix {

// The scheduling model's result chosen for a system (a row of "tovren_agronomics"), with the
// system's application-efficiency data.
struct TovrenAgronomics {
    int id = -99;                     // row key; less than 1 while not stored
    double Qfc = kMissing;            // continuous discharge, L/s per hectare
    double hours_per_day = kMissing;  // daily functioning hours, h
    int id_sistema = -99;             // owning system
    EpaFunction epa;

    bool stored() const noexcept { return id >= 1; }
};

// The system's crop record with its efficiency row; a new record (ids -99, every number
// kMissing) when the system has neither. `stored()` of the record and of its `epa` tell
// which rows exist.
Agronomics loadAgronomic(quarvex::Connection& con, int systemId);
// Sets id_sistema of the record and of its efficiency data to systemId, then stores the
// efficiency row and the crop row: an INSERT (the new key read with
// "Select @@IDENTITY as id;") for a record not stored, else an UPDATE of its row. A record
// whose row is gone, or a new record for a system that already has a row, updates the
// system's row, so a system never holds two. The ids written into `record` are those of the
// rows stored. A value that is not a finite number raises quarvex::errc::NumberNotFinite.
void saveAgronomic(quarvex::Connection& con, Agronomics& record, int systemId);
// Deletes the system's "epa_datas" rows, then its "tb_agronomico" rows.
void deleteAgronomic(quarvex::Connection& con, int systemId);
// When the source system has a crop row and the target has none: new rows for the target
// with the source's crop values and (when the source has one) its efficiency values. The
// source's rows are left as they are.
void copyAgronomic(quarvex::Connection& con, int sourceSystemId, int targetSystemId);

// The same four for "tovren_agronomics" and the efficiency row.
TovrenAgronomics loadTovrenAgronomics(quarvex::Connection& con, int systemId);
void saveTovrenAgronomics(quarvex::Connection& con, TovrenAgronomics& record, int systemId);
// Deletes the system's "epa_datas" rows, then its "tovren_agronomics" rows.
void deleteTovrenAgronomics(quarvex::Connection& con, int systemId);
// When the source has a "tovren_agronomics" row and the target none: a new row for the
// target with the source's values, and a copy of the source's efficiency row when the
// target has no efficiency row yet.
void copyTovrenAgronomics(quarvex::Connection& con, int sourceSystemId, int targetSystemId);

// Everything agronomic of a system, for the project store's copy and delete: copyAgronomic,
// copyTovrenAgronomics, and the source's efficiency row when neither carried it over.
void copySystemAgronomics(quarvex::Connection& con, int sourceSystemId, int targetSystemId);
void deleteSystemAgronomics(quarvex::Connection& con, int systemId);
// The two above as the projects store's participant in a system's copy and delete.
SystemRowsParticipant agronomicRowsParticipant();
// A projects store whose copy and delete take the system's agronomic rows with it (the
// program's own store, systemStore, takes every store's rows).
Projectos projectsWithAgronomics();

// The agronomic design screen's save: saveProject of `project`, then saveAgronomic of the
// record under the project's id, in one transaction on one connection opened on
// `connectionString`. On failure nothing is stored and both arguments are left as they
// were; on success they carry their stored ids.
void saveProjectWithAgronomic(const std::string& connectionString, Projecto& project,
                              Agronomics& record);
// The same for the scheduling-model screen: saveProject, then saveTovrenAgronomics.
void saveProjectWithTovren(const std::string& connectionString, Projecto& project,
                           TovrenAgronomics& record);

}  // namespace kambrix
