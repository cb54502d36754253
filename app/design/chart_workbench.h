// SPDX-License-Identifier: GPL-3.0-or-later
//
// The sprinkler-chart workbench without its window: the project's pivot in two working
// pivots (automatic and manual choice of sprinklers), the catalogue and its brand/model
// filter, the accessories (regulators, drop, end-gun booster), the tab values stored with a
// chart (indicators, runoff check), the project's stored charts and the outlet grid through
// its presenter. The window reads its controls, calls these operations and shows what they
// give; every message and question goes through WorkbenchPrompts.
//
// What the tabs show is what the next computation uses: regulators, drop and booster are
// held here and given to the working pivot before each computation, and they travel with a
// chart when it is opened, copied or saved.
#pragma once

#include <quarvex/quarvex.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "design/automatic_package.h"
#include "design/carta_presenter.h"
#include "design/chart_print_store.h"
#include "design/manual_strategy.h"
#include "design/model_choice.h"
#include "design/nozzle_filter.h"
#include "design/optimizer_strategy.h"
#include "design/outlet_warnings.h"
#include "design/work_pivot.h"
#include "design/workbench_prompts.h"
#include "shell/projectos.h"
#include "shell/row_versions.h"
#include "shell/startup.h"
#include "shell/system_document.h"
#include "shell/unit_system.h"

namespace kambrix {

// Messages and prompts of the workbench.
inline constexpr const char* kMustSelectChartToOpen = "Must select a sprinkler chart to open";
inline constexpr const char* kSelectChartToRemove = "Please select the chart to remove";
inline constexpr const char* kChartNamePrompt = "Please enter the name for the chart";
// "There is already a sprinkler chart named " + name + ". Please select a diferent name".
std::string chartNameTakenMessage(const std::string& name);
// "The sprinkler chart "<name>"", as a refused save names it.
std::string chartRecordName(const std::string& name);
// "Please confirm that you want to remove the chart " + name + " ? ".
std::string removeChartQuestion(const std::string& name);

struct WorkbenchDatabases {
    std::string projects;       // connection string of the projects database
    std::string catalogue;      // connection string of the sprinkler catalogue
    std::string cataloguePath;  // the catalogue's file (the chart store reads sprinklers there)
    std::string tramos;         // the reference spans (the printed chart's outside diameters)
    static WorkbenchDatabases from(const AppConfig& config);
};

enum class WorkingPivot { Automatic, Manual };

// One row of the regulators tab: a span (fixed spans 1..n, the overhang n+1).
struct RegulatorInput {
    int tramo = 0;
    bool fitted = false;
    double pressure = 0;                     // set pressure, kPa
    std::optional<double> minimumDischarge;  // the regulator's range, L/s (optional)
    std::optional<double> maximumDischarge;
};
struct RegulatorRow {
    std::string label;  // "Tower i", or "Over hang"
    RegulatorInput input;
};

// The drop tab: material (a row of pipe_materials; 0 for none), length and inside diameter.
struct DropInput {
    int materialId = 0;
    double length = 0;    // m
    double diameter = 0;  // mm
};

struct BoostChoice {
    std::string text;
    double kPa = 0;
};

class ChartWorkbench {
  public:
    // On the project of the document (the stored project); the document is told of every
    // pivot shown and every computation. The pivot must be complete (otherwise AppError with
    // the incomplete-pivot message). Reads the catalogue, the brands and the pipe materials,
    // makes both working pivots, computes the manual one with its empty chart (so outlet
    // pressures exist to choose sprinklers from) and shows it, and lists the stored charts.
    ChartWorkbench(SystemDocument& document, WorkbenchDatabases databases,
                   WorkbenchPrompts& prompts, char decimalSeparator = '.');
    // The same on a project given directly (command line, tests); the workbench keeps a
    // document of its own.
    ChartWorkbench(const Projecto& project, WorkbenchDatabases databases, WorkbenchPrompts& prompts,
                   char decimalSeparator = '.');
    ~ChartWorkbench();
    ChartWorkbench(const ChartWorkbench&) = delete;
    ChartWorkbench& operator=(const ChartWorkbench&) = delete;

    // ---- the outlet grid
    // The grid the presenter draws into (null for none); the current pivot is drawn at once.
    void setGridSink(OutletGridSink* sink);
    const CartaAspersorPresenter& presenter() const noexcept { return presenter_; }
    char decimalSeparator() const noexcept { return sep_; }
    // The outlet of a grid row in the current pivot, or null.
    const quarvex::saida* outletAtRow(int row) const;

    // ---- project and working pivots
    const Projecto& project() const noexcept { return project_; }
    const WorkbenchDatabases& databases() const noexcept { return db_; }
    // The pivot record built from the project, before any computation.
    const quarvex::pivot& projectPivot() const noexcept { return projectPivot_; }
    SystemDocument& document() noexcept { return *document_; }
    WorkPivot& workPivot(WorkingPivot which) {
        return which == WorkingPivot::Automatic ? automatic_ : manual_;
    }
    WorkingPivot current() const noexcept { return current_; }
    // Makes the pivot the current one and draws it.
    void show(WorkingPivot which);
    std::shared_ptr<quarvex::PivotWrapper> currentWrapper() const;
    std::shared_ptr<quarvex::CartaAspersores> currentChart() const;
    std::shared_ptr<quarvex::CartaAspersores> manualChart() const {
        return manualStrategy_->carta();
    }
    // Whether the automatic package has been computed since the workbench opened.
    bool automaticComputed() const noexcept { return computed_[0]; }

    // ---- catalogue and filter
    const quarvex::AspersorList& catalogue() const noexcept { return catalogue_; }
    const quarvex::AspersorList& availableNozzles() const noexcept { return available_; }
    const std::vector<std::string>& brandNames() const noexcept { return brands_; }
    // The models of a brand (read from the catalogue); empty with a message on failure.
    std::vector<std::string> modelNames(const std::string& brand);
    // Restricts the nozzles of both strategies; false with a message on failure (the
    // previous filter stays).
    bool setNozzleFilter(const NozzleFilter& filter);
    const NozzleFilter& nozzleFilter() const noexcept { return filter_; }

    // ---- allowed discharge variation of the manual choice
    // "10%", "20%", "30%", "50%".
    static const std::vector<std::string>& variationChoices();
    // Entry i of variationChoices (0 at start).
    void setAllowedVariation(int choice);
    int allowedVariationChoice() const noexcept { return variationChoice_; }
    double allowedVariation() const;  // fraction

    // ---- computing (each true when it ran; a computation that does not settle shows
    // kNotSettledMessage, keeps the last pass and still counts as run)
    bool computeAutomatic();
    // Under "Whole catalogue", the automatic package of one model (the end gun's nozzle from
    // the gun models on its own), so that the package does not alternate makers outlet by
    // outlet; the choice offered is modelsForAutomatic(), the first by default.
    bool computeAutomatic(const ModelChoice& model);
    // "Design for this supply": the automatic package designed for the water that is there,
    // the design inlet discharge (L/s) and pivot pressure (kPa) replaced by those given (an
    // operating point, or the supply measured at the pivot); the system keeps its own.
    bool computeAutomaticFor(double caudal, double presion);
    // Every model of the available nozzles with the outlets its own package fits, the most
    // first; empty on a failure (told through the prompts).
    std::vector<ModelFit> modelsForAutomatic();
    bool computeManual();
    // The settings the automatic computation would use now (available nozzles, 10 %, the
    // accessories and tab values).
    PackageSettings packageSettings() const;
    const ComputationSummary& summary() const;  // of the current pivot
    // summaryText of the current pivot, marked when changes wait for a computation.
    std::string summaryText() const;
    // Accessories, filter or sprinklers changed since the current pivot was computed.
    bool needsComputation() const;

    // ---- the manual chart, outlet by outlet (only while the manual pivot is current)
    bool canEditSprinklers() const noexcept { return current_ == WorkingPivot::Manual; }
    // The nozzles within the allowed variation of the outlet's computed pressure and ideal
    // discharge; kept as the list the next addAspersorAt(row, choice) picks from.
    quarvex::AspersorList possibleAspersoresFor(int row);
    // Puts entry `choice` (0-based) of the last list for that row on the outlet and redraws
    // that row only. Returns the row redrawn, or -1 when nothing changed.
    int addAspersorAt(int row, int choice);
    int addAspersorAt(int row, const std::shared_ptr<quarvex::Aspersor>& aspersor);
    // Takes the sprinkler off the outlet and redraws that row; the row, or -1.
    int removeAspersorAt(int row);
    // The automatic package (sprinklers, regulators, drop, booster) becomes the manual
    // chart's content (the manual chart keeps its name and identifier), computed and shown.
    // Without an automatic computation, a message.
    bool copyAutomaticToManual();
    // The same from any chart (a compared package): its present sprinklers and, when
    // `withAccessories`, its regulators, drop and booster.
    bool takeIntoManualChart(quarvex::CartaAspersores& source, bool withAccessories);
    // A package chosen elsewhere (the comparison) as a new chart of its own: its sprinklers,
    // regulators, drop and booster in a manual chart with no name and no identifier, marked
    // changed. Saving it asks for a name, so the chart open before is never overwritten.
    bool takeAsNewChart(quarvex::CartaAspersores& source);

    // ---- changes of the manual chart not yet stored
    // Set by every change of the manual chart's content (sprinklers, accessories, tab
    // values, a package taken into it); cleared when a chart is opened, started empty or
    // saved.
    bool chartChanged() const noexcept { return chartChanged_; }
    void markChartChanged() noexcept { chartChanged_ = true; }

    // ---- regulators
    // One row per span, the overhang included, from the regulators held.
    std::vector<RegulatorRow> regulatorRows() const;
    // The check of a pressure box when it is left ("" is accepted: no regulator). The text
    // is a number in the units of `units`; the message states the range in them.
    static std::optional<std::string> checkRegulatorPressureText(const std::string& text,
                                                                 char decimalSeparator,
                                                                 const std::string& label,
                                                                 UnitSystem units = UnitSystem::SI);
    static std::optional<std::string> checkRegulatorDischargeText(
        const std::string& text, char decimalSeparator, const std::string& label,
        UnitSystem units = UnitSystem::SI);
    // Makes the regulators from the rows (Statics::newReguladorPression; a row not fitted but
    // with a pressure is kept uninstalled) and applies them to the current pivot
    // (PivotWrapper::aplicaReguladores). A row that is not acceptable is refused with a
    // message and nothing changes.
    bool applyRegulators(const std::vector<RegulatorInput>& rows);
    std::shared_ptr<quarvex::Reguladores> regulators() const { return regulators_; }

    // ---- drop
    const std::vector<quarvex::PipeMaterial>& pipeMaterials() const noexcept { return materials_; }
    const quarvex::Drop& drop() const noexcept { return drop_; }
    // The checks of the drop's boxes, a text in the units of `units`.
    static std::optional<std::string> checkDropLengthText(const std::string& text,
                                                          char decimalSeparator,
                                                          UnitSystem units = UnitSystem::SI);
    static std::optional<std::string> checkDropDiameterText(const std::string& text,
                                                            char decimalSeparator,
                                                            UnitSystem units = UnitSystem::SI);
    // Sets the drop (uninstalled) on the current chart.
    void setDrop(const DropInput& input);
    // Sets and installs it; an incomplete drop is refused with a message naming what it
    // lacks and stays uninstalled.
    bool installDrop(const DropInput& input);
    void uninstallDrop();
    // The message for a drop that cannot be installed.
    static std::string incompleteDropMessage(const quarvex::Drop& drop);

    // ---- end-gun booster
    // "none", then 50 to 400 kPa in steps of 50.
    static const std::vector<BoostChoice>& boostChoices();
    bool boostAvailable() const;  // the pivot has an end gun
    // False (nothing changes) without an end gun or for a negative value.
    bool setEndGunBoost(double kPa);
    double endGunBoost() const noexcept { return boost_; }
    // The entry of boostChoices holding the booster, or -1.
    int boostChoice() const;

    // ---- values of the indicator and runoff tabs, stored with the chart
    void setIndicadores(const quarvex::indicadores& value);
    const quarvex::indicadores& indicadores() const noexcept { return indicadores_; }
    void setPluviometryCheck(const quarvex::PluviometryCheck& value);
    const quarvex::PluviometryCheck& pluviometryCheck() const noexcept { return pluviometria_; }
    // The field's surface storage capacity As (mm) from the surface-storage calculator, for
    // the runoff verdict of each point; none until computed. Not stored with the chart.
    void setSurfaceStorage(std::optional<double> As_mm) { surfaceStorage_ = As_mm; }
    std::optional<double> surfaceStorage() const noexcept { return surfaceStorage_; }
    // Called before a chart is saved: a tab puts its boxes' values here (setIndicadores,
    // setPluviometryCheck). Returns an identifier for removeCollector.
    int addCollector(std::function<void()> collect);
    void removeCollector(int id);

    // ---- what the printed chart carries beyond the design
    // The names, the regulator model and the time of the last save of the manual chart:
    // read when a chart is opened, written with every save (save as gives them to the new
    // chart), blank for a new chart.
    const ChartSignoff& chartSignoff() const noexcept { return signoff_; }
    // Takes the names and the regulator model (the time of the last save stays).
    void setChartSignoff(const ChartSignoff& value);
    // The name "Designed by" shows while the chart has none of its own (the user's name in the
    // program's settings).
    void setDefaultDesigner(const std::string& name) { defaultDesigner_ = name; }
    // The chart's "Designed by", or the default one.
    std::string designerName() const;
    // The system's pipe height above the ground (m), read with the workbench.
    std::optional<double> pipeHeight() const noexcept { return systemPrint_.pipeHeight; }

    // ---- the project's stored charts
    const std::vector<quarvex::CartaInfo>& charts() const noexcept { return charts_; }
    bool reloadCharts();
    // The chart chosen in the list (none clears the choice).
    void selectChart(std::optional<int> id);
    std::optional<quarvex::CartaInfo> selectedChart() const;
    // Opens the selected chart into the manual pivot with its accessories, computes and
    // shows it. Without a selection: kMustSelectChartToOpen, and nothing changes.
    bool openChart();
    // A new empty chart in the manual pivot (no sprinklers, regulators, drop or booster; the
    // indicator and runoff values stay), computed and shown.
    bool newChart();
    // Saves the current chart; a chart never stored is saved as a new one (saveChartAs).
    bool saveChart();
    // Asks for a name; an empty answer cancels and stores nothing. A name taken in the
    // project gives chartNameTakenMessage and the chart keeps its identifier and name.
    bool saveChartAs();
    // "Saved by NAME on TIME" of the chart in the list, empty when not known.
    std::string chartSavedBy(int chartId) const;
    // Removes the selected chart after the question; without a selection,
    // kSelectChartToRemove.
    bool removeChart();

    // ---- export
    // The current pivot's outlet table as CSV (outletTableCsv).
    std::string outletTableCsv() const;
    bool exportOutletTable(const std::filesystem::path& file);

  private:
    void load(char decimalSeparator);
    template <class F>
    bool guarded(const std::string& action, F&& work);
    void makeManualWrapper();
    void pushAccessories(quarvex::PivotWrapper& wrapper);
    bool runManual(bool announce);
    void finishComputation(WorkingPivot which, bool settled, bool wrapperChanged);
    void writeAccessoriesInto(quarvex::CartaAspersores& chart);
    void restoreAccessoriesFrom(quarvex::CartaAspersores& chart, std::vector<std::string>& notes);
    void collect();
    // Writes the chart (as a new one when `asNew`) with its printed fields and claims its
    // version, in one transaction; the chart takes its identifier and stamp once committed.
    void storeChart(quarvex::CartaAspersores& chart, bool asNew);
    // Reads the system's charts and who saved each last.
    void readChartList();
    // The user's answer to a save refused because another one came in between.
    bool resolveConflict(const std::string& message);
    void changed(WorkingPivot which);
    void changedBoth();
    bool fillManualChart(quarvex::CartaAspersores& source, bool withAccessories, bool asNew);
    int slot(WorkingPivot which) const { return which == WorkingPivot::Automatic ? 0 : 1; }

    std::unique_ptr<SystemDocument> ownDocument_;
    SystemDocument* document_ = nullptr;
    WorkbenchDatabases db_;
    WorkbenchPrompts& prompts_;
    char sep_ = '.';
    Projecto project_;
    quarvex::pivot projectPivot_;

    quarvex::AspersorList catalogue_;
    quarvex::AspersorList available_;
    std::vector<std::string> brands_;
    NozzleFilter filter_;
    std::vector<quarvex::PipeMaterial> materials_;

    CartaAspersorPresenter presenter_;
    WorkPivot automatic_;
    WorkPivot manual_;
    std::shared_ptr<OptimzerStrategy> automaticStrategy_;
    std::shared_ptr<ManualStrategy> manualStrategy_;
    WorkingPivot current_ = WorkingPivot::Manual;
    ComputationSummary summaries_[2];
    bool computed_[2] = {false, false};
    bool stale_[2] = {false, false};
    int variationChoice_ = 0;

    quarvex::AspersorList offered_;
    int offeredRow_ = -1;

    std::shared_ptr<quarvex::Reguladores> regulators_;
    quarvex::Drop drop_;
    double boost_ = 0;
    quarvex::indicadores indicadores_;
    quarvex::PluviometryCheck pluviometria_;
    std::optional<double> surfaceStorage_;
    std::map<int, std::function<void()>> collectors_;
    int nextCollector_ = 1;

    ChartSignoff signoff_;
    // The chart's last save as it was when the chart on screen was opened or saved.
    RowStamp chartStamp_;
    // Who saved each chart of the list last, by chart identifier.
    std::map<int, RowStamp> chartStamps_;
    std::string defaultDesigner_;
    SystemPrintFields systemPrint_;

    std::vector<quarvex::CartaInfo> charts_;
    std::optional<int> selected_;
    bool chartChanged_ = false;
};

}  // namespace kambrix
