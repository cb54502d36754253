// SPDX-License-Identifier: GPL-3.0-or-later
//
// What the printed chart carries beyond the design, in the projects store: per chart (table
// "tb_chart_print") the names of who designed, checked and approved it, the model of its
// pressure regulators and when it was last saved; per system (table "tb_system_print") the
// height of the pipe above the ground. Every function works on the caller's connection,
// inside the caller's transaction when one is open, otherwise in one of its own. A file of an
// earlier version, without these tables, reads as blank.
#pragma once

#include <quarvex/quarvex.h>

#include <ctime>
#include <optional>
#include <string>

#include "shell/projectos.h"

namespace kambrix {

struct ChartSignoff {
    std::string designedBy;
    std::string checkedBy;
    std::string approvedBy;
    std::string regulatorModel;  // the model of the chart's pressure regulators
    std::string savedAt;         // "2026-12-09 22:41" (UTC) of the last save; "" when unknown
    friend bool operator==(const ChartSignoff&, const ChartSignoff&) = default;
};

struct SystemPrintFields {
    std::optional<double> pipeHeight;  // the pipe's height above the ground, m
    friend bool operator==(const SystemPrintFields&, const SystemPrintFields&) = default;
};

// The chart's fields; blank ones when none are stored.
ChartSignoff loadChartSignoff(quarvex::Connection& con, int chartId);
// Replaces the chart's fields (its system's id kept beside them).
void saveChartSignoff(quarvex::Connection& con, int chartId, int systemId, const ChartSignoff& s);
void deleteChartSignoff(quarvex::Connection& con, int chartId);

SystemPrintFields loadSystemPrintFields(quarvex::Connection& con, int systemId);
// Replaces the system's fields. A pipe height that is not a finite number of 0 or more raises
// AppError errc::ValueOutOfRange and nothing is written.
void saveSystemPrintFields(quarvex::Connection& con, int systemId, const SystemPrintFields& f);

// The part of these rows in the copy of a system (its own fields; a copy has no charts) and
// its delete (its fields and those of all its charts).
SystemRowsParticipant printRowsParticipant();

// The time of a save as stored: "YYYY-MM-DD HH:MM" in UTC.
std::string saveTimeText(std::time_t when);

}  // namespace kambrix
