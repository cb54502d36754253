// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <map>
#include <vector>

#include "design/discharge_origin.h"
#include "gui/widgets/app_services.h"
#include "design/ideal_results.h"
#include "design/pivot_design.h"
#include "shell/projectos.h"
#include "shell/reference_tramos.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QCloseEvent;
class QTabWidget;

namespace kambrix {

class NumberBox;
class TabPage;

// Opens the sprinkler-chart workbench on the document's stored project in place of `opener`
// (which comes back when it closes); a project the workbench cannot work on is explained in a
// box and false is returned.
bool openWorkbenchWindow(const AppServices& services, QWidget* opener);

// The hydraulic design screen: edits the current project's pivot (owner, discharge,
// pressure, elevation, pipe material, field area, daily operating hours, spans, overhang,
// end gun), shows its ideal operation in four tabs (outlets, spans, the radius profile, the
// speed box) and saves it into the projects store.
class frmDisHid : public QWidget {
  public:
    explicit frmDisHid(const AppServices& services, QWidget* parent = nullptr);
    ~frmDisHid() override;

    // Computes and shows the ideal operation; missing inputs are named in a message.
    void cmdCalcular_Click();
    // Saves the project; false when a check or the user stopped it (nothing is saved then).
    bool save();
    // The checks before the sprinkler-chart workbench opens: the pivot must be complete, and
    // unsaved spans or spans that differ from the charts' need the user's consent.
    bool checkBeforeWorkbench();
    // The workbench command: unsaved changes may be saved first, then the checks above, then
    // the workbench opens on the stored project in place of this window.
    void openWorkbench();
    // The reference-span catalogue editor over this screen; when it closes, the span lists
    // are read again and keep what they showed, so what was typed here stays.
    void openSpanCatalogue();

    const Projecto& project() const { return project_; }
    bool hasChanges() const { return dirty_; }
    // What the boxes hold (blank boxes: not given).
    PivotInputs inputs() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildInputs(QWidget* area);
    void loadCatalogues();
    // Reads the reference spans (with the system's spans that the catalogue no longer has)
    // into the span lists, each keeping its choice.
    void loadSpanCatalogue();
    void fillControls();
    // The accepted box values into the working project, then the results again.
    void readIntoProject();
    void changed();
    void refreshResults();
    void showWarnings();
    // Beside the design discharge: which agronomic screen gives it, or what they give.
    void showDischargeOrigin();
    void enableSpanRows();
    bool spansDifferFromCharts();
    NumberBox* numberBox(QLineEdit* box, NumberRange range, const QString& what);

    AppServices services_;
    Projecto project_;
    quarvex::Array<quarvex::tramo> storedTramos_;  // the spans as last saved
    bool dirty_ = false;
    bool filling_ = false;
    IdealResults results_;
    SystemAgronomics agronomics_;  // the stored agronomic rows, for the discharge's origin

    std::vector<quarvex::PipeMaterial> materials_;
    std::map<std::string, ReferenceTramo> valley_;

    QLineEdit* txtPropietario_ = nullptr;
    NumberBox* caudal_ = nullptr;
    NumberBox* presion_ = nullptr;
    NumberBox* cota_ = nullptr;
    NumberBox* area_ = nullptr;
    NumberBox* horas_ = nullptr;
    NumberBox* numeroTramos_ = nullptr;
    NumberBox* gunRs_ = nullptr;
    QComboBox* cboMaterial_ = nullptr;
    std::array<QComboBox*, kMaxSpans> spanCombos_{};
    QPointer<QWidget> spanCatalogue_;  // the catalogue editor while it is open
    std::array<NumberBox*, kMaxSpans> cotas_{};
    std::array<QLabel*, kMaxSpans> spanLabels_{};
    QCheckBox* chkVoladizo_ = nullptr;
    QComboBox* dtcombVoladizo_ = nullptr;
    QCheckBox* chkGun_ = nullptr;
    QLabel* lblAreaRegada_ = nullptr;
    // The outlets' and the gun's ideal discharges against the design discharge.
    QLabel* lblBalanceCaudal_ = nullptr;
    QLabel* lblAviso_ = nullptr;
    QLabel* lblCaudalOrigen_ = nullptr;
    QTabWidget* tabResultados_ = nullptr;
    std::vector<TabPage*> tabs_;
};

}  // namespace kambrix
