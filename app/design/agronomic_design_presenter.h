// SPDX-License-Identifier: GPL-3.0-or-later
//
// The logic of the agronomic design screen (AgronomicDesign): the crop and efficiency data a
// user enters, the results they allow, and the save of the project with its agronomic
// record. The window reads its boxes into AgronomicBoxes, calls these operations and shows
// what they return.
//
//     AgronomicDesignPresenter presenter(',');
//     const AgronomicScreen screen = presenter.open(projectsConnection, document.project());
//     ... fill the boxes from screen.boxes, lblCaudal_v from screen.discharge ...
//     ResultTexts r = presenter.calculate(boxesOfTheWindow());            // cmdCalc
//     SaveOutcome s = presenter.save(projectsConnection, document, boxes);  // cmdGuardar
#pragma once

#include <string>

#include "design/agronomic_boxes.h"
#include "design/agronomic_screen_presenter.h"
#include "design/agronomics.h"
#include "shell/projectos.h"
#include "shell/system_document.h"

namespace kambrix {

// The boxes of the screen as typed: txtKf, txtEtc, txtPe, the efficiency boxes, txtArea
// (ha) and txt_horas (h/day).
struct AgronomicBoxes {
    std::string kf, Etc, Pe;
    EfficiencyBoxes epa;
    std::string area, hours;
};

// What the screen shows when it opens.
struct AgronomicScreen {
    AgronomicBoxes boxes;
    std::string discharge;  // lblCaudal_v: the project's discharge, L/s (empty when 0)
};

class AgronomicDesignPresenter : public AgronomicScreenPresenter {
  public:
    explicit AgronomicDesignPresenter(char decimalSeparator = '.');

    // Loads the agronomic record of the project's system (a new one for a project not
    // stored) and gives the boxes' texts: the stored crop and efficiency values (blank where
    // not given), the project's field area and hours (blank when 0), and its discharge.
    AgronomicScreen open(const std::string& connectionString, const Projecto& project);
    // The same with a record already at hand (no store).
    AgronomicScreen open(const Projecto& project, const Agronomics& record);

    // The record the boxes describe (the ids of the loaded record kept).
    Agronomics read(const AgronomicBoxes& boxes) const;

    // cmdCalc: Epa when Pa and CU are valid, Re when Eto, U and CI are valid, the application
    // efficiency when all six efficiency inputs are given and valid, GIR when kf, Etc, Pe and
    // the efficiency inputs are given and valid, and the system discharge when besides these
    // the area and hours are valid; every label set (empty when its result cannot be
    // given). The first input not given (efficiency inputs first, then kf, Etc, Pe) gives
    // its message and the labels it clears. Inputs out of range only leave results empty:
    // the boxes told the user when they were left.
    ResultTexts calculate(const AgronomicBoxes& boxes) const;

    // cmd_compute_caudal: the system discharge in Caudal only, or the first reason it cannot
    // be computed as a message: an input not given ("It must be given the value of the field
    // area", "It must be given the functioning hours per day", ...), else the check message
    // of the first box out of its range.
    ResultTexts computeDischarge(const AgronomicBoxes& boxes) const;

    // cmdGuardar: refuses (message, nothing stored) when a box holds a value out of its
    // range; else puts the area and hours (0 when blank) and, when it can be computed, the
    // system discharge into the document's project, stores the project and the agronomic
    // record in one transaction (saveProjectWithAgronomic) and tells the document the
    // project is stored (currentProjectStored = 1). A store failure or a computation fault
    // raises and leaves the store, the document and this presenter as they were. Values not
    // given are stored as null.
    SaveOutcome save(const std::string& connectionString, SystemDocument& document,
                     const AgronomicBoxes& boxes);

    // The record as loaded or last saved.
    const Agronomics& record() const noexcept { return record_; }

  private:
    Agronomics record_;
};

}  // namespace kambrix
