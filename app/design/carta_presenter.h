// SPDX-License-Identifier: GPL-3.0-or-later
//
// The outlet grid of the sprinkler-chart workbench, without the window: one row per outlet
// (spans in order, the overhang, then the end gun), the text of every cell, the warning flags
// of each row and the map from grid row to outlet. The window puts the rows into its grid
// when the presenter tells its sink.
#pragma once

#include <quarvex/quarvex.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kambrix {

// Columns of the outlet grid.
namespace column {
inline constexpr int Span = 0;
inline constexpr int Outlet = 1;
inline constexpr int Distance = 2;        // rj, m
inline constexpr int IdealDischarge = 3;  // qj, L/s
inline constexpr int IdealPressure = 4;   // Pj, kPa
inline constexpr int Pressure = 5;        // Paj: available at the outlet, kPa
inline constexpr int ActingPressure = 6;  // PRgj: the sprinkler works at it (regulated), kPa
inline constexpr int Nozzle = 7;
inline constexpr int Discharge = 8;  // qaj: the sprinkler's, L/s
inline constexpr int Model = 9;
inline constexpr int Manufacture = 10;
inline constexpr int Warnings = 11;
inline constexpr int Count = 12;
}  // namespace column

struct GridColumn {
    std::string heading;
    int widthTwips = 0;
    bool numeric = false;  // right-aligned
};

// The grid's columns: headings and widths in twips.
const std::vector<GridColumn>& outletGridColumns();

inline constexpr int kTwipsPerInch = 1440;
// Pixels of a width in twips on a screen of the given logical resolution (dots per inch).
int twipsToPixels(int twips, double logicalDpi);

struct OutletRow {
    quarvex::CoordenadasSaida at;  // the end gun is (-1, -1)
    std::vector<std::string> cells = std::vector<std::string>(column::Count);
    unsigned warnings = 0;  // flags of outlet_warnings.h
};

// The rows of a pivot as the grid shows them, every cell filled (ideal and computed values).
// Numbers use `decimalSeparator`: distances "0.00", discharges "0.000", pressures "0.0".
std::vector<OutletRow> buildOutletRows(const quarvex::pivot& p, char decimalSeparator);

// The outlet table as CSV: a heading line, then one line per row; "." as decimal separator,
// CR LF line ends, UTF-8 with a byte-order mark.
std::string outletTableCsv(const quarvex::pivot& p);

// Where the presenter draws: the window's grid, or a test's recorder.
class OutletGridSink {
  public:
    virtual ~OutletGridSink() = default;
    // Every row is new (a pivot was drawn): the grid takes the columns and all rows.
    virtual void tableReset(const std::vector<GridColumn>& columns,
                            const std::vector<OutletRow>& rows) = 0;
    // One row changed (a sprinkler put on or taken off its outlet).
    virtual void rowChanged(int row, const OutletRow& cells) = 0;
};

class CartaAspersorPresenter {
  public:
    // Draws into `sink` (may be null: the presenter then only keeps its rows) with the
    // screen's decimal separator.
    void init(OutletGridSink* sink, char decimalSeparator = '.');
    // The outlet of a grid row (0-based, the heading not counted), or none for a row that is
    // not in the grid.
    std::optional<quarvex::CoordenadasSaida> translateRowToCoordenadas(int row) const;
    // Rebuilds the row-to-outlet map for the pivot, then hands the whole table to the sink:
    // the last step of drawing a pivot.
    void buildMapper(const quarvex::pivot& p);
    // The computed columns (Paj, PRgj, nozzle, qaj, model, manufacture, warnings).
    void mostraPivotDimesionado(const quarvex::pivot& p);
    // Redraws one row with `aspersor` on its outlet at the outlet's acting pressure (the
    // pivot is not computed again): nozzle, its discharge "0.000", model, manufacture and
    // the row's warnings.
    void mostraAspersor(int row, const quarvex::pivot& p,
                        const std::shared_ptr<quarvex::Aspersor>& aspersor);
    // Empties the sprinkler cells of one row and flags it as without sprinkler.
    void limpaLinhaDeAspersor(int row, const quarvex::pivot& p);
    // One row per outlet with the span, outlet and ideal columns; the computed ones empty.
    void mostraPivotIdeal(const quarvex::pivot& p);

    const std::vector<OutletRow>& rows() const noexcept { return rows_; }
    // The grid row of an outlet, or -1.
    int rowOf(const quarvex::CoordenadasSaida& at) const;
    char decimalSeparator() const noexcept { return sep_; }
    // The allowed variation of the delivered discharges (fraction): with one, the warnings
    // flag discharges too far from the ideal ones. Taken by the next drawing.
    void setAllowedVariation(std::optional<double> variation) { variation_ = variation; }
    // Fills the computed columns of every row again from the pivot and tells the grid of the
    // rows that changed (the grid keeps its selection).
    void redrawComputed(const quarvex::pivot& p);

  private:
    const quarvex::saida* outletAt(const quarvex::pivot& p, int row,
                                   const quarvex::tramo** span) const;
    void tell(int row);

    OutletGridSink* sink_ = nullptr;
    char sep_ = '.';
    std::optional<double> variation_;
    std::vector<OutletRow> rows_;
    std::vector<quarvex::CoordenadasSaida> mapper_;
};

}  // namespace kambrix
