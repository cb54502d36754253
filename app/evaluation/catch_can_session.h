// SPDX-License-Identifier: GPL-3.0-or-later
//
// One catch-can evaluation being edited: the can diameter, the readings of the two radii,
// their water depths and results, the plot data, the exchange with spreadsheets and files,
// undo, unsaved changes and saving. The evaluation window reads its controls into this
// object and shows what it answers; nothing here knows of a window.
//
// Rows are 0-based (as grids count them); the "Position" a user reads is the row + 1. Texts
// for the screen take the user's decimal separator; stored and exported numbers use ".".
#pragma once

#include <quarvex/quarvex.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/evaluation_conditions.h"
#include "evaluation/sample_exchange.h"
#include "shell/row_versions.h"

namespace kambrix {

class EvaluationQuestions;

enum class Radius { First = 0, Second = 1 };
// The columns of a sample grid; Position and Depth are read-only.
enum class SampleColumn { Position = 0, Volume = 1, Distance = 2, Depth = 3 };

// "1st radius", "2nd radius".
std::string radiusTitle(Radius radius);
// The headings of a sample grid: "Position", "V(j) (ml)", "S(j) (m)", "D(j) (mm)".
const std::array<std::string, 4>& sampleColumnHeadings();

// How a row takes part in the results.
enum class RowState {
    Blank,       // nothing entered yet; ignored
    Incomplete,  // a volume without a distance or the other way round: left out
    Invalid,     // rejected by FieldSamples::Valid (a volume below 0, a distance not above 0)
    Valid,       // used
};

// One row of a sample grid, as the grid shows it.
struct SampleGridRow {
    std::string position;  // "1", "2", ...
    std::string volume;    // ml, as entered (the user's decimal separator)
    std::string distance;  // m
    std::string depth;     // mm, three decimals; empty when it cannot be computed
    RowState state = RowState::Blank;
    // The depth departs more than 20 % from the average depth of both radii.
    bool departs = false;
    // Why the row is left out, or how it departs ("" for an ordinary row): for a tooltip.
    std::string note;
};

// One result: a number, or the reason it cannot be computed.
struct ResultValue {
    std::optional<double> value;
    std::string reason;  // set when there is no value
};

// How the coefficient of uniformity judges the package.
enum class UniformityBand { None, Good, CloserLook, ChangePackage };

// The results over one radius or both together.
struct RadiusResults {
    std::string title;       // "1st radius", "2nd radius", "Both radii"
    ResultValue average_mm;  // distance-weighted average depth
    ResultValue lowQuarterAverage_mm;
    ResultValue UD_percent;  // distribution uniformity of the low quarter
    ResultValue CU_percent;  // radius-weighted coefficient of uniformity
    int used = 0;            // cans whose depth enters the results
    int leftOut = 0;         // incomplete or invalid rows
    UniformityBand band = UniformityBand::None;
    std::string bandText;  // empty without a CU
};

struct EvaluationResults {
    RadiusResults first;
    RadiusResults second;
    RadiusResults both;
};

// The band of a CU given in percent, judged on the value rounded to the two decimals shown
// (so "85.00 %" is never called anything but good): 85 and more good, 80 up to 85 a closer
// look, below 80 the package should be changed.
UniformityBand uniformityBand(double CU_percent);
std::string uniformityBandText(UniformityBand band);
// The band in two or three words, for a table cell ("Good", "Look closer", "Change package").
std::string uniformityBandName(UniformityBand band);

// The value with `decimals` decimals, or the reason it cannot be computed.
std::string resultText(const ResultValue& v, int decimals, char decimalSeparator);
// Depths and percentages are shown with two decimals ("69.14").
inline constexpr int kShownResultDecimals = 2;

// The results as a table: a heading row ("Result", "1st radius", "2nd radius", "Both radii")
// and the rows average depth, low-quarter average, UD, CU, cans used, cans left out and the
// uniformity band; a cell holds the value or the reason it cannot be computed.
struct ResultsTable {
    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};
ResultsTable resultsTable(const EvaluationResults& results, char decimalSeparator);

// A point of the plot: a can's depth at its distance.
struct PlotPoint {
    double distance_m = 0;
    double depth_mm = 0;
    Radius radius = Radius::First;
    int position = 0;      // 1-based row of its grid
    bool departs = false;  // more than 20 % from the average depth
};

// Depth against distance for the evaluation window and the report.
struct EvaluationPlot {
    std::string xTitle;  // "Distance from the pivot point (m)"
    std::string yTitle;  // "Depth (mm)"
    // Per radius, the used cans in ascending distance (an empty series has no cans).
    std::array<std::vector<PlotPoint>, 2> radii;
    // The average depth of both radii, drawn as a line over minX..maxX, with the ±20 % band
    // outside which a can is marked; none when no can is used.
    std::optional<double> average_mm;
    double lowerBand_mm = 0;
    double upperBand_mm = 0;
    std::vector<PlotPoint> departing;  // the marked cans, both radii, ascending distance
    double minX = 0, maxX = 0, maxY = 0;
};

// Where a depth departs too far from the average: |D − D̄| > 0.20 · D̄.
inline constexpr double kDepartureFraction = 0.20;

class CatchCanSession {
  public:
    // Takes the evaluation as stored (or as new); the session starts unmodified. The can
    // diameter is shown in cm (rounded to 15 significant digits, so 0.15 m reads 15).
    explicit CatchCanSession(const quarvex::PivotEvaluation& evaluation);

    const std::string& name() const noexcept { return evaluation_.name; }
    int id() const noexcept { return evaluation_.id; }

    // --- can diameter (cm) ---
    // Takes the text of the diameter box: a number in the user's notation greater than 0 and
    // up to 100 cm, or blank (no diameter: no depth can be computed). Returns the message
    // for a text that is refused (the diameter is then unchanged).
    std::optional<std::string> setCanDiameterText(const std::string& text, char decimalSeparator);
    std::string canDiameterText(char decimalSeparator) const;  // "" when not given
    std::optional<double> canDiameter_cm() const { return state_.diameter_cm; }

    // --- the grids ---
    int rowCount(Radius radius) const;
    std::vector<SampleGridRow> gridRows(Radius radius, char decimalSeparator) const;
    const std::vector<CanReading>& readings(Radius radius) const;
    // Takes the text typed into a cell. Row == rowCount appends a row (a grid's new-row
    // line). Volume and distance take a number in the user's notation or a blank; a read-only
    // column or a row outside 0..rowCount is refused. Returns the message for a refused text.
    std::optional<std::string> setCell(Radius radius, int row, SampleColumn column,
                                       const std::string& text, char decimalSeparator);

    // --- row commands (each is one step of undo; a row outside the grid is ignored) ---
    void addRow(Radius radius);                 // a blank row at the end
    void insertRow(Radius radius, int before);  // a blank row before `before` (0..rowCount)
    // Removes the rows, given in any order.
    void deleteRows(Radius radius, std::vector<int> rows);
    void clearRows(Radius radius);
    // Ascending distance; rows without a distance keep their order after the others.
    void sortByDistance(Radius radius);

    bool canUndo() const { return !undo_.empty(); }
    // Takes back the last edit or command; false when there is none.
    bool undo();

    // --- the test's conditions and the chart it tests (saved with the evaluation) ---
    const EvaluationConditions& conditions() const { return state_.conditions; }
    // Takes the conditions as the boxes give them (one step of undo); returns the message
    // refusing them (conditionsProblem), the conditions then unchanged.
    std::optional<std::string> setConditions(const EvaluationConditions& conditions);
    // Reads the stored conditions of the evaluation, and who saved it last (the stamp a save
    // of a stored evaluation is checked against); the session stays unmodified. A session of
    // a stored evaluation calls it before its first save.
    void loadStoredConditions(const std::string& projectsConnectionString);

    // --- results ---
    EvaluationResults results() const;
    // The evaluation of the valid readings only (what the diagnosis reads while a row is
    // still incomplete).
    quarvex::PivotEvaluation usableEvaluation() const;
    EvaluationPlot plot() const;
    // The can's mouth area would be needed but no diameter is given.
    bool needsDiameter() const;

    // --- spreadsheets and files ---
    // Pastes a block of cells copied from a spreadsheet into the grid from row `at` on,
    // overwriting the rows there and adding rows as needed (one step of undo). When any
    // line cannot be read nothing is pasted and the message lists the lines; none when the
    // paste was done. `pasted` (optional) receives the number of rows pasted.
    // Distances are read in `distanceUnits` (the units the grid shows).
    std::optional<std::string> paste(Radius radius, int at, const std::string& text,
                                     char decimalSeparator, int* pasted = nullptr,
                                     UnitSystem distanceUnits = UnitSystem::SI);
    // The cells of rows firstRow..lastRow and columns firstColumn..lastColumn (inclusive, as
    // shown on the screen) as tab-separated text; out-of-range parts are clipped.
    std::string copyCells(Radius radius, int firstRow, int lastRow, SampleColumn firstColumn,
                          SampleColumn lastColumn, char decimalSeparator) const;
    // Replaces the diameter and both radii by the file's (one step of undo). A file that
    // cannot be read raises AppError (errc::FileMissing, errc::CsvFormat, ...) and changes
    // nothing.
    // Columns whose heading names no unit are read in `userUnits`.
    void importCsv(const std::filesystem::path& path, UnitSystem userUnits = UnitSystem::SI);
    // Asked before an import replaces readings already in the grids: "The grids hold N
    // readings. Do you want to replace them with the readings of the file?". None when no
    // row holds a value.
    std::optional<std::string> importReplacesQuestion() const;
    // The file `kambrix-cli evaluate` reads, from the current readings. Refused with
    // AppError errc::EvaluationRowsIncomplete while a row is incomplete, and with
    // errc::ValueOutOfRange without a can diameter or without any reading. Blank rows are not
    // written.
    // Distances and the can diameter in `units`, their headings naming them.
    std::string csvText(UnitSystem units = UnitSystem::SI) const;
    void exportCsv(const std::filesystem::path& path, UnitSystem units = UnitSystem::SI) const;

    // --- saving ---
    bool isModified() const { return !(state_ == saved_); }
    // The evaluation as it would be stored: blank rows left out, the diameter in m.
    // Refused (AppError errc::EvaluationRowsIncomplete, naming the row) while a row is
    // incomplete, since a missing value has no stored form.
    quarvex::PivotEvaluation evaluation() const;
    // Stores the evaluation and its conditions in one transaction; afterwards the
    // session holds the values as stored (15 significant digits) and is unmodified.
    // Database faults raise quarvex::Error and change nothing.
    // A save whose evaluation another user saved or deleted since it was opened is refused
    // (AppError errc::RecordChangedSinceOpened, naming who and when) and writes nothing.
    void save(const std::string& projectsConnectionString);
    // Saves the evaluation as a new one under `newName` (its conditions with it); from then
    // on the session is that evaluation. A name taken raises AppError errc::EvaluationExists;
    // on any failure the session keeps its name and identifier.
    void saveAs(const std::string& projectsConnectionString, const std::string& newName);
    // Reads the stored evaluation of the session's name again, dropping what is not saved
    // (and the undo). One no longer stored raises AppError errc::RecordNotFound.
    void reload(const std::string& projectsConnectionString);
    // Who saved the evaluation last, as read when it was opened or saved.
    const RowStamp& stamp() const noexcept { return stamp_; }
    // "The evaluation <name> has changes that are not saved. Do you want to save them?"
    std::string unsavedChangesQuestion() const;
    // Closing the window: unmodified, it may close. Otherwise the question above is asked;
    // No closes without saving, Yes saves and closes, and a save that is refused (an
    // incomplete row) is told and keeps the window open. Database faults pass on.
    bool closeRequest(EvaluationQuestions& questions, const std::string& projectsConnectionString);

  private:
    struct State {
        std::optional<double> diameter_cm;
        std::array<std::vector<CanReading>, 2> rows;
        EvaluationConditions conditions;
        friend bool operator==(const State&, const State&) = default;
    };
    template <class F>
    bool change(F&& edit);
    std::vector<CanReading>& rowsOf(Radius radius) { return state_.rows[index(radius)]; }
    const std::vector<CanReading>& rowsOf(Radius radius) const {
        return state_.rows[index(radius)];
    }
    static std::size_t index(Radius radius) { return radius == Radius::First ? 0 : 1; }
    // The readings that can be stored, or AppError for the first incomplete row.
    quarvex::Array<quarvex::FieldSample> storedSamples(Radius radius) const;

    quarvex::PivotEvaluation evaluation_;  // id and name; the values live in state_
    RowStamp stamp_;                       // the stored evaluation's last save, as read
    State state_;
    State saved_;
    std::vector<State> undo_;
};

// The most edits kept for undo.
inline constexpr std::size_t kUndoDepth = 200;

}  // namespace kambrix
