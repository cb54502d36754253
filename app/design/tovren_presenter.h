// SPDX-License-Identifier: GPL-3.0-or-later
//
// The logic of the scheduling-model screen (frmDatosTOVREN): the model's yearly continuous
// discharges imported from its file into the grid msfDTOVREN, the chosen Qfc, the system
// discharge it gives for the field, the efficiency data, and the save of the project with
// the chosen Qfc and the efficiency row.
//
//     TovrenPresenter presenter(',');
//     const TovrenScreen screen = presenter.open(projectsConnection, document.project());
//     ImportOutcome in = presenter.importFile(chosenPath);   // grid kept when it fails
//     txtQfc = presenter.qfcOfRow(clickedRow);
//     ResultTexts r = presenter.computeDischarge(boxesOfTheWindow());
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "design/agronomic_boxes.h"
#include "design/agronomic_screen_presenter.h"
#include "design/agronomic_store.h"
#include "design/frequencial_data.h"
#include "shell/plot_data.h"
#include "shell/projectos.h"
#include "shell/system_document.h"
#include "shell/table_data.h"

namespace kambrix {

// The boxes of the screen as typed: the efficiency boxes, txtQfc (L/s/ha), txtArea (ha) and
// txt_horas (h/day).
struct TovrenBoxes {
    EfficiencyBoxes epa;
    std::string Qfc, area, hours;
};

struct TovrenScreen {
    TovrenBoxes boxes;
    std::string discharge;  // lblCaudal_v: the project's discharge, L/s (empty when 0)
};

// The frequency curve of the imported years and the chosen Qfc on it.
struct FrequencyPlot {
    std::vector<XYPoint> curve;   // Qfc (L/s/ha) against frequency, ordered by frequency
    std::vector<XYPoint> chosen;  // the years whose Qfc is the chosen one
    std::optional<double> qfc;    // the chosen Qfc, when the box holds a number
};

struct ImportOutcome {
    bool imported = false;
    // Why the file was not imported: "The input file as an format error, it must be a CSV
    // file", or the file's own problem ("The file ... does not exist").
    std::optional<std::string> message;
    // Technical detail for "Show details" (the line that could not be read).
    std::string detail;
};

class TovrenPresenter : public AgronomicScreenPresenter {
  public:
    // The file dialog's filter, as the toolkit writes it.
    static constexpr const char* kFileFilter = "Csv (*.csv)";
    // The grid's column headings.
    static const std::array<std::string, 3>& gridHeadings();

    explicit TovrenPresenter(char decimalSeparator = '.');

    // Loads the system's scheduling-model record and efficiency row (new ones for a project
    // not stored) and gives the boxes' texts: the stored efficiency values and Qfc, the
    // project's area, its hours (else the record's), and its discharge.
    TovrenScreen open(const std::string& connectionString, const Projecto& project);
    TovrenScreen open(const Projecto& project, const TovrenAgronomics& record);

    // Reads the file into the grid's records. A file that cannot be read leaves the records
    // as they were and gives the message to show.
    ImportOutcome importFile(const std::filesystem::path& path);
    const std::vector<FrequencialData>& records() const noexcept { return records_; }
    // One row per record: frequency, Qfc and year, as the grid shows them.
    std::vector<std::array<std::string, 3>> gridRows() const;
    // The grid's table: columns "frequency", "Qfc" and "year", numeric cells with the
    // decimals the values have (at most four), one row per record in the file's order.
    TableData gridTable() const;
    // The text for txtQfc when the user chooses the grid row (0-based); none for a row that
    // does not exist.
    std::optional<std::string> qfcOfRow(std::size_t row) const;
    // The frequency curve of the records: Qfc against frequency, ordered by frequency.
    std::vector<FrequencialData> curve() const { return frequencyCurve(records_); }
    // The curve with the Qfc of the box txtQfc (as typed) marked: the years that have it.
    FrequencyPlot frequencyPlot(const std::string& qfcBox) const;

    // The efficiency labels (lblDEpa_v, lblRe_v, lblEpa_v), as on the agronomic screen.
    ResultTexts calculateEfficiency(const EfficiencyBoxes& boxes) const;

    // The discharge command: lblCaudal_v from Qc = Qfc, or the first reason there is none:
    // "It must be given the continuos discharge value", "... the field area", "... the
    // functioning hours per day", else the check message of the box out of its range.
    ResultTexts computeDischarge(const TovrenBoxes& boxes) const;

    // Saving: refuses (message) when a box is out of its range; else the area, hours and (when
    // it can be computed) the system discharge go into the document's project, which is
    // stored with the record in "tovren_agronomics" and its efficiency row in one
    // transaction; the document then holds the project as stored (currentProjectStored = 1).
    // A failure raises and leaves everything as it was.
    SaveOutcome save(const std::string& connectionString, SystemDocument& document,
                     const TovrenBoxes& boxes);

    const TovrenAgronomics& record() const noexcept { return record_; }

  private:
    TovrenAgronomics record_;
    std::vector<FrequencialData> records_;
};

}  // namespace kambrix
