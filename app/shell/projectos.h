// SPDX-License-Identifier: GPL-3.0-or-later
//
// The projects store: systems (table "projectos") and their spans (table "tramos") in the
// projects database, over an open connection the caller opens and closes.
#pragma once

#include <quarvex/quarvex.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/row_versions.h"

namespace kambrix {

// One system: a pivot machine on one field. When `hasVoladizo` is set the last element of
// `Tramos` is the overhang span (it is stored as the last span row).
struct Projecto {
    int id = 0;  // key; 0 or less while not stored
    std::string nome;
    std::string propietario;
    double areaParcela = 0;  // field area, ha
    double p = 0;            // nominal pressure at the pivot point, kPa
    double q = 0;            // design discharge, L/s
    quarvex::PipeMaterial pipe_material;
    double cotaCentral = 0;  // ground elevation at the pivot point, m
    bool hasVoladizo = false;
    bool hasGun = false;
    quarvex::Gun endGun;  // its rs (m) is stored
    double horas_de_operacao_diaria = 0;
    quarvex::Array<quarvex::tramo> Tramos;
    int p_pipe_material_id = 0;
    bool p_tramos_loaded = false;  // only loaded spans are written back
    bool p_destroyed = false;
    // The system's last save as it was when the system was read: a save is refused when
    // another one came in between (see row_versions.h).
    RowStamp stamp;
};

// Rows another store keeps for a system (keyed by the system's id) that go with the system
// when it is copied or deleted. The store that owns the rows supplies the participant; the
// projects store calls it inside the copy's or the delete's one transaction, so a throw from
// it undoes the whole copy or delete. Either member may be empty.
struct SystemRowsParticipant {
    // Copies the rows of system `sourceId` to the new system `targetId`.
    std::function<void(quarvex::Connection&, int sourceId, int targetId)> copy;
    // Removes the rows of the system.
    std::function<void(quarvex::Connection&, int systemId)> remove;
};

class Projectos {
  public:
    // A store whose copy and delete take only the system's own rows (and its charts).
    Projectos() = default;
    // A store whose copy and delete also call the participants, in this order.
    explicit Projectos(std::vector<SystemRowsParticipant> participants);

    // "designacao=" + the quoted name.
    std::string nameCondition(const std::string& name) const;
    // The number of projects meeting the condition.
    int countProjects(quarvex::Connection& con, const std::string& condition) const;
    // The names of every stored project, in alphabetical order.
    std::vector<std::string> projectNames(quarvex::Connection& con) const;
    // Who saved each stored project last, by its name (for the lists).
    std::map<std::string, RowStamp> stampsByName(quarvex::Connection& con) const;
    // The first project meeting the condition, with its spans when tableWord is "tramos";
    // none when no project meets it.
    std::optional<Projecto> loadProject(quarvex::Connection& con, const std::string& condition,
                                        const std::string& tableWord = {}) const;
    // A project with the name, id 0 and every other field at its default.
    Projecto newProject(const std::string& name) const;
    // Inserts (id <= 0; the new key is written into `project.id`) or updates the row; then,
    // when the spans were loaded, replaces all span rows ("ordem" = index in the array). Runs
    // inside one transaction unless the caller already holds one. An update whose system was
    // saved or deleted by someone else since `project.stamp` was read is refused (AppError
    // errc::RecordChangedSinceOpened) and writes nothing; a save notes the new stamp.
    void saveProject(quarvex::Connection& con, Projecto& project) const;
    // A copy of the base project under a new name, with new span rows, then each
    // participant's copy from the base's id to the copy's (no sprinkler charts), all in one
    // transaction (the caller's when one is open): on any failure nothing is stored. The base
    // must exist (errc::InvalidArgument otherwise). Returns the stored copy with its spans.
    Projecto copyProject(quarvex::Connection& con, const std::string& baseCondition,
                         const std::string& newName) const;
    // Removes the system's sprinkler charts (through the chart store), the participants'
    // rows, its span rows and its row, all in one transaction on the open connection (the
    // caller's when one is open): on any failure nothing is removed.
    void deleteProject(quarvex::Connection& con, Projecto& project) const;

  private:
    std::vector<SystemRowsParticipant> participants_;

    quarvex::Array<quarvex::tramo> loadTramos(quarvex::Connection& con, int projectId) const;
    void writeProject(quarvex::Connection& con, Projecto& project) const;
};

// "The system "<name>"", as a refused save names it.
std::string systemRecordName(const std::string& name);

// Removes every sprinkler chart of the system through the chart store, in one transaction.
void destroySystemCharts(const std::string& connectionString, int systemId);
// The same on an open connection, inside its transaction when one is open.
void destroySystemCharts(quarvex::Connection& con, int systemId);
// Whether the system has any sprinkler chart.
bool systemHasCharts(const std::string& connectionString, int systemId);

}  // namespace kambrix
