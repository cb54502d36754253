// SPDX-License-Identifier: GPL-3.0-or-later
//
// The program's error numbers and messages, and the one place that recognises every
// exception the program can meet.
//
// Numbers carry a source: the computation library (quarvex::Error, numbers in
// quarvex::errc), the curve library (zarede::Error, zarede::ErrorNumber) and the program
// itself (AppError, numbers in kambrix::errc below). All three use the application-error
// base 0x80040000 plus a code, and some codes are used by more than one source (the
// agronomic checks reuse numbers of the library), so a number is read together with its
// source. errorText() is the single lookup of the whole program's messages.
//
// Windows catch only the numbers they expect (isException) and turn them into messages;
// everything else travels to the top-level handler, which shows describeError()'s text.
#pragma once

#include <quarvex/quarvex.h>

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace kambrix {

// The program's own error numbers.
namespace errc {
inline constexpr std::int32_t kBase = quarvex::kErrorBase;
// A validation stop of a command: the message has been shown, the command ends.
inline constexpr std::int32_t CommandStopped = kBase + 0x64;
// Reference-span catalogue.
inline constexpr std::int32_t ReferenceTramoIncomplete = kBase + 0xBB9;
inline constexpr std::int32_t ReferenceTramoExists = kBase + 0xBBA;
inline constexpr std::int32_t TramoMarcaMissingName = kBase + 0xBBB;
// Files read by the program (imports, command-line input).
inline constexpr std::int32_t FileMissing = kBase + 3100;
inline constexpr std::int32_t FileIsDirectory = kBase + 3101;
inline constexpr std::int32_t FileUnreadable = kBase + 3102;
inline constexpr std::int32_t FileEmpty = kBase + 3103;
inline constexpr std::int32_t FileNotWritable = kBase + 3104;
inline constexpr std::int32_t FileNotRegular = kBase + 3105;
inline constexpr std::int32_t FileNotUtf8 = kBase + 3106;
// A document (JSON) that cannot be read: a syntax error, a number beyond the double range,
// a key given twice, nesting deeper than any input of the program.
inline constexpr std::int32_t DocumentFormat = kBase + 3107;
// More items than the program takes in one input (readings, candidates, nozzles, rows).
inline constexpr std::int32_t InputTooLarge = kBase + 3108;
// A line of a comma-separated file that cannot be read (an unterminated quote, a field
// that is not a number where one is needed).
inline constexpr std::int32_t CsvFormat = kBase + 3110;
// A value outside the range the program accepts for it.
inline constexpr std::int32_t ValueOutOfRange = kBase + 3120;
// A record the user named does not exist (a system, a chart, an evaluation).
inline constexpr std::int32_t RecordNotFound = kBase + 3130;
// A save refused because another user (or program) saved or deleted the record since it was
// opened; the message names who and when.
inline constexpr std::int32_t RecordChangedSinceOpened = kBase + 3131;
// Catch-can evaluations: a name already taken, readings that cannot be stored as they stand.
inline constexpr std::int32_t EvaluationExists = kBase + 3140;
inline constexpr std::int32_t EvaluationRowsIncomplete = kBase + 3141;
// Agronomic inputs not given, in the order the checks look at them. The codes are also used
// by errors of the computation library (charts, evaluations): read them with their source.
inline constexpr std::int32_t KfNotGiven = kBase + 0x3E8;
inline constexpr std::int32_t EtcNotGiven = kBase + 0x3E9;
inline constexpr std::int32_t PeNotGiven = kBase + 0x3EA;
inline constexpr std::int32_t PaNotGiven = kBase + 0x44C;
inline constexpr std::int32_t CuNotGiven = kBase + 0x44D;
inline constexpr std::int32_t EtoNotGiven = kBase + 0x44E;
inline constexpr std::int32_t UNotGiven = kBase + 0x44F;
inline constexpr std::int32_t CiNotGiven = kBase + 0x450;
inline constexpr std::int32_t OeNotGiven = kBase + 0x451;
// A formula of the program that has no finite result: a result beyond the double range, a
// division by zero, or an operation on a value that is not a finite number.
inline constexpr std::int32_t ComputationOverflow = kBase + 3150;
inline constexpr std::int32_t ComputationDivisionByZero = kBase + 3151;
inline constexpr std::int32_t ComputationInvalid = kBase + 3152;
// A file of the irrigation-scheduling model that cannot be read as "year;Qfc;frequency" lines.
inline constexpr std::int32_t SchedulingFileFormat = kBase + 3111;
// Catalogue entries (brands, models, nozzles, reference spans) being renamed.
inline constexpr std::int32_t CatalogueNameMissing = kBase + 3160;
inline constexpr std::int32_t CatalogueNameTaken = kBase + 3161;
// A name that cannot be stored: control characters, or longer than the stored-name limit.
inline constexpr std::int32_t StoredNameRefused = kBase + 3162;
// A database file the program cannot use as it stands: damaged or not one of its databases,
// made by a newer version (it is then only read), or holding tables of another program.
inline constexpr std::int32_t DatabaseDamaged = kBase + 3170;
inline constexpr std::int32_t DatabaseNewer = kBase + 3171;
inline constexpr std::int32_t DatabaseForeignTable = kBase + 3172;
// A copy of the databases refused: the target already holds rows (and no replace was asked).
inline constexpr std::int32_t DatabaseNotEmpty = kBase + 3173;
// What the catalogue editors tell the user of an entry they cannot store, in the editors'
// own words (the store's errors above are translated into these).
inline constexpr std::int32_t CatalogueEntryGone = kBase + 3180;
inline constexpr std::int32_t CatalogueBrandNeedsName = kBase + 3181;
inline constexpr std::int32_t CatalogueModelNeedsName = kBase + 3182;
inline constexpr std::int32_t CatalogueBrandNotStored = kBase + 3183;
inline constexpr std::int32_t CatalogueNozzleIncomplete = kBase + 3184;
inline constexpr std::int32_t CatalogueEntryNameTaken = kBase + 3185;
inline constexpr std::int32_t CatalogueNewNameBlank = kBase + 3186;
inline constexpr std::int32_t CatalogueSpanIncomplete = kBase + 3187;
inline constexpr std::int32_t CatalogueSpanNameTaken = kBase + 3188;
inline constexpr std::int32_t CatalogueBrandNameTaken = kBase + 3189;
// A pump curve that breaks a rule of pump curves (the message names the row).
inline constexpr std::int32_t PumpCurveRefused = kBase + 3190;
}  // namespace errc

// Where an error number comes from.
enum class ErrorSource { Program, Library, Curves, Other };

// The exception type of the program's own numbered errors. `what()` is the message, which a
// window may show as it stands; `detail()` is extra technical text (a file path, a line).
class AppError : public std::runtime_error {
  public:
    AppError(std::int32_t number, const std::string& message, std::string detail = {});
    std::int32_t number() const noexcept { return number_; }
    const std::string& detail() const noexcept { return detail_; }

  private:
    std::int32_t number_;
    std::string detail_;
};

// The message of a number of the given source ("Error <number>" when the table has none).
std::string errorText(std::int32_t number, ErrorSource source = ErrorSource::Program);

// Raises AppError `number` with the table's message, or with `message` when one is given.
[[noreturn]] void raiseError(std::int32_t number, const std::string& message = {},
                             const std::string& detail = {});

// What the program knows of a caught exception.
struct ErrorReport {
    ErrorSource source = ErrorSource::Other;
    std::int32_t number = 0;  // 0 for exceptions that carry no number
    // In the user's terms: no SQL, no library or type names.
    std::string message;
    // Technical text for "Show details" (the database's own words, the statement, the
    // exception's text); may be empty.
    std::string detail;
    // The failure came from the database layer (its message names the reason only).
    bool database = false;
};

// Recognises every exception type of the program: AppError, quarvex::Error, zarede::Error,
// the start-up and language-file errors, std::bad_alloc and any std::exception.
ErrorReport describeError(std::exception_ptr error);
// The same for the exception being handled (inside a catch block).
ErrorReport describeCurrentError();

// The number of the exception (0 when it has none) and its source.
std::int32_t errorNumberOf(std::exception_ptr error, ErrorSource* source = nullptr);

// The database's words for a failure turned into the user's: "the database folder is
// read-only", "another program is using the database", "the disk is full", ...
std::string databaseReason(const std::string& databaseText);

// The message for a failed action in the user's terms: `action` + ": " + the reason, e.g.
// userMessage(r, "The sprinkler catalogue could not be saved") gives "The sprinkler catalogue
// could not be saved: the database folder is read-only". Without an action, the reason alone
// (capitalised) for database errors, else the report's message.
std::string userMessage(const ErrorReport& report, const std::string& action = {});

// For use inside a catch block: true when the exception being handled is a numbered error of
// the program or of the library numbered `number` (it is then consumed). Any other exception
// is thrown again when `rethrow` is set, else false is returned.
bool isException(std::int32_t number, bool rethrow);

// The program's table, for tests and the about box: number and message of every entry.
struct ErrorEntry {
    std::int32_t number;
    const char* text;
};
const std::vector<ErrorEntry>& programErrorTable();

}  // namespace kambrix
