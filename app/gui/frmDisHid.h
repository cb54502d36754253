// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <array>
#include <map>
#include <vector>

#include "gui/app_context.h"
#include "shell/pivot_design.h"
#include "shell/projectos.h"
#include "shell/reference_tramos.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;
class QChartView;
class QCloseEvent;

namespace kambrix {

// The hydraulic design screen: edits the current project's pivot (discharge, pressure,
// elevation, pipe material, spans, overhang, end gun, field area), shows its ideal operation
// (outlets, spans, the radius profile, the speed box) and saves it into the projects store.
class frmDisHid : public QWidget {
  public:
    explicit frmDisHid(QWidget* parent = nullptr);

    // Computes and shows the ideal operation; an incomplete pivot is refused with a message.
    void cmdCalcular_Click();
    // Saves the project; false when a check or the user stopped it (nothing is saved then).
    bool save();
    // The checks before the sprinkler-chart workbench opens: the pivot must be complete, and
    // unsaved spans or spans that differ from the charts' need the user's consent.
    bool checkBeforeWorkbench();

    const Projecto& project() const { return project_; }
    bool hasChanges() const { return dirty_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void loadCatalogues();
    void fillControls();
    // The accepted box values into the working project, then the results again.
    void readIntoProject();
    void changed();
    void refreshResults();
    void clearResults();
    void showResults(quarvex::pivot& computed);
    void enableSpanRows();
    bool spansDifferFromCharts();
    NumberBox* numberBox(QLineEdit* box, NumberRange range, const QString& what);

    Projecto project_;
    quarvex::Array<quarvex::tramo> storedTramos_;  // the spans as last saved
    bool dirty_ = false;
    bool filling_ = false;

    std::vector<quarvex::PipeMaterial> materials_;
    std::map<std::string, ReferenceTramo> valley_;

    NumberBox* caudal_ = nullptr;
    NumberBox* presion_ = nullptr;
    NumberBox* cota_ = nullptr;
    NumberBox* area_ = nullptr;
    NumberBox* numeroTramos_ = nullptr;
    NumberBox* gunRs_ = nullptr;
    NumberBox* tempo_ = nullptr;
    QComboBox* cboMaterial_ = nullptr;
    std::array<QComboBox*, kMaxSpans> spanCombos_{};
    std::array<NumberBox*, kMaxSpans> cotas_{};
    std::array<QLabel*, kMaxSpans> spanLabels_{};
    QCheckBox* chkVoladizo_ = nullptr;
    QComboBox* dtcombVoladizo_ = nullptr;
    QCheckBox* chkGun_ = nullptr;
    QLabel* lblAreaRegada_ = nullptr;
    QLabel* lblAviso_ = nullptr;
    QTableWidget* grdSalidas_ = nullptr;
    QTableWidget* grdTramos_ = nullptr;
    QTableWidget* grdVelocidades_ = nullptr;
    QChartView* chtPerfil_ = nullptr;
};

}  // namespace kambrix
