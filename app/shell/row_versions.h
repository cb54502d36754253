// SPDX-License-Identifier: GPL-3.0-or-later
//
// Who saved a stored record last, when, and how many times: the guard that keeps two
// designers (two programs on one folder, or several on one server) from overwriting each
// other's work without knowing.
//
// Every record a user opens and saves as a whole (a system, a sprinkler chart, an
// evaluation, an agronomic record, a catalogue entry) has one row in "tb_row_versions" of
// its database, keyed by the record's kind and key. A window notes the record's stamp when
// it opens the record; the save claims the record inside its own transaction: when the
// stored version is still the one noted, the version goes up by one and the row names the
// user and the time; when another save (or a delete) came in between, the save is refused
// and nothing is written. A record without a row has version 0: one made before the
// versions were kept, or never saved.
#pragma once

#include <quarvex/quarvex.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace kambrix {

// The kinds of record that carry a version.
namespace row_kind {
inline constexpr std::string_view System = "system";
inline constexpr std::string_view Chart = "chart";
inline constexpr std::string_view Evaluation = "evaluation";
inline constexpr std::string_view Agronomic = "agronomic";
inline constexpr std::string_view Nozzle = "nozzle";
inline constexpr std::string_view Span = "span";
}  // namespace row_kind

// The last save of a record.
struct RowStamp {
    long long version = 0;  // 0: never saved since the versions were kept
    std::string savedBy;    // the user name of the last save (or delete)
    std::string savedAt;    // UTC, "YYYY-MM-DD HH:MM:SS"
    bool deleted = false;   // the last change deleted the record

    bool operator==(const RowStamp&) const = default;
};

// The user name written with every save: KAMBRIX_USER when set (an office may name its
// designers so), else the login name, else "unknown user".
std::string currentUserName();

// The record's stamp; version 0 when it has none (or the database has no versions yet).
RowStamp readRowStamp(quarvex::Connection& con, std::string_view kind, const std::string& key);
// The stamps of every record of the kind, by key (for the lists).
std::map<std::string, RowStamp> readRowStamps(quarvex::Connection& con, std::string_view kind);

// Claims the record for a save inside the connection's open transaction. `seen` is the
// stamp noted when the record was opened; the stored stamp must still be it (a record that
// was never versioned has version 0 on both sides). Else raises AppError
// errc::RecordChangedSinceOpened with changedSinceOpenedMessage(what, stored) and writes
// nothing. On success the record's version goes up by one, with the user and the time, and
// the new stamp is returned: the window notes it as the one it now holds.
RowStamp claimRow(quarvex::Connection& con, std::string_view kind, const std::string& key,
                  const RowStamp& seen, const std::string& what);
// The same for a record just made (a chart saved as a new one, an evaluation stored under a
// name): whatever stamp the key had (a deleted record's) is taken over.
RowStamp claimNewRow(quarvex::Connection& con, std::string_view kind, const std::string& key);
// Notes that the record was deleted (by this user, now), inside the open transaction. A
// window still holding it is then refused its save with "… was deleted by …".
void retireRow(quarvex::Connection& con, std::string_view kind, const std::string& key);

// "<What> was changed by NAME at TIME since you opened it." (or "was deleted by"), the time
// in local time; `what` names the record ("The sprinkler chart "Demo package"").
std::string changedSinceOpenedMessage(const std::string& what, const RowStamp& stored);
// "Saved by NAME on YYYY-MM-DD HH:MM" (local time) for a list; empty for version 0.
std::string savedByText(const RowStamp& stamp);
// A stored UTC time "YYYY-MM-DD HH:MM[:SS]" as local time "YYYY-MM-DD HH:MM"; the text as it
// stands when it cannot be read.
std::string localTimeText(const std::string& utc);

// The statements that make the table (the templates and the schema steps share them).
extern const char* const kRowVersionsTableSql;

}  // namespace kambrix
