// SPDX-License-Identifier: GPL-3.0-or-later
//
// The supply of a system in the projects store (tables "tb_supply" and "tb_supply_pump"):
// read, saved, copied with the system and deleted with it. Every function works on the
// caller's connection, inside the caller's transaction when one is open, otherwise in one
// of its own.
#pragma once

#include <quarvex/quarvex.h>

#include "design/supply.h"
#include "shell/projectos.h"

namespace kambrix {

// The system's supply; an empty one when none is stored. Stored rows that break the rules
// of a supply are read as they stand (the tab shows why they cannot be used).
Supply loadSupply(quarvex::Connection& con, int systemId);
// Replaces the system's supply (an empty supply removes it). A supply that breaks its
// rules (supplyProblem) raises AppError errc::ValueOutOfRange and nothing is written.
void saveSupply(quarvex::Connection& con, int systemId, const Supply& supply);
void deleteSupply(quarvex::Connection& con, int systemId);
// Gives the target system a copy of the source system's supply (replacing its own).
void copySupply(quarvex::Connection& con, int sourceSystemId, int targetSystemId);
// The supply's part in the copy and the delete of a system.
SystemRowsParticipant supplyRowsParticipant();

}  // namespace kambrix
