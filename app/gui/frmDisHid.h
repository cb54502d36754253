// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <vector>

#include "design/hydraulic_design_presenter.h"
#include "gui/widgets/app_services.h"

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

// The hydraulic design's checks before the workbench, on the document's stored project,
// without the design screen: what refuses is said in a box over `parent`, questions are asked
// there.
bool designReadyForWorkbench(const AppServices& services, QWidget* parent);

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

    const Projecto& project() const { return presenter_.project(); }
    bool hasChanges() const { return presenter_.hasChanges(); }
    // What the boxes hold (blank boxes: not given).
    PivotInputs inputs() const { return presenter_.inputs(form()); }
    // The controls' values.
    PivotForm form() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildInputs(QWidget* area);
    void loadCatalogues();
    // Reads the reference spans (with the system's spans that the catalogue no longer has)
    // into the span lists, each keeping its choice.
    void loadSpanCatalogue();
    void fillControls();
    void changed();
    // The presenter's results into the labels and the tabs.
    void showResults();
    void enableSpanRows();
    // Commits every number box; false (the focus on the refused box) when one refuses.
    bool commitBoxes();
    NumberBox* numberBox(QLineEdit* box, NumberRange range, const QString& what);

    AppServices services_;
    HydraulicDesignPresenter presenter_;
    bool filling_ = false;

    QLineEdit* txtPropietario_ = nullptr;
    NumberBox* caudal_ = nullptr;
    NumberBox* presion_ = nullptr;
    NumberBox* cota_ = nullptr;
    NumberBox* area_ = nullptr;
    NumberBox* horas_ = nullptr;
    NumberBox* alturaTubo_ = nullptr;
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
