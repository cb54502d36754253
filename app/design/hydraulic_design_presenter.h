// SPDX-License-Identifier: GPL-3.0-or-later
//
// The hydraulic design screen without its window: the working project the boxes edit, the
// catalogues its lists offer (pipe materials, reference spans), what the result tabs and the
// labels beside the inputs show, the save and the checks before the sprinkler-chart workbench.
// The window reads its controls into a PivotForm, hands it over and shows what comes back.
//
//     HydraulicDesignPresenter presenter(document.project(), projectsCs, ',');
//     presenter.loadMaterials(projectsCs);
//     presenter.loadReferenceSpans(tramosCs);
//     presenter.change(formOfTheControls());        // the project and the results again
//     const DesignView& view = presenter.view();     // labels beside the inputs
//     presenter.save(formOfTheControls(), document, askTheUser);
#pragma once

#include <quarvex/quarvex.h>

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "design/discharge_origin.h"
#include "design/ideal_results.h"
#include "design/pivot_design.h"
#include "shell/projectos.h"
#include "shell/reference_tramos.h"
#include "shell/system_document.h"

namespace kambrix {

// What the design screen's controls hold, as plain values. A blank number box is "not given".
struct PivotForm {
    std::string owner;
    std::optional<double> discharge;  // L/s
    std::optional<double> pressure;   // kPa
    std::optional<double> elevation;  // m, ground at the pivot point
    std::optional<double> area;       // ha, the field
    std::optional<double> hours;      // h per day
    int material = 0;                 // index into materials(); out of range: none chosen
    int spanCount = 0;                // as typed; more than kMaxSpans counts as kMaxSpans
    std::array<std::string, kMaxSpans> spans{};  // chosen reference span names, "" for none
    std::array<std::optional<double>, kMaxSpans> endElevations{};  // m
    bool overhang = false;
    std::string overhangSpan;  // the overhang's reference span name, "" for none
    bool endGun = false;
    std::optional<double> gunRadius;  // m, wetted radius of the end gun
    // m, the pipe's height above the ground (for the printed chart's nozzle height); optional
    std::optional<double> pipeHeight = std::nullopt;
};

// What the labels beside the inputs show after the results are refreshed.
struct DesignView {
    double irrigatedArea_ha = 0;
    double irrigatedRadius_m = 0;
    // The outlets' and the gun's ideal discharges against the design discharge; empty while
    // the pivot cannot be computed.
    std::string dischargeBalance;
    // The field smaller than the irrigated circle, an ideal pressure below 0 kPa.
    std::vector<std::string> warnings;
    // Which agronomic screen gives the design discharge, or what they give; may be empty.
    std::string dischargeNote;
};

// The end of a save or of the checks before the workbench.
struct DesignStep {
    bool done = false;
    // What to tell the user when a check refused (empty when the user declined a question).
    std::string message;
    // The check that refused was the end gun's wetted radius (the window puts the focus there).
    bool gunRadiusMissing = false;
};

// A Yes/No question to the user; true for Yes.
using ConfirmQuestion = std::function<bool(const std::string& question)>;

inline constexpr const char* kSavingDiffersQuestion =
    "WARNING!!! You are saving a set of spans that might differ from those with wich the "
    "sprinkler charts were created. As such they might became invalid Are you sure you want "
    "to proceed";
inline constexpr const char* kSpansNotSavedQuestion =
    "WARNING!!! not all the spans are saved. Unless they are saved any new created sprinkler "
    "charts might became invalid. Do you want to proceed?";
inline constexpr const char* kDiffersFromChartsQuestion =
    "WARNING!!! The selected spans differ from those with wich the associated sprinkler charts "
    "were created. as such they might became invalid. Do you want to proceed?";
inline constexpr const char* kFieldSmallerWarning =
    "WARNING!!! The field area is smaller than the irrigated area";

class HydraulicDesignPresenter {
  public:
    // Works on a copy of `project`; `projectsConnection` tells whether the system has sprinkler
    // charts. Numbers in the texts use `decimalSeparator`.
    HydraulicDesignPresenter(const Projecto& project, std::string projectsConnection,
                             char decimalSeparator = '.');

    // The pipe materials of the projects store, after the "none chosen" entry (id 0). Raises
    // when the store cannot be read (the list then holds only that entry).
    void loadMaterials(const std::string& projectsConnection);
    void setMaterials(std::vector<quarvex::PipeMaterial> materials);
    const std::vector<quarvex::PipeMaterial>& materials() const noexcept { return materials_; }

    // The reference spans of the span catalogue, with the project's spans the catalogue no
    // longer has (removed or renamed since), which stay choosable with the data the project
    // holds. A catalogue that cannot be read raises after the project's spans are in.
    void loadReferenceSpans(const std::string& tramosConnection);
    void setReferenceSpans(const std::vector<ReferenceTramo>& catalogue);
    // The names the span lists offer: "" (none) first, then alphabetically.
    std::vector<std::string> spanNames() const;

    // The controls' values for the working project (blank where the project has nothing yet).
    PivotForm form() const;
    // What the boxes hold, for the checks of pivot_design.h.
    PivotInputs inputs(const PivotForm& form) const;

    // The form's values into the working project (spans rebuilt from the reference spans).
    void readIntoProject(const PivotForm& form);
    // A control changed: the form into the project, the project marked as changed, the
    // results again.
    void change(const PivotForm& form);
    // The ideal operation again when the last form read is complete, and the labels' texts.
    const DesignView& refreshResults();
    // The compute command: the message for missing or unplaceable inputs (the results stay as
    // they were), else the results again and the message of an ideal pressure below 0 kPa,
    // if any.
    std::optional<std::string> calculate(const PivotForm& form);

    // Saves the form's project into the projects store given at construction: refuses a missing gun
    // radius and incomplete spans, asks before saving spans that differ from the charts'. When
    // saved, the document holds the stored project and nothing is marked as changed. A store
    // failure raises and leaves the document and the marks as they were.
    DesignStep save(const PivotForm& form, SystemDocument& document,
                    const ConfirmQuestion& confirm);
    // The checks before the workbench opens on the stored project: the pivot must be
    // complete; unsaved spans or spans differing from the charts' need the user's consent.
    DesignStep checkBeforeWorkbench(const ConfirmQuestion& confirm);

    // The working project's field is smaller than its irrigated circle.
    bool fieldSmallerThanIrrigated() const;

    void setAgronomics(SystemAgronomics agronomics) { agronomics_ = std::move(agronomics); }
    const Projecto& project() const noexcept { return project_; }
    bool hasChanges() const noexcept { return dirty_; }
    // What the result tabs draw; the address stays the same for the presenter's life.
    IdealResults& results() noexcept { return results_; }
    const DesignView& view() const noexcept { return view_; }

  private:
    bool spansDifferFromCharts() const;
    quarvex::tramo spanFrom(const std::string& name, double cota) const;

    Projecto project_;
    std::string projectsConnection_;
    char separator_;
    quarvex::Array<quarvex::tramo> storedTramos_;  // the spans as last saved
    bool dirty_ = false;
    std::optional<double> pipeHeight_;  // as stored with the system (tb_system_print)
    std::optional<PivotForm> read_;     // the form last read; none: the project's own
    std::vector<quarvex::PipeMaterial> materials_;
    std::map<std::string, ReferenceTramo> catalogue_;
    SystemAgronomics agronomics_;
    IdealResults results_;
    DesignView view_;
};

}  // namespace kambrix
